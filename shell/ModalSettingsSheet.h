#pragma once

#include "app/SettingsSheet.h"

#include <wx/propdlg.h>

class wxChoice;
class wxCheckBox;
class wxRadioButton;
class wxSpinButton;
class wxStaticText;
class wxTextCtrl;

namespace pq {

// The settings sheet's window: the General and Page pages over the sheet's model. It lays out the
// controls, passes every change to the model and shows what the model then holds; OK applies through
// the model, or shows the model's reason and stays open.
class CModalSettingsSheet : public wxPropertySheetDialog {
public:
    CModalSettingsSheet(wxWindow* parent, CSettingsSheet& sheet);

private:
    wxPanel* BuildGeneralPage(wxWindow* book);
    wxPanel* BuildPagePage(wxWindow* book);
    // Copies the model into the controls; texts only when asked, so typing keeps its caret.
    void ShowGeneral(bool texts);
    void ShowPage(bool texts);
    void OnOk(wxCommandEvent& event);

    CSettingsSheet& sheet;
    // General page.
    wxTextCtrl* gridText = nullptr;
    wxSpinButton* gridSpin = nullptr;
    wxTextCtrl* snapText = nullptr;
    wxSpinButton* snapSpin = nullptr;
    wxStaticText* gridUnit = nullptr;
    wxStaticText* snapUnit = nullptr;
    wxChoice* units = nullptr;
    wxChoice* maxPixels = nullptr;
    wxCheckBox* antiAlias = nullptr;
    wxCheckBox* smoothEdges = nullptr;
    // Page page.
    wxChoice* paper = nullptr;
    wxRadioButton* portrait = nullptr;
    wxRadioButton* landscape = nullptr;
    wxStaticText* widthLabel = nullptr;
    wxStaticText* heightLabel = nullptr;
    wxTextCtrl* widthText = nullptr;
    wxTextCtrl* heightText = nullptr;
    wxCheckBox* showPage = nullptr;
    wxCheckBox* setAsDefault = nullptr;
};

} // namespace pq
