#include "FontTestSetup.h"

#include "platform/Font.h"

#include <gtest/gtest.h>

#include <string>

namespace pq {
namespace {

CLogFont Describe(std::u16string face, int32_t height, int32_t weight = kFontWeightNormal,
                  bool italic = false) {
    CLogFont logFont;
    logFont.faceName = std::move(face);
    logFont.height = height;
    logFont.weight = weight;
    logFont.italic = italic;
    return logFont;
}

CFont Make(const CLogFont& logFont) {
    CFont font;
    EXPECT_TRUE(font.Create(logFont));
    return font;
}

TEST(CFont, FaceNameIsCutToTwentyNineUnitsWithoutSplittingASurrogatePair) {
    const std::u16string longName = u"DejaVu Sans with a name far longer than any face";
    EXPECT_EQ(Make(Describe(longName, -20)).GetLogFont().faceName, longName.substr(0, 29));
    const std::u16string paired = std::u16string(28, u'x') + u"\U0001F600tail";
    EXPECT_EQ(Make(Describe(paired, -20)).GetLogFont().faceName, std::u16string(28, u'x'));
    EXPECT_EQ(Make(Describe(u"DejaVu Serif", -20)).GetLogFont().faceName, u"DejaVu Serif");
}

TEST(CFont, FacesFindTheirFilesTwinsOrTheSansFace) {
    struct Case {
        std::u16string face;
        int32_t weight;
        bool italic;
        std::string file;
    };
    const Case cases[] = {
        {u"DejaVu Sans", kFontWeightBold, false, "/DejaVuSans-Bold.ttf"},
        {u"DejaVu Sans", kFontWeightNormal, true, "/DejaVuSans-Oblique.ttf"},
        {u"DejaVu Sans", kFontWeightBold, true, "/DejaVuSans-BoldOblique.ttf"},
        {u"DejaVu Serif", kFontWeightBold, true, "/DejaVuSerif-BoldItalic.ttf"},
        {u"liberation  serif", kFontWeightBold, true, "/LiberationSerif-BoldItalic.ttf"},
        // The core faces are served by their metric twins.
        {u"Arial", kFontWeightNormal, false, "/LiberationSans-Regular.ttf"},
        {u"Times New Roman", kFontWeightBold, false, "/LiberationSerif-Bold.ttf"},
        {u"Courier New", kFontWeightNormal, true, "/LiberationMono-Italic.ttf"},
        // Missing faces fall back to the sans face.
        {u"No Such Face Anywhere", kFontWeightNormal, false, "/DejaVuSans.ttf"},
        {u"Tahoma", kFontWeightNormal, false, "/DejaVuSans.ttf"},
        {u"", kFontWeightNormal, false, "/DejaVuSans.ttf"},
        {u"Verdana", kFontWeightBold, false, "/DejaVuSans-Bold.ttf"},
    };
    for (const Case& c : cases) {
        const CFont font = Make(Describe(c.face, -24, c.weight, c.italic));
        EXPECT_TRUE(test::EndsWith(font.GetFilePath(), c.file)) << font.GetFilePath() << " for " << c.file;
        EXPECT_FALSE(font.IsSyntheticBold() || font.IsSyntheticItalic()) << c.file;
    }
    EXPECT_EQ(Make(Describe(u"Arial", -20)).GetFamily(), "Liberation Sans");
    EXPECT_EQ(Make(Describe(u"Tahoma", -20)).GetFamily(), "DejaVu Sans");
}

TEST(CFont, FamiliesWithoutBoldAreEmboldened) {
    // The maths face has one regular member only.
    const CFont regular = Make(Describe(u"DejaVu Math TeX Gyre", -40));
    const CFont bold = Make(Describe(u"DejaVu Math TeX Gyre", -40, kFontWeightBold));
    ASSERT_EQ(bold.GetFamily(), "DejaVu Math TeX Gyre");
    EXPECT_TRUE(bold.IsSyntheticBold());
    EXPECT_FALSE(regular.IsSyntheticBold());
    EXPECT_GT(bold.GetTextExtent(u"mmmm").cx, regular.GetTextExtent(u"mmmm").cx);
    const CFont slanted = Make(Describe(u"DejaVu Math TeX Gyre", -40, kFontWeightNormal, true));
    EXPECT_TRUE(slanted.IsSyntheticItalic());
}

TEST(CFont, NegativeHeightIsTheCharacterHeightPositiveTheCellHeight) {
    const CFont character = Make(Describe(u"DejaVu Sans", -40));
    const CTextMetric& cm = character.GetTextMetrics();
    EXPECT_EQ(character.GetPixelSize26(), 40 * 64);
    EXPECT_EQ(cm.height, cm.ascent + cm.descent);
    EXPECT_GT(cm.height, 40); // the cell adds the internal leading to the em
    EXPECT_EQ(cm.internalLeading, cm.height - 40);

    const CFont cell = Make(Describe(u"DejaVu Sans", 40));
    const CTextMetric& m = cell.GetTextMetrics();
    EXPECT_EQ(m.height, 40);
    EXPECT_EQ(m.ascent + m.descent, 40);
    EXPECT_LT(cell.GetPixelSize26(), 40 * 64);
    EXPECT_LT(cell.GetTextExtent(u"Hello").cx, character.GetTextExtent(u"Hello").cx);

    // Asking for the character font's cell height gives back (nearly) the same font.
    const CFont same = Make(Describe(u"DejaVu Sans", cm.height));
    EXPECT_NEAR(same.GetPixelSize26(), 40 * 64, 64);
    EXPECT_NEAR(same.GetTextExtent(u"Hello world").cx, character.GetTextExtent(u"Hello world").cx, 2);
}

TEST(CFont, HeightsAtTheEdgesStillMakeFonts) {
    const CFont standard = Make(Describe(u"DejaVu Sans", 0));
    EXPECT_GT(standard.GetTextMetrics().height, 0);
    const CFont tiny = Make(Describe(u"DejaVu Sans", -1));
    EXPECT_GE(tiny.GetTextMetrics().height, 1);
    const CFont huge = Make(Describe(u"DejaVu Sans", INT32_MIN));
    EXPECT_LE(huge.GetPixelSize26(), 10000 * 64);
    EXPECT_GT(huge.GetTextExtent(u"W").cx, 5000);
}

TEST(CFont, ExtentIsTheSumOfTheAdvances) {
    const CFont font = Make(Describe(u"Liberation Sans", -30));
    const int32_t a = font.GetCharAdvance(U'A');
    const int32_t v = font.GetCharAdvance(U'V');
    EXPECT_GT(a, 0);
    EXPECT_EQ(font.GetTextExtent(u"AV").cx, a + v); // no kerning pulls the pair together
    EXPECT_EQ(font.GetTextExtent(u"AVA").cx, 2 * a + v);
    EXPECT_GT(font.GetTextExtent(u"AVAV").cx, font.GetTextExtent(u"AVA").cx);
    EXPECT_EQ(font.GetTextExtent(u"").cx, 0);
    EXPECT_EQ(font.GetTextExtent(u"AV").cy, font.GetTextMetrics().height);

    // Liberation Sans keeps Arial's widths: at 2048 units per em, 'A' advances 1366 units.
    EXPECT_EQ(a, 20); // 1366 * 30 / 2048 = 20.01

    const std::u16string mixed = u"A\U0001D400V";
    const std::vector<int32_t> advances = font.GetCharAdvances(mixed);
    ASSERT_EQ(advances.size(), 4u);
    EXPECT_EQ(advances[0], a);
    EXPECT_EQ(advances[2], 0); // the second half of the pair
    EXPECT_EQ(advances[3], v);
    EXPECT_EQ(font.GetTextExtent(mixed).cx, advances[0] + advances[1] + advances[3]);
}

TEST(CFont, EscapementOtherSizesAndMovesLeaveTheExtentAlone) {
    CLogFont upright = Describe(u"DejaVu Serif", -25);
    CLogFont turned = upright;
    turned.escapement = turned.orientation = 450;
    EXPECT_EQ(Make(upright).GetTextExtent(u"Turned text"), Make(turned).GetTextExtent(u"Turned text"));

    CFont small = Make(Describe(u"DejaVu Sans", -12));
    const int32_t before = small.GetTextExtent(u"Quartz glyph").cx;
    const CFont large = Make(Describe(u"DejaVu Sans", -90));
    EXPECT_GT(large.GetTextExtent(u"Quartz glyph").cx, 5 * before);
    EXPECT_EQ(small.GetTextExtent(u"Quartz glyph jobs").cx - small.GetTextExtent(u" jobs").cx, before);

    const CFont moved = std::move(small);
    EXPECT_EQ(moved.GetTextExtent(u"Quartz glyph").cx, before);
    EXPECT_FALSE(small.IsValid());
    EXPECT_EQ(small.GetTextExtent(u"abc").cx, 0);
}

TEST(CFont, CalcTextBlockTakesTheWidestLineAndOneHeightPerLine) {
    const CFont font = Make(Describe(u"DejaVu Sans", -20));
    const int32_t lineHeight = font.GetTextMetrics().height;
    const CTextSize block = font.CalcTextBlock(u"ab\r\nabcdef\r\nx");
    EXPECT_EQ(block.cx, font.GetTextExtent(u"abcdef").cx);
    EXPECT_EQ(block.cy, 3 * lineHeight);

    EXPECT_EQ(font.CalcTextBlock(u""), (CTextSize{0, lineHeight}));
    EXPECT_EQ(font.CalcTextBlock(u"abc\r\n").cy, 2 * lineHeight);
    // A lone line feed is not a line break.
    EXPECT_EQ(font.CalcTextBlock(u"abc\ndef").cy, lineHeight);
    // Each line is measured on its own: the separator adds no width.
    EXPECT_EQ(font.CalcTextBlock(u"abc\r\nabc").cx, font.GetTextExtent(u"abc").cx);
}

} // namespace
} // namespace pq
