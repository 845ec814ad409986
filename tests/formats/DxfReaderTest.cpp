#include "DxfTestHelpers.h"

#include "formats/dxf/DxfReader.h"

#include "TestHelpers.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pq {
namespace {

using test::Dxf;
using test::DxfText;
using test::EntitiesFile;
using test::ExpectNear;
using test::ReadDxf;

const CPathShape& PathAt(const CDrawing& drawing, int index) {
    const CGraphicObject* object = drawing.GetAt(index);
    EXPECT_NE(object, nullptr);
    EXPECT_NE(object->AsPath(), nullptr);
    return *object->AsPath();
}

// The first node of the given path: a LINE read after the one under test marks where the file's origin lies.
CPointF FirstAnchor(const CDrawing& drawing, int index) {
    return (*PathAt(drawing, index).subpaths[0])[0].anchor;
}

std::string Line(double x1, double y1, double x2, double y2, const std::string& extra = {}) {
    const auto n = [](double v) { return std::to_string(v); };
    return Dxf("0 LINE 8 0 10 " + n(x1) + " 20 " + n(y1) + " 11 " + n(x2) + " 21 " + n(y2)) + extra;
}

// From the first path's first node to its last.
CPointF Delta(const CDrawing& drawing) {
    return drawing.GetAt(0)->AsPath()->subpaths[0]->Last().anchor -
           (*drawing.GetAt(0)->AsPath()->subpaths[0])[0].anchor;
}

TEST(DxfReader, UnitsComeFromInsUnitsAndDefaultToMillimetres) {
    struct Case {
        int insunits; // -1: no header
        CPointF end;  // of the line from (0, 0) to (1, 2), or to (10, 5) in millimetres
        double tolerance;
    };
    // An unknown unit code leaves the scale at one document unit per drawing unit.
    for (const Case& c : {Case{-1, {100, -50}, 1e-4}, Case{1, {254, -508}, 1e-3},
                          Case{6, {10000, -20000}, 1e-2}, Case{99, {1, -2}, 1e-5}}) {
        CDrawing drawing;
        ASSERT_TRUE(
            ReadDxf(EntitiesFile(c.insunits < 0 ? Line(0, 0, 10, 5) : Line(0, 0, 1, 2), c.insunits), drawing))
            << drawing.GetErrorMessage();
        EXPECT_TRUE(ExpectNear(Delta(drawing), c.end, c.tolerance)) << c.insunits;
    }
}

TEST(DxfReader, EverythingLandsOnPageZeroCentredOnThePage) {
    CDrawing drawing;
    drawing.SetPageCount(3);
    ASSERT_TRUE(ReadDxf(EntitiesFile(Line(500000.5, 700000.25, 500010.5, 700020.25)), drawing));
    EXPECT_EQ(drawing.PageCount(), 1);
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_EQ(drawing.GetAt(0)->page, 0);
    const CRectF bounds = drawing.Bounds();
    EXPECT_TRUE(ExpectNear(bounds.Center(), {0, 0}, 1e-3));
    // Far from the origin the drawing keeps its detail: the half-unit offsets survive.
    EXPECT_TRUE(ExpectNear(Delta(drawing), {100, -200}, 1e-3));
}

TEST(DxfReader, PolylinesCloseAndTheirBulgesBecomeArcs) {
    CDrawing drawing;
    ASSERT_TRUE(
        ReadDxf(EntitiesFile(Dxf("0 LWPOLYLINE 90 3 70 1 10 0 20 0 10 10 20 0 10 10 20 10")), drawing));
    const CPathShape& closed = PathAt(drawing, 0);
    ASSERT_EQ(closed.subpaths.size(), 1u);
    const CNodeArray& nodes = *closed.subpaths[0];
    ASSERT_EQ(nodes.GetSize(), 4u);
    EXPECT_EQ(nodes[0].anchor, nodes[3].anchor);
    EXPECT_EQ(closed.penStyle, kPenSolid);
    EXPECT_EQ(closed.brushStyle, kBrushHollow);

    // A bulge of 1 is a half circle: from (0,0) to (10,0) counter-clockwise, through (5,-5) in the file.
    ASSERT_TRUE(ReadDxf(
        EntitiesFile(Dxf("0 LWPOLYLINE 90 2 70 0 10 0 20 0 42 1 10 10 20 0") + Line(0, 5, 10, 5)), drawing));
    const CNodeArray& arc = *PathAt(drawing, 0).subpaths[0];
    ASSERT_EQ(arc.GetSize(), 3u);                                           // two quarter arcs
    EXPECT_TRUE(ExpectNear(arc[1].anchor - arc[0].anchor, {50, 50}, 1e-3)); // y down in the document
    EXPECT_TRUE(ExpectNear(arc[2].anchor - arc[0].anchor, {100, 0}, 1e-3));
    EXPECT_FALSE(arc[0].out == arc[0].anchor);

    // POLYLINE with VERTEX entities up to SEQEND, bulges applied and the closing flag kept.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 POLYLINE 66 1 70 1 0 VERTEX 10 0 20 0 42 -1 0 VERTEX 10 10 20 0 "
                                         "0 VERTEX 10 10 20 10 0 SEQEND") +
                                     Line(0, 0, 1, 1)),
                        drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const CNodeArray& polyline = *PathAt(drawing, 0).subpaths[0];
    ASSERT_EQ(polyline.GetSize(), 5u); // two arc halves, the corner, the closing vertex
    // Clockwise from (0, 0) to (10, 0) runs over the top in the file: up the page.
    EXPECT_TRUE(ExpectNear(polyline[1].anchor - polyline[0].anchor, {50, -50}, 1e-3));
    EXPECT_EQ(polyline[0].anchor, polyline[4].anchor);
}

