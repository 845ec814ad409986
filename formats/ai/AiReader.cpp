#include "formats/ai/AiReader.h"

#include "formats/ai/AiNumbers.h"
#include "geometry/Numeric.h"
#include "geometry/Transform.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

constexpr float kUnitsPerPoint = 3.52777f;

bool SamePoint(CPointF a, CPointF b) {
    return std::fabs(a.x - b.x) < kGeomEpsilon && std::fabs(a.y - b.y) < kGeomEpsilon;
}

// A colour component in 0..1 as a byte, rounded: four decimals carry every byte exactly.
uint32_t ComponentByte(double v) {
    return static_cast<uint32_t>(std::clamp(RoundHalfAway(v * 255.0), 0, 255));
}

uint32_t RgbColour(double r, double g, double b) {
    return ComponentByte(r) | ComponentByte(g) << 8 | ComponentByte(b) << 16;
}

uint32_t CmykColour(double c, double m, double y, double k) {
    auto channel = [k](double v) { return 1.0 - std::min(1.0, (1.0 - k) * v + k); };
    return RgbColour(channel(c), channel(m), channel(y));
}

} // namespace

CAiReader::CAiReader(std::span<const uint8_t> data, CDrawing& target) : bytes(data), drawing(target) {}

bool CAiReader::Append(std::unique_ptr<CGraphicObject> object) {
    if (static_cast<std::size_t>(drawing.Count()) >= kMaxObjects) {
        objectsDropped = true;
        return false;
    }
    object->page = 0;
    object->group = 0;
    drawing.Add(std::move(object));
    return true;
}

bool CAiReader::Read() {
    drawing.RemoveAt(0, drawing.Count());
    if (bytes.empty()) {
        drawing.SetErrorMessage("The Illustrator file is empty.");
        return false;
    }
    PrepareAiFile(bytes, prepared);
    if (prepared.pdfWithoutIllustratorData && !prepared.inflationLimited) {
        drawing.SetErrorMessage("The file is a PDF document without Illustrator data; open it as a PDF "
                                "document instead.");
        return false;
    }
    ParseLines();
    if (drawing.Count() == 0) {
        drawing.SetErrorMessage(prepared.inflationLimited
                                    ? "The Illustrator file holds more compressed data than can be read."
                                    : "No drawing objects were found in the Illustrator file.");
        return false;
    }
    if (objectsDropped)
        drawing.AddWarning(
            "The Illustrator file holds more objects than can be read; the rest were left out.");
    if (prepared.inflationLimited)
        drawing.AddWarning("The Illustrator file holds more compressed data than can be read; part of it was "
                           "left out.");
    if (!prepared.complete)
        drawing.AddWarning(
            "The Illustrator file ends before its trailer; what came before the cut was read.");
    if (haveGroupTable)
        drawing.ApplyGroupTable(groupTable);
    FinishDrawing();
    return true;
}

std::optional<CAiReader::ColourChange> CAiReader::ParseColour(std::string_view line) {
    const char c = line.back();
    const char p = line.size() >= 2 ? line[line.size() - 2] : '\0';
    bool fillLine = false;
    bool cmykOnly = false; // "k", "K" and the custom colours " x", " X" are CMYK
    bool grey = false;
    if (c == 'k' || c == 'K') {
        if (p != ' ')
            return std::nullopt;
        fillLine = c == 'k';
        cmykOnly = true;
    } else if ((c == 'x' || c == 'a') && (p == 'x' || p == 'X')) {
        fillLine = true;
    } else if ((c == 'X' || c == 'A') && (p == 'x' || p == 'X')) {
        fillLine = false;
    } else if ((c == 'x' || c == 'X') && p == ' ') {
        fillLine = c == 'x';
        cmykOnly = true;
    } else if ((c == 'g' || c == 'G') && p == ' ') {
        // Grey levels, as Illustrator 88 files give most of their colours.
        fillLine = c == 'g';
        grey = true;
    } else {
        return std::nullopt;
    }
    ParseLineNumbers(line, numbers);
    ColourChange change;
    change.fill = fillLine;
    if (grey) {
        const double v = numbers.empty() ? 0.0 : numbers[0];
        change.colour = RgbColour(v, v, v);
    } else if (numbers.size() >= 4) {
        change.colour = CmykColour(numbers[0], numbers[1], numbers[2], numbers[3]);
    } else if (numbers.size() == 3 && !cmykOnly) {
        change.colour = RgbColour(numbers[0], numbers[1], numbers[2]);
    } else {
        change.colour = 0; // too few numbers: black
    }
    return change;
}

