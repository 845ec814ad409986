#pragma once

#include "geometry/Rect.h"
#include "platform/DibSection.h"

namespace pq {

// The largest rectangle with the content's aspect ratio inside a box of boxWidth x boxHeight, centred in
// it (integer halves). When a size of the box, of the content or of the result is below 1 the whole box
// is returned.
[[nodiscard]] CRect FitAspect(int boxWidth, int boxHeight, int contentWidth, int contentHeight);

// The smoothing filter of exported bitmaps: every channel of every pixel becomes the 3 x 3 weighted sum
// 1 6 1 / 6 36 6 / 1 6 1 of its neighbourhood shifted right by 6, with neighbours beyond the border
// replaced by the border pixel. Works on 24-bit bitmaps; any other bitmap comes back unchanged.
[[nodiscard]] CDibSection AntiAliasBitmap(const CDibSection& source);

} // namespace pq
