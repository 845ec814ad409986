#include "send/FtpUpload.h"

#include "platform/image/AtomicWrite.h"
#include "send/FtpClient.h"
#include "send/FtpNames.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace pq {

namespace {

// The size a file counts for in the overall progress: 0 when it is not there, at least 1 otherwise.
uint64_t ProgressSize(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return std::max<uint64_t>(static_cast<uint64_t>(info.st_size), 1);
}

// The flag file is advisory: a folder that cannot take it does not stop the upload.
void WriteFlagFile(const std::string& path, bool succeeded) {
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    const std::string_view text = succeeded ? "&ftp=true" : "&ftp=false";
    (void)WriteFileReplacing(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

// One run, with its state and the one place that reports it.
class CUploadRunner {
public:
    CUploadRunner(const CFtpUploadRequest& request, const std::atomic<bool>& cancel,
                  const std::function<void(const CFtpUploadState&)>& onChange)
        : request(request), cancel(cancel), onChange(onChange) {}

    FtpUploadOutcome Run();

private:
    void Show() {
        if (onChange)
            onChange(state);
    }
    void SetStatus(std::string_view status) {
        state.status = status;
        Show();
    }
    FtpUploadOutcome End(FtpUploadOutcome outcome, std::string_view status, std::string detail = {}) {
        state.status = status;
        state.detail = std::move(detail);
        state.outcome = outcome;
        Show();
        return outcome;
    }
    // Called after every block with the share of the current file sent.
    bool OnProgress(double fraction, uint64_t before, uint64_t size, uint64_t total) {
        if (cancel.load()) {
            SetStatus(kFtpAbortedByUser);
            return false;
        }
        const double overall = (static_cast<double>(before) + fraction * static_cast<double>(size)) /
                               static_cast<double>(std::max<uint64_t>(total, 1));
        const int percent = std::clamp(static_cast<int>(overall * 100.0), 0, 100);
        if (percent != state.percent) {
            state.percent = percent;
            Show();
        }
        return true;
    }

    const CFtpUploadRequest& request;
    const std::atomic<bool>& cancel;
    const std::function<void(const CFtpUploadState&)>& onChange;
    CFtpUploadState state;
};

FtpUploadOutcome CUploadRunner::Run() {
    state.secondLine = kFtpNoFilesUploaded;
    Show();
    const uint64_t sizes[2] = {ProgressSize(request.localPaths[0]), ProgressSize(request.localPaths[1])};
    std::vector<int> files;
    for (int i = 0; i < 2; ++i)
        if (sizes[i] > 0)
            files.push_back(i);
    if (files.empty())
        return End(FtpUploadOutcome::Failed, kFtpNoLocalFiles);
    WriteFlagFile(request.flagFilePath, false);

    const auto cancelled = [&] { return cancel.load(); };
    CFtpClient client(CFtpClient::COptions{request.timeout});
    client.SetCancelFlag(&cancel);
    SetStatus(kFtpConnecting);
    if (!client.Connect(request.server, request.port))
        return cancelled() ? End(FtpUploadOutcome::Canceled, kFtpCanceled)
                           : End(FtpUploadOutcome::Failed, kFtpConnectionFailed, client.GetLastError());

    const bool anonymous = request.userName.empty();
    SetStatus(kFtpAuthorizing);
    if (!client.Login(anonymous ? "anonymous" : request.userName, anonymous ? "" : request.password)) {
        const std::string why = client.GetLastError();
        client.Quit();
        return cancelled() ? End(FtpUploadOutcome::Canceled, kFtpCanceled)
                           : End(FtpUploadOutcome::Failed, kFtpAuthorizationFailed, why);
    }

    client.SetBinary();
    const uint64_t total = sizes[0] + sizes[1];
    uint64_t before = 0;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const int i = files[k];
        const std::string name = FileNameOfPath(request.localPaths[i]);
        SetStatus("Uploading [" + name + "]...");
        const auto sink = [&, i](double fraction) { return OnProgress(fraction, before, sizes[i], total); };
        if (!client.Put(request.localPaths[i], request.remoteNames[i], sink)) {
            const std::string why = client.GetLastError();
            client.Quit();
            if (!cancelled())
                return End(FtpUploadOutcome::Failed, kFtpFailed, why);
            if (state.status != kFtpAbortedByUser)
                SetStatus(kFtpAbortedByUser);
            return End(FtpUploadOutcome::Canceled, kFtpCanceled);
        }
        before += sizes[i];
        if (k + 1 < files.size()) {
            state.secondLine = kFtpOneFileUploaded;
            SetStatus("[" + name + "] uploaded.");
        }
    }
    client.Quit();
    state.secondLine = files.size() == 1 ? kFtpOneFileUploaded : kFtpTwoFilesUploaded;
    state.percent = 100;
    WriteFlagFile(request.flagFilePath, true);
    return End(FtpUploadOutcome::Succeeded, kFtpSucceeded);
}

} // namespace

FtpUploadOutcome RunFtpUpload(const CFtpUploadRequest& request, const std::atomic<bool>& cancel,
                              const std::function<void(const CFtpUploadState&)>& onChange) {
    return CUploadRunner(request, cancel, onChange).Run();
}

CFtpUploadRun::CFtpUploadRun(CFtpUploadRequest request, std::function<void()> notify)
    : request(std::move(request)), notify(std::move(notify)) {
    state.secondLine = kFtpNoFilesUploaded;
}

CFtpUploadRun::~CFtpUploadRun() {
    Cancel();
    if (worker.joinable())
        worker.join();
}

void CFtpUploadRun::Start() {
    {
        std::lock_guard lock(mutex);
        if (running && !state.Finished())
            return;
    }
    // A run that has published its end may still be leaving its thread.
    if (worker.joinable())
        worker.join();
    {
        std::lock_guard lock(mutex);
        cancel = false;
        running = true;
        state = {};
        state.secondLine = kFtpNoFilesUploaded;
    }
    try {
        worker = std::thread([this] {
            try {
                RunFtpUpload(request, cancel, [this](const CFtpUploadState& now) { Publish(now); });
            } catch (const std::exception& error) {
                // Nothing may escape a thread; the dialog shows the failure instead.
                CFtpUploadState failed = GetState();
                failed.status = kFtpFailed;
                failed.detail = std::string("The upload failed: ") + error.what() + ".";
                failed.outcome = FtpUploadOutcome::Failed;
                Publish(failed);
            }
            {
                std::lock_guard lock(mutex);
                running = false;
            }
            ended.notify_all();
        });
    } catch (const std::system_error& error) {
        CFtpUploadState failed;
        failed.secondLine = kFtpNoFilesUploaded;
        failed.status = kFtpFailed;
        failed.detail = std::string("Cannot start the upload: ") + error.what() + ".";
        failed.outcome = FtpUploadOutcome::Failed;
        Publish(failed);
        std::lock_guard lock(mutex);
        running = false;
    }
}

void CFtpUploadRun::Cancel() {
    cancel = true;
}

bool CFtpUploadRun::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return ended.wait_for(lock, timeout, [this] { return !running; });
}

CFtpUploadState CFtpUploadRun::GetState() const {
    std::lock_guard lock(mutex);
    return state;
}

bool CFtpUploadRun::IsRunning() const {
    std::lock_guard lock(mutex);
    return running;
}

void CFtpUploadRun::Publish(const CFtpUploadState& now) {
    {
        std::lock_guard lock(mutex);
        state = now;
    }
    if (notify)
        notify();
}

} // namespace pq
