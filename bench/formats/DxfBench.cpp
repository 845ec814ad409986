#include "formats/dxf/DxfFile.h"
#include "model/Drawing.h"
#include "render/FontTextMetrics.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

namespace pq {
namespace {

// A DXF of the given number of entities as CAD programs write them (handles, owners, subclass markers,
// layers): lines, polylines with a bulge, circles, arcs and texts, about 100 bytes each.
std::string BuildFile(int entities) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(0.0, 1000.0);
    std::string out =
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$INSUNITS\n 70\n4\n  0\nENDSEC\n"
        "  0\nSECTION\n  2\nENTITIES\n";
    char buffer[512];
    for (int i = 0; i < entities; ++i) {
        const double x = coordinate(random);
        const double y = coordinate(random);
        const int kind = i % 10;
        int n = 0;
        if (kind < 4) {
            n = std::snprintf(
                buffer, sizeof buffer,
                "  0\nLINE\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n 10\n%.4f\n 20\n%.4f\n "
                "30\n0.0\n 11\n%.4f\n 21\n%.4f\n 31\n0.0\n",
                i + 0x100, x, y, x + 10.0, y + 5.0);
        } else if (kind < 6) {
            n = std::snprintf(
                buffer, sizeof buffer,
                "  0\nLWPOLYLINE\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbPolyline\n 90\n3\n "
                "70\n1\n 10\n%.4f\n 20\n%.4f\n 42\n0.4\n 10\n%.4f\n 20\n%.4f\n 10\n%.4f\n 20\n%.4f\n",
                i + 0x100, x, y, x + 8.0, y, x + 8.0, y + 6.0);
        } else if (kind < 8) {
            n = std::snprintf(
                buffer, sizeof buffer,
                "  0\n%s\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbCircle\n 10\n%.4f\n 20\n%.4f\n "
                "30\n0.0\n 40\n%.4f\n%s",
                kind == 6 ? "CIRCLE" : "ARC", i + 0x100, x, y, 1.0 + x / 100.0,
                kind == 6 ? "" : "100\nAcDbArc\n 50\n30.0\n 51\n250.0\n");
        } else {
            n = std::snprintf(
                buffer, sizeof buffer,
                "  0\nTEXT\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbText\n 10\n%.4f\n 20\n%.4f\n "
                "30\n0.0\n 40\n2.5\n  1\nLabel %d\n",
                i + 0x100, x, y, i);
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    out += "  0\nENDSEC\n  0\nEOF\n";
    return out;
}

const std::string& File(int entities) {
    static std::map<int, std::string> files;
    auto found = files.find(entities);
    if (found == files.end())
        found = files.emplace(entities, BuildFile(entities)).first;
    return found->second;
}

// Processor time of one import: on a machine shared with other work, wall time says more about the
// others than about the reader.
double ReadOnce(const std::string& file) {
    CDrawing drawing;
    const std::clock_t start = std::clock();
    const bool ok = CDxfFile().ImportFromMemory({reinterpret_cast<const uint8_t*>(file.data()), file.size()},
                                                drawing, {});
    benchmark::DoNotOptimize(ok);
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// Import of 50000 to 200000 entities: time per byte should stay the same (linear in the file's size).
void BM_DxfImport(benchmark::State& state) {
    InstallFontTextMetrics();
    const std::string& file = File(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CDrawing drawing;
        const bool ok = CDxfFile().ImportFromMemory(
            {reinterpret_cast<const uint8_t*>(file.data()), file.size()}, drawing, {});
        benchmark::DoNotOptimize(ok);
        state.counters["objects"] = drawing.Count();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}
BENCHMARK(BM_DxfImport)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);

// ezdxf (python3-ezdxf) reading the same 200000-entity file, one run; "ratio" is its processor time over
// ours. bench/formats/dxf_vs_ezdxf.py compares whole processes instead, with medians of several runs.
void BM_DxfEzdxfRead(benchmark::State& state) {
    InstallFontTextMetrics();
    const std::string& file = File(200000);
    const std::string path = (std::filesystem::temp_directory_path() / "pq-dxf-bench.dxf").string();
    std::ofstream(path, std::ios::binary) << file;
    for (auto _ : state) {
        const std::string command =
            "/usr/bin/python3 -c 'import time,sys,logging; logging.disable(logging.CRITICAL); "
            "import ezdxf; t=time.process_time(); ezdxf.readfile(sys.argv[1]); "
            "print(time.process_time()-t)' " +
            path;
        std::FILE* pipe = popen(command.c_str(), "r");
        double peer = 0.0;
        if (pipe == nullptr || std::fscanf(pipe, "%lf", &peer) != 1) {
            state.SkipWithError("python3-ezdxf is not available");
            if (pipe != nullptr)
                pclose(pipe);
            break;
        }
        pclose(pipe);
        // Ours is quick enough to take the median of three, which a busy machine disturbs less.
        double runs[3] = {ReadOnce(file), ReadOnce(file), ReadOnce(file)};
        std::sort(std::begin(runs), std::end(runs));
        const double ours = runs[1];
        state.SetIterationTime(peer);
        state.counters["ezdxf_s"] = peer;
        state.counters["ours_s"] = ours;
        state.counters["ratio"] = peer / ours;
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_DxfEzdxfRead)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
