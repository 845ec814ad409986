#include "shell/LibraryDialogs.h"

#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/textdlg.h>

namespace pq {

namespace {

constexpr int kPicture = CClipArtLibrary::kThumbnailSize;

// The "..." menu's entries.
enum MenuId { kRenameItem = wxID_HIGHEST + 1, kDeleteItem, kNewCategory, kRenameCategory, kDeleteCategory };

wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// The picture of an item without one of its own: a page with a folded corner and lines of writing.
wxBitmap DefaultItemPicture() {
    wxBitmap bitmap(kPicture, kPicture, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(wxPen(wxColour(90, 90, 90)));
    dc.SetBrush(wxBrush(wxColour(250, 250, 250)));
    const wxPoint page[] = {{6, 2}, {20, 2}, {26, 8}, {26, 29}, {6, 29}};
    dc.DrawPolygon(5, page);
    dc.DrawLine(20, 2, 20, 8);
    dc.DrawLine(20, 8, 26, 8);
    dc.SetPen(wxPen(wxColour(150, 150, 150)));
    for (int y = 13; y <= 25; y += 4)
        dc.DrawLine(10, y, 23, y);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

wxBitmap ItemPicture(const CClipArtItem& item) {
    auto rgb = LoadThumbnailRgb(item.thumbnailPath, kPicture);
    if (!rgb)
        return wxNullBitmap;
    // wxImage takes ownership of malloc'ed RGB data.
    auto* data = static_cast<unsigned char*>(malloc(rgb->size()));
    if (data == nullptr)
        return wxNullBitmap;
    std::copy(rgb->begin(), rgb->end(), data);
    return wxBitmap(wxImage(kPicture, kPicture, data));
}

void FillChoice(wxChoice* choice, const CCategoryChoice& model) {
    choice->Clear();
    for (const std::string& name : model.GetCategories())
        choice->Append(FromUtf8(name));
    if (model.GetCategory() >= 0)
        choice->SetSelection(model.GetCategory());
    choice->Enable(!model.GetCategories().empty());
}

std::optional<std::string> AskText(wxWindow* parent, const char* title, const char* prompt,
                                   const std::string& initial = {}) {
    wxTextEntryDialog dialog(parent, prompt, title, FromUtf8(initial));
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return ToUtf8(dialog.GetValue().Strip(wxString::both));
}

} // namespace

CLibraryDialog::CLibraryDialog(wxWindow* parent, CLibraryBrowser& model)
    : wxDialog(parent, wxID_ANY, FromUtf8(CLibraryBrowser::kTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      browser(model) {
    const int gap = FromDIP(6);
    categories = new wxChoice(this, wxID_ANY);
    menuButton = new wxButton(this, wxID_ANY, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    menuButton->SetToolTip("Rename or delete the item; make, rename or delete a category");
    list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(440, 300)),
                          wxLC_ICON | wxLC_SINGLE_SEL | wxLC_EDIT_LABELS | wxLC_AUTOARRANGE);
    images = new wxImageList(kPicture, kPicture, false, 10);
    list->SetImageList(images, wxIMAGE_LIST_NORMAL);
    emptyNote = new wxStaticText(this, wxID_ANY,
                                 "No items here yet. Select objects and choose Tools > Send to Library... "
                                 "to add one.");
    insertButton = new wxButton(this, wxID_OK, "Insert");
    auto* cancelButton = new wxButton(this, wxID_CANCEL, "Cancel");
    insertButton->SetDefault();

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticText(this, wxID_ANY, "Category:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    top->Add(categories, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    top->Add(menuButton, 0, wxALIGN_CENTER_VERTICAL);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(insertButton, 0, wxRIGHT, gap);
    buttons->Add(cancelButton, 0);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(top, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(emptyNote, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(10));
    SetSizerAndFit(column);

    categories->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
        browser.SelectCategory(event.GetSelection());
        FillItems();
    });
    list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) {
        if (!filling)
            browser.SelectItem(static_cast<int>(event.GetIndex()));
        UpdateButtons();
    });
    list->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) {
        if (!filling)
            browser.SelectItem(-1);
        UpdateButtons();
    });
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { OnInsert(); });
    list->Bind(wxEVT_LIST_END_LABEL_EDIT, &CLibraryDialog::OnEndLabelEdit, this);
    // A right-click (the pocket device's tap-and-hold) on an item chooses it and opens the menu.
    list->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, [this](wxListEvent& event) {
        const long index = event.GetIndex();
        list->SetItemState(index, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                           wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        browser.SelectItem(static_cast<int>(index));
        UpdateButtons();
        ShowMenu(ScreenToClient(wxGetMousePosition()));
    });
    list->Bind(wxEVT_LIST_KEY_DOWN, [this](wxListEvent& event) {
        if (event.GetKeyCode() == WXK_F2)
            OnRenameItem();
        else if (event.GetKeyCode() == WXK_DELETE)
            OnDeleteItem();
        else
            event.Skip();
    });
    menuButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        const wxRect button = menuButton->GetRect();
        ShowMenu(wxPoint(button.GetLeft(), button.GetBottom()));
    });
    insertButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnInsert(); });
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OnRenameItem(); }, kRenameItem);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OnDeleteItem(); }, kDeleteItem);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OnNewCategory(); }, kNewCategory);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OnRenameCategory(); }, kRenameCategory);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { OnDeleteCategory(); }, kDeleteCategory);

    FillCategories();
    list->SetFocus();
    if (!browser.GetOpenProblem().empty())
        CallAfter(
            [this] { ShowProblem("The library folder could not be made: " + browser.GetOpenProblem()); });
}

