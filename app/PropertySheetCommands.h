#pragma once

#include "app/CommandRouter.h"
#include "ui/view/PropertySheetOpener.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CModalPropSheet;
class CPqxView;
class CPropertySheetState;

// What the property sheet needs from the windowing shell: showing the sheet's pages modally, and a
// message box.
class IPropertySheetDialog {
public:
    virtual ~IPropertySheetDialog() = default;

    // Shows the sheet's pages and writes what the user enters into them; true for OK, false for Cancel.
    // It applies nothing itself.
    virtual bool RunPropertySheet(CModalPropSheet& sheet) = 0;
    virtual void ShowMessage(std::string_view text) = 0;
};

// The view's commands that open the object property sheet: Properties... (enabled while something is
// selected) and Color (always enabled; checked while an eyedropper mode is on). It is also the view's
// property sheet opener, so the text tool can open the sheet for a new text.
class CPropertySheetCommands : public ICommandTarget, public IPropertySheetOpener {
public:
    using FontFamilies = std::function<std::vector<std::u16string>()>;

    // families lists the installed font families (the platform's enumeration when not given).
    CPropertySheetCommands(CPqxView& view, CPropertySheetState& state, IPropertySheetDialog* dialog,
                           FontFamilies families = {});

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override;

    // Builds the sheet for the opening, shows it, applies it on OK, and writes the custom palette back
    // either way. False when cancelled or when there was nothing to show.
    bool OpenPropertySheet(PropertySheetOpening opening) override;

private:
    CPqxView& view;
    CPropertySheetState& state;
    IPropertySheetDialog* dialog;
    FontFamilies families;
};

} // namespace pq
