#pragma once

#include "geometry/GrowableArray.h"
#include "geometry/PointF.h"

#include <cstdint>

namespace pq {

// One node of a subpath: the control point of the segment ending here, the node's position on the
// curve, and the control point of the segment starting here. A straight segment has its control points
// on its end points.
struct CPathNode {
    CPointF in;
    CPointF anchor;
    CPointF out;
    uint32_t flags = 0;

    constexpr CPathNode() = default;
    constexpr CPathNode(CPointF inPoint, CPointF anchorPoint, CPointF outPoint, uint32_t nodeFlags = 0)
        : in(inPoint), anchor(anchorPoint), out(outPoint), flags(nodeFlags) {}
    // A node made from a single point: all three points equal, flags 0.
    static constexpr CPathNode FromPoint(CPointF p) { return {p, p, p, 0}; }

    constexpr bool operator==(const CPathNode&) const = default;
};

using CPointArray = CGrowableArray<CPointF>;
// A subpath: n nodes make n - 1 Bezier segments; closing is expressed by the nodes themselves.
using CNodeArray = CGrowableArray<CPathNode>;

} // namespace pq
