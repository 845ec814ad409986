#include "ui/tools/SelectTool.h"

#include "model/Clipboard.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "ui/view/PqxView.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace pq {

CSelectTool::CSelectTool() : CTool(ToolKind::Select) {
    selBounds = CRectF::Empty();
}

CSelectTool::~CSelectTool() = default;

// Selection set.

void CSelectTool::ResetFlags() {
    mayRotate = mayScale = mayStretch = mayCollapse = true;
}

void CSelectTool::ClearSelection() {
    selectedSet.clear();
    ResetFlags();
    selBounds = CRectF::Empty();
    PublishSelection();
}

std::vector<int> CSelectTool::GroupOf(int index) const {
    const CDrawing* drawing = view != nullptr ? view->GetDrawing() : nullptr;
    const CGraphicObject* object = drawing != nullptr ? drawing->GetAt(index) : nullptr;
    if (object == nullptr)
        return {};
    if (object->group == 0)
        return {index};
    std::vector<int> members;
    for (int i = 0; i < drawing->Count(); ++i) {
        const CGraphicObject* other = drawing->GetAt(i);
        if (other->group == object->group && other->page == object->page)
            members.push_back(i);
    }
    return members;
}

void CSelectTool::AddOne(int index) {
    const CGraphicObject* object = view->GetDrawing()->GetAt(index);
    if (!selectedSet.insert(index).second)
        return;
    const int kind = object->GetKind();
    if (kind == kKindText || kind == kKindImage) {
        mayRotate = false;
        mayCollapse = false;
    }
    // Artistic text keeps its proportions; a paragraph's frame may be stretched (its text rewraps).
    if (const CTextShape* text = object->AsText(); text != nullptr && text->mode != kTextParagraph)
        mayStretch = false;
    if (selectedSet.size() == 1)
        selBounds = object->bounds;
    else
        selBounds.Include(object->bounds);
    std::vector<int>& published = view->GetSelection();
    published.insert(std::lower_bound(published.begin(), published.end(), index), index);
}

bool CSelectTool::SelectIndex(int index) {
    if (view == nullptr || IsSelected(index))
        return false;
    const std::vector<int> members = GroupOf(index);
    for (int member : members)
        AddOne(member);
    return !members.empty();
}

void CSelectTool::RemoveWithGroup(int index) {
    for (int member : GroupOf(index))
        selectedSet.erase(member);
    RefreshAfterRemoval();
}

void CSelectTool::RefreshAfterRemoval() {
    // The flags and bounds depend on everything still selected.
    ResetFlags();
    const std::set<int> remaining = std::move(selectedSet);
    selectedSet.clear();
    view->GetSelection().clear();
    for (int member : remaining)
        AddOne(member);
    if (selectedSet.empty())
        selBounds = CRectF::Empty();
}

void CSelectTool::RebuildFromSelection() {
    selectedSet.clear();
    ResetFlags();
    selBounds = CRectF::Empty();
    if (view == nullptr)
        return;
    const CDrawing* drawing = view->GetDrawing();
    std::vector<int> requested = std::move(view->GetSelection());
    view->GetSelection().clear();
    if (drawing == nullptr)
        return;
    for (int index : requested) {
        if (drawing->GetAt(index) != nullptr)
            AddOne(index);
    }
}

void CSelectTool::SyncWithSelection() {
    if (view == nullptr)
        return;
    const std::vector<int>& published = view->GetSelection();
    if (std::equal(selectedSet.begin(), selectedSet.end(), published.begin(), published.end()))
        RecomputeBounds();
    else
        RebuildFromSelection();
}

void CSelectTool::RecomputeBounds() {
    const CDrawing* drawing = view != nullptr ? view->GetDrawing() : nullptr;
    selBounds = CRectF::Empty();
    if (drawing == nullptr)
        return;
    for (int index : selectedSet)
        if (const CGraphicObject* object = drawing->GetAt(index))
            selBounds.Include(object->bounds);
}

void CSelectTool::PublishSelection() {
    if (view != nullptr)
        view->GetSelection().assign(selectedSet.begin(), selectedSet.end());
}

// Life cycle.

void CSelectTool::Activate() {
    CTool::Activate();
    RebuildFromSelection();
}

void CSelectTool::Deactivate() {
    if (dragging && mode != kModeNone)
        RestoreSnapshot();
    else if (dragging)
        DrawDragRect();
    // The frame belongs to this tool: the next one does not paint it.
    ToggleFrameOnWindow();
    CTool::Deactivate();
}

void CSelectTool::ClearGesture() {
    mode = kModeNone;
    handle = -1;
    hitObject = -1;
    transform.Reset();
    moveDelta = {};
    snapshot.Clear();
    frame.Clear();
}

