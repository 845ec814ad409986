#include "app/MeasurementUnits.h"

#include "platform/ScreenMetrics.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pq {

namespace {

struct CUnitRow {
    std::string_view name;
    double scale; // 0 for pixels, whose scale depends on the screen
    int precision;
};

constexpr std::array<CUnitRow, kMeasurementUnitCount> kUnits{{
    {"cm", 100.0, 2},
    {"in", 254.0, 2},
    {"mm", 10.0, 1},
    {"mm/10", 1.0, 0},
    {"px", 0.0, 0},
}};

bool InTable(int unit) {
    return unit >= 0 && unit < kMeasurementUnitCount;
}

// strtod/strtol take a C string; typed numbers are short, longer text is no number anyway.
constexpr size_t kMaxNumberText = 64;

} // namespace

std::string_view UnitName(int unit) {
    return InTable(unit) ? kUnits[static_cast<size_t>(unit)].name : std::string_view();
}

double UnitScale(int unit) {
    if (!InTable(unit))
        return 10.0;
    if (unit == static_cast<int>(MeasurementUnit::Pixel))
        return 254.0 / ScreenPixelsPerInch();
    return kUnits[static_cast<size_t>(unit)].scale;
}

int UnitPrecision(int unit) {
    return InTable(unit) ? kUnits[static_cast<size_t>(unit)].precision : 1;
}

std::string FormatNumber(double value, int precision) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", precision, value);
    return text;
}

std::string FormatLength(double documentUnits, int unit) {
    return FormatNumber(documentUnits / UnitScale(unit), UnitPrecision(unit));
}

std::optional<double> ParseTypedNumber(std::string_view text) {
    const std::string copy(text.substr(0, kMaxNumberText));
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    const std::string_view read(copy.c_str(), static_cast<size_t>(end - copy.c_str()));
    // strtod also reads "inf", "nan" and hexadecimal numbers; a typed length is none of them.
    if (read.empty() || !std::isfinite(value) || read.find_first_of("xXnN") != std::string_view::npos)
        return std::nullopt;
    return value;
}

std::optional<int> ParseTypedInteger(std::string_view text) {
    const std::string copy(text.substr(0, kMaxNumberText));
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(copy.c_str(), &end, 10);
    if (end == copy.c_str() || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace pq
