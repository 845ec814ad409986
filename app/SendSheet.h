#pragma once

#include "send/FtpUpload.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

class IPreferenceStore;

// Which File > Send command opened the sheet.
enum class SendKind { Email, Ftp };

// One entry of the send page's type list: its text and the extension written.
struct CSendType {
    std::string_view text;
    std::string_view extension;
};

// The types a drawing can be sent as, in the order the list shows them. Standard Windows metafiles are
// not offered: they can be read but nothing here writes them.
inline constexpr std::array<CSendType, 7> kSendTypes = {{
    {"PDF Document (PDF)", "pdf"},
    {"Adobe Illustrator v10 (AI)", "ai"},
    {"AutoCAD 2002 (DXF)", "dxf"},
    {"Enhanced Metafile (EMF)", "emf"},
    {"HPGL Plotter file (PLT)", "plt"},
    {"BMP Bitmap (BMP)", "bmp"},
    {"JPG Image (JPG)", "jpg"},
}};

// The "Send" page: the name the file is sent under and its type.
class CSendPage {
public:
    static constexpr std::string_view kTitle = "Send";
    static constexpr std::string_view kUntitled = "Untitled";

    // The name and type of the document's file: "plans/plan.dxf" gives "plan" and the DXF type; a
    // document without a path, or whose extension is no send type, gives its name and the PDF type.
    explicit CSendPage(const std::string& documentPath = {});

    std::string name;
    int typeIndex = 0;

    // The chosen type's extension ("pdf" when nothing usable is chosen).
    [[nodiscard]] std::string_view Extension() const;
    // The name the file is written under: the name after its last "/" or "\", cut at its first ".",
    // blanks trimmed, plus "." and the extension. Empty when nothing of the name is left.
    [[nodiscard]] std::string FileName() const;
};

// The "Ftp Server" page: where the file goes. Its fields are loaded from and stored to the preferences.
class CFtpPreparePage {
public:
    static constexpr std::string_view kTitle = "Ftp Server";
    static constexpr int32_t kDefaultPort = 21;

    static constexpr std::string_view kServerName = "FtpServer";
    static constexpr std::string_view kFolderName = "FtpFolder";
    static constexpr std::string_view kUserName = "FtpUsername";
    static constexpr std::string_view kPasswordName = "Pwd";
    static constexpr std::string_view kPortName = "FtpPort";

    CFtpPreparePage() = default;
    explicit CFtpPreparePage(const IPreferenceStore* preferences);
    void Store(IPreferenceStore* preferences) const;

    std::string server;
    std::string folder;
    std::string userName;
    std::string password;
    std::string port = std::to_string(kDefaultPort); // digits only; the widget refuses anything else

    // The port as a number; nothing when the text is not a port from 1 to 65535.
    [[nodiscard]] std::optional<uint16_t> PortNumber() const;
    // The server to connect to: "ftp.example.org/incoming" connects to "ftp.example.org".
    [[nodiscard]] std::string ServerAddress() const;
    // The remote name of a file: the folder with "/" between its parts, then the file name.
    [[nodiscard]] std::string RemoteName(const std::string& fileName) const;
};

// The send sheet: the send page alone for E-mail, and the FTP page after it for Ftp.
class CSendSheet {
public:
    static constexpr std::string_view kNoFileName = "Please enter a valid filename.";
    static constexpr std::string_view kNoServer = "Please enter a server address.";
    static constexpr std::string_view kNoUserName = "Please enter a username.";
    static constexpr std::string_view kBadPort = "Please enter a valid port.";

    CSendSheet(SendKind kind, const std::string& documentPath, IPreferenceStore* preferences);

    [[nodiscard]] SendKind Kind() const { return kind; }
    // "E-mail" or "Ftp".
    [[nodiscard]] std::string_view Caption() const;
    [[nodiscard]] bool HasFtpPage() const { return kind == SendKind::Ftp; }

    CSendPage send;
    CFtpPreparePage ftp;

    // Empty when OK may send; else the message to show, the sheet staying open.
    [[nodiscard]] std::string Validate() const;
    // OK: false, storing nothing, when Validate refuses; else the FTP page's fields go to the preferences.
    bool Accept();

private:
    SendKind kind;
    IPreferenceStore* preferences;
};

// The temporary copy a send writes into the data folder's Temp folder.
struct CTemporaryCopy {
    std::string path;     // folder + "/" + file name
    std::string fileName; // as the mail program and the server see it
    std::string error;    // why no copy was written, when the writer did not say so itself
    [[nodiscard]] bool Ok() const { return !path.empty(); }
};

// The name of the preference that remembers the copy last handed to the mail program.
inline constexpr std::string_view kLastTempFileName = "LastTempFile";

// Deletes the copy a previous send left behind ("LastTempFile") and forgets it. Only a plain file name
// inside the folder is deleted: a value naming anything else is forgotten and left alone.
void DeleteLastTemporaryFile(const std::string& tempFolder, IPreferenceStore* preferences);

// Writes the copy: the previous copy goes first, the folder is made when missing, then write (the
// document's SaveCopy, which shows its own messages) writes the file. A failed write leaves no copy.
[[nodiscard]] CTemporaryCopy WriteTemporaryCopy(const std::string& tempFolder, const std::string& fileName,
                                                IPreferenceStore* preferences,
                                                const std::function<bool(const std::string&)>& write);

// The upload of the copy to the FTP page's server and folder; PQS.ftp goes to flagFilePath.
[[nodiscard]] CFtpUploadRequest SendUploadRequest(const CFtpPreparePage& ftp, const CTemporaryCopy& copy,
                                                  const std::string& flagFilePath);

} // namespace pq
