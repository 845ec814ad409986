#pragma once

#include <string>

namespace pq {

class CDrawing;

// The plotter file of one page: "IN", "SP1", "LT", then per subpath of every path on the page, flattened
// at tolerance 5.0, "PAPU x,y" for its first point and "PRPD" with the moves to the others, and "SP0;" at
// the end, with no separators or line ends between instructions. One document unit is four plotter
// units; plotter y grows upward. Texts and images are not written; no colour, width or fill either.
//
// Each relative move is the difference between the rounded absolute positions of its two ends, so the
// moves of a subpath add up exactly to its rounded end point and a closed outline closes in the file.
[[nodiscard]] std::string WriteHpgl(const CDrawing& drawing, int page);

} // namespace pq
