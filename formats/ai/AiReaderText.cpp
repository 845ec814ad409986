#include "formats/ai/AiReader.h"

#include "formats/ai/AiNumbers.h"
#include "formats/ai/AiTextEncoding.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "render/FontNameMapping.h"
#include "render/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

constexpr double kUnitsPerPoint = 3.52777;

bool SamePoint(CPointF a, CPointF b) {
    return std::fabs(a.x - b.x) < kGeomEpsilon && std::fabs(a.y - b.y) < kGeomEpsilon;
}

bool IsTextRun(std::string_view line) {
    if (line.size() < 2 || line[line.size() - 2] != 'T')
        return false;
    const char c = line.back();
    return c == 'x' || c == 'k' || c == 'j' || c == '+' || c == '-';
}

void EraseAll(std::string& s, std::string_view what) {
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at))
        s.erase(at, what.size());
}

// The angle of a text matrix in degrees, normalised to whole degrees in 0 .. 359.
double NormalisedAngle(double degrees) {
    int32_t whole = RoundHalfAway(degrees) % 360;
    if (whole < 0)
        whole += 360;
    return whole;
}

} // namespace

void CAiReader::ReadFont(std::string_view line) {
    std::size_t at = line.find("/_");
    std::size_t skip = 2;
    if (at == std::string_view::npos) {
        at = line.find('/');
        skip = 1;
    }
    if (at == std::string_view::npos)
        return;
    const std::size_t nameStart = at + skip;
    const std::size_t nameEnd = std::min(line.find(' ', nameStart), line.size());
    std::string name(line.substr(nameStart, nameEnd - nameStart));
    style = 0;
    EraseAll(name, "Regular");
    if (name.find("Bold") != std::string::npos) {
        EraseAll(name, "Bold");
        style |= kTextStyleBold;
    }
    for (const std::string_view slant : {"Italic", "Oblique"})
        if (name.find(slant) != std::string::npos) {
            EraseAll(name, slant);
            style |= kTextStyleItalic;
        }
    const std::size_t dash = name.find('-', 1);
    if (dash != std::string::npos)
        name.erase(dash, 1);
    std::u16string wide;
    for (const char ch : name)
        wide += static_cast<char16_t>(static_cast<unsigned char>(ch));
    fontName = MapFontName(wide, FontNameDirection::PostScriptToDevice);

    std::string_view rest = line.substr(nameEnd);
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    const std::size_t space = rest.find(' ');
    const std::optional<double> height =
        space == std::string_view::npos ? std::nullopt : ParseAiField(rest.substr(0, space));
    fontHeight = height ? std::clamp(*height, kMinTextHeight, kMaxTextHeight) : 16.0;
}

void CAiReader::ReadMatrix(std::string_view line, TextState& state) {
    ParseLineNumbers(line.substr(0, line.size() - 1), numbers); // without the "T" before the operator
    double m[6] = {0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 6 && i < numbers.size(); ++i)
        m[i] = numbers[i];
    state.angle = std::fabs(m[0]) >= kGeomEpsilon ? std::atan2(m[1], m[0]) * 57.29578 : m[1] * 90.0;
    state.position = {static_cast<float>(m[4]), static_cast<float>(-m[5])};
}

void CAiReader::FinishPointText(std::unique_ptr<CGraphicObject> object, const TextState& state) {
    CTextShape* text = object->AsText();
    text->mode = kTextArtistic;
    text->angle = static_cast<float>(NormalisedAngle(state.angle));
    const double theta = text->angle * 0.017453292;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    double x = state.position.x;
    double y = state.position.y;
    // Measure at document scale, as the writer measured.
    const float height = text->height;
    text->height = static_cast<float>(height * kUnitsPerPoint);
    const double block = MeasureTextBlock(*text).x;
    text->height = height;
    if (text->alignment == kAlignCentre) {
        x -= block * c * 0.14173259;
        y += block * s * 0.14173259;
    } else if (text->alignment == kAlignRight) {
        x -= block * 0.28346518 * c;
        y += block * 0.28346518 * s;
    }
    x -= height * s;
    y -= height * c;
    text->position = {static_cast<float>(x), static_cast<float>(y)};
    Append(std::move(object));
}

