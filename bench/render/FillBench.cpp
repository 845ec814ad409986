#include "render/PolyPolyFill.h"

#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace {

using pq::CPoint;

constexpr int32_t kPageWidth = 1480;
constexpr int32_t kPageHeight = 2100;

// A shape of one to four subpaths: jagged rings around nearby centres, like the flattened outlines of
// letters, blobs and rings that a page holds.
struct CShapeInput {
    std::vector<CPoint> points;
    std::vector<int32_t> counts;
};

std::vector<CShapeInput> MakeShapes(int count, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<CShapeInput> shapes(static_cast<std::size_t>(count));
    for (CShapeInput& shape : shapes) {
        const double cx = unit(random) * kPageWidth, cy = unit(random) * kPageHeight;
        const double size = 10.0 + 290.0 * unit(random) * unit(random);
        const int subpaths = 1 + static_cast<int>(random() % 4);
        for (int s = 0; s < subpaths; ++s) {
            const int n = 8 + static_cast<int>(random() % 120);
            const double ox = cx + (unit(random) - 0.5) * size, oy = cy + (unit(random) - 0.5) * size;
            const double radius = size * (0.3 + 0.7 * unit(random));
            for (int i = 0; i < n; ++i) {
                const double a = 2.0 * std::numbers::pi * i / n;
                const double r = radius * (0.6 + 0.4 * unit(random));
                shape.points.emplace_back(static_cast<int32_t>(std::lround(ox + r * std::cos(a))),
                                          static_cast<int32_t>(std::lround(oy + r * std::sin(a))));
            }
            shape.counts.push_back(n);
        }
    }
    return shapes;
}

// Fill rate of the filler on a page-sized bitmap: items are shapes, bytes stand for filled pixels
// (reported as "bytes_per_second", read it as pixels per second).
void BM_PolyPolyFill(benchmark::State& state) {
    const std::vector<CShapeInput> shapes = MakeShapes(2000, 1234);
    pq::CDibSection page;
    page.Create(kPageWidth, kPageHeight, 24);
    const bool dotted = state.range(0) != 0;
    std::size_t pixels = 0;
    for (auto _ : state) {
        pixels = 0;
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            pq::CPolyPolyFill filler;
            filler.Fill(page, shapes[i].points, shapes[i].counts, static_cast<uint32_t>(i * 0x010203),
                        dotted);
            pixels += filler.GetSpanPixelCount();
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(shapes.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels));
    state.counters["pixels_per_pass"] = static_cast<double>(pixels);
    state.counters["pixels_per_second"] = benchmark::Counter(
        static_cast<double>(pixels) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PolyPolyFill)->Arg(0)->Arg(1)->ArgName("dotted")->Unit(benchmark::kMillisecond);

// Random polylines across the page with a one-pixel or a wide pen; items are segments.
void BM_Polyline(benchmark::State& state) {
    std::mt19937 random(99);
    std::vector<std::vector<CPoint>> lines(500);
    for (auto& line : lines) {
        CPoint p(static_cast<int32_t>(random() % kPageWidth), static_cast<int32_t>(random() % kPageHeight));
        for (int i = 0; i < 40; ++i) {
            line.push_back(p);
            p = CPoint(p.x + static_cast<int32_t>(random() % 201) - 100,
                       p.y + static_cast<int32_t>(random() % 201) - 100);
        }
    }
    pq::CDibSection page;
    page.Create(kPageWidth, kPageHeight, 24);
    pq::CDeviceContext dc(&page);
    dc.SelectPen(pq::CPen{pq::kPenSolid, static_cast<int>(state.range(0)), 0x203040});
    dc.SetROP2(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        for (const auto& line : lines)
            dc.Polyline(line);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size() * 39));
}
BENCHMARK(BM_Polyline)
    ->Args({1, pq::kR2CopyPen})
    ->Args({1, pq::kR2XorPen})
    ->Args({6, pq::kR2CopyPen})
    ->Args({6, pq::kR2XorPen})
    ->ArgNames({"width", "rop2"})
    ->Unit(benchmark::kMillisecond);

// Even-odd polygon fill through the device context, for comparison with the filler.
void BM_DeviceContextPolygon(benchmark::State& state) {
    const std::vector<CShapeInput> shapes = MakeShapes(2000, 1234);
    pq::CDibSection page;
    page.Create(kPageWidth, kPageHeight, 24);
    pq::CDeviceContext dc(&page);
    dc.SelectPen(pq::CPen{pq::kPenNull});
    for (auto _ : state) {
        for (const CShapeInput& shape : shapes)
            dc.Polygon(
                std::span<const CPoint>(shape.points.data(), static_cast<std::size_t>(shape.counts[0])));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(shapes.size()));
}
BENCHMARK(BM_DeviceContextPolygon)->Unit(benchmark::kMillisecond);

} // namespace
