#include "FontMetricsSetup.h"
#include "RasterHelpers.h"
#include "TestHelpers.h"
#include "ViewTestSetup.h"

#include "geometry/LineMath.h"
#include "model/Clipboard.h"
#include "ui/tools/SelectTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace pq::test {
namespace {

constexpr unsigned kDown = kKeyFlagLButton;
constexpr unsigned kCtrl = kKeyFlagControl;
constexpr unsigned kShift = kKeyFlagShift;

// An opened view with the select tool current, one document unit to the pixel and the document origin at
// the client centre (200, 150), painted once.
struct CSelectSetup : CViewSetup {
    void Start() {
        Open();
        Paint();
        ShowOriginAtCentre(1.0f);
        view.SetTool(ToolKind::Select);
        view.OnPaint();
    }
    CSelectTool& Tool() { return *static_cast<CSelectTool*>(view.GetTool(ToolKind::Select)); }
    CPoint Px(float x, float y) const { return view.GetMapping().DocToDevice(CPointF{x, y}); }
    // A press, a move half way, a move to the end, and the release.
    void Drag(CPoint from, CPoint to, unsigned keys = 0) { CViewSetup::Drag(from, to, keys, 2); }
    std::vector<int> Selected() { return view.GetSelection(); }
};

CPointF FirstAnchor(const CGraphicObject& object) {
    return (*object.AsPath()->subpaths[0])[0].anchor;
}

TEST(SelectToolHandles, TinySelectionStillGivesANineByNineFrameWithNineDistinctHandles) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-1.0f, 1.0f, -1.0f, 1.0f}, 1));
    s.Start();
    ASSERT_TRUE(s.view.SelectObject(0));
    const CRect frame = s.Tool().FrameRect();
    EXPECT_GE(frame.Width(), CSelectTool::kMinFramePixels);
    EXPECT_GE(frame.Height(), CSelectTool::kMinFramePixels);
    const auto handles = s.Tool().HandlePoints();
    std::set<std::pair<int, int>> distinct;
    for (const CPoint& handle : handles)
        distinct.insert({handle.x, handle.y});
    EXPECT_EQ(distinct.size(), 9u);
    // Each handle is grabbed as itself: none lies within reach of another.
    for (int i = 0; i < 9; ++i) {
        s.view.OnLButtonDown(kDown, handles[static_cast<std::size_t>(i)]);
        EXPECT_EQ(s.Tool().GetHandle(), i);
        s.view.OnLButtonUp(0, handles[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(s.UndoSteps(), 0);
}

TEST(SelectToolHandles, TextLimitsWhatTheHandlesDo) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-150.0f, -100.0f, -50.0f, 0.0f}, 1));
    s.Drawing().Add(MakeText(u"Artistic", {0.0f, -40.0f}));
    s.Drawing().Add(MakeText(u"Paragraph", {-150.0f, 40.0f}, kTextParagraph));
    s.Start();

    // A path alone: handle 2 rotates.
    s.view.SelectObject(0);
    s.view.OnLButtonDown(kDown, s.Tool().HandlePoints()[2]);
    EXPECT_EQ(s.Tool().GetMode(), CSelectTool::kModeRotate);
    s.view.OnLButtonUp(0, s.Tool().HandlePoints()[2]);

    // With a text in the selection handle 2 scales, and the artistic text's edge handles do nothing.
    s.view.SelectObject(1);
    EXPECT_FALSE(s.Tool().MayRotate());
    EXPECT_FALSE(s.Tool().MayStretch());
    s.view.OnLButtonDown(kDown, s.Tool().HandlePoints()[2]);
    EXPECT_EQ(s.Tool().GetMode(), CSelectTool::kModeScale);
    s.view.OnLButtonUp(0, s.Tool().HandlePoints()[2]);

    s.view.ClearSelection();
    s.view.SelectObject(1);
    const CRectF before = s.Drawing().GetAt(1)->bounds;
    const CPoint left = s.Tool().HandlePoints()[7];
    s.Drag(left, left + CPoint(-40, 0));
    EXPECT_EQ(s.Drawing().GetAt(1)->bounds, before) << "the left edge never stretches artistic text";
    EXPECT_EQ(s.UndoSteps(), 0);

    // A paragraph's frame stretches: its right side stays, its left follows the stylus.
    s.view.ClearSelection();
    s.view.SelectObject(2);
    EXPECT_TRUE(s.Tool().MayStretch());
    const CRectF frameBefore = s.Drawing().GetAt(2)->bounds;
    const CPoint edge = s.Tool().HandlePoints()[7];
    s.Drag(edge, edge + CPoint(-40, 0));
    const CRectF after = s.Drawing().GetAt(2)->bounds;
    EXPECT_TRUE(ExpectNear(after.right, frameBefore.right, 0.01f));
    EXPECT_GT(after.Width(), frameBefore.Width() + 30.0f);
    EXPECT_EQ(after.top, frameBefore.top);
}

