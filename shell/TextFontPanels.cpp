#include "shell/PropertyPagePanels.h"

#include "platform/Utf16.h"

namespace pq {

namespace {

wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

wxString FromUtf16(std::u16string_view text) {
    return FromUtf8(Utf16ToUtf8(text));
}

wxCheckBoxState CheckStateOf(CFontPage::Check check) {
    switch (check) {
    case CFontPage::Check::On:
        return wxCHK_CHECKED;
    case CFontPage::Check::Mixed:
        return wxCHK_UNDETERMINED;
    case CFontPage::Check::Off:
        break;
    }
    return wxCHK_UNCHECKED;
}

CFontPage::Check CheckOf(wxCheckBoxState state) {
    switch (state) {
    case wxCHK_CHECKED:
        return CFontPage::Check::On;
    case wxCHK_UNDETERMINED:
        return CFontPage::Check::Mixed;
    case wxCHK_UNCHECKED:
        break;
    }
    return CFontPage::Check::Off;
}

} // namespace

CTextPagePanel::CTextPagePanel(wxWindow* parent, CModalPropSheet& sheet, std::function<void()> onKind)
    : wxPanel(parent, wxID_ANY), sheet(sheet), page(*sheet.GetTextPage()), onKind(std::move(onKind)) {
    const wxSize editSize = FromDIP(wxSize(360, 170));
    wrapping = new wxTextCtrl(this, wxID_ANY, FromUtf8(page.GetText()), wxDefaultPosition, editSize,
                              wxTE_MULTILINE | wxTE_WORDWRAP);
    scrolling = new wxTextCtrl(this, wxID_ANY, FromUtf8(page.GetText()), wxDefaultPosition, editSize,
                               wxTE_MULTILINE | wxTE_DONTWRAP | wxHSCROLL);
    for (wxTextCtrl* edit : {wrapping, scrolling})
        edit->Bind(wxEVT_TEXT, [this, edit](wxCommandEvent&) {
            if (edit->IsShown())
                page.SetText(ToUtf8(edit->GetValue()));
        });
    auto* horizontal = new wxCheckBox(this, wxID_ANY, "Horizontal scroll");
    horizontal->SetValue(page.GetHorizontalScroll());
    horizontal->Bind(wxEVT_CHECKBOX,
                     [this, horizontal](wxCommandEvent&) { ShowEdit(horizontal->GetValue()); });

    // Texts of both kinds show neither button chosen until one is: a group always has one button on, so
    // a hidden third stands for "as each text is".
    artistic =
        new wxRadioButton(this, wxID_ANY, "Artistic text", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    paragraph = new wxRadioButton(this, wxID_ANY, "Paragraph text");
    auto* neither = new wxRadioButton(this, wxID_ANY, wxEmptyString);
    neither->Hide();
    const auto showKind = [this, neither] {
        artistic->SetValue(page.GetKind() == CTextPage::kArtistic);
        paragraph->SetValue(page.GetKind() == CTextPage::kParagraph);
        neither->SetValue(page.GetKind() == 0);
    };
    const auto choose = [this, showKind](int kind) {
        this->sheet.ChooseTextKind(kind);
        showKind();
        if (this->onKind)
            this->onKind();
    };
    showKind();
    artistic->Bind(wxEVT_RADIOBUTTON, [choose](wxCommandEvent&) { choose(CTextPage::kArtistic); });
    paragraph->Bind(wxEVT_RADIOBUTTON, [choose](wxCommandEvent&) { choose(CTextPage::kParagraph); });

    auto* kinds = new wxBoxSizer(wxHORIZONTAL);
    kinds->Add(artistic, 0, wxRIGHT, FromDIP(16));
    kinds->Add(paragraph, 0);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(wrapping, 1, wxEXPAND);
    outer->Add(scrolling, 1, wxEXPAND);
    outer->Add(horizontal, 0, wxTOP, FromDIP(6));
    outer->Add(kinds, 0, wxTOP, FromDIP(10));
    auto* border = new wxBoxSizer(wxVERTICAL);
    border->Add(outer, 1, wxEXPAND | wxALL, FromDIP(12));
    SetSizer(border);
    scrolling->Hide();
    ShowEdit(page.GetHorizontalScroll());
}

void CTextPagePanel::ShowEdit(bool horizontalScroll) {
    wxTextCtrl* from = horizontalScroll ? wrapping : scrolling;
    wxTextCtrl* to = horizontalScroll ? scrolling : wrapping;
    page.SetHorizontalScroll(horizontalScroll);
    if (from->IsShown()) {
        long start = 0;
        long end = 0;
        from->GetSelection(&start, &end);
        to->ChangeValue(from->GetValue());
        to->SetSelection(start, end);
        from->Hide();
    }
    to->Show();
    Layout();
}

void CTextPagePanel::FocusText() {
    wxTextCtrl* shown = scrolling->IsShown() ? scrolling : wrapping;
    shown->SetFocus();
    shown->SelectAll();
}

CFontPagePanel::CFontPagePanel(wxWindow* parent, CFontPage& page) : wxPanel(parent, wxID_ANY), page(page) {
    auto* face = new wxChoice(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(240, -1)));
    for (const std::u16string& family : page.GetFamilies())
        face->Append(FromUtf16(family));
    face->SetSelection(page.GetFace().empty() ? wxNOT_FOUND
                                              : face->FindString(FromUtf16(page.GetFace()), true));
    face->Bind(wxEVT_CHOICE, [this, face](wxCommandEvent&) {
        this->page.SetFace(Utf8ToUtf16(ToUtf8(face->GetStringSelection())));
    });

    wxArrayString sizes;
    for (int points : CFontPage::kSizes)
        sizes.Add(wxString::Format("%d", points));
    auto* size = new wxComboBox(this, wxID_ANY, FromUtf8(page.GetSizeText()), wxDefaultPosition,
                                FromDIP(wxSize(90, -1)), sizes, wxCB_DROPDOWN);
    size->Bind(wxEVT_TEXT,
               [this, size](wxCommandEvent&) { this->page.SetSizeText(ToUtf8(size->GetValue())); });
    size->Bind(wxEVT_COMBOBOX,
               [this, size](wxCommandEvent&) { this->page.SetSizeText(ToUtf8(size->GetStringSelection())); });

    auto* styles = new wxBoxSizer(wxHORIZONTAL);
    constexpr const char* kStyleNames[] = {"Bold", "Italic", "Underline"};
    for (int bit = 0; bit < 3; ++bit) {
        // The third state is offered only where the texts differ, and then the user may return to it.
        const bool mixed = page.GetStyle(bit) == CFontPage::Check::Mixed;
        auto* box = new wxCheckBox(this, wxID_ANY, kStyleNames[bit], wxDefaultPosition, wxDefaultSize,
                                   mixed ? wxCHK_3STATE | wxCHK_ALLOW_3RD_STATE_FOR_USER : wxCHK_2STATE);
        if (mixed)
            box->Set3StateValue(CheckStateOf(page.GetStyle(bit)));
        else
            box->SetValue(page.GetStyle(bit) == CFontPage::Check::On);
        box->Bind(wxEVT_CHECKBOX, [this, box, bit, mixed](wxCommandEvent&) {
            this->page.SetStyle(bit, mixed             ? CheckOf(box->Get3StateValue())
                                     : box->GetValue() ? CFontPage::Check::On
                                                       : CFontPage::Check::Off);
        });
        styles->Add(box, 0, wxRIGHT, FromDIP(14));
    }

    auto* alignment = new wxChoice(this, wxID_ANY);
    for (std::string_view name : CFontPage::kAlignments)
        alignment->Append(FromUtf8(name));
    alignment->SetSelection(page.GetAlignmentIndex() >= 0 ? page.GetAlignmentIndex() : wxNOT_FOUND);
    alignment->Bind(wxEVT_CHOICE, [this, alignment](wxCommandEvent&) {
        this->page.SetAlignmentIndex(alignment->GetSelection());
    });

    wxArrayString angles;
    for (std::string_view a : CFontPage::kAngles)
        angles.Add(FromUtf8(a));
    angle = new wxComboBox(this, wxID_ANY, FromUtf8(page.GetShownAngle()), wxDefaultPosition,
                           FromDIP(wxSize(90, -1)), angles, wxCB_DROPDOWN);
    angle->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        if (!refreshing && this->page.IsAngleEnabled())
            this->page.SetAngleText(ToUtf8(angle->GetValue()));
    });
    angle->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) {
        if (!refreshing && this->page.IsAngleEnabled())
            this->page.SetAngleText(ToUtf8(angle->GetStringSelection()));
    });

    auto* grid = new wxFlexGridSizer(2, FromDIP(wxSize(10, 8)));
    const auto row = [&](const char* label, wxWindow* control) {
        grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(control, 0, wxALIGN_CENTER_VERTICAL);
    };
    row("Font:", face);
    row("Size (points):", size);
    grid->Add(new wxStaticText(this, wxID_ANY, "Style:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(styles, 0, wxALIGN_CENTER_VERTICAL);
    row("Alignment:", alignment);
    row("Angle:", angle);
    auto* border = new wxBoxSizer(wxVERTICAL);
    border->Add(grid, 0, wxALL, FromDIP(12));
    SetSizer(border);
    RefreshAngle();
}

void CFontPagePanel::RefreshAngle() {
    refreshing = true;
    angle->ChangeValue(FromUtf8(page.GetShownAngle()));
    angle->Enable(page.IsAngleEnabled());
    refreshing = false;
}

} // namespace pq
