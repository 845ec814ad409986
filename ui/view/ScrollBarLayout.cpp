#include "ui/view/ScrollBarLayout.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// Float noise at the content's edge (a view that starts a millionth of a pixel before it) is no extent.
constexpr double kSlack = 1e-6;

int64_t UnitsCovering(double pixels, int64_t unit) {
    return std::max<int64_t>(0, static_cast<int64_t>(std::ceil(pixels / static_cast<double>(unit) - kSlack)));
}

} // namespace

CScrollBarLayout LayOutScrollBar(const CScrollAxis& axis) {
    CScrollBarLayout layout;
    const double length = std::max(0, axis.viewLength);
    const double viewEnd = axis.viewStart + length;
    double start = std::min(axis.contentStart, axis.viewStart);
    double end = std::max(axis.contentEnd, viewEnd);
    // A content without a finite extent (a degenerate mapping) leaves only the view to scroll over.
    if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(axis.viewStart)) {
        start = axis.viewStart;
        end = viewEnd;
    }
    const double before = std::isfinite(axis.viewStart) ? axis.viewStart - start : 0.0;
    const double after = std::isfinite(viewEnd) ? end - viewEnd : 0.0;
    const double total = before + length + after;
    if (total > static_cast<double>(kMaxScrollUnits))
        layout.unit = static_cast<int64_t>(std::ceil(total / static_cast<double>(kMaxScrollUnits)));
    const int64_t beforeUnits = UnitsCovering(before, layout.unit);
    const int64_t pageUnits = UnitsCovering(length, layout.unit);
    const int64_t afterUnits = UnitsCovering(after, layout.unit);
    layout.info.position = static_cast<int>(beforeUnits);
    layout.info.page = static_cast<int>(pageUnits);
    layout.info.range = static_cast<int>(std::min(beforeUnits + pageUnits + afterUnits, int64_t{INT32_MAX}));
    layout.origin =
        std::isfinite(axis.viewStart) ? axis.viewStart - static_cast<double>(beforeUnits * layout.unit) : 0.0;
    return layout;
}

int ClampScrollPosition(const CScrollBarLayout& layout, int position) {
    return std::clamp(position, 0, std::max(0, layout.info.range - layout.info.page));
}

int64_t PixelsToScrollPosition(const CScrollBarLayout& layout, double viewStart, int position) {
    const double target = layout.origin + static_cast<double>(ClampScrollPosition(layout, position)) *
                                              static_cast<double>(layout.unit);
    const double shift = target - viewStart;
    return std::isfinite(shift) ? std::llround(shift) : 0;
}

} // namespace pq
