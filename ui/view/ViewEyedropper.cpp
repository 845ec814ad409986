#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "platform/WindowHost.h"
#include "ui/view/ColorApplication.h"

namespace pq {

void CPqxView::PickColor(CPoint point) {
    uint32_t color = kInvalidColor;
    if (window != nullptr) {
        const CClientDC dc(*window);
        color = dc.GetPixel(point.x, point.y);
    }
    // A point off the window has no colour: the mode ends without changing anything.
    if (color == kInvalidColor) {
        colorPickMode = 0;
        return;
    }
    ApplyPickedColor(color);
}

void CPqxView::ApplyPickedColor(uint32_t color) {
    const int mode = colorPickMode;
    colorPickMode = 0;
    CDrawing* drawing = GetDrawing();
    const bool withSelection = drawing != nullptr && !selection.empty();
    if (mode == 1) {
        if (!withSelection) {
            defaults.noFill = 0;
            defaults.brushColor = color;
            return;
        }
        undoRecorder.RecordModify();
        ApplyFillColor(*drawing, selection, color);
    } else if (mode == 2) {
        if (!withSelection) {
            defaults.penStyle = kPenSolid;
            defaults.penColor = color;
            return;
        }
        undoRecorder.RecordModify();
        ApplyLineColor(*drawing, selection, color);
    } else {
        return;
    }
    AfterSelectionEdit();
}

} // namespace pq
