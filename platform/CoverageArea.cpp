#include "platform/CoverageRaster.h"

#include "platform/CoverageRows.h"
#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// Adds the area a piece of an edge within one row sweeps towards the row's right end: d is its height
// in the row, signed by its direction, and lo <= hi its x range in the row's cells (0 <= lo, hi <= width).
// The cells right of the piece's last one get the whole of d through the running sum.
void AddRowPiece(float* row, float lo, float hi, float d) {
    const auto x0 = static_cast<int32_t>(lo); // lo >= 0: truncation is the floor
    const auto x1 = static_cast<int32_t>(std::ceil(hi));
    if (x1 <= x0 + 1) {
        const float middle = 0.5f * (lo + hi) - static_cast<float>(x0);
        row[x0] += d * (1.0f - middle);
        row[x0 + 1] += d * middle;
        return;
    }
    // Across several cells: the piece's area left of each cell boundary grows quadratically in the end
    // cells and linearly between them.
    const float s = 1.0f / (hi - lo);
    const float f0 = lo - static_cast<float>(x0);
    const float a0 = 0.5f * s * (1.0f - f0) * (1.0f - f0);
    const float f1 = hi - static_cast<float>(x1) + 1.0f;
    const float am = 0.5f * s * f1 * f1;
    row[x0] += d * a0;
    if (x1 == x0 + 2) {
        row[x0 + 1] += d * (1.0f - a0 - am);
    } else {
        const float a1 = s * (1.5f - f0);
        row[x0 + 1] += d * (a1 - a0);
        for (int32_t x = x0 + 2; x < x1 - 1; ++x)
            row[x] += d * s;
        const float a2 = a1 + static_cast<float>(x1 - x0 - 3) * s;
        row[x1 - 1] += d * (1.0f - a2 - am);
    }
    row[x1] += d * am;
}

// The cells of a band use at most this many floats, so a shape as large as a poster-sized bitmap costs
// a band of rows at a time.
constexpr std::size_t kMaxBandCells = std::size_t{1} << 18;

} // namespace

void CCoverageRaster::AccumulateEdge(const CEdge& edge, float left, int32_t bandTop, int32_t bandBottom,
                                     int32_t width, std::size_t stride) {
    const float top = std::max(edge.yTop, static_cast<float>(bandTop));
    const float bottom = std::min(edge.yBottom, static_cast<float>(bandBottom));
    if (!(top < bottom))
        return;
    const auto right = static_cast<double>(width);
    const auto firstRow = static_cast<int32_t>(std::floor(top));
    const auto endRow = static_cast<int32_t>(std::ceil(bottom));
    for (int32_t y = firstRow; y < endRow; ++y) {
        const float ya = std::max(static_cast<float>(y), top);
        const float yb = std::min(static_cast<float>(y + 1), bottom);
        if (!(ya < yb))
            continue;
        // x from the edge's top each time, so that no error piles up along a long edge; in double, so
        // that an edge reaching far outside the band neither overflows nor loses the share it leaves.
        const double xa = edge.xTop + (static_cast<double>(ya) - edge.yTop) * edge.dxdy - left;
        const double xb = edge.xTop + (static_cast<double>(yb) - edge.yTop) * edge.dxdy - left;
        double lo = std::min(xa, xb), hi = std::max(xa, xb);
        double d = static_cast<double>(yb - ya) * edge.winding;
        float* row = cells.data() + static_cast<std::size_t>(y - bandTop) * stride;
        if (hi <= 0.0) {
            row[0] += static_cast<float>(d); // wholly left of the band: its winding counts from the first cell
            continue;
        }
        if (lo >= right)
            continue; // wholly right of the band: no cell of it is drawn
        if (lo < 0.0) {
            const double leftShare = d * (-lo / (hi - lo));
            row[0] += static_cast<float>(leftShare);
            d -= leftShare;
            lo = 0.0;
        }
        if (hi > right) {
            d -= d * ((hi - right) / (hi - lo));
            hi = right;
        }
        AddRowPiece(row, static_cast<float>(lo), static_cast<float>(hi), static_cast<float>(d));
    }
}

