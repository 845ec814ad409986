#include "geometry/CurveFit.h"

#include "geometry/BezierMath.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace pq {
namespace {

using test::ExpectNear;

double Length(CPointF v) {
    return std::hypot(static_cast<double>(v.x), static_cast<double>(v.y));
}

// The chain runs from the first point to the last, each segment starts where the previous one ended and
// every control point is finite.
::testing::AssertionResult IsJoinedChain(const std::vector<CBezier>& chain,
                                         const std::vector<CPointF>& points) {
    if (chain.empty() || !(chain.front().p0 == points.front()) || !(chain.back().p3 == points.back()))
        return ::testing::AssertionFailure() << "chain does not run from the first to the last point";
    for (std::size_t k = 0; k < chain.size(); ++k) {
        if (k + 1 < chain.size() && !(chain[k].p3 == chain[k + 1].p0))
            return ::testing::AssertionFailure() << "gap after segment " << k;
        for (CPointF p : {chain[k].p1, chain[k].p2})
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return ::testing::AssertionFailure() << "non-finite control point in segment " << k;
    }
    return ::testing::AssertionSuccess();
}

// Largest distance from an input point to the nearest of 500 samples per segment of the chain.
double TrackToChainDistance(const std::vector<CPointF>& points, const std::vector<CBezier>& chain) {
    double worst = 0;
    for (CPointF p : points) {
        double best = INFINITY;
        for (const CBezier& b : chain)
            for (int i = 0; i <= 500; ++i)
                best = std::min(best, static_cast<double>(BezierPointAt(b, i / 500.0f).DistanceTo(p)));
        worst = std::max(worst, best);
    }
    return worst;
}

std::vector<CPointF> WobblyTrack(int count) {
    std::vector<CPointF> points;
    for (int i = 0; i < count; ++i)
        points.emplace_back(3.0f * i, 200.0f * std::sin(0.05f * i) + 50.0f * std::sin(0.13f * i));
    return points;
}

void ExpectHandlesWithinCap(const std::vector<CBezier>& chain) {
    for (const CBezier& b : chain) {
        const double cap = 0.618 * Length(b.p3 - b.p0) * (1 + 1e-5) + 1e-4;
        EXPECT_LE(Length(b.p1 - b.p0), cap);
        EXPECT_LE(Length(b.p2 - b.p3), cap);
    }
}

TEST(FitCurve, FewerThanTwoPointsGiveNothingAndTwoGiveAThirdOfChordLine) {
    const CPointF one[] = {{5, 5}};
    EXPECT_TRUE(FitCurve(nullptr, 5, 10).empty());
    EXPECT_TRUE(FitCurve(one, 1, 10).empty());

    const std::vector<CPointF> points = {{0, 0}, {30, 40}};
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(chain[0].p0, points[0]);
    EXPECT_TRUE(ExpectNear(chain[0].p1, {10, 40.0f / 3}, 1e-4));
    EXPECT_TRUE(ExpectNear(chain[0].p2, {20, 80.0f / 3}, 1e-4));
    EXPECT_EQ(chain[0].p3, points[1]);
}

// Samples of the cubic (0,0) (0,-1000) (1000,-1000) (1000,0), whose handles are as long as its chord:
// without the cap one segment fits it exactly.
TEST(FitCurve, LeastSquaresHandlesAreCutToTheCapEvenWhenNegative) {
    const CBezier arch({0, 0}, {0, -1000}, {1000, -1000}, {1000, 0});
    std::vector<CPointF> points;
    for (int k = 0; k <= 20; ++k)
        points.push_back(BezierPointAt(arch, k / 20.0f));
    const auto loose = FitCurve(points.data(), points.size(), 1e9f);
    ASSERT_EQ(loose.size(), 1u);
    EXPECT_TRUE(ExpectNear(Length(loose[0].p1 - loose[0].p0), 618.0, 0.01));
    EXPECT_TRUE(ExpectNear(Length(loose[0].p2 - loose[0].p3), 618.0, 0.01));

    const auto fitted = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(fitted, points));
    EXPECT_GT(fitted.size(), 1u);
    ExpectHandlesWithinCap(fitted);
    EXPECT_LE(TrackToChainDistance(points, fitted), 10.0);

    // A start tangent pointing against the arch asks for a handle of about -1000; the cap compares
    // magnitudes, so the handle becomes the positive maximum along the tangent.
    points.front() = {0, 0.5f};
    points.insert(points.begin(), CPointF{0, 0});
    const auto against = FitCurve(points.data(), points.size(), 1e9f);
    ASSERT_EQ(against.size(), 1u);
    EXPECT_TRUE(ExpectNear(against[0].p1, {0, 618}, 0.01));
}

