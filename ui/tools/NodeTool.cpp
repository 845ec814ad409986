#include "ui/tools/NodeTool.h"

#include "geometry/BezierMath.h"
#include "geometry/Clipping.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"
#include "ui/tools/SegmentFeedback.h"
#include "ui/tools/XorFeedback.h"
#include "ui/view/PqxView.h"
#include "ui/view/ViewCommands.h"

#include <algorithm>
#include <cmath>

namespace pq {

using namespace node_edit;

namespace {

// Node markers: the Bezier tool's colours for plain nodes, a dark frame and red inside for selected ones.
constexpr uint32_t kMarkPenColor = 0xC8C8C8;
constexpr uint32_t kMarkFillColor = 0xC00000;
constexpr uint32_t kSelectedPenColor = 0x000000;
constexpr uint32_t kSelectedFillColor = 0x0000E0;
constexpr uint32_t kHandleColor = 0xC00000;

// Draws with a pen and brush and puts the context's own back.
template <class Draw>
void WithPenAndBrush(CDeviceContext& dc, const CPen& pen, const CBrush& brush, Draw draw) {
    const CPen savedPen = dc.SelectPen(pen);
    const CBrush savedBrush = dc.SelectBrush(brush);
    const int savedRop = dc.SetROP2(kR2CopyPen);
    draw();
    dc.SelectPen(savedPen);
    dc.SelectBrush(savedBrush);
    dc.SetROP2(savedRop);
}

} // namespace

// Attaching and writing back.

bool CNodeTool::Attach(int index, int subpath) {
    if (view == nullptr)
        return false;
    if (index >= 0) {
        const CDrawing* drawing = view->GetDrawing();
        const CGraphicObject* object = drawing != nullptr ? drawing->GetAt(index) : nullptr;
        const CPathShape* path = object != nullptr ? object->AsPath() : nullptr;
        if (path == nullptr || subpath < 0 || subpath >= static_cast<int>(path->SubpathCount()))
            return false;
    }
    if (modified)
        WriteBack();
    editedIndex = index;
    subpathIndex = index >= 0 ? subpath : -1;
    selectedNodes.clear();
    selectedNode = -1;
    nodeHit = segmentHit = false;
    hitNode = hitSegment = -1;
    mode = kModeIdle;
    view->GetSelection().clear();
    if (index >= 0)
        view->GetSelection().push_back(index);
    view->ResetSelectTool();
    LoadNodes();
    RedrawFeedback();
    return true;
}

bool CNodeTool::EditObject(int index) {
    return Attach(index, resumeSubpath) || Attach(index, 0);
}

void CNodeTool::LoadNodes() {
    nodes.RemoveAll();
    if (editedIndex < 0 || view == nullptr || view->GetDrawing() == nullptr)
        return;
    const CGraphicObject* object = view->GetDrawing()->GetAt(editedIndex);
    if (const CPathShape* path = object != nullptr ? object->AsPath() : nullptr)
        nodes = *path->subpaths.at(static_cast<std::size_t>(subpathIndex));
}

void CNodeTool::WriteBack(int brushStyle) {
    modified = false;
    if (view == nullptr || editedIndex < 0 || view->GetDrawing() == nullptr)
        return;
    CGraphicObject* object = view->GetDrawing()->GetAt(editedIndex);
    CPathShape* path = object != nullptr ? object->AsPath() : nullptr;
    if (path == nullptr || subpathIndex >= static_cast<int>(path->SubpathCount()))
        return;
    const int indices[] = {editedIndex};
    view->GetUndoRecorder().RecordModify(indices);
    *path->subpaths[static_cast<std::size_t>(subpathIndex)] = nodes;
    if (brushStyle >= 0)
        path->brushStyle = brushStyle;
    object->RecalcBounds();
    view->GetSelection().assign(1, editedIndex);
    view->SetModified();
    view->RepaintEdited();
}

// Activation.

void CNodeTool::Activate() {
    CTool::Activate();
    if (view != nullptr && view->GetSelection().size() == 1)
        Attach(view->GetSelection().front(), 0);
}

void CNodeTool::Deactivate() {
    if (dragging) {
        // A drag cut short (Escape, a change of tool) is dropped rather than half applied.
        modified = false;
        LoadNodes();
    }
    if (modified)
        WriteBack();
    if (view != nullptr && editedIndex >= 0) {
        view->GetSelection().assign(1, editedIndex);
        RedrawFeedback();
    }
    CTool::Deactivate();
}

void CNodeTool::Reset() {
    if (editedIndex >= 0)
        resumeSubpath = subpathIndex;
    editedIndex = -1;
    subpathIndex = -1;
    nodes.RemoveAll();
    mode = kModeIdle;
    selectedNode = -1;
    selectedNodes.clear();
    nodeHit = segmentHit = false;
    hitNode = hitSegment = -1;
    modified = false;
    deselectedAtPress = false;
}

// Hit tests.

bool CNodeTool::Near(CPointF doc, CPoint point) const {
    const CPoint p = view->GetMapping().DocToDevice(doc);
    return p.x >= point.x - kHitReach && p.x < point.x + kHitReach + 1 && p.y >= point.y - kHitReach &&
           p.y < point.y + kHitReach + 1;
}

int CNodeTool::HitNode(CPoint point) const {
    const int real = RealNodeCount(nodes);
    for (int i = 0; i < real; ++i)
        if (Near(nodes[static_cast<std::size_t>(i)].anchor, point))
            return i;
    return -1;
}

bool CNodeTool::HitSegment(CPoint point, int& segment, float& t) const {
    const CViewMapping& mapping = view->GetMapping();
    const CPointF p{static_cast<float>(point.x), static_cast<float>(point.y)};
    double best = 1e300;
    segment = -1;
    for (std::size_t i = 0; i + 1 < nodes.GetSize(); ++i) {
        const CBezier curve{mapping.DocToDevicef(nodes[i].anchor), mapping.DocToDevicef(nodes[i].out),
                            mapping.DocToDevicef(nodes[i + 1].in), mapping.DocToDevicef(nodes[i + 1].anchor)};
        const float left = std::min({curve.p0.x, curve.p1.x, curve.p2.x, curve.p3.x}) - kSegmentSearchMargin;
        const float right = std::max({curve.p0.x, curve.p1.x, curve.p2.x, curve.p3.x}) + kSegmentSearchMargin;
        const float top = std::min({curve.p0.y, curve.p1.y, curve.p2.y, curve.p3.y}) - kSegmentSearchMargin;
        const float bottom =
            std::max({curve.p0.y, curve.p1.y, curve.p2.y, curve.p3.y}) + kSegmentSearchMargin;
        if (p.x < left || p.x > right || p.y < top || p.y > bottom)
            continue;
        const float u = BezierNearestParameter(curve, p);
        const double distance = BezierPointAt(curve, u).DistanceTo(p);
        if (distance < best) {
            best = distance;
            segment = static_cast<int>(i);
            t = u;
        }
    }
    if (segment < 0)
        return false;
    const CBezier curve{nodes[static_cast<std::size_t>(segment)],
                        nodes[static_cast<std::size_t>(segment) + 1]};
    return Near(BezierPointAt(curve, t), point);
}

int CNodeTool::GestureState(CPoint point) const {
    if (selectedNode >= 0) {
        const CPathNode& node = nodes[static_cast<std::size_t>(selectedNode)];
        if (Near(node.anchor, point))
            return kModeAnchor;
        if (Near(InHandle(nodes, selectedNode), point))
            return kModeInHandle;
        if (Near(node.out, point))
            return kModeOutHandle;
        // A node under the stylus wins over a neighbour's handle, which may sit on its anchor.
        if (HitNode(point) >= 0)
            return kModeOnNode;
        const int prev = PreviousNode(nodes, selectedNode);
        if (prev >= 0 && Near(nodes[static_cast<std::size_t>(prev)].out, point))
            return kModePrevOutHandle;
        const int next = NextNode(nodes, selectedNode);
        if (next >= 0 && Near(InHandle(nodes, next), point))
            return kModeNextInHandle;
    }
    return HitNode(point) >= 0 ? kModeOnNode : kModeIdle;
}

void CNodeTool::RecordHits(CPoint point) {
    tapPoint = point;
    hitNode = HitNode(point);
    nodeHit = hitNode >= 0;
    segmentHit = HitSegment(point, hitSegment, hitParameter);
    if (!segmentHit)
        hitSegment = -1;
}

// Gestures.

void CNodeTool::SelectOnly(int index) {
    selectedNodes.clear();
    if (index >= 0)
        selectedNodes.insert(index);
    selectedNode = index;
}

void CNodeTool::OnLButtonDown(unsigned flags, CPoint point) {
    if (view == nullptr)
        return;
    deselectedAtPress = false;
    int state = editedIndex >= 0 ? GestureState(point) : kModeIdle;
    RecordHits(point);

    if (state == kModeIdle && !segmentHit) {
        // A press on another path (or another subpath) starts editing it.
        const CDrawing* drawing = view->GetDrawing();
        for (int i = drawing != nullptr ? drawing->Count() - 1 : -1; i >= 0; --i) {
            const CGraphicObject* object = drawing->GetAt(i);
            if (object == nullptr || object->page != view->GetCurrentPage() || object->AsPath() == nullptr)
                continue;
            bool onOutline = false;
            int subpath = 0;
            if (!object->HitTest(view->GetMapping(), point, onOutline, kDefaultHitTolerance, subpath))
                continue;
            if (i != editedIndex || subpath != subpathIndex) {
                Attach(i, subpath);
                RecordHits(point);
                return;
            }
            break;
        }
    }

    if (state == kModeOnNode) {
        if (flags & kKeyFlagShift) {
            if (selectedNodes.erase(hitNode) != 0) {
                deselectedAtPress = true;
                selectedNode = selectedNodes.empty() ? -1 : *selectedNodes.begin();
            } else {
                selectedNodes.insert(hitNode);
                selectedNode = hitNode;
            }
        } else if (selectedNodes.count(hitNode) == 0) {
            SelectOnly(hitNode);
        } else {
            selectedNode = hitNode;
        }
        RedrawFeedback();
        state = kModeAnchor;
    } else if (state == kModePrevOutHandle) {
        SelectOnly(PreviousNode(nodes, selectedNode));
        RedrawFeedback();
        state = kModeOutHandle;
    } else if (state == kModeNextInHandle) {
        SelectOnly(NextNode(nodes, selectedNode));
        RedrawFeedback();
        state = kModeInHandle;
    }
    mode = state == kModeIdle ? kModeRubberBand : state;
    if (mode == kModeInHandle || mode == kModeOutHandle)
        handleDrag = BeginHandleDrag(nodes, selectedNode, mode == kModeOutHandle);

    // A press held still, or the right button, on the curve asks for the node commands here; grabbing a
    // handle never does, so that a handle can be held before it is moved, and neither does a press away
    // from the curve, which starts a rubber band.
    IWindowHost* host = Window();
    if (host != nullptr && editedIndex >= 0 && mode != kModeInHandle && mode != kModeOutHandle &&
        (nodeHit || segmentHit) && host->RecognizeTapAndHold(point)) {
        mode = kModeIdle;
        ShowContextMenu(point);
        return;
    }
    if (deselectedAtPress) {
        mode = kModeIdle;
        return;
    }
    CTool::OnLButtonDown(flags, mode == kModeRubberBand ? point : view->SnapPoint(point));
}

void CNodeTool::OnMouseMove(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr)
        return;
    if (mode == kModeRubberBand) {
        if (moved)
            DrawDragRect();
        CTool::OnMouseMove(flags, point);
        if (moved)
            DrawDragRect();
        return;
    }
    const CPoint snapped = view->SnapPoint(point);
    if (snapped == currentPoint || selectedNode < 0)
        return;
    // The feedback is on the screen once the stylus has moved: drawing it again erases it.
    if (moved)
        DrawDragFeedback();
    CTool::OnMouseMove(flags, snapped);
    const CPointF q = view->GetMapping().DeviceToDoc(snapped);
    if (mode == kModeAnchor) {
        const CPointF delta = q - nodes[static_cast<std::size_t>(selectedNode)].anchor;
        for (int index : selectedNodes)
            MoveNode(nodes, index, delta);
    } else {
        DragHandle(nodes, handleDrag, q);
    }
    modified = true;
    DrawDragFeedback();
}

