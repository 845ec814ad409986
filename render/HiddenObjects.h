#pragma once

#include "render/PageRenderer.h"

#include <cstddef>

namespace pq {

// Whether DrawPage leaves out the objects that later opaque fills hide completely. The pixels are the
// same either way; leaving them out pays only on busy pages, which is what DrawPage does by default.
// Tests and benchmarks draw with each choice to compare them.
enum class HiddenObjects { SkipOnBusyPages, Skip, Draw };

void DrawPage(const CDrawing& drawing, int page, CDeviceContext& dc, const CViewMapping& mapping,
              const CRect& visibleRect, PaintThreads threads, EdgeStyle edges, HiddenObjects hidden);

// How many of the objects a paint of the page onto dc would leave out as hidden.
[[nodiscard]] std::size_t CountHiddenObjects(const CDrawing& drawing, int page, const CDeviceContext& dc,
                                             const CViewMapping& mapping, const CRect& visibleRect,
                                             EdgeStyle edges,
                                             HiddenObjects hidden = HiddenObjects::SkipOnBusyPages);

} // namespace pq
