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

TEST(HitTestPolyline, FirstSegmentWithinToleranceGivesItsPerpendicularDistance) {
    const std::vector<CPoint> line{{0, 0}, {100, 0}};
    EXPECT_EQ(HitTestPolyline(line, {50, 3}, 3).value_or(-1), 3.0f); // inclusive
    EXPECT_FALSE(HitTestPolyline(line, {50, 3}, 2));
    const std::vector<CPoint> diagonal{{0, 0}, {8, 6}}; // (1, 7) is 5 away, foot at (4, 3)
    EXPECT_TRUE(ExpectNear(HitTestPolyline(diagonal, {1, 7}, 5).value_or(-1), 5.0, 1e-4));
    EXPECT_FALSE(HitTestPolyline(diagonal, {1, 7}, 4));
    // The second segment passes through the point, but the first, 2 away, is tested first.
    const std::vector<CPoint> zigzag{{0, 0}, {100, 0}, {0, 4}};
    EXPECT_EQ(HitTestPolyline(zigzag, {50, 2}, 3).value_or(-1), 2.0f);
    // Near a corner but beyond the feet of both segments.
    const std::vector<CPoint> corner{{0, 0}, {10, 0}, {10, 10}};
    EXPECT_FALSE(HitTestPolyline(corner, {12, -2}, 5));
    EXPECT_TRUE(HitTestPolyline(corner, {12, 2}, 5));
    EXPECT_FALSE(HitTestPolyline(std::vector<CPoint>{{5, 5}}, {5, 5}, 10));
    EXPECT_EQ(HitTestPolyline(std::vector<CPoint>{{5, 5}, {5, 5}}, {5, 7}, 2).value_or(-1), 2.0f);
}

CRect BoundsOf(const std::vector<CPoint>& polygon) {
    CRect r{polygon[0].x, polygon[0].y, polygon[0].x, polygon[0].y};
    for (const CPoint& v : polygon)
        r = {std::min(r.left, v.x), std::min(r.top, v.y), std::max(r.right, v.x), std::max(r.bottom, v.y)};
    return r;
}

bool Inside(const std::vector<CPoint>& polygon, CPoint p) {
    return PointInPolygon(polygon, p, BoundsOf(polygon));
}

// The half-open crossing rule in exact integer arithmetic: right for every point off the outline.
bool ReferenceInside(const std::vector<CPoint>& polygon, CPoint p) {
    bool inside = false;
    for (std::size_t i = 0; i + 1 < polygon.size(); ++i) {
        const CPoint a = polygon[i], b = polygon[i + 1];
        if ((a.y > p.y) == (b.y > p.y))
            continue;
        const int64_t num = int64_t{p.y - a.y} * (b.x - a.x), den = b.y - a.y, rhs = int64_t{p.x - a.x} * den;
        if (den > 0 ? num < rhs : num > rhs)
            inside = !inside;
    }
    return inside;
}

bool OnOutline(const std::vector<CPoint>& polygon, CPoint p) {
    for (std::size_t i = 0; i + 1 < polygon.size(); ++i) {
        const CPoint a = polygon[i], b = polygon[i + 1];
        if (int64_t{b.x - a.x} * (p.y - a.y) == int64_t{b.y - a.y} * (p.x - a.x) &&
            std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
            p.y <= std::max(a.y, b.y))
            return true;
    }
    return false;
}

