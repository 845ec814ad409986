#pragma once

#include "formats/dxf/DxfGeometry.h"

#include <vector>

namespace pq {

// The definition of a DXF SPLINE (or a spline edge of a HATCH boundary), in drawing units.
struct CDxfSplineData {
    int degree = 3;
    std::vector<double> knots;
    std::vector<CPointD> controlPoints;
    std::vector<double> weights; // one per control point, or empty
    std::vector<CPointD> fitPoints;
};

// Appends the spline's curve to the open subpath of builder (or a new one). A polynomial spline of degree
// 3 or less with clamped knots is turned into Bezier segments exactly (by knot insertion); any other is
// sampled (de Boor's algorithm with the weights, each knot span in legs / 15 document units steps, 3 to
// 32 of them) and the samples fitted with cubic segments at a tolerance of 3 document units. A spline with
// fit points only runs through them with Catmull-Rom tangents. Knots that do not fit the control points
// are replaced by a clamped uniform knot vector. Returns false when nothing could be made.
bool AppendSpline(const CDxfSplineData& spline, CDxfPathBuilder& builder);

} // namespace pq
