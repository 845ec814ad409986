#include "TestHelpers.h"
#include "ViewTestSetup.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

constexpr CPoint kCenter{200, 150};

float OneToOne() {
    return CViewMapping::PixelsPerUnit();
}

// At a scale limit the command changes nothing; otherwise it doubles or halves the scale about the centre.
TEST(ViewZoom, ZoomCommandsKeepTheClientCentreFixedAndStopAtTheScaleLimits) {
    const struct {
        int command;
        float scale;
        float expected;
    } cases[] = {
        {cmd::kZoomIn, 0.8f, 1.6f},
        {cmd::kZoomOut, 0.8f, 0.4f},
        {cmd::kZoomIn, CViewMapping::kDefaultMaxScale, CViewMapping::kDefaultMaxScale},
        {cmd::kZoomOut, CViewMapping::kDefaultMinScale, CViewMapping::kDefaultMinScale},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        CViewSetup s;
        s.view.GetMapping().SetOrigins(123.0f, -45.0f, 17, 260);
        s.view.GetMapping().SetScale(c.scale);
        s.view.SetTool(ToolKind::Zoom);
        const CPointF before = s.view.GetMapping().DeviceToDoc(kCenter);
        ASSERT_TRUE(s.view.OnCommand(c.command));
        EXPECT_TRUE(ExpectNear(s.view.GetMapping().DeviceToDoc(kCenter), before, 1e-3)) << c.command;
        EXPECT_FLOAT_EQ(s.view.GetMapping().GetScale(), c.expected);
        if (c.scale != c.expected) {
            EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Pan)) << "zooming ends with the Pan tool";
            EXPECT_GT(s.host.invalidations, 0);
        }
    }
}

TEST(ViewZoom, OneToOneSetsTheScreenScaleExactlyAboutTheCentre) {
    for (float scale : {0.0137f, 3.3f, 71.0f}) {
        CViewSetup s;
        s.view.GetMapping().SetOrigins(-300.0f, 80.0f, 10, 20);
        s.view.GetMapping().SetScale(scale);
        const CPointF before = s.view.GetMapping().DeviceToDoc(kCenter);
        s.view.OnCommand(cmd::kZoomOneToOne);
        EXPECT_EQ(s.view.GetMapping().GetScale(), OneToOne()) << scale;
        EXPECT_TRUE(ExpectNear(s.view.GetMapping().DeviceToDoc(kCenter), before, 1e-2)) << scale;
    }
}

// Opening an empty document fits its page, and so does the command from anywhere else: the page is taller
// than the window is, so it fills the height less 2 pixels above and below.
TEST(ViewZoom, FitPageAndOpeningAnEmptyDocumentShowTheWholePageInsideTwoPixels) {
    CViewSetup s;
    s.Open();
    const CViewMapping& m = s.view.GetMapping();
    const float w = s.Drawing().GetPageWidth(), h = s.Drawing().GetPageHeight();
    EXPECT_EQ(m.DocToDeviceY(-h / 2), 2);
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Pan));
    s.view.GetMapping().SetOrigins(-300.0f, 80.0f, 10, 20);
    s.view.GetMapping().SetScale(3.3f);
    s.view.OnCommand(cmd::kFitPage);
    EXPECT_EQ(m.DocToDeviceY(-h / 2), 2);
    EXPECT_EQ(m.DocToDeviceY(h / 2), 298);
    EXPECT_EQ(m.DocToDevice(CPointF{0, 0}), kCenter);
    EXPECT_GE(m.DocToDeviceX(-w / 2), 2);
}

TEST(ViewZoom, FitPageOfADegeneratePageFallsBackToOneToOne) {
    CViewSetup s;
    s.Drawing().SetPageSize(1.0f, 500.0f);
    s.view.GetMapping().SetScale(5.0f);
    s.view.OnCommand(cmd::kFitPage);
    s.host.RunPosted(s.view);
    EXPECT_EQ(s.view.GetMapping().GetScale(), OneToOne());
}

TEST(ViewZoom, FirstPaintFitsThePageOfAnEmptyDrawingAndTheObjectsOtherwise) {
    {
        CViewSetup s;
        s.view.OnPaint();
        EXPECT_TRUE(s.view.IsInitialised());
        EXPECT_TRUE(s.view.GetBackBuffer().IsEmpty()) << "the fitting paint draws nothing";
        EXPECT_EQ(s.view.GetMapping().DocToDeviceY(s.Drawing().GetPageHeight() / 2), 298);
        EXPECT_EQ(s.host.invalidations, 1) << "it asks for the paint that shows the fit";
        s.view.OnPaint();
        EXPECT_FALSE(s.view.GetBackBuffer().IsEmpty());
    }
    {
        CViewSetup s;
        s.Drawing().Add(MakeRect({100.0f, 300.0f, 0.0f, 50.0f}));
        s.Drawing().Add(MakeRect({-900.0f, 900.0f, -900.0f, 900.0f}, 0, 1)); // another page
        s.view.OnPaint();
        const CViewMapping& m = s.view.GetMapping();
        EXPECT_EQ(m.DocToDeviceX(100.0f), 2);
        EXPECT_EQ(m.DocToDeviceX(300.0f), 398);
        EXPECT_EQ(m.DocToDevice(CPointF{200.0f, 25.0f}), kCenter);
    }
}

TEST(ViewZoom, OpeningADocumentWithObjectsFitsThem) {
    CViewSetup s;
    s.Drawing().Add(MakeRect({-10.0f, 10.0f, -20.0f, 20.0f}));
    s.Open();
    EXPECT_EQ(s.view.GetMapping().DocToDeviceY(-20.0f), 2);
    EXPECT_EQ(s.view.GetMapping().DocToDeviceY(20.0f), 298);
}

TEST(ViewZoom, ZoomMenuMakesTheZoomToolCurrentAndRunsTheChosenCommand) {
    CViewSetup s;
    s.Open();
    s.host.menuChoice = cmd::kZoomIn;
    const float scale = s.view.GetMapping().GetScale();
    s.view.OnCommand(cmd::kToolZoomMenu);
    EXPECT_EQ(s.host.lastMenu.size(), 7u);
    EXPECT_FLOAT_EQ(s.view.GetMapping().GetScale(), scale * 2);

    s.view.SetShowPage(false);
    s.host.menuChoice = 0;
    s.view.OnCommand(cmd::kToolZoomMenu);
    EXPECT_EQ(s.host.lastMenu.size(), 6u) << "no Fit Page without the page frame";
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Zoom));
}

} // namespace
} // namespace pq::test
