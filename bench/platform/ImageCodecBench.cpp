#include "platform/image/BmpCodec.h"
#include "platform/image/DibPixels.h"
#include "platform/image/JpegCodec.h"
#include "platform/image/PngCodec.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A 640 x 480 page-like picture (the largest default export): soft gradients with hard-edged shapes.
pq::CDibSection MakePage() {
    pq::CDibSection image;
    (void)image.Create(640, 480, 24);
    for (int32_t y = 0; y < 480; ++y) {
        auto row = pq::GetRowFromTop(image, y);
        for (int32_t x = 0; x < 640; ++x) {
            const bool inside = (x / 40 + y / 40) % 3 == 0;
            row[3 * x] = inside ? 30 : static_cast<uint8_t>(x * 255 / 639);
            row[3 * x + 1] = inside ? 60 : static_cast<uint8_t>(y * 255 / 479);
            row[3 * x + 2] = inside ? 200 : 240;
        }
    }
    return image;
}

void BM_EncodeJpegPage(benchmark::State& state) {
    const pq::CDibSection page = MakePage();
    std::vector<uint8_t> file;
    for (auto _ : state) {
        (void)pq::EncodeJpeg(page, 100, file);
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_EncodeJpegPage)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegPage(benchmark::State& state) {
    std::vector<uint8_t> file;
    (void)pq::EncodeJpeg(MakePage(), 100, file);
    pq::CDibSection image;
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::DecodeJpeg(file, image).ok);
}
BENCHMARK(BM_DecodeJpegPage)->Unit(benchmark::kMillisecond);

void BM_EncodeBmpPage(benchmark::State& state) {
    const pq::CDibSection page = MakePage();
    std::vector<uint8_t> file;
    for (auto _ : state) {
        (void)pq::EncodeBmp(page, file);
        benchmark::DoNotOptimize(file.data());
    }
}
BENCHMARK(BM_EncodeBmpPage)->Unit(benchmark::kMillisecond);

void BM_DecodeBmpPage(benchmark::State& state) {
    std::vector<uint8_t> file;
    (void)pq::EncodeBmp(MakePage(), file);
    pq::CDibSection image;
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::DecodeBmp(file, image).ok);
}
BENCHMARK(BM_DecodeBmpPage)->Unit(benchmark::kMillisecond);

// A rendered page at print size (1748 x 2480, 32 bits as the renderer leaves it): a thousand discs of
// flat colour on white with edges blended over a pixel.
pq::CDibSection MakeRenderedPage() {
    constexpr int32_t kWidth = 1748, kHeight = 2480;
    pq::CDibSection image;
    (void)image.Create(kWidth, kHeight, 32);
    std::fill(image.GetBits().begin(), image.GetBits().end(), uint8_t{255});
    uint32_t state = 7;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int32_t>((state >> 8) % range);
    };
    for (int disc = 0; disc < 1000; ++disc) {
        const int32_t cx = next(kWidth), cy = next(kHeight), radius = 5 + next(80);
        const uint8_t colour[3] = {static_cast<uint8_t>(next(256)), static_cast<uint8_t>(next(256)),
                                   static_cast<uint8_t>(next(256))};
        for (int32_t y = std::max(0, cy - radius - 1); y < std::min(kHeight, cy + radius + 2); ++y) {
            auto row = pq::GetRowFromTop(image, y);
            for (int32_t x = std::max(0, cx - radius - 1); x < std::min(kWidth, cx + radius + 2); ++x) {
                const double outside = std::hypot(x - cx, y - cy) - radius;
                const int cover = outside <= -0.5  ? 256
                                  : outside >= 0.5 ? 0
                                                   : static_cast<int>((0.5 - outside) * 256);
                for (int c = 0; c < 3; ++c) {
                    uint8_t& p = row[4 * static_cast<std::size_t>(x) + c];
                    p = static_cast<uint8_t>((colour[c] * cover + p * (256 - cover)) >> 8);
                }
            }
        }
    }
    return image;
}

// Writing the gradient page and a rendered print page; bytes is the file's size.
void BM_EncodePng(benchmark::State& state) {
    const pq::CDibSection page = state.range(0) == 0 ? MakePage() : MakeRenderedPage();
    std::vector<uint8_t> file;
    for (auto _ : state) {
        (void)pq::EncodePng(page, file);
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_EncodePng)->ArgName("rendered")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DecodePngPage(benchmark::State& state) {
    std::vector<uint8_t> file;
    (void)pq::EncodePng(MakePage(), file);
    pq::CDibSection image;
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::DecodePng(file, image).ok);
}
BENCHMARK(BM_DecodePngPage)->Unit(benchmark::kMillisecond);

} // namespace
