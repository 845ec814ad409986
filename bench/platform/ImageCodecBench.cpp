#include "platform/image/BmpCodec.h"
#include "platform/image/DibPixels.h"
#include "platform/image/JpegCodec.h"
#include "platform/image/PngCodec.h"

#include <benchmark/benchmark.h>

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

void BM_DecodePngPage(benchmark::State& state) {
    std::vector<uint8_t> file;
    (void)pq::EncodePng(MakePage(), file);
    pq::CDibSection image;
    for (auto _ : state)
        benchmark::DoNotOptimize(pq::DecodePng(file, image).ok);
}
BENCHMARK(BM_DecodePngPage)->Unit(benchmark::kMillisecond);

} // namespace
