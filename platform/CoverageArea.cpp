#include "platform/CoverageRaster.h"

#include "platform/CoverageRows.h"
#include "platform/DeviceContext.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace pq {

namespace {

// The cells of a band use at most this many floats, so a shape as large as a poster-sized bitmap costs
// a band of rows at a time. A band's cells (256 KB) stay in the second-level cache and are 64 fresh pages
// to fault in, not the 256 a four times larger band took: the sample page converted in 13 ms instead of
// 14, busier pages as fast as before.
constexpr std::size_t kMaxBandCells = std::size_t{1} << 16;

// Marks cells first..last of a row as holding an area change.
inline void MarkCells(uint64_t* words, int32_t first, int32_t last) {
    const int32_t firstWord = first >> 6, lastWord = last >> 6;
    const uint64_t fromFirst = ~uint64_t{0} << (first & 63);
    const uint64_t toLast = ~uint64_t{0} >> (63 - (last & 63));
    if (firstWord == lastWord) {
        words[firstWord] |= fromFirst & toLast;
        return;
    }
    words[firstWord] |= fromFirst;
    for (int32_t w = firstWord + 1; w < lastWord; ++w)
        words[w] = ~uint64_t{0};
    words[lastWord] |= toLast;
}

// Marks cells x and x + 1, the most common piece.
[[gnu::always_inline]] inline void MarkCellPair(uint64_t* words, int32_t x) {
    uint64_t* word = words + (x >> 6);
    word[0] |= uint64_t{3} << (x & 63); // the second bit falls off the end of bit 63
    if ((x & 63) == 63)
        word[1] |= 1;
}

// Adds the area a piece of an edge within one row sweeps towards the row's right end: d is its height
// in the row, signed by its direction, and lo <= hi its x range in the row's cells (0 <= lo, hi <= width).
// The cells right of the piece's last one get the whole of d through the running sum.
[[gnu::always_inline]] inline void AddRowPiece(float* row, uint64_t* touched, float lo, float hi, float d) {
    const auto x0 = static_cast<int32_t>(lo); // lo >= 0: truncation is the floor
    if (hi <= static_cast<float>(x0 + 1)) {
        const float middle = 0.5f * (lo + hi) - static_cast<float>(x0);
        row[x0] += d * (1.0f - middle);
        row[x0 + 1] += d * middle;
        MarkCellPair(touched, x0);
        return;
    }
    // Across several cells: the piece's area left of each cell boundary grows quadratically in the end
    // cells and linearly between them.
    auto x1 = static_cast<int32_t>(hi);
    x1 += static_cast<float>(x1) < hi ? 1 : 0; // the ceiling
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
    MarkCells(touched, x0, x1);
}

// A pixel's alpha, 0..256, from its winding weighted by area.
inline int32_t CoverageAlpha(float winding, CCoverageRaster::FillRule rule) {
    float covered = std::fabs(winding);
    if (covered > 1.0f) {
        if (rule == CCoverageRaster::FillRule::NonZero) {
            covered = 1.0f;
        } else {
            // Even-odd: windings fold about the odd ones, so two overlapping layers leave a hole.
            covered -= 2.0f * static_cast<float>(static_cast<int64_t>(covered * 0.5f));
            covered = covered > 1.0f ? 2.0f - covered : covered;
        }
    }
    return static_cast<int32_t>(covered * 256.0f + 0.5f);
}

// The colour as a fill lays it: channels to blend, and whole pixels to copy four at a time.
struct CRunColour {
    coverage::CBlendColour channels;
    uint8_t pattern[16];

