#include "shell/Canvas.h"

#include "platform/ScreenMetrics.h"
#include "shell/PopupMenus.h"
#include "shell/WxIds.h"
#include "ui/tools/Tool.h"
#include "ui/view/PqxView.h"

#include <algorithm>
#include <cstdlib>

namespace pq {

namespace {

CRect Union(const CRect& a, const CRect& b) {
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

CRect Intersect(const CRect& a, const CRect& b) {
    const CRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? CRect{} : r;
}

unsigned KeyFlags(const wxMouseEvent& event) {
    unsigned flags = 0;
    if (event.LeftIsDown())
        flags |= kKeyFlagLButton;
    if (event.ShiftDown())
        flags |= kKeyFlagShift;
    if (event.ControlDown())
        flags |= kKeyFlagControl;
    return flags;
}

int Orientation(ScrollBarAxis axis) {
    return axis == ScrollBarAxis::Horizontal ? wxHORIZONTAL : wxVERTICAL;
}

} // namespace

class CCanvas::CViewTimer : public wxTimer {
public:
    CViewTimer(CCanvas& canvas, int id) : canvas(canvas), id(id) {}
    void Notify() override { canvas.FireTimer(id); }

private:
    CCanvas& canvas;
    int id;
};

CCanvas::CCanvas(wxWindow* parent, ICanvasOwner& canvasOwner)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
               wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE | wxHSCROLL | wxVSCROLL | wxBORDER_NONE),
      owner(canvasOwner) {
    // Every pixel comes from the front buffer: the toolkit must never clear the window first.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetScrollbar(wxHORIZONTAL, 0, 0, 0);
    SetScrollbar(wxVERTICAL, 0, 0, 0);
    Bind(wxEVT_PAINT, &CCanvas::OnPaint, this);
    Bind(wxEVT_SIZE, &CCanvas::OnSize, this);
    for (auto type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MOTION, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP})
        Bind(type, &CCanvas::OnMouse, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CCanvas::OnCaptureLost, this);
    Bind(wxEVT_MOUSEWHEEL, &CCanvas::OnWheel, this);
    Bind(wxEVT_LEAVE_WINDOW, &CCanvas::OnLeave, this);
    // Touchpad pinches arrive as zoom gestures where the toolkit reports them.
    if (EnableTouchEvents(wxTOUCH_ZOOM_GESTURE))
        Bind(wxEVT_GESTURE_ZOOM, &CCanvas::OnZoomGesture, this);
    for (auto type : {wxEVT_SCROLLWIN_LINEUP, wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP,
                      wxEVT_SCROLLWIN_PAGEDOWN, wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE,
                      wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM})
        Bind(type, &CCanvas::OnScroll, this);
}

CCanvas::~CCanvas() {
    for (auto& [id, timer] : timers)
        timer->Stop();
    if (wxWindow::HasCapture())
        ReleaseMouse();
}

void CCanvas::SetView(CPqxView* newView) {
    view = newView;
    if (view != nullptr) {
        EnsureFrontBuffer();
        view->OnSize(front.GetWidth(), front.GetHeight());
    }
    Invalidate();
}

bool CCanvas::EnsureFrontBuffer() {
    const wxSize size = GetClientSize();
    const int width = std::max(1, size.GetWidth());
    const int height = std::max(1, size.GetHeight());
    if (!front.IsEmpty() && front.GetWidth() == width && front.GetHeight() == height)
        return false;
    if (!front.Create(width, height, 24))
        front.Clear();
    return true;
}

void CCanvas::OnSize(wxSizeEvent& event) {
    if (EnsureFrontBuffer() && view != nullptr)
        view->OnSize(front.GetWidth(), front.GetHeight());
    Invalidate();
    event.Skip();
}

