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

TEST(IntersectLines, MeetsExtendedAndVerticalLinesAndRefusesParallelOnes) {
    struct Case {
        CPointD a, b, c, d;
        bool meets;
        CPointD at;
    };
    const Case cases[] = {
        {{0, 0}, {10, 10}, {0, 10}, {10, 0}, true, {5, 5}},
        {{3, -5}, {3, 5}, {0, 0}, {10, 10}, true, {3, 3}},    // ab vertical
        {{0, 0}, {10, 5}, {4, -100}, {4, 100}, true, {4, 2}}, // cd vertical
        {{0, 0}, {1, 1}, {10, 0}, {11, -1}, true, {5, 5}},    // beyond both segments
        {{1, 1}, {1, 1}, {0, 0}, {5, 3}, false, {}},          // a = b
        {{0, 0}, {5, 3}, {2, 2}, {2, 2}, false, {}},          // c = d
        {{1, 0}, {1, 9}, {4, -3}, {4, 7}, false, {}},         // both vertical
        {{0, 0}, {4, 2}, {8, 4}, {12, 6}, false, {}},         // collinear
        {{0, 7}, {10, 7}, {-3, 7}, {2, 7}, false, {}},        // both horizontal
    };
    for (const Case& c : cases) {
        const auto hit = IntersectLines(c.a, c.b, c.c, c.d);
        ASSERT_EQ(hit.has_value(), c.meets) << c.a.x << ", " << c.a.y;
        if (hit) {
            EXPECT_TRUE(ExpectNear(hit->x, c.at.x, 1e-12));
            EXPECT_TRUE(ExpectNear(hit->y, c.at.y, 1e-12));
        }
    }
}

TEST(IntersectLines, HorizontalLineThroughTheSecondPointMeetsItExactly) {
    // The polygon test recognises a ray through an edge's end vertex by this exact equality.
    std::mt19937 rng(29);
    std::uniform_int_distribution<int> coord(-5000, 5000);
    for (int i = 0; i < 300; ++i) {
        const CPointD a{double(coord(rng)), double(coord(rng))}, b{double(coord(rng)), double(coord(rng))};
        if (a.y == b.y)
            continue;
        const auto hit = IntersectLines(a, b, {b.x - 7000, b.y}, {b.x + 3, b.y});
        ASSERT_TRUE(hit);
        EXPECT_EQ(*hit, b);
    }
}

TEST(PointInSegmentBox, InclusiveBoxWidenedByTheTolerance) {
    const CPointD a{10, 20}, b{0, 5};
    EXPECT_TRUE(PointInSegmentBox(a, b, {0, 20}));
    EXPECT_TRUE(PointInSegmentBox(a, b, {10 + 5e-9, 5 - 5e-9}));
    EXPECT_FALSE(PointInSegmentBox(a, b, {10 + 2e-8, 10}));
    EXPECT_FALSE(PointInSegmentBox(CPointD{0, 3}, CPointD{9, 3}, CPointD{4, 3.001}));
    EXPECT_TRUE(PointInSegmentBox(CPointF{10, 20}, CPointF{0, 5}, CPointF{10, 5}));
    EXPECT_FALSE(PointInSegmentBox(CPointF{10, 20}, CPointF{0, 5}, CPointF{10.001f, 5}));
}

TEST(ProjectPointOnLine, FootIsOnTheLineAndPerpendicular) {
    EXPECT_EQ(ProjectPointOnLine({5, 0}, {5, 10}, {-2, 40}), (CPointF{5, 40}));
    EXPECT_EQ(ProjectPointOnLine({4, 4}, {4, 4}, {9, -3}), (CPointF{4, 4}));
    const CPointF a{-120, 40}, b{300, -95}, p{77, 210};
    const CPointF f = ProjectPointOnLine(a, b, p);
    const double len = a.DistanceTo(b), ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
    EXPECT_LT(std::fabs((f.x - a.x) * uy - (f.y - a.y) * ux), 1e-3);
    EXPECT_LT(std::fabs((p.x - f.x) * ux + (p.y - f.y) * uy), 1e-3);
}

TEST(VectorAngle, PositiveClockwiseOnAYDownDeviceFoldedAcrossZero) {
    const CPointD c{10, 10};
    EXPECT_TRUE(ExpectNear(VectorAngle({10, 20}, c, {20, 10}), kPi / 2, 1e-12));
    EXPECT_TRUE(ExpectNear(VectorAngle({10, 0}, c, {20, 10}), -kPi / 2, 1e-12));
    EXPECT_TRUE(ExpectNear(VectorAngle({0, 10}, c, {20, 10}), kPi, 1e-6));
    // 350 and 10 degrees are 20 degrees apart, not 340.
    const double d = kPi / 180;
    const CPointD p{std::cos(350 * d), std::sin(350 * d)}, q{std::cos(10 * d), std::sin(10 * d)};
    EXPECT_TRUE(ExpectNear(VectorAngle(p, {0, 0}, q), -20 * d, 1e-6));
    EXPECT_EQ(VectorAngle(c, c, {9, 9}), 0.0);
    EXPECT_EQ(VectorAngle({10 + 5e-9, 10 - 5e-9}, c, {0, 0}), 0.0);
    EXPECT_TRUE(ExpectNear(NormalizeAngle(-kPi / 2), 1.5 * kPi, 1e-6));
    EXPECT_EQ(NormalizeAngle(1.25), 1.25);
}

TEST(RotatePoint, RotatesClockwiseOnScreenAndSnapsResidueToZero) {
    float x = 1, y = 0;
    RotatePoint(x, y, {0, 0}, kPi / 2);
    EXPECT_EQ(x, 0.0f); // cos(pi/2) leaves ~6e-17
    EXPECT_EQ(y, 1.0f);
    x = 3;
    y = 4;
    RotatePoint(x, y, {1, 1}, 0.3);
    const double c = std::cos(0.3), s = std::sin(0.3);
    EXPECT_TRUE(ExpectNear(CPointF{x, y}, CPointF(float(1 + 2 * c - 3 * s), float(1 + 3 * c + 2 * s)), 1e-5));
}

} // namespace
} // namespace pq
