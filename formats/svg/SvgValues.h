#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Coordinates beyond this magnitude are held at it: a huge number in a file never overflows a float
// or a pixel computation further on.
inline constexpr double kSvgMaxCoordinate = 1e7;

// Skips white space and at most one comma between numbers.
void SkipSeparators(std::string_view& s);
void SkipSpaces(std::string_view& s);

// Reads one number at the front of s (sign, digits, fraction, exponent), moving s past it. Values are
// clamped to +-kSvgMaxCoordinate; nothing is read (and s unchanged) when s does not start with one.
[[nodiscard]] std::optional<double> ReadNumber(std::string_view& s);

// A whole attribute as one number; nullopt when it is not one (trailing garbage allowed after spaces).
[[nodiscard]] std::optional<double> ParseNumber(std::string_view s);

// A list of numbers separated by spaces and commas (points, viewBox, dash arrays); stops at the first
// thing that is not a number.
[[nodiscard]] std::vector<double> ParseNumberList(std::string_view s);

// A length in user units: a number with an optional unit ("px", "pt", "pc", "mm", "cm", "in", "em",
// "ex", "%"). Percentages are of reference; "em" and "ex" of fontSize.
[[nodiscard]] std::optional<double> ParseLength(std::string_view s, double reference = 0.0,
                                                double fontSize = 16.0);

// Millimetres per unit of an absolute length ("mm" 1, "in" 25.4, "px" or none 25.4 / 96...); nullopt
// for relative units.
[[nodiscard]] std::optional<double> MillimetresPerUnit(std::string_view unit);

// A paint: none, a colour (0x00BBGGRR), or a reference to a paint server by id.
struct CSvgPaint {
    enum class Kind { None, Colour, Reference, CurrentColour } kind = Kind::None;
    uint32_t colour = 0;
    std::string reference;            // the id without "#"
    std::optional<uint32_t> fallback; // the colour after a url(...), when one is given
};

// Parses "none", "#rgb", "#rrggbb", "rgb(r, g, b)" (numbers or percentages), named colours,
// "currentColor" and "url(#id) [fallback]"; nullopt for anything else (and for "inherit").
[[nodiscard]] std::optional<CSvgPaint> ParsePaint(std::string_view s);
// A colour alone (stop-color, color); nullopt when s is none of the colour forms.
[[nodiscard]] std::optional<uint32_t> ParseColour(std::string_view s);

// Lower-case copy, and trimmed copy, of an ASCII string.
[[nodiscard]] std::string Lower(std::string_view s);
[[nodiscard]] std::string_view Trim(std::string_view s);

// Decodes base64 (white space ignored); false on a character outside the alphabet.
bool DecodeBase64(std::string_view text, std::vector<uint8_t>& out);
[[nodiscard]] std::string EncodeBase64(const std::vector<uint8_t>& bytes);

} // namespace pq
