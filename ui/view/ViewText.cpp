#include "ui/view/PqxView.h"

#include "geometry/Transform.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "ui/tools/TextTool.h"
#include "ui/view/ViewCommands.h"

#include <vector>

namespace pq {

namespace {

// The text client point the Text command taps, and the client point the new text's top-left corner is
// moved to.
constexpr CPoint kTextCommandTap{100, 100};
constexpr CPoint kTextCommandCorner{10, 10};

struct CSelectedText {
    int index;
    CGraphicObject* object;
    CTextShape* text;
};

// The selected texts in selection order; the commands leave every other kind of object alone.
std::vector<CSelectedText> SelectedTexts(const CDrawing* drawing, const std::vector<int>& selection) {
    std::vector<CSelectedText> texts;
    if (drawing == nullptr)
        return texts;
    for (int index : selection) {
        CGraphicObject* object = drawing->GetAt(index);
        if (CTextShape* text = object != nullptr ? object->AsText() : nullptr)
            texts.push_back({index, object, text});
    }
    return texts;
}

// A check mark for selected texts: none when no text is selected or when they differ in the property,
// else whether the first one's value is the command's.
template <class Value, class Wanted>
bool AllSelectedShow(const std::vector<CSelectedText>& texts, Value value, Wanted wanted) {
    if (texts.empty())
        return false;
    for (const CSelectedText& t : texts)
        if (value(*t.text) != value(*texts.front().text))
            return false;
    return value(*texts.front().text) == wanted;
}

int StyleBitOf(int id) {
    switch (id) {
    case cmd::kTextBold:
        return kTextStyleBold;
    case cmd::kTextItalic:
        return kTextStyleItalic;
    case cmd::kTextUnderline:
        return kTextStyleUnderline;
    default:
        return 0;
    }
}

int AlignmentOf(int id) {
    switch (id) {
    case cmd::kTextAlignLeft:
        return kAlignLeft;
    case cmd::kTextAlignCenter:
        return kAlignCentre;
    case cmd::kTextAlignRight:
        return kAlignRight;
    default:
        return 0;
    }
}

int TextTypeOf(int id) {
    switch (id) {
    case cmd::kTextArtistic:
        return kTextArtistic;
    case cmd::kTextParagraph:
        return kTextParagraph;
    default:
        return 0;
    }
}

// Whether making a text of that type changes it: the kind, or a paragraph's angle.
bool TypeChanges(const CTextShape& text, int type) {
    return text.mode != type || (type == kTextParagraph && text.angle != 0.0f);
}

} // namespace

bool CPqxView::OnTextCommand(int id) {
    if (id == cmd::kToolText) {
        PlaceTextByCommand();
        return true;
    }
    if (id == cmd::kChooseTextTool) {
        SetTool(ToolKind::Text);
        return true;
    }
    if (id == cmd::kTextType) {
        PopupTextTypeMenu();
        return true;
    }
    if (const int bit = StyleBitOf(id); bit != 0) {
        ToggleTextStyle(bit);
        return true;
    }
    if (const int alignment = AlignmentOf(id); alignment != 0) {
        SetTextAlignment(alignment);
        return true;
    }
    if (const int type = TextTypeOf(id); type != 0) {
        SetTextType(type);
        return true;
    }
    return false;
}

bool CPqxView::OnUpdateTextCommand(int id, bool& enabled, bool& checked) const {
    const CDrawing* drawing = GetDrawing();
    if (id == cmd::kToolText || id == cmd::kChooseTextTool) {
        // Placing a text needs the property sheet, which asks for it.
        enabled = drawing != nullptr && propertySheetOpener != nullptr;
        checked = IsToolCurrent(ToolKind::Text);
        return true;
    }
    const int bit = StyleBitOf(id);
    const int alignment = AlignmentOf(id);
    const int type = TextTypeOf(id);
    if (bit == 0 && alignment == 0 && type == 0 && id != cmd::kTextType)
        return false;
    // With nothing selected the commands set the style of new text; a selection needs a text to act on.
    const std::vector<CSelectedText> texts = SelectedTexts(drawing, selection);
    enabled = drawing != nullptr && (selection.empty() || !texts.empty());
    checked = false;
    if (id == cmd::kTextType)
        return true;
    if (selection.empty()) {
        checked = bit != 0         ? (defaults.textStyle & bit) != 0
                  : alignment != 0 ? defaults.textAlign == alignment
                                   : defaults.textType == type;
        return true;
    }
    if (bit != 0)
        checked = AllSelectedShow(
            texts, [bit](const CTextShape& t) { return (t.style & bit) != 0; }, true);
    else if (alignment != 0)
        checked = AllSelectedShow(
            texts, [](const CTextShape& t) { return t.alignment; }, alignment);
    else
        checked = AllSelectedShow(
            texts, [](const CTextShape& t) { return t.mode; }, type);
    return true;
}

void CPqxView::PlaceTextByCommand() {
    CDrawing* drawing = GetDrawing();
    auto* tool = dynamic_cast<CTextTool*>(GetTool(ToolKind::Text));
    if (drawing == nullptr || tool == nullptr)
        return;
    const ToolKind remembered = currentTool != nullptr ? currentTool->GetKind() : ToolKind::Pan;
    SetTool(ToolKind::Text);
    const int before = drawing->Count();
    const int placed = tool->PlaceByTap(kTextCommandTap);
    if (placed < 0 || drawing->Count() <= before) {
        SetTool(remembered);
        return;
    }
    // The new text shows selected, its top-left corner 10 pixels in from the view's corner at any zoom.
    // The move belongs to the placing step: undoing it removes the text, redoing brings it back here.
    SetTool(ToolKind::Select);
    selection = {placed};
    CGraphicObject* object = drawing->GetAt(placed);
    const CPointF target = mapping.DeviceToDoc(kTextCommandCorner);
    CTransform move;
    move.Translate(object->bounds.left - target.x, object->bounds.top - target.y,
                   0.0f); // moves by -arguments
    object->Transform(move);
    AfterSelectionEdit();
}

void CPqxView::ToggleTextStyle(int bit) {
    if (selection.empty()) {
        defaults.textStyle ^= bit;
        return;
    }
    const std::vector<CSelectedText> texts = SelectedTexts(GetDrawing(), selection);
    if (texts.empty())
        return;
    // Texts that agree all flip; texts that differ all get the style.
    const bool reference = (texts.front().text->style & bit) != 0;
    bool agree = true;
    for (const CSelectedText& t : texts)
        agree = agree && ((t.text->style & bit) != 0) == reference;
    const bool on = agree ? !reference : true;
    // The whole selection goes into the step, so that undo and redo give it back as it was.
    undoRecorder.RecordModify();
    for (const CSelectedText& t : texts) {
        t.text->style = on ? (t.text->style | bit) : (t.text->style & ~bit);
        t.object->RecalcBounds();
    }
    AfterSelectionEdit();
}

void CPqxView::SetTextAlignment(int alignment) {
    if (selection.empty()) {
        defaults.textAlign = alignment;
        return;
    }
    const std::vector<CSelectedText> texts = SelectedTexts(GetDrawing(), selection);
    bool changes = false;
    for (const CSelectedText& t : texts)
        changes = changes || t.text->alignment != alignment;
    // A step that changes nothing would be an undo that does nothing.
    if (!changes)
        return;
    undoRecorder.RecordModify();
    for (const CSelectedText& t : texts) {
        t.text->alignment = alignment;
        t.object->RecalcBounds();
    }
    AfterSelectionEdit();
}

void CPqxView::SetTextType(int type) {
    if (selection.empty()) {
        defaults.textType = type;
        return;
    }
    const std::vector<CSelectedText> texts = SelectedTexts(GetDrawing(), selection);
    bool changes = false;
    for (const CSelectedText& t : texts)
        changes = changes || TypeChanges(*t.text, type);
    if (!changes)
        return;
    undoRecorder.RecordModify();
    for (const CSelectedText& t : texts) {
        if (type == kTextParagraph) {
            // An artistic text becomes a paragraph in a frame just around its lines, upright.
            t.text->angle = 0.0f;
            if (t.text->mode != kTextParagraph)
                SizeFrameToText(*t.text);
        }
        t.text->mode = type;
        t.object->RecalcBounds();
    }
    AfterSelectionEdit();
}

void CPqxView::PopupTextTypeMenu() {
    TrackButtonMenu(cmd::kTextType, {{cmd::kTextArtistic, "Artistic"}, {cmd::kTextParagraph, "Paragraph"}});
}

} // namespace pq
