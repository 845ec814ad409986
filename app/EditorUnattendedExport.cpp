#include "app/EditorUnattendedExport.h"

namespace pq {

CEditorUnattendedExport::CEditorUnattendedExport(CStartupRequest request, std::string flagFile)
    : startup(std::move(request)), flagFilePath(std::move(flagFile)) {}

CEditorUnattendedExport::Outcome CEditorUnattendedExport::Run(CDrawing& drawing,
                                                              IUnattendedExportHost& host) {
    if (!SettingsFileUnchanged(startup, [&](std::string_view question) { return host.AskYesNo(question); }))
        return Outcome::SettingsChanged;
    std::vector<std::string> failures;
    const CExportSettings& values = startup.exportSettings;
    if (!values.fileName.empty()) {
        CUnattendedExportOptions options;
        options.page = host.GetExportPage();
        options.flagFilePath = flagFilePath;
        // No notice box: nobody may be there to close it, and the copies are of the page on screen.
        const CUnattendedExportResult files = WriteUnattendedFiles(drawing, values, options);
        failures = files.failures;
        const CUploadSettings& upload = startup.uploadSettings;
        if (startup.uploadSettingsPresent && !upload.ftpServer.empty()) {
            if (std::string problem = UnattendedUploadProblem(upload, values, files); !problem.empty()) {
                failures.push_back(std::move(problem));
            } else {
                const CFtpUploadRequest request = UnattendedUploadRequest(upload, values, files, options);
                const FtpUploadOutcome outcome = host.RunUploadDialog(request);
                if (outcome != FtpUploadOutcome::Succeeded)
                    failures.push_back(
                        "The upload to " + request.server + " port " + std::to_string(request.port) +
                        (outcome == FtpUploadOutcome::Canceled ? " was cancelled." : " did not succeed."));
            }
        }
    }
    if (!failures.empty())
        host.ReportFailures(failures);
    host.CloseMainWindow();
    return failures.empty() ? Outcome::Done : Outcome::Incomplete;
}

} // namespace pq
