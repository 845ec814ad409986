#include "platform/CoverageRaster.h"

#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

constexpr int32_t kFullSubRow = 256; // coverage of a whole pixel by one sample row
constexpr int32_t kFullPixel = kFullSubRow * CCoverageRaster::kSubRows;

// Where a bitmap's rows are, or nothing for one that is not drawn on.
struct CRows {
    uint8_t* top = nullptr;
    std::ptrdiff_t pitch = 0;
    int32_t bytesPerPixel = 0;
};

bool FindRows(CDibSection& bitmap, CRows& rows) {
    const uint16_t depth = bitmap.GetBitCount();
    if (bitmap.IsEmpty() || (depth != 24 && depth != 32))
        return false;
    const int32_t height = bitmap.GetHeight();
    const auto rowBytes = static_cast<std::ptrdiff_t>(bitmap.GetBytesPerRow());
    if (bitmap.GetBits().size() < static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height))
        return false;
    uint8_t* bits = bitmap.GetBits().data();
    const bool topDown = bitmap.GetHeader().height < 0;
    rows.top = topDown ? bits : bits + rowBytes * (height - 1);
    rows.pitch = topDown ? rowBytes : -rowBytes;
    rows.bytesPerPixel = depth / 8;
    return true;
}

} // namespace

void CCoverageRaster::Clear() {
    edges.clear();
    minY = maxY = 0;
}

void CCoverageRaster::AddEdge(CPointF a, CPointF b) {
    if (a.y == b.y || !std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) ||
        !std::isfinite(b.y))
        return;
    CEdge e;
    e.winding = a.y < b.y ? 1 : -1;
    if (b.y < a.y)
        std::swap(a, b);
    e.yTop = a.y;
    e.yBottom = b.y;
    e.xTop = a.x;
    e.dxdy = (b.x - a.x) / (b.y - a.y);
    if (edges.empty()) {
        minY = a.y;
        maxY = b.y;
    } else {
        minY = std::min(minY, a.y);
        maxY = std::max(maxY, b.y);
    }
    edges.push_back(e);
}

void CCoverageRaster::AddPolygon(std::span<const CPointF> points) {
    if (points.size() < 3)
        return;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        AddEdge(points[i], points[i + 1]);
    AddEdge(points.back(), points.front());
}

void CCoverageRaster::AccumulateSubRow(FillRule rule, int32_t left, int32_t right, int32_t weight) {
    // A row mostly crosses few edges, for which an insertion sort is quickest; a long pen's pieces can
    // put hundreds on one row.
    if (crossings.size() > 24)
        std::sort(crossings.begin(), crossings.end(),
                  [](const CCrossing& a, const CCrossing& b) { return a.x < b.x; });
    for (std::size_t i = 1; i < crossings.size(); ++i) {
        const CCrossing c = crossings[i];
        std::size_t j = i;
        for (; j > 0 && crossings[j - 1].x > c.x; --j)
            crossings[j] = crossings[j - 1];
        crossings[j] = c;
    }
    const int32_t limit = (right - left) * kFullSubRow;
    int32_t winding = 0, start = 0;
    const int32_t mask = rule == FillRule::NonZero ? -1 : 1;
    for (const CCrossing& c : crossings) {
        const bool wasInside = (winding & mask) != 0;
        winding += c.winding;
        const bool inside = (winding & mask) != 0;
        if (inside == wasInside)
            continue;
        if (inside) {
            start = c.x;
            continue;
        }
        const int32_t xa = std::clamp(start, 0, limit), xb = std::clamp(c.x, 0, limit);
        if (xa >= xb)
            continue;
        // Both ends are at least zero: shifts and masks split them into pixel and fraction.
        const int32_t ia = xa >> 8, ib = xb >> 8;
        static_assert(kFullSubRow == 256);
        if (ia == ib) {
            cover[static_cast<std::size_t>(ia)] += (xb - xa) * weight;
        } else {
            cover[static_cast<std::size_t>(ia)] += (kFullSubRow - (xa & 255)) * weight;
            runs[static_cast<std::size_t>(ia) + 1] += kFullSubRow * weight;
            runs[static_cast<std::size_t>(ib)] -= kFullSubRow * weight;
            cover[static_cast<std::size_t>(ib)] += (xb & 255) * weight;
        }
        touchedLeft = std::min(touchedLeft, ia);
        touchedRight = std::max(touchedRight, ib);
    }
}

