// Rendering one page of a large native document to PNG: pqdraw-cli beside mutool and pdftoppm, the same
// file at the same pixel size, each as a whole program run (start-up, reading and rendering).
#include "BenchDocument.h"
#include "native/PdfFile.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace pq {
namespace {

// 1480 x 2100 units at 96 pixels per inch: the size pqdraw-cli renders at 1:1.
constexpr const char* kSize = "559x794";

const std::string& BigDocument() {
    static const std::string path = [] {
        InstallFontTextMetrics();
        CDrawing drawing;
        bench::BuildDocument(drawing);
        const std::string file = (std::filesystem::temp_directory_path() / "pqdraw-bench-big.pdf").string();
        CPdfFile().Write(file, drawing);
        return file;
    }();
    return path;
}

void RunCommand(benchmark::State& state, const std::string& program, const std::string& command) {
    if (!std::filesystem::exists(program)) {
        state.SkipWithError((program + " is not installed").c_str());
        return;
    }
    const std::string line = command + " > /dev/null 2>&1";
    for (auto _ : state)
        if (std::system(line.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
}

void BM_RenderPage_PqdrawCli(benchmark::State& state) {
    RunCommand(state, PQ_CLI_PATH,
               std::string(PQ_CLI_PATH) + " convert " + BigDocument() +
                   " /tmp/pqdraw-bench-page.png --size " + kSize);
}
BENCHMARK(BM_RenderPage_PqdrawCli)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderPage_MutoolDraw(benchmark::State& state) {
    RunCommand(state, "/usr/bin/mutool",
               "/usr/bin/mutool draw -q -r 96 -o /tmp/pqdraw-bench-mutool.png " + BigDocument() + " 1");
}
BENCHMARK(BM_RenderPage_MutoolDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderPage_Pdftoppm(benchmark::State& state) {
    RunCommand(state, "/usr/bin/pdftoppm",
               "/usr/bin/pdftoppm -r 96 -f 1 -l 1 -png " + BigDocument() + " /tmp/pqdraw-bench-poppler");
}
BENCHMARK(BM_RenderPage_Pdftoppm)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace pq
