#pragma once

#include "app/Startup.h"
#include "app/UnattendedExport.h"

#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;

// What the editor's unattended export needs from the windowing shell.
class IUnattendedExportHost {
public:
    virtual ~IUnattendedExportHost() = default;
    // The page shown, which the copies are made of.
    [[nodiscard]] virtual int GetExportPage() const = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool AskYesNo(std::string_view question) = 0;
    // Shows the "FTP Uploading" dialog over the request until it closes; how the upload ended.
    virtual FtpUploadOutcome RunUploadDialog(const CFtpUploadRequest& request) = 0;
    // What was asked for and not done, once, before the editor closes.
    virtual void ReportFailures(const std::vector<std::string>& failures) = 0;
    // Closes the main window as its close box does.
    virtual void CloseMainWindow() = 0;
};

// Export Bitmap in settings-file mode (a settings file naming a "filename" was read at start-up): no
// dialog; the settings file is read again, and when it changed the user is asked whether to take the new
// values (the command ends either way). Otherwise the copies are written, the upload runs in its dialog,
// anything not done is reported and the editor closes.
class CEditorUnattendedExport {
public:
    CEditorUnattendedExport(CStartupRequest startup, std::string flagFilePath);

    // Export Bitmap skips its dialog and runs Run instead.
    [[nodiscard]] bool InSettingsFileMode() const { return startup.exportSettingsPresent; }

    // How Run ended.
    enum class Outcome {
        SettingsChanged, // the question was asked; nothing was written
        Done,            // everything asked for was done; the editor closes
        Incomplete,      // something was not done (reported); the editor closes
    };
    Outcome Run(CDrawing& drawing, IUnattendedExportHost& host);

    [[nodiscard]] const CStartupRequest& Startup() const { return startup; }

private:
    CStartupRequest startup;
    std::string flagFilePath;
};

} // namespace pq
