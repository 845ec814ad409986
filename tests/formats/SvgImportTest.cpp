// SVG as other programs write it: shapes, transforms, styles, texts and references.
#include "formats/svg/SvgFile.h"

#include "TestHelpers.h"
#include "native/PdfTestHelpers.h"
#include "platform/Utf16.h"
#include "platform/image/PngCodec.h"

#include <gtest/gtest.h>

#include <fstream>

namespace pq {
namespace {

using test::ExpectNear;

// A 100 x 100 mm page whose user units are millimetres: a document unit is a tenth of a user unit, and
// the user origin is the page's top-left corner (-500, -500).
std::string Page(const std::string& body, const std::string& head = {}) {
    return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"100mm\" height=\"100mm\" viewBox=\"0 0 100 "
           "100\"" +
           head + ">\n" + body + "\n</svg>\n";
}

CPointF Doc(double x, double y) {
    return {static_cast<float>(x * 10.0 - 500.0), static_cast<float>(y * 10.0 - 500.0)};
}

bool Read(const std::string& text, CDrawing& drawing, CSvgFile* file = nullptr) {
    CSvgFile local;
    CSvgFile& f = file != nullptr ? *file : local;
    return f.ReadFromMemory({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, drawing);
}

const CNodeArray& Nodes(const CDrawing& drawing, int object, std::size_t subpath = 0) {
    return *drawing.GetAt(object)->AsPath()->subpaths.at(subpath);
}

TEST(SvgImport, PathDataTakesEveryCommandAbsoluteAndRelative) {
    CDrawing drawing;
    ASSERT_TRUE(Read(Page("<path d='M10,10 h20 v10 H10 z m40 0 l10 0 L60,20 Z'/>"
                          "<path d='M10 50 C10 40 30 40 30 50 S50 60 50 50 Q60 40 70 50 T90 50'/>"
                          "<path d='M10 80 a10 10 0 0 1 20 0 A10 5 0 1 1 10 80'/>"
                          "<path d='M1e1-5.5.5.5'/>"),
                     drawing));
    ASSERT_EQ(drawing.Count(), 4);
    // Two closed subpaths; the second starts 40 to the right of the first's start, where z returned.
    ASSERT_EQ(drawing.GetAt(0)->AsPath()->SubpathCount(), 2u);
    const CNodeArray& box = Nodes(drawing, 0, 0);
    ASSERT_EQ(box.GetSize(), 5u);
    EXPECT_EQ(box[2].anchor, Doc(30, 20));
    EXPECT_EQ(box[4].anchor, box[0].anchor);
    const CNodeArray& triangle = Nodes(drawing, 0, 1);
    ASSERT_EQ(triangle.GetSize(), 4u);
    EXPECT_EQ(triangle[0].anchor, Doc(50, 10));
    EXPECT_EQ(triangle[1].anchor, Doc(60, 10));

    // Curves: the smooth forms reflect the previous control point; quadratics become cubics.
    const CNodeArray& curves = Nodes(drawing, 1);
    ASSERT_EQ(curves.GetSize(), 5u);
    EXPECT_TRUE(ExpectNear(curves[1].out, Doc(30, 60), 1e-3)); // S reflects (30, 40) about (30, 50)
    EXPECT_TRUE(ExpectNear(curves[2].out, Doc(50 + 2.0 / 3.0 * 10, 50 - 2.0 / 3.0 * 10), 1e-3));
    EXPECT_TRUE(ExpectNear(curves[3].anchor, Doc(70, 50), 1e-3));
    EXPECT_TRUE(ExpectNear(curves[3].out, Doc(70 + 2.0 / 3.0 * 10, 50 + 2.0 / 3.0 * 10), 1e-3)); // T reflects
    EXPECT_TRUE(ExpectNear(curves[4].anchor, Doc(90, 50), 1e-3));

    // Arcs: a half circle of radius 10 over (20, 80) passes through its top, and ends where it should.
    const CNodeArray& arcs = Nodes(drawing, 2);
    ASSERT_GE(arcs.GetSize(), 3u);
    bool top = false;
    for (std::size_t i = 0; i < arcs.GetSize(); ++i)
        top = top || (std::fabs(arcs[i].anchor.x - Doc(20, 70).x) < 0.01f &&
                      std::fabs(arcs[i].anchor.y - Doc(20, 70).y) < 0.01f);
    EXPECT_TRUE(top);
    EXPECT_TRUE(ExpectNear(arcs[arcs.GetSize() - 1].anchor, Doc(10, 80), 1e-3));
    EXPECT_GT(drawing.GetAt(2)->bounds.bottom, Doc(0, 84).y); // the second arc below the line

    // Numbers run together as SVG allows: "1e1-5.5.5.5" is 10, -5.5, 0.5, 0.5.
    const CNodeArray& packed = Nodes(drawing, 3);
    ASSERT_EQ(packed.GetSize(), 2u);
    EXPECT_TRUE(ExpectNear(packed[0].anchor, Doc(10, -5.5), 1e-3));
    EXPECT_TRUE(ExpectNear(packed[1].anchor, Doc(0.5, 0.5), 1e-3));
}

TEST(SvgImport, BasicShapesBecomePathsInPlace) {
    CDrawing drawing;
    ASSERT_TRUE(Read(Page("<rect x='10' y='10' width='30' height='20'/>"
                          "<rect x='10' y='40' width='30' height='20' rx='5'/>"
                          "<circle cx='70' cy='20' r='10'/>"
                          "<ellipse cx='70' cy='50' rx='15' ry='5'/>"
                          "<line x1='0' y1='90' x2='100' y2='90' stroke='black'/>"
                          "<polyline points='10,70 20,80 30,70'/>"
                          "<polygon points='50 70 60 80 40 80'/>"
                          "<rect width='0' height='10'/>"
                          "<polygon points='0 0 10 0 10 10 0 10' stroke='red'/>"),
                     drawing));
    ASSERT_EQ(drawing.Count(), 8); // the empty rectangle draws nothing
    const auto box = [&](int i) { return drawing.GetAt(i)->bounds; };
    EXPECT_TRUE(ExpectNear(box(0).left, Doc(10, 0).x, 1e-3));
    EXPECT_TRUE(ExpectNear(box(0).bottom, Doc(0, 30).y, 1e-3));
    EXPECT_EQ(Nodes(drawing, 0).GetSize(), 5u);
    EXPECT_EQ(Nodes(drawing, 1).GetSize(), 9u); // four sides and four rounded corners
    EXPECT_TRUE(ExpectNear(box(1).top, Doc(0, 40).y, 0.5));
    EXPECT_TRUE(ExpectNear(box(2).left, Doc(60, 0).x, 0.5));
    EXPECT_TRUE(ExpectNear(box(2).bottom, Doc(0, 30).y, 0.5));
    EXPECT_TRUE(ExpectNear(box(3).right, Doc(85, 0).x, 0.5));
    EXPECT_TRUE(ExpectNear(box(3).top, Doc(0, 45).y, 0.5));
    EXPECT_EQ(drawing.GetAt(4)->AsPath()->brushStyle, kBrushHollow); // lines are never filled
    EXPECT_EQ(drawing.GetAt(4)->AsPath()->penStyle, kPenSolid);
    EXPECT_EQ(Nodes(drawing, 5).GetSize(), 3u); // polylines stay open
    EXPECT_EQ(Nodes(drawing, 6).GetSize(), 4u); // polygons close
    // Default paint: filled black, no stroke.
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(drawing.GetAt(0)->color, 0u);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->penStyle, kPenNull);
}

TEST(SvgImport, TransformsNestAndApplyRightToLeft) {
    CDrawing drawing;
    ASSERT_TRUE(Read(Page("<g transform='translate(50 50)'>"
                          "<line x1='0' y1='0' x2='10' y2='0' transform='rotate(90)'/>"
                          "<line x1='0' y1='0' x2='10' y2='0' transform='scale(2) translate(5)'/>"
                          "<line x1='0' y1='10' x2='0' y2='0' transform='skewX(45)'/>"
                          "<line x1='0' y1='0' x2='10' y2='0' transform='matrix(0 1 -1 0 1 2)'/>"
                          "<line x1='10' y1='0' x2='20' y2='0' transform='rotate(180, 10, 0)'/>"
                          "</g>"),
                     drawing));
    ASSERT_EQ(drawing.Count(), 5);
    EXPECT_TRUE(ExpectNear(Nodes(drawing, 0)[1].anchor, Doc(50, 60), 1e-3));
    EXPECT_TRUE(ExpectNear(Nodes(drawing, 1)[0].anchor, Doc(60, 50), 1e-3));
    EXPECT_TRUE(ExpectNear(Nodes(drawing, 1)[1].anchor, Doc(80, 50), 1e-3));
    EXPECT_TRUE(ExpectNear(Nodes(drawing, 2)[0].anchor, Doc(60, 60), 1e-3));
    EXPECT_TRUE(ExpectNear(Nodes(drawing, 3)[0].anchor, Doc(51, 52), 1e-3));
    EXPECT_TRUE(ExpectNear(Nodes(drawing, 3)[1].anchor, Doc(51, 62), 1e-3));
    EXPECT_TRUE(ExpectNear(Nodes(drawing, 4)[1].anchor, Doc(50, 50), 1e-3));
    // All five are one group: the top-level <g>.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(drawing.GetAt(i)->group, 1);
}

TEST(SvgImport, StylesCascadeFromSheetsAttributesAndStyleAttributes) {
    CDrawing drawing;
    ASSERT_TRUE(Read(
        Page("<style>/* a sheet */ .warm, #special { fill: #f80 } rect { stroke: navy; fill: blue }</style>"
             "<g fill='red' stroke-width='0.3'>"
             "<rect width='5' height='5'/>"                // the sheet's blue over red
             "<rect width='5' height='5' class='a warm'/>" // class beats element
             "<rect width='5' height='5' class='warm' style='fill:rgb(0, 100%, 0)'/>"
             "<rect width='5' height='5' fill='none' stroke='#123'/>" // sheet beats attribute
             "<path d='M0 0H5' style='stroke:currentColor;color:teal;stroke-dasharray:2 1'/>"
             "<path d='M0 0H5V5z' fill-rule='evenodd' stroke='rgb(10,20,30)' stroke-width='2px'/>"
             "<rect width='5' height='5' visibility='hidden'/>"
             "<g display='none'><rect width='5' height='5'/></g>"
             "</g>"),
        drawing));
    ASSERT_EQ(drawing.Count(), 6);
    EXPECT_EQ(drawing.GetAt(0)->color, 0xFF0000u);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->penColor, 0x800000u);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->penWidth, 3);
    EXPECT_EQ(drawing.GetAt(1)->color, 0x0088FFu); // a class rule beats a later element rule
    EXPECT_EQ(drawing.GetAt(2)->color, 0x00FF00u);
    EXPECT_EQ(drawing.GetAt(3)->AsPath()->brushStyle, kBrushSolid); // the sheet's fill beats fill='none'
    EXPECT_EQ(drawing.GetAt(3)->color, 0xFF0000u);
    EXPECT_EQ(drawing.GetAt(3)->AsPath()->penColor, 0x800000u);
    EXPECT_EQ(drawing.GetAt(4)->AsPath()->penColor, 0x808000u);
    EXPECT_EQ(drawing.GetAt(4)->AsPath()->penStyle, kPenDash);
    // "px" is the user unit, whatever the view box makes of it: 2 user units are 2 mm here.
    EXPECT_EQ(drawing.GetAt(5)->AsPath()->penWidth, 20);
    EXPECT_EQ(drawing.GetAt(5)->AsPath()->penColor, 0x1E140Au);
}

