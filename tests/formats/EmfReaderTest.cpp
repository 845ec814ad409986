#include "MetafileTestHelpers.h"
#include "TestHelpers.h"

#include "formats/metafile/MetafileComments.h"

#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <iterator>
#include <limits>

namespace pq {
namespace {

using test::AllNodes;
using test::BuildEmf;
using test::ReadMetafile;
using test::Words;

void Poly(CMetafileSink& out, uint32_t type, std::initializer_list<CPoint> points, bool wide) {
    out.BeginRecord(type);
    out.Zeros(16);
    out.U32(static_cast<uint32_t>(points.size()));
    for (CPoint p : points) {
        if (wide) {
            out.I32(p.x);
            out.I32(p.y);
        } else {
            out.I16(static_cast<int16_t>(p.x));
            out.I16(static_cast<int16_t>(p.y));
        }
    }
    out.EndRecord();
}

void Xform(CMetafileSink& out, uint32_t type, std::initializer_list<float> values,
           std::optional<uint32_t> mode) {
    out.BeginRecord(type);
    for (float v : values)
        out.F32(v);
    if (mode)
        out.U32(*mode);
    out.EndRecord();
}

TEST(EmfReader, ThirtyTwoBitPolygonRecordsAndExtendedPensAreRead) {
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        // An extended pen: handle 1, no pattern, dashed geometric style, width 7, solid brush, colour.
        Words(out, emr::kExtCreatePen, {1, 0, 0, 0, 0, 0x00010001, 7, 0, 0x0000FF, 0, 0});
        Words(out, emr::kSelectObject, {1});
        Words(out, emr::kCreateBrushIndirect, {2, 0, 0x00FF00, 0});
        Words(out, emr::kSelectObject, {2});
        Poly(out, emr::kPolygon, {{0, 0}, {100, 0}, {100, 100}}, true);
        Poly(out, emr::kPolyline, {{0, 200}, {100, 200}}, true);
        Poly(out, emr::kPolyBezier, {{0, 300}, {10, 280}, {90, 280}, {100, 300}}, true);
        out.BeginRecord(emr::kPolyPolygon);
        out.Zeros(16);
        out.U32(2);
        out.U32(6);
        out.U32(3);
        out.U32(3);
        for (int v : {0, 400, 50, 400, 50, 450, 60, 400, 90, 400, 90, 450})
            out.I32(v);
        out.EndRecord();
    });
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 4);
    const CPathShape* polygon = drawing.GetAt(0)->AsPath();
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->penStyle, kPenDash);
    EXPECT_EQ(polygon->penWidth, 7);
    EXPECT_EQ(polygon->penColor, 0x0000FFu);
    EXPECT_EQ(polygon->brushStyle, kBrushSolid);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x00FF00u);
    // The polygon is closed back to its start; the polyline and the curve are not filled.
    EXPECT_EQ(AllNodes(*drawing.GetAt(0)).size(), 4u);
    EXPECT_EQ(AllNodes(*drawing.GetAt(0)).back().anchor, (CPointF{0, 0}));
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->brushStyle, kBrushHollow);
    const std::vector<CPathNode> curve = AllNodes(*drawing.GetAt(2));
    ASSERT_EQ(curve.size(), 2u);
    EXPECT_EQ(curve[0].out, (CPointF{10, 280}));
    EXPECT_EQ(curve[1].in, (CPointF{90, 280}));
    EXPECT_EQ(drawing.GetAt(3)->AsPath()->subpaths.size(), 2u);
}

