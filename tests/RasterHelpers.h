#pragma once

#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace pq::test {

// A bitmap of the given depth with every pixel set to a colour (0x00BBGGRR); 24 and 32 bits only.
inline CDibSection MakeBitmap(int32_t width, int32_t height, uint16_t bitCount, uint32_t color = 0xFFFFFF) {
    CDibSection bitmap;
    bitmap.Create(width, height, bitCount);
    CDeviceContext dc(&bitmap);
    dc.FillSolidRect(CRect(0, 0, width, height), color);
    return bitmap;
}

// The colour reference of one pixel, read straight from the bits (bottom-up or top-down rows).
inline uint32_t PixelAt(const CDibSection& bitmap, int32_t x, int32_t y) {
    const std::size_t row =
        static_cast<std::size_t>(bitmap.GetHeader().height < 0 ? y : bitmap.GetHeight() - 1 - y);
    const std::size_t bpp = bitmap.GetBitCount() / 8u;
    const uint8_t* p =
        bitmap.GetBits().data() + row * bitmap.GetBytesPerRow() + bpp * static_cast<std::size_t>(x);
    return static_cast<uint32_t>(p[2]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[0]) << 16;
}

// Number of pixels of a 24- or 32-bit bitmap that differ between two bitmaps of the same size.
inline int CountDifferences(const CDibSection& a, const CDibSection& b) {
    int n = 0;
    for (int32_t y = 0; y < a.GetHeight(); ++y)
        for (int32_t x = 0; x < a.GetWidth(); ++x)
            n += PixelAt(a, x, y) != PixelAt(b, x, y) ? 1 : 0;
    return n;
}

// Writes a 24- or 32-bit bitmap as a binary PPM (P6) file, for looking at a result by eye:
// PQ_DUMP_DIR=/tmp ./test_platform writes one file per call that names it.
inline bool WritePpm(const CDibSection& bitmap, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", bitmap.GetWidth(), bitmap.GetHeight());
    for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
        for (int32_t x = 0; x < bitmap.GetWidth(); ++x) {
            const uint32_t c = PixelAt(bitmap, x, y);
            const unsigned char rgb[3] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                                          static_cast<unsigned char>(c >> 16)};
            std::fwrite(rgb, 1, 3, f);
        }
    }
    return std::fclose(f) == 0;
}

// Writes the bitmap to $PQ_DUMP_DIR/name.ppm when that variable is set; does nothing otherwise.
inline void DumpIfAsked(const CDibSection& bitmap, const std::string& name) {
    if (const char* dir = std::getenv("PQ_DUMP_DIR"))
        WritePpm(bitmap, std::string(dir) + "/" + name + ".ppm");
}

} // namespace pq::test
