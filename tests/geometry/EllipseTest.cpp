#include "geometry/Ellipse.h"

#include "geometry/BezierMath.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace pq {
namespace {

using test::ExpectNear;
constexpr double kDegree = std::numbers::pi / 180;

TEST(ArcToPolyline, QuarterCircleRunsCounterClockwiseInTenDegreeSteps) {
    // From angle 0 (right of the centre) to the top of the circle (y grows downwards): 90 degrees
    // counter-clockwise on screen, so points at 0, -10, ..., -80 degrees and then the end point.
    std::vector<CPointD> out;
    ArcToPolyline(-100, -100, 100, 100, {100, 0}, {0, -100}, out);
    ASSERT_EQ(out.size(), 10u);
    for (int k = 0; k < 9; ++k) {
        EXPECT_TRUE(ExpectNear(out[k].x, 100 * std::cos(-10 * k * kDegree), 1e-4)) << "point " << k;
        EXPECT_TRUE(ExpectNear(out[k].y, 100 * std::sin(-10 * k * kDegree), 1e-4)) << "point " << k;
    }
    EXPECT_TRUE(ExpectNear(out[9].x, 0, 1e-4));
    EXPECT_TRUE(ExpectNear(out[9].y, -100, 1e-4));
}

TEST(ArcToPolyline, EllipsePointsLieOnTheRaysOfTheirAngles) {
    // Semi-axes 200 and 100 about (200, 100); from angle 0 to angle 90 (straight down) is 270 degrees
    // counter-clockwise. The sweep is folded with 2 pi rounded to single precision, which leaves it a
    // hair above 270 degrees, so the step at 270 is taken too: 28 steps, the last on the end ray, and the
    // end point.
    std::vector<CPointD> out;
    ArcToPolyline(0, 0, 400, 200, {400, 100}, {200, 300}, out);
    ASSERT_EQ(out.size(), 29u);
    for (std::size_t k = 0; k < out.size(); ++k) {
        const double dx = out[k].x - 200, dy = out[k].y - 100;
        EXPECT_TRUE(ExpectNear(dx * dx / (200.0 * 200.0) + dy * dy / (100.0 * 100.0), 1.0, 1e-9))
            << "point " << k;
        const double expected = k + 1 < out.size() ? -10.0 * static_cast<double>(k) * kDegree : 90 * kDegree;
        EXPECT_TRUE(ExpectNear(std::remainder(std::atan2(dy, dx) - expected, 2 * std::numbers::pi), 0, 1e-6))
            << "point " << k;
    }
    EXPECT_LT(out[1].y, 100); // the first step goes up the screen
}

TEST(ArcToPolyline, StartAndEndOnTheSameRayGiveOnlyTheEndPoint) {
    std::vector<CPointD> out;
    ArcToPolyline(-100, -50, 100, 50, {300, 0}, {20, 0}, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(ExpectNear(out[0].x, 100, 1e-9));
    EXPECT_TRUE(ExpectNear(out[0].y, 0, 1e-9));
}

TEST(ArcToPolyline, AppendsAfterExistingPointsAndCollapsesOntoTheCentreOfAnEmptyBox) {
    std::vector<CPointD> out{{1, 2}};
    ArcToPolyline(5, 5, 5, 5, {9, 5}, {5, 9}, out);
    ASSERT_GT(out.size(), 2u);
    EXPECT_EQ(out[0], (CPointD{1, 2}));
    for (std::size_t k = 1; k < out.size(); ++k)
        EXPECT_EQ(out[k], (CPointD{5, 5}));
}

TEST(EllipseToNodes, FiveNodesFromTheTopCentreClockwiseClosingOnTheFirst) {
    const CNodeArray nodes = EllipseToNodes({-300, 100, -50, 150}); // left, right, top, bottom
    ASSERT_EQ(nodes.GetSize(), 5u);
    EXPECT_EQ(nodes[0].anchor, (CPointF{-100, -50}));
    EXPECT_EQ(nodes[1].anchor, (CPointF{100, 50}));
    EXPECT_EQ(nodes[2].anchor, (CPointF{-100, 150}));
    EXPECT_EQ(nodes[3].anchor, (CPointF{-300, 50}));
    EXPECT_EQ(nodes[4], nodes[0]);
    for (const CPathNode& n : nodes)
        EXPECT_EQ(n.flags, 0u);
    // Handles are tangent: horizontal at the top and bottom, vertical at the sides, pointing onwards.
    EXPECT_EQ(nodes[0].in.y, -50.0f);
    EXPECT_GT(nodes[0].out.x, nodes[0].anchor.x);
    EXPECT_EQ(nodes[1].out.x, 100.0f);
    EXPECT_GT(nodes[1].out.y, nodes[1].anchor.y);
    EXPECT_LT(nodes[2].out.x, nodes[2].anchor.x);
    EXPECT_LT(nodes[3].out.y, nodes[3].anchor.y);
}

TEST(EllipseToNodes, SegmentsStayCloseToTheTrueEllipse) {
    const CRectF rect{-300, 100, -50, 150};
    const CNodeArray nodes = EllipseToNodes(rect);
    const double cx = -100, cy = 50, a = 200, b = 100;
    for (std::size_t i = 0; i + 1 < nodes.GetSize(); ++i) {
        const CBezier segment(nodes[i], nodes[i + 1]);
        for (float t = 0.0f; t <= 1.0f; t += 0.125f) {
            const CPointF p = BezierPointAt(segment, t);
            const double u = (p.x - cx) / a, v = (p.y - cy) / b;
            // The four-segment approximation is off by at most about 0.03%.
            EXPECT_TRUE(ExpectNear(std::sqrt(u * u + v * v), 1.0, 4e-4)) << "segment " << i << " t " << t;
        }
    }
}

TEST(EllipseToNodes, ZeroWidthRectangleGivesAVerticalLineOfNodes) {
    const CNodeArray nodes = EllipseToNodes({7, 7, 0, 40});
    ASSERT_EQ(nodes.GetSize(), 5u);
    for (const CPathNode& n : nodes) {
        EXPECT_EQ(n.in.x, 7.0f);
        EXPECT_EQ(n.anchor.x, 7.0f);
        EXPECT_EQ(n.out.x, 7.0f);
    }
}

} // namespace
} // namespace pq
