#pragma once

#include "geometry/PointF.h"
#include "geometry/Rect.h"
#include "platform/CoverageRaster.h"
#include "render/PageRenderer.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pq {

// The device pixels of a box that objects drawn later are sure to paint over completely, one bit each,
// so that a busy page can leave out the objects nobody would see. It errs only one way: a pixel marked
// here is painted over whatever lay below it; a pixel left unmarked may or may not be.
class COpaqueCover {
public:
    // Nothing of box is covered. The box must not be empty.
    explicit COpaqueCover(const CRect& box);

    [[nodiscard]] const CRect& Box() const { return box; }
    // Marks the pixels left .. right - 1 of row y, as far as they lie in the box.
    void AddSpan(int32_t y, int32_t left, int32_t right);
    // Whether every pixel of rect that lies in the box is covered (true for a rect outside the box).
    [[nodiscard]] bool Covers(const CRect& rect) const;
    // Appends the runs of at least minRows rows of rect, within the box, whose pixels in rect are all
    // covered.
    void AddCoveredRows(const CRect& rect, int32_t minRows,
                        std::vector<CCoverageRaster::CRowRange>& runs) const;
    [[nodiscard]] bool IsCovered(int32_t x, int32_t y) const;

private:
    CRect box;
    std::size_t wordsPerRow = 0;
    std::vector<uint64_t> bits; // row by row, bit x - box.left of each row
};

// Finds the pixels a filled polygon surely paints completely with one edge style. Aliased, a pixel is
// filled when its integer point lies inside the polygon with its corners rounded to whole pixels; rounding
// moves every point of the outline by at most half a pixel in x and in y, so the pixel counts when the
// square of 1.25 pixels about its point lies inside the exact polygon. Smooth, pixel (x, y) is the square
// (x, y) .. (x + 1, y + 1), blended by the area inside a copy of the polygon with nearly collinear points
// dropped, which moves its edges by less than half a pixel: the pixel counts when its square grown by
// half a pixel all round lies inside.
//
// Only polygons that cross every row at most twice (one chain of edges going down, one coming up) are
// worked out; they are boxes, ellipses and every convex shape, turned or not. Any other adds nothing.
// Reused from polygon to polygon, so that it allocates only while the largest grows its lists.
class COpaqueFillFinder {
public:
    // Coordinates beyond this many pixels from the origin are left alone: far out, floats are too coarse
    // for the margins above to hold.
    static constexpr float kMaxCoordinate = 1.0e6f;

    explicit COpaqueFillFinder(EdgeStyle edges);

    // The polygon's points in device pixels with fractions, the last joined to the first.
    void AddFilledPixels(std::span<const CPointF> polygon, COpaqueCover& cover);

private:
    // The x range of a chain of points going down (y never decreasing) between two rows, from its
    // cursor on; windows asked for in turn must move down.
    struct CChain {
        std::vector<CPointF> points;
        std::size_t cursor = 0;
        void Range(double top, double bottom, double& low, double& high);
    };

    // The square a pixel at (x, y) must have inside the polygon: x + low .. x + high, the same in y.
    double low = 0.0, high = 0.0;
    CChain down, up;
};

} // namespace pq
