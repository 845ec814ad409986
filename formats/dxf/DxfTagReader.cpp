#include "formats/dxf/DxfTagReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace pq {

namespace {

constexpr std::string_view kBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsTextCode(int code) {
    return code == 1 || code == 3;
}

// A code line (already trimmed): nearly always a few plain digits, read here without the general
// number parser's work.
std::optional<int> ParseCode(std::string_view line) {
    if (line.size() <= 4) {
        int code = 0;
        for (char c : line) {
            if (c < '0' || c > '9')
                return ParseDxfInt(line);
            code = code * 10 + (c - '0');
        }
        return code;
    }
    return ParseDxfInt(line);
}

bool ReadAsciiTags(std::span<const uint8_t> bytes, CDxfTagList& list) {
    const char* data = reinterpret_cast<const char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    auto nextLine = [&](std::string_view& line) {
        if (pos >= size)
            return false;
        const std::size_t start = pos;
        // Every line end is a byte below 14: most bytes are passed after one comparison.
        while (pos < size && (static_cast<unsigned char>(data[pos]) > '\r' ||
                              (data[pos] != '\r' && data[pos] != '\n' && data[pos] != '\0')))
            ++pos;
        line = std::string_view(data + start, pos - start);
        if (pos < size)
            pos += (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n') ? 2 : 1;
        return true;
    };
    // Two lines make a pair: counting the line feeds first spares the pair list its repeated growth
    // (copying tens of megabytes) on large files. Files that end lines with carriage returns alone grow
    // it as they go. A pair takes three bytes at least ("0", a line feed, an empty value, a line feed).
    const auto lineFeeds = static_cast<std::size_t>(std::count(data, data + size, '\n'));
    list.tags.reserve(std::min(lineFeeds / 2, size / 3) + 1);
    std::string_view codeLine;
    std::string_view value;
    while (true) {
        do {
            if (!nextLine(codeLine))
                return true;
            codeLine = Trim(codeLine);
        } while (codeLine.empty());
        if (!nextLine(value))
            value = {};
        const std::optional<int> code = ParseCode(codeLine);
        // Text keeps its spaces: a long text is cut into pieces anywhere, a space at a piece's end included.
        if (!code || !IsTextCode(*code))
            value = Trim(value);
        list.tags.push_back({code.value_or(kDxfBadCode), value});
        if (code == 0 && value == "EOF")
            return true;
    }
}

enum class ValueKind { String, Real, Int8, Int16, Int32, Int64, Binary, Unknown };

// The type of a group code's value in the binary form.
// https://help.autodesk.com/view/OARX/2024/ENU/?guid=GUID-2553CF98-44F6-4828-82DD-FE3BC7448113
ValueKind KindOf(int code) {
    if (code < 0)
        return ValueKind::Unknown;
    if (code <= 9)
        return ValueKind::String;
    if (code <= 59)
        return ValueKind::Real;
    if (code <= 79)
        return ValueKind::Int16;
    if (code <= 89)
        return ValueKind::Unknown;
    if (code <= 99)
        return ValueKind::Int32;
    if (code <= 109)
        return ValueKind::String;
    if (code <= 149)
        return ValueKind::Real;
    if (code <= 159)
        return ValueKind::Unknown;
    if (code <= 169)
        return ValueKind::Int64;
    if (code <= 179)
        return ValueKind::Int16;
    if (code <= 209)
        return ValueKind::Unknown;
    if (code <= 239)
        return ValueKind::Real;
    if (code <= 269)
        return ValueKind::Unknown;
    if (code <= 279)
        return ValueKind::Int16;
    if (code <= 299)
        return ValueKind::Int8;
    if (code <= 309)
        return ValueKind::String;
    if (code <= 319)
        return ValueKind::Binary;
    if (code <= 369)
        return ValueKind::String;
    if (code <= 389)
        return ValueKind::Int16;
    if (code <= 399)
        return ValueKind::String;
    if (code <= 409)
        return ValueKind::Int16;
    if (code <= 419)
        return ValueKind::String;
    if (code <= 429)
        return ValueKind::Int32;
    if (code <= 439)
        return ValueKind::String;
    if (code <= 459)
        return ValueKind::Int32;
    if (code <= 469)
        return ValueKind::Real;
    if (code <= 481)
        return ValueKind::String;
    if (code == 999 || (code >= 1000 && code <= 1009))
        return code == 1004 ? ValueKind::Binary : ValueKind::String;
    if (code >= 1010 && code <= 1059)
        return ValueKind::Real;
    if (code >= 1060 && code <= 1070)
        return ValueKind::Int16;
    if (code == 1071)
        return ValueKind::Int32;
    return ValueKind::Unknown;
}

template <typename T> T ReadLittle(const uint8_t* p) {
    std::make_unsigned_t<T> value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(p[i]) << (8 * i));
    return static_cast<T>(value);
}

// Binary DXF: after the sentinel, each pair is a group code (one byte in R12 files, 255 announcing a
// two-byte code; two bytes from R13 on) and a value whose type the code decides. Reading stops at the
// first pair that does not fit in the file.
bool ReadBinaryTags(std::span<const uint8_t> bytes, CDxfTagList& list) {
    list.binary = true;
    const std::size_t size = bytes.size();
    std::size_t pos = kBinarySentinel.size();
    // The first pair is "0 SECTION": a second zero byte means two-byte codes.
    const bool wideCodes = size > pos + 1 && bytes[pos] == 0 && bytes[pos + 1] == 0;
    auto remaining = [&] { return size - pos; };
    while (pos < size) {
        int code = 0;
        if (wideCodes) {
            if (remaining() < 2)
                break;
            code = ReadLittle<int16_t>(&bytes[pos]);
            pos += 2;
        } else {
            code = bytes[pos++];
            if (code == 255) {
                if (remaining() < 2)
                    break;
                code = ReadLittle<int16_t>(&bytes[pos]);
                pos += 2;
            }
        }
        std::string_view value;
        std::string number;
        char buffer[40];
        switch (KindOf(code)) {
        case ValueKind::String: {
            const void* end = std::memchr(&bytes[pos], 0, remaining());
            if (end == nullptr)
                return true;
            const std::size_t length = static_cast<const uint8_t*>(end) - &bytes[pos];
            value = std::string_view(reinterpret_cast<const char*>(&bytes[pos]), length);
            if (!IsTextCode(code))
                value = Trim(value);
            pos += length + 1;
            break;
        }
        case ValueKind::Real: {
            if (remaining() < 8)
                return true;
            double d = 0.0;
            std::memcpy(&d, &bytes[pos], 8);
            pos += 8;
            if (std::isfinite(d)) {
                auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, d);
                number.assign(buffer, error == std::errc() ? end : buffer);
            }
            break;
        }
        case ValueKind::Int8:
        case ValueKind::Int16:
        case ValueKind::Int32:
        case ValueKind::Int64: {
            const ValueKind kind = KindOf(code);
            const std::size_t width = kind == ValueKind::Int8    ? 1
                                      : kind == ValueKind::Int16 ? 2
                                      : kind == ValueKind::Int32 ? 4
                                                                 : 8;
            if (remaining() < width)
                return true;
            const int64_t v = width == 1   ? bytes[pos]
                              : width == 2 ? ReadLittle<int16_t>(&bytes[pos])
                              : width == 4 ? ReadLittle<int32_t>(&bytes[pos])
                                           : ReadLittle<int64_t>(&bytes[pos]);
            pos += width;
            auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, v);
            number.assign(buffer, error == std::errc() ? end : buffer);
            break;
        }
        case ValueKind::Binary: {
            if (remaining() < 1 || remaining() - 1 < bytes[pos])
                return true;
            pos += 1 + bytes[pos];
            break;
        }
        case ValueKind::Unknown:
            return true;
        }
        if (!number.empty()) {
            list.storage.push_back(std::move(number));
            value = list.storage.back();
        }
        list.tags.push_back({code, value});
        if (code == 0 && value == "EOF")
            break;
    }
    return true;
}

} // namespace

