#include "send/FtpUpload.h"

#include "FtpTestFiles.h"
#include "PeerHelpers.h"
#include "send/FtpTestServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace pq {
namespace {

using namespace std::chrono_literals;

class FtpUpload : public ::testing::Test {
protected:
    bool StartServer(const std::string& mode = "normal") {
        if (test::FtpServerMissing())
            return false;
        server = std::make_unique<test::CFtpTestServer>(root.Path().string(), mode);
        EXPECT_NE(server->Port(), 0) << "the FTP test server did not start";
        return server->Port() != 0;
    }
    CFtpUploadRequest Request(const std::string& first, const std::string& second = {}) {
        CFtpUploadRequest request;
        request.server = "127.0.0.1";
        request.port = server ? server->Port() : 21;
        request.userName = test::kFtpUser;
        request.password = test::kFtpPassword;
        request.localPaths = {first.empty() ? "" : local.File(first),
                              second.empty() ? "" : local.File(second)};
        request.remoteNames = {"/" + first, "/" + second};
        request.flagFilePath = data.File("PQS.ftp");
        request.timeout = 5000ms;
        return request;
    }
    // Runs the upload on this thread and keeps every state it showed.
    FtpUploadOutcome Run(const CFtpUploadRequest& request) {
        std::atomic<bool> cancel{false};
        return RunFtpUpload(request, cancel,
                            [this](const CFtpUploadState& state) { shown.push_back(state); });
    }
    [[nodiscard]] std::vector<std::string> Statuses() const {
        std::vector<std::string> result;
        for (const CFtpUploadState& state : shown)
            if (result.empty() || result.back() != state.status)
                result.push_back(state.status);
        return result;
    }

    test::CTempFolder root, local, data;
    std::unique_ptr<test::CFtpTestServer> server;
    std::vector<CFtpUploadState> shown;
};

TEST_F(FtpUpload, UploadsTwoFilesWithTheirStatusesProgressAndFlag) {
    if (!StartServer())
        return;
    const std::string emf = test::WriteRandomFile(local.File("plan.emf"), 200000, 11);
    const std::string jpg = test::WriteRandomFile(local.File("plan.jpg"), 600000, 12);
    ASSERT_EQ(Run(Request("plan.emf", "plan.jpg")), FtpUploadOutcome::Succeeded) << shown.back().detail;
    EXPECT_EQ(test::ReadFileText(root.File("plan.emf")), emf);
    EXPECT_EQ(test::ReadFileText(root.File("plan.jpg")), jpg);
    EXPECT_EQ(Statuses(), (std::vector<std::string>{"", "Connecting to FTP Server...", "Authorizing...",
                                                    "Uploading [plan.emf]...", "[plan.emf] uploaded.",
                                                    "Uploading [plan.jpg]...", "FTP Succeeded."}));
    const CFtpUploadState& last = shown.back();
    EXPECT_EQ(last.secondLine, "2 files uploaded.");
    EXPECT_EQ(last.percent, 100);
    EXPECT_EQ(last.PercentText(), "100 %");
    EXPECT_TRUE(last.ShowClose());
    EXPECT_FALSE(last.ShowCancel());
    EXPECT_FALSE(last.ShowRetry());
    EXPECT_EQ(test::ReadFileText(data.File("PQS.ftp")), "&ftp=true");
    // The bar rises over both files by their sizes: the first file ends at a quarter of the bytes.
    int atFirstEnd = -1;
    for (const CFtpUploadState& state : shown) {
        if (state.status == "[plan.emf] uploaded.")
            atFirstEnd = state.percent;
        EXPECT_GE(state.percent, 0);
        EXPECT_LE(state.percent, 100);
    }
    EXPECT_EQ(atFirstEnd, 25);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(),
                               [](const auto& a, const auto& b) { return a.percent < b.percent; }));
}

TEST_F(FtpUpload, ASecondFileAloneCountsForTheWholeBar) {
    if (!StartServer())
        return;
    test::WriteRandomFile(local.File("only.jpg"), 300000, 13);
    ASSERT_EQ(Run(Request("missing.emf", "only.jpg")), FtpUploadOutcome::Succeeded) << shown.back().detail;
    EXPECT_EQ(shown.back().secondLine, "1 file uploaded.");
    // Before it reached 100 on success, the progress of the file itself went past half way.
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const auto& s) {
        return s.status == "Uploading [only.jpg]..." && s.percent > 50;
    }));
    EXPECT_FALSE(std::filesystem::exists(root.File("missing.emf")));
}

TEST_F(FtpUpload, WithoutLocalFilesNothingIsTriedAndNoFlagIsWritten) {
    EXPECT_EQ(Run(Request("a.emf", "b.jpg")), FtpUploadOutcome::Failed);
    EXPECT_EQ(shown.back().status, "Cannot find local files.");
    EXPECT_EQ(shown.back().secondLine, "0 files uploaded.");
    EXPECT_TRUE(shown.back().ShowRetry());
    EXPECT_FALSE(std::filesystem::exists(data.File("PQS.ftp")));
}

