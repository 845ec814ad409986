#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pq {

// The units every dialog shows lengths in. A length is kept in document units (tenths of a millimetre);
// a dialog shows it divided by the unit's scale with the unit's number of decimals.
enum class MeasurementUnit { Centimetre = 0, Inch = 1, Millimetre = 2, TenthMillimetre = 3, Pixel = 4 };

inline constexpr int kMeasurementUnitCount = 5;

// "cm", "in", "mm", "mm/10", "px"; empty for an index outside the table.
[[nodiscard]] std::string_view UnitName(int unit);
// Document units per displayed unit. Pixels follow the screen's pixels per inch; an index outside the
// table counts as millimetres.
[[nodiscard]] double UnitScale(int unit);
// Digits after the decimal point.
[[nodiscard]] int UnitPrecision(int unit);

// A length in document units as the unit shows it ("2.54" for 254 in "cm").
[[nodiscard]] std::string FormatLength(double documentUnits, int unit);
// A number shown with a precision, "%.*f".
[[nodiscard]] std::string FormatNumber(double value, int precision);

// A number as a user types it: leading blanks, then a decimal number, anything after it ignored ("12x"
// reads 12); nothing when no number starts the text, or when it is not finite.
[[nodiscard]] std::optional<double> ParseTypedNumber(std::string_view text);
// A whole number as typed ("45", "-90", "12 pt"); nothing when none starts the text or it is out of range.
[[nodiscard]] std::optional<int> ParseTypedInteger(std::string_view text);

} // namespace pq