TEST(EmfReader, ArcsChordsAndPiesBecomePaths) {
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        // The quarter from the right (3 o'clock) counter-clockwise to the top of a circle of radius 100.
        for (uint32_t type : {emr::kArc, emr::kChord, emr::kPie})
            Words(out, type, {-100, -100, 100, 100, 200, 0, 0, -200});
    });
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing));
    ASSERT_EQ(drawing.Count(), 3);
    const std::vector<CPathNode> arc = AllNodes(*drawing.GetAt(0));
    ASSERT_GE(arc.size(), 9u); // ten-degree steps over ninety degrees
    EXPECT_TRUE(test::ExpectNear(arc.front().anchor, {100, 0}, 1e-3));
    EXPECT_TRUE(test::ExpectNear(arc.back().anchor, {0, -100}, 1e-3));
    for (const CPathNode& n : arc)
        EXPECT_NEAR(n.anchor.Length(), 100.0, 1e-2);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->brushStyle, kBrushHollow);
    // The chord closes with a straight segment, the pie through the centre.
    const std::vector<CPathNode> chord = AllNodes(*drawing.GetAt(1));
    EXPECT_EQ(chord.size(), arc.size() + 1);
    EXPECT_EQ(chord.back().anchor, chord.front().anchor);
    const std::vector<CPathNode> pie = AllNodes(*drawing.GetAt(2));
    EXPECT_EQ(pie.front().anchor, (CPointF{0, 0}));
    EXPECT_EQ(pie.back().anchor, (CPointF{0, 0}));
    EXPECT_EQ(pie.size(), arc.size() + 2);
}

TEST(EmfReader, PathBracketsMakeOneObjectPerFillOrStroke) {
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        Words(out, emr::kCreateBrushIndirect, {5, 0, 0x0000FF, 0});
        Words(out, emr::kSelectObject, {5});
        emr::WriteEmpty(out, emr::kBeginPath);
        emr::WritePoint(out, emr::kMoveToEx, {0, 0});
        Poly(out, emr::kPolylineTo16, {{100, 0}, {100, 100}}, false);
        emr::WriteEmpty(out, emr::kCloseFigure);
        Poly(out, emr::kPolygon16, {{200, 0}, {300, 0}, {300, 100}}, false);
        emr::WriteEmpty(out, emr::kEndPath);
        emr::WriteBoundsOnly(out, emr::kFillPath, emr::kNoBounds);
        // Lines drawn outside a bracket with one pen become one unfilled path.
        emr::WritePoint(out, emr::kMoveToEx, {0, 500});
        emr::WritePoint(out, emr::kLineTo, {100, 500});
        emr::WritePoint(out, emr::kMoveToEx, {0, 600});
        emr::WritePoint(out, emr::kLineTo, {100, 600});
        Words(out, emr::kSelectObject, {static_cast<int32_t>(0x80000006)}); // white pen: a new object
        emr::WritePoint(out, emr::kLineTo, {100, 700});
    });
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing));
    ASSERT_EQ(drawing.Count(), 3);
    const CPathShape* filled = drawing.GetAt(0)->AsPath();
    ASSERT_EQ(filled->subpaths.size(), 2u);
    EXPECT_EQ(filled->subpaths[0]->GetSize(), 4u);
    EXPECT_EQ(filled->penStyle, kPenNull); // filling draws no outline
    EXPECT_EQ(filled->brushStyle, kBrushSolid);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x0000FFu);
    const CPathShape* lines = drawing.GetAt(1)->AsPath();
    EXPECT_EQ(lines->subpaths.size(), 2u);
    EXPECT_EQ(lines->brushStyle, kBrushHollow);
    EXPECT_EQ(lines->penColor, 0u);
    EXPECT_EQ(drawing.GetAt(2)->AsPath()->penColor, 0xFFFFFFu);
}

