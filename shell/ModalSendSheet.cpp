#include "shell/ModalSendSheet.h"

#include <wx/bookctrl.h>
#include <wx/valtext.h>

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

CModalSendSheet::CModalSendSheet(wxWindow* parent, CSendSheet& sendSheet) : sheet(sendSheet) {
    Create(parent, wxID_ANY, FromUtf8(sheet.Caption()));
    CreateButtons(wxOK | wxCANCEL);
    wxBookCtrlBase* book = GetBookCtrl();
    book->AddPage(BuildSendPage(book), FromUtf8(CSendPage::kTitle));
    if (sheet.HasFtpPage())
        book->AddPage(BuildFtpPage(book), FromUtf8(CFtpPreparePage::kTitle));
    Bind(wxEVT_BUTTON, &CModalSendSheet::OnOk, this, wxID_OK);
    LayoutDialog();
}

wxPanel* CModalSendSheet::BuildSendPage(wxWindow* book) {
    auto* page = new wxPanel(book);
    const int gap = FromDIP(6);
    auto* grid = new wxFlexGridSizer(2, gap, gap);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(page, wxID_ANY, "Name:"), 0, wxALIGN_CENTER_VERTICAL);
    auto* name = new wxTextCtrl(page, wxID_ANY, FromUtf8(sheet.send.name), wxDefaultPosition,
                                wxSize(FromDIP(220), -1));
    name->SetName("send-name");
    grid->Add(name, 1, wxEXPAND);
    grid->Add(new wxStaticText(page, wxID_ANY, "Type:"), 0, wxALIGN_CENTER_VERTICAL);
    auto* type = new wxChoice(page, wxID_ANY);
    for (const CSendType& entry : kSendTypes)
        type->Append(FromUtf8(entry.text));
    type->SetSelection(sheet.send.typeIndex);
    grid->Add(type, 1, wxEXPAND);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxEXPAND | wxALL, FromDIP(10));
    page->SetSizer(column);

    name->Bind(wxEVT_TEXT, [this, name](wxCommandEvent&) { sheet.send.name = ToUtf8(name->GetValue()); });
    type->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) { sheet.send.typeIndex = event.GetSelection(); });
    return page;
}

wxPanel* CModalSendSheet::BuildFtpPage(wxWindow* book) {
    auto* page = new wxPanel(book);
    const int gap = FromDIP(6);
    auto* grid = new wxFlexGridSizer(2, gap, gap);
    grid->AddGrowableCol(1);
    auto addField = [&](const char* label, std::string& value, long style, const wxValidator& validator) {
        grid->Add(new wxStaticText(page, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
        auto* field = new wxTextCtrl(page, wxID_ANY, FromUtf8(value), wxDefaultPosition,
                                     wxSize(FromDIP(220), -1), style, validator);
        grid->Add(field, 1, wxEXPAND);
        field->Bind(wxEVT_TEXT, [field, &value](wxCommandEvent&) { value = ToUtf8(field->GetValue()); });
        return field;
    };
    CFtpPreparePage& ftp = sheet.ftp;
    addField("Server:", ftp.server, 0, wxDefaultValidator);
    addField("Port:", ftp.port, 0, wxTextValidator(wxFILTER_DIGITS))->SetMaxLength(5);
    addField("Folder:", ftp.folder, 0, wxDefaultValidator);
    addField("User name:", ftp.userName, 0, wxDefaultValidator);
    addField("Password:", ftp.password, wxTE_PASSWORD, wxDefaultValidator);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxEXPAND | wxALL, FromDIP(10));
    page->SetSizer(column);
    return page;
}

void CModalSendSheet::OnOk(wxCommandEvent& /*event*/) {
    if (const std::string problem = sheet.Validate(); !problem.empty()) {
        wxMessageBox(FromUtf8(problem), FromUtf8(sheet.Caption()), wxOK | wxICON_EXCLAMATION, this);
        return;
    }
    sheet.Accept();
    EndModal(wxID_OK);
}

} // namespace pq
