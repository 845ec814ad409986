#pragma once

#include "app/TemplateList.h"

#include <optional>
#include <string>

class wxButton;
class wxListCtrl;
class wxListEvent;
class wxStaticText;

namespace pq {

// The Template dialog: the templates of the folder in a list whose labels can be edited (Rename), with
// Delete, OK (or a double-click on a template) and Cancel. The list's model does the work; this window
// shows it and asks the Delete question.
class CTemplateDialog : public wxDialog {
public:
    CTemplateDialog(wxWindow* parent, CTemplateList& templates);

    // After OK: the chosen template's path.
    [[nodiscard]] const std::optional<std::string>& GetChosenPath() const { return chosen; }

private:
    void FillList();
    void UpdateButtons();
    void OnOk();
    void OnRename();
    void OnDelete();
    void OnEndLabelEdit(wxListEvent& event);
    void ShowProblem(const std::string& message);

    CTemplateList& templates;
    wxListCtrl* list = nullptr;
    wxStaticText* emptyNote = nullptr;
    wxButton* renameButton = nullptr;
    wxButton* deleteButton = nullptr;
    wxButton* okButton = nullptr;
    std::optional<std::string> chosen;
    // The list is being filled: its selection events are the program's, not the user's.
    bool filling = false;
};

} // namespace pq
