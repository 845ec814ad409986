#include "RasterHelpers.h"
#include "TestHelpers.h"
#include "ViewTestSetup.h"

#include "geometry/BezierMath.h"
#include "geometry/Numeric.h"
#include "ui/tools/BezierTool.h"
#include "ui/tools/BoxTools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq::test {
namespace {

constexpr unsigned kDown = kKeyFlagLButton;

// An opened, painted view where one pixel is two document units and the client centre (200, 150) shows
// the document origin.
struct CShapeSetup : CViewSetup {
    CShapeSetup() {
        Open();
        Paint();
        ShowOriginAtCentre(0.5f);
        Paint();
    }
    const CPathShape& LastPath() { return *Drawing().GetAt(Drawing().Count() - 1)->AsPath(); }
    const CNodeArray& LastNodes() { return *LastPath().subpaths.at(0); }
    // Undoes the newest step and checks that it was the only one the gesture made.
    void ExpectUndoneTo(const DrawingSnapshot& before, int undoSteps) {
        EXPECT_EQ(UndoSteps(), undoSteps);
        EXPECT_EQ(Undone(), before);
    }
};

std::vector<CPointF> Anchors(const CNodeArray& nodes) {
    std::vector<CPointF> anchors;
    for (const CPathNode& node : nodes)
        anchors.push_back(node.anchor);
    return anchors;
}

double DistanceToPolyline(CPointF p, const std::vector<CPointF>& line) {
    double best = 1e30;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double ax = line[i - 1].x, ay = line[i - 1].y;
        const double dx = line[i].x - ax, dy = line[i].y - ay;
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0 ? std::clamp(((p.x - ax) * dx + (p.y - ay) * dy) / length2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(p.x - (ax + t * dx), p.y - (ay + t * dy)));
    }
    return best;
}

TEST(RectangleTool, SnappedDragLandsOnTheGridAndGivesTheSameNodesWhicheverWayItRuns) {
    for (int kind : {static_cast<int>(ToolKind::Rectangle), static_cast<int>(ToolKind::Box14)}) {
        CShapeSetup s;
        s.view.SetSnapSpacing(50.0f);
        s.view.SetTool(kind);
        const DrawingSnapshot empty = Snapshot(s.Drawing());
        // Document (24, 26) snaps to (0, 50) and (174, 182) to (150, 200).
        s.Drag({212, 163}, {287, 241});
        const DrawingSnapshot one = Snapshot(s.Drawing());
        s.Drag({287, 241}, {212, 163});
        ASSERT_EQ(s.Drawing().Count(), 2) << kind;
        const std::vector<CPointF> expected{{0, 50}, {150, 50}, {150, 200}, {0, 200}, {0, 50}};
        for (int i = 0; i < 2; ++i) {
            const CNodeArray& nodes = *s.Drawing().GetAt(i)->AsPath()->subpaths.at(0);
            EXPECT_EQ(Anchors(nodes), expected) << kind << " drag " << i;
            for (const CPathNode& node : nodes)
                EXPECT_EQ(node, CPathNode::FromPoint(node.anchor));
        }
        EXPECT_TRUE(s.view.IsToolCurrent(static_cast<ToolKind>(kind))) << "the tool stays after drawing";
        s.ExpectUndoneTo(one, 2);
        s.ExpectUndoneTo(empty, 1);
    }
}

TEST(BoxTools, RubberShapeShowsWhileDraggingAndLeavesNoTraceAndATapMakesNothing) {
    for (ToolKind kind : {ToolKind::Line, ToolKind::Rectangle, ToolKind::Ellipse}) {
        CShapeSetup s;
        s.view.SetTool(kind);
        const CDibSection before = s.host.front;
        s.view.OnLButtonDown(kDown, {100, 80});
        s.view.OnMouseMove(kDown, {180, 140});
        EXPECT_GT(CountDifferences(before, s.host.front), 40) << static_cast<int>(kind);
        s.view.OnMouseMove(kDown, {250, 200});
        s.view.OnLButtonUp(0, {250, 200});
        EXPECT_EQ(CountDifferences(before, s.host.front), 0) << static_cast<int>(kind);
        EXPECT_FALSE(s.host.captured);
        EXPECT_EQ(s.Drawing().Count(), 1);

        s.Drag({50, 50}, {50, 50});
        EXPECT_EQ(s.Drawing().Count(), 1) << "a tap makes nothing";
        EXPECT_EQ(s.UndoSteps(), 1);
    }
}

