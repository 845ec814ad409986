#pragma once

#include "geometry/PointF.h"
#include "geometry/RectF.h"

namespace pq {

// Bits of the ClipSegment result.
enum ClipResult : int {
    kClipInvisible = 0,
    kClipVisible = 1,
    kClipStartMoved = 2,
    kClipEndMoved = 4,
};

// Cohen-Sutherland clipping of segment (start, end) to rect (edges inclusive); end points outside are moved
// onto the rectangle. Returns 0 when nothing is visible (the points are then left as they were), else
// kClipVisible plus the bits of the moved end points.
int ClipSegment(CPointF& start, CPointF& end, const CRectF& rect);

} // namespace pq
