#pragma once

#include "formats/ai/AiPrepare.h"
#include "geometry/PointF.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;
class CTextShape;

// Reads an Illustrator file into a drawing, line by line: each line is classified by its first
// character and by its last two (the operator), as Illustrator's text format allows. Coordinates stay
// in points with y negated while the lines are read; one transform at the end brings the drawing into
// document units. Malformed lines are passed over; a damaged image drops that image only.
class CAiReader {
public:
    static constexpr std::size_t kMaxFileBytes = 512u << 20;
    static constexpr std::size_t kMaxObjects = 500000;
    // Pen widths and text heights beyond these are damage, not drawing.
    static constexpr int32_t kMaxPenWidth = 100000;   // document units
    static constexpr double kMaxTextHeight = 10000.0; // points
    static constexpr double kMinTextHeight = 0.01;    // points

    CAiReader(std::span<const uint8_t> bytes, CDrawing& drawing);

    bool Read();

private:
    // The colour an operator line sets: fill or stroke, and the colour.
    struct ColourChange {
        bool fill = false;
        uint32_t colour = 0;
    };
    // What the lines of one text block leave behind.
    struct TextState {
        uint32_t fillColour = 0;
        uint32_t strokeColour = 0;
        bool fill = false;
        bool stroke = false;
        int32_t alignment = 1;
        double angle = 0.0;
        CPointF position;
        std::optional<std::u16string> exactText;
    };

    bool Append(std::unique_ptr<CGraphicObject> object);

    // Paths and colours (AiReader.cpp).
    void ParseLines();
    [[nodiscard]] std::optional<ColourChange> ParseColour(std::string_view line);
    void StartSubpath(std::string_view line);
    void AddSegment(std::string_view line, char op);
    void Paint(std::string_view line);
    void BuildPath(bool fill, bool stroke);
    void ReadPenWidth(std::string_view line);
    void ReadDashLine(std::string_view line);
    void FinishDrawing();

    // Text (AiReaderText.cpp). Each takes the index of the "To" line and returns the index of the last
    // line it read.
    std::size_t ParseText(std::size_t index, int type);
    std::size_t ParsePathText(std::size_t index);
    void ReadFont(std::string_view line);
    void ReadMatrix(std::string_view line, TextState& state);
    // Moves a point text from its first baseline point to its position and appends it.
    void FinishPointText(std::unique_ptr<CGraphicObject> object, const TextState& state);

    // Rasters and groups (AiReaderRaster.cpp).
    std::size_t ParseRaster(std::size_t index);
    std::size_t ParseGroups(std::size_t index);

    std::span<const uint8_t> bytes;
    CDrawing& drawing;
    CAiPreparedFile prepared;
    std::vector<std::string_view>& lines = prepared.lines;

    // Font state, carried from text to text.
    std::u16string fontName = u"Tahoma";
    int32_t style = 0;
    double fontHeight = 16.0;
    // Set after an underlined text: its underline boxes follow and are not read as paths.
    bool skipPathStarts = false;

    // Path state: the current subpath holds three points per node (in, anchor, out) with the last
    // node's out still missing.
    std::vector<CPointF> current;
    std::vector<std::vector<CPointF>> subpaths;
    uint32_t fillColour = 0;
    uint32_t strokeColour = 0;
    bool fillSet = false;
    bool strokeSet = false;
    bool fill = false;
    bool stroke = false;
    bool compound = false;
    bool inPath = false;
    int32_t penWidth = 1;

    // The colours of the last text that had one, for texts that set none.
    bool haveTextColours = false;
    TextState lastTextColours;

    // Where the next "%AI5_EndRaster" line was found (the line count when there is none).
    static constexpr std::size_t kNotSearched = static_cast<std::size_t>(-1);
    std::size_t endRasterAt = kNotSearched;

    std::vector<int> groupTable;
    bool haveGroupTable = false;
    std::vector<double> numbers; // scratch for the operands of one line
    bool objectsDropped = false;
};

} // namespace pq