void CCoverageRaster::FillByArea(CDeviceContext& dc, uint32_t colour, FillRule rule) {
    const CRect clip = dc.GetClipBox();
    coverage::CRows rows;
    coverage::FindRows(*dc.GetBitmap(), rows);
    const auto rowTop = static_cast<int32_t>(std::max<float>(static_cast<float>(clip.top), std::floor(minY)));
    const auto rowBottom =
        static_cast<int32_t>(std::min<float>(static_cast<float>(clip.bottom), std::ceil(maxY)));
    const auto columnLeft =
        static_cast<int32_t>(std::max<float>(static_cast<float>(clip.left), std::floor(minX)));
    const auto columnRight =
        static_cast<int32_t>(std::min<float>(static_cast<float>(clip.right), std::ceil(maxX)));
    if (rowTop >= rowBottom || columnLeft >= columnRight)
        return;
    const int32_t width = columnRight - columnLeft;
    const std::size_t stride = static_cast<std::size_t>(width) + 2;
    const auto bandHeight = static_cast<int32_t>(std::max<std::size_t>(1, kMaxBandCells / stride));
    const std::size_t bandRows = static_cast<std::size_t>(std::min(bandHeight, rowBottom - rowTop));
    if (cells.size() < stride * bandRows)
        cells.assign(stride * bandRows, 0.0f); // all zero between fills: each row clears what it read
    // One band takes every edge at once; several take them in order of their tops.
    if (bandHeight < rowBottom - rowTop)
        std::sort(edges.begin(), edges.end(), [](const CEdge& a, const CEdge& b) { return a.yTop < b.yTop; });
    const coverage::CBlendColour blend(colour);
    const float left = static_cast<float>(columnLeft);
    int32_t damageLeft = width, damageRight = -1, damageTop = rowBottom, damageBottom = rowTop;
    active.clear();
    std::size_t next = 0;
    for (int32_t band = rowTop; band < rowBottom; band += bandHeight) {
        const int32_t bandBottom = std::min(rowBottom, band + bandHeight);
        while (next < edges.size() && (bandBottom == rowBottom || edges[next].yTop < static_cast<float>(bandBottom)))
            active.push_back(static_cast<uint32_t>(next++));
        std::size_t kept = 0;
        for (const uint32_t index : active) {
            const CEdge& e = edges[index];
            if (e.yBottom <= static_cast<float>(band))
                continue;
            active[kept++] = index;
            AccumulateEdge(e, left, band, bandBottom, width, stride);
        }
        active.resize(kept);
        for (int32_t y = band; y < bandBottom; ++y) {
            float* cell = cells.data() + static_cast<std::size_t>(y - band) * stride;
            uint8_t* row = rows.Pixel(columnLeft, y);
            float winding = 0.0f;
            int32_t rowLeft = width, rowRight = -1;
            for (int32_t x = 0; x < width; ++x) {
                winding += cell[x];
                cell[x] = 0.0f;
                float covered = std::fabs(winding);
                // Even-odd: windings fold about the odd ones, so two overlapping layers leave a hole.
                if (covered > 1.0f && rule == FillRule::NonZero) {
                    covered = 1.0f;
                } else if (covered > 1.0f) {
                    covered = std::fmod(covered, 2.0f);
                    covered = covered > 1.0f ? 2.0f - covered : covered;
                }
                const auto alpha = static_cast<int32_t>(covered * 256.0f + 0.5f);
                if (alpha == 0)
                    continue;
                rowLeft = std::min(rowLeft, x);
                rowRight = x;
                coverage::BlendPixel(row + static_cast<std::ptrdiff_t>(x) * rows.bytesPerPixel, alpha, blend,
                                     rows.bytesPerPixel);
            }
            cell[width] = 0.0f;
            cell[width + 1] = 0.0f;
            if (rowRight < rowLeft)
                continue;
            damageLeft = std::min(damageLeft, rowLeft);
            damageRight = std::max(damageRight, rowRight);
            damageTop = std::min(damageTop, y);
            damageBottom = std::max(damageBottom, y + 1);
        }
    }
    if (damageRight >= damageLeft)
        dc.AddDamage(
            CRect{columnLeft + damageLeft, damageTop, columnLeft + damageRight + 1, damageBottom});
}

} // namespace pq
