#include "platform/TextRaster.h"

#include "platform/FontLibrary.h"
#include "platform/Utf16.h"

#include "geometry/Numeric.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>

namespace pq {

namespace {

// Where the rasteriser's spans land: the bitmap rows, the region they may touch, the colour.
struct CSpanTarget {
    uint8_t* bits = nullptr;
    std::size_t pitch = 0;
    int32_t rows = 0;
    bool bottomUp = true;
    int32_t bytesPerPixel = 3;
    CRect region;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool antialias = true;
    CRect touched;

    // Row y counted from the top; bottom-up bitmaps keep it at memory row rows - 1 - y.
    [[nodiscard]] uint8_t* Row(int32_t y) const {
        const int32_t memoryRow = bottomUp ? rows - 1 - y : y;
        return bits + static_cast<std::size_t>(memoryRow) * pitch;
    }
};

uint8_t Mix(uint8_t destination, uint8_t source, unsigned coverage) {
    return static_cast<uint8_t>((destination * (255u - coverage) + source * coverage + 127u) / 255u);
}

void BlendRun(CSpanTarget& t, int32_t screenY, int32_t x0, int32_t x1, unsigned coverage) {
    if (screenY < t.region.top || screenY >= t.region.bottom)
        return;
    if (!t.antialias)
        coverage = coverage >= 128 ? 255 : 0;
    x0 = std::max(x0, t.region.left);
    x1 = std::min(x1, t.region.right);
    if (coverage == 0 || x0 >= x1)
        return;
    uint8_t* row = t.Row(screenY);
    if (coverage == 255) { // inside the glyph: the text colour as it is, what Mix gives at full coverage
        for (int32_t x = x0; x < x1; ++x) {
            uint8_t* p = row + static_cast<std::size_t>(x) * t.bytesPerPixel;
            p[0] = t.blue;
            p[1] = t.green;
            p[2] = t.red;
            if (t.bytesPerPixel == 4)
                p[3] = 0;
        }
    } else {
        for (int32_t x = x0; x < x1; ++x) {
            uint8_t* p = row + static_cast<std::size_t>(x) * t.bytesPerPixel;
            p[0] = Mix(p[0], t.blue, coverage);
            p[1] = Mix(p[1], t.green, coverage);
            p[2] = Mix(p[2], t.red, coverage);
            if (t.bytesPerPixel == 4)
                p[3] = 0;
        }
    }
    if (t.touched.IsEmpty()) {
        t.touched = CRect(x0, screenY, x1, screenY + 1);
    } else {
        t.touched.left = std::min(t.touched.left, x0);
        t.touched.right = std::max(t.touched.right, x1);
        t.touched.top = std::min(t.touched.top, screenY);
        t.touched.bottom = std::max(t.touched.bottom, screenY + 1);
    }
}

// The rasteriser works with y up: its row y covers screen row -y - 1.
void WriteSpans(int y, int count, const FT_Span* spans, void* user) {
    auto& t = *static_cast<CSpanTarget*>(user);
    for (int k = 0; k < count; ++k)
        BlendRun(t, -y - 1, spans[k].x, spans[k].x + spans[k].len, spans[k].coverage);
}

void RecordSpans(int y, int count, const FT_Span* spans, void* user) {
    auto& out = *static_cast<CFontFace::CGlyphSpans*>(user);
    for (int k = 0; k < count; ++k)
        out.push_back({spans[k].x, -y - 1, spans[k].len, spans[k].coverage});
}

// Upright glyphs up to this em size on the device keep their coverage for the next time they are drawn.
constexpr int64_t kMaxCachedPixelSize26 = 256 * 64;
// Glyphs are never drawn larger than this em size in pixels: far beyond any bitmap, and small enough
// that their outlines stay inside the rasteriser's coordinate range.
constexpr double kMaxDeviceEm = 131072.0;
// Upright glyphs are placed on quarter pixels along the line.
constexpr int kPhases = 4;

// Scales a loaded outline (26.6 pixels, y up) by scale, turns it counter-clockwise by the angle whose
// cosine and sine are given and moves its origin to the device point (x, y) (y down).
void PlaceOutline(FT_Outline* outline, double scale, double cosA, double sinA, double x, double y) {
    const double xx = scale * cosA, xy = -scale * sinA, yx = scale * sinA, yy = scale * cosA;
    const double tx = x * 64.0, ty = -y * 64.0;
    for (int i = 0; i < outline->n_points; ++i) {
        FT_Vector& p = outline->points[i];
        const double px = static_cast<double>(p.x), py = static_cast<double>(p.y);
        // Nearest 1/64 pixel; the glyph lies near the bitmap, far inside the range of a position.
        p.x = static_cast<FT_Pos>(std::floor(xx * px + xy * py + tx + 0.5));
        p.y = static_cast<FT_Pos>(std::floor(yx * px + yy * py + ty + 0.5));
    }
}

// The coverage of an upright glyph with its origin at (phase / kPhases, 0), drawn deviceEm26 / 64 pixels
// to the em, rasterised on first use. The key holds everything the coverage depends on.
const CFontFace::CGlyphSpans& UprightGlyphSpans(const CFont& font, uint32_t glyph, int64_t deviceEm26,
                                                int phase) {
    CFontFace& face = *font.GetFontFace();
    const uint64_t key = static_cast<uint64_t>(font.GetPixelSize26()) << 40 |
                         static_cast<uint64_t>(deviceEm26) << 25 | static_cast<uint64_t>(phase) << 23 |
                         static_cast<uint64_t>(font.IsSyntheticBold()) << 22 |
                         static_cast<uint64_t>(font.IsSyntheticItalic()) << 21 | (glyph & 0x1FFFFF);
    if (const CFontFace::CGlyphSpans* known = face.FindGlyphSpans(key))
        return *known;
    CFontFace::CGlyphSpans spans;
    if (font.LoadGlyphOutline(glyph)) {
        FT_Outline* outline = &face.GetFace()->glyph->outline;
        const double scale = static_cast<double>(deviceEm26) / static_cast<double>(font.GetPixelSize26());
        if (deviceEm26 != font.GetPixelSize26() || phase != 0)
            PlaceOutline(outline, scale, 1.0, 0.0, static_cast<double>(phase) / kPhases, 0.0);
        FT_Raster_Params params{};
        params.source = outline;
        params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT;
        params.gray_spans = RecordSpans;
        params.user = &spans;
        FT_Outline_Render(CFontLibrary::Get().GetLibrary(), outline, &params);
    }
    return face.StoreGlyphSpans(key, std::move(spans));
}

void RenderOutline(FT_Outline* outline, CSpanTarget& target) {
    FT_BBox box;
    FT_Outline_Get_CBox(outline, &box);
    // Outlines that miss the region cost nothing more (the rasteriser would scan them all the same).
    if (box.xMax / 64 + 1 <= target.region.left || box.xMin / 64 - 1 >= target.region.right ||
        -box.yMin / 64 + 1 <= target.region.top || -box.yMax / 64 - 1 >= target.region.bottom)
        return;
    FT_Raster_Params params{};
    params.source = outline;
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = WriteSpans;
    params.user = &target;
    params.clip_box.xMin = target.region.left;
    params.clip_box.xMax = target.region.right;
    params.clip_box.yMin = -static_cast<FT_Pos>(target.region.bottom);
    params.clip_box.yMax = -static_cast<FT_Pos>(target.region.top);
    FT_Outline_Render(CFontLibrary::Get().GetLibrary(), outline, &params);
}

struct CScreenPoint {
    double x = 0.0;
    double y = 0.0;
};

// Clips a convex polygon to a rectangle (Sutherland-Hodgman), so that a bar along a very long text
// reaches the rasteriser with coordinates near the bitmap.
std::vector<CScreenPoint> ClipConvex(std::vector<CScreenPoint> polygon, double left, double top, double right,
                                     double bottom) {
    auto clipEdge = [&polygon](auto inside, auto intersect) {
        std::vector<CScreenPoint> out;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const CScreenPoint a = polygon[i];
            const CScreenPoint b = polygon[(i + 1) % polygon.size()];
            const bool ina = inside(a);
            const bool inb = inside(b);
            if (ina)
                out.push_back(a);
            if (ina != inb)
                out.push_back(intersect(a, b));
        }
        polygon = std::move(out);
    };
    auto atX = [](CScreenPoint a, CScreenPoint b, double x) {
        const double t = (x - a.x) / GuardDivisor(b.x - a.x);
        return CScreenPoint{x, a.y + (b.y - a.y) * t};
    };
    auto atY = [](CScreenPoint a, CScreenPoint b, double y) {
        const double t = (y - a.y) / GuardDivisor(b.y - a.y);
        return CScreenPoint{a.x + (b.x - a.x) * t, y};
    };
    clipEdge([&](CScreenPoint p) { return p.x >= left; },
             [&](CScreenPoint a, CScreenPoint b) { return atX(a, b, left); });
    clipEdge([&](CScreenPoint p) { return p.x <= right; },
             [&](CScreenPoint a, CScreenPoint b) { return atX(a, b, right); });
    clipEdge([&](CScreenPoint p) { return p.y >= top; },
             [&](CScreenPoint a, CScreenPoint b) { return atY(a, b, top); });
    clipEdge([&](CScreenPoint p) { return p.y <= bottom; },
             [&](CScreenPoint a, CScreenPoint b) { return atY(a, b, bottom); });
    return polygon;
}

// The layout of one line: the baseline's start on the screen and the unit vectors along the line and
// down from it.
struct CLineFrame {
    double baseX = 0.0;
    double baseY = 0.0;
    double cosA = 1.0;
    double sinA = 0.0;

