#pragma once

#include "geometry/Rect.h"
#include "platform/DibSection.h"

#include <optional>

namespace pq {

class CDeviceContext;
class CDrawing;
class CGraphicObject;
class CViewMapping;

// Whether a busy page may be drawn by two threads at once, each taking half of the rows. The pixels are
// the same either way.
enum class PaintThreads { Automatic, One };

// Aliased edges are the platform's exact pixels, which exports, feedback and tests rely on; smooth edges
// blend paths' fills and pens by how much of each pixel they cover, and scale images by their area.
enum class EdgeStyle { Aliased, Smooth };

// Draws the objects of one page back to front onto the bitmap selected into dc, within its clip box.
// Objects whose reach (bounds widened by a pixel and by a wide pen) misses visibleRect cost nothing, and
// on a busy page so do those that later solid fills paint over completely (render/HiddenObjects.h).
// Nothing is drawn for a page the drawing lacks.
void DrawPage(const CDrawing& drawing, int page, CDeviceContext& dc, const CViewMapping& mapping,
              const CRect& visibleRect, PaintThreads threads = PaintThreads::Automatic,
              EdgeStyle edges = EdgeStyle::Aliased);

// The device pixels an object can touch when drawn through mapping (its bounds widened by a pixel and by a
// wide pen): what DrawPage culls by, and so what a redraw after the object changed must cover.
[[nodiscard]] CRect ObjectReach(const CGraphicObject& object, const CViewMapping& mapping);

// Draws a page's objects over what the bitmap holds, the page fitted into the whole bitmap and drawn within a
// pixel of its edges: what a rendering of the page is, whether drawn at once or in parts.
void DrawPageFitted(const CDrawing& drawing, int page, CDibSection& bitmap, EdgeStyle edges);

// A width x height 24-bit rendering of a page on white, the page fitted into the bitmap; smoothed by the
// anti-aliasing filter when asked, drawn with the edge style given. Nothing when the size is not one a bitmap
// can have.
[[nodiscard]] std::optional<CDibSection> RenderPageToBitmap(const CDrawing& drawing, int page, int width,
                                                            int height, bool antiAlias,
                                                            EdgeStyle edges = EdgeStyle::Aliased);

} // namespace pq
