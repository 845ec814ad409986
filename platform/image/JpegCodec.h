#pragma once

#include "platform/DibSection.h"
#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pq {

// JPEG through libjpeg (version 6 interface). Library errors never end the program: they come back as a
// failure with the library's own message.

// Decodes a baseline or progressive JPEG held in memory. Grey-scale pictures become 8-bit bitmaps with
// a 256-grey table, colour pictures 24-bit bitmaps; CMYK and YCCK pictures are converted to RGB (Adobe's
// inverted CMYK is recognised by its marker). A picture larger than 10000 x 10000 is refused from its
// header, before the pixels are allocated; so is a file that ends before its last scan.
[[nodiscard]] CImageResult DecodeJpeg(std::span<const uint8_t> file, CDibSection& image);

// Compresses a 24-bit bitmap: the given quality (clamped to 1..100, scaled by the library without forcing
// baseline tables), optimised entropy coding, sequential (not progressive), colour output, the library's
// default DCT method and no smoothing. Other depths are refused.
[[nodiscard]] CImageResult EncodeJpeg(const CDibSection& image, int quality, std::vector<uint8_t>& file);

} // namespace pq
