#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// Text in the native format. Page content shows text through WinAnsi-encoded simple fonts, which hold
// only 218 characters, so the exact UTF-16 text of each text object also travels in a private comment
// line "%PQText:<hex>:" that viewers ignore: each UTF-16 code unit as four upper-case hex digits, most
// significant digit first.

// The Unicode character a WinAnsi code shows (PDF 1.7 reference, Appendix D); code 0x81 and the other
// codes WinAnsi leaves empty give the code itself.
[[nodiscard]] char16_t WinAnsiToUnicode(uint8_t code);
// The WinAnsi code of a character, or nothing when WinAnsi cannot show it (controls included).
[[nodiscard]] std::optional<uint8_t> UnicodeToWinAnsi(char16_t c);

// The body of a PDF literal string for a line of text: WinAnsi bytes, "?" for what WinAnsi cannot show,
// and "(", ")" and "\" escaped with a backslash.
[[nodiscard]] std::string EncodeLiteralString(std::u16string_view line);

// "%PQText:" + hex + ":" for a text.
[[nodiscard]] std::string EncodeTextComment(std::u16string_view text);
// The text of a "%PQText" line, or nothing when the line is not one or is damaged.
[[nodiscard]] std::optional<std::u16string> DecodeTextComment(std::string_view line);

} // namespace pq
