#include "formats/svg/SvgValues.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace pq {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// The SVG colour keywords, as 0xRRGGBB.
struct CNamedColour {
    std::string_view name;
    uint32_t rgb;
};

constexpr CNamedColour kNamedColours[] = {
    {"aliceblue", 0xF0F8FF},
    {"antiquewhite", 0xFAEBD7},
    {"aqua", 0x00FFFF},
    {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF},
    {"beige", 0xF5F5DC},
    {"bisque", 0xFFE4C4},
    {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD},
    {"blue", 0x0000FF},
    {"blueviolet", 0x8A2BE2},
    {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887},
    {"cadetblue", 0x5F9EA0},
    {"chartreuse", 0x7FFF00},
    {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50},
    {"cornflowerblue", 0x6495ED},
    {"cornsilk", 0xFFF8DC},
    {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF},
    {"darkblue", 0x00008B},
    {"darkcyan", 0x008B8B},
    {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xA9A9A9},
    {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x556B2F},
    {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000},
    {"darksalmon", 0xE9967A},
    {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F},
    {"darkslategrey", 0x2F4F4F},
    {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3},
    {"deeppink", 0xFF1493},
    {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700},
    {"goldenrod", 0xDAA520},
    {"gray", 0x808080},
    {"grey", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xADFF2F},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4},
    {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082},
    {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA},
    {"lavenderblush", 0xFFF0F5},
    {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD},
    {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080},
    {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2},
    {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xFFB6C1},
    {"lightsalmon", 0xFFA07A},
    {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE},
    {"lightyellow", 0xFFFFE0},
    {"lime", 0x00FF00},
    {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6},
    {"magenta", 0xFF00FF},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD},
    {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371},
    {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC},
    {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA},
    {"mistyrose", 0xFFE4E1},
    {"moccasin", 0xFFE4B5},
    {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080},
    {"oldlace", 0xFDF5E6},
    {"olive", 0x808000},
    {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500},
    {"orangered", 0xFF4500},
    {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5},
    {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F},
    {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xB0E0E6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xFF0000},
    {"rosybrown", 0xBC8F8F},
    {"royalblue", 0x4169E1},
    {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072},
    {"sandybrown", 0xF4A460},
    {"seagreen", 0x2E8B57},
    {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D},
    {"silver", 0xC0C0C0},
    {"skyblue", 0x87CEEB},
    {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xFFFAFA},
    {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C},
    {"teal", 0x008080},
    {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347},
    {"turquoise", 0x40E0D0},
    {"violet", 0xEE82EE},
    {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5},
    {"yellow", 0xFFFF00},
    {"yellowgreen", 0x9ACD32},
    {"transparent", 0xFFFFFF},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<uint32_t> ParseHex(std::string_view s) {
    if (s.size() != 3 && s.size() != 6)
        return std::nullopt;
    uint32_t v[6] = {};
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int d = HexDigit(s[i]);
        if (d < 0)
            return std::nullopt;
        v[i] = static_cast<uint32_t>(d);
    }
    if (s.size() == 3)
        return Rgb(v[0] * 17, v[1] * 17, v[2] * 17);
    return Rgb(v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]);
}

// "rgb(" has been read: three numbers or percentages, then ")".
std::optional<uint32_t> ParseRgbFunction(std::string_view s) {
    uint32_t channel[3] = {};
    for (uint32_t& c : channel) {
        SkipSeparators(s);
        const std::optional<double> v = ReadNumber(s);
        if (!v)
            return std::nullopt;
        double value = *v;
        if (!s.empty() && s.front() == '%') {
            value = value * 255.0 / 100.0;
            s.remove_prefix(1);
        }
        c = static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 255.0)));
    }
    return Rgb(channel[0], channel[1], channel[2]);
}

constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

void SkipSpaces(std::string_view& s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
}

void SkipSeparators(std::string_view& s) {
    SkipSpaces(s);
    if (!s.empty() && s.front() == ',') {
        s.remove_prefix(1);
        SkipSpaces(s);
    }
}

std::optional<double> ReadNumber(std::string_view& s) {
    // The number's extent by SVG's grammar: from_chars would take "inf" and hex forms we must refuse.
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t digitsStart = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        ++i;
    bool any = i > digitsStart;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            ++i;
        any = any || i > fraction;
    }
    if (!any)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const std::size_t exponent = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            ++j;
        if (j > exponent)
            i = j;
    }
    std::string_view text = s.substr(0, i);
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the sign and the exponent's sign say which end.
        const bool tiny =
            text.find("e-") != std::string_view::npos || text.find("E-") != std::string_view::npos;
        value = tiny ? 0.0 : (text.front() == '-' ? -kSvgMaxCoordinate : kSvgMaxCoordinate);
    } else if (result.ec != std::errc()) {
        return std::nullopt;
    }
    s.remove_prefix(i);
    if (!std::isfinite(value))
        value = 0.0;
    return std::clamp(value, -kSvgMaxCoordinate, kSvgMaxCoordinate);
}

