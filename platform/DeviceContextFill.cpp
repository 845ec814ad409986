#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq {

namespace {

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Floor division for a positive divisor.
int64_t FloorDiv(int64_t n, int64_t d, int64_t& remainder) {
    int64_t q = n / d;
    int64_t r = n % d;
    if (r < 0) {
        --q;
        r += d;
    }
    remainder = r;
    return q;
}

// The same for a dividend that may not fit 64 bits; the quotient and remainder do, as |d| >= 1 bounds
// them by the dividend over d and by d.
int64_t FloorDivWide(__int128 n, int64_t d, int64_t& remainder) {
    __int128 q = n / d;
    __int128 r = n % d;
    if (r < 0) {
        --q;
        r += d;
    }
    remainder = static_cast<int64_t>(r);
    return static_cast<int64_t>(q);
}

// Sorts the few crossings of a row; insertion sort beats the general sort on such short runs.
void SortSmall(std::vector<int64_t>& values) {
    if (values.size() > 16) {
        std::sort(values.begin(), values.end());
        return;
    }
    for (std::size_t i = 1; i < values.size(); ++i) {
        const int64_t v = values[i];
        std::size_t j = i;
        for (; j > 0 && values[j - 1] > v; --j)
            values[j] = values[j - 1];
        values[j] = v;
    }
}

} // namespace

// The edges' order within one top row does not matter, as every row sorts its crossings. Indices are
// ordered rather than the edges, which are several times larger.
void CDeviceContext::OrderEdgesByTop(int64_t minRow, int64_t endRow) {
    const std::size_t n = polyEdges.size();
    edgeOrder.resize(n);
    const auto top = [&](uint32_t i) { return polyEdges[i].yTop; };
    // A few edges (a box, a small polygon): an insertion sort beats the general sort on them.
    if (n <= 8) {
        for (uint32_t i = 0; i < n; ++i) {
            std::size_t j = i;
            for (; j > 0 && top(edgeOrder[j - 1]) > top(i); --j)
                edgeOrder[j] = edgeOrder[j - 1];
            edgeOrder[j] = i;
        }
        return;
    }
    const int64_t rows = endRow - minRow;
    if (rows > static_cast<int64_t>(4 * n)) {
        for (uint32_t i = 0; i < n; ++i)
            edgeOrder[i] = i;
        std::sort(edgeOrder.begin(), edgeOrder.end(),
                  [&](uint32_t a, uint32_t b) { return top(a) < top(b); });
        return;
    }
    // A flattened curve on screen has many edges over few rows: counting them row by row costs less than
    // comparing them.
    edgeRowStarts.assign(static_cast<std::size_t>(rows) + 1, 0);
    for (const CPolyEdge& e : polyEdges)
        ++edgeRowStarts[static_cast<std::size_t>(e.yTop - minRow) + 1];
    for (std::size_t r = 1; r < edgeRowStarts.size(); ++r)
        edgeRowStarts[r] += edgeRowStarts[r - 1];
    for (uint32_t i = 0; i < n; ++i)
        edgeOrder[edgeRowStarts[static_cast<std::size_t>(top(i) - minRow)]++] = i;
}