void CLibraryDialog::FillCategories() {
    FillChoice(categories, browser);
    FillItems();
}

void CLibraryDialog::FillItems() {
    filling = true;
    wxBusyCursor busy;
    list->Freeze();
    list->DeleteAllItems();
    images->RemoveAll();
    images->Add(DefaultItemPicture());
    const std::vector<CClipArtItem>& items = browser.GetItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        int image = 0;
        if (const wxBitmap picture = ItemPicture(items[i]); picture.IsOk())
            image = images->Add(picture);
        list->InsertItem(static_cast<long>(i), FromUtf8(items[i].name), image);
    }
    if (const int selected = browser.GetItem(); selected >= 0) {
        list->SetItemState(selected, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                           wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        list->EnsureVisible(selected);
    }
    list->Thaw();
    filling = false;
    emptyNote->Show(items.empty());
    Layout();
    UpdateButtons();
}

void CLibraryDialog::UpdateButtons() {
    insertButton->Enable(browser.CanChangeItem());
}

void CLibraryDialog::ShowMenu(const wxPoint& where) {
    wxMenu menu;
    menu.Append(kRenameItem, "Rename Item");
    menu.Append(kDeleteItem, "Delete Item");
    menu.AppendSeparator();
    menu.Append(kNewCategory, "New Category");
    menu.Append(kRenameCategory, "Rename Category");
    menu.Append(kDeleteCategory, "Delete Category");
    menu.Enable(kRenameItem, browser.CanChangeItem());
    menu.Enable(kDeleteItem, browser.CanChangeItem());
    menu.Enable(kRenameCategory, browser.CanChangeCategory());
    menu.Enable(kDeleteCategory, browser.CanDeleteCategory());
    PopupMenu(&menu, where);
}

void CLibraryDialog::OnInsert() {
    if (browser.Ok())
        EndModal(wxID_OK);
}

void CLibraryDialog::OnRenameItem() {
    if (const int selected = browser.GetItem(); selected >= 0)
        list->EditLabel(selected);
}

void CLibraryDialog::OnEndLabelEdit(wxListEvent& event) {
    // The label never changes by the edit itself: the list is filled again from the folder.
    event.Veto();
    if (event.IsEditCancelled())
        return;
    const std::string newName = ToUtf8(event.GetLabel());
    // The list control is still ending its edit: change it once that is done.
    CallAfter([this, newName] {
        const std::string problem = browser.RenameItem(newName);
        FillItems();
        ShowProblem(problem);
    });
}

void CLibraryDialog::OnDeleteItem() {
    const std::string problem = browser.DeleteItem([this](std::string_view q) { return Ask(q); });
    FillItems();
    ShowProblem(problem);
}

void CLibraryDialog::OnNewCategory() {
    const auto name = AskText(this, "New Category", "Category name:");
    if (!name)
        return;
    const std::string problem = browser.CreateCategory(*name);
    FillCategories();
    ShowProblem(problem);
}

void CLibraryDialog::OnRenameCategory() {
    if (!browser.CanChangeCategory())
        return;
    const auto name = AskText(this, "Rename Category", "New name:", browser.CategoryName());
    if (!name)
        return;
    const std::string problem = browser.RenameCategory(*name);
    FillCategories();
    ShowProblem(problem);
}

