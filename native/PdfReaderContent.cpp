#include "native/PdfReader.h"

#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "native/PdfLineReader.h"
#include "native/PdfNumbers.h"
#include "native/PdfWriter.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace pq {

namespace {

// Coordinates beyond this many points are taken as this many: no drawing reaches that far, and it keeps
// damaged numbers from turning into infinities later.
constexpr double kMaxCoordinate = 1e7;
// Pen widths read back as written, up to a width no pen could sensibly have.
constexpr double kMaxPenWidth = 100000.0;

// Up to count numbers from the start of s; fewer when s holds fewer.
template <std::size_t N> std::size_t ParseNumbers(std::string_view s, std::array<double, N>& values) {
    std::size_t count = 0;
    while (count < N) {
        const std::optional<double> v = ParseNumber(s);
        if (!v)
            break;
        values[count++] = std::clamp(*v, -kMaxCoordinate, kMaxCoordinate);
    }
    return count;
}

uint32_t ParseColour(std::string_view line) {
    std::array<double, 3> rgb{};
    ParseNumbers(line, rgb);
    uint32_t colour = 0;
    for (int i = 0; i < 3; ++i) {
        // Components are rounded back to bytes: the six decimals written carry every byte exactly.
        const int32_t byte = std::clamp(RoundHalfAway(rgb[static_cast<std::size_t>(i)] * 255.0), 0, 255);
        colour |= static_cast<uint32_t>(byte) << (8 * i);
    }
    return colour;
}

CPointF FilePoint(double x, double y) {
    return {static_cast<float>(x), static_cast<float>(-y)};
}

} // namespace

bool CPdfReader::Append(std::unique_ptr<CGraphicObject> object) {
    if (objectsMade >= kMaxObjects) {
        ++objectsLeftOut;
        return false;
    }
    ++objectsMade;
    // Once the display bound is passed while reading in batches, what follows is counted, not kept.
    if (displayFull) {
        ++displayLeftOut;
        return false;
    }
    drawing.Add(std::move(object));
    if (sink && drawing.Count() >= kBatchObjects)
        HandOverBatch();
    return true;
}

void CPdfReader::FinishSubpath(GraphicsState& state) const {
    if (state.current.empty())
        return;
    while (state.current.size() % 3 != 0)
        state.current.push_back(state.current.back());
    state.subpaths.push_back(std::move(state.current));
    state.current.clear();
}

void CPdfReader::AddPathPoints(GraphicsState& state, std::string_view line) const {
    std::vector<CPointF>& points = state.current;
    if (points.empty())
        return;
    auto pad = [&points] {
        while (points.size() % 3 != 2)
            points.push_back(points.back());
    };
    std::array<double, 6> v{};
    const std::size_t n = ParseNumbers(line, v);
    const char op = line.back();
    if (op == 'c' && n >= 6) {
        pad();
        points.push_back(FilePoint(v[0], v[1]));
        points.push_back(FilePoint(v[2], v[3]));
        points.push_back(FilePoint(v[4], v[5]));
    } else if (op == 'v' && n >= 4) {
        pad();
        points.push_back(points.back());
        points.push_back(FilePoint(v[0], v[1]));
        points.push_back(FilePoint(v[2], v[3]));
    } else if (op == 'y' && n >= 4) {
        pad();
        points.push_back(FilePoint(v[0], v[1]));
        points.push_back(FilePoint(v[2], v[3]));
        points.push_back(FilePoint(v[2], v[3]));
    } else if (op == 'l' && n >= 2) {
        pad();
        points.push_back(points.back());
        points.push_back(FilePoint(v[0], v[1]));
        points.push_back(FilePoint(v[0], v[1]));
    }
}

