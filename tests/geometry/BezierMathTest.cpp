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

// Reference evaluation in double from the textbook Bernstein form.
CPointD ReferencePoint(const CBezier& c, double t) {
    const double u = 1.0 - t;
    const double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * c.p0.x + w1 * c.p1.x + w2 * c.p2.x + w3 * c.p3.x,
            w0 * c.p0.y + w1 * c.p1.y + w2 * c.p2.y + w3 * c.p3.y};
}

double DistanceToCurve(const CBezier& c, CPointF p, int samples = 20000) {
    double best = 1e300;
    for (int i = 0; i <= samples; ++i) {
        const CPointD q = ReferencePoint(c, static_cast<double>(i) / samples);
        best = std::min(best, std::hypot(q.x - p.x, q.y - p.y));
    }
    return best;
}

CBezier RandomCurve(std::mt19937& rng, float extent) {
    std::uniform_real_distribution<float> coord(-extent, extent);
    return {{coord(rng), coord(rng)},
            {coord(rng), coord(rng)},
            {coord(rng), coord(rng)},
            {coord(rng), coord(rng)}};
}

// A straight segment along x from 0 to length with its control points at the thirds: every split halves
// every leg, so the flattened vertex count and positions follow from the leg length alone.
CBezier EvenLine(float length, float tolerance) {
    CBezier c{{0, 0}, {length / 3, 0}, {2 * length / 3, 0}, {length, 0}};
    c.SetTolerance(tolerance);
    return c;
}

TEST(BezierPointAt, EndParametersReturnTheStoredEndPoints) {
    const float inf = std::numeric_limits<float>::infinity();
    const CBezier c{{0.1f, -7.3f}, {inf, 2}, {3, -inf}, {1e-3f, 9.7f}};
    const CPointF start = BezierPointAt(c, 0.0f);
    const CPointF end = BezierPointAt(c, 1.0f);
    EXPECT_EQ(start, c.p0);
    EXPECT_EQ(end, c.p3);
}

TEST(BezierPointAt, InteriorPointsMatchTheBernsteinForm) {
    std::mt19937 rng(11);
    for (int i = 0; i < 50; ++i) {
        const CBezier c = RandomCurve(rng, 1000);
        for (float t : {0.05f, 0.25f, 0.5f, 0.71f, 0.999f}) {
            const CPointD ref = ReferencePoint(c, t);
            EXPECT_TRUE(ExpectNear(BezierPointAt(c, t),
                                   CPointF(static_cast<float>(ref.x), static_cast<float>(ref.y)), 1e-3));
        }
    }
}

TEST(BezierNearestParameter, RecoversTheParameterOnAnEvenlyParametrisedLine) {
    const CBezier line = EvenLine(300, 1);
    EXPECT_TRUE(ExpectNear(BezierNearestParameter(line, {150, 50}), 0.5, 2e-6));
    EXPECT_TRUE(ExpectNear(BezierNearestParameter(line, {37.5f, -20}), 0.125, 2e-6));
}

TEST(BezierNearestParameter, PointBeforeTheStartGivesExactlyZero) {
    EXPECT_EQ(BezierNearestParameter(EvenLine(300, 1), {-50, 3}), 0.0f);
}

TEST(BezierNearestParameter, PointBeyondTheEndStaysJustBelowOneAndNeverAbove) {
    const float t = BezierNearestParameter(EvenLine(300, 1), {400, 0});
    EXPECT_LE(t, 1.0f);
    EXPECT_GT(t, 1.0f - 3e-6f);
}

