#pragma once

#include "platform/image/ImageResult.h"

#include <string>

namespace pq {

class CDrawing;
class CViewMapping;

// Pictures larger than this many pixels on either side are resampled to fit it when inserted.
inline constexpr int kMaxInsertedImagePixels = 220;

// Decodes an image file and appends it to the drawing as an image object on the given page, shown at
// its pixel size under the view's mapping with its top-left corner 10 pixels from the view's corner.
// A picture larger than 220 pixels is resampled so that its longer side is 220. index receives the new
// object's index. Fails with the decoder's message and leaves the drawing unchanged.
[[nodiscard]] CImageResult InsertImageFile(CDrawing& drawing, const std::string& path, int page,
                                           const CViewMapping& mapping, int* index);

} // namespace pq
