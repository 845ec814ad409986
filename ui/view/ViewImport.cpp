#include "ui/view/PqxView.h"

#include "document/PqxDoc.h"
#include "model/Clipboard.h"
#include "model/Drawing.h"
#include "render/ImageInsert.h"

namespace pq {

int CPqxView::PasteClipboard() {
    CDrawing* drawing = GetDrawing();
    if (clipboard == nullptr || drawing == nullptr)
        return 0;
    // The pasted objects' top-left corner lands 10 pixels in from the view's corner.
    const int pasted = PasteFromClipboard(*drawing, selection, undoRecorder, *clipboard, currentPage,
                                          mapping.DeviceToDoc(CPoint{10, 10}));
    if (pasted > 0) {
        SetModified();
        InvalidateAll();
    }
    return pasted;
}

CImageResult CPqxView::InsertImage(const std::string& path) {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return CImageResult::Failure("There is no drawing to insert the picture into.");
    int index = -1;
    const CImageResult inserted = InsertImageFile(*drawing, path, currentPage, mapping, &index);
    if (!inserted)
        return inserted;
    undoRecorder.RecordAdd(1);
    selection = {index};
    SetTool(static_cast<int>(ToolKind::Select));
    SetModified();
    InvalidateAll();
    return inserted;
}

} // namespace pq
