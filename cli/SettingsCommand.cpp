#include "cli/CliText.h"
#include "cli/Commands.h"

#include "app/SettingsFile.h"
#include "app/UnattendedExport.h"
#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "platform/DataPaths.h"
#include "platform/RegularFile.h"

#include <string>

namespace pq::cli {

namespace {

int Failed(std::FILE* err, const std::string& message) {
    std::fprintf(err, "pqdraw-cli: %s\n", message.c_str());
    return kExitFailed;
}

} // namespace

int RunSettingsExport(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    if (args.size() != 1 || args[0].empty()) {
        std::fprintf(err, "pqdraw-cli: --settings takes one settings file and nothing else\n");
        std::fprintf(err, "usage: pqdraw-cli --settings FILE\n");
        return kExitUsage;
    }
    const std::string given(args[0]);
    const std::string path = SettingsFilePath(given);
    if (!IsReadableRegularFile(path)) {
        std::vector<uint8_t> ignored;
        std::string why;
        if (!ReadRegularFile(path, 1, ignored, why) && !why.empty())
            return Failed(err, why);
        return Failed(err, "cannot read the settings file " + path);
    }
    CExportSettings values;
    if (!ReadSettingsFile(path, values))
        return Failed(err, path + ": no \"filename\" is set, so there is nothing to export");
    if (values.openFile.empty())
        return Failed(err, path + ": no \"openfile\" names the drawing to export");
    CUploadSettings upload;
    const bool uploading = ReadUploadSettings(path, upload);

    CDrawing drawing;
    if (!OpenDrawing(drawing, values.openFile)) {
        ReportFileFailure(err, values.openFile, drawing.GetErrorMessage());
        return kExitFailed;
    }
    PrintReadWarning(err, values.openFile, drawing);

    CUnattendedExportOptions options;
    options.flagFilePath = DataFolder() + "/" + std::string(kFtpFlagFileName);
    options.notice = [err](std::string_view notice) {
        std::fprintf(err, "pqdraw-cli: %.*s\n", static_cast<int>(notice.size()), notice.data());
    };
    const CUnattendedExportResult result =
        RunUnattendedExport(drawing, values, uploading ? &upload : nullptr, options);
    for (const std::string& file : result.written)
        std::fprintf(out, "wrote %s\n", file.c_str());
    for (const std::string& remote : result.uploaded)
        std::fprintf(out, "uploaded %s\n", remote.c_str());
    for (const std::string& failure : result.failures)
        std::fprintf(err, "pqdraw-cli: %s\n", failure.c_str());
    if (result.written.empty() && result.failures.empty())
        std::fprintf(err, "pqdraw-cli: %s names no savelocation or printlocation: nothing was written\n",
                     path.c_str());
    return FinishOutput(result.Ok() ? kExitOk : kExitFailed, out, err);
}

} // namespace pq::cli
