#pragma once

#include "platform/DibSection.h"
#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pq {

// Reading and writing the Windows bitmap file format
// (https://learn.microsoft.com/windows/win32/gdi/bitmap-storage).
//
// The reader takes 1, 2, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit fields, RLE8 and
// RLE4 compression, rows stored bottom-up or top-down, and the old 12-byte core header as well as the
// 40-byte header and its longer successors. Every length, count and offset in the file is checked
// against the bytes present before anything is read or allocated, and a picture larger than
// 10000 x 10000 is refused from its header alone. The decoded bitmap is always bottom-up: images with a
// colour table keep their depth and receive a table of all 2^depth entries (entries the file does not
// give are black; a file without any table gets evenly spaced greys); 16 and 32-bit images become
// 24-bit, the alpha channel of a 32-bit image being dropped.
[[nodiscard]] CImageResult DecodeBmp(std::span<const uint8_t> file, CDibSection& image);

// The 2-bit device format: a BMP file whose pixels have 2 bits each, showing four grey levels unless the
// file carries its own four-entry colour table. Files of any other depth are refused.
[[nodiscard]] CImageResult Decode2bp(std::span<const uint8_t> file, CDibSection& image);

// The complete BMP file of a bitmap: the 14-byte file header ("BM", file size, two reserved zeros, pixel
// offset 14 + 40 + 4 x colour-table entries), the 40-byte info header, the colour table and the pixel rows
// exactly as the bitmap holds them. Fails for an empty bitmap.
[[nodiscard]] CImageResult EncodeBmp(const CDibSection& image, std::vector<uint8_t>& file);

} // namespace pq
