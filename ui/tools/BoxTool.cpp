#include "ui/tools/BoxTools.h"

#include "platform/WindowHost.h"
#include "ui/tools/XorFeedback.h"
#include "ui/view/PqxView.h"

namespace pq {

void CBoxTool::OnLButtonDown(unsigned flags, CPoint point) {
    if (view == nullptr)
        return;
    CTool::OnLButtonDown(flags, view->SnapPoint(point));
    DrawRubberShape();
}

void CBoxTool::OnMouseMove(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr)
        return;
    const CPoint snapped = view->SnapPoint(point);
    if (snapped == currentPoint)
        return;
    DrawRubberShape();
    CTool::OnMouseMove(flags, snapped);
    DrawRubberShape();
}

void CBoxTool::OnLButtonUp(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr)
        return;
    DrawRubberShape();
    // The release point closes the shape, so that a release no move reached still counts.
    CTool::OnLButtonUp(flags, view->SnapPoint(point));
    if (currentPoint == startPoint)
        return;
    const CViewMapping& mapping = view->GetMapping();
    Create(mapping.DeviceToDoc(startPoint), mapping.DeviceToDoc(currentPoint));
    view->RepaintEdited();
}

void CBoxTool::Deactivate() {
    if (dragging)
        DrawRubberShape();
    CTool::Deactivate();
}

void CBoxTool::Draw(CDeviceContext& dc) {
    if (dragging)
        DrawRubberShape(&dc);
}

void CBoxTool::DrawRubberShape(CDeviceContext* dc) const {
    if (dc != nullptr) {
        CXorFeedbackScope scope(*dc);
        DrawShape(*dc, startPoint, currentPoint);
        return;
    }
    if (IWindowHost* window = Window()) {
        CClientDC client(*window);
        CXorFeedbackScope scope(client);
        DrawShape(client, startPoint, currentPoint);
    }
}

} // namespace pq
