#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pq {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point that starts at index i of s and moves i past it. A surrogate without its
// partner decodes as U+FFFD and consumes one unit, so a damaged string still advances.
[[nodiscard]] char32_t NextCodePoint(std::u16string_view s, std::size_t& i);

// Conversions between the UTF-16 of text objects and the UTF-8 that fontconfig and file systems
// speak. Malformed input becomes U+FFFD rather than being dropped.
[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view s);
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view s);

} // namespace pq
