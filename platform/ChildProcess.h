#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace pq {

// A program started beside the editor and never waited for: the window stays live while it runs, and
// Poll tells, without blocking, whether it is still running or how it ended. A process still running when
// its CChildProcess goes is left to run (its parent reaps it at exit).
class CChildProcess {
public:
    enum class State { NotStarted, Running, Succeeded, Failed };

    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Starts argv[0], looked up on PATH, with the arguments after it; false, with the reason in words,
    // when it cannot be started (the program is missing or not executable). A process started before is
    // forgotten (not stopped).
    bool Start(const std::vector<std::string>& argv, std::string* reason = nullptr);
    // Running until the process ends; then Succeeded for exit status 0, Failed for any other status or a
    // signal.
    State Poll();
    [[nodiscard]] int GetExitStatus() const { return exitStatus; }

private:
    pid_t pid = -1;
    State state = State::NotStarted;
    int exitStatus = -1;
};

} // namespace pq
