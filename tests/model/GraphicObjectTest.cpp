#include "ModelTestHelpers.h"
#include "TestHelpers.h"

#include "model/GraphicObject.h"
#include "model/TextMetrics.h"

#include "geometry/Transform.h"
#include "geometry/ViewMapping.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(CGraphicObject, SetKindCreatesTheMatchingPrimitive) {
    CGraphicObject object(kKindPath);
    EXPECT_EQ(object.flags, 1u);
    EXPECT_NE(object.AsPath(), nullptr);
    EXPECT_EQ(object.AsText(), nullptr);
    EXPECT_EQ(object.AsImage(), nullptr);

    object.SetKind(kKindText);
    ASSERT_NE(object.AsText(), nullptr);
    EXPECT_EQ(object.AsText()->height, kDefaultTextHeight);
    EXPECT_EQ(object.AsText()->alignment, kAlignLeft);
    EXPECT_EQ(object.AsText()->mode, kTextArtistic);
    EXPECT_EQ(object.AsPath(), nullptr);

    object.SetKind(kKindImage);
    ASSERT_NE(object.AsImage(), nullptr);
    EXPECT_EQ(object.AsImage()->rasterOp, 0xCC0020u);

    object.SetKind(kKindShape);
    EXPECT_EQ(object.shape, nullptr);
    EXPECT_EQ(object.GetKind(), kKindShape);
    object.SetKind(12345);
    EXPECT_EQ(object.shape, nullptr);
}

TEST(CGraphicObject, CopyFromIsDeep) {
    auto original = test::MakeRectangle({0.0f, 10.0f, 0.0f, 20.0f}, 0x123456, 3, 2);
    original->AsPath()->penWidth = 9;
    CGraphicObject copy(kKindText);
    copy.CopyFrom(*original);
    ASSERT_NE(copy.AsPath(), nullptr);
    EXPECT_EQ(copy.AsPath()->penWidth, 9);
    EXPECT_EQ(copy.color, 0x123456u);
    EXPECT_EQ(copy.page, 3);
    EXPECT_EQ(copy.group, 2);
    EXPECT_EQ(copy.bounds, original->bounds);
    ASSERT_EQ(copy.AsPath()->polylines.size(), 1u);

    (*original->AsPath()->subpaths[0])[0].anchor = {-99.0f, -99.0f};
    original->AsPath()->polylines[0]->Add({5.0f, 5.0f});
    EXPECT_EQ((*copy.AsPath()->subpaths[0])[0].anchor, (CPointF{0.0f, 0.0f}));
    EXPECT_EQ(copy.AsPath()->polylines[0]->GetSize(), original->AsPath()->polylines[0]->GetSize() - 1);
}

TEST(CGraphicObject, CopyFromTextLeavesTheOutlineCacheBehindButKeepsBounds) {
    auto original = test::MakeText(u"hello", {10.0f, 20.0f}, kTextArtistic);
    ASSERT_EQ(original->AsText()->outline.size(), 5u);
    auto copy = original->Clone();
    EXPECT_TRUE(copy->AsText()->outline.empty());
    EXPECT_EQ(copy->AsText()->text, u"hello");
    EXPECT_EQ(copy->bounds, original->bounds);
}

TEST(CGraphicObject, PathWithoutSubpathsHasTheEmptyBox) {
    CGraphicObject object(kKindPath);
    object.RecalcBounds();
    EXPECT_EQ(object.bounds, (CRectF{1e10f, -1e10f, 1e10f, -1e10f}));
}

TEST(CGraphicObject, PathBoundsCoverTheFlattenedCurve) {
    CGraphicObject object(kKindPath);
    CNodeArray& nodes = object.AsPath()->AddSubpath();
    // A symmetric arch from (0, 0) to (100, 0) bulging up to y = -75 at its middle.
    nodes.Add({{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, -100.0f}});
    nodes.Add({{100.0f, -100.0f}, {100.0f, 0.0f}, {100.0f, 0.0f}});
    object.RecalcBounds();
    EXPECT_EQ(object.bounds.left, 0.0f);
    EXPECT_EQ(object.bounds.right, 100.0f);
    EXPECT_EQ(object.bounds.bottom, 0.0f);
    EXPECT_TRUE(test::ExpectNear(object.bounds.top, -75.0, 2.0)); // within the display tolerance
    EXPECT_GT(object.AsPath()->polylines[0]->GetSize(), 4u);
}

TEST(CGraphicObject, ParagraphTextBoundsAreItsFrame) {
    auto object = test::MakeText(u"abc", {10.0f, 20.0f}, kTextParagraph);
    EXPECT_EQ(object->bounds, (CRectF{10.0f, 410.0f, 20.0f, 220.0f}));
    const auto& outline = object->AsText()->outline;
    ASSERT_EQ(outline.size(), 5u);
    EXPECT_EQ(outline[0], (CPoint{10, 20}));
    EXPECT_EQ(outline[2], (CPoint{410, 220}));
    EXPECT_EQ(outline[4], outline[0]);
}

TEST(CGraphicObject, ImageBoundsAreItsPlacement) {
    CGraphicObject object(kKindImage);
    object.AsImage()->placement = {5.0f, 15.0f, -5.0f, 25.0f};
    object.RecalcBounds();
    EXPECT_EQ(object.bounds, (CRectF{5.0f, 15.0f, -5.0f, 25.0f}));
}

TEST(CGraphicObjectTransform, ScalesPathNodes) {
    auto object = test::MakeRectangle({0.0f, 10.0f, 0.0f, 20.0f});
    CTransform t;
    t.Scale(2.0f, 3.0f, 1.0f);
    object->Transform(t);
    EXPECT_EQ(object->bounds, (CRectF{0.0f, 20.0f, 0.0f, 60.0f}));
    EXPECT_EQ((*object->AsPath()->subpaths[0])[2].in, (CPointF{20.0f, 60.0f}));
}

