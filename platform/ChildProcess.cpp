#include "platform/ChildProcess.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace pq {

CChildProcess::~CChildProcess() {
    // Reap a process that has already ended; one still running is not waited for.
    Poll();
}

bool CChildProcess::Start(const std::vector<std::string>& argv, std::string* reason) {
    Poll();
    pid = -1;
    state = State::NotStarted;
    exitStatus = -1;
    if (argv.empty() || argv.front().empty()) {
        if (reason != nullptr)
            *reason = "no program named";
        return false;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t child = -1;
    // posix_spawnp reports a program it cannot run (missing, not executable) as its own result.
    const int error = posix_spawnp(&child, args[0], nullptr, nullptr, args.data(), environ);
    if (error != 0) {
        if (reason != nullptr)
            *reason = std::strerror(error);
        return false;
    }
    pid = child;
    state = State::Running;
    return true;
}

CChildProcess::State CChildProcess::Poll() {
    if (state != State::Running)
        return state;
    int status = 0;
    pid_t done = 0;
    do {
        done = waitpid(pid, &status, WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == 0)
        return state;
    if (done < 0) {
        // Someone else reaped it; how it ended is unknown.
        state = State::Failed;
        return state;
    }
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    state = exitStatus == 0 ? State::Succeeded : State::Failed;
    return state;
}

} // namespace pq
