#include "platform/image/AtomicWrite.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {

namespace {

// Linux's own limit on the links one name may pass through.
constexpr int kMaxLinks = 40;
// Temporaries are named ".pqdraw-HOST-PID-SERIAL.tmp": HOST is a hash of the machine's name (eight hex
// digits), so a leftover seen through a shared folder is judged only by the machine that made it.
constexpr std::string_view kTemporaryPrefix = ".pqdraw-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kHostTagLength = 8;
// A temporary nobody has written for this long is abandoned whoever made it (its process id may since
// have been given to another program).
constexpr std::time_t kAbandonedAfterSeconds = 24 * 60 * 60;

std::string Reason(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string HostTag() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        name[0] = '\0';
    uint32_t hash = 2166136261u; // FNV-1a
    for (const char* c = name; *c != '\0'; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    char tag[kHostTagLength + 1];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(hash));
    return tag;
}

std::string TemporaryName(const std::string& host, unsigned serial) {
    return std::string(kTemporaryPrefix) + host + "-" + std::to_string(getpid()) + "-" +
           std::to_string(serial) + std::string(kTemporarySuffix);
}

bool TakeDigits(std::string_view& s, long& value) {
    std::size_t n = 0;
    value = 0;
    while (n < s.size() && n < 9 && s[n] >= '0' && s[n] <= '9')
        value = value * 10 + (s[n++] - '0');
    s.remove_prefix(n);
    return n > 0;
}

// Splits a name of our temporaries' form into its host tag and process id; false for any other name.
bool ParseTemporaryName(std::string_view name, std::string_view& host, long& pid) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix))
        return false;
    name.remove_prefix(kTemporaryPrefix.size());
    name.remove_suffix(kTemporarySuffix.size());
    if (name.size() < kHostTagLength + 1 || name[kHostTagLength] != '-')
        return false;
    host = name.substr(0, kHostTagLength);
    for (char c : host)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    name.remove_prefix(kHostTagLength + 1);
    long serial = 0;
    if (!TakeDigits(name, pid) || pid <= 0 || name.empty() || name[0] != '-')
        return false;
    name.remove_prefix(1);
    return TakeDigits(name, serial) && name.empty();
}

// Removes the temporaries a killed or crashed writer left in folder (see the header for which).
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& host) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const int folderFd = dirfd(dir);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        std::string_view tag;
        long pid = 0;
        if (!ParseTemporaryName(entry->d_name, tag, pid))
            continue;
        struct stat status {};
        if (fstatat(folderFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != geteuid())
            continue;
        const bool writerEnded =
            tag == host && pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        const bool untouched = now - status.st_mtime > kAbandonedAfterSeconds;
        if (writerEnded || untouched)
            unlinkat(folderFd, entry->d_name, 0);
    }
    closedir(dir);
}

// Follows symbolic links from path to the name they finally stand for, which need not exist yet (a link
// to a file still to be made). Relative links count from the folder of the link.
bool ResolveLinks(const std::string& path, std::string& target, int& error) {
    target = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat status {};
        if (lstat(target.c_str(), &status) != 0) {
            error = errno;
            return error == ENOENT;
        }
        if (!S_ISLNK(status.st_mode))
            return true;
        // The size a link reports is only a hint (the system's own links report none).
        std::string link(std::max<std::size_t>(static_cast<std::size_t>(status.st_size), 4095) + 1, '\0');
        const ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) {
            error = n < 0 ? errno : EINVAL; // empty, or changed while it was read
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = link[0] == '/' ? link : FolderOf(target) + "/" + link;
    }
    error = ELOOP;
    return false;
}

// Why an existing target must not be replaced, or an empty text when it may be.
std::string Refusal(const std::string& target, const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        return "it is a folder";
    if (!S_ISREG(status.st_mode))
        return "it is not a regular file (a pipe, device or socket is never replaced)";
    // The write bits are checked as well as access(), which lets the superuser write anything: a file
    // its owner made read-only stays as it is.
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return "the file is read-only";
    if (access(target.c_str(), W_OK) != 0)
        return errno == EACCES ? "the file is read-only for this user" : std::strerror(errno);
    return {};
}

bool WriteAll(int fd, std::span<const uint8_t> bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Gives the new file the owner and group of the one it replaces. Giving a file away needs privileges;
// without them the group is still kept where we belong to it, else the file stays ours.
void KeepOwner(int fd, const struct stat& replaced) {
    if (fchown(fd, replaced.st_uid, replaced.st_gid) == 0)
        return;
    [[maybe_unused]] const int groupKept = fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
}

// Gives the new file the permission bits of the one it replaces; set-id bits are never carried over. The
// owner is set first, since changing it may clear bits.
bool KeepAttributes(int fd, const struct stat& replaced, int& error) {
    KeepOwner(fd, replaced);
    if (fchmod(fd, replaced.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO | S_ISVTX)) != 0) {
        error = errno;
        return false;
    }
    return true;
}

} // namespace

CImageResult WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    if (path.empty())
        return CImageResult::Failure("cannot write a file without a name");
    std::string target;
    int error = 0;
    if (!ResolveLinks(path, target, error))
        return CImageResult::Failure(Reason("cannot write", path, error));
    struct stat existing {};
    const bool replacing = stat(target.c_str(), &existing) == 0;
    if (replacing) {
        const std::string refusal = Refusal(target, existing);
        if (!refusal.empty())
            return CImageResult::Failure("cannot write " + path + ": " + refusal);
    }

    // The temporary sits in the target's own folder so that the rename stays on one file system; O_EXCL
    // refuses to reuse anything already there.
    const std::string folder = FolderOf(target);
    const std::string host = HostTag();
    RemoveAbandonedTemporaries(folder, host);
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "/" + TemporaryName(host, counter.fetch_add(1));
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return CImageResult::Failure(Reason("cannot create", path, errno));

    bool ok = (!replacing || KeepAttributes(fd, existing, error)) && WriteAll(fd, bytes, error);
    if (ok && fsync(fd) != 0) {
        error = errno;
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        unlink(temporary.c_str());
        return CImageResult::Failure(Reason("cannot write", path, error));
    }
    // The rename itself reaches the disk with the folder.
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return CImageResult::Success();
}

} // namespace pq
