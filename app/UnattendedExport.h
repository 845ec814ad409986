#pragma once

#include "app/SettingsFile.h"
#include "formats/FormatDispatch.h"
#include "render/BitmapExport.h"
#include "send/FtpUpload.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;
struct CStartupRequest;

inline constexpr std::string_view kIniChangedQuestion =
    "Ini file has changed since the application started.\nRestart application?";

// The export the settings file asks for, without any window: the EMF, JPEG and typed copies of a page
// and their upload. The editor runs it from Export Bitmap in settings-file mode, pqdraw-cli from
// --settings FILE.
struct CUnattendedExportOptions {
    int page = 0;             // the page written (the editor's current page)
    std::string flagFilePath; // where the upload leaves PQS.ftp; empty: nowhere
    std::chrono::milliseconds ftpTimeout{30000};
    NoticeSink notice; // the writers' notices, such as the one-page notice
    // Every state of the upload, on the thread that runs the upload.
    std::function<void(const CFtpUploadState&)> uploadProgress;
};

struct CUnattendedExportResult {
    std::vector<std::string> written;  // the files written, in order
    std::vector<std::string> uploaded; // the remote names stored on the server
    std::vector<std::string> failures; // one sentence for each thing asked for and not done
    // The EMF and JPEG copies, which the upload sends; empty when not written.
    std::string emfPath;
    std::string jpegPath;

    [[nodiscard]] bool Ok() const { return failures.empty(); }
};

// The size of the bitmap copies: the drawing's bounding box scaled so that its longer side is size
// pixels (a negative size counts as 0). A drawing with no extent in one direction takes the page's
// proportions instead, and a side never rounds below 1 pixel.
[[nodiscard]] CPixelSize UnattendedExportSize(const CDrawing& drawing, int32_t size);

// A file of the export: location + name + "." + extension, with a "/" between a location and the name
// when the location does not end in one.
[[nodiscard]] std::string UnattendedExportPath(const std::string& location, const std::string& name,
                                               std::string_view extension);

// Writes the copies the values ask for: "savelocation" gets the EMF (sized by "emfsizex" and "emfsizey"
// when both are positive) and, with "filetype", a copy in that type (bitmap types at the export size,
// other types through their writer); "printlocation" gets the JPEG at the export size.
[[nodiscard]] CUnattendedExportResult WriteUnattendedFiles(CDrawing& drawing, const CExportSettings& values,
                                                           const CUnattendedExportOptions& options);

// The upload of the EMF and JPEG copies this export wrote, to "ftplocation" on "ftpserver".
[[nodiscard]] CFtpUploadRequest UnattendedUploadRequest(const CUploadSettings& upload,
                                                        const CExportSettings& values,
                                                        const CUnattendedExportResult& files,
                                                        const CUnattendedExportOptions& options);

// Why the upload of the copies cannot start (a port out of range, nothing written to send); empty when it
// can.
[[nodiscard]] std::string UnattendedUploadProblem(const CUploadSettings& upload,
                                                  const CExportSettings& values,
                                                  const CUnattendedExportResult& files);

// The whole batch on the caller's thread: the files, then, when upload is given (its "ftpserver" set),
// their upload, which cancel (when given) stops.
[[nodiscard]] CUnattendedExportResult RunUnattendedExport(CDrawing& drawing, const CExportSettings& values,
                                                          const CUploadSettings* upload,
                                                          const CUnattendedExportOptions& options,
                                                          const std::atomic<bool>* cancel = nullptr);

// The first step of the editor's Export Bitmap in settings-file mode: reads the settings file again and,
// when its values are not those read at start-up, asks kIniChangedQuestion through askYesNo; Yes takes
// the new values into startup. True when the file is unchanged and the export may run; false when the
// question was asked, which ends the command either way.
bool SettingsFileUnchanged(CStartupRequest& startup, const std::function<bool(std::string_view)>& askYesNo);

} // namespace pq
