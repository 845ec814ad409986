#include "geometry/CurveFit.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace pq {
namespace {

using test::ExpectNear;

// The cubic evaluated from its Bernstein form in double, independently of the fitter's own evaluation.
CPointD PointOn(const CBezier& b, double t) {
    const double s = 1.0 - t;
    const double w0 = s * s * s;
    const double w1 = 3.0 * t * s * s;
    const double w2 = 3.0 * t * t * s;
    const double w3 = t * t * t;
    return {w0 * b.p0.x + w1 * b.p1.x + w2 * b.p2.x + w3 * b.p3.x,
            w0 * b.p0.y + w1 * b.p1.y + w2 * b.p2.y + w3 * b.p3.y};
}

std::vector<CPointD> SampleChain(const std::vector<CBezier>& chain, int stepsPerSegment = 200) {
    std::vector<CPointD> samples;
    for (const CBezier& b : chain) {
        for (int i = 0; i <= stepsPerSegment; ++i)
            samples.push_back(PointOn(b, static_cast<double>(i) / stepsPerSegment));
    }
    return samples;
}

double DistanceToSegment(CPointD p, CPointD a, CPointD b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double DistanceToPolyline(CPointD p, const std::vector<CPointD>& line) {
    if (line.size() == 1)
        return std::hypot(p.x - line[0].x, p.y - line[0].y);
    double best = INFINITY;
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        best = std::min(best, DistanceToSegment(p, line[i], line[i + 1]));
    return best;
}

double Length(CPointF v) {
    return std::hypot(static_cast<double>(v.x), static_cast<double>(v.y));
}
double Cross(CPointF a, CPointF b) {
    return static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x;
}

// The chain starts at the first point, ends at the last, and each segment starts where the previous
// one ended.
::testing::AssertionResult IsJoinedChain(const std::vector<CBezier>& chain,
                                         const std::vector<CPointF>& points) {
    if (chain.empty())
        return ::testing::AssertionFailure() << "no segments";
    if (!(chain.front().p0 == points.front()) || !(chain.back().p3 == points.back()))
        return ::testing::AssertionFailure() << "chain does not run from the first to the last point";
    for (std::size_t k = 0; k + 1 < chain.size(); ++k) {
        if (!(chain[k].p3 == chain[k + 1].p0))
            return ::testing::AssertionFailure() << "gap after segment " << k;
    }
    for (const CBezier& b : chain) {
        for (CPointF p : {b.p0, b.p1, b.p2, b.p3}) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return ::testing::AssertionFailure() << "non-finite control point";
        }
    }
    return ::testing::AssertionSuccess();
}

// Largest distance from an input point to the fitted chain, and from the chain to the input polyline.
double TrackToChainDistance(const std::vector<CPointF>& points, const std::vector<CBezier>& chain,
                            int stepsPerSegment = 200) {
    const std::vector<CPointD> samples = SampleChain(chain, stepsPerSegment);
    double worst = 0;
    for (CPointF p : points)
        worst = std::max(worst, DistanceToPolyline(CPointD(p), samples));
    return worst;
}
double ChainToTrackDistance(const std::vector<CPointF>& points, const std::vector<CBezier>& chain) {
    std::vector<CPointD> track;
    for (CPointF p : points)
        track.emplace_back(p);
    double worst = 0;
    for (CPointD s : SampleChain(chain, 50))
        worst = std::max(worst, DistanceToPolyline(s, track));
    return worst;
}

std::vector<CPointF> WobblyTrack(int count) {
    std::vector<CPointF> points;
    for (int i = 0; i < count; ++i) {
        const float x = 3.0f * static_cast<float>(i);
        const float y = 200.0f * std::sin(0.05f * static_cast<float>(i)) + 50.0f * std::sin(0.13f * i);
        points.emplace_back(x, y);
    }
    return points;
}

// Samples of the cubic (0,0) (0,-1000) (1000,-1000) (1000,0), whose handles are as long as its chord.
std::vector<CPointF> LongHandledArch(int firstStep = 0) {
    const CBezier arch({0, 0}, {0, -1000}, {1000, -1000}, {1000, 0});
    std::vector<CPointF> points;
    for (int k = firstStep; k <= 20; ++k) {
        const CPointD p = PointOn(arch, k / 20.0);
        points.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    }
    return points;
}

void ExpectHandlesWithinCap(const std::vector<CBezier>& chain) {
    for (const CBezier& b : chain) {
        const double cap = 0.618 * Length(b.p3 - b.p0) * (1 + 1e-5) + 1e-4;
        EXPECT_LE(Length(b.p1 - b.p0), cap);
        EXPECT_LE(Length(b.p2 - b.p3), cap);
    }
}

TEST(FitCurve, FewerThanTwoPointsGiveNothing) {
    const CPointF one[] = {{5, 5}};
    EXPECT_TRUE(FitCurve(nullptr, 0, 10).empty());
    EXPECT_TRUE(FitCurve(nullptr, 5, 10).empty());
    EXPECT_TRUE(FitCurve(one, 0, 10).empty());
    EXPECT_TRUE(FitCurve(one, 1, 10).empty());

    CNodeArray nodes;
    nodes.Add(CPathNode::FromPoint({1, 2}));
    FitPointsToNodes(one, 1, nodes, 10);
    ASSERT_EQ(nodes.GetSize(), 1u);
    EXPECT_EQ(nodes[0], CPathNode::FromPoint({1, 2}));
}

TEST(FitCurve, TwoPointsGiveAStraightSegmentWithThirdOfChordHandles) {
    const std::vector<CPointF> points = {{0, 0}, {30, 40}};
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(chain[0].p0, points[0]);
    EXPECT_TRUE(ExpectNear(chain[0].p1, {10, 40.0f / 3}, 1e-4));
    EXPECT_TRUE(ExpectNear(chain[0].p2, {20, 80.0f / 3}, 1e-4));
    EXPECT_EQ(chain[0].p3, points[1]);
    EXPECT_EQ(chain[0].tolerance, 1.0f);

    CNodeArray nodes;
    FitPointsToNodes(points.data(), points.size(), nodes, 10);
    ASSERT_EQ(nodes.GetSize(), 2u);
    EXPECT_EQ(nodes[0].in, points[0]);
    EXPECT_EQ(nodes[0].anchor, points[0]);
    EXPECT_EQ(nodes[0].out, chain[0].p1);
    EXPECT_EQ(nodes[1].in, chain[0].p2);
    EXPECT_EQ(nodes[1].anchor, points[1]);
    EXPECT_EQ(nodes[1].out, points[1]);
}

TEST(FitCurve, CollinearPointsGiveHandlesOnTheLine) {
    // Uneven steps along the direction (3, 4), including one step back.
    const float steps[] = {0, 2, 5, 4, 11, 20, 22, 40, 41, 60};
    std::vector<CPointF> points;
    for (float s : steps)
        points.emplace_back(100 + 3 * s, -50 + 4 * s);
    const auto chain = FitCurve(points.data(), points.size(), 3);
    ASSERT_TRUE(IsJoinedChain(chain, points));
    const CPointF dir{3, 4};
    for (const CBezier& b : chain) {
        for (CPointF p : {b.p1, b.p2}) {
            // Distance from the line through the first point.
            EXPECT_LE(std::fabs(Cross(p - points[0], dir)) / 5.0, 1e-3);
        }
    }
}

TEST(FitCurve, QuarterCircleHandlesStayWithinCapAndTolerance) {
    std::vector<CPointF> points;
    for (int i = 0; i <= 90; ++i) {
        const double a = i * std::numbers::pi / 180;
        points.emplace_back(static_cast<float>(1000 * std::cos(a)), static_cast<float>(-1000 * std::sin(a)));
    }
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(chain, points));
    ExpectHandlesWithinCap(chain);
    EXPECT_LE(TrackToChainDistance(points, chain), 10.0);
}

