#include "formats/dxf/DxfText.h"

#include "platform/Utf16.h"

#include <optional>

namespace pq {

namespace {

constexpr std::size_t kMaxPiece = 250;
constexpr std::size_t kMaxFaceLength = 64;

std::optional<char16_t> HexUnit(std::u16string_view s, std::size_t at) {
    if (at + 4 > s.size())
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        const char16_t c = s[i];
        unsigned digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<char16_t>(value);
}

bool Contains(std::u16string_view s, std::u16string_view what) {
    return s.find(what) != std::u16string_view::npos;
}

// Reads "\U+XXXX" at i (i on the backslash); true and i past it when it is one.
bool TakeUnicode(std::u16string_view s, std::size_t& i, std::u16string& out) {
    if (i + 2 < s.size() && (s[i + 1] == u'U' || s[i + 1] == u'u') && s[i + 2] == u'+') {
        if (const std::optional<char16_t> unit = HexUnit(s, i + 3)) {
            out += *unit;
            i += 7;
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<std::string> EncodeMTextValue(std::u16string_view text, std::u16string_view face, bool bold,
                                          bool italic, bool underline) {
    std::vector<std::string> tokens;
    // The face ends at "|" or ";" in the font code, so those cannot be part of it.
    std::string head = "\\f";
    std::size_t faceLength = 0;
    for (char16_t c : face) {
        if (c == u'|' || c == u';' || c == u'\\' || c == u'{' || c == u'}' || c < 32 || c > 126)
            continue;
        if (++faceLength > kMaxFaceLength)
            break;
        head += static_cast<char>(c);
    }
    head += bold ? "|b1" : "|b0";
    head += italic ? "|i1;" : "|i0;";
    if (underline)
        head += "\\L";
    tokens.push_back(std::move(head));

    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            // "\r\n" is one break; a lone carriage return or line feed is one too, since either would end
            // the value's line in the file.
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            tokens.emplace_back("\\P");
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            tokens.push_back(std::string("\\") + static_cast<char>(c));
        } else if (c == u'\t' || (c >= 32 && c < 127)) {
            tokens.emplace_back(1, static_cast<char>(c));
        } else if (c >= 127) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            std::string code = "\\U+";
            for (int shift = 12; shift >= 0; shift -= 4)
                code += kHex[(c >> shift) & 0xF];
            tokens.push_back(std::move(code));
        }
    }

    std::vector<std::string> pieces(1);
    for (const std::string& token : tokens) {
        if (!pieces.back().empty() && pieces.back().size() + token.size() > kMaxPiece)
            pieces.emplace_back();
        pieces.back() += token;
    }
    return pieces;
}

CDxfPlainText DecodeMTextValue(std::u16string_view s) {
    CDxfPlainText result;
    bool fontSeen = false;
    std::size_t i = 0;
    while (i < s.size()) {
        const char16_t c = s[i];
        if (c == u'{' || c == u'}') {
            ++i;
            continue;
        }
        if (c == u'^' && i + 1 < s.size()) {
            // Caret codes stand for control characters.
            const char16_t d = s[i + 1];
            if (d == u'J' || d == u'M')
                result.text += u"\r\n";
            else if (d == u'I')
                result.text += u'\t';
            else if (d == u' ')
                result.text += u'^';
            else
                result.text += std::u16string{u'^', d};
            i += 2;
            continue;
        }
        if (c != u'\\' || i + 1 >= s.size()) {
            result.text += c;
            ++i;
            continue;
        }
        if (TakeUnicode(s, i, result.text))
            continue;
        const char16_t code = s[i + 1];
        const std::size_t semicolon = s.find(u';', i + 2);
        switch (code) {
        case u'\\':
        case u'{':
        case u'}':
            result.text += code;
            i += 2;
            break;
        case u'P':
        case u'N':
        case u'X':
            result.text += u"\r\n";
            i += 2;
            break;
        case u'~':
            result.text += u' ';
            i += 2;
            break;
        case u'L':
            result.underline = true;
            i += 2;
            break;
        case u'M':
            // "\M+nXXXX": a double-byte character of a code page; it cannot be mapped without the page.
            i += (i + 8 <= s.size() && s[i + 2] == u'+') ? 8 : 2;
            break;
        case u'f':
        case u'F':
            if (semicolon == std::u16string_view::npos) {
                i = s.size();
                break;
            }
            if (code == u'f' && !fontSeen) {
                const std::u16string_view fontCode = s.substr(i + 2, semicolon - i - 2);
                const std::size_t bar = fontCode.find(u'|');
                result.face = std::u16string(fontCode.substr(0, bar));
                const std::u16string_view flags =
                    bar == std::u16string_view::npos ? u"" : fontCode.substr(bar);
                result.bold = Contains(flags, u"|b1");
                result.italic = Contains(flags, u"|i1");
                fontSeen = true;
            }
            i = semicolon + 1;
            break;
        case u'S': {
            // A stacked fraction "\Snum^den;", "\Snum/den;" or "\Snum#den;" reads as num/den.
            const std::size_t end = semicolon == std::u16string_view::npos ? s.size() : semicolon;
            for (std::size_t k = i + 2; k < end; ++k) {
                const char16_t f = s[k];
                result.text += (f == u'^' || f == u'#') ? u'/' : f;
            }
            i = end + 1;
            break;
        }
        case u'A':
        case u'C':
        case u'c':
        case u'H':
        case u'Q':
        case u'T':
        case u'W':
        case u'p':
            // Codes with an argument up to ";" change only the look of what follows.
            i = semicolon == std::u16string_view::npos ? i + 2 : semicolon + 1;
            break;
        case u'l':
        case u'O':
        case u'o':
        case u'K':
        case u'k':
            i += 2;
            break;
        default:
            result.text += code;
            i += 2;
            break;
        }
    }
    return result;
}

CDxfPlainText DecodeTextValue(std::u16string_view s) {
    CDxfPlainText result;
    std::size_t i = 0;
    while (i < s.size()) {
        const char16_t c = s[i];
        if (c == u'\\' && TakeUnicode(s, i, result.text))
            continue;
        if (c != u'%' || i + 2 >= s.size() || s[i + 1] != u'%') {
            result.text += c;
            ++i;
            continue;
        }
        const char16_t code = s[i + 2];
        i += 3;
        switch (code) {
        case u'd':
        case u'D':
            result.text += u'\u00B0';
            break;
        case u'p':
        case u'P':
            result.text += u'\u00B1';
            break;
        case u'c':
        case u'C':
            result.text += u'\u00D8';
            break;
        case u'%':
            result.text += u'%';
            break;
        case u'u':
        case u'U':
            result.underline = true;
            break;
        case u'o':
        case u'O':
            break;
        default:
            if (code >= u'0' && code <= u'9') {
                unsigned value = code - u'0';
                for (int digits = 1; digits < 3 && i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++digits)
                    value = value * 10 + (s[i++] - u'0');
                result.text += static_cast<char16_t>(value);
            } else {
                result.text += u"%%";
                result.text += code;
            }
            break;
        }
    }
    return result;
}

std::u16string DxfBytesToText(std::string_view bytes, bool utf8) {
    if (utf8)
        return Utf8ToUtf16(bytes);
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

} // namespace pq
