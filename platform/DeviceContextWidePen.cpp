#include "platform/DeviceContext.h"

#include "platform/RasterOps.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pq {

namespace {

// Pixel centres are at integer coordinates. Slack that makes a pixel centre lying exactly on the pen's
// edge count as inside, whatever the rounding of the square roots.
constexpr double kEdgeSlack = 1e-9;

// Pens up to this width are drawn segment by segment when overdraw is harmless; a wider pen would write
// each joint's disc, width squared pixels, again and again, and goes through the union instead.
constexpr int kOverdrawPenLimit = 32;

// Segments whose steps in x and y are both at most this many pixels are drawn from stamps. Flattened
// curves at small zoom are made of such steps almost entirely.
constexpr int32_t kStampReach = 4;
constexpr int32_t kStampSide = 2 * kStampReach + 1;

// Fills in the capsule's unit direction and length from its end points.
void Orient(auto& c) {
    const double dx = c.bx - c.ax, dy = c.by - c.ay;
    c.length = std::sqrt(dx * dx + dy * dy);
    c.ux = c.length > 0.0 ? dx / c.length : 0.0;
    c.uy = c.length > 0.0 ? dy / c.length : 0.0;
}

// Widens [lo, hi] to take in row y's part of the disc of radius r about (cx, cy), if the row meets it.
void AddDiscRow(double cx, double cy, double r, double y, double& lo, double& hi) {
    const double d = y - cy;
    if (d * d > r * r)
        return;
    const double h = std::sqrt(r * r - d * d);
    lo = std::min(lo, cx - h);
    hi = std::max(hi, cx + h);
}

// The x interval, possibly empty (lo > hi), of the points of row y in the band along the capsule's
// segment: |(p - a) . n| <= r and 0 <= (p - a) . u <= length, each linear in x on the row.
void BandRow(const auto& c, double r, double y, double& lo, double& hi) {
    lo = -HUGE_VAL;
    hi = HUGE_VAL;
    auto constrain = [&](double slope, double k, double m1, double m2) {
        if (std::fabs(slope) < 1e-12) {
            if (k < m1 || k > m2) {
                lo = HUGE_VAL;
                hi = -HUGE_VAL;
            }
            return;
        }
        double x1 = (m1 - k) / slope, x2 = (m2 - k) / slope;
        if (x1 > x2)
            std::swap(x1, x2);
        lo = std::max(lo, x1);
        hi = std::min(hi, x2);
    };
    const double ry = y - c.ay;
    constrain(-c.uy, c.ux * ry - c.uy * -c.ax, -r, r); // normal (-uy, ux): (x - ax)(-uy) + ry * ux
    constrain(c.ux, c.uy * ry - c.ux * c.ax, 0.0, c.length);
}

// The x interval, possibly empty, of the points of row y whose distance from the segment is at most r:
// the union of the two end discs and the band along the segment, which is one interval since the shape
// is convex.
void CapsuleRow(const auto& c, double r, double y, double& lo, double& hi) {
    lo = HUGE_VAL;
    hi = -HUGE_VAL;
    AddDiscRow(c.ax, c.ay, r, y, lo, hi);
    AddDiscRow(c.bx, c.by, r, y, lo, hi);
    if (c.length <= 0.0)
        return;
    double bandLo, bandHi;
    BandRow(c, r, y, bandLo, bandHi);
    if (bandLo <= bandHi) {
        lo = std::min(lo, bandLo);
        hi = std::max(hi, bandHi);
    }
}

// Ceiling and floor of a value known to lie well inside the int64 range, without the library calls.
int64_t Ceil(double v) {
    const auto i = static_cast<int64_t>(v); // rounds towards zero
    return static_cast<double>(i) < v ? i + 1 : i;
}
int64_t Floor(double v) {
    const auto i = static_cast<int64_t>(v);
    return static_cast<double>(i) > v ? i - 1 : i;
}

// The pixel columns of a real interval, with the slack, held to the clip; false when none is left. The
// ends are held to just outside the clip before rounding, which gives the same columns since
// ceil(max(v, n)) = max(ceil(v), n) for an integer n, and keeps the rounding within range.
bool PixelColumns(double lo, double hi, const CRect& clip, int32_t& left, int32_t& right) {
    const double low = clip.left, high = clip.right - 1.0;
    const int64_t l = Ceil(std::clamp(lo - kEdgeSlack, low, high + 1.0));
    const int64_t r = Floor(std::clamp(hi + kEdgeSlack, low - 1.0, high));
    if (l > r)
        return false;
    left = static_cast<int32_t>(l);
    right = static_cast<int32_t>(r);
    return true;
}

} // namespace

