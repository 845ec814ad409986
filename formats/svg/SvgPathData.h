#pragma once

#include "formats/svg/SvgTransform.h"
#include "geometry/PathNode.h"

#include <string_view>
#include <vector>

namespace pq {

// Parses SVG path data (every command, absolute and relative: M L H V C S Q T A Z) into subpaths of
// Bezier nodes mapped through matrix. Lines become straight segments, quadratic curves and elliptical
// arcs become cubic segments. A closed subpath ends on its first anchor without gaining a node when the
// data already returned there. Parsing stops at the first error, keeping what came before, as SVG
// viewers draw a path up to its first error.
[[nodiscard]] std::vector<CNodeArray> ParsePathData(std::string_view data, const CSvgMatrix& matrix);

// Helpers for the basic shapes, in user units before the matrix.
// An ellipse of radii rx, ry about (cx, cy): four cubic quarter arcs, closed.
[[nodiscard]] CNodeArray EllipseNodes(double cx, double cy, double rx, double ry, const CSvgMatrix& matrix);
// A rectangle with corners rounded by rx, ry (already clamped to half the sides), clockwise, closed.
[[nodiscard]] CNodeArray RectNodes(double x, double y, double w, double h, double rx, double ry,
                                   const CSvgMatrix& matrix);

} // namespace pq
