#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// Number output and input for the native format, independent of the locale: a file written anywhere has
// the same bytes, and a file read anywhere gives the same numbers. Output uses std::to_chars, whose
// fixed notation gives the same digits as printf's "%.Nf" in the C locale (the exact binary value,
// rounded to nearest).

// Appends value with the given number of decimals ("%.Nf"); a value that is not finite writes 0.
void AppendFixed(std::string& out, double value, int decimals);
// Appends a decimal integer ("%d").
void AppendInt(std::string& out, int64_t value);
// Appends an integer right-aligned in width digits with leading zeros ("%010d").
void AppendZeroPadded(std::string& out, int64_t value, int width);

// Reads a number (optional sign, digits, optional fraction) at the start of s after any blanks; the
// rest of s is left. Nothing for text that does not start with a number or gives no finite value.
[[nodiscard]] std::optional<double> ParseNumber(std::string_view& s);
// The same for a decimal integer, held within the 32-bit range.
[[nodiscard]] std::optional<int32_t> ParseInt(std::string_view& s);

} // namespace pq
