#include "RasterHelpers.h"
#include "TestHelpers.h"
#include "ViewTestSetup.h"

#include "ui/tools/ToolTable.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

constexpr CPoint kCenter{200, 150};

// An opened, painted view with one object so that the window shows more than paper.
struct CGestureSetup : CViewSetup {
    CGestureSetup() {
        Drawing().Add(MakeRect({-300.0f, 200.0f, -400.0f, 100.0f}, 0x3050F0));
        Open();
        Paint();
        host.invalidations = 0;
    }
};

TEST(PanTool, DragMovesTheViewByTheDragAndShowsTheShiftedSnapshotAndATapDoesNotRepaint) {
    CGestureSetup s;
    ASSERT_TRUE(s.view.IsToolCurrent(ToolKind::Pan));
    s.Tap({100, 100});
    EXPECT_EQ(s.host.invalidations, 0);
    const CDibSection before = s.host.front;
    const CPoint origin = s.view.GetMapping().DocToDevice(CPointF{0, 0});
    const CScrollBarInfo bar = s.view.GetScrollBarLayout(ScrollBarAxis::Horizontal).info;

    s.view.OnLButtonDown(kKeyFlagLButton, {100, 100});
    EXPECT_TRUE(s.host.captured);
    s.view.OnMouseMove(kKeyFlagLButton, {130, 90});
    s.view.OnMouseMove(kKeyFlagLButton, {150, 120});
    EXPECT_EQ(s.view.GetMapping().DocToDevice(CPointF{0, 0}), origin + CPoint(50, 20));
    EXPECT_EQ(s.host.invalidations, 0) << "no repaint while dragging";
    // The window shows the old picture 50 right and 20 down, with white where nothing was.
    for (CPoint p : {CPoint{0, 0}, CPoint{120, 40}, CPoint{349, 279}})
        EXPECT_EQ(PixelAt(s.host.front, p.x + 50, p.y + 20), PixelAt(before, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(PixelAt(s.host.front, 10, 10), 0xFFFFFFu);

    s.view.OnLButtonUp(0, {150, 120});
    EXPECT_FALSE(s.host.captured);
    EXPECT_EQ(s.host.invalidations, 1);
    // The horizontal bar's thumb moved 50 pixels towards its start, over a range that did not change.
    const CScrollBarInfo after = s.view.GetScrollBarLayout(ScrollBarAxis::Horizontal).info;
    EXPECT_EQ(after.position, bar.position - 50);
    EXPECT_EQ(after.range, bar.range);
}

TEST(ZoomTool, DraggedAreaFillsTheWindowAndTheFocusRectangleLeavesNoTrace) {
    CGestureSetup s;
    s.view.OnCommand(cmd::kZoomArea);
    ASSERT_TRUE(s.view.IsToolCurrent(ToolKind::Zoom));
    const CDibSection before = s.host.front;
    const float scale = s.view.GetMapping().GetScale();
    const CPointF areaCenter = s.view.GetMapping().DeviceToDoc(CPoint{100, 80});

    s.view.OnLButtonDown(kKeyFlagLButton, {150, 110});
    s.view.OnMouseMove(kKeyFlagLButton, {80, 70});
    EXPECT_GT(CountDifferences(before, s.host.front), 0) << "the focus rectangle shows";
    s.view.OnMouseMove(kKeyFlagLButton, {50, 50});
    s.view.OnLButtonUp(0, {50, 50});
    EXPECT_EQ(CountDifferences(before, s.host.front), 0);

    // 100 x 60 pixels into 400 x 300: the width limits the zoom to 4.
    EXPECT_TRUE(ExpectNear(s.view.GetMapping().GetScale(), scale * 4, scale * 1e-4));
    EXPECT_TRUE(ExpectNear(s.view.GetMapping().DeviceToDoc(kCenter), areaCenter, 0.5 / scale));
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Pan));
    EXPECT_FALSE(s.host.captured);
}

