#include "ModelTestHelpers.h"

#include "model/Drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace pq {
namespace {

using test::FillTagged;
using test::Tags;

TEST(CDrawing, StartsWithOneDefaultPage) {
    CDrawing drawing;
    EXPECT_EQ(drawing.Count(), 0);
    EXPECT_EQ(drawing.PageCount(), 1);
    EXPECT_EQ(drawing.GetPageWidth(), 1050.0f);
    EXPECT_EQ(drawing.GetPageHeight(), 1480.0f);
    EXPECT_EQ(drawing.GetAt(0), nullptr);
    EXPECT_EQ(drawing.Bounds(false), CRectF{});
}

TEST(CDrawing, InsertSetRemoveAndDetach) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0});
    EXPECT_TRUE(drawing.InsertAt(3, test::MakeRectangle({}, 10)));
    EXPECT_TRUE(drawing.InsertAt(0, test::MakeRectangle({}, 11)));
    EXPECT_FALSE(drawing.InsertAt(6, test::MakeRectangle({}, 12)));
    EXPECT_FALSE(drawing.InsertAt(-1, test::MakeRectangle({}, 12)));
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{11, 0, 1, 2, 10}));

    EXPECT_TRUE(drawing.SetAt(1, test::MakeRectangle({}, 20)));
    EXPECT_FALSE(drawing.SetAt(5, test::MakeRectangle({}, 21)));
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{11, 20, 1, 2, 10}));

    auto detached = drawing.DetachAt(2);
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(detached->color, 1u);
    EXPECT_EQ(drawing.DetachAt(4), nullptr);

    drawing.RemoveAt(2, 100); // cut at the end
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{11, 20}));
    drawing.RemoveAt(5, 1);
    drawing.RemoveAt(-1, 1);
    EXPECT_EQ(drawing.Count(), 2);
}

std::vector<uint32_t> NaiveDelete(std::vector<uint32_t> list, std::vector<int> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it >= 0 && *it < static_cast<int>(list.size()))
            list.erase(list.begin() + *it);
    }
    return list;
}

std::vector<uint32_t> NaiveMove(std::vector<uint32_t> list, std::vector<int> indices, int position) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::erase_if(indices, [&](int i) { return i < 0 || i >= static_cast<int>(list.size()); });
    if (indices.empty())
        return list;
    std::vector<uint32_t> taken;
    int before = 0;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        taken.insert(taken.begin(), list[static_cast<std::size_t>(*it)]);
        list.erase(list.begin() + *it);
        if (*it < position)
            ++before;
    }
    position = std::clamp(position - before, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + position, taken.begin(), taken.end());
    return list;
}

TEST(CDrawing, DeleteIndicesMatchesOneByOneDeletion) {
    std::mt19937 random(20240501);
    for (int round = 0; round < 200; ++round) {
        const int size = static_cast<int>(random() % 30);
        CDrawing drawing;
        FillTagged(drawing, std::vector<int>(static_cast<std::size_t>(size), 0));
        std::vector<int> indices(random() % 12);
        for (int& i : indices)
            i = static_cast<int>(random() % 34) - 2; // some out of range, some repeated
        const std::vector<uint32_t> expected = NaiveDelete(Tags(drawing), indices);
        drawing.DeleteIndices(indices);
        ASSERT_EQ(Tags(drawing), expected) << "round " << round;
    }
}

TEST(CDrawing, MoveIndicesMatchesReference) {
    std::mt19937 random(777);
    for (int round = 0; round < 300; ++round) {
        const int size = 1 + static_cast<int>(random() % 20);
        CDrawing drawing;
        FillTagged(drawing, std::vector<int>(static_cast<std::size_t>(size), 0));
        std::vector<int> indices(random() % 8);
        for (int& i : indices)
            i = static_cast<int>(random() % static_cast<unsigned>(size + 2)) - 1;
        const int position = static_cast<int>(random() % static_cast<unsigned>(size + 2));
        const std::vector<uint32_t> expected = NaiveMove(Tags(drawing), indices, position);
        drawing.MoveIndices(indices, position);
        ASSERT_EQ(Tags(drawing), expected) << "round " << round;
    }
}

