#include "platform/DibSectionDraw.h"

namespace pq {

bool DrawDibSection(const CDibSection& image, CDeviceContext& dc, int32_t x, int32_t y, int32_t width,
                    int32_t height, uint32_t rop) {
    if (image.IsEmpty())
        return false;
    return dc.StretchBlt(x, y, width, height, image, 0, 0, image.GetWidth(), image.GetHeight(), rop);
}

bool ScaleBitmap(const CDibSection& source, int32_t width, int32_t height, bool upsideDown,
                 CDibSection& result) {
    result.Clear();
    if (source.IsEmpty() || !result.Create(width, height, 24))
        return false;
    CDeviceContext dc(&result);
    // Upside down, the destination starts on the last row and runs upwards.
    const bool drawn = upsideDown ? DrawDibSection(source, dc, 0, height - 1, width, -height, kRop3SrcCopy)
                                  : DrawDibSection(source, dc, 0, 0, width, height, kRop3SrcCopy);
    if (!drawn)
        result.Clear();
    return drawn;
}

} // namespace pq
