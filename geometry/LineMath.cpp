#include "geometry/LineMath.h"

#include "geometry/Numeric.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// pi and 2 pi rounded to single precision and widened to double. The folding uses these values, so an
// angle exactly opposite gives -pi or +pi depending on which ray lies at angle 0.
constexpr double kPiF = 3.1415927410125732;
constexpr double kTwoPiF = 6.2831854820251465;

bool Coincide(CPointD a, CPointD b) {
    return std::fabs(a.x - b.x) < kGeomEpsilon && std::fabs(a.y - b.y) < kGeomEpsilon;
}

} // namespace

std::optional<CPointD> IntersectLines(CPointD a, CPointD b, CPointD c, CPointD d) {
    if ((a.x == b.x && a.y == b.y) || (c.x == d.x && c.y == d.y))
        return std::nullopt;

    // Everything is taken relative to b, so an intersection at b itself comes out exactly as b: the
    // polygon test relies on that to recognise a ray through an edge's end vertex.
    const double ax = a.x - b.x, ay = a.y - b.y;
    const double cx = c.x - b.x, cy = c.y - b.y;
    const double dx = d.x - b.x, dy = d.y - b.y;
    const bool abVertical = std::fabs(ax) < kGeomEpsilon;
    const bool cdVertical = std::fabs(cx - dx) < kGeomEpsilon;

    double x;
    double y;
    if (cdVertical) {
        if (abVertical)
            return std::nullopt;
        x = cx;
        y = ay / ax * x;
    } else if (abVertical) {
        x = 0.0;
        y = cy + (dy - cy) / (dx - cx) * (x - cx);
    } else {
        const double m1 = ay / ax;
        const double m2 = (dy - cy) / (dx - cx);
        if (std::fabs(m1 - m2) < kGeomEpsilon)
            return std::nullopt;
        // Line ab: y = m1 x. Line cd: y = cy + m2 (x - cx).
        x = (cy - m2 * cx) / (m1 - m2);
        y = m1 * x;
    }
    return CPointD{x + b.x, y + b.y};
}

bool PointInSegmentBox(CPointF a, CPointF b, CPointF p) {
    const float e = static_cast<float>(kGeomEpsilon);
    return std::min(a.x, b.x) - e <= p.x && p.x <= std::max(a.x, b.x) + e && std::min(a.y, b.y) - e <= p.y &&
           p.y <= std::max(a.y, b.y) + e;
}

bool PointInSegmentBox(CPointD a, CPointD b, CPointD p) {
    const double e = kGeomEpsilon;
    return std::min(a.x, b.x) - e <= p.x && p.x <= std::max(a.x, b.x) + e && std::min(a.y, b.y) - e <= p.y &&
           p.y <= std::max(a.y, b.y) + e;
}

CPointF ProjectPointOnLine(CPointF a, CPointF b, CPointF p) {
    const float length = a.DistanceTo(b);
    if (length < kGeomEpsilon)
        return a;
    // Normal form A x + B y + C = 0 with (A, B) a unit normal of ab.
    const float A = (b.y - a.y) / length;
    const float B = (a.x - b.x) / length;
    const float C = (a.y * b.x - a.x * b.y) / length;
    const float along = B * p.x - A * p.y;
    return {B * along - A * C, -B * C - A * along};
}

double VectorAngle(CPointD p, CPointD c, CPointD q) {
    if (Coincide(p, c) || Coincide(q, c) || Coincide(p, q))
        return 0.0;
    double a1 = std::atan2(p.y - c.y, p.x - c.x);
    double a2 = std::atan2(q.y - c.y, q.x - c.x);
    if (a1 < 0.0)
        a1 += kTwoPiF;
    if (a2 < 0.0)
        a2 += kTwoPiF;
    double angle = a1 - a2;
    if (std::fabs(angle) > kPiF)
        angle -= angle > 0.0 ? kTwoPiF : -kTwoPiF;
    return angle;
}

double NormalizeAngle(double angle) {
    return angle < 0.0 ? angle + kTwoPiF : angle;
}

void RotatePoint(float& x, float& y, CPointF centre, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double dx = static_cast<double>(x) - centre.x;
    const double dy = static_cast<double>(y) - centre.y;
    double rx = centre.x + dx * c - dy * s;
    double ry = centre.y + dy * c + dx * s;
    // A quarter turn leaves cos(pi/2) ~ 6e-17 behind; snapping such residue keeps axis points on the axis.
    if (std::fabs(rx) < kGeomEpsilon)
        rx = 0.0;
    if (std::fabs(ry) < kGeomEpsilon)
        ry = 0.0;
    x = static_cast<float>(rx);
    y = static_cast<float>(ry);
}

} // namespace pq