void CCoverageRaster::Fill(CDeviceContext& dc, uint32_t colour, FillRule rule) {
    CDibSection* bitmap = dc.GetBitmap();
    const CRect clip = dc.GetClipBox();
    CRows rows;
    if (edges.empty() || bitmap == nullptr || clip.IsEmpty() || !FindRows(*bitmap, rows)) {
        Clear();
        return;
    }
    const auto rowTop = static_cast<int32_t>(std::max<float>(static_cast<float>(clip.top), std::floor(minY)));
    const auto rowBottom =
        static_cast<int32_t>(std::min<float>(static_cast<float>(clip.bottom), std::ceil(maxY)));
    if (rowTop >= rowBottom) {
        Clear();
        return;
    }
    std::sort(edges.begin(), edges.end(), [](const CEdge& a, const CEdge& b) { return a.yTop < b.yTop; });

    const int32_t width = clip.right - clip.left;
    // Both arrays are all zero between fills: each row clears what it touched.
    if (cover.size() < static_cast<std::size_t>(width) + 2) {
        cover.assign(static_cast<std::size_t>(width) + 2, 0);
        runs.assign(static_cast<std::size_t>(width) + 2, 0);
    }
    const uint8_t red = colour & 0xFF, green = colour >> 8 & 0xFF, blue = colour >> 16 & 0xFF;
    const float left = static_cast<float>(clip.left), right = static_cast<float>(clip.right);
    int32_t damageLeft = width, damageRight = -1, damageTop = rowBottom, damageBottom = rowTop;
    active.clear();
    std::size_t next = 0;
    for (int32_t y = rowTop; y < rowBottom; ++y) {
        touchedLeft = width + 1;
        touchedRight = -1;
        // A row that only vertical edges cross from top to bottom (the sides of upright boxes) has the
        // same spans on every sample row: one sample counts for all of them.
        const float firstSample = static_cast<float>(y) + 0.5f / kSubRows;
        const float lastSample = static_cast<float>(y) + (kSubRows - 0.5f) / kSubRows;
        bool uniform = next == edges.size() || edges[next].yTop > lastSample;
        for (std::size_t i = 0; uniform && i < active.size(); ++i) {
            const CEdge& e = edges[active[i]];
            uniform = e.yBottom <= firstSample || (e.yBottom > lastSample && e.dxdy == 0);
        }
        const int samples = uniform ? 1 : kSubRows;
        for (int s = 0; s < samples; ++s) {
            const float sy = static_cast<float>(y) + (static_cast<float>(s) + 0.5f) / kSubRows;
            while (next < edges.size() && edges[next].yTop <= sy)
                active.push_back(static_cast<uint32_t>(next++));
            crossings.clear();
            std::size_t kept = 0;
            for (const uint32_t index : active) {
                const CEdge& e = edges[index];
                if (e.yBottom <= sy)
                    continue;
                active[kept++] = index;
                const float x = std::clamp(e.xTop + (sy - e.yTop) * e.dxdy, left, right) - left;
                crossings.push_back({static_cast<int32_t>(x * kFullSubRow + 0.5f), e.winding}); // x >= 0
            }
            active.resize(kept);
            if (crossings.size() >= 2)
                AccumulateSubRow(rule, clip.left, clip.right, kSubRows / samples);
        }
        if (touchedRight < touchedLeft)
            continue;
        uint8_t* row = rows.top + rows.pitch * y;
        int32_t run = 0;
        for (int32_t x = touchedLeft; x <= touchedRight; ++x) {
            const auto i = static_cast<std::size_t>(x);
            run += runs[i];
            const int32_t value = cover[i] + run;
            cover[i] = 0;
            runs[i] = 0;
            if (x >= width || value <= 0)
                continue;
            const int32_t alpha = value >= kFullPixel ? 256 : value * 256 / kFullPixel;
            uint8_t* p = row + static_cast<std::ptrdiff_t>(clip.left + x) * rows.bytesPerPixel;
            if (alpha == 256) {
                p[0] = blue;
                p[1] = green;
                p[2] = red;
                if (rows.bytesPerPixel == 4)
                    p[3] = 0;
            } else {
                const int32_t rest = 256 - alpha;
                p[0] = static_cast<uint8_t>((blue * alpha + p[0] * rest + 128) >> 8);
                p[1] = static_cast<uint8_t>((green * alpha + p[1] * rest + 128) >> 8);
                p[2] = static_cast<uint8_t>((red * alpha + p[2] * rest + 128) >> 8);
            }
        }
        // The difference array may end one past the last pixel.
        if (static_cast<std::size_t>(touchedRight) + 1 < runs.size())
            runs[static_cast<std::size_t>(touchedRight) + 1] = 0;
        damageLeft = std::min(damageLeft, touchedLeft);
        damageRight = std::max(damageRight, std::min(touchedRight, width - 1));
        damageTop = std::min(damageTop, y);
        damageBottom = std::max(damageBottom, y + 1);
    }
    if (damageRight >= damageLeft)
        dc.AddDamage(CRect{clip.left + damageLeft, damageTop, clip.left + damageRight + 1, damageBottom});
    Clear();
}

} // namespace pq
