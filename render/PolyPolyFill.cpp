#include "render/PolyPolyFill.h"

#include "geometry/Numeric.h"
#include "platform/DeviceContext.h"
#include "platform/DibSection.h"
#include "platform/RasterOps.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// Empties an array without giving back its storage (setting its size to 0 would free it).
void Empty(CGrowableArray<CFillEdge>& list) {
    list.RemoveAt(0, list.GetSize());
}

} // namespace

void CPolyPolyFill::Reset() {
    for (std::size_t p = 0; p < polygonCount; ++p) {
        Empty(rawEdges[p]);
        Empty(edgeTables[p]);
        Empty(activeLists[p]);
    }
    polygonCount = 0;
    tableCursors.clear();
    crossings.clear();
    edgeCount = 0;
    spanPixelCount = 0;
    pendingCount = 0;
    activeCount = 0;
    width = 0;
    height = 0;
    bits = nullptr;
    written = CRect();
}

void CPolyPolyFill::InsertSorted(CGrowableArray<CFillEdge>& table, const CFillEdge& edge) {
    // True when the new edge belongs before the entry.
    auto before = [&edge](const CFillEdge& entry) {
        return edge.yTop < entry.yTop || (edge.yTop == entry.yTop && edge.x < entry.x);
    };
    std::size_t lo = 0, hi = table.GetSize();
    while (hi - lo > 4) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (before(table[mid]))
            hi = mid;
        else
            lo = mid + 1;
    }
    while (lo < hi && !before(table[lo]))
        ++lo;
    table.InsertAt(lo, edge);
}

void CPolyPolyFill::AddRawEdge(std::size_t polygon, const CFillEdge& edge) {
    rawEdges[polygon].Add(edge);
    ++edgeCount;
}

// A part of an edge outside the bitmap's columns becomes a vertical edge on the border column. Parts that
// continue each other along the same border are merged into one record.
void CPolyPolyFill::AddBorderEdge(std::size_t polygon, float yTop, float yBottom, float x) {
    CGrowableArray<CFillEdge>& raw = rawEdges[polygon];
    if (!raw.IsEmpty()) {
        CFillEdge& last = raw.Last();
        if (std::fabs(last.dxdy) < kGeomEpsilon && last.x == x &&
            (last.yBottom == yTop || last.yTop == yBottom)) {
            last.yTop = std::min(last.yTop, yTop);
            last.yBottom = std::max(last.yBottom, yBottom);
            return;
        }
    }
    AddRawEdge(polygon, CFillEdge{yTop, yBottom, x, 0.0f});
}

void CPolyPolyFill::BuildEdges(std::size_t polygon, CPoint from, CPoint to) {
    const int64_t lastRow = height - 1;
    const bool above = from.y <= 0 && to.y <= 0;
    const bool below = from.y >= lastRow && to.y >= lastRow;
    if (above || below)
        return;
    if (from.y == to.y) {
        // Horizontal edges never cross a row; they are kept in the raw list but not in the edge table.
        AddRawEdge(polygon, CFillEdge{static_cast<float>(from.y), static_cast<float>(from.y),
                                      static_cast<float>(from.x), CFillEdge::kHorizontal});
        return;
    }
    const auto dxdy =
        static_cast<float>((static_cast<double>(from.x) - to.x) / (static_cast<double>(from.y) - to.y));
    const CPoint top = from.y < to.y ? from : to;
    const CPoint bottom = from.y < to.y ? to : from;
    // An edge inside the bitmap needs no cutting: it is one piece starting at its top point.
    if (top.y >= 0 && bottom.y <= lastRow && std::min(from.x, to.x) >= 0 && std::max(from.x, to.x) < width) {
        AddRawEdge(polygon, CFillEdge{static_cast<float>(top.y), static_cast<float>(bottom.y),
                                      static_cast<float>(top.x), dxdy});
        return;
    }

    // Vertical clipping at rows 0 and height - 1; the cut's x moves along the edge and is rounded.
    double xTop = top.x, yTop = top.y, xBottom = bottom.x, yBottom = bottom.y;
    if (yTop < 0) {
        xTop = RoundHalfAway(top.x + (0.0 - top.y) * dxdy);
        yTop = 0;
    }
    if (yBottom > lastRow) {
        xBottom = RoundHalfAway(bottom.x - (bottom.y - static_cast<double>(lastRow)) * dxdy);
        yBottom = static_cast<double>(lastRow);
    }
    if (yBottom <= yTop)
        return;

    // Horizontal clipping: split the rows where the edge crosses column 0 or column width - 1, and give
    // each piece to the side its first row lies on. A row is sampled at its top, so the split is the first
    // whole row at or after the crossing: every row then goes to the side its own x lies on.
    const double rightColumn = width - 1;
    const double slope = (xBottom - xTop) / (yBottom - yTop);
    double splits[4] = {yTop, 0, 0, 0};
    int splitCount = 1;
    for (double border : {0.0, rightColumn}) {
        if ((xTop < border) == (xBottom < border) || slope == 0.0)
            continue;
        const double row = std::ceil(yTop + (border - xTop) / slope);
        if (row > yTop && row < yBottom)
            splits[splitCount++] = row;
    }
    if (splitCount == 3 && splits[2] < splits[1])
        std::swap(splits[1], splits[2]);
    splits[splitCount] = yBottom;
    for (int i = 0; i < splitCount; ++i) {
        const double y0 = splits[i], y1 = splits[i + 1];
        if (y1 <= y0)
            continue;
        // Rows are sampled at their top, so the piece's first row decides its side: a piece of one row
        // whose middle lies across the border still fills by the x of that row.
        const double firstX = xTop + (y0 - yTop) * slope;
        if (firstX < 0.0) {
            AddBorderEdge(polygon, static_cast<float>(y0), static_cast<float>(y1), 0.0f);
        } else if (firstX > rightColumn) {
            AddBorderEdge(polygon, static_cast<float>(y0), static_cast<float>(y1),
                          static_cast<float>(rightColumn));
        } else {
            const auto x = static_cast<float>(xTop + (y0 - yTop) * static_cast<double>(dxdy));
            AddRawEdge(polygon, CFillEdge{static_cast<float>(y0), static_cast<float>(y1), x, dxdy});
        }
    }
}

