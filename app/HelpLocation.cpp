#include "app/HelpLocation.h"

namespace pq {

std::string HelpFolder(const std::string& resourceFolder) {
    if (resourceFolder.empty())
        return {};
    return resourceFolder + (resourceFolder.back() == '/' ? "" : "/") + "help";
}

std::string HelpIndexPath(const std::string& resourceFolder) {
    const std::string folder = HelpFolder(resourceFolder);
    return folder.empty() ? std::string() : folder + "/index.html";
}

std::vector<std::string> HelpViewerCommand(const std::string& indexPath) {
    // Spaces and other reserved characters of the path are escaped so the URL stays one argument that
    // every browser reads the same way.
    std::string url = "file://";
    constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : indexPath) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return {"xdg-open", url};
}

std::string NoBrowserMessage(const std::string& helpFolder) {
    return "No web browser was found to show the help. The help pages are in " + helpFolder + ".";
}

std::string HelpMissingMessage() {
    return "The help pages are not installed.";
}

} // namespace pq