void CLibraryDialog::OnDeleteCategory() {
    const std::string problem = browser.DeleteCategory([this](std::string_view q) { return Ask(q); });
    FillCategories();
    ShowProblem(problem);
}

bool CLibraryDialog::Ask(std::string_view question) {
    return wxMessageBox(FromUtf8(question), FromUtf8(CLibraryBrowser::kTitle),
                        wxYES_NO | wxNO_DEFAULT | wxICON_STOP, this) == wxYES;
}

void CLibraryDialog::ShowProblem(const std::string& message) {
    if (!message.empty())
        wxMessageBox(FromUtf8(message), FromUtf8(CLibraryBrowser::kTitle), wxOK | wxICON_WARNING, this);
}

CSendToLibraryDialog::CSendToLibraryDialog(wxWindow* parent, CSendToLibrary& model)
    : wxDialog(parent, wxID_ANY, FromUtf8(CSendToLibrary::kTitle)), sender(model) {
    const int gap = FromDIP(6);
    name = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, FromDIP(wxSize(240, -1)));
    categories = new wxChoice(this, wxID_ANY);
    auto* newCategory = new wxButton(this, wxID_ANY, "New Category...");
    auto* ok = new wxButton(this, wxID_OK, "OK");
    auto* cancel = new wxButton(this, wxID_CANCEL, "Cancel");
    ok->SetDefault();

    auto* grid = new wxFlexGridSizer(2, gap, gap);
    grid->AddGrowableCol(1);
    grid->Add(new wxStaticText(this, wxID_ANY, "Name:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(name, 1, wxEXPAND);
    grid->Add(new wxStaticText(this, wxID_ANY, "Category:"), 0, wxALIGN_CENTER_VERTICAL);
    auto* categoryRow = new wxBoxSizer(wxHORIZONTAL);
    categoryRow->Add(categories, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    categoryRow->Add(newCategory, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(categoryRow, 1, wxEXPAND);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(ok, 0, wxRIGHT, gap);
    buttons->Add(cancel, 0);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(10));
    SetSizerAndFit(column);

    categories->Bind(wxEVT_CHOICE,
                     [this](wxCommandEvent& event) { sender.SelectCategory(event.GetSelection()); });
    newCategory->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnNewCategory(); });
    ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); });
    FillCategories();
    name->SetFocus();
    if (!sender.GetOpenProblem().empty())
        CallAfter([this] {
            wxMessageBox(FromUtf8("The library folder could not be made: " + sender.GetOpenProblem()),
                         FromUtf8(CSendToLibrary::kTitle), wxOK | wxICON_WARNING, this);
        });
}

void CSendToLibraryDialog::FillCategories() {
    FillChoice(categories, sender);
}

void CSendToLibraryDialog::OnOk() {
    sender.SetName(ToUtf8(name->GetValue().Strip(wxString::both)));
    const CSendToLibrary::CResult result = sender.Ok([this](std::string_view question) {
        return wxMessageBox(FromUtf8(question), FromUtf8(CSendToLibrary::kTitle),
                            wxYES_NO | wxNO_DEFAULT | wxICON_STOP, this) == wxYES;
    });
    if (!result.message.empty())
        wxMessageBox(FromUtf8(result.message), FromUtf8(CSendToLibrary::kTitle), wxOK | wxICON_WARNING, this);
    if (result.close)
        EndModal(wxID_OK);
}

void CSendToLibraryDialog::OnNewCategory() {
    const auto newName = AskText(this, "New Category", "Category name:");
    if (!newName)
        return;
    const std::string problem = sender.CreateCategory(*newName);
    FillCategories();
    if (!problem.empty())
        wxMessageBox(FromUtf8(problem), FromUtf8(CSendToLibrary::kTitle), wxOK | wxICON_WARNING, this);
}

bool CLibraryDialogRunner::RunLibraryDialog(CLibraryBrowser& browser) {
    CLibraryDialog dialog(parent, browser);
    return dialog.ShowModal() == wxID_OK;
}

bool CLibraryDialogRunner::RunSendToLibraryDialog(CSendToLibrary& sender) {
    CSendToLibraryDialog dialog(parent, sender);
    return dialog.ShowModal() == wxID_OK;
}

} // namespace pq
