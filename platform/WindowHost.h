#pragma once

#include "geometry/Rect.h"
#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pq {

// Cursor shapes a view or tool may ask for.
enum class CursorShape { Arrow, Wait, Cross, Hand, Move, Text };

enum class ScrollBarAxis { Horizontal, Vertical };

// What one scroll bar shows, in scroll units: the whole extent (range), the visible part (page, the
// thumb's length) and where the visible part starts (position, 0 .. range - page).
struct CScrollBarInfo {
    int range = 0;
    int page = 0;
    int position = 0;
    bool operator==(const CScrollBarInfo&) const = default;
};

// One entry of a pop-up menu; an id of 0 is a separator. A greyed item is shown but cannot be chosen.
struct CMenuItem {
    int id = 0;
    std::string text;
    bool enabled = true;
    bool checked = false;
};

// Where the point given to TrackPopupMenu sits on the menu: its top-left corner, or its bottom-left
// corner (menus that open upwards from a toolbar button).
enum class MenuAnchor { TopLeft, BottomLeft };

// What a view and its tools need from the window that shows them. The wx shell implements it; tests
// implement it with a recorder so that gestures run in-process. Points and rectangles are client pixels.
//
// The window owns a front buffer: the pixels the window shows. Painting copies the view's back buffer into
// it, and tools draw their XOR feedback straight into it through a CClientDC; either way the drawer reports
// the rectangle it changed with MarkDamaged, and the shell copies only damaged rectangles to the real
// window. Nothing draws on the real window outside its paint event.
class IWindowHost {
public:
    virtual ~IWindowHost() = default;

    // Asks for a paint of the whole client area, or of one rectangle, at the next idle moment.
    virtual void Invalidate() = 0;
    virtual void InvalidateRect(const CRect& rect) = 0;

    // Stylus capture: while captured, moves and the button release reach the view even outside it.
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    [[nodiscard]] virtual bool HasCapture() const = 0;

    // A repeating timer that reaches the view's OnTimer with its id; setting an id again restarts it.
    virtual bool SetTimer(int id, int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;

    // The client area's size; the client rectangle runs from (0, 0) to (width, height).
    [[nodiscard]] virtual CRect GetClientRect() const = 0;

    // Queues a command to be routed (view first) after the current message has been handled.
    virtual void PostCommand(int commandId) = 0;
    // A plain message box with an OK button.
    virtual void MessageBox(std::string_view text) = 0;
    // Shows a pop-up menu at a client point and returns the id of the chosen item, 0 when none was
    // chosen. The chosen command is not routed by the host: the caller decides what to do with it.
    virtual int TrackPopupMenu(std::span<const CMenuItem> items, CPoint point, MenuAnchor anchor) = 0;
    // The client rectangle of the toolbar button that sends a command, for menus that open at it.
    [[nodiscard]] virtual std::optional<CRect> GetCommandButtonRect(int commandId) const = 0;
    // True when stylus or key input is waiting, so that long feedback drawing can give way to it.
    [[nodiscard]] virtual bool IsInputPending() const = 0;
    // Asked by a tool at a button-down that could open a context menu: true when the press is the
    // context-menu gesture (the right button, or the stylus held still at point for a moment), false
    // as soon as it moves away or lifts. Waits at most the hold delay.
    [[nodiscard]] virtual bool RecognizeTapAndHold(CPoint point) = 0;
    virtual void SetCursor(CursorShape shape) = 0;

    // A scroll bar: positions run from 0 to range - page, the thumb is page long and sits at position.
    // A range of 0 hides the bar.
    virtual void SetScrollInfo(ScrollBarAxis axis, const CScrollBarInfo& info) = 0;
    // The view's mapping changed (a zoom or a scroll); the frame's status bar follows it.
    virtual void MappingChanged() {}

    // The frame's page indicator shows "page / count" (page counted from 1).
    virtual void RefreshPageIndicator(int currentPage, int pageCount) = 0;
    // The command-bar button of a tool command is shown checked or plain.
    virtual void SetToolButtonState(int commandId, bool checked) = 0;

    // The front buffer: client-sized, 24 or 32 bits, resized by the host when the client area changes.
    [[nodiscard]] virtual CDibSection& GetFrontBuffer() = 0;
    // Reports pixels of the front buffer that changed and must reach the screen.
    virtual void MarkDamaged(const CRect& rect) = 0;
};

// A device context on the window's front buffer, as tools use it for rubber bands, focus rectangles,
// snapshots and pixel reads. What it draws is reported to the host as damage when it is destroyed (or
// flushed), so the shell copies those pixels to the screen.
class CClientDC : public CDeviceContext {
public:
    explicit CClientDC(IWindowHost& window) : CDeviceContext(&window.GetFrontBuffer()), host(window) {}
    ~CClientDC() { Flush(); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    // Reports the damage drawn so far.
    void Flush() {
        if (!GetDamage().IsEmpty())
            host.MarkDamaged(GetDamage());
        ResetDamage();
    }

private:
    IWindowHost& host;
};

} // namespace pq
