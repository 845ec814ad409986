#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"
#include "ui/view/ViewCommands.h"

#include <vector>

namespace pq {

namespace {

// The widths of the Fine, Normal, Bold and Thick lines in document units; -1 for other commands.
int LineWidthOf(int id) {
    switch (id) {
    case cmd::kLineFine:
        return 0;
    case cmd::kLineNormal:
        return 3;
    case cmd::kLineBold:
        return 6;
    case cmd::kLineThick:
        return 9;
    default:
        return -1;
    }
}

// The selected paths; texts and pictures have no line or fill of their own to change.
std::vector<CPathShape*> SelectedPaths(const CDrawing* drawing, const std::vector<int>& selection) {
    std::vector<CPathShape*> paths;
    if (drawing == nullptr)
        return paths;
    for (int index : selection) {
        CGraphicObject* object = drawing->GetAt(index);
        if (CPathShape* path = object != nullptr ? object->AsPath() : nullptr)
            paths.push_back(path);
    }
    return paths;
}

template <class Predicate> bool AllOf(const std::vector<CPathShape*>& paths, Predicate predicate) {
    for (const CPathShape* path : paths)
        if (!predicate(*path))
            return false;
    return !paths.empty();
}

} // namespace

bool CPqxView::OnStyleCommand(int id) {
    if (const int width = LineWidthOf(id); width >= 0) {
        SetLineWidth(width);
        return true;
    }
    if (id == cmd::kNoLine) {
        ToggleNoLine();
        return true;
    }
    if (id == cmd::kNoFill) {
        ToggleNoFill();
        return true;
    }
    return false;
}

bool CPqxView::OnUpdateStyleCommand(int id, bool& enabled, bool& checked) const {
    const int width = LineWidthOf(id);
    if (width < 0 && id != cmd::kNoLine && id != cmd::kNoFill)
        return false;
    const std::vector<CPathShape*> paths = SelectedPaths(GetDrawing(), selection);
    // With nothing selected the command sets the style of new objects.
    enabled = selection.empty() || !paths.empty();
    if (selection.empty()) {
        if (id == cmd::kNoLine)
            checked = defaults.penStyle == kPenNull;
        else if (id == cmd::kNoFill)
            checked = defaults.noFill == 1;
        else
            checked = defaults.penStyle != kPenNull && defaults.penWidth == width;
        return true;
    }
    if (id == cmd::kNoLine)
        checked = AllOf(paths, [](const CPathShape& p) { return p.penStyle == kPenNull; });
    else if (id == cmd::kNoFill)
        checked = AllOf(paths, [](const CPathShape& p) { return p.brushStyle == kBrushHollow; });
    else
        checked = AllOf(
            paths, [width](const CPathShape& p) { return p.penStyle != kPenNull && p.penWidth == width; });
    return true;
}

void CPqxView::SetLineWidth(int width) {
    if (selection.empty()) {
        defaults.penStyle = kPenSolid;
        defaults.penWidth = width;
        return;
    }
    const std::vector<CPathShape*> paths = SelectedPaths(GetDrawing(), selection);
    if (paths.empty())
        return;
    undoRecorder.RecordModify();
    for (CPathShape* path : paths) {
        path->penStyle = kPenSolid;
        path->penWidth = width;
    }
    AfterSelectionEdit();
}

void CPqxView::ToggleNoLine() {
    if (selection.empty()) {
        defaults.penStyle = defaults.penStyle == kPenNull ? kPenSolid : kPenNull;
        return;
    }
    const std::vector<CPathShape*> paths = SelectedPaths(GetDrawing(), selection);
    if (paths.empty())
        return;
    undoRecorder.RecordModify();
    for (CPathShape* path : paths)
        path->penStyle = kPenNull;
    AfterSelectionEdit();
}

void CPqxView::ToggleNoFill() {
    if (selection.empty()) {
        defaults.noFill = defaults.noFill == 1 ? 0 : 1;
        return;
    }
    const std::vector<CPathShape*> paths = SelectedPaths(GetDrawing(), selection);
    if (paths.empty())
        return;
    const bool allHollow = AllOf(paths, [](const CPathShape& p) { return p.brushStyle == kBrushHollow; });
    undoRecorder.RecordModify();
    for (CPathShape* path : paths)
        path->brushStyle = allHollow ? kBrushSolid : kBrushHollow;
    AfterSelectionEdit();
}

} // namespace pq
