#include "render/FontTextMetrics.h"

#include "model/TextShape.h"

#include "geometry/Numeric.h"
#include "platform/Utf16.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace pq {

namespace {

// The advances of a string summed from its start: a run's width is the difference of two sums, held to
// the largest width a single measure reports.
class CAdvanceRuns : public CTextRuns {
public:
    CAdvanceRuns(const CFont* font, std::u16string_view s) : sums(s.size() + 1, 0) {
        std::size_t i = 0;
        int64_t sum = 0;
        while (i < s.size()) {
            const std::size_t start = i;
            const char32_t c = NextCodePoint(s, i);
            sum += font != nullptr ? font->GetCharAdvance(c) : 0;
            // The second unit of a pair is no boundary; it reads as the end of its code point.
            for (std::size_t k = start + 1; k <= i; ++k)
                sums[k] = sum;
        }
    }
    [[nodiscard]] float Width(std::size_t begin, std::size_t end) const override {
        const int64_t width = sums[end] - sums[begin];
        return static_cast<float>(std::min<int64_t>(width, INT32_MAX));
    }

private:
    std::vector<int64_t> sums;
};

} // namespace

CLogFont CFontTextMetrics::DocumentScaleFont(const CTextShape& text) {
    CLogFont logFont;
    const int32_t h = RoundHalfAway(std::fabs(text.height));
    logFont.height = h == 0 ? -1 : -h;
    logFont.weight = (text.style & kTextStyleBold) != 0 ? kFontWeightBold : kFontWeightNormal;
    logFont.italic = (text.style & kTextStyleItalic) != 0;
    logFont.underline = (text.style & kTextStyleUnderline) != 0;
    logFont.faceName = text.faceName;
    return logFont;
}

const CFont* CFontTextMetrics::FontFor(const CTextShape& text) const {
    CLogFont wanted = DocumentScaleFont(text);
    // The font keeps a cut face name; compare with the same cut so a long name still hits the cache.
    wanted.faceName = wanted.faceName.substr(0, CLogFont::kMaxFaceNameLength);
    if (!lastFont.IsValid() || !(lastLogFont == wanted)) {
        if (!lastFont.Create(wanted))
            return nullptr;
        lastLogFont = wanted;
    }
    return &lastFont;
}

CPointF CFontTextMetrics::MeasureString(const CTextShape& text, std::u16string_view s) const {
    const CFont* font = FontFor(text);
    if (font == nullptr)
        return {};
    const CTextSize size = font->GetTextExtent(s);
    return {static_cast<float>(size.cx), static_cast<float>(size.cy)};
}

std::unique_ptr<CTextRuns> CFontTextMetrics::MeasureRuns(const CTextShape& text,
                                                         std::u16string_view s) const {
    return std::make_unique<CAdvanceRuns>(FontFor(text), s);
}

CRectF CFontTextMetrics::MeasureArtisticBounds(const CTextShape& text) const {
    const CFont* font = FontFor(text);
    if (font == nullptr)
        return RotatedTextBlockBounds(text.position, 0.0f, 0.0f, text.angle);
    const CTextSize block = font->CalcTextBlock(text.text);
    return RotatedTextBlockBounds(text.position, static_cast<float>(block.cx), static_cast<float>(block.cy),
                                  text.angle);
}

CTextLineSteps MeasureLineSteps(const CTextShape& text) {
    CTextLineSteps steps;
    steps.lineHeight = GetTextMetrics().MeasureString(text, u"a").y;
    CFont measured;
    if (!measured.Create(CFontTextMetrics::DocumentScaleFont(text)))
        return steps;
    const CTextMetric& metrics = measured.GetTextMetrics();
    if (metrics.height > 0)
        steps.ascent =
            steps.lineHeight * static_cast<float>(metrics.ascent) / static_cast<float>(metrics.height);
    return steps;
}

void InstallFontTextMetrics() {
    static const CFontTextMetrics metrics;
    SetTextMetrics(&metrics);
}

} // namespace pq
