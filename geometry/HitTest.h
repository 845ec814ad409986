#pragma once

#include "geometry/PathNode.h"
#include "geometry/Rect.h"

#include <optional>
#include <span>

namespace pq {

// Distance from p to the first polyline segment whose foot of perpendicular lies on the segment and
// within tolerance pixels; nothing when no segment qualifies or the polyline has fewer than two points.
[[nodiscard]] std::optional<float> HitTestPolyline(std::span<const CPoint> polyline, CPoint p, int tolerance);

// Even-odd inside test of p against the polygon (no implicit closing edge: callers repeat the first
// vertex). bounds is the polygon's bounding box, edges inclusive.
[[nodiscard]] bool PointInPolygon(std::span<const CPoint> polygon, CPoint p, const CRect& bounds);

// Sum of the lengths of the polyline's legs, accumulated in double.
[[nodiscard]] float PolylineLength(const CPointArray& polyline);

} // namespace pq