void CNodeTool::OnLButtonUp(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr)
        return;
    const bool wasMoved = moved;
    const int gesture = mode;
    if (gesture == kModeRubberBand) {
        if (wasMoved)
            DrawDragRect();
        CTool::OnLButtonUp(flags, point);
        mode = kModeIdle;
        if (wasMoved) {
            FinishRubberBand(flags);
        } else if (!segmentHit) {
            // A tap on nothing leaves the path.
            Attach(-1, 0);
        } else if (!(flags & kKeyFlagShift)) {
            SelectOnly(-1);
            RedrawFeedback();
        }
        return;
    }
    if (wasMoved)
        DrawDragFeedback();
    CTool::OnLButtonUp(flags, view->SnapPoint(point));
    mode = kModeIdle;
    if (wasMoved && modified) {
        // The nodes moved: what was under the press is no longer there.
        segmentHit = false;
        nodeHit = false;
        WriteBack();
    } else if (gesture == kModeAnchor && !(flags & kKeyFlagShift)) {
        // A plain tap on one of several selected nodes selects it alone.
        SelectOnly(selectedNode);
        RedrawFeedback();
    }
}

void CNodeTool::FinishRubberBand(unsigned flags) {
    const CRect band{std::min(startPoint.x, currentPoint.x), std::min(startPoint.y, currentPoint.y),
                     std::max(startPoint.x, currentPoint.x), std::max(startPoint.y, currentPoint.y)};
    if (!(flags & kKeyFlagShift))
        SelectOnly(-1);
    const CViewMapping& mapping = view->GetMapping();
    const int real = RealNodeCount(nodes);
    for (int i = 0; i < real; ++i) {
        const CPoint p = mapping.DocToDevice(nodes[static_cast<std::size_t>(i)].anchor);
        if (p.x >= band.left && p.x <= band.right && p.y >= band.top && p.y <= band.bottom) {
            selectedNodes.insert(i);
            selectedNode = i;
        }
    }
    RedrawFeedback();
}

