#include "native/PdfNumbers.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pq {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0';
}

// Skips blanks and takes an optional sign; true for a minus.
bool TakeSign(std::string_view& s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        const bool negative = s.front() == '-';
        s.remove_prefix(1);
        return negative;
    }
    return false;
}

} // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    if (!std::isfinite(value))
        value = 0.0;
    // Most numbers are written from the whole count of their last decimal, many times faster than the
    // general conversion. The scaled value is off by far less than a thousandth, so it rounds as the
    // exact value does unless it lies that close to halfway, where the general conversion decides.
    static constexpr double kScales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals >= 0 && decimals <= 9) {
        const double raw = std::fabs(value) * kScales[decimals];
        const double whole = std::floor(raw);
        if (raw < 1e12 && std::fabs(raw - whole - 0.5) > 1e-3) {
            auto units = static_cast<uint64_t>(raw - whole > 0.5 ? whole + 1 : whole);
            char buffer[32];
            char* const end = buffer + sizeof buffer;
            char* p = end;
            for (int i = 0; i < decimals; ++i) {
                *--p = static_cast<char>('0' + units % 10);
                units /= 10;
            }
            if (decimals > 0)
                *--p = '.';
            do {
                *--p = static_cast<char>('0' + units % 10);
                units /= 10;
            } while (units != 0);
            if (std::signbit(value))
                *--p = '-';
            out.append(p, end);
            return;
        }
    }
    char buffer[400];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        out += '0';
        return;
    }
    out.append(buffer, end);
}

void AppendInt(std::string& out, int64_t value) {
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, error == std::errc() ? end : buffer);
}

void AppendZeroPadded(std::string& out, int64_t value, int width) {
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc())
        return;
    const auto digits = static_cast<int>(end - buffer);
    if (digits < width)
        out.append(static_cast<std::size_t>(width - digits), '0');
    out.append(buffer, end);
}

std::optional<double> ParseNumber(std::string_view& s) {
    std::string_view rest = s;
    const bool negative = TakeSign(rest);
    // Only plain decimals count: from_chars alone would also take "inf", "nan" and exponents, none of
    // which a PDF number has.
    std::size_t length = 0;
    bool digits = false;
    bool point = false;
    while (length < rest.size()) {
        const char c = rest[length];
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            break;
        ++length;
    }
    if (!digits)
        return std::nullopt;
    // The writer's numbers have a few digits each: their digits as a whole number, divided by the power
    // of ten of their decimals, is the correctly rounded value when both are exact doubles (below 2^53
    // and 10^22), which is what from_chars gives too, at a fraction of the cost.
    uint64_t mantissa = 0;
    int significant = 0, decimals = 0;
    bool afterPoint = false;
    for (std::size_t i = 0; i < length && significant <= 15; ++i) {
        if (rest[i] == '.') {
            afterPoint = true;
            continue;
        }
        mantissa = mantissa * 10 + static_cast<uint64_t>(rest[i] - '0');
        significant += mantissa != 0 ? 1 : 0;
        decimals += afterPoint ? 1 : 0;
    }
    if (significant <= 15 && decimals <= 22) {
        static constexpr double kPowers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        const double quick = static_cast<double>(mantissa) / kPowers[decimals];
        s = rest.substr(length);
        return negative ? -quick : quick;
    }
    double value = 0.0;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + length, value, std::chars_format::fixed);
    if (error != std::errc() || end != rest.data() + length || !std::isfinite(value))
        return std::nullopt;
    s = rest.substr(length);
    return negative ? -value : value;
}

std::optional<int32_t> ParseInt(std::string_view& s) {
    std::string_view rest = s;
    const bool negative = TakeSign(rest);
    std::size_t length = 0;
    int64_t value = 0;
    while (length < rest.size() && rest[length] >= '0' && rest[length] <= '9') {
        value = std::min<int64_t>(value * 10 + (rest[length] - '0'), std::numeric_limits<int32_t>::max());
        ++length;
    }
    if (length == 0)
        return std::nullopt;
    s = rest.substr(length);
    return static_cast<int32_t>(negative ? -value : value);
}

} // namespace pq
