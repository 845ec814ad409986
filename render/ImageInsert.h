#pragma once

#include "platform/image/ImageResult.h"

#include <memory>
#include <string>

namespace pq {

class CGraphicObject;
class CViewMapping;

// Pictures larger than this many pixels on either side are resampled to fit it when inserted.
inline constexpr int kMaxInsertedImagePixels = 220;

// Decodes an image file into an image object on the given page, shown at its pixel size under the view's
// mapping with its top-left corner 10 pixels from the view's corner. A picture larger than 220 pixels is
// resampled so that its longer side is 220. Fails with the decoder's message and leaves object empty.
[[nodiscard]] CImageResult MakeImageObject(const std::string& path, int page, const CViewMapping& mapping,
                                           std::unique_ptr<CGraphicObject>& object);

} // namespace pq
