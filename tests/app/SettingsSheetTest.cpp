// The settings sheet's pages as a user drives them: grid and snap in every unit, the unit kept even when
// the sheet is cancelled, paper and orientation, the page size with its limits, and the defaults written.

#include "app/SettingsSheet.h"
#include "app/MeasurementUnits.h"
#include "app/PaperSizes.h"
#include "document/PqxDoc.h"
#include "document/PreferenceStore.h"
#include "model/ModelTestHelpers.h"
#include "platform/ScreenMetrics.h"
#include "ui/RecordingWindowHost.h"
#include "ui/view/PqxView.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

constexpr int kCm = static_cast<int>(MeasurementUnit::Centimetre);
constexpr int kIn = static_cast<int>(MeasurementUnit::Inch);
constexpr int kMm = static_cast<int>(MeasurementUnit::Millimetre);
constexpr int kTenths = static_cast<int>(MeasurementUnit::TenthMillimetre);
constexpr int kPx = static_cast<int>(MeasurementUnit::Pixel);

class SettingsSheetTest : public ::testing::Test {
protected:
    SettingsSheetTest() {
        SetScreenPixelsPerInch(96);
        view.SetDocument(&doc);
        doc.OnNewDocument();
        view.SetGridSpacing(100.0f);
        view.SetSnapSpacing(20.0f);
    }

    // A page of the given size, the document saved (unmodified).
    void SetPage(float width, float height) {
        ASSERT_TRUE(doc.GetDrawing().SetPageSize(width, height));
        doc.SetModifiedFlag(false);
    }

    CMemoryPreferenceStore preferences;
    test::CRecordingWindowHost host;
    CPqxDoc doc{nullptr, &preferences};
    CPqxView view{&host, nullptr};
};

// General page.

TEST_F(SettingsSheetTest, InchesShowTheGridWithTwoDecimalsAndSpinRangesRoundHalfAway) {
    view.SetMeasurementUnit(kIn);
    view.SetGridSpacing(254.0f);
    view.SetSnapSpacing(100.0f);
    CSettingsSheet sheet(&view, &preferences);
    CGeneralSettings& general = *sheet.General();
    EXPECT_EQ(general.GetGridText(), "1.00");
    EXPECT_EQ(general.GetGridSpin(), (CSpinRange{0, 12, 1})); // round(10/254) = 0, round(3000/254) = 12
    EXPECT_EQ(general.GetSnapText(), "0.39");
    EXPECT_EQ(general.GetSnapSpin(), (CSpinRange{0, 0, 0}));

    view.SetMeasurementUnit(kMm);
    CGeneralSettings millimetres(view);
    EXPECT_EQ(millimetres.GetGridText(), "25.4");
    EXPECT_EQ(millimetres.GetGridSpin(), (CSpinRange{1, 300, 25}));
    EXPECT_EQ(millimetres.GetSnapSpin(), (CSpinRange{0, 10, 10}));
    // 2.5 mm rounds away from zero to 3.
    millimetres.SetSnapText("2.5");
    EXPECT_EQ(millimetres.GetSnapSpin().position, 3);
    // A spin position shows as the unit's number; the spin never leaves its range.
    millimetres.OnGridSpin(40);
    EXPECT_EQ(millimetres.GetGridText(), "40.0");
    millimetres.OnGridSpin(5000);
    EXPECT_EQ(millimetres.GetGridText(), "300.0");
}

TEST_F(SettingsSheetTest, AcceptHoldsGridAndSnapToTheirLimits) {
    view.SetMeasurementUnit(kTenths);
    struct Case {
        const char* grid;
        const char* snap;
        float storedGrid;
        float storedSnap;
    };
    for (const Case& c : {Case{"5", "-3", 10.0f, 0.0f}, Case{"4000", "150", 3000.0f, 100.0f},
                          Case{"1e300", "-1e300", 3000.0f, 0.0f}, Case{"250", "35.5", 250.0f, 35.5f}}) {
        CSettingsSheet sheet(&view, &preferences);
        sheet.General()->SetGridText(c.grid);
        sheet.General()->SetSnapText(c.snap);
        ASSERT_TRUE(sheet.Accept());
        EXPECT_EQ(view.GetGridSpacing(), c.storedGrid) << c.grid;
        EXPECT_EQ(view.GetSnapSpacing(), c.storedSnap) << c.snap;
    }
}

