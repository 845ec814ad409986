#pragma once

#include "geometry/PointF.h"
#include "geometry/Rect.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pq {

class CDeviceContext;

// Smooth-edged filling: shapes given in device pixels with fractional coordinates are blended into the
// bitmap of a device context by how much of each pixel they cover. Pixel (x, y) is the square from
// (x, y) to (x + 1, y + 1). Nothing here is drawn with a raster operation: the colour is laid over what
// is there, which is why aliased feedback never goes through it.
//
// Coverage is each pixel's exact covered area: every edge adds, to the cells of the rows it crosses, the
// signed area it sweeps towards the right, and a running sum along each row gives the pixel's winding
// weighted by area, to which the fill rule is applied (non-zero: its size up to one; even-odd: folded
// about the odd windings). That is exact wherever the borders of overlapping parts do not meet inside
// one pixel, which is why a pen's area is built as outlines that do not overlap themselves. Cells that
// an edge changed are marked, and each row is swept from mark to mark, laying the runs between them at
// once: the cost is the edges' length in pixels plus the pixels drawn, however many edges a row holds.
//
// Shapes are collected with the Add calls and drawn, then forgotten, by Fill. One object per thread.
class CCoverageRaster {
public:
    enum class FillRule { EvenOdd, NonZero };
    // Rows top .. bottom - 1.
    struct CRowRange {
        int32_t top = 0;
        int32_t bottom = 0;
    };

    // A closed polygon (the last point joins the first).
    void AddPolygon(std::span<const CPointF> points);
    // The area a round pen of the given width covers along the polyline: every segment and a disc at
    // each end and at every bend. With closed, the last point joins the first. Dashed pen styles
    // (platform/PenBrushStyles.h) split the line into dashes of the one-pixel pens' lengths.
    void AddStroke(std::span<const CPointF> points, float width, bool closed, int penStyle);

    // Blends colour (a colour reference, 0x00BBGGRR) over the pixels of the context's bitmap within its
    // clip box, by coverage, adds the touched rectangle to its damage, and empties the shape. Does
    // nothing on a bitmap of another depth than 24 or 32 bits.
    void Fill(CDeviceContext& dc, uint32_t colour, FillRule rule);
    // Forgets the collected shape, keeping the storage.
    void Clear();
    // Rows that the fills leave alone from now on, in order and apart: rows that what is drawn later paints
    // over completely. Their edges are worked out only where they reach other rows. The ranges must
    // outlive the fills; an empty span draws every row again.
    void LeaveOutRows(std::span<const CRowRange> rows) { leftOut = rows; }

    [[nodiscard]] bool IsEmpty() const { return edges.empty(); }

private:
    struct CEdge {
        float yTop = 0, yBottom = 0; // yTop < yBottom
        float xTop = 0, dxdy = 0;    // x at yTop, and its change per unit of y
        float xBottom = 0;           // x at yBottom
        int32_t winding = 0;         // +1 downwards, -1 upwards
    };

    // The edge from a to b; false for one that covers nothing (level, or so flat against its length that
    // its slope overflows).
    static bool MakeEdge(CPointF a, CPointF b, CEdge& e);
    // Widens the bounds of the collected shape, or starts them afresh.
    void IncludeInBounds(bool start, float lowX, float highX, float lowY, float highY);
    void AddEdge(CPointF a, CPointF b);
    void AddDisc(CPointF centre, float radius);
    void AppendArc(CPointF centre, CPointF from, float sweep, float radius);
    void AddSolidStroke(std::span<const CPointF> points, float width, bool closed, bool roundEnds);
    void AddDashedStroke(std::span<const CPointF> points, bool closed, int penStyle);
    void FillByArea(CDeviceContext& dc, uint32_t colour, FillRule rule);
    // Adds the edge's share of the rows from bandTop to bandBottom (band coordinates: x from the band's
    // left, rows from its top) to the cells, whose rows are stride apart and width + 2 long, and marks the
    // cells it changed in the rows' marks, words apart.
    void AccumulateEdge(const CEdge& edge, float left, int32_t bandTop, int32_t bandBottom, int32_t width,
                        std::size_t stride, std::size_t words);
    // The same for an edge that reaches outside the band, clipped to it.
    [[gnu::noinline]] void AccumulateClippedEdge(const CEdge& edge, float left, int32_t bandTop,
                                                 int32_t bandBottom, int32_t width, std::size_t stride,
                                                 std::size_t words);
    // The same for a vertical edge at x lying within the band from end to end, from its first row y,
    // whose cells and marks are at row and marks.
    void AccumulateVerticalEdge(const CEdge& edge, float x, int32_t y, float* row, uint64_t* marks,
                                std::size_t stride, std::size_t words);

    std::vector<CEdge> edges;
    std::vector<uint32_t> active;
    std::span<const CRowRange> leftOut;
    std::vector<CRowRange> drawnRows; // the rows of a fill less those left out
    std::vector<float> cells;        // area changes of a band of rows; all zero between fills
    std::vector<uint64_t> touched;   // a bit for each cell that may hold a change; all zero between fills
    std::vector<CPointF> dash;       // the points of one dash
    std::vector<CPointF> line;       // a stroked line's distinct points
    std::vector<CPointF> outline;    // one outline of a pen's area
    std::vector<CPointF> normals;    // of a stroked line's segments
    std::vector<float> lengths;      // of a stroked line's segments
    float arcRadius = 0, arcStep = 0; // the angle step of arcs of the last radius drawn
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
};

} // namespace pq
