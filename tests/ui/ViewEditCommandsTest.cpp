// The style, clipboard, Select All, Duplicate and Escape commands of the view.

#include "EditTestSetup.h"

namespace pq::test {
namespace {

TEST(ViewStyle, WithoutASelectionTheCommandsSetTheStyleOfNewObjects) {
    CEditSetup s;
    s.Drawing().Add(MakeRect({0, 10, 0, 10}, 1));
    s.Start();
    s.Select({});
    s.view.GetNewObjectStyle().penStyle = kPenNull;
    s.view.OnCommand(cmd::kLineBold);
    EXPECT_EQ(s.view.GetNewObjectStyle().penWidth, 6);
    EXPECT_TRUE(s.State(cmd::kLineBold).checked);
    EXPECT_FALSE(s.State(cmd::kLineThick).checked);
    s.view.OnCommand(cmd::kNoLine);
    EXPECT_TRUE(s.State(cmd::kNoLine).checked);
    EXPECT_FALSE(s.State(cmd::kLineBold).checked); // no visible line has a width
    s.view.OnCommand(cmd::kNoFill);
    EXPECT_TRUE(s.State(cmd::kNoFill).checked);
    s.view.OnCommand(cmd::kNoFill);
    EXPECT_EQ(s.view.GetNewObjectStyle().noFill, 0);
    // None of it is an edit of the drawing.
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_FALSE(s.doc.IsModified());
}

TEST(ViewStyle, SelectedPathsChangeAndTextsAreLeftAlone) {
    CEditSetup s;
    s.Drawing().Add(MakeRect({0, 10, 0, 10}, 1));
    s.Drawing().Add(BuildPath({BoxNodes({20, 30, 0, 10})}, {.brushStyle = kBrushHollow, .fill = 2}));
    s.Drawing().Add(MakeText(u"label", {0.0f, 200.0f}));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    const std::vector<uint8_t> text = SaveBytes(*s.Drawing().GetAt(2));

    // One filled and one unfilled: No Fill empties both, a second No Fill fills both.
    s.Select({0, 1, 2});
    EXPECT_FALSE(s.State(cmd::kNoFill).checked);
    s.view.OnCommand(cmd::kNoFill);
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->brushStyle, kBrushHollow);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->brushStyle, kBrushHollow);
    EXPECT_TRUE(s.State(cmd::kNoFill).checked);
    s.view.OnCommand(cmd::kNoFill);
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->brushStyle, kBrushSolid);

    s.view.OnCommand(cmd::kLineThick);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->penWidth, 9);
    EXPECT_TRUE(s.State(cmd::kLineThick).checked);
    s.view.OnCommand(cmd::kNoLine);
    EXPECT_TRUE(s.State(cmd::kNoLine).checked);
    EXPECT_FALSE(s.State(cmd::kLineThick).checked);
    EXPECT_EQ(SaveBytes(*s.Drawing().GetAt(2)), text);
    EXPECT_TRUE(s.doc.IsModified());

    // Every command was one step.
    EXPECT_EQ(s.UndoSteps(), 4);
    EXPECT_EQ(s.Undone(4, false), before);

    // A text alone has no line or fill: the commands are greyed and change nothing.
    s.Select({2});
    EXPECT_FALSE(s.State(cmd::kNoFill).enabled);
    EXPECT_FALSE(s.State(cmd::kLineFine).enabled);
    s.view.OnCommand(cmd::kLineFine);
    EXPECT_EQ(s.UndoSteps(), 0);
}

TEST(ViewClipboard, CutCopyAndPasteGoThroughTheApplicationsClipboard) {
    CEditSetup s;
    CDrawing clipboard;
    s.view.SetClipboard(&clipboard);
    s.Drawing().Add(MakeRect({0, 10, 0, 10}, 1));
    s.Drawing().Add(MakeRect({20, 30, 0, 10}, 2));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);

    s.Select({0});
    s.view.OnCommand(cmd::kCopy);
    EXPECT_EQ(Tags(clipboard), std::vector<uint32_t>{1});
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);

    s.Select({1});
    s.view.OnCommand(cmd::kCut);
    EXPECT_EQ(Tags(clipboard), std::vector<uint32_t>{2});
    EXPECT_EQ(Tags(s.Drawing()), std::vector<uint32_t>{1});
    EXPECT_TRUE(s.view.GetSelection().empty());
    EXPECT_EQ(s.Undone(1, false), before);

    // Paste from another tool: the copy arrives selected with the select tool current, near the
    // window's top-left corner, and goes again in one undo step.
    s.view.SetTool(ToolKind::Pan);
    EXPECT_TRUE(s.State(cmd::kPaste).enabled);
    s.view.OnCommand(cmd::kPaste);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Select));
    EXPECT_EQ(s.view.GetSelection(), std::vector<int>{2});
    EXPECT_EQ(s.view.GetMapping().DocToDevice(CPointF{s.Bounds(2).left, s.Bounds(2).top}), (CPoint{10, 10}));
    s.view.OnCommand(cmd::kPaste);
    EXPECT_EQ(s.Drawing().Count(), 4);
    EXPECT_EQ(s.UndoSteps(), 2);
    EXPECT_EQ(s.Undone(2, false), before);
}

