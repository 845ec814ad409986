#include "native/PdfLineReader.h"

#include "native/PdfDeflate.h"

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

CPdfLineReader::CPdfLineReader(CInflater& from, std::size_t piece)
    : source(&from), pieceBytes(std::max<std::size_t>(piece, 1)) {}

bool CPdfLineReader::Refill(std::size_t keepFrom) {
    if (source == nullptr)
        return false;
    held.erase(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(keepFrom));
    position -= keepFrom;
    const std::size_t before = held.size();
    bool more = true;
    while (more && held.size() == before)
        more = source->Read(held, pieceBytes);
    data = held;
    if (!more)
        source = nullptr; // everything the stream gives is held now
    return held.size() > before || more;
}

bool CPdfLineReader::Next(std::string_view& line) {
    for (;;) {
        while (position < data.size() && IsSeparator(data[position]))
            ++position;
        if (position < data.size() || !Refill(position))
            break;
    }
    std::size_t start = position;
    for (;;) {
        while (position < data.size() && !IsSeparator(data[position]))
            ++position;
        if (position < data.size() || source == nullptr)
            break;
        // The line runs on into the next piece.
        const std::size_t keep = start;
        if (!Refill(keep))
            break;
        start = 0;
    }
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
