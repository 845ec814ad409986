#include "ui/tools/SegmentFeedback.h"

#include "geometry/BezierMath.h"
#include "geometry/Clipping.h"
#include "geometry/Numeric.h"
#include "geometry/ViewMapping.h"
#include "platform/DeviceContext.h"

namespace pq {

namespace {

constexpr float kTolerance = 2.0f; // pixels
constexpr float kClipMargin = 8.0f;

CPoint Rounded(CPointF p) {
    return {RoundHalfAway(p.x), RoundHalfAway(p.y)};
}

} // namespace

void DrawSegmentFeedback(CDeviceContext& dc, const CViewMapping& mapping, const CRect& client,
                         const CPathNode& from, const CPathNode& to) {
    CBezier curve{mapping.DocToDevicef(from.anchor), mapping.DocToDevicef(from.out),
                  mapping.DocToDevicef(to.in), mapping.DocToDevicef(to.anchor)};
    curve.SetTolerance(kTolerance);
    CPointArray points;
    FlattenBezier(curve, points, false);
    const CRectF reach{
        static_cast<float>(client.left) - kClipMargin, static_cast<float>(client.right) + kClipMargin,
        static_cast<float>(client.top) - kClipMargin, static_cast<float>(client.bottom) + kClipMargin};
    for (std::size_t i = 1; i < points.GetSize(); ++i) {
        CPointF a = points[i - 1];
        CPointF b = points[i];
        if (ClipSegment(a, b, reach) == kClipInvisible)
            continue;
        dc.MoveTo(Rounded(a));
        dc.LineTo(Rounded(b));
    }
}

} // namespace pq
