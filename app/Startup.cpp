#include "app/Startup.h"

#include "platform/RegularFile.h"

namespace pq {

namespace {

constexpr std::string_view kSettingsOption = "--settings";
constexpr std::string_view kSettingsFileName = "PQS.ini";

} // namespace

CCommandLine ParseCommandLine(std::span<const std::string> args) {
    CCommandLine result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == kSettingsOption) {
            if (i + 1 >= args.size()) {
                result.error = "--settings needs a file name";
                return result;
            }
            result.settingsPath = args[++i];
        } else if (!optionsEnded && arg.starts_with(std::string(kSettingsOption) + "=")) {
            result.settingsPath = arg.substr(kSettingsOption.size() + 1);
            if (result.settingsPath.empty()) {
                result.error = "--settings needs a file name";
                return result;
            }
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            result.showHelp = true;
        } else if (!optionsEnded && arg == "--version") {
            result.showVersion = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            result.error = "unknown option \"" + arg + "\"";
            return result;
        } else if (result.openPath.empty()) {
            result.openPath = arg;
        } else {
            result.error = "only one document can be opened";
            return result;
        }
    }
    return result;
}

std::string StartupSettingsPath(const CCommandLine& commandLine, const std::string& dataFolder) {
    if (!commandLine.settingsPath.empty())
        return commandLine.settingsPath;
    if (dataFolder.empty())
        return std::string(kSettingsFileName);
    return dataFolder + (dataFolder.back() == '/' ? "" : "/") + std::string(kSettingsFileName);
}

CStartupRequest ResolveStartup(const CCommandLine& commandLine, const std::string& dataFolder) {
    CStartupRequest request;
    request.openPath = commandLine.openPath;
    request.settingsPath = StartupSettingsPath(commandLine, dataFolder);
    request.exportSettingsPresent = ReadSettingsFile(request.settingsPath, request.exportSettings);
    if (!request.exportSettingsPresent)
        return request;
    request.uploadSettingsPresent = ReadUploadSettings(request.settingsPath, request.uploadSettings);
    const std::string& openFile = request.exportSettings.openFile;
    if (!openFile.empty() && IsReadableRegularFile(openFile))
        request.openPath = openFile;
    return request;
}

} // namespace pq
