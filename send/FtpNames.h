#pragma once

#include <string>

namespace pq {

// The server as typed on the FTP page or in the settings file, made ready to connect to: blanks trimmed,
// an "ftp://" in front dropped, and everything from the first "/" or "\" on dropped when something comes
// before it, so "ftp.example.org/incoming" connects to "ftp.example.org".
[[nodiscard]] std::string NormalizeFtpServer(const std::string& text);

// The remote folder: blanks trimmed, "\" turned into "/" (servers take "\" as part of a name), and a
// non-empty folder given a leading and a trailing "/": "incoming/drawings" is "/incoming/drawings/".
[[nodiscard]] std::string NormalizeFtpFolder(const std::string& text);

// The file name after the last "/" or "\" of a path, as the upload names it in its status.
[[nodiscard]] std::string FileNameOfPath(const std::string& path);

} // namespace pq
