#include "platform/DeviceContext.h"

#include <algorithm>
#include <cstdint>

namespace pq {

namespace {

// Dash patterns of one-pixel pens, in pixels along the line's major axis, alternating drawn and gap.
struct CDashPattern {
    int count;
    int lengths[6];
    int period;
};

constexpr CDashPattern kDashPatterns[4] = {
    {2, {18, 6}, 24},            // dash
    {2, {3, 3}, 6},              // dot
    {4, {9, 6, 3, 6}, 24},       // dash dot
    {6, {9, 3, 3, 3, 3, 3}, 24}, // dash dot dot
};

// Whether the pattern draws at a position counted from the start of the polyline.
bool IsDashOn(const CDashPattern& pattern, int64_t position) {
    int offset = static_cast<int>(position % pattern.period);
    for (int i = 0; i < pattern.count; ++i) {
        if (offset < pattern.lengths[i])
            return (i & 1) == 0;
        offset -= pattern.lengths[i];
    }
    return false;
}

bool IsDashed(int style) {
    return style >= kPenDash && style <= kPenDashDotDot;
}

} // namespace

CPoint CDeviceContext::MoveTo(CPoint point) {
    const CPoint previous = position;
    position = point;
    return previous;
}

bool CDeviceContext::LineTo(CPoint point) {
    const CPoint points[2] = {position, point};
    position = point;
    return Polyline(points);
}

bool CDeviceContext::Polyline(std::span<const CPoint> points) {
    if (points.size() < 2)
        return false;
    CTarget t;
    if (!GetTarget(t))
        return false;
    DrawOutline(t, points, false);
    return true;
}

void CDeviceContext::DrawOutline(const CTarget& t, std::span<const CPoint> points, bool closed) {
    if (pen.style == kPenNull || points.empty())
        return;
    // Damage: the points' bounds, widened by half the pen on every side.
    const int64_t margin = pen.width > 1 ? pen.width / 2 + 1 : 0;
    int64_t minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (const CPoint& p : points) {
        minX = std::min<int64_t>(minX, p.x);
        maxX = std::max<int64_t>(maxX, p.x);
        minY = std::min<int64_t>(minY, p.y);
        maxY = std::max<int64_t>(maxY, p.y);
    }
    auto clamp = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    AddDamage(CRect(clamp(minX - margin), clamp(minY - margin), clamp(maxX + margin + 1),
                    clamp(maxY + margin + 1)));

    if (pen.width > 1) {
        DrawWideOutline(t, points, closed);
        return;
    }
    // Flattened curves at small zoom are mostly steps of one pixel, which draw their first pixel alone
    // (and repeated points nothing); a solid pen writes those straight away.
    const bool solid = !IsDashed(pen.style);
    const uint32_t penPixel = ColorToPixel(pen.color);
    int64_t dashPosition = 0;
    auto segment = [&](CPoint a, CPoint b) {
        const int64_t dx = static_cast<int64_t>(b.x) - a.x, dy = static_cast<int64_t>(b.y) - a.y;
        if (solid && dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) {
            if (dx == 0 && dy == 0)
                return;
            if (t.clip.Contains(a))
                WritePixel(t, a.x, a.y, penPixel, rop2);
            ++dashPosition;
            return;
        }
        DrawThinLine(t, a, b, dashPosition);
    };
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        segment(points[i], points[i + 1]);
    if (closed && points.size() > 1)
        segment(points.back(), points.front());
}

// Bresenham's line: along the major axis every pixel from a up to, not including, b; the minor
// coordinate is the line's value rounded to the nearest pixel, halves rounding towards b. Clipping only
// skips pixels, so a clipped line keeps the pixels and the dash phase of the whole line.
void CDeviceContext::DrawThinLine(const CTarget& t, CPoint a, CPoint b, int64_t& dashPosition) {
    const int64_t dx = static_cast<int64_t>(b.x) - a.x;
    const int64_t dy = static_cast<int64_t>(b.y) - a.y;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const int64_t major = xMajor ? adx : ady; // pixels drawn
    const int64_t minor = xMajor ? ady : adx;
    if (major == 0)
        return;
    const int64_t startDash = dashPosition;
    dashPosition += major;

    const int64_t sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t major0 = xMajor ? a.x : a.y;
    const int64_t minor0 = xMajor ? a.y : a.x;
    const int64_t clipMajorLo = xMajor ? t.clip.left : t.clip.top;
    const int64_t clipMajorHi = (xMajor ? t.clip.right : t.clip.bottom) - 1;
    const int64_t clipMinorLo = xMajor ? t.clip.top : t.clip.left;
    const int64_t clipMinorHi = (xMajor ? t.clip.bottom : t.clip.right) - 1;

    // Steps whose major coordinate lies inside the clip.
    int64_t first = sMajor > 0 ? clipMajorLo - major0 : major0 - clipMajorHi;
    int64_t last = sMajor > 0 ? clipMajorHi - major0 : major0 - clipMajorLo;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, major - 1);
    if (first > last)
        return;

    // Minor offset at step i: floor((2 * i * minor + major) / (2 * major)), kept as quotient and error.
    // The numerator fits 64 bits unless the line is billions of pixels long and clipped far from its start.
    int64_t k = 0, error = major;
    if (first > 0 && first <= INT32_MAX && minor <= INT32_MAX) {
        const int64_t numerator = 2 * first * minor + major;
        k = numerator / (2 * major);
        error = numerator % (2 * major);
    } else if (first > 0) {
        const __int128 numerator = static_cast<__int128>(2) * first * minor + major;
        k = static_cast<int64_t>(numerator / (2 * major));
        error = static_cast<int64_t>(numerator % (2 * major));
    }

    const bool dashed = IsDashed(pen.style);
    const CDashPattern& pattern = kDashPatterns[dashed ? pen.style - kPenDash : 0];
    const uint32_t penPixel = ColorToPixel(pen.color);
    const uint32_t gapPixel = ColorToPixel(bkColor);
    const bool opaqueGaps = bkMode == kBkOpaque;
    for (int64_t i = first; i <= last; ++i) {
        const int64_t m = minor0 + sMinor * k;
        if (m < clipMinorLo || m > clipMinorHi) {
            // Once the line has left the clip in its direction of travel it does not come back.
            if ((sMinor > 0 && m > clipMinorHi) || (sMinor < 0 && m < clipMinorLo))
                break;
        } else {
            const auto pm = static_cast<int32_t>(major0 + sMajor * i);
            const auto pn = static_cast<int32_t>(m);
            const int32_t x = xMajor ? pm : pn;
            const int32_t y = xMajor ? pn : pm;
            if (!dashed || IsDashOn(pattern, startDash + i))
                WritePixel(t, x, y, penPixel, rop2);
            else if (opaqueGaps)
                WritePixel(t, x, y, gapPixel, rop2);
        }
        error += 2 * minor;
        if (error >= 2 * major) {
            error -= 2 * major;
            ++k;
        }
    }
}

} // namespace pq
