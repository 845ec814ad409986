#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// Pixel centres are at integer coordinates. Slack that makes a pixel centre lying exactly on the pen's
// edge count as inside, whatever the rounding of the square roots.
constexpr double kEdgeSlack = 1e-9;

// The x interval, possibly empty (lo > hi), of the points of row y whose distance from the segment a-b is
// at most r: the union of the two end discs and the band along the segment, which is one interval since
// the shape is convex.
void CapsuleRow(double ax, double ay, double bx, double by, double r, double y, double& lo, double& hi) {
    lo = HUGE_VAL;
    hi = -HUGE_VAL;
    auto disc = [&](double cx, double cy) {
        const double d = y - cy;
        if (d * d > r * r)
            return;
        const double h = std::sqrt(r * r - d * d);
        lo = std::min(lo, cx - h);
        hi = std::max(hi, cx + h);
    };
    disc(ax, ay);
    disc(bx, by);
    const double dx = bx - ax, dy = by - ay;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0)
        return;
    const double ux = dx / length, uy = dy / length;
    // Band: |(p - a) . n| <= r and 0 <= (p - a) . u <= length, each linear in x on this row.
    double bandLo = -HUGE_VAL, bandHi = HUGE_VAL;
    auto constrain = [&](double c, double k, double m1, double m2) {
        if (std::fabs(c) < 1e-12) {
            if (k < m1 || k > m2) {
                bandLo = HUGE_VAL;
                bandHi = -HUGE_VAL;
            }
            return;
        }
        double x1 = (m1 - k) / c, x2 = (m2 - k) / c;
        if (x1 > x2)
            std::swap(x1, x2);
        bandLo = std::max(bandLo, x1);
        bandHi = std::min(bandHi, x2);
    };
    const double ry = y - ay;
    constrain(-uy, ux * ry - uy * -ax, -r, r); // normal (-uy, ux): (x - ax)(-uy) + ry * ux
    constrain(ux, uy * ry - ux * ax, 0.0, length);
    if (bandLo <= bandHi) {
        lo = std::min(lo, bandLo);
        hi = std::max(hi, bandHi);
    }
}

} // namespace

// A wide pen covers every pixel whose centre is within half the pen width of a segment, which gives round
// caps and round joins. The segments are rasterised together, row by row, so that a pixel covered by
// several of them is written once and XOR outlines stay reversible. An even width would put the pen's
// edges on pixel centres; shifting the path by half a pixel up and left makes a horizontal or vertical
// line of width w cover exactly w pixels across.
void CDeviceContext::DrawWideOutline(const CTarget& t, std::span<const CPoint> points, bool closed) {
    const double r = pen.width / 2.0;
    const double shift = pen.width % 2 == 0 ? -0.5 : 0.0;
    capsules.clear();
    auto add = [&](CPoint a, CPoint b) {
        CCapsule c;
        c.ax = a.x + shift;
        c.ay = a.y + shift;
        c.bx = b.x + shift;
        c.by = b.y + shift;
        const double top = std::ceil(std::min(c.ay, c.by) - r - kEdgeSlack);
        const double bottom = std::floor(std::max(c.ay, c.by) + r + kEdgeSlack);
        if (bottom < t.clip.top || top >= t.clip.bottom)
            return;
        c.topRow = static_cast<int32_t>(std::max<double>(top, t.clip.top));
        c.bottomRow = static_cast<int32_t>(std::min<double>(bottom, t.clip.bottom - 1));
        capsules.push_back(c);
    };
    if (points.size() == 1)
        add(points[0], points[0]);
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        add(points[i], points[i + 1]);
    if (closed && points.size() > 2)
        add(points.back(), points.front());
    if (capsules.empty())
        return;

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
            const CCapsule& c = capsules[i];
            double lo, hi;
            CapsuleRow(c.ax, c.ay, c.bx, c.by, r, y, lo, hi);
            if (lo > hi)
                continue;
            const double left = std::max<double>(std::ceil(lo - kEdgeSlack), t.clip.left);
            const double right = std::min<double>(std::floor(hi + kEdgeSlack), t.clip.right - 1);
            if (left <= right)
                rowSpans.push_back({static_cast<int32_t>(left), static_cast<int32_t>(right)});
        }
        if (rowSpans.empty())
            continue;
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

} // namespace pq
