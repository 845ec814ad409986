#include "ui/view/PqxView.h"

#include "geometry/Transform.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "ui/view/ViewCommands.h"

#include <algorithm>
#include <set>
#include <utility>

namespace pq {

namespace {

bool IsTextOrImage(const CGraphicObject& object) {
    return object.AsText() != nullptr || object.AsImage() != nullptr;
}

bool AnyTextOrImage(const CDrawing& drawing, const std::vector<int>& selection) {
    return std::any_of(selection.begin(), selection.end(), [&](int index) {
        const CGraphicObject* object = drawing.GetAt(index);
        return object != nullptr && IsTextOrImage(*object);
    });
}

bool IsAlignCommand(int id) {
    return id >= cmd::kAlignLeft && id <= cmd::kAlignBottom;
}

// How far the rectangle r stands from the reference rectangle along the aligned axis; the other axis is 0.
CPointF AlignOffset(int id, const CRectF& r, const CRectF& reference) {
    switch (id) {
    case cmd::kAlignLeft:
        return {r.left - reference.left, 0.0f};
    case cmd::kAlignRight:
        return {r.right - reference.right, 0.0f};
    case cmd::kAlignCenter:
        return {(r.left + r.right) / 2 - (reference.left + reference.right) / 2, 0.0f};
    case cmd::kAlignTop:
        return {0.0f, r.top - reference.top};
    case cmd::kAlignBottom:
        return {0.0f, r.bottom - reference.bottom};
    case cmd::kAlignMiddle:
        return {0.0f, (r.top + r.bottom) / 2 - (reference.top + reference.bottom) / 2};
    default:
        return {0.0f, 0.0f};
    }
}

void MoveBack(CGraphicObject& object, CPointF offset) {
    // Translate moves points by the negated arguments: this moves the object by -offset.
    CTransform move;
    move.Translate(offset.x, offset.y, 0.0f);
    object.Transform(move);
}

} // namespace

bool CPqxView::CanEditSelection() const {
    const CDrawing* drawing = GetDrawing();
    return drawing != nullptr && drawing->Count() > 0 && !selection.empty() &&
           IsToolCurrent(ToolKind::Select);
}

void CPqxView::AfterSelectionEdit() {
    ResetSelectTool();
    SetModified();
    RepaintEdited();
}

bool CPqxView::OnArrangeCommand(int id) {
    switch (id) {
    case cmd::kGroup:
    case cmd::kUngroup:
        GroupSelection(id == cmd::kGroup);
        return true;
    case cmd::kBringToFront:
    case cmd::kSendToBack:
        MoveSelectionTo(id == cmd::kBringToFront);
        return true;
    case cmd::kJoin:
        JoinSelection();
        return true;
    case cmd::kBreakApart:
        BreakApartSelection();
        return true;
    case cmd::kDelete:
        DeleteSelection();
        return true;
    default:
        break;
    }
    if (IsAlignCommand(id)) {
        AlignSelection(id);
        return true;
    }
    return false;
}

bool CPqxView::OnUpdateArrangeCommand(int id, bool& enabled) const {
    const bool known = IsAlignCommand(id) || id == cmd::kGroup || id == cmd::kUngroup ||
                       id == cmd::kBringToFront || id == cmd::kSendToBack || id == cmd::kJoin ||
                       id == cmd::kBreakApart || id == cmd::kDelete;
    if (!known)
        return false;
    enabled = false;
    if (!CanEditSelection())
        return true;
    const CDrawing& drawing = *GetDrawing();
    const auto n = selection.size();
    switch (id) {
    case cmd::kDelete:
        enabled = true;
        break;
    case cmd::kGroup:
    case cmd::kUngroup:
        enabled = n >= 2;
        break;
    case cmd::kBringToFront:
        enabled = drawing.Count() >= 2;
        break;
    case cmd::kSendToBack:
        // The objects at the back stay where they are.
        enabled = drawing.Count() >= 2 && selection.front() != 0;
        break;
    case cmd::kJoin:
        enabled = n >= 2 && !AnyTextOrImage(drawing, selection);
        break;
    case cmd::kBreakApart: {
        const CGraphicObject* object = n == 1 ? drawing.GetAt(selection.front()) : nullptr;
        enabled = object != nullptr && !IsTextOrImage(*object);
        break;
    }
    default: // the alignments
        enabled = n >= 2 && drawing.Count() >= 2;
        break;
    }
    return true;
}

void CPqxView::GroupSelection(bool group) {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr || !IsToolCurrent(ToolKind::Select) || selection.size() < 2)
        return;
    undoRecorder.RecordGroup();
    if (group)
        drawing->Group(selection);
    else
        drawing->Ungroup(selection);
    AfterSelectionEdit();
}