TEST(FitCurve, SingularOrNegativeHandlesFallBack) {
    // Three evenly spaced collinear points make the system singular: the guarded determinant gives zero
    // handles.
    const std::vector<CPointF> three = {{0, 0}, {50, 0}, {100, 0}};
    const auto singular = FitCurve(three.data(), three.size(), 10);
    ASSERT_EQ(singular.size(), 1u);
    EXPECT_EQ(singular[0].p1, three[0]);
    EXPECT_EQ(singular[0].p2, three[2]);

    // A step back makes the start handle slightly negative: both handles take a third of the chord.
    const std::vector<CPointF> back = {{0, 0},  {-0.5f, 0}, {5, 0},  {10, 0},
                                       {20, 0}, {40, 0},    {70, 0}, {100, 0}};
    const auto chain = FitCurve(back.data(), back.size(), 1e9f);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_TRUE(ExpectNear(chain[0].p1, {-100.0f / 3, 0}, 1e-3));
    EXPECT_TRUE(ExpectNear(chain[0].p2, {200.0f / 3, 0}, 1e-3));
}

TEST(FitCurve, SmoothTrackFitsWithinToleranceWithSmoothSplitJoints) {
    const auto points = WobblyTrack(400);
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(chain, points));
    EXPECT_GT(chain.size(), 2u);
    EXPECT_LT(chain.size(), points.size() / 4) << "the fit should smooth, not copy, the track";
    // The squared distance is held below the tolerance, so the points lie within its square root.
    EXPECT_LE(TrackToChainDistance(points, chain), std::sqrt(10.0));
    ExpectHandlesWithinCap(chain);

    CNodeArray nodes;
    const CPathNode existing({-1, -1}, {-2, -2}, {-3, -3}, 7);
    nodes.Add(existing);
    FitPointsToNodes(points.data(), points.size(), nodes, 10);
    ASSERT_EQ(nodes.GetSize(), 1 + chain.size() + 1);
    EXPECT_EQ(nodes[0], existing);
    EXPECT_EQ(nodes[1].in, nodes[1].anchor);
    EXPECT_EQ(nodes.Last().out, nodes.Last().anchor);
    for (std::size_t k = 0; k < chain.size(); ++k) {
        const CBezier rebuilt(nodes[1 + k], nodes[2 + k]);
        EXPECT_EQ(rebuilt.p1, chain[k].p1);
        EXPECT_EQ(rebuilt.p2, chain[k].p2);
        EXPECT_EQ(rebuilt.p3, chain[k].p3);
    }
    for (std::size_t k = 2; k + 1 < nodes.GetSize(); ++k) {
        const CPointF back = nodes[k].anchor - nodes[k].in, ahead = nodes[k].out - nodes[k].anchor;
        ASSERT_GT(Length(back) * Length(ahead), 0.0);
        EXPECT_LE(std::fabs(back.x * ahead.y - back.y * ahead.x) / (Length(back) * Length(ahead)), 1e-4)
            << "joint " << k;
        EXPECT_GT(back.Dot(ahead), 0.0f) << "handles of joint " << k << " on the same side";
    }
}

// A closed track makes the first trial curve a single point, so the two mirror-image outer points are
// equally far from it; the later one is where the track is split.
TEST(FitCurve, SplitsAtTheLaterOfEqualErrors) {
    const std::vector<CPointF> points = {{0, 0}, {75, 43.30127f}, {60, 0}, {75, -43.30127f}, {0, 0}};
    CNodeArray nodes;
    FitPointsToNodes(points.data(), points.size(), nodes, 4000);
    ASSERT_EQ(nodes.GetSize(), 3u);
    EXPECT_EQ(nodes[1].anchor, points[3]);
}

TEST(FitCurve, DuplicatesAndEqualPointsStillFit) {
    const std::vector<CPointF> same(50, CPointF{7, -3});
    const auto dot = FitCurve(same.data(), same.size(), 10);
    ASSERT_EQ(dot.size(), 1u);
    EXPECT_EQ(dot[0].p1, same[0]);
    EXPECT_EQ(dot[0].p2, same[0]);

    // Duplicates at both ends make the end tangents zero; duplicates inside make zero chord steps.
    std::vector<CPointF> points;
    for (CPointF p : WobblyTrack(100)) {
        points.push_back(p);
        points.push_back(p);
    }
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(chain, points));
    EXPECT_LE(TrackToChainDistance(points, chain), 10.0);
}

// Spikes of slowly shrinking height make every split peel off one point, so the recursion reaches its
// depth limit long before the track ends; the rest is kept, joined to what was fitted before.
TEST(FitCurve, RangesBeyondTheDepthLimitKeepTheChainJoined) {
    std::vector<CPointF> points;
    for (int i = 0; i < 300; ++i)
        points.emplace_back(10.0f * i, i % 2 == 0 ? 0.0f : 5000.0f * std::pow(0.99f, static_cast<float>(i)));
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(chain, points));
    EXPECT_LE(TrackToChainDistance(points, chain), 10.0);
}

TEST(FitCurve, NoisyTrackAndNonPositiveToleranceTerminateJoined) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> jump(-500.0f, 500.0f);
    std::vector<CPointF> points;
    for (int i = 0; i < 200; ++i)
        points.emplace_back(jump(rng), jump(rng));
    for (float error : {10.0f, 0.0f, -1.0f})
        EXPECT_TRUE(IsJoinedChain(FitCurve(points.data(), points.size(), error), points)) << error;
}

} // namespace
} // namespace pq
