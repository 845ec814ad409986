#pragma once

#include "geometry/Rect.h"

#include <cstdint>
#include <vector>

namespace pq {

struct CNewObjectStyle;

// What the Color button shows: the line and fill colours new objects get. A swatch that is "none" (no
// line, no fill) shows white crossed by a red diagonal.
struct CColorSwatch {
    bool none = false;
    uint32_t color = 0; // 0x00BBGGRR

    bool operator==(const CColorSwatch&) const = default;
};

struct CColorButtonFace {
    CColorSwatch line;
    CColorSwatch fill;

    bool operator==(const CColorButtonFace&) const = default;
};

[[nodiscard]] CColorButtonFace ColorButtonFaceOf(const CNewObjectStyle& style);

// The face's picture: width x height pixels, row by row from the top, each 0xAARRGGBB with alpha 0 where
// the button shows through. Two framed swatches side by side fill the area from 3 pixels in at the left
// and top to 19 pixels from the left and 4 pixels above the bottom: the line swatch at the left, the fill
// swatch at the right.
[[nodiscard]] std::vector<uint32_t> DrawColorButtonFace(const CColorButtonFace& face, int width, int height);

// The two swatches' outer rectangles (frames included) in a face of that size.
[[nodiscard]] CRect LineSwatchRect(int width, int height);
[[nodiscard]] CRect FillSwatchRect(int width, int height);

inline constexpr uint32_t kSwatchFrameArgb = 0xFF404040;
inline constexpr uint32_t kNoColorCrossArgb = 0xFFC80000; // RGB(200, 0, 0)

} // namespace pq
