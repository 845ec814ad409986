// Routing commands by id: view first, then document, frame and application; unhandled commands greyed.

#include "app/CommandRouter.h"
#include "app/CommandIds.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace pq {
namespace {

// A target with a handler for some ids; each handler records its target's name when it runs.
class CRecordingTarget : public ICommandTarget {
public:
    struct Rule {
        bool enabled = true;
        bool checked = false;
    };

    CRecordingTarget(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}

    bool OnCommand(int id) override {
        if (!rules.contains(id))
            return false;
        log.push_back(name + ":" + std::to_string(id));
        return true;
    }
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) override {
        const auto found = rules.find(id);
        if (found == rules.end())
            return false;
        enabled = found->second.enabled;
        checked = found->second.checked;
        return true;
    }

    std::string name;
    std::vector<std::string>& log;
    std::map<int, Rule> rules;
};

class CommandRouterTest : public ::testing::Test {
protected:
    CommandRouterTest() {
        router.SetTarget(RouteLevel::View, &view);
        router.SetTarget(RouteLevel::Document, &doc);
        router.SetTarget(RouteLevel::Frame, &frame);
        router.SetTarget(RouteLevel::Application, &app);
    }

    std::vector<std::string> log;
    CRecordingTarget view{"view", log}, doc{"doc", log}, frame{"frame", log}, app{"app", log};
    CCommandRouter router;
};

TEST_F(CommandRouterTest, TheFirstTargetWithAHandlerRunsTheCommandAndDecidesItsState) {
    app.rules[cmd::kFileSave] = {true, false};
    doc.rules[cmd::kFileSave] = {false, true};
    frame.rules[cmd::kFileSave] = {true, true};
    view.rules[cmd::kUndo] = {true, false};
    app.rules[cmd::kUndo] = {true, true};

    EXPECT_EQ(router.Update(cmd::kFileSave), (CCommandState{true, false, true}));
    EXPECT_EQ(router.Update(cmd::kUndo), (CCommandState{true, true, false}));

    doc.rules[cmd::kFileSave].enabled = true;
    EXPECT_TRUE(router.Execute(cmd::kFileSave));
    EXPECT_TRUE(router.Execute(cmd::kUndo));
    EXPECT_EQ(log, (std::vector<std::string>{"doc:57603", "view:57643"}));
}

TEST_F(CommandRouterTest, CommandsWithoutAHandlerOrGreyedByItDoNothing) {
    EXPECT_EQ(router.Update(cmd::kFileTemplate), CCommandState{});
    EXPECT_FALSE(router.Execute(cmd::kFileTemplate));
    // A greyed command does not run even when a key asks for it, nor falls through to a later target.
    view.rules[cmd::kDelete] = {false, false};
    app.rules[cmd::kDelete] = {true, false};
    EXPECT_FALSE(router.Execute(cmd::kDelete));
    EXPECT_TRUE(log.empty());
}

TEST_F(CommandRouterTest, AMissingViewPassesCommandsOnToTheDocument) {
    view.rules[cmd::kFileSave] = {true, false};
    doc.rules[cmd::kFileSave] = {true, false};
    router.SetTarget(RouteLevel::View, nullptr);
    EXPECT_TRUE(router.Execute(cmd::kFileSave));
    EXPECT_EQ(log, (std::vector<std::string>{"doc:57603"}));
    EXPECT_EQ(router.GetTarget(RouteLevel::View), nullptr);
    EXPECT_EQ(router.GetTarget(RouteLevel::Frame), &frame);
}

} // namespace
} // namespace pq
