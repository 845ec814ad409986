#include "formats/hpgl/PlotterFile.h"

#include "formats/hpgl/HpglInterpreter.h"
#include "formats/hpgl/HpglWriter.h"
#include "model/Drawing.h"
#include "platform/image/AtomicWrite.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace pq {

namespace {

// Circles, arcs, rectangles and polygon fills may add this many points per byte of the file, plus a
// fixed allowance: far more than any real plot needs, far less than a hostile one would ask for.
constexpr std::size_t kGeneratedPointsPerByte = 16;
constexpr std::size_t kGeneratedPointsAllowance = std::size_t{1} << 20;

} // namespace

bool CPlotterFile::ExportToHpgl(const std::string& path, CDrawing& drawing, int page) {
    const std::string text = WriteHpgl(drawing, page);
    const CImageResult result = WriteFileReplacing(
        path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    if (!result) {
        drawing.SetErrorMessage(result.message);
        return false;
    }
    return true;
}

bool CPlotterFile::ImportFromHpgl(const std::string& path, CDrawing& drawing) {
    drawing.Clear();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        drawing.SetErrorMessage("Cannot open the plotter file " + path + ": " + std::strerror(errno));
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0) {
        drawing.SetErrorMessage("Cannot read the plotter file " + path + ".");
        return false;
    }
    if (static_cast<std::size_t>(size) > kLargestFile) {
        drawing.SetErrorMessage("The plotter file " + path + " is too large to read.");
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        drawing.SetErrorMessage("Cannot read the plotter file " + path + ".");
        return false;
    }
    return ImportFromMemory(bytes, drawing, path);
}

bool CPlotterFile::ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing,
                                    const std::string& name) {
    drawing.Clear();
    if (bytes.empty()) {
        drawing.SetErrorMessage("The plotter file " + (name.empty() ? std::string() : name + " ") +
                                "is empty.");
        return false;
    }
    CHpglPlotterState state(bytes.size() * kGeneratedPointsPerByte + kGeneratedPointsAllowance);
    CHpglInterpreter interpreter(state);
    CHpglTokenizer tokenizer(bytes);
    CHpglInstruction instruction;
    while (tokenizer.Next(instruction))
        interpreter.Execute(instruction);
    state.Build(drawing);
    return true;
}

} // namespace pq
