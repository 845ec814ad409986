#pragma once

#include "platform/DibSection.h"
#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pq {

// PNG through libpng. Library errors come back as a failure with libpng's message, never as an exit.

// Decodes any PNG colour type and bit depth held in memory; 16-bit samples are cut to 8 bits and
// interlaced files are de-interlaced. Palette pictures become 8-bit bitmaps with their palette, grey
// pictures without transparency 8-bit bitmaps with a grey table, everything else 24-bit. Transparency is
// composited onto white (per palette entry for palette pictures), since bitmaps here carry no alpha.
// A picture larger than 10000 x 10000 is refused from its header, before the pixels are allocated.
[[nodiscard]] CImageResult DecodePng(std::span<const uint8_t> file, CDibSection& image);

// Writes a bitmap as PNG: 1, 2, 4 and 8-bit bitmaps as palette pictures of the same depth (the whole
// 2^depth palette), 16, 24 and 32-bit ones as 8-bit RGB. Decoding the result gives the same colours.
[[nodiscard]] CImageResult EncodePng(const CDibSection& image, std::vector<uint8_t>& file);

} // namespace pq
