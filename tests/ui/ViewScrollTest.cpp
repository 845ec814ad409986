#include "TestHelpers.h"
#include "ViewTestSetup.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pq::test {
namespace {

constexpr auto kH = ScrollBarAxis::Horizontal;
constexpr auto kV = ScrollBarAxis::Vertical;

// A 400 x 300 view on an opened document at a scale, with the document point centre at the client centre
// and the scroll bars shown.
struct CScrollSetup : CViewSetup {
    explicit CScrollSetup(float scale, CPointF centre = {0.0f, 0.0f}, float pageWidth = 1480.0f,
                          float pageHeight = 2100.0f) {
        Drawing().SetPageSize(pageWidth, pageHeight);
        Open();
        Paint();
        view.GetMapping().SetOrigins(centre.x, centre.y, 200, 150);
        view.GetMapping().SetScale(scale);
        if (!view.GetShowScrollBars())
            view.OnCommand(cmd::kScrollBars);
        view.UpdateScrollBars();
    }
    CScrollBarInfo Bar(ScrollBarAxis axis) { return host.scrollBars[axis]; }
    // The document coordinate at the client's first column or row.
    float ViewStartDoc(ScrollBarAxis axis) const {
        return axis == kH ? view.GetMapping().DeviceToDocX(0.0f) : view.GetMapping().DeviceToDocY(0.0f);
    }
    // The same at the client's last edge.
    float ViewEndDoc(ScrollBarAxis axis) const {
        return axis == kH ? view.GetMapping().DeviceToDocX(400.0f) : view.GetMapping().DeviceToDocY(300.0f);
    }
    void Scroll(ScrollBarAxis axis, ScrollCode code, int position = 0) {
        if (axis == kH)
            view.OnHScroll(code, position);
        else
            view.OnVScroll(code, position);
    }
};

float ExtentStart(const CPqxView& view, ScrollBarAxis axis) {
    const CRectF e = view.GetScrollExtent();
    return axis == kH ? e.left : e.top;
}

float ExtentEnd(const CPqxView& view, ScrollBarAxis axis) {
    const CRectF e = view.GetScrollExtent();
    return axis == kH ? e.right : e.bottom;
}

TEST(ScrollBarLayout, ThumbIsTheViewAndTheRangeSpansContentAndView) {
    // The view inside the content: 120.25 pixels of content before it, 400 visible, 499.75 after.
    CScrollAxis inside{100.25, 400, -20.0, 1000.0};
    CScrollBarLayout a = LayOutScrollBar(inside);
    EXPECT_EQ(a.info.page, 400);
    EXPECT_EQ(a.info.position, 121) << "the part before the view, rounded up";
    EXPECT_EQ(a.info.range, 121 + 400 + 500);
    EXPECT_DOUBLE_EQ(a.origin, 100.25 - 121);
    EXPECT_EQ(a.unit, 1);

    // The view beyond the content's end: the bar reaches to the view, which shows at its end.
    CScrollBarLayout b = LayOutScrollBar(CScrollAxis{2000.0, 400, -20.0, 1000.0});
    EXPECT_EQ(b.info.position, 2020);
    EXPECT_EQ(b.info.range, 2420);

    // Content smaller than the view: one thumb filling the bar, nowhere to scroll.
    CScrollBarLayout c = LayOutScrollBar(CScrollAxis{-50.0, 400, 0.0, 200.0});
    EXPECT_EQ(c.info.position, 0);
    EXPECT_EQ(c.info.range, 400);
    EXPECT_EQ(ClampScrollPosition(c, 10), 0);

    // A view that starts a hair before the content does not count that hair as a pixel.
    EXPECT_EQ(LayOutScrollBar(CScrollAxis{-1e-9, 300, 0.0, 900.0}).info.range, 900);
}

TEST(ScrollBarLayout, AnExtentTooLongForIntTakesSeveralPixelsPerUnit) {
    const CScrollBarLayout layout = LayOutScrollBar(CScrollAxis{1.0e10, 800, -2.0e10, 2.0e10});
    EXPECT_GT(layout.unit, 1);
    EXPECT_LE(layout.info.range, kMaxScrollUnits);
    EXPECT_GE(layout.info.page, 1);
    // Every position still names the view start it shows, and the view start names the position.
    for (int position : {0, 1, layout.info.position, layout.info.range - layout.info.page}) {
        const double start = 1.0e10 + static_cast<double>(PixelsToScrollPosition(layout, 1.0e10, position));
        const CScrollBarLayout again = LayOutScrollBar(CScrollAxis{start, 800, -2.0e10, 2.0e10});
        EXPECT_EQ(again.info.position, position);
    }
    // Nothing finite to lay out leaves an empty bar rather than a wild one.
    const CScrollBarLayout odd = LayOutScrollBar(CScrollAxis{0.0, 400, -INFINITY, NAN});
    EXPECT_EQ(odd.info.range, 400);
}

TEST(ViewScroll, ThumbIsTheVisiblePartOfThePageAndMarginAtEveryZoom) {
    const struct {
        float width, height, scale;
    } cases[] = {{1480, 2100, 0.1f}, {1480, 2100, 0.378f}, {1480, 2100, 1.0f},
                 {2100, 2970, 2.5f}, {5000, 800, 0.25f},   {300, 9000, 4.0f}};
    for (const auto& c : cases) {
        CScrollSetup s(c.scale, {0.0f, 0.0f}, c.width, c.height);
        const float margin = std::max(c.width, c.height) * CPqxView::kPageMarginFraction;
        for (ScrollBarAxis axis : {kH, kV}) {
            const CScrollBarInfo bar = s.Bar(axis);
            const int client = axis == kH ? 400 : 300;
            const float side = axis == kH ? c.width : c.height;
            const double extentPixels = (side + 2 * margin) * c.scale;
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.scale
                                            << (axis == kH ? " horizontal" : " vertical"));
            EXPECT_EQ(bar.page, client);
            EXPECT_LE(std::abs(bar.range - std::max<double>(client, extentPixels)), 2.0);
            // The thumb starts where the view does: the pixels of page and margin before it.
            if (extentPixels > client) {
                const double before = (s.ViewStartDoc(axis) - ExtentStart(s.view, axis)) * c.scale;
                EXPECT_LE(std::abs(bar.position - before), 1.0);
            } else {
                EXPECT_EQ(bar.position, 0);
                EXPECT_EQ(bar.range, client) << "all of it shows: nothing to scroll";
            }
        }
    }
}

