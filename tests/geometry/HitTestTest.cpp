#include "geometry/HitTest.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace pq {
namespace {

using test::ExpectNear;

TEST(HitTestPolyline, HitsWithinToleranceOfASegmentInclusive) {
    const std::vector<CPoint> line{{0, 0}, {100, 0}};
    const auto hit = HitTestPolyline(line, {50, 3}, 3);
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, 3.0f);
    EXPECT_FALSE(HitTestPolyline(line, {50, 3}, 2));
    EXPECT_FALSE(HitTestPolyline(line, {50, -4}, 3));
}

TEST(HitTestPolyline, MeasuresThePerpendicularDistanceToADiagonal) {
    // (1, 7) is 5 from the segment (0,0)-(8,6), with the foot at (4, 3).
    const std::vector<CPoint> line{{0, 0}, {8, 6}};
    const auto hit = HitTestPolyline(line, {1, 7}, 5);
    ASSERT_TRUE(hit);
    EXPECT_TRUE(ExpectNear(*hit, 5.0, 1e-4));
    EXPECT_FALSE(HitTestPolyline(line, {1, 7}, 4));
}

TEST(HitTestPolyline, FirstQualifyingSegmentWins) {
    // The second segment passes through the point; the first is 2 away and is tested first.
    const std::vector<CPoint> line{{0, 0}, {100, 0}, {0, 4}};
    const auto hit = HitTestPolyline(line, {50, 2}, 3);
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, 2.0f);
    const std::vector<CPoint> reversed{{0, 4}, {100, 0}, {0, 0}};
    const auto other = HitTestPolyline(reversed, {50, 2}, 3);
    ASSERT_TRUE(other);
    EXPECT_EQ(*other, 0.0f);
}

TEST(HitTestPolyline, PointBeyondTheEndsOfBothSegmentsAtACornerIsNoHit) {
    // 2.8 from the corner (10, 0), but its feet fall outside both segments.
    const std::vector<CPoint> line{{0, 0}, {10, 0}, {10, 10}};
    EXPECT_FALSE(HitTestPolyline(line, {12, -2}, 5));
    EXPECT_TRUE(HitTestPolyline(line, {8, -2}, 5)); // beside the first segment
    EXPECT_TRUE(HitTestPolyline(line, {12, 2}, 5)); // beside the second
}

TEST(HitTestPolyline, FewerThanTwoPointsNeverHitButAZeroLengthSegmentActsAsAPoint) {
    EXPECT_FALSE(HitTestPolyline({}, {0, 0}, 10));
    const std::vector<CPoint> single{{5, 5}};
    EXPECT_FALSE(HitTestPolyline(single, {5, 5}, 10));
    const std::vector<CPoint> dot{{5, 5}, {5, 5}};
    const auto hit = HitTestPolyline(dot, {5, 7}, 2);
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, 2.0f);
}

// --- PointInPolygon ---------------------------------------------------------------------------------

CRect BoundsOf(const std::vector<CPoint>& polygon) {
    CRect r{polygon[0].x, polygon[0].y, polygon[0].x, polygon[0].y};
    for (const CPoint& v : polygon) {
        r.left = std::min(r.left, v.x);
        r.top = std::min(r.top, v.y);
        r.right = std::max(r.right, v.x);
        r.bottom = std::max(r.bottom, v.y);
    }
    return r;
}

bool Inside(const std::vector<CPoint>& polygon, CPoint p) {
    return PointInPolygon(polygon, p, BoundsOf(polygon));
}

// The half-open crossing rule in exact integer arithmetic: right for every point not on the outline,
// whatever vertices lie on its ray. The polygon is closed (last vertex repeats the first).
bool ReferenceInside(const std::vector<CPoint>& polygon, CPoint p) {
    bool inside = false;
    for (std::size_t i = 0; i + 1 < polygon.size(); ++i) {
        const CPoint a = polygon[i], b = polygon[i + 1];
        if ((a.y > p.y) == (b.y > p.y))
            continue;
        // Crossing x < p.x, i.e. (p.y - a.y)(b.x - a.x) / (b.y - a.y) < p.x - a.x.
        const int64_t num = int64_t{p.y - a.y} * (b.x - a.x);
        const int64_t den = b.y - a.y;
        const int64_t rhs = int64_t{p.x - a.x} * den;
        if (den > 0 ? num < rhs : num > rhs)
            inside = !inside;
    }
    return inside;
}