// Without the cap the arch is fitted exactly by one segment whose handles equal its chord.
TEST(FitCurve, LeastSquaresHandlesAreCutToTheCap) {
    const auto points = LongHandledArch();
    const auto loose = FitCurve(points.data(), points.size(), 1e9f);
    ASSERT_EQ(loose.size(), 1u);
    EXPECT_TRUE(ExpectNear(Length(loose[0].p1 - loose[0].p0), 618.0, 0.01));
    EXPECT_TRUE(ExpectNear(Length(loose[0].p2 - loose[0].p3), 618.0, 0.01));
    // Still along the end tangents of the track.
    EXPECT_NEAR(Cross(loose[0].p1 - loose[0].p0, points[1] - points[0]), 0.0,
                1e-2 * Length(points[1] - points[0]));

    const auto fitted = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(fitted, points));
    EXPECT_GT(fitted.size(), 1u);
    ExpectHandlesWithinCap(fitted);
    EXPECT_LE(TrackToChainDistance(points, fitted), 10.0);
}

// A start tangent pointing against the arch asks for a handle of about -1000; the cap compares
// magnitudes, so the handle becomes the positive maximum along the tangent.
TEST(FitCurve, LargeNegativeHandleBecomesThePositiveMaximum) {
    std::vector<CPointF> points = {{0, 0}, {0, 0.5f}};
    const auto arch = LongHandledArch(1);
    points.insert(points.end(), arch.begin(), arch.end());
    const auto chain = FitCurve(points.data(), points.size(), 1e9f);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_TRUE(ExpectNear(chain[0].p1, {0, 618}, 0.01));
}

