#include "PdfTestHelpers.h"

#include "TestHelpers.h"
#include "platform/image/DibPixels.h"

#include <cstdio>

namespace pq {
namespace {

using namespace test;

// Saves and opens a drawing again; the result must open.
void RoundTrip(CDrawing& drawing, CDrawing& back) {
    const std::vector<uint8_t> bytes = WritePdf(drawing);
    ASSERT_TRUE(ReadPdf(bytes, back)) << back.GetErrorMessage();
}

TEST(PdfReader, SubpathsKeepTheirNodesAndTheirClosing) {
    CNodeArray curve;
    curve.Add({{0, 0}, {0, 0}, {50, -80}});
    curve.Add({{120, 90}, {200, 10}, {260, -40}});
    curve.Add({{300, 0}, {300, 100}, {300, 100}});
    const CNodeArray closed = Square(-200, -200, 150);
    const CNodeArray open = Polyline({{10, 300}, {200, 320}, {10, 400}});
    const std::vector<std::vector<CNodeArray>> cases = {{closed},       {open},  {closed, open},
                                                        {open, closed}, {curve}, {closed, curve, closed}};
    for (int32_t penStyle : {kPenSolid, kPenNull}) {
        for (int32_t brushStyle : {kBrushSolid, kBrushHollow}) {
            for (std::size_t c = 0; c < cases.size(); ++c) {
                CDrawing drawing;
                auto object = MakePathObject({}, penStyle, brushStyle);
                for (const CNodeArray& nodes : cases[c])
                    object->AsPath()->AddSubpath(nodes);
                drawing.Add(std::move(object));
                CDrawing back;
                RoundTrip(drawing, back);
                ASSERT_EQ(back.Count(), 1) << "case " << c;
                SCOPED_TRACE("case " + std::to_string(c) + " pen " + std::to_string(penStyle) + " brush " +
                             std::to_string(brushStyle));
                ExpectSameNodes(*back.GetAt(0)->AsPath(), *drawing.GetAt(0)->AsPath(), 0.01);
            }
        }
    }
}

TEST(PdfReader, StylesComeBackAsWritten) {
    CDrawing drawing;
    const int32_t widths[] = {1, 2, 7, 10, 11, 18, 35, 100, 2500};
    for (int32_t width : widths)
        drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushHollow, width));
    // Every byte value as a red, green and blue component of pen and fill colours.
    for (uint32_t v = 0; v < 256; ++v)
        drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushSolid, 1,
                                   v | (255 - v) << 8 | (v * 7 % 256) << 16,
                                   (v * 13 % 256) | v << 8 | (255 - v) << 16));
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenNull, kBrushSolid, 3, 0, 0x123456));
    CDrawing back;
    RoundTrip(drawing, back);
    ASSERT_EQ(back.Count(), drawing.Count());
    for (int i = 0; i < drawing.Count(); ++i) {
        const CPathShape& a = *back.GetAt(i)->AsPath();
        const CPathShape& b = *drawing.GetAt(i)->AsPath();
        EXPECT_EQ(a.penStyle, b.penStyle) << i;
        EXPECT_EQ(a.brushStyle, b.brushStyle) << i;
        if (b.penStyle != kPenNull) {
            EXPECT_EQ(a.penWidth, b.penWidth) << i;
            EXPECT_EQ(a.penColor, b.penColor) << i;
        }
        if (b.brushStyle != kBrushHollow) {
            EXPECT_EQ(back.GetAt(i)->color, drawing.GetAt(i)->color) << i;
        }
    }
}