// Even-odd fill sampling pixel centres (integer coordinates): a row y meets the edges whose y range
// contains it, top included and bottom excluded, and a pixel is inside when its x is at or right of a
// crossing and left of the next one. Crossings are kept exactly as integer quotients and remainders.
void CDeviceContext::FillEvenOdd(const CTarget& t, std::span<const CPoint> points) {
    polyEdges.clear();
    const std::size_t n = points.size();
    int64_t minRow = INT64_MAX, maxRow = INT64_MIN;
    for (std::size_t i = 0; i < n; ++i) {
        CPoint a = points[i], b = points[i + 1 < n ? i + 1 : 0];
        if (a.y == b.y)
            continue;
        if (a.y > b.y)
            std::swap(a, b);
        if (b.y <= t.clip.top || a.y >= t.clip.bottom)
            continue;
        CPolyEdge e;
        e.yTop = a.y;
        e.yBottom = b.y;
        e.x = a.x;
        e.dy = static_cast<int64_t>(b.y) - a.y;
        e.stepX = FloorDiv(static_cast<int64_t>(b.x) - a.x, e.dy, e.stepRemainder);
        minRow = std::min(minRow, e.yTop);
        maxRow = std::max(maxRow, e.yBottom);
        polyEdges.push_back(e);
    }
    if (polyEdges.empty())
        return;
    OrderEdgesByTop(minRow, maxRow);

    const bool solid = brush.style == kBrushSolid;
    const uint32_t brushPixel = ColorToPixel(brush.color);
    activeEdges.clear();
    std::size_t next = 0;
    const int64_t firstRow = std::max<int64_t>(minRow, t.clip.top);
    const int64_t endRow = std::min<int64_t>(maxRow, t.clip.bottom);
    for (int64_t y = firstRow; y < endRow; ++y) {
        while (next < edgeOrder.size() && polyEdges[edgeOrder[next]].yTop <= y) {
            CPolyEdge& e = polyEdges[edgeOrder[next]];
            // An edge that began above the clip starts at this row: x moves by dx / dy per row.
            if (y > e.yTop) {
                const int64_t rows = y - e.yTop, dx = e.stepX * e.dy + e.stepRemainder;
                int64_t remainder = 0;
                if (rows < (int64_t{1} << 31) && dx < (int64_t{1} << 31) && dx > -(int64_t{1} << 31))
                    e.x += FloorDiv(rows * dx, e.dy, remainder);
                else
                    e.x += FloorDivWide(static_cast<__int128>(rows) * dx, e.dy, remainder);
                e.remainder = remainder;
            }
            activeEdges.push_back(edgeOrder[next++]);
        }

        // Edges that ended above this row leave; the others give their crossing and step on.
        crossings.clear();
        std::size_t kept = 0;
        for (uint32_t i : activeEdges) {
            CPolyEdge& e = polyEdges[i];
            if (e.yBottom <= y)
                continue;
            activeEdges[kept++] = i;
            crossings.push_back(e.x + (e.remainder > 0 ? 1 : 0));
            e.x += e.stepX;
            e.remainder += e.stepRemainder;
            if (e.remainder >= e.dy) {
                e.remainder -= e.dy;
                ++e.x;
            }
        }
        activeEdges.resize(kept);
        SortSmall(crossings);
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int64_t left = std::max<int64_t>(crossings[i], t.clip.left);
            const int64_t right = std::min<int64_t>(crossings[i + 1] - 1, t.clip.right - 1);
            if (left > right)
                continue;
            if (solid)
                WriteSpan(t, static_cast<int32_t>(y), static_cast<int32_t>(left), static_cast<int32_t>(right),
                          brushPixel, rop2);
            else
                WriteBrushSpan(t, static_cast<int32_t>(y), static_cast<int32_t>(left),
                               static_cast<int32_t>(right), brush, rop2);
        }
    }
}

bool CDeviceContext::Polygon(std::span<const CPoint> points) {
    if (points.size() < 2)
        return false;
    CTarget t;
    if (!GetTarget(t))
        return false;
    if (brush.style != kBrushHollow) {
        FillEvenOdd(t, points);
        int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
        for (const CPoint& p : points) {
            minX = std::min<int64_t>(minX, p.x);
            maxX = std::max<int64_t>(maxX, p.x);
            minY = std::min<int64_t>(minY, p.y);
            maxY = std::max<int64_t>(maxY, p.y);
        }
        AddDamage(CRect(Clamp32(minX), Clamp32(minY), Clamp32(maxX), Clamp32(maxY)));
    }
    DrawOutline(t, points, true);
    return true;
}

namespace {

// Orders a box's edges; false when it covers no pixel.
bool NormalizeBox(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    return right != left && bottom != top;
}

} // namespace