// Three evenly spaced points on a line make the least-squares system singular (both tangents along the
// line, one inner point); the guarded determinant turns the zero numerators into zero handles.
TEST(FitCurve, SingularSystemGivesHandlesOnTheAnchors) {
    const std::vector<CPointF> points = {{0, 0}, {50, 0}, {100, 0}};
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(chain[0].p1, points[0]);
    EXPECT_EQ(chain[0].p2, points[2]);
}

// Points on the x axis whose second point steps back: the start tangent points left while the track
// runs right, so the least-squares start handle is slightly negative. Both handles then take a third
// of the chord, even though the end handle alone would have been usable.
TEST(FitCurve, NegativeHandleFallsBackToThirdOfChordOnBothSides) {
    const std::vector<CPointF> points = {{0, 0},  {-0.5f, 0}, {5, 0},  {10, 0},
                                         {20, 0}, {40, 0},    {70, 0}, {100, 0}};
    const auto chain = FitCurve(points.data(), points.size(), 1e9f);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_TRUE(ExpectNear(chain[0].p1, {-100.0f / 3, 0}, 1e-3));
    EXPECT_TRUE(ExpectNear(chain[0].p2, {200.0f / 3, 0}, 1e-3));
}

TEST(FitCurve, FittedChainStaysWithinToleranceOfASmoothTrack) {
    const auto points = WobblyTrack(400);
    for (float error : {3.0f, 10.0f}) {
        const auto chain = FitCurve(points.data(), points.size(), error);
        ASSERT_TRUE(IsJoinedChain(chain, points));
        EXPECT_GT(chain.size(), 2u);
        EXPECT_LT(chain.size(), points.size() / 4) << "the fit should smooth, not copy, the track";
        // The squared distance of each point from its curve point is held below the tolerance, so the
        // points lie within the tolerance's square root of the chain.
        EXPECT_LE(TrackToChainDistance(points, chain), std::sqrt(error));
        EXPECT_LE(ChainToTrackDistance(points, chain), error);
        ExpectHandlesWithinCap(chain);
    }
}

TEST(FitPointsToNodes, SplitJointsAreSmooth) {
    const auto points = WobblyTrack(400);
    CNodeArray nodes;
    FitPointsToNodes(points.data(), points.size(), nodes, 10);
    ASSERT_GT(nodes.GetSize(), 3u);
    for (std::size_t k = 1; k + 1 < nodes.GetSize(); ++k) {
        const CPathNode& node = nodes[k];
        // Every joint is one of the input points.
        EXPECT_NE(std::find(points.begin(), points.end(), node.anchor), points.end());
        const CPointF back = node.anchor - node.in;
        const CPointF ahead = node.out - node.anchor;
        ASSERT_GT(Length(back), 0.0);
        ASSERT_GT(Length(ahead), 0.0);
        EXPECT_LE(std::fabs(Cross(back, ahead)) / (Length(back) * Length(ahead)), 1e-4) << "joint " << k;
        EXPECT_GT(back.Dot(ahead), 0.0f) << "handles of joint " << k << " on the same side";
    }
}

