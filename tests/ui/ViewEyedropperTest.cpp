#include "ViewTestSetup.h"

#include <gtest/gtest.h>

namespace pq::test {
namespace {

constexpr uint32_t kPicked = 0x123456;
constexpr CPoint kProbe{10, 12};

// A painted view with an unfilled path (index 0) and a text (index 1), and a known pixel on the window.
struct CPickSetup : CViewSetup {
    explicit CPickSetup(std::vector<int> selected) {
        Drawing().Add(MakeRect({0.0f, 100.0f, 0.0f, 100.0f}, 0xAAAAAA));
        Drawing().GetAt(0)->AsPath()->brushStyle = kBrushHollow;
        Drawing().GetAt(0)->AsPath()->penStyle = kPenNull;
        Drawing().Add(MakeText(u"label", {0.0f, 200.0f}));
        Open();
        Paint();
        CDeviceContext(&host.front).SetPixel(kProbe.x, kProbe.y, kPicked);
        view.GetSelection() = std::move(selected);
        view.GetNewObjectStyle().noFill = 1;
        view.GetNewObjectStyle().penStyle = kPenNull;
    }
};

TEST(ViewEyedropper, PickedFillColourGoesToSelectedPathsAndTextsAsOneUndoStep) {
    CPickSetup s({0, 1});
    const DrawingSnapshot before = Snapshot(s.Drawing());
    s.view.OnCommand(cmd::kPickFillColor);
    EXPECT_TRUE(s.State(cmd::kPickFillColor).enabled && s.State(cmd::kPickFillColor).checked);

    s.view.OnLButtonDown(kKeyFlagLButton, kProbe);
    EXPECT_EQ(s.view.GetColorPickMode(), 0);
    EXPECT_FALSE(s.host.captured) << "the click does not reach the tool";
    EXPECT_EQ(s.Drawing().GetAt(0)->color, kPicked);
    EXPECT_EQ(s.Drawing().GetAt(0)->AsPath()->brushStyle, kBrushSolid);
    EXPECT_EQ(s.Drawing().GetAt(1)->color, kPicked);
    EXPECT_EQ(s.view.GetNewObjectStyle().noFill, 1) << "defaults stay with a selection";
    EXPECT_TRUE(s.doc.IsModified());

    EXPECT_EQ(s.Undone(), before);
}

TEST(ViewEyedropper, PickedLineColourGoesToSelectedPathsOnly) {
    CPickSetup s({0, 1});
    const uint32_t textColor = s.Drawing().GetAt(1)->color;
    s.view.OnCommand(cmd::kPickLineColor);
    s.view.OnLButtonDown(kKeyFlagLButton, kProbe);
    const CPathShape* path = s.Drawing().GetAt(0)->AsPath();
    EXPECT_EQ(path->penStyle, kPenSolid);
    EXPECT_EQ(path->penColor, kPicked);
    EXPECT_EQ(s.Drawing().GetAt(1)->color, textColor);
    EXPECT_EQ(s.UndoSteps(), 1);
}

TEST(ViewEyedropper, WithoutSelectionThePickSetsTheNewObjectStyle) {
    const struct {
        int command;
        bool fill;
    } cases[] = {{cmd::kPickFillColor, true}, {cmd::kPickLineColor, false}};
    for (const auto& c : cases) {
        CPickSetup s({});
        s.view.OnCommand(c.command);
        s.view.OnLButtonDown(kKeyFlagLButton, kProbe);
        const CNewObjectStyle& style = s.view.GetNewObjectStyle();
        if (c.fill) {
            EXPECT_EQ(style.brushColor, kPicked);
            EXPECT_EQ(style.noFill, 0);
            EXPECT_EQ(style.penStyle, kPenNull);
        } else {
            EXPECT_EQ(style.penColor, kPicked);
            EXPECT_EQ(style.penStyle, kPenSolid);
            EXPECT_EQ(style.noFill, 1);
        }
        EXPECT_EQ(s.UndoSteps(), 0);
        EXPECT_FALSE(s.doc.IsModified());
    }
}

TEST(ViewEyedropper, PickOffTheWindowEndsTheModeAndChangesNothing) {
    CPickSetup s({0});
    s.view.OnCommand(cmd::kPickFillColor);
    s.view.OnLButtonDown(kKeyFlagLButton, {-3, 500});
    EXPECT_EQ(s.view.GetColorPickMode(), 0);
    EXPECT_EQ(s.Drawing().GetAt(0)->color, 0xAAAAAAu);
    EXPECT_EQ(s.UndoSteps(), 0);
}

TEST(ViewEyedropper, ModesAreOfferedOnlyWithoutSelectionOrWithAPath) {
    CPickSetup s({1}); // a text alone
    EXPECT_FALSE(s.State(cmd::kPickLineColor).enabled);
    s.view.GetSelection() = {0, 1};
    EXPECT_TRUE(s.State(cmd::kPickLineColor).enabled);
}

} // namespace
} // namespace pq::test