TEST(SvgImport, GradientsAndPatternsBecomeTheirMeanColour) {
    CDrawing drawing;
    CSvgFile file;
    ASSERT_TRUE(Read(Page("<defs><linearGradient id='g'><stop offset='0' stop-color='#000'/>"
                          "<stop offset='1' style='stop-color:#fff'/></linearGradient>"
                          "<radialGradient id='r' xlink:href='#g'/>"
                          "<pattern id='p' width='2' height='2'><rect width='1' height='1' fill='#f00'/>"
                          "<rect width='1' height='1' fill='#00f'/></pattern></defs>"
                          "<rect width='5' height='5' fill='url(#g)'/>"
                          "<rect width='5' height='5' fill='url(#r)'/>"
                          "<rect width='5' height='5' fill='url(#p)'/>"
                          "<rect width='5' height='5' fill='url(#missing) #0f0'/>"
                          "<rect width='5' height='5' fill='url(#missing)' clip-path='url(#c)'/>"),
                     drawing, &file));
    ASSERT_EQ(drawing.Count(), 5);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x808080u);
    EXPECT_EQ(drawing.GetAt(1)->color, 0x808080u);
    EXPECT_EQ(drawing.GetAt(2)->color, 0x800080u);
    EXPECT_EQ(drawing.GetAt(3)->color, 0x00FF00u);
    EXPECT_EQ(drawing.GetAt(4)->AsPath()->brushStyle, kBrushHollow);
    ASSERT_EQ(file.Warnings().size(), 1u);
    EXPECT_NE(file.Warnings()[0].find("clipping"), std::string::npos);
    EXPECT_EQ(drawing.GetWarning(), "SVG: clipping paths and masks are ignored: the shapes are drawn whole.");
}

