#pragma once

#include "app/MailHandOff.h"
#include "app/SendSheet.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

class IPreferenceStore;

// What sending needs from the windowing shell.
class ISendShell {
public:
    virtual ~ISendShell() = default;
    // Shows the send sheet; true when it was accepted (its OK runs CSendSheet::Accept and stays open
    // while that refuses).
    virtual bool RunSendSheet(CSendSheet& sheet) = 0;
    // Shows the "FTP Uploading" dialog over the request until the user closes it.
    virtual FtpUploadOutcome RunUploadDialog(const CFtpUploadRequest& request) = 0;
    // The mail program was started: the shell calls CSendCommands::PollMail from a timer until it
    // answers that it is done.
    virtual void WatchMailProgram() = 0;
    virtual void ShowMessage(std::string_view text) = 0;
};

// File > Send > E-mail... and Ftp...: the sheet, the temporary copy in the data folder's Temp folder
// (written by writeCopy, the document's SaveCopy), then the mail program or the upload dialog.
class CSendCommands {
public:
    using DocumentPath = std::function<std::string()>;
    using CopyWriter = std::function<bool(const std::string& path)>;

    CSendCommands(DocumentPath documentPath, CopyWriter writeCopy, IPreferenceStore* preferences,
                  std::string dataFolder, ISendShell& shell);

    // Runs the command; true when the file was handed on (to the mail program, or to the upload dialog).
    bool Send(SendKind kind);
    // From the shell's timer after WatchMailProgram: true while the mail program still runs; a failure
    // is shown once it has ended.
    bool PollMail();

    [[nodiscard]] std::string TempFolder() const;
    [[nodiscard]] std::string FlagFilePath() const;

private:
    DocumentPath documentPath;
    CopyWriter writeCopy;
    IPreferenceStore* preferences;
    std::string dataFolder;
    ISendShell& shell;
    CMailHandOff mail;
};

} // namespace pq
