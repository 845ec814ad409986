#include "ViewTestSetup.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

std::vector<int32_t> Pages(const CDrawing& drawing) {
    std::vector<int32_t> pages;
    for (const auto& object : drawing.Objects())
        pages.push_back(object->page);
    return pages;
}

// Three pages with objects on pages 0, 1, 2 and 2, on the given page.
struct CPagesSetup : CViewSetup {
    explicit CPagesSetup(int page) {
        Drawing().SetPageCount(3);
        FillTagged(Drawing(), {0, 1, 2, 2});
        Open();
        view.SetCurrentPage(page);
        doc.SetModifiedFlag(false);
    }
};

TEST(ViewPages, PageEditsShowTheRightPageAndUndoAndRedoThem) {
    const struct {
        const char* name;
        int command;
        int page;
        int expectedPage;
        int expectedCount;
        std::vector<int32_t> expectedPages;
    } cases[] = {
        {"add", cmd::kAddPage, 1, 3, 4, {0, 1, 2, 2}},
        {"insert before", cmd::kInsertPageBefore, 1, 1, 4, {0, 2, 3, 3}},
        {"insert after the last", cmd::kInsertPageAfter, 2, 3, 4, {0, 1, 2, 2}},
        {"insert after the first", cmd::kInsertPageAfter, 0, 1, 4, {0, 2, 3, 3}},
        {"delete the last", cmd::kDeletePage, 2, 1, 2, {0, 1}},
        {"delete the middle", cmd::kDeletePage, 1, 1, 2, {0, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPagesSetup s(c.page);
        const DrawingSnapshot before = Snapshot(s.Drawing());
        s.view.GetSelection() = {0};
        ASSERT_TRUE(s.view.OnCommand(c.command));
        EXPECT_EQ(s.view.GetCurrentPage(), c.expectedPage);
        EXPECT_EQ(s.Drawing().PageCount(), c.expectedCount);
        EXPECT_EQ(Pages(s.Drawing()), c.expectedPages);
        EXPECT_EQ(s.host.indicator, std::make_pair(c.expectedPage, c.expectedCount));
        EXPECT_TRUE(s.view.GetSelection().empty());
        EXPECT_TRUE(s.doc.IsModified());
        const DrawingSnapshot after = Snapshot(s.Drawing());

        // The indicator follows the page count even where the current page stays.
        EXPECT_EQ(s.Undone(), before);
        EXPECT_LT(s.view.GetCurrentPage(), s.Drawing().PageCount());
        EXPECT_EQ(s.host.indicator, std::make_pair(s.view.GetCurrentPage(), s.Drawing().PageCount()));
        s.view.OnCommand(cmd::kRedo);
        EXPECT_EQ(Snapshot(s.Drawing()), after);
        EXPECT_LT(s.view.GetCurrentPage(), s.Drawing().PageCount());
        EXPECT_EQ(s.host.indicator, std::make_pair(s.view.GetCurrentPage(), s.Drawing().PageCount()));
    }
}

TEST(ViewPages, UndoAndRedoOfAnEditOnAnotherPageShowThatPage) {
    CPagesSetup s(2);
    s.ShowOriginAtCentre(0.1f);
    s.view.SetTool(ToolKind::Rectangle);
    s.Drag({150, 100}, {250, 200});
    ASSERT_EQ(s.Drawing().Count(), 5);
    ASSERT_EQ(s.Drawing().GetAt(4)->page, 2);

    // The rectangle tool stays current, so no selection leads back to the page.
    s.view.OnCommand(cmd::kFirstPage);
    s.view.OnCommand(cmd::kUndo);
    EXPECT_EQ(s.Drawing().Count(), 4);
    EXPECT_EQ(s.view.GetCurrentPage(), 2);
    EXPECT_EQ(s.host.indicator, std::make_pair(2, 3));
    s.view.OnCommand(cmd::kFirstPage);
    s.view.OnCommand(cmd::kRedo);
    EXPECT_EQ(s.Drawing().Count(), 5);
    EXPECT_EQ(s.view.GetCurrentPage(), 2);

    // An edit of the page on screen keeps it.
    s.view.OnCommand(cmd::kUndo);
    EXPECT_EQ(s.view.GetCurrentPage(), 2);
    // A step that names no objects (a page step) leaves the page to its own rule.
    s.view.OnCommand(cmd::kFirstPage);
    s.view.OnCommand(cmd::kInsertPageAfter);
    ASSERT_EQ(s.view.GetCurrentPage(), 1);
    s.view.OnCommand(cmd::kUndo);
    EXPECT_EQ(s.view.GetCurrentPage(), 1);
}

TEST(ViewPages, NavigationMovesWithinThePagesAndKeepsTheSelectionAtTheEnds) {
    const struct {
        int command;
        int page;
        int expected;
    } cases[] = {{cmd::kNextPage, 0, 1},     {cmd::kNextPage, 2, 2},  {cmd::kPreviousPage, 2, 1},
                 {cmd::kPreviousPage, 0, 0}, {cmd::kFirstPage, 2, 0}, {cmd::kLastPage, 0, 2},
                 {cmd::kFirstPage, 0, 0},    {cmd::kLastPage, 2, 2}};
    for (const auto& c : cases) {
        CPagesSetup s(c.page);
        s.view.GetSelection() = {1};
        s.view.OnCommand(c.command);
        EXPECT_EQ(s.view.GetCurrentPage(), c.expected) << c.command << " from " << c.page;
        EXPECT_EQ(s.view.GetSelection().empty(), c.expected != c.page)
            << "only a page change resets the selection";
    }
}

TEST(ViewPages, PageMenuRunsTheChosenPageCommand) {
    CPagesSetup s(0);
    s.host.menuChoice = cmd::kInsertPageBefore;
    s.view.OnCommand(cmd::kPageMenu);
    EXPECT_EQ(s.host.lastMenu.size(), 6u);
    EXPECT_EQ(s.Drawing().PageCount(), 4);
    EXPECT_EQ(Pages(s.Drawing()), (std::vector<int32_t>{1, 2, 3, 3}));
}

TEST(ViewPages, NewDocumentShowsTheFirstPageWithAnEmptyHistory) {
    CPagesSetup s(2);
    s.view.OnCommand(cmd::kAddPage);
    ASSERT_NE(s.UndoSteps(), 0);
    s.doc.OnNewDocument();
    s.view.ResetForNewDocument();
    s.host.RunPosted(s.view);
    EXPECT_EQ(s.view.GetCurrentPage(), 0);
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_EQ(s.view.GetUndoRecorder().GetDrawing(), &s.Drawing());
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Pan));
}

} // namespace
} // namespace pq::test
