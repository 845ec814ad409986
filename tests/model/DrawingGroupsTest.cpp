#include "ModelTestHelpers.h"

#include "model/Drawing.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::FillTagged;
using test::Groups;
using Numbers = std::vector<int32_t>;

void SetGroups(CDrawing& drawing, const Numbers& groups) {
    for (std::size_t i = 0; i < groups.size(); ++i)
        drawing.GetAt(static_cast<int>(i))->group = groups[i];
}

TEST(CDrawingGroups, GroupRenumbersExistingGroupsInFirstAppearanceOrderAndRenumberPageOnlyThatPage) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0, 0, 0});
    SetGroups(drawing, {7, 3, 7, 0, 0});
    drawing.Group(std::vector<int>{3, 4});
    EXPECT_EQ(Groups(drawing), (Numbers{1, 2, 1, 3, 3}));

    CDrawing literal; // groups 3 and 7 become 1 and 2 beside the new group 3
    FillTagged(literal, {0, 0, 0, 0});
    SetGroups(literal, {3, 7});
    literal.Group(std::vector<int>{2, 3});
    EXPECT_EQ(Groups(literal), (Numbers{1, 2, 3, 3}));
    literal.Ungroup(std::vector<int>{1, 42});
    EXPECT_EQ(Groups(literal), (Numbers{1, 0, 3, 3}));

    CDrawing pages;
    pages.SetPageCount(2);
    FillTagged(pages, {0, 1, 1, 0, 1});
    SetGroups(pages, {9, 8, 5, 9, 8});
    EXPECT_EQ(pages.RenumberPage(1), 2);
    EXPECT_EQ(Groups(pages), (Numbers{9, 1, 2, 9, 1}));
    EXPECT_EQ(pages.RenumberPage(5), 0);
}

TEST(CDrawingGroups, TablesUsePageMajorOrPageIndices) {
    // List order C, A, D, B with A, B on page 0 and C, D on page 1: page-major order is A, B, C, D.
    CDrawing drawing;
    drawing.SetPageCount(2);
    FillTagged(drawing, {1, 0, 1, 0});
    SetGroups(drawing, {1, 0, 2, 1});
    std::vector<int> table{99};
    drawing.BuildGroupTable(table);
    EXPECT_EQ(table, (std::vector<int>{2, 1, 2, 1, 3}));
    drawing.BuildPageGroupTable(1, table);
    EXPECT_EQ(table, (std::vector<int>{1, 0, 1, 1}));
    drawing.BuildPageGroupTable(2, table);
    EXPECT_TRUE(table.empty());
}

TEST(CDrawingGroups, ApplyGroupTableRestoresABuiltTableAfterReorderingAndSkipsWhatLiesOutsideTheList) {
    CDrawing drawing;
    drawing.SetPageCount(3);
    FillTagged(drawing, {0, 1, 2, 0, 1, 2, 0});
    SetGroups(drawing, {0, 2, 0, 1, 2, 0, 1});
    std::vector<int> table;
    drawing.BuildGroupTable(table);
    // Writing and reading the native format reorders the list page by page.
    CDrawing reread;
    reread.SetPageCount(3);
    for (int p = 0; p < 3; ++p)
        for (const auto& object : drawing.Objects())
            if (object->page == p) {
                reread.Add(object->Clone());
                reread.GetAt(reread.Count() - 1)->group = 0;
            }
    reread.ApplyGroupTable(table);
    EXPECT_EQ(Groups(reread), (Numbers{0, 2, 2, 1, 1, 0, 0}));

    // Indices outside the list are skipped, and a block reaching past the end ends the table.
    CDrawing three;
    FillTagged(three, {0, 0, 0});
    three.GetAt(2)->group = 5;
    three.ApplyGroupTable(std::vector<int>{2, 0, 3, 2, -1, 1});
    EXPECT_EQ(Groups(three), (Numbers{1, 2, 0}));
    three.ApplyGroupTable(std::vector<int>{1, 2, 5, 0, 1});
    EXPECT_EQ(Groups(three), (Numbers{0, 0, 1}));
}

} // namespace
} // namespace pq
