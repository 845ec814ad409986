#include "formats/ai/AiWriter.h"

#include "formats/ai/AiNumbers.h"
#include "formats/ai/AiTextEncoding.h"
#include "geometry/Numeric.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "render/FontNameMapping.h"
#include "render/TextLayout.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace pq {

namespace {

constexpr double kPointsPerUnit = 0.28346518;
constexpr double kHalfPointsPerUnit = 0.14173259;

// One line of a text as the file shows it: what the string carries, whether a line break of the text
// ends it, and its width in document units.
struct AiTextLine {
    std::u16string text;
    bool endsParagraph = false;
    double width = 0.0;
};

double AlignmentOffset(int32_t alignment, double available, double width) {
    if (alignment == kAlignCentre)
        return (available - width) * kHalfPointsPerUnit;
    if (alignment == kAlignRight)
        return (available - width) * kPointsPerUnit;
    return 0.0;
}

// The lines of a text. Paragraph text is broken to the frame's width; each line keeps the spaces at
// which it was broken, so that the lines put together again give the text exactly.
std::vector<AiTextLine> TextLines(const CTextShape& text, float frameWidth) {
    std::vector<AiTextLine> lines;
    const CTextMetrics& metrics = GetTextMetrics();
    const std::u16string& s = text.text;
    std::size_t index = 0;
    if (text.mode == kTextParagraph) {
        while (index < s.size()) {
            const std::size_t start = index;
            const std::u16string shown = GetWrappedLine(text, index, std::trunc(frameWidth));
            if (index <= start)
                break;
            AiTextLine line;
            line.text = s.substr(start, index - start);
            if (line.text.ends_with(u"\r\n")) {
                line.text.resize(line.text.size() - 2);
                line.endsParagraph = true;
            }
            line.width = metrics.MeasureString(text, shown).x;
            lines.push_back(std::move(line));
        }
        return lines;
    }
    const int count = CountTextLines(text);
    for (int k = 0; k < count; ++k) {
        AiTextLine line;
        line.text = GetTextLine(text, index);
        line.endsParagraph = k + 1 < count;
        line.width = metrics.MeasureString(text, line.text).x;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string Latin1(std::u16string_view s) {
    std::string out;
    for (const char16_t c : s)
        out += c <= 0xFF && c > 0x20 ? static_cast<char>(c) : '?';
    return out;
}

// The PostScript name a text's font is written with: the face's PostScript name with the style's
// suffix, placed before a trailing "MT" as Monotype's names have it.
std::string PostScriptFontName(const CTextShape& text) {
    std::string name = Latin1(MapFontName(text.faceName, FontNameDirection::DeviceToPostScript));
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const bool tahoma = upper.find("TAHOMA") != std::string::npos;
    const bool bold = (text.style & kTextStyleBold) != 0;
    const bool italic = (text.style & kTextStyleItalic) != 0;
    std::string suffix;
    if (bold && italic)
        suffix = tahoma ? "-Bold" : "-BoldItalic"; // Tahoma has no italic face: the marker line tells
    else if (bold)
        suffix = "-Bold";
    else if (italic && !tahoma)
        suffix = "-Italic";
    const std::size_t mt = name.find("MT");
    if (mt != std::string::npos)
        name.insert(mt, suffix);
    else
        name += suffix;

    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if ((lower.find("arial") != std::string::npos && lower.find("mt") != std::string::npos) ||
        lower.find("couriernew") != std::string::npos || lower.find("timesnewroman") != std::string::npos) {
        const std::size_t at = lower.find("mt");
        if (at != std::string::npos)
            name.erase(at, 2);
        name += "MT";
    }
    return name;
}

} // namespace

bool CAiWriter::WriteText(const CGraphicObject& object, const CTextShape& text) {
    int32_t degrees = RoundHalfAway(text.angle) % 360;
    if (degrees < 0)
        degrees += 360;
    const double theta = degrees * 0.017453292;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const bool paragraph = text.mode == kTextParagraph;
    const double h = text.height * kPointsPerUnit; // the height in points
    const CPointF position = ToAi(text.position);
    const CPointF corner = ToAi(text.corner);
    const float frameWidth = std::fabs(text.corner.x - text.position.x);

    const std::vector<AiTextLine> lines = TextLines(text, frameWidth);
    const double block = paragraph ? frameWidth : MeasureTextBlock(text).x;

    if (!paragraph) {
        const double o = AlignmentOffset(text.alignment, block, 0.0);
        const double bx = position.x + h * s;
        const double by = position.y + h * c;
        const double x = bx + o * c;
        const double y = by - o * s;
        Line("0 To");
        Numbers({c, s, -s, c, x, -y});
        Line(" 0 Tp");
        Line("TP");
        if (o > 0.0) {
            AppendAiFixed(file, -o, 3);
            Line(" 0 Td");
        }
    } else {
        Line("1 To");
        Numbers({c, s, -s, c, position.x, -position.y});
        Line(" 0 Tp");
        Line("0 w");
        Line("0 XR");
        const CPointF box[5] = {position, {corner.x, position.y}, corner, {position.x, corner.y}, position};
        for (int i = 0; i < 5; ++i) {
            AppendAiFixed(file, box[i].x, 4);
            file += ' ';
            AppendAiFixed(file, -box[i].y, 4);
            Line(i == 0 ? " m" : " L");
        }
        Line("n");
        Line("TP");
        // From the frame's top down to the first baseline.
        const double anchorY = position.y + h * c;
        file += "0 ";
        AppendAiFixed(file, position.y - anchorY, 4);
        Line(" Td");
    }
    ColourLine(object.color, true);
    Line("0 Tr");

    const std::string font = PostScriptFontName(text);
    file += "/_" + font + " ";
    AppendAiNumber(file, h);
    Line(" Tf");
    std::string upperFace = font;
    std::transform(upperFace.begin(), upperFace.end(), upperFace.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    if ((text.style & kTextStyleItalic) != 0 && upperFace.find("TAHOMA") != std::string::npos)
        Line("%!!PQ italic");
    if ((text.style & kTextStyleUnderline) != 0)
        Line("%!!PQ underline");
    if (NeedsExactText(text.text))
        Line(EncodeExactText(text.text));
    Line(text.alignment == kAlignCentre ? "1 Ta" : text.alignment == kAlignRight ? "2 Ta" : "0 Ta");

    // The leading: 1.2 times the height in whole points, on half points.
    const double leading = RoundHalfAway(12.0 * RoundHalfAway(h) / 5.0) / 2.0;
    std::vector<double> offsets(lines.size(), 0.0);
    double previous = 0.0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        offsets[k] = AlignmentOffset(text.alignment, block, lines[k].width);
        const double d = offsets[k] - previous;
        previous = offsets[k];
        if (k == 0) {
            if (std::fabs(d) >= kGeomEpsilon) {
                AppendAiFixed(file, d, 4);
                Line(" 0 Td");
            }
        } else {
            AppendAiFixed(file, d, 4);
            file += " -";
            AppendAiFixed(file, leading, 1);
            Line(" Td");
        }
        Line("(" + EncodeAiString(lines[k].text) + (lines[k].endsParagraph ? "\\r" : "") + ") Tx");
    }
    Line("(\\r) TX");
    Line("TO");

    if ((text.style & kTextStyleUnderline) == 0)
        return true;
    // The underline: one filled box per line, half a sixteenth of the height thick each side of the
    // baseline. The boxes always form one compound path, so that the reader knows where they end.
    const double t = h / 16.0;
    Line("*u");
    if (!paragraph) {
        const double tx = t * s;
        const double ty = t * c;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const double down = static_cast<double>(k + 1) * leading;
            const double px = position.x + down * s + offsets[k] * c;
            const double py = position.y + down * c - offsets[k] * s;
            const double length = lines[k].width * kPointsPerUnit;
            const double qx = px + length * c;
            const double qy = py - length * s;
            const CPointF corners[4] = {{float(px + tx), float(-py - ty)},
                                        {float(qx + tx), float(-qy - ty)},
                                        {float(qx - tx), float(ty - qy)},
                                        {float(px - tx), float(ty - py)}};
            WriteUnderlineBox(object.color, corners);
        }
    } else {
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const double baseline = position.y + static_cast<double>(k + 1) * leading;
            if (baseline > corner.y + 1.0)
                break;
            const double xs = position.x + offsets[k];
            const double xe = xs + lines[k].width * kPointsPerUnit;
            const CPointF corners[4] = {{float(xs), float(-baseline - t)},
                                        {float(xe), float(-baseline - t)},
                                        {float(xe), float(t - baseline)},
                                        {float(xs), float(t - baseline)}};
            WriteUnderlineBox(object.color, corners);
        }
    }
    Line("*U");
    return true;
}

} // namespace pq
