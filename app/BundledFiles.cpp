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

// Copies each relative name from the bundled root to the user's root once (see CopyBundledFiles).
CBundledCopy CopyOffered(const std::string& bundledRoot, const std::string& userRoot,
                         const std::vector<std::string>& bundled) {
    CBundledCopy result;
    if (bundled.empty())
        return result;
    const std::string listPath = Join(userRoot, kBundledListName);
    std::set<std::string> offered = ReadOffered(listPath);
    if (std::all_of(bundled.begin(), bundled.end(),
                    [&](const std::string& n) { return offered.contains(n); }))
        return result;
    if (!CreateFolders(userRoot, result.message))
        return result;

    for (const std::string& name : bundled) {
        if (offered.contains(name))
            continue;
        const std::string target = Join(userRoot, name);
        // Whatever stands there is the user's, even a link that leads nowhere.
        if (!PathExists(target)) {
            std::string reason;
            const std::size_t slash = name.find_last_of('/');
            const bool folderReady =
                slash == std::string::npos || CreateFolders(Join(userRoot, name.substr(0, slash)), reason);
            if (!folderReady || !CopyRegularFile(Join(bundledRoot, name), target, reason)) {
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

} // namespace

CBundledCopy CopyBundledFiles(const std::string& bundledFolder, const std::string& userFolder,
                              std::string_view extension) {
    return CopyOffered(bundledFolder, userFolder, ListFileNames(bundledFolder, extension));
}

CBundledCopy CopyBundledTree(const std::string& bundledRoot, const std::string& userRoot,
                             std::span<const std::string_view> extensions) {
    std::vector<std::string> bundled;
    for (const std::string& folder : ListFolderNames(bundledRoot))
        for (std::string_view extension : extensions)
            for (const std::string& name : ListFileNames(Join(bundledRoot, folder), extension))
                bundled.push_back(folder + "/" + name);
    std::sort(bundled.begin(), bundled.end());
    return CopyOffered(bundledRoot, userRoot, bundled);
}

} // namespace pq
