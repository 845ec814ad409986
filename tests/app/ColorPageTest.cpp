// The colour page: values shown for a selection (mixed where the objects differ), pen widths, palettes and
// "Set", the number boxes in both models, and what OK writes.

#include "PropertySheetTestSetup.h"

#include "PeerHelpers.h"

#include <filesystem>

namespace pq::test {
namespace {

using Target = CColorPage::Target;
using Look = CColorPage::SwatchLook;

TEST(ColorPage, ValuesShowWhenAllSelectedObjectsAgreeAndMixedOtherwise) {
    CSheetSetup s;
    s.Drawing().Add(
        BuildPath({BoxNodes({0, 100, 0, 100})}, {.penWidth = 4, .penColor = 0x0000FF, .fill = 0x00FF00}));
    s.Drawing().Add(BuildPath({BoxNodes({200, 300, 0, 100})},
                              {.penStyle = kPenNull, .penWidth = 9, .penColor = 0x0000FF, .fill = 0x00FF00}));
    s.Drawing().Add(BuildPath({BoxNodes({400, 500, 0, 100})}, {.penWidth = 12, .fill = 0x00FF00}));
    s.Drawing().Add(BuildText(u"t", {0, 300}, {.corner = {}, .color = 0x00FF00}));
    s.Drawing().Add(BuildText(u"u", {0, 500}, {.corner = {}, .color = 0x123456}));
    s.Start();

    // A path of width 4 shows no width.
    s.Select({0});
    CModalPropSheet one = s.Sheet(PropertySheetOpening::Properties);
    EXPECT_EQ(one.GetColorPage()->GetWidthIndex(), -1);
    EXPECT_EQ(one.GetColorPage()->GetSwatchLook(Target::Line), Look::Color);
    s.Select({1});
    EXPECT_EQ(s.Sheet(PropertySheetOpening::Properties).GetColorPage()->GetWidthIndex(), 3);
    EXPECT_EQ(s.Sheet(PropertySheetOpening::Properties).GetColorPage()->GetSwatchLook(Target::Line),
              Look::None);
    // Widths above 10 are shown as 10, which is no choice either.
    s.Select({2});
    EXPECT_EQ(s.Sheet(PropertySheetOpening::Properties).GetColorPage()->GetWidthIndex(), -1);

    // Two paths and a text of one fill colour: the fill shows; line colours, line styles and widths differ.
    s.Select({0, 1, 3});
    CModalPropSheet sheet = s.Sheet(PropertySheetOpening::Properties);
    CColorPage& page = *sheet.GetColorPage();
    EXPECT_TRUE(page.IsLinePartShown());
    EXPECT_EQ(page.GetColor(Target::Fill), 0x00FF00u);
    EXPECT_EQ(page.GetSwatchLook(Target::Fill), Look::Color);
    EXPECT_EQ(page.GetNumberTexts(), (std::array<std::string, 3>{"0", "255", "0"}));
    EXPECT_EQ(page.GetColor(Target::Line), 0x0000FFu);
    EXPECT_EQ(page.GetStyle(Target::Line), CColorPage::kMixed);
    EXPECT_EQ(page.GetSwatchLook(Target::Line), Look::Mixed);
    EXPECT_EQ(page.GetWidthIndex(), -1);
    // A text of another colour makes the fill mixed: blank numbers, a crossed swatch.
    s.Select({0, 4});
    CModalPropSheet mixed = s.Sheet(PropertySheetOpening::Properties);
    EXPECT_FALSE(mixed.GetColorPage()->GetColor(Target::Fill).has_value());
    EXPECT_EQ(mixed.GetColorPage()->GetSwatchLook(Target::Fill), Look::Mixed);
    EXPECT_EQ(mixed.GetColorPage()->GetNumberTexts(), (std::array<std::string, 3>{}));
    // No one colour to store: "Set" stays off until a colour is chosen.
    EXPECT_FALSE(mixed.GetColorPage()->CanSetMode());
    EXPECT_FALSE(mixed.GetColorPage()->SetSetMode(true));
    mixed.GetColorPage()->TapCell(3);
    EXPECT_TRUE(mixed.GetColorPage()->SetSetMode(true));
    // Texts alone: no line part, and the line cannot be made the target.
    s.Select({3, 4});
    CModalPropSheet texts = s.Sheet(PropertySheetOpening::Properties);
    EXPECT_FALSE(texts.GetColorPage()->IsLinePartShown());
    texts.GetColorPage()->SetTarget(Target::Line);
    EXPECT_EQ(texts.GetColorPage()->GetTarget(), Target::Fill);
}

TEST(ColorPage, OkWritesOnlyWhatChangedAndLeavesMixedValuesAsEachObjectHasThem) {
    CSheetSetup s;
    s.Drawing().Add(
        BuildPath({BoxNodes({0, 100, 0, 100})}, {.penWidth = 3, .penColor = 0x0000FF, .fill = 0x00FF00}));
    s.Drawing().Add(
        BuildPath({BoxNodes({200, 300, 0, 100})}, {.penWidth = 6, .penColor = 0xFF0000, .fill = 0x0000FF}));
    s.Drawing().Add(MakeImage({400, 500, 0, 60}));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    s.Select({0, 1, 2});

    // Only the line's style changes (a width chosen over mixed lines makes them solid): colours stay.
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        CColorPage& page = *sheet.GetColorPage();
        page.SetTarget(Target::Line);
        page.SetNone();
        EXPECT_EQ(page.GetSwatchLook(Target::Line), Look::None);
        EXPECT_FALSE(page.SetSetMode(true)); // "Set" needs a colour to store
    }));
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->penStyle, kPenNull);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->penStyle, kPenNull);
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->penColor, 0x0000FFu);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->penColor, 0xFF0000u);
    EXPECT_EQ(s.Drawing().GetAt(0)->color, 0x00FF00u);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->penWidth, 6);
    EXPECT_EQ(s.NewestStep(), UndoRecordType::Modify);

    ASSERT_TRUE(
        s.Run(cmd::kProperties, [](CModalPropSheet& sheet) { sheet.GetColorPage()->ChooseWidth(1); }));
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->penStyle, kPenSolid);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->penWidth, 3);
    EXPECT_EQ(s.Drawing().GetAt(1)->AsPath()->penColor, 0xFF0000u);
    EXPECT_EQ(s.Steps(), 2);
    s.view.OnCommand(cmd::kUndo);
    s.view.OnCommand(cmd::kUndo);
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
}

