#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pq {

// Text in Illustrator files. Text runs are PostScript strings of 8-bit characters: a text's UTF-16
// units up to 0xFF are written as their own byte, "(", ")" and "\" are escaped with a backslash, control
// characters are written as three octal digits, and a unit beyond 8 bits shows as "?". A text holding
// such units also carries its exact UTF-16 in a private comment line "%!!PQ text <hex>", four upper-case
// hex digits per unit, which other programs ignore and our reader prefers.

// The body of a string for the characters of one line of text (no "\r" line ends are added).
[[nodiscard]] std::string EncodeAiString(std::u16string_view text);
// True when the text holds a unit the 8-bit strings cannot carry.
[[nodiscard]] bool NeedsExactText(std::u16string_view text);
// "%!!PQ text " + hex.
[[nodiscard]] std::string EncodeExactText(std::u16string_view text);
// The text of a "%!!PQ text" line, or nothing when the line is not one or is damaged.
[[nodiscard]] std::optional<std::u16string> DecodeExactText(std::string_view line);

// Appends the string of a text-run line ("(...) Tx") to out: the characters after the first "(" up to
// the ")" that closes it; "\\", "\(" and "\)" give the character, a backslash and up to three octal
// digits the character of that code, "\r" a line break ("\r\n"); "\n" is dropped, as is a backslash
// before anything else. Each byte becomes the UTF-16 unit of the same value. False when the line holds
// no "(".
bool DecodeAiRun(std::string_view line, std::u16string& out);

} // namespace pq
