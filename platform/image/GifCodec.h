#pragma once

#include "platform/DibSection.h"
#include "platform/image/ImageResult.h"

#include <cstdint>
#include <span>

namespace pq {

// Decodes the first picture of a GIF file held in memory through giflib into an 8-bit bitmap with the
// picture's colour table (its own or the file's; all 256 entries, unused ones black). The bitmap has the
// size of the file's logical screen; where the first picture does not cover it, the screen's background
// colour shows. Transparency is ignored: transparent pixels show their table colour. A screen or picture
// larger than 10000 x 10000 is refused from its descriptor, before the pixels are allocated; so is a file
// that ends before the picture is complete.
[[nodiscard]] CImageResult DecodeGif(std::span<const uint8_t> file, CDibSection& image);

} // namespace pq
