#include "formats/hpgl/PlotterFile.h"

#include "formats/hpgl/HpglInterpreter.h"
#include "formats/hpgl/HpglWriter.h"
#include "model/Drawing.h"
#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

namespace pq {

namespace {

// Circles, arcs, rectangles and polygon fills may add this many points per byte of the file, plus a
// fixed allowance: far more than any real plot needs, far less than a hostile one would ask for.
constexpr std::size_t kGeneratedPointsPerByte = 16;
constexpr std::size_t kGeneratedPointsAllowance = std::size_t{1} << 20;

// What a file given as a plotter file is when its first bytes say it is something else. The plotter
// reader takes any bytes, and the letter pairs of other formats would read as pen moves.
std::string_view OtherKindOf(std::span<const uint8_t> bytes) {
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()),
                                std::min<std::size_t>(bytes.size(), 64));
    const auto startsWith = [&](std::string_view sig) { return head.substr(0, sig.size()) == sig; };
    if (startsWith("%PDF"))
        return "a PDF document";
    if (startsWith("%!PS"))
        return "a PostScript or Illustrator file";
    if (startsWith("\x89PNG") || startsWith("\xFF\xD8\xFF") || startsWith("GIF8") ||
        (startsWith("BM") && head.size() >= 10 && head.substr(6, 4) == std::string_view("\0\0\0\0", 4)))
        return "a picture";
    if (startsWith("\xD7\xCD\xC6\x9A") || (head.size() >= 44 && head.substr(40, 4) == " EMF"))
        return "a Windows metafile";
    if (startsWith("AutoCAD Binary DXF"))
        return "a DXF file";
    // Text DXF: a group code 0 on the first line and SECTION on the second.
    std::size_t at = head.find_first_not_of(" \t");
    if (at != std::string_view::npos && head.substr(at, 1) == "0") {
        at = head.find_first_not_of(" \t", at + 1);
        if (at != std::string_view::npos && (head[at] == '\r' || head[at] == '\n')) {
            at = head.find_first_not_of(" \t\r\n", at);
            if (at != std::string_view::npos && head.substr(at, 7) == "SECTION")
                return "a DXF file";
        }
    }
    return {};
}

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
    if (const std::string_view kind = OtherKindOf(bytes); !kind.empty()) {
        drawing.SetErrorMessage("The file " + (name.empty() ? std::string() : name + " ") + "is " +
                                std::string(kind) + ", not a plotter file.");
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
