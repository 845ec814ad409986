#include "ui/tools/FreehandTool.h"

#include "geometry/CurveFit.h"
#include "geometry/Numeric.h"
#include "platform/WindowHost.h"
#include "ui/tools/XorFeedback.h"
#include "ui/view/PqxView.h"

#include <cmath>

namespace pq {

namespace {

CPointF ToFloat(CPoint p) {
    return {static_cast<float>(p.x), static_cast<float>(p.y)};
}

CPoint Rounded(CPointF p) {
    return {RoundHalfAway(p.x), RoundHalfAway(p.y)};
}

} // namespace

void CFreehandTool::OnLButtonDown(unsigned flags, CPoint point) {
    points.RemoveAll();
    firstPoint = ToFloat(point);
    points.Add(firstPoint);
    CTool::OnLButtonDown(flags, point);
}

void CFreehandTool::OnMouseMove(unsigned flags, CPoint point) {
    if (!dragging)
        return;
    if (!(point == currentPoint)) {
        const CPointF p = ToFloat(point);
        const double dx = p.x - firstPoint.x;
        const double dy = p.y - firstPoint.y;
        if (std::sqrt(dx * dx + dy * dy) >= kMinDistanceFromStart) {
            points.Add(p);
            if (IWindowHost* window = Window()) {
                CClientDC client(*window);
                CXorFeedbackScope scope(client);
                DrawTrackPiece(client, points.GetSize() - 1);
            }
        }
    }
    CTool::OnMouseMove(flags, point);
}

void CFreehandTool::OnLButtonUp(unsigned flags, CPoint point) {
    if (!dragging)
        return;
    if (!(point == currentPoint))
        points.Add(ToFloat(point));
    CTool::OnLButtonUp(flags, point);
    if (points.GetSize() >= 3) {
        CreateStroke();
        if (view != nullptr)
            view->RepaintEdited();
    }
    points.RemoveAll();
}

int CFreehandTool::CreateStroke() {
    if (view == nullptr)
        return -1;
    const CPointF first = points[0];
    const CPointF last = points.Last();
    if (view->GetNewObjectStyle().noFill == 0 &&
        (std::fabs(last.x - first.x) >= kGeomEpsilon || std::fabs(last.y - first.y) >= kGeomEpsilon))
        points.Add(first);
    CNodeArray nodes;
    FitPointsToNodes(points.data(), points.GetSize(), nodes, kFitError);
    if (nodes.GetSize() < 2)
        return -1;
    const CViewMapping& mapping = view->GetMapping();
    for (CPathNode& node : nodes) {
        node.in = mapping.DeviceToDoc(node.in);
        node.anchor = mapping.DeviceToDoc(node.anchor);
        node.out = mapping.DeviceToDoc(node.out);
    }
    return view->CreatePathObject(nodes, false);
}

void CFreehandTool::Deactivate() {
    const bool shown = dragging && points.GetSize() > 1;
    CTool::Deactivate();
    if (shown)
        RedrawFeedback(); // the stroke drawn so far goes; the drawing did not change
}

void CFreehandTool::Reset() {
    points.RemoveAll();
}

void CFreehandTool::Draw(CDeviceContext& dc) {
    if (!dragging)
        return;
    CXorFeedbackScope scope(dc);
    for (std::size_t i = 1; i < points.GetSize(); ++i)
        DrawTrackPiece(dc, i);
}

void CFreehandTool::DrawTrackPiece(CDeviceContext& dc, std::size_t index) const {
    dc.MoveTo(Rounded(points[index - 1]));
    dc.LineTo(Rounded(points[index]));
}

} // namespace pq