TEST(ZoomTool, ThinDragCountsAsATapThatCentresAndZoomsIn) {
    CGestureSetup s;
    s.view.SetTool(ToolKind::Zoom);
    const float scale = s.view.GetMapping().GetScale();
    // 10 by 50 pixels is not more than 10 wide: a tap on the rectangle's centre (65, 95).
    const CPointF tapped = s.view.GetMapping().DeviceToDoc(CPoint{65, 95});
    s.view.OnLButtonDown(kKeyFlagLButton, {60, 70});
    s.view.OnMouseMove(kKeyFlagLButton, {70, 120});
    s.view.OnLButtonUp(0, {70, 120});
    EXPECT_FLOAT_EQ(s.view.GetMapping().GetScale(), scale * 2);
    EXPECT_TRUE(ExpectNear(s.view.GetMapping().DeviceToDoc(kCenter), tapped, 0.5 / scale));
}

TEST(ZoomTool, DoubleClickCentresAndZoomsOutKeepingTheTool) {
    CGestureSetup s;
    s.view.SetTool(ToolKind::Zoom);
    const float scale = s.view.GetMapping().GetScale();
    const CPointF tapped = s.view.GetMapping().DeviceToDoc(CPoint{300, 40});
    s.view.OnLButtonDblClk(kKeyFlagLButton, {300, 40});
    EXPECT_FLOAT_EQ(s.view.GetMapping().GetScale(), scale / 2);
    EXPECT_TRUE(ExpectNear(s.view.GetMapping().DeviceToDoc(kCenter), tapped, 0.5 / scale));
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Zoom));
}

TEST(ToolSwitching, KindsWithoutAToolSelectThePanTool) {
    for (int kind : {3, 99, -1}) {
        CGestureSetup s;
        s.view.SetTool(ToolKind::Zoom);
        s.view.SetTool(kind);
        EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Pan)) << kind;
    }
}

TEST(ToolSwitching, CommandsOfToolsNotYetBuiltAreGreyed) {
    CGestureSetup s;
    for (const CToolRow& row : ToolTable()) {
        if (row.commandId == 0)
            continue;
        const CCommandStateSeen state = s.State(row.commandId);
        ASSERT_TRUE(state.handled);
        // Placing a text also needs the property sheet, which this view has not got.
        EXPECT_EQ(state.enabled, row.create != nullptr && row.kind != ToolKind::Text) << row.commandId;
    }
    EXPECT_TRUE(s.State(cmd::kToolPan).enabled && s.State(cmd::kToolPan).checked);
    // The Shape tool is built: offered, and not checked while another tool is current.
    EXPECT_TRUE(s.State(cmd::kToolNode).enabled);
    EXPECT_FALSE(s.State(cmd::kToolNode).checked);
}

TEST(ToolSwitching, SwitchingEndsTheDragUpdatesButtonsAndClearsTheSelection) {
    CGestureSetup s;
    s.view.GetSelection() = {0};
    s.view.OnCommand(cmd::kZoomArea);
    EXPECT_TRUE(s.view.GetSelection().empty());
    EXPECT_TRUE(s.host.buttons[cmd::kToolZoomMenu]);
    EXPECT_FALSE(s.host.buttons[cmd::kToolPan]);
    EXPECT_EQ(s.host.cursor, CursorShape::Cross);
    ASSERT_TRUE(s.State(cmd::kToolZoomMenu).handled);
    EXPECT_TRUE(s.State(cmd::kToolZoomMenu).checked);

    s.view.OnLButtonDown(kKeyFlagLButton, {10, 10});
    ASSERT_TRUE(s.host.captured);
    s.view.OnCommand(cmd::kToolPan);
    EXPECT_FALSE(s.host.captured);
    EXPECT_FALSE(s.view.GetTool(ToolKind::Zoom)->IsDragging());
    EXPECT_TRUE(s.host.buttons[cmd::kToolPan]);
    EXPECT_FALSE(s.host.buttons[cmd::kToolZoomMenu]);
    ASSERT_TRUE(s.State(cmd::kToolLine).handled);
    EXPECT_FALSE(s.State(cmd::kToolLine).checked);
}

} // namespace
} // namespace pq::test
