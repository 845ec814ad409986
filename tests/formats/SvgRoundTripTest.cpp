// Drawings written as SVG and read back: what the editor keeps must come back.
#include "formats/FormatDispatch.h"
#include "formats/svg/SvgFile.h"

#include "TestHelpers.h"
#include "native/PdfTestHelpers.h"
#include "platform/Utf16.h"
#include "render/TextLayout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace pq {
namespace {

using test::ExpectNear;
using test::ExpectSameNodes;

std::string WriteSvg(CDrawing& drawing, int page = 0) {
    std::string text;
    EXPECT_TRUE(CSvgFile().WriteToMemory(text, drawing, page)) << drawing.GetErrorMessage();
    return text;
}

bool ReadSvg(const std::string& text, CDrawing& drawing) {
    CSvgFile file;
    return file.ReadFromMemory({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, drawing);
}

CNodeArray Curve() {
    CNodeArray nodes;
    nodes.Add({{-100.25f, 30.0f}, {-100.25f, 30.0f}, {-80.5f, -20.125f}});
    nodes.Add({{10.0f, -60.0f}, {40.0f, 5.0f}, {40.0f, 5.0f}});
    nodes.Add(CPathNode::FromPoint({90.0f, 70.333f}));
    return nodes;
}

TEST(SvgRoundTrip, PathsKeepTheirSubpathsCurvesAndStyles) {
    CDrawing drawing;
    drawing.SetPageSize(2100.0f, 2970.0f);
    // A ring with a curved outline, a closed box, an open curve with a hairline, dashed and null pens.
    drawing.Add(test::MakePathObject({test::Square(-300, -300, 200), test::Square(-250, -250, 100)},
                                     kPenSolid, kBrushSolid, 6, 0x0000FF, 0x00FF80));
    drawing.Add(test::MakePathObject({Curve()}, kPenSolid, kBrushHollow, 0, 0x123456, 0));
    drawing.Add(test::MakePathObject({Curve()}, kPenDashDot, kBrushHollow, 1, 0x010203, 0));
    drawing.Add(test::MakePathObject({Curve()}, kPenDot, kBrushHollow, 9, 0x010203, 0)); // wide: drawn solid
    drawing.Add(test::MakePathObject({test::Square(0, 0, 50)}, kPenNull, kBrushHatched, 3, 0, 0xABCDEF));
    drawing.Add(test::MakePathObject({test::Square(60, 0, 50)}, kPenInsideFrame, 3, 3, 0x7F7F7F, 0x102030));

    const std::string svg = WriteSvg(drawing);
    CDrawing back;
    ASSERT_TRUE(ReadSvg(svg, back)) << back.GetErrorMessage();
    EXPECT_EQ(back.GetPageWidth(), 2100.0f);
    EXPECT_EQ(back.GetPageHeight(), 2970.0f);
    ASSERT_EQ(back.Count(), drawing.Count());
    for (int i = 0; i < drawing.Count(); ++i) {
        SCOPED_TRACE("object " + std::to_string(i));
        const CPathShape* e = drawing.GetAt(i)->AsPath();
        const CPathShape* a = back.GetAt(i)->AsPath();
        ASSERT_NE(a, nullptr);
        ExpectSameNodes(*a, *e);
        EXPECT_EQ(a->penStyle, e->penStyle);
        EXPECT_EQ(a->penWidth, e->penWidth);
        EXPECT_EQ(a->brushStyle, e->brushStyle);
        if (e->penStyle != kPenNull) {
            EXPECT_EQ(a->penColor, e->penColor);
        }
        if (e->brushStyle != kBrushHollow) {
            EXPECT_EQ(back.GetAt(i)->color, drawing.GetAt(i)->color);
        }
    }
    // Closed subpaths are closed with Z and gain no node; the dashes of thin pens are SVG's own.
    EXPECT_NE(svg.find("Z\""), std::string::npos);
    EXPECT_NE(svg.find("stroke-dasharray=\"23.81 15.88 7.94 15.88\""), std::string::npos);
    EXPECT_NE(svg.find("fill-rule=\"evenodd\""), std::string::npos);
}

TEST(SvgRoundTrip, GroupsComeBackAsTheyWereEvenWhenTheirMembersAreNotAdjacent) {
    CDrawing drawing;
    for (int i = 0; i < 6; ++i)
        drawing.Add(test::MakePathObject({test::Square(i * 60.0f, 0, 50)}, kPenSolid, kBrushSolid));
    // Group 1: objects 0 and 1; group 2: objects 2 and 4 (object 3 between them, ungrouped); 5 alone.
    drawing.GetAt(0)->group = 1;
    drawing.GetAt(1)->group = 1;
    drawing.GetAt(2)->group = 2;
    drawing.GetAt(4)->group = 2;
    const std::string svg = WriteSvg(drawing);
    CDrawing back;
    ASSERT_TRUE(ReadSvg(svg, back));
    back.RenumberAll();
    ASSERT_EQ(back.Count(), 6);
    const int expected[] = {1, 1, 2, 0, 2, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(back.GetAt(i)->group, expected[i]) << "object " << i;
    // Group 2 is written as two <g> elements that share its number.
    std::size_t split = 0;
    for (std::size_t at = svg.find("<g pq:group=\"2\">"); at != std::string::npos;
         at = svg.find("<g pq:group=\"2\">", at + 1))
        ++split;
    EXPECT_EQ(split, 2u) << svg;
}

TEST(SvgRoundTrip, TextsKeepFontStyleAlignmentRotationAndParagraphFrames) {
    CDrawing drawing;
    drawing.Add(test::MakeTextObject(u"First line\r\n  second, indented\r\n\r\nafter a blank", {-400, -300}));
    drawing.Add(test::MakeTextObject(u"Right <&> \"quoted\"", {-400, 0}, kTextArtistic, kAlignRight,
                                     kTextStyleBold | kTextStyleItalic));
    drawing.Add(test::MakeTextObject(u"Centred\r\nand turned", {0, 200}, kTextArtistic, kAlignCentre,
                                     kTextStyleUnderline, 30.0f));
    drawing.Add(test::MakeTextObject(u"A paragraph of several words that wraps inside its frame.\r\nSecond.",
                                     {-300, 400}, kTextParagraph, kAlignLeft, 0));
    drawing.Add(test::MakeTextObject(u"Ünïcödé ✓ 𝄞", {100, -500}));
    const std::string svg = WriteSvg(drawing);

    CDrawing back;
    ASSERT_TRUE(ReadSvg(svg, back)) << back.GetErrorMessage();
    ASSERT_EQ(back.Count(), drawing.Count());
    for (int i = 0; i < drawing.Count(); ++i) {
        SCOPED_TRACE("text " + std::to_string(i));
        const CTextShape* e = drawing.GetAt(i)->AsText();
        const CTextShape* a = back.GetAt(i)->AsText();
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(a->text == e->text) << Utf16ToUtf8(a->text);
        EXPECT_TRUE(a->faceName == e->faceName);
        EXPECT_TRUE(ExpectNear(a->height, e->height, 1e-3));
        EXPECT_EQ(a->style, e->style);
        EXPECT_EQ(a->alignment, e->alignment);
        EXPECT_EQ(a->mode, e->mode);
        EXPECT_TRUE(ExpectNear(a->angle, e->angle, 1e-3));
        EXPECT_TRUE(ExpectNear(a->position, e->position, 0.01));
        if (e->mode == kTextParagraph) {
            EXPECT_TRUE(ExpectNear(a->corner, e->corner, 0.01));
        }
        EXPECT_EQ(back.GetAt(i)->color, drawing.GetAt(i)->color);
    }
    // Texts read and search as text in a browser: each line is a tspan.
    EXPECT_NE(svg.find(">  second, indented</tspan>"), std::string::npos);
    EXPECT_NE(svg.find("&lt;&amp;&gt; &quot;quoted&quot;"), std::string::npos);
    EXPECT_NE(svg.find("transform=\"rotate(-30 0 200)\""), std::string::npos);
}

TEST(SvgRoundTrip, ParagraphLinesBreakWhereTheRendererBreaksThemAndStopAtTheFrame) {
    CDrawing drawing;
    auto object = test::MakeTextObject(u"one two three four five six seven eight nine ten eleven twelve",
                                       {-200, -200}, kTextParagraph);
    CTextShape* text = object->AsText();
    text->corner = {100, -200 + 2.5f * GetTextMetrics().MeasureString(*text, u"a").y};
    object->RecalcBounds();
    drawing.Add(std::move(object));
    const std::string svg = WriteSvg(drawing);

    std::vector<std::string> lines;
    for (std::size_t at = svg.find("<tspan"); at != std::string::npos; at = svg.find("<tspan", at + 1)) {
        const std::size_t start = svg.find('>', at) + 1;
        lines.push_back(svg.substr(start, svg.find("</tspan>", start) - start));
    }
    // The frame holds two whole lines; each fits the frame's width, and they hold the text's first words.
    ASSERT_EQ(lines.size(), 2u) << svg;
    const CTextShape& shape = *drawing.GetAt(0)->AsText();
    for (const std::string& line : lines)
        EXPECT_LE(GetTextMetrics().MeasureString(shape, Utf8ToUtf16(line)).x, 300.0f) << line;
    EXPECT_EQ(Utf16ToUtf8(shape.text).rfind(lines[0] + " " + lines[1], 0), 0u);
}

TEST(SvgRoundTrip, ImagesComeBackPixelForPixel) {
    CDrawing drawing;
    drawing.Add(test::MakeImageObject({-100, 60, -50, 40}, 7, 5));
    const std::string svg = WriteSvg(drawing);
    EXPECT_NE(svg.find("xlink:href=\"data:image/png;base64,"), std::string::npos);
    CDrawing back;
    ASSERT_TRUE(ReadSvg(svg, back));
    ASSERT_EQ(back.Count(), 1);
    const CImageShape* image = back.GetAt(0)->AsImage();
    ASSERT_NE(image, nullptr);
    const CImageShape& original = *drawing.GetAt(0)->AsImage();
    EXPECT_TRUE(ExpectNear(image->placement.left, -100, 1e-3));
    EXPECT_TRUE(ExpectNear(image->placement.right, 60, 1e-3));
    EXPECT_TRUE(ExpectNear(image->placement.top, -50, 1e-3));
    EXPECT_TRUE(ExpectNear(image->placement.bottom, 40, 1e-3));
    ASSERT_EQ(image->bitmap.GetWidth(), 7);
    ASSERT_EQ(image->bitmap.GetHeight(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7 * 3; ++x) {
            const std::size_t i =
                static_cast<std::size_t>(y) * original.bitmap.GetBytesPerRow() + static_cast<std::size_t>(x);
            ASSERT_EQ(image->bitmap.GetBits()[i], original.bitmap.GetBits()[i])
                << "row " << y << " byte " << x;
        }
}

TEST(SvgRoundTrip, TheChosenPageKeepsItsGroupsAndAMissingPageIsRefused) {
    test::CTempFolder folder;
    CDrawing drawing;
    drawing.SetPageCount(3);
    drawing.Add(test::MakePathObject({test::Square(0, 0, 10)}, kPenSolid, kBrushSolid, 3, 0, 0x111111, 0));
    drawing.Add(test::MakePathObject({test::Square(0, 0, 20)}, kPenSolid, kBrushSolid, 3, 0, 0x222222, 1, 4));
    drawing.Add(test::MakePathObject({test::Square(0, 0, 30)}, kPenSolid, kBrushSolid, 3, 0, 0x333333, 1, 4));
    ASSERT_TRUE(SaveDrawing(drawing, folder.File("page.svg"), 1, -1, -1, nullptr))
        << drawing.GetErrorMessage();
    EXPECT_EQ(drawing.GetAt(1)->page, 1);

    CDrawing back;
    ASSERT_TRUE(OpenDrawing(back, folder.File("page.svg"))) << back.GetErrorMessage();
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.GetAt(0)->color, 0x222222u);
    EXPECT_EQ(back.GetAt(0)->page, 0);
    EXPECT_EQ(back.GetAt(0)->group, 1);
    EXPECT_EQ(back.GetAt(1)->group, 1);

    std::string text;
    EXPECT_FALSE(CSvgFile().WriteToMemory(text, drawing, 3));
    EXPECT_EQ(drawing.GetErrorMessage(), "SVG: the drawing has no page 4");
}

TEST(SvgRoundTrip, WrittenFilesAreValidXmlForXmllint) {
    if (test::PeerMissing("/usr/bin/xmllint"))
        return;
    test::CTempFolder folder;
    CDrawing drawing;
    drawing.Add(test::MakePathObject({Curve(), test::Square(-50, -50, 30)}, kPenDash, kBrushSolid, 1));
    drawing.Add(test::MakeTextObject(u"Tags <b> & \x01 control \xFFFE chars", {-400, -300}));
    drawing.Add(test::MakeTextObject(u"Paragraph\r\ntext", {-300, 400}, kTextParagraph, kAlignCentre));
    drawing.Add(test::MakeImageObject({-100, 60, -50, 40}));
    drawing.GetAt(0)->group = 1;
    drawing.GetAt(1)->group = 1;
    ASSERT_TRUE(CSvgFile().Write(folder.File("valid.svg"), drawing, 0));
    std::string output;
    EXPECT_EQ(test::RunCommand("/usr/bin/xmllint --noout " + folder.File("valid.svg"), output), 0) << output;
    EXPECT_EQ(output, "");
}

} // namespace
} // namespace pq
