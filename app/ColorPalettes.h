#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace pq {

// The colour page's palettes: 40 swatches, 10 columns by 4 rows, as colour words 0x00BBGGRR in swatch
// order (row by row).
inline constexpr int kPaletteColumns = 10;
inline constexpr int kPaletteRows = 4;
inline constexpr int kPaletteSize = kPaletteColumns * kPaletteRows;
using CPalette = std::array<uint32_t, kPaletteSize>;

// The custom palette file holds exactly this many bytes: 40 little-endian 32-bit colour words.
inline constexpr std::size_t kCustomPaletteBytes = kPaletteSize * 4;

// The fixed default palette, from black to white.
[[nodiscard]] const CPalette& DefaultPalette();
// The custom palette before any file is read: nine greys from white to black, then 31 whites.
[[nodiscard]] CPalette CustomPaletteStart();
// The custom palette a file's bytes give: the first 160 bytes as 40 colour words (the unused top byte
// cleared); a file shorter than that gives the default palette reversed, white first.
[[nodiscard]] CPalette PaletteFromBytes(std::span<const uint8_t> bytes);
// The 160 bytes of a palette file.
[[nodiscard]] std::array<uint8_t, kCustomPaletteBytes> PaletteBytes(const CPalette& palette);

// Where the custom palette lives: Library/custom.pal in the data folder.
[[nodiscard]] std::string CustomPalettePath(const std::string& dataFolder);
// Reads the custom palette file. A missing or unreadable file (a folder, a file too large to be one)
// leaves the starting palette; a short one gives the default palette reversed. Never fails.
[[nodiscard]] CPalette LoadCustomPalette(const std::string& path);
// Writes the palette file atomically, making its folder when needed; false with a message naming the
// file and the reason.
bool SaveCustomPalette(const std::string& path, const CPalette& palette, std::string& message);

} // namespace pq
