#include "platform/image/AtomicWrite.h"

#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pq {
namespace {

namespace fs = std::filesystem;
using test::CTempFolder;
using test::WriteFileText;

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST(WriteFileReplacing, WritesThroughSymbolicLinksAndKeepsThem) {
    CTempFolder folder;
    fs::create_directory(folder.File("real"));
    WriteFileText(folder.File("real/target.pdf"), "old");
    fs::create_symlink("real/target.pdf", folder.File("link.pdf"));        // relative to the link's folder
    fs::create_symlink(folder.File("link.pdf"), folder.File("chain.pdf")); // a link to a link
    ASSERT_TRUE(WriteFileReplacing(folder.File("chain.pdf"), Bytes("new")).ok);
    EXPECT_TRUE(fs::is_symlink(folder.File("chain.pdf")));
    EXPECT_TRUE(fs::is_symlink(folder.File("link.pdf")));
    EXPECT_EQ(test::ReadFileText(folder.File("real/target.pdf")), "new");
    EXPECT_EQ(Names(folder.Path() / "real"), std::vector<std::string>{"target.pdf"});

    // A link to a file still to be made makes that file.
    fs::create_symlink("real/later.pdf", folder.File("dangling.pdf"));
    ASSERT_TRUE(WriteFileReplacing(folder.File("dangling.pdf"), Bytes("made")).ok);
    EXPECT_TRUE(fs::is_symlink(folder.File("dangling.pdf")));
    EXPECT_EQ(test::ReadFileText(folder.File("real/later.pdf")), "made");

    fs::create_symlink("loop-b", folder.File("loop-a"));
    fs::create_symlink("loop-a", folder.File("loop-b"));
    const CImageResult loop = WriteFileReplacing(folder.File("loop-a"), Bytes("x"));
    EXPECT_FALSE(loop.ok);
    EXPECT_NE(loop.message.find("loop-a"), std::string::npos) << loop.message;
    EXPECT_TRUE(fs::is_symlink(folder.File("loop-a")));
}

TEST(WriteFileReplacing, KeepsPermissionBitsAndOwnerAndRefusesReadOnlyFiles) {
    CTempFolder folder;
    const std::string shared = folder.File("shared.pdf"), script = folder.File("script.sh");
    WriteFileText(shared, "old");
    WriteFileText(script, "old");
    fs::permissions(shared, static_cast<fs::perms>(0640));
    fs::permissions(script, static_cast<fs::perms>(0751));
    if (geteuid() == 0) {
        ASSERT_EQ(chown(shared.c_str(), 65534, 65534), 0);
    }
    ASSERT_TRUE(WriteFileReplacing(shared, Bytes("new")).ok);
    ASSERT_TRUE(WriteFileReplacing(script, Bytes("new")).ok);
    EXPECT_EQ(ModeOf(shared), 0640u);
    EXPECT_EQ(ModeOf(script), 0751u);
    EXPECT_EQ(test::ReadFileText(shared), "new");
    if (geteuid() == 0) {
        struct stat status {};
        ASSERT_EQ(stat(shared.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 65534u) << "the superuser saving a user's file leaves it the user's";
        EXPECT_EQ(status.st_gid, 65534u);
    }

    // Read-only even for the superuser, who could otherwise replace it.
    const std::string locked = folder.File("locked.pdf");
    WriteFileText(locked, "keep me");
    fs::permissions(locked, static_cast<fs::perms>(0444));
    const CImageResult refused = WriteFileReplacing(locked, Bytes("lost"));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("locked.pdf: the file is read-only"), std::string::npos)
        << refused.message;
    EXPECT_EQ(test::ReadFileText(locked), "keep me");
    EXPECT_EQ(ModeOf(locked), 0444u);
    EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"locked.pdf", "script.sh", "shared.pdf"}));
}

TEST(WriteFileReplacing, NeverReplacesAPipeOrAFolder) {
    CTempFolder folder;
    ASSERT_EQ(mkfifo(folder.File("pipe.pdf").c_str(), 0600), 0);
    fs::create_directory(folder.File("folder.pdf"));
    for (const char* name : {"pipe.pdf", "folder.pdf"}) {
        const CImageResult result = WriteFileReplacing(folder.File(name), Bytes("x"));
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(name), std::string::npos) << result.message;
    }
    EXPECT_TRUE(fs::is_fifo(folder.File("pipe.pdf")));
    EXPECT_TRUE(fs::is_directory(folder.File("folder.pdf")));
    EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"folder.pdf", "pipe.pdf"}));
}