TEST(PointInPolygon, BoundsDecideFirstAndThereIsNoImplicitClosingEdge) {
    const std::vector<CPoint> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    EXPECT_FALSE(PointInPolygon({}, {0, 0}, CRect{-10, -10, 10, 10}));
    EXPECT_FALSE(PointInPolygon(square, {5, 5}, CRect{0, 0, 4, 10}));
    EXPECT_TRUE(PointInPolygon(square, {4, 5}, CRect{0, 0, 4, 10}));
    const std::vector<CPoint> open{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_FALSE(Inside(open, {5, 5}));
}

// y grows downwards. A vertex the outline only touches (a local top or bottom) counts no crossing; one
// it passes through counts one, also when the arriving edge is the polygon's last.
TEST(PointInPolygon, RayThroughAVertexCountsPassingButNotTouching) {
    struct Case {
        std::vector<CPoint> polygon;
        CPoint p;
        bool inside;
    };
    const std::vector<CPoint> notch{{0, 20}, {0, 0}, {10, 10}, {20, 0}, {20, 20}, {0, 20}};
    const std::vector<CPoint> apex{{0, 10}, {5, 2}, {10, 10}, {20, 10}, {20, 12}, {0, 12}, {0, 10}};
    const std::vector<CPoint> arrow{{5, 0}, {15, 0}, {15, 10}, {5, 10}, {0, 5}, {5, 0}};
    const std::vector<CPoint> rotated{{0, 5}, {5, 0}, {15, 0}, {15, 10}, {5, 10}, {0, 5}};
    const std::vector<CPoint> flatNotch{{0, 0},  {10, 0},  {10, 10}, {20, 10}, {20, 0},
                                        {30, 0}, {30, 30}, {0, 30},  {0, 0}};
    const std::vector<CPoint> step{{5, 0}, {30, 0}, {30, 30}, {0, 30}, {0, 10}, {5, 10}, {5, 0}};
    // The edge (-1, 49)-(0, 0) crosses y = 1 at x = -1/49, whose y comes out as 0.99999999999999989:
    // truncated it would read as the local top (0, 0) and the crossing would be lost.
    const std::vector<CPoint> sliver{{-1, 49}, {0, 0}, {30, 60}, {-1, 49}};
    const Case cases[] = {
        {notch, {15, 10}, true},     {notch, {5, 10}, true},      {notch, {10, 5}, false},
        {apex, {8, 2}, false},       {apex, {19, 2}, false},      {arrow, {10, 5}, true},
        {arrow, {2, 5}, true},       {rotated, {10, 5}, true},    {rotated, {2, 5}, true},
        {flatNotch, {25, 10}, true}, {flatNotch, {15, 10}, true}, {step, {20, 10}, true},
        {step, {2, 5}, false},       {sliver, {0, 1}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Inside(c.polygon, c.p), c.inside) << "point (" << c.p.x << ", " << c.p.y << ")";
}

// Small grids put many vertices and horizontal edges on the rays; polygons may intersect themselves.
TEST(PointInPolygon, AgreesWithTheCrossingRuleOffTheOutline) {
    std::mt19937 rng(41);
    std::uniform_int_distribution<int> coord(-6, 6), count(3, 12);
    int compared = 0;
    for (int k = 0; k < 60; ++k) {
        std::vector<CPoint> polygon(static_cast<std::size_t>(count(rng)));
        for (CPoint& v : polygon)
            v = {coord(rng), coord(rng)};
        polygon.push_back(polygon[0]);
        for (int y = -7; y <= 7; ++y)
            for (int x = -7; x <= 7; ++x) {
                if (OnOutline(polygon, {x, y}))
                    continue;
                ++compared;
                ASSERT_EQ(Inside(polygon, {x, y}), ReferenceInside(polygon, {x, y}))
                    << "polygon " << k << " point (" << x << ", " << y << ")";
            }
    }
    EXPECT_GT(compared, 5000);
}

TEST(PolylineLength, SumsTheLegsInDouble) {
    CPointArray line;
    EXPECT_EQ(PolylineLength(line), 0.0f);
    line.Add({1, 1});
    line.Add({4, 5});
    line.Add({4, -1});
    EXPECT_EQ(PolylineLength(line), 11.0f);
    // A million legs of 0.1f: a float sum drifts by about 1%.
    line.SetSize(1000001);
    for (std::size_t i = 0; i < line.GetSize(); ++i)
        line[i] = {i % 2 ? 0.1f : 0.0f, 0};
    EXPECT_TRUE(ExpectNear(PolylineLength(line), 1e6 * static_cast<double>(0.1f), 0.01));
}

} // namespace
} // namespace pq
