#pragma once

#include "platform/DibSection.h"
#include "platform/WindowHost.h"

#include <functional>
#include <map>
#include <memory>

namespace pq {

class CPqxView;

// What the canvas needs from its frame: routing posted commands, the page indicator, tool buttons and
// the button rectangles pop-up menus open at; and what the status bar follows.
class ICanvasOwner {
public:
    virtual ~ICanvasOwner() = default;
    virtual void RouteCommand(int id) = 0;
    virtual void OnPageIndicator(int currentPage, int pageCount) = 0;
    virtual void OnToolButtonState(int id, bool checked) = 0;
    // The pointer moved over the canvas (client pixels), or left it.
    virtual void OnPointerMoved(std::optional<CPoint> point) = 0;
    // The view zoomed or scrolled.
    virtual void OnMappingChanged() = 0;
    // The button's rectangle in screen pixels, if some bar shows it.
    [[nodiscard]] virtual std::optional<wxRect> FindButtonScreenRect(int id) const = 0;
};

// The drawing area: a window that hosts the view. It owns the front buffer the view paints into and
// copies only the damaged parts of it to the screen in its paint event; stylus, wheel, pinch, timer, size
// and scroll events go to the view (keys are the frame's).
class CCanvas : public wxWindow, public IWindowHost {
public:
    CCanvas(wxWindow* parent, ICanvasOwner& owner);
    ~CCanvas() override;

    // The view that receives events; nullptr detaches it (before the view is destroyed).
    void SetView(CPqxView* newView);

    // IWindowHost
    void Invalidate() override;
    void InvalidateRect(const CRect& rect) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    [[nodiscard]] bool HasCapture() const override;
    bool SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;
    [[nodiscard]] CRect GetClientRect() const override;
    void PostCommand(int commandId) override;
    void MessageBox(std::string_view text) override;
    int TrackPopupMenu(std::span<const CMenuItem> items, CPoint point, MenuAnchor anchor) override;
    [[nodiscard]] std::optional<CRect> GetCommandButtonRect(int commandId) const override;
    [[nodiscard]] bool IsInputPending() const override;
    [[nodiscard]] bool RecognizeTapAndHold(CPoint point) override;
    void SetCursor(CursorShape shape) override;
    void SetScrollInfo(ScrollBarAxis axis, const CScrollBarInfo& info) override;
    void MappingChanged() override;
    void RefreshPageIndicator(int currentPage, int pageCount) override;
    void SetToolButtonState(int commandId, bool checked) override;
    [[nodiscard]] CDibSection& GetFrontBuffer() override;
    void MarkDamaged(const CRect& rect) override;

private:
    class CViewTimer;

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnWheel(wxMouseEvent& event);
    void OnZoomGesture(wxZoomGestureEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnScroll(wxScrollWinEvent& event);
    void FireTimer(int id);

    // Makes the front buffer the client's size; true when its size changed.
    bool EnsureFrontBuffer();
    // Copies a rectangle of the front buffer to the paint context.
    void Blit(wxDC& dc, const CRect& rect) const;

    ICanvasOwner& owner;
    CPqxView* view = nullptr;
    CDibSection front;
    // The view must paint again before the next copy to the screen.
    bool viewPaintNeeded = true;
    // Front-buffer pixels the view changed during the current paint.
    CRect damage;
    bool painting = false;
    std::map<int, std::unique_ptr<CViewTimer>> timers;
    std::optional<CRect> lastButtonRect;
    // The press being handled came from the right button: it is the context-menu gesture at once.
    bool rightButtonPress = false;
};

} // namespace pq
