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
// (x, y) to (x + 1, y + 1). Coverage is exact along each of kSubRows sample rows per pixel row (the part
// of the row's width inside the shape), so a near-vertical edge gets its true partial coverage and a
// near-horizontal one kSubRows + 1 levels. Nothing here is drawn with a raster operation: the colour is
// laid over what is there, which is why aliased feedback never goes through it.
//
// Shapes are collected with the Add calls and drawn, then forgotten, by Fill. One object per thread.
class CCoverageRaster {
public:
    static constexpr int kSubRows = 16;

    enum class FillRule { EvenOdd, NonZero };

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

    [[nodiscard]] bool IsEmpty() const { return edges.empty(); }

private:
    struct CEdge {
        float yTop = 0, yBottom = 0; // yTop < yBottom
        float xTop = 0, dxdy = 0;    // x at yTop, and its change per unit of y
        int32_t winding = 0;         // +1 downwards, -1 upwards
    };
    struct CCrossing {
        int32_t x = 0; // in 1/256 pixel, clamped to the clip
        int32_t winding = 0;
    };

    void AddEdge(CPointF a, CPointF b);
    void AddDisc(CPointF centre, float radius);
    void AddSolidStroke(std::span<const CPointF> points, float width, bool closed, bool roundEnds);
    void AddDashedStroke(std::span<const CPointF> points, bool closed, int penStyle);
    // Adds the spans of one sample row to the coverage of the row's pixels, counted weight times.
    void AccumulateSubRow(FillRule rule, int32_t left, int32_t right, int32_t weight);

    std::vector<CEdge> edges;
    std::vector<uint32_t> active;
    std::vector<CCrossing> crossings;
    std::vector<int32_t> cover;      // partial coverage of each pixel of the row, from the clip's left
    std::vector<int32_t> runs;       // difference array of whole-pixel coverage, from the clip's left
    std::vector<CPointF> dash;       // the points of one dash
    std::vector<CPointF> line;       // a stroked line's distinct points
    std::vector<CPointF> unitCircle; // the last disc's corners on the unit circle
    int32_t touchedLeft = 0, touchedRight = -1; // pixels of the row with coverage, from the clip's left
    float minY = 0, maxY = 0;
};

} // namespace pq
