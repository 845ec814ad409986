#include "ui/tools/Tool.h"

#include "platform/DeviceContext.h"
#include "ui/view/PqxView.h"

#include <algorithm>

namespace pq {

CTool::~CTool() {
    StopTimer();
}

IWindowHost* CTool::Window() const {
    return view != nullptr ? view->GetWindow() : nullptr;
}

void CTool::RedrawFeedback() const {
    if (IWindowHost* window = Window())
        window->Invalidate();
}

bool CTool::StartTimer(int id, int milliseconds) {
    IWindowHost* window = Window();
    if (window == nullptr || id == 0)
        return false;
    if (timerId != 0 && timerId != id)
        window->KillTimer(timerId);
    timerId = window->SetTimer(id, milliseconds) ? id : 0;
    return timerId != 0;
}

void CTool::StopTimer() {
    if (timerId == 0)
        return;
    if (IWindowHost* window = Window())
        window->KillTimer(timerId);
    timerId = 0;
}

void CTool::OnLButtonDown(unsigned /*flags*/, CPoint point) {
    dragging = true;
    startPoint = currentPoint = point;
    if (IWindowHost* window = Window())
        window->SetCapture();
    moved = false;
}

void CTool::OnLButtonUp(unsigned /*flags*/, CPoint point) {
    if (!dragging)
        return;
    dragging = false;
    if (IWindowHost* window = Window())
        window->ReleaseCapture();
    currentPoint = point;
    moved = false;
}

void CTool::OnCancelDrag(unsigned /*flags*/, CPoint /*point*/) {}

void CTool::OnLButtonDblClk(unsigned /*flags*/, CPoint /*point*/) {}

void CTool::OnMouseMove(unsigned /*flags*/, CPoint point) {
    if (!dragging)
        return;
    currentPoint = point;
    if (!(point == startPoint))
        moved = true;
}

bool CTool::OnKeyDown(unsigned /*virtualKey*/, unsigned /*repeat*/, unsigned /*flags*/) {
    return false;
}

void CTool::OnTimer(int /*timerId*/) {}

void CTool::Draw(CDeviceContext& /*dc*/) {}

void CTool::Activate() {
    Reset();
}

void CTool::Deactivate() {
    if (dragging) {
        if (IWindowHost* window = Window())
            window->ReleaseCapture();
        dragging = false;
        moved = false;
    }
    Reset();
}

void CTool::Reset() {}

void CTool::DrawDragRect(CDeviceContext* dc) const {
    const CRect rect{std::min(startPoint.x, currentPoint.x), std::min(startPoint.y, currentPoint.y),
                     std::max(startPoint.x, currentPoint.x), std::max(startPoint.y, currentPoint.y)};
    if (dc != nullptr) {
        dc->DrawFocusRect(rect);
        return;
    }
    if (IWindowHost* window = Window()) {
        CClientDC client(*window);
        client.DrawFocusRect(rect);
    }
}

} // namespace pq
