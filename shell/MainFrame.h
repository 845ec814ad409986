#pragma once

#include "app/ApplicationCommands.h"
#include "app/CommandTargetChain.h"
#include "app/LibraryCommands.h"
#include "app/ColorButtonFace.h"
#include "app/CommandLayout.h"
#include "app/CommandRouter.h"
#include "app/DocumentCommands.h"
#include "app/FrameCommands.h"
#include "app/PropertySheetCommands.h"
#include "app/PropertySheetState.h"
#include "app/SendCommands.h"
#include "app/ShellServices.h"
#include "app/ViewCommandTarget.h"
#include "document/DocumentHost.h"
#include "document/PqxDoc.h"
#include "model/Drawing.h"
#include "platform/ChildProcess.h"
#include "shell/Canvas.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace pq {

class CButtonBar;
class CEditorUnattendedExport;
struct CStartupRequest;
class IUnattendedExportHost;
class CEditorStatusBar;
class CPqxView;
class IDrawingFileOps;
class IPreferenceStore;

// The editor's exit status: non-zero once something a settings file asked for was not done, so that
// whoever started the editor for an unattended export can tell.
void SetEditorExitStatus(int status);
[[nodiscard]] int EditorExitStatus();

// The editor's one top-level window: the menu bar, the command bar with the tool buttons, the canvas
// that shows the view, and the three bottom bars of which one shows. It owns the document and the view
// and routes every command through the routing table: view, document, frame, application.
class CMainFrame : public wxFrame,
                   public ICanvasOwner,
                   public IFrameBars,
                   public IPageNavigation,
                   public IDocumentHost,
                   public IShellServices,
                   public IPropertySheetDialog,
                   public ISendShell {
public:
    CMainFrame(IPreferenceStore* preferences, IDrawingFileOps* fileOps, std::string resourceFolder);
    ~CMainFrame() override;

    // Starts with a new document, or with the file when one is given (an unreadable file leaves a new
    // document after its message).
    void StartDocument(const std::string& path);

    [[nodiscard]] CCommandRouter& GetRouter() { return router; }

    // What the start-up found in the settings file: in settings-file mode Export Bitmap runs the
    // unattended export instead of its dialog.
    void SetStartupRequest(const CStartupRequest& request);

    // ICanvasOwner
    void RouteCommand(int id) override;
    void OnPageIndicator(int currentPage, int pageCount) override;
    void OnToolButtonState(int id, bool checked) override;
    [[nodiscard]] std::optional<wxRect> FindButtonScreenRect(int id) const override;
    void OnPointerMoved(std::optional<CPoint> point) override;
    void OnMappingChanged() override;

    // IFrameBars
    void ShowBottomBar(int bar, bool visible) override;
    void SetPageIndicatorText(const std::string& text) override;

    // IPageNavigation
    [[nodiscard]] int GetPageCount() const override;
    [[nodiscard]] int GetShownPage() const override { return GetCurrentPage(); }
    void ShowPage(int pageIndex) override { SetCurrentPage(pageIndex); }
    [[nodiscard]] std::optional<std::string> AskPageNumber(const std::string& prompt,
                                                           const std::string& initial) override;
    void ShowPageMessage(std::string_view text) override { ShowMessage(text); }

    // IDocumentHost
    void ShowMessage(std::string_view text) override;
    [[nodiscard]] HostAnswer AskYesNoCancel(std::string_view question) override;
    [[nodiscard]] bool HasActiveView() const override { return view != nullptr; }
    void ResetViewForNewDocument() override;
    [[nodiscard]] int GetCurrentPage() const override;
    void SetCurrentPage(int page) override;
    bool RunFileNew() override;
    bool RunSaveAs() override;
    void PostViewCommand(int id) override;

    // IShellServices
    [[nodiscard]] std::optional<std::string> AskOpenPath(std::string_view title,
                                                         std::string_view filter) override;
    [[nodiscard]] std::optional<std::string> AskSavePath(std::string_view title, std::string_view filter,
                                                         std::string_view initialName,
                                                         int& filterIndex) override;
    void ShowAbout() override;
    bool ShowHelp() override;
    void CloseMainWindow() override;
    void OnDocumentReplaced() override;
    [[nodiscard]] std::optional<std::string> ChooseTemplate(const std::string& folder) override;
    bool ShowSettingsSheet() override;

    // IPropertySheetDialog (ShowMessage is shared with IDocumentHost)
    bool RunPropertySheet(CModalPropSheet& sheet) override;

    // ISendShell (ShowMessage is shared with IDocumentHost)
    bool RunSendSheet(CSendSheet& sheet) override;
    FtpUploadOutcome RunUploadDialog(const CFtpUploadRequest& request) override;
    void WatchMailProgram() override;

private:
    void BuildMenuBar();
    void BuildBars();
    void OnMenu(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnMenuClose(wxMenuEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnColorDropDown();
    // Brings menu items and buttons in line with the routing table's enable and check rules.
    void UpdateCommandStates();
    // The Color buttons show the new-object style's line and fill, and are checked while the eyedropper
    // picks.
    void UpdateColorButtons();
    void UpdateTitle();
    // The view's preferences go into the store, which saves them when some value changed.
    void SavePreferences();
    // The folder file dialogs open in, and remembering the folder of a chosen file.
    [[nodiscard]] std::string DialogFolder() const;
    void RememberFolder(const std::string& chosenPath);
    void OnHelpTimer(wxTimerEvent& event);
    void OnMailTimer(wxTimerEvent& event);

    std::string resourceFolder;
    IPreferenceStore* preferences = nullptr;
    CDrawing clipboard; // the application's private clipboard
    CPqxDoc document;
    std::unique_ptr<CPqxView> view;
    CCanvas* canvas = nullptr;
    CButtonBar* commandBar = nullptr;
    CButtonBar* bottomBars[3] = {};
    CEditorStatusBar* statusBar = nullptr;

    CCommandRouter router;
    std::unique_ptr<CViewCommandTarget> viewTarget;
    CDocumentCommands documentCommands;
    CFrameCommands frameCommands;
    CApplicationCommands applicationCommands;
    // The object property sheet: what it keeps for the run, and its commands at the view's level.
    CPropertySheetState propertySheetState;
    std::unique_ptr<CPropertySheetCommands> propertySheetCommands;
    // The clip-art library's commands and dialogs, asked after the property sheet's at the view's level.
    std::unique_ptr<ILibraryDialogs> libraryDialogs;
    std::unique_ptr<CLibraryCommands> libraryCommands;
    CCommandTargetChain viewDialogCommands;

    std::map<int, CCommandState> shownStates;
    // The menu bar's pop-ups with their entries: each is greyed when all its commands are.
    std::vector<std::pair<wxMenuItem*, std::vector<CMenuEntry>>> popupItems;
    std::optional<CColorButtonFace> shownFace;
    // The help viewer started last, watched until it ends so that a failure is reported.
    CChildProcess helpViewer;
    wxTimer helpTimer;
    std::string shownTitle;
    // File > Send, and the mail program it started, watched until it ends so that a failure is reported.
    std::unique_ptr<CSendCommands> sendCommands;
    wxTimer mailTimer;
    // The settings file's export, with the window's side of it.
    std::unique_ptr<CEditorUnattendedExport> unattendedExport;
    std::unique_ptr<IUnattendedExportHost> unattendedHost;
    // A key press is on its way to the focused text field.
    bool textFieldKey = false;
    // Menus open now (a sub-menu counts again): while one is open, keys are its own.
    int openMenus = 0;
};

} // namespace pq
