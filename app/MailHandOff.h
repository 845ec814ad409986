#pragma once

#include "platform/ChildProcess.h"

#include <optional>
#include <string>
#include <vector>

namespace pq {

// The mail program's command for a file: xdg-email opens the user's mail program with a new message
// whose subject is the file's name, whose body says "Attachment: " and the name, and which carries the
// file.
[[nodiscard]] std::vector<std::string> MailCommand(const std::string& path, const std::string& fileName);

// What to say when no mail program took the file: xdg-email missing (reason from starting it), or
// ending with a failure status.
[[nodiscard]] std::string MailMissingMessage(const std::string& path, const std::string& reason);
[[nodiscard]] std::string MailFailedMessage(const std::string& path, int exitStatus);

// Hands a file to the mail program without waiting for it: Start spawns xdg-email, Poll (from a timer)
// tells when it has ended and what to say if it failed. The window stays live throughout.
class CMailHandOff {
public:
    // False with the message to show when xdg-email cannot be started at all.
    bool Start(const std::string& path, const std::string& fileName, std::string* message);
    // While xdg-email runs, or after it ended well: nothing. Once it ended with a failure: the message,
    // given once.
    [[nodiscard]] std::optional<std::string> Poll();
    [[nodiscard]] bool IsRunning();

private:
    CChildProcess process;
    std::string path;
    bool reported = true;
};

} // namespace pq