TEST(DxfReader, LineweightsBecomePenWidthsAndColoursComeFromIndexLayerOrBlock) {
    const std::string tables = Dxf(
        "0 SECTION 2 TABLES 0 TABLE 2 LAYER 0 LAYER 2 Red 62 1 370 35 0 LAYER 2 Off 62 -5 0 ENDTAB 0 ENDSEC");
    const std::string blocks = Dxf("0 SECTION 2 BLOCKS 0 BLOCK 2 b 10 0 20 0 0 LINE 8 0 62 0 10 0 20 0 11 1 "
                                   "21 0 0 LINE 8 0 10 0 20 0 11 0 21 1 0 ENDBLK 0 ENDSEC");
    const std::string entities = Line(0, 0, 1, 0, Dxf("370 50 62 3")) + Line(0, 0, 1, 0, Dxf("370 211")) +
                                 Dxf("0 LINE 8 red 10 0 20 0 11 1 21 1") +
                                 Dxf("0 LINE 8 Off 62 256 10 0 20 0 11 1 21 1") +
                                 Line(0, 0, 1, 0, Dxf("62 7")) + Line(0, 0, 1, 0, Dxf("62 255")) +
                                 Dxf("0 INSERT 8 Red 62 5 2 B 10 0 20 0");
    CDrawing drawing;
    ASSERT_TRUE(
        ReadDxf(tables + blocks + Dxf("0 SECTION 2 ENTITIES") + entities + Dxf("0 ENDSEC 0 EOF"), drawing));
    ASSERT_EQ(drawing.Count(), 8);
    EXPECT_EQ(PathAt(drawing, 0).penWidth, 5);
    EXPECT_EQ(PathAt(drawing, 0).penColor, 0x00FF00u);
    EXPECT_EQ(PathAt(drawing, 1).penWidth, 10);
    EXPECT_EQ(PathAt(drawing, 1).penColor, 0u);        // layer "0" is not in the table: black
    EXPECT_EQ(PathAt(drawing, 2).penColor, 0x0000FFu); // by layer, whatever the case of its name
    EXPECT_EQ(PathAt(drawing, 2).penWidth, 4);         // 0.35 mm from the layer
    EXPECT_EQ(PathAt(drawing, 3).penColor, 0xFF0000u); // a layer that is off keeps its colour
    EXPECT_EQ(PathAt(drawing, 4).penColor, 0u);        // 7 is black on paper
    EXPECT_EQ(PathAt(drawing, 5).penColor, 0xFFFFFFu);
    EXPECT_EQ(PathAt(drawing, 6).penColor, 0xFF0000u); // by block: the reference's colour
    EXPECT_EQ(PathAt(drawing, 7).penColor, 0x0000FFu); // layer "0" in a block: the reference's layer
}

