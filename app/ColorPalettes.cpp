#include "app/ColorPalettes.h"

#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace pq {

namespace {

// A colour word from the RGB hex the palette is written in.
constexpr uint32_t FromRgbHex(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

constexpr CPalette MakeDefaultPalette() {
    constexpr std::array<uint32_t, kPaletteSize> rgb = {
        0x000000, 0xA52A2A, 0x004040, 0x005500, 0x00005E, 0x00008B, 0x4B0082, 0x282828, 0x8B0000, 0xFF6820,
        0x8B8B00, 0x009300, 0x388E8E, 0x0000FF, 0x7B7BC0, 0x666666, 0xFF0000, 0xFFAD5B, 0x32CD32, 0x3CB371,
        0x7FFFD4, 0x7D9EC0, 0x800080, 0x7F7F7F, 0xFFC0CB, 0xFFD700, 0xFFFF00, 0x00FF00, 0x40E0D0, 0xC0FFFF,
        0x480048, 0xC0C0C0, 0xFFE4E1, 0xD2B48C, 0xFFFFE0, 0x98FB98, 0xAFEEEE, 0x68838B, 0xE6E6FA, 0xFFFFFF};
    CPalette palette{};
    for (std::size_t i = 0; i < rgb.size(); ++i)
        palette[i] = FromRgbHex(rgb[i]);
    return palette;
}

constexpr CPalette kDefaultPalette = MakeDefaultPalette();

// Far more than a palette file; a larger file is not one and is not read into memory.
constexpr std::size_t kMaxPaletteFileBytes = 64 * 1024;

} // namespace

const CPalette& DefaultPalette() {
    return kDefaultPalette;
}

CPalette CustomPaletteStart() {
    CPalette palette;
    palette.fill(0xFFFFFF);
    // round((8 - i) x 31.875): 255, 223, 191, 159, 128, 96, 64, 32, 0.
    for (int i = 0; i < 9; ++i) {
        const auto grey = static_cast<uint32_t>((8 - i) * 31.875 + 0.5);
        palette[static_cast<std::size_t>(i)] = grey | (grey << 8) | (grey << 16);
    }
    return palette;
}

CPalette PaletteFromBytes(std::span<const uint8_t> bytes) {
    CPalette palette;
    if (bytes.size() < kCustomPaletteBytes) {
        std::reverse_copy(kDefaultPalette.begin(), kDefaultPalette.end(), palette.begin());
        return palette;
    }
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const uint8_t* word = bytes.data() + i * 4;
        // The top byte of a colour word is not a colour; a stray one would leak into every object given it.
        palette[i] = static_cast<uint32_t>(word[0]) | (static_cast<uint32_t>(word[1]) << 8) |
                     (static_cast<uint32_t>(word[2]) << 16);
    }
    return palette;
}

std::array<uint8_t, kCustomPaletteBytes> PaletteBytes(const CPalette& palette) {
    std::array<uint8_t, kCustomPaletteBytes> bytes{};
    for (std::size_t i = 0; i < palette.size(); ++i)
        for (std::size_t b = 0; b < 4; ++b)
            bytes[i * 4 + b] = static_cast<uint8_t>(palette[i] >> (8 * b));
    return bytes;
}

std::string CustomPalettePath(const std::string& dataFolder) {
    return dataFolder + "/Library/custom.pal";
}

CPalette LoadCustomPalette(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxPaletteFileBytes, bytes, message))
        return CustomPaletteStart();
    return PaletteFromBytes(bytes);
}

bool SaveCustomPalette(const std::string& path, const CPalette& palette, std::string& message) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    const std::array<uint8_t, kCustomPaletteBytes> bytes = PaletteBytes(palette);
    const CImageResult result = WriteFileReplacing(path, bytes);
    if (!result.ok)
        message = result.message;
    return result.ok;
}

} // namespace pq