TEST(ViewClipboard, DuplicateCopiesTheSelectionALittleAsideAndLeavesTheClipboardAlone) {
    CEditSetup s;
    CDrawing clipboard;
    clipboard.Add(MakeRect({0, 5, 0, 5}, 42));
    s.view.SetClipboard(&clipboard);
    s.Drawing().Add(MakeRect({0, 10, 0, 10}, 1, 0, 3));
    s.Drawing().Add(MakeRect({20, 30, 40, 60}, 2, 0, 3));
    s.Drawing().Add(MakeRect({100, 130, 0, 10}, 3));
    s.Start();
    const DrawingSnapshot grouped = Snapshot(s.Drawing());

    s.Select({0, 1});
    s.view.OnCommand(cmd::kDuplicate);
    ASSERT_EQ(s.Drawing().Count(), 5);
    EXPECT_EQ(s.view.GetSelection(), (std::vector<int>{3, 4}));
    EXPECT_EQ(Tags(clipboard), std::vector<uint32_t>{42});
    // The copies keep their shape and their group of their own, 10 pixels right and down.
    const CViewMapping& mapping = s.view.GetMapping();
    for (int i = 0; i < 2; ++i) {
        const CPoint original = mapping.DocToDevice(CPointF{s.Bounds(i).left, s.Bounds(i).top});
        const CPoint copy = mapping.DocToDevice(CPointF{s.Bounds(i + 3).left, s.Bounds(i + 3).top});
        EXPECT_NEAR(copy.x - original.x, 10, 1) << i;
        EXPECT_NEAR(copy.y - original.y, 10, 1) << i;
        EXPECT_NEAR(s.Bounds(i + 3).right - s.Bounds(i + 3).left, s.Bounds(i).right - s.Bounds(i).left, 1e-3);
    }
    EXPECT_EQ(s.Drawing().GetAt(3)->group, s.Drawing().GetAt(4)->group);
    EXPECT_NE(s.Drawing().GetAt(3)->group, s.Drawing().GetAt(0)->group);
    // Pasting numbers the groups afresh from 1; undo brings back the same objects in the same groups.
    EXPECT_EQ(s.Undone(), grouped);
}

TEST(ViewClipboard, SelectAllTakesTheObjectsOfThePageOnScreen) {
    CEditSetup s;
    FillTagged(s.Drawing(), {0, 1, 0, 1, 1});
    s.Drawing().SetPageCount(3);
    s.Start();
    s.view.SetCurrentPage(1);
    s.view.OnCommand(cmd::kSelectAll);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Select));
    EXPECT_EQ(s.view.GetSelection(), (std::vector<int>{1, 3, 4}));
    s.view.SetCurrentPage(2);
    EXPECT_FALSE(s.State(cmd::kSelectAll).enabled);
}

TEST(ViewKeys, EscapeEndsTheGestureAndLeavesZoomForTheToolBefore) {
    CEditSetup s;
    s.Drawing().Add(MakeRect({0, 10, 0, 10}, 1));
    s.Start();
    s.Select({0});
    s.view.OnCommand(cmd::kZoomArea);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Zoom));
    s.view.OnCommand(cmd::kCancel);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Select));

    // A drag in progress ends and lets the stylus go; the tool stays.
    s.view.SetTool(ToolKind::Pan);
    s.view.OnLButtonDown(kKeyFlagLButton, CPoint{50, 50});
    ASSERT_TRUE(s.host.captured);
    s.view.OnCommand(cmd::kCancel);
    EXPECT_FALSE(s.host.captured);
    EXPECT_FALSE(s.view.GetCurrentTool()->IsDragging());
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Pan));

    // An eyedropper waiting for its pick is put away too.
    s.view.OnCommand(cmd::kPickFillColor);
    s.view.OnCommand(cmd::kCancel);
    EXPECT_EQ(s.view.GetColorPickMode(), 0);
}

} // namespace
} // namespace pq::test