TEST(DxfReader, EllipsesArcsAndCircles) {
    CDrawing drawing;
    // Major axis along -y, ratio 0.5: a tall ellipse.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 ELLIPSE 10 0 20 0 11 0 21 -10 40 0.5 41 0 42 6.283185307179586")),
                        drawing));
    CRectF box = drawing.GetAt(0)->bounds;
    EXPECT_TRUE(ExpectNear(box.right - box.left, 100, 0.5));
    EXPECT_TRUE(ExpectNear(box.bottom - box.top, 200, 0.5));
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->subpaths[0]->GetSize(), 5u);

    // An ARC from 0 to 90 degrees is the upper right quarter; a LINE marks the centre.
    ASSERT_TRUE(
        ReadDxf(EntitiesFile(Dxf("0 ARC 10 0 20 0 40 10 50 0 51 90") + Line(-10, -10, -10, -10)), drawing));
    const CNodeArray& arc = *PathAt(drawing, 0).subpaths[0];
    const CPointF centre = FirstAnchor(drawing, 1) + CPointF{100, -100};
    ASSERT_EQ(arc.GetSize(), 2u);
    EXPECT_TRUE(ExpectNear(arc[0].anchor - centre, {100, 0}, 1e-3));
    EXPECT_TRUE(ExpectNear(arc[1].anchor - centre, {0, -100}, 1e-3));
    const CPointF middle =
        (arc[0].anchor + arc[0].out * 3.0f + arc[1].in * 3.0f + arc[1].anchor) * 0.125f - centre;
    EXPECT_NEAR(middle.Length(), 100.0, 0.05);

    // An arc from 270 to 0 runs through the lower right quarter (the span wraps).
    ASSERT_TRUE(
        ReadDxf(EntitiesFile(Dxf("0 ARC 10 0 20 0 40 10 50 270 51 0") + Line(-10, -10, -10, -10)), drawing));
    EXPECT_TRUE(ExpectNear(PathAt(drawing, 0).subpaths[0]->Last().anchor - FirstAnchor(drawing, 1),
                           {200, -100}, 1e-3));

    // A circle without its radius is no circle; with it, a closed outline.
    ASSERT_FALSE(ReadDxf(EntitiesFile(Dxf("0 CIRCLE 10 0 20 0")), drawing));
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 CIRCLE 10 0 20 0 40 5")), drawing));
    const CNodeArray& circle = *PathAt(drawing, 0).subpaths[0];
    EXPECT_EQ(circle[0].anchor, circle.Last().anchor);
    EXPECT_TRUE(ExpectNear(drawing.GetAt(0)->bounds.Width(), 100, 0.1));
}

TEST(DxfReader, SplinesOfBezierFormAreReadExactlyOthersAreFitted) {
    CDrawing drawing;
    // Degree 3, one segment.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 SPLINE 70 8 71 3 72 8 73 4 40 0 40 0 40 0 40 0 40 1 40 1 40 1 40 "
                                         "1 10 0 20 0 10 1 20 2 10 3 20 2 10 4 20 0")),
                        drawing));
    const CNodeArray& bezier = *PathAt(drawing, 0).subpaths[0];
    ASSERT_EQ(bezier.GetSize(), 2u);
    EXPECT_TRUE(ExpectNear(bezier[0].out - bezier[0].anchor, {10, -20}, 1e-3));
    EXPECT_TRUE(ExpectNear(bezier[1].in - bezier[0].anchor, {30, -20}, 1e-3));

    // A uniform cubic with one inner knot becomes two Bezier segments through the same curve.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 SPLINE 71 3 40 0 40 0 40 0 40 0 40 1 40 2 40 2 40 2 40 2 10 0 20 "
                                         "0 10 1 20 3 10 2 20 -3 10 3 20 3 10 4 20 0")),
                        drawing));
    EXPECT_EQ(PathAt(drawing, 0).subpaths[0]->GetSize(), 3u);

    // A rational quadratic quarter circle (weights 1, 1/sqrt 2, 1) is sampled and fitted.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 SPLINE 71 2 40 0 40 0 40 0 40 1 40 1 40 1 10 100 20 0 41 1 10 "
                                         "100 20 100 41 0.7071067811865476 10 0 20 100 41 1") +
                                     Line(0, 0, 0, 0)),
                        drawing));
    const CNodeArray& quarter = *PathAt(drawing, 0).subpaths[0];
    const CPointF centre = FirstAnchor(drawing, 1);
    EXPECT_TRUE(ExpectNear(quarter[0].anchor - centre, {1000, 0}, 0.5));
    EXPECT_TRUE(ExpectNear(quarter.Last().anchor - centre, {0, -1000}, 0.5));
    for (std::size_t i = 0; i < quarter.GetSize(); ++i)
        EXPECT_NEAR((quarter[i].anchor - centre).Length(), 1000.0, 3.5);

    // Fit points only: the curve runs through them.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 SPLINE 71 3 74 3 11 0 21 0 11 5 21 5 11 10 21 0")), drawing));
    const CNodeArray& fitted = *PathAt(drawing, 0).subpaths[0];
    ASSERT_EQ(fitted.GetSize(), 3u);
    EXPECT_TRUE(ExpectNear(fitted[1].anchor - fitted[0].anchor, {50, -50}, 1e-3));
}

