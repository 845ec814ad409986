// The size page: lengths in the measurement unit and percents, the limits, flips and rotation, applied as
// one transform step about the selection's centre.

#include "PropertySheetTestSetup.h"

#include "TestHelpers.h"

namespace pq::test {
namespace {

constexpr int kCentimetre = 0;
constexpr int kMillimetre = 2;

TEST(SizePage, LengthsAndPercentsFollowEachOtherAndTheAspectRatio) {
    CSizePage page;
    page.Init({-100, 300, 0, 200}, kCentimetre, true);
    EXPECT_EQ(page.GetWidthLabel(), "Width(cm):");
    EXPECT_EQ(page.GetHeightLabel(), "Height(cm):");
    EXPECT_EQ(page.GetWidthText(), "4.00");
    EXPECT_EQ(page.GetHeightText(), "2.00");
    EXPECT_EQ(page.GetWidthPercentText(), "100");
    EXPECT_EQ(page.GetRotationText(), "0");
    EXPECT_TRUE(page.GetKeepAspect());
    page.EditWidth("6");
    EXPECT_EQ(page.GetWidthPercentText(), "150");
    EXPECT_EQ(page.GetHeightPercentText(), "150");
    EXPECT_EQ(page.GetHeightText(), "3.00");
    // A percent past the spin range counts as its end; the text typed stays.
    page.EditHeightPercent("1000");
    EXPECT_EQ(page.GetHeightPercentText(), "1000");
    EXPECT_EQ(page.GetHeightText(), "8.00");
    EXPECT_EQ(page.GetWidthText(), "16.00");
    // Without the ratio the other side stays; a text that is no number recomputes nothing.
    page.SetKeepAspect(false);
    page.EditWidthPercent("50");
    EXPECT_EQ(page.GetWidthText(), "2.00");
    EXPECT_EQ(page.GetHeightText(), "8.00");
    page.EditWidth("wide");
    EXPECT_EQ(page.GetWidthText(), "wide");
    EXPECT_EQ(page.GetWidthPercentText(), "50");
}

TEST(SizePage, AScaleChangesPathsAboutTheirCentreAsOneExactlyUndoneStepAfterRotationAndFlips) {
    CSheetSetup s;
    s.view.SetMeasurementUnit(kMillimetre);
    s.Drawing().Add(MakeRect({0, 100, 0, 50}, 1));
    s.Drawing().Add(MakeRect({100, 200, 50, 150}, 2));
    s.Drawing().Add(BuildPath({PolylineNodes({{0, 0}, {100, 0}, {100, 50}})}, {}));
    s.Start();
    s.Select({0, 1});
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        CSizePage& size = *sheet.GetSizePage();
        EXPECT_EQ(size.GetWidthText(), "20.0");
        EXPECT_EQ(size.GetHeightText(), "15.0");
        size.EditWidth("40");
    }));
    EXPECT_EQ(s.Steps(), 1);
    EXPECT_EQ(s.NewestStep(), UndoRecordType::Transform);
    EXPECT_EQ(s.Bounds(0), (CRectF{-100, 100, -75, 25}));
    EXPECT_EQ(s.Bounds(1), (CRectF{100, 300, 25, 225}));
    const DrawingSnapshot after = Snapshot(s.Drawing(), false);
    s.view.OnCommand(cmd::kUndo);
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
    s.view.OnCommand(cmd::kRedo);
    EXPECT_EQ(Snapshot(s.Drawing(), false), after);

    s.Select({2});
    // Turned 90 degrees anticlockwise about (50, 25), then twice as wide: the 100-long edge, now upright,
    // keeps its length, while the 50-long one now lies along x and doubles.
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        CSizePage& size = *sheet.GetSizePage();
        size.SetKeepAspect(false);
        size.EditWidthPercent("200");
        size.SetRotationText("90");
    }));
    const CNodeArray& nodes = *s.Drawing().GetAt(2)->AsPath()->subpaths[0];
    EXPECT_TRUE(ExpectNear(nodes[0].anchor, {0, 75}, 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[1].anchor, {0, -25}, 1e-3));
    EXPECT_TRUE(ExpectNear(nodes[2].anchor, {100, -25}, 1e-3));

    s.view.OnCommand(cmd::kUndo);
    s.Select({2});
    ASSERT_TRUE(s.Run(cmd::kProperties,
                      [](CModalPropSheet& sheet) { sheet.GetSizePage()->SetFlipHorizontal(true); }));
    const CNodeArray& flipped = *s.Drawing().GetAt(2)->AsPath()->subpaths[0];
    EXPECT_TRUE(ExpectNear(flipped[0].anchor, {100, 0}, 1e-3));
    EXPECT_TRUE(ExpectNear(flipped[2].anchor, {0, 50}, 1e-3));
}

