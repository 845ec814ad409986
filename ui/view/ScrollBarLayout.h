#pragma once

#include "platform/WindowHost.h"

#include <cstdint>

namespace pq {

// One axis of the view as its scroll bar sees it, in pixels of the current zoom (a document coordinate
// times the scale, so the numbers only move when the view scrolls): where the client area starts and how
// long it is, and the stretch the user may scroll over (the page with its margin, and whatever the
// drawing puts beyond it).
struct CScrollAxis {
    double viewStart = 0.0;
    int viewLength = 0;
    double contentStart = 0.0;
    double contentEnd = 0.0;
};

// A scroll bar laid out over one axis: what the bar shows, and how its positions map back to the view.
// Position p shows the view starting at pixel origin + p * unit; unit is 1 unless the extent is too long
// for the toolkit's integer positions.
struct CScrollBarLayout {
    CScrollBarInfo info;
    double origin = 0.0;
    int64_t unit = 1;
    bool operator==(const CScrollBarLayout&) const = default;
};

// Scroll units a bar may hold; longer extents take several pixels per unit.
inline constexpr int64_t kMaxScrollUnits = int64_t{1} << 29;

// The bar spans the content and the view together, so that the thumb always shows where the view is,
// even after the view was panned off the content; the thumb is the view's length.
[[nodiscard]] CScrollBarLayout LayOutScrollBar(const CScrollAxis& axis);

// The position held to the bar (0 .. range - page).
[[nodiscard]] int ClampScrollPosition(const CScrollBarLayout& layout, int position);

// How many pixels the view's start must move (positive: towards the end of the axis) for the bar laid
// out as layout to show position, the position first held to the bar.
[[nodiscard]] int64_t PixelsToScrollPosition(const CScrollBarLayout& layout, double viewStart, int position);

} // namespace pq