std::size_t CAiReader::ParseText(std::size_t index, int type) {
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* text = object->AsText();
    TextState state;
    if (fillSet || strokeSet) {
        state.fill = fillSet;
        state.stroke = strokeSet;
        state.fillColour = fillColour;
        state.strokeColour = strokeColour;
    } else if (haveTextColours) {
        state.fill = lastTextColours.fill;
        state.stroke = lastTextColours.stroke;
        state.fillColour = lastTextColours.fillColour;
        state.strokeColour = lastTextColours.strokeColour;
    }
    bool coloured = fillSet || strokeSet;
    bool firstTd = true;
    bool discard = false;
    std::vector<CPointF> box;
    std::u16string content;

    for (++index; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (line == "TO")
            break;
        if (discard)
            continue;
        if (line.front() == '%') {
            if (line.starts_with("%!!PQ underline"))
                style |= kTextStyleUnderline;
            else if (line.starts_with("%!!PQ italic"))
                style |= kTextStyleItalic;
            else if (std::optional<std::u16string> exact = DecodeExactText(line))
                state.exactText = std::move(exact);
            continue;
        }
        const char c = line.back();
        const char p = line.size() >= 2 ? line[line.size() - 2] : '\0';
        if (p == 'T' && c == 'p') {
            ReadMatrix(line, state);
        } else if (p == 'T' && c == 'r') {
            const char mode = line.front();
            if (mode == '0') {
                state.fill = true;
                state.stroke = false;
            } else if (mode == '1') {
                state.fill = false;
                state.stroke = true;
            } else if (mode == '2') {
                state.fill = state.stroke = true;
            } else if (mode == '3') {
                discard = true; // invisible text
            }
        } else if (p == 'T' && c == 'a') {
            state.alignment = line.front() == '1'   ? kAlignCentre
                              : line.front() == '2' ? kAlignRight
                                                    : kAlignLeft;
        } else if (p == 'T' && c == 'd') {
            if (type == 1 && firstTd) {
                firstTd = false;
                ParseLineNumbers(line.substr(0, line.size() - 1), numbers);
                if (numbers.size() >= 2)
                    state.position +=
                        CPointF{static_cast<float>(numbers[0]), static_cast<float>(-numbers[1])};
            }
        } else if (p == 'T' && c == 'f') {
            ReadFont(line);
        } else if (IsTextRun(line)) {
            DecodeAiRun(line, content);
        } else if (const std::optional<ColourChange> change = ParseColour(line)) {
            coloured = true;
            if (change->fill) {
                state.fillColour = change->colour;
                state.fill = true;
            } else {
                state.strokeColour = change->colour;
                state.stroke = true;
            }
        } else if (c == 'm' && p == ' ') {
            ParseLineNumbers(line, numbers);
            if (numbers.size() == 2) {
                box.clear();
                box.push_back({static_cast<float>(numbers[0]), static_cast<float>(-numbers[1])});
            }
        } else if ((c == 'l' || c == 'L') && p == ' ') {
            ParseLineNumbers(line, numbers);
            if (numbers.size() == 2 && !box.empty())
                box.push_back({static_cast<float>(numbers[0]), static_cast<float>(-numbers[1])});
        }
    }
    if (discard)
        return index;
    if (coloured) {
        haveTextColours = true;
        lastTextColours = state;
    }

    text->text = state.exactText ? std::move(*state.exactText) : std::move(content);
    text->faceName = fontName;
    text->height = static_cast<float>(fontHeight);
    text->style = style;
    text->alignment = state.alignment;
    object->color = state.fill ? state.fillColour : state.stroke ? state.strokeColour : 0;
    if ((style & kTextStyleUnderline) != 0)
        skipPathStarts = true;

    if (type == 1) {
        text->mode = kTextParagraph;
        text->angle = 0.0f;
        // The frame: an axis-parallel rectangle of five anchors, the last on the first.
        bool rectangle = box.size() == 5 && SamePoint(box[0], box[4]);
        for (std::size_t i = 0; rectangle && i < 4; ++i) {
            const CPointF a = box[i];
            const CPointF b = box[i + 1];
            rectangle = std::fabs(a.x - b.x) < kGeomEpsilon || std::fabs(a.y - b.y) < kGeomEpsilon;
        }
        if (rectangle) {
            float left = box[0].x, right = box[0].x, top = box[0].y, bottom = box[0].y;
            for (std::size_t i = 1; i < 4; ++i) {
                left = std::min(left, box[i].x);
                right = std::max(right, box[i].x);
                top = std::min(top, box[i].y);
                bottom = std::max(bottom, box[i].y);
            }
            text->position = {left, top};
            text->corner = {right, bottom};
        } else {
            text->position = state.position;
            const float height = text->height;
            text->height = static_cast<float>(height * kUnitsPerPoint);
            const CPointF size = MeasureTextBlock(*text);
            text->height = height;
            text->corner = state.position + CPointF{static_cast<float>(size.x / kUnitsPerPoint),
                                                    static_cast<float>(size.y / kUnitsPerPoint)};
        }
        Append(std::move(object));
    } else {
        FinishPointText(std::move(object), state);
    }
    return index;
}

