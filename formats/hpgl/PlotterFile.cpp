#include "formats/hpgl/PlotterFile.h"

#include "formats/hpgl/HpglInterpreter.h"
#include "formats/hpgl/HpglWriter.h"
#include "model/Drawing.h"
#include "platform/RegularFile.h"
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
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, kLargestFile, bytes, message)) {
        drawing.SetErrorMessage(message);
        return false;
    }
    return ImportFromMemory(bytes, drawing, path);
}

bool CPlotterFile::ImportFromMemory(std::span<const uint8_t> bytes, CDrawing& drawing,
                                    const std::string& name) {
    drawing.Clear();
    drawing.ClearWarning();
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
    // The file still reads (a blank plot is a plot), but the user hears why the drawing is short.
    if (state.BudgetRanOut())
        drawing.AddWarning("The plotter file asks for more circles, arcs and fills than can be drawn; the "
                           "rest were left out.");
    if (interpreter.LabelsLeftOut())
        drawing.AddWarning("The plotter file's text labels were left out: only pen moves are read.");
    if (drawing.Count() == 0)
        drawing.AddWarning("The plotter file draws nothing: it holds no pen-down moves.");
    return true;
}

} // namespace pq
