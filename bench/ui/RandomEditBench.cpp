#include "bench/ui/BenchWindow.h"
#include "document/PqxDoc.h"
#include "ui/tools/SelectTool.h"
#include "ui/view/PqxView.h"
#include "ui/view/ViewCommands.h"

#include <benchmark/benchmark.h>

#include <array>
#include <random>

namespace pq {
namespace {

// Seeded random edits as a user makes them in a 1280 x 800 window: shapes drawn with the tools, objects
// tapped and banded, selections moved, scaled and rotated, arranged, combined, pasted, undone and redone.
// One iteration is one edit (each gesture a press, four moves and a release); the page is cleared when it
// passes 60 objects, so the cost per edit does not drift with the drawing's size.
class CRandomEdits {
public:
    CRandomEdits() : window(1280, 800), view(&window) {
        view.SetDocument(&doc);
        view.OnUpdate();
        view.OnCommand(cmd::kFitPage);
        view.OnPaint();
    }

    void Edit() {
        if (doc.GetDrawing().Count() > 60) {
            view.SetTool(ToolKind::Select);
            view.OnCommand(cmd::kSelectAll);
            view.OnCommand(cmd::kDelete);
        }
        const int pick = Pick(0, 15);
        if (pick < 4) {
            static constexpr std::array kinds{ToolKind::Line, ToolKind::Rectangle, ToolKind::Ellipse,
                                              ToolKind::Freehand};
            view.SetTool(kinds[static_cast<std::size_t>(pick)]);
            const CPoint from = AnyPoint();
            Drag(from, {from.x + Pick(-200, 200), from.y + Pick(-150, 150)});
        } else if (pick < 7) {
            view.SetTool(ToolKind::Select);
            const CPoint from = AnyPoint();
            Drag(from, pick == 4 ? from : CPoint{from.x + Pick(-400, 400), from.y + Pick(-300, 300)});
        } else if (pick < 10) {
            view.SetTool(ToolKind::Select);
            if (!view.GetSelection().empty()) {
                auto& tool = *static_cast<CSelectTool*>(view.GetTool(ToolKind::Select));
                const CPoint at =
                    tool.HandlePoints()[static_cast<std::size_t>(std::array{8, 4, 2}[pick - 7])];
                Drag(at, {at.x + Pick(-100, 100), at.y + Pick(-100, 100)});
            }
        } else {
            static constexpr std::array commands{cmd::kGroup, cmd::kAlignLeft, cmd::kJoin,
                                                 cmd::kCopy,  cmd::kPaste,     cmd::kUndo};
            view.OnCommand(commands[static_cast<std::size_t>(pick - 10)]);
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    CPoint AnyPoint() { return {Pick(20, 1260), Pick(20, 780)}; }
    void Drag(CPoint from, CPoint to) {
        view.OnLButtonDown(kKeyFlagLButton, from);
        for (int k = 1; k <= 4; ++k)
            view.OnMouseMove(kKeyFlagLButton,
                             {from.x + (to.x - from.x) * k / 4, from.y + (to.y - from.y) * k / 4});
        view.OnLButtonUp(0, to);
    }

    bench::CBenchWindow window;
    CPqxDoc doc;
    CPqxView view;
    std::mt19937 random{11};
};

void BM_RandomEdit(benchmark::State& state) {
    CRandomEdits edits;
    for (auto _ : state)
        edits.Edit();
}
BENCHMARK(BM_RandomEdit)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pq
