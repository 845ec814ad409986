#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <span>
#include <string>

#include <sys/socket.h>

namespace pq {

// What a socket call came to. Every wait is bounded by a timeout and watches a cancel flag, so no call
// blocks longer than the timeout, nor more than a moment after the flag is set.
// NoSocket: the system would not make a socket at all (out of descriptors or memory).
enum class NetStatus { Ok, Closed, TimedOut, Cancelled, NoSocket, Failed };

struct CNetResult {
    NetStatus status = NetStatus::Ok;
    std::string message; // why, for the user; empty when Ok

    [[nodiscard]] bool Ok() const { return status == NetStatus::Ok; }
    static CNetResult Failure(NetStatus status, std::string message) { return {status, std::move(message)}; }
};

// An address a socket can connect to.
struct CSocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    [[nodiscard]] int Family() const { return storage.ss_family; }
    // The same host with another port.
    [[nodiscard]] CSocketAddress WithPort(uint16_t port) const;
    // "127.0.0.1" or "::1".
    [[nodiscard]] std::string HostText() const;
};

// A stream socket that does not block: every call waits with poll() until its timeout, checking the
// cancel flag (when there is one) at least every 50 ms.
class CTcpSocket {
public:
    using Timeout = std::chrono::milliseconds;

    CTcpSocket() = default;
    ~CTcpSocket();
    CTcpSocket(CTcpSocket&& other) noexcept;
    CTcpSocket& operator=(CTcpSocket&& other) noexcept;
    CTcpSocket(const CTcpSocket&) = delete;
    CTcpSocket& operator=(const CTcpSocket&) = delete;

    // Looks the host up (a name, an IPv4 or IPv6 address, the latter also in brackets) and connects to
    // each address it has in turn until one answers. The whole call, lookup included, ends within timeout.
    CNetResult Connect(const std::string& host, uint16_t port, Timeout timeout,
                       const std::atomic<bool>* cancel);
    CNetResult Connect(const CSocketAddress& address, Timeout timeout, const std::atomic<bool>* cancel);

    // Sends every byte; fails when the peer takes nothing for timeout or closes the connection.
    CNetResult SendAll(std::span<const char> bytes, Timeout timeout, const std::atomic<bool>* cancel);
    // Receives what has arrived, at most buffer.size() bytes, waiting up to timeout for the first.
    // Closed when the peer ended the stream.
    CNetResult Receive(std::span<char> buffer, std::size_t& received, Timeout timeout,
                       const std::atomic<bool>* cancel);

    // Ends the connection in order: the peer reads everything sent, then the end of the stream.
    void Close();
    // Ends it with a reset, so the peer sees the transfer broken off rather than complete.
    void Abort();

    [[nodiscard]] bool IsOpen() const { return fd >= 0; }
    [[nodiscard]] const CSocketAddress& GetPeer() const { return peer; }

private:
    CNetResult Wait(short events, Timeout timeout, const std::atomic<bool>* cancel);

    int fd = -1;
    CSocketAddress peer;
};

// A timeout for the user: "30 seconds", "1 second", "500 ms".
[[nodiscard]] std::string DurationText(std::chrono::milliseconds timeout);

// The text of a socket error number, as "Connection refused".
[[nodiscard]] std::string SocketErrorText(int error);

} // namespace pq
