#include "ui/view/PqxView.h"

#include "document/PqxDoc.h"
#include "model/Drawing.h"
#include "render/ImageInsert.h"

namespace pq {

// Paste of the clipboard's objects is in ViewClipboard.cpp.

CImageResult CPqxView::InsertImage(const std::string& path) {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return CImageResult::Failure("There is no drawing to insert the picture into.");
    int index = -1;
    const CImageResult inserted = InsertImageFile(*drawing, path, currentPage, mapping, &index);
    if (!inserted)
        return inserted;
    undoRecorder.RecordAdd(1);
    // The picture arrives selected and ready to move.
    SetTool(ToolKind::Select);
    selection = {index};
    AfterSelectionEdit();
    return inserted;
}

} // namespace pq
