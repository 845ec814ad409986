#include "ui/tools/BoxTools.h"

#include "platform/DeviceContext.h"
#include "ui/view/PqxView.h"

#include <algorithm>

namespace pq {

namespace {

CRect DeviceBox(CPoint a, CPoint b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

} // namespace

void CLineTool::DrawShape(CDeviceContext& dc, CPoint from, CPoint to) const {
    dc.MoveTo(from);
    dc.LineTo(to);
}

void CLineTool::Create(CPointF from, CPointF to) {
    CNodeArray nodes;
    nodes.Add(CPathNode::FromPoint(from));
    nodes.Add(CPathNode::FromPoint(to));
    view->CreatePathObject(nodes, true);
}

void CRectangleTool::DrawShape(CDeviceContext& dc, CPoint from, CPoint to) const {
    dc.Rectangle(DeviceBox(from, to));
}

void CRectangleTool::Create(CPointF from, CPointF to) {
    const CRectF r = CRectF::FromCorners(from, to);
    CNodeArray nodes;
    for (CPointF corner : {CPointF{r.left, r.top}, CPointF{r.right, r.top}, CPointF{r.right, r.bottom},
                           CPointF{r.left, r.bottom}, CPointF{r.left, r.top}})
        nodes.Add(CPathNode::FromPoint(corner));
    view->CreatePathObject(nodes, false);
}

void CEllipseTool::DrawShape(CDeviceContext& dc, CPoint from, CPoint to) const {
    dc.Ellipse(DeviceBox(from, to));
}

void CEllipseTool::Create(CPointF from, CPointF to) {
    const CRectF r = CRectF::FromCorners(from, to);
    const float kx = kKappa * (r.right - r.left);
    const float ky = kKappa * (r.bottom - r.top);
    const float cx = (r.left + r.right) / 2;
    const float cy = (r.top + r.bottom) / 2;
    // Top, right, bottom, left and back to the top: clockwise on screen, each handle along the tangent.
    const CPathNode top{{cx - kx, r.top}, {cx, r.top}, {cx + kx, r.top}};
    CNodeArray nodes;
    nodes.Add(top);
    nodes.Add(CPathNode{{r.right, cy - ky}, {r.right, cy}, {r.right, cy + ky}});
    nodes.Add(CPathNode{{cx + kx, r.bottom}, {cx, r.bottom}, {cx - kx, r.bottom}});
    nodes.Add(CPathNode{{r.left, cy + ky}, {r.left, cy}, {r.left, cy - ky}});
    nodes.Add(top);
    view->CreatePathObject(nodes, false);
}

} // namespace pq
