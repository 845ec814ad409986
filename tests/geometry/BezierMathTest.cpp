#include "geometry/BezierMath.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>

namespace pq {
namespace {

using test::ExpectNear;

CPointD ReferencePoint(const CBezier& c, double t) {
    const double u = 1.0 - t, w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * c.p0.x + w1 * c.p1.x + w2 * c.p2.x + w3 * c.p3.x,
            w0 * c.p0.y + w1 * c.p1.y + w2 * c.p2.y + w3 * c.p3.y};
}

// Distance from p to the curve by a dense scan; fine enough for the tolerances asserted below.
double DistanceToCurve(const CBezier& c, CPointF p) {
    double best = INFINITY;
    for (int i = 0; i <= 20000; ++i) {
        const CPointD q = ReferencePoint(c, i / 20000.0);
        best = std::min(best, std::hypot(q.x - p.x, q.y - p.y));
    }
    return best;
}

// A straight segment along x with its control points at the thirds: every split halves every leg, so the
// flattened vertex count and positions follow from the leg length alone.
CBezier EvenLine(float length, float tolerance) {
    CBezier c{{0, 0}, {length / 3, 0}, {2 * length / 3, 0}, {length, 0}};
    c.SetTolerance(tolerance);
    return c;
}

std::size_t FlattenedSize(const CBezier& c, bool keepStraight = true) {
    CPointArray out;
    FlattenBezier(c, out, keepStraight);
    return out.GetSize();
}

TEST(BezierPointAt, EndsAreExactAndInteriorMatchesTheBernsteinForm) {
    const float inf = std::numeric_limits<float>::infinity();
    const CBezier wild{{0.1f, -7.3f}, {inf, 2}, {3, -inf}, {1e-3f, 9.7f}};
    EXPECT_EQ(BezierPointAt(wild, 0.0f), wild.p0);
    EXPECT_EQ(BezierPointAt(wild, 1.0f), wild.p3);
    const CBezier c{{-300, 20}, {700, -900}, {100, 800}, {950, -40}};
    for (float t : {0.05f, 0.25f, 0.5f, 0.71f, 0.999f}) {
        const CPointD ref = ReferencePoint(c, t);
        EXPECT_TRUE(ExpectNear(BezierPointAt(c, t),
                               CPointF(static_cast<float>(ref.x), static_cast<float>(ref.y)), 1e-3));
    }
}

TEST(BezierNearestParameter, RefinesToAMillionthAndClampsToTheUnitInterval) {
    const CBezier line = EvenLine(300, 1);
    EXPECT_TRUE(ExpectNear(BezierNearestParameter(line, {150, 50}), 0.5, 2e-6));
    EXPECT_TRUE(ExpectNear(BezierNearestParameter(line, {37.0368f, 0}), 0.123456, 1.5e-6));
    EXPECT_TRUE(ExpectNear(BezierNearestParameter(line, {241.7319f, 0}), 0.8057730, 1.5e-6));
    EXPECT_EQ(BezierNearestParameter(line, {-50, 3}), 0.0f);
    const float beyond = BezierNearestParameter(line, {400, 0});
    EXPECT_LE(beyond, 1.0f);
    EXPECT_GT(beyond, 1.0f - 3e-6f);

    const CBezier c{{0, 0}, {100, 300}, {300, -200}, {400, 100}};
    const CPointF p{250, 150};
    EXPECT_LE(BezierPointAt(c, BezierNearestParameter(c, p)).DistanceTo(p), DistanceToCurve(c, p) + 0.05);
}

TEST(EffectiveFlatteningTolerance, LongChordsRaiseSmallTolerancesOnly) {
    struct Case {
        float chord, requested, expected;
    };
    const Case cases[] = {{6000, 2, 5},     {6000, 7, 7},       {2000, 0.5f, 0.5f}, {2000.5f, 0.5f, 3},
                          {5000, 3, 3},     {5000, 3.5f, 3.5f}, {10000, 1, 5},      {10001, 1, 10},
                          {100000, 10, 10}, {100001, 10, 100},  {100001, 150, 150}};
    for (const Case& c : cases)
        EXPECT_EQ(EffectiveFlatteningTolerance(c.chord, c.requested), c.expected)
            << c.chord << " " << c.requested;
}

TEST(FlattenBezier, AppendsTheStartOnlyToAnEmptyOutputAndAStraightSegmentAsItsEnd) {
    CBezier flat{{10, 10}, {11, 11}, {12, 11}, {13, 10}};
    flat.SetTolerance(2);
    CPointArray out;
    FlattenBezier(flat, out, false);
    ASSERT_EQ(out.GetSize(), 4u);
    EXPECT_EQ(out[0], flat.p0);
    EXPECT_EQ(out[1], flat.p1);
    EXPECT_EQ(out[2], flat.p2);
    EXPECT_EQ(out[3], flat.p3);
    FlattenBezier(flat, out, false);
    EXPECT_EQ(out.GetSize(), 7u);

    const CBezier line{{0, 0}, {0, 0}, {900, 300}, {900, 300}};
    CPointArray straight;
    FlattenBezier(line, straight, false);
    ASSERT_EQ(straight.GetSize(), 2u);
    EXPECT_EQ(straight[1], line.p3);
    EXPECT_GT(FlattenedSize(line, true), 100u);
}

TEST(FlattenBezier, SubdividesUntilEveryLegIsWithinToleranceAndALegEqualToItIsFlat) {
    // Legs of 16 halve to 2 after three splits: 8 pieces of 3 vertices each after the start.
    CPointArray out;
    FlattenBezier(EvenLine(48, 2), out, true);
    ASSERT_EQ(out.GetSize(), 25u);
    for (std::size_t i = 0; i < out.GetSize(); ++i)
        EXPECT_EQ(out[i], (CPointF{2.0f * static_cast<float>(i), 0})) << "vertex " << i;
    EXPECT_EQ(FlattenedSize(EvenLine(48.01f, 2)), 49u);

    // Diagonal legs of 20 along (3, 4) are exactly 5 after two splits: flat at tolerance 5, not at 4.9999.
    CBezier diagonal{{0, 0}, {12, 16}, {24, 32}, {36, 48}};
    diagonal.SetTolerance(5);
    EXPECT_EQ(FlattenedSize(diagonal), 13u);
    diagonal.SetTolerance(4.9999f);
    EXPECT_EQ(FlattenedSize(diagonal), 25u);
}

TEST(FlattenBezier, LongSegmentsUseTheCoarserTolerance) {
    // Chord 5370: legs of 1790 halve to 6.99 after 8 splits, to 3.5 after 9. Requested 7 stays 7; 2
    // becomes 5. Below a chord of 2000 the requested 2 holds (666.3 / 256 = 2.6 is not flat).
    EXPECT_EQ(FlattenedSize(EvenLine(5370, 7)), 1u + 3u * 256u);
    EXPECT_EQ(FlattenedSize(EvenLine(5370, 2)), 1u + 3u * 512u);
    EXPECT_EQ(FlattenedSize(EvenLine(1999, 2)), 1u + 3u * 512u);
}

TEST(FlattenBezier, PieceEndsFollowTheCurveInOrderWithinTolerance) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> coord(-500, 500);
    for (int i = 0; i < 3; ++i) {
        std::array<float, 4> xs{coord(rng), coord(rng), coord(rng), coord(rng)};
        std::sort(xs.begin(), xs.end()); // x rises along the curve, so curve order is x order
        CBezier c{{xs[0], coord(rng)}, {xs[1], coord(rng)}, {xs[2], coord(rng)}, {xs[3], coord(rng)}};
        c.SetTolerance(2);
        CPointArray out;
        FlattenBezier(c, out, false);
        ASSERT_EQ((out.GetSize() - 1) % 3, 0u);
        EXPECT_EQ(out.Last(), c.p3);
        for (std::size_t k = 3; k < out.GetSize(); k += 3) {
            EXPECT_LT(DistanceToCurve(c, out[k]), 0.2) << "piece end " << k;
            EXPECT_GT(out[k].x, out[k - 3].x) << "piece end " << k;
            EXPECT_LT(DistanceToCurve(c, out[k - 1]), 2.2) << "control " << k - 1;
        }
    }
}

TEST(FlattenBezier, PieceCapBoundsDegenerateInput) {
    // A negative tolerance is never met: 10000 pieces split, then the 10001st and the pending halves
    // are taken as they are.
    CBezier negative{{0, 0}, {100, 300}, {200, -300}, {300, 0}};
    negative.SetTolerance(-1);
    CPointArray out;
    FlattenBezier(negative, out, true);
    EXPECT_EQ(out.GetSize(), 1u + 3u * 10001u);
    EXPECT_EQ(out.Last(), negative.p3);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(FlattenedSize(CBezier{{0, 0}, {nan, 1}, {2, 2}, {3, 0}}, false), 1u + 3u * 10001u);
}

} // namespace
} // namespace pq
