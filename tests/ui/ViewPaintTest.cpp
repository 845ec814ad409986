#include "RasterHelpers.h"
#include "ViewTestSetup.h"

#include <gtest/gtest.h>

#include <set>

namespace pq::test {
namespace {

// A view showing the grid without the page frame, so that everything off the grid is white.
struct CGridSetup : CViewSetup {
    CGridSetup(float docX, float docY, float scale) {
        view.SetShowPage(false);
        view.OnCommand(cmd::kGrid);
        view.GetMapping().SetOrigins(docX, docY, 7, 13);
        view.GetMapping().SetScale(scale);
        view.OnPaint(); // the fitting paint
        view.GetMapping().SetOrigins(docX, docY, 7, 13);
        view.GetMapping().SetScale(scale);
        view.OnPaint();
    }
};

// The columns (or rows) where multiples of the spacing land on screen.
std::set<int> GridColumns(const CViewMapping& m, bool vertical, int extent) {
    std::set<int> at;
    for (int k = -200; k <= 200; ++k) {
        const float v = static_cast<float>(k) * 100.0f;
        const int px = vertical ? m.DocToDeviceX(v) : m.DocToDeviceY(v);
        if (px >= 0 && px < extent)
            at.insert(px);
    }
    return at;
}

TEST(ViewPaint, GridLinesLieOnExactMultiplesOfTheSpacingWhereverTheViewIs) {
    const struct {
        float docX, docY, scale;
    } cases[] = {{0.0f, 0.0f, 0.1f}, {-1234.5f, 777.7f, 0.13f}, {5003.0f, -2999.0f, 0.5f}};
    for (const auto& c : cases) {
        CGridSetup s(c.docX, c.docY, c.scale);
        const CDibSection& back = s.view.GetBackBuffer();
        const std::set<int> columns = GridColumns(s.view.GetMapping(), true, 400);
        const std::set<int> rows = GridColumns(s.view.GetMapping(), false, 300);
        ASSERT_GE(columns.size(), 3u);
        int freeRow = 0;
        while (rows.count(freeRow))
            ++freeRow;
        int freeColumn = 0;
        while (columns.count(freeColumn))
            ++freeColumn;
        for (int x = 0; x < 400; ++x)
            EXPECT_EQ(PixelAt(back, x, freeRow), columns.count(x) ? 0x606060u : 0xFFFFFFu) << "x " << x;
        for (int y = 0; y < 300; ++y)
            EXPECT_EQ(PixelAt(back, freeColumn, y), rows.count(y) ? 0x606060u : 0xFFFFFFu) << "y " << y;
        // Crossings are inverted twice by the not-xor pen and come back white.
        EXPECT_EQ(PixelAt(back, *columns.begin(), *rows.begin()), 0xFFFFFFu);
    }
}

TEST(ViewPaint, GridIsLeftOutWhenItsLinesWouldBeCloserThanThreePixels) {
    const struct {
        float scale;
        bool drawn;
    } cases[] = {{0.02f, false}, {0.03f, true}};
    for (const auto& c : cases) {
        CGridSetup s(0.0f, 0.0f, c.scale);
        const CDibSection& back = s.view.GetBackBuffer();
        int grey = 0;
        for (int x = 0; x < 400; ++x)
            grey += PixelAt(back, x, 1) == 0x606060u ? 1 : 0;
        EXPECT_EQ(grey > 0, c.drawn) << c.scale;
    }
}

TEST(ViewPaint, PageHasABlackBorderAndATwoPixelShadowOnTheDesk) {
    CViewSetup s;
    s.Drawing().SetPageSize(400.0f, 200.0f);
    s.view.OnPaint();
    s.view.GetMapping().SetOrigins(0.0f, 0.0f, 200, 150);
    s.view.GetMapping().SetScale(0.5f); // the page runs from (100, 100) to (300, 200)
    s.view.OnPaint();
    const CDibSection& back = s.view.GetBackBuffer();
    const struct {
        int x, y;
        uint32_t color;
    } probes[] = {{50, 50, 0xEBEBEB},   {100, 150, 0x000000}, {299, 150, 0x000000},
                  {150, 150, 0xFFFFFF}, {300, 150, 0x464646}, {301, 150, 0x464646},
                  {302, 150, 0xEBEBEB}, {200, 201, 0x464646}, {100, 201, 0xEBEBEB}};
    for (const auto& p : probes)
        EXPECT_EQ(PixelAt(back, p.x, p.y), p.color) << p.x << "," << p.y;
    // The back buffer reached the window and was reported as damage.
    EXPECT_EQ(CountDifferences(back, s.host.front), 0);
    ASSERT_FALSE(s.host.damage.empty());
    EXPECT_EQ(s.host.damage.back(), (CRect{0, 0, 400, 300}));
}

// Only the current page's objects are drawn, and they reach a window of another depth with the same pixels.
TEST(ViewPaint, ObjectsOfTheCurrentPageAreDrawnAndReachAWindowOfAnotherDepth) {
    CViewSetup s;
    s.view.SetShowPage(false);
    s.Drawing().SetPageCount(2);
    s.Drawing().Add(MakeRect({-50.0f, 50.0f, -50.0f, 50.0f}, 0x0000FF, 0));
    s.Drawing().Add(MakeRect({-50.0f, 50.0f, -50.0f, 50.0f}, 0x00FF00, 1));
    s.host.front.Clear();
    ASSERT_TRUE(s.host.front.Create(400, 300, 32));
    s.Paint();
    EXPECT_EQ(PixelAt(s.view.GetBackBuffer(), 200, 150), 0x0000FFu);
    EXPECT_EQ(CountDifferences(s.view.GetBackBuffer(), s.host.front), 0);
    EXPECT_EQ(PixelAt(s.host.front, 200, 150), 0x0000FFu);
    s.view.SetCurrentPage(1);
    s.view.OnPaint();
    EXPECT_EQ(PixelAt(s.view.GetBackBuffer(), 200, 150), 0x00FF00u);
}

TEST(ViewPaint, BackBufferFollowsTheClientSize) {
    CViewSetup s;
    s.Paint();
    s.host.Resize(123, 45);
    s.view.OnSize(123, 45);
    s.view.OnPaint();
    EXPECT_EQ(s.view.GetBackBuffer().GetWidth(), 123);
    EXPECT_EQ(s.view.GetBackBuffer().GetHeight(), 45);
}

TEST(ViewSnap, PointsSnapToTheSpacingInDocumentUnits) {
    const struct {
        float spacing;
        float x;
        float expected;
    } cases[] = {{0.0f, 74.0f, 74.0f},     {50.0f, 74.0f, 50.0f},   {50.0f, 75.0f, 100.0f},
                 {50.0f, -75.0f, -100.0f}, {50.0f, -74.0f, -50.0f}, {50.0f, 0.0f, 0.0f}};
    for (const auto& c : cases) {
        CViewSetup s;
        s.view.SetSnapSpacing(c.spacing);
        // One pixel per unit with the origin at pixel 200, so the document x is the pixel less 200.
        s.view.GetMapping().SetOrigins(0.0f, 0.0f, 200, 100);
        s.view.GetMapping().SetScale(1.0f);
        const CPoint snapped =
            s.view.SnapPoint(CPoint{200 + static_cast<int>(c.x), 100 + static_cast<int>(c.x)});
        EXPECT_EQ(snapped.x - 200, static_cast<int>(c.expected)) << c.spacing << " " << c.x;
        EXPECT_EQ(snapped.y - 100, static_cast<int>(c.expected)) << c.spacing << " " << c.x;
    }
}

} // namespace
} // namespace pq::test
