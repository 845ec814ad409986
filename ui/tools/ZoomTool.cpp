#include "ui/tools/ZoomTool.h"

#include "ui/view/PqxView.h"

#include <algorithm>

namespace pq {

namespace {

CPoint ClientCenter(const CRect& client) {
    return {client.left + client.Width() / 2, client.top + client.Height() / 2};
}

} // namespace

void CZoomTool::OnLButtonDown(unsigned flags, CPoint point) {
    CTool::OnLButtonDown(flags, point);
    DrawDragRect();
}

void CZoomTool::OnMouseMove(unsigned flags, CPoint point) {
    if (!dragging)
        return;
    DrawDragRect();
    CTool::OnMouseMove(flags, point);
    DrawDragRect();
}

void CZoomTool::OnLButtonUp(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr)
        return;
    DrawDragRect();
    CTool::OnLButtonUp(flags, point);
    const CRect area{std::min(startPoint.x, currentPoint.x), std::min(startPoint.y, currentPoint.y),
                     std::max(startPoint.x, currentPoint.x), std::max(startPoint.y, currentPoint.y)};
    const CRect client = view->GetClientRect();
    CViewMapping& mapping = view->GetMapping();
    if (area.Width() > kMinAreaPixels && area.Height() > kMinAreaPixels) {
        const CPointF a = mapping.DeviceToDoc(CPoint{area.left, area.top});
        const CPointF b = mapping.DeviceToDoc(CPoint{area.right, area.bottom});
        mapping.FitRect(CRectF::FromCorners(a, b), client);
    } else {
        // A tap, or a rectangle too thin to fit: centre it and zoom in by 2.
        const CPoint tapped{area.left + area.Width() / 2, area.top + area.Height() / 2};
        mapping.Pan(tapped, ClientCenter(client));
        mapping.ZoomIn(ClientCenter(client));
    }
    view->UpdateScrollBars();
    view->RepaintAll();
    view->RestoreDefaultTool();
}

void CZoomTool::OnLButtonDblClk(unsigned /*flags*/, CPoint point) {
    if (dragging || view == nullptr)
        return;
    const CRect client = view->GetClientRect();
    CViewMapping& mapping = view->GetMapping();
    mapping.Pan(point, ClientCenter(client));
    mapping.ZoomOut(ClientCenter(client));
    view->UpdateScrollBars();
    view->RepaintAll();
}

} // namespace pq