TEST_F(SettingsSheetTest, TextThatIsNoNumberKeepsTheViewsValueOnAcceptAndOnAUnitChange) {
    view.SetMeasurementUnit(kMm);
    CSettingsSheet sheet(&view, &preferences);
    sheet.General()->SetGridText("ten");
    sheet.General()->SetSnapText("");
    EXPECT_EQ(sheet.General()->GetGridSpin().position, 10); // the view's 100 units in mm
    ASSERT_TRUE(sheet.Accept());
    EXPECT_EQ(view.GetGridSpacing(), 100.0f);
    EXPECT_EQ(view.GetSnapSpacing(), 20.0f);

    CSettingsSheet changed(&view, &preferences);
    changed.General()->SetGridText("abc");
    changed.OnUnitChanged(kTenths);
    EXPECT_EQ(changed.General()->GetGridText(), "100");
    changed.OnUnitChanged(17); // no such unit
    EXPECT_EQ(view.GetMeasurementUnit(), kTenths);
}

TEST_F(SettingsSheetTest, ALengthShownInEveryUnitComesBackExactlyUnlessRetyped) {
    view.SetGridSpacing(437.0f);
    for (int unit = 0; unit < kMeasurementUnitCount; ++unit) {
        view.SetMeasurementUnit(kTenths);
        CSettingsSheet sheet(&view, &preferences);
        sheet.OnUnitChanged(unit);
        EXPECT_EQ(sheet.General()->GetGridText(), FormatLength(437.0, unit)) << UnitName(unit);
        sheet.OnUnitChanged(kTenths);
        EXPECT_EQ(sheet.General()->GetGridText(), "437") << UnitName(unit);
        sheet.OnUnitChanged(unit);
        ASSERT_TRUE(sheet.Accept());
        // Pressing OK on an untouched field never moves the length by the rounding of its text.
        EXPECT_EQ(view.GetGridSpacing(), 437.0f) << UnitName(unit);
    }
    // A number typed in a unit is that many units.
    const double typed[] = {1.25, 0.5, 12.5, 333.0, 40.0};
    for (int unit = 0; unit < kMeasurementUnitCount; ++unit) {
        view.SetMeasurementUnit(unit);
        CSettingsSheet sheet(&view, &preferences);
        sheet.General()->SetGridText(FormatNumber(typed[unit], 2));
        sheet.OnUnitChanged(kTenths);
        EXPECT_EQ(sheet.General()->GetGridText(), FormatNumber(typed[unit] * UnitScale(unit), 0))
            << UnitName(unit);
        ASSERT_TRUE(sheet.Accept());
        EXPECT_FLOAT_EQ(view.GetGridSpacing(), static_cast<float>(typed[unit] * UnitScale(unit)))
            << UnitName(unit);
    }
}

TEST_F(SettingsSheetTest, AChangedUnitIsKeptWhenTheSheetIsCancelledAndNothingElseIs) {
    view.SetMeasurementUnit(kMm);
    view.SetAntiAlias(false);
    view.SetImageResolution(640);
    {
        CSettingsSheet sheet(&view, &preferences);
        sheet.General()->SetGridText("30");
        sheet.General()->SetAntiAlias(true);
        sheet.General()->SetMaxPixelsIndex(0);
        sheet.General()->SetSmoothEdges(!view.GetSmoothEdges());
        sheet.OnUnitChanged(kCm);
        EXPECT_EQ(sheet.General()->GetGridText(), "3.00"); // the typed 30 mm, now in cm
        EXPECT_EQ(sheet.General()->GetSnapText(), "0.20");
        EXPECT_EQ(sheet.General()->GetGridSpin(), (CSpinRange{0, 30, 3}));
        EXPECT_EQ(sheet.Page()->GetWidthLabel(), "Width(cm):");
        EXPECT_EQ(sheet.Page()->GetWidthText(), "14.80");
        // Cancel: the sheet goes without Accept.
    }
    EXPECT_EQ(view.GetMeasurementUnit(), kCm);
    EXPECT_EQ(view.GetGridSpacing(), 100.0f);
    EXPECT_FALSE(view.GetAntiAlias());
    EXPECT_EQ(view.GetImageResolution(), 640);
    EXPECT_TRUE(view.GetSmoothEdges());
}