TEST(EmfReader, WorldTransformsApplyToTheFollowingRecords) {
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        Xform(out, emr::kSetWorldTransform, {2, 0, 0, 2, 10, 20}, std::nullopt);
        emr::WritePoint(out, emr::kMoveToEx, {1, 1});
        emr::WritePoint(out, emr::kLineTo, {5, 1});
        // Left multiplication: the new transform acts first (a shift by 100), then the scale.
        Xform(out, emr::kModifyWorldTransform, {1, 0, 0, 1, 100, 0}, 2u);
        Words(out, emr::kRectangle, {0, 0, 1, 1});
        // An absurd transform is ignored; identity resets.
        const float nan = std::numeric_limits<float>::quiet_NaN();
        Xform(out, emr::kSetWorldTransform, {nan, 0, 0, 1e30f, 0, 0}, std::nullopt);
        Words(out, emr::kRectangle, {0, 0, 1, 1});
        Xform(out, emr::kModifyWorldTransform, {5, 5, 5, 5, 5, 5}, 1u);
        Words(out, emr::kRectangle, {0, 0, 1, 1});
    });
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing));
    ASSERT_EQ(drawing.Count(), 4);
    EXPECT_EQ(AllNodes(*drawing.GetAt(0)).front().anchor, (CPointF{12, 22}));
    EXPECT_EQ(AllNodes(*drawing.GetAt(0)).back().anchor, (CPointF{20, 22}));
    EXPECT_EQ(AllNodes(*drawing.GetAt(1)).front().anchor, (CPointF{210, 20}));
    EXPECT_EQ(AllNodes(*drawing.GetAt(2)).front().anchor, (CPointF{210, 20}));
    EXPECT_EQ(AllNodes(*drawing.GetAt(3)).front().anchor, (CPointF{0, 0}));
}

TEST(EmfReader, WindowAndViewportMapLogicalUnitsAndSavedStatesComeBack) {
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        Words(out, emr::kCreatePen, {1, 0, 4, 0, 0});
        Words(out, emr::kSelectObject, {1});
        Words(out, 33, {}); // save the state
        Words(out, emr::kSetMapMode, {8});
        Words(out, emr::kSetWindowExtEx, {1000, 1000});
        Words(out, emr::kSetViewportExtEx, {100, -100}); // a tenth, y up
        Words(out, emr::kSetViewportOrgEx, {50, 60});
        Poly(out, emr::kPolyline16, {{0, 0}, {1000, 1000}}, false);
        Words(out, 34, {-1}); // back to the saved state
        Poly(out, emr::kPolyline16, {{0, 0}, {1000, 1000}}, false);
        Words(out, 34, {-5});              // nothing saved that far back: ignored
        Words(out, emr::kSetMapMode, {2}); // tenths of a millimetre at 10 pixels per millimetre, y up
        Poly(out, emr::kPolyline16, {{0, 0}, {10, 10}}, false);
    });
    CMetafileSink patched;
    patched.Bytes() = file;
    for (int i = 0; i < 4; ++i) // 800 x 600 pixels of 80 x 60 mm
        patched.PatchU32(72 + 4 * static_cast<std::size_t>(i), i == 0   ? 800
                                                               : i == 1 ? 600
                                                               : i == 2 ? 80
                                                                        : 60);
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(patched.Bytes(), drawing));
    ASSERT_EQ(drawing.Count(), 3);
    EXPECT_EQ(AllNodes(*drawing.GetAt(0)).front().anchor, (CPointF{50, 60}));
    EXPECT_EQ(AllNodes(*drawing.GetAt(0)).back().anchor, (CPointF{150, -40}));
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->penWidth, 0); // four units at a tenth
    EXPECT_EQ(AllNodes(*drawing.GetAt(1)).back().anchor, (CPointF{1000, 1000}));
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penWidth, 4);
    EXPECT_EQ(AllNodes(*drawing.GetAt(2)).back().anchor, (CPointF{10, -10}));
}

TEST(EmfReader, TextTakesFontColourAndAlignment) {
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        emr::CCreateFont font;
        font.handle = 3;
        font.height = -40;
        font.escapement = 900;
        font.weight = 800;
        font.italic = 1;
        font.face = u"liberation serif";
        font.Write(out);
        Words(out, emr::kSelectObject, {3});
        Words(out, emr::kSetTextColor, {0x123456});
        Words(out, emr::kSetTextAlign, {24}); // baseline
        emr::CTextOut line;
        line.reference = {100, 200};
        line.text = u"Hi";
        line.Write(out);
    });
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing));
    ASSERT_EQ(drawing.Count(), 1);
    const CTextShape* text = drawing.GetAt(0)->AsText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, u"Hi");
    EXPECT_EQ(text->faceName, u"Liberation Serif");
    EXPECT_EQ(text->height, 40.0f);
    EXPECT_EQ(text->style, kTextStyleBold | kTextStyleItalic);
    EXPECT_FLOAT_EQ(text->angle, 90.0f);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x123456u);
    // From the baseline one height up, which at ninety degrees is to the left.
    EXPECT_TRUE(test::ExpectNear(text->position, {60, 200}, 1e-3));
}

