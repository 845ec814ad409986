#include "ui/tools/TextTool.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "render/TextLayout.h"
#include "ui/view/PqxView.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace pq {

void SizeFrameToText(CTextShape& text) {
    text.angle = 0.0f;
    const CPointF block = MeasureTextBlock(text);
    // Lines are fitted to the frame's width in whole units: a frame a fraction narrower than its widest
    // line would wrap that line.
    text.corner = {text.position.x + std::ceil(std::fabs(block.x)), text.position.y + std::fabs(block.y)};
}

void CTextTool::OnLButtonUp(unsigned flags, CPoint point) {
    if (!dragging)
        return;
    CTool::OnLButtonUp(flags, point);
    placed = PlaceText(point);
    // Cancel: the stylus goes back to the tool the user had before choosing this one.
    if (placed < 0 && !tapping && view != nullptr && view->GetCurrentTool() == this)
        view->SetTool(view->GetPreviousTool());
}

int CTextTool::PlaceByTap(CPoint point) {
    tapping = true;
    placed = -1;
    OnLButtonDown(0, point);
    OnLButtonUp(0, point);
    tapping = false;
    return placed;
}

int CTextTool::PlaceText(CPoint point) {
    CDrawing* drawing = view != nullptr ? view->GetDrawing() : nullptr;
    // The sheet edits the style of new text; only OK places one.
    if (drawing == nullptr || !view->OpenPropertySheet(PropertySheetOpening::NewText))
        return -1;
    const CNewObjectStyle& style = view->GetNewObjectStyle();
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* text = object->AsText();
    object->color = style.textColor;
    object->page = view->GetCurrentPage();
    text->text = style.defaultText;
    text->position = view->GetMapping().DeviceToDoc(point);
    text->faceName = style.fontFace;
    text->angle = style.textAngle;
    text->style = style.textStyle;
    text->height = std::max(style.textHeight, CNewObjectStyle::kMinTextHeight);
    text->alignment = style.textAlign;
    text->mode = style.textType == kTextParagraph ? kTextParagraph : kTextArtistic;
    if (text->mode == kTextParagraph)
        SizeFrameToText(*text);
    else
        text->corner = text->position;
    object->RecalcBounds();

    view->GetUndoRecorder().RecordAdd(1);
    drawing->Add(std::move(object));
    view->RepaintEdited();
    view->SetModified();
    return drawing->Count() - 1;
}

} // namespace pq
