#include "ViewTestSetup.h"

#include "document/PreferenceStore.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

TEST(ViewPreferences, AbsentValuesGiveTheDefaults) {
    CMemoryPreferenceStore store;
    CRecordingWindowHost host;
    CPqxView view(&host, &store);
    EXPECT_FALSE(view.GetShowGrid());
    EXPECT_EQ(view.GetGridSpacing(), 100.0f);
    EXPECT_EQ(view.GetSnapSpacing(), 0.0f);
    EXPECT_EQ(view.GetMaxPixels(), 640);
    EXPECT_FALSE(view.GetAntiAlias());
    EXPECT_EQ(view.GetNewObjectStyle().penColor, 0x321A75u);
    EXPECT_EQ(view.GetNewObjectStyle().brushColor, 0x14B4DFu);
    EXPECT_FLOAT_EQ(view.GetNewObjectStyle().textHeight, 70.5555f);
}

TEST(ViewPreferences, StoredValuesAreReadWithTheirLimits) {
    const struct {
        std::string_view name;
        int32_t stored;
        float (*read)(const CPqxView&);
        float expected;
    } cases[] = {
        {CPqxView::kGridSpacingName, 12345, [](const CPqxView& v) { return v.GetGridSpacing(); }, 123.45f},
        {CPqxView::kGridSpacingName, 500, [](const CPqxView& v) { return v.GetGridSpacing(); }, 10.0f},
        {CPqxView::kGridSpacingName, 400000, [](const CPqxView& v) { return v.GetGridSpacing(); }, 3000.0f},
        {CPqxView::kSnapSpacingName, -700, [](const CPqxView& v) { return v.GetSnapSpacing(); }, 0.0f},
        {CPqxView::kSnapSpacingName, 20000, [](const CPqxView& v) { return v.GetSnapSpacing(); }, 100.0f},
        {CPqxView::kSnapSpacingName, 2550, [](const CPqxView& v) { return v.GetSnapSpacing(); }, 25.5f},
        {CPqxView::kTextHeightName, 150, [](const CPqxView& v) { return v.GetNewObjectStyle().textHeight; },
         3.0f},
        {CPqxView::kImageResolutionName, 0, [](const CPqxView& v) { return float(v.GetMaxPixels()); },
         640.0f},
        {CPqxView::kImageResolutionName, 320, [](const CPqxView& v) { return float(v.GetMaxPixels()); },
         320.0f},
    };
    for (const auto& c : cases) {
        CMemoryPreferenceStore store;
        store.WriteInt(c.name, c.stored);
        const CPqxView view(nullptr, &store);
        EXPECT_FLOAT_EQ(c.read(view), c.expected) << c.name << " " << c.stored;
    }
}

TEST(ViewPreferences, ValuesWrittenAtDestructionReadBackTheSame) {
    CMemoryPreferenceStore store;
    {
        CPqxView view(nullptr, &store);
        view.OnCommand(cmd::kGrid);
        view.SetGridSpacing(37.125f);
        view.SetSnapSpacing(12.345f);
        view.SetAntiAlias(true);
        view.SetImageResolution(480);
        view.OnCommand(cmd::kScrollBars);
        EXPECT_TRUE(view.GetSmoothEdges()) << "smooth edges unless the user turned them off";
        view.OnCommand(cmd::kSmoothEdges);
        view.SetShowPage(false);
        view.SetMeasurementUnit(3);
        CNewObjectStyle& style = view.GetNewObjectStyle();
        style.penColor = 0x010203;
        style.brushColor = 0xFFFFFF;
        style.textColor = 0x0000FF;
        style.textType = 2;
        style.textHeight = 42.005f;
    }
    // Hundredths rounded half away from zero.
    EXPECT_EQ(store.FindInt(CPqxView::kGridSpacingName), 3713);
    EXPECT_EQ(store.FindInt(CPqxView::kSnapSpacingName), 1235);
    EXPECT_EQ(store.FindInt(CPqxView::kTextHeightName), 4201);

    const CPqxView again(nullptr, &store);
    EXPECT_TRUE(again.GetShowGrid());
    EXPECT_FLOAT_EQ(again.GetGridSpacing(), 37.13f);
    EXPECT_FLOAT_EQ(again.GetSnapSpacing(), 12.35f);
    EXPECT_TRUE(again.GetAntiAlias());
    EXPECT_EQ(again.GetMaxPixels(), 480);
    EXPECT_TRUE(again.GetShowScrollBars());
    EXPECT_FALSE(again.GetShowPage());
    EXPECT_FALSE(again.GetSmoothEdges());
    EXPECT_EQ(again.GetMeasurementUnit(), 3);
    EXPECT_EQ(again.GetNewObjectStyle().penColor, 0x010203u);
    EXPECT_EQ(again.GetNewObjectStyle().brushColor, 0xFFFFFFu);
    EXPECT_EQ(again.GetNewObjectStyle().textColor, 0x0000FFu);
    EXPECT_EQ(again.GetNewObjectStyle().textType, 2);
}

TEST(ViewPreferences, OpeningADocumentTakesThePageFramePreference) {
    CMemoryPreferenceStore store;
    store.WriteInt(CPqxView::kShowPageName, 0);
    CViewSetup s(400, 300, &store);
    s.view.SetShowPage(true);
    s.Open();
    EXPECT_FALSE(s.view.GetShowPage());
    EXPECT_EQ(s.host.scrollBars[ScrollBarAxis::Horizontal].range, 0) << "scroll bars as they were";
}

} // namespace
} // namespace pq::test
