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

} // namespace pq