// A wide pen covers every pixel whose centre is within half the pen width of a segment, which gives round
// caps and round joins. An even width would put the pen's edges on pixel centres; shifting the path by
// half a pixel up and left makes a horizontal or vertical line of width w cover exactly w pixels across.
void CDeviceContext::DrawWideOutline(const CTarget& t, std::span<const CPoint> points, bool closed) {
    if (IsRop2Idempotent(rop2) && pen.width <= kOverdrawPenLimit) {
        DrawWideOutlineOverdrawn(t, points, closed);
        return;
    }
    capsules.clear();
    auto add = [&](CPoint a, CPoint b) {
        CCapsule c;
        if (MakeCapsule(t, a, b, c))
            capsules.push_back(c);
    };
    if (points.size() == 1)
        add(points[0], points[0]);
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        add(points[i], points[i + 1]);
    if (closed && points.size() > 2)
        add(points.back(), points.front());
    if (!capsules.empty())
        DrawWideOutlineOnce(t);
}

// The capsule of the segment a-b with its rows held to the clip; false when it cannot reach the clip.
bool CDeviceContext::MakeCapsule(const CTarget& t, CPoint a, CPoint b, CCapsule& c) const {
    const double r = pen.width / 2.0;
    const double shift = pen.width % 2 == 0 ? -0.5 : 0.0;
    c.ax = a.x + shift;
    c.ay = a.y + shift;
    c.bx = b.x + shift;
    c.by = b.y + shift;
    const double top = std::ceil(std::min(c.ay, c.by) - r - kEdgeSlack);
    const double bottom = std::floor(std::max(c.ay, c.by) + r + kEdgeSlack);
    if (bottom < t.clip.top || top >= t.clip.bottom)
        return false;
    // A segment wholly left or right of the clip cannot reach it either.
    if (std::max(c.ax, c.bx) + r + 1.0 < t.clip.left || std::min(c.ax, c.bx) - r - 1.0 >= t.clip.right)
        return false;
    c.topRow = static_cast<int32_t>(std::max<double>(top, t.clip.top));
    c.bottomRow = static_cast<int32_t>(std::min<double>(bottom, t.clip.bottom - 1));
    Orient(c);
    return true;
}

// The segments are rasterised together, row by row, so that a pixel covered by several of them is
// written once and XOR outlines stay reversible.
void CDeviceContext::DrawWideOutlineOnce(const CTarget& t) {
    const double r = pen.width / 2.0;
    capsuleOrder.resize(capsules.size());
    for (uint32_t i = 0; i < capsuleOrder.size(); ++i)
        capsuleOrder[i] = i;
    std::stable_sort(capsuleOrder.begin(), capsuleOrder.end(),
                     [&](uint32_t a, uint32_t b) { return capsules[a].topRow < capsules[b].topRow; });
    int32_t lastRow = capsules[0].bottomRow;
    for (const CCapsule& c : capsules)
        lastRow = std::max(lastRow, c.bottomRow);

    const uint32_t penPixel = ColorToPixel(pen.color);
    activeCapsules.clear();
    std::size_t next = 0;
    for (int32_t y = capsules[capsuleOrder[0]].topRow; y <= lastRow; ++y) {
        while (next < capsuleOrder.size() && capsules[capsuleOrder[next]].topRow <= y)
            activeCapsules.push_back(capsuleOrder[next++]);
        std::erase_if(activeCapsules, [&](uint32_t i) { return capsules[i].bottomRow < y; });

        rowSpans.clear();
        for (uint32_t i : activeCapsules) {
            double lo, hi;
            CapsuleRow(capsules[i], r, y, lo, hi);
            int32_t left, right;
            if (lo <= hi && PixelColumns(lo, hi, t.clip, left, right))
                rowSpans.push_back({left, right});
        }
        if (rowSpans.empty())
            continue;
        if (rowSpans.size() > 1)
            std::sort(rowSpans.begin(), rowSpans.end(),
                      [](const CSpan& a, const CSpan& b) { return a.left < b.left; });
        CSpan run = rowSpans[0];
        for (std::size_t i = 1; i < rowSpans.size(); ++i) {
            if (rowSpans[i].left <= run.right + 1) {
                run.right = std::max(run.right, rowSpans[i].right);
                continue;
            }
            WriteSpan(t, y, run.left, run.right, penPixel, rop2);
            run = rowSpans[i];
        }
        WriteSpan(t, y, run.left, run.right, penPixel, rop2);
    }
}

