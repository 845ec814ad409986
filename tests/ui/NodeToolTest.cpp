#include "ViewTestSetup.h"

#include "geometry/BezierMath.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"
#include "ui/tools/NodeTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace pq::test {
namespace {

constexpr unsigned kDown = kKeyFlagLButton;

double Cross(CPointF a, CPointF b) {
    return double{a.x} * b.y - double{a.y} * b.x;
}
double Dot(CPointF a, CPointF b) {
    return double{a.x} * b.x + double{a.y} * b.y;
}

// An opened view where one pixel is one document unit and the client centre (200, 150) shows the
// document origin, with the Shape tool current.
struct CNodeSetup : CViewSetup {
    CNodeSetup() {
        Open();
        Paint();
        ShowOriginAtCentre(1.0f);
        Paint();
    }
    // Adds a path of one subpath (not recorded for undo) and starts editing it with the Shape tool.
    int AddPath(const CNodeArray& nodes, int brush = kBrushHollow) {
        Drawing().Add(BuildPath({nodes}, {.brushStyle = brush, .penWidth = 1}));
        const int index = Drawing().Count() - 1;
        view.SetTool(ToolKind::Select);
        view.GetSelection() = {index};
        view.ResetSelectTool();
        view.SetTool(ToolKind::Node);
        return index;
    }
    CNodeTool& Tool() { return *static_cast<CNodeTool*>(view.GetTool(ToolKind::Node)); }
    CPoint Dev(CPointF doc) const { return view.GetMapping().DocToDevice(doc); }
    const CNodeArray& Stored(int index = 0) { return *Drawing().GetAt(index)->AsPath()->subpaths.at(0); }
    bool Enabled(int id) {
        const CCommandStateSeen state = State(id);
        EXPECT_TRUE(state.handled);
        return state.enabled;
    }
    // Runs a command as the menus do and checks that it made one undo step back to the exact records.
    void RunAndUndo(int id, const DrawingSnapshot& before) {
        ASSERT_TRUE(Enabled(id)) << id;
        const int steps = UndoSteps();
        ASSERT_TRUE(view.OnCommand(id));
        EXPECT_EQ(UndoSteps(), steps + 1);
        EXPECT_NE(Snapshot(Drawing()), before);
        EXPECT_EQ(Undone(), before);
        view.OnCommand(cmd::kRedo);
        EXPECT_EQ(Undone(), before);
    }
};

// The last popup menu's texts, "-" for a separator and greyed items marked.
std::vector<std::string> MenuTexts(const CRecordingWindowHost& host) {
    std::vector<std::string> texts;
    for (const CMenuItem& item : host.lastMenu)
        texts.push_back(item.id == 0 ? "-" : item.text + (item.enabled ? "" : " (greyed)"));
    return texts;
}

// Three nodes on a horizontal line; the middle one is smooth with handles of different lengths.
CNodeArray ThreeNodes(CPointF in = {-60, 0}, CPointF out = {30, 0}, uint32_t flags = 0) {
    CNodeArray nodes;
    nodes.Add(CPathNode::FromPoint({-150, 0}));
    nodes.Add(CPathNode{in, {0, 0}, out, flags});
    nodes.Add(CPathNode::FromPoint({150, 0}));
    return nodes;
}

// A closed 200 x 100 rectangle of straight segments, corners clockwise from the top-left.
CNodeArray Rectangle() {
    return BoxNodes({-100, 100, -50, 50});
}

TEST(NodeTool, DraggingAHandleTurnsTheOtherByTheNodeType) {
    {
        SCOPED_TRACE("smooth: the opposite handle stays collinear and keeps its length");
        CNodeSetup s;
        s.AddPath(ThreeNodes());
        const DrawingSnapshot before = Snapshot(s.Drawing());
        s.Tap(s.Dev({0, 0}));
        ASSERT_EQ(s.Tool().GetSelectedNode(), 1);
        s.Drag(s.Dev({30, 0}), s.Dev({0, 30}));
        const CPathNode& node = s.Stored()[1];
        EXPECT_EQ(node.out, (CPointF{0, 30}));
        const CPointF in = node.in - node.anchor;
        const CPointF out = node.out - node.anchor;
        EXPECT_NEAR(Cross(in, out), 0.0, 1e-2);
        EXPECT_LT(Dot(in, out), 0.0);
        EXPECT_NEAR(in.Length(), 60.0f, 1e-3f);
        EXPECT_EQ(s.UndoSteps(), 1);
        EXPECT_EQ(s.Undone(), before);
    }
    {
        SCOPED_TRACE("symmetrical: the opposite handle mirrors the dragged one, length too");
        CNodeSetup s;
        s.AddPath(ThreeNodes({-40, 0}, {40, 0}));
        s.Tap(s.Dev({0, 0}));
        s.Drag(s.Dev({40, 0}), s.Dev({50, 25}));
        const CPathNode& node = s.Stored()[1];
        EXPECT_EQ(node.out, (CPointF{50, 25}));
        EXPECT_NEAR(node.in.x, -50.0f, 1e-3f);
        EXPECT_NEAR(node.in.y, -25.0f, 1e-3f);
    }
    {
        SCOPED_TRACE("cusp: the opposite handle stays where it was");
        CNodeSetup s;
        s.AddPath(ThreeNodes({-40, 0}, {40, 0}, node_edit::kCuspFlag));
        s.Tap(s.Dev({0, 0}));
        s.Drag(s.Dev({40, 0}), s.Dev({0, -40}));
        EXPECT_EQ(s.Stored()[1].in, (CPointF{-40, 0}));
        EXPECT_EQ(s.Stored()[1].out, (CPointF{0, -40}));
    }
    {
        SCOPED_TRACE("a neighbour's handle is grabbed from the current node and makes its node current");
        CNodeSetup s;
        CNodeArray nodes = ThreeNodes();
        nodes[2].in = {120, -40};
        s.AddPath(nodes);
        s.Tap(s.Dev({0, 0}));
        s.Drag(s.Dev({120, -40}), s.Dev({120, -60}));
        EXPECT_EQ(s.Tool().GetSelectedNode(), 2);
        EXPECT_EQ(s.Stored()[2].in, (CPointF{120, -60}));
    }
}

TEST(NodeTool, DraggingSelectedAnchorsMovesThemWithTheirHandlesAsOneStep) {
    CNodeSetup s;
    s.AddPath(ThreeNodes());
    const DrawingSnapshot before = Snapshot(s.Drawing());
    s.Tap(s.Dev({0, 0}));
    s.Tap(s.Dev({150, 0}), kKeyFlagShift);
    EXPECT_EQ(s.Tool().GetSelectedNodes(), (std::set<int>{1, 2}));
    const std::size_t damageBefore = s.host.damage.size();
    s.Drag(s.Dev({0, 0}), s.Dev({10, 20}));
    // The drag showed its feedback on the window while it ran.
    EXPECT_GT(s.host.damage.size(), damageBefore);
    EXPECT_EQ(s.Stored()[1], (CPathNode{{-50, 20}, {10, 20}, {40, 20}, 0}));
    EXPECT_EQ(s.Stored()[2].anchor, (CPointF{160, 20}));
    EXPECT_EQ(s.Stored()[0].anchor, (CPointF{-150, 0}));
    EXPECT_EQ(s.UndoSteps(), 1);
    EXPECT_EQ(s.Undone(), before);
    // The undo left the tool editing the same path.
    EXPECT_EQ(s.Tool().GetEditedObject(), 0);
    EXPECT_EQ(s.Tool().GetNodes(), s.Stored());

    // A press that does not move changes nothing.
    s.Tap(s.Dev({0, 0}));
    EXPECT_EQ(s.UndoSteps(), 0);
}

TEST(NodeTool, NodesAreHitTenPixelsAwayButNotEleven) {
    CNodeSetup s;
    s.AddPath(ThreeNodes());
    s.Tap(s.Dev({0, 0}) + CPoint{10, 10});
    EXPECT_EQ(s.Tool().GetSelectedNode(), 1);
    s.Tap(s.Dev({150, 0}) + CPoint{-11, -11});
    // Off the node (and off the line): the tap leaves the path altogether.
    EXPECT_EQ(s.Tool().GetSelectedNode(), -1);
    EXPECT_EQ(s.Tool().GetEditedObject(), -1);
    EXPECT_TRUE(s.view.GetSelection().empty());
}

TEST(NodeTool, RubberBandSelectsOnlyTheNodesInsideIt) {
    CNodeSetup s;
    CNodeArray nodes;
    for (CPointF p : {CPointF{-150, -100}, CPointF{-50, 0}, CPointF{50, 10}, CPointF{150, 100}})
        nodes.Add(CPathNode::FromPoint(p));
    s.AddPath(nodes);
    s.Drag(s.Dev({-80, -40}), s.Dev({80, 40}));
    EXPECT_EQ(s.Tool().GetSelectedNodes(), (std::set<int>{1, 2}));
    // Shift adds a second band's nodes; a band without Shift starts again.
    s.Drag(s.Dev({130, 80}), s.Dev({170, 120}), kKeyFlagShift);
    EXPECT_EQ(s.Tool().GetSelectedNodes(), (std::set<int>{1, 2, 3}));
    s.Drag(s.Dev({-170, -120}), s.Dev({-130, -80}));
    EXPECT_EQ(s.Tool().GetSelectedNodes(), (std::set<int>{0}));
    EXPECT_EQ(s.UndoSteps(), 0);
}

TEST(NodeTool, NodeTypeCommandsReshapeTheNodeAndUndoToTheExactRecord) {
    CNodeSetup s;
    // A corner: handles pointing up-left and up-right.
    CNodeArray nodes = ThreeNodes({-30, -30}, {40, -40}, node_edit::kCuspFlag);
    s.AddPath(nodes);
    const DrawingSnapshot before = Snapshot(s.Drawing());
    s.Tap(s.Dev({0, 0}));

    s.view.OnCommand(cmd::kNodeLine);
    EXPECT_EQ(s.Stored()[1], (CPathNode{{0, 0}, {0, 0}, {0, 0}, 0}));
    EXPECT_EQ(s.Undone(), before);

    s.Tap(s.Dev({0, 0}));
    s.view.OnCommand(cmd::kNodeSmooth);
    {
        const CPathNode& node = s.Stored()[1];
        EXPECT_EQ(node.flags & 1u, 0u);
        // Towards the neighbours 150 away: 0.35 of the way, collinear through the anchor.
        EXPECT_NEAR((node.in - node.anchor).Length(), 52.5f, 1e-3f);
        EXPECT_NEAR((node.out - node.anchor).Length(), 52.5f, 1e-3f);
        EXPECT_NEAR(Cross(node.in - node.anchor, node.out - node.anchor), 0.0, 1e-2);
        EXPECT_LT(node.in.x, 0.0f);
    }
    EXPECT_EQ(s.Undone(), before);

    // Cusp on a plain end node sets its flag, and only that.
    s.Tap(s.Dev({-150, 0}));
    s.RunAndUndo(cmd::kNodeCusp, before);

    // Symmetrical on the first node of an open path: the missing incoming handle mirrors the outgoing.
    s.Tap(s.Dev({-150, 0}));
    s.view.OnCommand(cmd::kNodeSmooth);
    s.view.OnCommand(cmd::kNodeSymmetrical);
    {
        const CPathNode& node = s.Stored()[0];
        EXPECT_NEAR((node.in - node.anchor).Length(), (node.out - node.anchor).Length(), 1e-3f);
        EXPECT_NEAR(node.in.x + node.out.x, 2 * node.anchor.x, 1e-3f);
        EXPECT_NEAR(node.in.y + node.out.y, 2 * node.anchor.y, 1e-3f);
    }
    EXPECT_EQ(s.UndoSteps(), 2);
    EXPECT_EQ(s.Undone(2), before);
}

TEST(NodeTool, DeletingTheMiddleOfThreeJoinsItsNeighboursAndTwoNodesStay) {
    CNodeSetup s;
    CNodeArray nodes = ThreeNodes();
    nodes[0].out = {-100, -50};
    nodes[2].in = {100, -50};
    s.AddPath(nodes);
    const DrawingSnapshot before = Snapshot(s.Drawing());
    s.Tap(s.Dev({0, 0}));
    ASSERT_TRUE(s.Enabled(cmd::kNodeDelete));
    s.view.OnCommand(cmd::kNodeDelete);
    ASSERT_EQ(s.Stored().GetSize(), 2u);
    // The neighbours keep their handles: one segment from the first to the last.
    EXPECT_EQ(s.Stored()[0], nodes[0]);
    EXPECT_EQ(s.Stored()[1], nodes[2]);
    // Two nodes are the least a path keeps.
    s.Tap(s.Dev({150, 0}));
    EXPECT_EQ(s.Tool().GetSelectedNode(), 1);
    EXPECT_FALSE(s.Enabled(cmd::kNodeDelete));
    EXPECT_EQ(s.Undone(), before);

    s.Tap(s.Dev({0, 0}));
    s.RunAndUndo(cmd::kNodeDelete, before);
    // The Delete key deletes the selected node, not the path.
    s.Tap(s.Dev({0, 0}));
    s.RunAndUndo(cmd::kDelete, before);
    EXPECT_EQ(s.Drawing().Count(), 1);
}

TEST(NodeTool, DeletingTheFirstNodeOfAClosedCurveKeepsItClosed) {
    CNodeSetup s;
    s.AddPath(Rectangle(), kBrushSolid);
    s.Tap(s.Dev({-100, -50}));
    ASSERT_EQ(s.Tool().GetSelectedNode(), 0);
    s.view.OnCommand(cmd::kNodeDelete);
    const CNodeArray& left = s.Stored();
    ASSERT_EQ(left.GetSize(), 4u);
    EXPECT_EQ(left[0].anchor, (CPointF{100, -50}));
    EXPECT_EQ(left[3].anchor, (CPointF{100, -50}));
    // Two nodes and the closing node (a closed two-segment curve) are the least a closed curve keeps.
    s.Tap(s.Dev({100, 50}));
    ASSERT_TRUE(s.Enabled(cmd::kNodeDelete));
    s.view.OnCommand(cmd::kNodeDelete);
    EXPECT_EQ(s.Stored().GetSize(), 3u);
    s.Tap(s.Dev({100, -50}));
    EXPECT_EQ(s.Tool().GetSelectedNode(), 0);
    EXPECT_FALSE(s.Enabled(cmd::kNodeDelete));
}

TEST(NodeTool, SplittingAClosedCurveOpensItAtTheTapWithTheSameOutline) {
    CNodeSetup s;
    s.AddPath(Rectangle(), kBrushSolid);
    const DrawingSnapshot before = Snapshot(s.Drawing());
    // The middle of the top edge.
    s.Tap(s.Dev({0, -50}));
    EXPECT_TRUE(s.Enabled(cmd::kNodeSplit));
    EXPECT_FALSE(s.Enabled(cmd::kNodeClose));
    s.view.OnCommand(cmd::kNodeSplit);
    const CNodeArray& open = s.Stored();
    ASSERT_EQ(open.GetSize(), 6u);
    EXPECT_NEAR(open[0].anchor.x, 0.0f, 0.01f);
    EXPECT_NEAR(open[0].anchor.y, -50.0f, 0.01f);
    EXPECT_NEAR(open[5].anchor.x, 0.0f, 0.01f);
    EXPECT_NEAR(open[5].anchor.y, -50.0f, 0.01f);
    EXPECT_GT(open[0].anchor.DistanceTo(open[5].anchor), node_edit::kClosedDistance);
    // The corners follow in order from the top-right.
    EXPECT_EQ(open[1].anchor, (CPointF{100, -50}));
    EXPECT_EQ(open[2].anchor, (CPointF{100, 50}));
    EXPECT_EQ(open[3].anchor, (CPointF{-100, 50}));
    EXPECT_EQ(open[4].anchor, (CPointF{-100, -50}));
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->brushStyle, kBrushHollow);
    EXPECT_EQ(s.Tool().GetSelectedNode(), 0);
    EXPECT_EQ(s.UndoSteps(), 1);
    EXPECT_EQ(s.Undone(), before);

