#pragma once

#include "geometry/PathNode.h"
#include "geometry/PointF.h"

namespace pq {

// One cubic segment: start, first control, second control, end; and the flattening tolerance.
struct CBezier {
    CPointF p0;
    CPointF p1;
    CPointF p2;
    CPointF p3;
    float tolerance = 1.0f;

    constexpr CBezier() = default;
    constexpr CBezier(CPointF a, CPointF b, CPointF c, CPointF d) : p0(a), p1(b), p2(c), p3(d) {}
    // The segment from node a to the following node b.
    constexpr CBezier(const CPathNode& a, const CPathNode& b)
        : p0(a.anchor), p1(a.out), p2(b.in), p3(b.anchor) {}

    constexpr void SetTolerance(float t) { tolerance = t; }
};

} // namespace pq