void CAiReader::ReadPenWidth(std::string_view line) {
    const std::size_t space = line.find(' ');
    const std::optional<double> width =
        space == std::string_view::npos ? std::nullopt : ParseAiField(line.substr(0, space));
    if (!width) {
        penWidth = 1;
        return;
    }
    penWidth = std::clamp(RoundHalfAway(*width * kUnitsPerPoint), 0, kMaxPenWidth);
}

void CAiReader::ReadDashLine(std::string_view line) {
    // A style line carrying a width as well as a dash: the last number before the "w" is the width.
    const std::size_t w = line.find('w', 1);
    if (w == std::string_view::npos)
        return;
    std::optional<double> last;
    std::size_t start = 0;
    const std::string_view head = line.substr(0, w);
    while (start < head.size()) {
        std::size_t space = head.find(' ', start);
        if (space == std::string_view::npos)
            space = head.size();
        if (space > start)
            if (const std::optional<double> v = ParseAiField(head.substr(start, space - start)))
                last = v;
        start = space + 1;
    }
    if (last)
        penWidth = std::clamp(RoundHalfAway(*last * 3.5277777), 0, kMaxPenWidth);
}

void CAiReader::StartSubpath(std::string_view line) {
    ParseLineNumbers(line, numbers);
    if (numbers.size() != 2)
        return;
    current.clear();
    inPath = true;
    const CPointF p{static_cast<float>(numbers[0]), static_cast<float>(-numbers[1])};
    current.push_back(p);
    current.push_back(p);
}

void CAiReader::AddSegment(std::string_view line, char op) {
    if (current.empty())
        return;
    ParseLineNumbers(line, numbers);
    auto point = [this](std::size_t i) {
        return CPointF{static_cast<float>(numbers[i]), static_cast<float>(-numbers[i + 1])};
    };
    const std::size_t needed = (op == 'l' || op == 'L') ? 2 : (op == 'c' || op == 'C') ? 6 : 4;
    if (numbers.size() != needed)
        return;
    // Pad so that the next point is the previous node's outgoing control point.
    const std::size_t pad = (current.size() + 1) % 3;
    for (std::size_t k = 0; k < pad; ++k)
        current.push_back(current.back());
    switch (op) {
    case 'l':
    case 'L':
        current.push_back(current.back());
        current.push_back(point(0));
        current.push_back(point(0));
        break;
    case 'c':
    case 'C':
        current.push_back(point(0));
        current.push_back(point(2));
        current.push_back(point(4));
        break;
    case 'v':
    case 'V':
        current.push_back(current.back());
        current.push_back(point(0));
        current.push_back(point(2));
        break;
    default: // 'y', 'Y'
        current.push_back(point(0));
        current.push_back(point(2));
        current.push_back(point(2));
        break;
    }
}

void CAiReader::Paint(std::string_view line) {
    if (line.size() == 1) {
        switch (line[0]) {
        case 'f':
        case 'F':
            fill = true;
            stroke = false;
            break;
        case 's':
        case 'S':
            fill = false;
            stroke = true;
            break;
        case 'b':
        case 'B':
            fill = stroke = true;
            break;
        case 'n':
        case 'N':
            fill = stroke = false;
            break;
        default:
            break;
        }
        // The lower-case operators close the subpath: a straight segment back to the start, unless the
        // subpath already ends where it began (as our own writer closes paths).
        const char op = line[0];
        if ((op == 'f' || op == 's' || op == 'b' || op == 'n') && current.size() >= 2) {
            const CPointF first = current[1];
            if (!SamePoint(first, current.back())) {
                const std::size_t pad = (current.size() + 1) % 3;
                for (std::size_t k = 0; k < pad; ++k)
                    current.push_back(current.back());
                current.push_back(current.back());
                current.push_back(first);
                current.push_back(first);
            }
        }
    }
    subpaths.push_back(std::move(current));
    current.clear();
    inPath = false;
    if (!compound)
        BuildPath(fill, stroke);
}

void CAiReader::BuildPath(bool filled, bool stroked) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    for (std::vector<CPointF>& points : subpaths) {
        if (points.empty())
            continue;
        points.push_back(points.back()); // the last node's outgoing control point
        if (points.size() < 6 || points.size() % 3 != 0)
            continue;
        CNodeArray& nodes = path->AddSubpath();
        nodes.SetSize(points.size() / 3);
        for (std::size_t i = 0; i + 2 < points.size(); i += 3)
            nodes[i / 3] = CPathNode(points[i], points[i + 1], points[i + 2], 0);
    }
    if (stroked) {
        path->penStyle = kPenSolid;
        path->penWidth = penWidth;
        path->penColor = strokeColour;
    } else {
        path->penStyle = kPenNull;
        path->penWidth = 0;
        path->penColor = fillColour;
    }
    path->brushStyle = filled ? kBrushSolid : kBrushHollow;
    object->color = filled ? fillColour : 0;
    Append(std::move(object));
    subpaths.clear();
    fill = stroke = false;
    fillSet = strokeSet = false;
}

