#include "model/Clipboard.h"

#include "model/Drawing.h"
#include "model/UndoRecorder.h"

#include "geometry/Transform.h"

#include <algorithm>

namespace pq {

bool CopyToClipboard(const CDrawing& drawing, std::span<const int> selection, CDrawing& clipboard) {
    const bool any = std::any_of(selection.begin(), selection.end(),
                                 [&](int index) { return drawing.GetAt(index) != nullptr; });
    if (!any || &drawing == &clipboard)
        return false;
    clipboard.ReplaceWithCopies(drawing, selection);
    return true;
}

bool CutToClipboard(CDrawing& drawing, std::vector<int>& selection, CUndoRecorder& recorder,
                    CDrawing& clipboard) {
    if (recorder.GetDrawing() != &drawing || !CopyToClipboard(drawing, selection, clipboard))
        return false;
    recorder.RecordDelete(selection, UndoDirection::TowardsUndo);
    drawing.DeleteIndices(selection);
    selection.clear();
    return true;
}

int PasteFromClipboard(CDrawing& drawing, std::vector<int>& selection, CUndoRecorder& recorder,
                       CDrawing& clipboard, int currentPage, CPointF topLeft) {
    const int count = clipboard.Count();
    if (count == 0 || recorder.GetDrawing() != &drawing || &drawing == &clipboard)
        return 0;
    const int first = drawing.Count();
    recorder.RecordPaste(first, count, UndoDirection::TowardsUndo);
    drawing.RenumberAll();
    const int page = std::clamp(currentPage, 0, drawing.PageCount() - 1);
    for (const auto& object : clipboard.Objects())
        object->page = page;
    drawing.InsertCopies(first, clipboard);

    selection.clear();
    CRectF bounds = CRectF::Empty();
    for (int i = first; i < first + count; ++i) {
        selection.push_back(i);
        bounds.Include(drawing.GetAt(i)->bounds);
    }
    if (!bounds.IsEmpty()) {
        // Translate moves points by the negated arguments.
        CTransform move;
        move.Translate(bounds.left - topLeft.x, bounds.top - topLeft.y, 0.0f);
        for (int i = first; i < first + count; ++i)
            drawing.GetAt(i)->Transform(move);
    }
    return count;
}

} // namespace pq
