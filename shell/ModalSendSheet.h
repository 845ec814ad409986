#pragma once

#include "app/SendSheet.h"

#include <wx/propdlg.h>

class wxChoice;
class wxTextCtrl;

namespace pq {

// The send sheet's window ("E-mail" or "Ftp"): the Send page, and for Ftp the Ftp Server page. Every edit
// goes into the model at once; OK accepts through the model, or shows its message and stays open.
class CModalSendSheet : public wxPropertySheetDialog {
public:
    CModalSendSheet(wxWindow* parent, CSendSheet& sheet);

private:
    wxPanel* BuildSendPage(wxWindow* book);
    wxPanel* BuildFtpPage(wxWindow* book);
    void OnOk(wxCommandEvent& event);

    CSendSheet& sheet;
};

} // namespace pq
