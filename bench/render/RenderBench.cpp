#include "bench/BusyPage.h"
#include "geometry/Ellipse.h"
#include "geometry/ViewMapping.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "platform/DeviceContext.h"
#include "render/FontTextMetrics.h"
#include "render/HiddenObjects.h"
#include "render/PageRenderer.h"
#include "render/TextLayout.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace pq {
namespace {

// A 1480 x 2100 page of 10000 seeded paths and 500 texts, some turned, some paragraphs.
void BuildBusyPage(CDrawing& drawing) {
    bench::BuildBusyPaths(drawing, 7, false);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-740.0f, 700.0f), y(-1050.0f, 1000.0f);
    for (int i = 0; i < 500; ++i) {
        auto object = std::make_unique<CGraphicObject>(kKindText);
        CTextShape* text = object->AsText();
        text->text = i % 5 == 0 ? u"Paragraph text that wraps inside its frame" : u"Label\r\nsecond line";
        text->faceName = u"Arial";
        text->height = 20.0f + static_cast<float>(i % 40);
        text->position = {x(random), y(random)};
        text->corner = text->position + CPointF{300.0f, 150.0f};
        text->mode = i % 5 == 0 ? kTextParagraph : kTextArtistic;
        text->angle = i % 7 == 0 ? 30.0f : 0.0f;
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
}

void BM_RenderPageToBitmap(benchmark::State& state) {
    InstallFontTextMetrics();
    CDrawing drawing;
    BuildBusyPage(drawing);
    for (auto _ : state) {
        auto bitmap = RenderPageToBitmap(drawing, 0, 1480, 2100, state.range(0) != 0);
        benchmark::DoNotOptimize(bitmap);
    }
    state.SetLabel(state.range(0) != 0 ? "10000 paths + 500 texts, anti-aliased" : "10000 paths + 500 texts");
    SetTextMetrics(nullptr);
}
BENCHMARK(BM_RenderPageToBitmap)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The busy page fitted into a 1280 x 800 window, drawn by one thread (0) or split between two (1), with
// aliased (0) or smooth (1) edges.
void BM_DrawPageThreads(benchmark::State& state) {
    CDrawing drawing;
    bench::BuildBusyPaths(drawing, 11, false);
    CDibSection bitmap;
    bitmap.Create(1280, 800, 24);
    CDeviceContext dc(&bitmap);
    CViewMapping mapping;
    mapping.FitRect(CRectF{-740.0f, 740.0f, -1050.0f, 1050.0f}, CRect{0, 0, 1280, 800});
    const PaintThreads threads = state.range(0) != 0 ? PaintThreads::Automatic : PaintThreads::One;
    const EdgeStyle edges = state.range(1) != 0 ? EdgeStyle::Smooth : EdgeStyle::Aliased;
    for (auto _ : state) {
        DrawPage(drawing, 0, dc, mapping, CRect{0, 0, 1280, 800}, threads, edges);
        benchmark::ClobberMemory();
    }
    // The objects later opaque fills hide, which the paint leaves out.
    state.counters["hidden"] =
        static_cast<double>(CountHiddenObjects(drawing, 0, dc, mapping, CRect{0, 0, 1280, 800}, edges));
}
BENCHMARK(BM_DrawPageThreads)
    ->ArgNames({"split", "smooth"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_MeasureTextBlock(benchmark::State& state) {
    InstallFontTextMetrics();
    std::vector<CTextShape> texts(1000);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i].text = u"Measured string number " + std::u16string(i % 20, u'x') + u"\r\nand a second line";
        texts[i].faceName = i % 3 == 0 ? u"Times New Roman" : u"Arial";
        texts[i].height = 30.0f + static_cast<float>(i % 50);
        texts[i].style = static_cast<int32_t>(i % 4);
    }
    for (auto _ : state)
        for (const CTextShape& text : texts)
            benchmark::DoNotOptimize(MeasureTextBlock(text));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
    state.SetLabel("1000 strings, mixed faces and sizes");
    SetTextMetrics(nullptr);
}
BENCHMARK(BM_MeasureTextBlock)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