TEST(DxfReader, SolidsAndHatchesAreFills) {
    CDrawing drawing;
    // A SOLID's corners run 1, 2, 4, 3: this is a square, not a bow tie.
    ASSERT_TRUE(
        ReadDxf(EntitiesFile(Dxf("0 SOLID 62 1 10 0 20 0 11 10 21 0 12 0 22 10 13 10 23 10")), drawing));
    const CPathShape& solid = PathAt(drawing, 0);
    EXPECT_EQ(solid.penStyle, kPenNull);
    EXPECT_EQ(solid.brushStyle, kBrushSolid);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x0000FFu);
    const CNodeArray& corners = *solid.subpaths[0];
    ASSERT_EQ(corners.GetSize(), 5u);
    EXPECT_TRUE(ExpectNear(corners[2].anchor - corners[0].anchor, {100, -100}, 1e-4));

    // A hatch with a polyline boundary with a bulge and an edge boundary of a line and an arc.
    ASSERT_TRUE(
        ReadDxf(EntitiesFile(Dxf("0 HATCH 2 ANSI31 70 0 91 2 92 2 72 1 73 1 93 3 10 0 20 0 42 0 10 10 20 0 "
                                 "42 0 10 10 20 10 42 0.5 97 0 92 1 93 2 72 1 10 20 20 0 11 30 21 0 72 2 10 "
                                 "25 20 0 40 5 50 0 51 180 73 1 97 0 75 0 76 1 52 45 98 0")),
                drawing));
    const CPathShape& hatch = PathAt(drawing, 0);
    ASSERT_EQ(hatch.subpaths.size(), 2u);
    EXPECT_EQ(hatch.brushStyle, kBrushSolid);
    EXPECT_EQ(hatch.penStyle, kPenNull);
    const CNodeArray& first = *hatch.subpaths[0];
    EXPECT_EQ(first[0].anchor, first.Last().anchor);
    EXPECT_GT(first.GetSize(), 4u); // the bulged closing side is an arc
    const CNodeArray& second = *hatch.subpaths[1];
    EXPECT_EQ(second[0].anchor, second.Last().anchor);
    EXPECT_TRUE(ExpectNear(drawing.GetAt(0)->bounds.Width(), 300, 1.0));
}

TEST(DxfReader, BlockReferencesArePlacedScaledAndRotated) {
    const std::string blocks =
        Dxf("0 SECTION 2 BLOCKS 0 BLOCK 2 Arrow 10 1 20 0 0 LINE 10 1 20 0 11 2 21 0 0 ENDBLK 0 BLOCK 2 Two "
            "0 INSERT 2 ARROW 10 0 20 0 0 INSERT 2 arrow 10 0 20 5 0 ENDBLK 0 ENDSEC");
    const std::string entities = Dxf(
        "0 INSERT 2 Arrow 10 10 20 10 41 2 42 2 50 90 0 INSERT 2 Two 10 0 20 0 0 INSERT 2 Missing 10 0 20 0");
    CDrawing drawing;
    ASSERT_TRUE(ReadDxf(blocks + Dxf("0 SECTION 2 ENTITIES") + entities + Dxf("0 ENDSEC 0 EOF"), drawing));
    ASSERT_EQ(drawing.Count(), 3);
    // The block's base point (1, 0) lands on the insertion point; its unit line is scaled by 2 and turned
    // up the page.
    EXPECT_TRUE(ExpectNear(Delta(drawing), {0, -20}, 1e-3));
    EXPECT_TRUE(ExpectNear(FirstAnchor(drawing, 0) - FirstAnchor(drawing, 2), {100, -50}, 1e-3));
}