TEST(BezierNearestParameter, RandomCurvesGiveAParameterInTheUnitIntervalNearTheClosestPoint) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> coord(-1500, 1500);
    for (int i = 0; i < 40; ++i) {
        const CBezier c = RandomCurve(rng, 1000);
        const CPointF p{coord(rng), coord(rng)};
        const float t = BezierNearestParameter(c, p);
        ASSERT_GE(t, 0.0f);
        ASSERT_LE(t, 1.0f);
        // The coarse scan may pick a neighbouring basin of almost equal distance: allow what a 0.005
        // parameter error can cost at the curve's largest speed (at most three times its longest leg).
        const double found = BezierPointAt(c, t).DistanceTo(p);
        const double legs = std::max({c.p0.DistanceTo(c.p1), c.p1.DistanceTo(c.p2), c.p2.DistanceTo(c.p3)});
        EXPECT_LE(found, DistanceToCurve(c, p) + 3 * legs * 0.005 + 1e-2);
    }
}

TEST(EffectiveFlatteningTolerance, LongChordsRaiseSmallTolerancesOnly) {
    EXPECT_EQ(EffectiveFlatteningTolerance(6000, 2), 5.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(6000, 7), 7.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(2000, 0.5f), 0.5f);
    EXPECT_EQ(EffectiveFlatteningTolerance(2000.5f, 0.5f), 3.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(5000, 3), 3.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(5000, 3.5f), 3.5f);
    EXPECT_EQ(EffectiveFlatteningTolerance(10000, 1), 5.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(10001, 1), 10.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(100000, 10), 10.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(100001, 10), 100.0f);
    EXPECT_EQ(EffectiveFlatteningTolerance(100001, 150), 150.0f);
}

TEST(FlattenBezier, FlatControlPolygonAppendsExactlyItsControlPoints) {
    CBezier c{{0, 0}, {1, 1}, {2, 1}, {3, 0}};
    c.SetTolerance(2);
    CPointArray out;
    FlattenBezier(c, out, false);
    ASSERT_EQ(out.GetSize(), 4u);
    EXPECT_EQ(out[0], c.p0);
    EXPECT_EQ(out[1], c.p1);
    EXPECT_EQ(out[2], c.p2);
    EXPECT_EQ(out[3], c.p3);
}

TEST(FlattenBezier, StartPointIsAddedOnlyToAnEmptyOutput) {
    CBezier c{{10, 10}, {11, 11}, {12, 11}, {13, 10}};
    c.SetTolerance(2);
    CPointArray out;
    out.Add({10, 10});
    FlattenBezier(c, out, false);
    ASSERT_EQ(out.GetSize(), 4u);
    EXPECT_EQ(out[1], c.p1);
    EXPECT_EQ(out[3], c.p3);
}

TEST(FlattenBezier, StraightSegmentAppendsOnlyItsEndPointUnlessKeptAsCurve) {
    const CBezier line{{0, 0}, {0, 0}, {900, 300}, {900, 300}};
    CPointArray out;
    FlattenBezier(line, out, false);
    ASSERT_EQ(out.GetSize(), 2u);
    EXPECT_EQ(out[1], line.p3);

    CPointArray again;
    again.Add({5, 5});
    FlattenBezier(line, again, false);
    ASSERT_EQ(again.GetSize(), 2u);
    EXPECT_EQ(again[1], line.p3);

    CPointArray kept;
    FlattenBezier(line, kept, true);
    EXPECT_GT(kept.GetSize(), 100u);
    EXPECT_EQ(kept.Last(), line.p3);
}

TEST(FlattenBezier, SubdividesUntilEveryLegIsWithinToleranceAndALegEqualToItIsFlat) {
    // Legs of 16 halve to 2 after three splits: 8 pieces of 3 vertices each after the start.
    CPointArray out;
    FlattenBezier(EvenLine(48, 2), out, true);
    ASSERT_EQ(out.GetSize(), 25u);
    for (std::size_t i = 0; i < out.GetSize(); ++i)
        EXPECT_EQ(out[i], (CPointF{2.0f * static_cast<float>(i), 0})) << "vertex " << i;

    // A hair more than 16 needs a fourth split.
    CPointArray finer;
    FlattenBezier(EvenLine(48.01f, 2), finer, true);
    EXPECT_EQ(finer.GetSize(), 49u);
}