void CSelectTool::Reset() {
    ClearGesture();
    selectedSet.clear();
    ResetFlags();
    selBounds = CRectF::Empty();
}

void CSelectTool::AbandonDrag() {
    if (dragging) {
        if (IWindowHost* window = Window())
            window->ReleaseCapture();
    }
    dragging = false;
    moved = false;
    ClearGesture();
}

void CSelectTool::LeavePendingSelection() {
    if (dragging) {
        if (mode != kModeNone)
            RestoreSnapshot();
        else
            DrawDragRect();
    }
    AbandonDrag();
}

// Gestures.

void CSelectTool::OnLButtonDown(unsigned flags, CPoint point) {
    if (view == nullptr || view->GetDrawing() == nullptr)
        return;
    const bool ctrl = (flags & kKeyFlagControl) != 0;
    const bool shift = (flags & kKeyFlagShift) != 0;
    const bool ctrlAlone = ctrl && !shift;
    const bool ctrlShift = ctrl && shift;

    if (!dragging)
        SyncWithSelection();
    if (!dragging || mode == kModeNone) {
        mode = kModeNone;
        handle = -1;
        if (!selectedSet.empty())
            HitTestHandles(point, ctrl, shift);
    }
    hitObject = HitTestObject(point);
    const CPoint rawPoint = point;
    CTool::OnLButtonDown(flags, view->SnapPoint(point));

    if (mode == kModeNone) {
        if (ctrlShift) {
            const int found = HitTestSelected(rawPoint);
            if (found < 0) {
                DrawDragRect(); // a band that takes what it encloses out of the selection
            } else {
                AbandonDrag();
                ChangeSelectionShown([&] { RemoveWithGroup(found); });
                return;
            }
        } else if (ctrlAlone) {
            const int found = HitTestUnselected(rawPoint);
            if (found >= 0) {
                const bool wasEmpty = selectedSet.empty();
                ChangeSelectionShown([&] { SelectIndex(found); });
                // Ctrl on an object alone drags a copy of it; added to others it only joins them.
                if (!wasEmpty) {
                    AbandonDrag();
                    return;
                }
                mode = kModeDuplicate;
                hitObject = found;
            } else if (hitObject >= 0 && IsSelected(hitObject)) {
                mode = kModeDuplicate;
            } else {
                DrawDragRect(); // a band that adds what it encloses
            }
        } else if (hitObject < 0) {
            ChangeSelectionShown([&] { ClearSelection(); });
            DrawDragRect();
        } else {
            if (!IsSelected(hitObject))
                ChangeSelectionShown([&] {
                    ClearSelection();
                    SelectIndex(hitObject);
                });
            mode = kModeMove;
        }
    } else if ((mode == kModeMove || mode == kModeDuplicate) && ctrlAlone) {
        mode = kModeDuplicate;
    }

    if (mode != kModeNone) {
        transform.Reset();
        moveDelta = {};
        TakeSnapshot();
        ShowOutlines();
    }
}

void CSelectTool::OnMouseMove(unsigned flags, CPoint point) {
    if (!dragging) {
        CTool::OnMouseMove(flags, point);
        return;
    }
    const CPoint snapped = view->SnapPoint(point);
    if (snapped == currentPoint)
        return;
    if (mode == kModeNone) {
        DrawDragRect();
        CTool::OnMouseMove(flags, snapped);
        DrawDragRect();
        return;
    }
    CTool::OnMouseMove(flags, snapped);
    BuildTransform((flags & kKeyFlagShift) != 0);
    ShowOutlines();
}

void CSelectTool::OnLButtonUp(unsigned flags, CPoint point) {
    if (!dragging || view == nullptr) {
        CTool::OnLButtonUp(flags, point);
        return;
    }
    const CPoint snapped = view->SnapPoint(point);
    if (mode == kModeNone) {
        DrawDragRect();
        CTool::OnLButtonUp(flags, snapped);
        FinishRubberBand(flags);
    } else {
        const bool movedAway = moved || !(snapped == startPoint);
        CTool::OnLButtonUp(flags, snapped);
        BuildTransform((flags & kKeyFlagShift) != 0);
        if (!movedAway) {
            RestoreSnapshot();
            if (IsPropertiesTag())
                if (IWindowHost* window = Window())
                    window->PostCommand(kPropertiesCommand);
        } else if (transform.GetMatrix() == CTransform().GetMatrix()) {
            // Dragged and brought back to where it started: nothing to change and nothing to undo.
            RestoreSnapshot();
        } else if (mode == kModeDuplicate) {
            CommitDuplicate();
        } else {
            CommitTransform();
        }
    }
    AbandonDrag();
}

