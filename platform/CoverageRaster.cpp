#include "platform/CoverageRaster.h"

#include "platform/DeviceContext.h"
#include "platform/CoverageRows.h"
#include "platform/DibSection.h"

#include <algorithm>
#include <cmath>

namespace pq {


void CCoverageRaster::Clear() {
    edges.clear();
    minX = maxX = minY = maxY = 0;
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
    e.xBottom = b.x;
    e.dxdy = (b.x - a.x) / (b.y - a.y);
    if (!std::isfinite(e.dxdy))
        return; // so flat against its length that it covers nothing

    const auto [lowX, highX] = std::minmax(a.x, b.x);
    if (edges.empty()) {
        minX = lowX;
        maxX = highX;
        minY = a.y;
        maxY = b.y;
    } else {
        minX = std::min(minX, lowX);
        maxX = std::max(maxX, highX);
        minY = std::min(minY, a.y);
        maxY = std::max(maxY, b.y);
    }
    edges.push_back(e);
}

void CCoverageRaster::AddPolygon(std::span<const CPointF> points) {
    if (points.size() < 3)
        return;
    // Bounds and finiteness in one pass; a polygon with a point at infinity or NaN goes edge by edge,
    // dropping the edges that touch it.
    float lowX = points[0].x, highX = lowX, lowY = points[0].y, highY = lowY;
    for (const CPointF& p : points) {
        lowX = std::min(lowX, p.x);
        highX = std::max(highX, p.x);
        lowY = std::min(lowY, p.y);
        highY = std::max(highY, p.y);
    }
    if (!std::isfinite(lowX) || !std::isfinite(highX) || !std::isfinite(lowY) || !std::isfinite(highY) ||
        !std::isfinite(points[0].x) || !std::isfinite(points[0].y)) {
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            AddEdge(points[i], points[i + 1]);
        AddEdge(points.back(), points.front());
        return;
    }
    const std::size_t before = edges.size();
    edges.reserve(before + points.size());
    auto add = [&](CPointF a, CPointF b) {
        if (a.y == b.y)
            return;
        CEdge e;
        e.winding = a.y < b.y ? 1 : -1;
        if (b.y < a.y)
            std::swap(a, b);
        e.yTop = a.y;
        e.yBottom = b.y;
        e.xTop = a.x;
        e.xBottom = b.x;
    e.xBottom = b.x;
        e.dxdy = (b.x - a.x) / (b.y - a.y);
        if (std::isfinite(e.dxdy)) // else so flat against its length that it covers nothing
            edges.push_back(e);
    };
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        add(points[i], points[i + 1]);
    add(points.back(), points.front());
    if (edges.size() == before)
        return;
    if (before == 0) {
        minX = lowX;
        maxX = highX;
        minY = lowY;
        maxY = highY;
    } else {
        minX = std::min(minX, lowX);
        maxX = std::max(maxX, highX);
        minY = std::min(minY, lowY);
        maxY = std::max(maxY, highY);
    }
}

void CCoverageRaster::Fill(CDeviceContext& dc, uint32_t colour, FillRule rule) {
    CDibSection* bitmap = dc.GetBitmap();
    coverage::CRows rows;
    if (edges.empty() || bitmap == nullptr || dc.GetClipBox().IsEmpty() || !coverage::FindRows(*bitmap, rows)) {
        Clear();
        return;
    }
    FillByArea(dc, colour, rule);
    Clear();
}

} // namespace pq