TEST(CDrawing, MoveIndicesToFrontAndBack) {
    CDrawing drawing;
    FillTagged(drawing, std::vector<int>(8, 0));
    drawing.MoveIndices(std::vector<int>{3, 5}, 0);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{3, 5, 0, 1, 2, 4, 6, 7}));
    drawing.MoveIndices(std::vector<int>{0, 1}, 8);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{0, 1, 2, 4, 6, 7, 3, 5}));
}

TEST(CDrawingPages, DeletingPagesDeletesTheirObjectsAndMovesLaterOnes) {
    CDrawing drawing;
    drawing.SetPageCount(4);
    FillTagged(drawing, {0, 1, 2, 3, 1, 3, 0});
    EXPECT_TRUE(drawing.DeletePages(1, 2));
    EXPECT_EQ(drawing.PageCount(), 2);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{0, 3, 5, 6}));
    std::vector<int> pages;
    for (const auto& object : drawing.Objects())
        pages.push_back(object->page);
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 1, 0}));
}

TEST(CDrawingPages, DeletionIsCutToThePagesThatExist) {
    CDrawing drawing;
    drawing.SetPageCount(3);
    FillTagged(drawing, {0, 1, 2});
    EXPECT_TRUE(drawing.DeletePages(1, 10));
    EXPECT_EQ(drawing.PageCount(), 1);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{0}));
}

TEST(CDrawingPages, DeletingAllPagesKeepsOneEmptyPage) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    FillTagged(drawing, {0, 1});
    EXPECT_TRUE(drawing.DeletePages(0, 2));
    EXPECT_EQ(drawing.PageCount(), 1);
    EXPECT_EQ(drawing.Count(), 0);
}

TEST(CDrawingPages, OnlyPageIsNeverDeleted) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0});
    EXPECT_FALSE(drawing.DeletePages(0, 1));
    EXPECT_EQ(drawing.PageCount(), 1);
    EXPECT_EQ(drawing.Count(), 2);
    drawing.SetPageCount(2);
    EXPECT_FALSE(drawing.DeletePages(2, 1));
    EXPECT_FALSE(drawing.DeletePages(0, 0));
    EXPECT_EQ(drawing.PageCount(), 2);
}

TEST(CDrawingPages, InsertPagesMovesLaterObjectsAndAppendsAtTheEnd) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    FillTagged(drawing, {0, 1});
    EXPECT_TRUE(drawing.InsertPages(1, 3));
    EXPECT_EQ(drawing.PageCount(), 5);
    EXPECT_EQ(drawing.GetAt(0)->page, 0);
    EXPECT_EQ(drawing.GetAt(1)->page, 4);

    EXPECT_TRUE(drawing.InsertPages(drawing.PageCount(), 2));
    EXPECT_EQ(drawing.PageCount(), 7);
    EXPECT_EQ(drawing.GetAt(1)->page, 4);
    EXPECT_EQ(drawing.ObjectCountOnPage(5), 0);
    EXPECT_EQ(drawing.ObjectCountOnPage(6), 0);

    EXPECT_FALSE(drawing.InsertPages(8, 1));
    EXPECT_FALSE(drawing.InsertPages(0, 0));
    EXPECT_EQ(drawing.PageCount(), 7);
}

TEST(CDrawingPages, PageCountsAndBounds) {
    CDrawing drawing;
    drawing.SetPageCount(-3);
    EXPECT_EQ(drawing.PageCount(), 1);
    drawing.AppendPages(2);
    drawing.AppendPages(-1);
    EXPECT_EQ(drawing.PageCount(), 3);
    drawing.Add(test::MakeRectangle({0.0f, 10.0f, 0.0f, 10.0f}, 0, 0));
    drawing.Add(test::MakeRectangle({20.0f, 30.0f, -5.0f, 5.0f}, 1, 0));
    drawing.Add(test::MakeRectangle({100.0f, 110.0f, 100.0f, 110.0f}, 2, 2));
    drawing.Add(std::make_unique<CGraphicObject>(kKindPath)); // empty box: adds nothing to unions
    EXPECT_EQ(drawing.ObjectCountOnPage(0), 3);
    EXPECT_EQ(drawing.ObjectCountOnPage(2), 1);
    EXPECT_EQ(drawing.ObjectCountOnPage(3), 0);
    EXPECT_EQ(drawing.PageBounds(0), (CRectF{0.0f, 30.0f, -5.0f, 10.0f}));
    EXPECT_EQ(drawing.PageBounds(1), CRectF{});
    EXPECT_EQ(drawing.Bounds(false), (CRectF{0.0f, 110.0f, -5.0f, 110.0f}));
    drawing.GetAt(2)->flags = 0;
    EXPECT_EQ(drawing.Bounds(true), (CRectF{0.0f, 30.0f, -5.0f, 10.0f}));
}

