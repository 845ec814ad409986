#pragma once

#include "platform/DibSection.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pq {

// Pixel access on a CDibSection for the codecs: rows are addressed from the top of the picture whether
// the bitmap stores them bottom-up (positive height) or top-down, and colours are 0x00BBGGRR values
// (red in the low byte), the drawing's colour type. A colour-table entry is stored the other way round,
// blue in the low byte, as the BMP format keeps it.

[[nodiscard]] constexpr uint32_t MakeRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
}
[[nodiscard]] constexpr uint8_t RedOf(uint32_t rgb) {
    return static_cast<uint8_t>(rgb);
}
[[nodiscard]] constexpr uint8_t GreenOf(uint32_t rgb) {
    return static_cast<uint8_t>(rgb >> 8);
}
[[nodiscard]] constexpr uint8_t BlueOf(uint32_t rgb) {
    return static_cast<uint8_t>(rgb >> 16);
}

// A colour-table entry (blue, green, red, 0 in memory order) for a colour.
[[nodiscard]] constexpr uint32_t MakeTableEntry(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(blue) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(red) << 16;
}

// The bytes of the row y counted from the top; empty for a row outside the bitmap.
[[nodiscard]] std::span<const uint8_t> GetRowFromTop(const CDibSection& image, int32_t y);
[[nodiscard]] std::span<uint8_t> GetRowFromTop(CDibSection& image, int32_t y);

// Writes width pixels of blue, green, red bytes as red, green, blue (or back: the swap is its own
// inverse). in holds readable bytes, at least 3 * width; out takes 3 * width bytes and may be written up
// to spare bytes past them. Several pixels go a step (five a shuffle on processors with SSSE3).
void SwapRedBlue24(const uint8_t* in, std::size_t readable, int32_t width, uint8_t* out, std::size_t spare);

// The colour index of pixel x in a row of a 1, 2, 4 or 8-bit bitmap (pixels packed from the high bits).
[[nodiscard]] uint32_t GetPackedIndex(std::span<const uint8_t> row, int32_t x, uint32_t bitCount);
void SetPackedIndex(std::span<uint8_t> row, int32_t x, uint32_t bitCount, uint32_t index);

// The colour of pixel (x, y from the top) of a bitmap of any depth: through the colour table for 1 to 8
// bits (an index past the table reads as black), through the bit-field masks for 16 and 32 bits.
// Outside the bitmap: black.
[[nodiscard]] uint32_t GetPixelColour(const CDibSection& image, int32_t x, int32_t y);

// One channel described by a bit-field mask: extracts the bits and scales them to 0..255 with rounding,
// so that a 5-bit 31 and an 8-bit 255 both give 255. A zero mask gives 0.
class CMaskChannel {
public:
    CMaskChannel() = default;
    explicit CMaskChannel(uint32_t mask);
    [[nodiscard]] uint8_t Extract(uint32_t pixel) const;

private:
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;
};

// A table of count evenly spaced greys from black to white (count 2..256), as colour-table entries.
void FillGreyTable(std::span<uint32_t> table);

} // namespace pq
