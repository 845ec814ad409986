#include "platform/image/AtomicWrite.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pq {

namespace {

std::string Reason(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

} // namespace

CImageResult WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    if (path.empty())
        return CImageResult::Failure("cannot write a file without a name");
    // A name unique to this process and call, in the target's own folder so that the rename stays on one
    // file system; O_EXCL refuses to reuse anything already there.
    static std::atomic<unsigned> counter{0};
    const std::string temporary =
        path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return CImageResult::Failure(Reason("cannot create", path, errno));

    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        return CImageResult::Failure(Reason("cannot write", path, error));
    }
    return CImageResult::Success();
}

} // namespace pq
