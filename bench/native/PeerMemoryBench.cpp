// Peak memory of pqdraw-cli beside mutool in the same run: both convert page 1 of a one-page document of
// 100000 paths (and of the 20-page document) to a screen-sized PNG, each as a child process whose maximum
// resident set wait4 reports. Counters give both peaks in megabytes and their ratio, ours / mutool.
#include "BenchDocument.h"
#include "bench/BusyPage.h"
#include "native/PdfFile.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pq {
namespace {

constexpr int kBusyObjects = 100000;

// Builds and writes the document in a child process: a child's peak resident set starts from its
// parent's, so the parent stays small by never holding the drawing itself.
std::string WrittenInChild(const char* name, void (*build)(CDrawing&)) {
    const std::string file = (std::filesystem::temp_directory_path() / name).string();
    const pid_t child = fork();
    if (child == 0) {
        InstallFontTextMetrics();
        CDrawing drawing;
        build(drawing);
        _exit(CPdfFile().Write(file, drawing) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return file;
}

const std::string& Document(int which) {
    static const std::string paths[2] = {
        WrittenInChild("pqdraw-memory-busy.pdf",
                       [](CDrawing& drawing) { bench::BuildBusyPaths(drawing, 7, false, kBusyObjects); }),
        WrittenInChild("pqdraw-memory-pages.pdf", [](CDrawing& drawing) { bench::BuildDocument(drawing); }),
    };
    return paths[which];
}

// Runs the program with its output thrown away and returns the child's peak resident set in kilobytes,
// or a negative number when it could not run or failed.
double PeakKilobytes(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return static_cast<double>(usage.ru_maxrss);
}

// Argument: document (0 the 100000-path page, 1 the 20-page document).
void BM_PeakMemory(benchmark::State& state) {
    if (!std::filesystem::exists("/usr/bin/mutool")) {
        state.SkipWithError("mutool is not installed");
        return;
    }
    const std::string& input = Document(static_cast<int>(state.range(0)));
    if (input.empty()) {
        state.SkipWithError("the document could not be written");
        return;
    }
    const std::vector<std::string> ours = {PQ_CLI_PATH, "convert", input, "/tmp/pqdraw-memory-ours.png",
                                           "--size", "559x794", "--page", "1"};
    const std::vector<std::string> theirs = {"/usr/bin/mutool", "draw", "-q", "-r", "96", "-o",
                                             "/tmp/pqdraw-memory-mutool.png", input, "1"};
    double oursPeak = 0, theirsPeak = 0;
    for (auto _ : state) {
        const double a = PeakKilobytes(ours), b = PeakKilobytes(theirs);
        if (a < 0 || b < 0) {
            state.SkipWithError("a program failed");
            return;
        }
        oursPeak = std::max(oursPeak, a);
        theirsPeak = std::max(theirsPeak, b);
    }
    // A spawned child's peak counts the resident set of the process that spawned it, this one: a peak no
    // higher than ours says only that the program stayed below it. Run the benchmark on its own (before
    // other benchmarks have grown this process) for true figures.
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    const auto floor = static_cast<double>(self.ru_maxrss);
    if (oursPeak <= floor || theirsPeak <= floor)
        state.SetLabel("a peak at or below this process's own " + std::to_string(self.ru_maxrss / 1024) +
                       " MB: run alone");
    state.counters["ours_MB"] = oursPeak / 1024;
    state.counters["mutool_MB"] = theirsPeak / 1024;
    state.counters["ratio"] = theirsPeak > 0 ? oursPeak / theirsPeak : 0;
    std::error_code error;
    state.counters["file_MB"] =
        static_cast<double>(std::filesystem::file_size(input, error)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PeakMemory)->ArgName("doc")->DenseRange(0, 1)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