void CSelectTool::FinishRubberBand(unsigned flags) {
    const bool ctrl = (flags & kKeyFlagControl) != 0;
    const bool shift = (flags & kKeyFlagShift) != 0;
    const bool removing = ctrl && shift;
    const bool adding = ctrl && !shift;
    if (!ctrl && !selectedSet.empty())
        return;
    const CDrawing* drawing = view->GetDrawing();
    const CViewMapping& mapping = view->GetMapping();
    const CRect band{std::min(startPoint.x, currentPoint.x), std::min(startPoint.y, currentPoint.y),
                     std::max(startPoint.x, currentPoint.x), std::max(startPoint.y, currentPoint.y)};
    const auto inside = [&](int index) {
        const CGraphicObject* object = drawing->GetAt(index);
        if (object->page != view->GetCurrentPage() || object->bounds.IsEmpty())
            return false;
        const CPoint a = mapping.DocToDevice(object->bounds.TopLeft());
        const CPoint b = mapping.DocToDevice(object->bounds.BottomRight());
        return std::min(a.x, b.x) >= band.left && std::max(a.x, b.x) <= band.right &&
               std::min(a.y, b.y) >= band.top && std::max(a.y, b.y) <= band.bottom;
    };
    // A group is taken or left whole: it counts as enclosed when all its members are.
    std::vector<char> enclosed(static_cast<std::size_t>(drawing->Count()), 0);
    std::map<int32_t, bool> groupEnclosed;
    for (int i = 0; i < drawing->Count(); ++i) {
        const CGraphicObject* object = drawing->GetAt(i);
        enclosed[static_cast<std::size_t>(i)] = inside(i) ? 1 : 0;
        if (object->group != 0 && object->page == view->GetCurrentPage()) {
            bool& whole = groupEnclosed.try_emplace(object->group, true).first->second;
            whole = whole && enclosed[static_cast<std::size_t>(i)] != 0;
        }
    }
    std::vector<int> collected;
    for (int i = 0; i < drawing->Count(); ++i) {
        const int32_t group = drawing->GetAt(i)->group;
        if (enclosed[static_cast<std::size_t>(i)] != 0 && IsSelected(i) == removing &&
            (group == 0 || groupEnclosed[group]))
            collected.push_back(i);
    }
    if (collected.empty() && (adding || removing))
        return;
    ChangeSelectionShown([&] {
        if (!adding && !removing)
            ClearSelection();
        if (removing) {
            for (int index : collected)
                selectedSet.erase(index);
            RefreshAfterRemoval();
        } else {
            for (int index : collected)
                AddOne(index);
        }
    });
}

void CSelectTool::CommitTransform() {
    CDrawing* drawing = view->GetDrawing();
    const std::vector<int> indices(selectedSet.begin(), selectedSet.end());
    if (indices.empty())
        return;
    // The transform record keeps the objects as they were, so undo gives back their exact records.
    view->GetUndoRecorder().RecordTransform(indices, transform);
    for (int index : indices)
        if (CGraphicObject* object = drawing->GetAt(index))
            object->Transform(transform);
    view->SetModified();
    RebuildFromSelection();
    view->RepaintEdited();
}

void CSelectTool::CommitDuplicate() {
    CDrawing* drawing = view->GetDrawing();
    const std::vector<int> indices(selectedSet.begin(), selectedSet.end());
    // A scratch clipboard keeps the application's clipboard as the user left it.
    CDrawing scratch;
    if (indices.empty() || !CopyToClipboard(*drawing, indices, scratch))
        return;
    RecomputeBounds();
    // The copies land where the originals were plus the drag: Paste puts the top-left corner of their
    // common bounds on the point given, and records the one undo step.
    const CPointF topLeft{selBounds.left + moveDelta.x, selBounds.top + moveDelta.y};
    if (PasteFromClipboard(*drawing, view->GetSelection(), view->GetUndoRecorder(), scratch,
                           view->GetCurrentPage(), topLeft) == 0)
        return;
    view->SetModified();
    RebuildFromSelection();
    view->RepaintEdited();
}

bool CSelectTool::IsPropertiesTag() const {
    if (selectedSet.size() != 1)
        return false;
    const CGraphicObject* object = view->GetDrawing()->GetAt(*selectedSet.begin());
    const CTextShape* text = object != nullptr ? object->AsText() : nullptr;
    if (text == nullptr || text->text.size() < 3)
        return false;
    return text->text.compare(0, 2, u"<!") == 0 && text->text.back() == u'>';
}

void CSelectTool::OnLButtonDblClk(unsigned /*flags*/, CPoint point) {
    const double dx = point.x - startPoint.x;
    const double dy = point.y - startPoint.y;
    if (std::sqrt(dx * dx + dy * dy) >= kDoubleClickReach || selectedSet.empty())
        return;
    if (IWindowHost* window = Window())
        window->PostCommand(kPropertiesCommand);
}

} // namespace pq