TEST(PdfReader, TextsComeBackExactly) {
    struct Case {
        std::u16string text;
        int32_t mode;
        int32_t alignment;
        int32_t style;
        float angle;
        float expectedAngle;
        float frameHeight = 400.0f;
    };
    const Case cases[] = {
        {u"plain", kTextArtistic, kAlignLeft, 0, 0.0f, 0.0f},
        {u"f(x) = (a + b)) and (", kTextArtistic, kAlignRight, 0, 0.0f, 0.0f},
        {u"C:\\path\\to\\(file)\\", kTextArtistic, kAlignCentre, kTextStyleBold, 30.0f, 30.0f},
        {u"Caf\u00e9 cr\u00e8me \u00e0 la m\u00f6de \u20ac", kTextArtistic, kAlignLeft, kTextStyleItalic,
         0.0f, 0.0f},
        {u"\u0393\u03b5\u03b9\u03ac \u4e2d\u6587 \U0001F600 \u2713", kTextArtistic, kAlignLeft,
         kTextStyleBold | kTextStyleItalic, -90.4f, 270.0f},
        {u"line one\r\n(line two)\r\n\r\nline four", kTextArtistic, kAlignCentre, kTextStyleUnderline, 0.0f,
         0.0f},
        {u"A paragraph of words (with brackets) that wraps inside its frame \u00fcber alles", kTextParagraph,
         kAlignRight, kTextStyleUnderline, 0.0f, 0.0f},
        {u"", kTextArtistic, kAlignLeft, 0, 0.0f, 0.0f},
        // Underlined texts that show no line draw no underline strokes.
        {u"", kTextArtistic, kAlignLeft, kTextStyleUnderline, 0.0f, 0.0f},
        {u"a paragraph too small to show a line", kTextParagraph, kAlignLeft, kTextStyleUnderline, 0.0f, 0.0f,
         1.0f},
    };
    for (const Case& c : cases) {
        CDrawing drawing;
        drawing.Add(MakeTextObject(c.text, {-200, -100}, c.mode, c.alignment, c.style, c.angle));
        drawing.GetAt(0)->AsText()->corner.y = -100 + c.frameHeight;
        drawing.GetAt(0)->RecalcBounds();
        // Paths after an underlined text, even one drawn exactly like an underline stroke, are not
        // mistaken for its underline.
        drawing.Add(MakePathObject({Polyline({{0, 0}, {50, 0}})}, kPenSolid, kBrushHollow));
        drawing.Add(MakePathObject({Square(0, 0, 50)}, kPenSolid, kBrushHollow));
        CDrawing back;
        RoundTrip(drawing, back);
        ASSERT_EQ(back.Count(), 3) << std::string(c.text.begin(), c.text.end());
        ASSERT_EQ(back.GetAt(1)->GetKind(), kKindPath);
        ASSERT_EQ(back.GetAt(2)->GetKind(), kKindPath);
        const CTextShape& got = *back.GetAt(0)->AsText();
        const CTextShape& sent = *drawing.GetAt(0)->AsText();
        EXPECT_TRUE(got.text == c.text) << "case with " << c.text.size() << " units";
        EXPECT_EQ(got.mode, c.mode);
        EXPECT_EQ(got.alignment, c.alignment);
        EXPECT_EQ(got.style, c.style);
        EXPECT_EQ(got.angle, c.expectedAngle);
        EXPECT_TRUE(got.faceName == u"Liberation Sans");
        EXPECT_EQ(back.GetAt(0)->color, drawing.GetAt(0)->color);
        EXPECT_TRUE(ExpectNear(got.height, sent.height, 0.02));
        // The position moves at most by the height's rounding to a hundredth of a point.
        EXPECT_TRUE(ExpectNear(got.position, sent.position, 0.02));
        if (c.mode == kTextParagraph) {
            EXPECT_TRUE(ExpectNear(got.corner, sent.corner, 0.01));
        }
    }
}

TEST(PdfReader, ImagesComeBackWithTheirPixelsAndPlacement) {
    CDrawing drawing;
    drawing.Add(MakeImageObject({-300, -100, -200, 0}, 7, 5));
    drawing.Add(MakeImageObject({200, 100, 0, 150}, 3, 9)); // mirrored
    CDrawing back;
    RoundTrip(drawing, back);
    ASSERT_EQ(back.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const CImageShape& got = *back.GetAt(i)->AsImage();
        const CImageShape& sent = *drawing.GetAt(i)->AsImage();
        EXPECT_EQ(got.bitmap.GetWidth(), sent.bitmap.GetWidth());
        EXPECT_EQ(got.bitmap.GetHeight(), sent.bitmap.GetHeight());
        for (int y = 0; y < sent.bitmap.GetHeight(); ++y)
            for (int x = 0; x < sent.bitmap.GetWidth(); ++x)
                ASSERT_EQ(GetPixelColour(got.bitmap, x, y), GetPixelColour(sent.bitmap, x, y))
                    << x << "," << y;
        EXPECT_TRUE(ExpectNear(got.placement.TopLeft(), sent.placement.TopLeft(), 0.01));
        EXPECT_TRUE(ExpectNear(CPointF{got.placement.right, got.placement.bottom},
                               CPointF{sent.placement.right, sent.placement.bottom}, 0.01));
    }
}

