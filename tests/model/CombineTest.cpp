#include "ModelTestHelpers.h"

#include "model/Drawing.h"

#include "geometry/Ellipse.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::Tags;

std::unique_ptr<CGraphicObject> StyledRectangle(const CRectF& r, uint32_t tag, int32_t penWidth) {
    auto object = test::MakeRectangle(r, tag);
    object->AsPath()->penWidth = penWidth;
    object->AsPath()->penColor = 0x0000FF00u + tag;
    object->AsPath()->penStyle = kPenNull;
    object->AsPath()->brushStyle = 3;
    return object;
}

TEST(CDrawingJoin, JoinedPathTakesTheFirstStyleAtTheLowestIndex) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(test::MakeRectangle({}, 100));
    auto rectangle = StyledRectangle({0.0f, 10.0f, 0.0f, 10.0f}, 1, 6);
    rectangle->page = 1;
    rectangle->group = 4;
    drawing.Add(std::move(rectangle));
    drawing.Add(test::MakeRectangle({}, 101));
    auto ellipse = std::make_unique<CGraphicObject>(kKindPath);
    ellipse->AsPath()->AddSubpath(EllipseToNodes({20.0f, 40.0f, 20.0f, 40.0f}));
    ellipse->AsPath()->penWidth = 9;
    ellipse->color = 2;
    ellipse->RecalcBounds();
    drawing.Add(std::move(ellipse));

    std::vector<int> selection{1, 3};
    EXPECT_TRUE(drawing.Join(selection));
    EXPECT_EQ(selection, (std::vector<int>{1}));
    ASSERT_EQ(drawing.Count(), 3);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{100, 1, 101}));
    const CGraphicObject* joined = drawing.GetAt(1);
    const CPathShape* path = joined->AsPath();
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->penWidth, 6);
    EXPECT_EQ(path->penColor, 0x0000FF01u);
    EXPECT_EQ(path->penStyle, kPenNull);
    EXPECT_EQ(path->brushStyle, 3);
    EXPECT_EQ(joined->page, 1);
    EXPECT_EQ(joined->group, 0);
    ASSERT_EQ(path->SubpathCount(), 2u);
    EXPECT_EQ(path->subpaths[0]->GetSize(), 5u);
    EXPECT_EQ((*path->subpaths[1])[0].anchor, (CPointF{30.0f, 20.0f}));
    EXPECT_EQ(joined->bounds, (CRectF{0.0f, 40.0f, 0.0f, 40.0f}));
}

TEST(CDrawingJoin, SubpathsFollowListOrder) {
    CDrawing drawing;
    drawing.Add(StyledRectangle({0.0f, 1.0f, 0.0f, 1.0f}, 0, 3));
    drawing.Add(StyledRectangle({5.0f, 6.0f, 5.0f, 6.0f}, 1, 9));
    std::vector<int> selection{1, 0};
    EXPECT_TRUE(drawing.Join(selection));
    EXPECT_EQ(selection, (std::vector<int>{0}));
    const CPathShape* path = drawing.GetAt(0)->AsPath();
    EXPECT_EQ(path->penWidth, 9);
    EXPECT_EQ((*path->subpaths[0])[0].anchor, (CPointF{5.0f, 5.0f}));
    EXPECT_EQ((*path->subpaths[1])[0].anchor, (CPointF{0.0f, 0.0f}));
}

TEST(CDrawingJoin, NeedsTwoEntriesAndAPathFirst) {
    CDrawing drawing;
    drawing.Add(test::MakeText(u"t", {}, kTextArtistic));
    drawing.Add(test::MakeRectangle({}, 1));
    drawing.Add(test::MakeRectangle({}, 2));
    std::vector<int> one{1};
    EXPECT_FALSE(drawing.Join(one));
    std::vector<int> textFirst{0, 1};
    EXPECT_FALSE(drawing.Join(textFirst));
    EXPECT_EQ(textFirst, (std::vector<int>{0, 1}));
    EXPECT_EQ(drawing.Count(), 3);
}

TEST(CDrawingJoin, ListedTextIsRemovedAndContributesNoSubpath) {
    CDrawing drawing;
    drawing.Add(test::MakeRectangle({}, 1));
    drawing.Add(test::MakeText(u"t", {}, kTextArtistic));
    drawing.Add(test::MakeRectangle({}, 2));
    std::vector<int> selection{0, 1, 2};
    EXPECT_TRUE(drawing.Join(selection));
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->SubpathCount(), 2u);
}

TEST(CDrawingBreakApart, PiecesFollowSubpathOrderWithStyleAndGroup) {
    CDrawing drawing;
    drawing.Add(test::MakeRectangle({}, 100));
    auto source = StyledRectangle({0.0f, 10.0f, 0.0f, 10.0f}, 7, 6);
    source->AsPath()->AddSubpath(test::RectangleNodes({20.0f, 30.0f, 0.0f, 10.0f}));
    source->AsPath()->AddSubpath(test::RectangleNodes({40.0f, 50.0f, 0.0f, 10.0f}));
    source->group = 2;
    source->page = 0;
    drawing.Add(std::move(source));
    drawing.Add(test::MakeRectangle({}, 101));

    EXPECT_EQ(drawing.BreakApart(1), 3);
    ASSERT_EQ(drawing.Count(), 5);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{100, 7, 7, 7, 101}));
    for (int i = 1; i <= 3; ++i) {
        const CGraphicObject* piece = drawing.GetAt(i);
        const CPathShape* path = piece->AsPath();
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(path->SubpathCount(), 1u);
        EXPECT_EQ(path->penWidth, 6);
        EXPECT_EQ(path->penColor, 0x0000FF07u);
        EXPECT_EQ(path->penStyle, kPenNull);
        EXPECT_EQ(path->brushStyle, 3);
        EXPECT_EQ(piece->group, 2);
        const float left = 20.0f * static_cast<float>(i - 1);
        EXPECT_EQ(piece->bounds, (CRectF{left, left + 10.0f, 0.0f, 10.0f}));
    }
}

TEST(CDrawingBreakApart, TextAndImagesAreLeftAlone) {
    CDrawing drawing;
    drawing.Add(test::MakeText(u"t", {}, kTextArtistic));
    drawing.Add(std::make_unique<CGraphicObject>(kKindImage));
    EXPECT_EQ(drawing.BreakApart(0), 0);
    EXPECT_EQ(drawing.BreakApart(1), 0);
    EXPECT_EQ(drawing.BreakApart(5), 0);
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_NE(drawing.GetAt(0)->AsText(), nullptr);
}

TEST(CDrawingBreakApart, SingleSubpathBecomesOneEqualPiece) {
    CDrawing drawing;
    drawing.Add(StyledRectangle({0.0f, 10.0f, 0.0f, 10.0f}, 3, 3));
    const CRectF bounds = drawing.GetAt(0)->bounds;
    EXPECT_EQ(drawing.BreakApart(0), 1);
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_EQ(drawing.GetAt(0)->bounds, bounds);
}

} // namespace
} // namespace pq