TEST(ColorPage, NumberBoxesFollowTheModelAndRefuseWhatIsNotANumber) {
    CSheetSetup s;
    s.Drawing().Add(BuildPath({BoxNodes({0, 100, 0, 100})}, {.fill = 0x0000FF}));
    s.Start();
    s.Select({0});
    CModalPropSheet sheet = s.Sheet(PropertySheetOpening::Properties);
    CColorPage& page = *sheet.GetColorPage();
    EXPECT_EQ(page.GetNumberTexts(), (std::array<std::string, 3>{"255", "0", "0"}));
    page.SetModel(ColorModel::Hls);
    EXPECT_EQ(page.GetNumberTexts(), (std::array<std::string, 3>{"60", "50", "100"}));
    EXPECT_EQ(page.GetRange(0).maximum, 360);
    // Typing a hue of 300 turns pure red into pure blue; lightness and saturation are percents.
    EXPECT_TRUE(page.TypeNumber(0, "300"));
    EXPECT_EQ(page.GetColor(Target::Fill), 0xFF0000u);
    EXPECT_TRUE(page.TypeNumber(1, "25"));
    EXPECT_EQ(page.GetColor(Target::Fill), MakeColor(0, 0, 128));
    // Not a number: refused, nothing changes; past the range: held to it.
    EXPECT_FALSE(page.TypeNumber(2, "lots"));
    EXPECT_FALSE(page.TypeNumber(2, ""));
    EXPECT_EQ(page.GetNumbers(), (std::array<int, 3>{300, 25, 100}));
    EXPECT_TRUE(page.TypeNumber(1, "900"));
    EXPECT_EQ(page.GetNumbers()[1], 100);
    EXPECT_EQ(page.GetColor(Target::Fill), 0xFFFFFFu);
    page.SetModel(ColorModel::Rgb);
    EXPECT_TRUE(page.TypeNumber(0, "-4"));
    EXPECT_EQ(page.GetColor(Target::Fill), MakeColor(0, 255, 255));
    EXPECT_FALSE(page.TypeNumber(3, "1"));

    // OK keeps the model for the next showing.
    ASSERT_TRUE(s.Run(cmd::kProperties,
                      [](CModalPropSheet& next) { next.GetColorPage()->SetModel(ColorModel::Hls); }));
    EXPECT_EQ(s.state.GetColorModel(), ColorModel::Hls);
    ASSERT_TRUE(s.Run(
        cmd::kProperties,
        [](CModalPropSheet& next) {
            EXPECT_EQ(next.GetColorPage()->GetModel(), ColorModel::Hls);
            next.GetColorPage()->SetModel(ColorModel::Rgb);
        },
        false));
    EXPECT_EQ(s.state.GetColorModel(), ColorModel::Hls);
}

TEST(ColorPage, SetStoresTheTargetColourIntoTheCustomPaletteWhichIsWrittenOnCancelToo) {
    CTempFolder folder;
    const std::string path = CustomPalettePath(folder.Path().string());
    CSheetSetup s(path);
    s.Drawing().Add(BuildPath({BoxNodes({0, 100, 0, 100})}, {.fill = 0x336699}));
    s.Start();
    s.Select({0});
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    ASSERT_TRUE(s.Run(
        cmd::kProperties,
        [](CModalPropSheet& sheet) {
            CColorPage& page = *sheet.GetColorPage();
            EXPECT_FALSE(page.IsCustomShown());
            EXPECT_EQ(page.GetShownPalette(), DefaultPalette());
            EXPECT_TRUE(page.SetSetMode(true));
            page.TapCell(12);
            EXPECT_TRUE(page.IsCustomShown());
            EXPECT_EQ(page.GetShownPalette()[12], 0x336699u);
            // In "Set" mode a tap does not colour the target.
            EXPECT_EQ(page.GetColor(Target::Fill), 0x336699u);
        },
        false));
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
    CPalette expected = CustomPaletteStart();
    expected[12] = 0x336699;
    EXPECT_EQ(LoadCustomPalette(path), expected);
    // The palette choice lasts for the run; a tap on the custom palette colours the target.
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        CColorPage& page = *sheet.GetColorPage();
        EXPECT_TRUE(page.IsCustomShown());
        page.TapCell(4);
    }));
    EXPECT_EQ(s.Drawing().GetAt(0)->color, 0x808080u);
    EXPECT_TRUE(s.dialog.messages.empty());

    // A palette file that cannot be written is reported.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    ASSERT_TRUE(s.Run(cmd::kProperties, [](CModalPropSheet& sheet) {
        CColorPage& page = *sheet.GetColorPage();
        EXPECT_TRUE(page.SetSetMode(true));
        page.TapCell(0);
    }));
    ASSERT_EQ(s.dialog.messages.size(), 1u);
    EXPECT_NE(s.dialog.messages[0].find("custom.pal"), std::string::npos);
}

} // namespace
} // namespace pq::test
