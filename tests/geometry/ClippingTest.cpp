#include "geometry/Clipping.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace pq {
namespace {

using test::ExpectNear;

const CRectF kRect{0, 100, 0, 50}; // left, right, top, bottom

TEST(ClipSegment, SegmentWhollyOnOneSideIsInvisibleAndLeftAlone) {
    struct Case {
        CPointF a, b;
    };
    const Case cases[] = {
        {{-10, 10}, {-1, 40}},  // left
        {{101, 10}, {150, 40}}, // right
        {{10, -5}, {90, -1}},   // above
        {{10, 51}, {90, 80}},   // below
    };
    for (const Case& c : cases) {
        CPointF a = c.a, b = c.b;
        EXPECT_EQ(ClipSegment(a, b, kRect), kClipInvisible);
        EXPECT_EQ(a, c.a);
        EXPECT_EQ(b, c.b);
    }
}

TEST(ClipSegment, SegmentPassingOutsideACornerIsInvisible) {
    // The end points share no outcode bit, so this needs the moving steps to find out.
    CPointF a{-20, 10}, b{10, -20};
    EXPECT_EQ(ClipSegment(a, b, kRect), kClipInvisible);
}

TEST(ClipSegment, InsideSegmentIsVisibleAndUnchanged) {
    CPointF a{0, 0}, b{100, 50}; // edges count as inside
    EXPECT_EQ(ClipSegment(a, b, kRect), kClipVisible);
    EXPECT_EQ(a, (CPointF{0, 0}));
    EXPECT_EQ(b, (CPointF{100, 50}));
}

TEST(ClipSegment, ResultBitsNameTheMovedEndPoints) {
    CPointF a{-50, 0}, b{50, 40}; // crosses the left edge at y = 20
    EXPECT_EQ(ClipSegment(a, b, kRect), kClipVisible | kClipStartMoved);
    EXPECT_EQ(a, (CPointF{0, 20}));
    EXPECT_EQ(b, (CPointF{50, 40}));

    CPointF c{50, 40}, d{-50, 0};
    EXPECT_EQ(ClipSegment(c, d, kRect), kClipVisible | kClipEndMoved);
    EXPECT_EQ(c, (CPointF{50, 40}));
    EXPECT_EQ(d, (CPointF{0, 20}));

    CPointF e{-10, 25}, f{110, 25};
    EXPECT_EQ(ClipSegment(e, f, kRect), kClipVisible | kClipStartMoved | kClipEndMoved);
    EXPECT_EQ(e, (CPointF{0, 25}));
    EXPECT_EQ(f, (CPointF{100, 25}));
}

TEST(ClipSegment, PointOutsideTwoEdgesIsMovedOntoTheRightOne) {
    // The start is beyond both the left and the top edge; the segment enters through the top.
    CPointF a{-10, -30}, b{20, 30};
    EXPECT_EQ(ClipSegment(a, b, kRect), kClipVisible | kClipStartMoved);
    EXPECT_TRUE(ExpectNear(a, CPointF{5, 0}, 1e-4));
}

// Liang-Barsky in double: the visible parameter interval [t0, t1] of the segment.
bool ReferenceClip(CPointF a, CPointF b, const CRectF& r, double& t0, double& t1) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - static_cast<double>(r.left), r.right - static_cast<double>(a.x),
                         a.y - static_cast<double>(r.top), r.bottom - static_cast<double>(a.y)};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

TEST(ClipSegment, RandomSegmentsAgreeWithParametricClipping) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> coord(-80, 180);
    int visible = 0;
    for (int i = 0; i < 5000; ++i) {
        const CPointF a0{coord(rng), coord(rng)}, b0{coord(rng), coord(rng)};
        double t0, t1;
        const bool expected = ReferenceClip(a0, b0, kRect, t0, t1);
        if (std::fabs(t1 - t0) < 1e-4)
            continue; // grazing a corner: either answer is fair in float
        CPointF a = a0, b = b0;
        const int result = ClipSegment(a, b, kRect);
        if (!expected) {
            EXPECT_EQ(result, kClipInvisible);
            continue;
        }
        ++visible;
        const int bits = kClipVisible | (t0 > 0 ? kClipStartMoved : 0) | (t1 < 1 ? kClipEndMoved : 0);
        ASSERT_EQ(result, bits) << "segment " << i;
        const CPointF expectA{static_cast<float>(a0.x + t0 * (b0.x - a0.x)),
                              static_cast<float>(a0.y + t0 * (b0.y - a0.y))};
        const CPointF expectB{static_cast<float>(a0.x + t1 * (b0.x - a0.x)),
                              static_cast<float>(a0.y + t1 * (b0.y - a0.y))};
        EXPECT_TRUE(ExpectNear(a, expectA, 1e-3));
        EXPECT_TRUE(ExpectNear(b, expectB, 1e-3));
    }
    EXPECT_GT(visible, 1000);
}

} // namespace
} // namespace pq
