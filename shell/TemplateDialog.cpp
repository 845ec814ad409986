#include "shell/TemplateDialog.h"

#include <wx/listctrl.h>

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

CTemplateDialog::CTemplateDialog(wxWindow* parent, CTemplateList& model)
    : wxDialog(parent, wxID_ANY, FromUtf8(CTemplateList::kTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      templates(model) {
    const int gap = FromDIP(6);
    list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(380, 260)),
                          wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_EDIT_LABELS | wxLC_NO_HEADER);
    list->AppendColumn("Name");
    emptyNote = new wxStaticText(this, wxID_ANY,
                                 "No templates yet. Save a drawing as \"Template (TPL)\" to add one.");

    renameButton = new wxButton(this, wxID_ANY, "Rename");
    deleteButton = new wxButton(this, wxID_ANY, "Delete");
    okButton = new wxButton(this, wxID_OK, "OK");
    auto* cancelButton = new wxButton(this, wxID_CANCEL, "Cancel");
    okButton->SetDefault();

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(renameButton, 0, wxRIGHT, gap);
    buttons->Add(deleteButton, 0);
    buttons->AddStretchSpacer();
    buttons->Add(okButton, 0, wxRIGHT, gap);
    buttons->Add(cancelButton, 0);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(emptyNote, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(10));
    SetSizerAndFit(column);

    list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) {
        if (!filling)
            templates.Select(static_cast<int>(event.GetIndex()));
        UpdateButtons();
    });
    list->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) {
        if (!filling)
            templates.Select(-1);
        UpdateButtons();
    });
    // A double-click, or Enter, on a template is OK.
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { OnOk(); });
    list->Bind(wxEVT_LIST_END_LABEL_EDIT, &CTemplateDialog::OnEndLabelEdit, this);
    list->Bind(wxEVT_LIST_KEY_DOWN, [this](wxListEvent& event) {
        if (event.GetKeyCode() == WXK_F2)
            OnRename();
        else if (event.GetKeyCode() == WXK_DELETE)
            OnDelete();
        else
            event.Skip();
    });
    list->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        list->SetColumnWidth(0, list->GetClientSize().GetWidth());
        event.Skip();
    });
    renameButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRename(); });
    deleteButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDelete(); });
    okButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); });

    FillList();
    list->SetFocus();
}

void CTemplateDialog::FillList() {
    filling = true;
    list->DeleteAllItems();
    const std::vector<std::string>& names = templates.GetNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        list->InsertItem(static_cast<long>(i), FromUtf8(names[i]));
    list->SetColumnWidth(0, list->GetClientSize().GetWidth());
    if (const int selected = templates.GetSelection(); selected >= 0) {
        list->SetItemState(selected, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                           wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        list->EnsureVisible(selected);
    }
    filling = false;
    emptyNote->Show(names.empty());
    Layout();
    UpdateButtons();
}

void CTemplateDialog::UpdateButtons() {
    const bool selected = templates.GetSelection() >= 0;
    renameButton->Enable(selected);
    deleteButton->Enable(selected);
    okButton->Enable(selected);
}

void CTemplateDialog::OnOk() {
    chosen = templates.Ok();
    if (chosen)
        EndModal(wxID_OK);
}

void CTemplateDialog::OnRename() {
    if (const int selected = templates.GetSelection(); selected >= 0)
        list->EditLabel(selected);
}

void CTemplateDialog::OnEndLabelEdit(wxListEvent& event) {
    // The label never changes by the edit itself: the list is filled again from the folder.
    event.Veto();
    if (event.IsEditCancelled())
        return;
    const std::string newName = ToUtf8(event.GetLabel());
    // The list control is still ending its edit: change it once that is done.
    CallAfter([this, newName] {
        const std::string problem = templates.Rename(newName);
        FillList();
        ShowProblem(problem);
    });
}

void CTemplateDialog::OnDelete() {
    const std::string problem = templates.Delete([this](std::string_view question) {
        return wxMessageBox(FromUtf8(question), FromUtf8(CTemplateList::kTitle),
                            wxYES_NO | wxNO_DEFAULT | wxICON_STOP, this) == wxYES;
    });
    FillList();
    ShowProblem(problem);
}

void CTemplateDialog::ShowProblem(const std::string& message) {
    if (!message.empty())
        wxMessageBox(FromUtf8(message), FromUtf8(CTemplateList::kTitle), wxOK | wxICON_WARNING, this);
}

} // namespace pq
