// What the status bar says: the pointer's place, the zoom, the page and the tool's hint.

#include "app/StatusBarText.h"
#include "app/MeasurementUnits.h"
#include "geometry/ViewMapping.h"
#include "platform/ScreenMetrics.h"
#include "ui/tools/ToolTable.h"

#include <gtest/gtest.h>

#include <set>

namespace pq {
namespace {

TEST(StatusBarText, PointerPositionIsMeasuredFromThePagesTopLeftInTheChosenUnit) {
    SetScreenPixelsPerInch(96);
    // A 1480 x 2100 page centred on the origin: its top-left corner is (-740, -1050).
    const CPointF corner{-740.0f, -1050.0f};
    const struct {
        CPointF point;
        int unit;
        const char* text;
    } cases[] = {
        {corner, 0, "0.00, 0.00 cm"},
        {{-740.0f + 254.0f, -1050.0f + 508.0f}, 1, "1.00, 2.00 in"},
        {{0.0f, 0.0f}, 2, "74.0, 105.0 mm"},
        {{0.0f, 0.0f}, 3, "740, 1050 mm/10"},
        {{-740.0f + 254.0f, -1050.0f}, 4, "96, 0 px"},
        {{-800.0f, -1100.0f}, 0, "-0.60, -0.50 cm"},   // left of and above the page
        {{-740.001f, -1050.001f}, 0, "0.00, 0.00 cm"}, // no "-0.00" at the edge
        {{0.0f, 0.0f}, 17, "74.0, 105.0 mm"},          // an unknown unit shows millimetres
    };
    for (const auto& c : cases)
        EXPECT_EQ(PointerPositionText(c.point, 1480.0f, 2100.0f, c.unit), c.text) << c.text;
    EXPECT_EQ(PointerPositionText({NAN, 0.0f}, 1480.0f, 2100.0f, 0), "");
}

TEST(StatusBarText, ZoomIsAPercentageOfTheOneToOneScale) {
    const double one = 96.0 / 254.0;
    EXPECT_EQ(ZoomPercentText(one, one), "100%");
    EXPECT_EQ(ZoomPercentText(one * 1.4142135, one), "141%");
    EXPECT_EQ(ZoomPercentText(one * 32, one), "3200%");
    EXPECT_EQ(ZoomPercentText(one * 0.126, one), "13%");
    EXPECT_EQ(ZoomPercentText(one * 0.035, one), "3.5%");
    EXPECT_EQ(ZoomPercentText(one * 0.0994, one), "9.9%");
    EXPECT_EQ(ZoomPercentText(one * 0.0996, one), "10%") << "not 10.0%";
    EXPECT_EQ(ZoomPercentText(0.00001, one), "0.0026%") << "the smallest scale still says something";
    EXPECT_EQ(ZoomPercentText(100000.0, one), "26458333%");
    // The zoom field is sized to fit every scale the view can take.
    for (double scale = CViewMapping::kDefaultMinScale; scale <= CViewMapping::kDefaultMaxScale; scale *= 1.5)
        EXPECT_LE(ZoomPercentText(scale, one).size(), kWidestZoomText.size()) << scale;
    EXPECT_LE(ZoomPercentText(CViewMapping::kDefaultMaxScale, one).size(), kWidestZoomText.size());
    EXPECT_EQ(ZoomPercentText(0.0, one), "");
    EXPECT_EQ(ZoomPercentText(1.0, 0.0), "");
}

TEST(StatusBarText, PageCountsFromOneAndEveryToolHasAShortHint) {
    EXPECT_EQ(PageOfText(1, 6), "page 2 of 6");
    EXPECT_EQ(PageOfText(0, 1), "page 1 of 1");
    EXPECT_EQ(PageOfText(0, 0), "");

    std::set<std::string_view> hints;
    for (const CToolRow& row : ToolTable()) {
        if (row.create == nullptr)
            continue;
        const std::string_view hint = ToolHint(row.kind);
        EXPECT_FALSE(hint.empty()) << static_cast<int>(row.kind);
        EXPECT_LE(hint.size(), 100u) << hint << ": one line";
        EXPECT_EQ(hint.find('\n'), std::string_view::npos);
        if (row.kind != ToolKind::Box14) {
            EXPECT_TRUE(hints.insert(hint).second) << "each tool says its own: " << hint;
        }
    }
    EXPECT_EQ(ToolHint(ToolKind::Box14), ToolHint(ToolKind::Rectangle));
    EXPECT_EQ(ToolHint(ToolKind::Bezier).substr(0, 7), "Bezier:");
}

TEST(StatusBarText, ASeveralPageDocumentSaysSoUntilThePageOrToolChanges) {
    EXPECT_EQ(MultiPageNotice(1), "");
    EXPECT_EQ(MultiPageNotice(6), "This document has 6 pages: Page Down and Page Up move between them");

    CStatusBarText bar;
    EXPECT_TRUE(bar.SetTool(ToolKind::Pan));
    EXPECT_TRUE(bar.SetPage(0, 6));
    EXPECT_TRUE(bar.ShowNotice(MultiPageNotice(6)));
    EXPECT_EQ(bar.Text(StatusField::Hint), MultiPageNotice(6));
    EXPECT_EQ(bar.Text(StatusField::Page), "page 1 of 6");
    // The same page and tool told again (every repaint does) leave the notice.
    EXPECT_FALSE(bar.SetPage(0, 6));
    EXPECT_FALSE(bar.SetTool(ToolKind::Pan));
    EXPECT_EQ(bar.Text(StatusField::Hint), MultiPageNotice(6));
    // Going to another page ends it.
    EXPECT_TRUE(bar.SetPage(1, 6));
    EXPECT_EQ(bar.Text(StatusField::Hint), ToolHint(ToolKind::Pan));
    EXPECT_EQ(bar.Text(StatusField::Page), "page 2 of 6");

    bar.ShowNotice(MultiPageNotice(3));
    EXPECT_TRUE(bar.SetTool(ToolKind::Line));
    EXPECT_EQ(bar.Text(StatusField::Hint), ToolHint(ToolKind::Line)) << "a tool change ends it too";
}

TEST(StatusBarText, FieldsChangeOnlyWhenTheirTextDoes) {
    SetScreenPixelsPerInch(96);
    CStatusBarText bar;
    EXPECT_TRUE(bar.SetPointer(CPointF{0.0f, 0.0f}, 1480.0f, 2100.0f, 2));
    EXPECT_EQ(bar.Text(StatusField::Position), "74.0, 105.0 mm");
    // A move within the shown precision changes nothing.
    EXPECT_FALSE(bar.SetPointer(CPointF{0.01f, 0.02f}, 1480.0f, 2100.0f, 2));
    EXPECT_TRUE(bar.SetPointer(CPointF{0.0f, 0.0f}, 1480.0f, 2100.0f, 0)) << "another unit";
    EXPECT_EQ(bar.Text(StatusField::Position), "7.40, 10.50 cm");
    EXPECT_TRUE(bar.SetPointer(std::nullopt, 1480.0f, 2100.0f, 0));
    EXPECT_EQ(bar.Text(StatusField::Position), "") << "the pointer left the drawing";
    EXPECT_TRUE(bar.SetZoom(0.75, 0.375));
    EXPECT_FALSE(bar.SetZoom(0.75, 0.375));
    EXPECT_EQ(bar.Text(StatusField::Zoom), "200%");
}

} // namespace
} // namespace pq
