#include "geometry/LineMath.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace pq {
namespace {

using test::ExpectNear;
constexpr double kPi = std::numbers::pi;

::testing::AssertionResult NearD(std::optional<CPointD> actual, CPointD expected, double tolerance) {
    if (!actual)
        return ::testing::AssertionFailure()
               << "no intersection, expected (" << expected.x << ", " << expected.y << ")";
    if (std::fabs(actual->x - expected.x) <= tolerance && std::fabs(actual->y - expected.y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual->x << ", " << actual->y << "), expected ("
                                         << expected.x << ", " << expected.y << ") within " << tolerance;
}

TEST(IntersectLines, GeneralVerticalAndExtendedLines) {
    EXPECT_TRUE(NearD(IntersectLines({0, 0}, {10, 10}, {0, 10}, {10, 0}), {5, 5}, 1e-12));
    // ab vertical.
    EXPECT_TRUE(NearD(IntersectLines({3, -5}, {3, 5}, {0, 0}, {10, 10}), {3, 3}, 1e-12));
    // cd vertical.
    EXPECT_TRUE(NearD(IntersectLines({0, 0}, {10, 5}, {4, -100}, {4, 100}), {4, 2}, 1e-12));
    // The lines meet beyond both segments.
    EXPECT_TRUE(NearD(IntersectLines({0, 0}, {1, 1}, {10, 0}, {11, -1}), {5, 5}, 1e-12));
}

TEST(IntersectLines, DegenerateAndParallelLinesHaveNoIntersection) {
    EXPECT_FALSE(IntersectLines({1, 1}, {1, 1}, {0, 0}, {5, 3}));   // a = b
    EXPECT_FALSE(IntersectLines({0, 0}, {5, 3}, {2, 2}, {2, 2}));   // c = d
    EXPECT_FALSE(IntersectLines({1, 0}, {1, 9}, {4, -3}, {4, 7}));  // both vertical
    EXPECT_FALSE(IntersectLines({0, 0}, {4, 2}, {0, 5}, {8, 9}));   // parallel
    EXPECT_FALSE(IntersectLines({0, 0}, {4, 2}, {8, 4}, {12, 6}));  // collinear
    EXPECT_FALSE(IntersectLines({0, 7}, {10, 7}, {-3, 7}, {2, 7})); // both horizontal
}

TEST(IntersectLines, AgreesWithCramersRuleOnRandomLines) {
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> coord(-1000, 1000);
    for (int i = 0; i < 2000; ++i) {
        const CPointD a{coord(rng), coord(rng)}, b{coord(rng), coord(rng)};
        const CPointD c{coord(rng), coord(rng)}, d{coord(rng), coord(rng)};
        const double r = b.x - a.x, s = b.y - a.y, u = d.x - c.x, v = d.y - c.y;
        const double det = r * v - s * u;
        if (std::fabs(det) < 1e3)
            continue; // nearly parallel: the crossing is far away and ill-conditioned
        const double t = ((c.x - a.x) * v - (c.y - a.y) * u) / det;
        const CPointD expected{a.x + t * r, a.y + t * s};
        const double scale = 1e-9 * (1 + std::fabs(expected.x) + std::fabs(expected.y));
        EXPECT_TRUE(NearD(IntersectLines(a, b, c, d), expected, scale)) << "case " << i;
    }
}

TEST(IntersectLines, HorizontalLineThroughTheSecondPointMeetsItExactly) {
    // The polygon test recognises a ray through an edge's end vertex by this exact equality.
    std::mt19937 rng(29);
    std::uniform_int_distribution<int> coord(-5000, 5000);
    for (int i = 0; i < 2000; ++i) {
        const CPointD a{static_cast<double>(coord(rng)), static_cast<double>(coord(rng))};
        const CPointD b{static_cast<double>(coord(rng)), static_cast<double>(coord(rng))};
        if (a.y == b.y)
            continue;
        const auto hit = IntersectLines(a, b, {b.x - 7000, b.y}, {b.x + 3, b.y});
        ASSERT_TRUE(hit);
        EXPECT_EQ(hit->x, b.x);
        EXPECT_EQ(hit->y, b.y);
    }
}

TEST(PointInSegmentBox, InclusiveBoxWidenedByTheTolerance) {
    const CPointD a{10, 20}, b{0, 5};
    EXPECT_TRUE(PointInSegmentBox(a, b, {0, 20}));
    EXPECT_TRUE(PointInSegmentBox(a, b, {5, 12}));
    EXPECT_TRUE(PointInSegmentBox(a, b, {10 + 5e-9, 5 - 5e-9}));
    EXPECT_FALSE(PointInSegmentBox(a, b, {10 + 2e-8, 10}));
    EXPECT_FALSE(PointInSegmentBox(a, b, {5, 4.99999}));
    // A horizontal segment has a box of height zero.
    EXPECT_TRUE(PointInSegmentBox(CPointD{0, 3}, CPointD{9, 3}, CPointD{4, 3}));
    EXPECT_FALSE(PointInSegmentBox(CPointD{0, 3}, CPointD{9, 3}, CPointD{4, 3.001}));

    EXPECT_TRUE(PointInSegmentBox(CPointF{10, 20}, CPointF{0, 5}, CPointF{10, 5}));
    EXPECT_FALSE(PointInSegmentBox(CPointF{10, 20}, CPointF{0, 5}, CPointF{10.001f, 5}));
    EXPECT_FALSE(PointInSegmentBox(CPointF{10, 20}, CPointF{0, 5}, CPointF{-0.001f, 6}));
    EXPECT_TRUE(PointInSegmentBox(CPointF{2, 2}, CPointF{2, 2}, CPointF{2, 2}));
}

TEST(ProjectPointOnLine, AxisAlignedLinesGiveExactFeet) {
    EXPECT_EQ(ProjectPointOnLine({0, 5}, {10, 5}, {3, 7}), (CPointF{3, 5}));
    EXPECT_EQ(ProjectPointOnLine({5, 0}, {5, 10}, {-2, 4}), (CPointF{5, 4}));
    // Beyond the segment the foot is still on the line.
    EXPECT_EQ(ProjectPointOnLine({5, 0}, {5, 10}, {-2, 40}), (CPointF{5, 40}));
}

TEST(ProjectPointOnLine, FootIsOnTheLineAndPerpendicular) {
    std::mt19937 rng(31);
    std::uniform_real_distribution<float> coord(-500, 500);
    for (int i = 0; i < 1000; ++i) {
        const CPointF a{coord(rng), coord(rng)}, b{coord(rng), coord(rng)}, p{coord(rng), coord(rng)};
        const double len = a.DistanceTo(b);
        if (len < 1)
            continue;
        const CPointF f = ProjectPointOnLine(a, b, p);
        const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
        // Distance of f from the line, and the component of p - f along the line: both about zero.
        EXPECT_LT(std::fabs((f.x - a.x) * uy - (f.y - a.y) * ux), 1e-3) << "case " << i;
        EXPECT_LT(std::fabs((p.x - f.x) * ux + (p.y - f.y) * uy), 1e-3) << "case " << i;
    }
}

TEST(ProjectPointOnLine, CoincidentLinePointsGiveTheFirst) {
    EXPECT_EQ(ProjectPointOnLine({4, 4}, {4, 4}, {9, -3}), (CPointF{4, 4}));
}

TEST(VectorAngle, PositiveWhenPLiesClockwiseOfQOnAYDownDevice) {
    const CPointD c{10, 10};
    EXPECT_TRUE(ExpectNear(VectorAngle({10, 20}, c, {20, 10}), kPi / 2, 1e-12)); // p straight down
    EXPECT_TRUE(ExpectNear(VectorAngle({10, 0}, c, {20, 10}), -kPi / 2, 1e-12)); // p straight up
    EXPECT_TRUE(ExpectNear(VectorAngle({20, 10}, c, {10, 20}), -kPi / 2, 1e-12));
    EXPECT_TRUE(ExpectNear(VectorAngle({0, 10}, c, {20, 10}), kPi, 1e-6));
}

TEST(VectorAngle, FoldsAcrossTheZeroDirection) {
    // p at 350 degrees and q at 10 degrees are 20 degrees apart, not 340.
    const CPointD c{0, 0};
    const double d = kPi / 180;
    const CPointD p{std::cos(350 * d), std::sin(350 * d)}, q{std::cos(10 * d), std::sin(10 * d)};
    EXPECT_TRUE(ExpectNear(VectorAngle(p, c, q), -20 * d, 1e-6));
    EXPECT_TRUE(ExpectNear(VectorAngle(q, c, p), 20 * d, 1e-6));
}

TEST(VectorAngle, CoincidentPointsGiveZero) {
    const CPointD c{3, 4};
    EXPECT_EQ(VectorAngle(c, c, {9, 9}), 0.0);
    EXPECT_EQ(VectorAngle({9, 9}, c, c), 0.0);
    EXPECT_EQ(VectorAngle({9, 9}, c, {9, 9}), 0.0);
    EXPECT_EQ(VectorAngle({3 + 5e-9, 4 - 5e-9}, c, {0, 0}), 0.0);
}

TEST(NormalizeAngle, NegativeAnglesGainAFullTurn) {
    EXPECT_TRUE(ExpectNear(NormalizeAngle(-kPi / 2), 1.5 * kPi, 1e-6));
    EXPECT_EQ(NormalizeAngle(0.0), 0.0);
    EXPECT_EQ(NormalizeAngle(1.25), 1.25);
}

TEST(RotatePoint, RotatesAboutTheCentreAndSnapsResidueToZero) {
    float x = 1, y = 0;
    RotatePoint(x, y, {0, 0}, kPi / 2);
    EXPECT_EQ(x, 0.0f); // cos(pi/2) leaves ~6e-17
    EXPECT_EQ(y, 1.0f);

    x = 15;
    y = 10;
    RotatePoint(x, y, {10, 10}, kPi / 2); // clockwise on screen: right of the centre goes below it
    EXPECT_TRUE(ExpectNear(CPointF{x, y}, CPointF{10, 15}, 1e-5));

    x = 3;
    y = 4;
    RotatePoint(x, y, {1, 1}, 0.3);
    const double c = std::cos(0.3), s = std::sin(0.3);
    EXPECT_TRUE(ExpectNear(
        CPointF{x, y}, CPointF{static_cast<float>(1 + 2 * c - 3 * s), static_cast<float>(1 + 3 * c + 2 * s)},
        1e-5));
}

} // namespace
} // namespace pq