void CPolyPolyFill::Activate(float y) {
    for (std::size_t p = 0; p < polygonCount; ++p) {
        const CGrowableArray<CFillEdge>& table = edgeTables[p];
        std::size_t& cursor = tableCursors[p];
        while (cursor < table.GetSize() && table[cursor].yTop <= y) {
            activeLists[p].Add(table[cursor++]);
            --pendingCount;
            ++activeCount;
        }
    }
}

void CPolyPolyFill::WriteRow(int32_t y, int32_t left, int32_t right, bool dotted) {
    const auto memoryRow = static_cast<std::size_t>(topDown ? y : height - 1 - y);
    uint8_t* row = bits + rowSize * memoryRow;
    if (dotted) {
        // The dot screen: on rows that are multiples of 3, the pixels whose byte offset o in the 24-bit
        // bottom-up layout has one of o, o + 1, o + 2 divisible by 9. The same offsets are used for every
        // layout so that 24- and 32-bit bitmaps and both row orders show the same dots.
        if (y % 3 != 0)
            return;
        std::size_t o =
            3 * static_cast<std::size_t>(left) + dotRowSize * static_cast<std::size_t>(height - 1 - y);
        for (int32_t x = left; x < right; ++x, o += 3) {
            const std::size_t m = o % 9;
            if (m != 0 && m != 7 && m != 8)
                continue;
            uint8_t* p = row + static_cast<std::size_t>(bytesPerPixel) * static_cast<std::size_t>(x);
            p[0] = blue;
            p[1] = green;
            p[2] = red;
            if (bytesPerPixel == 4)
                p[3] = 0;
        }
        return;
    }
    FillPixels(row + static_cast<std::size_t>(bytesPerPixel) * static_cast<std::size_t>(left),
               static_cast<std::size_t>(right - left), pixel32, bytesPerPixel);
}

int CPolyPolyFill::Fill(CDeviceContext& dc, std::span<const CPoint> points, std::span<const int32_t> counts,
                        uint32_t colour, bool dotted) {
    CDibSection* bitmap = dc.GetBitmap();
    if (bitmap == nullptr) {
        Reset();
        return 0;
    }
    const int result = FillWithin(*bitmap, dc.GetClipBox(), points, counts, colour, dotted);
    dc.AddDamage(written);
    return result;
}

int CPolyPolyFill::Fill(CDibSection& bitmap, std::span<const CPoint> points, std::span<const int32_t> counts,
                        uint32_t colour, bool dotted) {
    return FillWithin(bitmap, CRect{0, 0, bitmap.GetWidth(), bitmap.GetHeight()}, points, counts, colour,
                      dotted);
}

