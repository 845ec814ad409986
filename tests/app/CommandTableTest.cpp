// The whole command table as the editor routes it: every command's text, the menu, pop-up or bar that
// shows it, the target that carries it, and the greying rules menus, pop-ups, buttons and keys share.

#include "app/ApplicationCommands.h"
#include "app/CommandIds.h"
#include "app/CommandLayout.h"
#include "app/CommandRouter.h"
#include "app/DocumentCommands.h"
#include "app/FrameCommands.h"
#include "app/ShellServices.h"
#include "app/ViewCommandTarget.h"

#include "ScriptedShell.h"
#include "ui/EditTestSetup.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>

namespace pq {
namespace {

class CPages : public IPageNavigation {
public:
    explicit CPages(CPqxView& view) : view(view) {}
    int GetPageCount() const override { return view.GetDrawing()->PageCount(); }
    int GetShownPage() const override { return view.GetCurrentPage(); }
    void ShowPage(int page) override { view.SetCurrentPage(page); }
    std::optional<std::string> AskPageNumber(const std::string&, const std::string&) override {
        return answer;
    }
    void ShowPageMessage(std::string_view) override {}
    std::optional<std::string> answer;

private:
    CPqxView& view;
};

// The editor's routing table over a view on a one-page document with three rectangles.
class CommandTableTest : public ::testing::Test {
protected:
    CommandTableTest() {
        for (int i = 0; i < 3; ++i)
            edit.Drawing().Add(test::MakeRect({i * 100.0f, i * 100.0f + 50, 0, 50}));
        edit.Start();
        documentCommands.SetImportTarget(&edit.view);
        documentCommands.SetExportSettings(&edit.view);
        frame.SetPageNavigation(&pages);
        router.SetTarget(RouteLevel::View, &viewTarget);
        router.SetTarget(RouteLevel::Document, &documentCommands);
        router.SetTarget(RouteLevel::Frame, &frame);
        router.SetTarget(RouteLevel::Application, &application);
    }
    ~CommandTableTest() override { documentCommands.SetExportSettings(nullptr); }

    // The first target with a handler, as the router asks them; nothing when none has one.
    std::optional<RouteLevel> HandlerOf(int id) {
        const std::pair<RouteLevel, ICommandTarget*> targets[] = {{RouteLevel::View, &viewTarget},
                                                                  {RouteLevel::Document, &documentCommands},
                                                                  {RouteLevel::Frame, &frame},
                                                                  {RouteLevel::Application, &application}};
        for (const auto& [level, target] : targets) {
            bool enabled = true, checked = false;
            if (target->OnUpdateCommand(id, enabled, checked))
                return level;
        }
        return std::nullopt;
    }
    bool Enabled(int id) const { return router.Update(id).enabled; }
    // Whether the menu bar's pop-up of that title (in the File or Edit menu) is greyed as the frame greys it.
    bool PopupEnabled(std::string_view title) const {
        for (const CMenu& menu : MainMenuBar())
            for (const CMenuEntry& item : menu.items)
                if (item.kind == CMenuEntry::Kind::Popup && item.text == title)
                    return AnyCommandEnabled(item.items, [this](int id) { return Enabled(id); });
        ADD_FAILURE() << "no pop-up " << title;
        return false;
    }

