#include "ModelTestHelpers.h"

#include "model/Drawing.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::FillTagged;
using test::Groups;

TEST(CDrawingGroups, GroupRenumbersExistingGroupsInFirstAppearanceOrder) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0, 0, 0});
    drawing.GetAt(0)->group = 7;
    drawing.GetAt(1)->group = 3;
    drawing.GetAt(2)->group = 7;
    drawing.Group(std::vector<int>{3, 4});
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{1, 2, 1, 3, 3}));
}

TEST(CDrawingGroups, GroupsThreeAndSevenBecomeOneAndTwoBesideNewGroupThree) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0, 0});
    drawing.GetAt(0)->group = 3;
    drawing.GetAt(1)->group = 7;
    drawing.Group(std::vector<int>{2, 3});
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{1, 2, 3, 3}));
}

TEST(CDrawingGroups, GroupingMembersOfOldGroupsGivesThemTheNewNumber) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0});
    drawing.GetAt(0)->group = 3;
    drawing.GetAt(1)->group = 7;
    drawing.Group(std::vector<int>{0, 1, 2});
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{3, 3, 3}));
    drawing.Ungroup(std::vector<int>{1, 42});
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{3, 0, 3}));
    EXPECT_EQ(drawing.RenumberAll(), 1);
}

TEST(CDrawingGroups, RenumberPageTouchesOnlyThatPage) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    FillTagged(drawing, {0, 1, 1, 0, 1});
    drawing.GetAt(0)->group = 9;
    drawing.GetAt(1)->group = 8;
    drawing.GetAt(2)->group = 5;
    drawing.GetAt(3)->group = 9;
    drawing.GetAt(4)->group = 8;
    EXPECT_EQ(drawing.RenumberPage(1), 2);
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{9, 1, 2, 9, 1}));
    EXPECT_EQ(drawing.RenumberPage(5), 0);
}

TEST(CDrawingGroups, TwoPageTableUsesPageMajorIndices) {
    // List order C, A, D, B with A, B on page 0 and C, D on page 1: page-major order is A, B, C, D.
    CDrawing drawing;
    drawing.SetPageCount(2);
    FillTagged(drawing, {1, 0, 1, 0});
    drawing.GetAt(0)->group = 1; // C
    drawing.GetAt(2)->group = 2; // D
    drawing.GetAt(3)->group = 1; // B
    std::vector<int> table{99};
    drawing.BuildGroupTable(table);
    EXPECT_EQ(table, (std::vector<int>{2, 1, 2, 1, 3}));
}

TEST(CDrawingGroups, PageTableUsesIndicesWithinThePage) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    FillTagged(drawing, {1, 0, 1, 1, 0});
    drawing.GetAt(2)->group = 6;
    drawing.GetAt(3)->group = 6;
    drawing.GetAt(0)->group = 4;
    std::vector<int> table;
    drawing.BuildPageGroupTable(1, table);
    EXPECT_EQ(table, (std::vector<int>{1, 0, 2, 1, 2}));
    drawing.BuildPageGroupTable(0, table);
    EXPECT_TRUE(table.empty());
    table = {5};
    drawing.BuildPageGroupTable(2, table);
    EXPECT_TRUE(table.empty());
}

TEST(CDrawingGroups, ApplyGroupTableRestoresBuiltTable) {
    CDrawing drawing;
    drawing.SetPageCount(3);
    FillTagged(drawing, {0, 1, 2, 0, 1, 2, 0});
    drawing.GetAt(1)->group = 2;
    drawing.GetAt(4)->group = 2;
    drawing.GetAt(6)->group = 1;
    drawing.GetAt(3)->group = 1;
    std::vector<int> table;
    drawing.BuildGroupTable(table);

    // Reorder the list page by page, as writing and reading the native format does; block i of the
    // table is group i of the renumbered drawing.
    CDrawing reread;
    reread.SetPageCount(3);
    std::vector<int32_t> expected;
    for (int p = 0; p < 3; ++p) {
        for (const auto& object : drawing.Objects()) {
            if (object->page == p) {
                reread.Add(object->Clone());
                expected.push_back(object->group);
            }
        }
    }
    for (const auto& object : reread.Objects())
        object->group = 0;
    reread.ApplyGroupTable(table);
    EXPECT_EQ(Groups(reread), expected);
    EXPECT_EQ(Groups(reread), (std::vector<int32_t>{0, 2, 2, 1, 1, 0, 0}));
}

TEST(CDrawingGroups, ApplyGroupTableSkipsIndicesOutsideTheList) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0});
    drawing.GetAt(2)->group = 5;
    drawing.ApplyGroupTable(std::vector<int>{2, 0, 3, 2, -1, 1});
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{1, 2, 0}));
}

TEST(CDrawingGroups, ApplyGroupTableStopsAtABlockRunningPastTheEnd) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0, 0});
    drawing.ApplyGroupTable(std::vector<int>{1, 3, 5, 0, 1});
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{0, 0, 0, 1}));
    drawing.ApplyGroupTable(std::vector<int>{-2, 0, 1});
    EXPECT_EQ(Groups(drawing), (std::vector<int32_t>{0, 0, 0, 0}));
}

} // namespace
} // namespace pq
