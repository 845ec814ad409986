#include "app/PropertySheetCommands.h"

#include "app/CommandIds.h"
#include "app/ModalPropSheet.h"
#include "app/PropertySheetState.h"
#include "model/Drawing.h"
#include "platform/FontFamilies.h"
#include "ui/view/PqxView.h"

namespace pq {

CPropertySheetCommands::CPropertySheetCommands(CPqxView& view, CPropertySheetState& state,
                                               IPropertySheetDialog* dialog, FontFamilies families)
    : view(view), state(state), dialog(dialog), families(std::move(families)) {
    if (!this->families)
        this->families = [] { return EnumerateFontFamilies(); };
}

bool CPropertySheetCommands::OnCommand(int id) {
    if (id == cmd::kProperties) {
        OpenPropertySheet(PropertySheetOpening::Properties);
        return true;
    }
    if (id == cmd::kColor) {
        OpenPropertySheet(PropertySheetOpening::Color);
        return true;
    }
    return false;
}

bool CPropertySheetCommands::OnUpdateCommand(int id, bool& enabled, bool& checked) {
    if (id == cmd::kProperties) {
        const CDrawing* drawing = view.GetDrawing();
        enabled = false;
        for (int index : view.GetSelection())
            enabled = enabled || (drawing != nullptr && drawing->GetAt(index) != nullptr);
        checked = false;
        return true;
    }
    if (id == cmd::kColor) {
        enabled = true;
        checked = view.GetColorPickMode() != 0;
        return true;
    }
    return false;
}

bool CPropertySheetCommands::OpenPropertySheet(PropertySheetOpening opening) {
    if (dialog == nullptr)
        return false;
    CModalPropSheet sheet(view, opening, state, families());
    if (sheet.GetPages().empty())
        return false;
    const bool accepted = dialog->RunPropertySheet(sheet);
    if (accepted)
        sheet.Accept();
    if (std::string message; !sheet.Close(message))
        dialog->ShowMessage("The custom palette could not be saved: " + message);
    return accepted;
}

} // namespace pq
