#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"

#include <memory>

namespace pq {

int CPqxView::CreatePathObject(const CNodeArray& nodes, bool open) {
    CDrawing* drawing = GetDrawing();
    if (drawing == nullptr || nodes.GetSize() < 2)
        return -1;
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    path->AddSubpath(nodes);
    path->penStyle = defaults.penStyle;
    path->penWidth = defaults.penWidth;
    path->penColor = defaults.penColor;
    // An open stroke has no inside to fill, whatever the default.
    path->brushStyle = open || defaults.noFill != 0 ? kBrushHollow : kBrushSolid;
    object->color = defaults.brushColor;
    object->page = currentPage;
    object->RecalcBounds();

    undoRecorder.RecordAdd(1);
    drawing->Add(std::move(object));
    SetModified();
    return drawing->Count() - 1;
}

} // namespace pq
