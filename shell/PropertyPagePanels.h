#pragma once

#include "app/ModalPropSheet.h"

#include <wx/combobox.h>
#include <wx/spinctrl.h>
#include <wx/wx.h>

#include <functional>

namespace pq {

// The pages of the object property sheet as wx panels. Each shows its page model and writes every edit
// into it at once; the model decides what an edit means, the panel only shows the result.

class CColorPagePanel : public wxPanel {
public:
    CColorPagePanel(wxWindow* parent, CColorPage& page);

private:
    class CSwatchPair;
    class CPaletteGrid;

    // Shows the page model in every control.
    void ShowPage();
    void OnNumberText(int box, const wxString& text);

    CColorPage& page;
    CSwatchPair* swatches = nullptr;
    CPaletteGrid* grid = nullptr;
    wxRadioButton* defaultRadio = nullptr;
    wxRadioButton* customRadio = nullptr;
    wxToggleButton* setButton = nullptr;
    wxButton* noneButton = nullptr;
    wxChoice* modelChoice = nullptr;
    wxStaticText* numberLabels[3] = {};
    wxSpinCtrl* numbers[3] = {};
    wxStaticText* widthLabel = nullptr;
    wxChoice* widthChoice = nullptr;
    // Set while the panel writes its own controls, whose change events are not the user's.
    bool refreshing = false;
};

class CTextPagePanel : public wxPanel {
public:
    // onKind runs after the kind changed, so the font page can follow.
    CTextPagePanel(wxWindow* parent, CModalPropSheet& sheet, std::function<void()> onKind);
    // Puts the focus in the shown edit with its whole text selected, so typing replaces it.
    void FocusText();

private:
    void ShowEdit(bool horizontalScroll);

    CModalPropSheet& sheet;
    CTextPage& page;
    std::function<void()> onKind;
    wxTextCtrl* wrapping = nullptr;
    wxTextCtrl* scrolling = nullptr;
    wxRadioButton* artistic = nullptr;
    wxRadioButton* paragraph = nullptr;
};

class CFontPagePanel : public wxPanel {
public:
    CFontPagePanel(wxWindow* parent, CFontPage& page);
    // The text kind changed on the text page: the angle box follows.
    void RefreshAngle();

private:
    CFontPage& page;
    wxComboBox* angle = nullptr;
    bool refreshing = false;
};

class CSizePagePanel : public wxPanel {
public:
    CSizePagePanel(wxWindow* parent, CSizePage& page);

private:
    // Shows the model's texts in every box but the one being typed into.
    void ShowTexts(wxWindow* typing);

    CSizePage& page;
    wxTextCtrl* width = nullptr;
    wxTextCtrl* height = nullptr;
    wxSpinCtrl* widthPercent = nullptr;
    wxSpinCtrl* heightPercent = nullptr;
    bool refreshing = false;
};

} // namespace pq
