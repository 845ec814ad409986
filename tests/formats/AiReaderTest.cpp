#include "native/PdfTestHelpers.h"

#include "RasterHelpers.h"
#include "TestHelpers.h"
#include "formats/ai/IllustratorFile.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using namespace test;

constexpr float kUnitsPerPoint = 3.52777f;

// A file of our own header (an art size of 100 x 200 points) and the given body lines.
std::string File(const std::string& body, bool artSize = true) {
    std::string file = "%!PS-Adobe-3.0\r\n%%BoundingBox: 0 0 100 200\r\n";
    if (artSize)
        file += "%AI5_ArtSize: 100 200\r\n";
    file +=
        "%%EndComments\r\n%%BeginProlog\r\n/m {moveto} def\r\n%%EndProlog\r\n%%BeginSetup\r\n1 0 0 1 k\r\n"
        "%%EndSetup\r\n";
    return file + body + "%%EOF\r\n";
}

bool Read(const std::string& file, CDrawing& drawing) {
    const std::vector<uint8_t> bytes(file.begin(), file.end());
    return CIllustratorFile().ImportFromMemory(bytes, drawing);
}

// A document point from a point of the file: the art size's page is 100 x 200 points.
CPointF Doc(float x, float y) {
    return {x * kUnitsPerPoint - 50.0f * kUnitsPerPoint, 100.0f * kUnitsPerPoint - y * kUnitsPerPoint};
}

TEST(AiReader, ArtSizeGivesThePageAndPointsMapOntoIt) {
    CDrawing drawing;
    ASSERT_TRUE(Read(File("0 0 1 0 K\n10 20 m\n30 40 L\n30 20 l\nS\n"), drawing))
        << drawing.GetErrorMessage();
    EXPECT_NEAR(drawing.GetPageWidth(), 352.777f, 1e-3);
    EXPECT_NEAR(drawing.GetPageHeight(), 705.554f, 1e-3);
    ASSERT_EQ(drawing.Count(), 1);
    const CPathShape* path = drawing.GetAt(0)->AsPath();
    ASSERT_EQ(path->SubpathCount(), 1u);
    const CNodeArray& nodes = *path->subpaths[0];
    ASSERT_EQ(nodes.GetSize(), 3u); // open: "S" adds nothing
    EXPECT_TRUE(ExpectNear(nodes[0].anchor, Doc(10, 20), 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[1].anchor, Doc(30, 40), 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[2].anchor, Doc(30, 20), 1e-3));
    EXPECT_EQ(path->penStyle, kPenSolid);
    EXPECT_EQ(path->brushStyle, kBrushHollow);
    EXPECT_EQ(path->penColor, 0x00FFFFu); // yellow: cyan 0, magenta 0, yellow 1
    EXPECT_EQ(path->penWidth, 1);
}

TEST(AiReader, WithoutArtSizeTheDrawingIsCentredOnThePage) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 1000.0f);
    ASSERT_TRUE(Read(File("500 500 m\n520 500 l\n520 540 l\nf\n", false), drawing));
    EXPECT_EQ(drawing.GetPageWidth(), 1000.0f);
    const CRectF box = drawing.Bounds();
    EXPECT_NEAR(box.Center().x, 0.0f, 1e-3);
    EXPECT_NEAR(box.Center().y, 0.0f, 1e-3);
    EXPECT_NEAR(box.Width(), 20 * kUnitsPerPoint, 1e-2);
}

TEST(AiReader, ClosingOperatorsAddTheClosingSegmentOnlyWhenTheEndsDiffer) {
    CDrawing drawing;
    ASSERT_TRUE(Read(File("0 0 m\n10 0 l\n10 10 l\ns\n"   // closed by "s": one more node
                          "0 0 m\n10 0 l\n0 0 l\nb\n"     // already closed: no doubled node
                          "0 0 m\n10 0 l\n10 10 l\nF\n"   // "F" fills without closing
                          "0 0 m\n10 0 l\n10 10 l\nn\n"), // "n" closes too
                     drawing));
    ASSERT_EQ(drawing.Count(), 4);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->subpaths[0]->GetSize(), 4u);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->subpaths[0]->Last().anchor,
              drawing.GetAt(0)->AsPath()->subpaths[0]->operator[](0).anchor);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->subpaths[0]->GetSize(), 3u);
    EXPECT_EQ(drawing.GetAt(2)->AsPath()->subpaths[0]->GetSize(), 3u);
    EXPECT_EQ(drawing.GetAt(3)->AsPath()->subpaths[0]->GetSize(), 4u);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penStyle, kPenSolid);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(drawing.GetAt(3)->AsPath()->penStyle, kPenNull);
    EXPECT_EQ(drawing.GetAt(3)->AsPath()->brushStyle, kBrushHollow);
}

