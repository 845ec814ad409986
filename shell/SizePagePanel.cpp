#include "shell/PropertyPagePanels.h"

namespace pq {

namespace {

wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

} // namespace

CSizePagePanel::CSizePagePanel(wxWindow* parent, CSizePage& page) : wxPanel(parent, wxID_ANY), page(page) {
    const wxSize fieldSize = FromDIP(wxSize(110, -1));
    width = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, fieldSize);
    height = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, fieldSize);
    widthPercent = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                  wxSP_ARROW_KEYS, CSizePage::kMinPercent, CSizePage::kMaxPercent, 100);
    heightPercent = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                   wxSP_ARROW_KEYS, CSizePage::kMinPercent, CSizePage::kMaxPercent, 100);
    auto* rotation =
        new wxTextCtrl(this, wxID_ANY, FromUtf8(page.GetRotationText()), wxDefaultPosition, fieldSize);
    auto* keepAspect = new wxCheckBox(this, wxID_ANY, "Maintain aspect ratio");
    auto* flipHorizontal = new wxCheckBox(this, wxID_ANY, "Flip horizontal");
    auto* flipVertical = new wxCheckBox(this, wxID_ANY, "Flip vertical");
    keepAspect->SetValue(page.GetKeepAspect());

    const auto edited = [this](wxWindow* typing, auto apply) {
        return [this, typing, apply](wxCommandEvent& event) {
            if (refreshing)
                return;
            apply(ToUtf8(event.GetString()));
            ShowTexts(typing);
        };
    };
    width->Bind(wxEVT_TEXT,
                edited(width, [this](std::string text) { this->page.EditWidth(std::move(text)); }));
    height->Bind(wxEVT_TEXT,
                 edited(height, [this](std::string text) { this->page.EditHeight(std::move(text)); }));
    widthPercent->Bind(wxEVT_TEXT, edited(widthPercent, [this](std::string text) {
                           this->page.EditWidthPercent(std::move(text));
                       }));
    heightPercent->Bind(wxEVT_TEXT, edited(heightPercent, [this](std::string text) {
                            this->page.EditHeightPercent(std::move(text));
                        }));
    // The arrows change the number without a text event on every toolkit.
    widthPercent->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent& event) {
        if (refreshing)
            return;
        this->page.EditWidthPercent(std::to_string(event.GetPosition()));
        ShowTexts(widthPercent);
    });
    heightPercent->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent& event) {
        if (refreshing)
            return;
        this->page.EditHeightPercent(std::to_string(event.GetPosition()));
        ShowTexts(heightPercent);
    });
    rotation->Bind(wxEVT_TEXT, [this, rotation](wxCommandEvent&) {
        this->page.SetRotationText(ToUtf8(rotation->GetValue()));
    });
    keepAspect->Bind(wxEVT_CHECKBOX, [this, keepAspect](wxCommandEvent&) {
        this->page.SetKeepAspect(keepAspect->GetValue());
    });
    flipHorizontal->Bind(wxEVT_CHECKBOX, [this, flipHorizontal](wxCommandEvent&) {
        this->page.SetFlipHorizontal(flipHorizontal->GetValue());
    });
    flipVertical->Bind(wxEVT_CHECKBOX, [this, flipVertical](wxCommandEvent&) {
        this->page.SetFlipVertical(flipVertical->GetValue());
    });

    auto* grid = new wxFlexGridSizer(3, FromDIP(wxSize(10, 8)));
    grid->AddSpacer(0);
    grid->AddSpacer(0);
    grid->Add(new wxStaticText(this, wxID_ANY, "Percent:"), 0, wxALIGN_BOTTOM);
    grid->Add(new wxStaticText(this, wxID_ANY, FromUtf8(page.GetWidthLabel())), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(width, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(widthPercent, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxStaticText(this, wxID_ANY, FromUtf8(page.GetHeightLabel())), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(height, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(heightPercent, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxStaticText(this, wxID_ANY, "Rotation (degrees):"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(rotation, 0, wxALIGN_CENTER_VERTICAL);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(grid, 0, wxBOTTOM, FromDIP(12));
    outer->Add(keepAspect, 0, wxBOTTOM, FromDIP(6));
    outer->Add(flipHorizontal, 0, wxBOTTOM, FromDIP(6));
    outer->Add(flipVertical, 0);
    if (!page.CanChange()) {
        // Shown but not offered: OK would leave a text or a picture as it is whatever was typed here.
        for (wxWindow* field : std::initializer_list<wxWindow*>{width, height, widthPercent, heightPercent, rotation,
                                                               keepAspect, flipHorizontal, flipVertical})
            field->Disable();
        outer->Add(new wxStaticText(this, wxID_ANY, FromUtf8(page.GetNote())), 0, wxTOP, FromDIP(12));
    }
    auto* border = new wxBoxSizer(wxVERTICAL);
    border->Add(outer, 0, wxALL, FromDIP(12));
    SetSizer(border);
    ShowTexts(nullptr);
}

void CSizePagePanel::ShowTexts(wxWindow* typing) {
    refreshing = true;
    if (typing != width)
        width->ChangeValue(FromUtf8(page.GetWidthText()));
    if (typing != height)
        height->ChangeValue(FromUtf8(page.GetHeightText()));
    if (typing != widthPercent)
        widthPercent->SetValue(FromUtf8(page.GetWidthPercentText()));
    if (typing != heightPercent)
        heightPercent->SetValue(FromUtf8(page.GetHeightPercentText()));
    refreshing = false;
}

} // namespace pq
