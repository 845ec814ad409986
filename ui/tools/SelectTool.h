#pragma once

#include "geometry/RectF.h"
#include "geometry/Transform.h"
#include "platform/DibSection.h"
#include "ui/tools/Tool.h"

#include <array>
#include <set>
#include <vector>

namespace pq {

class CGraphicObject;

// Selects objects on the current page and moves, duplicates, scales and rotates them.
//
// A tap selects the object under the stylus with its whole group; Ctrl adds, Ctrl+Shift removes; a
// drag on empty space is a rubber band that takes the objects wholly inside it. Nine handles sit around
// the selection: corners scale uniformly (handles 2 and 6 rotate about the centre when every selected
// object can turn), edges stretch one axis, the centre moves. While the stylus is down the drawing is not
// rendered again: the outlines of the selection under the gesture's transform are drawn in XOR over a
// snapshot of the window, and the drawing changes once, at the release, as one undo step.
//
// The tool keeps the set of selected indices; the view's Selection array is rebuilt from it whenever it
// changes, and the set is rebuilt from the array after commands and replays (SelectionChanged).
class CSelectTool : public CTool {
public:
    enum Mode { kModeNone = 0, kModeMove = 1, kModeDuplicate = 2, kModeRotate = 3, kModeScale = 4 };

    // Handle indices: corners clockwise from the top-left, edge midpoints between them, the centre last.
    static constexpr int kHandleCount = 9;
    static constexpr int kHandleCentre = 8;
    // A handle is grabbed within this distance, in pixels.
    static constexpr double kHandleReach = 5.0;
    // A selection frame is never narrower or lower than this many pixels.
    static constexpr int kMinFramePixels = 9;
    // Object hit tests accept points this far outside an object's mapped bounds.
    static constexpr int kHitSlackBefore = 3;
    static constexpr int kHitSlackAfter = 4;
    // Scaling text or images never takes a side below this factor while it would be under kMinCollapsePixels.
    static constexpr float kMinTextFactor = 0.1f;
    static constexpr float kMinCollapsePixels = 4.0f;
    // Outline feedback gives way to waiting stylus input after this long.
    static constexpr int kOutlineBudgetMs = 151;
    // Double-clicks within this distance of the press open the properties.
    static constexpr double kDoubleClickReach = 5.0;
    // The frame's object properties command.
    static constexpr int kPropertiesCommand = 32795;

    CSelectTool();
    ~CSelectTool() override;

    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    void OnLButtonDblClk(unsigned flags, CPoint point) override;
    // The selection frame and handles; no drag feedback (that is drawn straight to the window).
    void PaintFeedback(CDeviceContext& dc) override;
    void Activate() override;
    void Deactivate() override;
    void Reset() override;
    void SelectionChanged() override { RebuildFromSelection(); }
    void LeavePendingSelection() override;

    // Selection operations the view offers to commands.
    // Empties the set and the view's array; the four flags become true.
    void ClearSelection();
    // Adds an object with the other members of its group (on its page); false when index names none.
    bool SelectIndex(int index);
    // Draws or erases the frame and handles on the window (XOR) while this tool is current; callers
    // toggle it off before they change the selection and on again after.
    void ToggleFrameOnWindow() const;
    // Rebuilds the set, flags and bounds from the view's Selection (indices that name no object dropped).
    void RebuildFromSelection();
    // Rebuilds from the view's Selection when it no longer matches the set, else refreshes the bounds
    // (the selected objects may have changed in place).
    void SyncWithSelection();

    [[nodiscard]] const std::set<int>& GetSelectedSet() const { return selectedSet; }
    [[nodiscard]] int GetMode() const { return mode; }
    [[nodiscard]] int GetHandle() const { return handle; }
    [[nodiscard]] bool MayRotate() const { return mayRotate; }
    [[nodiscard]] bool MayScale() const { return mayScale; }
    [[nodiscard]] bool MayStretch() const { return mayStretch; }
    [[nodiscard]] bool MayCollapse() const { return mayCollapse; }
    [[nodiscard]] const CRectF& GetSelectionBounds() const { return selBounds; }
    [[nodiscard]] const CTransform& GetTransform() const { return transform; }

