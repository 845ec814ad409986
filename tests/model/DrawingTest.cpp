#include "ModelTestHelpers.h"

#include "model/Drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace pq {
namespace {

using test::FillTagged;
using test::MakeRect;
using test::Tags;
using Tagged = std::vector<uint32_t>;

TEST(CDrawing, InsertSetDetachAndRemoveCheckTheirIndices) {
    CDrawing drawing;
    EXPECT_EQ(drawing.PageCount(), 1);
    FillTagged(drawing, {0, 0, 0});
    EXPECT_TRUE(drawing.InsertAt(3, MakeRect({}, 10)));
    EXPECT_TRUE(drawing.InsertAt(0, MakeRect({}, 11)));
    EXPECT_FALSE(drawing.InsertAt(6, MakeRect({}, 12)));
    EXPECT_FALSE(drawing.InsertAt(-1, MakeRect({}, 12)));
    EXPECT_TRUE(drawing.SetAt(1, MakeRect({}, 20)));
    EXPECT_FALSE(drawing.SetAt(5, MakeRect({}, 21)));
    EXPECT_EQ(Tags(drawing), (Tagged{11, 20, 1, 2, 10}));
    EXPECT_EQ(drawing.DetachAt(2)->color, 1u);
    EXPECT_EQ(drawing.DetachAt(4), nullptr);
    drawing.RemoveAt(2, 100); // cut at the end
    drawing.RemoveAt(-1, 1);
    EXPECT_EQ(Tags(drawing), (Tagged{11, 20}));
}

// Naive references: delete one by one from the back; move by taking the listed entries out and inserting
// them before the entry that was at position.
Tagged NaiveDelete(Tagged list, std::vector<int> indices) {
    std::sort(indices.begin(), indices.end(), std::greater<>());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (int i : indices)
        if (i >= 0 && i < static_cast<int>(list.size()))
            list.erase(list.begin() + i);
    return list;
}

Tagged NaiveMove(Tagged list, std::vector<int> indices, int position) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::erase_if(indices, [&](int i) { return i < 0 || i >= static_cast<int>(list.size()); });
    Tagged taken;
    for (int i : indices)
        taken.push_back(list[static_cast<std::size_t>(i)]);
    const int before =
        static_cast<int>(std::count_if(indices.begin(), indices.end(), [&](int i) { return i < position; }));
    list = NaiveDelete(list, indices);
    position = std::clamp(position - before, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + position, taken.begin(), taken.end());
    return list;
}

TEST(CDrawing, DeleteAndMoveIndicesMatchNaiveReferences) {
    std::mt19937 random(777);
    for (int round = 0; round < 100; ++round) {
        const int size = 1 + static_cast<int>(random() % 20);
        CDrawing drawing;
        FillTagged(drawing, std::vector<int>(static_cast<std::size_t>(size), 0));
        std::vector<int> indices(random() % 8); // some out of range, some repeated
        for (int& i : indices)
            i = static_cast<int>(random() % static_cast<unsigned>(size + 2)) - 1;
        const int position = static_cast<int>(random() % static_cast<unsigned>(size + 2));
        const Tagged moved = NaiveMove(Tags(drawing), indices, position);
        drawing.MoveIndices(indices, position);
        ASSERT_EQ(Tags(drawing), moved) << "round " << round;
        const Tagged deleted = NaiveDelete(Tags(drawing), indices);
        drawing.DeleteIndices(indices);
        ASSERT_EQ(Tags(drawing), deleted) << "round " << round;
    }
}

TEST(CDrawingPages, DeletingOrInsertingPagesMovesLaterObjects) {
    CDrawing drawing;
    drawing.SetPageCount(4);
    FillTagged(drawing, {0, 1, 2, 3, 1, 3, 0});
    EXPECT_TRUE(drawing.DeletePages(1, 2));
    EXPECT_EQ(drawing.PageCount(), 2);
    EXPECT_EQ(Tags(drawing), (Tagged{0, 3, 5, 6}));
    EXPECT_EQ(drawing.GetAt(1)->page, 1);
    EXPECT_EQ(drawing.GetAt(3)->page, 0);
    EXPECT_TRUE(drawing.DeletePages(1, 10)); // cut to the pages that exist
    EXPECT_EQ(Tags(drawing), (Tagged{0, 6}));
    EXPECT_FALSE(drawing.DeletePages(0, 1)) << "the only page is never deleted";
    drawing.SetPageCount(2);
    EXPECT_FALSE(drawing.DeletePages(2, 1));
    EXPECT_TRUE(drawing.DeletePages(0, 2));
    EXPECT_EQ(drawing.PageCount(), 1);
    EXPECT_EQ(drawing.Count(), 0);

    // Inserted pages move the objects after them; pages can be appended at the end.
    drawing.SetPageCount(2);
    FillTagged(drawing, {0, 1});
    EXPECT_TRUE(drawing.InsertPages(1, 3));
    EXPECT_EQ(drawing.GetAt(0)->page, 0);
    EXPECT_EQ(drawing.GetAt(1)->page, 4);
    EXPECT_TRUE(drawing.InsertPages(drawing.PageCount(), 2));
    EXPECT_EQ(drawing.PageCount(), 7);
    EXPECT_EQ(drawing.GetAt(1)->page, 4);
    EXPECT_FALSE(drawing.InsertPages(8, 1));
    EXPECT_FALSE(drawing.InsertPages(0, 0));
}