// The objects in the order a file holds them: page by page, list order within a page.
std::vector<const CGraphicObject*> PageMajor(const CDrawing& drawing) {
    std::vector<const CGraphicObject*> objects;
    for (int page = 0; page < drawing.PageCount(); ++page)
        for (const auto& object : drawing.Objects())
            if (object->page == page)
                objects.push_back(object.get());
    return objects;
}

TEST(PdfReader, PagesGroupsAndSizeComeBackEvenOfAnEmptyDrawing) {
    CDrawing drawing;
    drawing.SetPageCount(9);
    drawing.SetPageSize(2970.0f, 2100.0f);
    // Groups on two pages, objects listed out of page order, and a page with so many images that its
    // resource dictionary runs far beyond a thousand bytes.
    const int32_t pages[] = {3, 4, 3, 0, 4, 8, 3, 4};
    const int32_t groups[] = {7, 2, 7, 0, 2, 0, 9, 9};
    for (std::size_t i = 0; i < std::size(pages); ++i)
        drawing.Add(MakePathObject({Square(10.0f * i, 0, 10)}, kPenSolid, kBrushHollow, 1, 0, 0, pages[i],
                                   groups[i]));
    for (int i = 0; i < 120; ++i)
        drawing.Add(MakeImageObject({0, 10, 0, 10}, 1, 1, 5));
    // Texts keep their pages too, artistic and paragraph alike.
    drawing.Add(MakeTextObject(u"on page 8", {0, 0}, kTextArtistic, kAlignLeft, 0, 0.0f, 7));
    drawing.Add(MakeTextObject(u"on page 2", {0, 0}, kTextParagraph, kAlignLeft, 0, 0.0f, 1));
    CDrawing back;
    RoundTrip(drawing, back);
    EXPECT_EQ(back.PageCount(), 9);
    EXPECT_EQ(back.GetPageWidth(), 2970.0f);
    EXPECT_EQ(back.GetPageHeight(), 2100.0f);
    for (int page = 0; page < 9; ++page)
        EXPECT_EQ(back.ObjectCountOnPage(page), drawing.ObjectCountOnPage(page)) << page;
    const auto sent = PageMajor(drawing);
    const auto got = PageMajor(back);
    ASSERT_EQ(got.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        for (std::size_t j = 0; j < sent.size(); ++j) {
            const bool together = sent[i]->group != 0 && sent[i]->group == sent[j]->group;
            EXPECT_EQ(got[i]->group != 0 && got[i]->group == got[j]->group, together) << i << ", " << j;
        }

    // An empty drawing keeps its pages and size too, and what the drawing read into held is gone.
    CDrawing empty;
    empty.SetPageCount(3);
    empty.SetPageSize(1480.0f, 1050.0f);
    RoundTrip(empty, back);
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(back.PageCount(), 3);
    EXPECT_EQ(back.GetPageWidth(), 1480.0f);
    EXPECT_EQ(back.GetPageHeight(), 1050.0f);
}

// Ten saves and opens of a drawing of every kind keep every object, node, style and group, and every
// coordinate within 0.005 points of where the first save put it.
TEST(PdfReader, RepeatedSavesDoNotDrift) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.SetPageSize(1234.57f, 1777.77f);
    CNodeArray curve;
    curve.Add({{-512.3f, 601.7f}, {-500.1f, 600.3f}, {-400.9f, 333.3f}});
    curve.Add({{-123.4f, 567.8f}, {-99.99f, 444.44f}, {17.17f, 301.3f}});
    curve.Add({{555.5f, -666.6f}, {-500.1f, 600.3f}, {-500.1f, 600.3f}});
    drawing.Add(MakePathObject({curve, Square(-611.1f, -877.7f, 333.3f)}, kPenSolid, kBrushSolid, 7, 0x123456,
                               0x654321, 0, 1));
    drawing.Add(MakePathObject({Polyline({{0.001f, 0.002f}, {610.3f, 880.1f}})}, kPenSolid, kBrushHollow, 3,
                               0xFF, 0, 0, 1));
    drawing.Add(MakeTextObject(u"drift (not)", {-300.3f, 200.7f}, kTextArtistic, kAlignCentre,
                               kTextStyleUnderline, 45.0f, 1));
    drawing.Add(MakeTextObject(u"frame text", {-123.45f, 99.9f}, kTextParagraph, kAlignLeft, 0, 0.0f, 1));
    drawing.Add(MakeImageObject({33.3f, 99.9f, -44.4f, 12.3f}, 2, 2, 1));

    CDrawing first;
    RoundTrip(drawing, first);
    CDrawing previous;
    previous.Assign(first);
    for (int cycle = 2; cycle <= 10; ++cycle) {
        CDrawing next;
        RoundTrip(previous, next);
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        ASSERT_EQ(next.Count(), first.Count());
        EXPECT_EQ(next.GetPageWidth(), first.GetPageWidth());
        EXPECT_EQ(next.GetPageHeight(), first.GetPageHeight());
        const double tolerance = 0.005 / 0.28346518; // 0.005 points in document units
        for (int i = 0; i < first.Count(); ++i) {
            const CGraphicObject& a = *next.GetAt(i);
            const CGraphicObject& b = *first.GetAt(i);
            ASSERT_EQ(a.GetKind(), b.GetKind());
            EXPECT_EQ(a.group, b.group);
            EXPECT_EQ(a.page, b.page);
            EXPECT_EQ(a.color, b.color);
            if (const CPathShape* path = a.AsPath()) {
                ExpectSameNodes(*path, *b.AsPath(), tolerance);
                EXPECT_EQ(path->penWidth, b.AsPath()->penWidth);
                EXPECT_EQ(path->penColor, b.AsPath()->penColor);
                EXPECT_EQ(path->penStyle, b.AsPath()->penStyle);
                EXPECT_EQ(path->brushStyle, b.AsPath()->brushStyle);
            } else if (const CTextShape* text = a.AsText()) {
                EXPECT_TRUE(text->text == b.AsText()->text);
                EXPECT_TRUE(ExpectNear(text->position, b.AsText()->position, tolerance));
                EXPECT_TRUE(ExpectNear(text->height, b.AsText()->height, tolerance));
                EXPECT_EQ(text->style, b.AsText()->style);
                EXPECT_EQ(text->angle, b.AsText()->angle);
                if (text->mode == kTextParagraph) {
                    EXPECT_TRUE(ExpectNear(text->corner, b.AsText()->corner, tolerance));
                }
            } else if (const CImageShape* image = a.AsImage()) {
                EXPECT_TRUE(
                    ExpectNear(image->placement.TopLeft(), b.AsImage()->placement.TopLeft(), tolerance));
                EXPECT_TRUE(ExpectNear(image->placement.right, b.AsImage()->placement.right, tolerance));
                EXPECT_TRUE(ExpectNear(image->placement.bottom, b.AsImage()->placement.bottom, tolerance));
            }
        }
        previous.Assign(next);
    }
}

