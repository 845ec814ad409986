#pragma once

#include "geometry/PathNode.h"
#include "ui/tools/Tool.h"

namespace pq {

// Draws a Bezier curve one node per press: the press places the anchor, the drag pulls its outgoing
// handle, and the incoming handle mirrors it (a smooth node) unless Ctrl is held (the incoming handle
// stays at the anchor: a cusp); Shift makes it smooth again. A double-click near the last press, or
// leaving the tool, makes the curve from the nodes placed so far. Points are snapped.
//
// Feedback: each placed anchor is marked by a small square, and the segments in NOT-XOR, the one being
// dragged redrawn at every move.
class CBezierTool : public CTool {
public:
    CBezierTool() : CTool(ToolKind::Bezier) {}

    // A double-click within this many pixels of the last press finishes the curve.
    static constexpr double kFinishDistance = 5.0;
    // A node whose handles bend away from a straight line by more than this (radians, one degree) is
    // marked a cusp.
    static constexpr double kCuspAngle = 0.017453293;

    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    void OnLButtonDblClk(unsigned flags, CPoint point) override;
    // Both make the curve in progress first, so that changing tools keeps it.
    void Activate() override;
    void Deactivate() override;
    // Drops the nodes placed so far without making anything.
    void Reset() override;
    void Draw(CDeviceContext& dc) override;
    [[nodiscard]] CursorShape GetCursor() const override { return CursorShape::Cross; }

    // Makes the curve from the placed nodes (at least 2), closing it when new objects are filled, and
    // repaints; the node in progress is dropped. Returns the new object's index or -1.
    int Finish();

    [[nodiscard]] const CNodeArray& GetNodes() const { return nodes; }

private:
    // Moves the handles of the node in progress to the document image of point, by the modifier keys.
    void UpdateHandles(unsigned flags, CPoint point);
    // The segment from the last placed node to the node in progress, in NOT-XOR: twice erases it.
    void DrawPreview(CDeviceContext* dc = nullptr) const;
    void DrawSegment(CDeviceContext& dc, const CPathNode& from, const CPathNode& to) const;
    void DrawAnchorMark(CDeviceContext& dc, const CPathNode& node) const;

    CNodeArray nodes;
    CPathNode currentNode;
    bool cusp = false; // the incoming handle of the node in progress stays where it is
};

} // namespace pq
