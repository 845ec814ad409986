#include "ui/tools/NodeEdit.h"
#include "geometry/BezierMath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pq::test {
namespace {

using namespace node_edit;

// A closed curve of three curved segments through (0, 0), (100, 0) and (50, 80).
CNodeArray Triangle() {
    CNodeArray nodes;
    nodes.Add(CPathNode{{0, 0}, {0, 0}, {30, -20}});
    nodes.Add(CPathNode{{70, -20}, {100, 0}, {110, 30}});
    nodes.Add(CPathNode{{90, 70}, {50, 80}, {20, 70}});
    nodes.Add(CPathNode{{-10, 30}, {0, 0}, {0, 0}});
    return nodes;
}

TEST(NodeEdit, AClosedCurveIsWalkedWithoutItsClosingNode) {
    const CNodeArray nodes = Triangle();
    EXPECT_TRUE(IsClosed(nodes));
    EXPECT_TRUE(IsClosed(CNodeArray{}));
    EXPECT_EQ(RealNodeCount(nodes), 3);
    EXPECT_EQ(RealIndex(nodes, 3), 0);
    EXPECT_EQ(PreviousNode(nodes, 0), 2);
    EXPECT_EQ(NextNode(nodes, 2), 0);
    // Node 0's incoming handle is the one the closing segment ends with.
    EXPECT_EQ(InHandle(nodes, 0), (CPointF{-10, 30}));

    CNodeArray open = nodes;
    open.RemoveAt(3);
    EXPECT_FALSE(IsClosed(open));
    EXPECT_EQ(PreviousNode(open, 0), -1);
    EXPECT_EQ(NextNode(open, 2), -1);
}

TEST(NodeEdit, MovingTheFirstNodeOfAClosedCurveTakesTheClosingNodeAlong) {
    CNodeArray nodes = Triangle();
    MoveNode(nodes, 0, {5, -5});
    EXPECT_EQ(nodes[0].anchor, (CPointF{5, -5}));
    EXPECT_EQ(nodes[0].out, (CPointF{35, -25}));
    EXPECT_EQ(nodes[3].anchor, (CPointF{5, -5}));
    EXPECT_EQ(nodes[3].in, (CPointF{-5, 25}));
    EXPECT_TRUE(IsClosed(nodes));
}

TEST(NodeEdit, DeletingAndOpeningAtTheFirstNodeKeepTheNeighboursHandles) {
    {
        CNodeArray nodes = Triangle();
        ASSERT_TRUE(DeleteNode(nodes, 0));
        ASSERT_EQ(nodes.GetSize(), 3u);
        EXPECT_TRUE(IsClosed(nodes));
        EXPECT_EQ(nodes[0].anchor, (CPointF{100, 0}));
        // The segment from (50, 80) back to (100, 0) leaves with the old handle and arrives with node 1's.
        EXPECT_EQ(nodes[1].out, (CPointF{20, 70}));
        EXPECT_EQ(nodes[2].in, (CPointF{70, -20}));
        EXPECT_FALSE(DeleteNode(nodes, 0));
    }
    {
        CNodeArray nodes = Triangle();
        ASSERT_TRUE(OpenAt(nodes, 0));
        ASSERT_EQ(nodes.GetSize(), 4u);
        EXPECT_FALSE(IsClosed(nodes));
        // The same three segments, from node 0 round to just beside it.
        EXPECT_EQ(nodes[0].out, (CPointF{30, -20}));
        EXPECT_NEAR(nodes[3].in.x, -10.0f, 1e-3f);
        EXPECT_NEAR(nodes[3].in.y, 30.0f, 1e-3f);
        EXPECT_FALSE(OpenAt(nodes, 0));
        EXPECT_TRUE(Close(nodes));
        EXPECT_FALSE(Close(nodes));
    }
}

TEST(NodeEdit, SmoothTurnsBothHandlesAcrossTheBisectorKeepingTheirLengths) {
    CNodeArray nodes;
    nodes.Add(CPathNode::FromPoint({-100, -100}));
    nodes.Add(CPathNode{{0, 0}, {0, 0}, {0, 0}, kCuspFlag});
    nodes.Add(CPathNode::FromPoint({100, -100}));
    SetNodeType(nodes, 1, NodeType::Smooth);
    const CPathNode& node = nodes[1];
    EXPECT_EQ(node.flags & kCuspFlag, 0u);
    // The neighbours make a right angle opening upwards: the handles lie flat, each 0.35 of the way.
    const float length = 0.35f * std::sqrt(2.0f) * 100.0f;
    EXPECT_NEAR(node.in.x, -length, 1e-3f);
    EXPECT_NEAR(node.in.y, 0.0f, 1e-3f);
    EXPECT_NEAR(node.out.x, length, 1e-3f);
    EXPECT_NEAR(node.out.y, 0.0f, 1e-3f);
}

TEST(NodeEdit, SplittingASegmentKeepsItsShape) {
    CNodeArray nodes;
    nodes.Add(CPathNode{{0, 0}, {0, 0}, {0, 100}});
    nodes.Add(CPathNode{{100, 100}, {100, 0}, {100, 0}});
    const CBezier whole{nodes[0], nodes[1]};
    EXPECT_EQ(SplitSegment(nodes, 0, 0.25f), 1);
    ASSERT_EQ(nodes.GetSize(), 3u);
    const CBezier first{nodes[0], nodes[1]};
    const CBezier second{nodes[1], nodes[2]};
    for (float t : {0.0f, 0.2f, 0.5f, 0.8f, 1.0f}) {
        EXPECT_LT(BezierPointAt(first, t).DistanceTo(BezierPointAt(whole, 0.25f * t)), 1e-3f) << t;
        EXPECT_LT(BezierPointAt(second, t).DistanceTo(BezierPointAt(whole, 0.25f + 0.75f * t)), 1e-3f) << t;
    }
}

} // namespace
} // namespace pq::test