void CCanvas::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (EnsureFrontBuffer() && view != nullptr) {
        // The client area changed before its size event arrived (scroll bars shown or hidden): the new
        // buffer holds nothing yet, so the view paints it now rather than leaving it black.
        view->OnSize(front.GetWidth(), front.GetHeight());
        viewPaintNeeded = true;
    }
    damage = {};
    if (viewPaintNeeded && view != nullptr && !front.IsEmpty()) {
        viewPaintNeeded = false;
        painting = true;
        view->OnPaint();
        painting = false;
    } else if (view == nullptr && !front.IsEmpty()) {
        std::fill(front.GetBits().begin(), front.GetBits().end(), uint8_t{0xEB});
    }
    // The view repaints its whole buffer; whatever changed outside the area being painted now is copied by
    // a following paint.
    const wxRect box = GetUpdateRegion().GetBox();
    if (!damage.IsEmpty() && !box.Contains(wxRect(damage.left, damage.top, damage.Width(), damage.Height())))
        RefreshRect(wxRect(damage.left, damage.top, damage.Width(), damage.Height()), false);
    // Only the parts the toolkit asks for (the damage reported since the last paint, or an exposed area)
    // are copied: a whole-window copy costs tens of milliseconds.
    const CRect bounds{0, 0, front.GetWidth(), front.GetHeight()};
    for (wxRegionIterator it(GetUpdateRegion()); it; ++it) {
        const wxRect r = it.GetRect();
        Blit(dc, Intersect(bounds, CRect{r.GetLeft(), r.GetTop(), r.GetRight() + 1, r.GetBottom() + 1}));
    }
}

void CCanvas::Blit(wxDC& dc, const CRect& rect) const {
    if (rect.IsEmpty() || front.IsEmpty())
        return;
    const int width = rect.Width();
    const int height = rect.Height();
    const int bytesPerPixel = front.GetBitCount() / 8;
    const std::size_t stride = front.GetBytesPerRow();
    const auto bits = front.GetBits();
    // wxImage takes ownership of malloc'ed RGB data.
    auto* rgb = static_cast<unsigned char*>(malloc(static_cast<std::size_t>(width) * height * 3));
    if (rgb == nullptr)
        return;
    unsigned char* out = rgb;
    for (int y = rect.top; y < rect.bottom; ++y) {
        // The buffer is bottom-up: client row y is stored at row height - 1 - y.
        const uint8_t* row = bits.data() + stride * static_cast<std::size_t>(front.GetHeight() - 1 - y);
        const uint8_t* in = row + static_cast<std::size_t>(rect.left) * bytesPerPixel;
        for (int x = 0; x < width; ++x, in += bytesPerPixel) {
            *out++ = in[2];
            *out++ = in[1];
            *out++ = in[0];
        }
    }
    const wxImage image(width, height, rgb);
    dc.DrawBitmap(wxBitmap(image), rect.left, rect.top);
}

void CCanvas::OnMouse(wxMouseEvent& event) {
    if (view == nullptr)
        return;
    const CPoint point{event.GetX(), event.GetY()};
    const unsigned flags = KeyFlags(event);
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_LEFT_DOWN || type == wxEVT_RIGHT_DOWN) {
        // The right button is the desktop's tap-and-hold: a press that tools see as the stylus going
        // down, and that their tap-and-hold question answers at once.
        SetFocus();
        rightButtonPress = type == wxEVT_RIGHT_DOWN;
        view->OnLButtonDown(flags, point);
        rightButtonPress = false;
    } else if (type == wxEVT_LEFT_DCLICK) {
        view->OnLButtonDblClk(flags, point);
    } else if (type == wxEVT_LEFT_UP || type == wxEVT_RIGHT_UP) {
        view->OnLButtonUp(flags, point);
    } else if (type == wxEVT_MOTION) {
        view->OnMouseMove(flags, point);
        owner.OnPointerMoved(point);
    }
}

void CCanvas::OnWheel(wxMouseEvent& event) {
    if (view == nullptr || event.GetWheelDelta() == 0)
        return;
    // Handled here, not skipped: the toolkit would otherwise scroll the bars by its own amounts.
    CWheelEvent wheel;
    wheel.notches = static_cast<float>(event.GetWheelRotation()) / static_cast<float>(event.GetWheelDelta());
    wheel.sideways = event.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL;
    wheel.linesPerNotch = wheel.sideways ? event.GetColumnsPerAction() : event.GetLinesPerAction();
    wheel.flags = KeyFlags(event);
    wheel.point = CPoint{event.GetX(), event.GetY()};
    view->OnMouseWheel(wheel);
}

