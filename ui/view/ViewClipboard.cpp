#include "ui/view/PqxView.h"

#include "model/Clipboard.h"
#include "model/Drawing.h"
#include "ui/view/ViewCommands.h"

namespace pq {

namespace {

// How far Duplicate puts the copies from the originals, in pixels right and down: far enough to see
// at any zoom that there are two.
constexpr int kDuplicateOffsetPixels = 10;

} // namespace

bool CPqxView::OnClipboardCommand(int id) {
    switch (id) {
    case cmd::kCut:
        CutSelection();
        return true;
    case cmd::kCopy:
        CopySelection();
        return true;
    case cmd::kPaste:
        PasteClipboard();
        return true;
    case cmd::kSelectAll:
        SelectAll();
        return true;
    case cmd::kDuplicate:
        DuplicateSelection();
        return true;
    case cmd::kCancel:
        CancelGesture();
        return true;
    default:
        return false;
    }
}

bool CPqxView::OnUpdateClipboardCommand(int id, bool& enabled) const {
    switch (id) {
    case cmd::kCut:
    case cmd::kCopy:
    case cmd::kDuplicate:
        enabled = CanEditSelection();
        return true;
    case cmd::kPaste:
        enabled = clipboard != nullptr && clipboard->Count() > 0 && GetDrawing() != nullptr;
        return true;
    case cmd::kSelectAll:
        enabled = GetDrawing() != nullptr && GetDrawing()->ObjectCountOnPage(currentPage) > 0;
        return true;
    case cmd::kCancel:
        enabled = true;
        return true;
    default:
        return false;
    }
}

void CPqxView::CopySelection() {
    if (clipboard != nullptr && CanEditSelection())
        CopyToClipboard(*GetDrawing(), selection, *clipboard);
}

void CPqxView::CutSelection() {
    if (clipboard == nullptr || !CanEditSelection())
        return;
    if (CutToClipboard(*GetDrawing(), selection, undoRecorder, *clipboard))
        AfterSelectionEdit();
}

int CPqxView::PasteClipboard() {
    CDrawing* drawing = GetDrawing();
    if (clipboard == nullptr || drawing == nullptr || clipboard->Count() == 0)
        return 0;
    // The pasted objects arrive selected and ready to move.
    SetTool(ToolKind::Select);
    // Their top-left corner lands 10 pixels in from the view's corner.
    const int pasted = PasteFromClipboard(*drawing, selection, undoRecorder, *clipboard, currentPage,
                                          mapping.DeviceToDoc(CPoint{10, 10}));
    if (pasted > 0)
        AfterSelectionEdit();
    return pasted;
}

void CPqxView::SelectAll() {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return;
    SetTool(ToolKind::Select);
    selection.clear();
    for (int i = 0; i < drawing->Count(); ++i)
        if (drawing->GetAt(i)->page == currentPage)
            selection.push_back(i);
    ResetSelectTool();
    InvalidateView();
}

void CPqxView::DuplicateSelection() {
    if (!CanEditSelection())
        return;
    CDrawing& drawing = *GetDrawing();
    // A scratch clipboard keeps the application's clipboard as the user left it.
    CDrawing scratch;
    if (!CopyToClipboard(drawing, selection, scratch))
        return;
    CRectF bounds = CRectF::Empty();
    for (const auto& object : scratch.Objects())
        bounds.Include(object->bounds);
    const CPointF origin = mapping.DeviceToDoc(CPoint{0, 0});
    const CPointF step = mapping.DeviceToDoc(CPoint{kDuplicateOffsetPixels, kDuplicateOffsetPixels});
    const CPointF topLeft{bounds.left + (step.x - origin.x), bounds.top + (step.y - origin.y)};
    if (PasteFromClipboard(drawing, selection, undoRecorder, scratch, currentPage, topLeft) > 0)
        AfterSelectionEdit();
}

void CPqxView::CancelGesture() {
    colorPickMode = 0;
    if (currentTool == nullptr)
        return;
    if (currentTool->GetKind() == ToolKind::Zoom && previousTool != ToolKind::Zoom) {
        SetTool(previousTool);
        return;
    }
    // Leaving and re-entering the tool ends its drag, releases the stylus and drops its feedback.
    currentTool->Deactivate();
    currentTool->Activate();
    if (currentTool->GetKind() == ToolKind::Select)
        ResetSelectTool();
    InvalidateView();
}

} // namespace pq