TEST(SvgImport, UsesOfSymbolsAndGroupsArePlacedWhereTheySay) {
    CDrawing drawing;
    ASSERT_TRUE(
        Read(Page("<defs><symbol id='dot'><circle r='2' fill='blue'/></symbol>"
                  "<g id='pair'><rect width='1' height='1'/><rect x='2' width='1' height='1'/></g></defs>"
                  "<use xlink:href='#dot' x='10' y='20'/>"
                  "<use href='#pair' transform='translate(50 50)'/>"),
             drawing));
    ASSERT_EQ(drawing.Count(), 3);
    const CRectF dot = drawing.GetAt(0)->bounds;
    EXPECT_TRUE(ExpectNear((dot.left + dot.right) / 2, Doc(10, 20).x, 0.5));
    EXPECT_TRUE(ExpectNear((dot.top + dot.bottom) / 2, Doc(10, 20).y, 0.5));
    EXPECT_EQ(drawing.GetAt(0)->color, 0xFF0000u);
    EXPECT_EQ(drawing.GetAt(0)->group, 0); // one object is no group
    EXPECT_TRUE(ExpectNear(drawing.GetAt(2)->bounds.left, Doc(52, 0).x, 1e-3));
    EXPECT_EQ(drawing.GetAt(1)->group, drawing.GetAt(2)->group);
    EXPECT_NE(drawing.GetAt(1)->group, 0);
}