// A file of an earlier version: "h" after every subpath, and strings without the exact-text comment.
TEST(PdfReader, OlderFilesReadAsBefore) {
    const std::string content =
        "0.283465 w\r\n0.000000 0.000000 0.000000 RG\r\n"
        "0 0 m\r\n10 0 l\r\n10 10 l\r\nh\r\n20 0 m\r\n30 0 l\r\n30 10 l\r\n20 0 l\r\nS\r\n"
        "/PointText<</Matrix [1.0000 0.0000 0.0000 1.0000 0 0]/Vertical false >> BDC\r\n/Pgf BMC\r\nBT\r\n"
        "0 0 0 rg\r\n/F13 20.00 Tf\r\n1.0000 0.0000 -0.0000 1.0000 100.0000 200.0000 Tm\r\n0 0 Td\r\n"
        "(a\\(b) Tj\r\nEMC\r\n/Pgf BMC\r\n0.0000 -24.0 Td\r\n(caf\xe9)) Tj\r\nET\r\nEMC\r\nEMC\r\n";
    std::string file = "%PDF-1.3\r\n%Created by Pentaquill Draw\r\n"
                       "3 0 obj\r\n<< /Type /Pages\r\n/Kids [4 0 R]\r\n/Count 1\r\n>>\r\nendobj\r\n"
                       "4 0 obj\r\n<< /Type /Page\r\n/MediaBox [0 0 297.6384 419.5285]\r\n>>\r\nendobj\r\n";
    const std::size_t contentOffset = file.size();
    file += "5 0 obj\r\n<< /Length " + std::to_string(content.size()) + "\r\n>>\r\nstream\r\n" + content +
            "endstream\r\nendobj\r\n";
    const std::size_t fontOffset = file.size();
    file += "6 0 obj\r\n<< /Type /Font\r\n/BaseFont /TimesNewRomanPS,Bold\r\n>>\r\nendobj\r\n";
    const std::size_t xref = file.size();
    char entries[200];
    std::snprintf(entries, sizeof entries,
                  "%010d 00000 n\r\n%010d 00000 n\r\n%010d 00000 n\r\n%010d 00000 n\r\n%010d 00000 "
                  "n\r\n%010d 00000 n\r\n",
                  10, 20, 30, 40, static_cast<int>(contentOffset), static_cast<int>(fontOffset));
    file += "xref\r\n0 7\r\n0000000000 65535 f\r\n" + std::string(entries) +
            "trailer\r\n<< /Size 7\r\n>>\r\nstartxref\r\n" + std::to_string(xref) + "\r\n%%EOF\r\n";

    CDrawing back;
    ASSERT_TRUE(ReadPdf(file, back)) << back.GetErrorMessage();
    ASSERT_EQ(back.Count(), 2);
    const CPathShape& path = *back.GetAt(0)->AsPath();
    ASSERT_EQ(path.SubpathCount(), 2u);
    EXPECT_EQ(path.subpaths[0]->GetSize(), 3u);
    EXPECT_EQ(path.subpaths[1]->GetSize(), 4u);
    EXPECT_EQ(path.penWidth, 1);
    const CTextShape& text = *back.GetAt(1)->AsText();
    EXPECT_TRUE(text.text == u"a\\(b\r\ncaf\u00e9)") << std::string(text.text.begin(), text.text.end());
    EXPECT_EQ(text.style, kTextStyleBold);
}

