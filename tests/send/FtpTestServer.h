#pragma once

// A real FTP server on loopback for one test: tests/send/ftp_test_server.py (pyftpdlib, from Debian's
// python3-pyftpdlib), started on a free port and stopped when the object goes.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pq::test {

#ifndef PQ_FTP_TEST_SERVER
#define PQ_FTP_TEST_SERVER PQ_TEST_DATA_DIR "/../send/ftp_test_server.py"
#endif

inline constexpr const char* kFtpPython = "/usr/bin/python3";
inline constexpr const char* kFtpUser = "pq";
inline constexpr const char* kFtpPassword = "secret";

// True, with a failure that says what to install, when the server's interpreter or pyftpdlib is
// missing: the upload cannot be tested without a server, so such a test fails rather than skips.
inline bool FtpServerMissing() {
    const std::string probe = std::string(kFtpPython) + " -c 'import pyftpdlib' > /dev/null 2>&1";
    if (access(kFtpPython, X_OK) == 0 && std::system(probe.c_str()) == 0)
        return false;
    ADD_FAILURE() << "the FTP test server needs /usr/bin/python3 with pyftpdlib (scripts/setup installs "
                     "python3-pyftpdlib)";
    return true;
}

inline bool Ipv6LoopbackAvailable() {
    const int fd = socket(AF_INET6, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

class CFtpTestServer {
public:
    // Starts the server serving root in the given mode (see the script); Port() is 0 when it failed.
    CFtpTestServer(const std::string& root, const std::string& mode = "normal",
                   const std::string& host = "127.0.0.1") {
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string script = PQ_FTP_TEST_SERVER;
        const char* argv[] = {kFtpPython,   script.c_str(), "--root",     root.c_str(), "--mode",
                              mode.c_str(), "--host",       host.c_str(), nullptr};
        const int rc = posix_spawn(&pid, kFtpPython, &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (rc != 0) {
            pid = -1;
            close(out[0]);
            return;
        }
        // The first line says the port; a server that does not come up in 10 s is a failure.
        std::string line;
        pollfd entry{out[0], POLLIN, 0};
        char c;
        while (line.find('\n') == std::string::npos && poll(&entry, 1, 10000) > 0 && read(out[0], &c, 1) == 1)
            line += c;
        close(out[0]);
        if (line.rfind("PORT ", 0) == 0)
            port = std::atoi(line.c_str() + 5);
    }
    ~CFtpTestServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            int status = 0;
            waitpid(pid, &status, 0);
        }
    }
    CFtpTestServer(const CFtpTestServer&) = delete;
    CFtpTestServer& operator=(const CFtpTestServer&) = delete;

    [[nodiscard]] uint16_t Port() const { return static_cast<uint16_t>(port); }

private:
    pid_t pid = -1;
    int port = 0;
};

} // namespace pq::test