TEST(SvgImport, UnitsAndViewBoxesSetThePageAndTheScale) {
    CDrawing drawing;
    // 4 x 3 inches; the view box is centred in it (uniform scale 96 / 100 px per unit... of 400 x 300).
    ASSERT_TRUE(Read("<svg xmlns='http://www.w3.org/2000/svg' width='4in' height='3in' viewBox='0 0 400 300'>"
                     "<rect width='400' height='300'/></svg>",
                     drawing));
    EXPECT_TRUE(ExpectNear(drawing.GetPageWidth(), 1016.0, 1e-3));
    EXPECT_TRUE(ExpectNear(drawing.GetPageHeight(), 762.0, 1e-3));
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_TRUE(ExpectNear(drawing.GetAt(0)->bounds.left, -508.0, 1e-2));
    EXPECT_TRUE(ExpectNear(drawing.GetAt(0)->bounds.bottom, 381.0, 1e-2));

    // Without a view box user units are pixels; without a size the page keeps its own.
    CDrawing pixels;
    ASSERT_TRUE(Read("<svg xmlns='http://www.w3.org/2000/svg' width='96' height='192'>"
                     "<line x1='0' y1='0' x2='96' y2='0' stroke='red'/></svg>",
                     pixels));
    EXPECT_TRUE(ExpectNear(pixels.GetPageWidth(), 254.0, 1e-3));
    EXPECT_TRUE(ExpectNear(pixels.GetPageHeight(), 508.0, 1e-3));
    EXPECT_TRUE(ExpectNear(Nodes(pixels, 0)[1].anchor, CPointF{127.0f, -254.0f}, 1e-3));
}

