#pragma once

#include "app/ApplicationCommands.h"
#include "app/CommandRouter.h"
#include "app/DocumentCommands.h"
#include "app/FrameCommands.h"
#include "app/ShellServices.h"
#include "app/ViewCommandTarget.h"
#include "document/DocumentHost.h"
#include "document/PqxDoc.h"
#include "model/Drawing.h"
#include "shell/Canvas.h"

#include <map>
#include <memory>

namespace pq {

class CButtonBar;
class CEditorStatusBar;
class CPqxView;
class IDrawingFileOps;
class IPreferenceStore;

// The editor's one top-level window: the menu bar, the command bar with the tool buttons, the canvas
// that shows the view, and the three bottom bars of which one shows. It owns the document and the view
// and routes every command through the routing table: view, document, frame, application.
class CMainFrame : public wxFrame,
                   public ICanvasOwner,
                   public IFrameBars,
                   public IDocumentHost,
                   public IShellServices {
public:
    CMainFrame(IPreferenceStore* preferences, IDrawingFileOps* fileOps, std::string resourceFolder);
    ~CMainFrame() override;

    // Starts with a new document, or with the file when one is given (an unreadable file leaves a new
    // document after its message).
    void StartDocument(const std::string& path);

    [[nodiscard]] CCommandRouter& GetRouter() { return router; }

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

    // IDocumentHost
    void ShowMessage(std::string_view text) override;
    [[nodiscard]] HostAnswer AskYesNoCancel(std::string_view question) override;
    [[nodiscard]] bool HasActiveView() const override { return view != nullptr; }
    void ResetViewForNewDocument() override;
    [[nodiscard]] int GetCurrentPage() const override;
    void SetCurrentPage(int page) override;
    bool RunFileNew() override;
    bool RunSaveAs() override;

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
    void UpdateTitle();

    std::string resourceFolder;
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

    std::map<int, CCommandState> shownStates;
    std::string shownTitle;
    // A key press is on its way to the focused text field.
    bool textFieldKey = false;
    // Menus open now (a sub-menu counts again): while one is open, keys are its own.
    int openMenus = 0;
};

} // namespace pq
