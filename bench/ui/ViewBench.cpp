#include "bench/BusyPage.h"
#include "document/PqxDoc.h"
#include "geometry/Ellipse.h"
#include "model/GraphicObject.h"
#include "platform/WindowHost.h"
#include "ui/view/PqxView.h"
#include "ui/view/ViewCommands.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace pq {
namespace {

// A window of a fixed size that only keeps its front buffer.
class CBenchWindow : public IWindowHost {
public:
    CBenchWindow(int width, int height) : client{0, 0, width, height} { front.Create(width, height, 24); }
    void Invalidate() override {}
    void InvalidateRect(const CRect&) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}
    [[nodiscard]] bool HasCapture() const override { return false; }
    bool SetTimer(int, int) override { return true; }
    void KillTimer(int) override {}
    [[nodiscard]] CRect GetClientRect() const override { return client; }
    void PostCommand(int) override {}
    void MessageBox(std::string_view) override {}
    int TrackPopupMenu(std::span<const CMenuItem>, CPoint, MenuAnchor) override { return 0; }
    [[nodiscard]] std::optional<CRect> GetCommandButtonRect(int) const override { return std::nullopt; }
    [[nodiscard]] bool IsInputPending() const override { return false; }
    bool RecognizeTapAndHold(CPoint) override { return false; }
    void SetCursor(CursorShape) override {}
    void SetScrollRange(ScrollBarAxis, int, int) override {}
    void SetScrollPos(ScrollBarAxis, int) override {}
    void RefreshPageIndicator(int, int) override {}
    void SetToolButtonState(int, bool) override {}
    [[nodiscard]] CDibSection& GetFrontBuffer() override { return front; }
    void MarkDamaged(const CRect&) override {}

private:
    CRect client;
    CDibSection front;
};

// One paint of the page into a 1280 x 800 window: the page fitted (range 1), or 8 times closer about
// the page centre (range 8), with the grid on when range(1) is 1 and every pen one pixel wide when range(2)
// is 1 (wide pens are most of the cost of the fitted paint).
void BM_PaintBusyPage(benchmark::State& state) {
    CBenchWindow window(1280, 800);
    CPqxDoc doc;
    bench::BuildBusyPaths(doc.GetDrawing(), 11, state.range(2) != 0);
    CPqxView view(&window);
    view.SetDocument(&doc);
    view.OnUpdate();
    view.OnCommand(cmd::kFitPage);
    view.OnPaint();
    for (int i = 1; i < state.range(0); i *= 2)
        view.ZoomIn();
    if (state.range(1) != 0)
        view.OnCommand(cmd::kGrid);
    for (auto _ : state) {
        view.OnPaint();
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(state.range(0) == 1 ? "fit page" : "8x") + (state.range(1) ? ", grid" : "") +
                   (state.range(2) ? ", thin pens" : ""));
}
BENCHMARK(BM_PaintBusyPage)
    ->Args({1, 0, 0})
    ->Args({8, 0, 0})
    ->Args({1, 1, 0})
    ->Args({1, 0, 1})
    ->Args({8, 0, 1})
    ->UseRealTime() // a busy page is drawn by two threads: the wait is what counts
    ->Unit(benchmark::kMillisecond);

// The view's own share of a paint: the desk, the page frame and the copy to the window, with no objects.
void BM_PaintEmptyPage(benchmark::State& state) {
    CBenchWindow window(1280, 800);
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