TEST(FlattenBezier, LongSegmentsUseTheCoarserTolerance) {
    // Chord 5370 (between 5000 and 10000): legs of 1790 halve to 6.99 after 8 splits, to 3.5 after 9.
    // Requested 7 keeps 7 (256 pieces); requested 2 becomes 5 (512 pieces), not 2 (1024 pieces).
    CPointArray seven;
    FlattenBezier(EvenLine(5370, 7), seven, true);
    EXPECT_EQ(seven.GetSize(), 1u + 3u * 256u);
    CPointArray two;
    FlattenBezier(EvenLine(5370, 2), two, true);
    EXPECT_EQ(two.GetSize(), 1u + 3u * 512u);
    // Up to a chord of 2000 the requested tolerance holds: legs of 666.3 reach 2.6 after 8 splits, which
    // 3 would accept but 2 does not.
    CPointArray shortChord;
    FlattenBezier(EvenLine(1999, 2), shortChord, true);
    EXPECT_EQ(shortChord.GetSize(), 1u + 3u * 512u);
}

TEST(FlattenBezier, VerticesFollowTheCurveInOrderAndStayWithinTolerance) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> coord(-500, 500);
    for (int i = 0; i < 10; ++i) {
        // x rises along these curves, so curve order is x order.
        std::array<float, 4> xs{coord(rng), coord(rng), coord(rng), coord(rng)};
        std::sort(xs.begin(), xs.end());
        CBezier c{{xs[0], coord(rng)}, {xs[1], coord(rng)}, {xs[2], coord(rng)}, {xs[3], coord(rng)}};
        c.SetTolerance(2);
        CPointArray out;
        FlattenBezier(c, out, false);
        ASSERT_GE(out.GetSize(), 4u);
        ASSERT_EQ((out.GetSize() - 1) % 3, 0u);
        EXPECT_EQ(out[0], c.p0);
        EXPECT_EQ(out.Last(), c.p3);
        // Every third vertex after the start ends a piece: it lies on the curve, after the previous one.
        for (std::size_t k = 3; k < out.GetSize(); k += 3) {
            EXPECT_LT(DistanceToCurve(c, out[k]), 0.2) << "piece end " << k;
            EXPECT_GT(out[k].x, out[k - 3].x) << "piece end " << k;
        }
        // The control points of a flat piece lie within one leg, the tolerance, of its ends.
        for (std::size_t k = 0; k < out.GetSize(); ++k)
            EXPECT_LT(DistanceToCurve(c, out[k]), 2.0 + 0.2) << "vertex " << k;
    }
}

TEST(FlattenBezier, PieceCapBoundsDegenerateInput) {
    // A negative tolerance is never met: 10000 pieces split, the 10001st and the 10000 pending second
    // halves are taken as they are.
    CBezier negative{{0, 0}, {100, 300}, {200, -300}, {300, 0}};
    negative.SetTolerance(-1);
    CPointArray out;
    FlattenBezier(negative, out, true);
    EXPECT_EQ(out.GetSize(), 1u + 3u * 10001u);
    EXPECT_EQ(out.Last(), negative.p3);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    CBezier broken{{0, 0}, {nan, 1}, {2, 2}, {3, 0}};
    CPointArray nanOut;
    FlattenBezier(broken, nanOut, false);
    EXPECT_EQ(nanOut.GetSize(), 1u + 3u * 10001u);

    // A genuine curve spanning the float range at a tiny tolerance stops at the cap too.
    CBezier huge{{-1e30f, 0}, {0, 1e30f}, {1e30f, -1e30f}, {1e30f, 1e30f}};
    huge.SetTolerance(1e-6f);
    CPointArray hugeOut;
    FlattenBezier(huge, hugeOut, false);
    EXPECT_LE(hugeOut.GetSize(), 1u + 3u * 10001u);
    EXPECT_EQ(hugeOut.Last(), huge.p3);
}

} // namespace
} // namespace pq
