#include "shell/ModalSettingsSheet.h"

#include "app/MeasurementUnits.h"
#include "app/PaperSizes.h"

#include <wx/bookctrl.h>
#include <wx/spinbutt.h>

namespace pq {

namespace {

wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// Sets a text field's value without the change event, and only when it differs, so the caret stays.
void ShowText(wxTextCtrl* field, const std::string& text) {
    const wxString value = FromUtf8(text);
    if (field->GetValue() != value)
        field->ChangeValue(value);
}

void ShowSpin(wxSpinButton* spin, const CSpinRange& range) {
    // An empty range still needs two ends for the toolkit; the model holds the position to it anyway.
    spin->SetRange(range.lower, std::max(range.upper, range.lower));
    spin->SetValue(range.position);
}

} // namespace

CModalSettingsSheet::CModalSettingsSheet(wxWindow* parent, CSettingsSheet& settings) : sheet(settings) {
    Create(parent, wxID_ANY, FromUtf8(CSettingsSheet::kTitle));
    CreateButtons(wxOK | wxCANCEL);
    wxBookCtrlBase* book = GetBookCtrl();
    if (sheet.HasPages()) {
        book->AddPage(BuildGeneralPage(book), FromUtf8(CSettingsSheet::kGeneralTitle));
        book->AddPage(BuildPagePage(book), FromUtf8(CSettingsSheet::kPageTitle));
        ShowGeneral(true);
        ShowPage(true);
    }
    Bind(wxEVT_BUTTON, &CModalSettingsSheet::OnOk, this, wxID_OK);
    LayoutDialog();
}

wxPanel* CModalSettingsSheet::BuildGeneralPage(wxWindow* book) {
    auto* page = new wxPanel(book);
    CGeneralSettings& general = *sheet.General();
    const int gap = FromDIP(6);

    auto* grid = new wxFlexGridSizer(4, gap, gap);
    grid->AddGrowableCol(1);
    auto addLength = [&](const char* label, wxTextCtrl*& text, wxSpinButton*& spin, wxStaticText*& unit) {
        grid->Add(new wxStaticText(page, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        text = new wxTextCtrl(page, wxID_ANY, wxString(), wxDefaultPosition, wxSize(FromDIP(90), -1));
        grid->Add(text, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
        spin = new wxSpinButton(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
        grid->Add(spin, 0, wxALIGN_CENTER_VERTICAL);
        unit = new wxStaticText(page, wxID_ANY, wxString(), wxDefaultPosition, wxSize(FromDIP(40), -1));
        grid->Add(unit, 0, wxALIGN_CENTER_VERTICAL);
    };
    addLength("Grid spacing:", gridText, gridSpin, gridUnit);
    addLength("Snap spacing:", snapText, snapSpin, snapUnit);

    grid->Add(new wxStaticText(page, wxID_ANY, "Units:"), 0, wxALIGN_CENTER_VERTICAL);
    units = new wxChoice(page, wxID_ANY);
    for (int unit = 0; unit < kMeasurementUnitCount; ++unit)
        units->Append(FromUtf8(UnitName(unit)));
    grid->Add(units, 1, wxEXPAND);
    grid->AddSpacer(0);
    grid->AddSpacer(0);

    auto* exportBox = new wxStaticBoxSizer(wxVERTICAL, page, "Bitmap export");
    auto* pixelsRow = new wxBoxSizer(wxHORIZONTAL);
    pixelsRow->Add(new wxStaticText(exportBox->GetStaticBox(), wxID_ANY, "Maximum pixels:"), 0,
                   wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    maxPixels = new wxChoice(exportBox->GetStaticBox(), wxID_ANY);
    for (int pixels : CGeneralSettings::kMaxPixelsChoices)
        maxPixels->Append(wxString::Format("%d", pixels));
    pixelsRow->Add(maxPixels, 0);
    exportBox->Add(pixelsRow, 0, wxALL, gap);
    antiAlias = new wxCheckBox(exportBox->GetStaticBox(), wxID_ANY, "Use antialiasing");
    exportBox->Add(antiAlias, 0, wxLEFT | wxRIGHT | wxBOTTOM, gap);

    auto* screenBox = new wxStaticBoxSizer(wxVERTICAL, page, "Screen");
    smoothEdges = new wxCheckBox(screenBox->GetStaticBox(), wxID_ANY, "Smooth Edges");
    screenBox->Add(smoothEdges, 0, wxALL, gap);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxEXPAND | wxALL, FromDIP(10));
    column->Add(exportBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(10));
    column->Add(screenBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(10));
    page->SetSizer(column);

    gridText->Bind(wxEVT_TEXT, [this, &general](wxCommandEvent&) {
        general.SetGridText(ToUtf8(gridText->GetValue()));
        ShowGeneral(false);
    });
    snapText->Bind(wxEVT_TEXT, [this, &general](wxCommandEvent&) {
        general.SetSnapText(ToUtf8(snapText->GetValue()));
        ShowGeneral(false);
    });
    gridSpin->Bind(wxEVT_SPIN, [this, &general](wxSpinEvent& event) {
        general.OnGridSpin(event.GetPosition());
        ShowGeneral(true);
    });
    snapSpin->Bind(wxEVT_SPIN, [this, &general](wxSpinEvent& event) {
        general.OnSnapSpin(event.GetPosition());
        ShowGeneral(true);
    });
    units->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
        sheet.OnUnitChanged(event.GetSelection());
        ShowGeneral(true);
        ShowPage(true);
    });
    maxPixels->Bind(wxEVT_CHOICE,
                    [&general](wxCommandEvent& event) { general.SetMaxPixelsIndex(event.GetSelection()); });
    antiAlias->Bind(wxEVT_CHECKBOX,
                    [&general](wxCommandEvent& event) { general.SetAntiAlias(event.IsChecked()); });
    smoothEdges->Bind(wxEVT_CHECKBOX,
                      [&general](wxCommandEvent& event) { general.SetSmoothEdges(event.IsChecked()); });
    return page;
}

wxPanel* CModalSettingsSheet::BuildPagePage(wxWindow* book) {
    auto* page = new wxPanel(book);
    CPageSettings& settings = *sheet.Page();
    const int gap = FromDIP(6);

    auto* grid = new wxFlexGridSizer(2, gap, gap);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(page, wxID_ANY, "Paper:"), 0, wxALIGN_CENTER_VERTICAL);
    paper = new wxChoice(page, wxID_ANY);
    for (const CPaperSize& size : PaperSizes())
        paper->Append(FromUtf8(size.name));
    grid->Add(paper, 1, wxEXPAND);

    grid->Add(new wxStaticText(page, wxID_ANY, "Orientation:"), 0, wxALIGN_CENTER_VERTICAL);
    auto* radios = new wxBoxSizer(wxHORIZONTAL);
    portrait = new wxRadioButton(page, wxID_ANY, "Portrait", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    landscape = new wxRadioButton(page, wxID_ANY, "Landscape");
    radios->Add(portrait, 0, wxRIGHT, FromDIP(12));
    radios->Add(landscape, 0);
    grid->Add(radios, 0, wxALIGN_CENTER_VERTICAL);

    widthLabel = new wxStaticText(page, wxID_ANY, wxString());
    grid->Add(widthLabel, 0, wxALIGN_CENTER_VERTICAL);
    widthText = new wxTextCtrl(page, wxID_ANY, wxString(), wxDefaultPosition, wxSize(FromDIP(100), -1));
    grid->Add(widthText, 0);
    heightLabel = new wxStaticText(page, wxID_ANY, wxString());
    grid->Add(heightLabel, 0, wxALIGN_CENTER_VERTICAL);
    heightText = new wxTextCtrl(page, wxID_ANY, wxString(), wxDefaultPosition, wxSize(FromDIP(100), -1));
    grid->Add(heightText, 0);

    showPage = new wxCheckBox(page, wxID_ANY, "Show page");
    setAsDefault = new wxCheckBox(page, wxID_ANY, "Set as default");
    setAsDefault->SetToolTip("New documents get this page size");

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxEXPAND | wxALL, FromDIP(10));
    column->Add(showPage, 0, wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(10));
    column->Add(setAsDefault, 0, wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(10));
    page->SetSizer(column);

    paper->Bind(wxEVT_CHOICE, [this, &settings](wxCommandEvent& event) {
        settings.OnPaperSelected(event.GetSelection());
        ShowPage(true);
    });
    portrait->Bind(wxEVT_RADIOBUTTON, [this, &settings](wxCommandEvent&) {
        settings.OnPortrait();
        ShowPage(true);
    });
    landscape->Bind(wxEVT_RADIOBUTTON, [this, &settings](wxCommandEvent&) {
        settings.OnLandscape();
        ShowPage(true);
    });
    widthText->Bind(wxEVT_TEXT, [this, &settings](wxCommandEvent&) {
        settings.OnWidthEdited(ToUtf8(widthText->GetValue()));
        ShowPage(false);
    });
    heightText->Bind(wxEVT_TEXT, [this, &settings](wxCommandEvent&) {
        settings.OnHeightEdited(ToUtf8(heightText->GetValue()));
        ShowPage(false);
    });
    showPage->Bind(wxEVT_CHECKBOX,
                   [&settings](wxCommandEvent& event) { settings.SetShowPage(event.IsChecked()); });
    setAsDefault->Bind(wxEVT_CHECKBOX,
                       [&settings](wxCommandEvent& event) { settings.SetSetAsDefault(event.IsChecked()); });
    return page;
}

void CModalSettingsSheet::ShowGeneral(bool texts) {
    const CGeneralSettings& general = *sheet.General();
    if (texts) {
        ShowText(gridText, general.GetGridText());
        ShowText(snapText, general.GetSnapText());
    }
    ShowSpin(gridSpin, general.GetGridSpin());
    ShowSpin(snapSpin, general.GetSnapSpin());
    const wxString unitName = FromUtf8(UnitName(general.GetUnit()));
    gridUnit->SetLabel(unitName);
    snapUnit->SetLabel(unitName);
    units->SetSelection(general.GetUnit());
    maxPixels->SetSelection(general.GetMaxPixelsIndex());
    antiAlias->SetValue(general.GetAntiAlias());
    smoothEdges->SetValue(general.GetSmoothEdges());
}

void CModalSettingsSheet::ShowPage(bool texts) {
    const CPageSettings& settings = *sheet.Page();
    if (texts) {
        ShowText(widthText, settings.GetWidthText());
        ShowText(heightText, settings.GetHeightText());
    }
    widthLabel->SetLabel(FromUtf8(settings.GetWidthLabel()));
    heightLabel->SetLabel(FromUtf8(settings.GetHeightLabel()));
    paper->SetSelection(settings.GetPaperIndex());
    (settings.GetOrientation() == CPageSettings::Portrait ? portrait : landscape)->SetValue(true);
    showPage->SetValue(settings.GetShowPage());
    setAsDefault->SetValue(settings.GetSetAsDefault());
    widthLabel->GetParent()->Layout();
}

void CModalSettingsSheet::OnOk(wxCommandEvent& event) {
    const std::string refused = sheet.Validate();
    if (!refused.empty()) {
        // The sheet stays open on the page at fault, with the old size still in the drawing.
        GetBookCtrl()->SetSelection(1);
        wxMessageBox(FromUtf8(refused), FromUtf8(CSettingsSheet::kTitle), wxOK | wxICON_WARNING, this);
        return;
    }
    sheet.Accept();
    event.Skip(); // the dialog's own handler closes it with OK
}

} // namespace pq
