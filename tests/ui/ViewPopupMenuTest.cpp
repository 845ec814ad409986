// The view's button menus grey what cannot act, and a greyed item does nothing even when chosen.

#include "ViewTestSetup.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

const CMenuItem* FindItem(const std::vector<CMenuItem>& items, int id) {
    for (const CMenuItem& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

TEST(ViewPopupMenu, DeletePageIsGreyedOnAOnePageDocumentAndChoosingItChangesNothing) {
    CViewSetup s;
    s.Drawing().Add(MakeRect({0, 10, 0, 10}));
    s.Open();
    ASSERT_EQ(s.Drawing().PageCount(), 1);
    s.host.menuChoice = cmd::kDeletePage;
    s.view.OnCommand(cmd::kPageMenu);
    const CMenuItem* remove = FindItem(s.host.lastMenu, cmd::kDeletePage);
    ASSERT_NE(remove, nullptr);
    EXPECT_FALSE(remove->enabled);
    EXPECT_TRUE(FindItem(s.host.lastMenu, cmd::kAddPage)->enabled);
    EXPECT_TRUE(FindItem(s.host.lastMenu, cmd::kInsertPageAfter)->enabled);
    // Nor does the command itself, run without the menu.
    EXPECT_FALSE(s.State(cmd::kDeletePage).enabled);
    s.view.OnCommand(cmd::kDeletePage);
    EXPECT_EQ(s.Drawing().PageCount(), 1);
    EXPECT_EQ(s.Drawing().Count(), 1);
    EXPECT_FALSE(s.UndoSteps());

    // With a second page it is offered and works.
    s.view.AddPage();
    s.view.OnCommand(cmd::kPageMenu);
    EXPECT_TRUE(FindItem(s.host.lastMenu, cmd::kDeletePage)->enabled);
    EXPECT_EQ(s.Drawing().PageCount(), 1);
}

TEST(ViewPopupMenu, TheZoomMenuGreysAZoomAtItsLimit) {
    CViewSetup s;
    s.Open();
    s.view.GetMapping().SetScale(s.view.GetMapping().GetMaxScale());
    s.host.menuChoice = cmd::kZoomIn;
    s.view.OnCommand(cmd::kToolZoomMenu);
    EXPECT_FALSE(FindItem(s.host.lastMenu, cmd::kZoomIn)->enabled);
    EXPECT_TRUE(FindItem(s.host.lastMenu, cmd::kZoomOut)->enabled);
    // The greyed Zoom In was refused: the Zoom tool the button chose stays current.
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Zoom));
    EXPECT_EQ(s.view.GetMapping().GetScale(), s.view.GetMapping().GetMaxScale());
}

} // namespace
} // namespace pq::test