TEST(AiReader, SegmentOperatorsBuildNodesAndOddSubpathsAreDropped) {
    CDrawing drawing;
    ASSERT_TRUE(Read(File("0 0 m\n10 0 20 10 20 20 c\n30 30 40 40 v\n50 50 60 60 y\nS\n"
                          "5 5 m\nS\n"                     // a single node is dropped
                          "*u\n5 5 m\nf\n6 6 m\nf\n*U\n"), // every subpath dropped: an empty path
                     drawing));
    ASSERT_EQ(drawing.Count(), 3);
    const CNodeArray& nodes = *drawing.GetAt(0)->AsPath()->subpaths[0];
    ASSERT_EQ(nodes.GetSize(), 4u);
    EXPECT_TRUE(ExpectNear(nodes[0].out, Doc(10, 0), 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[1].in, Doc(20, 10), 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[1].out, Doc(20, 20), 1e-3)); // "v": the first control point is the start
    EXPECT_TRUE(ExpectNear(nodes[2].in, Doc(30, 30), 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[2].out, Doc(50, 50), 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[3].in, Doc(60, 60), 1e-3)); // "y": the second is the end
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->SubpathCount(), 0u);
    EXPECT_EQ(drawing.GetAt(2)->AsPath()->SubpathCount(), 0u);
}

TEST(AiReader, ColourFormsAndPenWidths) {
    CDrawing drawing;
    ASSERT_TRUE(Read(File("0 0 0 1 k\n0 0 m\n1 1 l\nf\n"
                          "1 0 0 Xa\n0.5 0 0 XA\n20 w\n0 0 m\n1 1 l\nB\n"
                          "0 1 1 0 (Red) 0 x\n0.5 G\n2 w [3 2] 0 d\n0 0 m\n1 1 l\nb\n"
                          "0 0 1 0 (Yellow) 0.5 0 Xx\n0.4 g\n0 0 m\n1 1 l\nf\n"
                          "0.2 0.4 Xa\nbad w\n0 0 m\n1 1 l\nS\n"),
                     drawing));
    ASSERT_EQ(drawing.Count(), 5);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x000000u);
    EXPECT_EQ(drawing.GetAt(1)->color, 0x0000FFu);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penColor, 0x000080u);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penWidth, 71); // 20 points, not cut at 10 units
    EXPECT_EQ(drawing.GetAt(2)->color, 0x0000FFu);       // custom colour: CMYK red
    EXPECT_EQ(drawing.GetAt(2)->AsPath()->penColor, 0x808080u);
    EXPECT_EQ(drawing.GetAt(2)->AsPath()->penWidth, 7); // the width on a dash line
    EXPECT_EQ(drawing.GetAt(3)->color, 0x666666u);      // the last colour set wins
    EXPECT_EQ(drawing.GetAt(4)->AsPath()->penWidth, 1); // a width that does not parse
}

TEST(AiReader, TextRunsUnescapeAndInvisibleTextIsDropped) {
    CDrawing drawing;
    ASSERT_TRUE(Read(File("0 To\n1 0 0 1 10 100 0 Tp\nTP\n0 Tr\n/_Helvetica-Bold 12 Tf\n"
                          "(a\\\\b \\101 \\(x\\) (nested)\\r) Tx\n(next\\n) Tx\n(\\r) TX\nTO\n"
                          "0 To\n1 0 0 1 10 100 0 Tp\n3 Tr\n(hidden) Tx\nTO\n"),
                     drawing));
    ASSERT_EQ(drawing.Count(), 1);
    const CTextShape* text = drawing.GetAt(0)->AsText();
    EXPECT_EQ(text->text, u"a\\b A (x) (nested)\r\nnext");
    EXPECT_EQ(text->style, kTextStyleBold);
    EXPECT_NEAR(text->height, 12 * kUnitsPerPoint, 1e-3);
    EXPECT_EQ(text->mode, kTextArtistic);
}