TEST(SelectToolTaps, TapsSelectWholeGroupsAndModifiersAddAndRemove) {
    CSelectSetup s;
    s.Drawing().SetPageCount(2);
    s.Drawing().Add(MakeRect({-150.0f, -100.0f, -100.0f, -50.0f}, 1, 0, 1));
    s.Drawing().Add(MakeRect({-50.0f, 0.0f, -100.0f, -50.0f}, 2, 0, 1));
    s.Drawing().Add(MakeRect({50.0f, 100.0f, 50.0f, 100.0f}, 3));
    s.Drawing().Add(
        MakeRect({-150.0f, -100.0f, -100.0f, -50.0f}, 4, 1, 1)); // the same group number on page 1
    s.Start();
    const DrawingSnapshot original = Snapshot(s.Drawing(), false);

    // A tap on one member selects its group on this page, not the page-1 object with the same number.
    s.Tap(s.Px(-125.0f, -75.0f));
    EXPECT_EQ(s.Selected(), (std::vector<int>{0, 1}));
    // Tapping it again, or tapping the other member, changes nothing and records nothing.
    s.Tap(s.Px(-25.0f, -75.0f));
    EXPECT_EQ(s.Selected(), (std::vector<int>{0, 1}));
    // Ctrl adds, Ctrl+Shift takes the whole group back out.
    s.Tap(s.Px(75.0f, 75.0f), kCtrl);
    EXPECT_EQ(s.Selected(), (std::vector<int>{0, 1, 2}));
    s.Tap(s.Px(-125.0f, -75.0f), kCtrl | kShift);
    EXPECT_EQ(s.Selected(), (std::vector<int>{2}));
    // A plain tap on another object selects it alone; a tap on empty paper clears.
    s.Tap(s.Px(-25.0f, -75.0f));
    EXPECT_EQ(s.Selected(), (std::vector<int>{0, 1}));
    s.Tap(s.Px(150.0f, -120.0f));
    EXPECT_TRUE(s.Selected().empty());
    EXPECT_TRUE(s.Tool().GetSelectedSet().empty());

    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_EQ(Snapshot(s.Drawing(), false), original);
    EXPECT_FALSE(s.host.captured);
}

TEST(SelectToolTaps, SelectionFrameIsPaintedAndToggledInXor) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-50.0f, 50.0f, -50.0f, 50.0f}, 0xFFFFFF));
    s.Start();
    const CDibSection plain = s.host.front;
    s.Tap(s.Px(0.0f, 0.0f));
    ASSERT_EQ(s.Selected(), (std::vector<int>{0}));
    const CDibSection shown = s.host.front;
    EXPECT_GT(CountDifferences(plain, shown), 0) << "the frame appears at once";
    // A paint shows exactly what the toggle drew.
    s.view.OnPaint();
    EXPECT_EQ(CountDifferences(shown, s.host.front), 0);
    // Clearing the selection toggles it away again.
    s.Tap(s.Px(150.0f, -120.0f));
    EXPECT_EQ(CountDifferences(plain, s.host.front), 0);
    // The view's own selection operations toggle it the same way.
    s.view.SelectObject(0);
    EXPECT_EQ(CountDifferences(shown, s.host.front), 0);
    s.view.ClearSelection();
    EXPECT_EQ(CountDifferences(plain, s.host.front), 0);
    // Other tools draw no frame: switching away takes it off the window.
    s.view.SelectObject(0);
    s.view.SetTool(ToolKind::Pan);
    EXPECT_EQ(CountDifferences(plain, s.host.front), 0);
    s.view.OnPaint();
    EXPECT_EQ(CountDifferences(plain, s.host.front), 0);
    EXPECT_TRUE(s.Selected().empty());

    // A selection set without the tool (as an import does) is framed by the next paint.
    s.view.SetTool(ToolKind::Select);
    s.view.GetSelection() = {0};
    s.view.OnPaint();
    EXPECT_EQ(CountDifferences(shown, s.host.front), 0);
}

