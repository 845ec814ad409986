#include "app/UnattendedExport.h"

#include "app/Startup.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "send/FtpNames.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace pq {

namespace {

std::string LowerTypeWithoutDots(const std::string& type) {
    std::string result;
    for (char c : type)
        if (c != '.')
            result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

bool SizeUsable(const CPixelSize& size) {
    return size.width > 0 && size.height > 0;
}

// Writes one bitmap copy; the name written may differ in its ending (".jpeg" is written as ".jpg").
bool WriteBitmapCopy(CDrawing& drawing, int page, const std::string& path, const CPixelSize& size,
                     const char* what, CUnattendedExportResult& result, std::string* writtenPath = nullptr) {
    if (!SizeUsable(size)) {
        result.failures.push_back(std::string("Cannot write the ") + what + " " + path +
                                  ": the settings file needs a \"size\" above 0 for it.");
        return false;
    }
    std::string written;
    const CImageResult made = ExportPageBitmap(drawing, page, path, size.width, size.height, false, &written);
    if (!made) {
        result.failures.push_back(std::string("Cannot write the ") + what + " " + path + ": " + made.message);
        return false;
    }
    result.written.push_back(written);
    if (writtenPath != nullptr)
        *writtenPath = written;
    return true;
}

bool WriteDrawingCopy(CDrawing& drawing, int page, const std::string& path, int width, int height,
                      const char* what, const CUnattendedExportOptions& options,
                      CUnattendedExportResult& result) {
    if (!SaveDrawing(drawing, path, page, width, height, options.notice)) {
        result.failures.push_back(std::string("Cannot write the ") + what + " " + path + ": " +
                                  drawing.GetErrorMessage());
        return false;
    }
    result.written.push_back(path);
    return true;
}

} // namespace

CPixelSize UnattendedExportSize(const CDrawing& drawing, int32_t size) {
    const CRectF box = drawing.Bounds();
    double w = std::fabs(static_cast<double>(box.right) - box.left);
    double h = std::fabs(static_cast<double>(box.bottom) - box.top);
    // A drawing with nothing in it, or only a straight horizontal or vertical line, has no proportions of
    // its own; the page's are used so that the copy is still a picture of the page.
    if (!(w > 0) || !(h > 0)) {
        w = drawing.GetPageWidth();
        h = drawing.GetPageHeight();
    }
    const double longer = std::max(size, 0);
    if (longer <= 0 || !(w > 0) || !(h > 0))
        return {0, 0};
    const double scale = longer / std::max(w, h);
    return {std::max(RoundHalfAway(w * scale), 1), std::max(RoundHalfAway(h * scale), 1)};
}

std::string UnattendedExportPath(const std::string& location, const std::string& name,
                                 std::string_view extension) {
    std::string path = location;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + name + "." + std::string(extension);
}

CUnattendedExportResult WriteUnattendedFiles(CDrawing& drawing, const CExportSettings& values,
                                             const CUnattendedExportOptions& options) {
    CUnattendedExportResult result;
    const int page = std::clamp(options.page, 0, drawing.PageCount() - 1);
    const CPixelSize size = UnattendedExportSize(drawing, values.size);
    if (!values.saveLocation.empty()) {
        const std::string path = UnattendedExportPath(values.saveLocation, values.fileName, "emf");
        const bool sized = values.emfSizeX > 0 && values.emfSizeY > 0;
        if (WriteDrawingCopy(drawing, page, path, sized ? values.emfSizeX : -1, sized ? values.emfSizeY : -1,
                             "EMF copy", options, result))
            result.emfPath = path;
    }
    if (!values.printLocation.empty())
        WriteBitmapCopy(drawing, page, UnattendedExportPath(values.printLocation, values.fileName, "jpg"),
                        size, "JPEG copy", result, &result.jpegPath);
    if (!values.saveLocation.empty() && !values.fileType.empty()) {
        const std::string type = LowerTypeWithoutDots(values.fileType);
        const std::string path = UnattendedExportPath(values.saveLocation, values.fileName, type);
        if (BitmapFormatOf(path) != BitmapFormat::None)
            WriteBitmapCopy(drawing, page, path, size, "typed copy", result);
        else if (!type.empty() && CanSaveDrawing(path))
            WriteDrawingCopy(drawing, page, path, -1, -1, "typed copy", options, result);
        else
            result.failures.push_back("Cannot write the typed copy: the settings file's filetype \"" +
                                      values.fileType + "\" is not a type that can be written.");
    }
    return result;
}

CFtpUploadRequest UnattendedUploadRequest(const CUploadSettings& upload, const CExportSettings& values,
                                          const CUnattendedExportResult& files,
                                          const CUnattendedExportOptions& options) {
    CFtpUploadRequest request;
    request.server = NormalizeFtpServer(upload.ftpServer);
    request.port = static_cast<uint16_t>(std::clamp(upload.ftpPort, 0, 65535));
    request.userName = upload.userName;
    request.password = upload.password;
    const std::string folder = NormalizeFtpFolder(upload.ftpLocation);
    // Only what this export wrote goes up: an older file of the same name is never sent in its place.
    request.localPaths = {files.emfPath, files.jpegPath};
    request.remoteNames = {folder + values.fileName + ".emf", folder + values.fileName + ".jpg"};
    request.flagFilePath = options.flagFilePath;
    request.timeout = options.ftpTimeout;
    return request;
}

std::string UnattendedUploadProblem(const CUploadSettings& upload, const CExportSettings& values,
                                    const CUnattendedExportResult& files) {
    if (upload.ftpPort < 1 || upload.ftpPort > 65535)
        return "Cannot upload: the settings file's ftpport must be a number from 1 to 65535.";
    if (files.emfPath.empty() && files.jpegPath.empty()) {
        if (values.saveLocation.empty() && values.printLocation.empty())
            return "Nothing to upload: the settings file names neither a savelocation nor a printlocation.";
        return "Nothing to upload: neither the EMF nor the JPEG copy was written.";
    }
    return {};
}

CUnattendedExportResult RunUnattendedExport(CDrawing& drawing, const CExportSettings& values,
                                            const CUploadSettings* upload,
                                            const CUnattendedExportOptions& options,
                                            const std::atomic<bool>* cancel) {
    CUnattendedExportResult result = WriteUnattendedFiles(drawing, values, options);
    if (upload == nullptr || upload->ftpServer.empty())
        return result;
    if (std::string problem = UnattendedUploadProblem(*upload, values, result); !problem.empty()) {
        result.failures.push_back(std::move(problem));
        return result;
    }
    const CFtpUploadRequest request = UnattendedUploadRequest(*upload, values, result, options);
    std::atomic<bool> never{false};
    CFtpUploadState last;
    const FtpUploadOutcome outcome =
        RunFtpUpload(request, cancel != nullptr ? *cancel : never, [&](const CFtpUploadState& state) {
            last = state;
            if (options.uploadProgress)
                options.uploadProgress(state);
        });
    if (outcome != FtpUploadOutcome::Succeeded) {
        result.failures.push_back("The upload to " + request.server + " port " +
                                  std::to_string(request.port) + " ended with \"" + last.status + "\"" +
                                  (last.detail.empty() ? std::string(".") : ": " + last.detail));
        return result;
    }
    for (int i = 0; i < 2; ++i)
        if (!request.localPaths[i].empty())
            result.uploaded.push_back(request.remoteNames[i]);
    return result;
}

bool SettingsFileUnchanged(CStartupRequest& startup, const std::function<bool(std::string_view)>& askYesNo) {
    CExportSettings exportNow;
    CUploadSettings uploadNow;
    const bool exportPresent = ReadSettingsFile(startup.settingsPath, exportNow);
    const bool uploadPresent = exportPresent && ReadUploadSettings(startup.settingsPath, uploadNow);
    if (exportPresent == startup.exportSettingsPresent && exportNow == startup.exportSettings &&
        uploadPresent == startup.uploadSettingsPresent && uploadNow == startup.uploadSettings)
        return true;
    if (askYesNo && askYesNo(kIniChangedQuestion)) {
        startup.exportSettings = exportNow;
        startup.exportSettingsPresent = exportPresent;
        startup.uploadSettings = uploadNow;
        startup.uploadSettingsPresent = uploadPresent;
    }
    return false;
}

} // namespace pq