TEST(EmfReader, TheContentIsFittedToTheFrameAndGroupsComeFromTheComment) {
    const std::vector<uint8_t> file = BuildEmf(
        [](CMetafileSink& out) {
            Words(out, emr::kRectangle, {0, 0, 100, 50});
            Words(out, emr::kEllipse, {100, 50, 200, 100});
            const int table[] = {2, 0, 1};
            emr::WriteComment(out, GroupComment(table));
        },
        {0, 0, 4000, 1000}); // 40 x 10 mm
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const CRectF bounds = drawing.Bounds();
    EXPECT_NEAR(bounds.left, -200.0, 1e-3);
    EXPECT_NEAR(bounds.right, 200.0, 1e-3);
    EXPECT_NEAR(bounds.top, -50.0, 1e-3);
    EXPECT_NEAR(bounds.bottom, 50.0, 1e-3);
    EXPECT_NE(drawing.GetAt(0)->group, 0);
    EXPECT_EQ(drawing.GetAt(0)->group, drawing.GetAt(1)->group);
}

TEST(EmfReader, ARecordRunningPastTheEndKeepsWhatCameBeforeWithAWarning) {
    std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        Words(out, emr::kRectangle, {0, 0, 10, 10});
        Words(out, emr::kRectangle, {20, 0, 30, 10});
    });
    // The second rectangle claims a kilobyte.
    const std::vector<test::CRecordView> records = test::Records(file);
    CMetafileSink patch;
    patch.Bytes() = file;
    patch.PatchU32(records[2].offset + 4, 1024);
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(patch.Bytes(), drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_NE(drawing.GetWarning().find("more bytes than the file holds"), std::string::npos);

    // A record of size zero ends the reading the same way instead of looping.
    patch.PatchU32(records[2].offset + 4, 0);
    ASSERT_TRUE(ReadMetafile(patch.Bytes(), drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_FALSE(drawing.GetWarning().empty());
}

TEST(EmfReader, AFileCutBetweenTwoRecordsWarnsWhenItsHeaderPromisedMore) {
    std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        Words(out, emr::kRectangle, {0, 0, 10, 10});
        Words(out, emr::kRectangle, {20, 0, 30, 10});
    });
    const std::vector<test::CRecordView> records = test::Records(file);
    CMetafileSink whole;
    whole.Bytes() = file;
    whole.PatchU32(48, static_cast<uint32_t>(file.size())); // the header's byte count
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(whole.Bytes(), drawing));
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();

    // Cut after the first rectangle: no record is broken, but the file is shorter than it says.
    std::vector<uint8_t> cut(whole.Bytes().begin(), whole.Bytes().begin() + records[2].offset);
    ASSERT_TRUE(ReadMetafile(cut, drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_NE(drawing.GetWarning().find("ends before its last record"), std::string::npos);

    // Without a byte count in the header the same cut cannot be told from a file without an end record.
    cut.assign(file.begin(), file.begin() + records[2].offset);
    ASSERT_TRUE(ReadMetafile(cut, drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();
}

TEST(EmfReader, PicturesWithoutColourTablesAndEightBitTextAreRead) {
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        // A 2 x 1 picture of 32 bits per pixel without masks, stretched to 40 x 20 at (10, 5).
        CBitmapInfoHeader header;
        header.size = 40;
        header.width = 2;
        header.height = 1;
        header.planes = 1;
        header.bitCount = 32;
        uint8_t info[40];
        header.WriteTo(info);
        const uint8_t pixels[8] = {0, 0, 255, 0, 255, 0, 0, 0};
        emr::CStretchDiBits s;
        s.dest = {10, 5};
        s.sourceSize = {2, 1};
        s.destSize = {40, 20};
        s.rasterOp = kRopSourceCopy;
        s.dib = {info, pixels};
        s.Write(out);
        // EMR_EXTTEXTOUTA: one byte a character.
        out.BeginRecord(emr::kExtTextOutA);
        out.Zeros(16);
        out.U32(1);
        out.F32(0);
        out.F32(0);
        out.I32(7);
        out.I32(8);
        out.U32(3);
        out.U32(76);
        out.U32(0);
        out.Zeros(16);
        out.U32(0);
        out.Raw(std::string_view("caf\xE9", 4));
        out.EndRecord();
    });
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 2);
    const CImageShape* image = drawing.GetAt(0)->AsImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->placement, (CRectF{10, 50, 5, 25}));
    EXPECT_EQ(image->bitmap.GetBitCount(), 32);
    EXPECT_EQ(image->bitmap.GetBits()[2], 255);
    ASSERT_NE(drawing.GetAt(1)->AsText(), nullptr);
    EXPECT_EQ(drawing.GetAt(1)->AsText()->text, u"caf"); // three characters, as the record says
    EXPECT_EQ(drawing.GetAt(1)->AsText()->position, (CPointF{7, 8}));
}

