#include "MetafileTestHelpers.h"
#include "TestHelpers.h"

#include "formats/metafile/MetafileComments.h"
#include "geometry/Numeric.h"
#include "model/TextMetrics.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::Records;
using test::RecordsOfType;

std::vector<uint8_t> Write(const CDrawing& drawing, int page = 0, int width = -1, int height = -1) {
    return CMetafile::ExportToMemory(drawing, page, width, height);
}

// The points of every EMR_MOVETOEX and EMR_POLYBEZIERTO16 record, in file order.
std::vector<CPoint> PathPoints(const std::vector<uint8_t>& file) {
    std::vector<CPoint> points;
    for (const test::CRecordView& r : Records(file)) {
        CMetafileCursor in = r.Cursor();
        if (r.type == emr::kMoveToEx)
            points.push_back(emr::ReadPoint(in));
        else if (r.type == emr::kPolyBezierTo16) {
            const emr::CPoly poly = emr::CPoly::Read(in, false);
            points.insert(points.end(), poly.points.begin(), poly.points.end());
        }
    }
    return points;
}

TEST(EmfWriter, HeaderDescribesTheFileAndItsContentInDocumentUnits) {
    CDrawing drawing;
    drawing.Add(test::MakePathObject({test::Polyline({{-100.4f, 20.5f}, {300.0f, -50.6f}})}, kPenSolid,
                                     kBrushHollow, 3));
    const std::vector<uint8_t> file = Write(drawing);
    CMetafileCursor in(file);
    const emr::CHeader header = emr::CHeader::Read(in);
    EXPECT_EQ(header.signature, emr::kSignature);
    EXPECT_EQ(header.size, 88u);
    EXPECT_EQ(header.fileBytes, file.size());
    const std::vector<test::CRecordView> records = Records(file);
    EXPECT_EQ(header.records, records.size());
    EXPECT_EQ(records.back().type, emr::kEof);
    EXPECT_EQ(records.back().offset + records.back().bytes.size(), file.size());
    EXPECT_EQ(header.handles, 4);
    EXPECT_EQ(header.bounds, (CRect{-100, -51, 300, 21})); // halves round away from zero
    EXPECT_EQ(header.frame, (CRect{-1000, -510, 3000, 210}));
    EXPECT_EQ(header.devicePixels, (CPoint{800, 600}));
    EXPECT_EQ(header.deviceMillimetres, (CPoint{80, 60}));
    for (const test::CRecordView& r : records)
        EXPECT_EQ(r.bytes.size() % 4, 0u) << "record type " << r.type;

    // A straight segment: previous anchor's out, this anchor's in, this anchor; the open path ends with a
    // move to its end.
    EXPECT_EQ(PathPoints(file),
              (std::vector<CPoint>{{-100, 21}, {-100, 21}, {300, -51}, {300, -51}, {300, -51}}));
    EXPECT_EQ(RecordsOfType(file, emr::kStrokePath).size(), 1u);
    EXPECT_EQ(RecordsOfType(file, emr::kStrokeAndFillPath).size(), 0u);
}

TEST(EmfWriter, ContentBeyondTheLogicalRangeIsMappedIntoItPenWidthsIncluded) {
    CDrawing drawing;
    drawing.Add(test::MakePathObject({test::Polyline({{-60000.0f, 0.0f}, {60000.0f, 1000.0f}})}, kPenSolid,
                                     kBrushHollow, 40));
    const std::vector<uint8_t> file = Write(drawing);
    for (CPoint p : PathPoints(file)) {
        EXPECT_LE(std::abs(p.x), 30000);
        EXPECT_LE(std::abs(p.y), 30000);
    }
    EXPECT_EQ(PathPoints(file).front(), (CPoint{-30000, -250}));
    // The pen shrinks with the content: 40 units at half scale.
    const std::vector<test::CRecordView> pens = RecordsOfType(file, emr::kExtCreatePen);
    ASSERT_EQ(pens.size(), 2u);
    CMetafileCursor in = pens[1].Cursor();
    const emr::CExtCreatePen pen = emr::CExtCreatePen::Read(in);
    EXPECT_EQ(pen.width, 20u);
    EXPECT_EQ(pen.style, emr::CExtCreatePen::kGeometric);
    // The frame keeps the content's true size, so that it reads back as large as it was.
    CMetafileCursor head(file);
    EXPECT_EQ(emr::CHeader::Read(head).frame, (CRect{-600000, 0, 600000, 10000}));
}

