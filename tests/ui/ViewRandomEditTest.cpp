// Ten thousand seeded edits through the tools and commands a user has: drawing, selecting, moving,
// scaling, rotating, duplicating, grouping, joining, breaking apart, aligning, ordering, deleting,
// pasting, page edits, undo and redo. After every edit the drawing keeps its invariants; after every run
// of edits, undoing all of them gives back the exact drawing the run began with, and redoing them the
// drawing it reached (object records byte-equal, groups as partitions). The history is emptied between
// runs so that its size limit never trims a step a run needs.

#include "ViewTestSetup.h"

#include "ui/tools/SelectTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace pq::test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class ViewRandomEditor {
public:
    explicit ViewRandomEditor(unsigned seed) : random(seed) {
        setup.Open();
        setup.Paint();
    }

    void Run(int steps, int stepsPerRun) {
        for (int done = 0; done < steps;) {
            View().GetUndoRecorder().Clear();
            const DrawingSnapshot first = Snapshot(Drawing());
            const int run = std::min(stepsPerRun, steps - done);
            runSteps.clear();
            for (int k = 0; k < run; ++k, ++done) {
                const DrawingSnapshot before = Snapshot(Drawing());
                const int undoable = View().GetUndoRecorder().CanUndo();
                const char* name = Step();
                runSteps += std::string(name) + " ";
                SCOPED_TRACE(::testing::Message() << "step " << done << ": " << name);
                CheckInvariants();
                if (View().GetUndoRecorder().CanUndo() > undoable)
                    UndoAndRedoTheStep(before);
                if (::testing::Test::HasFailure())
                    return;
            }
            UndoAndRedoTheRun(first, done);
            if (::testing::Test::HasFailure())
                return;
        }
    }

    int Undos() const { return undos; }

