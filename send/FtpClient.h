#pragma once

#include "send/FtpReply.h"
#include "send/TcpSocket.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace pq {

// Called after each block of an upload with the share of the file sent so far (0..1); false stops it.
using FtpProgressSink = std::function<bool(double fraction)>;

// A minimal FTP client for uploads: connect, USER/PASS, TYPE, EPSV (PASV where the server lacks it),
// STOR and QUIT over a passive data connection. Every call blocks its thread until done, failed, timed out
// or cancelled, so it belongs on a worker thread, never the user-interface thread.
class CFtpClient {
public:
    // The client's own codes, stored as the last code where a reply code would be.
    static constexpr int kSocketFailed = 5001;      // creating a socket failed
    static constexpr int kConnectFailed = 5002;     // the server could not be found or reached
    static constexpr int kTimedOut = 5003;          // the server did not answer in time
    static constexpr int kConnectionLost = 5004;    // the server closed or broke the control connection
    static constexpr int kBadReply = 5005;          // a reply that is not FTP, or a command we would not send
    static constexpr int kLocalFileFailed = 5006;   // the local file could not be read
    static constexpr int kStopped = 5007;           // stopped by the progress sink or the cancel flag
    static constexpr int kDataConnectFailed = 5014; // connecting the data connection failed

    struct COptions {
        // The longest wait for the server at any one step (connecting, each reply, each block taken).
        std::chrono::milliseconds timeout{30000};
        // Bytes read from the file and sent at a time; the sink is called once per block.
        std::size_t blockSize = 64 * 1024;
    };

    CFtpClient() = default;
    explicit CFtpClient(COptions options) : options(options) {}
    ~CFtpClient();
    CFtpClient(const CFtpClient&) = delete;
    CFtpClient& operator=(const CFtpClient&) = delete;

    // Set from another thread, it ends the current wait within a moment; the call fails with kStopped.
    void SetCancelFlag(const std::atomic<bool>* flag) { cancel = flag; }

    // Connects and reads the greeting; true when it is 220.
    bool Connect(const std::string& server, uint16_t port);
    // USER, then PASS when the server asks for it (331); true when logged in (230, after USER or PASS).
    bool Login(const std::string& user, const std::string& password);
    // Uploads from now on in binary (TYPE I). No traffic.
    void SetBinary() { transferType = "I"; }
    // Uploads the local file as remoteName; true when the server confirms it stored the whole file.
    bool Put(const std::string& localPath, const std::string& remoteName, const FtpProgressSink& sink);
    // Says goodbye (QUIT) when connected, and always drops the connections. False without a connection
    // or when the server does not answer 221; callers may ignore it.
    bool Quit();

    [[nodiscard]] bool IsConnected() const { return connected; }
    [[nodiscard]] int GetLastCode() const { return lastCode; }
    // Every line of the last reply.
    [[nodiscard]] const std::string& GetLastReply() const { return lastReply; }
    // Why the last call failed, in a sentence for the user; empty after success.
    [[nodiscard]] const std::string& GetLastError() const { return lastError; }

private:
    bool Fail(int code, std::string message);
    bool FailNet(const CNetResult& result, std::string_view what, int otherCode);
    bool SendCommand(const std::string& command);
    // Reads one reply; false (with the reason) when none came.
    bool ReadReply(std::chrono::milliseconds timeout);
    bool ReadReply() { return ReadReply(options.timeout); }
    // Sends a command and reads its reply.
    bool Exchange(const std::string& command);
    bool OpenDataConnection();
    std::string ServerSays() const;

    COptions options;
    const std::atomic<bool>* cancel = nullptr;
    CTcpSocket control;
    CTcpSocket data;
    CFtpReplyReader reader;
    std::string pending; // bytes received after the last reply
    std::string transferType = "A";
    bool connected = false;
    bool epsvRefused = false;
    int lastCode = 0;
    std::string lastReply;
    std::string lastError;
};

} // namespace pq
