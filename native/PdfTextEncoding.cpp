#include "native/PdfTextEncoding.h"

#include "platform/HexDigits.h"

#include <array>

namespace pq {

namespace {

// Codes 0x80 .. 0x9F of WinAnsiEncoding; 0 marks a code WinAnsi leaves undefined.
constexpr std::array<char16_t, 32> kWinAnsiHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr std::string_view kTextCommentPrefix = "%PQText:";

} // namespace

char16_t WinAnsiToUnicode(uint8_t code) {
    if (code >= 0x80 && code <= 0x9F) {
        const char16_t c = kWinAnsiHigh[code - 0x80];
        return c != 0 ? c : static_cast<char16_t>(code);
    }
    return static_cast<char16_t>(code);
}

std::optional<uint8_t> UnicodeToWinAnsi(char16_t c) {
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF))
        return static_cast<uint8_t>(c);
    for (std::size_t i = 0; i < kWinAnsiHigh.size(); ++i) {
        if (kWinAnsiHigh[i] != 0 && kWinAnsiHigh[i] == c)
            return static_cast<uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

std::string EncodeLiteralString(std::u16string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char16_t c : line) {
        const uint8_t code = UnicodeToWinAnsi(c).value_or('?');
        if (code == '(' || code == ')' || code == '\\')
            out += '\\';
        out += static_cast<char>(code);
    }
    return out;
}

std::string EncodeTextComment(std::u16string_view text) {
    std::string out(kTextCommentPrefix);
    out.reserve(kTextCommentPrefix.size() + 4 * text.size() + 1);
    for (char16_t c : text) {
        for (int shift = 12; shift >= 0; shift -= 4)
            out += kUpperHexDigits[(c >> shift) & 0xF];
    }
    out += ':';
    return out;
}

std::optional<std::u16string> DecodeTextComment(std::string_view line) {
    if (!line.starts_with(kTextCommentPrefix))
        return std::nullopt;
    line.remove_prefix(kTextCommentPrefix.size());
    const std::size_t end = line.find(':');
    if (end == std::string_view::npos || end % 4 != 0)
        return std::nullopt;
    std::u16string text;
    text.reserve(end / 4);
    for (std::size_t i = 0; i < end; i += 4) {
        int value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int digit = HexDigitValue(line[i + k]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        text += static_cast<char16_t>(value);
    }
    return text;
}

} // namespace pq