    // Handle geometry for the current selection and mapping (SelectToolGeometry.cpp).
    // The selection frame in client pixels: the mapped bounds, one pixel larger, at least 9 by 9.
    [[nodiscard]] CRect FrameRect() const;
    [[nodiscard]] std::array<CPoint, kHandleCount> HandlePoints() const;
    // Whether the selection allows what a handle does (the handle is drawn and grabbed).
    [[nodiscard]] bool HandleAllowed(int index) const;

    // Object hit tests at a client point: pass A the unselected objects of the current page, topmost
    // first; pass B the selected ones. Returns the index or -1.
    [[nodiscard]] int HitTestUnselected(CPoint point) const;
    [[nodiscard]] int HitTestSelected(CPoint point) const;
    [[nodiscard]] int HitTestObject(CPoint point) const;

private:
    // Selection set (SelectTool.cpp).
    void AddOne(int index);
    void RemoveWithGroup(int index);
    // After indices left the set: the flags, bounds and the view's array from what remains.
    void RefreshAfterRemoval();
    void ResetFlags();
    void RecomputeBounds();
    void PublishSelection();
    // The members of index's group on its page (the object alone when it is in no group).
    [[nodiscard]] std::vector<int> GroupOf(int index) const;
    [[nodiscard]] bool IsSelected(int index) const { return selectedSet.count(index) != 0; }

    // Gesture steps (SelectTool.cpp).
    void FinishRubberBand(unsigned flags);
    void CommitTransform();
    void CommitDuplicate();
    [[nodiscard]] bool IsPropertiesTag() const;
    // Ends the drag without doing anything more.
    void AbandonDrag();
    // Forgets the gesture: mode, handle, transform and snapshots.
    void ClearGesture();

    // Geometry (SelectToolGeometry.cpp).
    // Sets mode and handle from the handles and the frame at a client point.
    void HitTestHandles(CPoint point, bool ctrl, bool shift);
    [[nodiscard]] bool HitTestObject(const CGraphicObject& object, CPoint point) const;
    // Rebuilds the transform from startPoint and currentPoint for the current mode.
    void BuildTransform(bool shift);
    [[nodiscard]] float CollapseLimit(float factor, float extent) const;

    // Feedback (SelectToolFeedback.cpp).
    // Draws the frame and handles in XOR: drawing them twice leaves no trace.
    void DrawFrame(CDeviceContext& dc) const;
    // Runs a change of the selection with the frame on the window erased before and drawn after it.
    template <class Change> void ChangeSelectionShown(Change change) {
        ToggleFrameOnWindow();
        change();
        ToggleFrameOnWindow();
    }
    void TakeSnapshot();
    // The snapshot with the selection's outlines under the transform, copied to the window.
    void ShowOutlines();
    // The snapshot alone, copied to the window.
    void RestoreSnapshot();
    // Draws the selected objects' outlines under the transform; gives up on the rest after the budget
    // when stylus input is waiting. Returns the number of objects drawn.
    int DrawOutlines(CDeviceContext& dc);

    std::set<int> selectedSet;
    bool mayRotate = true;
    bool mayScale = true;
    bool mayStretch = true;
    bool mayCollapse = true;
    CRectF selBounds;
    int mode = kModeNone;
    int handle = -1;
    int hitObject = -1;
    CTransform transform;
    // The translation of a move or duplicate in document units.
    CPointF moveDelta;
    CDibSection snapshot;
    CDibSection frame; // the snapshot with outlines, kept between moves so a drag allocates once
    // Scratch buffers of the outline drawing, kept so that feedback frames do not allocate.
    std::vector<CPointF> outlineDoc;
    std::vector<CPoint> outlinePoints;
};

} // namespace pq
