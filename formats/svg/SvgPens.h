#pragma once

#include <span>
#include <string>
#include <vector>

namespace pq {

// Document units per pixel at 96 pixels per inch: the screen size our dash patterns are drawn at.
inline constexpr double kUnitsPerPixel = 254.0 / 96.0;

// The stroke-dasharray a dashed pen style is written with, in document units ("18 6" pixels for a
// dash...); empty for the solid and null styles.
[[nodiscard]] std::vector<double> DashesForPenStyle(int penStyle);

// The pen style a dash array stands for, its lengths in user units scaled by scale into document units:
// solid for none, the style whose pattern it matches, else a plain dash.
[[nodiscard]] int PenStyleFromDashes(std::span<const double> dashes, double scale);

} // namespace pq