TEST(BoxTools, StyleComesFromTheDefaultsAndALineIsNeverFilled) {
    for (int noFill : {0, 1}) {
        CShapeSetup s;
        CNewObjectStyle& style = s.view.GetNewObjectStyle();
        style.noFill = noFill;
        style.penWidth = 7;
        style.penColor = 0x102030;
        style.brushColor = 0x405060;
        s.view.SetTool(ToolKind::Line);
        s.Drag({300, 250}, {100, 50});
        const CPathShape& line = s.LastPath();
        EXPECT_EQ(line.brushStyle, kBrushHollow);
        EXPECT_EQ(Anchors(*line.subpaths.at(0)), (std::vector<CPointF>{{200, 200}, {-200, -200}}))
            << "a line runs from the press to the release";

        s.view.SetTool(ToolKind::Rectangle);
        s.Drag({100, 50}, {300, 250});
        s.view.SetTool(ToolKind::Ellipse);
        s.Drag({100, 50}, {300, 250});
        for (int i : {1, 2}) {
            const CGraphicObject& object = *s.Drawing().GetAt(i);
            EXPECT_EQ(object.AsPath()->brushStyle, noFill != 0 ? kBrushHollow : kBrushSolid) << i;
            EXPECT_EQ(object.color, 0x405060u);
            EXPECT_EQ(object.AsPath()->penWidth, 7);
            EXPECT_EQ(object.AsPath()->penColor, 0x102030u);
        }
        // The ellipse touches the dragged rectangle at the middle of each side and bulges like a circle:
        // its curve at 45 degrees lies on the inscribed ellipse.
        const CNodeArray& ellipse = s.LastNodes();
        EXPECT_EQ(Anchors(ellipse),
                  (std::vector<CPointF>{{0, -200}, {200, 0}, {0, 200}, {-200, 0}, {0, -200}}));
        const CPointF diagonal = BezierPointAt(CBezier(ellipse[0], ellipse[1]), 0.5f);
        EXPECT_TRUE(ExpectNear(std::hypot(diagonal.x, diagonal.y), 200.0, 0.1));
    }
}

TEST(FreehandTool, StrokeIsFittedIntoSmoothNodesAndIsNotSnapped) {
    CShapeSetup s;
    s.view.SetSnapSpacing(50.0f);
    s.view.SetTool(ToolKind::Freehand);
    const CDibSection before = s.host.front;
    const DrawingSnapshot empty = Snapshot(s.Drawing());
    // Most of a circle of radius 60 pixels about (203, 151), one point per 3 degrees.
    std::vector<CPoint> track;
    for (int degrees = 0; degrees <= 300; degrees += 3) {
        const double a = degrees * std::numbers::pi / 180.0;
        track.push_back({RoundHalfAway(203 + 60 * std::cos(a)), RoundHalfAway(151 + 60 * std::sin(a))});
    }
    s.view.OnLButtonDown(kDown, track.front());
    for (std::size_t i = 1; i < track.size(); ++i)
        s.view.OnMouseMove(kDown, track[i]);
    EXPECT_GT(CountDifferences(before, s.host.front), 100) << "the track shows while drawing";
    s.view.OnLButtonUp(0, track.back());

    ASSERT_EQ(s.Drawing().Count(), 1);
    const CNodeArray& nodes = s.LastNodes();
    EXPECT_GE(nodes.GetSize(), 3u);
    EXPECT_LT(nodes.GetSize(), track.size() / 4) << "fitted, not one node per point";
    // Filled by default, so the stroke is closed back to its first point.
    EXPECT_EQ(nodes[0].anchor, s.view.GetMapping().DeviceToDoc(track.front()));
    EXPECT_EQ(nodes.Last().anchor, nodes[0].anchor);
    EXPECT_EQ(nodes[0].anchor, (CPointF{126, 2})) << "the press as it was, not snapped to 50";
    // The joints are smooth: the handles leave each inner anchor in opposite directions.
    for (std::size_t i = 1; i + 1 < nodes.GetSize(); ++i) {
        const CPointF a = nodes[i].anchor - nodes[i].in;
        const CPointF b = nodes[i].out - nodes[i].anchor;
        EXPECT_LE(std::fabs(a.x * b.y - a.y * b.x), 1e-3 * std::hypot(a.x, a.y) * std::hypot(b.x, b.y)) << i;
        EXPECT_GT(a.x * b.x + a.y * b.y, 0.0f) << i;
    }
    // The curve follows the stroke (closed back to its start) within the fitting error of 10 pixels.
    std::vector<CPointF> stroke;
    for (CPoint p : track)
        stroke.push_back(s.view.GetMapping().DeviceToDoc(p));
    stroke.push_back(stroke.front());
    for (std::size_t i = 1; i < nodes.GetSize(); ++i)
        for (float t : {0.25f, 0.5f, 0.75f})
            EXPECT_LT(DistanceToPolyline(BezierPointAt(CBezier(nodes[i - 1], nodes[i]), t), stroke), 20.0)
                << i;
    s.ExpectUndoneTo(empty, 1);
}

TEST(FreehandTool, StrokesOfTooFewPointsMakeNothing) {
    CShapeSetup s;
    s.view.SetTool(ToolKind::Freehand);
    s.Tap({100, 100});
    s.view.OnLButtonDown(kDown, {100, 100});
    s.view.OnLButtonUp(0, {140, 100});
    // Points within 3 pixels of the start are not recorded.
    s.view.OnLButtonDown(kDown, {100, 100});
    s.view.OnMouseMove(kDown, {102, 101});
    s.view.OnMouseMove(kDown, {101, 102});
    s.view.OnLButtonUp(0, {102, 102});
    EXPECT_EQ(s.Drawing().Count(), 0);
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_FALSE(s.host.captured);
}

