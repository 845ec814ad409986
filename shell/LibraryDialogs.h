#pragma once

#include "app/LibraryBrowser.h"
#include "app/LibraryCommands.h"

class wxButton;
class wxChoice;
class wxImageList;
class wxListCtrl;
class wxListEvent;
class wxStaticText;
class wxTextCtrl;

namespace pq {

// The Library dialog: a category choice, the category's items as 32 x 32 pictures with their names,
// Insert (or a double-click) and Cancel, and the "..." menu (also on a right-click in the list) that
// renames and deletes items and makes, renames and deletes categories. The model does the work; this
// window shows it and asks the questions.
class CLibraryDialog : public wxDialog {
public:
    CLibraryDialog(wxWindow* parent, CLibraryBrowser& browser);

private:
    void FillCategories();
    void FillItems();
    void UpdateButtons();
    void ShowMenu(const wxPoint& where);
    void OnInsert();
    void OnRenameItem();
    void OnDeleteItem();
    void OnNewCategory();
    void OnRenameCategory();
    void OnDeleteCategory();
    void OnEndLabelEdit(wxListEvent& event);
    bool Ask(std::string_view question);
    void ShowProblem(const std::string& message);

    CLibraryBrowser& browser;
    wxChoice* categories = nullptr;
    wxButton* menuButton = nullptr;
    wxListCtrl* list = nullptr;
    wxImageList* images = nullptr;
    wxStaticText* emptyNote = nullptr;
    wxButton* insertButton = nullptr;
    // The list is being filled: its selection events are the program's, not the user's.
    bool filling = false;
};

// The Send to Library dialog: the new item's name and its category, with "New Category...".
class CSendToLibraryDialog : public wxDialog {
public:
    CSendToLibraryDialog(wxWindow* parent, CSendToLibrary& sender);

private:
    void FillCategories();
    void OnOk();
    void OnNewCategory();

    CSendToLibrary& sender;
    wxTextCtrl* name = nullptr;
    wxChoice* categories = nullptr;
};

// The library's dialogs for the library's commands, shown over the main window.
class CLibraryDialogRunner : public ILibraryDialogs {
public:
    explicit CLibraryDialogRunner(wxWindow* parent) : parent(parent) {}

    bool RunLibraryDialog(CLibraryBrowser& browser) override;
    bool RunSendToLibraryDialog(CSendToLibrary& sender) override;

private:
    wxWindow* parent;
};

} // namespace pq
