// Edits, and their undo and redo, repaint only where the objects of their step were and are, and leave
// exactly the picture a paint from scratch shows.

#include "RasterHelpers.h"
#include "ViewTestSetup.h"

#include "ui/view/ViewCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace pq::test {
namespace {

constexpr uint32_t kSentinelColor = 0x00C0C0;
constexpr uint32_t kHiddenColor = 0x000000;
// Where the sentinel shows: the middle of its rectangle.
constexpr CPoint kSentinelPixel{370, 260};

std::vector<uint8_t> Pixels(const CDibSection& bitmap) {
    return {bitmap.GetBits().begin(), bitmap.GetBits().end()};
}

// One document unit to the pixel, the origin at the client centre (200, 150). Objects 0 and 1 overlap;
// the last object, the sentinel, lies apart from every edit in the corner.
struct CUndoRepaintSetup : CViewSetup {
    explicit CUndoRepaintSetup(bool smooth) {
        Drawing().Add(MakeRect({-150.0f, -50.0f, -60.0f, 40.0f}, 0x0000FF));
        Drawing().Add(MakeRect({-100.0f, 0.0f, -20.0f, 80.0f}, 0xFF0000));
        auto wide = MakeRect({20.0f, 110.0f, -80.0f, 20.0f}, 0x00FF00);
        wide->AsPath()->penWidth = 9;
        wide->AsPath()->brushStyle = kBrushHollow;
        wide->RecalcBounds();
        Drawing().Add(std::move(wide));
        // Two squares in one path, for Break Apart.
        auto pair = MakeRect({-180.0f, -160.0f, -130.0f, -110.0f}, 0xFF00FF);
        pair->AsPath()->AddSubpath(BoxNodes({-150.0f, -130.0f, -130.0f, -110.0f}));
        pair->RecalcBounds();
        Drawing().Add(std::move(pair));
        Drawing().Add(MakeRect({150.0f, 190.0f, 90.0f, 130.0f}, kSentinelColor));
        view.SetClipboard(&clipboard);
        view.SetPropertySheetOpener(&sheet);
        Open();
        Paint();
        ShowOriginAtCentre(1.0f);
        view.SetSmoothEdges(smooth);
        view.SetTool(ToolKind::Select);
        view.OnPaint();
    }

    CGraphicObject& Sentinel() {
        for (int i = 0; i < Drawing().Count(); ++i)
            if (Drawing().GetAt(i)->color == kSentinelColor || Drawing().GetAt(i)->color == kHiddenColor)
                return *Drawing().GetAt(i);
        ADD_FAILURE() << "no sentinel";
        return *Drawing().GetAt(0);
    }

    // What the paint after a command (undo or redo) showed: whether it kept the sentinel, recoloured
    // behind the view's back, as it was (which only a paint of everything would show), and how many bytes
    // of its picture differ from a paint from scratch once the sentinel has its colour back. Steps not yet
    // painted are painted first unless they are to be painted with the command's.
    struct CPaintSeen {
        bool partial = false;
        int differing = 0;
    };
    CPaintSeen PaintAfter(int command, bool withUnpainted = false) {
        return PaintAfter([&] { view.OnCommand(command); }, withUnpainted);
    }
    CPaintSeen PaintAfter(const std::function<void()>& act, bool withUnpainted = false) {
        if (!withUnpainted)
            view.OnPaint();
        act();
        Sentinel().color = kHiddenColor;
        view.OnPaint();
        const std::vector<uint8_t> kept = Pixels(view.GetBackBuffer());
        CPaintSeen seen;
        seen.partial = PixelAt(view.GetBackBuffer(), kSentinelPixel.x, kSentinelPixel.y) == kSentinelColor;
        Sentinel().color = kSentinelColor;
        view.RepaintAll();
        view.OnPaint();
        EXPECT_EQ(PixelAt(view.GetBackBuffer(), kSentinelPixel.x, kSentinelPixel.y), kSentinelColor)
            << "the sentinel is not where the test expects it";
        const std::vector<uint8_t> fresh = Pixels(view.GetBackBuffer());
        EXPECT_EQ(kept.size(), fresh.size());
        for (std::size_t i = 0; i < kept.size() && i < fresh.size(); ++i)
            seen.differing += kept[i] != fresh[i] ? 1 : 0;
        return seen;
    }

    ::testing::AssertionResult RepaintsOnlyWhatChanged(int command, bool withUnpainted = false) {
        return RepaintsOnlyWhatChanged([&] { view.OnCommand(command); }, withUnpainted);
    }
    ::testing::AssertionResult RepaintsOnlyWhatChanged(const std::function<void()>& act,
                                                       bool withUnpainted = false) {
        const CPaintSeen seen = PaintAfter(act, withUnpainted);
        if (!seen.partial)
            return ::testing::AssertionFailure() << "the whole page was painted";
        if (seen.differing != 0)
            return ::testing::AssertionFailure()
                   << seen.differing << " bytes differ from a paint from scratch";
        return ::testing::AssertionSuccess();
    }

    CDrawing clipboard;
    // The property sheet a new text opens, answered OK at once.
    struct CSheetAnsweringOk : IPropertySheetOpener {
        bool OpenPropertySheet(PropertySheetOpening) override { return true; }
    } sheet;
};

// An edit a user makes: the objects selected, then the commands run on them; or, without commands, a
// drag from one point to another with the tool given (a tap when the points are the same).
struct CStepCase {
    const char* name;
    std::vector<int> selected;
    std::vector<int> commands;
    ToolKind tool = ToolKind::Select;
    CPoint from{}, to{};

