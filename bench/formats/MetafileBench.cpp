#include "bench/BusyPage.h"
#include "formats/metafile/Metafile.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>

#include <string>

namespace pq {
namespace {

// 10000 paths and 200 three-line texts on one page, written once for the reading benchmarks.
struct Fixture {
    Fixture() {
        InstallFontTextMetrics();
        bench::BuildBusyPaths(drawing, 7, false);
        for (int i = 0; i < 200; ++i) {
            auto object = std::make_unique<CGraphicObject>(kKindText);
            CTextShape* text = object->AsText();
            text->text = u"Line one\r\nsecond line\r\nthe third " +
                         std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
            text->faceName = u"Liberation Sans";
            text->position = {-700.0f + static_cast<float>(i % 20) * 70.0f,
                              -1000.0f + static_cast<float>(i / 20) * 200.0f};
            object->RecalcBounds();
            drawing.Add(std::move(object));
        }
        file = CMetafile::ExportToMemory(drawing, 0);
    }
    CDrawing drawing;
    std::vector<uint8_t> file;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_WriteEmfBusyPage(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        std::vector<uint8_t> bytes = CMetafile::ExportToMemory(f.drawing, 0);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.file.size()));
}
BENCHMARK(BM_WriteEmfBusyPage)->Unit(benchmark::kMillisecond);

void BM_ReadEmfBusyPage(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        CDrawing drawing;
        benchmark::DoNotOptimize(CMetafile().ImportFromMemory(f.file, drawing));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.file.size()));
}
BENCHMARK(BM_ReadEmfBusyPage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