TEST(AiReader, PointTextFromItsBaselineAndAreaTextFromItsFrame) {
    CDrawing drawing;
    ASSERT_TRUE(
        Read(File("0 To\n0 1 -1 0 50 100 0 Tp\nTP\n/_Helvetica 10 Tf\n0 0 1 Xa\n(up) Tx\nTO\n"
                  "1 To\n1 0 0 1 10 150 0 Tp\n10 150 m\n60 150 L\n60 100 L\n10 100 L\n10 150 L\nn\nTP\n"
                  "0 -10 Td\n2 Ta\n(para) Tx\nTO\n"),
             drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const CTextShape* point = drawing.GetAt(0)->AsText();
    EXPECT_NEAR(point->angle, 90.0f, 1e-4);
    // The position is one height before the baseline point, across the line.
    EXPECT_TRUE(ExpectNear(point->position, Doc(50 - 10, 100), 1e-2));
    EXPECT_EQ(drawing.GetAt(0)->color, 0xFF0000u);
    const CTextShape* area = drawing.GetAt(1)->AsText();
    EXPECT_EQ(area->mode, kTextParagraph);
    EXPECT_EQ(area->alignment, kAlignRight);
    EXPECT_TRUE(ExpectNear(area->position, Doc(10, 150), 1e-2));
    EXPECT_TRUE(ExpectNear(area->corner, Doc(60, 100), 1e-2));
    EXPECT_EQ(drawing.GetAt(1)->color, 0xFF0000u); // the last text's colour
}

TEST(AiReader, PathTextGivesOnePointTextPerRun) {
    CDrawing drawing;
    ASSERT_TRUE(Read(File("2 To\n1 0 0 1 0 0 0 Tp\nTP\n/_Courier 10 Tf\n1 0 0 1 10 50 Tm\n(A) Tx\n"
                          "1 0 0 1 20 50 Tm\n(B) Tj\nTO\n"),
                     drawing));
    ASSERT_EQ(drawing.Count(), 2);
    EXPECT_EQ(drawing.GetAt(0)->AsText()->text, u"A");
    EXPECT_EQ(drawing.GetAt(1)->AsText()->text, u"B");
    EXPECT_TRUE(ExpectNear(drawing.GetAt(1)->AsText()->position, Doc(20, 60), 1e-2));
}

TEST(AiReader, UnderlineBoxesAreSkippedAndThePathsAfterThemKept) {
    // A single underline box outside a compound path, then a real path.
    const std::string single =
        "0 To\n1 0 0 1 10 100 0 Tp\nTP\n/_Helvetica 10 Tf\n%!!PQ underline\n(u) Tx\nTO\n"
        "1 XR\n0 O\n0 0 0 Xa\n10 99 m\n20 99 L\n20 98 L\n10 98 L\n10 99 L\nf\n"
        "0 0 m\n5 5 l\nS\n";
    // Two boxes in a compound path, then a real path.
    const std::string compound =
        "0 To\n1 0 0 1 10 100 0 Tp\nTP\n/_Helvetica 10 Tf\n%!!PQ underline\n(u) Tx\nTO\n"
        "*u\n10 99 m\n20 99 L\n20 98 L\n10 98 L\n10 99 L\nf\n"
        "10 89 m\n20 89 L\n20 88 L\n10 88 L\n10 89 L\nf\n*U\n"
        "0 0 m\n5 5 l\nS\n";
    for (const std::string& body : {single, compound}) {
        CDrawing drawing;
        ASSERT_TRUE(Read(File(body), drawing));
        ASSERT_EQ(drawing.Count(), 2);
        EXPECT_EQ(drawing.GetAt(0)->AsText()->style, kTextStyleUnderline);
        ASSERT_NE(drawing.GetAt(1)->AsPath(), nullptr);
        EXPECT_EQ(drawing.GetAt(1)->AsPath()->SubpathCount(), 1u);
    }
}

TEST(AiReader, RastersOfEveryDepthAndTheirPlacement) {
    // Two pixels wide, one high: 8-bit RGB, 8-bit grey, 1-bit grey, CMYK and RGB with alpha.
    const std::string rgb = "%AI5_BeginRaster\n[2 0 0 3 10 50] 0 0 2 1 2 1 8 3 0 0 0 0\n%%BeginData: 20\nXI\n"
                            "%FF000000FF00\n%%EndData\n%AI5_EndRaster\n";
    const std::string grey = "%AI5_BeginRaster\n[ 1 0 0 1 0 0 ] 0 0 2 1 2 1 8 1 0 0 0 0\n%%BeginData\nXI\n"
                             "%40C0\n%%EndData\n%AI5_EndRaster\n";
    const std::string bits = "%AI5_BeginRaster\n[1 0 0 1 0 0] 0 0 2 1 2 1 1 1 0 0 0 0\n%%BeginData\nXI\n"
                             "%80\n%%EndData\n%AI5_EndRaster\n";
    const std::string cmyk = "%AI5_BeginRaster\n[1 0 0 1 0 0] 0 0 2 1 2 1 8 4 0 0 0 0\n%%BeginData\nXI\n"
                             "%00FF000000000000\n%%EndData\n%AI5_EndRaster\n";
    const std::string alpha = "%AI5_BeginRaster\n[1 0 0 1 0 0] 0 0 2 1 2 1 8 3 1 0 0 0\n%%BeginData\nXI\n"
                              "%0000000000FF\n%00FF\n%%EndData\n%AI5_EndRaster\n";
    CDrawing drawing;
    ASSERT_TRUE(Read(File(rgb + grey + bits + cmyk + alpha), drawing));
    ASSERT_EQ(drawing.Count(), 5);
    auto pixels = [&](int i) {
        const CDibSection& bitmap = drawing.GetAt(i)->AsImage()->bitmap;
        EXPECT_EQ(bitmap.GetWidth(), 2);
        EXPECT_EQ(bitmap.GetHeight(), 1);
        return std::make_pair(PixelAt(bitmap, 0, 0), PixelAt(bitmap, 1, 0));
    };
    EXPECT_EQ(pixels(0), std::make_pair(0x0000FFu, 0x00FF00u));
    EXPECT_EQ(pixels(1), std::make_pair(0x404040u, 0xC0C0C0u));
    EXPECT_EQ(pixels(2), std::make_pair(0xFFFFFFu, 0x000000u)); // a set bit is white
    EXPECT_EQ(pixels(3), std::make_pair(0xFF00FFu, 0xFFFFFFu)); // magenta, then no ink
    EXPECT_EQ(pixels(4), std::make_pair(0xFFFFFFu, 0xFF0000u)); // transparent shows white
    const CRectF placement = drawing.GetAt(0)->AsImage()->placement;
    EXPECT_TRUE(ExpectNear(CPointF{placement.left, placement.top}, Doc(10, 50), 1e-2));
    EXPECT_TRUE(ExpectNear(CPointF{placement.right, placement.bottom}, Doc(14, 47), 1e-2));
}

TEST(AiReader, GroupLinesGroupTheObjectsInTheirOrder) {
    const std::string paths = "0 0 m\n1 1 l\nS\n0 0 m\n1 1 l\nS\n0 0 m\n1 1 l\nS\n0 0 m\n1 1 l\nS\n";
    CDrawing drawing;
    ASSERT_TRUE(Read(File(paths + "%!!PQ Begin Groups 5\n%!!PQ 2\n%!!PQ 0\n%!!PQ 3\n%!!PQ 1\n%!!PQ 2\n"
                                  "%!!PQ End Groups\n"),
                     drawing));
    ASSERT_EQ(drawing.Count(), 4);
    EXPECT_NE(drawing.GetAt(0)->group, 0);
    EXPECT_EQ(drawing.GetAt(0)->group, drawing.GetAt(3)->group);
    EXPECT_NE(drawing.GetAt(2)->group, 0);
    EXPECT_EQ(drawing.GetAt(1)->group, 0);
    EXPECT_NE(drawing.GetAt(2)->group, drawing.GetAt(0)->group);
}

TEST(AiReader, PdfCompatibleFilesHaveTheirIllustratorDataInflated) {
    const std::string inner = File("0 0 1 0 k\n10 10 m\n20 10 l\n20 20 l\nf\n");
    std::vector<uint8_t> packed;
    ASSERT_TRUE(DeflateBytes({reinterpret_cast<const uint8_t*>(inner.data()), inner.size()}, packed));
    std::string file =
        "%PDF-1.5\r\n%\xe2\xe3\r\n1 0 obj\r\n<</Length 5>>\r\nstream\r\nhello\r\nendstream\r\nendobj\r\n"
        "7 0 obj\r\n<</Length " +
        std::to_string(packed.size()) + "/Filter/FlateDecode>>\r\nstream\r\n";
    file.append(packed.begin(), packed.end());
    file += "\r\nendstream\r\nendobj\r\ntrailer\r\n<</Root 1 0 R>>\r\n%%EOF\r\n";
    CDrawing drawing;
    ASSERT_TRUE(Read(file, drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x00FFFFu);
    EXPECT_NEAR(drawing.GetPageWidth(), 352.777f, 1e-3);
}

TEST(AiReader, BinaryRasterDataAreReadLikeHex) {
    std::string file =
        File("%AI5_BeginRaster\n[ 1 0 0 1 0 0 ] 0 0 2 2 2 2 8 3 0 0 1 0\n%%BeginData: 12 Binary\nXI\n");
    const char pixels[] = {'\x0D', '\x0A', '\x00', '%',    '\xFF', '\x01',
                           '\x02', '\x03', '\x04', '\x05', '\x06', '\x07'};
    file.insert(file.size() - 7, std::string(pixels, sizeof pixels) + "\n%%EndData\n%AI5_EndRaster\n");
    CDrawing drawing;
    ASSERT_TRUE(Read(file, drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 1);
    const CDibSection& bitmap = drawing.GetAt(0)->AsImage()->bitmap;
    EXPECT_EQ(PixelAt(bitmap, 0, 0), 0x000A0Du);
    EXPECT_EQ(PixelAt(bitmap, 1, 0), 0x01FF25u);
    EXPECT_EQ(PixelAt(bitmap, 1, 1), 0x070605u);
}

} // namespace
} // namespace pq
