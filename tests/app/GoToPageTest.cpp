// "Go to page...": what the dialog accepts, and that a refused answer changes nothing.

#include "app/CommandIds.h"
#include "app/FrameCommands.h"
#include "app/PageNumber.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace pq {
namespace {

TEST(PageNumber, DigitsNamingAPageAreAcceptedWithBlanksAroundAndAnythingElseIsRefusedWithAReason) {
    EXPECT_EQ(ParsePageNumber("1", 6).pageIndex, 0);
    EXPECT_EQ(ParsePageNumber("6", 6).pageIndex, 5);
    EXPECT_EQ(ParsePageNumber("  3\t", 6).pageIndex, 2);
    EXPECT_EQ(ParsePageNumber("003", 6).pageIndex, 2);
    EXPECT_TRUE(ParsePageNumber("4", 6).message.empty());
    EXPECT_EQ(PageNumberPrompt(6), "Page number (from 1 to 6):");

    for (const char* text : {"0", "7", "100000000000000000000000000"}) {
        const CPageNumberChoice choice = ParsePageNumber(text, 6);
        EXPECT_FALSE(choice.pageIndex) << text;
        EXPECT_EQ(choice.message,
                  "There is no page " + std::string(text) + ": the drawing has pages from 1 to 6.");
    }
    for (const char* text : {"", "   ", "two", "2x", "-1", "+2", "2.5", "1 2", "\xC2\xB2"}) {
        const CPageNumberChoice choice = ParsePageNumber(text, 6);
        EXPECT_FALSE(choice.pageIndex) << text;
        EXPECT_NE(choice.message.find("is not a page number. Type a number from 1 to 6."), std::string::npos)
            << choice.message;
    }
    EXPECT_EQ(ParsePageNumber(" abc ", 3).message,
              "\"abc\" is not a page number. Type a number from 1 to 3.");
}

class CScriptedPages : public IPageNavigation {
public:
    int count = 6;
    int shown = 2;
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> initials, messages;
    std::vector<int> pagesShown;

    int GetPageCount() const override { return count; }
    int GetShownPage() const override { return shown; }
    void ShowPage(int page) override {
        pagesShown.push_back(page);
        shown = page;
    }
    std::optional<std::string> AskPageNumber(const std::string&, const std::string& initial) override {
        initials.push_back(initial);
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowPageMessage(std::string_view text) override { messages.emplace_back(text); }
};

TEST(GoToPage, ARefusedAnswerIsExplainedAndAskedAgainKeepingWhatWasTypedAndCancelChangesNothing) {
    CScriptedPages pages;
    pages.answers = {"9", "x", " 5 "};
    CFrameCommands frame;
    frame.SetPageNavigation(&pages);
    EXPECT_TRUE(frame.OnCommand(cmd::kGoToPage));
    EXPECT_EQ(pages.initials, (std::vector<std::string>{"3", "9", "x"}));
    ASSERT_EQ(pages.messages.size(), 2u);
    EXPECT_EQ(pages.messages[0], "There is no page 9: the drawing has pages from 1 to 6.");
    EXPECT_EQ(pages.pagesShown, std::vector<int>{4});

    // Cancel, even after a refusal, stays on the page.
    pages.answers = {"0", std::nullopt};
    pages.messages.clear();
    EXPECT_FALSE(frame.GoToPage());
    EXPECT_EQ(pages.pagesShown, std::vector<int>{4});
    EXPECT_EQ(pages.shown, 4);
    EXPECT_EQ(pages.messages.size(), 1u);
}

TEST(GoToPage, GreyedWithOnePageOrWithoutPages) {
    CScriptedPages pages;
    CFrameCommands frame;
    bool enabled = true, checked = false;
    EXPECT_TRUE(frame.OnUpdateCommand(cmd::kGoToPage, enabled, checked));
    EXPECT_FALSE(enabled); // no view
    EXPECT_FALSE(frame.GoToPage());
    frame.SetPageNavigation(&pages);
    pages.count = 1;
    frame.OnUpdateCommand(cmd::kGoToPage, enabled, checked);
    EXPECT_FALSE(enabled);
    pages.count = 2;
    frame.OnUpdateCommand(cmd::kGoToPage, enabled, checked);
    EXPECT_TRUE(enabled);
}

} // namespace
} // namespace pq