    explicit CRunColour(uint32_t colour) : channels(colour) {
        for (int i = 0; i < 4; ++i) { // three-byte pixels; four-byte ones take the first four bytes
            pattern[3 * i] = channels.blue;
            pattern[3 * i + 1] = channels.green;
            pattern[3 * i + 2] = channels.red;
        }
        pattern[12] = pattern[13] = pattern[14] = pattern[15] = 0;
    }
};

// Lays the colour over count pixels from p at one alpha.
void BlendRun(uint8_t* p, int32_t count, int32_t alpha, const CRunColour& colour, int32_t bytesPerPixel) {
    if (alpha < 256) {
        for (int32_t i = 0; i < count; ++i, p += bytesPerPixel)
            coverage::BlendPixel(p, alpha, colour.channels, bytesPerPixel);
        return;
    }
    if (bytesPerPixel == 4) {
        uint8_t pixel[4] = {colour.channels.blue, colour.channels.green, colour.channels.red, 0};
        for (int32_t i = 0; i < count; ++i, p += 4)
            std::memcpy(p, pixel, 4);
        return;
    }
    int32_t i = 0;
    for (; i + 4 <= count; i += 4, p += 12)
        std::memcpy(p, colour.pattern, 12);
    for (; i < count; ++i, p += 3)
        std::memcpy(p, colour.pattern, 3);
}

} // namespace

// A vertical edge (every side of an upright box) crosses each row at the same x, so its pieces share
// their two cells and their split between them; whole rows in between add exactly the winding's share,
// as the general path's height of one times the winding is. Same sums in the same order, so the same
// pixels, for about half the work of a piece.
void CCoverageRaster::AccumulateVerticalEdge(const CEdge& edge, float x, int32_t y, float* row,
                                             uint64_t* marks, std::size_t stride, std::size_t words) {
    const auto w = static_cast<float>(edge.winding);
    const auto x0 = static_cast<int32_t>(x); // x >= 0: truncation is the floor
    const float middle = 0.5f * (x + x) - static_cast<float>(x0);
    const float leftShare = 1.0f - middle;
    const auto piece = [&](float d) {
        row[x0] += d * leftShare;
        row[x0 + 1] += d * middle;
        MarkCellPair(marks, x0);
    };
    // The first row from the edge's top, then whole rows, then the last row down to its bottom.
    auto yb = static_cast<float>(y + 1);
    if (yb >= edge.yBottom) {
        piece((edge.yBottom - edge.yTop) * w);
        return;
    }
    piece((yb - edge.yTop) * w);
    const float wholeLeft = w * leftShare, wholeRight = w * middle;
    for (;;) {
        row += stride;
        marks += words;
        const float ya = yb;
        yb = static_cast<float>(++y + 1);
        if (yb >= edge.yBottom) {
            piece((edge.yBottom - ya) * w);
            return;
        }
        row[x0] += wholeLeft;
        row[x0 + 1] += wholeRight;
        MarkCellPair(marks, x0);
    }
}

// Inlined into the fill's loop over its edges: most are short and cost little more than the call.
[[gnu::always_inline]] inline void CCoverageRaster::AccumulateEdge(const CEdge& edge, float left,
                                                                   int32_t bandTop, int32_t bandBottom,
                                                                   int32_t width, std::size_t stride,
                                                                   std::size_t words) {
    // Most edges are short and lie within the band from end to end: they need no clipping, and their
    // x is worked out in float from the edge's top at each row boundary.
    const float xStart = edge.xTop - left, xEnd = edge.xBottom - left;
    if (edge.yTop >= static_cast<float>(bandTop) && edge.yBottom <= static_cast<float>(bandBottom) &&
        std::min(xStart, xEnd) >= 0.0f && std::max(xStart, xEnd) <= static_cast<float>(width) - 0.001f) {
        const auto w = static_cast<float>(edge.winding);
        auto y = static_cast<int32_t>(edge.yTop); // at or below the band's top, so not negative
        const auto index = static_cast<std::size_t>(y - bandTop);
        float* row = cells.data() + index * stride;
        uint64_t* marks = touched.data() + index * words;
        if (edge.xTop == edge.xBottom) {
            AccumulateVerticalEdge(edge, xStart, y, row, marks, stride, words);
            return;
        }
        float ya = edge.yTop, xa = xStart;
        for (;;) {
            const auto yb = static_cast<float>(y + 1);
            if (yb >= edge.yBottom) {
                AddRowPiece(row, marks, std::min(xa, xEnd), std::max(xa, xEnd), (edge.yBottom - ya) * w);
                return;
            }
            const float xb = xStart + (yb - edge.yTop) * edge.dxdy;
            AddRowPiece(row, marks, std::min(xa, xb), std::max(xa, xb), (yb - ya) * w);
            xa = xb;
            ya = yb;
            ++y;
            row += stride;
            marks += words;
        }
    }
    // A band of a fill whose first or last rows are left out holds only some of its edges.
    if (edge.yBottom <= static_cast<float>(bandTop) || edge.yTop >= static_cast<float>(bandBottom))
        return;
    AccumulateClippedEdge(edge, left, bandTop, bandBottom, width, stride, words);
}

