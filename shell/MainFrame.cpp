#include "shell/MainFrame.h"

#include "Version.h"
#include "app/CommandIds.h"
#include "app/CommandLayout.h"
#include "app/FileDialogFilters.h"
#include "app/PopupPlacement.h"
#include "platform/ScreenMetrics.h"
#include "shell/StatusBar.h"
#include "shell/WxIds.h"
#include "ui/view/PqxView.h"

#include <functional>

namespace pq {

namespace {

constexpr const char* kProductName = "Pentaquill Draw";
constexpr int kPageIndicatorWidth = 50;

wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

} // namespace

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

CMainFrame::CMainFrame(IPreferenceStore* preferences, IDrawingFileOps* fileOps, std::string resources)
    : wxFrame(nullptr, wxID_ANY, kProductName, wxDefaultPosition, wxSize(1000, 720)),
      resourceFolder(std::move(resources)), document(this, preferences, fileOps),
      documentCommands(document, *this), frameCommands(this), applicationCommands(document, *this) {
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
    router.SetTarget(RouteLevel::View, viewTarget.get());
    router.SetTarget(RouteLevel::Document, &documentCommands);
    router.SetTarget(RouteLevel::Frame, &frameCommands);
    router.SetTarget(RouteLevel::Application, &applicationCommands);
    canvas->SetView(view.get());
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
    // The view writes its preferences as it goes; the canvas must not reach it afterwards.
    router.SetTarget(RouteLevel::View, nullptr);
    documentCommands.SetExportSettings(nullptr);
    documentCommands.SetImportTarget(nullptr);
    if (canvas != nullptr)
        canvas->SetView(nullptr);
    if (statusBar != nullptr)
        statusBar->SetView(nullptr);
    view.reset();
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
                    menu->AppendSubMenu(sub, FromUtf8(item.text));
                    break;
                }
                case CMenuEntry::Kind::Command: {
                    wxString text = FromUtf8(item.text);
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
        bar->Append(pulldown, FromUtf8(menu.title));
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
    UpdateCommandStates();
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
    default:
        if (event.GetKeyCode() >= 'A' && event.GetKeyCode() <= 'Z')
            letter = static_cast<char>(event.GetKeyCode());
        break;
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
    UpdateTitle();
}

void CMainFrame::UpdateTitle() {
    std::string title = document.GetTitle() + (document.IsModified() ? " *" : "") + " - " + kProductName;
    if (title == shownTitle)
        return;
    shownTitle = title;
    SetTitle(FromUtf8(title));
}

void CMainFrame::OnColorDropDown() {
    const std::vector<CMenuEntry> items = ColorMenu();
    wxMenu menu;
    for (const CMenuEntry& item : items) {
        if (item.kind == CMenuEntry::Kind::Separator) {
            menu.AppendSeparator();
            continue;
        }
        const CCommandState state = router.Update(item.id);
        wxMenuItem* added = menu.Append(ToWxId(item.id), FromUtf8(item.text), wxString(),
                                        item.check == CMenuEntry::Check::None ? wxITEM_NORMAL : wxITEM_CHECK);
        added->Enable(state.enabled);
        if (added->IsCheckable())
            added->Check(state.checked);
    }
    // Above the Color button of whichever bar shows it, its last item just over the button.
    const std::optional<wxRect> button = FindButtonScreenRect(cmd::kColor);
    wxPoint at = ScreenToClient(wxGetMousePosition());
    if (button) {
        const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
        const int fontHeight = PointsToPixels(static_cast<int>(font.GetFractionalPointSize() * 100 + 0.5),
                                              ScreenPixelsPerInch());
        const int height = EstimateMenuHeight(items, PopupItemHeight(fontHeight));
        const wxPoint topLeft = ScreenToClient(button->GetTopLeft());
        const CPoint corner = PopupAboveButton(
            CRect{topLeft.x, topLeft.y, topLeft.x + button->GetWidth(), topLeft.y + button->GetHeight()},
            height);
        at = wxPoint(corner.x, corner.y);
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

std::optional<std::string> CMainFrame::AskOpenPath(std::string_view title, std::string_view filter) {
    wxFileDialog dialog(this, FromUtf8(title), wxString(), wxString(), FromUtf8(ToolkitFilter(filter)),
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return ToUtf8(dialog.GetPath());
}

std::optional<std::string> CMainFrame::AskSavePath(std::string_view title, std::string_view filter,
                                                   std::string_view initialName, int& filterIndex) {
    wxFileDialog dialog(this, FromUtf8(title), wxString(), FromUtf8(initialName),
                        FromUtf8(ToolkitFilter(filter)), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(filterIndex);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    filterIndex = dialog.GetFilterIndex();
    return ToUtf8(dialog.GetPath());
}

void CMainFrame::ShowAbout() {
    wxMessageBox(wxString::Format("%s %s\n\nA multi-page vector drawing editor.", kProductName, kVersion),
                 wxString("About ") + kProductName, wxOK | wxICON_INFORMATION, this);
}

bool CMainFrame::ShowHelp() {
    const std::string help = resourceFolder + "/help/index.html";
    if (resourceFolder.empty() || !wxFileExists(FromUtf8(help))) {
        ShowMessage("The help pages are not installed.");
        return false;
    }
    return wxLaunchDefaultBrowser("file://" + FromUtf8(help));
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

void CMainFrame::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && !document.SaveModified()) {
        event.Veto();
        return;
    }
    Destroy();
}

} // namespace pq
