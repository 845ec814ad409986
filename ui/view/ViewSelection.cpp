#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "ui/tools/SelectTool.h"

#include <algorithm>
#include <utility>

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
    const std::optional<CReplayTouched> touched = std::exchange(replayTouched, std::nullopt);
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return;
    if (selection.empty()) {
        // Nothing selected to follow (a shape tool is current, or the objects went): an undo or redo
        // that changed objects of one other page shows that page, so the key visibly does something.
        if (!touched)
            return;
        std::vector<int> pages = touched->pagesBefore;
        for (int index : touched->after)
            if (const CGraphicObject* object = drawing->GetAt(index))
                pages.push_back(object->page);
        if (!pages.empty() && pages.front() != currentPage &&
            std::all_of(pages.begin(), pages.end(), [&](int page) { return page == pages.front(); }))
            SetCurrentPage(pages.front());
        return;
    }
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
