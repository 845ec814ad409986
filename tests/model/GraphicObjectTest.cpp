#include "ModelTestHelpers.h"
#include "TestHelpers.h"

#include "model/GraphicObject.h"
#include "model/TextMetrics.h"

#include "geometry/Transform.h"
#include "geometry/ViewMapping.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::MakeRect;
using test::MakeText;

TEST(CGraphicObject, CopyIsDeepAndLeavesTheTextOutlineCacheBehind) {
    auto original = MakeRect({0.0f, 10.0f, 0.0f, 20.0f}, 0x123456, 3, 2);
    CGraphicObject copy(kKindText);
    copy.CopyFrom(*original);
    ASSERT_NE(copy.AsPath(), nullptr);
    EXPECT_EQ(copy.color, 0x123456u);
    EXPECT_EQ(copy.group, 2);
    EXPECT_EQ(copy.bounds, original->bounds);
    (*original->AsPath()->subpaths[0])[0].anchor = {-99.0f, -99.0f};
    original->AsPath()->polylines[0]->Add({5.0f, 5.0f});
    EXPECT_EQ((*copy.AsPath()->subpaths[0])[0].anchor, (CPointF{0.0f, 0.0f}));
    EXPECT_EQ(copy.AsPath()->polylines[0]->GetSize(), original->AsPath()->polylines[0]->GetSize() - 1);

    auto text = MakeText(u"hello", {10.0f, 20.0f});
    ASSERT_EQ(text->AsText()->outline.size(), 5u);
    auto clone = text->Clone();
    EXPECT_TRUE(clone->AsText()->outline.empty());
    EXPECT_EQ(clone->bounds, text->bounds);
}

TEST(CGraphicObject, BoundsCoverTheFlattenedCurveTheParagraphFrameOrThePlacement) {
    CGraphicObject empty(kKindPath);
    empty.RecalcBounds();
    EXPECT_EQ(empty.bounds, (CRectF{1e10f, -1e10f, 1e10f, -1e10f}));

    CGraphicObject arch(kKindPath); // from (0, 0) to (100, 0), bulging up to y = -75
    CNodeArray& nodes = arch.AsPath()->AddSubpath();
    nodes.Add({{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, -100.0f}});
    nodes.Add({{100.0f, -100.0f}, {100.0f, 0.0f}, {100.0f, 0.0f}});
    arch.RecalcBounds();
    EXPECT_EQ(arch.bounds.right, 100.0f);
    EXPECT_TRUE(test::ExpectNear(arch.bounds.top, -75.0, 2.0));

    auto paragraph = MakeText(u"abc", {10.0f, 20.0f}, kTextParagraph);
    EXPECT_EQ(paragraph->bounds, (CRectF{10.0f, 410.0f, 20.0f, 220.0f}));
    EXPECT_EQ(paragraph->AsText()->outline[2], (CPoint{410, 220}));

    CGraphicObject image(kKindImage);
    image.AsImage()->placement = {0.0f, 10.0f, 0.0f, 20.0f};
    CTransform move;
    move.Translate(-5.0f, -7.0f, 0.0f);
    image.Transform(move);
    EXPECT_EQ(image.bounds, (CRectF{5.0f, 15.0f, 7.0f, 27.0f}));
}

// An artistic text's height never drops below three units; a paragraph's frame stays at least one letter m.
TEST(CGraphicObjectTransform, TextsShrinkNoFurtherThanTheirMinimum) {
    auto artistic = MakeText(u"a", {0.0f, 0.0f});
    artistic->AsText()->height = 10.0f;
    CTransform shrink;
    shrink.Scale(0.1f, 0.1f, 1.0f);
    artistic->Transform(shrink);
    EXPECT_EQ(artistic->AsText()->height, 3.0f);
    artistic->AsText()->height = 10.0f;
    CTransform grow;
    grow.Scale(1.0f, 2.5f, 1.0f);
    artistic->Transform(grow);
    EXPECT_EQ(artistic->AsText()->height, 25.0f);

    auto object = MakeText(u"abc", {100.0f, 100.0f}, kTextParagraph);
    CTextShape* text = object->AsText();
    const CPointF m = GetTextMetrics().MeasureString(*text, u"m");
    ASSERT_GT(m.x * m.y, 0.0f);
    CTransform squash;
    squash.Scale(0.01f, 0.01f, 1.0f);
    object->Transform(squash);
    EXPECT_EQ(text->position, (CPointF{1.0f, 1.0f}));
    EXPECT_EQ(text->corner, (CPointF{1.0f + m.x, 1.0f + m.y}));
    EXPECT_EQ(object->bounds, (CRectF{1.0f, 1.0f + m.x, 1.0f, 1.0f + m.y}));
}

TEST(CGraphicObjectHitTest, FillsAreHitInsideExceptHolesAndHollowsWhichAreHitNearTheOutline) {
    CViewMapping mapping;
    mapping.SetScale(1.0f);
    mapping.SetOrigins(0.0f, 0.0f, 0, 0);
    bool onOutline = true;
    int subpath = -1;
    auto ring = MakeRect({0.0f, 100.0f, 0.0f, 100.0f});
    EXPECT_TRUE(ring->HitTest(mapping, {50, 50}, onOutline, 4, subpath));
    EXPECT_FALSE(onOutline);
    EXPECT_FALSE(ring->HitTest(mapping, {150, 50}, onOutline, 4, subpath));
    ring->AsPath()->AddSubpath(test::RectangleNodes({30.0f, 70.0f, 30.0f, 70.0f}));
    ring->RecalcBounds();
    EXPECT_FALSE(ring->HitTest(mapping, {50, 50}, onOutline, 4, subpath)) << "even-odd leaves the hole empty";
    EXPECT_TRUE(ring->HitTest(mapping, {50, 68}, onOutline, 4, subpath));
    EXPECT_TRUE(onOutline);
    EXPECT_EQ(subpath, 1);

    ring->AsPath()->brushStyle = kBrushHollow;
    EXPECT_FALSE(ring->HitTest(mapping, {15, 50}, onOutline, 4, subpath));
    EXPECT_TRUE(ring->HitTest(mapping, {97, 50}, onOutline, 4, subpath));
    EXPECT_EQ(subpath, 0);

    // Text is hit inside its outline in document units: device (100, 100) is document (200, 200).
    mapping.SetScale(0.5f);
    auto text = MakeText(u"abc", {100.0f, 100.0f}, kTextParagraph);
    EXPECT_TRUE(text->HitTest(mapping, {100, 100}, onOutline, 4, subpath));
    EXPECT_FALSE(text->HitTest(mapping, {10, 10}, onOutline, 4, subpath));
}

} // namespace
} // namespace pq