void CCoverageRaster::AccumulateClippedEdge(const CEdge& edge, float left, int32_t bandTop,
                                            int32_t bandBottom, int32_t width, std::size_t stride,
                                            std::size_t words) {
    const float top = std::max(edge.yTop, static_cast<float>(bandTop));
    const float bottom = std::min(edge.yBottom, static_cast<float>(bandBottom));
    if (!(top < bottom))
        return;
    const auto right = static_cast<double>(width);
    const auto firstRow = static_cast<int32_t>(std::floor(top));
    const auto endRow = static_cast<int32_t>(std::ceil(bottom));
    const auto winding = static_cast<float>(edge.winding);
    const auto bandRow = [&](int32_t y) {
        const auto index = static_cast<std::size_t>(y - bandTop);
        return std::pair{cells.data() + index * stride, touched.data() + index * words};
    };
    // x from the edge's top at every row boundary, so that no error piles up along a long edge; in
    // double, so that an edge reaching far outside the band neither overflows nor loses the share it
    // leaves.
    const double xTop = static_cast<double>(edge.xTop) - left, yTop = edge.yTop, dxdy = edge.dxdy;
    float ya = top;
    double xa = xTop + (static_cast<double>(ya) - yTop) * dxdy;
    for (int32_t y = firstRow; y < endRow; ++y) {
        const float yb = std::min(static_cast<float>(y + 1), bottom);
        const double xb = xTop + (static_cast<double>(yb) - yTop) * dxdy;
        double lo = std::min(xa, xb), hi = std::max(xa, xb);
        double d = static_cast<double>((yb - ya) * winding);
        xa = xb;
        ya = yb;
        const auto [row, marks] = bandRow(y);
        if (hi <= 0.0) {
            row[0] += static_cast<float>(d); // wholly left of the band: its winding counts from the first cell
            marks[0] |= 1;
            continue;
        }
        if (lo >= right)
            continue; // wholly right of the band: no cell of it is drawn
        if (lo < 0.0) {
            const double leftShare = d * (-lo / (hi - lo));
            row[0] += static_cast<float>(leftShare);
            marks[0] |= 1;
            d -= leftShare;
            lo = 0.0;
        }
        if (hi > right) {
            d -= d * ((hi - right) / (hi - lo));
            hi = right;
        }
        AddRowPiece(row, marks, static_cast<float>(lo), static_cast<float>(hi), static_cast<float>(d));
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
    drawnRows.clear();
    int32_t from = rowTop;
    for (const CRowRange& out : leftOut) {
        if (out.top > from)
            drawnRows.push_back({from, std::min(out.top, rowBottom)});
        from = std::max(from, out.bottom);
        if (from >= rowBottom)
            break;
    }
    if (from < rowBottom)
        drawnRows.push_back({from, rowBottom});
    if (drawnRows.empty())
        return;
    const int32_t width = columnRight - columnLeft;
    const std::size_t stride = static_cast<std::size_t>(width) + 2;
    const std::size_t words = (static_cast<std::size_t>(width) + 1) / 64 + 1; // marks for cells 0..width
    const auto bandHeight = static_cast<int32_t>(std::max<std::size_t>(1, kMaxBandCells / stride));
    const std::size_t bandRows = static_cast<std::size_t>(std::min(bandHeight, rowBottom - rowTop));
    // Both all zero between fills: each row clears what it read.
    if (cells.size() < stride * bandRows)
        cells.assign(stride * bandRows, 0.0f);
    if (touched.size() < words * bandRows)
        touched.assign(words * bandRows, 0);
    // One band takes every edge at once; several take them in order of their tops.
    const bool oneBand = drawnRows.size() == 1 && bandHeight >= rowBottom - rowTop;
    if (!oneBand)
        std::sort(edges.begin(), edges.end(), [](const CEdge& a, const CEdge& b) { return a.yTop < b.yTop; });
    const CRunColour blend(colour);
    const float left = static_cast<float>(columnLeft);
    const int32_t bpp = rows.bytesPerPixel;
    int32_t damageLeft = width, damageRight = -1, damageTop = rowBottom, damageBottom = rowTop;
    active.clear();
    std::size_t next = 0;
    for (const CRowRange& drawn : drawnRows) {
        for (int32_t band = drawn.top; band < drawn.bottom; band += bandHeight) {
            const int32_t bandBottom = std::min(drawn.bottom, band + bandHeight);
            // The bitmap's rows are far apart: their ends are fetched while the edges are accumulated, since
            // the partly covered pixels along them are read to be blended.
            for (int32_t y = band; y < std::min(bandBottom, band + 128); ++y) {
                __builtin_prefetch(rows.Pixel(columnLeft, y), 1);
                __builtin_prefetch(rows.Pixel(columnRight - 1, y), 1);
            }
            if (oneBand) {
                // Every edge at once, in the order added: no list of the edges still to come.
                for (const CEdge& e : edges)
                    AccumulateEdge(e, left, band, bandBottom, width, stride, words);
            } else {
                while (next < edges.size() && edges[next].yTop < static_cast<float>(bandBottom))
                    active.push_back(static_cast<uint32_t>(next++));
                std::size_t kept = 0;
                for (const uint32_t index : active) {
                    const CEdge& e = edges[index];
                    if (e.yBottom <= static_cast<float>(band))
                        continue;
                    active[kept++] = index;
                    AccumulateEdge(e, left, band, bandBottom, width, stride, words);
                }
                active.resize(kept);
            }
            // Each row is swept from marked cell to marked cell: between them the winding, and so the
            // coverage, stays what it was, so runs are skipped or laid at once.
            for (int32_t y = band; y < bandBottom; ++y) {
                float* cell = cells.data() + static_cast<std::size_t>(y - band) * stride;
                uint64_t* marks = touched.data() + static_cast<std::size_t>(y - band) * words;
                uint8_t* row = rows.Pixel(columnLeft, y);
                float winding = 0.0f;
                int32_t alpha = 0;
                int32_t x = 0; // the first pixel not yet laid
                int32_t rowLeft = width, rowRight = -1;
                for (std::size_t w = 0; w < words; ++w) {
                    uint64_t bits = marks[w];
                    marks[w] = 0;
                    while (bits != 0) {
                        const auto at =
                            static_cast<int32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
                        bits &= bits - 1;
                        winding += cell[at];
                        cell[at] = 0.0f;
                        if (at >= width)
                            continue;               // the change right of the last pixel shows nowhere
                        if (alpha != 0 && at > x) { // the run since the last mark
                            BlendRun(row + static_cast<std::ptrdiff_t>(x) * bpp, at - x, alpha, blend, bpp);
                            rowLeft = std::min(rowLeft, x);
                            rowRight = at - 1;
                        }
                        alpha = CoverageAlpha(winding, rule);
                        x = at + 1;
                        if (alpha != 0) {
                            coverage::BlendPixel(row + static_cast<std::ptrdiff_t>(at) * bpp, alpha,
                                                 blend.channels, bpp);
                            rowLeft = std::min(rowLeft, at);
                            rowRight = at;
                        }
                    }
                }
                if (alpha != 0 && width > x) {
                    BlendRun(row + static_cast<std::ptrdiff_t>(x) * bpp, width - x, alpha, blend, bpp);
                    rowLeft = std::min(rowLeft, x);
                    rowRight = width - 1;
                }
                if (rowRight < rowLeft)
                    continue;
                damageLeft = std::min(damageLeft, rowLeft);
                damageRight = std::max(damageRight, rowRight);
                damageTop = std::min(damageTop, y);
                damageBottom = std::max(damageBottom, y + 1);
            }
        }
    }
    if (damageRight >= damageLeft)
        dc.AddDamage(
            CRect{columnLeft + damageLeft, damageTop, columnLeft + damageRight + 1, damageBottom});
}

} // namespace pq
