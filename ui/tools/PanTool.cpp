#include "ui/tools/PanTool.h"

#include "platform/DeviceContext.h"
#include "ui/view/PqxView.h"

namespace pq {

void CPanTool::OnLButtonDown(unsigned flags, CPoint point) {
    IWindowHost* window = Window();
    if (window == nullptr)
        return;
    const CRect client = window->GetClientRect();
    snapshot.Clear();
    if (snapshot.Create(client.Width(), client.Height(), 24)) {
        CDeviceContext dc(&snapshot);
        dc.BitBlt(0, 0, client.Width(), client.Height(), window->GetFrontBuffer(), 0, 0, kRop3SrcCopy);
    }
    CTool::OnLButtonDown(flags, point);
    lastPoint = point;
}

void CPanTool::OnMouseMove(unsigned flags, CPoint point) {
    CTool::OnMouseMove(flags, point);
    if (!dragging || point == lastPoint || view == nullptr)
        return;
    view->GetMapping().Pan(lastPoint, point);
    view->UpdateScrollBars();
    lastPoint = point;

    IWindowHost* window = Window();
    if (window == nullptr || snapshot.IsEmpty())
        return;
    const int32_t width = snapshot.GetWidth();
    const int32_t height = snapshot.GetHeight();
    if (frame.GetWidth() != width || frame.GetHeight() != height) {
        frame.Clear();
        if (!frame.Create(width, height, 24))
            return;
    }
    CDeviceContext composer(&frame);
    composer.FillSolidRect(CRect{0, 0, width, height}, 0xFFFFFF);
    const CPoint offset = point - startPoint;
    composer.BitBlt(offset.x, offset.y, width, height, snapshot, 0, 0, kRop3SrcCopy);
    CClientDC screen(*window);
    screen.BitBlt(0, 0, width, height, frame, 0, 0, kRop3SrcCopy);
}

void CPanTool::OnLButtonUp(unsigned flags, CPoint point) {
    const bool wasDragging = dragging;
    const bool movedAway = !(point == startPoint) || !(lastPoint == startPoint);
    snapshot.Clear();
    frame.Clear();
    if (wasDragging && movedAway) {
        if (IWindowHost* window = Window())
            window->Invalidate();
    }
    CTool::OnLButtonUp(flags, point);
}

void CPanTool::Reset() {
    snapshot.Clear();
    frame.Clear();
}

} // namespace pq