TEST(CDrawing, ClearKeepsThePageSize) {
    CDrawing drawing;
    drawing.SetPageCount(4);
    drawing.SetPageSize(1480.0f, 2100.0f);
    FillTagged(drawing, {0, 3});
    drawing.Clear();
    EXPECT_EQ(drawing.Count(), 0);
    EXPECT_EQ(drawing.PageCount(), 1);
    EXPECT_EQ(drawing.GetPageWidth(), 1480.0f);
}

TEST(CDrawingCopies, AssignClonesObjectsPagesAndSizeAndRenumbersGroups) {
    CDrawing source;
    source.SetPageCount(3);
    source.SetPageSize(2000.0f, 1000.0f);
    source.SetErrorMessage("kept");
    FillTagged(source, {0, 2, 1});
    source.GetAt(0)->group = 9;
    source.GetAt(2)->group = 4;

    CDrawing copy;
    FillTagged(copy, {0, 0, 0, 0, 0});
    copy.Assign(source);
    EXPECT_EQ(Tags(copy), (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(copy.PageCount(), 3);
    EXPECT_EQ(copy.GetPageWidth(), 2000.0f);
    EXPECT_EQ(copy.GetPageHeight(), 1000.0f);
    EXPECT_EQ(test::Groups(copy), (std::vector<int32_t>{1, 0, 2}));
    EXPECT_EQ(source.GetAt(0)->group, 9) << "the source is not touched";
    EXPECT_NE(copy.GetAt(0), source.GetAt(0));
    copy.GetAt(0)->AsPath()->penWidth = 9;
    EXPECT_EQ(source.GetAt(0)->AsPath()->penWidth, 0);
}

TEST(CDrawingCopies, ReplaceWithCopiesTakesListedObjectsInListOrder) {
    CDrawing source;
    FillTagged(source, {0, 0, 0, 0});
    source.GetAt(1)->group = 5;
    source.GetAt(3)->group = 5;
    CDrawing clipboard;
    clipboard.SetPageCount(2);
    FillTagged(clipboard, {0});
    clipboard.ReplaceWithCopies(source, std::vector<int>{3, 1, 7, 0});
    EXPECT_EQ(Tags(clipboard), (std::vector<uint32_t>{3, 1, 0}));
    EXPECT_EQ(test::Groups(clipboard), (std::vector<int32_t>{1, 1, 0}));
    EXPECT_EQ(clipboard.PageCount(), 2);
}

TEST(CDrawingCopies, ReplaceWithCopiesOfItself) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0});
    drawing.ReplaceWithCopies(drawing, std::vector<int>{2, 0});
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{2, 0}));
}

TEST(CDrawingCopies, InsertedCopiesGetGroupNumbersAboveTheExistingOnes) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0});
    drawing.GetAt(0)->group = 7;
    drawing.GetAt(2)->group = 3;
    CDrawing clipboard;
    FillTagged(clipboard, {0, 0, 0});
    for (int i = 0; i < 3; ++i)
        clipboard.GetAt(i)->color = 100u + static_cast<uint32_t>(i);
    clipboard.GetAt(0)->group = 1;
    clipboard.GetAt(1)->group = 2;
    clipboard.GetAt(2)->group = 1;

    drawing.InsertCopies(1, clipboard);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{0, 100, 101, 102, 1, 2}));
    EXPECT_EQ(test::Groups(drawing), (std::vector<int32_t>{1, 3, 4, 3, 0, 2}));
    EXPECT_EQ(clipboard.GetAt(0)->group, 1) << "the clipboard keeps its numbers";

    drawing.InsertCopies(99, clipboard); // clamped to the end
    EXPECT_EQ(drawing.Count(), 9);
    EXPECT_EQ(drawing.GetAt(8)->group, 5);
}

} // namespace
} // namespace pq
