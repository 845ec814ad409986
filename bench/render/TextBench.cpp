#include "geometry/ViewMapping.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "platform/DeviceContext.h"
#include "render/FontTextMetrics.h"
#include "render/PageRenderer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace pq {
namespace {

// Seeded words of 1 to 12 letters separated by single spaces: one long hard line, as pasted prose is.
std::u16string Prose(std::size_t length) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> letter(0, 25), wordLength(1, 12);
    std::u16string s;
    while (s.size() < length) {
        if (!s.empty())
            s += u' ';
        const int n = wordLength(random);
        for (int i = 0; i < n; ++i)
            s += static_cast<char16_t>(u'a' + letter(random));
    }
    s.resize(length);
    return s;
}

// Paints a page holding one paragraph of range(0) characters, 20 units high, in a frame 1000 units wide
// and tall enough for every line, into a 1280 x 800 window: at 1:1 (range(1) = 0), where the window shows
// the first lines, or zoomed out to show every line (range(1) = 1).
void BM_PaintLongParagraph(benchmark::State& state) {
    InstallFontTextMetrics();
    CDrawing drawing;
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* text = object->AsText();
    text->text = Prose(static_cast<std::size_t>(state.range(0)));
    text->faceName = u"Arial";
    text->height = 20.0f;
    text->mode = kTextParagraph;
    text->position = {-600.0f, -1000.0f};
    text->corner = {400.0f, 20000.0f};
    object->RecalcBounds();
    drawing.Add(std::move(object));

    CDibSection bitmap;
    bitmap.Create(1280, 800, 24);
    CDeviceContext dc(&bitmap);
    CViewMapping mapping;
    const bool whole = state.range(1) != 0;
    mapping.SetScale(whole ? 0.035f : 1.0f);
    mapping.SetOrigins(-640.0f, -1020.0f, 0, 0);
    for (auto _ : state) {
        DrawPage(drawing, 0, dc, mapping, CRect{0, 0, 1280, 800}, PaintThreads::One);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(state.range(0)) + " characters on one hard line, " +
                   (whole ? "every line shown" : "the first lines shown"));
    SetTextMetrics(nullptr);
}
BENCHMARK(BM_PaintLongParagraph)
    ->ArgNames({"characters", "whole"})
    ->Args({5500, 0})
    ->Args({22000, 0})
    ->Args({5500, 1})
    ->Args({22000, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
