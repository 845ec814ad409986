#pragma once

#include "geometry/PathNode.h"
#include "platform/WindowHost.h"
#include "ui/tools/NodeEdit.h"
#include "ui/tools/Tool.h"

#include <set>
#include <vector>

namespace pq {

// Reshapes one subpath of one path object (the Shape tool).
//
// A tap on a path attaches it: its subpath's nodes are copied into a working array and marked. Taps
// select nodes (Shift adds or removes one, a drag on empty space is a rubber band taking the nodes inside
// it); dragging a selected node moves every selected node, dragging a handle of the current node (the one
// last tapped) reshapes its segments by the node's type. While the stylus is down only XOR feedback is
// drawn; the change reaches the object at the release as one undo step. Node commands (type, add, delete,
// split, close) each write back with an undo step of their own; a press held still, or the right button,
// opens them as a context menu.
class CNodeTool : public CTool {
public:
    // Gesture states at a press.
    enum Mode {
        kModeIdle = 0,
        kModeRubberBand = 1, // not a stored state of its own: a drag from state 0
        kModeOnNode = 4,
        kModeAnchor = 5,
        kModeInHandle = 6,
        kModeOutHandle = 7,
        kModePrevOutHandle = 8,
        kModeNextInHandle = 9,
    };
    // A node or handle is hit within this many pixels each way.
    static constexpr int kHitReach = 10;
    // Segments whose control polygon, widened by this many pixels, misses the stylus are not searched.
    static constexpr int kSegmentSearchMargin = 100;

    CNodeTool() : CTool(ToolKind::Node) {}

    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    // Attaches the only selected object, when exactly one is selected.
    void Activate() override;
    // Leaves the edited object selected.
    void Deactivate() override;
    void Reset() override;
    // Node markers, the current node's handles and, during a drag, its feedback.
    void PaintFeedback(CDeviceContext& dc) override;
    [[nodiscard]] int GetEditedObject() const override { return editedIndex; }
    // After an undo: edits the object again, on the subpath it was editing.
    bool EditObject(int index) override;

    // Makes the path at index (on its subpath) the edited object, or detaches with -1. Objects that are
    // not paths, and subpaths they do not have, are refused (false).
    bool Attach(int index, int subpath);

    // Whether an id is one of the node commands (ui/view/ViewCommands.h).
    [[nodiscard]] static bool IsNodeCommand(int id);
    // Node commands by id: false for an id that is no node command.
    bool RunCommand(int id);
    [[nodiscard]] bool CanRunCommand(int id) const;

    [[nodiscard]] const CNodeArray& GetNodes() const { return nodes; }
    [[nodiscard]] int GetSubpathIndex() const { return subpathIndex; }
    [[nodiscard]] int GetSelectedNode() const { return selectedNode; }
    [[nodiscard]] const std::set<int>& GetSelectedNodes() const { return selectedNodes; }
    [[nodiscard]] int GetMode() const { return mode; }
    // The node context menu for the last press, as it would be shown (empty: none).
    [[nodiscard]] std::vector<CMenuItem> ContextMenuItems() const;

private:
    // Hit tests at a client point.
    [[nodiscard]] int HitNode(CPoint point) const;
    // The segment whose nearest point lies within reach of point, and that point's parameter.
    [[nodiscard]] bool HitSegment(CPoint point, int& segment, float& t) const;
    [[nodiscard]] bool Near(CPointF doc, CPoint point) const;
    [[nodiscard]] int GestureState(CPoint point) const;
    // Records what lies under a press, for the commands that act where the user pressed.
    void RecordHits(CPoint point);

    // Selection of nodes.
    void SelectOnly(int index);
    void FinishRubberBand(unsigned flags);

    // Writes the working nodes (and a new fill, unless brushStyle is -1) into the edited object as one
    // undo step.
    void WriteBack(int brushStyle = -1);
    // Copies the object's subpath into the working nodes.
    void LoadNodes();
    void ShowContextMenu(CPoint point);

    // Commands.
    void SetType(node_edit::NodeType type);
    bool AddPointAtTap();
    void DeleteSelected();
    void SplitAtTap();
    void CloseCurve();

    // Feedback.
    void DrawDragFeedback(CDeviceContext* dc = nullptr) const;
    void DrawSegment(CDeviceContext& dc, int segment) const;
    // The segments touched by the nodes a drag moves.
    [[nodiscard]] std::vector<int> DraggedSegments() const;

    int editedIndex = -1;
    int subpathIndex = -1;
    // The subpath to edit again when an undo re-attaches the object after a reset.
    int resumeSubpath = 0;
    CNodeArray nodes;
    int mode = kModeIdle;
    int selectedNode = -1; // the current node, whose handles show
    std::set<int> selectedNodes;
    bool nodeHit = false;
    bool segmentHit = false;
    int hitNode = -1;
    int hitSegment = -1;
    float hitParameter = 0.0f;
    CPoint tapPoint;
    bool modified = false;
    // Whether a Shift press on a selected node took it out of the selection (no drag then).
    bool deselectedAtPress = false;
    node_edit::HandleDrag handleDrag;
    CPointF dragOrigin;  // document point of the press of an anchor drag
    CPointF dragApplied; // displacement applied to the working nodes so far
};

} // namespace pq
