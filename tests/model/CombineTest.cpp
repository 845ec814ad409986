#include "ModelTestHelpers.h"

#include "model/Drawing.h"

#include "geometry/Ellipse.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::MakeRect;
using test::Tags;

std::unique_ptr<CGraphicObject> StyledRect(const CRectF& r, uint32_t tag, int32_t penWidth) {
    auto object = MakeRect(r, tag);
    object->AsPath()->penWidth = penWidth;
    object->AsPath()->penColor = 0x0000FF00u + tag;
    object->AsPath()->penStyle = kPenNull;
    object->AsPath()->brushStyle = 3;
    return object;
}

void ExpectStyleOf(const CGraphicObject& object, uint32_t tag, int32_t penWidth) {
    const CPathShape* path = object.AsPath();
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->penWidth, penWidth);
    EXPECT_EQ(path->penColor, 0x0000FF00u + tag);
    EXPECT_EQ(path->penStyle, kPenNull);
    EXPECT_EQ(path->brushStyle, 3);
}

TEST(CDrawingJoin, JoinedPathTakesTheFirstListedStyleAndSubpathsFirstAtTheLowestIndex) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(MakeRect({}, 100));
    auto rectangle = StyledRect({0.0f, 10.0f, 0.0f, 10.0f}, 1, 6);
    rectangle->page = 1;
    rectangle->group = 4;
    drawing.Add(std::move(rectangle));
    drawing.Add(test::MakeText(u"t", {}));
    auto ellipse = std::make_unique<CGraphicObject>(kKindPath);
    ellipse->AsPath()->AddSubpath(EllipseToNodes({20.0f, 40.0f, 20.0f, 40.0f}));
    ellipse->AsPath()->penWidth = 9;
    ellipse->RecalcBounds();
    drawing.Add(std::move(ellipse));

    std::vector<int> selection{1, 2, 3}; // listed text is removed and contributes no subpath
    EXPECT_TRUE(drawing.Join(selection));
    EXPECT_EQ(selection, (std::vector<int>{1}));
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{100, 1}));
    const CGraphicObject* joined = drawing.GetAt(1);
    ExpectStyleOf(*joined, 1, 6);
    EXPECT_EQ(joined->page, 1);
    EXPECT_EQ(joined->group, 0);
    ASSERT_EQ(joined->AsPath()->SubpathCount(), 2u);
    EXPECT_EQ((*joined->AsPath()->subpaths[1])[0].anchor, (CPointF{30.0f, 20.0f}));
    EXPECT_EQ(joined->bounds, (CRectF{0.0f, 40.0f, 0.0f, 40.0f}));

    // The first listed object gives style and first subpaths; the result takes the lowest index.
    selection = {1, 0};
    EXPECT_TRUE(drawing.Join(selection));
    EXPECT_EQ(selection, (std::vector<int>{0}));
    ExpectStyleOf(*drawing.GetAt(0), 1, 6);
    ASSERT_EQ(drawing.GetAt(0)->AsPath()->SubpathCount(), 3u);
    EXPECT_EQ((*drawing.GetAt(0)->AsPath()->subpaths[1])[0].anchor, (CPointF{30.0f, 20.0f}));
}

TEST(CDrawingJoin, NeedsTwoEntriesAndAPathFirst) {
    CDrawing drawing;
    drawing.Add(test::MakeText(u"t", {}));
    drawing.Add(MakeRect({}, 1));
    std::vector<int> one{1};
    EXPECT_FALSE(drawing.Join(one));
    std::vector<int> textFirst{0, 1};
    EXPECT_FALSE(drawing.Join(textFirst));
    EXPECT_EQ(textFirst, (std::vector<int>{0, 1}));
    EXPECT_EQ(drawing.Count(), 2);
}

TEST(CDrawingBreakApart, PiecesFollowSubpathOrderWithStyleAndGroup) {
    CDrawing drawing;
    drawing.Add(MakeRect({}, 100));
    auto source = StyledRect({0.0f, 10.0f, 0.0f, 10.0f}, 7, 6);
    source->AsPath()->AddSubpath(test::RectangleNodes({20.0f, 30.0f, 0.0f, 10.0f}));
    source->AsPath()->AddSubpath(test::RectangleNodes({40.0f, 50.0f, 0.0f, 10.0f}));
    source->group = 2;
    drawing.Add(std::move(source));
    drawing.Add(MakeRect({}, 101));
    drawing.Add(test::MakeText(u"t", {}));

    EXPECT_EQ(drawing.BreakApart(1), 3);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{100, 7, 7, 7, 101, 0}));
    for (int i = 1; i <= 3; ++i) {
        const CGraphicObject* piece = drawing.GetAt(i);
        ExpectStyleOf(*piece, 7, 6);
        EXPECT_EQ(piece->AsPath()->SubpathCount(), 1u);
        EXPECT_EQ(piece->group, 2);
        const float left = 20.0f * static_cast<float>(i - 1);
        EXPECT_EQ(piece->bounds, (CRectF{left, left + 10.0f, 0.0f, 10.0f}));
    }
    EXPECT_EQ(drawing.BreakApart(5), 0) << "text is left alone";
    EXPECT_EQ(drawing.BreakApart(9), 0);
    EXPECT_EQ(drawing.BreakApart(4), 1);
    EXPECT_EQ(drawing.Count(), 6);
}

} // namespace
} // namespace pq
