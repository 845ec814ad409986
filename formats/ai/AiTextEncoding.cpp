#include "formats/ai/AiTextEncoding.h"

namespace pq {

namespace {

constexpr std::string_view kExactTextPrefix = "%!!PQ text ";
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string EncodeAiString(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (c == u'(' || c == u')' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            // Raw control bytes would end the line (CR, LF, NUL) or be lost to trimming.
            out += '\\';
            out += static_cast<char>('0' + ((c >> 6) & 7));
            out += static_cast<char>('0' + ((c >> 3) & 7));
            out += static_cast<char>('0' + (c & 7));
        } else if (c <= 0xFF) {
            out += static_cast<char>(static_cast<unsigned char>(c));
        } else {
            out += '?';
        }
    }
    return out;
}

bool NeedsExactText(std::u16string_view text) {
    for (const char16_t c : text)
        if (c > 0xFF)
            return true;
    return false;
}

std::string EncodeExactText(std::u16string_view text) {
    std::string out(kExactTextPrefix);
    out.reserve(out.size() + 4 * text.size());
    for (const char16_t c : text)
        for (int shift = 12; shift >= 0; shift -= 4)
            out += kHexDigits[(c >> shift) & 0xF];
    return out;
}

std::optional<std::u16string> DecodeExactText(std::string_view line) {
    if (!line.starts_with(kExactTextPrefix))
        return std::nullopt;
    line.remove_prefix(kExactTextPrefix.size());
    if (line.size() % 4 != 0)
        return std::nullopt;
    std::u16string text;
    text.reserve(line.size() / 4);
    for (std::size_t i = 0; i < line.size(); i += 4) {
        unsigned value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int digit = HexValue(line[i + k]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        text += static_cast<char16_t>(value);
    }
    return text;
}

bool DecodeAiRun(std::string_view line, std::u16string& out) {
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos)
        return false;
    int depth = 0; // unescaped parentheses inside a PostScript string come in balanced pairs
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth == 0)
                break;
            --depth;
        }
        if (c == '\\') {
            if (i + 1 >= line.size())
                break;
            const char next = line[i + 1];
            if (next >= '0' && next <= '7') {
                unsigned code = 0;
                std::size_t k = i + 1;
                for (int n = 0; n < 3 && k < line.size() && line[k] >= '0' && line[k] <= '7'; ++n, ++k)
                    code = code * 8 + static_cast<unsigned>(line[k] - '0');
                out += static_cast<char16_t>(code & 0xFF);
                i = k - 1;
                continue;
            }
            ++i;
            if (next == 'r')
                out += u"\r\n";
            else if (next == 'n')
                continue;
            else
                out += static_cast<char16_t>(static_cast<unsigned char>(next));
            continue;
        }
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    return true;
}

} // namespace pq
