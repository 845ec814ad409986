#include "FontTestSetup.h"
#include "TestHelpers.h"

#include "render/FontTextMetrics.h"

#include "model/GraphicObject.h"
#include "model/TextShape.h"

#include <gtest/gtest.h>

#include <memory>

namespace pq {
namespace {

std::unique_ptr<CTextShape> Text(std::u16string text, float height, int32_t style = 0, float angle = 0.0f) {
    auto shape = std::make_unique<CTextShape>();
    shape->text = std::move(text);
    shape->faceName = u"Arial";
    shape->height = height;
    shape->style = style;
    shape->angle = angle;
    shape->position = {100.0f, 200.0f};
    return shape;
}

CFont DocumentFont(const CTextShape& text) {
    CFont font;
    EXPECT_TRUE(font.Create(CFontTextMetrics::DocumentScaleFont(text)));
    return font;
}

TEST(CFontTextMetrics, MeasuresWithTheRoundedHeightAsCharacterHeight) {
    const auto shape = Text(u"Measure", kDefaultTextHeight, kTextStyleBold | kTextStyleItalic, 30.0f);
    const CTextShape& text = *shape;
    const CLogFont logFont = CFontTextMetrics::DocumentScaleFont(text);
    EXPECT_EQ(logFont.height, -71);
    EXPECT_EQ(logFont.weight, kFontWeightBold);
    EXPECT_TRUE(logFont.italic);
    EXPECT_EQ(logFont.escapement, 0);
    EXPECT_EQ(CFontTextMetrics::DocumentScaleFont(*Text(u"x", 0.2f)).height, -1);

    const CFontTextMetrics metrics;
    const CFont font = DocumentFont(text);
    const CTextSize extent = font.GetTextExtent(u"Measure");
    EXPECT_EQ(metrics.MeasureString(text, u"Measure"), (CPointF{float(extent.cx), float(extent.cy)}));
    // Liberation Sans Bold Italic serves Arial.
    EXPECT_TRUE(test::EndsWith(font.GetFilePath(), "/LiberationSans-BoldItalic.ttf"));
}

TEST(CFontTextMetrics, StyleAndFaceChangeTheMeasure) {
    const CFontTextMetrics metrics;
    const auto regularShape = Text(u"", 50.0f);
    const auto boldShape = Text(u"", 50.0f, kTextStyleBold);
    const auto monoShape = Text(u"", 50.0f);
    monoShape->faceName = u"Courier New";
    const CTextShape& regular = *regularShape;
    const CTextShape& bold = *boldShape;
    const CTextShape& mono = *monoShape;
    EXPECT_GT(metrics.MeasureString(bold, u"wide words").x, metrics.MeasureString(regular, u"wide words").x);
    // Every character of a monospaced face has one advance.
    EXPECT_EQ(metrics.MeasureString(mono, u"iiii").x, metrics.MeasureString(mono, u"WWWW").x);
    EXPECT_LT(metrics.MeasureString(regular, u"iiii").x, metrics.MeasureString(regular, u"WWWW").x);
    // Back to the first font after others: the cached font is replaced, not reused wrongly.
    EXPECT_EQ(metrics.MeasureString(regular, u"wide words").x,
              static_cast<float>(DocumentFont(regular).GetTextExtent(u"wide words").cx));
}

TEST(CFontTextMetrics, ArtisticBoundsHoldEveryLineTurnedWithTheText) {
    const CFontTextMetrics metrics;
    const auto flatShape = Text(u"short\r\nthe longest line\r\nmid", 40.0f);
    const CTextShape& flat = *flatShape;
    const CFont font = DocumentFont(flat);
    const CRectF box = metrics.MeasureArtisticBounds(flat);
    EXPECT_TRUE(test::ExpectNear(box.left, 100.0, 1e-3));
    EXPECT_TRUE(test::ExpectNear(box.top, 200.0, 1e-3));
    EXPECT_TRUE(test::ExpectNear(box.Width(), font.GetTextExtent(u"the longest line").cx, 1e-3));
    EXPECT_TRUE(test::ExpectNear(box.Height(), 3.0 * font.GetTextMetrics().height, 1e-3));

    const CRectF turned = metrics.MeasureArtisticBounds(*Text(flat.text, 40.0f, 0, 90.0f));
    EXPECT_TRUE(test::ExpectNear(turned.Width(), box.Height(), 1e-2));
    EXPECT_TRUE(test::ExpectNear(turned.Height(), box.Width(), 1e-2));
    EXPECT_TRUE(test::ExpectNear(turned.bottom, 200.0, 1e-2));
    EXPECT_TRUE(test::ExpectNear(turned.left, 100.0, 1e-2));
}

TEST(CFontTextMetrics, InstalledMeasurerSetsTheBoundsOfTextObjects) {
    InstallFontTextMetrics();
    CGraphicObject object(kKindText);
    CTextShape* text = object.AsText();
    text->CopyFrom(*Text(u"Bounds", 60.0f));
    object.RecalcBounds();
    const float width = static_cast<float>(DocumentFont(*text).GetTextExtent(u"Bounds").cx);
    SetTextMetrics(nullptr);
    EXPECT_TRUE(test::ExpectNear(object.bounds.Width(), width, 1e-3));
    object.RecalcBounds();
    // The font-free estimate differs from the real face's width.
    EXPECT_FALSE(test::ExpectNear(object.bounds.Width(), width, 0.5));
}

} // namespace
} // namespace pq