// Commands.

bool CNodeTool::CanRunCommand(int id) const {
    if (editedIndex < 0 || nodes.IsEmpty())
        return false;
    const bool closed = IsClosed(nodes);
    switch (id) {
    case cmd::kNodeLine:
    case cmd::kNodeCusp:
    case cmd::kNodeSmooth:
    case cmd::kNodeSymmetrical:
        return selectedNode >= 0;
    case cmd::kNodeAdd:
        return segmentHit && !nodeHit;
    case cmd::kNodeDelete:
        return selectedNode >= 0 && CanDeleteNode(nodes);
    case cmd::kNodeSplit:
        return closed && nodes.GetSize() >= 3 && ((segmentHit && !nodeHit) || selectedNode >= 0);
    case cmd::kNodeClose:
        return !closed && nodes.GetSize() >= 2;
    default:
        return false;
    }
}

bool CNodeTool::IsNodeCommand(int id) {
    switch (id) {
    case cmd::kNodeLine:
    case cmd::kNodeCusp:
    case cmd::kNodeSmooth:
    case cmd::kNodeSymmetrical:
    case cmd::kNodeAdd:
    case cmd::kNodeDelete:
    case cmd::kNodeSplit:
    case cmd::kNodeClose:
        return true;
    default:
        return false;
    }
}

