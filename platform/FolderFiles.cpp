#include "platform/FolderFiles.h"

#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {

namespace {

// Templates and clip-art are small; this is far beyond any of them.
constexpr std::size_t kMaxCopiedFileBytes = 64u * 1024 * 1024;

std::string Reason(const std::string& what, const std::string& path, int error) {
    return "cannot " + what + " " + path + ": " + std::strerror(error);
}

} // namespace

std::vector<std::string> ListFileNames(const std::string& folder, std::string_view suffix) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return names;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= suffix.size() || !name.ends_with(suffix))
            continue;
        std::error_code typeError;
        if (entry.is_regular_file(typeError)) // follows links
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ListFolderNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return names;
    for (const auto& entry : entries) {
        std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.')
            continue;
        std::error_code typeError;
        if (entry.is_directory(typeError)) // follows links
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool CreateFolders(const std::string& path, std::string& message) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (std::filesystem::is_directory(path, error))
        return true;
    message = "cannot create the folder " + path + (error ? ": " + error.message() : "");
    return false;
}

bool DeleteFileAt(const std::string& path, std::string& message) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        message = "cannot delete " + path + ": it is a folder, not a file";
        return false;
    }
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return true;
    message = Reason("delete", path, errno);
    return false;
}

bool DeleteEmptyFolder(const std::string& path, std::string& message) {
    if (::rmdir(path.c_str()) == 0)
        return true;
    message = errno == ENOTEMPTY || errno == EEXIST ? "cannot delete the folder " + path + ": it is not empty"
                                                     : Reason("delete the folder", path, errno);
    return false;
}

RenameOutcome RenameWithoutReplacing(const std::string& from, const std::string& to, std::string& message) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return RenameOutcome::Renamed;
    if (errno == EEXIST)
        return RenameOutcome::TargetExists;
    if (errno != EINVAL && errno != ENOSYS) {
        message = Reason("rename", from, errno);
        return RenameOutcome::Failed;
    }
    // A file system without the no-replace rename: a hard link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return RenameOutcome::Renamed;
    }
    if (errno == EEXIST)
        return RenameOutcome::TargetExists;
    if (PathExists(to))
        return RenameOutcome::TargetExists;
    // Nor hard links: a check and a rename, with the small gap between them.
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return RenameOutcome::Renamed;
    message = Reason("rename", from, errno);
    return RenameOutcome::Failed;
}

bool CopyRegularFile(const std::string& from, const std::string& to, std::string& message) {
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(from, kMaxCopiedFileBytes, bytes, message))
        return false;
    const CImageResult written = WriteFileReplacing(to, bytes);
    if (!written)
        message = written.message;
    return written.ok;
}

} // namespace pq