bool OnOutline(const std::vector<CPoint>& polygon, CPoint p) {
    for (std::size_t i = 0; i + 1 < polygon.size(); ++i) {
        const CPoint a = polygon[i], b = polygon[i + 1];
        const int64_t cross = int64_t{b.x - a.x} * (p.y - a.y) - int64_t{b.y - a.y} * (p.x - a.x);
        if (cross == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
            std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y))
            return true;
    }
    return false;
}

TEST(PointInPolygon, EmptyPolygonAndPointsOutsideTheBoundsAreOutside) {
    EXPECT_FALSE(PointInPolygon({}, {0, 0}, CRect{-10, -10, 10, 10}));
    const std::vector<CPoint> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    EXPECT_TRUE(Inside(square, {5, 5}));
    // The given bounds decide first, even when they are smaller than the polygon.
    EXPECT_FALSE(PointInPolygon(square, {5, 5}, CRect{0, 0, 4, 10}));
    EXPECT_TRUE(PointInPolygon(square, {4, 5}, CRect{0, 0, 4, 10}));
}

TEST(PointInPolygon, NoImplicitClosingEdge) {
    // Without the repeated first vertex the left side is missing, so the ray crosses only the right one...
    const std::vector<CPoint> open{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    // ...which lies beyond the point; a point at the right edge sees one crossing.
    EXPECT_FALSE(Inside(open, {5, 5}));
    EXPECT_TRUE(Inside(open, {10, 5}));
}

TEST(PointInPolygon, RayThroughALocalTopOrBottomCountsNoCrossing) {
    // y grows downwards. The top edge dips into a notch whose lowest vertex (10, 10) is level with the
    // points; the outline only touches their ray there.
    const std::vector<CPoint> notch{{0, 20}, {0, 0}, {10, 10}, {20, 0}, {20, 20}, {0, 20}};
    EXPECT_TRUE(Inside(notch, {15, 10}));
    EXPECT_TRUE(Inside(notch, {5, 10}));
    EXPECT_FALSE(Inside(notch, {10, 5})); // in the notch, clear of vertices
    EXPECT_TRUE(Inside(notch, {10, 15}));

    // A triangle's apex is a local top: points level with it to its right are outside.
    const std::vector<CPoint> triangle{{0, 10}, {5, 2}, {10, 10}, {20, 10}, {20, 12}, {0, 12}, {0, 10}};
    EXPECT_FALSE(Inside(triangle, {8, 2}));
    EXPECT_FALSE(Inside(triangle, {19, 2}));
}

TEST(PointInPolygon, RayThroughAVertexTheOutlinePassesCountsOneCrossing) {
    // The left vertex (0, 5) lies between a vertex above and one below it.
    const std::vector<CPoint> arrow{{5, 0}, {15, 0}, {15, 10}, {5, 10}, {0, 5}, {5, 0}};
    EXPECT_TRUE(Inside(arrow, {10, 5}));
    EXPECT_TRUE(Inside(arrow, {2, 5}));
    // The same polygon started at that vertex: its arriving edge is the last one and the next vertex
    // off the ray is found by wrapping round to the start.
    const std::vector<CPoint> rotated{{0, 5}, {5, 0}, {15, 0}, {15, 10}, {5, 10}, {0, 5}};
    EXPECT_TRUE(Inside(rotated, {10, 5}));
    EXPECT_TRUE(Inside(rotated, {2, 5}));
}

TEST(PointInPolygon, HorizontalEdgesOnTheRayAreJudgedByTheVerticesAroundThem) {
    // A notch with a flat bottom at y = 10: the outline touches the ray along it.
    const std::vector<CPoint> flatNotch{{0, 0},  {10, 0},  {10, 10}, {20, 10}, {20, 0},
                                        {30, 0}, {30, 30}, {0, 30},  {0, 0}};
    EXPECT_TRUE(Inside(flatNotch, {25, 10}));
    // A step in the left side at y = 10: the outline passes through the ray along it.
    const std::vector<CPoint> step{{5, 0}, {30, 0}, {30, 30}, {0, 30}, {0, 10}, {5, 10}, {5, 0}};
    EXPECT_TRUE(Inside(step, {20, 10}));
    EXPECT_FALSE(Inside(step, {2, 5}));
    EXPECT_TRUE(Inside(step, {2, 15}));
}

TEST(PointInPolygon, PointsOnHorizontalEdges) {
    // Worked through the rules: on the square's top edge the ray meets the left side only at its top
    // vertex, a local top, so no crossing; on the bottom edge the left side's bottom vertex starts the
    // edge leaving it and the right side's end lies beyond the point. Both are outside.
    const std::vector<CPoint> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    EXPECT_FALSE(Inside(square, {5, 0}));
    EXPECT_FALSE(Inside(square, {5, 10}));
    // On the notch's flat bottom the ray crosses the left side once and touches the notch: inside.
    const std::vector<CPoint> flatNotch{{0, 0},  {10, 0},  {10, 10}, {20, 10}, {20, 0},
                                        {30, 0}, {30, 30}, {0, 30},  {0, 0}};
    EXPECT_TRUE(Inside(flatNotch, {15, 10}));
}

TEST(PointInPolygon, ConcavePolygon) {
    // A U open at the top.
    const std::vector<CPoint> u{{0, 0},  {10, 0},  {10, 20}, {20, 20}, {20, 0},
                                {30, 0}, {30, 30}, {0, 30},  {0, 0}};
    EXPECT_TRUE(Inside(u, {5, 10}));
    EXPECT_FALSE(Inside(u, {15, 10}));
    EXPECT_TRUE(Inside(u, {25, 10}));
    EXPECT_TRUE(Inside(u, {15, 25}));
    EXPECT_TRUE(Inside(u, {25, 20})); // level with the bottom of the U's gap
}

TEST(PointInPolygon, CrossingJustShortOfAVertexNearTheOriginIsStillCounted) {
    // The edge (-1, 49)-(0, 0) crosses y = 1 at x = -1/49, where the intersection's y comes out as
    // 0.99999999999999989. Truncated it would read as the vertex (0, 0), a local top, and the crossing
    // would be lost.
    const std::vector<CPoint> sliver{{-1, 49}, {0, 0}, {30, 60}, {-1, 49}};
    EXPECT_TRUE(Inside(sliver, {0, 1}));
    EXPECT_EQ(Inside(sliver, {0, 1}), ReferenceInside(sliver, {0, 1}));
}

// Compares with the reference on every grid point of a small range, or on random points of a large one.
void CompareWithReference(unsigned seed, int lo, int hi, int polygons) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(lo, hi);
    std::uniform_int_distribution<int> near(lo - 1, hi + 1);
    std::uniform_int_distribution<int> count(3, 12);
    const bool fullGrid = hi - lo <= 40;
    int compared = 0;
    for (int k = 0; k < polygons; ++k) {
        std::vector<CPoint> polygon(static_cast<std::size_t>(count(rng)));
        for (CPoint& v : polygon)
            v = {coord(rng), coord(rng)};
        polygon.push_back(polygon[0]);
        const CRect bounds = BoundsOf(polygon);
        std::vector<CPoint> points;
        if (fullGrid) {
            for (int y = lo - 1; y <= hi + 1; ++y)
                for (int x = lo - 1; x <= hi + 1; ++x)
                    points.push_back({x, y});
        } else {
            // Half the points level with a vertex, so their rays run through it.
            for (int i = 0; i < 2000; ++i) {
                const int y = (i & 1) ? polygon[static_cast<std::size_t>(i) % polygon.size()].y : near(rng);
                points.push_back({near(rng), y});
            }
        }
        for (const CPoint p : points) {
            if (OnOutline(polygon, p))
                continue;
            ++compared;
            ASSERT_EQ(PointInPolygon(polygon, p, bounds), ReferenceInside(polygon, p))
                << "seed " << seed << " polygon " << k << " point (" << p.x << ", " << p.y << ")";
        }
    }
    EXPECT_GT(compared, polygons * 50);
}

TEST(PointInPolygon, AgreesWithTheCrossingRuleOffTheOutlineWithManyVerticesOnRays) {
    // Small grids put many vertices and horizontal edges on the rays; polygons may intersect themselves.
    CompareWithReference(41, 0, 12, 300);
    CompareWithReference(43, -6, 6, 300);
    CompareWithReference(47, -300, 300, 200);
}

TEST(PolylineLength, SumsTheLegs) {
    CPointArray line;
    EXPECT_EQ(PolylineLength(line), 0.0f);
    line.Add({1, 1});
    EXPECT_EQ(PolylineLength(line), 0.0f);
    line.Add({4, 5});
    line.Add({4, -1});
    EXPECT_EQ(PolylineLength(line), 11.0f);
}

TEST(PolylineLength, AccumulatesManyShortLegsWithoutDrift) {
    // A million legs of 0.1f: a float sum drifts by about 1%, the double sum stays within a float ulp.
    CPointArray line;
    line.SetSize(1000001);
    for (std::size_t i = 1; i < line.GetSize(); i += 2)
        line[i] = {0.1f, 0};
    EXPECT_TRUE(ExpectNear(PolylineLength(line), 1e6 * static_cast<double>(0.1f), 0.01));
}

} // namespace
} // namespace pq
