#include "formats/ai/AiNumbers.h"

#include "native/PdfNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace pq {

void AppendAiNumber(std::string& out, double value) {
    // What rounds to zero is written without a sign.
    if (std::fabs(value) < 0.00005)
        value = 0.0;
    AppendFixed(out, value, 4);
}

void AppendAiFixed(std::string& out, double value, int decimals) {
    AppendFixed(out, value, decimals);
}

void AppendAiInt(std::string& out, int64_t value) {
    AppendInt(out, value);
}

std::optional<double> ParseAiField(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    const std::size_t start = i;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        ++i;
    bool digits = false;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
        digits = true;
        ++i;
    }
    if (i < field.size() && field[i] == '.') {
        ++i;
        while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
            digits = true;
            ++i;
        }
    }
    if (!digits)
        return std::nullopt;
    // An exponent counts only when digits follow it, as for "%f".
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < field.size() && (field[j] == '+' || field[j] == '-'))
            ++j;
        const std::size_t exponentDigits = j;
        while (j < field.size() && field[j] >= '0' && field[j] <= '9')
            ++j;
        if (j > exponentDigits)
            i = j;
    }
    std::size_t from = start;
    if (field[from] == '+')
        ++from;
    double value = 0.0;
    const auto [end, error] = std::from_chars(field.data() + from, field.data() + i, value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: a negative exponent makes it zero, a positive one the
        // largest number in the value's direction.
        const std::string_view digitsText = field.substr(from, i - from);
        const std::size_t e = digitsText.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < digitsText.size() && digitsText[e + 1] == '-')
            return 0.0;
        return field[start] == '-' ? -kAiMaxNumber : kAiMaxNumber;
    }
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return std::clamp(value, -kAiMaxNumber, kAiMaxNumber);
}

void ParseLineNumbers(std::string_view line, std::vector<double>& values) {
    values.clear();
    if (line.empty())
        return;
    line.remove_suffix(1);
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        if (space == std::string_view::npos)
            break; // the text after the last space is never an operand
        if (space > start)
            if (const std::optional<double> v = ParseAiField(line.substr(start, space - start)))
                values.push_back(*v);
        start = space + 1;
    }
}

std::optional<int32_t> ParseAiInt(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    const std::size_t first = i;
    int64_t value = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
        value = std::min<int64_t>(value * 10 + (field[i] - '0'), std::numeric_limits<int32_t>::max());
        ++i;
    }
    if (i == first)
        return std::nullopt;
    return static_cast<int32_t>(negative ? -value : value);
}

} // namespace pq
