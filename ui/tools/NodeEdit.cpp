#include "ui/tools/NodeEdit.h"

#include <cmath>
#include <numbers>

namespace pq::node_edit {

namespace {

CPointF Lerp(CPointF a, CPointF b, float t) {
    return a + (b - a) * t;
}

double AngleOf(CPointF v) {
    return std::atan2(static_cast<double>(v.y), static_cast<double>(v.x));
}

CPointF FromPolar(CPointF centre, double angle, float length) {
    return {centre.x + static_cast<float>(std::cos(angle) * length),
            centre.y + static_cast<float>(std::sin(angle) * length)};
}

// Folds an angle into (-pi, pi].
double Fold(double angle) {
    while (angle > std::numbers::pi)
        angle -= 2.0 * std::numbers::pi;
    while (angle <= -std::numbers::pi)
        angle += 2.0 * std::numbers::pi;
    return angle;
}

CPointF RotatedAbout(CPointF p, CPointF centre, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double dx = p.x - centre.x;
    const double dy = p.y - centre.y;
    return {static_cast<float>(centre.x + dx * c - dy * s), static_cast<float>(centre.y + dx * s + dy * c)};
}

void MakeSmooth(CNodeArray& nodes, int index) {
    CPathNode& node = nodes[static_cast<std::size_t>(index)];
    const CPointF anchor = node.anchor;
    const int prev = PreviousNode(nodes, index);
    const int next = NextNode(nodes, index);
    CPointF in = InHandle(nodes, index);
    CPointF out = node.out;
    if (prev >= 0)
        in = Lerp(anchor, nodes[static_cast<std::size_t>(prev)].anchor, kSmoothHandleFraction);
    if (next >= 0)
        out = Lerp(anchor, nodes[static_cast<std::size_t>(next)].anchor, kSmoothHandleFraction);
    // At an open end the missing handle is the other one turned half a circle.
    if (prev < 0)
        in = RotatedAbout(out, anchor, std::numbers::pi);
    if (next < 0)
        out = RotatedAbout(in, anchor, std::numbers::pi);
    // Both handles turn to lie across the bisector of the angle between them, each keeping its length.
    const double inAngle = AngleOf(in - anchor);
    const double theta = Fold(AngleOf(out - anchor) - inAngle);
    const double side = theta >= 0.0 ? 1.0 : -1.0;
    const double bisector = inAngle + theta / 2.0;
    InHandle(nodes, index) =
        FromPolar(anchor, bisector - side * std::numbers::pi / 2.0, (in - anchor).Length());
    node.out = FromPolar(anchor, bisector + side * std::numbers::pi / 2.0, (out - anchor).Length());
}

} // namespace

bool IsClosed(const CNodeArray& nodes) {
    if (nodes.IsEmpty())
        return true;
    return nodes[0].anchor.DistanceTo(nodes.Last().anchor) < kClosedDistance;
}

int RealNodeCount(const CNodeArray& nodes) {
    const int n = static_cast<int>(nodes.GetSize());
    return n >= 2 && IsClosed(nodes) ? n - 1 : n;
}

int RealIndex(const CNodeArray& nodes, int index) {
    return index >= RealNodeCount(nodes) ? 0 : index;
}

int PreviousNode(const CNodeArray& nodes, int index) {
    const int real = RealNodeCount(nodes);
    if (index < 0 || index >= real || real < 2)
        return -1;
    if (index > 0)
        return index - 1;
    return real < static_cast<int>(nodes.GetSize()) ? real - 1 : -1;
}

int NextNode(const CNodeArray& nodes, int index) {
    const int real = RealNodeCount(nodes);
    if (index < 0 || index >= real || real < 2)
        return -1;
    if (index + 1 < real)
        return index + 1;
    return real < static_cast<int>(nodes.GetSize()) ? 0 : -1;
}

CPointF& InHandle(CNodeArray& nodes, int index) {
    if (index == 0 && RealNodeCount(nodes) < static_cast<int>(nodes.GetSize()))
        return nodes.Last().in;
    return nodes[static_cast<std::size_t>(index)].in;
}

CPointF InHandle(const CNodeArray& nodes, int index) {
    if (index == 0 && RealNodeCount(nodes) < static_cast<int>(nodes.GetSize()))
        return nodes.Last().in;
    return nodes[static_cast<std::size_t>(index)].in;
}

void SyncClosingNode(CNodeArray& nodes, bool closed) {
    if (!closed || nodes.GetSize() < 2)
        return;
    CPathNode& last = nodes.Last();
    last.anchor = nodes[0].anchor;
    last.out = last.anchor;
    nodes[0].in = nodes[0].anchor;
}

void MoveNode(CNodeArray& nodes, int index, CPointF delta) {
    const bool closed = RealNodeCount(nodes) < static_cast<int>(nodes.GetSize());
    InHandle(nodes, index) += delta;
    CPathNode& node = nodes[static_cast<std::size_t>(index)];
    node.anchor += delta;
    node.out += delta;
    if (index == 0)
        SyncClosingNode(nodes, closed);
}

HandleDrag BeginHandleDrag(const CNodeArray& nodes, int index, bool outgoing) {
    HandleDrag drag;
    drag.node = index;
    drag.outgoing = outgoing;
    const CPathNode& node = nodes[static_cast<std::size_t>(index)];
    const CPointF in = InHandle(nodes, index);
    drag.savedDragged = outgoing ? node.out : in;
    drag.savedOpposite = outgoing ? in : node.out;
    drag.draggedLength = drag.savedDragged.DistanceTo(node.anchor);
    drag.oppositeLength = drag.savedOpposite.DistanceTo(node.anchor);
    return drag;
}

void DragHandle(CNodeArray& nodes, const HandleDrag& drag, CPointF q) {
    CPathNode& node = nodes[static_cast<std::size_t>(drag.node)];
    const CPointF anchor = node.anchor;
    if (q.DistanceTo(anchor) <= kHandleSnapDistance)
        q = anchor;
    CPointF& dragged = drag.outgoing ? node.out : InHandle(nodes, drag.node);
    CPointF& opposite = drag.outgoing ? InHandle(nodes, drag.node) : node.out;
    dragged = q;
    if (node.flags & kCuspFlag)
        return;
    if (std::fabs(drag.draggedLength - drag.oppositeLength) < kSymmetricalTolerance &&
        drag.draggedLength > 1e-6f) {
        opposite = drag.savedOpposite + (drag.savedDragged - q) * (drag.oppositeLength / drag.draggedLength);
        return;
    }
    // A handle dragged out of its anchor has no direction to turn from: the other handle stays.
    if (drag.draggedLength <= 1e-6f || q == anchor)
        return;
    const double turned = Fold(AngleOf(q - anchor) - AngleOf(drag.savedDragged - anchor));
    opposite = RotatedAbout(drag.savedOpposite, anchor, turned);
}

void SetNodeType(CNodeArray& nodes, int index, NodeType type) {
    CPathNode& node = nodes[static_cast<std::size_t>(index)];
    switch (type) {
    case NodeType::Line:
        InHandle(nodes, index) = node.anchor;
        node.out = node.anchor;
        node.flags &= ~kCuspFlag;
        break;
    case NodeType::Cusp:
        node.flags |= kCuspFlag;
        break;
    case NodeType::Smooth:
        node.flags &= ~kCuspFlag;
        MakeSmooth(nodes, index);
        break;
    case NodeType::Symmetrical: {
        node.flags &= ~kCuspFlag;
        MakeSmooth(nodes, index);
        CPointF& in = InHandle(nodes, index);
        const float inLength = in.DistanceTo(node.anchor);
        const float outLength = node.out.DistanceTo(node.anchor);
        const float mean = (inLength + outLength) * 0.5f;
        const auto scale = [&](CPointF& handle, float length) {
            handle = length >= 0.001f ? node.anchor + (handle - node.anchor) * (mean / length) : node.anchor;
        };
        scale(in, inLength);
        scale(node.out, outLength);
        break;
    }
    }
}

int SplitSegment(CNodeArray& nodes, int segment, float t) {
    CPathNode& a = nodes[static_cast<std::size_t>(segment)];
    CPathNode& b = nodes[static_cast<std::size_t>(segment + 1)];
    // de Casteljau: the two halves together trace the segment exactly.
    const CPointF p01 = Lerp(a.anchor, a.out, t);
    const CPointF p12 = Lerp(a.out, b.in, t);
    const CPointF p23 = Lerp(b.in, b.anchor, t);
    const CPointF p012 = Lerp(p01, p12, t);
    const CPointF p123 = Lerp(p12, p23, t);
    const CPointF point = Lerp(p012, p123, t);
    a.out = p01;
    b.in = p23;
    nodes.InsertAt(static_cast<std::size_t>(segment + 1), CPathNode{p012, point, p123, 0});
    return segment + 1;
}

bool CanDeleteNode(const CNodeArray& nodes) {
    const int n = static_cast<int>(nodes.GetSize());
    return IsClosed(nodes) ? n >= 4 : n >= 3;
}

bool DeleteNode(CNodeArray& nodes, int index) {
    if (!CanDeleteNode(nodes) || index < 0 || index >= RealNodeCount(nodes))
        return false;
    if (!IsClosed(nodes) || index > 0) {
        nodes.RemoveAt(static_cast<std::size_t>(index));
        return true;
    }
    // Node 0 of a closed subpath: node 1 becomes the first, and the closing node moves onto it, keeping
    // the incoming handle node 1 had.
    const CPointF secondIn = nodes[1].in;
    nodes.RemoveAt(nodes.GetSize() - 1);
    nodes.RemoveAt(0);
    nodes.Add(CPathNode{secondIn, nodes[0].anchor, nodes[0].anchor, 0});
    nodes[0].in = nodes[0].anchor;
    return true;
}

bool Close(CNodeArray& nodes) {
    if (nodes.IsEmpty() || IsClosed(nodes))
        return false;
    nodes.Add(CPathNode::FromPoint(nodes[0].anchor));
    nodes[0].in = nodes[0].anchor;
    return true;
}

bool OpenAt(CNodeArray& nodes, int k) {
    const int real = RealNodeCount(nodes);
    if (nodes.GetSize() < 2 || !IsClosed(nodes) || k < 0 || k >= real)
        return false;
    CPathNode end = nodes[static_cast<std::size_t>(k)];
    end.in = InHandle(nodes, k);
    CNodeArray opened;
    for (int i = 0; i < real; ++i)
        opened.Add(nodes[static_cast<std::size_t>((k + i) % real)]);
    opened[0].in = opened[0].anchor;
    const CPointF offset{kSplitOffset, kSplitOffset};
    end.in += offset;
    end.anchor += offset;
    end.out = end.anchor;
    opened.Add(end);
    nodes = opened;
    return true;
}

} // namespace pq::node_edit