bool CDeviceContext::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    CTarget t;
    if (!GetTarget(t))
        return false;
    if (!NormalizeBox(left, top, right, bottom))
        return true;
    // The interior stops where the pen's inner edge starts; with the null pen it covers the pixels up to
    // right - 2 and bottom - 2, like a polygon through the outline's corners.
    const bool outlined = pen.style != kPenNull;
    const int64_t w = std::max(pen.width, 1);
    const int64_t inLeft = outlined ? (w + 1) / 2 : 0;
    const int64_t inRight = outlined ? w / 2 : 0;
    if (brush.style != kBrushHollow) {
        const int64_t x0 = std::max<int64_t>(static_cast<int64_t>(left) + inLeft, t.clip.left);
        const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(right) - 2 - inRight, t.clip.right - 1);
        const int64_t y0 = std::max<int64_t>(static_cast<int64_t>(top) + inLeft, t.clip.top);
        const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(bottom) - 2 - inRight, t.clip.bottom - 1);
        if (x0 <= x1)
            for (int64_t y = y0; y <= y1; ++y)
                WriteBrushSpan(t, static_cast<int32_t>(y), static_cast<int32_t>(x0), static_cast<int32_t>(x1),
                               brush, rop2);
        AddDamage(CRect(left, top, right, bottom));
    }
    if (outlined) {
        const CPoint corners[4] = {
            {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
        const bool oneColumn = right == left + 1, oneRow = bottom == top + 1;
        if (oneColumn || oneRow) {
            // A rectangle one pixel thin is a single line; going round it would draw its pixels twice.
            const CPoint line[2] = {corners[0], oneRow ? CPoint(right, top) : CPoint(left, bottom)};
            if (pen.width > 1)
                DrawOutline(t, std::span<const CPoint>(corners, 3), false);
            else
                DrawOutline(t, line, false);
        } else {
            DrawOutline(t, corners, true);
        }
    }
    return true;
}

// The ellipse's pixels are those whose centres lie inside the ellipse inscribed in the box's pixel
// squares; the one-pixel outline is the set's border (pixels with a 4-neighbour outside), so the outline
// is closed and the interior takes the rest.
bool CDeviceContext::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    CTarget t;
    if (!GetTarget(t))
        return false;
    if (!NormalizeBox(left, top, right, bottom))
        return true;
    const double cx = (static_cast<double>(left) + right - 1) / 2.0;
    const double cy = (static_cast<double>(top) + bottom - 1) / 2.0;
    const double a = (static_cast<double>(right) - left) / 2.0;
    const double b = (static_cast<double>(bottom) - top) / 2.0;
    auto span = [&](int64_t y, int64_t& l, int64_t& r) {
        if (y < top || y >= bottom) {
            l = 1;
            r = 0;
            return;
        }
        const double d = (static_cast<double>(y) - cy) / b;
        const double h = a * std::sqrt(std::max(0.0, 1.0 - d * d));
        l = static_cast<int64_t>(std::ceil(cx - h - 1e-9));
        r = static_cast<int64_t>(std::floor(cx + h + 1e-9));
    };

    const bool outlined = pen.style != kPenNull;
    const bool thin = pen.width <= 1;
    const uint32_t penPixel = ColorToPixel(pen.color);
    const int64_t y0 = std::max<int64_t>(top, t.clip.top), y1 = std::min<int64_t>(bottom, t.clip.bottom);
    auto write = [&](int64_t y, int64_t l, int64_t r, bool withPen) {
        l = std::max<int64_t>(l, t.clip.left);
        r = std::min<int64_t>(r, t.clip.right - 1);
        if (l > r)
            return;
        if (withPen)
            WriteSpan(t, static_cast<int32_t>(y), static_cast<int32_t>(l), static_cast<int32_t>(r), penPixel,
                      rop2);
        else
            WriteBrushSpan(t, static_cast<int32_t>(y), static_cast<int32_t>(l), static_cast<int32_t>(r),
                           brush, rop2);
    };
    for (int64_t y = y0; y < y1; ++y) {
        int64_t l, r, la, ra, lb, rb;
        span(y, l, r);
        if (l > r)
            continue;
        if (!outlined) {
            write(y, l, r, false);
            continue;
        }
        span(y - 1, la, ra);
        span(y + 1, lb, rb);
        // Interior: pixels whose row neighbours are in the set too, and not at the row's ends.
        int64_t il = l + 1, ir = r - 1;
        if (la > ra || lb > rb) {
            il = 1;
            ir = 0;
        } else {
            il = std::max({il, la, lb});
            ir = std::min({ir, ra, rb});
        }
        if (il > ir) {
            if (thin)
                write(y, l, r, true);
            continue;
        }
        write(y, il, ir, false);
        if (thin) {
            write(y, l, il - 1, true);
            write(y, ir + 1, r, true);
        }
    }
    if (outlined && !thin) {
        // A wide pen is centred on the ellipse through the outline's pixel centres.
        const double ra = a - 0.5, rb = b - 0.5;
        const int count =
            static_cast<int>(std::clamp(std::max(ra, rb) * 2.0 * std::numbers::pi / 4.0, 16.0, 1024.0));
        outlinePoints.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const double angle = 2.0 * std::numbers::pi * i / count;
            outlinePoints[static_cast<std::size_t>(i)] =
                CPoint(Clamp32(std::llround(cx + ra * std::cos(angle))),
                       Clamp32(std::llround(cy + rb * std::sin(angle))));
        }
        DrawOutline(t, outlinePoints, true);
    }
    AddDamage(CRect(left, top, right, bottom));
    return true;
}

} // namespace pq
