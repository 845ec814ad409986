#pragma once

#include "geometry/Rect.h"
#include "platform/DibSection.h"
#include "platform/Font.h"

#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

namespace pq {

struct CTextRasterOptions {
    uint32_t color = 0; // 0x00BBGGRR
    // Pixels outside this rectangle (right and bottom exclusive) and outside the bitmap stay untouched.
    CRect clip{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min(),
               std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};
    // An opaque background fills the text's cell (turned with it) before the glyphs are drawn.
    bool opaque = false;
    uint32_t backgroundColor = 0xFFFFFF;
    // Antialiased glyph edges are blended over the pixels; aliased ones set a pixel when at least half
    // of it is covered.
    bool antialias = true;
};

// Draws one line of text into a 24- or 32-bit bitmap. origin is the top-left corner of the text's
// cell before turning; the line runs along the font's escapement, counter-clockwise on the screen, and
// the font's underline and strike-out are drawn with it. Coverage c (0..255) mixes each channel as
// (d * (255 - c) + s * c + 127) / 255, so fully covered pixels take the text colour exactly. Returns
// the rectangle of pixels written (empty when none, or for other bit depths).
CRect RenderTextLine(CDibSection& dib, const CFont& font, CPoint origin, std::u16string_view text,
                     const CTextRasterOptions& options);

// One line of text whose glyphs the caller places, so that a line laid out at one size can be drawn at
// any other without its width drifting: each glyph is the font's outline scaled by glyphScale, with its
// origin on the baseline at its pen distance from the start, along the font's escapement.
struct CGlyphRun {
    // Where the baseline starts, in device pixels (fractions count).
    double baseX = 0.0;
    double baseY = 0.0;
    std::u16string_view text;
    // text.size() + 1 distances along the baseline in device pixels: pen[k] places the glyph of the code
    // point starting at unit k (the value at the second unit of a pair is not used) and pen[text.size()]
    // is the length of the line, which underline, strike-out and opaque background cover.
    std::span<const double> pen;
    // Device pixels per pixel of the font, for the outlines, the bars and the background.
    double glyphScale = 1.0;
};

// Draws a placed line into a 24- or 32-bit bitmap, as RenderTextLine does (which is the run of the
// font's own whole-pixel advances from the baseline under origin, unscaled). Upright glyphs land on
// quarter pixels along the line and whole pixels across it; turned ones where they fall. A run whose pen
// does not hold text.size() + 1 distances draws nothing. Returns the rectangle of pixels written.
CRect RenderGlyphRun(CDibSection& dib, const CFont& font, const CGlyphRun& run,
                     const CTextRasterOptions& options);

} // namespace pq