void CCanvas::OnZoomGesture(wxZoomGestureEvent& event) {
    if (view == nullptr)
        return;
    const wxPoint at = event.GetPosition();
    view->OnPinch(CPoint{at.x, at.y}, event.GetZoomFactor(), event.IsGestureStart());
}

void CCanvas::OnLeave(wxMouseEvent& event) {
    owner.OnPointerMoved(std::nullopt);
    event.Skip();
}

void CCanvas::OnCaptureLost(wxMouseCaptureLostEvent&) {
    // The toolkit took the stylus away (a menu, another window): the gesture ends where it is.
    if (view != nullptr) {
        const wxPoint at = ScreenToClient(wxGetMousePosition());
        view->OnLButtonUp(0, CPoint{at.x, at.y});
    }
}

void CCanvas::OnScroll(wxScrollWinEvent& event) {
    if (view == nullptr)
        return;
    const wxEventType type = event.GetEventType();
    ScrollCode code = ScrollCode::EndScroll;
    if (type == wxEVT_SCROLLWIN_LINEUP)
        code = ScrollCode::LineUp;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        code = ScrollCode::LineDown;
    else if (type == wxEVT_SCROLLWIN_PAGEUP)
        code = ScrollCode::PageUp;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        code = ScrollCode::PageDown;
    else if (type == wxEVT_SCROLLWIN_THUMBTRACK)
        code = ScrollCode::ThumbTrack;
    else if (type == wxEVT_SCROLLWIN_THUMBRELEASE)
        code = ScrollCode::ThumbPosition;
    else if (type == wxEVT_SCROLLWIN_TOP)
        code = ScrollCode::Top;
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        code = ScrollCode::Bottom;
    if (event.GetOrientation() == wxHORIZONTAL)
        view->OnHScroll(code, event.GetPosition());
    else
        view->OnVScroll(code, event.GetPosition());
}

void CCanvas::FireTimer(int id) {
    if (view != nullptr)
        view->OnTimer(id);
}

void CCanvas::Invalidate() {
    viewPaintNeeded = true;
    Refresh(false);
}

void CCanvas::InvalidateRect(const CRect& rect) {
    // The view paints its whole back buffer; the toolkit is asked to copy only the rectangle.
    viewPaintNeeded = true;
    RefreshRect(wxRect(rect.left, rect.top, rect.Width(), rect.Height()), false);
}

void CCanvas::SetCapture() {
    if (!wxWindow::HasCapture())
        CaptureMouse();
}

void CCanvas::ReleaseCapture() {
    if (wxWindow::HasCapture())
        ReleaseMouse();
}

bool CCanvas::HasCapture() const {
    return wxWindow::HasCapture();
}

bool CCanvas::SetTimer(int id, int milliseconds) {
    auto& timer = timers[id];
    if (!timer)
        timer = std::make_unique<CViewTimer>(*this, id);
    return timer->Start(std::max(1, milliseconds));
}

void CCanvas::KillTimer(int id) {
    if (const auto found = timers.find(id); found != timers.end())
        found->second->Stop();
}

CRect CCanvas::GetClientRect() const {
    const wxSize size = GetClientSize();
    return {0, 0, size.GetWidth(), size.GetHeight()};
}

void CCanvas::PostCommand(int commandId) {
    CallAfter([this, commandId] { owner.RouteCommand(commandId); });
}

void CCanvas::MessageBox(std::string_view text) {
    wxMessageBox(wxString::FromUTF8(text.data(), text.size()), "Pentaquill Draw", wxOK,
                 wxGetTopLevelParent(this));
}

int CCanvas::TrackPopupMenu(std::span<const CMenuItem> items, CPoint point, MenuAnchor anchor) {
    wxMenu menu;
    AppendPopupItems(menu, items);
    wxPoint at(point.x, point.y);
    if (anchor == MenuAnchor::BottomLeft) {
        int commands = 0;
        int separators = 0;
        for (const CMenuItem& item : items)
            ++(item.id == 0 ? separators : commands);
        // The point is where the menu's bottom goes: the menu opens upwards from it by its real height.
        const int height = PopupMenuHeight(menu, commands, separators);
        at.y -= height;
        // A button near the top of the screen opens its menu below itself instead.
        if (ClientToScreen(at).y < 0 && lastButtonRect && lastButtonRect->left == point.x)
            at.y = lastButtonRect->bottom + 2;
    }
    const int chosen = GetPopupMenuSelectionFromUser(menu, at);
    return chosen == wxID_NONE ? 0 : FromWxId(chosen);
}