// The 8-bit text record's bytes are read in the code page of the font's character set; the 16-bit
// record's characters are Unicode whatever the font.
TEST(EmfReader, EightBitTextIsReadInItsFontsCharacterSet) {
    const auto textRecord = [](CMetafileSink& out, uint32_t type, std::u16string_view chars) {
        out.BeginRecord(type);
        out.Zeros(16);
        out.U32(1);
        out.F32(0);
        out.F32(0);
        out.I32(0);
        out.I32(0);
        out.U32(static_cast<uint32_t>(chars.size()));
        out.U32(76);
        out.U32(0);
        out.Zeros(16);
        out.U32(0);
        for (char16_t c : chars) {
            if (type == emr::kExtTextOutA)
                out.U8(static_cast<uint8_t>(c));
            else
                out.U16(c);
        }
        out.Zeros(4);
        out.EndRecord();
    };
    const std::vector<uint8_t> file = BuildEmf([&](CMetafileSink& out) {
        emr::CCreateFont font;
        font.handle = 1;
        font.height = 20;
        font.charSet = 204;
        font.face = u"Arial";
        font.Write(out);
        Words(out, emr::kSelectObject, {1});
        textRecord(out, emr::kExtTextOutA, u"\xCF\xF0\xE8");
        textRecord(out, emr::kExtTextOutW, u"\u00CF\u20AC");
        // The Symbol face's codes, in either record and in the private-use block, are its Greek letters.
        font.handle = 2;
        font.charSet = 2;
        font.face = u"Symbol";
        font.Write(out);
        Words(out, emr::kSelectObject, {2});
        textRecord(out, emr::kExtTextOutA, u"ab");
        textRecord(out, emr::kExtTextOutW, u"\uF061b\u20AC");
    });
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 4);
    EXPECT_EQ(drawing.GetAt(0)->AsText()->text, u"\u041F\u0440\u0438");
    EXPECT_EQ(drawing.GetAt(1)->AsText()->text, u"\u00CF\u20AC");
    EXPECT_EQ(drawing.GetAt(2)->AsText()->text, u"\u03B1\u03B2");
    EXPECT_EQ(drawing.GetAt(3)->AsText()->text, u"\u03B1\u03B2\u20AC");
}

