#pragma once

#include "geometry/PathNode.h"

#include <vector>

namespace pq {

// Edits of one subpath's nodes for the node tool, free of any view.
//
// A closed subpath ends with a closing node on its first anchor: the closing node's incoming control is
// the first node's real incoming handle, so the tool works on the "real" nodes 0 .. RealNodeCount() - 1
// and reaches the closing node through these functions only.
namespace node_edit {

// First and last anchors closer than this make a closed subpath.
inline constexpr float kClosedDistance = 1e-5f;
// The distance of Smooth's new handles from the anchor, as a fraction of the way to the neighbour.
inline constexpr float kSmoothHandleFraction = 0.35f;
// Handles of a smooth node whose lengths differ by less than this are mirrored as a symmetrical pair.
inline constexpr float kSymmetricalTolerance = 0.0001f;
// A handle dragged this close to its anchor (document units) lands on it.
inline constexpr float kHandleSnapDistance = 0.1f;
// The end of a split curve is moved this far on each coordinate, so that it no longer closes.
inline constexpr float kSplitOffset = 0.0001f;
// Bit 0 of a node's flags: a cusp, whose handles move independently.
inline constexpr uint32_t kCuspFlag = 1u;

enum class NodeType { Line, Cusp, Smooth, Symmetrical };

// An empty subpath counts as closed.
[[nodiscard]] bool IsClosed(const CNodeArray& nodes);
// The nodes a user sees: a closed subpath's closing node is its node 0.
[[nodiscard]] int RealNodeCount(const CNodeArray& nodes);
// A node index with a closed subpath's closing node mapped to 0.
[[nodiscard]] int RealIndex(const CNodeArray& nodes, int index);
// The neighbours of a real node, wrapping around a closed subpath; -1 at an open end.
[[nodiscard]] int PreviousNode(const CNodeArray& nodes, int index);
[[nodiscard]] int NextNode(const CNodeArray& nodes, int index);
// The incoming handle of a real node (on a closed subpath node 0's lives in the closing node).
[[nodiscard]] CPointF& InHandle(CNodeArray& nodes, int index);
[[nodiscard]] CPointF InHandle(const CNodeArray& nodes, int index);
// After node 0 of a closed subpath changed: the closing node follows its anchor.
void SyncClosingNode(CNodeArray& nodes, bool closed);

// Moves a real node's anchor and both handles by delta.
void MoveNode(CNodeArray& nodes, int index, CPointF delta);

// A handle drag: which handle, and the handles as they were when the drag began.
struct HandleDrag {
    int node = -1;
    bool outgoing = false;
    CPointF savedDragged;
    CPointF savedOpposite;
    float draggedLength = 0.0f;
    float oppositeLength = 0.0f;
};
[[nodiscard]] HandleDrag BeginHandleDrag(const CNodeArray& nodes, int index, bool outgoing);
// Puts the dragged handle at q. A cusp's other handle stays; a smooth node's turns with it (collinear,
// its length kept), and one of equal length (symmetrical) mirrors the dragged handle.
void DragHandle(CNodeArray& nodes, const HandleDrag& drag, CPointF q);

// Sets a real node's type. Symmetrical and Smooth rebuild the handles towards the neighbours.
void SetNodeType(CNodeArray& nodes, int index, NodeType type);

// Splits segment (from node segment to node segment + 1) at parameter t without changing the shape;
// returns the new node's index (segment + 1).
int SplitSegment(CNodeArray& nodes, int segment, float t);

// Whether one real node can be deleted: an open subpath keeps 2 nodes, a closed one 3 and its closing
// node.
[[nodiscard]] bool CanDeleteNode(const CNodeArray& nodes);
// Deletes a real node; its neighbours keep their handles and a closed subpath stays closed. False when
// CanDeleteNode refuses.
bool DeleteNode(CNodeArray& nodes, int index);

// Closes an open subpath with a straight segment back to its first anchor. False on a closed one.
bool Close(CNodeArray& nodes);
// Opens a closed subpath at real node k: the nodes run from k around to a copy of k. False when the
// subpath is open or k names no node.
bool OpenAt(CNodeArray& nodes, int k);

} // namespace node_edit

} // namespace pq