TEST(SizePage, WithATextOrAPictureSelectedThePageShowsTheSizeAndTakesNoEdit) {
    CSizePage paths;
    paths.Init({-100, 300, 0, 200}, kCentimetre, true);
    EXPECT_TRUE(paths.CanChange());
    EXPECT_TRUE(paths.GetNote().empty());

    CSizePage page;
    page.Init({-100, 300, 0, 200}, kCentimetre, false);
    EXPECT_FALSE(page.CanChange());
    EXPECT_FALSE(page.GetNote().empty());
    EXPECT_EQ(page.GetWidthText(), "4.00");
    // An edit would not be applied on OK, so the page does not show it taken.
    page.EditWidth("6");
    page.EditHeightPercent("50");
    page.SetKeepAspect(false);
    page.SetFlipHorizontal(true);
    page.SetFlipVertical(true);
    page.SetRotationText("30");
    EXPECT_EQ(page.GetWidthText(), "4.00");
    EXPECT_EQ(page.GetHeightText(), "2.00");
    EXPECT_EQ(page.GetWidthPercentText(), "100");
    EXPECT_EQ(page.GetHeightPercentText(), "100");
    EXPECT_TRUE(page.GetKeepAspect());
    EXPECT_FALSE(page.GetFlipHorizontal());
    EXPECT_FALSE(page.GetFlipVertical());
    EXPECT_EQ(page.GetRotationText(), "0");
    EXPECT_FALSE(page.GetTransform());
}

TEST(SizePage, OutOfRangeSizesAndTextsOrPicturesLeaveTheSelectionAlone) {
    CSheetSetup s;
    s.view.SetMeasurementUnit(kCentimetre);
    s.Drawing().Add(MakeRect({0, 100, 0, 100}, 1));
    s.Drawing().Add(MakeRect({0, 50, 200, 400}, 2)); // 0.5 cm wide
    s.Drawing().Add(MakeText(u"label", {0.0f, 600.0f}));
    s.Drawing().Add(MakeImage({300, 400, 0, 60}));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    const auto tryWidth = [&](std::vector<int> selection, const std::string& width) {
        s.Select(std::move(selection));
        return s.Run(cmd::kProperties, [width](CModalPropSheet& sheet) {
            sheet.GetSizePage()->SetKeepAspect(false);
            sheet.GetSizePage()->EditWidth(width);
            sheet.GetSizePage()->SetRotationText("10");
        });
    };
    EXPECT_TRUE(tryWidth({0}, "40000"));
    EXPECT_TRUE(tryWidth({0}, "-30001"));
    EXPECT_TRUE(tryWidth({0}, "0.001")); // shows as 0.00: a flattened selection
    EXPECT_TRUE(tryWidth({1}, "3"));     // narrower than one displayed unit
    EXPECT_TRUE(tryWidth({2, 3}, "3"));  // a text and a picture: Text, Font, Color and Size, no change
    EXPECT_EQ(s.dialog.shownPages, (std::vector<PropertyPage>{PropertyPage::Text, PropertyPage::Font,
                                                              PropertyPage::Color, PropertyPage::Size}));
    EXPECT_TRUE(tryWidth({0, 3}, "3"));
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
    EXPECT_EQ(s.Steps(), 0);

    // Not a number keeps the old width; the rotation still applies. 30000 itself is allowed.
    EXPECT_TRUE(tryWidth({0}, "abc"));
    EXPECT_EQ(s.Steps(), 1);
    EXPECT_TRUE(ExpectNear(s.Bounds(0).Center(), {50, 50}, 1e-3));
    EXPECT_TRUE(tryWidth({0}, "30000"));
    EXPECT_EQ(s.Steps(), 2);
}

} // namespace
} // namespace pq::test
