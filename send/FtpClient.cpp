#include "send/FtpClient.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pq {

namespace {

// After an upload was broken off, or for the goodbye, the server's answer is waited for only briefly.
constexpr std::chrono::milliseconds kShortWait{2000};

// The first line of a reply without its line end, for messages.
std::string FirstLine(const std::string& reply) {
    return reply.substr(0, std::min(reply.find('\r'), reply.find('\n')));
}

// Closes a file descriptor when it leaves scope.
struct CFileHandle {
    int fd = -1;
    ~CFileHandle() {
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

CFtpClient::~CFtpClient() {
    data.Abort();
    control.Close();
}

bool CFtpClient::Fail(int code, std::string message) {
    lastCode = code;
    lastError = std::move(message);
    return false;
}

bool CFtpClient::FailNet(const CNetResult& result, std::string_view what, int otherCode) {
    switch (result.status) {
    case NetStatus::Cancelled:
        return Fail(kStopped, "The upload was stopped.");
    case NetStatus::TimedOut:
        return Fail(kTimedOut, "The server did not answer within " + DurationText(options.timeout) + " (" +
                                   std::string(what) + ").");
    case NetStatus::NoSocket:
        return Fail(kSocketFailed, "Cannot make a network connection: " + result.message + ".");
    case NetStatus::Closed:
        return Fail(kConnectionLost, "The server closed the connection (" + std::string(what) + ").");
    default:
        return Fail(otherCode, "Network failure (" + std::string(what) + "): " + result.message + ".");
    }
}

std::string CFtpClient::ServerSays() const {
    return "the server said \"" + FirstLine(lastReply) + "\"";
}

bool CFtpClient::SendCommand(const std::string& command) {
    // A line break inside a name or password would end the command early and send the rest as another.
    if (command.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        return Fail(kBadReply, "A name or password with a line break in it cannot be sent to the server.");
    const std::string line = command + "\r\n";
    const CNetResult sent = control.SendAll(line, options.timeout, cancel);
    if (!sent.Ok())
        return FailNet(sent, "sending " + command.substr(0, command.find(' ')), kConnectionLost);
    return true;
}

bool CFtpClient::ReadReply(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    for (;;) {
        std::size_t used = 0;
        const auto status = reader.Feed(pending, used);
        pending.erase(0, used);
        if (status == CFtpReplyReader::Status::Complete) {
            const CFtpReply reply = reader.Take();
            lastCode = reply.code;
            lastReply = reply.text;
            lastError.clear();
            return true;
        }
        if (status == CFtpReplyReader::Status::Malformed) {
            const std::string why = reader.GetError();
            reader.Reset();
            pending.clear();
            return Fail(kBadReply, "The server's answer is not FTP: " + why + ".");
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        std::size_t received = 0;
        const CNetResult got = left.count() > 0 ? control.Receive(buffer, received, left, cancel)
                                                : CNetResult::Failure(NetStatus::TimedOut, "");
        if (!got.Ok()) {
            if (got.status == NetStatus::TimedOut)
                return Fail(kTimedOut, "The server did not answer within " + DurationText(timeout) + ".");
            return FailNet(got, "waiting for its answer", kConnectionLost);
        }
        pending.append(buffer, received);
    }
}

bool CFtpClient::Exchange(const std::string& command) {
    return SendCommand(command) && ReadReply();
}

bool CFtpClient::Connect(const std::string& server, uint16_t port) {
    data.Abort();
    control.Close();
    connected = false;
    epsvRefused = false;
    reader.Reset();
    pending.clear();
    lastReply.clear();
    const CNetResult made = control.Connect(server, port, options.timeout, cancel);
    if (!made.Ok()) {
        if (made.status == NetStatus::Failed)
            return Fail(kConnectFailed, "Cannot connect to " + server + " port " + std::to_string(port) +
                                            ": " + made.message + ".");
        if (made.status == NetStatus::TimedOut)
            return Fail(kTimedOut, "The server " + server + " did not answer within " +
                                       DurationText(options.timeout) + ".");
        return FailNet(made, "connecting", kConnectFailed);
    }
    // 120: "ready in a few minutes", followed by the real greeting.
    do {
        if (!ReadReply()) {
            control.Close();
            return false;
        }
    } while (lastCode == 120);
    if (lastCode != 220) {
        control.Close();
        return Fail(lastCode, "The server did not accept the connection: " + ServerSays() + ".");
    }
    connected = true;
    return true;
}

bool CFtpClient::Login(const std::string& user, const std::string& password) {
    if (!connected)
        return Fail(kConnectionLost, "Not connected to the server.");
    if (!Exchange("USER " + user))
        return false;
    // A server that needs no password logs the user in at once.
    if (lastCode == 230)
        return true;
    if (lastCode != 331)
        return Fail(lastCode, "The server refused the user name: " + ServerSays() + ".");
    if (!Exchange("PASS " + password))
        return false;
    if (lastCode == 230 || lastCode == 202)
        return true;
    if (lastCode == 332)
        return Fail(lastCode, "The server asks for an account as well, which cannot be given here.");
    return Fail(lastCode, "The server refused the login: " + ServerSays() + ".");
}

bool CFtpClient::OpenDataConnection() {
    data.Abort();
    std::optional<uint16_t> port;
    if (!epsvRefused) {
        if (!Exchange("EPSV"))
            return false;
        if (lastCode == 229) {
            port = ParseEpsvReply(lastReply);
            if (!port)
                return Fail(kBadReply,
                            "The server's passive-mode answer holds no port: " + ServerSays() + ".");
        } else {
            epsvRefused = true;
        }
    }
    if (!port) {
        if (!Exchange("PASV"))
            return false;
        if (lastCode != 227)
            return Fail(lastCode, "The server refused passive mode: " + ServerSays() + ".");
        const auto address = ParsePasvReply(lastReply);
        if (!address)
            return Fail(kBadReply,
                        "The server's passive-mode answer holds no address: " + ServerSays() + ".");
        // The data connection goes to the host of the control connection, whatever address the reply
        // names: a server behind a router names an address of its own network, and a hostile one could
        // name any host to have the file sent there.
        port = address->port;
    }
    const CSocketAddress target = control.GetPeer().WithPort(*port);
    const CNetResult made = data.Connect(target, options.timeout, cancel);
    if (!made.Ok()) {
        if (made.status == NetStatus::Failed || made.status == NetStatus::TimedOut)
            return Fail(kDataConnectFailed, "Cannot open the data connection to " + target.HostText() +
                                                " port " + std::to_string(*port) + ": " + made.message + ".");
        return FailNet(made, "opening the data connection", kDataConnectFailed);
    }
    return true;
}

bool CFtpClient::Put(const std::string& localPath, const std::string& remoteName,
                     const FtpProgressSink& sink) {
    if (!connected)
        return Fail(kConnectionLost, "Not connected to the server.");
    if (remoteName.empty())
        return Fail(kBadReply, "No remote file name was given.");
    // The file is opened first, so that a missing file leaves no empty file on the server.
    CFileHandle file{open(localPath.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0)
        return Fail(kLocalFileFailed, "Cannot read " + localPath + ": " + SocketErrorText(errno) + ".");
    if (!S_ISREG(info.st_mode))
        return Fail(kLocalFileFailed, "Cannot read " + localPath + ": it is not a regular file.");
    const double size = static_cast<double>(std::max<off_t>(info.st_size, 1));

    // Binary, so that no byte of the file is changed on the way.
    if (!Exchange("TYPE " + transferType))
        return false;
    if (lastCode / 100 != 2)
        return Fail(lastCode, "The server refused the transfer type: " + ServerSays() + ".");
    if (!OpenDataConnection())
        return false;
    if (!Exchange("STOR " + remoteName)) {
        data.Abort();
        return false;
    }
    if (lastCode != 150 && lastCode != 125) {
        data.Abort();
        return Fail(lastCode, "The server refused to store " + remoteName + ": " + ServerSays() + ".");
    }

    std::vector<char> block(std::max<std::size_t>(options.blockSize, 1));
    uint64_t total = 0;
    bool failed = false;
    for (;;) {
        const ssize_t n = read(file.fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            Fail(kLocalFileFailed, "Cannot read " + localPath + ": " + SocketErrorText(errno) + ".");
            failed = true;
            break;
        }
        if (n == 0)
            break;
        const CNetResult sent = data.SendAll(std::span<const char>(block.data(), static_cast<std::size_t>(n)),
                                             options.timeout, cancel);
        if (!sent.Ok()) {
            const std::string where =
                "after " + std::to_string(total) + " of " + std::to_string(info.st_size) + " bytes";
            if (sent.status == NetStatus::Closed)
                Fail(kConnectionLost, "The server closed the data connection " + where + ".");
            else if (sent.status == NetStatus::TimedOut)
                Fail(kTimedOut,
                     "The server took no data for " + DurationText(options.timeout) + " " + where + ".");
            else
                FailNet(sent, "sending the file", kConnectionLost);
            failed = true;
            break;
        }
        total += static_cast<uint64_t>(n);
        if (sink && !sink(static_cast<double>(total) / size)) {
            Fail(kStopped, "The upload was stopped.");
            failed = true;
            break;
        }
    }

    if (failed) {
        // A reset tells the server the file is incomplete; its answer (426 as a rule) is read so that the
        // control connection stays in step, but the failure's own reason is what the caller sees.
        data.Abort();
        const int code = lastCode;
        const std::string error = lastError;
        ReadReply(std::min(options.timeout, kShortWait));
        lastCode = code;
        lastError = error;
        return false;
    }
    data.Close();
    if (!ReadReply())
        return false;
    if (lastCode != 226 && lastCode != 250)
        return Fail(lastCode, "The server did not store " + remoteName + ": " + ServerSays() + ".");
    return true;
}

bool CFtpClient::Quit() {
    if (!control.IsOpen())
        return false;
    bool said = true;
    if (connected) {
        // The goodbye keeps the code and reason of the call before it, which callers report.
        const int code = lastCode;
        const std::string reply = lastReply, error = lastError;
        said = SendCommand("QUIT") && ReadReply(std::min(options.timeout, kShortWait)) && lastCode == 221;
        lastCode = code;
        lastReply = reply;
        lastError = error;
    }
    data.Abort();
    control.Close();
    connected = false;
    return said;
}

} // namespace pq