// With a raster operation that may repeat, the union of the capsules is written capsule by capsule: no
// sorting and no merging per row, and repeated points are passed over. A short segment's capsule comes
// from a stamp, its rows worked out once for its step and pen width with the segment starting at the
// origin. A long one is its two end discs, whose half widths per row are the same for every point, and
// the band between them; the three together are the capsule since it is convex. Every interval comes
// from the arithmetic of the union path. Only where a boundary fell within rounding error of the edge
// slack from a pixel centre could moving a short segment to the origin change a pixel, and the edges of
// short integer steps keep far from that: they are either exact or irrational.
void CDeviceContext::DrawWideOutlineOverdrawn(const CTarget& t, std::span<const CPoint> points, bool closed) {
    const double r = pen.width / 2.0;
    const double shift = pen.width % 2 == 0 ? -0.5 : 0.0;
    const uint32_t penPixel = ColorToPixel(pen.color);

    // Row k of a disc about a point at row py is row py + k; its centre is at row py + shift.
    const auto firstOffset = static_cast<int32_t>(std::ceil(shift - r));
    const auto lastOffset = static_cast<int32_t>(std::floor(shift + r));
    discHalfWidths.clear();
    for (int32_t k = firstOffset; k <= lastOffset; ++k) {
        const double d = k - shift;
        discHalfWidths.push_back(d * d > r * r ? -1.0 : std::sqrt(r * r - d * d));
    }
    // A joint between two long segments gets its disc from both; the second would write the same pixels.
    std::optional<CPoint> lastDisc;
    auto disc = [&](CPoint p) {
        if (lastDisc == p)
            return;
        lastDisc = p;
        const double cx = p.x + shift;
        if (cx + r + 1.0 < t.clip.left || cx - r - 1.0 >= t.clip.right)
            return;
        const int64_t from = std::max<int64_t>(static_cast<int64_t>(p.y) + firstOffset, t.clip.top);
        const int64_t to = std::min<int64_t>(static_cast<int64_t>(p.y) + lastOffset, t.clip.bottom - 1);
        for (int64_t y = from; y <= to; ++y) {
            const double h = discHalfWidths[static_cast<std::size_t>(y - p.y - firstOffset)];
            int32_t left, right;
            if (h >= 0.0 && PixelColumns(cx - h, cx + h, t.clip, left, right))
                WriteSpan(t, static_cast<int32_t>(y), left, right, penPixel, rop2);
        }
    };
    const int64_t margin = kStampReach + pen.width;
    auto segment = [&](CPoint a, CPoint b) {
        const int64_t dx = static_cast<int64_t>(b.x) - a.x, dy = static_cast<int64_t>(b.y) - a.y;
        if (std::max(dx, -dx) <= kStampReach && std::max(dy, -dy) <= kStampReach) {
            if (a.x + margin >= t.clip.left && a.x - margin < t.clip.right && a.y + margin >= t.clip.top &&
                a.y - margin < t.clip.bottom)
                DrawCapsuleStamp(t, a, static_cast<int32_t>(dx), static_cast<int32_t>(dy), penPixel);
            return;
        }
        CCapsule c;
        if (!MakeCapsule(t, a, b, c))
            return;
        disc(a);
        disc(b);
        if (a.y == b.y || a.x == b.x) {
            // Along an axis the band's columns are the same on every row it covers: the general rows
            // below reduce to these, operation for operation.
            const bool horizontal = a.y == b.y;
            const double lo = horizontal ? std::min(c.ax, c.bx) : c.ax - r;
            const double hi = horizontal ? std::max(c.ax, c.bx) : c.ax + r;
            int32_t left, right;
            if (!PixelColumns(lo, hi, t.clip, left, right))
                return;
            // A horizontal band covers every row of the capsule; a vertical one the rows between its ends.
            for (int32_t y = c.topRow; y <= c.bottomRow; ++y) {
                const double along = c.uy * (y - c.ay);
                if (horizontal || (along >= 0.0 && along <= c.length))
                    WriteSpan(t, y, left, right, penPixel, rop2);
            }
            return;
        }
        for (int32_t y = c.topRow; y <= c.bottomRow; ++y) {
            double lo, hi;
            BandRow(c, r, y, lo, hi);
            int32_t left, right;
            if (lo <= hi && PixelColumns(lo, hi, t.clip, left, right))
                WriteSpan(t, y, left, right, penPixel, rop2);
        }
    };

    // Short steps on in the same direction are drawn as one: the capsule of a straight run is the union
    // of the capsules of its steps, and one stamp writes it instead of several overlapping ones.
    auto continues = [](CPoint start, CPoint end, CPoint next) {
        const int64_t ax = static_cast<int64_t>(end.x) - start.x, ay = static_cast<int64_t>(end.y) - start.y;
        const int64_t bx = static_cast<int64_t>(next.x) - end.x, by = static_cast<int64_t>(next.y) - end.y;
        const int64_t rx = static_cast<int64_t>(next.x) - start.x,
                      ry = static_cast<int64_t>(next.y) - start.y;
        // Differences of 32-bit coordinates take 33 bits, their products up to 66: compared in 128 bits.
        using Wide = __int128;
        return Wide{ax} * by == Wide{ay} * bx && Wide{ax} * bx + Wide{ay} * by > 0 &&
               std::max(rx, -rx) <= kStampReach && std::max(ry, -ry) <= kStampReach;
    };
    bool drawn = false;
    CPoint start = points[0], end = points[0]; // the run not yet drawn; end repeats no point before it
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (points[i] == end)
            continue;
        if (end != start && continues(start, end, points[i])) {
            end = points[i];
            continue;
        }
        if (end != start) {
            segment(start, end);
            drawn = true;
        }
        start = end;
        end = points[i];
    }
    if (end != start) {
        segment(start, end);
        drawn = true;
    }
    if (closed && points.size() > 2 && end != points[0]) {
        segment(end, points[0]);
        drawn = true;
    }
    if (!drawn)
        disc(points[0]);
}