std::optional<double> ParseNumber(std::string_view s) {
    SkipSpaces(s);
    return ReadNumber(s);
}

std::vector<double> ParseNumberList(std::string_view s) {
    std::vector<double> numbers;
    SkipSpaces(s);
    while (!s.empty()) {
        const std::optional<double> v = ReadNumber(s);
        if (!v)
            break;
        numbers.push_back(*v);
        SkipSeparators(s);
    }
    return numbers;
}

std::optional<double> MillimetresPerUnit(std::string_view unit) {
    const std::string u = Lower(unit);
    if (u.empty() || u == "px")
        return 25.4 / 96.0;
    if (u == "mm")
        return 1.0;
    if (u == "cm")
        return 10.0;
    if (u == "in")
        return 25.4;
    if (u == "pt")
        return 25.4 / 72.0;
    if (u == "pc")
        return 25.4 / 6.0;
    return std::nullopt;
}

std::optional<double> ParseLength(std::string_view s, double reference, double fontSize) {
    s = Trim(s);
    const std::optional<double> v = ReadNumber(s);
    if (!v)
        return std::nullopt;
    const std::string unit = Lower(Trim(s));
    if (unit == "%")
        return *v * reference / 100.0;
    if (unit == "em")
        return *v * fontSize;
    if (unit == "ex")
        return *v * fontSize * 0.5;
    const std::optional<double> mm = MillimetresPerUnit(unit);
    if (!mm)
        return std::nullopt;
    // User units are pixels at 96 per inch.
    return std::clamp(*v * *mm / (25.4 / 96.0), -kSvgMaxCoordinate, kSvgMaxCoordinate);
}

std::optional<uint32_t> ParseColour(std::string_view s) {
    s = Trim(s);
    if (s.empty())
        return std::nullopt;
    if (s.front() == '#')
        return ParseHex(s.substr(1));
    const std::string lower = Lower(s);
    if (lower.starts_with("rgb(") && lower.ends_with(")"))
        return ParseRgbFunction(std::string_view(lower).substr(4, lower.size() - 5));
    for (const CNamedColour& named : kNamedColours)
        if (named.name == lower)
            return Rgb(named.rgb >> 16, (named.rgb >> 8) & 0xFF, named.rgb & 0xFF);
    return std::nullopt;
}

std::optional<CSvgPaint> ParsePaint(std::string_view s) {
    s = Trim(s);
    CSvgPaint paint;
    const std::string lower = Lower(s);
    if (lower == "none")
        return paint;
    if (lower == "currentcolor") {
        paint.kind = CSvgPaint::Kind::CurrentColour;
        return paint;
    }
    if (lower.starts_with("url(")) {
        const std::size_t close = s.find(')');
        if (close == std::string_view::npos)
            return std::nullopt;
        std::string_view ref = Trim(s.substr(4, close - 4));
        if (!ref.empty() && (ref.front() == '\'' || ref.front() == '"'))
            ref = Trim(ref.substr(1, ref.size() >= 2 ? ref.size() - 2 : 0));
        if (!ref.empty() && ref.front() == '#')
            ref.remove_prefix(1);
        paint.kind = CSvgPaint::Kind::Reference;
        paint.reference = std::string(ref);
        paint.fallback = ParseColour(s.substr(close + 1));
        return paint;
    }
    const std::optional<uint32_t> colour = ParseColour(s);
    if (!colour)
        return std::nullopt;
    paint.kind = CSvgPaint::Kind::Colour;
    paint.colour = *colour;
    return paint;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool DecodeBase64(std::string_view text, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(text.size() / 4 * 3 + 3);
    uint32_t buffer = 0;
    int bits = 0;
    for (char c : text) {
        if (IsSpace(c))
            continue;
        if (c == '=')
            break;
        const std::size_t value = kBase64.find(c);
        if (value == std::string_view::npos)
            return false;
        buffer = (buffer << 6) | static_cast<uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<uint8_t>((buffer >> bits) & 0xFF));
        }
    }
    return true;
}

std::string EncodeBase64(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (i < bytes.size()) {
        uint32_t v = uint32_t{bytes[i]} << 16;
        if (i + 1 < bytes.size())
            v |= uint32_t{bytes[i + 1]} << 8;
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

} // namespace pq
