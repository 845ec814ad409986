#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Numbers of Illustrator files, written and read independently of the locale.

// Coordinates and other numbers read from a file are held within this magnitude: no drawing reaches
// that far, and it keeps damaged numbers from becoming infinities in later arithmetic.
inline constexpr double kAiMaxNumber = 1e7;

// Appends value in fixed notation with four decimals ("12.5000", "0.0500", "-3.1400"); a value that is
// not finite writes 0.0000.
void AppendAiNumber(std::string& out, double value);
// Appends value with the given number of decimals ("%.Nf").
void AppendAiFixed(std::string& out, double value, int decimals);
// Appends a decimal integer ("%d").
void AppendAiInt(std::string& out, int64_t value);

// Reads the number a field starts with, as C's "%f" conversion does (optional sign, digits, fraction,
// exponent; text after the number is ignored). Nothing for a field that starts with no number or gives
// no finite value. The result is held within kAiMaxNumber.
[[nodiscard]] std::optional<double> ParseAiField(std::string_view field);

// The operands of an operator line: the line without its last character (the operator's final
// letter), then every space-separated field that is followed by a space and starts with a number, in
// order. Fields that are not numbers are passed over. values is replaced.
void ParseLineNumbers(std::string_view line, std::vector<double>& values);

// The integer a field starts with ("%d"), held within the 32-bit range; nothing when none.
[[nodiscard]] std::optional<int32_t> ParseAiInt(std::string_view field);

} // namespace pq