TEST(CDrawingPages, PageCountsAndBoundsSkipEmptyBoxesAndHiddenObjects) {
    CDrawing drawing;
    drawing.SetPageCount(-3);
    EXPECT_EQ(drawing.PageCount(), 1);
    drawing.AppendPages(2);
    drawing.Add(MakeRect({0.0f, 10.0f, 0.0f, 10.0f}, 0, 0));
    drawing.Add(MakeRect({20.0f, 30.0f, -5.0f, 5.0f}, 1, 0));
    drawing.Add(MakeRect({100.0f, 110.0f, 100.0f, 110.0f}, 2, 2));
    drawing.Add(std::make_unique<CGraphicObject>(kKindPath));
    EXPECT_EQ(drawing.ObjectCountOnPage(0), 3);
    EXPECT_EQ(drawing.PageBounds(0), (CRectF{0.0f, 30.0f, -5.0f, 10.0f}));
    EXPECT_EQ(drawing.PageBounds(1), CRectF{});
    EXPECT_EQ(drawing.Bounds(false), (CRectF{0.0f, 110.0f, -5.0f, 110.0f}));
    drawing.GetAt(2)->flags = 0;
    EXPECT_EQ(drawing.Bounds(true), (CRectF{0.0f, 30.0f, -5.0f, 10.0f}));
    drawing.SetPageSize(1480.0f, 2100.0f);
    drawing.Clear();
    EXPECT_EQ(drawing.PageCount(), 1);
    EXPECT_EQ(drawing.GetPageWidth(), 1480.0f);
}

TEST(CDrawingCopies, AssignAndReplaceWithCopiesCloneAndRenumberGroups) {
    CDrawing source;
    source.SetPageCount(3);
    source.SetPageSize(2000.0f, 1000.0f);
    FillTagged(source, {0, 2, 1, 0});
    source.GetAt(0)->group = 9;
    source.GetAt(2)->group = 4;
    source.GetAt(3)->group = 9;
    CDrawing copy;
    FillTagged(copy, {0, 0, 0, 0, 0});
    copy.Assign(source);
    EXPECT_EQ(Tags(copy), (Tagged{0, 1, 2, 3}));
    EXPECT_EQ(copy.PageCount(), 3);
    EXPECT_EQ(copy.GetPageHeight(), 1000.0f);
    EXPECT_EQ(test::Groups(copy), (std::vector<int32_t>{1, 0, 2, 1}));
    EXPECT_EQ(source.GetAt(0)->group, 9) << "the source is not touched";
    copy.GetAt(0)->AsPath()->penWidth = 9;
    EXPECT_EQ(source.GetAt(0)->AsPath()->penWidth, 0);

    CDrawing clipboard;
    clipboard.ReplaceWithCopies(source, std::vector<int>{3, 1, 7, 0});
    EXPECT_EQ(Tags(clipboard), (Tagged{3, 1, 0}));
    EXPECT_EQ(test::Groups(clipboard), (std::vector<int32_t>{1, 0, 1}));
    source.ReplaceWithCopies(source, std::vector<int>{2, 0});
    EXPECT_EQ(Tags(source), (Tagged{2, 0}));
}

TEST(CDrawingCopies, InsertedCopiesGetGroupNumbersAboveTheExistingOnes) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0});
    drawing.GetAt(0)->group = 7;
    drawing.GetAt(2)->group = 3;
    CDrawing clipboard;
    for (int i = 0; i < 3; ++i)
        clipboard.Add(MakeRect({}, 100u + static_cast<uint32_t>(i), 0, i == 1 ? 2 : 1));
    drawing.InsertCopies(1, clipboard);
    EXPECT_EQ(Tags(drawing), (Tagged{0, 100, 101, 102, 1, 2}));
    EXPECT_EQ(test::Groups(drawing), (std::vector<int32_t>{1, 3, 4, 3, 0, 2}));
    EXPECT_EQ(clipboard.GetAt(0)->group, 1) << "the clipboard keeps its numbers";
    drawing.InsertCopies(99, clipboard); // clamped to the end
    EXPECT_EQ(drawing.GetAt(8)->group, 5);
}

} // namespace
} // namespace pq