TEST_F(SettingsSheetTest, MaximumPixelsAntiAliasingAndSmoothEdgesReachTheViewOnAccept) {
    for (const auto& [stored, index] : {std::pair{240, 0}, {320, 1}, {480, 2}, {640, 3}, {500, 3}, {1, 3}}) {
        view.SetImageResolution(stored);
        EXPECT_EQ(CGeneralSettings(view).GetMaxPixelsIndex(), index) << stored;
    }
    for (const auto& [index, pixels] : {std::pair{0, 240}, {1, 320}, {2, 480}, {3, 640}}) {
        CSettingsSheet sheet(&view, &preferences);
        sheet.General()->SetMaxPixelsIndex(index);
        sheet.General()->SetAntiAlias(index % 2 == 1);
        sheet.General()->SetSmoothEdges(index % 2 == 0);
        const int before = host.invalidations;
        ASSERT_TRUE(sheet.Accept());
        EXPECT_EQ(view.GetMaxPixels(), pixels);
        EXPECT_EQ(view.GetAntiAlias(), index % 2 == 1);
        EXPECT_EQ(view.GetSmoothEdges(), index % 2 == 0);
        EXPECT_GT(host.invalidations, before);
    }
}

TEST_F(SettingsSheetTest, AnUnknownStoredUnitShowsAsMillimetres) {
    view.SetMeasurementUnit(9);
    CSettingsSheet sheet(&view, &preferences);
    EXPECT_EQ(sheet.General()->GetUnit(), kMm);
    EXPECT_EQ(sheet.General()->GetGridText(), "10.0");
    EXPECT_EQ(sheet.Page()->GetHeightLabel(), "Height(mm):");
}

TEST_F(SettingsSheetTest, WithoutAViewTheSheetHasNoPagesAndOkChangesNothing) {
    CSettingsSheet sheet(nullptr, &preferences);
    EXPECT_FALSE(sheet.HasPages());
    EXPECT_EQ(sheet.General(), nullptr);
    EXPECT_EQ(sheet.Page(), nullptr);
    sheet.OnUnitChanged(kCm);
    EXPECT_TRUE(sheet.Accept());
}

// Page page.

TEST_F(SettingsSheetTest, EveryPaperIsFoundWhicheverWayItLiesAndOtherSizesAreCustom) {
    const auto papers = PaperSizes();
    ASSERT_EQ(papers.size(), 22u);
    EXPECT_EQ(papers[21].name, "Custom");
    view.SetMeasurementUnit(kTenths);
    for (int i = 0; i < CustomPaperIndex(); ++i) {
        const CPaperSize& paper = papers[static_cast<std::size_t>(i)];
        SetPage(static_cast<float>(paper.shorter), static_cast<float>(paper.longer));
        CSettingsSheet portrait(&view, &preferences);
        EXPECT_EQ(portrait.Page()->GetPaperIndex(), i) << paper.name;
        EXPECT_EQ(portrait.Page()->GetOrientation(), CPageSettings::Portrait) << paper.name;
        SetPage(static_cast<float>(paper.longer), static_cast<float>(paper.shorter));
        CSettingsSheet landscape(&view, &preferences);
        EXPECT_EQ(landscape.Page()->GetPaperIndex(), i) << paper.name;
        EXPECT_EQ(landscape.Page()->GetOrientation(), CPageSettings::Landscape) << paper.name;
        // Sides are compared at a tenth of a unit.
        EXPECT_EQ(MatchPaper(paper.shorter + 0.04, paper.longer - 0.04), i) << paper.name;
        EXPECT_EQ(MatchPaper(paper.shorter + 0.06, paper.longer), CustomPaperIndex()) << paper.name;
    }
    SetPage(2970.0f, 2100.0f);
    CSettingsSheet a4(&view, &preferences);
    EXPECT_EQ(papers[static_cast<std::size_t>(a4.Page()->GetPaperIndex())].name, "A4");
    EXPECT_EQ(a4.Page()->GetOrientation(), CPageSettings::Landscape);
    EXPECT_EQ(a4.Page()->GetWidthText(), "2970");
    SetPage(2159.0f, 3000.0f);
    EXPECT_EQ(CSettingsSheet(&view, &preferences).Page()->GetPaperIndex(), CustomPaperIndex());
    // A square page is portrait.
    SetPage(1000.0f, 1000.0f);
    EXPECT_EQ(CSettingsSheet(&view, &preferences).Page()->GetOrientation(), CPageSettings::Portrait);
}

