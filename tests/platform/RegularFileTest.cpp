#include "platform/RegularFile.h"

#include "ImageTestHelpers.h"
#include "platform/image/ImageFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace pq {
namespace {

using test::CTempFolder;
using test::WriteFileText;

// A reader that waits on a pipe would hang the test forever; the alarm ends the test program instead.
class CHangGuard {
public:
    CHangGuard() { alarm(20); }
    ~CHangGuard() { alarm(0); }
};

TEST(ReadRegularFile, ReadsTheWholeFileUpToTheCapAndNoFurther) {
    CTempFolder folder;
    WriteFileText(folder.File("ten"), "0123456789");
    std::vector<uint8_t> bytes{1, 2, 3};
    std::string message;
    ASSERT_TRUE(ReadRegularFile(folder.File("ten"), 10, bytes, message)) << message;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");

    EXPECT_FALSE(ReadRegularFile(folder.File("ten"), 9, bytes, message));
    EXPECT_TRUE(bytes.empty());
    EXPECT_NE(message.find("ten: the file is larger than"), std::string::npos) << message;

    WriteFileText(folder.File("empty"), "");
    ASSERT_TRUE(ReadRegularFile(folder.File("empty"), 10, bytes, message)) << message;
    EXPECT_TRUE(bytes.empty());

    // A system file that reports no size is still read to its end.
    ASSERT_TRUE(ReadRegularFile("/proc/self/status", kMaxDrawingFileBytes, bytes, message)) << message;
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("Pid:"), std::string::npos);
    EXPECT_FALSE(ReadRegularFile("/proc/self/status", 16, bytes, message));
}

// Drawings are read into memory for large buffers: a file of megabytes (mapped on huge-page boundaries)
// and a system file that reports no size (grown as it is read) hold the same bytes as a plain read.
TEST(ReadRegularFile, LargeBuffersHoldTheSameBytes) {
    CTempFolder folder;
    std::string text;
    for (int i = 0; text.size() < (3u << 20); ++i)
        text += std::to_string(static_cast<long long>(i) * 7919) + ' ';
    WriteFileText(folder.File("large"), text);
    std::string message;
    for (const std::string& path : {folder.File("large"), std::string("/proc/self/maps")}) {
        std::vector<uint8_t> plain;
        CLargeBytes large(5, 1);
        ASSERT_TRUE(ReadRegularFile(path, kMaxDrawingFileBytes, plain, message)) << message;
        ASSERT_TRUE(ReadRegularFile(path, kMaxDrawingFileBytes, large, message)) << message;
        EXPECT_GT(large.size(), 100u) << path;
        if (path != "/proc/self/maps") // the process's own map changes between the reads
            EXPECT_TRUE(std::equal(plain.begin(), plain.end(), large.begin(), large.end())) << path;
    }
    CLargeBytes large(5, 1);
    EXPECT_FALSE(ReadRegularFile(folder.File("large"), 1u << 20, large, message));
    EXPECT_TRUE(large.empty());
    EXPECT_NE(message.find("large: the file is larger than 1 MB"), std::string::npos) << message;
}

TEST(ReadRegularFile, RefusesEverythingButRegularFilesWithoutWaitingOnThem) {
    CTempFolder folder;
    const CHangGuard guard;
    std::filesystem::create_directory(folder.File("x.pdf"));
    ASSERT_EQ(mkfifo(folder.File("pipe.pdf").c_str(), 0600), 0);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder.File("s.pdf");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink("/dev/urandom", folder.File("random.pdf"));

    const std::pair<std::string, std::string> cases[] = {
        {folder.File("x.pdf"), "x.pdf: it is a folder, not a file"},
        {folder.File("pipe.pdf"), "pipe.pdf: it is a pipe, not a file"},
        {socketPath, "s.pdf: it is a socket, not a file"},
        {folder.File("random.pdf"), "random.pdf: it is a device, not a file"},
        {"/dev/zero", "/dev/zero: it is a device, not a file"},
        {folder.File("missing.pdf"), "cannot open " + folder.File("missing.pdf") + ": No such file"},
    };
    for (const auto& [path, expected] : cases) {
        std::vector<uint8_t> bytes{1};
        std::string message;
        EXPECT_FALSE(ReadRegularFile(path, kMaxDrawingFileBytes, bytes, message)) << path;
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        EXPECT_TRUE(bytes.empty());
    }
    close(listener);
}

TEST(LoadImageFile, APipeOrDeviceNamedLikeAPictureIsRefusedAtOnce) {
    CTempFolder folder;
    const CHangGuard guard;
    ASSERT_EQ(mkfifo(folder.File("pipe.png").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder.File("zero.bmp"));
    for (const char* name : {"pipe.png", "zero.bmp"}) {
        CDibSection image;
        const CImageResult result = LoadImageFile(folder.File(name), image);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(std::string(name) + ": it is a"), std::string::npos) << result.message;
    }
}

} // namespace
} // namespace pq