TEST(DxfReader, BlocksReferringToThemselvesAndDeepNestingAreBounded) {
    // A refers to itself and to B; B refers to A: each block is drawn once per chain, never forever.
    const std::string blocks =
        Dxf("0 SECTION 2 BLOCKS 0 BLOCK 2 A 0 LINE 10 0 20 0 11 1 21 0 0 INSERT 2 A 10 1 20 0 0 INSERT 2 B "
            "10 0 20 1 0 ENDBLK 0 BLOCK 2 B 0 INSERT 2 A 10 5 20 5 0 ENDBLK 0 ENDSEC");
    CDrawing drawing;
    ASSERT_TRUE(ReadDxf(blocks + EntitiesFile(Dxf("0 INSERT 2 A 10 0 20 0")), drawing));
    EXPECT_EQ(drawing.Count(), 1);

    // A chain of 40 blocks each holding a line and the next: expansion stops at the depth limit.
    std::string chain = Dxf("0 SECTION 2 BLOCKS");
    for (int i = 0; i < 40; ++i)
        chain += Dxf("0 BLOCK 2 C" + std::to_string(i) + " 0 LINE 10 0 20 0 11 1 21 0 0 INSERT 2 C" +
                     std::to_string(i + 1) + " 10 1 20 0 0 ENDBLK");
    chain += Dxf("0 ENDSEC");
    ASSERT_TRUE(ReadDxf(chain + EntitiesFile(Dxf("0 INSERT 2 C0 10 0 20 0")), drawing));
    EXPECT_EQ(drawing.Count(), CDxfReader::kMaxBlockDepth);
}

TEST(DxfReader, TextsAndTheirAnchors) {
    CDrawing drawing;
    ASSERT_TRUE(
        ReadDxf(EntitiesFile(Dxf("0 MTEXT 10 0 20 0 40 5 71 1 1 {\\fArial|b1|i0;Hello}") + Line(0, 0, 0, 0)),
                drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const CTextShape* hello = drawing.GetAt(0)->AsText();
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(hello->text, u"Hello");
    EXPECT_EQ(hello->faceName, u"Arial");
    EXPECT_EQ(hello->style, kTextStyleBold);
    EXPECT_EQ(hello->mode, kTextArtistic);
    EXPECT_NEAR(hello->height, 50 * 1.388, 1e-3);
    EXPECT_TRUE(ExpectNear(hello->position, FirstAnchor(drawing, 1), 1e-3)); // top left attachment: no move

    // TEXT hangs from its baseline: the block's top is one block height above the insertion point.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 TEXT 10 0 20 0 40 5 50 0 1 90%%d") + Line(0, 0, 0, 0)), drawing));
    const CTextShape* baseline = drawing.GetAt(0)->AsText();
    ASSERT_NE(baseline, nullptr);
    EXPECT_EQ(baseline->text, u"90\u00B0");
    EXPECT_NEAR(baseline->position.x, FirstAnchor(drawing, 1).x, 1e-3);
    EXPECT_LT(baseline->position.y, FirstAnchor(drawing, 1).y - 30);

    // Centred MTEXT with a reference width is paragraph text whose frame is centred on the point.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 MTEXT 10 0 20 0 40 5 41 40 71 2") +
                                     DxfText({{3, "first piece "}, {1, "second"}}) + Line(0, 0, 0, 0)),
                        drawing));
    const CTextShape* paragraph = drawing.GetAt(0)->AsText();
    ASSERT_NE(paragraph, nullptr);
    EXPECT_EQ(paragraph->mode, kTextParagraph);
    EXPECT_EQ(paragraph->text, u"first piece second");
    EXPECT_EQ(paragraph->alignment, kAlignCentre);
    EXPECT_TRUE(ExpectNear(paragraph->position.x, FirstAnchor(drawing, 1).x - 200, 1e-3));
    EXPECT_TRUE(ExpectNear(paragraph->corner.x - paragraph->position.x, 400, 1e-3));
    EXPECT_GT(paragraph->corner.y, paragraph->position.y);

    // A direction vector straight down the file's y axis is 270 degrees.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 MTEXT 10 0 20 0 40 5 11 0 21 -1 1 down")), drawing));
    EXPECT_NEAR(drawing.GetAt(0)->AsText()->angle, -90.0f, 1e-3);
}

TEST(DxfReader, TextWithoutValueOrEntitiesWithoutRequiredGroupsMakeNothing) {
    CDrawing drawing;
    EXPECT_FALSE(ReadDxf(EntitiesFile(Dxf("0 TEXT 10 0 20 0 40 5") + Dxf("0 LINE 10 0 20 0 11 x 21 1") +
                                      Dxf("0 LWPOLYLINE 10 0 20 0")),
                         drawing));
    EXPECT_EQ(drawing.Count(), 0);
    EXPECT_EQ(drawing.GetErrorMessage(), "DXF: the file has no entities that can be shown");
}

} // namespace
} // namespace pq
