#pragma once

#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

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

// The smallest rectangle holding every pixel isInk accepts in the rows [top, bottom) (the whole bitmap by
// default); empty when there is none.
template <typename IsInk>
inline CRect InkBox(const CDibSection& bitmap, IsInk isInk, int32_t top = 0, int32_t bottom = -1) {
    if (bottom < 0)
        bottom = bitmap.GetHeight();
    CRect box;
    for (int32_t y = std::max(0, top); y < std::min(bottom, bitmap.GetHeight()); ++y)
        for (int32_t x = 0; x < bitmap.GetWidth(); ++x)
            if (isInk(PixelAt(bitmap, x, y)))
                box = box.IsEmpty() ? CRect{x, y, x + 1, y + 1}
                                    : CRect{std::min(box.left, x), std::min(box.top, y),
                                            std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box;
}

// The box of every pixel that is no longer white.
inline CRect InkBox(const CDibSection& bitmap) {
    return InkBox(bitmap, [](uint32_t c) { return c != 0xFFFFFF; });
}

// Number of pixels of two bitmaps of the same size whose every colour component is within tolerance.
inline int CountAgreeing(const CDibSection& a, const CDibSection& b, int tolerance) {
    int n = 0;
    for (int32_t y = 0; y < a.GetHeight(); ++y)
        for (int32_t x = 0; x < a.GetWidth(); ++x) {
            const uint32_t p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            bool same = true;
            for (int shift = 0; shift <= 16; shift += 8)
                same = same && std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                        static_cast<int>((q >> shift) & 0xFF)) <= tolerance;
            n += same ? 1 : 0;
        }
    return n;
}

// Reads a binary PPM (P6), as Ghostscript and pdftoppm write it, into a 24-bit bitmap.
inline bool ReadPpm(const std::string& path, CDibSection& bitmap) {
    std::ifstream in(path, std::ios::binary);
    // Header tokens, passing over "#" comment lines (Ghostscript names itself in one).
    auto token = [&in]() {
        std::string word;
        while (in >> word && word.starts_with("#")) {
            std::string rest;
            std::getline(in, rest);
        }
        return word;
    };
    const std::string magic = token();
    const int width = std::atoi(token().c_str());
    const int height = std::atoi(token().c_str());
    const int maximum = std::atoi(token().c_str());
    if (magic != "P6" || maximum != 255)
        return false;
    in.get();
    if (!bitmap.Create(width, height, 24))
        return false;
    std::vector<char> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        if (!in.read(row.data(), static_cast<std::streamsize>(row.size())))
            return false;
        uint8_t* out =
            bitmap.GetBits().data() + static_cast<std::size_t>(height - 1 - y) * bitmap.GetBytesPerRow();
        for (int x = 0; x < width; ++x) {
            out[3 * x] = static_cast<uint8_t>(row[3 * x + 2]);
            out[3 * x + 1] = static_cast<uint8_t>(row[3 * x + 1]);
            out[3 * x + 2] = static_cast<uint8_t>(row[3 * x]);
        }
    }
    return true;
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