std::size_t CAiReader::ParsePathText(std::size_t index) {
    TextState state;
    if (fillSet || strokeSet) {
        state.fill = fillSet;
        state.stroke = strokeSet;
        state.fillColour = fillColour;
        state.strokeColour = strokeColour;
    } else if (haveTextColours) {
        state = lastTextColours;
    }
    state.alignment = kAlignLeft;
    for (++index; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (line == "TO")
            break;
        if (line.front() == '%') {
            if (line.starts_with("%!!PQ underline"))
                style |= kTextStyleUnderline;
            else if (line.starts_with("%!!PQ italic"))
                style |= kTextStyleItalic;
            continue;
        }
        const char c = line.back();
        const char p = line.size() >= 2 ? line[line.size() - 2] : '\0';
        if (p == 'T' && (c == 'p' || c == 'm')) {
            ReadMatrix(line, state);
        } else if (p == 'T' && c == 'r') {
            if (line.front() == '3')
                break;
            state.fill = line.front() == '0' || line.front() == '2';
            state.stroke = line.front() == '1' || line.front() == '2';
        } else if (p == 'T' && c == 'a') {
            state.alignment = line.front() == '1'   ? kAlignCentre
                              : line.front() == '2' ? kAlignRight
                                                    : kAlignLeft;
        } else if (p == 'T' && c == 'f') {
            ReadFont(line);
        } else if (IsTextRun(line)) {
            std::u16string run;
            if (!DecodeAiRun(line, run))
                continue;
            auto object = std::make_unique<CGraphicObject>(kKindText);
            CTextShape* text = object->AsText();
            text->text = std::move(run);
            text->faceName = fontName;
            text->height = static_cast<float>(fontHeight);
            text->style = style;
            text->alignment = state.alignment;
            object->color = state.fill ? state.fillColour : state.stroke ? state.strokeColour : 0;
            FinishPointText(std::move(object), state);
        } else if (const std::optional<ColourChange> change = ParseColour(line)) {
            if (change->fill) {
                state.fillColour = change->colour;
                state.fill = true;
            } else {
                state.strokeColour = change->colour;
                state.stroke = true;
            }
        }
    }
    // A "Tr 3" line ends the block early: its remaining lines are passed over as well.
    while (index < lines.size() && lines[index] != "TO")
        ++index;
    return index;
}

} // namespace pq
