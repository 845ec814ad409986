#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pq {

// The pixel arithmetic of raster operations, on 0x00RRGGBB pixel values. Shared by the device context's
// primitives; the top byte of a 32-bit pixel is always written as 0.

inline constexpr uint32_t kPixelMask = 0x00FFFFFF;

// A binary raster operation: bit (2 * pen + destination) of (mode - 1) gives the result bit.
[[nodiscard]] constexpr uint32_t ApplyRop2(int mode, uint32_t pen, uint32_t dst) {
    const unsigned table = static_cast<unsigned>(mode - 1) & 15u;
    uint32_t r = 0;
    if (table & 8u)
        r |= pen & dst;
    if (table & 4u)
        r |= pen & ~dst;
    if (table & 2u)
        r |= ~pen & dst;
    if (table & 1u)
        r |= ~pen & ~dst;
    return r & kPixelMask;
}

// Writes count pixels of a 24- or 32-bit row from p on, blue first, the top byte of a 32-bit pixel 0.
// Whole words are stored where the byte order allows; a 24-bit row takes four pixels per three words.
inline void FillPixels(uint8_t* p, std::size_t count, uint32_t pixel, int bytesPerPixel) {
    pixel &= kPixelMask;
    const auto b = static_cast<uint8_t>(pixel), g = static_cast<uint8_t>(pixel >> 8),
               r = static_cast<uint8_t>(pixel >> 16);
    if constexpr (std::endian::native == std::endian::little) {
        if (bytesPerPixel == 4) {
            for (; count > 0; --count, p += 4)
                std::memcpy(p, &pixel, 4);
            return;
        }
        if (count >= 4) {
            const uint32_t words[3] = {pixel | pixel << 24, pixel >> 8 | pixel << 16,
                                       pixel >> 16 | pixel << 8};
            for (; count >= 4; count -= 4, p += 12)
                std::memcpy(p, words, 12);
        }
    }
    for (; count > 0; --count, p += bytesPerPixel) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
        if (bytesPerPixel == 4)
            p[3] = 0;
    }
}

// Whether applying a binary raster operation twice with the same pen gives what applying it once gives
// (copy, the masks and merges with the pen, black, white): drawing a pixel more than once is then harmless.
[[nodiscard]] constexpr bool IsRop2Idempotent(int mode) {
    const unsigned table = static_cast<unsigned>(mode - 1) & 15u;
    for (unsigned pen = 0; pen < 2; ++pen) {
        for (unsigned dst = 0; dst < 2; ++dst) {
            const unsigned once = table >> (2 * pen + dst) & 1u;
            const unsigned twice = table >> (2 * pen + once) & 1u;
            if (once != twice)
                return false;
        }
    }
    return true;
}

// A ternary raster operation: bit (4 * pattern + 2 * source + destination) of the code's third byte
// gives the result bit.
[[nodiscard]] constexpr uint32_t ApplyRop3(uint32_t rop, uint32_t pattern, uint32_t src, uint32_t dst) {
    const unsigned table = rop >> 16 & 0xFFu;
    uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(table & 1u << i))
            continue;
        const uint32_t p = (i & 4u) ? pattern : ~pattern;
        const uint32_t s = (i & 2u) ? src : ~src;
        const uint32_t d = (i & 1u) ? dst : ~dst;
        r |= p & s & d;
    }
    return r & kPixelMask;
}

// Whether the result of a ternary operation depends on the source, or on the destination.
[[nodiscard]] constexpr bool Rop3UsesSource(uint32_t rop) {
    const unsigned t = rop >> 16 & 0xFFu;
    return ((t >> 2) & 0x33u) != (t & 0x33u);
}
[[nodiscard]] constexpr bool Rop3UsesDestination(uint32_t rop) {
    const unsigned t = rop >> 16 & 0xFFu;
    return ((t >> 1) & 0x55u) != (t & 0x55u);
}

} // namespace pq