TEST(SelectToolMove, GestureCutShortByAToolChangeChangesNothing) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-50.0f, 50.0f, -50.0f, 50.0f}, 1));
    s.Start();
    const DrawingSnapshot original = Snapshot(s.Drawing(), false);
    const CDibSection plain = s.host.front;
    s.view.OnLButtonDown(kDown, s.Px(0.0f, 0.0f));
    const CDibSection framed = s.host.front;
    s.view.OnMouseMove(kDown, s.Px(40.0f, 40.0f));
    s.view.SetTool(ToolKind::Pan);
    EXPECT_FALSE(s.host.captured);
    EXPECT_EQ(CountDifferences(plain, s.host.front), 0) << "outlines and frame are taken off the window";
    s.view.OnLButtonUp(0, s.Px(40.0f, 40.0f));
    EXPECT_EQ(Snapshot(s.Drawing(), false), original);
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_GT(CountDifferences(plain, framed), 0);
}

TEST(SelectToolBand, SelectsOnlyWhatLiesWhollyInsideOnThisPage) {
    CSelectSetup s;
    s.Drawing().SetPageCount(2);
    s.Drawing().Add(MakeRect({-100.0f, -60.0f, -50.0f, -10.0f}, 0));     // inside
    s.Drawing().Add(MakeRect({-100.0f, -60.0f, -50.0f, -10.0f}, 1, 1));  // inside, page 1
    s.Drawing().Add(MakeRect({-40.0f, 40.0f, -50.0f, -10.0f}, 2));       // crosses the band's edge
    s.Drawing().Add(MakeRect({-100.0f, -80.0f, 20.0f, 40.0f}, 3, 0, 1)); // in a group half inside
    s.Drawing().Add(MakeRect({60.0f, 80.0f, 20.0f, 40.0f}, 4, 0, 1));
    s.Drawing().Add(MakeRect({-30.0f, -10.0f, 20.0f, 40.0f}, 5)); // inside
    s.Start();

    s.Drag(s.Px(-110.0f, -70.0f), s.Px(0.0f, 50.0f));
    EXPECT_EQ(s.Selected(), (std::vector<int>{0, 5}));

    // A band around nothing leaves the selection empty.
    s.Drag(s.Px(150.0f, 100.0f), s.Px(190.0f, 140.0f));
    EXPECT_TRUE(s.Selected().empty());

    // Ctrl adds what the band encloses, Ctrl+Shift removes it.
    s.view.SelectObject(2);
    s.Drag(s.Px(-110.0f, 10.0f), s.Px(100.0f, 50.0f), kCtrl);
    EXPECT_EQ(s.Selected(), (std::vector<int>{2, 3, 4, 5}));
    s.Drag(s.Px(-50.0f, -60.0f), s.Px(50.0f, 0.0f), kCtrl | kShift);
    EXPECT_EQ(s.Selected(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(s.UndoSteps(), 0);
}

TEST(SelectToolMove, DragMovesTheSelectionAndUndoGivesBackTheExactRecords) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-50.0f, 50.0f, -50.0f, 50.0f}, 1));
    s.Drawing().Add(MakeRect({60.0f, 90.0f, 60.0f, 90.0f}, 2));
    s.Start();
    const DrawingSnapshot original = Snapshot(s.Drawing(), false);

    const CDibSection before = s.host.front;
    s.view.OnLButtonDown(kDown, s.Px(0.0f, 0.0f));
    s.view.OnMouseMove(kDown, s.Px(17.0f, 9.0f));
    EXPECT_GT(CountDifferences(before, s.host.front), 0) << "outline feedback while dragging";
    EXPECT_EQ(Snapshot(s.Drawing(), false), original) << "nothing changes before the release";
    s.view.OnMouseMove(kDown, s.Px(30.0f, 10.0f));
    s.view.OnLButtonUp(0, s.Px(30.0f, 10.0f));

    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(0)), CPointF{-20.0f, -40.0f}, 1e-3));
    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(1)), CPointF{60.0f, 60.0f}, 0.0));
    EXPECT_EQ(s.UndoSteps(), 1);
    EXPECT_TRUE(s.doc.IsModified());
    const DrawingSnapshot moved = Snapshot(s.Drawing(), false);

    EXPECT_EQ(s.Undone(1, false), original);
    s.view.OnCommand(cmd::kRedo);
    EXPECT_EQ(Snapshot(s.Drawing(), false), moved);
}

