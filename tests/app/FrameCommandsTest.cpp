// The frame's bottom bars and page indicator.

#include "app/FrameCommands.h"
#include "app/CommandIds.h"

#include <gtest/gtest.h>

#include <vector>

namespace pq {
namespace {

class CBarsRecorder : public IFrameBars {
public:
    struct Shown {
        int bar;
        bool visible;
        bool operator==(const Shown&) const = default;
    };
    void ShowBottomBar(int bar, bool visible) override { shown.push_back({bar, visible}); }
    void SetPageIndicatorText(const std::string& text) override { texts.push_back(text); }

    std::vector<Shown> shown;
    std::vector<std::string> texts;
};

struct CheckState {
    bool enabled = false;
    bool checked = false;
};

CheckState StateOf(CFrameCommands& frame, int id) {
    CheckState state;
    EXPECT_TRUE(frame.OnUpdateCommand(id, state.enabled, state.checked));
    return state;
}

TEST(CFrameCommands, TheDrawingBarShowsFirstAndTheBarItemsCarryARadioCheck) {
    CBarsRecorder bars;
    CFrameCommands frame(&bars);
    EXPECT_EQ(frame.GetShownBar(), CFrameCommands::kDrawingBar);
    EXPECT_TRUE(StateOf(frame, cmd::kDrawingBar).checked);
    EXPECT_TRUE(StateOf(frame, cmd::kToolbar).checked);
    // Commands that are not the frame's are left to others.
    bool enabled = true, checked = false;
    EXPECT_FALSE(frame.OnUpdateCommand(cmd::kFileSave, enabled, checked));
    EXPECT_FALSE(frame.OnCommand(cmd::kToolText));
    EXPECT_TRUE(bars.shown.empty());

    EXPECT_TRUE(frame.OnCommand(cmd::kTextBar));
    EXPECT_FALSE(StateOf(frame, cmd::kDrawingBar).checked);
    EXPECT_TRUE(StateOf(frame, cmd::kTextBar).checked);
    EXPECT_FALSE(StateOf(frame, cmd::kPagesBar).checked);
    EXPECT_EQ(bars.shown, (std::vector<CBarsRecorder::Shown>{{2, true}}));
}

TEST(CFrameCommands, ChoosingABarWhileTheToolbarIsHiddenKeepsEveryBarHiddenUntilItShowsAgain) {
    CBarsRecorder bars;
    CFrameCommands frame(&bars);
    frame.OnCommand(cmd::kToolbar);
    EXPECT_FALSE(StateOf(frame, cmd::kToolbar).checked);
    frame.OnCommand(cmd::kPagesBar);
    EXPECT_EQ(frame.GetShownBar(), 0);
    EXPECT_TRUE(StateOf(frame, cmd::kPagesBar).checked);

    frame.OnCommand(cmd::kToolbar);
    EXPECT_EQ(frame.GetShownBar(), CFrameCommands::kPagesBar);
    EXPECT_EQ(bars.shown, (std::vector<CBarsRecorder::Shown>{{1, false}, {3, false}, {3, true}}));
}

TEST(CFrameCommands, PageIndicatorShowsPageOfCountAndChangesOnlyWhenTheTextDiffers) {
    CBarsRecorder bars;
    CFrameCommands frame(&bars);
    EXPECT_EQ(frame.GetPageIndicatorText(), "1/1");
    frame.RefreshPageIndicator(0, 1);
    EXPECT_TRUE(bars.texts.empty());

    frame.RefreshPageIndicator(1, 2); // a page added to a one-page document
    frame.RefreshPageIndicator(1, 2);
    frame.RefreshPageIndicator(11, 12);
    EXPECT_EQ(bars.texts, (std::vector<std::string>{"2/2", "12/12"}));
}

} // namespace
} // namespace pq
