#include "send/TcpSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pq {

namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the cancel flag.
constexpr auto kCancelSlice = std::chrono::milliseconds(50);

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

// A name lookup runs on a thread of its own, since getaddrinfo cannot be given a time limit; a caller
// that stops waiting leaves the result to the thread, which frees it.
struct CLookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    int rc = 0;
    addrinfo* list = nullptr;
};

std::vector<CSocketAddress> Addresses(const addrinfo* list) {
    std::vector<CSocketAddress> result;
    for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
        if ((a->ai_family != AF_INET && a->ai_family != AF_INET6) || a->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        CSocketAddress address;
        std::memcpy(&address.storage, a->ai_addr, a->ai_addrlen);
        address.length = a->ai_addrlen;
        result.push_back(address);
    }
    return result;
}

CNetResult Resolve(std::string host, uint16_t port, Clock::time_point deadline, CTcpSocket::Timeout timeout,
                   const std::atomic<bool>* cancel, std::vector<CSocketAddress>& addresses) {
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string service = std::to_string(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* list = nullptr;
    // An address needs no lookup.
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
        addresses = Addresses(list);
        freeaddrinfo(list);
        return {};
    }
    auto lookup = std::make_shared<CLookup>();
    try {
        std::thread([lookup, host, service] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            hints.ai_flags = AI_NUMERICSERV;
            addrinfo* found = nullptr;
            const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
            std::lock_guard lock(lookup->mutex);
            if (lookup->abandoned) {
                if (rc == 0)
                    freeaddrinfo(found);
            } else {
                lookup->rc = rc;
                lookup->list = rc == 0 ? found : nullptr;
            }
            lookup->done = true;
            lookup->finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return CNetResult::Failure(NetStatus::Failed,
                                   "cannot look up " + host + ": no thread for the lookup");
    }
    std::unique_lock lock(lookup->mutex);
    while (!lookup->done) {
        if (Cancelled(cancel) || Clock::now() >= deadline) {
            lookup->abandoned = true;
            if (Cancelled(cancel))
                return CNetResult::Failure(NetStatus::Cancelled, "cancelled");
            return CNetResult::Failure(NetStatus::TimedOut,
                                       "looking up " + host + " took longer than " + DurationText(timeout));
        }
        lookup->finished.wait_until(lock, std::min(deadline, Clock::now() + kCancelSlice));
    }
    if (lookup->rc != 0)
        return CNetResult::Failure(NetStatus::Failed,
                                   "cannot find the server " + host + ": " + gai_strerror(lookup->rc));
    addresses = Addresses(lookup->list);
    freeaddrinfo(lookup->list);
    lookup->list = nullptr;
    if (addresses.empty())
        return CNetResult::Failure(NetStatus::Failed, "the server " + host + " has no internet address");
    return {};
}

} // namespace

std::string DurationText(std::chrono::milliseconds timeout) {
    const auto ms = timeout.count();
    if (ms % 1000 == 0)
        return std::to_string(ms / 1000) + (ms == 1000 ? " second" : " seconds");
    return std::to_string(ms) + " ms";
}

std::string SocketErrorText(int error) {
    char buffer[256];
    // The GNU strerror_r returns the text, which may or may not be the buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

CSocketAddress CSocketAddress::WithPort(uint16_t port) const {
    CSocketAddress result = *this;
    if (Family() == AF_INET)
        reinterpret_cast<sockaddr_in&>(result.storage).sin_port = htons(port);
    else if (Family() == AF_INET6)
        reinterpret_cast<sockaddr_in6&>(result.storage).sin6_port = htons(port);
    return result;
}

std::string CSocketAddress::HostText() const {
    char text[INET6_ADDRSTRLEN] = "";
    if (Family() == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(storage).sin_addr, text, sizeof text);
    else if (Family() == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(storage).sin6_addr, text, sizeof text);
    return text;
}

CTcpSocket::~CTcpSocket() {
    Close();
}

CTcpSocket::CTcpSocket(CTcpSocket&& other) noexcept : fd(other.fd), peer(other.peer) {
    other.fd = -1;
}

CTcpSocket& CTcpSocket::operator=(CTcpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd = other.fd;
        peer = other.peer;
        other.fd = -1;
    }
    return *this;
}

