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

TEST(ArcToPolyline, StepsTenDegreesCounterClockwiseOnScreenToTheEndRay) {
    // Semi-axes 200 and 100 about (200, 100), from angle 0 to straight down: 270 degrees counter-clockwise.
    // 2 pi folded in single precision leaves the sweep a hair above 270, so the step at 270 is taken too.
    std::vector<CPointD> out{{1, 2}};
    ArcToPolyline(0, 0, 400, 200, {400, 100}, {200, 300}, out);
    ASSERT_EQ(out.size(), 30u);
    EXPECT_EQ(out[0], (CPointD{1, 2}));
    for (std::size_t k = 1; k < out.size(); ++k) {
        const double dx = out[k].x - 200, dy = out[k].y - 100;
        EXPECT_TRUE(ExpectNear(dx * dx / 40000 + dy * dy / 10000, 1.0, 1e-9)) << "point " << k;
        const double expected =
            k + 1 < out.size() ? -10.0 * static_cast<double>(k - 1) * kDegree : 90 * kDegree;
        EXPECT_TRUE(ExpectNear(std::remainder(std::atan2(dy, dx) - expected, 2 * std::numbers::pi), 0, 1e-6))
            << "point " << k;
    }

    std::vector<CPointD> sameRay;
    ArcToPolyline(-100, -50, 100, 50, {300, 0}, {20, 0}, sameRay);
    ASSERT_EQ(sameRay.size(), 1u);
    EXPECT_TRUE(ExpectNear(sameRay[0].x, 100, 1e-9));
}

TEST(EllipseToNodes, FiveNodesFromTheTopClockwiseCloseToTheTrueEllipse) {
    const CNodeArray nodes = EllipseToNodes({-300, 100, -50, 150}); // left, right, top, bottom
    ASSERT_EQ(nodes.GetSize(), 5u);
    EXPECT_EQ(nodes[0].anchor, (CPointF{-100, -50}));
    EXPECT_EQ(nodes[1].anchor, (CPointF{100, 50}));
    EXPECT_EQ(nodes[2].anchor, (CPointF{-100, 150}));
    EXPECT_EQ(nodes[3].anchor, (CPointF{-300, 50}));
    EXPECT_EQ(nodes[4], nodes[0]);
    for (std::size_t i = 0; i + 1 < nodes.GetSize(); ++i) {
        EXPECT_EQ(nodes[i].flags, 0u);
        const CBezier segment(nodes[i], nodes[i + 1]);
        for (float t = 0.0f; t <= 1.0f; t += 0.125f) {
            const CPointF p = BezierPointAt(segment, t);
            const double u = (p.x + 100) / 200, v = (p.y - 50) / 100;
            EXPECT_TRUE(ExpectNear(std::sqrt(u * u + v * v), 1.0, 4e-4)) << "segment " << i << " t " << t;
        }
    }
    EXPECT_GT(nodes[0].out.x, nodes[0].anchor.x); // clockwise: onwards from the top is to the right
}

} // namespace
} // namespace pq