TEST(SelectToolMove, ShiftKeepsTheLargerComponentAndSnappingAppliesToBothEnds) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-50.0f, 50.0f, -50.0f, 50.0f}, 1));
    s.Start();
    s.Drag(s.Px(0.0f, 0.0f), s.Px(30.0f, 10.0f), kShift);
    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(0)), CPointF{-20.0f, -50.0f}, 1e-3));
    s.Drag(s.Px(0.0f, 0.0f), s.Px(-4.0f, 25.0f), kShift);
    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(0)), CPointF{-20.0f, -25.0f}, 1e-3));

    // With a 50-unit snap the press and the release snap: the move is a whole number of steps.
    s.view.SetSnapSpacing(50.0f);
    s.Drag(s.Px(12.0f, 3.0f), s.Px(61.0f, 79.0f));
    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(0)), CPointF{30.0f, 75.0f}, 1e-3));
    EXPECT_EQ(s.UndoSteps(), 3);
}

TEST(SelectToolRotate, OutlineFollowsTheStylusAboutTheCentre) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-60.0f, 60.0f, -30.0f, 30.0f}, 1));
    s.Start();
    const DrawingSnapshot original = Snapshot(s.Drawing(), false);
    s.view.SelectObject(0);
    const CPoint grip = s.Tool().HandlePoints()[2];
    const CPoint to = s.Px(-20.0f, -90.0f);
    s.view.OnLButtonDown(kDown, grip);
    ASSERT_EQ(s.Tool().GetMode(), CSelectTool::kModeRotate);
    s.view.OnMouseMove(kDown, to);
    // The pressed point, carried by the transform, lies on the ray from the centre to the stylus.
    const CPointF start = s.view.GetMapping().DeviceToDoc(grip);
    const CPointF carried = s.Tool().GetTransform().Apply(start);
    const CPointF target = s.view.GetMapping().DeviceToDoc(to);
    EXPECT_TRUE(ExpectNear(VectorAngle(CPointD(carried), CPointD{0.0, 0.0}, CPointD(target)), 0.0, 1e-4));
    EXPECT_TRUE(ExpectNear(std::hypot(carried.x, carried.y), std::hypot(start.x, start.y), 1e-2));
    s.view.OnLButtonUp(0, to);

    // The corner that was at the top right has turned with it, about the centre.
    const CPointF corner = (*s.Drawing().GetAt(0)->AsPath()->subpaths[0])[1].anchor;
    EXPECT_TRUE(ExpectNear(std::hypot(corner.x, corner.y), std::hypot(60.0, 30.0), 1e-2));
    EXPECT_LT(corner.x, 0.0f) << "turned anticlockwise on screen";
    EXPECT_EQ(s.UndoSteps(), 1);
    EXPECT_EQ(s.Undone(1, false), original);
}

TEST(SelectToolScale, CrossingTheFixedCornerMirrorsAPathButNotAText) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-40.0f, 40.0f, -40.0f, 40.0f}, 1));
    s.Drawing().Add(MakeText(u"Label", {-40.0f, 60.0f}));
    s.Start();
    const DrawingSnapshot original = Snapshot(s.Drawing(), false);

    // Path: the bottom-right handle dragged past the top-left corner.
    s.view.SelectObject(0);
    const CPoint grip = s.Tool().HandlePoints()[4];
    s.view.OnLButtonDown(kDown, grip);
    ASSERT_EQ(s.Tool().GetMode(), CSelectTool::kModeScale);
    s.view.OnMouseMove(kDown, s.Px(-100.0f, -100.0f));
    const float sx = s.Tool().GetTransform().At(0, 0);
    const float sy = s.Tool().GetTransform().At(1, 1);
    EXPECT_LT(sx, 0.0f);
    EXPECT_FLOAT_EQ(sx, sy) << "corners scale uniformly";
    s.view.OnLButtonUp(0, s.Px(-100.0f, -100.0f));
    const CRectF mirrored = s.Drawing().GetAt(0)->bounds;
    EXPECT_LT(mirrored.right, -40.0f + 1e-3f);
    EXPECT_LT(mirrored.bottom, -40.0f + 1e-3f);

    // Text: the same drag holds both factors at 0.1.
    s.view.ClearSelection();
    s.view.SelectObject(1);
    const CRectF textBounds = s.Drawing().GetAt(1)->bounds;
    const CPoint textGrip = s.Tool().HandlePoints()[4];
    s.view.OnLButtonDown(kDown, textGrip);
    ASSERT_EQ(s.Tool().GetMode(), CSelectTool::kModeScale);
    s.view.OnMouseMove(kDown, s.Px(textBounds.left - 60.0f, textBounds.top - 60.0f));
    EXPECT_FLOAT_EQ(s.Tool().GetTransform().At(0, 0), 0.1f);
    EXPECT_FLOAT_EQ(s.Tool().GetTransform().At(1, 1), 0.1f);
    s.view.OnLButtonUp(0, s.Px(textBounds.left - 60.0f, textBounds.top - 60.0f));
    const CTextShape* text = s.Drawing().GetAt(1)->AsText();
    EXPECT_GT(text->height, 0.0f);
    EXPECT_TRUE(ExpectNear(text->position, CPointF{textBounds.left, textBounds.top}, 1.0f))
        << "the text stays on the handle's side of the fixed corner";

    EXPECT_EQ(s.UndoSteps(), 2);
    EXPECT_EQ(s.Undone(2, false), original);
}