TEST(FitPointsToNodes, GivesOneNodeMoreThanSegmentsAfterExistingNodes) {
    const auto points = WobblyTrack(300);
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_GT(chain.size(), 1u);

    CNodeArray nodes;
    const CPathNode existing({-1, -1}, {-2, -2}, {-3, -3}, 7);
    nodes.Add(existing);
    nodes.Add(existing);
    FitPointsToNodes(points.data(), points.size(), nodes, 10);
    ASSERT_EQ(nodes.GetSize(), 2 + chain.size() + 1);
    EXPECT_EQ(nodes[0], existing);
    EXPECT_EQ(nodes[1], existing);

    const CPathNode& first = nodes[2];
    EXPECT_EQ(first.in, first.anchor);
    EXPECT_EQ(first.anchor, points.front());
    EXPECT_EQ(first.out, chain[0].p1);
    for (std::size_t k = 0; k < chain.size(); ++k) {
        // Segment k runs from node k to node k + 1.
        const CBezier rebuilt(nodes[2 + k], nodes[3 + k]);
        EXPECT_EQ(rebuilt.p0, chain[k].p0);
        EXPECT_EQ(rebuilt.p1, chain[k].p1);
        EXPECT_EQ(rebuilt.p2, chain[k].p2);
        EXPECT_EQ(rebuilt.p3, chain[k].p3);
        EXPECT_EQ(nodes[3 + k].flags, 0u);
    }
    EXPECT_EQ(nodes.Last().out, nodes.Last().anchor);
    EXPECT_EQ(nodes.Last().anchor, points.back());
}

// A closed track makes the first trial curve a single point (a zero chord caps both handles at zero),
// so the two outer points, mirror images of each other, are equally far from it. The later one is where
// the track is split; the rest fits in one segment on either side.
TEST(FitCurve, SplitsAtTheLaterOfEqualErrors) {
    const std::vector<CPointF> points = {{0, 0}, {75, 43.30127f}, {60, 0}, {75, -43.30127f}, {0, 0}};
    CNodeArray nodes;
    FitPointsToNodes(points.data(), points.size(), nodes, 4000);
    ASSERT_EQ(nodes.GetSize(), 3u);
    EXPECT_EQ(nodes[0].anchor, points[0]);
    EXPECT_EQ(nodes[1].anchor, points[3]);
    EXPECT_EQ(nodes[2].anchor, points[4]);
}

TEST(FitCurve, AllPointsEqualGiveOneSegmentAtThatPoint) {
    const std::vector<CPointF> points(50, CPointF{7, -3});
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_EQ(chain.size(), 1u);
    for (CPointF p : {chain[0].p0, chain[0].p1, chain[0].p2, chain[0].p3})
        EXPECT_EQ(p, points[0]);

    CNodeArray nodes;
    FitPointsToNodes(points.data(), 2, nodes, 10);
    ASSERT_EQ(nodes.GetSize(), 2u);
    EXPECT_EQ(nodes[1], CPathNode::FromPoint(points[0]));
}

// Duplicates at both ends make the end tangents zero; duplicates inside make zero chord steps.
TEST(FitCurve, ConsecutiveDuplicatesStillFitWithinTolerance) {
    std::vector<CPointF> points;
    for (CPointF p : WobblyTrack(200)) {
        points.push_back(p);
        points.push_back(p);
    }
    points.insert(points.begin(), points.front());
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(chain, points));
    EXPECT_LE(TrackToChainDistance(points, chain), 10.0);
}

// Spikes of slowly shrinking height: each fit fails nearest its start, so every split peels off one
// point and the recursion reaches its depth limit long before the track ends. The rest of the track is
// kept, joined to what was fitted before.
TEST(FitCurve, RangesBeyondTheDepthLimitKeepTheChainJoined) {
    std::vector<CPointF> points;
    for (int i = 0; i < 300; ++i) {
        const float height = 5000.0f * std::pow(0.99f, static_cast<float>(i));
        points.emplace_back(10.0f * i, i % 2 == 0 ? 0.0f : height);
    }
    const auto chain = FitCurve(points.data(), points.size(), 10);
    ASSERT_TRUE(IsJoinedChain(chain, points));
    EXPECT_LE(TrackToChainDistance(points, chain), 10.0);

    CNodeArray nodes;
    FitPointsToNodes(points.data(), points.size(), nodes, 10);
    ASSERT_EQ(nodes.GetSize(), chain.size() + 1);
    EXPECT_EQ(nodes.Last().anchor, points.back());
}

TEST(FitCurve, NoisyTrackAndZeroToleranceTerminateJoined) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> jump(-500.0f, 500.0f);
    std::vector<CPointF> points;
    for (int i = 0; i < 600; ++i)
        points.emplace_back(jump(rng), jump(rng));
    for (float error : {10.0f, 0.0f, -1.0f}) {
        const auto chain = FitCurve(points.data(), points.size(), error);
        ASSERT_TRUE(IsJoinedChain(chain, points)) << "error " << error;
        EXPECT_LE(TrackToChainDistance(points, chain, 16), std::max(error, 0.0f) + 1e-3);
    }
}

} // namespace
} // namespace pq
