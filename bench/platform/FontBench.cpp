#include "platform/Font.h"
#include "platform/TextRaster.h"

#include <benchmark/benchmark.h>

namespace pq {
namespace {

CLogFont SansFont(int32_t height, int32_t escapement = 0) {
    CLogFont logFont;
    logFont.height = height;
    logFont.escapement = escapement;
    logFont.faceName = u"DejaVu Sans";
    return logFont;
}

// Text measuring creates a font per measure; the face lookup and file are shared, so this is the cost
// of a size object and the metrics.
void BM_CreateFont(benchmark::State& state) {
    int32_t height = 10;
    for (auto _ : state) {
        CFont font;
        benchmark::DoNotOptimize(font.Create(SansFont(-height)));
        height = height == 60 ? 10 : height + 1;
    }
}
BENCHMARK(BM_CreateFont);

void BM_TextExtent(benchmark::State& state) {
    CFont font;
    font.Create(SansFont(-71));
    const std::u16string text = u"The quick brown fox jumps over the lazy dog 0123456789";
    for (auto _ : state)
        benchmark::DoNotOptimize(font.GetTextExtent(text));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextExtent);

void BM_RenderTextLine(benchmark::State& state) {
    CFont font;
    font.Create(SansFont(-static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1))));
    CDibSection dib;
    dib.Create(800, 600, 24);
    const std::u16string text = u"The quick brown fox jumps over the lazy dog";
    for (auto _ : state)
        benchmark::DoNotOptimize(RenderTextLine(dib, font, {20, 300}, text, CTextRasterOptions{}));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_RenderTextLine)->Args({16, 0})->Args({16, 450})->Args({48, 0})->Args({48, 300});

} // namespace
} // namespace pq