TEST(EmfWriter, PensAndBrushesAreWrittenOnlyWhenTheyChange) {
    CDrawing drawing;
    drawing.Add(
        test::MakePathObject({test::Square(0, 0, 10)}, kPenSolid, kBrushSolid, 2, 0x0000FF, 0x00FF00));
    drawing.Add(
        test::MakePathObject({test::Square(20, 0, 10)}, kPenSolid, kBrushSolid, 2, 0x0000FF, 0x00FF00));
    drawing.Add(
        test::MakePathObject({test::Square(40, 0, 10)}, kPenSolid, kBrushHollow, 2, 0x0000FF, 0x00FF00));
    const std::vector<uint8_t> file = Write(drawing);
    // The initial pen and brush, one change of pen and two of brush.
    EXPECT_EQ(RecordsOfType(file, emr::kExtCreatePen).size(), 2u);
    EXPECT_EQ(RecordsOfType(file, emr::kCreateBrushIndirect).size(), 3u);
    EXPECT_EQ(RecordsOfType(file, emr::kStrokeAndFillPath).size(), 2u);
    EXPECT_EQ(RecordsOfType(file, emr::kStrokePath).size(), 1u);
    // Closed squares are closed as figures.
    EXPECT_EQ(RecordsOfType(file, emr::kCloseFigure).size(), 3u);
}

TEST(EmfWriter, ASubpathOfOneNodeDoesNotHideTheSubpathsAfterIt) {
    CDrawing drawing;
    drawing.Add(test::MakePathObject(
        {test::Polyline({{0, 0}, {10, 0}}), test::Polyline({{5, 5}}), test::Polyline({{0, 20}, {10, 20}})},
        kPenSolid, kBrushHollow));
    const std::vector<uint8_t> file = Write(drawing);
    EXPECT_EQ(RecordsOfType(file, emr::kMoveToEx).size(), 3u); // two figures and the closing move
    EXPECT_EQ(PathPoints(file).back(), (CPoint{10, 20}));
}

TEST(EmfWriter, GroupCommentOnlyForPagesWithGroupsAndItCountsLinesOfText) {
    CDrawing drawing;
    drawing.Add(test::MakePathObject({test::Square(0, 0, 10)}, kPenSolid, kBrushSolid));
    EXPECT_TRUE(RecordsOfType(Write(drawing), emr::kGdiComment).size() == 1u); // the bounds only

    drawing.Add(test::MakeTextObject(u"one\r\ntwo", {0, 100}));
    drawing.Add(test::MakePathObject({test::Square(50, 0, 10)}, kPenSolid, kBrushSolid));
    drawing.GetAt(1)->group = 4;
    drawing.GetAt(2)->group = 4;
    const std::vector<uint8_t> file = Write(drawing);
    std::optional<std::vector<int>> table;
    for (const test::CRecordView& r : RecordsOfType(file, emr::kGdiComment)) {
        CMetafileCursor in = r.Cursor();
        if (auto t = ReadGroupComment(emr::ReadComment(in)))
            table = t;
    }
    ASSERT_TRUE(table.has_value());
    // The text's two lines become objects 1 and 2, the second square object 3.
    EXPECT_EQ(*table, (std::vector<int>{3, 1, 2, 3}));
    EXPECT_EQ(drawing.GetAt(1)->group, 4); // the drawing is left as it was
}