bool CNodeTool::RunCommand(int id) {
    if (!IsNodeCommand(id))
        return false;
    if (!CanRunCommand(id))
        return true;
    switch (id) {
    case cmd::kNodeLine:
        SetType(NodeType::Line);
        break;
    case cmd::kNodeCusp:
        SetType(NodeType::Cusp);
        break;
    case cmd::kNodeSmooth:
        SetType(NodeType::Smooth);
        break;
    case cmd::kNodeSymmetrical:
        SetType(NodeType::Symmetrical);
        break;
    case cmd::kNodeAdd:
        if (AddPointAtTap())
            WriteBack();
        break;
    case cmd::kNodeDelete:
        DeleteSelected();
        break;
    case cmd::kNodeSplit:
        SplitAtTap();
        break;
    case cmd::kNodeClose:
        CloseCurve();
        break;
    default:
        break;
    }
    return true;
}

void CNodeTool::SetType(NodeType type) {
    for (int index : selectedNodes)
        SetNodeType(nodes, index, type);
    WriteBack();
}

bool CNodeTool::AddPointAtTap() {
    if (!segmentHit || hitSegment < 0 || hitSegment + 1 >= static_cast<int>(nodes.GetSize()))
        return false;
    const int added = SplitSegment(nodes, hitSegment, hitParameter);
    SelectOnly(added);
    nodeHit = true;
    hitNode = added;
    segmentHit = false;
    mode = kModeOnNode;
    return true;
}

