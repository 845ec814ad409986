#pragma once

#include "geometry/PointF.h"
#include "geometry/Rect.h"

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
    [[nodiscard]] bool IsCovered(int32_t x, int32_t y) const;

private:
    CRect box;
    std::size_t wordsPerRow = 0;
    std::vector<uint64_t> bits; // row by row, bit x - box.left of each row
};

// Finds the pixels a filled polygon paints completely with either edge style: aliased, where a pixel is
// filled when its integer point lies inside the polygon with its corners rounded to whole pixels, and
// smooth, where pixel (x, y) is the square (x, y) .. (x + 1, y + 1) blended by the area inside the polygon
// (drawn from a copy with nearly collinear points dropped, which moves its edges by a fraction of a pixel).
// Both fills are within a pixel of the exact polygon, so a pixel counts only when the square grown by a
// pixel all round, (x - 1, y - 1) .. (x + 2, y + 2), lies inside it.
//
// Only polygons that cross every row at most twice (one chain of edges going down, one coming up) are
// worked out; they are boxes, ellipses and every convex shape, turned or not. Any other adds nothing.
// Reused from polygon to polygon, so that it allocates only while the tallest grows its lists.
class COpaqueFillFinder {
public:
    // Coordinates beyond this many pixels from the origin are left alone: the aliased fill cannot round
    // them to whole pixels within half a pixel.
    static constexpr float kMaxCoordinate = 1.0e6f;

    // The polygon's points in device pixels with fractions, the last joined to the first.
    void AddFilledPixels(std::span<const CPointF> polygon, COpaqueCover& cover);

private:
    // The x range each of the two chains spans within each one-pixel band of rows.
    struct CBand {
        double downLow, downHigh, upLow, upHigh;
    };
    std::vector<CBand> bands;
};

} // namespace pq
