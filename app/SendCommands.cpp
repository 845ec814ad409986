#include "app/SendCommands.h"

#include "document/PreferenceStore.h"

#include <filesystem>
#include <system_error>

namespace pq {

CSendCommands::CSendCommands(DocumentPath pathOfDocument, CopyWriter copyWriter, IPreferenceStore* store,
                             std::string folder, ISendShell& sendShell)
    : documentPath(std::move(pathOfDocument)), writeCopy(std::move(copyWriter)), preferences(store),
      dataFolder(std::move(folder)), shell(sendShell) {}

std::string CSendCommands::TempFolder() const {
    return (std::filesystem::path(dataFolder) / "Temp").string();
}

std::string CSendCommands::FlagFilePath() const {
    return (std::filesystem::path(dataFolder) / std::string(kFtpFlagFileName)).string();
}

bool CSendCommands::Send(SendKind kind) {
    CSendSheet sheet(kind, documentPath ? documentPath() : std::string(), preferences);
    if (!shell.RunSendSheet(sheet))
        return false;
    const CTemporaryCopy copy =
        WriteTemporaryCopy(TempFolder(), sheet.send.FileName(), preferences, writeCopy);
    if (!copy.Ok()) {
        // The writer has said why; only a folder that could not be made is ours to tell.
        if (!copy.error.empty())
            shell.ShowMessage(copy.error);
        return false;
    }
    if (kind == SendKind::Email) {
        // The file stays until the next send: the mail program reads it when the message goes.
        if (preferences != nullptr) {
            preferences->WriteString(kLastTempFileName, copy.fileName);
            preferences->Flush();
        }
        std::string message;
        if (!mail.Start(copy.path, copy.fileName, &message)) {
            shell.ShowMessage(message);
            return false;
        }
        shell.WatchMailProgram();
        return true;
    }
    shell.RunUploadDialog(SendUploadRequest(sheet.ftp, copy, FlagFilePath()));
    std::error_code error;
    std::filesystem::remove(copy.path, error);
    return true;
}

bool CSendCommands::PollMail() {
    if (const std::optional<std::string> failure = mail.Poll()) {
        shell.ShowMessage(*failure);
        return false;
    }
    return mail.IsRunning();
}

} // namespace pq
