#pragma once

#include "geometry/PointF.h"

#include <optional>
#include <string_view>

namespace pq {

// An affine map of the plane as SVG writes it: x' = a x + c y + e, y' = b x + d y + f.
struct CSvgMatrix {
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

    // this then next: the point is mapped by this first, then by next.
    [[nodiscard]] CSvgMatrix Then(const CSvgMatrix& next) const;
    [[nodiscard]] CPointF Apply(double x, double y) const;
    [[nodiscard]] double Determinant() const { return a * d - b * c; }
    // The factor lengths grow by, for pen widths and font sizes: the square root of |determinant|.
    [[nodiscard]] double MeanScale() const;
    // The angle the x axis turns by, in degrees counter-clockwise on the screen (y down).
    [[nodiscard]] double RotationDegrees() const;

    static CSvgMatrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static CSvgMatrix Scale(double x, double y) { return {x, 0, 0, y, 0, 0}; }
    // Clockwise on the screen by degrees, as SVG's rotate().
    static CSvgMatrix Rotate(double degrees);
};

// Parses a transform list ("translate(10 20) rotate(30, 5, 5) matrix(...)", also skewX and skewY); the
// functions apply right to left as SVG defines. nullopt for a list that does not parse (SVG then ignores
// the attribute).
[[nodiscard]] std::optional<CSvgMatrix> ParseTransform(std::string_view s);

} // namespace pq