CNetResult CTcpSocket::Wait(short events, Timeout timeout, const std::atomic<bool>* cancel) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (Cancelled(cancel))
            return CNetResult::Failure(NetStatus::Cancelled, "cancelled");
        const auto now = Clock::now();
        if (now >= deadline)
            return CNetResult::Failure(NetStatus::TimedOut, "no answer within " + DurationText(timeout));
        auto slice = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                     std::chrono::milliseconds(1);
        if (cancel != nullptr)
            slice = std::min<std::chrono::milliseconds>(slice, kCancelSlice);
        pollfd entry{fd, events, 0};
        const int rc = poll(&entry, 1, static_cast<int>(slice.count()));
        if (rc > 0)
            return {}; // ready, or an error the next call reports
        if (rc < 0 && errno != EINTR)
            return CNetResult::Failure(NetStatus::Failed, SocketErrorText(errno));
    }
}

CNetResult CTcpSocket::Connect(const std::string& host, uint16_t port, Timeout timeout,
                               const std::atomic<bool>* cancel) {
    const auto deadline = Clock::now() + timeout;
    std::vector<CSocketAddress> addresses;
    if (CNetResult found = Resolve(host, port, deadline, timeout, cancel, addresses); !found.Ok())
        return found;
    CNetResult last = CNetResult::Failure(NetStatus::Failed, "the server has no address");
    for (const CSocketAddress& address : addresses) {
        const auto left = std::chrono::duration_cast<Timeout>(deadline - Clock::now());
        if (left.count() <= 0)
            return CNetResult::Failure(NetStatus::TimedOut, "no answer within " + DurationText(timeout));
        last = Connect(address, left, cancel);
        if (last.Ok() || last.status == NetStatus::Cancelled || last.status == NetStatus::NoSocket)
            return last;
    }
    if (last.status == NetStatus::TimedOut)
        last.message = "no answer within " + DurationText(timeout);
    return last;
}

CNetResult CTcpSocket::Connect(const CSocketAddress& address, Timeout timeout,
                               const std::atomic<bool>* cancel) {
    Close();
    fd = socket(address.Family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return CNetResult::Failure(NetStatus::NoSocket, "cannot make a socket: " + SocketErrorText(errno));
    peer = address;
    // Commands are small and answered one at a time: send them at once.
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address.storage), address.length) != 0) {
        if (errno != EINPROGRESS) {
            const int error = errno;
            Close();
            return CNetResult::Failure(NetStatus::Failed, SocketErrorText(error));
        }
        if (CNetResult ready = Wait(POLLOUT, timeout, cancel); !ready.Ok()) {
            Close();
            return ready;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
        if (error != 0) {
            Close();
            return CNetResult::Failure(NetStatus::Failed, SocketErrorText(error));
        }
    }
    return {};
}

CNetResult CTcpSocket::SendAll(std::span<const char> bytes, Timeout timeout,
                               const std::atomic<bool>* cancel) {
    while (!bytes.empty()) {
        if (fd < 0)
            return CNetResult::Failure(NetStatus::Failed, "not connected");
        // MSG_NOSIGNAL: a peer that has gone gives an error here, not a SIGPIPE that ends the program.
        const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (CNetResult ready = Wait(POLLOUT, timeout, cancel); !ready.Ok())
                return ready;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            const int error = n < 0 ? errno : EPIPE;
            if (error == EPIPE || error == ECONNRESET)
                return CNetResult::Failure(NetStatus::Closed, "the connection was closed by the server");
            return CNetResult::Failure(NetStatus::Failed, SocketErrorText(error));
        }
    }
    return {};
}

CNetResult CTcpSocket::Receive(std::span<char> buffer, std::size_t& received, Timeout timeout,
                               const std::atomic<bool>* cancel) {
    received = 0;
    for (;;) {
        if (fd < 0)
            return CNetResult::Failure(NetStatus::Failed, "not connected");
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
        if (n > 0) {
            received = static_cast<std::size_t>(n);
            return {};
        }
        if (n == 0)
            return CNetResult::Failure(NetStatus::Closed, "the connection was closed by the server");
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (CNetResult ready = Wait(POLLIN, timeout, cancel); !ready.Ok())
                return ready;
        } else if (errno == ECONNRESET) {
            return CNetResult::Failure(NetStatus::Closed, "the connection was reset by the server");
        } else if (errno != EINTR) {
            return CNetResult::Failure(NetStatus::Failed, SocketErrorText(errno));
        }
    }
}

void CTcpSocket::Close() {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

void CTcpSocket::Abort() {
    if (fd >= 0) {
        const linger now{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    }
    Close();
}

} // namespace pq