void CAiReader::ParseLines() {
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        const char c = line.back();
        const char p = line.size() >= 2 ? line[line.size() - 2] : '\0';

        if (line.front() == '%') {
            const std::string_view rest = line.substr(1);
            if (rest.find("%AI5_BeginRaster") != std::string_view::npos ||
                line.starts_with("%AI5_BeginRaster"))
                index = ParseRaster(index);
            else if (rest.find("%!!PQ Begin Groups") != std::string_view::npos ||
                     line.starts_with("%!!PQ Begin Groups"))
                index = ParseGroups(index);
            continue;
        }
        if (c == 'o' && p == 'T') {
            const int type = std::max(0, ParseAiInt(line).value_or(0));
            index = type <= 1 ? ParseText(index, type) : ParsePathText(index);
            fillSet = strokeSet = false;
            continue;
        }
        if (c == 'o') {
            fillSet = strokeSet = false;
            continue;
        }
        if (const std::optional<ColourChange> change = ParseColour(line)) {
            // The colour in effect when a path is painted is the last one set, as in PostScript.
            if (change->fill) {
                fillColour = change->colour;
                fillSet = true;
            } else {
                strokeColour = change->colour;
                strokeSet = true;
            }
            continue;
        }
        if (c == 'R')
            continue;
        if (c == 'w') {
            ReadPenWidth(line);
            continue;
        }
        if (c == 'd') {
            ReadDashLine(line);
            continue;
        }
        if (c == 'm') {
            if (p == ' ' && line.size() >= 5 && !skipPathStarts)
                StartSubpath(line);
            else
                fillSet = strokeSet = false;
            continue;
        }
        if (c == 'u' && p == '*') {
            compound = true;
            continue;
        }
        if (c == 'U' && p == '*') {
            compound = false;
            if (skipPathStarts) {
                // The end of the underline boxes of the text before: they are part of that text.
                skipPathStarts = false;
                subpaths.clear();
                fill = stroke = fillSet = strokeSet = false;
            } else {
                BuildPath(fill, stroke);
            }
            continue;
        }
        if (c == '*') {
            current.clear();
            inPath = false;
            continue;
        }
        if (!inPath) {
            // A single underline box, painted outside a compound path, ends the skipping as well.
            if (skipPathStarts && !compound && line.size() == 1 &&
                std::string_view("fFsSbBnN").find(c) != std::string_view::npos)
                skipPathStarts = false;
            continue;
        }
        if (c == 'l' || c == 'L' || c == 'c' || c == 'C' || c == 'v' || c == 'V' || c == 'y' || c == 'Y') {
            AddSegment(line, c);
            continue;
        }
        Paint(line);
    }
}

void CAiReader::FinishDrawing() {
    for (const auto& object : drawing.Objects())
        object->RecalcBounds();
    CTransform toDocument;
    if (prepared.artSizeFound) {
        const float width = static_cast<float>(prepared.artWidth) * kUnitsPerPoint;
        const float height = static_cast<float>(prepared.artHeight) * kUnitsPerPoint;
        drawing.SetPageSize(width, height);
        // Scale is requested last and acts first: x = x_AI u - W/2, y = H/2 - y_AI u.
        toDocument.Translate(width / 2.0f, -height / 2.0f, 0.0f);
        toDocument.Scale(kUnitsPerPoint, kUnitsPerPoint, 1.0f);
    } else {
        // The content is centred on the page.
        const CPointF centre = drawing.Bounds().Center();
        toDocument.Scale(kUnitsPerPoint, kUnitsPerPoint, 1.0f);
        toDocument.Translate(centre.x, centre.y, 0.0f);
    }
    for (const auto& object : drawing.Objects()) {
        CTextShape* text = object->AsText();
        if (text != nullptr && text->mode == kTextParagraph) {
            text->position = toDocument.Apply(text->position);
            text->corner = toDocument.Apply(text->corner);
            text->height *= kUnitsPerPoint;
            object->RecalcBounds();
        } else {
            object->Transform(toDocument);
        }
    }
}

} // namespace pq
