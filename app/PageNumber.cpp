#include "app/PageNumber.h"

#include <cstdio>

namespace pq {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string RangeText(int pageCount) {
    char text[64];
    std::snprintf(text, sizeof text, "from 1 to %d", pageCount);
    return text;
}

} // namespace

std::string PageNumberPrompt(int pageCount) {
    return "Page number (" + RangeText(pageCount) + "):";
}

CPageNumberChoice ParsePageNumber(std::string_view text, int pageCount) {
    const std::string_view digits = Trimmed(text);
    bool allDigits = !digits.empty();
    for (char c : digits)
        allDigits = allDigits && c >= '0' && c <= '9';
    if (!allDigits)
        return {std::nullopt, "\"" + std::string(digits) + "\" is not a page number. Type a number " +
                                  RangeText(pageCount) + "."};
    // Many digits name no page either; counting past the page count is enough to know that.
    long long number = 0;
    for (char c : digits) {
        number = number * 10 + (c - '0');
        if (number > pageCount)
            break;
    }
    if (number < 1 || number > pageCount)
        return {std::nullopt, "There is no page " + std::string(digits) + ": the drawing has pages " +
                                  RangeText(pageCount) + "."};
    return {static_cast<int>(number) - 1, {}};
}

} // namespace pq