TEST(ViewScroll, EveryThumbPositionRoundTripsOnBothBars) {
    for (float scale : {0.3f, 1.0f, 3.7f}) {
        CScrollSetup s(scale, {123.4f, -56.7f});
        for (ScrollBarAxis axis : {kH, kV}) {
            const CScrollBarInfo bar = s.Bar(axis);
            ASSERT_GT(bar.range, bar.page);
            int failures = 0;
            for (int position = 0; position <= bar.range - bar.page; ++position) {
                s.Scroll(axis, ScrollCode::ThumbPosition, position);
                const CScrollBarInfo now = s.Bar(axis);
                // The view starts exactly where the thumb says: the extent's start plus position pixels.
                const double start = ExtentStart(s.view, axis) * scale;
                const double shown = s.ViewStartDoc(axis) * scale;
                if (now.position != position || now.range != bar.range || now.page != bar.page ||
                    std::abs(shown - start - position) > 1.0)
                    ++failures;
            }
            EXPECT_EQ(failures, 0) << "scale " << scale << (axis == kH ? " horizontal" : " vertical");
        }
    }
}

TEST(ViewScroll, TroughClicksPageAndLineStepsMoveByTheClientAndStopAtTheMargin) {
    CScrollSetup s(1.0f);
    const CScrollBarInfo start = s.Bar(kH);
    s.Scroll(kH, ScrollCode::PageDown);
    EXPECT_EQ(s.Bar(kH).position, start.position + 400) << "a page is the visible width";
    s.Scroll(kH, ScrollCode::LineUp);
    EXPECT_EQ(s.Bar(kH).position, start.position + 360) << "a line is a tenth of it";
    const int vertical = s.Bar(kV).position;
    s.Scroll(kV, ScrollCode::LineDown);
    EXPECT_EQ(s.Bar(kV).position, vertical + 30);

    // However often the trough is clicked, the view stops with its edge on the margin's edge.
    for (int i = 0; i < 50; ++i)
        s.Scroll(kH, ScrollCode::PageDown);
    EXPECT_EQ(s.Bar(kH).position, s.Bar(kH).range - s.Bar(kH).page);
    EXPECT_NEAR(s.ViewEndDoc(kH), ExtentEnd(s.view, kH), 1.0f);
    for (int i = 0; i < 50; ++i)
        s.Scroll(kV, ScrollCode::PageUp);
    EXPECT_EQ(s.Bar(kV).position, 0);
    EXPECT_NEAR(s.ViewStartDoc(kV), ExtentStart(s.view, kV), 1.0f);
    // Top and Bottom go to the ends.
    s.Scroll(kV, ScrollCode::Bottom);
    EXPECT_NEAR(s.ViewEndDoc(kV), ExtentEnd(s.view, kV), 1.0f);
    s.Scroll(kV, ScrollCode::Top);
    EXPECT_NEAR(s.ViewStartDoc(kV), ExtentStart(s.view, kV), 1.0f);
}

