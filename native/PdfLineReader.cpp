#include "native/PdfLineReader.h"

#include <algorithm>
#include <functional>

namespace pq {

namespace {

bool IsSeparator(uint8_t c) {
    return c == '\r' || c == '\n' || c == '\0';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f';
}

} // namespace

std::optional<std::size_t> FindBytes(std::span<const uint8_t> data, std::string_view pattern,
                                     std::size_t from, std::size_t to) {
    to = std::min(to, data.size());
    if (pattern.empty() || from >= to || to - from < pattern.size())
        return std::nullopt;
    const auto* first = reinterpret_cast<const char*>(data.data());
    const std::string_view haystack(first + from, to - from);
    const std::size_t found = haystack.find(pattern);
    if (found == std::string_view::npos)
        return std::nullopt;
    return from + found;
}

std::optional<std::size_t> FindLastBytes(std::span<const uint8_t> data, std::string_view pattern) {
    const std::string_view haystack(reinterpret_cast<const char*>(data.data()), data.size());
    const std::size_t found = haystack.rfind(pattern);
    if (pattern.empty() || found == std::string_view::npos)
        return std::nullopt;
    return found;
}

CPdfLineReader::CPdfLineReader(std::span<const uint8_t> bytes, std::size_t start) : data(bytes) {
    Seek(start);
    lineEnd = position;
}

bool CPdfLineReader::Next(std::string_view& line) {
    while (position < data.size() && IsSeparator(data[position]))
        ++position;
    const std::size_t start = position;
    while (position < data.size() && !IsSeparator(data[position]))
        ++position;
    lineEnd = position;
    line = std::string_view(reinterpret_cast<const char*>(data.data()) + start, position - start);
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back()))
        line.remove_suffix(1);
    return !line.empty();
}

std::size_t CPdfLineReader::StreamDataStart() const {
    std::size_t start = lineEnd;
    if (start < data.size() && data[start] == '\r')
        ++start;
    if (start < data.size() && data[start] == '\n')
        ++start;
    return start;
}

} // namespace pq