    test::CEditSetup edit;
    test::CScriptedShell shell;
    CViewCommandTarget viewTarget{edit.view};
    CDocumentCommands documentCommands{edit.doc, shell};
    CFrameCommands frame;
    CApplicationCommands application{edit.doc, shell};
    CPages pages{edit.view};
    CCommandRouter router;
};

// Where a command shows: the menu (and pop-up) of the menu bar, or nothing.
std::map<int, std::string> MenuPlaces() {
    std::map<int, std::string> places;
    const auto walk = [&](const auto& self, const std::vector<CMenuEntry>& items,
                          const std::string& where) -> void {
        for (const CMenuEntry& item : items) {
            if (item.kind == CMenuEntry::Kind::Command)
                places[item.id] = where;
            else if (item.kind == CMenuEntry::Kind::Popup)
                self(self, item.items, where + " > " + item.text);
        }
    };
    for (const CMenu& menu : MainMenuBar())
        walk(walk, menu.items, menu.title);
    return places;
}

struct CRow {
    int id;
    const char* text;
    const char* menu; // "" for commands the menu bar does not show
};

TEST(CommandTable, EveryCommandHasItsTextAndItsPlaceInTheMenus) {
    const CRow rows[] = {
        {cmd::kFileNew, "New", "File"},
        {cmd::kFileOpen, "Open...", "File"},
        {cmd::kFileTemplate, "Template...", "File"},
        {cmd::kFileImport, "Import...", "File"},
        {cmd::kFileSave, "Save", "File"},
        {cmd::kFileSaveAs, "Save As...", "File"},
        {cmd::kSendEmail, "E-mail...", "File > Send"},
        {cmd::kSendFtp, "Ftp...", "File > Send"},
        {cmd::kExportBitmap, "Export Bitmap...", "File"},
        {cmd::kHelp, "Help...", "File"},
        {cmd::kAbout, "About...", "File"},
        {cmd::kExit, "E&xit", "File"},
        {cmd::kUndo, "Undo", "Edit"},
        {cmd::kRedo, "Redo", "Edit"},
        {cmd::kCut, "Cut", "Edit"},
        {cmd::kCopy, "Copy", "Edit"},
        {cmd::kPaste, "Paste", "Edit"},
        {cmd::kDelete, "Delete", "Edit"},
        {cmd::kSelectAll, "Select All", "Edit"},
        {cmd::kDuplicate, "Duplicate", "Edit"},
        {cmd::kProperties, "Properties...", "Edit"},
        {cmd::kJoin, "Join", "Edit > Joining"},
        {cmd::kBreakApart, "Break Apart", "Edit > Joining"},
        {cmd::kGroup, "Group", "Edit > Grouping"},
        {cmd::kUngroup, "Ungroup", "Edit > Grouping"},
        {cmd::kBringToFront, "Bring to Front", "Edit > Order"},
        {cmd::kSendToBack, "Send to Back", "Edit > Order"},
        {cmd::kAlignLeft, "Left", "Edit > Align"},
        {cmd::kAlignRight, "Right", "Edit > Align"},
        {cmd::kAlignCenter, "Center", "Edit > Align"},
        {cmd::kAlignTop, "Top", "Edit > Align"},
        {cmd::kAlignMiddle, "Middle", "Edit > Align"},
        {cmd::kAlignBottom, "Bottom", "Edit > Align"},
        {cmd::kToolbar, "Toolbar", "View"},
        {cmd::kDrawingBar, "Drawing", "View"},
        {cmd::kTextBar, "Text", "View"},
        {cmd::kPagesBar, "Pages", "View"},
        {cmd::kGrid, "Grid", "View"},
        {cmd::kScrollBars, "Scrollbars", "View"},
        {cmd::kSmoothEdges, "Smooth Edges", "View"},
        {cmd::kZoomIn, "Zoom In", "View"},
        {cmd::kZoomOut, "Zoom Out", "View"},
        {cmd::kZoomOneToOne, "Zoom 1:1", "View"},
        {cmd::kFitPage, "Fit Page", "View"},
        {cmd::kFitToWindow, "Fit To Window", "View"},
        {cmd::kFitSelection, "Fit Selection", "View"},
        {cmd::kNextPage, "Next Page", "View"},
        {cmd::kPreviousPage, "Previous Page", "View"},
        {cmd::kFirstPage, "First Page", "View"},
        {cmd::kLastPage, "Last Page", "View"},
        {cmd::kGoToPage, "Go to page...", "View"},
        {cmd::kToolFreehand, "Draw", "Tools"},
        {cmd::kToolBezier, "Bezier", "Tools"},
        {cmd::kToolLine, "Line", "Tools"},
        {cmd::kToolRectangle, "Rectangle", "Tools"},
        {cmd::kToolEllipse, "Ellipse", "Tools"},
        {cmd::kToolText, "Text", "Tools"},
        {cmd::kToolSelect, "Select", "Tools"},
        {cmd::kToolNode, "Shape", "Tools"},
        {cmd::kToolPan, "Pan", "Tools"},
        {cmd::kZoomArea, "Zoom Area...", "Tools"},
        {cmd::kLibrary, "Library", "Tools"},
        {cmd::kSendToLibrary, "Send to Library...", "Tools"},
        {cmd::kSettings, "Settings...", "Tools"},
        {cmd::kHelpContents, "Contents", "Help"},
        {cmd::kHelpAbout, "About", "Help"},
        // Buttons and pop-ups only.
        {cmd::kToolZoomMenu, "Zoom", ""},
        {cmd::kAddPage, "Add Page", ""},
        {cmd::kInsertPageBefore, "Insert Page Before", ""},
        {cmd::kInsertPageAfter, "Insert Page After", ""},
        {cmd::kDeletePage, "Delete Page", ""},
        {cmd::kPageMenu, "Add/Remove Page", ""},
        {cmd::kTextBold, "Bold", ""},
        {cmd::kTextItalic, "Italic", ""},
        {cmd::kTextUnderline, "Underline", ""},
        {cmd::kTextAlignLeft, "Align left", ""},
        {cmd::kTextAlignCenter, "Align center", ""},
        {cmd::kTextAlignRight, "Align right", ""},
        {cmd::kTextType, "Text type", ""},
        {cmd::kTextArtistic, "Artistic", ""},
        {cmd::kTextParagraph, "Paragraph", ""},
        {cmd::kColor, "Color", ""},
        {cmd::kNoFill, "No Fill", ""},
        {cmd::kNoLine, "No Line", ""},
        {cmd::kLineFine, "Fine", ""},
        {cmd::kLineNormal, "Normal", ""},
        {cmd::kLineBold, "Bold", ""},
        {cmd::kLineThick, "Thick", ""},
        {cmd::kPickFillColor, "Pick Fill Color...", ""},
        {cmd::kPickLineColor, "Pick Line Color...", ""},
        {cmd::kNodeLine, "Line", "Edit > Node"},
        {cmd::kNodeCusp, "Cusp", "Edit > Node"},
        {cmd::kNodeSmooth, "Smooth", "Edit > Node"},
        {cmd::kNodeSymmetrical, "Symmetrical", "Edit > Node"},
        {cmd::kNodeAdd, "Add Point", "Edit > Node"},
        {cmd::kNodeDelete, "Delete Point", "Edit > Node"},
        {cmd::kNodeSplit, "Split Curve", "Edit > Node"},
        {cmd::kNodeClose, "Close Curve", "Edit > Node"},
    };
    const std::map<int, std::string> places = MenuPlaces();
    const std::set<int> all(AllCommands().begin(), AllCommands().end());
    std::multiset<int> inMenus;
    for (const CMenu& menu : MainMenuBar())
        for (int id : CommandIdsIn(menu.items))
            inMenus.insert(id);
    std::size_t shown = 0;
    for (const CRow& row : rows) {
        EXPECT_EQ(CommandText(row.id), row.text) << row.id;
        EXPECT_TRUE(all.count(row.id)) << row.id;
        const auto place = places.find(row.id);
        EXPECT_EQ(place != places.end() ? place->second : std::string(), row.menu) << row.text;
        // Each command the menu bar shows, it shows once.
        EXPECT_EQ(inMenus.count(row.id), *row.menu != '\0' ? 1u : 0u) << row.text;
        shown += *row.menu != '\0' ? 1 : 0;
    }
    EXPECT_EQ(inMenus.size(), shown); // and it shows no command missing from the rows
    // The colour drop-down, in its order.
    EXPECT_EQ(CommandIdsIn(ColorMenu()),
              (std::vector<int>{cmd::kNoFill, cmd::kNoLine, cmd::kLineFine, cmd::kLineNormal, cmd::kLineBold,
                                cmd::kLineThick, cmd::kPickFillColor, cmd::kPickLineColor}));
}

TEST_F(CommandTableTest, EachCommandIsCarriedByItsTarget) {
    using L = RouteLevel;
    const std::pair<int, L> carried[] = {
        {cmd::kFileNew, L::Application},
        {cmd::kFileOpen, L::Application},
        {cmd::kAbout, L::Application},
        {cmd::kHelp, L::Application},
        {cmd::kExit, L::Application},
        {cmd::kHelpContents, L::Application},
        {cmd::kHelpAbout, L::Application},
        {cmd::kFileSave, L::Document},
        {cmd::kFileSaveAs, L::Document},
        {cmd::kFileImport, L::Document},
        {cmd::kExportBitmap, L::Document},
        {cmd::kToolbar, L::Frame},
        {cmd::kDrawingBar, L::Frame},
        {cmd::kTextBar, L::Frame},
        {cmd::kPagesBar, L::Frame},
        {cmd::kGoToPage, L::Frame},
        {cmd::kUndo, L::View},
        {cmd::kRedo, L::View},
        {cmd::kCut, L::View},
        {cmd::kCopy, L::View},
        {cmd::kPaste, L::View},
        {cmd::kDelete, L::View},
        {cmd::kSelectAll, L::View},
        {cmd::kJoin, L::View},
        {cmd::kBreakApart, L::View},
        {cmd::kGroup, L::View},
        {cmd::kUngroup, L::View},
        {cmd::kBringToFront, L::View},
        {cmd::kSendToBack, L::View},
        {cmd::kAlignLeft, L::View},
        {cmd::kAlignBottom, L::View},
        {cmd::kGrid, L::View},
        {cmd::kScrollBars, L::View},
        {cmd::kZoomIn, L::View},
        {cmd::kZoomOut, L::View},
        {cmd::kZoomOneToOne, L::View},
        {cmd::kFitPage, L::View},
        {cmd::kFitToWindow, L::View},
        {cmd::kFitSelection, L::View},
        {cmd::kZoomArea, L::View},
        {cmd::kToolZoomMenu, L::View},
        {cmd::kAddPage, L::View},
        {cmd::kInsertPageBefore, L::View},
        {cmd::kInsertPageAfter, L::View},
        {cmd::kDeletePage, L::View},
        {cmd::kPageMenu, L::View},
        {cmd::kFirstPage, L::View},
        {cmd::kPreviousPage, L::View},
        {cmd::kNextPage, L::View},
        {cmd::kLastPage, L::View},
        {cmd::kNoFill, L::View},
        {cmd::kNoLine, L::View},
        {cmd::kLineFine, L::View},
        {cmd::kLineThick, L::View},
        {cmd::kPickFillColor, L::View},
        {cmd::kPickLineColor, L::View},
        {cmd::kToolSelect, L::View},
        {cmd::kToolNode, L::View},
        {cmd::kToolPan, L::View},
        {cmd::kToolFreehand, L::View},
        {cmd::kToolLine, L::View},
        {cmd::kScrollLeft, L::View},
        {cmd::kScrollDown, L::View},
        {cmd::kToolText, L::View},
        {cmd::kChooseTextTool, L::View},
        {cmd::kTextBold, L::View},
        {cmd::kTextUnderline, L::View},
        {cmd::kTextAlignCenter, L::View},
        {cmd::kTextType, L::View},
        {cmd::kTextArtistic, L::View},
        {cmd::kTextParagraph, L::View},
    };
    for (const auto& [id, level] : carried) {
        const std::optional<RouteLevel> handler = HandlerOf(id);
        ASSERT_TRUE(handler.has_value()) << CommandText(id) << " " << id;
        EXPECT_EQ(static_cast<int>(*handler), static_cast<int>(level)) << CommandText(id) << " " << id;
    }
    // Without the library's commands (no window to show its dialogs) the library has no handler and stays
    // greyed wherever it shows.
    for (int id : {cmd::kLibrary, cmd::kSendToLibrary}) {
        EXPECT_FALSE(HandlerOf(id).has_value()) << id;
        EXPECT_FALSE(Enabled(id)) << id;
        EXPECT_FALSE(router.Execute(id)) << id;
    }
    // Sending is the document's; without the send commands (no window to show the sheet) it is greyed,
    // and its pop-up with it.
    for (int id : {cmd::kSendEmail, cmd::kSendFtp}) {
        EXPECT_EQ(HandlerOf(id), RouteLevel::Document) << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_FALSE(PopupEnabled("Send"));
    // Both Help entries and both About entries do the same.
    router.Execute(cmd::kHelp);
    router.Execute(cmd::kHelpContents);
    router.Execute(cmd::kAbout);
    router.Execute(cmd::kHelpAbout);
    EXPECT_EQ(shell.helps, 2);
    EXPECT_EQ(shell.abouts, 2);
}

TEST_F(CommandTableTest, PageCommandsThatCannotActAreGreyedAndRefused) {
    // One page: nowhere to go and nothing to delete.
    for (int id : {cmd::kDeletePage, cmd::kFirstPage, cmd::kPreviousPage, cmd::kNextPage, cmd::kLastPage,
                   cmd::kGoToPage}) {
        EXPECT_FALSE(Enabled(id)) << CommandText(id);
        EXPECT_FALSE(router.Execute(id)) << CommandText(id);
    }
    EXPECT_EQ(edit.Drawing().PageCount(), 1);
    for (int id : {cmd::kAddPage, cmd::kInsertPageBefore, cmd::kInsertPageAfter, cmd::kPageMenu})
        EXPECT_TRUE(Enabled(id)) << CommandText(id);

    // Two pages, the second shown.
    EXPECT_TRUE(router.Execute(cmd::kAddPage));
    EXPECT_EQ(edit.view.GetCurrentPage(), 1);
    EXPECT_TRUE(Enabled(cmd::kDeletePage));
    EXPECT_TRUE(Enabled(cmd::kGoToPage));
    EXPECT_TRUE(Enabled(cmd::kFirstPage));
    EXPECT_TRUE(Enabled(cmd::kPreviousPage));
    EXPECT_FALSE(Enabled(cmd::kNextPage));
    EXPECT_FALSE(Enabled(cmd::kLastPage));
    EXPECT_TRUE(router.Execute(cmd::kPreviousPage));
    EXPECT_EQ(edit.view.GetCurrentPage(), 0);
    EXPECT_TRUE(Enabled(cmd::kNextPage));
    EXPECT_FALSE(Enabled(cmd::kPreviousPage));

    pages.answer = "2";
    EXPECT_TRUE(router.Execute(cmd::kGoToPage));
    EXPECT_EQ(edit.view.GetCurrentPage(), 1);

    EXPECT_TRUE(router.Execute(cmd::kDeletePage));
    EXPECT_EQ(edit.Drawing().PageCount(), 1);
    EXPECT_FALSE(Enabled(cmd::kDeletePage));
}

TEST_F(CommandTableTest, EditPopupsAreGreyedUntilTheSelectionLetsOneOfTheirCommandsAct) {
    // The Pan tool is current: every command of the four pop-ups is greyed, so the pop-ups are too.
    for (std::string_view title : {"Joining", "Grouping", "Order", "Align", "Node"})
        EXPECT_FALSE(PopupEnabled(title)) << title;
    EXPECT_FALSE(Enabled(cmd::kFitSelection));

    // One rectangle selected: Break Apart, Bring to Front and Send to Back can act; grouping and aligning
    // need two.
    edit.Select({1});
    EXPECT_TRUE(PopupEnabled("Joining"));
    EXPECT_TRUE(PopupEnabled("Order"));
    EXPECT_FALSE(PopupEnabled("Grouping"));
    EXPECT_FALSE(PopupEnabled("Align"));
    EXPECT_TRUE(Enabled(cmd::kFitSelection));

    edit.Select({0, 2});
    EXPECT_TRUE(PopupEnabled("Grouping"));
    EXPECT_TRUE(PopupEnabled("Align"));
}

TEST_F(CommandTableTest, FitSelectionFillsTheWindowWithTheSelectionAndKeepsIt) {
    edit.Select({2});
    const CRectF box = edit.Bounds(2);
    ASSERT_TRUE(router.Execute(cmd::kFitSelection));
    EXPECT_EQ(edit.view.GetSelection(), std::vector<int>{2});
    EXPECT_TRUE(edit.view.IsToolCurrent(ToolKind::Select));
    const CViewMapping& mapping = edit.view.GetMapping();
    const CRect client = edit.view.GetClientRect();
    // The 50 x 50 square is centred and as large as the window less its margins allows.
    EXPECT_NEAR(mapping.DocToDeviceX(box.Center().x), client.Width() / 2, 1);
    EXPECT_NEAR(mapping.DocToDeviceY(box.Center().y), client.Height() / 2, 1);
    const int shown = mapping.DocToDeviceY(box.bottom) - mapping.DocToDeviceY(box.top);
    EXPECT_NEAR(shown, client.Height() - 32, 2);
}

} // namespace
} // namespace pq
