#include "../BusyPage.h"
#include "formats/svg/SvgFile.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>

#include <string>

namespace pq {
namespace {

// The busy page (10000 paths) with a hundred texts, written once for the reading benchmark.
struct Fixture {
    Fixture() {
        InstallFontTextMetrics();
        bench::BuildBusyPaths(drawing, 7, false);
        for (int i = 0; i < 100; ++i) {
            auto object = std::make_unique<CGraphicObject>(kKindText);
            CTextShape* text = object->AsText();
            text->text = u"Text number " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                         u" in a paragraph that wraps";
            text->faceName = u"Liberation Sans";
            text->position = {-700.0f + static_cast<float>(i % 10) * 140.0f,
                              -1000.0f + static_cast<float>(i / 10) * 200.0f};
            text->corner = text->position + CPointF{130.0f, 180.0f};
            text->height = 30.0f;
            text->mode = i % 2 == 0 ? kTextParagraph : kTextArtistic;
            object->RecalcBounds();
            drawing.Add(std::move(object));
        }
        CSvgFile().WriteToMemory(file, drawing, 0);
    }
    CDrawing drawing;
    std::string file;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_SvgWriteBusyPage(benchmark::State& state) {
    Fixture& f = Shared();
    std::string out;
    for (auto _ : state) {
        CSvgFile().WriteToMemory(out, f.drawing, 0);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.file.size()));
}
BENCHMARK(BM_SvgWriteBusyPage)->Unit(benchmark::kMillisecond);

void BM_SvgReadBusyPage(benchmark::State& state) {
    Fixture& f = Shared();
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(f.file.data()), f.file.size());
    for (auto _ : state) {
        CDrawing drawing;
        CSvgFile().ReadFromMemory(bytes, drawing);
        benchmark::DoNotOptimize(drawing.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.file.size()));
}
BENCHMARK(BM_SvgReadBusyPage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