TEST(PdfReader, ForeignFilesAreRefusedWhetherWrittenByHandOrByGhostscript) {
    const std::string foreign = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
                                "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
                                "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>\nendobj\n"
                                "trailer\n<< /Root 1 0 R >>\n%%EOF\n";
    CDrawing back;
    EXPECT_FALSE(ReadPdf(foreign, back));
    EXPECT_EQ(back.GetErrorMessage(), "Only PDF documents created by Pentaquill Draw can be opened!");

    if (PeerMissing("/usr/bin/gs"))
        return;
    CTempFolder folder;
    const std::string ps = folder.File("in.ps");
    std::FILE* f = std::fopen(ps.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("%!PS\n/Helvetica findfont 20 scalefont setfont 72 720 moveto (Pentaquill Draw) show\n"
               "newpath 100 100 moveto 200 200 lineto stroke showpage\n",
               f);
    std::fclose(f);
    const std::string pdf = folder.File("out.pdf");
    std::string output;
    RunCommand("/usr/bin/gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile=" + pdf + " " + ps,
               output);
    ASSERT_TRUE(std::filesystem::exists(pdf)) << output;
    CPdfFile reader;
    EXPECT_FALSE(reader.Read(pdf, back));
    EXPECT_EQ(back.GetErrorMessage(), CPdfFile::kForeignFileMessage);
}

} // namespace
} // namespace pq
