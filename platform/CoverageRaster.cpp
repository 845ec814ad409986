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

bool CCoverageRaster::MakeEdge(CPointF a, CPointF b, CEdge& e) {
    if (a.y == b.y)
        return false;
    e.winding = a.y < b.y ? 1 : -1;
    if (b.y < a.y)
        std::swap(a, b);
    e.yTop = a.y;
    e.yBottom = b.y;
    e.xTop = a.x;
    e.xBottom = b.x;
    e.dxdy = (b.x - a.x) / (b.y - a.y);
    return std::isfinite(e.dxdy); // else so flat against its length that it covers nothing
}

void CCoverageRaster::IncludeInBounds(bool start, float lowX, float highX, float lowY, float highY) {
    if (start) {
        minX = lowX;
        maxX = highX;
        minY = lowY;
        maxY = highY;
        return;
    }
    minX = std::min(minX, lowX);
    maxX = std::max(maxX, highX);
    minY = std::min(minY, lowY);
    maxY = std::max(maxY, highY);
}

void CCoverageRaster::AddEdge(CPointF a, CPointF b) {
    CEdge e;
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y) ||
        !MakeEdge(a, b, e))
        return;
    const auto [lowX, highX] = std::minmax(a.x, b.x);
    IncludeInBounds(edges.empty(), lowX, highX, e.yTop, e.yBottom);
    edges.push_back(e);
}

void CCoverageRaster::AddPolygon(std::span<const CPointF> points) {
    if (points.size() < 3)
        return;
    // Bounds and finiteness in one pass: a polygon reaching infinity goes edge by edge, dropping the edges
    // that touch it. (The bounds pass over a NaN, but an edge touching one has no finite slope and is
    // dropped by MakeEdge either way.)
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
    // Written in place and cut back to the edges made: pushing each edge costs more than making it.
    const std::size_t before = edges.size(), n = points.size();
    edges.resize(before + n);
    CEdge* out = edges.data() + before;
    std::size_t made = 0;
    for (std::size_t i = 0; i + 1 < n; ++i)
        made += MakeEdge(points[i], points[i + 1], out[made]) ? 1 : 0;
    made += MakeEdge(points[n - 1], points[0], out[made]) ? 1 : 0;
    edges.resize(before + made);
    if (made > 0)
        IncludeInBounds(before == 0, lowX, highX, lowY, highY);
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