TEST(SelectToolDuplicate, CtrlDragLeavesTheSourceAndAddsAMovedCopyUndoneInOneStep) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-50.0f, -10.0f, -50.0f, -10.0f}, 1));
    s.Drawing().Add(MakeRect({20.0f, 40.0f, 20.0f, 40.0f}, 2));
    CDrawing appClipboard;
    appClipboard.Add(MakeRect({0.0f, 1.0f, 0.0f, 1.0f}, 77));
    s.view.SetClipboard(&appClipboard);
    s.Start();
    const DrawingSnapshot original = Snapshot(s.Drawing(), false);
    const DrawingSnapshot clipboardBefore = Snapshot(appClipboard, false);

    s.Drag(s.Px(-30.0f, -30.0f), s.Px(70.0f, -20.0f), kCtrl);
    ASSERT_EQ(s.Drawing().Count(), 3);
    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(0)), CPointF{-50.0f, -50.0f}, 0.0));
    EXPECT_EQ(s.Drawing().GetAt(2)->color, 1u);
    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(2)), CPointF{50.0f, -40.0f}, 1e-3));
    EXPECT_EQ(s.Selected(), (std::vector<int>{2})) << "the copy is selected";
    EXPECT_EQ(Snapshot(appClipboard, false), clipboardBefore);
    EXPECT_EQ(s.UndoSteps(), 1);

    // Ctrl on an already selected object copies the whole selection.
    s.view.SelectObject(1);
    s.Drag(s.Px(30.0f, 30.0f), s.Px(30.0f, 80.0f), kCtrl);
    ASSERT_EQ(s.Drawing().Count(), 5);
    EXPECT_TRUE(ExpectNear(FirstAnchor(*s.Drawing().GetAt(4)), CPointF{50.0f, 10.0f}, 1e-3));
    EXPECT_EQ(s.UndoSteps(), 2);

    EXPECT_EQ(s.Undone(2, false), original);
}

TEST(SelectToolTaps, TapOnASelectedObjectRecordsNothingAndDoubleClickOpensProperties) {
    CSelectSetup s;
    s.Drawing().Add(MakeRect({-50.0f, 50.0f, -50.0f, 50.0f}, 1));
    s.Drawing().Add(MakeText(u"<!tag>", {80.0f, 80.0f}));
    s.Start();
    s.Tap(s.Px(0.0f, 0.0f));
    const DrawingSnapshot selected = Snapshot(s.Drawing(), false);
    const CDibSection shown = s.host.front;
    s.Tap(s.Px(0.0f, 0.0f));
    EXPECT_EQ(Snapshot(s.Drawing(), false), selected);
    EXPECT_EQ(CountDifferences(shown, s.host.front), 0) << "the feedback of a tap leaves no trace";
    // A drag that comes back to its start is no change either.
    s.view.OnLButtonDown(kDown, s.Px(0.0f, 0.0f));
    s.view.OnMouseMove(kDown, s.Px(20.0f, 5.0f));
    s.view.OnLButtonUp(0, s.Px(0.0f, 0.0f));
    EXPECT_EQ(Snapshot(s.Drawing(), false), selected);
    EXPECT_EQ(CountDifferences(shown, s.host.front), 0);
    EXPECT_EQ(s.UndoSteps(), 0);
    EXPECT_TRUE(s.host.posted.empty());

    s.view.OnLButtonDblClk(kDown, s.Px(1.0f, 2.0f));
    ASSERT_EQ(s.host.posted.size(), 1u);
    EXPECT_EQ(s.host.posted.front(), CSelectTool::kPropertiesCommand);
    s.host.posted.clear();

    // A tap on a text tagged "<!...>" selects it and asks for its properties.
    const CRectF tag = s.Drawing().GetAt(1)->bounds;
    s.Tap(s.Px(tag.Center().x, tag.Center().y));
    EXPECT_EQ(s.Selected(), (std::vector<int>{1}));
    ASSERT_EQ(s.host.posted.size(), 1u);
    EXPECT_EQ(s.host.posted.front(), CSelectTool::kPropertiesCommand);
}

} // namespace
} // namespace pq::test