TEST(EmfReader, ADrawingWrittenByAnotherProgramOpens) {
    const std::vector<uint8_t> bytes = test::ReadFileBytes(PQ_TEST_DATA_DIR "/emf/pillow_drawing.emf");
    ASSERT_FALSE(bytes.empty()) << "missing test file";
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(bytes, drawing)) << drawing.GetErrorMessage();
    EXPECT_TRUE(drawing.GetErrorMessage().empty()) << drawing.GetErrorMessage();
    ASSERT_GE(drawing.Count(), 1);
    // Fitted to the header's frame: as wide in tenths of a millimetre as the frame is in hundredths / 10.
    CMetafileCursor head(bytes);
    const emr::CHeader header = emr::CHeader::Read(head);
    EXPECT_GT(drawing.Bounds().Width(), 0.0f);
    EXPECT_LE(drawing.Bounds().Width(), (header.frame.right - header.frame.left) * 0.1f + 1.0f);
}

TEST(EmfReader, CurvesTooLargeToShowAreLeftOutInsteadOfFlattenedForever) {
    // A kilobyte of curves spanning the whole 16-bit range would flatten to millions of points each time
    // the drawing refreshes them: the reader stops before, with a warning.
    const std::vector<uint8_t> file = BuildEmf(
        [](CMetafileSink& out) {
            Words(out, emr::kRectangle, {0, 0, 10, 10});
            emr::WritePoint(out, emr::kMoveToEx, {-32768, -32768});
            emr::CPoly curves;
            for (int i = 0; i < 20000; ++i)
                curves.points.insert(
                    curves.points.end(),
                    {{32767, -32768}, {-32768, 32767}, {i % 2 == 0 ? 32767 : -32768, 32767}});
            curves.Write16(out, emr::kPolyBezierTo16);
        },
        {0, 0, 100000000, 100000000});
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(file, drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_NE(drawing.GetWarning().find("too many or too large"), std::string::npos);
}

TEST(EmfReader, HostileCountsHandlesAndHeadersFailOrReadSafely) {
    // Point counts far beyond the record, a handle beyond any table, deleting what was never made.
    const std::vector<uint8_t> file = BuildEmf([](CMetafileSink& out) {
        out.BeginRecord(emr::kPolygon16);
        out.Zeros(16);
        out.U32(0x7FFFFFFF);
        out.EndRecord();
    });
    CDrawing drawing;
    EXPECT_TRUE(ReadMetafile(file, drawing));
    EXPECT_EQ(drawing.Count(), 0);
    EXPECT_FALSE(drawing.GetWarning().empty());

    const std::vector<uint8_t> handles = BuildEmf([](CMetafileSink& out) {
        Words(out, emr::kCreatePen, {0x7FFFFFFF, 0, 5, 0, 0xFF});
        Words(out, emr::kSelectObject, {0x7FFFFFFF});
        Words(out, emr::kSelectObject, {123});
        Words(out, emr::kDeleteObject, {99});
        out.BeginRecord(emr::kPolyPolygon16);
        out.Zeros(16);
        out.U32(0xFFFFFFFF);
        out.U32(0xFFFFFFFF);
        out.EndRecord();
        Words(out, emr::kRectangle, {0, 0, 10, 10});
    });
    EXPECT_TRUE(ReadMetafile(handles, drawing));
    EXPECT_EQ(drawing.Count(), 0); // the broken poly-polygon ends the reading

    // A header that is cut short, or that claims more than the file, is refused with a reason.
    std::vector<uint8_t> header = BuildEmf([](CMetafileSink&) {});
    CMetafileSink broken;
    broken.Bytes() = header;
    broken.PatchU32(4, 100000);
    EXPECT_FALSE(ReadMetafile(broken.Bytes(), drawing));
    EXPECT_FALSE(drawing.GetErrorMessage().empty());
    header.resize(60);
    EXPECT_FALSE(ReadMetafile(header, drawing));

    // A negative frame leaves the content in logical units.
    const std::vector<uint8_t> negative = BuildEmf(
        [](CMetafileSink& out) {
            Words(out, emr::kRectangle, {0, 0, 10, 10});
        },
        {100, 100, -100, -100});
    ASSERT_TRUE(ReadMetafile(negative, drawing));
    EXPECT_EQ(drawing.Bounds(), (CRectF{0, 10, 0, 10}));
}

} // namespace
} // namespace pq