void CPqxView::MoveSelectionTo(bool front) {
    if (!CanEditSelection())
        return;
    CDrawing& drawing = *GetDrawing();
    const int target = front ? drawing.Count() : 0;
    if (std::find(selection.begin(), selection.end(), target) != selection.end())
        return;
    std::vector<int> moved;
    for (int index : selection)
        if (drawing.GetAt(index) != nullptr)
            moved.push_back(index);
    if (moved.empty())
        return;
    const int count = static_cast<int>(moved.size());
    if (moved.back() - moved.front() + 1 == count)
        undoRecorder.RecordMove(moved.front(), target, count);
    else
        undoRecorder.RecordReorder(moved, target);
    drawing.MoveIndices(moved, target);

    const int below =
        static_cast<int>(std::count_if(moved.begin(), moved.end(), [&](int i) { return i < target; }));
    const int first = target - below;
    selection.clear();
    for (int i = first; i < first + count && i < drawing.Count(); ++i)
        selection.push_back(i);
    AfterSelectionEdit();
}

void CPqxView::AlignSelection(int id) {
    CDrawing* drawing = GetDrawing();
    if (!CanEditSelection() || selection.size() < 2 || drawing->Count() < 2)
        return;
    // A group moves as a whole: its members on the same page with the same number go together.
    std::set<std::pair<int32_t, int32_t>> groups;
    std::vector<int> single;
    CRectF reference = CRectF::Empty();
    for (int index : selection) {
        const CGraphicObject* object = drawing->GetAt(index);
        if (object == nullptr)
            continue;
        reference.Include(object->bounds);
        if (object->group != 0)
            groups.insert({object->page, object->group});
        else
            single.push_back(index);
    }
    // Every object that moves is recorded: the single ones and all members of the groups.
    std::sort(single.begin(), single.end());
    std::vector<int> touched;
    std::size_t nextSingle = 0;
    for (int i = 0; i < drawing->Count(); ++i) {
        const CGraphicObject* object = drawing->GetAt(i);
        while (nextSingle < single.size() && single[nextSingle] < i)
            ++nextSingle;
        const bool isSingle = nextSingle < single.size() && single[nextSingle] == i;
        if (isSingle || (object->group != 0 && groups.count({object->page, object->group}) != 0))
            touched.push_back(i);
    }
    undoRecorder.RecordModify(touched);

    for (int index : single) {
        CGraphicObject& object = *drawing->GetAt(index);
        MoveBack(object, AlignOffset(id, object.bounds, reference));
    }
    for (const auto& [page, group] : groups) {
        std::vector<CGraphicObject*> members;
        CRectF bounds = CRectF::Empty();
        for (const auto& object : drawing->Objects()) {
            if (object->page != page || object->group != group)
                continue;
            object->RecalcBounds();
            bounds.Include(object->bounds);
            members.push_back(object.get());
        }
        const CPointF offset = AlignOffset(id, bounds, reference);
        for (CGraphicObject* member : members)
            MoveBack(*member, offset);
    }
    AfterSelectionEdit();
}

void CPqxView::JoinSelection() {
    CDrawing* drawing = GetDrawing();
    if (!CanEditSelection() || selection.size() < 2)
        return;
    // Joining would drop texts and pictures, which have no subpaths to give; and a list that does not
    // start with a path joins nothing, so it leaves no undo step either.
    const CGraphicObject* first = drawing->GetAt(selection.front());
    if (first == nullptr || first->AsPath() == nullptr || AnyTextOrImage(*drawing, selection))
        return;
    undoRecorder.RecordJoin();
    drawing->Join(selection);
    AfterSelectionEdit();
}

void CPqxView::BreakApartSelection() {
    CDrawing* drawing = GetDrawing();
    if (!CanEditSelection() || selection.size() != 1)
        return;
    const int index = selection.front();
    const CGraphicObject* object = drawing->GetAt(index);
    if (object == nullptr || object->AsPath() == nullptr)
        return;
    const int before = drawing->Count();
    undoRecorder.RecordBreak(index);
    drawing->BreakApart(index);
    const int added = drawing->Count() - before;
    selection.clear();
    for (int i = index; i <= index + added && i < drawing->Count(); ++i)
        selection.push_back(i);
    AfterSelectionEdit();
}

void CPqxView::DeleteSelection() {
    if (!CanEditSelection())
        return;
    undoRecorder.RecordDelete();
    GetDrawing()->DeleteIndices(selection);
    selection.clear();
    AfterSelectionEdit();
}

} // namespace pq
