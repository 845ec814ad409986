#include "app/BundledFiles.h"

#include "platform/FolderFiles.h"
#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

#include <algorithm>
#include <set>

namespace pq {

namespace {

// The list is a few names; anything larger is not ours.
constexpr std::size_t kMaxListBytes = 1024 * 1024;

std::string Join(const std::string& folder, std::string_view name) {
    return folder + (folder.empty() || folder.back() == '/' ? "" : "/") + std::string(name);
}

std::set<std::string> ReadOffered(const std::string& path) {
    std::set<std::string> offered;
    std::vector<uint8_t> bytes;
    std::string message;
    if (!PathExists(path) || !ReadRegularFile(path, kMaxListBytes, bytes, message))
        return offered;
    std::string line;
    for (uint8_t byte : bytes) {
        if (byte == '\n' || byte == '\r') {
            if (!line.empty())
                offered.insert(line);
            line.clear();
        } else {
            line += static_cast<char>(byte);
        }
    }
    if (!line.empty())
        offered.insert(line);
    return offered;
}

} // namespace

CBundledCopy CopyBundledFiles(const std::string& bundledFolder, const std::string& userFolder,
                              std::string_view extension) {
    CBundledCopy result;
    const std::vector<std::string> bundled = ListFileNames(bundledFolder, extension);
    if (bundled.empty())
        return result;
    const std::string listPath = Join(userFolder, kBundledListName);
    std::set<std::string> offered = ReadOffered(listPath);
    if (std::all_of(bundled.begin(), bundled.end(),
                    [&](const std::string& n) { return offered.contains(n); }))
        return result;
    if (!CreateFolders(userFolder, result.message))
        return result;

    for (const std::string& name : bundled) {
        if (offered.contains(name))
            continue;
        const std::string target = Join(userFolder, name);
        // Whatever stands there is the user's, even a link that leads nowhere.
        if (!PathExists(target)) {
            std::string reason;
            if (!CopyRegularFile(Join(bundledFolder, name), target, reason)) {
                if (result.message.empty())
                    result.message = reason;
                continue; // not offered yet: tried again at the next start
            }
            result.copied.push_back(name);
        }
        offered.insert(name);
    }

    std::string list;
    for (const std::string& name : offered)
        list += name + "\n";
    const CImageResult written =
        WriteFileReplacing(listPath, std::span(reinterpret_cast<const uint8_t*>(list.data()), list.size()));
    if (!written && result.message.empty())
        result.message = written.message;
    return result;
}

} // namespace pq
