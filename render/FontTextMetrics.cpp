#include "render/FontTextMetrics.h"

#include "model/TextShape.h"

#include "geometry/Numeric.h"

#include <cmath>

namespace pq {

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

CRectF CFontTextMetrics::MeasureArtisticBounds(const CTextShape& text) const {
    const CFont* font = FontFor(text);
    if (font == nullptr)
        return RotatedTextBlockBounds(text.position, 0.0f, 0.0f, text.angle);
    const CTextSize block = font->CalcTextBlock(text.text);
    return RotatedTextBlockBounds(text.position, static_cast<float>(block.cx), static_cast<float>(block.cy),
                                  text.angle);
}

void InstallFontTextMetrics() {
    static const CFontTextMetrics metrics;
    SetTextMetrics(&metrics);
}

} // namespace pq
