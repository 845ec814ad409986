#include "app/ModalPropSheet.h"

#include "app/PropertySheetState.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "ui/view/PqxView.h"

#include <algorithm>

namespace pq {

std::vector<PropertyPage> PropertySheetPages(PropertySheetOpening opening, const CSelectionKinds& kinds) {
    using enum PropertyPage;
    if (opening == PropertySheetOpening::NewText)
        return {Text, Font, Color};
    if (kinds.Empty())
        return opening == PropertySheetOpening::Color ? std::vector<PropertyPage>{Color}
                                                      : std::vector<PropertyPage>{};
    std::vector<PropertyPage> shown;
    if (kinds.paths)
        shown.push_back(Color);
    if (kinds.texts) {
        shown.push_back(Text);
        shown.push_back(Font);
        if (!kinds.paths)
            shown.push_back(Color);
    }
    shown.push_back(Size);
    return shown;
}

std::string_view PropertyPageTitle(PropertyPage page) {
    switch (page) {
    case PropertyPage::Color:
        return "Color";
    case PropertyPage::Text:
        return "Text";
    case PropertyPage::Font:
        return "Font";
    case PropertyPage::Size:
        return "Size";
    }
    return {};
}

CModalPropSheet::CModalPropSheet(CPqxView& view, PropertySheetOpening opening, CPropertySheetState& state,
                                 std::vector<std::u16string> families)
    : view(view), state(state) {
    const CDrawing* drawing = view.GetDrawing();
    // Only objects that exist count; a new text edits the style of new text whatever is selected.
    if (opening != PropertySheetOpening::NewText)
        for (int index : view.GetSelection())
            if (drawing != nullptr && drawing->GetAt(index) != nullptr)
                selection.push_back(index);
    const CSelectionKinds kinds = KindsOf(drawing, selection);
    pages = PropertySheetPages(opening, kinds);
    const CNewObjectStyle& defaults = view.GetNewObjectStyle();
    for (PropertyPage page : pages) {
        switch (page) {
        case PropertyPage::Color: {
            const bool textColor =
                opening == PropertySheetOpening::NewText || view.IsToolCurrent(ToolKind::Text);
            colorPage.emplace(state);
            colorPage->Init(drawing, selection, defaults, textColor);
            break;
        }
        case PropertyPage::Text:
            textPage.emplace();
            textPage->Init(drawing, selection, defaults);
            break;
        case PropertyPage::Font:
            fontPage.emplace();
            fontPage->Init(drawing, selection, defaults, std::move(families));
            break;
        case PropertyPage::Size: {
            CRectF bounds = CRectF::Empty();
            for (const CGraphicObject* object : SelectedObjects(drawing, selection))
                bounds.Include(object->bounds);
            sizePage.emplace();
            sizePage->Init(bounds, view.GetMeasurementUnit(), !kinds.texts && !kinds.images);
            break;
        }
        }
    }
    if (textPage && fontPage)
        fontPage->SetTextKind(textPage->GetKind());
}

bool CModalPropSheet::HasPage(PropertyPage page) const {
    return std::find(pages.begin(), pages.end(), page) != pages.end();
}

void CModalPropSheet::ChooseTextKind(int kind) {
    if (textPage)
        textPage->SetKind(kind);
    if (fontPage && textPage)
        fontPage->SetTextKind(textPage->GetKind());
}

bool CModalPropSheet::Accept() {
    if (colorPage)
        colorPage->StoreModel();
    if (EditsDefaults()) {
        CNewObjectStyle& defaults = view.GetNewObjectStyle();
        for (PropertyPage page : pages) {
            if (page == PropertyPage::Color)
                colorPage->ApplyToDefaults(defaults);
            else if (page == PropertyPage::Text)
                textPage->ApplyToDefaults(defaults);
            else if (page == PropertyPage::Font)
                fontPage->ApplyToDefaults(defaults);
        }
        return true;
    }
    CDrawing* drawing = view.GetDrawing();
    if (drawing == nullptr)
        return false;
    CUndoRecorder& recorder = view.GetUndoRecorder();
    bool changed = false;
    for (PropertyPage page : pages) {
        switch (page) {
        case PropertyPage::Color:
            changed = colorPage->ApplyToSelection(*drawing, recorder, selection) || changed;
            break;
        case PropertyPage::Text:
            changed = textPage->ApplyToSelection(*drawing, recorder, selection) || changed;
            break;
        case PropertyPage::Font:
            changed = fontPage->ApplyToSelection(*drawing, recorder, selection) || changed;
            break;
        case PropertyPage::Size:
            changed = sizePage->ApplyToSelection(*drawing, recorder, selection) || changed;
            break;
        }
    }
    if (changed) {
        view.ResetSelectTool();
        view.SetModified();
        // Each page's step named the objects it changed: only where they were and are is drawn again.
        view.RepaintEdited();
    }
    return changed;
}

bool CModalPropSheet::Close(std::string& message) {
    return state.SaveCustomPalette(message);
}

} // namespace pq