void CDeviceContext::DrawCapsuleStamp(const CTarget& t, CPoint a, int32_t dx, int32_t dy, uint32_t penPixel) {
    if (stampIndex.empty())
        stampIndex.assign(static_cast<std::size_t>(kOverdrawPenLimit + 1) * kStampSide * kStampSide, {0, -1});
    auto& [first, count] = stampIndex[(static_cast<std::size_t>(pen.width) * kStampSide +
                                       static_cast<std::size_t>(dx + kStampReach)) *
                                          kStampSide +
                                      static_cast<std::size_t>(dy + kStampReach)];
    if (count < 0) {
        const double r = pen.width / 2.0;
        const double shift = pen.width % 2 == 0 ? -0.5 : 0.0;
        CCapsule c;
        c.ax = shift;
        c.ay = shift;
        c.bx = dx + shift;
        c.by = dy + shift;
        Orient(c);
        const auto top = static_cast<int32_t>(std::ceil(std::min(c.ay, c.by) - r - kEdgeSlack));
        const auto bottom = static_cast<int32_t>(std::floor(std::max(c.ay, c.by) + r + kEdgeSlack));
        first = static_cast<int32_t>(stampRows.size());
        for (int32_t y = top; y <= bottom; ++y) {
            double lo, hi;
            CapsuleRow(c, r, y, lo, hi);
            if (lo > hi)
                continue;
            const int64_t left = Ceil(lo - kEdgeSlack), right = Floor(hi + kEdgeSlack);
            if (left <= right)
                stampRows.push_back({y, static_cast<int32_t>(left), static_cast<int32_t>(right)});
        }
        count = static_cast<int32_t>(stampRows.size()) - first;
    }
    const CStampRow* rows = stampRows.data() + first;
    // Every row of a stamp lies within the reach and the pen width of its start; a stamp that far inside
    // the clip needs no clipping.
    const int64_t margin = kStampReach + pen.width;
    if (a.x - margin >= t.clip.left && a.x + margin < t.clip.right && a.y - margin >= t.clip.top &&
        a.y + margin < t.clip.bottom) {
        for (int32_t i = 0; i < count; ++i)
            WriteSpan(t, a.y + rows[i].dy, a.x + rows[i].left, a.x + rows[i].right, penPixel, rop2);
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        const CStampRow& row = rows[i];
        const int64_t y = static_cast<int64_t>(a.y) + row.dy;
        if (y < t.clip.top || y >= t.clip.bottom)
            continue;
        const int64_t left = std::max<int64_t>(static_cast<int64_t>(a.x) + row.left, t.clip.left);
        const int64_t right = std::min<int64_t>(static_cast<int64_t>(a.x) + row.right, t.clip.right - 1);
        if (left <= right)
            WriteSpan(t, static_cast<int32_t>(y), static_cast<int32_t>(left), static_cast<int32_t>(right),
                      penPixel, rop2);
    }
}

} // namespace pq
