#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace pq {

// What fontconfig answered for one face request: the file and face index to load, the family names of
// that face, and its weight (fontconfig's scale) and slant.
struct CFontAnswer {
    std::string file;
    int index = 0;
    std::vector<std::string> families;
    double weight = 0.0;
    int slant = 0;

    bool operator==(const CFontAnswer&) const = default;
};

// A face request: the family name as asked, the OpenType weight and italic.
using CFontQuestion = std::tuple<std::string, int, bool>;

// The state of one file or folder the answers were built from. A missing path is recorded as missing,
// so that creating it (a user's first fonts.conf, a new font folder) is noticed as well.
struct CPathStamp {
    std::string path;
    bool exists = false;
    int64_t modifiedNs = 0;
    int64_t size = 0;

    bool operator==(const CPathStamp&) const = default;
};

// Everything one run of the program learnt from fontconfig, as kept between runs.
struct CFontAnswers {
    // Describes the process's font setting (environment, fontconfig version, machine); answers built
    // under another setting are not used.
    std::string setting;
    std::vector<CPathStamp> stamps;
    // The family names of every installed outline font, once listed.
    std::optional<std::vector<std::string>> families;
    // Face requests and their answers; no answer means fontconfig found no font file.
    std::map<CFontQuestion, std::optional<CFontAnswer>> matches;

    bool operator==(const CFontAnswers&) const = default;
};

// Bounds on what a cache file may hold, far above any real font setting, so that a damaged or hostile
// file cannot make the reader allocate much.
inline constexpr std::size_t kMaxFontAnswerFileBytes = 8u * 1024 * 1024;
inline constexpr uint32_t kMaxFontAnswerString = 4096;
inline constexpr uint32_t kMaxFontAnswerCount = 65536;

// Empty when the answers exceed the bounds above, since the reader would refuse such a file.
[[nodiscard]] std::vector<uint8_t> EncodeFontAnswers(const CFontAnswers& answers);

// False (answers untouched) for anything but a complete, intact file of this version.
[[nodiscard]] bool DecodeFontAnswers(std::span<const uint8_t> bytes, CFontAnswers& answers);

// The hash a file ends with (FNV-1a over every byte before it, stored little-endian).
[[nodiscard]] uint64_t FontAnswerChecksum(std::span<const uint8_t> bytes);

// The current state of a path (following symbolic links, so an edited link target counts as changed).
[[nodiscard]] CPathStamp StampPath(const std::string& path);

// True when every path is still as stamped.
[[nodiscard]] bool StampsCurrent(std::span<const CPathStamp> stamps);

} // namespace pq