TEST_F(SettingsSheetTest, APaperFillsWidthAndHeightTheWayTheOrientationLaysThem) {
    view.SetMeasurementUnit(kTenths);
    CSettingsSheet sheet(&view, &preferences);
    CPageSettings& page = *sheet.Page();
    page.OnLandscape();
    page.OnPaperSelected(0); // Letter
    EXPECT_EQ(page.GetWidthText(), "2794");
    EXPECT_EQ(page.GetHeightText(), "2159");
    page.OnPortrait();
    EXPECT_EQ(page.GetWidthText(), "2159");
    EXPECT_EQ(page.GetHeightText(), "2794");
    EXPECT_EQ(page.GetPaperIndex(), 0);
    page.OnPaperSelected(CustomPaperIndex()); // Custom changes nothing
    EXPECT_EQ(page.GetWidthText(), "2159");
    EXPECT_EQ(page.GetPaperIndex(), 0);
    page.OnPaperSelected(99);
    EXPECT_EQ(page.GetPaperIndex(), 0);
}

TEST_F(SettingsSheetTest, TypedSidesChooseTheOrientationAndCustomAndTheButtonsSwapThem) {
    view.SetMeasurementUnit(kMm);
    CSettingsSheet sheet(&view, &preferences);
    CPageSettings& page = *sheet.Page();
    EXPECT_EQ(page.GetPaperIndex(), 8); // the default 148 x 210 mm page is A5
    page.OnWidthEdited("300");
    EXPECT_EQ(page.GetOrientation(), CPageSettings::Landscape);
    EXPECT_EQ(page.GetPaperIndex(), CustomPaperIndex());
    page.OnPortrait();
    EXPECT_EQ(page.GetWidthText(), "210.0");
    EXPECT_EQ(page.GetHeightText(), "300.0");
    page.OnPortrait(); // already portrait: no swap
    EXPECT_EQ(page.GetWidthText(), "210.0");
    page.OnLandscape();
    EXPECT_EQ(page.GetWidthText(), "300.0");

    // While one side is no number, the orientation and the paper stay and nothing swaps.
    page.OnPaperSelected(7);
    page.OnHeightEdited("x");
    EXPECT_EQ(page.GetPaperIndex(), 7);
    page.OnPortrait();
    EXPECT_EQ(page.GetWidthText(), "297.0");
    EXPECT_EQ(page.GetHeightText(), "x");
}

TEST_F(SettingsSheetTest, AcceptSetsThePageSizeAsAChangeOfTheDocumentAndTheFrame) {
    view.SetMeasurementUnit(kMm);
    view.SetShowPage(true);
    CSettingsSheet sheet(&view, &preferences);
    sheet.Page()->OnPaperSelected(7);
    sheet.Page()->SetShowPage(false);
    const int before = host.invalidations;
    ASSERT_TRUE(sheet.Accept());
    EXPECT_EQ(doc.GetDrawing().GetPageWidth(), 2100.0f);
    EXPECT_EQ(doc.GetDrawing().GetPageHeight(), 2970.0f);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(view.GetShowPage());
    EXPECT_GT(host.invalidations, before);
    // There is no undo step for the page size: the history stays as it was.
    EXPECT_EQ(view.GetUndoRecorder().CanUndo(), 0);
    // Without "Set as default" no default is written.
    EXPECT_FALSE(preferences.FindInt(CPqxDoc::kPageWidthName));
    EXPECT_FALSE(preferences.FindInt(CPqxView::kShowPageName));
}

