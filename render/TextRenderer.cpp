#include "render/TextRenderer.h"

#include "geometry/Numeric.h"
#include "geometry/ViewMapping.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "platform/DeviceContext.h"
#include "platform/TextRaster.h"
#include "render/TextFont.h"
#include "render/TextLayout.h"

#include <cmath>
#include <cstdlib>

namespace pq {

namespace {

// The width of "a" in a font, in pixels.
int32_t WidthOfA(const CFont& font) {
    return font.GetTextExtent(u"a").cx;
}

// Device fonts are whole pixels high, so a text can come out noticeably wider or narrower than at
// document scale. When the width of "a" differs by 3 or more pixels (wider) or more than 5 (narrower),
// a font one pixel lower or higher is tried and kept unless it is worse.
void CorrectHeight(const CTextShape& text, const CViewMapping& mapping, CFont& font) {
    const float docWidth = GetTextMetrics().MeasureString(text, u"a").x;
    const int32_t expected = mapping.DocToDeviceX(docWidth) - mapping.DocToDeviceX(0.0f);
    const int32_t d = WidthOfA(font) - expected;
    if (d >= -5 && d < 3)
        return;

    const int32_t deviceHeight = mapping.DocToDeviceY(text.height);
    CTextShape other;
    other.CopyFrom(text);
    other.height = mapping.DeviceToDocY(static_cast<float>(d >= 3 ? deviceHeight - 1 : deviceHeight + 1));
    CFont candidate;
    if (!CreateTextFont(other, &mapping, candidate))
        return;
    const int32_t d2 = WidthOfA(candidate) - expected;
    const bool worse =
        d >= 3 ? (std::abs(d2) > std::abs(d) && d2 < -5) : (std::abs(d2) > std::abs(d) || d2 > 9);
    if (!worse)
        font = std::move(candidate);
}

void DrawArtistic(const CTextShape& text, CDibSection& dib, const CFont& font, const CViewMapping& mapping,
                  const CTextRasterOptions& options) {
    const int32_t lineHeight = font.GetTextExtent(u"a").cy;
    const int32_t blockWidth = font.CalcTextBlock(text.text).cx;
    const double a = text.angle * 0.017453292;
    const double c = std::cos(a);
    const double s = std::sin(a);
    int32_t x0 = mapping.DocToDeviceX(text.position.x);
    int32_t y0 = mapping.DocToDeviceY(text.position.y);
    std::size_t index = 0;
    const int lines = CountTextLines(text);
    for (int k = 0; k < lines; ++k) {
        const std::u16string line = GetTextLine(text, index);
        const int32_t lineWidth = font.GetTextExtent(line).cx;
        int32_t offset = 0;
        if (text.alignment == kAlignRight)
            offset = blockWidth - lineWidth;
        else if (text.alignment == kAlignCentre)
            offset = (blockWidth - lineWidth) / 2;
        const CPoint at{x0 + RoundHalfAway(c * offset), y0 - RoundHalfAway(s * offset)};
        RenderTextLine(dib, font, at, line, options);
        x0 += RoundHalfAway(s * lineHeight);
        y0 += RoundHalfAway(c * lineHeight);
    }
}

void DrawParagraph(const CTextShape& text, CDeviceContext& dc, CDibSection& dib, const CFont& font,
                   const CViewMapping& mapping, const CTextRasterOptions& options) {
    const int32_t x1 = mapping.DocToDeviceX(text.position.x);
    const int32_t y1 = mapping.DocToDeviceY(text.position.y);
    const int32_t x2 = mapping.DocToDeviceX(text.corner.x);
    const int32_t y2 = mapping.DocToDeviceY(text.corner.y);
    const int32_t lineHeight = font.GetTextExtent(u"a").cy;
    const float frameHeight = text.corner.y - text.position.y;
    const float frameWidth = text.corner.x - text.position.x;

    float usedHeight = 0.0f; // at document scale
    int32_t y = y1;
    std::size_t index = 0;
    while (index < text.text.size()) {
        const std::size_t before = index;
        const std::u16string line = GetWrappedLine(text, index, frameWidth);
        usedHeight += GetTextMetrics().MeasureString(text, line.empty() ? std::u16string_view(u"a") : line).y;
        if (usedHeight > frameHeight + 1.0f || index == before)
            break;
        const int32_t lineWidth = font.GetTextExtent(line).cx;
        int32_t x = x1;
        if (text.alignment == kAlignRight)
            x = x2 - lineWidth;
        else if (text.alignment == kAlignCentre)
            x = x1 + (x2 - x1 - lineWidth) / 2;
        RenderTextLine(dib, font, CPoint{x, y}, line, options);
        y += lineHeight;
    }
    dc.DrawFocusRect(CRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
}

} // namespace

void DrawText(const CGraphicObject& object, const CTextShape& text, CDeviceContext& dc,
              const CViewMapping& mapping) {
    CDibSection* dib = dc.GetBitmap();
    if (dib == nullptr)
        return;
    CFont font;
    if (!CreateTextFont(text, &mapping, font))
        return;
    CorrectHeight(text, mapping, font);

    CTextRasterOptions options;
    options.color = object.color;
    options.clip = dc.GetClipBox();
    if (text.mode == kTextParagraph)
        DrawParagraph(text, dc, *dib, font, mapping, options);
    else
        DrawArtistic(text, *dib, font, mapping, options);
}

} // namespace pq