    [[nodiscard]] CScreenPoint At(double along, double down) const {
        return {baseX + along * cosA + down * sinA, baseY - along * sinA + down * cosA};
    }
};

// Fills the quadrilateral along = [a0, a1], down = [d0, d1] of the line (down measured from the baseline).
void FillBar(const CLineFrame& frame, double a0, double a1, double d0, double d1, CSpanTarget& target) {
    if (a1 <= a0 || d1 <= d0)
        return;
    std::vector<CScreenPoint> quad{frame.At(a0, d0), frame.At(a1, d0), frame.At(a1, d1), frame.At(a0, d1)};
    quad = ClipConvex(std::move(quad), target.region.left - 2.0, target.region.top - 2.0,
                      target.region.right + 2.0, target.region.bottom + 2.0);
    if (quad.size() < 3)
        return;
    using ContourIndex = std::remove_pointer_t<decltype(FT_Outline::contours)>;
    std::vector<FT_Vector> points(quad.size());
    std::vector<char> tags(quad.size(), FT_CURVE_TAG_ON);
    for (std::size_t i = 0; i < quad.size(); ++i) {
        points[i].x = RoundHalfAway(quad[i].x * 64.0);
        points[i].y = -RoundHalfAway(quad[i].y * 64.0);
    }
    ContourIndex lastPoint = static_cast<ContourIndex>(quad.size() - 1);
    FT_Outline outline{};
    outline.n_contours = 1;
    outline.n_points = static_cast<decltype(outline.n_points)>(quad.size());
    outline.points = points.data();
    outline.tags = tags.data();
    outline.contours = &lastPoint;
    outline.flags = FT_OUTLINE_NONE;
    RenderOutline(&outline, target);
}

// The directions of a font's lines: quarter turns are exact, so upright and upended text lands on whole
// pixels.
CLineFrame FontDirections(const CFont& font) {
    const int32_t escapement = ((font.GetLogFont().escapement % 3600) + 3600) % 3600;
    CLineFrame frame;
    switch (escapement) {
    case 0:
        frame.cosA = 1.0, frame.sinA = 0.0;
        break;
    case 900:
        frame.cosA = 0.0, frame.sinA = 1.0;
        break;
    case 1800:
        frame.cosA = -1.0, frame.sinA = 0.0;
        break;
    case 2700:
        frame.cosA = 0.0, frame.sinA = -1.0;
        break;
    default: {
        const double a = escapement / 10.0 * 3.14159265358979323846 / 180.0;
        frame.cosA = std::cos(a);
        frame.sinA = std::sin(a);
    }
    }
    return frame;
}

CRect DrawRun(CDibSection& dib, const CFont& font, const CGlyphRun& run, const CTextRasterOptions& options) {
    const uint16_t bitCount = dib.GetBitCount();
    if (!font.IsValid() || dib.IsEmpty() || (bitCount != 24 && bitCount != 32))
        return {};
    if (run.pen.size() != run.text.size() + 1 || !std::isfinite(run.baseX) || !std::isfinite(run.baseY) ||
        !std::isfinite(run.glyphScale) || run.glyphScale <= 0.0)
        return {};
    CSpanTarget target;
    target.bits = dib.GetBits().data();
    target.pitch = dib.GetBytesPerRow();
    target.rows = dib.GetHeight();
    target.bottomUp = dib.GetHeader().height > 0;
    target.bytesPerPixel = bitCount / 8;
    target.region =
        CRect(std::max(0, options.clip.left), std::max(0, options.clip.top),
              std::min(dib.GetWidth(), options.clip.right), std::min(target.rows, options.clip.bottom));
    target.antialias = options.antialias;
    if (target.region.IsEmpty())
        return {};

    CLineFrame frame = FontDirections(font);
    frame.baseX = run.baseX;
    frame.baseY = run.baseY;
    const bool turned = !(frame.cosA == 1.0 && frame.sinA == 0.0);
    const double fontEm = static_cast<double>(font.GetPixelSize26()) / 64.0;
    const double scale = std::min(run.glyphScale, kMaxDeviceEm / fontEm);
    const CTextMetric& metrics = font.GetTextMetrics();
    const double width = run.pen.back();

    if (options.opaque) {
        target.red = options.backgroundColor & 0xFF;
        target.green = (options.backgroundColor >> 8) & 0xFF;
        target.blue = (options.backgroundColor >> 16) & 0xFF;
        FillBar(frame, 0.0, width, -metrics.ascent * scale, metrics.descent * scale, target);
    }
    target.red = options.color & 0xFF;
    target.green = (options.color >> 8) & 0xFF;
    target.blue = (options.color >> 16) & 0xFF;

    // Upright glyphs up to a modest size are rasterised once per size and quarter pixel, and reused.
    const int64_t deviceEm26 =
        std::max<int64_t>(1, RoundHalfAway(static_cast<double>(font.GetPixelSize26()) * scale));
    const bool cached = !turned && deviceEm26 <= kMaxCachedPixelSize26;
    // No part of a glyph lies further from its origin than a few em sizes.
    const double reach = 4.0 * std::max<double>(fontEm, metrics.height) * scale + 2.0;

    std::size_t i = 0;
    while (i < run.text.size()) {
        const std::size_t start = i;
        const char32_t c = NextCodePoint(run.text, i);
        const double along = run.pen[start];
        if (!std::isfinite(along))
            continue;
        const CScreenPoint at = frame.At(along, 0.0);
        if (at.x + reach < target.region.left || at.x - reach > target.region.right ||
            at.y + reach < target.region.top || at.y - reach > target.region.bottom)
            continue;
        const uint32_t glyph = font.GetGlyphIndex(c);
        if (cached) {
            const auto quarters = static_cast<int64_t>(std::floor(at.x * kPhases + 0.5));
            const auto x = static_cast<int32_t>(quarters >= 0 ? quarters / kPhases
                                                              : -((-quarters + kPhases - 1) / kPhases));
            const auto phase = static_cast<int>(quarters - static_cast<int64_t>(x) * kPhases);
            const int32_t y = RoundHalfAway(at.y);
            for (const CFontFace::CCoverageSpan& span : UprightGlyphSpans(font, glyph, deviceEm26, phase))
                BlendRun(target, y + span.y, x + span.x, x + span.x + span.length, span.coverage);
            continue;
        }
        if (!font.LoadGlyphOutline(glyph))
            continue;
        FT_Outline* outline = &font.GetFontFace()->GetFace()->glyph->outline;
        PlaceOutline(outline, scale, frame.cosA, frame.sinA, at.x, at.y);
        RenderOutline(outline, target);
    }

    const CLogFont& logFont = font.GetLogFont();
    if (logFont.underline) {
        const double top = font.GetUnderlineOffset() * scale;
        FillBar(frame, 0.0, width, top, top + std::max(1.0, font.GetUnderlineThickness() * scale), target);
    }
    if (logFont.strikeOut) {
        const double top = font.GetStrikeOutOffset() * scale;
        FillBar(frame, 0.0, width, top, top + std::max(1.0, font.GetStrikeOutThickness() * scale), target);
    }
    return target.touched;
}

} // namespace