private:
    CPqxView& View() { return setup.view; }
    CDrawing& Drawing() { return setup.Drawing(); }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    CPoint AnyPoint() { return {Pick(4, kWidth - 4), Pick(4, kHeight - 4)}; }

    void Drag(CPoint from, CPoint to, unsigned keys = 0) { setup.Drag(from, to, keys); }

    const char* Draw() {
        static constexpr ToolKind kinds[] = {ToolKind::Line, ToolKind::Rectangle, ToolKind::Ellipse,
                                             ToolKind::Freehand};
        const ToolKind kind = kinds[Pick(0, 3)];
        View().SetTool(kind);
        if (kind == ToolKind::Freehand) {
            const CPoint start = AnyPoint();
            View().OnLButtonDown(kKeyFlagLButton, start);
            for (int k = 1; k <= 12; ++k)
                View().OnMouseMove(kKeyFlagLButton, {start.x + 5 * k, start.y + Pick(-12, 12)});
            View().OnLButtonUp(0, {start.x + 65, start.y});
            return "freehand";
        }
        const CPoint from = AnyPoint();
        Drag(from, {from.x + Pick(-120, 120), from.y + Pick(-90, 90)});
        return "shape";
    }

    CSelectTool& SelectTool() {
        View().SetTool(ToolKind::Select);
        return *static_cast<CSelectTool*>(View().GetTool(ToolKind::Select));
    }

    // An object of the current page to aim at, or -1.
    int AnyObjectOnThePage() {
        std::vector<int> onPage;
        for (int i = 0; i < Drawing().Count(); ++i)
            if (Drawing().GetAt(i)->page == View().GetCurrentPage())
                onPage.push_back(i);
        return onPage.empty() ? -1 : onPage[static_cast<std::size_t>(Pick(0, int(onPage.size()) - 1))];
    }

    const char* Select() {
        SelectTool();
        const unsigned keys =
            std::array<unsigned, 3>{0, kKeyFlagControl, kKeyFlagControl | kKeyFlagShift}[Pick(0, 2)];
        const int target = Pick(0, 3) == 0 ? -1 : AnyObjectOnThePage();
        const CViewMapping& mapping = View().GetMapping();
        if (target < 0) {
            const CPoint from = AnyPoint();
            Drag(from, Pick(0, 1) ? from : CPoint{from.x + Pick(-300, 300), from.y + Pick(-200, 200)}, keys);
            return "tap-or-band";
        }
        const CGraphicObject& object = *Drawing().GetAt(target);
        if (Pick(0, 1) == 0 && object.AsPath() != nullptr && object.AsPath()->SubpathCount() > 0) {
            // On the outline, which hits filled and unfilled paths alike.
            const CPoint on = mapping.DocToDevice((*object.AsPath()->subpaths[0])[0].anchor);
            Drag(on, on, keys);
            return "tap-object";
        }
        // A band just around the object (a press on another object there moves it instead).
        const CPoint a = mapping.DocToDevice(CPointF{object.bounds.left, object.bounds.top});
        const CPoint b = mapping.DocToDevice(CPointF{object.bounds.right, object.bounds.bottom});
        Drag({std::min(a.x, b.x) - 4, std::min(a.y, b.y) - 4},
             {std::max(a.x, b.x) + 4, std::max(a.y, b.y) + 4}, keys);
        return "band-object";
    }

    const char* Handle(int handle, const char* name, unsigned keys = 0) {
        CSelectTool& tool = SelectTool();
        if (View().GetSelection().empty())
            return "no-selection";
        const CPoint at = tool.HandlePoints()[static_cast<std::size_t>(handle)];
        Drag(at, {at.x + Pick(-80, 80), at.y + Pick(-80, 80)}, keys);
        return name;
    }

    const char* Command(int id, const char* name) {
        View().OnCommand(id);
        return name;
    }

    const char* Step() {
        // Keep the drawing small enough that a run's history stays far below its limit.
        if (Drawing().Count() > 40 && Pick(0, 1) == 0) {
            View().SetTool(ToolKind::Select);
            View().OnCommand(cmd::kSelectAll);
            return Command(cmd::kDelete, "delete-all");
        }
        // With something selected, most steps act on it (drawing or turning a page would drop it).
        const bool selected = !View().GetSelection().empty() && Pick(0, 3) != 0;
        switch (selected ? Pick(7, 20) : Pick(0, 27)) {
        case 0:
        case 1:
        case 2:
        case 3:
            return Draw();
        case 4:
        case 5:
        case 6:
            return Select();
        case 7:
            return Handle(CSelectTool::kHandleCentre, "move", Pick(0, 1) ? kKeyFlagShift : 0);
        case 8:
            return Handle(CSelectTool::kHandleCentre, "duplicate", kKeyFlagControl);
        case 9:
            return Handle(std::array{0, 4, 1, 3, 5, 7}[Pick(0, 5)], "scale");
        case 10:
            return Handle(std::array{2, 6}[Pick(0, 1)], "rotate");
        case 11:
            return Command(cmd::kGroup, "group");
        case 12:
            return Command(cmd::kUngroup, "ungroup");
        case 13:
            return Command(cmd::kJoin, "join");
        case 14:
            return Command(cmd::kBreakApart, "break-apart");
        case 15:
            return Command(std::array{cmd::kAlignLeft, cmd::kAlignRight, cmd::kAlignCenter, cmd::kAlignTop,
                                      cmd::kAlignMiddle, cmd::kAlignBottom}[Pick(0, 5)],
                           "align");
        case 16:
            return Command(Pick(0, 1) ? cmd::kBringToFront : cmd::kSendToBack, "order");
        case 17:
            return Command(cmd::kDelete, "delete");
        case 18:
            return Command(Pick(0, 1) ? cmd::kCopy : cmd::kCut, "copy-or-cut");
        case 19:
            return Command(cmd::kPaste, "paste");
        case 20:
            return Command(std::array{cmd::kLineBold, cmd::kNoFill, cmd::kNoLine}[Pick(0, 2)], "style");
        case 21:
            return Command(
                std::array{cmd::kAddPage, cmd::kInsertPageBefore, cmd::kInsertPageAfter}[Pick(0, 2)],
                "add-page");
        case 22:
            return Command(cmd::kDeletePage, "delete-page");
        case 23:
            return Command(Pick(0, 1) ? cmd::kNextPage : cmd::kPreviousPage, "turn-page");
        case 24:
        case 25:
            ++undos;
            return Command(cmd::kUndo, "undo");
        default:
            return Command(cmd::kRedo, "redo");
        }
    }

    void CheckInvariants() {
        const CDrawing& drawing = Drawing();
        ASSERT_GE(View().GetCurrentPage(), 0);
        ASSERT_LT(View().GetCurrentPage(), drawing.PageCount());
        std::map<int, int> groupPage;
        for (int i = 0; i < drawing.Count(); ++i) {
            const CGraphicObject& object = *drawing.GetAt(i);
            ASSERT_GE(object.page, 0) << "object " << i;
            ASSERT_LT(object.page, drawing.PageCount()) << "object " << i;
            if (object.group != 0) {
                const auto [entry, added] = groupPage.try_emplace(object.group, object.page);
                ASSERT_EQ(entry->second, object.page) << "group " << object.group << " spans two pages";
            }
            auto copy = object.Clone();
            copy->RecalcBounds();
            ASSERT_EQ(copy->bounds, object.bounds) << "object " << i << " has stale bounds";
        }
        const std::vector<int>& selection = View().GetSelection();
        ASSERT_TRUE(std::is_sorted(selection.begin(), selection.end()));
        ASSERT_EQ(std::adjacent_find(selection.begin(), selection.end()), selection.end());
        for (int index : selection) {
            ASSERT_GE(index, 0);
            ASSERT_LT(index, drawing.Count());
            ASSERT_EQ(drawing.GetAt(index)->page, View().GetCurrentPage()) << "selected object " << index;
        }
    }

    // A step that recorded: undo gives back the drawing before it, redo the drawing after it.
    void UndoAndRedoTheStep(const DrawingSnapshot& before) {
        const DrawingSnapshot after = Snapshot(Drawing());
        View().OnCommand(cmd::kUndo);
        ASSERT_EQ(Snapshot(Drawing()), before) << "undoing the step";
        View().OnCommand(cmd::kRedo);
        ASSERT_EQ(Snapshot(Drawing()), after) << "redoing the step";
    }

    void UndoAndRedoTheRun(const DrawingSnapshot& first, int done) {
        SCOPED_TRACE(::testing::Message() << "the run ending at step " << done << ": " << runSteps);
        const DrawingSnapshot last = Snapshot(Drawing());
        CUndoRecorder& recorder = View().GetUndoRecorder();
        // Steps the run undid itself stay on the redo history below the ones undone here.
        int undone = 0;
        for (; recorder.CanUndo() > 0; ++undone)
            View().OnCommand(cmd::kUndo);
        ASSERT_EQ(Snapshot(Drawing()), first);
        for (int k = 0; k < undone; ++k)
            View().OnCommand(cmd::kRedo);
        ASSERT_EQ(Snapshot(Drawing()), last);
        CheckInvariants();
    }

    CViewSetup setup{kWidth, kHeight};
    std::mt19937 random;
    int undos = 0;
    std::string runSteps;
};

TEST(ViewRandomEdit, TenThousandEditsKeepTheDrawingSoundAndUndoToTheExactRecords) {
    const unsigned base =
        getenv("PQ_RANDOM_EDIT_SEED") != nullptr ? unsigned(atoi(getenv("PQ_RANDOM_EDIT_SEED"))) : 1u;
    for (unsigned seed : {base, base + 1}) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        ViewRandomEditor editor(seed);
        editor.Run(5000, 40);
        EXPECT_GT(editor.Undos(), 150);
    }
}

} // namespace
} // namespace pq::test