TEST(ViewScroll, ArrowKeysScrollByATenthOfTheClientAreaAndTheBarsFollow) {
    const struct {
        int command;
        CPoint shift; // of the drawing on the screen, which the thumb follows the other way
    } cases[] = {{cmd::kScrollLeft, {40, 0}},
                 {cmd::kScrollRight, {-40, 0}},
                 {cmd::kScrollUp, {0, 30}},
                 {cmd::kScrollDown, {0, -30}}};
    for (const auto& c : cases) {
        CScrollSetup s(1.0f);
        const CScrollBarInfo h = s.Bar(kH), v = s.Bar(kV);
        const CPoint origin = s.view.GetMapping().DocToDevice(CPointF{0, 0});
        s.view.OnCommand(c.command);
        EXPECT_EQ(s.view.GetMapping().DocToDevice(CPointF{0, 0}), origin + c.shift) << c.command;
        EXPECT_EQ(s.Bar(kH).position, h.position - c.shift.x) << c.command;
        EXPECT_EQ(s.Bar(kV).position, v.position - c.shift.y) << c.command;
    }
}

TEST(ViewScroll, DraggedThumbCarriesTheViewAndTheBarIsLaidOutAtTheDrop) {
    CScrollSetup s(1.0f);
    const CScrollBarInfo before = s.Bar(kH);
    const int last = before.range - before.page;
    // Dragged to the far end, back to the start and into the middle: the view follows every move.
    for (int position : {last, 0, last / 2, last / 2 + 7}) {
        s.Scroll(kH, ScrollCode::ThumbTrack, position);
        EXPECT_NEAR(s.ViewStartDoc(kH), ExtentStart(s.view, kH) + position, 1.0f) << position;
        EXPECT_EQ(s.Bar(kH), before) << "the bar is not reconfigured under the dragged thumb";
    }
    s.Scroll(kH, ScrollCode::ThumbPosition, last / 2 + 7);
    EXPECT_EQ(s.Bar(kH).position, last / 2 + 7);
    EXPECT_GT(s.host.invalidations, 0);

    // A drag past the ends lands on them, never beyond the margin.
    s.Scroll(kV, ScrollCode::ThumbTrack, 1000000);
    s.Scroll(kV, ScrollCode::ThumbPosition, 1000000);
    EXPECT_NEAR(s.ViewEndDoc(kV), ExtentEnd(s.view, kV), 1.0f);
    s.Scroll(kV, ScrollCode::ThumbTrack, -5);
    s.Scroll(kV, ScrollCode::EndScroll);
    EXPECT_NEAR(s.ViewStartDoc(kV), ExtentStart(s.view, kV), 1.0f);
    EXPECT_EQ(s.Bar(kV).position, 0);
}

TEST(ViewScroll, AZoomDuringADragOrADropThatNeverCameLaysTheBarOutAgain) {
    CScrollSetup s(1.0f);
    s.Scroll(kH, ScrollCode::ThumbTrack, 50);
    const CScrollBarInfo during = s.Bar(kH);
    s.view.ZoomAt(CPoint{200, 150}, 2.0);
    EXPECT_NE(s.Bar(kH), during) << "the old bar's pixels no longer fit the view";
    EXPECT_EQ(s.Bar(kH), s.view.GetScrollBarLayout(kH).info);
    // The drop lands on the new bar.
    s.Scroll(kH, ScrollCode::ThumbPosition, 300);
    EXPECT_EQ(s.Bar(kH).position, 300);

    // A drag whose release was lost: the next page step still lays the bar out.
    s.Scroll(kV, ScrollCode::ThumbTrack, 10);
    s.Scroll(kV, ScrollCode::PageDown);
    EXPECT_EQ(s.Bar(kV), s.view.GetScrollBarLayout(kV).info);
    EXPECT_EQ(s.Bar(kV).position, 10 + 300);
}

