#pragma once

#include <cstdint>
#include <string>

namespace pq {

// What the settings file says about the start-up open and the unattended export.
struct CExportSettings {
    std::string fileName;      // "filename": base name of the export; the file counts only when it is set
    std::string fileType;      // "filetype"
    int32_t size = 0;          // "size"
    int32_t emfSizeX = 0;      // "emfsizex"
    int32_t emfSizeY = 0;      // "emfsizey"
    std::string openFile;      // "openfile"
    std::string printLocation; // "printlocation"
    std::string saveLocation;  // "savelocation"

    bool operator==(const CExportSettings&) const = default;
};

// What the settings file says about uploading the export.
struct CUploadSettings {
    std::string ftpServer;   // "ftpserver": the upload counts only when it is set
    std::string userName;    // "username"
    std::string password;    // "password"
    std::string ftpLocation; // "ftplocation"
    int32_t ftpPort = 21;    // "ftpport": the server's port, 21 when the file does not say

    bool operator==(const CUploadSettings&) const = default;
};

// The path of a settings file as given, with ".ini" added when it holds no ".ini" in any case. The
// path itself keeps its case: folders and names with capitals are common here.
[[nodiscard]] std::string SettingsFilePath(const std::string& path);

// Read the settings file; every value is reset first. True when the values are present ("filename" or
// "ftpserver" not empty). A missing, empty or unreadable file counts as absent.
bool ReadSettingsFile(const std::string& path, CExportSettings& values);
bool ReadUploadSettings(const std::string& path, CUploadSettings& values);

} // namespace pq
