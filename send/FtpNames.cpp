#include "send/FtpNames.h"

#include <algorithm>
#include <cctype>

namespace pq {

namespace {

std::string Trimmed(const std::string& text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

std::string NormalizeFtpServer(const std::string& text) {
    std::string server = Trimmed(text);
    if (StartsWithNoCase(server, "ftp://"))
        server.erase(0, 6);
    const std::size_t slash = server.find_first_of("/\\");
    if (slash != std::string::npos && slash > 0)
        server.erase(slash);
    return server;
}

std::string NormalizeFtpFolder(const std::string& text) {
    std::string folder = Trimmed(text);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    if (folder.empty())
        return folder;
    if (folder.front() != '/')
        folder.insert(folder.begin(), '/');
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::string FileNameOfPath(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace pq