void CNodeTool::DeleteSelected() {
    // From the highest index down, so that the indices still to go stay valid.
    for (auto it = selectedNodes.rbegin(); it != selectedNodes.rend(); ++it)
        if (!DeleteNode(nodes, *it))
            break;
    SelectOnly(-1);
    nodeHit = segmentHit = false;
    WriteBack();
}

void CNodeTool::SplitAtTap() {
    if (segmentHit && !nodeHit)
        AddPointAtTap();
    if (selectedNode < 0 || !OpenAt(nodes, selectedNode))
        return;
    SelectOnly(0);
    mode = kModeOnNode;
    nodeHit = segmentHit = false;
    // An open curve has no inside to fill.
    WriteBack(kBrushHollow);
}

void CNodeTool::CloseCurve() {
    if (!Close(nodes))
        return;
    nodeHit = segmentHit = false;
    SelectOnly(-1);
    WriteBack(kBrushSolid);
}

std::vector<CMenuItem> CNodeTool::ContextMenuItems() const {
    std::vector<CMenuItem> items;
    const auto group = [&](std::initializer_list<std::pair<int, const char*>> commands) {
        bool any = false;
        for (const auto& command : commands)
            any = any || CanRunCommand(command.first);
        if (!any)
            return;
        if (!items.empty())
            items.push_back(CMenuItem{});
        for (const auto& command : commands)
            items.push_back(CMenuItem{command.first, command.second, CanRunCommand(command.first), false});
    };
    group({{cmd::kNodeLine, "Line"},
           {cmd::kNodeCusp, "Cusp"},
           {cmd::kNodeSmooth, "Smooth"},
           {cmd::kNodeSymmetrical, "Symmetrical"}});
    group({{cmd::kNodeAdd, "Add point"}, {cmd::kNodeDelete, "Delete point"}});
    group({{cmd::kNodeSplit, "Split curve"}, {cmd::kNodeClose, "Close curve"}});
    return items;
}

void CNodeTool::ShowContextMenu(CPoint point) {
    IWindowHost* host = Window();
    const std::vector<CMenuItem> items = ContextMenuItems();
    if (host == nullptr || items.empty())
        return;
    const int chosen = host->TrackPopupMenu(items, point, MenuAnchor::TopLeft);
    if (chosen != 0 && CanRunCommand(chosen))
        RunCommand(chosen);
}

// Drawing.