    // Split at an existing corner through the menu after tapping it.
    s.Tap(s.Dev({100, 50}));
    s.RunAndUndo(cmd::kNodeSplit, before);
}

TEST(NodeTool, ClosingAnOpenCurveAddsANodeOnItsStartAndFillsIt) {
    CNodeSetup s;
    CNodeArray nodes = ThreeNodes();
    nodes[1].anchor = {0, 100};
    nodes[1].in = {-30, 100};
    nodes[1].out = {30, 100};
    s.AddPath(nodes);
    const DrawingSnapshot before = Snapshot(s.Drawing());
    EXPECT_FALSE(s.Enabled(cmd::kNodeSplit));
    s.view.OnCommand(cmd::kNodeClose);
    const CNodeArray& closed = s.Stored();
    ASSERT_EQ(closed.GetSize(), 4u);
    EXPECT_EQ(closed[3], CPathNode::FromPoint({-150, 0}));
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->brushStyle, kBrushSolid);
    EXPECT_FALSE(s.Enabled(cmd::kNodeClose));
    EXPECT_EQ(s.Undone(), before);
    s.RunAndUndo(cmd::kNodeClose, before);
}

TEST(NodeTool, AddingAPointKeepsTheShapeAndSelectsTheNewNode) {
    CNodeSetup s;
    CNodeArray nodes;
    nodes.Add(CPathNode{{-100, 0}, {-100, 0}, {-100, -100}});
    nodes.Add(CPathNode{{100, -100}, {100, 0}, {100, 0}});
    s.AddPath(nodes);
    const DrawingSnapshot before = Snapshot(s.Drawing());
    const CBezier curve{nodes[0], nodes[1]};
    const CPointF onCurve = BezierPointAt(curve, 0.5f);
    s.Tap(s.Dev(onCurve));
    EXPECT_TRUE(s.Enabled(cmd::kNodeAdd));
    s.view.OnCommand(cmd::kNodeAdd);
    const CNodeArray& split = s.Stored();
    ASSERT_EQ(split.GetSize(), 3u);
    EXPECT_LT(split[1].anchor.DistanceTo(onCurve), 1.0f);
    EXPECT_EQ(s.Tool().GetSelectedNode(), 1);
    // Both halves trace the original curve.
    for (float t : {0.1f, 0.3f, 0.45f, 0.6f, 0.9f}) {
        const CPointF original = BezierPointAt(curve, t);
        const CBezier first{split[0], split[1]};
        const CBezier second{split[1], split[2]};
        const float d =
            std::min(BezierPointAt(first, BezierNearestParameter(first, original)).DistanceTo(original),
                     BezierPointAt(second, BezierNearestParameter(second, original)).DistanceTo(original));
        EXPECT_LT(d, 0.05f) << t;
    }
    EXPECT_EQ(s.Undone(), before);
    // On a node there is nothing to add.
    s.Tap(s.Dev({100, 0}));
    EXPECT_FALSE(s.Enabled(cmd::kNodeAdd));
    s.Tap(s.Dev(onCurve));
    s.RunAndUndo(cmd::kNodeAdd, before);
}

