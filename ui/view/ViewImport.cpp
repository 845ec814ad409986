#include "ui/view/PqxView.h"

#include "document/PqxDoc.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "render/ImageInsert.h"

#include <memory>

namespace pq {

// Paste of the clipboard's objects is in ViewClipboard.cpp.

CImageResult CPqxView::InsertImage(const std::string& path) {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return CImageResult::Failure("There is no drawing to insert the picture into.");
    std::unique_ptr<CGraphicObject> object;
    const CImageResult made = MakeImageObject(path, currentPage, mapping, object);
    if (!made)
        return made;
    undoRecorder.RecordAdd(1);
    drawing->Add(std::move(object));
    // The picture arrives selected and ready to move.
    SetTool(ToolKind::Select);
    selection = {drawing->Count() - 1};
    AfterSelectionEdit();
    return made;
}

} // namespace pq
