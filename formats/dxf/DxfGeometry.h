#pragma once

#include "geometry/PathNode.h"
#include "geometry/PointF.h"

#include <optional>
#include <vector>

namespace pq {

// An affine map of the plane in double precision: x' = xx x + yx y + tx, y' = xy x + yy y + ty.
struct CDxfAffine {
    double xx = 1.0, xy = 0.0, yx = 0.0, yy = 1.0, tx = 0.0, ty = 0.0;

    [[nodiscard]] CPointD Apply(CPointD p) const {
        return {xx * p.x + yx * p.y + tx, xy * p.x + yy * p.y + ty};
    }
    // The linear part only (for directions).
    [[nodiscard]] CPointD ApplyVector(CPointD v) const { return {xx * v.x + yx * v.y, xy * v.x + yy * v.y}; }
    // This map followed by after.
    [[nodiscard]] CDxfAffine Then(const CDxfAffine& after) const;
    // How much the map scales lengths on average: the square root of its area factor.
    [[nodiscard]] double LinearScale() const;

    [[nodiscard]] static CDxfAffine Scaling(double sx, double sy);
    [[nodiscard]] static CDxfAffine Rotation(double radians);
    [[nodiscard]] static CDxfAffine Translation(double dx, double dy);
};

// Maps drawing points to document units. Points are taken relative to the first point mapped, in double
// precision, so that a drawing far from the origin keeps its detail in the float coordinates of the
// document; the reader centres the result afterwards. Coordinates are held within +-1e9 units.
class CDxfMapper {
public:
    CDxfMapper(const CDxfAffine& toDocument, std::optional<CPointD>& origin)
        : transform(toDocument), origin(origin) {}

    [[nodiscard]] CPointF Map(CPointD p) const;
    [[nodiscard]] const CDxfAffine& Transform() const { return transform; }

private:
    CDxfAffine transform;
    std::optional<CPointD>& origin;
};

// Builds the subpaths of one path from drawing points, placing them through a mapper as they come.
class CDxfPathBuilder {
public:
    explicit CDxfPathBuilder(const CDxfMapper& mapper) : map(mapper) {}

    void MoveTo(CPointD p);
    // Continues the open subpath at p (with a line when it ends elsewhere), or starts one there.
    void StartAt(CPointD p);
    // Each of these starts a subpath at p when none is open.
    void LineTo(CPointD p);
    void CurveTo(CPointD c1, CPointD c2, CPointD p);
    // The elliptic arc c + cos t a + sin t b for t from t0 to t1 (either way round), as cubic segments of
    // at most a quarter turn each; joined to the open subpath by a line when it does not start at its end.
    void ArcTo(CPointD centre, CPointD a, CPointD b, double t0, double t1);
    // A polyline segment to p with a bulge: the tangent of a quarter of the included angle, positive
    // counter-clockwise (DXF's LWPOLYLINE and VERTEX group 42).
    void BulgeTo(CPointD from, CPointD p, double bulge);
    // Appends nodes already in document units to the open subpath (or as a new one, left open); end is
    // the drawing point they end at.
    void AddDocumentNodes(CNodeArray nodes, CPointD end);
    // Ends the open subpath without closing it.
    void EndSubpath() { open = false; }
    // Closes the open subpath with a line back to its start when it does not end there.
    void Close();

    [[nodiscard]] bool HasOpenSubpath() const { return !subpaths.empty() && open; }
    [[nodiscard]] CPointD LastPoint() const { return last; }
    [[nodiscard]] const CDxfMapper& Mapper() const { return map; }
    [[nodiscard]] std::vector<CNodeArray>& Subpaths() { return subpaths; }

private:
    void AddNode(CPointF anchor);

    const CDxfMapper& map;
    std::vector<CNodeArray> subpaths;
    bool open = false;
    CPointD last;
};

} // namespace pq
