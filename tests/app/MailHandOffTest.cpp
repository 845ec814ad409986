// Handing a file to the mail program: the arguments xdg-email gets, and what the user is told when it is
// missing or fails. A fake xdg-email on the PATH records what it was given.

#include "app/MailHandOff.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace pq {
namespace {

// A fake xdg-email that writes each argument on a line of its own into log and exits with status.
void WriteFakeMailProgram(const test::CTempFolder& folder, int status) {
    const std::string script = folder.File("xdg-email");
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                          << folder.File("args.log") << "'\nexit " << status << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

// Polls until the hand-off has ended; the failure message, if any.
std::optional<std::string> WaitForEnd(CMailHandOff& mail) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (mail.IsRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return mail.Poll();
}

TEST(MailHandOff, XdgEmailGetsTheSubjectBodyAndTheAttachment) {
    const test::CTempFolder folder;
    WriteFakeMailProgram(folder, 0);
    const test::CPathOverride path(folder.Path().string());
    const std::string file = folder.File("plan file.pdf");
    std::ofstream(file) << "%PDF";
    CMailHandOff mail;
    std::string message;
    ASSERT_TRUE(mail.Start(file, "plan file.pdf", &message)) << message;
    EXPECT_EQ(WaitForEnd(mail), std::nullopt);
    EXPECT_EQ(test::ReadFileText(folder.File("args.log")),
              "--utf8\n--subject\nplan file.pdf\n--body\nAttachment: plan file.pdf\n--attach\n" + file +
                  "\n");
    // Said once: polling again gives nothing more.
    EXPECT_EQ(mail.Poll(), std::nullopt);
}

TEST(MailHandOff, AMissingOrFailingMailProgramIsReportedInWords) {
    const test::CTempFolder folder;
    {
        const test::CPathOverride path(folder.Path().string(), true); // nothing else on the PATH
        CMailHandOff mail;
        std::string message;
        EXPECT_FALSE(mail.Start("/tmp/x.pdf", "x.pdf", &message));
        EXPECT_NE(message.find("No mail program could be started"), std::string::npos) << message;
        EXPECT_NE(message.find("xdg-email"), std::string::npos);
        EXPECT_NE(message.find("/tmp/x.pdf"), std::string::npos);
        EXPECT_EQ(mail.Poll(), std::nullopt);
    }
    WriteFakeMailProgram(folder, 3);
    const test::CPathOverride path(folder.Path().string());
    CMailHandOff mail;
    ASSERT_TRUE(mail.Start("/tmp/x.pdf", "x.pdf", nullptr));
    const std::optional<std::string> failure = WaitForEnd(mail);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("no mail program is set up"), std::string::npos) << *failure;
    EXPECT_NE(failure->find("/tmp/x.pdf"), std::string::npos);
    EXPECT_EQ(mail.Poll(), std::nullopt);
    EXPECT_NE(MailFailedMessage("/f", 7).find("status 7"), std::string::npos);
}

} // namespace
} // namespace pq
