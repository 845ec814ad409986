#include "HpglTestHelpers.h"
#include "TestHelpers.h"

#include "formats/hpgl/HpglPlotterState.h"
#include "model/ModelTestHelpers.h"
#include "platform/PenBrushStyles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

namespace pq {
namespace {

using test::Anchors;
using test::ExpectNear;
using test::ReadHpglText;
using test::Strokes;

using Points = std::vector<CPointF>;

void ExpectPoints(const Points& actual, const Points& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_TRUE(ExpectNear(actual[i], expected[i], 1e-3)) << "point " << i;
}

TEST(HpglReader, PenMovesBecomeBlackUnfilledPolylinesCentredOnThePage) {
    CDrawing drawing;
    drawing.Add(test::MakeRect({0, 1, 0, 1})); // emptied first
    ASSERT_TRUE(ReadHpglText("IN;PU0,0;PD400,0,400,200;PU;", drawing));
    ASSERT_EQ(drawing.Count(), 1);
    const CGraphicObject& object = *drawing.GetAt(0);
    // 4 plotter units to a document unit, y flipped, bounds centred on the origin.
    ExpectPoints(Anchors(object), {{-50, 25}, {50, 25}, {50, -25}});
    const CPathShape* path = object.AsPath();
    EXPECT_EQ(path->penStyle, kPenSolid);
    EXPECT_EQ(path->penWidth, 0);
    EXPECT_EQ(path->penColor, 0u);
    EXPECT_EQ(path->brushStyle, kBrushHollow);
    EXPECT_EQ(object.color, 0u);
    EXPECT_EQ(object.page, 0);
    EXPECT_EQ(object.group, 0);
    const CPathNode& node = (*path->subpaths[0])[1];
    EXPECT_EQ(node.in, node.anchor);
    EXPECT_EQ(node.out, node.anchor);
}

// Each file gives the strokes the plotter draws: the anchors of each object in order.
TEST(HpglReader, PenMovesLabelsEscapesAndMalformedParametersGiveThePlottersStrokes) {
    // A printer job around an HP-GL/2 plot: the job language lines and PCL escapes draw nothing.
    const std::string job = "\x1b%-12345X@PJL JOB NAME=\"PD PA\"\r\n@PJL ENTER LANGUAGE=HPGL2\r\n"
                            "\x1b"
                            "E\x1b&l1O\x1b%0BINPU0,0PD0,400;\x1b%0A\x1b"
                            "E\x1b%-12345X@PJL EOJ\r\n";
    const std::pair<std::string, std::vector<Points>> cases[] = {
        // Several pen-up pairs: only the last starts the next stroke. PR accumulates, PA returns to
        // absolute. Plotter points (100,100) (100,0) (200,0) (200,100) (0,0): centre (100,50).
        {"PU0,0,800,800,100,100PD100,0PR100,0,0,100PA0,0",
         {{{0, -12.5f}, {0, 12.5f}, {25, 12.5f}, {25, -12.5f}, {-25, 12.5f}}}},
        // Lower-case mnemonics are recognised; odd counts end at the last complete pair.
        {"pu0,0;pd40,0,40;pr0,40,7;", {{{-5, 5}, {5, 5}, {5, -5}}}},
        // Lifting the pen ends the stroke even without coordinates.
        {"PU0,0;PD400,0;PU;PD400,400;", {{{-50, 50}, {50, 50}}, {{50, 50}, {50, -50}}}},
        // A file that starts drawing without a pen-up move draws from the origin, as the plotter does.
        {"PD400,0;", {{{-50, 0}, {50, 0}}}},
        // Single-point runs give no objects, but the file still reads.
        {"IN;PU10,10;PD;PU;PU20,20;PD;PU;SP0;", {}},
        // Escapes, labels, comments and unknown instructions are skipped.
        {"\x1b.I81;;17:\x1b.N;19:\x1b.(;\x1b%-1BIN;XX12,34;ZZ;"
         "PU0,0;LBPD999,999 PA NO MOVES\x03;"
         "DT*;LBPD5,5*;CO\"PD7,7\";SMP;PD400,0;QQ PU;",
         {{{-50, 0}, {50, 0}}}},
        {job, {{{0, 50}, {0, -50}}}},
        // A device-control escape without its colon ends at its last parameter; signs and points alone
        // are no numbers; a label that never ends takes the rest of the file.
        {"\x1b.I81;17PU0,0;PD-,.,400,0;PD;LBPD400,400", {{{-50, 0}, {50, 0}}}},
    };
    for (const auto& [file, strokes] : cases) {
        SCOPED_TRACE(file);
        CDrawing drawing;
        ASSERT_TRUE(ReadHpglText(file, drawing));
        EXPECT_TRUE(drawing.GetErrorMessage().empty()) << drawing.GetErrorMessage();
        ASSERT_EQ(drawing.Count(), static_cast<int>(strokes.size()));
        for (std::size_t i = 0; i < strokes.size(); ++i)
            ExpectPoints(Anchors(*drawing.GetAt(static_cast<int>(i))), strokes[i]);
    }
}

// Labels are not drawn: the reader says they were left out, and says nothing when there were none.
TEST(HpglReader, LabelsThatAreLeftOutAreTold) {
    CDrawing drawing;
    ASSERT_TRUE(ReadHpglText("IN;PU0,0;PD400,0;PU0,100;LBAxis\x03;", drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_NE(drawing.GetWarning().find("labels"), std::string::npos) << drawing.GetWarning();
    ASSERT_TRUE(ReadHpglText("IN;PU0,0;PD400,0;LB\x03;", drawing)); // an empty label shows nothing
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();
}

TEST(HpglReader, HugeCoordinatesAreHeldAtThePlottersRange) {
    CDrawing drawing;
    // Huge coordinates are held at the plotter's range, so bounds stay finite.
    ASSERT_TRUE(ReadHpglText("PU0,0;PD99999999999999999999999999999,-99999999999999999999,-1,-1;", drawing));
    ASSERT_EQ(drawing.Count(), 1);
    const CRectF bounds = drawing.Bounds();
    EXPECT_TRUE(std::isfinite(bounds.right - bounds.left));
    EXPECT_TRUE(std::isfinite(bounds.bottom - bounds.top));
    EXPECT_GT(bounds.right - bounds.left, 1e8f);
}

TEST(HpglReader, EmptyOrMissingFilesFailWithAReason) {
    CDrawing drawing;
    drawing.Add(test::MakeRect({0, 1, 0, 1}));
    EXPECT_FALSE(ReadHpglText("", drawing));
    EXPECT_NE(drawing.GetErrorMessage().find("empty"), std::string::npos);
    EXPECT_EQ(drawing.Count(), 0);
    // Files of other kinds named ".plt" would read their letter pairs as pen moves: they are refused
    // and named.
    const std::pair<std::string, std::string> others[] = {
        {"%PDF-1.3\n1 0 obj\n<< >>\nstream\n0 0 m 10 10 l S PD5,5;\nendstream\n", "PDF document"},
        {"%!PS-Adobe-3.0\n%%Creator: Adobe Illustrator(R) 7.0\n0 0 m\nPD10,10\n", "PostScript"},
        {"  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n", "DXF file"},
        {"0\nSECTION\n2\nHEADER\n", "DXF file"},
        {std::string("\xD7\xCD\xC6\x9A\0\0PD1,1;", 13), "metafile"},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "picture"},
    };
    for (const auto& [text, kind] : others) {
        EXPECT_FALSE(ReadHpglText(text, drawing)) << kind;
        EXPECT_NE(drawing.GetErrorMessage().find(kind), std::string::npos) << drawing.GetErrorMessage();
        EXPECT_EQ(drawing.Count(), 0);
    }
    // A plot that starts with a number or a job header is a plot.
    ASSERT_TRUE(ReadHpglText("0IN;PD0,0,400,0;", drawing)) << drawing.GetErrorMessage();
    ASSERT_TRUE(ReadHpglText("\x1b%-12345X@PJL\r\nIN;PD0,0,400,0;", drawing)) << drawing.GetErrorMessage();
    // Something that is no plot at all, or a plot whose pen never goes down, reads as a blank plot and
    // says so rather than opening an empty page without a word.
    for (const std::string& text :
         {std::string("\x01\x02\x03\0\xff\xfe binary junk", 18), std::string("IN;SP1;PU10,10;")}) {
        ASSERT_TRUE(ReadHpglText(text, drawing));
        EXPECT_EQ(drawing.Count(), 0);
        EXPECT_NE(drawing.GetWarning().find("draws nothing"), std::string::npos) << drawing.GetWarning();
    }

    const std::string missing = (std::filesystem::temp_directory_path() / "pq-no-such-plot.plt").string();
    EXPECT_FALSE(CPlotterFile().ImportFromHpgl(missing, drawing));
    EXPECT_NE(drawing.GetErrorMessage().find(missing), std::string::npos);
    // A folder is no plotter file.
    const std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_FALSE(CPlotterFile().ImportFromHpgl(folder, drawing));
    EXPECT_NE(drawing.GetErrorMessage().find(folder), std::string::npos);
}

TEST(HpglReader, CirclesArcsAndRectangles) {
    CDrawing drawing;
    // A circle of radius 400 around (0,0) with the default 5 degree chords, then the pen is back at the
    // centre; a rectangle edge from there to (800,400).
    ASSERT_TRUE(ReadHpglText("PA0,0;CI400;EA800,400;", drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const Points circle = Anchors(*drawing.GetAt(0));
    ASSERT_EQ(circle.size(), 73u);
    EXPECT_EQ(circle.front(), circle.back());
    // Bounds: x -400..800, y -400..400 plotter units; centre (200, 0).
    for (CPointF p : circle)
        EXPECT_NEAR(std::hypot(p.x + 50.0f, p.y), 100.0, 1e-3);
    ExpectPoints(Anchors(*drawing.GetAt(1)), {{-50, 0}, {150, 0}, {150, -100}, {-50, -100}, {-50, 0}});
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->brushStyle, kBrushHollow);

    // A quarter arc counter-clockwise around (0,0) from (400,0), pen down: it ends at (0,400) and the
    // stroke continues from there.
    ASSERT_TRUE(ReadHpglText("PU400,0;PD;AA0,0,90,10;PD0,800;", drawing));
    ASSERT_EQ(drawing.Count(), 1);
    const Points arc = Anchors(*drawing.GetAt(0));
    ASSERT_EQ(arc.size(), 11u);
    // Bounds x 0..400, y 0..800: centre (200,400).
    EXPECT_TRUE(ExpectNear(arc[9], {-50, 0}, 1e-3));
    EXPECT_TRUE(ExpectNear(arc[10], {-50, -100}, 1e-3));
    // AR takes its centre relative to the pen; a pen-up arc only moves.
    ASSERT_TRUE(ReadHpglText("PU400,0;AR-400,0,180;PD-400,400;", drawing));
    ASSERT_EQ(drawing.Count(), 1);
    ExpectPoints(Anchors(*drawing.GetAt(0)), {{0, 50}, {0, -50}});

    // A filled rectangle is a solid area in the pen's colour, without outline; hatching fills stay
    // outlines.
    ASSERT_TRUE(ReadHpglText("SP2;PA0,0;RR400,400;FT3;RA-400,-400;", drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const CGraphicObject& filled = *drawing.GetAt(0);
    EXPECT_EQ(filled.AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(filled.AsPath()->penStyle, kPenNull);
    EXPECT_EQ(filled.color, filled.AsPath()->penColor);
    EXPECT_NE(filled.color, 0u);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->brushStyle, kBrushHollow);

    // Wedges: from the centre along the arc and back; WG fills, EW edges. A rectangle sent with more
    // than one pair takes the last as its corner.
    ASSERT_TRUE(ReadHpglText("PA0,0;WG400,0,90;EW400,90,90,30;PA0,0;EA8,8,-400,-400;", drawing));
    ASSERT_EQ(drawing.Count(), 3);
    const Points wedge = Anchors(*drawing.GetAt(0));
    ASSERT_EQ(wedge.size(), 21u);
    EXPECT_EQ(wedge.front(), wedge.back());
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(Anchors(*drawing.GetAt(1)).size(), 6u);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->brushStyle, kBrushHollow);
    const CRectF box = drawing.GetAt(2)->bounds;
    EXPECT_NEAR(box.right - box.left, 100.0f, 1e-3);
}

TEST(HpglReader, ALineTypeOrWidthChangeEndsTheStroke) {
    CDrawing drawing;
    ASSERT_TRUE(ReadHpglText("PU0,0;PD400,0;LT2;PD400,400;PW1;PD0,400;LT2;PD0,0;", drawing));
    ASSERT_EQ(drawing.Count(), 3);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->penStyle, kPenSolid);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penStyle, kPenDash);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penWidth, 0);
    EXPECT_EQ(drawing.GetAt(2)->AsPath()->penWidth, 10);
    EXPECT_EQ(Anchors(*drawing.GetAt(2)).size(), 3u); // the same line type again does not split
    EXPECT_EQ(Anchors(*drawing.GetAt(1)).front(), Anchors(*drawing.GetAt(0)).back());
}

TEST(HpglReader, PensLineTypesAndWidths) {
    CDrawing drawing;
    ASSERT_TRUE(ReadHpglText("IN;SP1;PU0,0;PD10,0;SP2;PD20,0;SP3;LT2,4;PW0.35;PD30,0;"
                             "PC4,10,20,30;SP4;LT;PW0.5,4;PD40,0;SP9;PD50,0;",
                             drawing));
    ASSERT_EQ(drawing.Count(), 5);
    const auto pen = [&](int i) { return drawing.GetAt(i)->AsPath(); };
    EXPECT_EQ(pen(0)->penColor, 0u); // pen 1 stays black
    std::set<uint32_t> colors;
    for (int i = 0; i < 5; ++i)
        colors.insert(pen(i)->penColor);
    EXPECT_EQ(colors.size(), 5u); // every pen its own colour
    EXPECT_EQ(pen(3)->penColor, 0x1E140Au);
    EXPECT_EQ(pen(2)->penStyle, kPenDash);
    EXPECT_EQ(pen(2)->penWidth, 4); // 0.35 mm is 3.5 tenths, rounded away from zero
    EXPECT_EQ(pen(3)->penStyle, kPenSolid);
    EXPECT_EQ(pen(3)->penWidth, 5);
    EXPECT_EQ(pen(1)->penWidth, 0);
    // A change of pen ends the stroke; the next starts where the last ended.
    EXPECT_TRUE(ExpectNear(Anchors(*drawing.GetAt(1)).front(), Anchors(*drawing.GetAt(0)).back(), 1e-6));
}

TEST(HpglReader, ScalingPointsAndUserUnits) {
    CDrawing drawing;
    // User units 0..10 span plotter units 0..4000: the square comes out 1000 document units wide.
    ASSERT_TRUE(ReadHpglText("IN;IP0,0,4000,4000;SC0,10,0,10;PU0,0;PD10,0,10,10;PR-10,0;", drawing));
    ASSERT_EQ(drawing.Count(), 1);
    ExpectPoints(Anchors(*drawing.GetAt(0)), {{-500, 500}, {500, 500}, {500, -500}, {-500, -500}});

    // Isotropic scaling keeps the square square inside a wide area; SC alone returns to plotter units.
    ASSERT_TRUE(ReadHpglText("IP0,0,8000,4000;SC0,10,0,10,1;PU0,0;PD10,10;SC;PU0,0;PD0,400;", drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const Points diagonal = Anchors(*drawing.GetAt(0));
    EXPECT_NEAR(diagonal[1].x - diagonal[0].x, 1000.0f, 1e-3);
    EXPECT_NEAR(diagonal[0].y - diagonal[1].y, 1000.0f, 1e-3);
    const Points plain = Anchors(*drawing.GetAt(1));
    EXPECT_NEAR(plain[0].y - plain[1].y, 100.0f, 1e-3);
    // Centred isotropically in the spare width: the diagonal starts 2000 plotter units right of P1.
    EXPECT_NEAR(diagonal[0].x - plain[0].x, 500.0f, 1e-3);

    // RO turns the coordinate system counter-clockwise; arcs turn with it.
    ASSERT_TRUE(ReadHpglText("IN;RO90;PU0,0;PD1000,0,1000,500;", drawing));
    ASSERT_EQ(drawing.Count(), 1);
    ExpectPoints(Anchors(*drawing.GetAt(0)), {{62.5f, 125}, {62.5f, -125}, {-62.5f, -125}});
    ASSERT_TRUE(ReadHpglText("RO180;PU400,0;PD;AA0,0,90;", drawing));
    const Points arc = Anchors(*drawing.GetAt(0));
    EXPECT_TRUE(ExpectNear(arc.back() - arc.front(), {100, 100}, 1e-3));
}

TEST(HpglReader, EncodedPolylines) {
    CDrawing drawing;
    // "<=" then 0,0: an absolute pen-up move to the origin. "G" 0xC2 is 200, i.e. +100; 0xBF is 0;
    // 0xC2 alone is 3, i.e. -1. Pairs are relative pen-down moves unless flagged.
    const std::string file = "PE<=\xBF\xBFG\xC2\xBF\xBFG\xC2<\xBF\xBF"
                             ":\xC3" // pen 2 (value 4)
                             "\xBF\xC2;";
    ASSERT_TRUE(ReadHpglText(file, drawing));
    ASSERT_EQ(drawing.Count(), 2);
    // (0,0) -> (100,0) -> (100,100) then a pen change and (100,100) -> (100,99).
    const Points first = Anchors(*drawing.GetAt(0));
    ASSERT_EQ(first.size(), 3u);
    EXPECT_TRUE(ExpectNear(first[1] - first[0], {25, 0}, 1e-6));
    EXPECT_TRUE(ExpectNear(first[2] - first[1], {0, -25}, 1e-6));
    const Points second = Anchors(*drawing.GetAt(1));
    EXPECT_TRUE(ExpectNear(second[1] - second[0], {0, 0.25f}, 1e-6));
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penColor, CHpglPlotterState::DefaultPenColor(2));

    // Fractional bits (">" 2, encoded as 4) divide the values; 7-bit mode uses base 32 ("g" is 8, "_" 0).
    ASSERT_TRUE(ReadHpglText("PE>\xC3=\xBF\xBF\xC7\xBF;PE7<=__g_;", drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const Points fractional = Anchors(*drawing.GetAt(0));
    ASSERT_EQ(fractional.size(), 3u);
    EXPECT_TRUE(ExpectNear(fractional[2] - fractional[1], {0.25f, 0}, 1e-6)); // 4 / 2^2 plotter units
    const Points sevenBit = Anchors(*drawing.GetAt(1));
    EXPECT_TRUE(ExpectNear(sevenBit[1] - sevenBit[0], {1, 0}, 1e-6));
}

TEST(HpglReader, PolygonsAreFilledOrEdgedFromTheBuffer) {
    CDrawing drawing;
    ASSERT_TRUE(ReadHpglText("SP3;PU0,0;PM0;PD400,0,400,400;PU100,100;PD200,100,200,200;PM2;FP;EP;"
                             "PM0;PD0,-400;PM2;",
                             drawing));
    ASSERT_EQ(drawing.Count(), 2); // the last polygon is neither filled nor edged
    const CGraphicObject& fill = *drawing.GetAt(0);
    ASSERT_EQ(fill.AsPath()->SubpathCount(), 2u);
    EXPECT_EQ(fill.AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(fill.color, CHpglPlotterState::DefaultPenColor(3));
    // Subpolygons are closed.
    const Points outer = Anchors(fill, 0);
    EXPECT_EQ(outer.size(), 4u);
    EXPECT_EQ(outer.front(), outer.back());
    const CGraphicObject& edge = *drawing.GetAt(1);
    EXPECT_EQ(edge.AsPath()->brushStyle, kBrushHollow);
    EXPECT_EQ(edge.AsPath()->SubpathCount(), 2u);
}

TEST(HpglReader, GeneratedShapesStayWithinABudgetProportionalToTheFile) {
    // Each "CI9,.5;" asks for a 721-point circle; far more of them than the file's size allows.
    std::string file = "PA0,0;";
    for (int i = 0; i < 20000; ++i)
        file += "CI9,.5;";
    CDrawing drawing;
    ASSERT_TRUE(ReadHpglText(file, drawing));
    EXPECT_GT(drawing.Count(), 0);
    EXPECT_LE(test::TotalNodes(drawing), file.size() * 16 + (1u << 20));
    // What was left out is told.
    EXPECT_NE(drawing.GetWarning().find("left out"), std::string::npos) << drawing.GetWarning();
    ASSERT_TRUE(ReadHpglText("PA0,0;CI9,.5;CI20;", drawing));
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();

    // Filling a large polygon again and again is bounded the same way.
    std::string polygon = "PM0;PD";
    for (int i = 0; i < 20000; ++i)
        polygon += std::to_string(i % 97) + "," + std::to_string(i) + ",";
    polygon += "0,0;PM2;";
    for (int i = 0; i < 20000; ++i)
        polygon += "FP;";
    ASSERT_TRUE(ReadHpglText(polygon, drawing));
    EXPECT_LE(test::TotalNodes(drawing), polygon.size() * 16 + (1u << 20) + 20002);
}

} // namespace
} // namespace pq
