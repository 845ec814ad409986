#include "ui/tools/BezierTool.h"

#include "geometry/BezierMath.h"
#include "geometry/Clipping.h"
#include "geometry/LineMath.h"
#include "geometry/Numeric.h"
#include "platform/WindowHost.h"
#include "ui/tools/SegmentFeedback.h"
#include "ui/tools/XorFeedback.h"
#include "ui/view/PqxView.h"

#include <cmath>
#include <numbers>

namespace pq {

namespace {

constexpr uint32_t kMarkPenColor = 0xC8C8C8;
constexpr uint32_t kMarkFillColor = 0xC00000;

bool AnchorsDiffer(CPointF a, CPointF b) {
    return std::fabs(a.x - b.x) >= kGeomEpsilon || std::fabs(a.y - b.y) >= kGeomEpsilon;
}

} // namespace

void CBezierTool::OnLButtonDown(unsigned flags, CPoint point) {
    if (view == nullptr)
        return;
    const CPoint snapped = view->SnapPoint(point);
    currentNode = CPathNode::FromPoint(view->GetMapping().DeviceToDoc(snapped));
    CTool::OnLButtonDown(flags, snapped);
    DrawPreview();
}

void CBezierTool::OnMouseMove(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr)
        return;
    const CPoint snapped = view->SnapPoint(point);
    if (snapped == currentPoint)
        return;
    DrawPreview();
    CTool::OnMouseMove(flags, snapped);
    UpdateHandles(flags, snapped);
    DrawPreview();
}

void CBezierTool::OnLButtonUp(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr)
        return;
    const CPoint snapped = view->SnapPoint(point);
    DrawPreview();
    CTool::OnLButtonUp(flags, snapped);
    UpdateHandles(flags, snapped);

    // Handles that leave the anchor in opposite directions make a smooth node; anything else (a bent
    // pair, or no handle at all) a corner.
    const double angle =
        VectorAngle(CPointD(currentNode.in), CPointD(currentNode.anchor), CPointD(currentNode.out));
    currentNode.flags = std::numbers::pi - std::fabs(angle) > kCuspAngle ? 1u : 0u;

    // A click on the last anchor (the first click of the double-click that finishes the curve) would
    // only add a segment of no length.
    const CPointF last = nodes.IsEmpty() ? CPointF{} : nodes.Last().anchor;
    if (!nodes.IsEmpty() && currentNode.anchor == last && currentNode.in == last && currentNode.out == last) {
        cusp = false;
        return;
    }

    // The finished segment and the anchor's mark stay on the screen until the curve is made.
    if (IWindowHost* window = Window()) {
        CClientDC client(*window);
        if (!nodes.IsEmpty()) {
            CXorFeedbackScope scope(client);
            DrawSegment(client, nodes.Last(), currentNode);
        }
        DrawAnchorMark(client, currentNode);
    }
    nodes.Add(currentNode);
    cusp = false;
}

void CBezierTool::OnLButtonDblClk(unsigned /*flags*/, CPoint point) {
    const double dx = point.x - startPoint.x;
    const double dy = point.y - startPoint.y;
    if (std::sqrt(dx * dx + dy * dy) < kFinishDistance)
        Finish();
}

void CBezierTool::Activate() {
    Finish();
    CTool::Activate();
}

void CBezierTool::Deactivate() {
    Finish();
    CTool::Deactivate();
}

void CBezierTool::Reset() {
    nodes.RemoveAll();
    cusp = false;
}

int CBezierTool::Finish() {
    const bool shown = dragging || !nodes.IsEmpty();
    if (dragging) {
        // A press that a double-click interrupted: its node is not placed.
        dragging = false;
        moved = false;
        if (IWindowHost* window = Window())
            window->ReleaseCapture();
    }
    int created = -1;
    if (nodes.GetSize() >= 2 && view != nullptr) {
        const CPointF first = nodes[0].anchor;
        if (view->GetNewObjectStyle().noFill == 0 && AnchorsDiffer(nodes.Last().anchor, first)) {
            // A filled curve is closed back to its first anchor with a straight segment.
            nodes.Add(CPathNode::FromPoint(first));
            nodes[0].in = first;
        }
        created = view->CreatePathObject(nodes, false);
    }
    nodes.RemoveAll();
    cusp = false;
    if (shown && view != nullptr)
        view->RepaintEdited();
    return created;
}

void CBezierTool::UpdateHandles(unsigned flags, CPoint point) {
    // Ctrl makes the node a cusp until Shift makes it smooth again; Shift wins when both are held.
    if (flags & kKeyFlagShift)
        cusp = false;
    else if (flags & kKeyFlagControl)
        cusp = true;
    const CPointF out = view->GetMapping().DeviceToDoc(point);
    currentNode.out = out;
    if (!cusp)
        currentNode.in = currentNode.anchor - (out - currentNode.anchor);
}

void CBezierTool::Draw(CDeviceContext& dc) {
    if (view == nullptr)
        return;
    {
        CXorFeedbackScope scope(dc);
        for (std::size_t i = 1; i < nodes.GetSize(); ++i)
            DrawSegment(dc, nodes[i - 1], nodes[i]);
    }
    for (const CPathNode& node : nodes)
        DrawAnchorMark(dc, node);
    if (dragging)
        DrawPreview(&dc);
}

void CBezierTool::DrawPreview(CDeviceContext* dc) const {
    if (view == nullptr)
        return;
    const auto draw = [this](CDeviceContext& target) {
        CXorFeedbackScope scope(target);
        if (!nodes.IsEmpty())
            DrawSegment(target, nodes.Last(), currentNode);
        // The handle being pulled, through the anchor from the incoming to the outgoing control.
        const CPathNode handle{currentNode.in, currentNode.in, currentNode.out};
        const CPathNode end{currentNode.out, currentNode.out, currentNode.out};
        DrawSegment(target, handle, end);
    };
    if (dc != nullptr) {
        draw(*dc);
    } else if (IWindowHost* window = Window()) {
        CClientDC client(*window);
        draw(client);
    }
}

void CBezierTool::DrawSegment(CDeviceContext& dc, const CPathNode& from, const CPathNode& to) const {
    DrawSegmentFeedback(dc, view->GetMapping(), view->GetClientRect(), from, to);
}

void CBezierTool::DrawAnchorMark(CDeviceContext& dc, const CPathNode& node) const {
    const CPoint p = view->GetMapping().DocToDevice(node.anchor);
    const CRect client = view->GetClientRect();
    if (p.x < client.left - 4 || p.x > client.right + 4 || p.y < client.top - 4 || p.y > client.bottom + 4)
        return;
    const CPen savedPen = dc.SelectPen(CPen{kPenSolid, 1, kMarkPenColor});
    const CBrush savedBrush = dc.SelectBrush(CBrush{kBrushSolid, kMarkFillColor});
    const int savedRop = dc.SetROP2(kR2CopyPen);
    dc.Rectangle(p.x - 3, p.y - 3, p.x + 4, p.y + 4);
    dc.SelectPen(savedPen);
    dc.SelectBrush(savedBrush);
    dc.SetROP2(savedRop);
}

} // namespace pq
