#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace pq {
class CDrawing;
}

namespace pq::cli {

// Prints what the reader of path had to leave out or change, one "pqdraw-cli: PATH: warning: ..." line
// each; nothing when the file was read whole.
void PrintReadWarning(std::FILE* err, const std::string& path, const CDrawing& drawing);

// A number as "%g" prints it in the C locale: scripts compare these.
[[nodiscard]] std::string FormatNumber(double value);

// A text as a double-quoted string with \\, \", \r, \n escaped and every other unit outside printable
// ASCII as \uXXXX.
[[nodiscard]] std::string QuoteText(std::u16string_view text);

} // namespace pq::cli
