#include "app/FileDialogFilters.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace pq {

namespace {

std::vector<std::string_view> SplitBars(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t bar = text.find('|', start);
        if (bar == std::string_view::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    return parts;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
    if (tail.size() > text.size())
        return false;
    const std::string_view end = text.substr(text.size() - tail.size());
    return std::equal(end.begin(), end.end(), tail.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

std::string_view ToolkitFilter(std::string_view filter) {
    while (!filter.empty() && filter.back() == '|')
        filter.remove_suffix(1);
    return filter;
}

std::string FilterExtension(std::string_view filter, int index) {
    const std::vector<std::string_view> parts = SplitBars(ToolkitFilter(filter));
    const std::size_t patternIndex = static_cast<std::size_t>(index) * 2 + 1;
    if (index < 0 || patternIndex >= parts.size())
        return {};
    // A filter of several patterns (the "All" entries) names no single extension.
    const std::string_view pattern = parts[patternIndex];
    if (pattern.size() < 3 || pattern.find(';') != std::string_view::npos || pattern.substr(0, 2) != "*." ||
        pattern.find('*', 1) != std::string_view::npos)
        return {};
    return std::string(pattern.substr(1));
}

int FilterIndexForName(std::string_view filter, std::string_view name, int fallback) {
    const int count = static_cast<int>(SplitBars(ToolkitFilter(filter)).size() / 2);
    for (int index = 0; index < count; ++index) {
        const std::string extension = FilterExtension(filter, index);
        if (!extension.empty() && name.size() > extension.size() && EndsWithNoCase(name, extension))
            return index;
    }
    return fallback;
}

std::string WithFilterExtension(const std::string& path, std::string_view filter, int index) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    if (hasExtension || path.empty() || path.back() == '/')
        return path;
    return path + FilterExtension(filter, index);
}

} // namespace pq
