#include "shell/MainFrame.h"

#include "Version.h"
#include "app/CommandIds.h"
#include "app/CommandLayout.h"
#include "app/DialogFolder.h"
#include "app/EditorUnattendedExport.h"
#include "app/FileDialogFilters.h"
#include "app/HelpLocation.h"
#include "document/PreferenceStore.h"
#include "shell/PopupMenus.h"
#include "app/SettingsSheet.h"
#include "app/TemplateList.h"
#include "shell/FtpUploadDialog.h"
#include "shell/ModalSendSheet.h"
#include "shell/ModalSettingsSheet.h"
#include "shell/TemplateDialog.h"
#include "app/ClipArtLibrary.h"
#include "shell/LibraryDialogs.h"
#include "platform/DataPaths.h"
#include "shell/PropertySheetDialog.h"
#include "shell/StatusBar.h"
#include "shell/WxIds.h"
#include "ui/view/PqxView.h"

#include <wx/aboutdlg.h>
#include <wx/textdlg.h>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace pq {

namespace {

constexpr const char* kProductName = "Pentaquill Draw";
constexpr int kPageIndicatorWidth = 50;
// The Color button's face: two swatches in a picture the size of the other buttons' icons.
constexpr int kColorFaceWidth = 22;
constexpr int kColorFaceHeight = 20;
// How often a running help viewer is asked whether it has ended.
constexpr int kHelpPollMilliseconds = 250;
// How often the mail program started by File > Send > E-mail... is asked whether it has ended.
constexpr int kMailPollMilliseconds = 250;

wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

wxBitmap ColorFaceBitmap(const CColorButtonFace& face) {
    const std::vector<uint32_t> pixels = DrawColorButtonFace(face, kColorFaceWidth, kColorFaceHeight);
    wxImage image(kColorFaceWidth, kColorFaceHeight);
    image.InitAlpha();
    for (int y = 0; y < kColorFaceHeight; ++y) {
        for (int x = 0; x < kColorFaceWidth; ++x) {
            const uint32_t argb = pixels[static_cast<std::size_t>(y) * kColorFaceWidth + x];
            image.SetRGB(x, y, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
            image.SetAlpha(x, y, (argb >> 24) & 0xFF);
        }
    }
    return wxBitmap(image);
}

int editorExitStatus = 0;

} // namespace

void SetEditorExitStatus(int status) {
    editorExitStatus = status;
}

int EditorExitStatus() {
    return editorExitStatus;
}

// A row of flat buttons: the command bar at the top and the three bottom bars. Tool buttons are toggle
// buttons so the current tool shows pressed; the Color button has a drop-down arrow beside it; the pages
// bar holds the page indicator.
class CButtonBar : public wxPanel {
public:
    CButtonBar(wxWindow* parent, const std::vector<CToolButton>& layout, const std::string& iconFolder,
               bool showLabels, std::function<void(int)> onCommand, std::function<void()> onDropDown)
        : wxPanel(parent, wxID_ANY) {
        auto* sizer = new wxBoxSizer(wxHORIZONTAL);
        for (const CToolButton& button : layout) {
            if (button.IsSeparator()) {
                sizer->AddSpacer(FromDIP(6));
                sizer->Add(new wxStaticLine(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLI_VERTICAL),
                           0, wxEXPAND | wxTOP | wxBOTTOM, FromDIP(4));
                sizer->AddSpacer(FromDIP(6));
                continue;
            }
            if (button.id == cmd::kPageIndicator) {
                pageIndicator = new wxStaticText(this, wxID_ANY, "1/1", wxDefaultPosition,
                                                 wxSize(FromDIP(kPageIndicatorWidth), -1),
                                                 wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
                sizer->Add(pageIndicator, 0, wxALIGN_CENTER_VERTICAL);
                continue;
            }
            const wxString label =
                FromUtf8(CommandText(button.id).empty() ? button.tooltip : CommandText(button.id));
            const wxBitmapBundle icon = LoadIcon(iconFolder, button.id);
            const long style = wxBORDER_NONE | wxBU_EXACTFIT;
            // Bottom-bar buttons show their picture alone when they have one; the command bar names its
            // four tools beside their pictures.
            const wxString shownLabel = icon.IsOk() && !showLabels ? wxString() : label;
            wxAnyButton* control = nullptr;
            if (button.toggle) {
                auto* toggle = new wxToggleButton(this, ToWxId(button.id), shownLabel, wxDefaultPosition,
                                                  wxDefaultSize, style);
                toggle->Bind(wxEVT_TOGGLEBUTTON,
                             [onCommand, id = button.id](wxCommandEvent&) { onCommand(id); });
                control = toggle;
            } else {
                auto* plain = new wxButton(this, ToWxId(button.id), shownLabel, wxDefaultPosition,
                                           wxDefaultSize, style);
                plain->Bind(wxEVT_BUTTON, [onCommand, id = button.id](wxCommandEvent&) { onCommand(id); });
                control = plain;
            }
            if (icon.IsOk()) {
                control->SetBitmap(icon);
                if (!shownLabel.empty())
                    control->SetBitmapMargins(FromDIP(4), 0);
            }
            control->SetToolTip(FromUtf8(button.tooltip));
            buttons[button.id] = control;
            sizer->Add(control, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, FromDIP(3));
            if (button.dropDown) {
                auto* arrow = new wxButton(this, wxID_ANY, wxString::FromUTF8("\u25BE"), wxDefaultPosition,
                                           wxSize(FromDIP(18), -1), style);
                arrow->SetToolTip(FromUtf8(button.tooltip));
                arrow->Bind(wxEVT_BUTTON, [onDropDown](wxCommandEvent&) { onDropDown(); });
                sizer->Add(arrow, 0, wxALIGN_CENTER_VERTICAL);
            }
        }
        auto* outer = new wxBoxSizer(wxVERTICAL);
        outer->Add(sizer, 0, wxALL, FromDIP(2));
        SetSizer(outer);
    }

    void Apply(int id, const CCommandState& state) {
        const auto found = buttons.find(id);
        if (found == buttons.end())
            return;
        found->second->Enable(state.enabled);
        if (auto* toggle = dynamic_cast<wxToggleButton*>(found->second))
            toggle->SetValue(state.checked);
    }

    void SetFace(int id, const wxBitmap& face) {
        if (const auto found = buttons.find(id); found != buttons.end())
            found->second->SetBitmap(face);
    }

    [[nodiscard]] std::optional<wxRect> ButtonScreenRect(int id) const {
        const auto found = buttons.find(id);
        if (found == buttons.end() || !IsShownOnScreen())
            return std::nullopt;
        return found->second->GetScreenRect();
    }

    [[nodiscard]] std::vector<int> ButtonIds() const {
        std::vector<int> ids;
        for (const auto& [id, control] : buttons)
            ids.push_back(id);
        return ids;
    }

    wxStaticText* pageIndicator = nullptr;

private:
    static wxBitmapBundle LoadIcon(const std::string& iconFolder, int id) {
        if (iconFolder.empty())
            return {};
        const wxString path = FromUtf8(iconFolder) + wxString::Format("/%d.svg", id);
        if (!wxFileExists(path))
            return {};
        return wxBitmapBundle::FromSVGFile(path, wxSize(20, 20));
    }

    std::map<int, wxAnyButton*> buttons;
};

CMainFrame::CMainFrame(IPreferenceStore* preferenceStore, IDrawingFileOps* fileOps, std::string resources)
    : wxFrame(nullptr, wxID_ANY, kProductName, wxDefaultPosition, wxSize(1000, 720)),
      resourceFolder(std::move(resources)), preferences(preferenceStore), document(this, preferenceStore, fileOps),
      documentCommands(document, *this), frameCommands(this), applicationCommands(document, *this),
      propertySheetState(preferenceStore, CustomPalettePath(DataFolder())) {
    const std::string appIcon = resourceFolder + "/icons/pentaquill-draw.svg";
    if (!resourceFolder.empty() && wxFileExists(FromUtf8(appIcon)))
        SetIcons(wxIconBundle(
            wxBitmapBundle::FromSVGFile(FromUtf8(appIcon), wxSize(48, 48)).GetIcon(wxSize(48, 48))));

    BuildMenuBar();
    BuildBars();

    view = std::make_unique<CPqxView>(canvas, preferences);
    view->SetDocument(&document);
    viewTarget = std::make_unique<CViewCommandTarget>(*view);
    documentCommands.SetExportSettings(view.get());
    view->SetClipboard(&clipboard);
    documentCommands.SetImportTarget(view.get());
    propertySheetCommands = std::make_unique<CPropertySheetCommands>(*view, propertySheetState, this);
    libraryDialogs = std::make_unique<CLibraryDialogRunner>(this);
    libraryCommands = std::make_unique<CLibraryCommands>(*view, CClipArtLibrary::RootIn(DataFolder()), preferences,
                                                         libraryDialogs.get());
    viewDialogCommands.Add(propertySheetCommands.get());
    viewDialogCommands.Add(libraryCommands.get());
    viewTarget->SetDialogCommands(&viewDialogCommands);
    view->SetPropertySheetOpener(propertySheetCommands.get());
    router.SetTarget(RouteLevel::View, viewTarget.get());
    router.SetTarget(RouteLevel::Document, &documentCommands);
    router.SetTarget(RouteLevel::Frame, &frameCommands);
    router.SetTarget(RouteLevel::Application, &applicationCommands);
    frameCommands.SetPageNavigation(this);
    canvas->SetView(view.get());
    helpTimer.SetOwner(this);
    Bind(wxEVT_TIMER, &CMainFrame::OnHelpTimer, this, helpTimer.GetId());
    sendCommands = std::make_unique<CSendCommands>(
        [this] { return document.GetPathName(); }, [this](const std::string& path) { return document.SaveCopy(path); },
        preferences, DataFolder(), *this);
    documentCommands.SetSendCommands(sendCommands.get());
    mailTimer.SetOwner(this);
    Bind(wxEVT_TIMER, &CMainFrame::OnMailTimer, this, mailTimer.GetId());
    statusBar = new CEditorStatusBar(this);
    SetStatusBar(statusBar);
    statusBar->SetView(view.get());

    Bind(wxEVT_CHAR_HOOK, &CMainFrame::OnCharHook, this);
    Bind(wxEVT_MENU, &CMainFrame::OnMenu, this);
    Bind(wxEVT_MENU_OPEN, &CMainFrame::OnMenuOpen, this);
    Bind(wxEVT_MENU_CLOSE, &CMainFrame::OnMenuClose, this);
    Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    helpTimer.Stop();
    mailTimer.Stop();
    documentCommands.SetSendCommands(nullptr);
    documentCommands.SetUnattendedExport(nullptr, nullptr);
    frameCommands.SetPageNavigation(nullptr);
    // The view writes its preferences as it goes; the canvas must not reach it afterwards.
    router.SetTarget(RouteLevel::View, nullptr);
    documentCommands.SetExportSettings(nullptr);
    documentCommands.SetImportTarget(nullptr);
    if (canvas != nullptr)
        canvas->SetView(nullptr);
    view->SetPropertySheetOpener(nullptr);
    if (statusBar != nullptr)
        statusBar->SetView(nullptr);
    // The view hands its preferences to the store as it goes; the store saves them once.
    view.reset();
    if (preferences != nullptr)
        preferences->Flush();
}

void CMainFrame::BuildMenuBar() {
    auto* bar = new wxMenuBar;
    std::function<void(wxMenu*, const std::vector<CMenuEntry>&)> fill =
        [&](wxMenu* menu, const std::vector<CMenuEntry>& items) {
            for (const CMenuEntry& item : items) {
                switch (item.kind) {
                case CMenuEntry::Kind::Separator:
                    menu->AppendSeparator();
                    break;
                case CMenuEntry::Kind::Popup: {
                    auto* sub = new wxMenu;
                    fill(sub, item.items);
                    wxMenuItem* added =
                        menu->AppendSubMenu(sub, FromUtf8(MnemonicLabel(item.text, item.mnemonic)));
                    popupItems.emplace_back(added, item.items);
                    break;
                }
                case CMenuEntry::Kind::Command: {
                    wxString text = FromUtf8(MnemonicLabel(item.text, item.mnemonic));
                    if (const std::string accelerator = AcceleratorText(item.id); !accelerator.empty())
                        text += "\t" + FromUtf8(accelerator);
                    const wxItemKind kind = item.check == CMenuEntry::Check::Radio  ? wxITEM_RADIO
                                            : item.check == CMenuEntry::Check::Mark ? wxITEM_CHECK
                                                                                    : wxITEM_NORMAL;
                    menu->Append(ToWxId(item.id), text, wxString(), kind);
                    break;
                }
                }
            }
        };
    for (const CMenu& menu : MainMenuBar()) {
        auto* pulldown = new wxMenu;
        fill(pulldown, menu.items);
        bar->Append(pulldown, FromUtf8(MnemonicLabel(menu.title, menu.mnemonic)));
    }
    SetMenuBar(bar);
}

void CMainFrame::BuildBars() {
    auto* panel = this;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const std::string iconFolder = resourceFolder.empty() ? std::string() : resourceFolder + "/icons/toolbar";
    auto route = [this](int id) { RouteCommand(id); };
    auto colorDropDown = [this] { OnColorDropDown(); };

    commandBar = new CButtonBar(panel, CommandBarButtons(), iconFolder, true, route, colorDropDown);
    sizer->Add(commandBar, 0, wxEXPAND);
    sizer->Add(new wxStaticLine(panel), 0, wxEXPAND);
    canvas = new CCanvas(panel, *this);
    sizer->Add(canvas, 1, wxEXPAND);
    for (int bar = 1; bar <= 3; ++bar) {
        bottomBars[bar - 1] =
            new CButtonBar(panel, BottomBarButtons(bar), iconFolder, false, route, colorDropDown);
        sizer->Add(bottomBars[bar - 1], 0, wxEXPAND);
    }
    SetSizer(sizer);
    ShowBottomBar(frameCommands.GetCurrentBar(), frameCommands.IsToolbarVisible());
}

void CMainFrame::StartDocument(const std::string& path) {
    if (!path.empty() && applicationCommands.OpenDocumentFile(path))
        return;
    applicationCommands.FileNew();
}

void CMainFrame::RouteCommand(int id) {
    router.Execute(id);
    SavePreferences();
    UpdateCommandStates();
}

void CMainFrame::SavePreferences() {
    if (preferences == nullptr)
        return;
    if (view)
        view->StorePreferences();
    preferences->Flush();
}

void CMainFrame::OnMenu(wxCommandEvent& event) {
    // A key the focused text field left unused may still match a menu item's shortcut; it is not a
    // command then.
    if (textFieldKey)
        return;
    if (const int id = FromWxId(event.GetId()); id != 0)
        RouteCommand(id);
    else
        event.Skip();
}

// Keys reach the commands from anywhere in the window, before any child sees them, except while a text
// field has the focus: then they are the field's.
void CMainFrame::OnCharHook(wxKeyEvent& event) {
    wxWindow* focus = wxWindow::FindFocus();
    const bool inTextField = focus != nullptr && dynamic_cast<wxTextEntry*>(focus) != nullptr;
    // An open menu takes its own keys: Escape closes it and the arrows move through it.
    if (openMenus > 0 || inTextField || (focus != nullptr && wxGetTopLevelParent(focus) != this) ||
        event.AltDown()) {
        if (inTextField) {
            textFieldKey = true;
            CallAfter([this] { textFieldKey = false; });
        }
        event.Skip();
        return;
    }
    using Key = CAccelerator::Key;
    Key key = Key::Letter;
    char letter = 0;
    switch (event.GetKeyCode()) {
    case WXK_LEFT:
        key = Key::Left;
        break;
    case WXK_RIGHT:
        key = Key::Right;
        break;
    case WXK_UP:
        key = Key::Up;
        break;
    case WXK_DOWN:
        key = Key::Down;
        break;
    case WXK_DELETE:
        key = Key::Delete;
        break;
    case WXK_ESCAPE:
        key = Key::Escape;
        break;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
        key = Key::PageUp;
        break;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
        key = Key::PageDown;
        break;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        key = Key::Home;
        break;
    case WXK_END:
    case WXK_NUMPAD_END:
        key = Key::End;
        break;
    case WXK_F1:
        key = Key::F1;
        break;
    case '+':
    case '=': // "+" is Shift+= on many keyboards; Ctrl+= zooms in as it does in browsers
    case WXK_ADD:
    case WXK_NUMPAD_ADD:
        key = Key::Plus;
        break;
    case '-':
    case WXK_SUBTRACT:
    case WXK_NUMPAD_SUBTRACT:
        key = Key::Minus;
        break;
    default:
        if (event.GetKeyCode() >= 'A' && event.GetKeyCode() <= 'Z') {
            letter = static_cast<char>(event.GetKeyCode());
        } else if (event.GetKeyCode() >= '0' && event.GetKeyCode() <= '9') {
            key = Key::Digit;
            letter = static_cast<char>(event.GetKeyCode());
        } else if (event.GetKeyCode() >= WXK_NUMPAD0 && event.GetKeyCode() <= WXK_NUMPAD9) {
            key = Key::Digit;
            letter = static_cast<char>('0' + (event.GetKeyCode() - WXK_NUMPAD0));
        }
        break;
    }
    // A digit typed with Shift is another character on most keyboards, not the digit.
    if (key == Key::Digit && event.ShiftDown()) {
        event.Skip();
        return;
    }
    const int id = AcceleratorCommand(key, letter, event.ControlDown(), event.ShiftDown());
    if (id == 0) {
        event.Skip();
        return;
    }
    RouteCommand(id);
}

void CMainFrame::OnMenuOpen(wxMenuEvent& event) {
    ++openMenus;
    UpdateCommandStates();
    event.Skip();
}

void CMainFrame::OnMenuClose(wxMenuEvent& event) {
    openMenus = std::max(0, openMenus - 1);
    event.Skip();
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
    UpdateCommandStates();
    if (statusBar != nullptr)
        statusBar->ShowViewState();
    event.Skip();
}

void CMainFrame::UpdateCommandStates() {
    wxMenuBar* bar = GetMenuBar();
    auto apply = [&](int id) {
        const CCommandState state = router.Update(id);
        const auto shown = shownStates.find(id);
        if (shown != shownStates.end() && shown->second == state)
            return;
        shownStates[id] = state;
        if (bar != nullptr) {
            if (wxMenuItem* item = bar->FindItem(ToWxId(id))) {
                item->Enable(state.enabled);
                if (item->IsCheckable() && state.checked != item->IsChecked())
                    item->Check(state.checked);
            }
        }
        commandBar->Apply(id, state);
        for (CButtonBar* bottom : bottomBars)
            bottom->Apply(id, state);
    };
    for (int id : AllCommands())
        apply(id);
    for (const auto& [item, entries] : popupItems) {
        const bool enabled = AnyCommandEnabled(entries, [this](int id) { return shownStates[id].enabled; });
        if (item->IsEnabled() != enabled)
            item->Enable(enabled);
    }
    UpdateColorButtons();
    UpdateTitle();
}

void CMainFrame::UpdateColorButtons() {
    if (!view)
        return;
    CCommandState state = router.Update(cmd::kColor);
    state.checked = view->GetColorPickMode() != 0;
    commandBar->Apply(cmd::kColor, state);
    for (CButtonBar* bottom : bottomBars)
        bottom->Apply(cmd::kColor, state);
    const CColorButtonFace face = ColorButtonFaceOf(view->GetNewObjectStyle());
    if (shownFace == face)
        return;
    shownFace = face;
    const wxBitmap bitmap = ColorFaceBitmap(face);
    for (CButtonBar* bottom : bottomBars)
        bottom->SetFace(cmd::kColor, bitmap);
}

void CMainFrame::UpdateTitle() {
    std::string title = document.GetTitle() + (document.IsModified() ? " *" : "") + " - " + kProductName;
    if (title == shownTitle)
        return;
    shownTitle = title;
    SetTitle(FromUtf8(title));
}

void CMainFrame::OnColorDropDown() {
    std::vector<CMenuItem> items;
    for (const CMenuEntry& entry : ColorMenu()) {
        if (entry.kind == CMenuEntry::Kind::Separator) {
            items.push_back({});
            continue;
        }
        const CCommandState state = router.Update(entry.id);
        items.push_back({entry.id, entry.text, state.enabled, state.checked});
    }
    wxMenu menu;
    AppendPopupItems(menu, items);
    // Above the Color button of whichever bar shows it, its last item just over the button.
    const std::optional<wxRect> button = FindButtonScreenRect(cmd::kColor);
    wxPoint at = ScreenToClient(wxGetMousePosition());
    if (button) {
        int commands = 0;
        int separators = 0;
        for (const CMenuItem& item : items)
            ++(item.id == 0 ? separators : commands);
        const wxRect client(ScreenToClient(button->GetTopLeft()), button->GetSize());
        at = PopupPositionAboveButton(*this, client, PopupMenuHeight(menu, commands, separators));
    }
    PopupMenu(&menu, at);
}

void CMainFrame::OnPageIndicator(int currentPage, int pageCount) {
    frameCommands.RefreshPageIndicator(currentPage, pageCount);
}

void CMainFrame::OnToolButtonState(int id, bool checked) {
    CCommandState state = router.Update(id);
    state.checked = checked;
    commandBar->Apply(id, state);
    for (CButtonBar* bottom : bottomBars)
        bottom->Apply(id, state);
}

void CMainFrame::OnPointerMoved(std::optional<CPoint> point) {
    if (statusBar != nullptr)
        statusBar->OnPointer(point);
}

void CMainFrame::OnMappingChanged() {
    if (statusBar != nullptr)
        statusBar->ShowViewState();
}

std::optional<wxRect> CMainFrame::FindButtonScreenRect(int id) const {
    if (auto rect = commandBar->ButtonScreenRect(id))
        return rect;
    for (const CButtonBar* bottom : bottomBars) {
        if (auto rect = bottom->ButtonScreenRect(id))
            return rect;
    }
    return std::nullopt;
}

void CMainFrame::ShowBottomBar(int bar, bool visible) {
    for (int i = 0; i < 3; ++i)
        bottomBars[i]->Show(visible && bar == i + 1);
    Layout();
}

void CMainFrame::SetPageIndicatorText(const std::string& text) {
    if (wxStaticText* indicator = bottomBars[2]->pageIndicator)
        indicator->SetLabel(FromUtf8(text));
}

void CMainFrame::ShowMessage(std::string_view text) {
    wxMessageBox(FromUtf8(text), kProductName, wxOK, this);
}

HostAnswer CMainFrame::AskYesNoCancel(std::string_view question) {
    switch (wxMessageBox(FromUtf8(question), kProductName, wxYES_NO | wxCANCEL | wxICON_QUESTION, this)) {
    case wxYES:
        return HostAnswer::Yes;
    case wxNO:
        return HostAnswer::No;
    default:
        return HostAnswer::Cancel;
    }
}

void CMainFrame::ResetViewForNewDocument() {
    if (view)
        view->ResetForNewDocument();
}

int CMainFrame::GetCurrentPage() const {
    return view ? view->GetCurrentPage() : 0;
}

void CMainFrame::SetCurrentPage(int page) {
    if (view)
        view->SetCurrentPage(page);
}

bool CMainFrame::RunFileNew() {
    return applicationCommands.FileNew();
}

bool CMainFrame::RunSaveAs() {
    return documentCommands.SaveAs();
}

std::string CMainFrame::DialogFolder() const {
    std::string documentPath = document.GetPathName();
    if (!documentPath.empty()) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(documentPath, error);
        if (!error)
            documentPath = absolute.string();
    }
    const std::string last =
        preferences != nullptr ? preferences->ReadString(kLastFolderName, "") : std::string();
    return ChooseDialogFolder(documentPath, last, [](const std::string& folder) {
        std::error_code error;
        return std::filesystem::is_directory(folder, error);
    });
}

void CMainFrame::RememberFolder(const std::string& chosenPath) {
    const std::string folder = FolderOfPath(chosenPath);
    if (preferences == nullptr || folder.empty())
        return;
    preferences->WriteString(kLastFolderName, folder);
    preferences->Flush();
}

void CMainFrame::PostViewCommand(int id) {
    CallAfter([this, id] { RouteCommand(id); });
}

std::optional<std::string> CMainFrame::ChooseTemplate(const std::string& folder) {
    CTemplateList templates(folder, preferences);
    CTemplateDialog dialog(this, templates);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return dialog.GetChosenPath();
}

bool CMainFrame::ShowSettingsSheet() {
    CSettingsSheet sheet(view.get(), preferences);
    CModalSettingsSheet dialog(this, sheet);
    const bool accepted = dialog.ShowModal() == wxID_OK;
    // The unit may have changed even when the sheet was cancelled; the page may have a new size.
    canvas->Invalidate();
    UpdateCommandStates();
    return accepted;
}

std::optional<std::string> CMainFrame::AskOpenPath(std::string_view title, std::string_view filter) {
    wxFileDialog dialog(this, FromUtf8(title), FromUtf8(DialogFolder()), wxString(),
                        FromUtf8(ToolkitFilter(filter)), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    const std::string path = ToUtf8(dialog.GetPath());
    RememberFolder(path);
    return path;
}

std::optional<std::string> CMainFrame::AskSavePath(std::string_view title, std::string_view filter,
                                                   std::string_view initialName, int& filterIndex) {
    wxFileDialog dialog(this, FromUtf8(title), FromUtf8(DialogFolder()), FromUtf8(initialName),
                        FromUtf8(ToolkitFilter(filter)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(filterIndex);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    filterIndex = dialog.GetFilterIndex();
    const std::string path = ToUtf8(dialog.GetPath());
    RememberFolder(path);
    return path;
}

int CMainFrame::GetPageCount() const {
    return document.GetDrawing().PageCount();
}

std::optional<std::string> CMainFrame::AskPageNumber(const std::string& prompt, const std::string& initial) {
    wxTextEntryDialog dialog(this, FromUtf8(prompt), "Go to page", FromUtf8(initial));
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return ToUtf8(dialog.GetValue());
}

void CMainFrame::ShowAbout() {
    wxAboutDialogInfo info;
    info.SetName(kProductName);
    info.SetVersion(kVersion);
    info.SetDescription("A multi-page vector drawing editor: lines, curves, shapes, text and pictures on "
                        "pages that share one paper size, saved as PDF and exchanged as AI, DXF, EMF, WMF "
                        "and HPGL files.");
    const std::string appIcon = resourceFolder + "/icons/pentaquill-draw.svg";
    if (!resourceFolder.empty() && wxFileExists(FromUtf8(appIcon)))
        info.SetIcon(wxBitmapBundle::FromSVGFile(FromUtf8(appIcon), wxSize(64, 64)).GetIcon(wxSize(64, 64)));
    wxAboutBox(info, this);
}

bool CMainFrame::ShowHelp() {
    const std::string index = HelpIndexPath(resourceFolder);
    if (index.empty() || !wxFileExists(FromUtf8(index))) {
        ShowMessage(HelpMissingMessage());
        return false;
    }
    // The viewer runs beside the editor; whether it found a browser is known only when it ends, which the
    // timer watches for without holding up the window.
    if (!helpViewer.Start(HelpViewerCommand(index))) {
        ShowMessage(NoBrowserMessage(HelpFolder(resourceFolder)));
        return false;
    }
    helpTimer.Start(kHelpPollMilliseconds);
    return true;
}

void CMainFrame::OnHelpTimer(wxTimerEvent& /*event*/) {
    const CChildProcess::State state = helpViewer.Poll();
    if (state == CChildProcess::State::Running)
        return;
    helpTimer.Stop();
    if (state == CChildProcess::State::Failed)
        ShowMessage(NoBrowserMessage(HelpFolder(resourceFolder)));
}

// The window's side of the settings file's export: questions and reports in message boxes, the upload in
// its dialog (closing by itself when it succeeds, since the editor closes next anyway; a failure stays
// shown with Retry), and the close posted so that the command ends first.
class CFrameUnattendedHost : public IUnattendedExportHost {
public:
    explicit CFrameUnattendedHost(CMainFrame& owner) : frame(owner) {}

    int GetExportPage() const override { return frame.GetCurrentPage(); }
    bool AskYesNo(std::string_view question) override {
        return wxMessageBox(FromUtf8(question), kProductName, wxYES_NO | wxICON_QUESTION, &frame) == wxYES;
    }
    FtpUploadOutcome RunUploadDialog(const CFtpUploadRequest& request) override {
        CFtpUploadDialog dialog(&frame, request, true);
        dialog.ShowModal();
        return dialog.GetOutcome();
    }
    void ReportFailures(const std::vector<std::string>& failures) override {
        SetEditorExitStatus(1);
        std::string text = "The export of the settings file was not completed:";
        for (const std::string& failure : failures) {
            std::fprintf(stderr, "pqdraw: %s\n", failure.c_str());
            text += "\n- " + failure;
        }
        frame.ShowMessage(text);
    }
    void CloseMainWindow() override {
        frame.CallAfter([this] { frame.CloseMainWindow(); });
    }

private:
    CMainFrame& frame;
};

void CMainFrame::SetStartupRequest(const CStartupRequest& request) {
    unattendedExport = std::make_unique<CEditorUnattendedExport>(
        request, (std::filesystem::path(DataFolder()) / std::string(kFtpFlagFileName)).string());
    unattendedHost = std::make_unique<CFrameUnattendedHost>(*this);
    documentCommands.SetUnattendedExport(unattendedExport.get(), unattendedHost.get());
}

bool CMainFrame::RunSendSheet(CSendSheet& sheet) {
    CModalSendSheet dialog(this, sheet);
    return dialog.ShowModal() == wxID_OK;
}

FtpUploadOutcome CMainFrame::RunUploadDialog(const CFtpUploadRequest& request) {
    CFtpUploadDialog dialog(this, request);
    dialog.ShowModal();
    return dialog.GetOutcome();
}

void CMainFrame::WatchMailProgram() {
    mailTimer.Start(kMailPollMilliseconds);
}

void CMainFrame::OnMailTimer(wxTimerEvent& /*event*/) {
    if (!sendCommands || !sendCommands->PollMail())
        mailTimer.Stop();
}

void CMainFrame::CloseMainWindow() {
    Close();
}

void CMainFrame::OnDocumentReplaced() {
    if (view) {
        view->OnUpdate();
        frameCommands.RefreshPageIndicator(view->GetCurrentPage(), document.GetDrawing().PageCount());
    }
    canvas->Invalidate();
    UpdateTitle();
    if (statusBar != nullptr)
        statusBar->OnDocumentOpened();
}

bool CMainFrame::RunPropertySheet(CModalPropSheet& sheet) {
    CPropertySheetDialog dialog(this, sheet);
    return dialog.ShowModal() == wxID_OK;
}

void CMainFrame::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && !document.SaveModified()) {
        event.Veto();
        return;
    }
    SavePreferences();
    Destroy();
}

} // namespace pq
