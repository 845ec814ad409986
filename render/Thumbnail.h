#pragma once

#include "platform/DibSection.h"

#include <optional>

namespace pq {

class CDrawing;

// A size x size 24-bit picture of one page's objects on white, for the clip-art library's list: the
// objects' common bounds fill the square less a margin of two pixels, centred, drawn with smooth edges
// (the page itself would leave a small clip a few pixels across). Smoothed further by the anti-aliasing
// filter when asked. Nothing when the page has no objects or no bitmap can have the size.
[[nodiscard]] std::optional<CDibSection> RenderObjectsThumbnail(const CDrawing& drawing, int page, int size,
                                                                bool antiAlias);

} // namespace pq
