#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"

#include <algorithm>

namespace pq {

namespace {

// Room left round the selection so that its handles (13 pixels) stay on screen.
constexpr int kSelectionMargin = 16;

} // namespace

CRectF CPqxView::SelectionBounds() const {
    const CDrawing* drawing = GetDrawing();
    CRectF box = CRectF::Empty();
    bool any = false;
    if (drawing != nullptr) {
        for (int index : selection) {
            const CGraphicObject* object = drawing->GetAt(index);
            if (object == nullptr)
                continue;
            // A horizontal or vertical line has bounds of no height or width; it still counts.
            const CRectF& b = object->bounds;
            if (!(b.right >= b.left && b.bottom >= b.top))
                continue;
            box.Include(b);
            any = true;
        }
    }
    return any ? box : CRectF{};
}

bool CPqxView::CanFitSelection() const {
    return !selection.empty() && GetDrawing() != nullptr;
}

void CPqxView::FitSelection() {
    if (!CanFitSelection())
        return;
    const CRectF box = SelectionBounds();
    const CRect client = GetClientRect();
    const int margin = std::min(kSelectionMargin, std::max(0, std::min(client.Width(), client.Height()) / 4));
    const CRect area{client.left + margin, client.top + margin, client.right - margin,
                     client.bottom - margin};
    if (box.Width() > 1.0f || box.Height() > 1.0f) {
        // A line along an axis fits by its length alone: the other extent asks for no scale.
        mapping.FitRect(box, area);
    } else {
        // A selection of a point or two: centre it and keep the scale.
        const CPointF centre = box.Center();
        mapping.SetOrigins(centre.x, centre.y, area.left + area.Width() / 2, area.top + area.Height() / 2);
    }
    // The selection stays selected: only the mapping changed.
    UpdateScrollBars();
    InvalidateAll();
}

} // namespace pq