TEST(WriteFileReplacing, WritesEveryByteAndTheLongestNameTheFileSystemTakes) {
    CTempFolder folder;
    const std::string name = std::string(251, 'n') + ".pdf";
    ASSERT_EQ(name.size(), 255u);
    std::vector<uint8_t> bytes(100000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 31);
    const CImageResult result = WriteFileReplacing(folder.File(name), bytes);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(test::ReadFileBytes(folder.File(name)), bytes);
    // A shorter file replaces the longer one whole.
    ASSERT_TRUE(WriteFileReplacing(folder.File(name), std::vector<uint8_t>{7}).ok);
    EXPECT_EQ(test::ReadFileBytes(folder.File(name)), std::vector<uint8_t>{7});
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{name});
}

// A child process writes a megabyte with its file size limited to 4 KB: the system ends it with SIGXFSZ
// inside the write, as a crash or a kill would, and its temporary stays behind.
std::string LeaveKilledWrite(const CTempFolder& folder, const std::string& target) {
    const std::vector<std::string> before = Names(folder.Path());
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore{0, 0}, small{4096, 4096};
        setrlimit(RLIMIT_CORE, &noCore);
        setrlimit(RLIMIT_FSIZE, &small);
        const std::vector<uint8_t> big(1 << 20, 7);
        (void)WriteFileReplacing(target, big);
        _exit(0);
    }
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    for (const std::string& name : Names(folder.Path()))
        if (std::find(before.begin(), before.end(), name) == before.end())
            return name;
    ADD_FAILURE() << "the killed write left nothing";
    return {};
}

// The name a temporary would have had if another process had written it: the process id is the second
// field of ".pqdraw-HOST-PID-SERIAL.tmp".
std::string WithProcess(const std::string& name, pid_t pid) {
    const std::size_t first = name.find('-'), second = name.find('-', first + 1),
                      third = name.find('-', second + 1);
    return name.substr(0, second + 1) + std::to_string(pid) + name.substr(third);
}

// A child process that waits until the test ends.
struct CSleeper {
    CSleeper() : pid(fork()) {
        if (pid == 0) {
            pause();
            _exit(0);
        }
    }
    ~CSleeper() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid_t pid;
};

TEST(WriteFileReplacing, RemovesOnlyTheTemporariesOfWritersThatEnded) {
    CTempFolder folder;
    const std::string target = folder.File("drawing.pdf");
    WriteFileText(target, "good");
    const std::string leftover = LeaveKilledWrite(folder, target);
    ASSERT_TRUE(leftover.starts_with(".")) << leftover << ": temporaries are hidden";
    EXPECT_EQ(test::ReadFileText(target), "good");

    // A writer that still runs (a sleeping child) keeps its temporary, unless it was untouched for days;
    // files of other names, other owners and links are never ours to remove.
    const CSleeper sleeper;
    const std::string running = WithProcess(leftover, sleeper.pid);
    const std::string stale = WithProcess(leftover, getppid());
    WriteFileText(folder.File(running), "running");
    WriteFileText(folder.File(stale), "stale");
    const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3 * 24 * 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, folder.File(stale).c_str(), times, 0), 0);
    WriteFileText(folder.File("drawing.pdf.tmp"), "user's");
    WriteFileText(folder.File(".pqdraw-notes.tmp"), "user's");
    WriteFileText(folder.File("elsewhere"), "linked");
    const std::string link = WithProcess(leftover, 999999);
    fs::create_symlink("elsewhere", folder.File(link));
    std::string foreign;
    if (geteuid() == 0) {
        foreign = WithProcess(leftover, 999998);
        WriteFileText(folder.File(foreign), "another user's");
        ASSERT_EQ(chown(folder.File(foreign).c_str(), 65534, 65534), 0);
    }

    ASSERT_TRUE(WriteFileReplacing(target, Bytes("better")).ok);
    EXPECT_EQ(test::ReadFileText(target), "better");
    std::vector<std::string> expected = {".pqdraw-notes.tmp", "drawing.pdf", "drawing.pdf.tmp",
                                         "elsewhere",         link,          running};
    if (!foreign.empty())
        expected.push_back(foreign);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(folder.Path()), expected);
    EXPECT_EQ(test::ReadFileText(folder.File("elsewhere")), "linked");
}

} // namespace
} // namespace pq
