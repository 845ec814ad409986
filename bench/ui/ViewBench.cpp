#include "bench/BusyPage.h"
#include "bench/ui/BenchWindow.h"
#include "document/PqxDoc.h"
#include "geometry/Ellipse.h"
#include "model/GraphicObject.h"
#include "ui/view/PqxView.h"
#include "ui/view/ViewCommands.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace pq {
namespace {

// One paint of the page into a 1280 x 800 window: the page fitted (range 1), or 8 times closer about
// the page centre (range 8), with the grid on when range(1) is 1 and every pen one pixel wide when range(2)
// is 1 (wide pens are most of the cost of the fitted paint), with aliased edges when range(3) is 1.
void BM_PaintBusyPage(benchmark::State& state) {
    bench::CBenchWindow window(1280, 800);
    CPqxDoc doc;
    bench::BuildBusyPaths(doc.GetDrawing(), 11, state.range(2) != 0);
    CPqxView view(&window);
    view.SetDocument(&doc);
    view.SetSmoothEdges(state.range(3) == 0);
    view.OnUpdate();
    view.OnCommand(cmd::kFitPage);
    view.OnPaint();
    for (int i = 1; i < state.range(0); i *= 2)
        view.ZoomIn();
    if (state.range(1) != 0)
        view.OnCommand(cmd::kGrid);
    for (auto _ : state) {
        view.RepaintAll(); // as after an edit: the whole page is drawn again
        view.OnPaint();
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(state.range(0) == 1 ? "fit page" : "8x") + (state.range(1) ? ", grid" : "") +
                   (state.range(2) ? ", thin pens" : "") + (state.range(3) ? ", aliased" : ""));
}
BENCHMARK(BM_PaintBusyPage)
    ->Args({1, 0, 0, 0})
    ->Args({8, 0, 0, 0})
    ->Args({1, 1, 0, 0})
    ->Args({1, 0, 1, 0})
    ->Args({8, 0, 1, 0})
    ->Args({1, 0, 0, 1})
    ->Args({1, 0, 1, 1})
    ->UseRealTime() // a busy page is drawn by two threads: the wait is what counts
    ->Unit(benchmark::kMillisecond);

// Paints of the busy page fitted into 1280 x 800 that change nothing on it (range 0: an exposure or a tool's
// feedback), follow a turn of the wheel by one line (range 1: scrolled by 20 pixels), follow an edit of
// one object (range 2: Bold Line toggled on object 5000), follow the undo of that edit (range 3: the edit
// and its paint are not timed), follow an edit of every object (range 4: Bold Line toggled on all) or
// follow a rectangle drawn with the Rectangle tool (range 5: its undo and that paint are not timed) or
// follow the undo of a Bring to Front of two objects apart (range 6: the command and its paint are not
// timed), with smooth edges.
void BM_RepaintBusyPage(benchmark::State& state) {
    bench::CBenchWindow window(1280, 800);
    CPqxDoc doc;
    bench::BuildBusyPaths(doc.GetDrawing(), 11, false);
    CPqxView view(&window);
    view.SetDocument(&doc);
    view.OnUpdate();
    view.OnCommand(cmd::kFitPage);
    view.OnPaint();
    view.OnPaint();
    float direction = 1.0f;
    if (state.range(0) >= 2) {
        view.SetTool(ToolKind::Select);
        view.GetSelection() = {5000};
    }
    if (state.range(0) == 4)
        view.OnCommand(cmd::kSelectAll);
    for (auto _ : state) {
        if (state.range(0) == 2 || state.range(0) == 4) {
            view.OnCommand(cmd::kLineBold);
        } else if (state.range(0) == 3) {
            state.PauseTiming();
            view.GetSelection() = {5000};
            view.OnCommand(cmd::kLineBold);
            view.OnPaint();
            state.ResumeTiming();
            view.OnCommand(cmd::kUndo);
        } else if (state.range(0) == 6) {
            state.PauseTiming();
            view.GetSelection() = {3000, 7000};
            view.OnCommand(cmd::kBringToFront);
            view.OnPaint();
            state.ResumeTiming();
            view.OnCommand(cmd::kUndo);
        } else if (state.range(0) == 5) {
            view.SetTool(ToolKind::Rectangle);
            view.OnLButtonDown(kKeyFlagLButton, CPoint{600, 380});
            view.OnMouseMove(kKeyFlagLButton, CPoint{640, 410});
            view.OnLButtonUp(0, CPoint{660, 420});
            view.OnPaint();
            state.PauseTiming();
            view.SetTool(ToolKind::Select);
            view.OnCommand(cmd::kUndo);
            view.OnPaint();
            state.ResumeTiming();
            continue;
        } else if (state.range(0) == 1) {
            CWheelEvent wheel;
            wheel.linesPerNotch = 1;
            wheel.notches = direction;
            direction = -direction;
            view.OnMouseWheel(wheel);
        }
        view.OnPaint();
        benchmark::ClobberMemory();
    }
    static constexpr const char* kLabels[] = {"nothing changed",
                                              "after a wheel line",
                                              "after an edit of one object",
                                              "after undo of an edit of one object",
                                              "after an edit of every object",
                                              "after a rectangle drawn",
                                              "after undo of Bring to Front of two objects apart"};
    state.SetLabel(kLabels[state.range(0)]);
}
BENCHMARK(BM_RepaintBusyPage)->DenseRange(0, 6)->UseRealTime()->Unit(benchmark::kMillisecond);

// The view's own share of a paint: the desk, the page frame and the copy to the window, with no objects.
void BM_PaintEmptyPage(benchmark::State& state) {
    bench::CBenchWindow window(1280, 800);
    CPqxDoc doc;
    CPqxView view(&window);
    view.SetDocument(&doc);
    view.OnUpdate();
    view.OnCommand(cmd::kFitPage);
    view.OnPaint();
    for (auto _ : state) {
        view.OnPaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintEmptyPage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
