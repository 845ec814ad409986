#include "app/SendSheet.h"

#include "document/PreferenceStore.h"
#include "send/FtpNames.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace pq {

namespace {

std::string Trimmed(std::string_view text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The part after the last "/" or "\".
std::string AfterLastSeparator(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

} // namespace

CSendPage::CSendPage(const std::string& documentPath) : name(kUntitled) {
    if (documentPath.empty())
        return;
    name = AfterLastSeparator(documentPath);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return;
    // The document's type is chosen when it is one of the list's: the text between the parentheses
    // must be the extension itself, so "x.a" does not pick Illustrator because its "A" is in a name.
    const std::string extension = Upper(name.substr(dot + 1));
    name.erase(dot);
    for (std::size_t i = 0; i < kSendTypes.size(); ++i)
        if (Upper(std::string(kSendTypes[i].extension)) == extension) {
            typeIndex = static_cast<int>(i);
            break;
        }
}

std::string_view CSendPage::Extension() const {
    if (typeIndex < 0 || typeIndex >= static_cast<int>(kSendTypes.size()))
        return kSendTypes[0].extension;
    return kSendTypes[static_cast<std::size_t>(typeIndex)].extension;
}

std::string CSendPage::FileName() const {
    std::string base = AfterLastSeparator(name);
    // Cut at the first dot: "report.v2" is sent as "report", and "..", "." or ".hidden" leave nothing.
    base = Trimmed(base.substr(0, base.find('.')));
    if (base.empty())
        return {};
    return base + "." + std::string(Extension());
}

CFtpPreparePage::CFtpPreparePage(const IPreferenceStore* preferences) {
    if (preferences == nullptr)
        return;
    server = preferences->ReadString(kServerName, "");
    folder = preferences->ReadString(kFolderName, "");
    userName = preferences->ReadString(kUserName, "");
    password = preferences->ReadString(kPasswordName, "");
    port = std::to_string(preferences->ReadInt(kPortName, kDefaultPort));
}

void CFtpPreparePage::Store(IPreferenceStore* preferences) const {
    if (preferences == nullptr)
        return;
    preferences->WriteString(kServerName, server);
    preferences->WriteString(kFolderName, folder);
    preferences->WriteString(kUserName, userName);
    preferences->WriteString(kPasswordName, password);
    preferences->WriteInt(kPortName, PortNumber().value_or(kDefaultPort));
}

std::optional<uint16_t> CFtpPreparePage::PortNumber() const {
    const std::string digits = Trimmed(port);
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return std::nullopt;
    const int value = std::stoi(digits);
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

std::string CFtpPreparePage::ServerAddress() const {
    return NormalizeFtpServer(server);
}

std::string CFtpPreparePage::RemoteName(const std::string& fileName) const {
    return NormalizeFtpFolder(folder) + fileName;
}

CSendSheet::CSendSheet(SendKind sendKind, const std::string& documentPath, IPreferenceStore* store)
    : send(documentPath), ftp(store), kind(sendKind), preferences(store) {}

std::string_view CSendSheet::Caption() const {
    return kind == SendKind::Email ? "E-mail" : "Ftp";
}

std::string CSendSheet::Validate() const {
    if (send.FileName().empty())
        return std::string(kNoFileName);
    if (!HasFtpPage())
        return {};
    if (ftp.ServerAddress().empty())
        return std::string(kNoServer);
    if (Trimmed(ftp.userName).empty())
        return std::string(kNoUserName);
    if (!ftp.PortNumber())
        return std::string(kBadPort);
    return {};
}

bool CSendSheet::Accept() {
    if (!Validate().empty())
        return false;
    if (HasFtpPage()) {
        ftp.Store(preferences);
        if (preferences != nullptr)
            preferences->Flush();
    }
    return true;
}

void DeleteLastTemporaryFile(const std::string& tempFolder, IPreferenceStore* preferences) {
    if (preferences == nullptr)
        return;
    const std::string last = preferences->ReadString(kLastTempFileName, "");
    if (last.empty())
        return;
    preferences->WriteString(kLastTempFileName, "");
    preferences->Flush();
    // A value that names a folder or leaves the Temp folder was not written by a send: it is not ours to
    // delete.
    if (last.find_first_of("/\\") != std::string::npos || last == "." || last == "..")
        return;
    const std::filesystem::path path = std::filesystem::path(tempFolder) / last;
    std::error_code error;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error)))
        std::filesystem::remove(path, error);
}

CTemporaryCopy WriteTemporaryCopy(const std::string& tempFolder, const std::string& fileName,
                                  IPreferenceStore* preferences,
                                  const std::function<bool(const std::string&)>& write) {
    CTemporaryCopy copy;
    DeleteLastTemporaryFile(tempFolder, preferences);
    std::error_code error;
    std::filesystem::create_directories(tempFolder, error);
    if (error || !std::filesystem::is_directory(tempFolder, error)) {
        copy.error = "The folder for the file to send, " + tempFolder + ", cannot be made" +
                     (error ? ": " + error.message() + "." : ".");
        return copy;
    }
    const std::string path = (std::filesystem::path(tempFolder) / fileName).string();
    if (!write || !write(path))
        return copy;
    copy.path = path;
    copy.fileName = fileName;
    return copy;
}

CFtpUploadRequest SendUploadRequest(const CFtpPreparePage& ftp, const CTemporaryCopy& copy,
                                    const std::string& flagFilePath) {
    CFtpUploadRequest request;
    request.server = ftp.ServerAddress();
    request.port = ftp.PortNumber().value_or(static_cast<uint16_t>(CFtpPreparePage::kDefaultPort));
    request.userName = Trimmed(ftp.userName);
    request.password = ftp.password;
    request.localPaths = {copy.path, ""};
    request.remoteNames = {ftp.RemoteName(copy.fileName), ""};
    request.flagFilePath = flagFilePath;
    return request;
}

} // namespace pq
