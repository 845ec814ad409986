#include "geometry/BezierMath.h"
#include "geometry/HitTest.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace {

// A seeded mix like a drawing's: mostly small curves (handwriting, details, 20-500 units) and some large
// ones (outlines spanning the page and beyond, up to 20000 units, where the size rule coarsens).
std::vector<pq::CBezier> CurveMix() {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> small(20.0f, 500.0f);
    std::uniform_real_distribution<float> large(2000.0f, 20000.0f);
    std::vector<pq::CBezier> curves;
    for (int i = 0; i < 1000; ++i) {
        const float size = (i % 10 == 0) ? large(rng) : small(rng);
        const pq::CPointF origin{unit(rng) * 1000, unit(rng) * 1000};
        pq::CBezier c{origin, origin + pq::CPointF{unit(rng), unit(rng)} * size,
                      origin + pq::CPointF{unit(rng), unit(rng)} * size,
                      origin + pq::CPointF{unit(rng), unit(rng)} * size};
        c.SetTolerance(2.0f);
        curves.push_back(c);
    }
    return curves;
}

void BM_FlattenBezierMix(benchmark::State& state) {
    const std::vector<pq::CBezier> curves = CurveMix();
    pq::CPointArray output;
    std::int64_t vertices = 0;
    std::int64_t segments = 0;
    for (auto _ : state) {
        for (const pq::CBezier& c : curves) {
            output.SetSize(0);
            pq::FlattenBezier(c, output, false);
            vertices += static_cast<std::int64_t>(output.GetSize());
        }
        segments += static_cast<std::int64_t>(curves.size());
        benchmark::DoNotOptimize(output.data());
    }
    state.counters["segments/s"] =
        benchmark::Counter(static_cast<double>(segments), benchmark::Counter::kIsRate);
    state.counters["vertices/s"] =
        benchmark::Counter(static_cast<double>(vertices), benchmark::Counter::kIsRate);
    state.counters["vertices/segment"] = static_cast<double>(vertices) / static_cast<double>(segments);
}
BENCHMARK(BM_FlattenBezierMix)->Unit(benchmark::kMillisecond);

// A closed star of 10000 vertices with radii between 3000 and 5000 pixels: concave everywhere, and the
// test points' rays meet about half the edges' y ranges.
void BM_PointInPolygon10000(benchmark::State& state) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> radius(3000.0, 5000.0);
    std::vector<pq::CPoint> polygon;
    constexpr int kVertices = 10000;
    for (int i = 0; i < kVertices; ++i) {
        const double a = 2 * std::numbers::pi * i / kVertices;
        const double r = radius(rng);
        polygon.push_back({static_cast<int32_t>(std::lround(r * std::cos(a))),
                           static_cast<int32_t>(std::lround(r * std::sin(a)))});
    }
    polygon.push_back(polygon.front());
    pq::CRect bounds{polygon[0].x, polygon[0].y, polygon[0].x, polygon[0].y};
    for (const pq::CPoint& v : polygon) {
        bounds.left = std::min(bounds.left, v.x);
        bounds.top = std::min(bounds.top, v.y);
        bounds.right = std::max(bounds.right, v.x);
        bounds.bottom = std::max(bounds.bottom, v.y);
    }
    std::uniform_int_distribution<int> coord(-5000, 5000);
    std::vector<pq::CPoint> points;
    for (int i = 0; i < 256; ++i)
        points.push_back({coord(rng), coord(rng)});

    std::size_t next = 0;
    int inside = 0;
    for (auto _ : state) {
        inside += pq::PointInPolygon(polygon, points[next], bounds) ? 1 : 0;
        next = (next + 1) % points.size();
    }
    benchmark::DoNotOptimize(inside);
    state.SetItemsProcessed(state.iterations());
    state.counters["calls/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PointInPolygon10000)->Unit(benchmark::kMicrosecond);

} // namespace
