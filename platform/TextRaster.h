#pragma once

#include "geometry/Rect.h"
#include "platform/DibSection.h"
#include "platform/Font.h"

#include <cstdint>
#include <limits>
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

} // namespace pq
