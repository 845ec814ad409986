#include "formats/metafile/EmfWriter.h"

#include "formats/metafile/EmfRecords.h"
#include "geometry/Numeric.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "render/TextLayout.h"

#include <cmath>
#include <numbers>

namespace pq {

namespace {

constexpr uint32_t kFontHandle = 3;
constexpr uint32_t kTransparent = 1;
// Face names longer than this are cut, leaving the logical font's terminator in place.
constexpr std::size_t kMaxFaceLength = 29;

double AlignmentOffset(int32_t alignment, double blockWidth, double lineWidth) {
    if (alignment == kAlignCentre)
        return (blockWidth - lineWidth) / 2.0;
    if (alignment == kAlignRight)
        return blockWidth - lineWidth;
    return 0.0;
}

} // namespace

int CEmfWriter::WriteText(const CGraphicObject& object, const CTextShape& text) {
    const CTextMetrics& metrics = GetTextMetrics();
    emr::WriteValue(out, emr::kSetBkMode, kTransparent);
    emr::WriteValue(out, emr::kSetTextColor, object.color & 0xFFFFFF);

    emr::CCreateFont font;
    font.handle = kFontHandle;
    font.height = LogicalLength(text.height);
    font.escapement = RoundHalfAway(text.angle * 10.0);
    font.orientation = font.escapement;
    font.weight = (text.style & kTextStyleBold) != 0 ? 700 : 0;
    font.italic = (text.style & kTextStyleItalic) != 0 ? 1 : 0;
    font.underline = (text.style & kTextStyleUnderline) != 0 ? 1 : 0;
    font.face = text.faceName.substr(0, kMaxFaceLength);
    font.Write(out);
    emr::WriteValue(out, emr::kSelectObject, kFontHandle);

    int written = 0;
    const auto writeLine = [&](const std::u16string& line, CPointF at) {
        if (line.empty())
            return;
        emr::CTextOut record;
        record.reference = Logical(at);
        record.text = line;
        record.advances.reserve(line.size());
        for (char16_t c : line)
            record.advances.push_back(
                LogicalLength(metrics.MeasureString(text, std::u16string_view(&c, 1)).x));
        record.Write(out);
        ++written;
    };

    const double lineHeight = metrics.MeasureString(text, u"a").y;
    if (text.mode == kTextParagraph) {
        const double x1 = text.position.x;
        const double x2 = text.corner.x;
        const double y1 = text.position.y;
        const double y2 = text.corner.y;
        if (y1 + lineHeight <= y2 + 1.0) {
            std::size_t index = 0;
            for (int i = 0; index < text.text.size() && y1 + (i + 1) * lineHeight <= y2 + 1.0; ++i) {
                const std::u16string line = GetWrappedLine(text, index);
                const double w = metrics.MeasureString(text, line).x;
                double x = x1;
                if (text.alignment == kAlignCentre)
                    x = x1 + (std::fabs(x2 - x1) - w) / 2.0;
                else if (text.alignment == kAlignRight)
                    x = x2 - w;
                writeLine(line, {static_cast<float>(x), static_cast<float>(y1 + i * lineHeight)});
            }
        }
    } else {
        const double radians = text.angle * std::numbers::pi / 180.0;
        const double c = std::cos(radians);
        const double s = std::sin(radians);
        const double blockWidth = MeasureTextBlock(text).x;
        double x0 = text.position.x;
        double y0 = text.position.y;
        std::size_t index = 0;
        const int count = CountTextLines(text);
        for (int k = 0; k < count; ++k) {
            const std::u16string line = GetTextLine(text, index);
            if (!line.empty()) {
                const double o =
                    AlignmentOffset(text.alignment, blockWidth, metrics.MeasureString(text, line).x);
                writeLine(line, {static_cast<float>(x0 + o * c), static_cast<float>(y0 - o * s)});
            }
            x0 += lineHeight * s;
            y0 += lineHeight * c;
        }
    }
    emr::WriteValue(out, emr::kDeleteObject, kFontHandle);
    return written;
}

} // namespace pq