std::optional<CRect> CCanvas::GetCommandButtonRect(int commandId) const {
    const std::optional<wxRect> screen = owner.FindButtonScreenRect(commandId);
    if (!screen)
        return std::nullopt;
    const wxPoint topLeft = ScreenToClient(screen->GetTopLeft());
    const CRect rect{topLeft.x, topLeft.y, topLeft.x + screen->GetWidth(), topLeft.y + screen->GetHeight()};
    const_cast<CCanvas*>(this)->lastButtonRect = rect;
    return rect;
}

bool CCanvas::IsInputPending() const {
    return wxTheApp != nullptr && wxTheApp->Pending();
}

void CCanvas::SetCursor(CursorShape shape) {
    wxStockCursor stock = wxCURSOR_ARROW;
    switch (shape) {
    case CursorShape::Arrow:
        stock = wxCURSOR_ARROW;
        break;
    case CursorShape::Wait:
        stock = wxCURSOR_WAIT;
        break;
    case CursorShape::Cross:
        stock = wxCURSOR_CROSS;
        break;
    case CursorShape::Hand:
        stock = wxCURSOR_HAND;
        break;
    case CursorShape::Move:
        stock = wxCURSOR_SIZING;
        break;
    case CursorShape::Text:
        stock = wxCURSOR_IBEAM;
        break;
    }
    wxWindow::SetCursor(wxCursor(stock));
}

void CCanvas::SetScrollInfo(ScrollBarAxis axis, const CScrollBarInfo& info) {
    const int orientation = Orientation(axis);
    if (info.range <= 0) {
        SetScrollbar(orientation, 0, 0, 0);
        return;
    }
    // The view lays its bars out after every change; the toolkit is only bothered when one differs.
    if (GetScrollRange(orientation) == info.range && GetScrollThumb(orientation) == info.page &&
        GetScrollPos(orientation) == info.position)
        return;
    SetScrollbar(orientation, info.position, info.page, info.range);
}

void CCanvas::MappingChanged() {
    owner.OnMappingChanged();
}

void CCanvas::RefreshPageIndicator(int currentPage, int pageCount) {
    owner.OnPageIndicator(currentPage, pageCount);
}

void CCanvas::SetToolButtonState(int commandId, bool checked) {
    owner.OnToolButtonState(commandId, checked);
}

CDibSection& CCanvas::GetFrontBuffer() {
    EnsureFrontBuffer();
    return front;
}

void CCanvas::MarkDamaged(const CRect& rect) {
    const CRect clipped = Intersect(rect, CRect{0, 0, front.GetWidth(), front.GetHeight()});
    if (clipped.IsEmpty())
        return;
    damage = Union(damage, clipped);
    if (painting)
        return;
    // The pixels reach the screen in the next paint event; nothing draws on the window outside it.
    RefreshRect(wxRect(clipped.left, clipped.top, clipped.Width(), clipped.Height()), false);
}

bool CCanvas::RecognizeTapAndHold(CPoint point) {
    if (rightButtonPress)
        return true;
    // Held still: the button stays down within a few pixels of the press for the hold delay.
    constexpr int kHoldMilliseconds = 600;
    constexpr int kSlopPixels = 5;
    const wxLongLong start = wxGetLocalTimeMillis();
    while (wxGetLocalTimeMillis() - start < kHoldMilliseconds) {
        const wxMouseState state = wxGetMouseState();
        if (!state.LeftIsDown())
            return false;
        const wxPoint at = ScreenToClient(state.GetPosition());
        if (std::abs(at.x - point.x) > kSlopPixels || std::abs(at.y - point.y) > kSlopPixels)
            return false;
        wxMilliSleep(15);
    }
    return true;
}

} // namespace pq
