#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/WindowHost.h"
#include "ui/tools/NodeTool.h"
#include "ui/tools/ToolTable.h"
#include "ui/view/ViewCommands.h"

namespace pq {

namespace {

// The eyedropper works on paths: it is offered with nothing selected or with a path among the selection.
bool SelectionEmptyOrHasPath(const CDrawing* drawing, const std::vector<int>& selection) {
    if (selection.empty())
        return true;
    if (drawing == nullptr)
        return false;
    for (int index : selection) {
        const CGraphicObject* object = drawing->GetAt(index);
        if (object != nullptr && object->AsPath() != nullptr)
            return true;
    }
    return false;
}

} // namespace

bool CPqxView::OnCommand(int id) {
    // With the Shape tool, the Delete key deletes the selected nodes rather than objects.
    if (id == cmd::kDelete && IsToolCurrent(ToolKind::Node))
        id = cmd::kNodeDelete;
    if (CNodeTool::IsNodeCommand(id)) {
        // Only the Shape tool, while current, carries the node commands.
        auto* node =
            static_cast<CNodeTool*>(IsToolCurrent(ToolKind::Node) ? GetTool(ToolKind::Node) : nullptr);
        if (node != nullptr)
            node->RunCommand(id);
        return true;
    }
    switch (id) {
    case cmd::kZoomIn:
        ZoomIn();
        return true;
    case cmd::kZoomOut:
        ZoomOut();
        return true;
    case cmd::kZoomOneToOne:
        ZoomOneToOne();
        return true;
    case cmd::kFitPage:
        FitPage();
        return true;
    case cmd::kFitDrawing:
        FitDrawing();
        return true;
    case cmd::kFitSelection:
        FitSelection();
        return true;
    case cmd::kFitToWindow:
        FitDrawing();
        SetTool(ToolKind::Pan);
        return true;
    case cmd::kZoomArea:
        SetTool(ToolKind::Zoom);
        return true;
    case cmd::kToolZoomMenu:
        SetTool(ToolKind::Zoom);
        PopupZoomMenu();
        return true;
    case cmd::kScrollLeft:
        Scroll(ScrollBarAxis::Horizontal, ScrollCode::LineUp, 0);
        return true;
    case cmd::kScrollRight:
        Scroll(ScrollBarAxis::Horizontal, ScrollCode::LineDown, 0);
        return true;
    case cmd::kScrollUp:
        Scroll(ScrollBarAxis::Vertical, ScrollCode::LineUp, 0);
        return true;
    case cmd::kScrollDown:
        Scroll(ScrollBarAxis::Vertical, ScrollCode::LineDown, 0);
        return true;
    case cmd::kGrid:
        showGrid = !showGrid;
        InvalidateAll();
        return true;
    case cmd::kSmoothEdges:
        smoothEdges = !smoothEdges;
        InvalidateAll();
        return true;
    case cmd::kScrollBars:
        showScrollBars = !showScrollBars;
        ApplyScrollBarRanges();
        return true;
    case cmd::kPickFillColor:
        colorPickMode = 1;
        return true;
    case cmd::kPickLineColor:
        colorPickMode = 2;
        return true;
    case cmd::kUndo:
        undoRecorder.Undo();
        AfterReplay();
        return true;
    case cmd::kRedo:
        undoRecorder.Redo();
        AfterReplay();
        return true;
    default:
        break;
    }
    if (OnPageCommand(id))
        return true;
    // Edit commands on the selection.
    if (OnArrangeCommand(id) || OnStyleCommand(id) || OnClipboardCommand(id) || OnTextCommand(id))
        return true;
    if (const CToolRow* row = FindToolRowByCommand(id)) {
        SetTool(static_cast<int>(row->kind));
        return true;
    }
    return false;
}

bool CPqxView::OnUpdateCommand(int id, bool& enabled, bool& checked) const {
    enabled = true;
    checked = false;
    const CDrawing* drawing = GetDrawing();
    if (id == cmd::kDelete && IsToolCurrent(ToolKind::Node))
        id = cmd::kNodeDelete;
    if (CNodeTool::IsNodeCommand(id)) {
        const auto* node =
            static_cast<const CNodeTool*>(IsToolCurrent(ToolKind::Node) ? GetTool(ToolKind::Node) : nullptr);
        enabled = node != nullptr && node->CanRunCommand(id);
        return true;
    }
    switch (id) {
    case cmd::kGrid:
        checked = showGrid;
        return true;
    case cmd::kSmoothEdges:
        checked = smoothEdges;
        return true;
    case cmd::kScrollBars:
        checked = showScrollBars;
        return true;
    case cmd::kDeletePage:
        enabled = drawing != nullptr && drawing->PageCount() >= 2;
        return true;
    case cmd::kAddPage:
    case cmd::kInsertPageBefore:
    case cmd::kInsertPageAfter:
    case cmd::kPageMenu:
        enabled = drawing != nullptr;
        return true;
    case cmd::kFitPage:
        enabled = document != nullptr;
        return true;
    case cmd::kFitSelection:
        enabled = CanFitSelection();
        return true;
    // Page navigation that would stay where it is, and a zoom already at its limit, cannot act: greyed.
    case cmd::kFirstPage:
    case cmd::kPreviousPage:
        enabled = currentPage > 0;
        return true;
    case cmd::kNextPage:
    case cmd::kLastPage:
        enabled = drawing != nullptr && currentPage < drawing->PageCount() - 1;
        return true;
    case cmd::kZoomIn:
        enabled = mapping.GetScale() < mapping.GetMaxScale();
        return true;
    case cmd::kZoomOut:
        enabled = mapping.GetScale() > mapping.GetMinScale();
        return true;
    case cmd::kZoomOneToOne:
    case cmd::kFitDrawing:
    case cmd::kFitToWindow:
    case cmd::kScrollLeft:
    case cmd::kScrollRight:
    case cmd::kScrollUp:
    case cmd::kScrollDown:
        return true;
    case cmd::kZoomArea:
        checked = IsToolCurrent(ToolKind::Zoom);
        return true;
    case cmd::kPickFillColor:
        enabled = SelectionEmptyOrHasPath(drawing, selection);
        checked = colorPickMode == 1;
        return true;
    case cmd::kPickLineColor:
        enabled = SelectionEmptyOrHasPath(drawing, selection);
        checked = colorPickMode == 2;
        return true;
    case cmd::kUndo:
        enabled = undoRecorder.CanUndo() != 0;
        return true;
    case cmd::kRedo:
        enabled = undoRecorder.CanRedo() != 0;
        return true;
    default:
        break;
    }
    // Edit commands on the selection.
    if (OnUpdateArrangeCommand(id, enabled) || OnUpdateStyleCommand(id, enabled, checked) ||
        OnUpdateClipboardCommand(id, enabled) || OnUpdateTextCommand(id, enabled, checked))
        return true;
    if (const CToolRow* row = FindToolRowByCommand(id)) {
        // A tool still to be written stays greyed rather than quietly selecting the Pan tool.
        enabled = row->create != nullptr;
        checked = IsToolCurrent(row->kind);
        return true;
    }
    return false;
}

} // namespace pq
