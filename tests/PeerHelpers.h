#pragma once

// What tests that touch the file system or run another program share: a folder of their own, a shell
// command's status and output, whether a peer program is there, and a file's bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace pq::test {

// A folder of its own for one test's files, removed (read-only parts included) afterwards.
class CTempFolder {
public:
    CTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pq-test-XXXXXX").string();
        path = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        EXPECT_FALSE(path.empty()) << "cannot make a temporary folder";
    }
    ~CTempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    [[nodiscard]] std::string File(const std::string& name) const { return (path / name).string(); }
    [[nodiscard]] const std::filesystem::path& Path() const { return path; }
    // Writes text to a file of the folder, replacing it; returns its path.
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return File(name);
    }

private:
    std::filesystem::path path;
};

// Puts folder first on the PATH (or alone on it) for one test, and restores it however the test ends.
class CPathOverride {
public:
    explicit CPathOverride(const std::string& folder, bool only = false) {
        const char* old = std::getenv("PATH");
        saved = old != nullptr ? old : "";
        setenv("PATH", (only ? folder : folder + ":" + saved).c_str(), 1);
    }
    ~CPathOverride() { setenv("PATH", saved.c_str(), 1); }
    CPathOverride(const CPathOverride&) = delete;
    CPathOverride& operator=(const CPathOverride&) = delete;

private:
    std::string saved;
};

// Runs a shell command; returns its exit status and puts its standard output (and error) in output.
inline int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// True when a peer program the test needs is missing (or, given a probe, `path -c 'probe'` fails, as for
// a Python module): the test then fails in CI (CI=true) and is skipped elsewhere, and the caller returns.
inline bool PeerMissing(const char* path, const char* probe = nullptr) {
    std::string output;
    if (access(path, X_OK) == 0 &&
        (probe == nullptr || RunCommand(std::string(path) + " -c '" + probe + "'", output) == 0))
        return false;
    const std::string what = std::string(path) + (probe != nullptr ? std::string(" (") + probe + ")" : "");
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true")
        ADD_FAILURE() << "peer " << what << " is missing";
    else
        [&] { GTEST_SKIP() << "peer " << what << " is missing"; }();
    return true;
}

// The whole content of a file; empty when it cannot be read.
inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    const std::string text = ReadFileText(path);
    return {text.begin(), text.end()};
}

// Makes or replaces a file with exactly these bytes.
inline void WriteFileText(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteFileText(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

} // namespace pq::test