TEST(CGraphicObjectTransform, ImageMovesItsTwoCornersOnly) {
    CGraphicObject object(kKindImage);
    object.AsImage()->placement = {0.0f, 10.0f, 0.0f, 20.0f};
    CTransform t;
    t.Translate(-5.0f, -7.0f, 0.0f); // moves by (+5, +7)
    object.Transform(t);
    EXPECT_EQ(object.AsImage()->placement, (CRectF{5.0f, 15.0f, 7.0f, 27.0f}));
    EXPECT_EQ(object.bounds, object.AsImage()->placement);
}

TEST(CGraphicObjectTransform, ArtisticTextHeightNeverDropsBelowThree) {
    auto object = test::MakeText(u"a", {0.0f, 0.0f}, kTextArtistic);
    object->AsText()->height = 10.0f;
    CTransform shrink;
    shrink.Scale(0.1f, 0.1f, 1.0f);
    object->Transform(shrink);
    EXPECT_EQ(object->AsText()->height, 3.0f);

    object->AsText()->height = 10.0f;
    CTransform grow;
    grow.Scale(1.0f, 2.5f, 1.0f);
    object->Transform(grow);
    EXPECT_EQ(object->AsText()->height, 25.0f);
}

TEST(CGraphicObjectTransform, ParagraphFrameStaysAtLeastOneLetterM) {
    auto object = test::MakeText(u"abc", {100.0f, 100.0f}, kTextParagraph);
    CTextShape* text = object->AsText();
    const CPointF m = GetTextMetrics().MeasureString(*text, u"m");
    ASSERT_GT(m.x, 0.0f);
    ASSERT_GT(m.y, 0.0f);
    CTransform squash;
    squash.Scale(0.01f, 0.01f, 1.0f);
    object->Transform(squash);
    EXPECT_EQ(text->position, (CPointF{1.0f, 1.0f}));
    EXPECT_EQ(text->corner, (CPointF{1.0f + m.x, 1.0f + m.y}));
    EXPECT_EQ(text->height, kDefaultTextHeight);
    EXPECT_EQ(object->bounds, (CRectF{1.0f, 1.0f + m.x, 1.0f, 1.0f + m.y}));
}

// A view at 1 pixel per document unit with the origins together, so device and document agree.
CViewMapping UnitMapping() {
    CViewMapping mapping;
    mapping.SetScale(1.0f);
    mapping.SetOrigins(0.0f, 0.0f, 0, 0);
    return mapping;
}

TEST(CGraphicObjectHitTest, FilledPathIsHitInside) {
    auto object = test::MakeRectangle({0.0f, 100.0f, 0.0f, 100.0f});
    const CViewMapping mapping = UnitMapping();
    bool onOutline = true;
    int subpath = -1;
    EXPECT_TRUE(object->HitTest(mapping, {50, 50}, onOutline, 4, subpath));
    EXPECT_FALSE(onOutline);
    EXPECT_FALSE(object->HitTest(mapping, {150, 50}, onOutline, 4, subpath));
}

TEST(CGraphicObjectHitTest, HoleOfARingAndHollowInteriorsAreHitOnlyNearTheOutline) {
    auto ring = test::MakeRectangle({0.0f, 100.0f, 0.0f, 100.0f});
    ring->AsPath()->AddSubpath(test::RectangleNodes({30.0f, 70.0f, 30.0f, 70.0f}));
    ring->RecalcBounds();
    const CViewMapping mapping = UnitMapping();
    bool onOutline = false;
    int subpath = -1;
    EXPECT_FALSE(ring->HitTest(mapping, {50, 50}, onOutline, 4, subpath)) << "even-odd leaves the hole empty";
    EXPECT_TRUE(ring->HitTest(mapping, {50, 68}, onOutline, 4, subpath)); // in the hole, near its edge
    EXPECT_TRUE(onOutline);
    EXPECT_EQ(subpath, 1);

    auto hollow = test::MakeRectangle({0.0f, 100.0f, 0.0f, 100.0f});
    hollow->AsPath()->brushStyle = kBrushHollow;
    EXPECT_FALSE(hollow->HitTest(mapping, {50, 50}, onOutline, 4, subpath));
    EXPECT_TRUE(hollow->HitTest(mapping, {97, 50}, onOutline, 4, subpath));
    EXPECT_TRUE(onOutline);
    EXPECT_EQ(subpath, 0);
}

TEST(CGraphicObjectHitTest, TextIsHitInsideItsOutlineInDocumentUnits) {
    auto text = test::MakeText(u"abc", {100.0f, 100.0f}, kTextParagraph);
    CViewMapping mapping;
    mapping.SetScale(0.5f);
    mapping.SetOrigins(0.0f, 0.0f, 0, 0);
    bool onOutline = true;
    int subpath = -1;
    EXPECT_TRUE(text->HitTest(mapping, {100, 100}, onOutline, 4, subpath)); // document (200, 200)
    EXPECT_FALSE(onOutline);
    EXPECT_FALSE(text->HitTest(mapping, {10, 10}, onOutline, 4, subpath)); // document (20, 20)
}

TEST(CGraphicObjectHitTest, ImageIsAlwaysHit) {
    CGraphicObject image(kKindImage);
    const CViewMapping mapping = UnitMapping();
    bool onOutline = true;
    int subpath = -1;
    EXPECT_TRUE(image.HitTest(mapping, {-1000, 1000}, onOutline, 4, subpath));
}

} // namespace
} // namespace pq