TEST(EmfWriter, TextLinesCarryFontOffsetsAndAdvances) {
    CDrawing drawing;
    drawing.Add(test::MakeTextObject(u"abc\r\n\r\nWide", {100, 200}, kTextArtistic, kAlignLeft,
                                     kTextStyleBold, 30.0f));
    const std::vector<uint8_t> file = Write(drawing);
    const std::vector<test::CRecordView> fonts = RecordsOfType(file, emr::kExtCreateFontIndirectW);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].bytes.size(), 104u);
    CMetafileCursor fin = fonts[0].Cursor();
    const emr::CCreateFont font = emr::CCreateFont::Read(fin);
    EXPECT_EQ(font.handle, 3u);
    EXPECT_EQ(font.height, 71);
    EXPECT_EQ(font.escapement, 300);
    EXPECT_EQ(font.weight, 700);
    EXPECT_EQ(font.face, u"Liberation Sans");

    // The empty middle line writes nothing.
    const std::vector<test::CRecordView> lines = RecordsOfType(file, emr::kExtTextOutW);
    ASSERT_EQ(lines.size(), 2u);
    CMetafileCursor first(lines[0].bytes, 8);
    const emr::CTextOut abc = emr::CTextOut::Read(first, false);
    EXPECT_EQ(abc.text, u"abc");
    EXPECT_EQ(abc.reference, (CPoint{100, 200}));
    CMetafileCursor raw(lines[0].bytes, 44);
    EXPECT_EQ(raw.U32(), 3u);  // characters
    EXPECT_EQ(raw.U32(), 76u); // string offset
    raw.Seek(72);
    EXPECT_EQ(raw.U32(), (3u + 38u) * 2u + 2u); // advances after the padded string
    raw.Seek(84);
    const CTextShape* shape = drawing.GetAt(0)->AsText();
    const int32_t widthOfA = RoundHalfAway(GetTextMetrics().MeasureString(*shape, u"a").x);
    EXPECT_EQ(raw.I32(), widthOfA);

    // The third line starts two line heights further along the rotated down direction.
    CMetafileCursor third(lines[1].bytes, 8);
    const emr::CTextOut wide = emr::CTextOut::Read(third, false);
    const double h = GetTextMetrics().MeasureString(*shape, u"a").y;
    const double radians = 30.0 * 3.14159265358979 / 180.0;
    EXPECT_NEAR(wide.reference.x, 100 + 2 * h * std::sin(radians), 1.0);
    EXPECT_NEAR(wide.reference.y, 200 + 2 * h * std::cos(radians), 1.0);
}

TEST(EmfWriter, ParagraphTextWritesTheLinesThatFitItsFrame) {
    CDrawing drawing;
    drawing.Add(test::MakeTextObject(u"one two three four five six seven eight nine ten eleven", {0, 0},
                                     kTextParagraph));
    // The frame is 600 x 400 units: at 70.5555 units a line, at most five lines fit.
    const std::vector<uint8_t> file = Write(drawing);
    const std::vector<test::CRecordView> lines = RecordsOfType(file, emr::kExtTextOutW);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_LE(lines.size(), 5u);
    CMetafileCursor second(lines[1].bytes, 8);
    EXPECT_GT(emr::CTextOut::Read(second, false).reference.y, 60);
}

TEST(EmfWriter, ImagesBecomeStretchDibitsWithTheirBitmap) {
    CDrawing drawing;
    drawing.Add(test::MakeImageObject({10, 60, 20, 50}, 5, 3));
    const std::vector<uint8_t> file = Write(drawing);
    const std::vector<test::CRecordView> images = RecordsOfType(file, emr::kStretchDiBits);
    ASSERT_EQ(images.size(), 1u);
    CMetafileCursor in = images[0].Cursor();
    const emr::CStretchDiBits s = emr::CStretchDiBits::Read(in);
    EXPECT_EQ(s.bounds, (CRect{10, 20, 60, 50}));
    EXPECT_EQ(s.dest, (CPoint{10, 20}));
    EXPECT_EQ(s.sourceSize, (CPoint{5, 3}));
    EXPECT_EQ(s.destSize, (CPoint{50, 30}));
    EXPECT_EQ(s.rasterOp, kRopSourceCopy);
    EXPECT_EQ(s.dib.info.size(), 40u);
    const CDibSection& bitmap = drawing.GetAt(0)->AsImage()->bitmap;
    EXPECT_TRUE(
        std::equal(s.dib.bits.begin(), s.dib.bits.end(), bitmap.GetBits().begin(), bitmap.GetBits().end()));
}

TEST(EmfWriter, ATargetSizeScalesCopiesAndOnlyThePageAsked) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(test::MakePathObject({test::Polyline({{0, 0}, {200, 100}})}, kPenSolid, kBrushHollow, 4));
    drawing.Add(
        test::MakePathObject({test::Polyline({{0, 0}, {9, 9}})}, kPenSolid, kBrushHollow, 4, 0, 0, 1));
    const std::vector<uint8_t> file = Write(drawing, 0, 1000, 1000);
    CMetafileCursor in(file);
    // 200 x 100 scaled by 5 about its centre (100, 50).
    EXPECT_EQ(emr::CHeader::Read(in).bounds, (CRect{-400, -200, 600, 300}));
    EXPECT_EQ(RecordsOfType(file, emr::kBeginPath).size(), 1u);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->subpaths[0]->Last().anchor, (CPointF{200, 100}));
    // A page beyond the last is the last.
    EXPECT_EQ(PathPoints(Write(drawing, 7)).back(), (CPoint{9, 9}));
}

} // namespace
} // namespace pq