TEST_F(FtpUpload, FailuresEndWithTheirStatusTheReasonAndAFalseFlag) {
    test::WriteRandomFile(local.File("x.emf"), 1000, 14);
    const struct {
        const char* mode; // none: nothing listens on port 1
        std::chrono::milliseconds timeout;
        const char* status;
        const char* reason;
    } cases[] = {
        {nullptr, 5000ms, "Connection failed.", "refused"},
        {"refuse-login", 5000ms, "Authorization failed.", "refused the login"},
        {"pasv-no-parens", 5000ms, "FTP Failed.", "passive"},
        {"stall-greeting", 300ms, "Connection failed.", "300 ms"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        if (c.mode != nullptr && !StartServer(c.mode))
            return;
        CFtpUploadRequest request = Request("x.emf");
        if (c.mode == nullptr)
            request.port = 1;
        request.timeout = c.timeout;
        EXPECT_EQ(Run(request), FtpUploadOutcome::Failed);
        EXPECT_EQ(shown.back().status, c.status);
        EXPECT_NE(shown.back().detail.find(c.reason), std::string::npos) << shown.back().detail;
        EXPECT_TRUE(shown.back().ShowRetry());
        EXPECT_EQ(test::ReadFileText(data.File("PQS.ftp")), "&ftp=false");
        std::filesystem::remove(data.File("PQS.ftp")); // each run writes its own
    }
}

TEST_F(FtpUpload, CancelOnAnotherThreadStopsMidTransferAndRetryRunsAgain) {
    if (!StartServer("slow"))
        return;
    // At 256 KiB a second the file would take a minute, of which the socket buffers take a few seconds'
    // worth at the start: it is cancelled part way.
    constexpr std::size_t kSize = 16 * 1024 * 1024;
    test::WriteRandomFile(local.File("big.emf"), kSize, 16);
    std::mutex mutex;
    std::vector<std::string> statuses;
    int notified = 0;
    CFtpUploadRun run(Request("big.emf"), [&] {
        std::lock_guard lock(mutex);
        ++notified;
    });
    run.Start();
    for (int i = 0; i < 200 && run.GetState().percent < 5; ++i)
        std::this_thread::sleep_for(20ms);
    const CFtpUploadState during = run.GetState();
    EXPECT_TRUE(during.ShowCancel());
    EXPECT_EQ(during.status, "Uploading [big.emf]...");
    ASSERT_GE(during.percent, 5);
    ASSERT_LT(during.percent, 100);
    run.Cancel();
    ASSERT_TRUE(run.Wait(5s));
    const CFtpUploadState after = run.GetState();
    EXPECT_EQ(after.outcome, FtpUploadOutcome::Canceled);
    EXPECT_EQ(after.status, "FTP Canceled.");
    EXPECT_TRUE(after.ShowRetry());
    EXPECT_TRUE(after.ShowClose());
    EXPECT_EQ(test::ReadFileText(data.File("PQS.ftp")), "&ftp=false");
    EXPECT_LT(std::filesystem::file_size(root.File("big.emf")), kSize);
    {
        std::lock_guard lock(mutex);
        EXPECT_GT(notified, 3);
    }

    // Retry: the whole run again from its start; cancelled at once, it ends cancelled again.
    run.Start();
    run.Cancel();
    ASSERT_TRUE(run.Wait(5s));
    EXPECT_EQ(run.GetState().status, "FTP Canceled.");
}

TEST_F(FtpUpload, TheRunTellsAbortedByUserBeforeItEndsCanceled) {
    if (!StartServer("slow"))
        return;
    test::WriteRandomFile(local.File("z.emf"), 1024 * 1024, 17);
    std::atomic<bool> cancel{false};
    std::vector<std::string> statuses;
    RunFtpUpload(Request("z.emf"), cancel, [&](const CFtpUploadState& state) {
        if (statuses.empty() || statuses.back() != state.status)
            statuses.push_back(state.status);
        if (state.percent > 0)
            cancel = true;
    });
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], "Upload aborted by user.");
    EXPECT_EQ(statuses.back(), "FTP Canceled.");
}

TEST_F(FtpUpload, RetryAfterAFailureUploadsWhenTheCauseIsGone) {
    if (!StartServer())
        return;
    const std::string bytes = test::WriteRandomFile(local.File("r.emf"), 5000, 18);
    CFtpUploadRequest request = Request("r.emf");
    request.remoteNames[0] = "/later/r.emf";
    CFtpUploadRun run(request);
    run.Start();
    ASSERT_TRUE(run.Wait(10s));
    EXPECT_EQ(run.GetState().status, "FTP Failed.");
    std::filesystem::create_directory(root.Path() / "later");
    run.Start();
    ASSERT_TRUE(run.Wait(10s));
    EXPECT_EQ(run.GetState().status, "FTP Succeeded.") << run.GetState().detail;
    EXPECT_EQ(test::ReadFileText(root.File("later/r.emf")), bytes);
}

} // namespace
} // namespace pq
