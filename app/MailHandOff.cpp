#include "app/MailHandOff.h"

namespace pq {

std::vector<std::string> MailCommand(const std::string& path, const std::string& fileName) {
    return {"xdg-email", "--utf8", "--subject", fileName, "--body", "Attachment: " + fileName,
            "--attach",  path};
}

std::string MailMissingMessage(const std::string& path, const std::string& reason) {
    return "No mail program could be started: xdg-email (from xdg-utils) " +
           (reason.empty() ? std::string("could not be run") : "could not be run: " + reason) +
           ".\nThe file to send is " + path + "; attach it to a message by hand.";
}

std::string MailFailedMessage(const std::string& path, int exitStatus) {
    std::string why;
    switch (exitStatus) {
    case 2:
        why = "it could not read the file";
        break;
    case 3:
        why = "no mail program is set up for this desktop";
        break;
    default:
        why = exitStatus < 0 ? "xdg-email was stopped"
                             : "xdg-email ended with status " + std::to_string(exitStatus);
        break;
    }
    return "The mail program did not take the file (" + why + ").\nThe file to send is " + path +
           "; attach it to a message by hand.";
}

bool CMailHandOff::Start(const std::string& filePath, const std::string& fileName, std::string* message) {
    path = filePath;
    std::string reason;
    if (!process.Start(MailCommand(filePath, fileName), &reason)) {
        reported = true;
        if (message != nullptr)
            *message = MailMissingMessage(filePath, reason);
        return false;
    }
    reported = false;
    return true;
}

std::optional<std::string> CMailHandOff::Poll() {
    const CChildProcess::State state = process.Poll();
    if (reported || state == CChildProcess::State::Running || state == CChildProcess::State::NotStarted)
        return std::nullopt;
    reported = true;
    if (state == CChildProcess::State::Succeeded)
        return std::nullopt;
    return MailFailedMessage(path, process.GetExitStatus());
}

bool CMailHandOff::IsRunning() {
    return process.Poll() == CChildProcess::State::Running;
}

} // namespace pq
