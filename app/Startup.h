#pragma once

#include "app/SettingsFile.h"

#include <span>
#include <string>

namespace pq {

// What the editor's command line asks for.
struct CCommandLine {
    std::string openPath;     // a document to open; empty for a new document
    std::string settingsPath; // --settings FILE: read instead of the data folder's settings file
    bool showHelp = false;
    bool showVersion = false;
    std::string error; // a usage error, for the user
};

// Parses the arguments after the program's name: "--settings FILE" (or "--settings=FILE"), "--help",
// "--version" and at most one document path; "--" ends the options.
[[nodiscard]] CCommandLine ParseCommandLine(std::span<const std::string> args);

// The start-up request once the settings file has had its say.
struct CStartupRequest {
    std::string openPath;
    std::string settingsPath; // the settings file consulted
    CExportSettings exportSettings;
    bool exportSettingsPresent = false;
    CUploadSettings uploadSettings;
    bool uploadSettingsPresent = false;
};

// The settings file read at start-up: the command line's, else "PQS.ini" in the data folder.
[[nodiscard]] std::string StartupSettingsPath(const CCommandLine& commandLine, const std::string& dataFolder);

// Reads the settings file. When it is present (its "filename" is set) the upload values are read as well,
// and an "openfile" that can be opened for reading replaces the command line's request.
[[nodiscard]] CStartupRequest ResolveStartup(const CCommandLine& commandLine, const std::string& dataFolder);

} // namespace pq
