#include "native/PdfReader.h"

#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "native/PdfLineReader.h"
#include "native/PdfNumbers.h"
#include "native/PdfTextEncoding.h"
#include "render/FontNameMapping.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq {

namespace {

// Text heights in points outside this range are damage, not text.
constexpr double kMinTextHeight = 0.01;
constexpr double kMaxTextHeight = 10000.0;
constexpr double kMaxCoordinate = 1e7;

uint32_t ParseTextColour(std::string_view line) {
    uint32_t colour = 0;
    for (int i = 0; i < 3; ++i) {
        const double v = ParseNumber(line).value_or(0.0);
        const int32_t byte = std::clamp(RoundHalfAway(v * 255.0), 0, 255);
        colour |= static_cast<uint32_t>(byte) << (8 * i);
    }
    return colour;
}

double Coordinate(std::string_view& s) {
    return std::clamp(ParseNumber(s).value_or(0.0), -kMaxCoordinate, kMaxCoordinate);
}

} // namespace

void CPdfReader::ParseText(CPdfLineReader& lines, int page, int mode, GraphicsState& state) {
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* text = object->AsText();
    text->mode = mode;
    text->alignment = kAlignLeft;
    text->height = 16.0f;
    std::u16string shown;
    std::optional<std::u16string> exact;
    bool firstTd = true;
    int shownLines = 0;
    bool haveFrame = false;
    CRectF frame;
    int32_t degrees = 0;
    CPointF baseline;

    std::string_view line;
    while (lines.Next(line) && line != "ET") {
        if (line.size() < 2)
            continue;
        if (EndsWith(line, "DP") && Contains(line, "/Alignment")) {
            std::string_view rest = line.substr(line.find("/Alignment") + 10);
            const int32_t value = ParseInt(rest).value_or(0);
            text->alignment = value == 2 ? kAlignCentre : value == 3 ? kAlignRight : kAlignLeft;
        } else if (mode == kTextParagraph && (EndsWith(line, " m") || EndsWith(line, " l"))) {
            std::string_view rest = line;
            const double x = Coordinate(rest);
            const double y = Coordinate(rest);
            const CPointF p{static_cast<float>(x), static_cast<float>(-y)};
            if (!haveFrame)
                frame = {p.x, p.x, p.y, p.y};
            frame.Include(p);
            haveFrame = true;
        } else if (EndsWith(line, "rg")) {
            state.fillColour = ParseTextColour(line);
            state.fillSeen = true;
        } else if (EndsWith(line, "RG")) {
            state.strokeColour = ParseTextColour(line);
            state.strokeSeen = true;
        } else if (EndsWith(line, "Tf")) {
            const std::size_t at = line.find("/F");
            std::string_view rest = at == std::string_view::npos ? std::string_view() : line.substr(at + 2);
            const int32_t index = ParseInt(rest).value_or(0) - 13;
            const std::optional<double> height = ParseNumber(rest);
            text->height =
                static_cast<float>(height ? std::clamp(*height, kMinTextHeight, kMaxTextHeight) : 16.0);
            std::u16string name;
            if (index >= 0 && static_cast<std::size_t>(index) < fontNames.size())
                name = fontNames[static_cast<std::size_t>(index)];
            text->style &= kTextStyleUnderline;
            if (name.find(u"Bold") != std::u16string::npos)
                text->style |= kTextStyleBold;
            if (name.find(u"Italic") != std::u16string::npos)
                text->style |= kTextStyleItalic;
            name = name.substr(0, name.find(u','));
            text->faceName = MapFontName(name, FontNameDirection::PostScriptToDevice);
        } else if (EndsWith(line, "Tm")) {
            std::string_view rest = line;
            const double a = ParseNumber(rest).value_or(1.0);
            const double b = ParseNumber(rest).value_or(0.0);
            (void)ParseNumber(rest); // the rotation's other two entries repeat a and b
            (void)ParseNumber(rest);
            const double x = Coordinate(rest);
            const double y = Coordinate(rest);
            const double angle = std::fabs(a) < 1e-8 ? b * 90.0 : std::atan2(b, a) * 57.29578;
            degrees = RoundHalfAway(angle) % 360;
            if (degrees < 0)
                degrees += 360;
            baseline = {static_cast<float>(x), static_cast<float>(-y)};
        } else if (EndsWith(line, "Tj")) {
            ++shownLines;
            const std::size_t open = line.find('(');
            const std::size_t close = line.rfind(')');
            if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
                for (char c : line.substr(open + 1, close - open - 1))
                    shown += static_cast<char16_t>(static_cast<uint8_t>(c));
            }
        } else if (EndsWith(line, "Td")) {
            if (!firstTd)
                shown += u"\r\n";
            firstTd = false;
        } else if (line == "%Underline") {
            text->style |= kTextStyleUnderline;
        } else if (!exact) {
            exact = DecodeTextComment(line);
        }
    }

    // The exact text travels in its comment; files without one show their lines as they stand.
    text->text = exact ? std::move(*exact) : std::move(shown);
    const double radians = degrees * std::numbers::pi / 180.0;
    text->angle = static_cast<float>(degrees);
    text->position = baseline - CPointF{static_cast<float>(text->height * std::sin(radians)),
                                        static_cast<float>(text->height * std::cos(radians))};
    if (mode == kTextParagraph) {
        text->angle = 0.0f;
        if (haveFrame) {
            text->position = {frame.left, frame.top};
            text->corner = {frame.right, frame.bottom};
        }
    }
    // An underline strokes each shown line once, right after the text; a text that shows no line (empty,
    // or a paragraph too small for one) has no strokes, and the path after it is a path of its own.
    state.underlineStrokes = (text->style & kTextStyleUnderline) != 0 ? shownLines : 0;
    object->color = state.fillSeen ? state.fillColour : state.strokeSeen ? state.strokeColour : 0;
    object->page = page;
    if (page >= 0 && page < pageCount)
        Append(std::move(object));
}

} // namespace pq
