#pragma once

#include "app/ColorPage.h"
#include "app/FontPage.h"
#include "app/SelectionEdit.h"
#include "app/SizePage.h"
#include "app/TextPage.h"
#include "ui/view/PropertySheetOpener.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CPqxView;
class CPropertySheetState;

enum class PropertyPage { Color, Text, Font, Size };

// The pages the sheet shows, in order, for the command that opened it and the kinds of the selected
// objects: paths give colour and size; texts text, font, colour and size; pictures size. Colour comes
// first when a path is selected. The Color command with nothing selected shows the colour page alone,
// for the new-object style; a new text shows text, font and colour. Empty when there is nothing to show.
[[nodiscard]] std::vector<PropertyPage> PropertySheetPages(PropertySheetOpening opening,
                                                           const CSelectionKinds& kinds);
// "Color", "Text", "Font", "Size".
[[nodiscard]] std::string_view PropertyPageTitle(PropertyPage page);

// The object property sheet: its pages, initialised from the view's selection (or from the new-object
// style when nothing is selected), and what OK does. The shell shows the pages and writes what the user
// entered into them; Accept applies every page in sheet order, each as one undo step when it changes
// something; Close ends the showing either way.
class CModalPropSheet {
public:
    static constexpr std::string_view kTitle = "Properties";

    // families: the installed font families for the font page.
    CModalPropSheet(CPqxView& view, PropertySheetOpening opening, CPropertySheetState& state,
                    std::vector<std::u16string> families);

    [[nodiscard]] const std::vector<PropertyPage>& GetPages() const { return pages; }
    [[nodiscard]] bool HasPage(PropertyPage page) const;
    // True when the sheet edits the style of new objects rather than selected ones.
    [[nodiscard]] bool EditsDefaults() const { return selection.empty(); }

    // The pages that show; null for the others.
    [[nodiscard]] CColorPage* GetColorPage() { return colorPage ? &*colorPage : nullptr; }
    [[nodiscard]] CTextPage* GetTextPage() { return textPage ? &*textPage : nullptr; }
    [[nodiscard]] CFontPage* GetFontPage() { return fontPage ? &*fontPage : nullptr; }
    [[nodiscard]] CSizePage* GetSizePage() { return sizePage ? &*sizePage : nullptr; }

    // The text page's kind changed: the font page's angle follows at once.
    void ChooseTextKind(int kind);

    // Applies the pages in sheet order to the selection (one modify step per colour, text or font page
    // and one transform step for the size page, each only when it changes something) or to the
    // new-object style. Returns whether anything changed.
    bool Accept();
    // Ends a showing, accepted or not: the custom palette goes back to its file when "Set" changed it.
    // False with a message when the file could not be written.
    bool Close(std::string& message);

private:
    CPqxView& view;
    CPropertySheetState& state;
    std::vector<int> selection;
    std::vector<PropertyPage> pages;
    std::optional<CColorPage> colorPage;
    std::optional<CTextPage> textPage;
    std::optional<CFontPage> fontPage;
    std::optional<CSizePage> sizePage;
};

} // namespace pq