TEST(ViewScroll, AViewPannedOffThePageIsOnTheBarAndADragBringsItBack) {
    CScrollSetup s(1.0f);
    // Far to the right of the page, as the Pan tool can put it.
    s.view.ScrollBy(-5000, 0);
    const CScrollBarInfo away = s.Bar(kH);
    EXPECT_EQ(away.position, away.range - away.page) << "the view is at the bar's end";
    const float awayStart = s.ViewStartDoc(kH);
    // During one drag, over to the page and back: the bar keeps its layout, so the view returns exactly.
    s.Scroll(kH, ScrollCode::ThumbTrack, 100);
    EXPECT_NEAR(s.ViewStartDoc(kH), ExtentStart(s.view, kH) + 100, 1.0f);
    s.Scroll(kH, ScrollCode::ThumbTrack, away.position);
    EXPECT_EQ(s.ViewStartDoc(kH), awayStart);
    s.Scroll(kH, ScrollCode::ThumbTrack, 100);
    s.Scroll(kH, ScrollCode::ThumbPosition, 100);
    // Dropped on the page: the bar now spans page and margin only.
    EXPECT_EQ(s.Bar(kH).position, 100);
    EXPECT_LT(s.Bar(kH).range, away.range);
    EXPECT_NEAR(s.Bar(kH).range, 1480 + 2 * 210, 2);
}

// Objects of the page shown beyond its edge widen the bars; those of other pages do not. The extent is
// measured again after every edit and undo, though the count of objects stays.
TEST(ViewScroll, AnObjectMovedBeyondThePageAndBackResizesTheBars) {
    CScrollSetup s(1.0f);
    s.Drawing().Add(MakeRect({0.0f, 100.0f, 0.0f, 100.0f}));
    s.Drawing().Add(MakeRect({-9000.0f, 9000.0f, 0.0f, 100.0f}, 0, 1));
    s.Paint();
    const int range = s.Bar(kH).range;
    const int index = 0;
    ASSERT_TRUE(s.view.GetUndoRecorder().RecordModify(std::span<const int>(&index, 1)));
    ASSERT_TRUE(s.Drawing().SetAt(0, MakeRect({3000.0f, 3200.0f, 0.0f, 100.0f})));
    s.Paint();
    // The page's right edge with its margin was at 740 + 210.
    EXPECT_NEAR(s.Bar(kH).range, range + (3200 - 740 - 210), 2);
    s.view.OnCommand(cmd::kUndo);
    s.Paint();
    EXPECT_EQ(s.Bar(kH).range, range);
    s.view.OnCommand(cmd::kRedo);
    s.Paint();
    s.Scroll(kH, ScrollCode::Bottom);
    EXPECT_NEAR(s.ViewEndDoc(kH), 3200.0f, 1.0f);
}

TEST(ViewScroll, HiddenBarsShowNothingAndShowingThemAgainKeepsThePlace) {
    CScrollSetup s(0.5f, {300.0f, 200.0f});
    const CPointF topLeft = s.view.GetMapping().DeviceToDoc(CPoint{0, 0});
    const CScrollBarInfo shown = s.Bar(kV);
    s.view.OnCommand(cmd::kScrollBars);
    EXPECT_EQ(s.Bar(kV), CScrollBarInfo{});
    EXPECT_EQ(s.Bar(kH).range, 0);
    s.view.OnCommand(cmd::kScrollBars);
    EXPECT_EQ(s.view.GetMapping().DeviceToDoc(CPoint{0, 0}), topLeft);
    EXPECT_EQ(s.Bar(kV), shown);
    ASSERT_TRUE(s.State(cmd::kScrollBars).handled);
    EXPECT_TRUE(s.State(cmd::kScrollBars).checked);
}

TEST(ViewScroll, OpeningADocumentWithTheBarsOffNeverShowsThem) {
    CViewSetup s;
    s.Drawing().Add(MakeRect({-300.0f, 300.0f, -200.0f, 200.0f}));
    // A paint and a resize may come between the update and the posted commands it queued.
    s.view.OnUpdate();
    s.view.OnPaint();
    s.view.OnSize(400, 300);
    s.host.RunPosted(s.view);
    s.Paint();
    s.view.OnMouseWheel(CWheelEvent{-1.0f, false, 3, 0, CPoint{}});
    EXPECT_FALSE(s.view.GetShowScrollBars());
    EXPECT_EQ(s.host.shownScrollInfos, 0) << "no bar flashes up while the document opens";
    s.view.OnCommand(cmd::kScrollBars);
    EXPECT_GT(s.host.scrollBars[kV].range, 0);
}

