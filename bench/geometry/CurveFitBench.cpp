#include "geometry/CurveFit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// A hand-drawn-looking stroke: a slowly turning pen direction with wavering speed, sampled like a
// stylus (a few units per sample) with small jitter. Seeded, so every run fits the same track.
std::vector<pq::CPointF> StylusTrack(int count) {
    std::mt19937 rng(20240611);
    std::normal_distribution<float> jitter(0.0f, 0.6f);
    std::normal_distribution<float> wobble(0.0f, 0.02f);
    std::vector<pq::CPointF> points;
    points.reserve(static_cast<std::size_t>(count));
    float x = 0;
    float y = 0;
    float heading = 0.3f;
    float turn = 0;
    for (int i = 0; i < count; ++i) {
        turn = 0.95f * turn + wobble(rng);
        heading += turn + 0.01f * std::sin(0.01f * static_cast<float>(i));
        const float speed = 4.0f + 2.0f * std::sin(0.05f * static_cast<float>(i));
        x += speed * std::cos(heading);
        y += speed * std::sin(heading);
        points.emplace_back(x + jitter(rng), y + jitter(rng));
    }
    return points;
}

void BM_FitCurveStylusTrack(benchmark::State& state) {
    const auto points = StylusTrack(static_cast<int>(state.range(0)));
    std::size_t segments = 0;
    for (auto _ : state) {
        auto chain = pq::FitCurve(points.data(), points.size(), 10.0f);
        segments = chain.size();
        benchmark::DoNotOptimize(chain.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["segments"] = static_cast<double>(segments);
}
BENCHMARK(BM_FitCurveStylusTrack)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_FitPointsToNodesStylusTrack(benchmark::State& state) {
    const auto points = StylusTrack(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pq::CNodeArray nodes;
        pq::FitPointsToNodes(points.data(), points.size(), nodes, 10.0f);
        benchmark::DoNotOptimize(nodes.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FitPointsToNodesStylusTrack)->Arg(2000)->Unit(benchmark::kMicrosecond);

// What the freehand tool fits at the release of a five-second stroke sampled at 100 Hz: 500 whole-pixel
// points, closed back to the first (new objects are filled by default), at an error of 10 pixels.
void BM_FitFiveSecondStrokeAt100Hz(benchmark::State& state) {
    std::vector<pq::CPointF> points = StylusTrack(500);
    for (pq::CPointF& p : points)
        p = pq::CPointF{std::round(p.x), std::round(p.y)};
    points.push_back(points.front());
    std::size_t nodeCount = 0;
    for (auto _ : state) {
        pq::CNodeArray nodes;
        pq::FitPointsToNodes(points.data(), points.size(), nodes, 10.0f);
        nodeCount = nodes.GetSize();
        benchmark::DoNotOptimize(nodes.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
    state.counters["nodes"] = static_cast<double>(nodeCount);
}
BENCHMARK(BM_FitFiveSecondStrokeAt100Hz)->Unit(benchmark::kMicrosecond);

} // namespace