void CPdfReader::MakePath(GraphicsState& state, int page) {
    std::vector<std::vector<CPointF>> subpaths = std::move(state.subpaths);
    state.subpaths.clear();
    state.pathOpen = false;
    const bool stroke = state.stroke;
    const bool fill = state.fill;
    state.stroke = state.fill = state.fillSeen = state.strokeSeen = false;
    const int underlineStrokes = std::exchange(state.underlineStrokes, 0);
    if (stroke && !fill && underlineStrokes > 0 &&
        subpaths.size() == static_cast<std::size_t>(underlineStrokes) &&
        std::all_of(subpaths.begin(), subpaths.end(), [](const auto& points) { return points.size() == 6; }))
        return; // the underline of the text before

    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    for (const std::vector<CPointF>& points : subpaths) {
        if (points.size() < 6 || points.size() % 3 != 0)
            continue;
        // Sized once: grown a node at a time, a large drawing's nodes would hold a third more room.
        CNodeArray& nodes = path->AddSubpath();
        nodes.SetSize(points.size() / 3);
        for (std::size_t i = 0; i < points.size(); i += 3)
            nodes[i / 3] = {points[i], points[i + 1], points[i + 2]};
    }
    if (stroke) {
        path->penStyle = kPenSolid;
        path->penWidth = state.penWidth;
        path->penColor = state.strokeColour;
    } else {
        path->penStyle = kPenNull;
        path->penWidth = 0;
        path->penColor = state.fillColour;
    }
    if (fill) {
        path->brushStyle = kBrushSolid;
        object->color = state.fillColour;
    } else {
        path->brushStyle = kBrushHollow;
    }
    object->page = page;
    Append(std::move(object));
}

namespace {

// The lines that may stand between an underlined text and the end of its underline: the text's closing
// marks, the pen and its colour, one move and one line a shown line, and the stroke.
bool MayBelongToUnderline(std::string_view line) {
    return line == "EMC" || line == "S" || EndsWith(line, " w") || EndsWith(line, " RG") ||
           EndsWith(line, " m") || EndsWith(line, " l");
}

} // namespace

void CPdfReader::ParseContent(CPdfLineReader& lines, int page) {
    GraphicsState state;
    std::string_view line;
    while (lines.Next(line) && line != "endobj") {
        // Anything else between an underlined text and a path means the path is not its underline.
        if (state.underlineStrokes > 0 && !MayBelongToUnderline(line))
            state.underlineStrokes = 0;
        if (line.size() >= 4 && EndsWith(line, "BDC")) {
            ParseText(lines, page, Contains(line, "/InPathText") ? kTextParagraph : kTextArtistic, state);
        } else if (line.size() >= 7 && EndsWith(line, "Do")) {
            const std::size_t at = line.find("/Im");
            std::string_view number = at == std::string_view::npos ? std::string_view() : line.substr(at + 3);
            if (const std::optional<int32_t> n = ParseInt(number))
                ReadImage(*n, page, state);
        } else if (EndsWith(line, "cm")) {
            std::array<double, 6> m{};
            if (ParseNumbers(line, m) == 6) {
                const auto f = static_cast<float>(m[5]);
                state.placement = {static_cast<float>(m[4]), static_cast<float>(m[0] + m[4]),
                                   static_cast<float>(-m[5] - m[3]), -f};
            }
        } else if (EndsWith(line, "w")) {
            std::string_view rest = line;
            const std::optional<double> width = ParseNumber(rest);
            state.penWidth =
                width ? RoundHalfAway(std::clamp(*width / kPointsPerUnit, 0.0, kMaxPenWidth)) : 1;
        } else if (EndsWith(line, "rg")) {
            state.fillColour = ParseColour(line);
            state.fill = state.fillSeen = true;
        } else if (EndsWith(line, "RG")) {
            state.strokeColour = ParseColour(line);
            state.stroke = state.strokeSeen = true;
        } else if (EndsWith(line, " m")) {
            // A new subpath ends the one before it, closed or not; the path goes on.
            if (state.pathOpen)
                FinishSubpath(state);
            std::array<double, 2> p{};
            ParseNumbers(line, p);
            state.current = {FilePoint(p[0], p[1]), FilePoint(p[0], p[1])};
            state.pathOpen = true;
        } else if (state.pathOpen && (EndsWith(line, "c") || EndsWith(line, "v") || EndsWith(line, "y") ||
                                      EndsWith(line, "l"))) {
            AddPathPoints(state, line);
        } else if (state.pathOpen || !state.subpaths.empty()) {
            FinishSubpath(state);
            if (line == "h") {
                state.pathOpen = false;
                continue;
            }
            if (line == "S") {
                state.stroke = true;
                state.fill = false;
            } else if (line == "s") {
                state.stroke = true;
                state.fill = false;
            } else if (line == "f*" || line == "f" || line == "F") {
                state.stroke = false;
                state.fill = true;
            } else if (line == "B*" || line == "b*" || line == "B" || line == "b") {
                state.stroke = state.fill = true;
            } else if (line == "n") {
                state.stroke = state.fill = false;
            } else if (!state.pathOpen) {
                continue; // after "h", only a painting operator ends the path
            }
            MakePath(state, page);
        }
    }
}

} // namespace pq
