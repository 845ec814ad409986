// Programs started beside the editor: a missing one is reported at once, and how a started one ended is
// learnt without waiting for it.

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace pq {
namespace {

CChildProcess::State WaitForEnd(CChildProcess& process) {
    for (int i = 0; i < 500; ++i) {
        const CChildProcess::State state = process.Poll();
        if (state != CChildProcess::State::Running)
            return state;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return CChildProcess::State::Running;
}

TEST(ChildProcess, AMissingProgramIsReportedAtStart) {
    CChildProcess process;
    std::string reason;
    EXPECT_FALSE(process.Start({"pq-no-such-program-anywhere"}, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(process.Poll(), CChildProcess::State::NotStarted);
    EXPECT_FALSE(process.Start({}, &reason));
}

TEST(ChildProcess, TheExitStatusTellsSuccessFromFailure) {
    CChildProcess process;
    ASSERT_TRUE(process.Start({"sh", "-c", "exit 0"}));
    EXPECT_EQ(WaitForEnd(process), CChildProcess::State::Succeeded);
    ASSERT_TRUE(process.Start({"sh", "-c", "exit 3"}));
    EXPECT_EQ(WaitForEnd(process), CChildProcess::State::Failed);
    EXPECT_EQ(process.GetExitStatus(), 3);
}

TEST(ChildProcess, PollingARunningProgramDoesNotWait) {
    CChildProcess process;
    ASSERT_TRUE(process.Start({"sleep", "2"}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(process.Poll(), CChildProcess::State::Running);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

} // namespace
} // namespace pq