CRect RenderTextLine(CDibSection& dib, const CFont& font, CPoint origin, std::u16string_view text,
                     const CTextRasterOptions& options) {
    if (!font.IsValid())
        return {};
    // The font's own whole-pixel advances, from the baseline under the cell's top-left corner.
    std::vector<double> pen(text.size() + 1, 0.0);
    int64_t sum = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        const int32_t advance = font.GetCharAdvance(NextCodePoint(text, i));
        for (std::size_t k = start; k < i; ++k)
            pen[k] = static_cast<double>(sum);
        sum += advance;
    }
    pen[text.size()] = static_cast<double>(std::min<int64_t>(sum, INT32_MAX));
    const CLineFrame frame = FontDirections(font);
    const CLineFrame cell{static_cast<double>(origin.x), static_cast<double>(origin.y), frame.cosA,
                          frame.sinA};
    const CScreenPoint baseline = cell.At(0.0, font.GetTextMetrics().ascent);
    CGlyphRun run;
    run.baseX = baseline.x;
    run.baseY = baseline.y;
    run.text = text;
    run.pen = pen;
    return DrawRun(dib, font, run, options);
}

CRect RenderGlyphRun(CDibSection& dib, const CFont& font, const CGlyphRun& run,
                     const CTextRasterOptions& options) {
    return DrawRun(dib, font, run, options);
}

} // namespace pq
