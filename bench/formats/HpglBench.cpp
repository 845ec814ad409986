// Importing large plotter files: the reader on plots of 5 and 50 MB in memory (the rates show the cost is
// linear in the size), and as whole program runs beside hp2xx on the same 50 MB file.
#include "formats/hpgl/PlotterFile.h"
#include "model/Drawing.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <unistd.h>

namespace pq {
namespace {

// A CAD-like plot of about megabytes MB: short strokes of absolute points one instruction each (as CAD
// drivers write them), runs of relative moves (as printer drivers write them), circles and pen changes.
const std::string& Plot(int megabytes) {
    static std::map<int, std::string> plots;
    std::string& text = plots[megabytes];
    if (!text.empty())
        return text;
    const std::size_t target = static_cast<std::size_t>(megabytes) << 20;
    text.reserve(target + 4096);
    text = "IN;IP0,0,40000,30000;SP1;LT;";
    std::mt19937 random(17);
    std::uniform_int_distribution<int> coordinate(0, 40000);
    std::uniform_int_distribution<int> step(-400, 400);
    for (int block = 0; text.size() < target; ++block) {
        int x = coordinate(random);
        int y = coordinate(random) * 3 / 4;
        if (block % 3 == 0) {
            text += "PU;PA" + std::to_string(x) + "," + std::to_string(y) + ";PD;";
            for (int i = 0; i < 12; ++i) {
                x += step(random);
                y += step(random);
                text += "PA" + std::to_string(x) + "," + std::to_string(y) + ";";
            }
        } else if (block % 3 == 1) {
            text += "PAPU" + std::to_string(x) + "," + std::to_string(y) + "PRPD";
            for (int i = 0; i < 24; ++i)
                text += (i ? "," : "") + std::to_string(step(random)) + "," + std::to_string(step(random));
        } else {
            text += "SP" + std::to_string(1 + block % 7) + ";PU" + std::to_string(x) + "," + std::to_string(y) +
                    ";CI" + std::to_string(50 + block % 500) + ";";
        }
    }
    text += "PU;SP0;";
    return text;
}

void BM_HpglImport(benchmark::State& state) {
    const std::string& text = Plot(static_cast<int>(state.range(0)));
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    int objects = 0;
    for (auto _ : state) {
        CDrawing drawing;
        if (!CPlotterFile().ImportFromMemory(bytes, drawing)) {
            state.SkipWithError("the plot did not read");
            return;
        }
        objects = drawing.Count();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["objects"] = objects;
}
BENCHMARK(BM_HpglImport)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

const std::string& PlotFile() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "pqdraw-bench-50mb.plt").string();
        std::ofstream(file, std::ios::binary) << Plot(50);
        return file;
    }();
    return path;
}

std::string ProgramFolder() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::filesystem::path(std::string(buffer, static_cast<std::size_t>(n))).parent_path().string()
                 : std::string(".");
}

void RunProgram(benchmark::State& state, const std::string& program, const std::string& arguments) {
    if (!std::filesystem::exists(program)) {
        state.SkipWithError((program + " is not there").c_str());
        return;
    }
    const std::string line = program + " " + arguments + " < /dev/null > /dev/null 2>&1";
    for (auto _ : state)
        if (std::system(line.c_str()) != 0) {
            state.SkipWithError(("failed: " + line).c_str());
            return;
        }
}

// pqdraw-cli reads the whole plot into a drawing and counts its objects.
void BM_Plot50MB_PqdrawCliInfo(benchmark::State& state) {
    RunProgram(state, ProgramFolder() + "/pqdraw-cli", "info " + PlotFile());
}
BENCHMARK(BM_Plot50MB_PqdrawCliInfo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// hp2xx reads the same plot and writes the vectors it would draw, without rasterising them.
void BM_Plot50MB_Hp2xxVectors(benchmark::State& state) {
    RunProgram(state, "/usr/bin/hp2xx", "-q -m hpgl -f /dev/null " + PlotFile());
}
BENCHMARK(BM_Plot50MB_Hp2xxVectors)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
} // namespace pq
