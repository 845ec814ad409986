// Upload throughput on loopback: our client against `curl -T` to the same pyftpdlib server, side by side,
// with a 20 MB file. Our client also runs with 256-byte blocks, the size the device version used, to
// show what the 64 KiB blocks buy. Wall time, since an upload waits on the server as much as it computes;
// counters give MB/s for each.
#include "send/FtpClient.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pq {
namespace {

constexpr std::size_t kFileBytes = 20u * 1000 * 1000;

// The server and the file, made once for the whole program and stopped at its end.
class CBenchServer {
public:
    CBenchServer() {
        folder = std::filesystem::temp_directory_path() / ("pqdraw-ftp-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder / "root");
        file = (folder / "upload.bin").string();
        std::mt19937 random(1);
        std::string bytes(kFileBytes, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() & 0xFF);
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string root = (folder / "root").string();
        const char* argv[] = {"/usr/bin/python3", PQ_FTP_TEST_SERVER, "--root", root.c_str(), nullptr};
        if (posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        std::string line;
        pollfd entry{out[0], POLLIN, 0};
        char c;
        while (pid > 0 && line.find('\n') == std::string::npos && poll(&entry, 1, 10000) > 0 &&
               read(out[0], &c, 1) == 1)
            line += c;
        close(out[0]);
        if (line.rfind("PORT ", 0) == 0)
            port = static_cast<uint16_t>(std::atoi(line.c_str() + 5));
    }
    ~CBenchServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path folder;
    std::string file;
    pid_t pid = -1;
    uint16_t port = 0;
};

CBenchServer& Server() {
    static CBenchServer server;
    return server;
}

void Report(benchmark::State& state, double seconds) {
    const double perRun = seconds / static_cast<double>(state.iterations());
    state.counters["MB_per_s"] = static_cast<double>(kFileBytes) / 1e6 / perRun;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileBytes));
}

// Argument: the block size in bytes.
void BM_FtpUploadOurs(benchmark::State& state) {
    CBenchServer& server = Server();
    if (server.port == 0) {
        state.SkipWithError("the FTP server did not start (python3-pyftpdlib missing?)");
        return;
    }
    CFtpClient::COptions options;
    options.blockSize = static_cast<std::size_t>(state.range(0));
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CFtpClient client(options);
        const bool ok = client.Connect("127.0.0.1", server.port) && client.Login("pq", "secret") &&
                        (client.SetBinary(), client.Put(server.file, "ours.bin", {}));
        client.Quit();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok || std::filesystem::file_size(server.folder / "root" / "ours.bin") != kFileBytes) {
            state.SkipWithError(("upload failed: " + client.GetLastError()).c_str());
            return;
        }
        seconds += took.count();
        state.SetIterationTime(took.count());
    }
    Report(state, seconds);
}
BENCHMARK(BM_FtpUploadOurs)
    ->ArgName("block")
    ->Arg(65536)
    ->Arg(256)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FtpUploadCurl(benchmark::State& state) {
    CBenchServer& server = Server();
    if (server.port == 0 || access("/usr/bin/curl", X_OK) != 0) {
        state.SkipWithError("the FTP server did not start or curl is missing");
        return;
    }
    const std::string command = "/usr/bin/curl -s -S -T '" + server.file +
                                "' --user pq:secret ftp://127.0.0.1:" + std::to_string(server.port) +
                                "/curl.bin";
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (status != 0 || std::filesystem::file_size(server.folder / "root" / "curl.bin") != kFileBytes) {
            state.SkipWithError("curl failed");
            return;
        }
        seconds += took.count();
        state.SetIterationTime(took.count());
    }
    Report(state, seconds);
}
BENCHMARK(BM_FtpUploadCurl)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
