#pragma once

#include "geometry/Rect.h"
#include "platform/WindowHost.h"

#include <cstdint>

namespace pq {

class CDeviceContext;
class CPqxView;

// The kinds of tools; the numbers are the tool kinds the view and its commands use.
enum class ToolKind : int {
    Select = 0,
    Zoom = 1,
    Pan = 2,
    Text = 6,
    Freehand = 9,
    Bezier = 10,
    Line = 11,
    Rectangle = 12,
    Ellipse = 13,
    Box14 = 14,
    Node = 15,
};

// Key flags that come with stylus events: the button and the modifier keys held at the moment of the event.
inline constexpr unsigned kKeyFlagLButton = 0x0001;
inline constexpr unsigned kKeyFlagShift = 0x0004;
inline constexpr unsigned kKeyFlagControl = 0x0008;

// One interactive tool. The view owns one tool of each kind and passes stylus and timer events to the
// current one; the tool reads and changes the view (mapping, selection, default style, undo recorder)
// through the pointer the view gives it before any event.
//
// The base keeps the drag state every tool shares: a button press captures the stylus and starts a drag,
// moves follow it, the release ends it. Tools override the operations they need and call the base first.
class CTool {
public:
    explicit CTool(ToolKind toolKind) : kind(toolKind) {}
    // Kills a running timer.
    virtual ~CTool();
    CTool(const CTool&) = delete;
    CTool& operator=(const CTool&) = delete;

    [[nodiscard]] ToolKind GetKind() const { return kind; }
    // Set once by the view after construction (and again when a document is opened); not owned.
    void SetView(CPqxView* owner) { view = owner; }
    [[nodiscard]] CPqxView* GetView() const { return view; }

    // Stylus events in client pixels with the key flags.
    virtual void OnLButtonDown(unsigned flags, CPoint point);
    virtual void OnLButtonUp(unsigned flags, CPoint point);
    virtual void OnCancelDrag(unsigned flags, CPoint point);
    virtual void OnLButtonDblClk(unsigned flags, CPoint point);
    virtual void OnMouseMove(unsigned flags, CPoint point);
    // Keys are not forwarded by the view; tools that want them return true when they used one.
    virtual bool OnKeyDown(unsigned virtualKey, unsigned repeat, unsigned flags);
    virtual void OnTimer(int timerId);

    // Drag feedback drawn over a finished paint (rubber shapes in XOR).
    virtual void Draw(CDeviceContext& dc);
    // What the view draws for this tool after painting the page. The base draws the drag feedback; tools
    // whose feedback is of another sort (the selection frame, node markers) or who show none override it.
    virtual void PaintFeedback(CDeviceContext& dc) { Draw(dc); }

    // The tool becomes current: its gesture state is reset.
    virtual void Activate();
    // The tool stops being current: a drag in progress ends (the capture is released) and the state is reset.
    virtual void Deactivate();
    // Clears the gesture state; tools clear their own fields here.
    virtual void Reset();

    // Hooks for the tools that keep selection or node-editing state of their own; the base has none.
    // The view's selection changed outside the tool (an undo, a command): rebuild the state from it.
    virtual void SelectionChanged() {}
    // A gesture that would change the selection is abandoned.
    virtual void LeavePendingSelection() {}
    // The object a node-editing tool works on, or -1.
    [[nodiscard]] virtual int GetEditedObject() const { return -1; }
    // Starts node editing of the object at index; false when this tool cannot edit it.
    virtual bool EditObject(int /*index*/) { return false; }

    [[nodiscard]] virtual CursorShape GetCursor() const { return CursorShape::Arrow; }

    // Draws the focus rectangle from startPoint to currentPoint (XOR: drawing it again erases it), on dc
    // or, without one, on the view's window.
    void DrawDragRect(CDeviceContext* dc = nullptr) const;

    [[nodiscard]] bool IsDragging() const { return dragging; }
    [[nodiscard]] bool HasMoved() const { return moved; }
    [[nodiscard]] CPoint GetStartPoint() const { return startPoint; }
    [[nodiscard]] CPoint GetCurrentPoint() const { return currentPoint; }
    [[nodiscard]] int GetTimerId() const { return timerId; }

protected:
    // Starts (or restarts) the tool's timer on the view's window; the timer's events reach OnTimer.
    bool StartTimer(int id, int milliseconds);
    void StopTimer();
    // The window of the view, or nullptr before the view is set.
    [[nodiscard]] IWindowHost* Window() const;
    // Shows the view's page again with this tool's feedback as it now stands, for feedback that changed
    // while the drawing did not: the drawn page is kept.
    void RedrawFeedback() const;

    ToolKind kind;
    bool dragging = false;
    CPoint startPoint;
    CPoint currentPoint;
    bool moved = false;
    CPqxView* view = nullptr;
    int timerId = 0;
};

} // namespace pq
