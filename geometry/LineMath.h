#pragma once

#include "geometry/PointF.h"

#include <optional>

namespace pq {

// Intersection of line ab with line cd; nothing for degenerate or parallel lines.
[[nodiscard]] std::optional<CPointD> IntersectLines(CPointD a, CPointD b, CPointD c, CPointD d);

// True when p lies in the bounding box of segment ab widened by the geometric tolerance.
[[nodiscard]] bool PointInSegmentBox(CPointF a, CPointF b, CPointF p);
[[nodiscard]] bool PointInSegmentBox(CPointD a, CPointD b, CPointD p);

// Foot of the perpendicular from p to line ab (a when a and b coincide).
[[nodiscard]] CPointF ProjectPointOnLine(CPointF a, CPointF b, CPointF p);

// Signed angle from ray c->q to ray c->p, folded into [-pi, pi] (positive turns clockwise on a y-down
// device); 0 when any two points coincide.
[[nodiscard]] double VectorAngle(CPointD p, CPointD c, CPointD q);
// The same angle in [0, 2 pi).
[[nodiscard]] double NormalizeAngle(double angle);

// Rotates (x, y) about centre by angle radians (double precision); tiny results become exactly 0.
void RotatePoint(float& x, float& y, CPointF centre, double angle);

} // namespace pq
