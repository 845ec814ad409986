#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {

namespace {

// What a name that is not a regular file stands for, in the user's words.
const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "it is a folder, not a file";
    if (S_ISFIFO(mode))
        return "it is a pipe, not a file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a file";
    return "it is not a regular file";
}

std::string TooLarge(const std::string& path, std::size_t maxBytes) {
    return "cannot read " + path + ": the file is larger than " + std::to_string(maxBytes >> 20) + " MB";
}

// Reads until the end of the file or past maxBytes. The size the file gave when it was opened is only a
// first guess: a file that grows while it is read, or a system file that reports no size, is still read
// whole and still held to the cap.
template <typename Bytes>
bool ReadAll(int fd, const std::string& path, std::size_t expected, std::size_t maxBytes, Bytes& bytes,
             std::string& message) {
    bytes.resize(std::min(expected, maxBytes) + 1); // one byte more shows whether the end was reached
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes) {
                message = TooLarge(path, maxBytes);
                return false;
            }
            bytes.resize(std::min(maxBytes + 1, std::max<std::size_t>(4096, 2 * done)));
        }
        const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            message = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return true;
}

template <typename Bytes>
bool ReadWholeFile(const std::string& path, std::size_t maxBytes, Bytes& bytes, std::string& message) {
    bytes.clear();
    message.clear();
    // The kind is checked before the file is opened, since opening a pipe waits for a writer, and again
    // on the open file, in case the name was replaced in between. O_NONBLOCK keeps that second open from
    // waiting; it changes nothing for a regular file.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        message = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        message = "cannot read " + path + ": " + KindOf(status.st_mode);
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        message = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = false;
    if (fstat(fd, &status) != 0) {
        message = "cannot read " + path + ": " + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        message = "cannot read " + path + ": " + KindOf(status.st_mode);
    } else if (static_cast<uint64_t>(status.st_size) > maxBytes) {
        message = TooLarge(path, maxBytes);
    } else {
        try {
            ok = ReadAll(fd, path, static_cast<std::size_t>(status.st_size), maxBytes, bytes, message);
        } catch (const std::bad_alloc&) {
            message = "cannot read " + path + ": not enough memory";
        }
    }
    close(fd);
    if (!ok)
        Bytes().swap(bytes);
    return ok;
}

} // namespace

bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& message) {
    return ReadWholeFile(path, maxBytes, bytes, message);
}

bool ReadRegularFile(const std::string& path, std::size_t maxBytes, CLargeBytes& bytes,
                     std::string& message) {
    return ReadWholeFile(path, maxBytes, bytes, message);
}

bool IsReadableRegularFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), R_OK) == 0;
}

} // namespace pq
