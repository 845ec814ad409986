#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "ui/tools/SelectTool.h"

#include <algorithm>

namespace pq {

namespace {

// The select tool keeps the selected set with the flags and bounds the handles need; the view's array
// is its published form. Commands that set the array directly rebuild the tool's set before using it.
CSelectTool* SelectToolOf(const CPqxView& view, const std::vector<int>& selection) {
    auto* tool = static_cast<CSelectTool*>(view.GetTool(ToolKind::Select));
    if (tool != nullptr && tool->GetSelectedSet().size() != selection.size())
        tool->RebuildFromSelection();
    return tool;
}

} // namespace

bool CPqxView::SelectObject(int index) {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr || drawing->GetAt(index) == nullptr)
        return false;
    if (CSelectTool* tool = SelectToolOf(*this, selection)) {
        tool->ToggleFrameOnWindow();
        tool->SelectIndex(index);
        tool->ToggleFrameOnWindow();
    } else if (!std::binary_search(selection.begin(), selection.end(), index)) {
        selection.insert(std::lower_bound(selection.begin(), selection.end(), index), index);
    }
    return true;
}

void CPqxView::ClearSelection() {
    if (CSelectTool* tool = SelectToolOf(*this, selection)) {
        tool->ToggleFrameOnWindow();
        tool->ClearSelection();
    }
    selection.clear();
}

void CPqxView::AfterReplay() {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr || selection.empty())
        return;
    // A replay that restored a selection shows the page it lies on, so the user sees what the undo or
    // redo changed; the selection never holds objects of a page that is not on screen.
    const CGraphicObject* first = drawing->GetAt(selection.front());
    if (first != nullptr && first->page != currentPage &&
        std::all_of(selection.begin(), selection.end(), [&](int index) {
            const CGraphicObject* object = drawing->GetAt(index);
            return object != nullptr && object->page == first->page;
        })) {
        currentPage = std::clamp(first->page, 0, drawing->PageCount() - 1);
        InvalidateAll();
        if (window != nullptr)
            window->RefreshPageIndicator(currentPage, drawing->PageCount());
    }
    std::erase_if(selection, [&](int index) {
        const CGraphicObject* object = drawing->GetAt(index);
        return object == nullptr || object->page != currentPage;
    });
    ResetSelectTool();
}

} // namespace pq
