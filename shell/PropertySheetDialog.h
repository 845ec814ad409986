#pragma once

#include "app/ModalPropSheet.h"

#include <wx/propdlg.h>

namespace pq {

class CFontPagePanel;
class CTextPagePanel;

// The object property sheet on screen: a notebook with the sheet's pages in order, OK and Cancel. It
// only shows the pages; what OK applies is the sheet model's business (CModalPropSheet::Accept).
class CPropertySheetDialog : public wxPropertySheetDialog {
public:
    CPropertySheetDialog(wxWindow* parent, CModalPropSheet& sheet);

private:
    // Ctrl+Enter confirms as OK does, also from the multi-line text, where Enter starts a new line.
    void OnCharHook(wxKeyEvent& event);

    // The text page's kind switch enables or disables the font page's angle.
    CFontPagePanel* fontPanel = nullptr;
    CTextPagePanel* textPanel = nullptr;
};

} // namespace pq
