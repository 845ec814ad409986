#pragma once

#include "geometry/PathNode.h"
#include "geometry/PointF.h"
#include "geometry/RectF.h"

#include <vector>

namespace pq {

// Appends a polyline of the elliptic arc inside box (x1, y1, x2, y2) from the ray through start to the ray
// through end, in 10 degree steps, running counter-clockwise on a y-down device.
void ArcToPolyline(double x1, double y1, double x2, double y2, CPointD start, CPointD end,
                   std::vector<CPointD>& output);

// The ellipse inscribed in rect as five Bezier nodes starting at the top centre, clockwise on screen;
// the fifth node repeats the first to close the outline.
[[nodiscard]] CNodeArray EllipseToNodes(const CRectF& rect);

} // namespace pq
