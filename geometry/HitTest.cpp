#include "geometry/HitTest.h"

#include "geometry/LineMath.h"
#include "geometry/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace pq {

namespace {

CPointF ToFloat(CPoint p) {
    return {static_cast<float>(p.x), static_cast<float>(p.y)};
}

CPointD ToDouble(CPoint p) {
    return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

bool RoundsTo(CPointD q, CPoint vertex) {
    return RoundHalfAway(q.x) == vertex.x && RoundHalfAway(q.y) == vertex.y;
}

} // namespace

std::optional<float> HitTestPolyline(std::span<const CPoint> polyline, CPoint p, int tolerance) {
    const CPointF point = ToFloat(p);
    for (std::size_t i = 1; i < polyline.size(); ++i) {
        const CPointF a = ToFloat(polyline[i - 1]);
        const CPointF b = ToFloat(polyline[i]);
        const CPointF foot = ProjectPointOnLine(a, b, point);
        if (!PointInSegmentBox(a, b, foot))
            continue;
        const float distance = foot.DistanceTo(point);
        if (distance <= static_cast<float>(tolerance))
            return distance;
    }
    return std::nullopt;
}

// Even-odd rule with a horizontal ray from left of the polygon to p. A ray through a vertex must count
// once where the outline passes through the ray's line and not at all where it only touches it, so each
// vertex on the ray is judged once, as the end of the edge arriving at it, from the y of that edge's start
// and of the next vertex off the ray's line; the edge leaving it is skipped.
bool PointInPolygon(std::span<const CPoint> polygon, CPoint p, const CRect& bounds) {
    if (polygon.empty() || p.x < bounds.left || p.x > bounds.right || p.y < bounds.top || p.y > bounds.bottom)
        return false;

    int32_t minX = polygon[0].x;
    for (const CPoint& v : polygon)
        minX = std::min(minX, v.x);
    const CPointD rayStart{static_cast<double>(minX) - 1.0, static_cast<double>(p.y)};
    const CPointD rayEnd = ToDouble(p);

    const std::size_t n = polygon.size();
    int crossings = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const CPoint s = polygon[i];
        const CPoint e = polygon[i + 1];
        if ((s.y < p.y && e.y < p.y) || (s.y > p.y && e.y > p.y))
            continue;
        // The edge is ab with b its end vertex, so a ray through that vertex meets it exactly there.
        const std::optional<CPointD> hit = IntersectLines(ToDouble(s), ToDouble(e), rayStart, rayEnd);
        if (!hit || !PointInSegmentBox(ToDouble(s), ToDouble(e), *hit) ||
            !PointInSegmentBox(rayStart, rayEnd, *hit))
            continue;
        if (RoundsTo(*hit, s))
            continue; // judged as the end of the previous edge
        // Rounded, not truncated: an intersection a hair short of the ray's integer y near 0 (0.99999...
        // truncates to 0) must not be taken for the end vertex, or a real crossing is lost.
        if (!RoundsTo(*hit, e)) {
            ++crossings;
            continue;
        }
        // The ray passes through e. Find the next vertex off the ray's line, wrapping round.
        std::size_t k = (i + 2) % n;
        while (k != i + 1 && polygon[k].y == e.y)
            k = (k + 1) % n;
        if (k == i + 1)
            return false;
        const int32_t prevY = s.y;
        const int32_t nextY = polygon[k].y;
        const bool touches = (e.y < prevY && e.y < nextY) || (e.y > prevY && e.y > nextY);
        if (!touches)
            ++crossings;
    }
    return (crossings & 1) != 0;
}

float PolylineLength(const CPointArray& polyline) {
    double length = 0.0;
    for (std::size_t i = 1; i < polyline.GetSize(); ++i)
        length += std::hypot(static_cast<double>(polyline[i].x) - polyline[i - 1].x,
                             static_cast<double>(polyline[i].y) - polyline[i - 1].y);
    return static_cast<float>(length);
}

} // namespace pq