TEST(ViewScroll, HugeDrawingAtTheHighestZoomStaysWithinTheBar) {
    CScrollSetup s(CViewMapping::kDefaultMaxScale);
    s.Drawing().Add(MakeRect({-90000.0f, 90000.0f, -10.0f, 10.0f}));
    s.view.UpdateScrollBars();
    const CScrollBarInfo bar = s.Bar(kH);
    EXPECT_LE(bar.range, kMaxScrollUnits);
    EXPECT_GE(bar.page, 1);
    for (int position : {0, bar.range / 3, bar.range - bar.page}) {
        s.Scroll(kH, ScrollCode::ThumbPosition, position);
        EXPECT_NEAR(s.Bar(kH).position, position, 1) << position;
    }
    // At the far end the view shows the drawing's right edge.
    EXPECT_NEAR(s.ViewEndDoc(kH), 90000.0f, 1.0f);
}

TEST(ViewWheel, WheelScrollsUpAndDownAndShiftOrATiltScrollsSideways) {
    const struct {
        float notches;
        bool sideways;
        unsigned flags;
        CPoint shift; // of the drawing on the screen
    } cases[] = {{1.0f, false, 0, {0, 60}},
                 {-2.0f, false, 0, {0, -120}},
                 {1.0f, false, kKeyFlagShift, {60, 0}},
                 {1.0f, true, 0, {-60, 0}},
                 {-0.5f, true, 0, {30, 0}}};
    for (const auto& c : cases) {
        CScrollSetup s(1.0f);
        const CPoint origin = s.view.GetMapping().DocToDevice(CPointF{0, 0});
        const float scale = s.view.GetMapping().GetScale();
        s.view.OnMouseWheel(CWheelEvent{c.notches, c.sideways, 3, c.flags, CPoint{10, 10}});
        EXPECT_EQ(s.view.GetMapping().DocToDevice(CPointF{0, 0}), origin + c.shift) << c.notches;
        EXPECT_EQ(s.view.GetMapping().GetScale(), scale) << "scrolling does not zoom";
    }
}

TEST(ViewWheel, SmoothScrollFractionsAddUpAndTheWheelStopsAtTheMargin) {
    CScrollSetup s(1.0f);
    const CPoint origin = s.view.GetMapping().DocToDevice(CPointF{0, 0});
    for (int i = 0; i < 30; ++i)
        s.view.OnMouseWheel(CWheelEvent{-0.01f, false, 3, 0, CPoint{}});
    EXPECT_NEAR(s.view.GetMapping().DocToDevice(CPointF{0, 0}).y, origin.y - 18, 1);
    for (int i = 0; i < 200; ++i)
        s.view.OnMouseWheel(CWheelEvent{-1.0f, false, 3, 0, CPoint{}});
    EXPECT_NEAR(s.ViewEndDoc(kV), ExtentEnd(s.view, kV), 1.0f);
    EXPECT_EQ(s.Bar(kV).position, s.Bar(kV).range - s.Bar(kV).page);
}

TEST(ViewWheel, WheelDuringADragDoesNothing) {
    CScrollSetup s(1.0f);
    s.host.captured = true;
    const CViewMapping before = s.view.GetMapping();
    s.view.OnMouseWheel(CWheelEvent{1.0f, false, 3, 0, CPoint{}});
    s.view.OnMouseWheel(CWheelEvent{1.0f, false, 3, kKeyFlagControl, CPoint{}});
    EXPECT_EQ(s.view.GetMapping().GetDeviceOrigin(), before.GetDeviceOrigin());
    EXPECT_EQ(s.view.GetMapping().GetScale(), before.GetScale());
}

TEST(ViewWheel, CtrlWheelZoomsAboutThePointerWhichStaysOnTheSameDocumentPoint) {
    for (CPoint pointer : {CPoint{0, 0}, CPoint{37, 251}, CPoint{399, 12}, CPoint{200, 150}}) {
        for (float notches : {1.0f, -1.0f, 3.0f, 0.25f}) {
            CScrollSetup s(0.8f, {55.5f, -140.25f});
            s.view.SetTool(ToolKind::Line);
            const int changes = s.host.mappingChanges;
            const CPointF under = s.view.GetMapping().DeviceToDoc(pointer);
            s.view.OnMouseWheel(CWheelEvent{notches, false, 3, kKeyFlagControl, pointer});
            SCOPED_TRACE(testing::Message() << pointer.x << "," << pointer.y << " by " << notches);
            EXPECT_FLOAT_EQ(s.view.GetMapping().GetScale(), 0.8f * std::pow(std::sqrt(2.0f), notches));
            const CPointF now = s.view.GetMapping().DocToDevicef(under);
            EXPECT_LE(std::fabs(now.x - pointer.x), 1.0f);
            EXPECT_LE(std::fabs(now.y - pointer.y), 1.0f);
            EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Line)) << "the wheel keeps the tool";
            EXPECT_GT(s.host.mappingChanges, changes) << "the frame hears of the zoom";
        }
    }
}

