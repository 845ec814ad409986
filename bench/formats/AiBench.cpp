// Reading and writing Illustrator files of many paths, and Ghostscript drawing the same file (a whole
// program run with our stand-in prolog), for comparison.
#include "formats/ai/IllustratorFile.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace pq {
namespace {

// count filled triangles with alternating stroked outlines and colours, spread over an A5 page; 50000
// of them make a file of about 5 MB.
void BuildPaths(CDrawing& drawing, int count) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    for (int i = 0; i < count; ++i) {
        auto object = std::make_unique<CGraphicObject>(kKindPath);
        CPathShape* path = object->AsPath();
        const CPointF a{next() * 1400.0f - 700.0f, next() * 2000.0f - 1000.0f};
        const CPointF b = a + CPointF{next() * 60.0f, next() * 60.0f};
        const CPointF c = a + CPointF{next() * -60.0f, next() * 60.0f};
        CNodeArray& nodes = path->AddSubpath();
        for (CPointF p : {a, b, c, a})
            nodes.Add(CPathNode::FromPoint(p));
        path->penStyle = i % 4 == 0 ? kPenSolid : kPenNull;
        path->penWidth = 2;
        path->brushStyle = kBrushSolid;
        object->color = seed & 0xFFFFFF;
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
}

const std::vector<uint8_t>& FileOf(int count) {
    static std::map<int, std::vector<uint8_t>> files;
    auto [it, added] = files.try_emplace(count);
    if (added) {
        CDrawing drawing;
        BuildPaths(drawing, count);
        CIllustratorFile().ExportToMemory(it->second, drawing, 0);
    }
    return it->second;
}

void BM_ImportAi(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = FileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CDrawing drawing;
        if (!CIllustratorFile().ImportFromMemory(bytes, drawing)) {
            state.SkipWithError("the file did not read");
            return;
        }
        benchmark::DoNotOptimize(drawing.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}
// Four sizes: the time per byte stays the same when the reading is linear.
BENCHMARK(BM_ImportAi)->Arg(6250)->Arg(12500)->Arg(25000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_ExportAi(benchmark::State& state) {
    CDrawing drawing;
    BuildPaths(drawing, static_cast<int>(state.range(0)));
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        CIllustratorFile().ExportToMemory(bytes, drawing, 0);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ExportAi)->Arg(50000)->Unit(benchmark::kMillisecond);

// Ghostscript reading and drawing the same 50000-path file at 72 dpi: a whole program run.
void BM_GhostscriptRenderAi(benchmark::State& state) {
    // The prolog lives in the source tree: beside build/bin/, or below the working folder.
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    std::filesystem::path prolog = exe.parent_path() / "../../tests/data/ai/ai_prolog.ps";
    if (!std::filesystem::exists(prolog))
        prolog = "tests/data/ai/ai_prolog.ps";
    if (!std::filesystem::exists("/usr/bin/gs") || !std::filesystem::exists(prolog)) {
        state.SkipWithError("Ghostscript or the prolog is missing");
        return;
    }
    const std::vector<uint8_t>& bytes = FileOf(50000);
    const std::string path = (std::filesystem::temp_directory_path() / "pqdraw-bench-50000.ai").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::string command = "/usr/bin/gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -g420x595 -r72 "
                                "-dFIXEDMEDIA -sOutputFile=/dev/null " +
                                prolog.string() + " -f " + path + " -c showpage > /dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("Ghostscript failed");
            return;
        }
}
BENCHMARK(BM_GhostscriptRenderAi)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace pq