TEST(SvgImport, TextsTakeTheirLinesFontsAndAnchors) {
    CDrawing drawing;
    ASSERT_TRUE(
        Read(Page("<text x='10' y='20' font-family=\"'Liberation Sans', Arial, sans-serif\" font-size='5' "
                  "font-weight='700' style='font-style:italic;text-decoration:underline' fill='#00f'>"
                  "\n   Hello   <tspan fill='red'>there</tspan>\n</text>"
                  "<text x='50' y='50' text-anchor='end' font-size='4'>"
                  "<tspan x='50' y='50'>one</tspan><tspan x='50' dy='5'>two</tspan>"
                  "<tspan x='50' dy='5'></tspan><tspan x='50' dy='5'>four</tspan></text>"
                  "<text x='0' y='0' transform='translate(30 80) rotate(-90)' font-size='4'>up</text>"
                  "<text/>"),
             drawing));
    ASSERT_EQ(drawing.Count(), 3);
    const CTextShape* hello = drawing.GetAt(0)->AsText();
    EXPECT_TRUE(hello->text == u"Hello there") << Utf16ToUtf8(hello->text);
    EXPECT_TRUE(hello->faceName == u"Liberation Sans");
    EXPECT_TRUE(ExpectNear(hello->height, 50.0, 1e-3));
    EXPECT_EQ(hello->style, kTextStyleBold | kTextStyleItalic | kTextStyleUnderline);
    EXPECT_EQ(drawing.GetAt(0)->color, 0xFF0000u);
    // The baseline lies at y = 20: the first line's cell starts one ascent above it.
    EXPECT_LT(hello->position.y, Doc(0, 20).y - 30.0f);
    EXPECT_GT(hello->position.y, Doc(0, 20).y - 60.0f);
    EXPECT_TRUE(ExpectNear(hello->position.x, Doc(10, 0).x, 1e-3));

    const CTextShape* lines = drawing.GetAt(1)->AsText();
    EXPECT_TRUE(lines->text == u"one\r\ntwo\r\n\r\nfour") << Utf16ToUtf8(lines->text);
    EXPECT_EQ(lines->alignment, kAlignRight);
    EXPECT_TRUE(ExpectNear(drawing.GetAt(1)->bounds.right, Doc(50, 0).x, 1.0));

    const CTextShape* up = drawing.GetAt(2)->AsText();
    EXPECT_TRUE(ExpectNear(up->angle, 90.0, 1e-3));
}

TEST(SvgImport, ImagesAreReadFromDataAndFromFilesBesideTheDrawing) {
    test::CTempFolder folder;
    CDibSection picture;
    ASSERT_TRUE(picture.Create(3, 2, 24));
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(picture, png));
    std::ofstream(folder.File("pic.png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    const std::string body =
        "<image x='10' y='10' width='20' height='10' xlink:href='pic.png'/>"
        "<image x='10' y='10' width='20' height='10' href='/etc/passwd'/>"
        "<image x='10' y='10' width='20' height='10' href='http://example.com/a.png'/>"
        "<image x='10' y='10' width='20' height='10' href='data:image/png;base64,AAAA'/>";
    std::ofstream(folder.File("with-images.svg")) << Page(body);
    CDrawing drawing;
    CSvgFile file;
    ASSERT_TRUE(file.Read(folder.File("with-images.svg"), drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_EQ(drawing.GetAt(0)->AsImage()->bitmap.GetWidth(), 3);
    EXPECT_TRUE(ExpectNear(drawing.GetAt(0)->bounds.right, Doc(30, 0).x, 1e-3));
    EXPECT_EQ(file.Warnings().size(), 3u);
}

TEST(SvgImport, InkscapeLayersAreNoGroups) {
    CDrawing drawing;
    ASSERT_TRUE(Read(
        Page("<g inkscape:groupmode='layer' xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape'>"
             "<rect width='5' height='5'/><rect width='5' height='5'/>"
             "<g><rect width='5' height='5'/><g><rect width='5' height='5'/></g></g></g>"),
        drawing));
    ASSERT_EQ(drawing.Count(), 4);
    EXPECT_EQ(drawing.GetAt(0)->group, 0);
    EXPECT_EQ(drawing.GetAt(1)->group, 0);
    // Nested groups are one group: the drawing's groups do not nest.
    EXPECT_NE(drawing.GetAt(2)->group, 0);
    EXPECT_EQ(drawing.GetAt(2)->group, drawing.GetAt(3)->group);
}

} // namespace
} // namespace pq
