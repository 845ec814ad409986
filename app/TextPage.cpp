#include "app/TextPage.h"

#include "app/SelectionEdit.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/Utf16.h"
#include "ui/view/NewObjectStyle.h"

#include <optional>
#include <vector>

namespace pq {

std::string CTextPage::EditTextOf(std::u16string_view stored) {
    std::u16string lines;
    lines.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == u'\r' && i + 1 < stored.size() && stored[i + 1] == u'\n')
            continue;
        lines.push_back(stored[i]);
    }
    return Utf16ToUtf8(lines);
}

std::u16string CTextPage::StoredTextOf(std::string_view edited) {
    const std::u16string units = Utf8ToUtf16(edited);
    std::u16string stored;
    stored.reserve(units.size() + units.size() / 8);
    for (std::size_t i = 0; i < units.size(); ++i) {
        // Any line end typed or pasted (LF, CR LF, a lone CR) becomes the stored separator.
        if (units[i] == u'\r') {
            if (i + 1 < units.size() && units[i + 1] == u'\n')
                ++i;
            stored += u"\r\n";
        } else if (units[i] == u'\n') {
            stored += u"\r\n";
        } else {
            stored.push_back(units[i]);
        }
    }
    return stored;
}

void CTextPage::Init(const CDrawing* drawing, std::span<const int> selection,
                     const CNewObjectStyle& defaults) {
    horizontalScroll = false;
    std::vector<const CTextShape*> texts;
    for (const CGraphicObject* object : SelectedObjects(drawing, selection))
        if (const CTextShape* shape = object->AsText())
            texts.push_back(shape);
    if (texts.empty()) {
        text = EditTextOf(defaults.defaultText);
        kind = defaults.textType == kParagraph ? kParagraph : kArtistic;
        return;
    }
    // Showing the first of several different strings would give it to all of them on OK.
    std::optional<std::u16string> common;
    std::optional<int> commonKind;
    bool sameText = true;
    bool sameKind = true;
    for (const CTextShape* shape : texts) {
        sameText = sameText && (!common || *common == shape->text);
        sameKind = sameKind && (!commonKind || *commonKind == shape->mode);
        common = shape->text;
        commonKind = shape->mode;
    }
    text = sameText ? EditTextOf(*common) : std::string();
    kind = sameKind && (*commonKind == kArtistic || *commonKind == kParagraph) ? *commonKind : 0;
}

void CTextPage::SetKind(int k) {
    if (k == kArtistic || k == kParagraph)
        kind = k;
}

bool CTextPage::ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder,
                                 std::span<const int> selection) const {
    const std::u16string stored = StoredTextOf(text);
    return ApplyModifyStep(drawing, recorder, selection, [&](CGraphicObject& object) {
        CTextShape* shape = object.AsText();
        if (shape == nullptr)
            return;
        if (kind == kParagraph && shape->mode == kArtistic) {
            const CRectF box = object.bounds;
            shape->position = box.TopLeft();
            shape->corner = box.BottomRight();
            shape->angle = 0.0f;
        }
        if (kind != 0)
            shape->mode = kind;
        if (!stored.empty())
            shape->text = stored;
        object.RecalcBounds();
    });
}

void CTextPage::ApplyToDefaults(CNewObjectStyle& defaults) const {
    if (kind != 0)
        defaults.textType = kind;
    if (kind == kParagraph)
        defaults.textAngle = 0.0f;
    if (const std::u16string stored = StoredTextOf(text); !stored.empty())
        defaults.defaultText = stored;
}

} // namespace pq
