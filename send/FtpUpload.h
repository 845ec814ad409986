#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace pq {

// The texts the upload shows.
inline constexpr std::string_view kFtpConnecting = "Connecting to FTP Server...";
inline constexpr std::string_view kFtpAuthorizing = "Authorizing...";
inline constexpr std::string_view kFtpSucceeded = "FTP Succeeded.";
inline constexpr std::string_view kFtpFailed = "FTP Failed.";
inline constexpr std::string_view kFtpCanceled = "FTP Canceled.";
inline constexpr std::string_view kFtpConnectionFailed = "Connection failed.";
inline constexpr std::string_view kFtpAuthorizationFailed = "Authorization failed.";
inline constexpr std::string_view kFtpNoLocalFiles = "Cannot find local files.";
inline constexpr std::string_view kFtpAbortedByUser = "Upload aborted by user.";
inline constexpr std::string_view kFtpNoFilesUploaded = "0 files uploaded.";
inline constexpr std::string_view kFtpOneFileUploaded = "1 file uploaded.";
inline constexpr std::string_view kFtpTwoFilesUploaded = "2 files uploaded.";

// The flag file an upload leaves in the data folder: "&ftp=false" from its start, "&ftp=true" once every
// file is on the server. Scripts that drive the unattended export read it.
inline constexpr std::string_view kFtpFlagFileName = "PQS.ftp";

// What one upload sends where: one or two local files, each to its remote name.
struct CFtpUploadRequest {
    std::string server;
    uint16_t port = 21;
    std::string userName; // empty: "anonymous" with an empty password
    std::string password;
    std::array<std::string, 2> localPaths;  // an empty or missing second file is left out
    std::array<std::string, 2> remoteNames; // "/" separates folders
    std::string flagFilePath;               // where PQS.ftp goes; empty: no flag file
    std::chrono::milliseconds timeout{30000};
};

enum class FtpUploadOutcome { Running, Succeeded, Failed, Canceled };

// What the upload dialog shows at one moment.
struct CFtpUploadState {
    std::string status;     // the status line
    std::string secondLine; // "0 files uploaded." ...
    std::string detail;     // why it failed, in the client's words; empty otherwise
    int percent = 0;        // 0..100 over both files
    FtpUploadOutcome outcome = FtpUploadOutcome::Running;

    [[nodiscard]] bool Finished() const { return outcome != FtpUploadOutcome::Running; }
    // The dialog's buttons: Cancel while running, Close after, and Retry after a failure or a cancel.
    [[nodiscard]] bool ShowCancel() const { return !Finished(); }
    [[nodiscard]] bool ShowClose() const { return Finished(); }
    [[nodiscard]] bool ShowRetry() const {
        return outcome == FtpUploadOutcome::Failed || outcome == FtpUploadOutcome::Canceled;
    }
    // The percent text beside the bar.
    [[nodiscard]] std::string PercentText() const { return std::to_string(percent) + " %"; }
};

// Runs one upload on the caller's thread from the start to its end state, telling onChange every change
// of the state. cancel is read between steps, after every block and during every wait.
FtpUploadOutcome RunFtpUpload(const CFtpUploadRequest& request, const std::atomic<bool>& cancel,
                              const std::function<void(const CFtpUploadState&)>& onChange);

// The upload dialog's model: the upload runs on a worker thread so the window never waits for the
// server. The dialog reads GetState() from a timer (or when notify, called on the worker thread after
// each change, wakes it up), Cancel() asks the run to stop, and Start() after the end is Retry.
class CFtpUploadRun {
public:
    explicit CFtpUploadRun(CFtpUploadRequest request, std::function<void()> notify = {});
    // Stops a run in progress and waits for its thread.
    ~CFtpUploadRun();
    CFtpUploadRun(const CFtpUploadRun&) = delete;
    CFtpUploadRun& operator=(const CFtpUploadRun&) = delete;

    // Starts the upload from the beginning; does nothing while a run is in progress.
    void Start();
    // Asks the run to stop; it ends with "FTP Canceled." within a moment. Any thread may call it.
    void Cancel();
    // Waits for the run to end, at most timeout; true when it has ended (or never started).
    bool Wait(std::chrono::milliseconds timeout);

    [[nodiscard]] CFtpUploadState GetState() const;
    [[nodiscard]] bool IsRunning() const;

private:
    void Publish(const CFtpUploadState& state);

    const CFtpUploadRequest request;
    const std::function<void()> notify;
    std::atomic<bool> cancel{false};
    mutable std::mutex mutex;
    std::condition_variable ended;
    CFtpUploadState state;
    bool running = false;
    std::thread worker;
};

} // namespace pq
