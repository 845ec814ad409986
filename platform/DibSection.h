#pragma once

#include "platform/LargeBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace pq {

// The 40-byte bitmap info header of a device-independent bitmap, field for field as the BMP format
// stores it (https://learn.microsoft.com/windows/win32/api/wingdi/ns-wingdi-bitmapinfoheader).
struct CBitmapInfoHeader {
    static constexpr uint32_t kSize = 40;
    static constexpr uint32_t kCompressionNone = 0;   // BI_RGB
    static constexpr uint32_t kCompressionFields = 3; // BI_BITFIELDS: three colour masks follow

    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0; // negative for rows stored top-down
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;

    bool operator==(const CBitmapInfoHeader&) const = default;

    // The 40 little-endian bytes of the header.
    void WriteTo(uint8_t* out) const;
    [[nodiscard]] static CBitmapInfoHeader ReadFrom(const uint8_t* in);
};

// A device-independent bitmap: the info header, the colour table (blue, green, red, 0 entries) and the
// pixel rows (bottom-up unless the height is negative, each row padded to 4 bytes). The pixel buffer
// always holds at least the bytes its rows need. Drawing and decoding of image files sit above it.
//
// Copies share their pixels until one of them asks for writable pixels, which gives it its own: a picture
// shown many times (a file may show one image hundreds of thousands of times) costs its pixels once.
// Reading shared pixels from several threads is safe; a bitmap two threads draw into must have been given
// its own pixels (the non-const GetBits) before they start.
class CDibSection {
public:
    static constexpr int32_t kMaxWidth = 10000;
    static constexpr int32_t kMaxHeight = 10000;
    static constexpr uint32_t kMaxColours = 256;

    CDibSection() = default;
    virtual ~CDibSection() = default;
    CDibSection(const CDibSection&) = default;
    CDibSection& operator=(const CDibSection&) = default;
    CDibSection(CDibSection&&) noexcept = default;
    CDibSection& operator=(CDibSection&&) noexcept = default;

    // Number of colour-table entries for a bit depth: 1 -> 2, 2 -> 4, 4 -> 16, 8 -> 256, 16 and 32 -> 3
    // (bit-field masks), 24 -> 0; a non-zero used-colours value replaces it when smaller.
    [[nodiscard]] static uint32_t ColourTableSize(uint32_t bitCount, uint32_t clrUsed);
    // Row length in bytes, padded to 4: ((width * bitCount + 31) & ~31) / 8.
    [[nodiscard]] static std::size_t BytesPerRow(int32_t width, uint32_t bitCount);
    // True for a header this class can hold: 40-byte size, one plane, 1, 2, 4, 8, 16, 24 or 32 bits per
    // pixel, no compression (or bit fields for 16 and 32 bits), width 1..10000, |height| 1..10000.
    [[nodiscard]] static bool IsValidHeader(const CBitmapInfoHeader& header);

    [[nodiscard]] bool IsEmpty() const { return bits == nullptr || bits->empty(); }
    // Frees the pixels and zeroes the header and colour table.
    void Clear();

    // Makes this a copy of packed bitmap data: the header, colourCount table entries (by the rule above)
    // and the pixel bytes. An image size of 0 in the header is computed from the rows. Fails, leaving the
    // object empty, for an invalid header, too few colours or fewer pixel bytes than the rows need.
    bool SetFromDib(const CBitmapInfoHeader& header, std::span<const uint32_t> colours,
                    std::span<const uint8_t> pixelBytes);
    // A blank (zeroed) uncompressed bitmap of the given size and depth; colour tables start black.
    bool Create(int32_t width, int32_t height, uint16_t bitCount);

    // The header and colour table as stored in object records: 40 + 4 * colourCount bytes.
    [[nodiscard]] std::vector<uint8_t> GetInfoBytes() const;
    // Parses header + colour table bytes and the pixel bytes, as written by GetInfoBytes; the table must
    // have exactly the entries the header calls for. Fails, leaving the object empty, like SetFromDib.
    bool SetFromInfoBytes(std::span<const uint8_t> info, std::span<const uint8_t> pixelBytes);

    [[nodiscard]] const CBitmapInfoHeader& GetHeader() const { return header; }
    [[nodiscard]] int32_t GetWidth() const { return header.width; }
    // The number of rows (the header's height without its top-down sign).
    [[nodiscard]] int32_t GetHeight() const { return header.height < 0 ? -header.height : header.height; }
    [[nodiscard]] uint16_t GetBitCount() const { return header.bitCount; }
    [[nodiscard]] uint32_t GetImageSize() const { return header.sizeImage; }
    [[nodiscard]] std::size_t GetBytesPerRow() const { return BytesPerRow(header.width, header.bitCount); }

    [[nodiscard]] uint32_t GetColourCount() const { return colourCount; }
    [[nodiscard]] std::span<const uint32_t> GetColourTable() const { return {colours.data(), colourCount}; }
    // Replaces the first count entries (at most the table's size); false for images without a table.
    bool SetColourTable(std::span<const uint32_t> entries);

    [[nodiscard]] std::span<const uint8_t> GetBits() const {
        return bits ? std::span<const uint8_t>(*bits) : std::span<const uint8_t>();
    }
    // Writable pixels, copied first when another bitmap shares them.
    [[nodiscard]] std::span<uint8_t> GetBits();
    // True when this bitmap and other use the same pixel storage (copies that neither has written to).
    [[nodiscard]] bool SharesPixelsWith(const CDibSection& other) const {
        return bits != nullptr && bits == other.bits;
    }

    bool operator==(const CDibSection& other) const;

private:
    CBitmapInfoHeader header;
    std::vector<uint32_t> colours;
    uint32_t colourCount = 0;
    // Pages at print size are megabytes: their pixels live in memory for large buffers.
    using CPixelBytes = std::vector<uint8_t, CLargeBufferAllocator<uint8_t>>;
    std::shared_ptr<CPixelBytes> bits;
};

} // namespace pq
