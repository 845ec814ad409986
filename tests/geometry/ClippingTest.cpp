#include "geometry/Clipping.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace pq {
namespace {

using test::ExpectNear;

const CRectF kRect{0, 100, 0, 50}; // left, right, top, bottom

TEST(ClipSegment, ResultBitsNameTheMovedEndPoints) {
    struct Case {
        CPointF a, b;
        int result;
        CPointF clippedA, clippedB;
    };
    const Case cases[] = {
        {{-10, 10}, {-1, 40}, kClipInvisible, {-10, 10}, {-1, 40}}, // wholly left: left alone
        {{10, 51}, {90, 80}, kClipInvisible, {10, 51}, {90, 80}},   // wholly below
        {{-20, 10}, {10, -20}, kClipInvisible, {}, {}},             // outside a corner, no shared outcode
        {{0, 0}, {100, 50}, kClipVisible, {0, 0}, {100, 50}},       // edges count as inside
        {{-50, 0}, {50, 40}, kClipVisible | kClipStartMoved, {0, 20}, {50, 40}},
        {{50, 40}, {-50, 0}, kClipVisible | kClipEndMoved, {50, 40}, {0, 20}},
        {{-10, 25}, {110, 25}, kClipVisible | kClipStartMoved | kClipEndMoved, {0, 25}, {100, 25}},
        {{-10, -30}, {20, 30}, kClipVisible | kClipStartMoved, {5, 0}, {20, 30}}, // beyond two edges
    };
    for (const Case& c : cases) {
        CPointF a = c.a, b = c.b;
        EXPECT_EQ(ClipSegment(a, b, kRect), c.result) << c.a.x << ", " << c.a.y;
        if (c.result == kClipInvisible && c.clippedA == CPointF{})
            continue;
        EXPECT_TRUE(ExpectNear(a, c.clippedA, 1e-4));
        EXPECT_TRUE(ExpectNear(b, c.clippedB, 1e-4));
    }
}

TEST(ClipSegment, RandomSegmentsAgreeWithParametricClipping) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> coord(-80, 180);
    int visible = 0;
    for (int i = 0; i < 1000; ++i) {
        const CPointF a0{coord(rng), coord(rng)}, b0{coord(rng), coord(rng)};
        // Liang-Barsky in double: the visible parameter interval [t0, t1].
        const double dx = static_cast<double>(b0.x) - a0.x, dy = static_cast<double>(b0.y) - a0.y;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a0.x - kRect.left, kRect.right - a0.x, a0.y - kRect.top, kRect.bottom - a0.y};
        double t0 = 0, t1 = 1;
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0)
                t1 = q[k] < 0 ? -1 : t1;
            else if (p[k] < 0)
                t0 = std::max(t0, q[k] / p[k]);
            else
                t1 = std::min(t1, q[k] / p[k]);
        }
        if (std::fabs(t1 - t0) < 1e-4)
            continue; // grazing a corner: either answer is fair in float
        CPointF a = a0, b = b0;
        const int result = ClipSegment(a, b, kRect);
        if (t0 > t1) {
            EXPECT_EQ(result, kClipInvisible);
            continue;
        }
        ++visible;
        ASSERT_EQ(result, kClipVisible | (t0 > 0 ? kClipStartMoved : 0) | (t1 < 1 ? kClipEndMoved : 0)) << i;
        EXPECT_TRUE(ExpectNear(
            a, CPointF(static_cast<float>(a0.x + t0 * dx), static_cast<float>(a0.y + t0 * dy)), 1e-3));
        EXPECT_TRUE(ExpectNear(
            b, CPointF(static_cast<float>(a0.x + t1 * dx), static_cast<float>(a0.y + t1 * dy)), 1e-3));
    }
    EXPECT_GT(visible, 200);
}

} // namespace
} // namespace pq
