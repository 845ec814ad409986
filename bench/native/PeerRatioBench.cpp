// pqdraw-cli beside mutool in the same run, as whole program runs (start-up, reading, rendering, writing
// the PNG), for the project's sample, a 20-page document and a page of 10000 paths, at screen and print
// sizes, aliased (mutool -A 0) and smooth (mutool's default). Counters give each program's CPU time per
// run (of the child processes), the ratio ours / mutool and both files' sizes; opening is compared with
// qpdf --check.
#include "BenchDocument.h"
#include "bench/BusyPage.h"
#include "native/PdfFile.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace pq {
namespace {

const std::string& Document(int which) {
    static const std::string paths[3] = {
        PQ_SAMPLE_PATH,
        [] {
            InstallFontTextMetrics();
            CDrawing drawing;
            bench::BuildDocument(drawing);
            const std::string file =
                (std::filesystem::temp_directory_path() / "pqdraw-ratio-pages.pdf").string();
            CPdfFile().Write(file, drawing);
            return file;
        }(),
        [] {
            CDrawing drawing;
            bench::BuildBusyPaths(drawing, 7, false);
            const std::string file =
                (std::filesystem::temp_directory_path() / "pqdraw-ratio-busy.pdf").string();
            CPdfFile().Write(file, drawing);
            return file;
        }(),
    };
    return paths[which];
}

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the command and returns the CPU seconds it took, or a negative number when it failed.
double Timed(const std::string& command) {
    const double before = ChildCpuSeconds();
    if (std::system((command + " > /dev/null 2>&1").c_str()) != 0)
        return -1;
    return ChildCpuSeconds() - before;
}

double FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0.0 : static_cast<double>(size);
}

// Runs our command and the peer's in turn for each iteration and reports their mean CPU times and ratio;
// false (the benchmark marked failed) when either program fails.
bool RunSideBySide(benchmark::State& state, const std::string& oursCommand, const std::string& theirsCommand,
                   const char* theirsName) {
    double oursTotal = 0, theirsTotal = 0;
    for (auto _ : state) {
        const double a = Timed(oursCommand), b = Timed(theirsCommand);
        if (a < 0 || b < 0) {
            state.SkipWithError("a program failed");
            return false;
        }
        oursTotal += a;
        theirsTotal += b;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = 1000 * oursTotal / n;
    state.counters[theirsName] = 1000 * theirsTotal / n;
    state.counters["ratio"] = theirsTotal > 0 ? oursTotal / theirsTotal : 0;
    return true;
}

// Arguments: document (0 sample, 1 twenty pages, 2 busy page), print size, smooth.
void BM_RenderRatio(benchmark::State& state) {
    if (!std::filesystem::exists("/usr/bin/mutool")) {
        state.SkipWithError("mutool is not installed");
        return;
    }
    const std::string& input = Document(static_cast<int>(state.range(0)));
    const bool print = state.range(1) != 0, smooth = state.range(2) != 0;
    const std::string dpi = print ? "300" : "96";
    const std::string size = print ? "1748x2480" : "559x794";
    const std::string ours = "/tmp/pqdraw-ratio-ours.png", theirs = "/tmp/pqdraw-ratio-mutool.png";
    const std::string oursCommand = std::string(PQ_CLI_PATH) + " convert " + input + " " + ours + " --size " +
                                    size + (smooth ? " --smooth" : "");
    const std::string theirsCommand = "/usr/bin/mutool draw -q" + std::string(smooth ? "" : " -A 0") +
                                      " -r " + dpi + " -o " + theirs + " " + input + " 1";
    if (!RunSideBySide(state, oursCommand, theirsCommand, "mutool_ms"))
        return;
    state.counters["ours_kB"] = FileSize(ours) / 1000;
    state.counters["mutool_kB"] = FileSize(theirs) / 1000;
}
BENCHMARK(BM_RenderRatio)
    ->ArgNames({"doc", "print", "smooth"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {0, 1}})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// Opening the busy page (reading and making it ready to draw) against qpdf --check reading it.
void BM_OpenRatio(benchmark::State& state) {
    if (!std::filesystem::exists("/usr/bin/qpdf")) {
        state.SkipWithError("qpdf is not installed");
        return;
    }
    const std::string& input = Document(2);
    const std::string oursCommand = std::string(PQ_CLI_PATH) + " info " + input;
    const std::string theirsCommand = "/usr/bin/qpdf --check " + input;
    RunSideBySide(state, oursCommand, theirsCommand, "qpdf_ms");
}
BENCHMARK(BM_OpenRatio)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
