#include "render/Thumbnail.h"

#include "geometry/ViewMapping.h"
#include "model/Drawing.h"
#include "platform/DeviceContext.h"
#include "render/BitmapFilter.h"
#include "render/PageRenderer.h"

#include <algorithm>

namespace pq {

namespace {

constexpr int kMarginPixels = 2;
// A line with no width or height still gets a square to sit in: a tenth of a millimetre.
constexpr float kMinimumSide = 1.0f;

} // namespace

std::optional<CDibSection> RenderObjectsThumbnail(const CDrawing& drawing, int page, int size,
                                                  bool antiAlias) {
    if (drawing.ObjectCountOnPage(page) == 0 || size <= 2 * kMarginPixels)
        return std::nullopt;
    CDibSection bitmap;
    if (!bitmap.Create(size, size, 24))
        return std::nullopt;
    CDeviceContext dc(&bitmap);
    dc.FillSolidRect(CRect{0, 0, size, size}, 0xFFFFFF);

    CRectF bounds = drawing.PageBounds(page);
    const float width = std::max(bounds.right - bounds.left, kMinimumSide);
    const float height = std::max(bounds.bottom - bounds.top, kMinimumSide);
    const float centerX = (bounds.left + bounds.right) / 2;
    const float centerY = (bounds.top + bounds.bottom) / 2;
    bounds = CRectF{centerX - width / 2, centerX + width / 2, centerY - height / 2, centerY + height / 2};
    CViewMapping mapping;
    mapping.FitRect(bounds, CRect{kMarginPixels, kMarginPixels, size - kMarginPixels, size - kMarginPixels});
    DrawPage(drawing, page, dc, mapping, CRect{0, 0, size, size}, PaintThreads::One, EdgeStyle::Smooth);
    dc.SelectBitmap(nullptr);
    if (antiAlias)
        return AntiAliasBitmap(bitmap);
    return bitmap;
}

} // namespace pq
