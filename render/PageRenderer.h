#pragma once

#include "geometry/Rect.h"
#include "platform/DibSection.h"

#include <optional>

namespace pq {

class CDeviceContext;
class CDrawing;
class CViewMapping;

// Draws the objects of one page back to front onto the bitmap selected into dc. Objects whose bounds,
// widened by a pixel, miss visibleRect cost nothing. Nothing is drawn for a page the drawing lacks.
void DrawPage(const CDrawing& drawing, int page, CDeviceContext& dc, const CViewMapping& mapping,
              const CRect& visibleRect);

// A width x height 24-bit rendering of a page on white, the page fitted into the bitmap; smoothed by the
// anti-aliasing filter when asked. Nothing when the size is not one a bitmap can have.
[[nodiscard]] std::optional<CDibSection> RenderPageToBitmap(const CDrawing& drawing, int page, int width,
                                                            int height, bool antiAlias);

} // namespace pq
