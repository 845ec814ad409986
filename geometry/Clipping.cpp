#include "geometry/Clipping.h"

namespace pq {

namespace {

// Outcode bits: which side of the rectangle a point lies beyond. Edges count as inside.
enum : int {
    kBelow = 1, // y > bottom
    kAbove = 2, // y < top
    kRight = 4, // x > right
    kLeft = 8,  // x < left
};

int OutCode(CPointF p, const CRectF& r) {
    int code = 0;
    if (p.x > r.right)
        code |= kRight;
    if (p.x < r.left)
        code |= kLeft;
    if (p.y > r.bottom)
        code |= kBelow;
    if (p.y < r.top)
        code |= kAbove;
    return code;
}

// Moves p along the segment towards other until it lies on the boundary named by the first set bit of
// code, in the order right, left, bottom, top. The interpolation parameter lies in [0, 1], so the moved
// point never passes other and the loop in ClipSegment ends.
CPointF MoveOntoBoundary(CPointF p, CPointF other, int code, const CRectF& r) {
    if (code & kRight)
        return {r.right, p.y + (other.y - p.y) * (r.right - p.x) / (other.x - p.x)};
    if (code & kLeft)
        return {r.left, p.y + (other.y - p.y) * (r.left - p.x) / (other.x - p.x)};
    if (code & kBelow)
        return {p.x + (other.x - p.x) * (r.bottom - p.y) / (other.y - p.y), r.bottom};
    return {p.x + (other.x - p.x) * (r.top - p.y) / (other.y - p.y), r.top};
}

} // namespace

int ClipSegment(CPointF& startPoint, CPointF& endPoint, const CRectF& rect) {
    CPointF start = startPoint;
    CPointF end = endPoint;
    int startCode = OutCode(start, rect);
    int endCode = OutCode(end, rect);
    bool startMoved = false;
    bool endMoved = false;
    // A point with a code bit set differs from the other point in that coordinate unless both share the
    // bit, which ends the loop first; so the divisions above never divide by zero.
    while ((startCode | endCode) != 0) {
        if ((startCode & endCode) != 0)
            return kClipInvisible;
        if (startCode != 0) {
            start = MoveOntoBoundary(start, end, startCode, rect);
            startCode = OutCode(start, rect);
            startMoved = true;
        } else {
            end = MoveOntoBoundary(end, start, endCode, rect);
            endCode = OutCode(end, rect);
            endMoved = true;
        }
    }
    startPoint = start;
    endPoint = end;
    return kClipVisible | (startMoved ? kClipStartMoved : 0) | (endMoved ? kClipEndMoved : 0);
}

} // namespace pq