TEST(ViewWheel, CtrlWheelStopsAtTheZoomLimitsWithThePointerFixed) {
    CScrollSetup s(CViewMapping::kDefaultMaxScale / 1.2f);
    const CPoint pointer{300, 40};
    const CPointF under = s.view.GetMapping().DeviceToDoc(pointer);
    for (int i = 0; i < 5; ++i)
        s.view.OnMouseWheel(CWheelEvent{1.0f, false, 3, kKeyFlagControl, pointer});
    EXPECT_EQ(s.view.GetMapping().GetScale(), CViewMapping::kDefaultMaxScale);
    EXPECT_LE(std::fabs(s.view.GetMapping().DocToDevicef(under).x - pointer.x), 1.0f);
    for (int i = 0; i < 200; ++i)
        s.view.OnMouseWheel(CWheelEvent{-1.0f, false, 3, kKeyFlagControl, pointer});
    EXPECT_EQ(s.view.GetMapping().GetScale(), CViewMapping::kDefaultMinScale);
}

TEST(ViewWheel, PinchZoomsByTheGesturesFactorAboutItsCentre) {
    CScrollSetup s(1.0f, {10.0f, 20.0f});
    const CPoint centre{120, 200};
    const CPointF under = s.view.GetMapping().DeviceToDoc(centre);
    s.view.OnPinch(centre, 1.0, true);
    for (double zoom : {1.1, 1.3, 1.25, 1.5})
        s.view.OnPinch(centre, zoom, false);
    EXPECT_NEAR(s.view.GetMapping().GetScale(), 1.5, 1e-5);
    EXPECT_TRUE(ExpectNear(s.view.GetMapping().DocToDevicef(under), CPointF{120.0f, 200.0f}, 1.0));
    // A new gesture starts from the scale the last one left; nonsense factors are ignored.
    s.view.OnPinch(centre, 0.5, true);
    s.view.OnPinch(centre, 0.0, false);
    s.view.OnPinch(centre, NAN, false);
    EXPECT_NEAR(s.view.GetMapping().GetScale(), 0.75, 1e-5);
}

TEST(ViewResize, AWholePageShownIsCentredAgainAfterAResize) {
    CViewSetup s(400, 300);
    s.Open();
    s.Paint();
    s.view.OnSize(400, 300);
    ASSERT_EQ(s.view.GetMapping().DocToDevice(CPointF{0, 0}), CPoint(200, 150));
    const float scale = s.view.GetMapping().GetScale();
    s.host.Resize(700, 500);
    s.view.OnSize(700, 500);
    EXPECT_EQ(s.view.GetMapping().DocToDevice(CPointF{0, 0}), CPoint(350, 250));
    EXPECT_EQ(s.view.GetMapping().GetScale(), scale) << "the zoom stays";
    // Smaller again, but the page (about 209 x 296 pixels) still fits: centred again.
    s.host.Resize(300, 320);
    s.view.OnSize(300, 320);
    EXPECT_EQ(s.view.GetMapping().DocToDevice(CPointF{0, 0}), CPoint(150, 160));
    // Too small for the page, then back: centred in the window that fits it again.
    s.host.Resize(120, 90);
    s.view.OnSize(120, 90);
    s.host.Resize(400, 300);
    s.view.OnSize(400, 300);
    EXPECT_EQ(s.view.GetMapping().DocToDevice(CPointF{0, 0}), CPoint(200, 150));
}

TEST(ViewResize, APartOfThePageShownStaysWhereItIs) {
    CScrollSetup s(2.0f, {-300.0f, 400.0f});
    s.view.OnSize(400, 300);
    const CPointF topLeft = s.view.GetMapping().DeviceToDoc(CPoint{0, 0});
    s.host.Resize(640, 480);
    s.view.OnSize(640, 480);
    EXPECT_EQ(s.view.GetMapping().DeviceToDoc(CPoint{0, 0}), topLeft);
    EXPECT_EQ(s.Bar(kH).page, 640) << "the thumb follows the new size";
    EXPECT_EQ(s.Bar(kV).page, 480);
}

} // namespace
} // namespace pq::test
