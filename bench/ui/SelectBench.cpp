#include "bench/BusyPage.h"
#include "bench/ui/BenchWindow.h"
#include "document/PqxDoc.h"
#include "ui/tools/SelectTool.h"
#include "ui/view/PqxView.h"
#include "ui/view/ViewCommands.h"

#include <benchmark/benchmark.h>

#include <random>

namespace pq {
namespace {

// The busy page of 10000 paths fitted into the window, painted once, with the select tool current.
struct CBusyView {
    CBusyView() : view(&window) {
        bench::BuildBusyPaths(doc.GetDrawing(), 11, true);
        view.SetDocument(&doc);
        view.OnUpdate();
        view.OnCommand(cmd::kFitPage);
        view.OnPaint();
        view.OnPaint();
        view.SetTool(ToolKind::Select);
    }
    CSelectTool& Tool() { return *static_cast<CSelectTool*>(view.GetTool(ToolKind::Select)); }

    bench::CBenchWindow window{1280, 800};
    CPqxDoc doc;
    CPqxView view;
};

// The object hit test of a tap (both passes, topmost first) at seeded points over the page.
void BM_SelectHitTestTap(benchmark::State& state) {
    CBusyView busy;
    std::mt19937 random(5);
    std::uniform_int_distribution<int> x(0, 1279), y(0, 799);
    std::vector<CPoint> taps(256);
    for (CPoint& p : taps)
        p = {x(random), y(random)};
    std::size_t next = 0;
    int hits = 0;
    for (auto _ : state) {
        const int index = busy.Tool().HitTestObject(taps[next++ % taps.size()]);
        hits += index >= 0 ? 1 : 0;
        benchmark::DoNotOptimize(index);
    }
    state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SelectHitTestTap)->Unit(benchmark::kMicrosecond);

// One feedback frame of a move: the snapshot copied, the outlines of the selected objects drawn in XOR
// and the frame shown, for range(0) selected objects.
void BM_SelectMoveFeedbackFrame(benchmark::State& state) {
    CBusyView busy;
    for (int i = 0; i < state.range(0); ++i)
        busy.view.SelectObject(i * (10000 / static_cast<int>(state.range(0))));
    busy.view.OnPaint();
    const CPoint grip = busy.Tool().HandlePoints()[CSelectTool::kHandleCentre];
    busy.view.OnLButtonDown(kKeyFlagLButton, grip);
    if (busy.Tool().GetMode() != CSelectTool::kModeMove)
        state.SkipWithError("the centre handle did not start a move");
    int step = 0;
    for (auto _ : state) {
        ++step;
        busy.view.OnMouseMove(kKeyFlagLButton, grip + CPoint{step % 40, step % 25});
        benchmark::ClobberMemory();
    }
    busy.view.OnLButtonUp(0, grip);
}
BENCHMARK(BM_SelectMoveFeedbackFrame)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