TEST(BezierTool, CtrlMakesACuspPlainDragASmoothNodeAndAFilledCurveIsClosed) {
    for (int noFill : {0, 1}) {
        CShapeSetup s;
        s.view.GetNewObjectStyle().noFill = noFill;
        s.view.SetSnapSpacing(50.0f);
        s.view.SetTool(ToolKind::Bezier);
        const DrawingSnapshot empty = Snapshot(s.Drawing());
        s.Drag({100, 100}, {150, 80}, kKeyFlagControl); // document (-200, -100), handle to (-100, -150)
        s.Drag({300, 100}, {350, 150});                 // (200, -100), handle to (300, 0)
        s.Drag({300, 250}, {300, 250});                 // a click: a corner at (200, 200)
        const CNodeArray& placed = static_cast<CBezierTool*>(s.view.GetCurrentTool())->GetNodes();
        ASSERT_EQ(placed.GetSize(), 3u);
        EXPECT_EQ(placed[0], (CPathNode{{-200, -100}, {-200, -100}, {-100, -150}, 1}));
        EXPECT_EQ(placed[1], (CPathNode{{100, -200}, {200, -100}, {300, 0}, 0}));
        EXPECT_EQ(placed[2], (CPathNode{{200, 200}, {200, 200}, {200, 200}, 1}));
        EXPECT_EQ(s.Drawing().Count(), 0) << "nothing is made before the curve is finished";

        // A double-click far from the last press does not finish; one near it does. Its first click on
        // the last anchor adds no segment of no length.
        s.view.OnLButtonDblClk(kDown, {320, 250});
        EXPECT_EQ(s.Drawing().Count(), 0);
        s.Drag({303, 252}, {303, 252});
        EXPECT_EQ(placed.GetSize(), 3u);
        s.view.OnLButtonDblClk(kDown, {303, 252});
        ASSERT_EQ(s.Drawing().Count(), 1);
        const CNodeArray& nodes = s.LastNodes();
        if (noFill == 0) {
            ASSERT_EQ(nodes.GetSize(), 4u) << "a filled curve is closed by a node on its first anchor";
            EXPECT_EQ(nodes[3], CPathNode::FromPoint({-200, -100}));
            EXPECT_EQ(nodes[0].in, nodes[0].anchor);
        } else {
            EXPECT_EQ(nodes.GetSize(), 3u) << "an unfilled curve stays open";
        }
        EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Bezier));
        s.ExpectUndoneTo(empty, 1);
    }
}

TEST(BezierTool, LeavingTheToolMakesTheCurveButANewDocumentDropsIt) {
    CShapeSetup s;
    s.view.SetTool(ToolKind::Bezier);
    s.Drag({100, 100}, {120, 100});
    s.Drag({200, 200}, {220, 200});
    s.Drag({300, 100}, {320, 100});
    const DrawingSnapshot empty = Snapshot(s.Drawing());
    s.view.OnCommand(cmd::kToolLine);
    ASSERT_EQ(s.Drawing().Count(), 1);
    EXPECT_EQ(s.LastNodes().GetSize(), 4u);
    EXPECT_EQ(s.LastPath().brushStyle, kBrushSolid);
    s.ExpectUndoneTo(empty, 1);

    // A single node makes nothing.
    s.view.SetTool(ToolKind::Bezier);
    s.Drag({100, 100}, {120, 100});
    s.view.SetTool(ToolKind::Pan);
    EXPECT_EQ(s.Drawing().Count(), 0);

    // A curve in progress when another document is opened belongs to neither.
    s.view.SetTool(ToolKind::Bezier);
    s.Drag({100, 100}, {120, 100});
    s.Drag({200, 200}, {220, 200});
    s.Open();
    EXPECT_EQ(s.Drawing().Count(), 0);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Pan));
}

TEST(ShapeTools, CommandsAreEnabledAndSelectTheirTools) {
    CShapeSetup s;
    const std::pair<int, ToolKind> rows[] = {
        {cmd::kToolLine, ToolKind::Line},       {cmd::kToolRectangle, ToolKind::Rectangle},
        {cmd::kToolEllipse, ToolKind::Ellipse}, {cmd::kToolBox14, ToolKind::Box14},
        {cmd::kToolBezier, ToolKind::Bezier},   {cmd::kToolFreehand, ToolKind::Freehand}};
    for (const auto& [command, kind] : rows) {
        const CCommandStateSeen before = s.State(command);
        ASSERT_TRUE(before.handled);
        EXPECT_TRUE(before.enabled && !before.checked) << command;
        ASSERT_TRUE(s.view.OnCommand(command));
        EXPECT_TRUE(s.view.IsToolCurrent(kind)) << command;
        EXPECT_TRUE(s.State(command).checked && s.host.buttons[command]) << command;
        EXPECT_EQ(s.host.cursor, CursorShape::Cross);
    }
}

} // namespace
} // namespace pq::test
