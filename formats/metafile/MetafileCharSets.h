#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pq {

// Metafiles written with the 8-bit text records give their characters in the code page of the
// selected font's character set: a Cyrillic font's bytes are Windows-1251, a Western one's 1252. The
// Symbol face draws Greek letters and signs for its codes whatever set it names. Other symbol fonts
// (Wingdings and the like), sets of several bytes per character and unknown sets keep each byte as the
// character of the same number.
inline constexpr uint8_t kAnsiCharSet = 0;
inline constexpr uint8_t kDefaultCharSet = 1;
inline constexpr uint8_t kSymbolCharSet = 2;
inline constexpr uint8_t kGreekCharSet = 161;
inline constexpr uint8_t kRussianCharSet = 204;
inline constexpr uint8_t kEastEuropeCharSet = 238;

// The text of bytes (one per character, widened) in the font's character set.
[[nodiscard]] std::u16string DecodeCharSetText(std::u16string_view bytes, uint8_t charSet);
// The text of bytes, or of 16-bit codes (also in U+F020..U+F0FF), in the Symbol face: the characters its
// codes draw (Adobe's Symbol encoding).
[[nodiscard]] std::u16string DecodeSymbolFontText(std::u16string_view bytes);
// Whether a face name, in any case, is the Symbol face.
[[nodiscard]] bool IsSymbolFace(std::u16string_view face);

} // namespace pq