std::vector<int> CNodeTool::DraggedSegments() const {
    std::vector<int> segments;
    const int count = static_cast<int>(nodes.GetSize());
    const auto touch = [&](int node) {
        // The segments ending and starting at node (a closed subpath's node 0 also ends the last one).
        if (node > 0)
            segments.push_back(node - 1);
        if (node + 1 < count)
            segments.push_back(node);
        if (node == 0 && RealNodeCount(nodes) < count)
            segments.push_back(count - 2);
    };
    if (mode == kModeAnchor) {
        for (int index : selectedNodes)
            touch(index);
    } else if (selectedNode >= 0) {
        touch(selectedNode);
    }
    std::sort(segments.begin(), segments.end());
    segments.erase(std::unique(segments.begin(), segments.end()), segments.end());
    return segments;
}

void CNodeTool::DrawDragFeedback(CDeviceContext* dc) const {
    if (view == nullptr || selectedNode < 0)
        return;
    const auto draw = [this](CDeviceContext& target) {
        CXorFeedbackScope scope(target);
        for (int segment : DraggedSegments())
            DrawSegment(target, segment);
        if (mode == kModeInHandle || mode == kModeOutHandle) {
            const CViewMapping& mapping = view->GetMapping();
            const CPathNode& node = nodes[static_cast<std::size_t>(selectedNode)];
            const CPoint anchor = mapping.DocToDevice(node.anchor);
            for (CPointF handle : {InHandle(nodes, selectedNode), node.out}) {
                const CPoint h = mapping.DocToDevice(handle);
                target.MoveTo(anchor);
                target.LineTo(h);
                target.Rectangle(h.x - 2, h.y - 2, h.x + 3, h.y + 3);
            }
        }
    };
    if (dc != nullptr) {
        draw(*dc);
    } else if (IWindowHost* host = Window()) {
        CClientDC client(*host);
        draw(client);
    }
}

void CNodeTool::DrawSegment(CDeviceContext& dc, int segment) const {
    const CPathNode& from = nodes[static_cast<std::size_t>(segment)];
    const CPathNode& to = nodes[static_cast<std::size_t>(segment) + 1];
    DrawSegmentFeedback(dc, view->GetMapping(), view->GetClientRect(), from, to);
}

void CNodeTool::PaintFeedback(CDeviceContext& dc) {
    if (view == nullptr || editedIndex < 0)
        return;
    const CViewMapping& mapping = view->GetMapping();
    if (selectedNode >= 0 && selectedNode < static_cast<int>(nodes.GetSize())) {
        // The current node's handles: a line from the anchor to each control point, a dot at its end.
        const CPathNode& node = nodes[static_cast<std::size_t>(selectedNode)];
        const CPoint anchor = mapping.DocToDevice(node.anchor);
        WithPenAndBrush(dc, CPen{kPenSolid, 1, kHandleColor}, CBrush{kBrushSolid, 0xFFFFFF}, [&] {
            for (CPointF handle : {InHandle(nodes, selectedNode), node.out}) {
                const CPoint h = mapping.DocToDevice(handle);
                if (h == anchor)
                    continue;
                dc.MoveTo(anchor);
                dc.LineTo(h);
                dc.Ellipse(h.x - 3, h.y - 3, h.x + 4, h.y + 4);
            }
        });
    }
    const int real = RealNodeCount(nodes);
    for (int i = 0; i < real; ++i) {
        const bool selected = selectedNodes.count(i) != 0;
        const CPoint p = mapping.DocToDevice(nodes[static_cast<std::size_t>(i)].anchor);
        WithPenAndBrush(dc, CPen{kPenSolid, 1, selected ? kSelectedPenColor : kMarkPenColor},
                        CBrush{kBrushSolid, selected ? kSelectedFillColor : kMarkFillColor},
                        [&] { dc.Rectangle(p.x - 3, p.y - 3, p.x + 4, p.y + 4); });
    }
    if (dragging && mode != kModeRubberBand && moved)
        DrawDragFeedback(&dc);
    if (dragging && mode == kModeRubberBand && moved)
        DrawDragRect(&dc);
}

} // namespace pq
