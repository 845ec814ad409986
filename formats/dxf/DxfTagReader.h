#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// One group pair of a DXF file: the group code and its value, trimmed of blanks unless it is text
// (groups 1 and 3).
struct CDxfTag {
    CDxfTag() = default;
    CDxfTag(int groupCode, std::string_view text)
        : text(text.data()), length(static_cast<uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX))),
          code(groupCode) {}

    [[nodiscard]] std::string_view Value() const { return {text, length}; }

    // A large file holds millions of pairs: a pointer and a 32-bit length keep a pair in 16 bytes (a
    // value longer than 4 GB is cut there).
    const char* text = nullptr;
    uint32_t length = 0;
    int code = 0;
};

// A code line that is not a number gets this code, which no entity reads.
inline constexpr int kDxfBadCode = -1000000;

// The group pairs of a whole file, up to the pair "0 EOF" (anything after it is ignored). Values are
// views of the file's own bytes, or of the text the binary form's numbers were turned into.
struct CDxfTagList {
    std::vector<CDxfTag> tags;
    std::deque<std::string> storage; // numbers of a binary file as text
    bool binary = false;
};

// Splits an ASCII DXF file into its group pairs. A line ends at a carriage return, a line feed, both, or
// a zero byte; empty lines before a code line are skipped; a value line keeps its whole length (the value of
// a text group keeps its blanks too). Binary
// DXF files (the "AutoCAD Binary DXF" sentinel) are read too; their numbers become text. Returns false
// with a message only when nothing can be read.
[[nodiscard]] bool ReadDxfTags(std::span<const uint8_t> bytes, CDxfTagList& list, std::string& message);

// Numbers of values. Leading "+" and surrounding blanks are allowed; anything after the number is
// ignored, as C's "%d" and "%f" ignore it. Values that are not finite count as absent.
[[nodiscard]] std::optional<double> ParseDxfReal(std::string_view value);
[[nodiscard]] std::optional<int> ParseDxfInt(std::string_view value);
// A handle: hexadecimal digits; nullopt for anything else.
[[nodiscard]] std::optional<uint64_t> ParseDxfHandle(std::string_view value);

} // namespace pq
