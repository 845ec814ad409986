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
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        AddEdge(points[i], points[i + 1]);
    AddEdge(points.back(), points.front());
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
