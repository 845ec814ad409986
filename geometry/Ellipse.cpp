#include "geometry/Ellipse.h"

#include "geometry/LineMath.h"
#include "geometry/Numeric.h"

#include <cmath>

namespace pq {

namespace {

// Ten degrees, the angular step of arc polylines.
constexpr double kArcStep = 0.17453293;

// Half the circle constant 0.5522848: the handles of a quarter ellipse, as a fraction of the full width
// or height, that keep the Bezier within 0.03% of the true ellipse.
constexpr float kHandleFactor = 0.2761424f;

// The point of the ellipse with semi-axes a, b about centre on the ray from the centre at angle theta.
// In polar form about the centre the radius is a b / sqrt((a sin)^2 + (b cos)^2).
CPointD EllipsePointOnRay(CPointD centre, double a, double b, double theta) {
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double h = std::hypot(a * s, b * c);
    if (h < kGeomEpsilon)
        return centre;
    const double r = a * b / h;
    return {centre.x + r * c, centre.y + r * s};
}

} // namespace

void ArcToPolyline(double x1, double y1, double x2, double y2, CPointD start, CPointD end,
                   std::vector<CPointD>& output) {
    const CPointD centre{(x1 + x2) * 0.5, (y1 + y2) * 0.5};
    const double a = std::fabs(x1 - x2) * 0.5;
    const double b = std::fabs(y1 - y2) * 0.5;
    const CPointD alongX{centre.x + 1000.0, centre.y};

    const double startAngle = NormalizeAngle(VectorAngle(start, centre, alongX));
    const double endAngle = NormalizeAngle(VectorAngle(end, centre, alongX));
    const double sweep = NormalizeAngle(VectorAngle(start, centre, end));

    // The angle decreases from the start, which on a y-down device runs counter-clockwise. The step
    // count is at most 37 because the sweep is below 2 pi (and a NaN sweep runs no step at all).
    for (int k = 0;; ++k) {
        const double phi = k * kArcStep;
        if (!(phi < sweep))
            break;
        output.push_back(EllipsePointOnRay(centre, a, b, startAngle - phi));
    }
    output.push_back(EllipsePointOnRay(centre, a, b, endAngle));
}

CNodeArray EllipseToNodes(const CRectF& rect) {
    const float cx = (rect.left + rect.right) * 0.5f;
    const float cy = (rect.top + rect.bottom) * 0.5f;
    const float kw = kHandleFactor * (rect.right - rect.left);
    const float kh = kHandleFactor * (rect.bottom - rect.top);

    const CPathNode top{{cx - kw, rect.top}, {cx, rect.top}, {cx + kw, rect.top}};
    CNodeArray nodes;
    nodes.Add(top);
    nodes.Add({{rect.right, cy - kh}, {rect.right, cy}, {rect.right, cy + kh}});
    nodes.Add({{cx + kw, rect.bottom}, {cx, rect.bottom}, {cx - kw, rect.bottom}});
    nodes.Add({{rect.left, cy + kh}, {rect.left, cy}, {rect.left, cy - kh}});
    nodes.Add(top);
    return nodes;
}

} // namespace pq
