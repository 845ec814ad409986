#include "render/TextRenderer.h"

#include "geometry/Numeric.h"
#include "geometry/ViewMapping.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "platform/DeviceContext.h"
#include "platform/TextRaster.h"
#include "render/FontTextMetrics.h"
#include "render/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace pq {

namespace {

// Lines are laid out at document scale, with the advances the model measures; drawing maps that layout
// through the view, so a line the layout says fits is drawn inside its frame at every zoom. Only the
// glyph outlines come from a second font, a whole-pixel em size at least as large as the device's.
struct CTextDraw {
    CFont glyphs;            // the text's face, turned with the text
    double glyphScale = 1.0; // device pixels per pixel of glyphs
    double scale = 1.0;      // device pixels per document unit
    float lineHeight = 0.0f; // document units from one line's top to the next
    float ascent = 0.0f;     // document units from a line's top to its baseline
};

// The text's angle in tenths of a degree, 0..3599.
int32_t EscapementOf(float angle) {
    double degrees = std::fmod(static_cast<double>(angle), 360.0);
    if (!std::isfinite(degrees))
        return 0;
    if (degrees < 0.0)
        degrees += 360.0;
    return RoundHalfAway(degrees * 10.0) % 3600;
}

bool PrepareDraw(const CTextShape& text, const CViewMapping& mapping, CTextDraw& draw) {
    // The font the model measures the text with, for the size of its em and where its baseline lies.
    const CLogFont measuredFont = CFontTextMetrics::DocumentScaleFont(text);
    CFont measured;
    if (!measured.Create(measuredFont))
        return false;
    draw.scale = mapping.GetScale();
    const CTextLineSteps steps = MeasureLineSteps(text);
    draw.lineHeight = steps.lineHeight;
    draw.ascent = steps.ascent;

    // Outlines are loaded at the measured em times a power of two no smaller than the zoom, so that
    // scaling them down to the device keeps their points to a fraction of a pixel.
    const double em = static_cast<double>(measured.GetPixelSize26()) / 64.0;
    const double deviceEm = em * draw.scale;
    int64_t size = std::max<int64_t>(1, -static_cast<int64_t>(measuredFont.height));
    for (int doubling = 0; doubling < 16 && static_cast<double>(size) < deviceEm && size < 10000; ++doubling)
        size *= 2;
    CLogFont glyphFont = measuredFont;
    glyphFont.height = -static_cast<int32_t>(std::min<int64_t>(size, 10000));
    glyphFont.escapement = EscapementOf(text.angle);
    glyphFont.orientation = glyphFont.escapement;
    if (!draw.glyphs.Create(glyphFont))
        return false;
    draw.glyphScale = deviceEm / (static_cast<double>(draw.glyphs.GetPixelSize26()) / 64.0);
    return true;
}

// Draws one line whose baseline starts at the document point baseline: each glyph at the device image of
// the document position its advances give it.
void DrawLine(CDibSection& dib, const CTextDraw& draw, const CViewMapping& mapping, CPointF baseline,
              std::u16string_view line, const CTextRuns& runs, const CTextRasterOptions& options) {
    std::vector<double> pen(line.size() + 1, 0.0);
    for (std::size_t k = 1; k <= line.size(); ++k) {
        const bool secondOfPair = k < line.size() && line[k] >= 0xDC00 && line[k] <= 0xDFFF &&
                                  line[k - 1] >= 0xD800 && line[k - 1] <= 0xDBFF;
        pen[k] = secondOfPair ? pen[k - 1] : draw.scale * static_cast<double>(runs.Width(0, k));
    }
    const CPointF base = mapping.DocToDevicef(baseline);
    CGlyphRun run;
    run.baseX = base.x;
    run.baseY = base.y;
    run.text = line;
    run.pen = pen;
    run.glyphScale = draw.glyphScale;
    RenderGlyphRun(dib, draw.glyphs, run, options);
}

void DrawArtistic(const CTextShape& text, CDibSection& dib, const CTextDraw& draw,
                  const CViewMapping& mapping, const CTextRasterOptions& options) {
    // Lines advance and stack as the text's bounds are measured: along (cos a, -sin a), down (sin a, cos a).
    const float a = text.angle * 0.017453292f;
    const CPointF along{std::cos(a), -std::sin(a)};
    const CPointF down{std::sin(a), std::cos(a)};
    const float blockWidth = MeasureTextBlock(text).x;
    std::size_t index = 0;
    const int lines = CountTextLines(text);
    for (int k = 0; k < lines; ++k) {
        const std::u16string line = GetTextLine(text, index);
        const std::unique_ptr<CTextRuns> runs = GetTextMetrics().MeasureRuns(text, line);
        const float lineWidth = runs->Width(0, line.size());
        float offset = 0.0f;
        if (text.alignment == kAlignRight)
            offset = blockWidth - lineWidth;
        else if (text.alignment == kAlignCentre)
            offset = (blockWidth - lineWidth) / 2.0f;
        const CPointF baseline =
            text.position + along * offset + down * (static_cast<float>(k) * draw.lineHeight + draw.ascent);
        DrawLine(dib, draw, mapping, baseline, line, *runs, options);
    }
}

void DrawParagraph(const CTextShape& text, CDeviceContext& dc, CDibSection& dib, const CTextDraw& draw,
                   const CViewMapping& mapping, const CTextRasterOptions& options) {
    const float frameHeight = text.corner.y - text.position.y;
    const float frameWidth = text.corner.x - text.position.x;
    const bool upright = draw.glyphs.GetLogFont().escapement == 0;
    // No part of a glyph reaches further below its line's top than a few line heights.
    const double reach = 4.0 * std::max<double>(draw.lineHeight, std::fabs(text.height)) * draw.scale + 2.0;

    float usedHeight = 0.0f; // at document scale
    std::size_t index = 0;
    while (index < text.text.size()) {
        const std::size_t before = index;
        const std::u16string line = GetWrappedLine(text, index, frameWidth);
        const float top = text.position.y + usedHeight;
        usedHeight += GetTextMetrics().MeasureString(text, line.empty() ? std::u16string_view(u"a") : line).y;
        if (usedHeight > frameHeight + 1.0f || index == before)
            break;
        // Lines only go down: once one starts below the clip, so do all that follow.
        if (upright && mapping.DocToDeviceYf(top) - reach > static_cast<double>(options.clip.bottom))
            break;
        const std::unique_ptr<CTextRuns> runs = GetTextMetrics().MeasureRuns(text, line);
        const float lineWidth = runs->Width(0, line.size());
        float x = text.position.x;
        if (text.alignment == kAlignRight)
            x = text.corner.x - lineWidth;
        else if (text.alignment == kAlignCentre)
            x = text.position.x + (frameWidth - lineWidth) / 2.0f;
        DrawLine(dib, draw, mapping, CPointF{x, top + draw.ascent}, line, *runs, options);
    }
    const int32_t x1 = mapping.DocToDeviceX(text.position.x);
    const int32_t y1 = mapping.DocToDeviceY(text.position.y);
    const int32_t x2 = mapping.DocToDeviceX(text.corner.x);
    const int32_t y2 = mapping.DocToDeviceY(text.corner.y);
    dc.DrawFocusRect(CRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
}

} // namespace

void DrawText(const CGraphicObject& object, const CTextShape& text, CDeviceContext& dc,
              const CViewMapping& mapping) {
    CDibSection* dib = dc.GetBitmap();
    if (dib == nullptr)
        return;
    CTextDraw draw;
    if (!PrepareDraw(text, mapping, draw))
        return;

    CTextRasterOptions options;
    options.color = object.color;
    options.clip = dc.GetClipBox();
    if (text.mode == kTextParagraph)
        DrawParagraph(text, dc, *dib, draw, mapping, options);
    else
        DrawArtistic(text, *dib, draw, mapping, options);
}

} // namespace pq
