#include "formats/svg/SvgTextHelpers.h"

#include "model/TextMetrics.h"
#include "model/TextShape.h"
#include "platform/Font.h"
#include "render/FontTextMetrics.h"

namespace pq {

float TextLineHeight(const CTextShape& text) {
    return GetTextMetrics().MeasureString(text, u"a").y;
}

float TextAscent(const CTextShape& text) {
    CLogFont logFont = CFontTextMetrics::DocumentScaleFont(text);
    logFont.faceName = logFont.faceName.substr(0, CLogFont::kMaxFaceNameLength);
    CFont font;
    const float lineHeight = TextLineHeight(text);
    if (!font.Create(logFont))
        return 0.8f * lineHeight;
    const CTextMetric& metrics = font.GetTextMetrics();
    // Measured in the same font as the line height; scaled in case the measurer is a different one.
    if (metrics.height <= 0)
        return 0.8f * lineHeight;
    return static_cast<float>(metrics.ascent) * lineHeight / static_cast<float>(metrics.height);
}

} // namespace pq
