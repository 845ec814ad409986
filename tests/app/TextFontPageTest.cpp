// The text and font pages: shown values, three-state styles, kinds, sizes in points, and what OK writes.

#include "PropertySheetTestSetup.h"

namespace pq::test {
namespace {

using Check = CFontPage::Check;

TEST(FontPage, SizesAreWholePointsAndTypedSizesAreHeldToSaneHeights) {
    EXPECT_EQ(CFontPage::PointsOf(70.5555f), 20);
    EXPECT_EQ(CFontPage::PointsOf(3.0f), 1);
    EXPECT_FLOAT_EQ(*CFontPage::HeightOf("12"), 12 * 3.52777f);
    EXPECT_FLOAT_EQ(*CFontPage::HeightOf("12 pt"), 12 * 3.52777f);
    EXPECT_FLOAT_EQ(*CFontPage::HeightOf("0"), 3.0f);
    EXPECT_FLOAT_EQ(*CFontPage::HeightOf("-20"), 20 * 3.52777f);
    EXPECT_FLOAT_EQ(*CFontPage::HeightOf("2147483647"), CFontPage::kMaxPoints * 3.52777f);
    EXPECT_FALSE(CFontPage::HeightOf("big").has_value());
    EXPECT_FALSE(CFontPage::HeightOf("").has_value());
    for (int index = 0; index < 3; ++index)
        EXPECT_EQ(CFontPage::AlignmentIndex(CFontPage::AlignmentWord(index)), index);
    EXPECT_EQ(CFontPage::AlignmentWord(1), kAlignCentre);
}

TEST(FontPage, DifferingTextsShowBlankAndThirdStateAndKeepTheirOwnValues) {
    CSheetSetup s;
    s.Drawing().Add(BuildText(
        u"a", {0, 0}, {.faceName = u"Arial", .corner = {}, .height = 70.5555f, .angle = 45, .style = 1}));
    s.Drawing().Add(BuildText(u"b", {0, 300},
                              {.faceName = u"Verdana",
                               .corner = {},
                               .height = 35.0f,
                               .angle = 45,
                               .alignment = kAlignRight,
                               .style = 3}));
    s.Start();
    s.Select({0, 1});
    CModalPropSheet sheet = s.Sheet(PropertySheetOpening::Properties);
    CFontPage& font = *sheet.GetFontPage();
    EXPECT_EQ(font.GetFace(), u"");
    EXPECT_EQ(font.GetSizeText(), "");
    EXPECT_EQ(font.GetStyle(0), Check::On);
    EXPECT_EQ(font.GetStyle(1), Check::Mixed);
    EXPECT_EQ(font.GetStyle(2), Check::Off);
    EXPECT_EQ(font.GetAlignmentIndex(), -1);
    EXPECT_EQ(font.GetShownAngle(), "45");
    EXPECT_TRUE(font.IsAngleEnabled());
    // A face not installed is offered all the same.
    s.Select({1});
    CModalPropSheet single = s.Sheet(PropertySheetOpening::Properties);
    EXPECT_EQ(single.GetFontPage()->GetFace(), u"Verdana");
    EXPECT_EQ(single.GetFontPage()->GetFamilies().front(), u"Verdana");
    EXPECT_EQ(single.GetFontPage()->GetSizeText(), "10");
    EXPECT_EQ(single.GetFontPage()->GetAlignmentIndex(), 2);

    // Underline on, italic left mixed, a size that is no number: only underline and the angle change.
    s.Select({0, 1});
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& next) {
        CFontPage& page = *next.GetFontPage();
        page.SetStyle(2, Check::On);
        page.SetSizeText("huge");
        page.SetAngleText("-90");
    }));
    const CTextShape& a = *s.Drawing().GetAt(0)->AsText();
    const CTextShape& b = *s.Drawing().GetAt(1)->AsText();
    EXPECT_EQ(a.style, 5);
    EXPECT_EQ(b.style, 7);
    EXPECT_EQ(a.faceName, u"Arial");
    EXPECT_EQ(b.faceName, u"Verdana");
    EXPECT_FLOAT_EQ(a.height, 70.5555f);
    EXPECT_FLOAT_EQ(b.height, 35.0f);
    EXPECT_EQ(b.alignment, kAlignRight);
    EXPECT_EQ(a.angle, -90.0f);
    EXPECT_EQ(s.Steps(), 1);
}

TEST(TextPage, AnArtisticTextMadeAParagraphGetsItsBoundsAsFrameAndNoAngle) {
    CSheetSetup s;
    s.Drawing().Add(BuildText(u"turned", {100, 100}, {.corner = {}, .angle = 30}));
    s.Drawing().Add(MakeText(u"frame", {0, 600}, kTextParagraph));
    s.Start();
    s.Select({0});
    const CRectF bounds = s.Bounds(0);
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        EXPECT_EQ(sheet.GetTextPage()->GetKind(), CTextPage::kArtistic);
        EXPECT_TRUE(sheet.GetFontPage()->IsAngleEnabled());
        sheet.ChooseTextKind(CTextPage::kParagraph);
        // The font page's angle follows at once.
        EXPECT_FALSE(sheet.GetFontPage()->IsAngleEnabled());
        EXPECT_EQ(sheet.GetFontPage()->GetShownAngle(), "0");
        sheet.GetFontPage()->SetAngleText("45"); // disabled: paragraph text is never turned
    }));
    const CTextShape& text = *s.Drawing().GetAt(0)->AsText();
    EXPECT_EQ(text.mode, kTextParagraph);
    EXPECT_EQ(text.angle, 0.0f);
    EXPECT_EQ(text.position, bounds.TopLeft());
    EXPECT_EQ(text.corner, bounds.BottomRight());
    EXPECT_EQ(text.text, u"turned");
    EXPECT_EQ(s.Steps(), 1); // the font page changed nothing more

    // Two texts with different strings show blank; a blank edit keeps each string.
    s.Select({0, 1});
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        EXPECT_EQ(sheet.GetTextPage()->GetText(), "");
        EXPECT_EQ(sheet.GetTextPage()->GetKind(), CTextPage::kParagraph);
        sheet.ChooseTextKind(CTextPage::kArtistic);
    }));
    EXPECT_EQ(s.Drawing().GetAt(0)->AsText()->text, u"turned");
    EXPECT_EQ(s.Drawing().GetAt(1)->AsText()->text, u"frame");
    EXPECT_EQ(s.Drawing().GetAt(1)->AsText()->mode, kTextArtistic);
}

TEST(TextPage, LinesAreNewlinesInTheEditAndCrLfInTheText) {
    EXPECT_EQ(CTextPage::EditTextOf(u"one\r\ntwo\r\n\r\nfour"), "one\ntwo\n\nfour");
    EXPECT_EQ(CTextPage::StoredTextOf("one\ntwo\r\nthree\rfour"), u"one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(CTextPage::StoredTextOf("\xC3\xA9t\xC3\xA9"), u"\u00E9t\u00E9");
    CSheetSetup s;
    s.Drawing().Add(MakeText(u"old", {0, 0}));
    s.Start();
    s.Select({0});
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        EXPECT_EQ(sheet.GetTextPage()->GetText(), "old");
        sheet.GetTextPage()->SetText("new\nlines");
    }));
    EXPECT_EQ(s.Drawing().GetAt(0)->AsText()->text, u"new\r\nlines");
    EXPECT_EQ(s.Drawing().GetAt(0)->AsText()->LineCount(), 2);
}

} // namespace
} // namespace pq::test
