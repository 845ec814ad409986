#pragma once

#include "geometry/GrowableArray.h"
#include "geometry/Rect.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pq {

class CDibSection;
class CDeviceContext;

// One polygon edge in device pixels, rows counted from the top.
struct CFillEdge {
    // dxdy of a horizontal edge: the largest float.
    static constexpr float kHorizontal = 3.4028235e38f;

    float yTop = 0.0f;    // first row of the edge
    float yBottom = 0.0f; // row at which the edge ends (not filled)
    float x = 0.0f;       // x on the current row; at yTop when the edge is built
    float dxdy = 0.0f;    // change of x per row

    bool operator==(const CFillEdge&) const = default;
};

// Fills several polygons together with the even-odd rule across all of them, writing straight into the
// bits of a 24- or 32-bit bitmap: a path's subpaths fill as one shape with their holes left open, which a
// single-polygon fill cannot do. Rows are scanned top to bottom; each row's crossings are the edges' x
// values rounded half away from zero, and pixels from one crossing up to (not including) the next are set.
// Edges are clipped to the bitmap as they are built: parts above row 0 and below row height - 1 are cut
// away, and parts left or right of the bitmap become vertical edges on its first or last column, so that
// every row keeps its parity. The last row and column are therefore never written.
class CPolyPolyFill {
public:
    CPolyPolyFill() = default;
    virtual ~CPolyPolyFill() = default;

    // Fills the polygons held one after another in points, counts[i] points each, closing each polygon
    // from its last point to its first. colour is a colour reference (0x00BBGGRR); dotted writes only a
    // sparse dot screen of the colour. Returns 1 when the fill ran, 0 when there was nothing to fill
    // (no edge inside the bitmap's rows) or the bitmap is not a 24- or 32-bit one. Counts that run past
    // the end of points end the input there.
    int Fill(CDibSection& bitmap, std::span<const CPoint> points, std::span<const int32_t> counts,
             uint32_t colour, bool dotted);
    // The same on the bitmap selected into a device context (0 when none is), writing only inside the
    // context's clip box. The edges still run from their tops, so the pixels inside the box are exactly
    // those the whole fill would write there.
    int Fill(CDeviceContext& dc, std::span<const CPoint> points, std::span<const int32_t> counts,
             uint32_t colour, bool dotted);

    // Empties all lists, keeping their storage for the next Fill; called at the start of every Fill, so
    // that a filler reused for many paths allocates only while its largest path grows the lists.
    void Reset();

    // The edges built by the last Fill, per polygon: as clipped, and sorted by top row then x.
    [[nodiscard]] std::size_t GetPolygonCount() const { return polygonCount; }
    [[nodiscard]] const CGrowableArray<CFillEdge>& GetRawEdges(std::size_t polygon) const {
        return rawEdges[polygon];
    }
    [[nodiscard]] const CGrowableArray<CFillEdge>& GetEdgeTable(std::size_t polygon) const {
        return edgeTables[polygon];
    }
    [[nodiscard]] std::size_t GetEdgeCount() const { return edgeCount; }
    // Pixels inside the spans of the last Fill (all of them, also where the dot screen leaves gaps).
    [[nodiscard]] std::size_t GetSpanPixelCount() const { return spanPixelCount; }

    // Inserts an edge into a sorted edge table: ascending top row, ties in ascending x, after equal
    // entries. The place is found by halving the range while it holds more than four entries, then by a
    // linear scan.
    static void InsertSorted(CGrowableArray<CFillEdge>& table, const CFillEdge& edge);

private:
    void BuildEdges(std::size_t polygon, CPoint from, CPoint to);
    void AddRawEdge(std::size_t polygon, const CFillEdge& edge);
    void AddBorderEdge(std::size_t polygon, float yTop, float yBottom, float x);
    // Moves the edges that begin at or above row y from the edge tables into the active lists.
    void Activate(float y);
    // The active lists of the polygons of this Fill (the lists beyond them are kept empty).
    [[nodiscard]] std::span<CGrowableArray<CFillEdge>> ActiveLists() {
        return {activeLists.data(), polygonCount};
    }
    void WriteRow(int32_t y, int32_t left, int32_t right, bool dotted);
    int FillWithin(CDibSection& bitmap, const CRect& box, std::span<const CPoint> points,
                   std::span<const int32_t> counts, uint32_t colour, bool dotted);

    std::vector<CGrowableArray<CFillEdge>> rawEdges;
    std::vector<CGrowableArray<CFillEdge>> edgeTables;
    std::vector<CGrowableArray<CFillEdge>> activeLists;
    std::vector<std::size_t> tableCursors; // entries of each edge table already activated
    std::vector<int32_t> crossings;
    std::size_t polygonCount = 0; // lists in use; the vectors may hold more, emptied, from earlier fills
    std::size_t edgeCount = 0;
    std::size_t spanPixelCount = 0;
    std::size_t pendingCount = 0; // edge-table entries not yet activated
    std::size_t activeCount = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t pixel32 = 0;

    // Addressing of the target bitmap during one Fill.
    uint8_t* bits = nullptr;
    std::size_t rowSize = 0;
    std::size_t dotRowSize = 0; // row size of the same bitmap at 24 bits, for the dot screen
    int32_t bytesPerPixel = 0;
    bool topDown = false;
    CRect written; // the pixels the spans covered
    uint8_t blue = 0, green = 0, red = 0;
};

} // namespace pq