    void Make(CUndoRepaintSetup& s) const {
        if (commands.empty()) {
            s.view.GetSelection() = selected; // the node tool takes up a sole selected path
            s.view.ResetSelectTool();
            s.view.SetTool(tool);
            if (from == to)
                s.Tap(from);
            else
                s.Drag(from, to);
            // The node tool stays, and takes its path up again after each undo and redo.
            if (tool != ToolKind::Node)
                s.view.SetTool(ToolKind::Select);
            return;
        }
        s.view.SelectObject(selected.front());
        s.view.GetSelection() = selected;
        for (int command : commands)
            s.view.OnCommand(command);
    }
};

const CStepCase kStepCases[] = {
    {"move by drag", {}, {}, ToolKind::Select, {60, 120}, {130, 170}},
    {"rectangle drawn", {}, {}, ToolKind::Rectangle, {220, 40}, {300, 120}},
    {"ellipse drawn over others", {}, {}, ToolKind::Ellipse, {40, 100}, {140, 200}},
    {"text placed", {}, {}, ToolKind::Text, {10, 10}, {10, 10}},
    {"node dragged", {1}, {}, ToolKind::Node, {100, 130}, {125, 105}},
    {"delete", {0}, {cmd::kDelete}},
    {"delete two apart", {0, 2}, {cmd::kDelete}},
    {"paste", {1}, {cmd::kCopy, cmd::kPaste}},
    {"bring to front", {0}, {cmd::kBringToFront}},
    {"send to back", {2}, {cmd::kSendToBack}},
    {"bold line", {1}, {cmd::kLineBold}},
    {"align left", {1, 2}, {cmd::kAlignLeft}},
    {"bring two apart to front", {0, 2}, {cmd::kBringToFront}},
    {"send two apart to back", {1, 3}, {cmd::kSendToBack}},
    {"join", {0, 2}, {cmd::kJoin}},
    {"join, the wide pen first", {2, 3}, {cmd::kJoin}}, // the squares take the wide pen beyond their reach
    {"break apart", {3}, {cmd::kBreakApart}},
    {"group", {0, 1}, {cmd::kGroup}},
};

// Each edit undone and redone twice.
TEST(ViewUndoRepaint, UndoAndRedoPaintOnlyTheirObjectsAndMatchAPaintFromScratch) {
    for (const bool smooth : {true, false}) {
        for (const CStepCase& step : kStepCases) {
            SCOPED_TRACE(::testing::Message() << step.name << (smooth ? ", smooth" : ", aliased"));
            CUndoRepaintSetup s(smooth);
            const DrawingSnapshot original = Snapshot(s.Drawing());
            EXPECT_TRUE(s.RepaintsOnlyWhatChanged([&] { step.Make(s); })) << "the edit";
            ASSERT_EQ(s.UndoSteps(), 1);
            const DrawingSnapshot edited = Snapshot(s.Drawing());
            ASSERT_NE(edited, original);
            for (int round = 0; round < 2; ++round) {
                for (const int command : {cmd::kUndo, cmd::kRedo}) {
                    SCOPED_TRACE(::testing::Message()
                                 << (command == cmd::kUndo ? "undo " : "redo ") << round);
                    EXPECT_TRUE(s.RepaintsOnlyWhatChanged(command));
                    EXPECT_EQ(Snapshot(s.Drawing()), command == cmd::kUndo ? original : edited);
                }
            }
        }
    }
}

// Undo held down runs several replays before the window gets to paint: the paint draws what all of them
// touched. A replay that cannot tell what it touches draws everything.
TEST(ViewUndoRepaint, StepsNotYetPaintedAreDrawnTogether) {
    for (const bool smooth : {true, false}) {
        SCOPED_TRACE(smooth ? "smooth" : "aliased");
        CUndoRepaintSetup s(smooth);
        const DrawingSnapshot original = Snapshot(s.Drawing());
        s.Drag({60, 120}, {130, 170});
        s.view.OnPaint();
        s.view.SelectObject(2);
        s.view.OnCommand(cmd::kDelete);
        s.view.OnPaint();
        s.view.SetTool(ToolKind::Rectangle);
        s.Drag({220, 40}, {300, 120});
        s.view.SetTool(ToolKind::Select);
        s.view.OnPaint();
        ASSERT_EQ(s.UndoSteps(), 3);
        s.view.OnCommand(cmd::kUndo);
        s.view.OnCommand(cmd::kUndo);
        EXPECT_TRUE(s.RepaintsOnlyWhatChanged(cmd::kUndo, true));
        EXPECT_EQ(Snapshot(s.Drawing()), original);
        s.view.OnCommand(cmd::kRedo);
        s.view.OnCommand(cmd::kRedo);
        EXPECT_TRUE(s.RepaintsOnlyWhatChanged(cmd::kRedo, true));

        // A reordering of objects apart from each other, recorded as the whole list, whose objects were
        // then changed behind the recorder's back: which of them move can no longer be told.
        s.view.SelectObject(0);
        s.view.GetSelection().push_back(2);
        s.view.OnCommand(cmd::kBringToFront);
        ASSERT_EQ(s.view.GetUndoRecorder().GetEntries(UndoDirection::TowardsUndo).back().type,
                  static_cast<uint16_t>(UndoRecordType::Reorder));
        CGraphicObject& changed = *s.Drawing().GetAt(&s.Sentinel() == s.Drawing().GetAt(0) ? 1 : 0);
        changed.color ^= 0x00FFFFFF;
        EXPECT_FALSE(s.PaintAfter(cmd::kUndo).partial);
    }
}

} // namespace
} // namespace pq::test
