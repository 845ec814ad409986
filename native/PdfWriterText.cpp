#include "native/PdfWriter.h"

#include "geometry/Numeric.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "native/PdfNumbers.h"
#include "native/PdfTextEncoding.h"
#include "render/FontTextMetrics.h"
#include "render/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq {

namespace {

// One line as shown: its text, its alignment offset from the block's left edge in points and its width
// in points.
struct ShownLine {
    std::u16string text;
    double offset = 0.0;
    double width = 0.0;
};

double AlignmentOffset(int32_t alignment, double blockWidth, double lineWidth) {
    if (alignment == kAlignCentre)
        return (blockWidth - lineWidth) * 0.14173259;
    if (alignment == kAlignRight)
        return (blockWidth - lineWidth) * 0.28346518;
    return 0.0;
}

void AppendNumbers(std::string& out, std::initializer_list<double> values, int decimals) {
    bool first = true;
    for (double v : values) {
        if (!first)
            out += ' ';
        first = false;
        AppendFixed(out, v, decimals);
    }
}

// The lines a text shows, in document units measured at document scale. Paragraph text keeps only the
// lines that fit the frame's height.
std::vector<ShownLine> LayOutLines(const CTextShape& text) {
    std::vector<ShownLine> lines;
    const CTextMetrics& metrics = GetTextMetrics();
    if (text.mode == kTextParagraph) {
        const float frameWidth = std::fabs(text.corner.x - text.position.x);
        float remaining = std::fabs(text.corner.y - text.position.y);
        const float threshold = metrics.MeasureString(text, u"a").y - 1.0f;
        if (remaining < threshold)
            return lines;
        std::size_t index = 0;
        while (index < text.text.size()) {
            ShownLine line;
            // The width the editor wraps at, so that every viewer breaks the lines where the editor does.
            line.text = GetWrappedLine(text, index, frameWidth);
            const CPointF size = metrics.MeasureString(text, line.text);
            line.width = size.x;
            line.offset = AlignmentOffset(text.alignment, frameWidth, size.x);
            lines.push_back(std::move(line));
            remaining -= size.y;
            if (remaining < threshold)
                break;
        }
        return lines;
    }
    const double blockWidth = MeasureTextBlock(text).x;
    std::size_t index = 0;
    const int count = CountTextLines(text);
    for (int k = 0; k < count; ++k) {
        ShownLine line;
        line.text = GetTextLine(text, index);
        line.width = metrics.MeasureString(text, line.text).x;
        line.offset = AlignmentOffset(text.alignment, blockWidth, line.width);
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

void CPdfWriter::AppendText(std::string& out, const CGraphicObject& object, const CTextShape& text) const {
    int32_t degrees = RoundHalfAway(text.angle) % 360;
    if (degrees < 0)
        degrees += 360;
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const bool paragraph = text.mode == kTextParagraph;
    const float height = text.height * kPointsPerUnit;
    const CPointF position = toPdf.Apply(text.position);
    const CPointF corner = toPdf.Apply(text.corner);

    const std::vector<ShownLine> lines = LayOutLines(text);
    const double width = paragraph ? static_cast<double>(corner.x) - position.x
                                   : static_cast<double>(MeasureTextBlock(text).x) * kPointsPerUnit;
    const double x0 = position.x + height * s;
    const double y0 = position.y + height * c;
    double xa = x0;
    double ya = y0;
    if (text.alignment == kAlignCentre) {
        xa = x0 + width * c / 2.0;
        ya = y0 - width * s / 2.0;
    } else if (text.alignment == kAlignRight) {
        xa = x0 + width * c;
        ya = y0 - width * s;
    }

    out += paragraph ? "/InPathText" : "/PointText";
    out += "<</Matrix [";
    AppendNumbers(out, {c, -s, s, c, xa, -ya}, 4);
    out += "]/Vertical false >> BDC\r\n";
    if (paragraph) {
        const CPointF frame[] = {position, {corner.x, position.y}, corner, {position.x, corner.y}, position};
        for (std::size_t i = 0; i < 5; ++i) {
            AppendNumbers(out, {frame[i].x, -frame[i].y}, 4);
            out += i == 0 ? " m\r\n" : " l\r\n";
        }
        out += "h\r\nn\r\n";
    }
    out += "/Pgf BMC\r\n";
    if (text.alignment == kAlignLeft)
        out += "/PgfFormat<</Alignment 1 >> DP\r\n";
    else if (text.alignment == kAlignCentre)
        out += "/PgfFormat<</Alignment 2 >> DP\r\n";
    else if (text.alignment == kAlignRight)
        out += "/PgfFormat<</Alignment 3 >> DP\r\n";

    out += "BT\r\n";
    AppendColour(out, object.color, "rg");
    out += "/F";
    AppendInt(out, textFonts.at(&text) + 13);
    out += ' ';
    AppendFixed(out, height, 2);
    out += " Tf\r\n";
    AppendNumbers(out, {c, s, -s, c, x0, -y0}, 4);
    out += " Tm\r\n";

    // Lines step and sit as the editor draws them: the first baseline lies the font's ascent below the
    // text's top (the text matrix starts one height below it), later ones a line height apart.
    const CTextLineSteps steps = MeasureLineSteps(text);
    const double leading = static_cast<double>(steps.lineHeight) * kPointsPerUnit;
    const double rise = height - static_cast<double>(steps.ascent) * kPointsPerUnit;
    double previousOffset = 0.0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k > 0)
            out += "EMC\r\n/Pgf BMC\r\n";
        const double dx = lines[k].offset - previousOffset;
        previousOffset = lines[k].offset;
        const double dy = k == 0 ? rise : -leading;
        if (std::fabs(dx) < 1e-8 && std::fabs(dy) < 1e-8) {
            out += "0 0 Td\r\n";
        } else {
            AppendNumbers(out, {dx, dy}, 4);
            out += " Td\r\n";
        }
        out += '(';
        out += EncodeLiteralString(lines[k].text);
        out += ") Tj\r\n";
        // The exact text, which the shown lines cannot always carry, right after the first line.
        if (k == 0) {
            out += EncodeTextComment(text.text);
            out += "\r\n";
        }
    }
    if (lines.empty() && !text.text.empty()) {
        out += EncodeTextComment(text.text);
        out += "\r\n";
    }
    const bool underline = (text.style & kTextStyleUnderline) != 0;
    if (underline)
        out += "%Underline\r\n";
    out += "ET\r\nEMC\r\nEMC\r\n";
    if (!underline || lines.empty())
        return;

    // The bar as the editor draws it: its top the font's underline offset below each baseline.
    CFont layoutFont;
    const bool measured = layoutFont.Create(CFontTextMetrics::DocumentScaleFont(text));
    const double thickness = std::max(1, measured ? layoutFont.GetUnderlineThickness() : 1) * kPointsPerUnit;
    const double barTop = measured ? layoutFont.GetUnderlineOffset() * kPointsPerUnit : 0.0;
    AppendFixed(out, thickness, 6);
    out += " w\r\n";
    AppendColour(out, object.color, "RG");
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const double down =
            steps.ascent * kPointsPerUnit + static_cast<double>(k) * leading + barTop + thickness / 2.0;
        double x;
        double y;
        double dxLine;
        double dyLine;
        if (paragraph) {
            x = position.x + lines[k].offset;
            y = position.y + down;
            dxLine = lines[k].width * kPointsPerUnit;
            dyLine = 0.0;
        } else {
            x = position.x + down * s + lines[k].offset * c;
            y = position.y + down * c - lines[k].offset * s;
            dxLine = lines[k].width * kPointsPerUnit * c;
            dyLine = -lines[k].width * kPointsPerUnit * s;
        }
        AppendNumbers(out, {x, -y}, 6);
        out += " m\r\n";
        AppendNumbers(out, {x + dxLine, -(y + dyLine)}, 6);
        out += " l\r\n";
    }
    out += "S\r\n";
}

} // namespace pq
