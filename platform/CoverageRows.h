#pragma once

// The pixel rows of a bitmap as the coverage fills write them, and the blend of one pixel.

#include "platform/DibSection.h"

#include <cstddef>
#include <cstdint>

namespace pq::coverage {

// Where a bitmap's rows are, or nothing for one that is not drawn on.
struct CRows {
    uint8_t* top = nullptr;
    std::ptrdiff_t pitch = 0;
    int32_t bytesPerPixel = 0;

    [[nodiscard]] uint8_t* Pixel(int32_t x, int32_t y) const {
        return top + pitch * y + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
    }
};

inline bool FindRows(CDibSection& bitmap, CRows& rows) {
    const uint16_t depth = bitmap.GetBitCount();
    if (bitmap.IsEmpty() || (depth != 24 && depth != 32))
        return false;
    const int32_t height = bitmap.GetHeight();
    const auto rowBytes = static_cast<std::ptrdiff_t>(bitmap.GetBytesPerRow());
    if (bitmap.GetBits().size() < static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height))
        return false;
    uint8_t* bits = bitmap.GetBits().data();
    const bool topDown = bitmap.GetHeader().height < 0;
    rows.top = topDown ? bits : bits + rowBytes * (height - 1);
    rows.pitch = topDown ? rowBytes : -rowBytes;
    rows.bytesPerPixel = depth / 8;
    return true;
}

// A colour reference's channels in the bitmap's byte order.
struct CBlendColour {
    uint8_t blue, green, red;
    explicit CBlendColour(uint32_t colour)
        : blue(static_cast<uint8_t>(colour >> 16 & 0xFF)), green(static_cast<uint8_t>(colour >> 8 & 0xFF)),
          red(static_cast<uint8_t>(colour & 0xFF)) {}
};

// Lays the colour over the pixel by alpha, 1..256.
inline void BlendPixel(uint8_t* p, int32_t alpha, CBlendColour c, int32_t bytesPerPixel) {
    if (alpha >= 256) {
        p[0] = c.blue;
        p[1] = c.green;
        p[2] = c.red;
        if (bytesPerPixel == 4)
            p[3] = 0;
        return;
    }
    const int32_t rest = 256 - alpha;
    p[0] = static_cast<uint8_t>((c.blue * alpha + p[0] * rest + 128) >> 8);
    p[1] = static_cast<uint8_t>((c.green * alpha + p[1] * rest + 128) >> 8);
    p[2] = static_cast<uint8_t>((c.red * alpha + p[2] * rest + 128) >> 8);
}

} // namespace pq::coverage
