#pragma once

#include <string>
#include <string_view>

namespace pq::cli {

// A number as "%g" prints it in the C locale: scripts compare these.
[[nodiscard]] std::string FormatNumber(double value);

// A text as a double-quoted string with \\, \", \r, \n escaped and every other unit outside printable
// ASCII as \uXXXX.
[[nodiscard]] std::string QuoteText(std::u16string_view text);

} // namespace pq::cli