TEST(NodeTool, NodeCommandsActOnlyWhileTheShapeToolIsCurrent) {
    CNodeSetup s;
    s.AddPath(ThreeNodes());
    s.Tap(s.Dev({0, 0}));
    EXPECT_TRUE(s.Enabled(cmd::kNodeLine));
    s.view.SetTool(ToolKind::Select);
    // Leaving the tool leaves the path selected.
    EXPECT_EQ(s.view.GetSelection(), std::vector<int>{0});
    const DrawingSnapshot before = Snapshot(s.Drawing());
    for (int id : {cmd::kNodeLine, cmd::kNodeCusp, cmd::kNodeSmooth, cmd::kNodeSymmetrical, cmd::kNodeAdd,
                   cmd::kNodeDelete, cmd::kNodeSplit, cmd::kNodeClose}) {
        EXPECT_FALSE(s.Enabled(id)) << id;
        EXPECT_TRUE(s.view.OnCommand(id));
    }
    EXPECT_EQ(Snapshot(s.Drawing()), before);
    // The Shape button is the real tool now, and it picks up the selected path.
    s.view.OnCommand(cmd::kToolNode);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Node));
    EXPECT_EQ(s.Tool().GetEditedObject(), 0);
}

TEST(NodeTool, PressAndHoldOpensTheNodeMenuWithItsGroups) {
    CNodeSetup s;
    s.AddPath(ThreeNodes());
    s.host.tapAndHold = true;
    s.host.menuChoice = cmd::kNodeLine;
    s.view.OnLButtonDown(kDown, s.Dev({0, 0}));
    s.view.OnLButtonUp(0, s.Dev({0, 0}));
    // On a node only Delete point of its group applies; the group shows both, Add point greyed.
    EXPECT_EQ(MenuTexts(s.host),
              (std::vector<std::string>{"Line", "Cusp", "Smooth", "Symmetrical", "-", "Add point (greyed)",
                                        "Delete point", "-", "Split curve (greyed)", "Close curve"}));
    // The chosen command ran, as its own step, and no drag started.
    EXPECT_EQ(s.Stored()[1], CPathNode::FromPoint({0, 0}));
    EXPECT_EQ(s.UndoSteps(), 1);
    EXPECT_FALSE(s.host.captured);

    // On a closed curve's edge: no node type applies, so that group is left out.
    CNodeSetup closed;
    closed.AddPath(Rectangle());
    closed.host.tapAndHold = true;
    closed.view.OnLButtonDown(kDown, closed.Dev({0, 50}));
    EXPECT_EQ(MenuTexts(closed.host), (std::vector<std::string>{"Add point", "Delete point (greyed)", "-",
                                                                "Split curve", "Close curve (greyed)"}));
    // Away from the curve no menu shows: the press starts a rubber band.
    closed.host.lastMenu.clear();
    closed.view.OnLButtonDown(kDown, closed.Dev({0, 0}));
    EXPECT_TRUE(closed.host.lastMenu.empty());
    EXPECT_TRUE(closed.host.captured);
}

TEST(NodeTool, ATapOnAnotherPathEditsItAndOtherObjectsAreRefused) {
    CNodeSetup s;
    s.AddPath(ThreeNodes());
    CNodeArray second;
    second.Add(CPathNode::FromPoint({-150, 100}));
    second.Add(CPathNode::FromPoint({150, 100}));
    s.AddPath(second);
    EXPECT_EQ(s.Tool().GetEditedObject(), 1);
    s.Tap(s.Dev({75, 0}));
    EXPECT_EQ(s.Tool().GetEditedObject(), 0);
    EXPECT_EQ(s.view.GetSelection(), std::vector<int>{0});
    auto text = std::make_unique<CGraphicObject>(kKindText);
    s.Drawing().Add(std::move(text));
    EXPECT_FALSE(s.Tool().Attach(2, 0));
    EXPECT_FALSE(s.Tool().Attach(0, 1));
    EXPECT_EQ(s.Tool().GetEditedObject(), 0);
}

} // namespace
} // namespace pq::test