int CPolyPolyFill::FillWithin(CDibSection& bitmap, const CRect& box, std::span<const CPoint> points,
                              std::span<const int32_t> counts, uint32_t colour, bool dotted) {
    Reset();
    // Only 24- and 32-bit bitmaps are written; for other depths there is nothing the fill could do, and
    // it says so instead of reporting a fill that did not happen.
    const uint16_t depth = bitmap.GetBitCount();
    if (bitmap.IsEmpty() || (depth != 24 && depth != 32))
        return 0;
    width = bitmap.GetWidth();
    height = bitmap.GetHeight();
    rowSize = bitmap.GetBytesPerRow();
    dotRowSize = CDibSection::BytesPerRow(width, 24);
    if (bitmap.GetBits().size() < rowSize * static_cast<std::size_t>(height))
        return 0;
    bits = bitmap.GetBits().data();
    bytesPerPixel = depth / 8;
    topDown = bitmap.GetHeader().height < 0;

    // Edge building, polygon by polygon; each polygon closes from its last point to its first.
    std::size_t polygons = 0, offset = 0;
    for (int32_t count : counts) {
        const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
        if (n > points.size() - offset)
            break;
        offset += n;
        ++polygons;
    }
    if (rawEdges.size() < polygons) {
        rawEdges.resize(polygons);
        edgeTables.resize(polygons);
        activeLists.resize(polygons);
    }
    polygonCount = polygons;
    tableCursors.assign(polygonCount, 0);
    offset = 0;
    for (std::size_t p = 0; p < polygonCount; ++p) {
        const auto n = static_cast<std::size_t>(std::max(counts[p], 0));
        const std::span<const CPoint> polygon = points.subspan(offset, n);
        offset += n;
        for (std::size_t i = 0; i < n; ++i)
            BuildEdges(p, polygon[i], polygon[i + 1 < n ? i + 1 : 0]);
        for (const CFillEdge& edge : rawEdges[p]) {
            if (edge.dxdy >= CFillEdge::kHorizontal)
                continue;
            InsertSorted(edgeTables[p], edge);
            ++pendingCount;
        }
    }
    if (pendingCount == 0)
        return 0;

    float firstRow = CFillEdge::kHorizontal;
    for (std::size_t p = 0; p < polygonCount; ++p)
        if (const CGrowableArray<CFillEdge>& table = edgeTables[p]; !table.IsEmpty())
            firstRow = std::min(firstRow, std::floor(table[0].yTop));
    Activate(firstRow);
    if (activeCount == 0)
        return 0;

    pixel32 = (colour >> 16 & 0xFF) | (colour & 0xFF00) | (colour & 0xFF) << 16;
    blue = static_cast<uint8_t>(colour >> 16);
    green = static_cast<uint8_t>(colour >> 8);
    red = static_cast<uint8_t>(colour);
    crossings.reserve(edgeCount);

    // Rows outside the box are stepped through but not written: an edge's x is summed row by row, so
    // starting it lower would move its crossings. The order of the active edges does not matter there,
    // as each written row sorts its crossings.
    for (auto y = static_cast<int32_t>(firstRow); pendingCount + activeCount > 0 && y < box.bottom; ++y) {
        const bool inBox = y >= box.top && y >= 0 && y < height;
        crossings.clear();
        if (inBox)
            for (const CGrowableArray<CFillEdge>& active : ActiveLists())
                for (const CFillEdge& edge : active)
                    crossings.push_back(RoundHalfAway(edge.x));
        std::sort(crossings.begin(), crossings.end());
        // Crossings are held to the bitmap's columns: a rounding step past a border then lands on the
        // border instead of outside the row. The box then cuts the span.
        if (crossings.size() >= 2) {
            for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
                const int32_t left = std::max(std::clamp(crossings[i], 0, width - 1), box.left);
                const int32_t right = std::min(std::clamp(crossings[i + 1], 0, width - 1), box.right);
                if (left < right) {
                    WriteRow(y, left, right, dotted);
                    spanPixelCount += static_cast<std::size_t>(right - left);
                    written = written.IsEmpty() ? CRect{left, y, right, y + 1}
                                                : CRect{std::min(written.left, left), written.top,
                                                        std::max(written.right, right), y + 1};
                }
            }
        }

        for (CGrowableArray<CFillEdge>& active : ActiveLists())
            for (CFillEdge& edge : active)
                edge.x += edge.dxdy;

        const auto next = static_cast<float>(y + 1);
        Activate(next);
        for (CGrowableArray<CFillEdge>& active : ActiveLists()) {
            std::size_t kept = 0;
            for (std::size_t i = 0; i < active.GetSize(); ++i)
                if (active[i].yBottom > next)
                    active[kept++] = active[i];
            activeCount -= active.GetSize() - kept;
            if (kept != active.GetSize())
                active.RemoveAt(kept, active.GetSize() - kept);
        }

        // Bubble sort by x: between rows the order changes only where edges cross, so a pass or two is
        // usually enough.
        if (!inBox)
            continue;
        for (CGrowableArray<CFillEdge>& active : ActiveLists()) {
            bool swapped = true;
            while (swapped) {
                swapped = false;
                for (std::size_t i = 1; i < active.GetSize(); ++i) {
                    if (active[i].x < active[i - 1].x) {
                        std::swap(active[i], active[i - 1]);
                        swapped = true;
                    }
                }
            }
        }
    }
    return 1;
}

} // namespace pq
