#include "ui/view/ColorApplication.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"

namespace pq {

int ApplyFillColor(CDrawing& drawing, std::span<const int> selection, uint32_t color) {
    int changed = 0;
    for (int index : selection) {
        CGraphicObject* object = drawing.GetAt(index);
        if (object == nullptr)
            continue;
        if (CPathShape* path = object->AsPath()) {
            path->brushStyle = kBrushSolid;
        } else if (object->AsText() == nullptr) {
            continue;
        }
        object->color = color;
        ++changed;
    }
    return changed;
}

int ApplyLineColor(CDrawing& drawing, std::span<const int> selection, uint32_t color) {
    int changed = 0;
    for (int index : selection) {
        CGraphicObject* object = drawing.GetAt(index);
        CPathShape* path = object != nullptr ? object->AsPath() : nullptr;
        if (path == nullptr)
            continue;
        path->penStyle = kPenSolid;
        path->penColor = color;
        ++changed;
    }
    return changed;
}

} // namespace pq
