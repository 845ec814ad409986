#pragma once

#include "platform/FontAnswerFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace pq {

class CFontAnswerCache;
class CFontAnswerSource;

// One font file opened by FreeType. Every CFont drawn from the file shares it; each font keeps its own
// size object on it, so fonts of different heights never disturb each other.
class CFontFace {
public:
    CFontFace(FT_Face face, std::string file, int index);
    ~CFontFace();
    CFontFace(const CFontFace&) = delete;
    CFontFace& operator=(const CFontFace&) = delete;

    [[nodiscard]] FT_Face GetFace() const { return face; }
    [[nodiscard]] const std::string& GetFile() const { return file; }
    [[nodiscard]] int GetIndex() const { return index; }

    // Glyph index and whole-pixel advance of a character at one size and synthetic style, remembered
    // across fonts because text measuring creates many short-lived fonts of the same few sizes.
    struct CGlyphAdvance {
        uint32_t glyph = 0;
        int32_t advance = 0;
    };
    [[nodiscard]] const CGlyphAdvance* FindAdvance(uint64_t key) const;
    void StoreAdvance(uint64_t key, CGlyphAdvance value);

    // The coverage of an upright glyph drawn at a whole-pixel origin, as runs of pixels relative to
    // that origin (y down). Upright text lands on whole pixels, so its glyphs are rasterised once.
    struct CCoverageSpan {
        int32_t x = 0;
        int32_t y = 0;
        int32_t length = 0;
        uint8_t coverage = 0;
    };
    using CGlyphSpans = std::vector<CCoverageSpan>;
    [[nodiscard]] const CGlyphSpans* FindGlyphSpans(uint64_t key) const;
    const CGlyphSpans& StoreGlyphSpans(uint64_t key, CGlyphSpans spans);

private:
    FT_Face face;
    std::string file;
    int index;
    std::unordered_map<uint64_t, CGlyphAdvance> advances;
    std::unordered_map<uint64_t, CGlyphSpans> glyphSpans;
    std::size_t glyphSpanCount = 0;
};

// The outcome of looking a face name up: the face to load and whether bold or italic must be made up
// because the family has no such member.
struct CFaceMatch {
    std::shared_ptr<CFontFace> face;
    std::string family; // the family the face belongs to, as fontconfig names it
    bool syntheticBold = false;
    bool syntheticItalic = false;
};

// The process-wide font machinery: the FreeType library, the fontconfig configuration, the open font
// files and the results of earlier face lookups. It is used from the one user-interface thread only.
class CFontLibrary {
public:
    // The instance lives until the process ends. It is never destroyed so that fonts held in static
    // objects can still release their sizes during exit.
    [[nodiscard]] static CFontLibrary& Get();

    [[nodiscard]] FT_Library GetLibrary() const { return library; }

    // Resolves a family name (UTF-8), an OpenType weight (400 normal, 700 bold) and italic to a face.
    // fontconfig always answers with some font, so the family it returns is compared with the one asked
    // for: a family that is not installed is served by its metric-compatible twin when one is installed,
    // otherwise by the system's sans-serif face. An empty face has no match when no font can be opened.
    [[nodiscard]] CFaceMatch Match(std::string_view family, int weight, bool italic);

    // The family fontconfig resolves for a generic name ("sans-serif"), or "" when no font is installed.
    [[nodiscard]] std::string ResolveGenericFamily(std::string_view generic);

    // Replaces the fontconfig configuration by the one in configFile and forgets every earlier lookup.
    // Fonts created before keep their faces. False when the file cannot be read or parsed.
    bool LoadConfigFile(const std::string& configFile);
    // Counts configuration changes, so that caches built from the configuration know when to rebuild.
    [[nodiscard]] uint32_t GetGeneration() const { return generation; }

    // The family names of every installed outline font, as fontconfig lists them (unsorted, repeated).
    [[nodiscard]] std::vector<std::string> ListOutlineFamilies();

private:
    CFontLibrary();

    // fontconfig's answer for one face request, from the answers kept between runs when it is there.
    std::optional<CFontAnswer> AskMatch(std::string_view family, int weight, bool italic);
    std::shared_ptr<CFontFace> OpenFace(const std::string& file, int index);

    FT_Library library = nullptr;
    std::unique_ptr<CFontAnswerSource> fontconfig;
    // Null once a configuration has been loaded explicitly: answers kept on disk describe the default one.
    std::unique_ptr<CFontAnswerCache> answerCache;
    std::map<std::pair<std::string, int>, std::shared_ptr<CFontFace>> faces;
    std::map<std::tuple<std::string, int, bool>, CFaceMatch> matches;
    uint32_t generation = 0;
};

// A well-known face and a freely installed family with the same advance widths that fontconfig serves
// in its place (the Liberation fonts stand in for the core faces documents name most).
struct CMetricTwin {
    std::string_view face;
    std::string_view twin;
};
[[nodiscard]] std::span<const CMetricTwin> MetricTwins();

// Loads a fontconfig configuration file for the whole process (tests name only the project's fonts so
// results do not depend on the machine).
bool LoadFontConfigFile(const std::string& configFile);

// Upper-cases ASCII letters and drops spaces: the form in which font family names are compared.
[[nodiscard]] std::string NormalizeFamilyName(std::string_view family);

// True for the generic names fontconfig resolves through its aliases ("sans-serif", "serif", ...).
[[nodiscard]] bool IsGenericFamily(std::string_view family);

} // namespace pq