TEST_F(SettingsSheetTest, OkOnAnUntouchedPageLeavesItExactAndTheDocumentUnmodifiedInEveryUnit) {
    SetPage(2100.0f, 2970.0f);
    for (int unit = 0; unit < kMeasurementUnitCount; ++unit) {
        view.SetMeasurementUnit(unit);
        CSettingsSheet sheet(&view, &preferences);
        ASSERT_TRUE(sheet.Accept());
        EXPECT_EQ(doc.GetDrawing().GetPageWidth(), 2100.0f) << UnitName(unit);
        EXPECT_EQ(doc.GetDrawing().GetPageHeight(), 2970.0f) << UnitName(unit);
        EXPECT_FALSE(doc.IsModified()) << UnitName(unit);
    }
    // Typed, the number is what counts.
    view.SetMeasurementUnit(kIn);
    CSettingsSheet sheet(&view, &preferences);
    EXPECT_EQ(sheet.Page()->GetWidthText(), "8.27");
    sheet.Page()->OnWidthEdited("8.3");
    ASSERT_TRUE(sheet.Accept());
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 8.3f * 254.0f);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SettingsSheetTest, SetAsDefaultWritesTheSizeInHundredthsOfAUnitAndTheFrame) {
    view.SetMeasurementUnit(kCm);
    CSettingsSheet sheet(&view, &preferences);
    sheet.Page()->OnWidthEdited("21.00");
    sheet.Page()->OnHeightEdited("29.70");
    sheet.Page()->SetShowPage(false);
    sheet.Page()->SetSetAsDefault(true);
    ASSERT_TRUE(sheet.Accept());
    EXPECT_EQ(preferences.FindInt(CPqxDoc::kPageWidthName), 210000);
    EXPECT_EQ(preferences.FindInt(CPqxDoc::kPageHeightName), 297000);
    EXPECT_EQ(preferences.FindInt(CPqxView::kShowPageName), 0);
    // A new document takes the default.
    doc.OnNewDocument();
    EXPECT_EQ(doc.GetDrawing().GetPageWidth(), 2100.0f);
    EXPECT_EQ(doc.GetDrawing().GetPageHeight(), 2970.0f);
}

TEST_F(SettingsSheetTest, APageSizeTheDrawingCannotHaveIsRefusedAndASideThatIsNoNumberIsIgnored) {
    view.SetMeasurementUnit(kMm);
    SetPage(1480.0f, 2100.0f);
    for (const char* bad : {"0", "-210", "0.05", "5080.1", "1e300", "99999999999"}) {
        CSettingsSheet sheet(&view, &preferences);
        sheet.General()->SetGridText("50");
        sheet.Page()->OnWidthEdited(bad);
        sheet.Page()->SetSetAsDefault(true);
        sheet.Page()->SetShowPage(false);
        EXPECT_EQ(sheet.Validate(), CPageSettings::kPageSizeOutOfRange) << bad;
        EXPECT_FALSE(sheet.Accept()) << bad;
        EXPECT_EQ(doc.GetDrawing().GetPageWidth(), 1480.0f) << bad;
        EXPECT_EQ(doc.GetDrawing().GetPageHeight(), 2100.0f) << bad;
        EXPECT_FALSE(doc.IsModified()) << bad;
        EXPECT_EQ(view.GetGridSpacing(), 100.0f) << bad;
        EXPECT_TRUE(view.GetShowPage()) << bad;
        EXPECT_FALSE(preferences.FindInt(CPqxDoc::kPageWidthName)) << bad;
    }
    // The limits themselves are pages a drawing can have.
    for (const char* edge : {"0.1", "5080"}) {
        CSettingsSheet sheet(&view, &preferences);
        sheet.Page()->OnHeightEdited(edge);
        EXPECT_TRUE(sheet.Validate().empty()) << edge;
        EXPECT_TRUE(sheet.Accept()) << edge;
        EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageHeight(), std::stof(edge) * 10.0f) << edge;
    }

    // A side that is no number leaves the page as it was; the rest of the sheet applies.
    SetPage(1480.0f, 2100.0f);
    CSettingsSheet sheet(&view, &preferences);
    sheet.Page()->OnWidthEdited("wide");
    sheet.Page()->SetSetAsDefault(true);
    sheet.Page()->SetShowPage(false);
    EXPECT_TRUE(sheet.Validate().empty());
    ASSERT_TRUE(sheet.Accept());
    EXPECT_EQ(doc.GetDrawing().GetPageWidth(), 1480.0f);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(view.GetShowPage());
    EXPECT_FALSE(preferences.FindInt(CPqxDoc::kPageWidthName));
}

} // namespace
} // namespace pq