bool ReadDxfTags(std::span<const uint8_t> bytes, CDxfTagList& list, std::string& message) {
    list.tags.clear();
    list.storage.clear();
    list.binary = false;
    if (bytes.empty()) {
        message = "DXF: the file is empty";
        return false;
    }
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()),
                                std::min(bytes.size(), kBinarySentinel.size()));
    if (head == kBinarySentinel)
        return ReadBinaryTags(bytes, list);
    return ReadAsciiTags(bytes, list);
}

std::optional<double> ParseDxfReal(std::string_view value) {
    value = Trim(value);
    if (!value.empty() && value.front() == '+')
        value.remove_prefix(1);
    double result = 0.0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error != std::errc() || !std::isfinite(result))
        return std::nullopt;
    // "inf" and "nan" are parsed by from_chars but are no DXF numbers.
    return result;
}

std::optional<int> ParseDxfInt(std::string_view value) {
    value = Trim(value);
    if (!value.empty() && value.front() == '+')
        value.remove_prefix(1);
    long long result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error == std::errc::result_out_of_range)
        return value.front() == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    if (error != std::errc())
        return std::nullopt;
    if (result < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (result > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(result);
}

std::optional<uint64_t> ParseDxfHandle(std::string_view value) {
    value = Trim(value);
    if (value.empty() || value.size() > 16)
        return std::nullopt;
    uint64_t result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result, 16);
    if (error != std::errc() || end != value.data() + value.size())
        return std::nullopt;
    return result;
}

} // namespace pq
