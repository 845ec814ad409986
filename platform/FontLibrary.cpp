#include "platform/FontLibrary.h"

#include "platform/FontAnswerCache.h"
#include "platform/FontconfigSource.h"

#include <fontconfig/fontconfig.h>

#include <array>

namespace pq {

namespace {

constexpr std::array<CMetricTwin, 6> kMetricTwins{{
    {"Arial", "Liberation Sans"},
    {"Arial", "Arimo"},
    {"Times New Roman", "Liberation Serif"},
    {"Times New Roman", "Tinos"},
    {"Courier New", "Liberation Mono"},
    {"Courier New", "Cousine"},
}};

constexpr std::array<std::string_view, 7> kGenericFamilies{"SANS-SERIF", "SANS",    "SERIF",  "MONOSPACE",
                                                           "MONO",       "CURSIVE", "FANTASY"};

// fontconfig's weight of a demi-bold face: anything lighter has to be emboldened to pass for bold.
constexpr double kFcWeightDemiBold = 180.0;

bool SameFamily(std::string_view a, std::string_view b) {
    return NormalizeFamilyName(a) == NormalizeFamilyName(b);
}

} // namespace

CFontFace::CFontFace(FT_Face f, std::string path, int faceIndex)
    : face(f), file(std::move(path)), index(faceIndex) {}

CFontFace::~CFontFace() {
    FT_Done_Face(face);
}

const CFontFace::CGlyphAdvance* CFontFace::FindAdvance(uint64_t key) const {
    const auto it = advances.find(key);
    return it == advances.end() ? nullptr : &it->second;
}

void CFontFace::StoreAdvance(uint64_t key, CGlyphAdvance value) {
    // Zooming through many sizes would otherwise grow the table without end.
    if (advances.size() >= 1u << 16)
        advances.clear();
    advances.emplace(key, value);
}

const CFontFace::CGlyphSpans* CFontFace::FindGlyphSpans(uint64_t key) const {
    const auto it = glyphSpans.find(key);
    return it == glyphSpans.end() ? nullptr : &it->second;
}

const CFontFace::CGlyphSpans& CFontFace::StoreGlyphSpans(uint64_t key, CGlyphSpans spans) {
    // A bound on the runs kept (about 16 bytes each), so that zooming through sizes cannot hoard memory.
    constexpr std::size_t kMaxSpans = 1u << 18;
    if (glyphSpanCount + spans.size() > kMaxSpans) {
        glyphSpans.clear();
        glyphSpanCount = 0;
    }
    glyphSpanCount += spans.size();
    return glyphSpans.insert_or_assign(key, std::move(spans)).first->second;
}

CFontLibrary& CFontLibrary::Get() {
    static CFontLibrary* instance = new CFontLibrary();
    return *instance;
}

CFontLibrary::CFontLibrary()
    : fontconfig(std::make_unique<CFontconfigSource>()),
      answerCache(
          std::make_unique<CFontAnswerCache>(FontAnswerCacheFile(), FontconfigSetting(), *fontconfig)) {
    if (FT_Init_FreeType(&library) != 0)
        library = nullptr;
}

bool CFontLibrary::LoadConfigFile(const std::string& configFile) {
    FcConfig* config = FcConfigCreate();
    if (config == nullptr)
        return false;
    const auto* name = reinterpret_cast<const FcChar8*>(configFile.c_str());
    if (!FcConfigParseAndLoad(config, name, FcTrue) || !FcConfigBuildFonts(config) ||
        !FcConfigSetCurrent(config)) {
        FcConfigDestroy(config);
        return false;
    }
    // The current configuration holds its own reference now.
    FcConfigDestroy(config);
    answerCache.reset();
    matches.clear();
    ++generation;
    return true;
}

std::optional<CFontAnswer> CFontLibrary::AskMatch(std::string_view family, int weight, bool italic) {
    const std::string name(family);
    return answerCache ? answerCache->MatchFamily(name, weight, italic)
                       : fontconfig->MatchFamily(name, weight, italic);
}

std::vector<std::string> CFontLibrary::ListOutlineFamilies() {
    return answerCache ? answerCache->OutlineFamilies() : fontconfig->ListOutlineFamilies();
}

std::shared_ptr<CFontFace> CFontLibrary::OpenFace(const std::string& file, int index) {
    const auto key = std::make_pair(file, index);
    if (const auto it = faces.find(key); it != faces.end())
        return it->second;
    if (library == nullptr)
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0)
        return nullptr;
    // Only outline faces can be scaled and turned; bitmap-only files are refused.
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        return nullptr;
    }
    auto entry = std::make_shared<CFontFace>(face, file, index);
    faces.emplace(key, entry);
    return entry;
}

CFaceMatch CFontLibrary::Match(std::string_view family, int weight, bool italic) {
    const std::string requested = family.empty() ? std::string("sans-serif") : std::string(family);
    const auto key = std::make_tuple(NormalizeFamilyName(requested), weight, italic);
    if (const auto it = matches.find(key); it != matches.end())
        return it->second;

    // The name itself first, then its metric twins, then the sans-serif face as the last resort.
    std::vector<std::string> candidates{requested};
    for (const CMetricTwin& pair : kMetricTwins) {
        if (SameFamily(pair.face, requested))
            candidates.emplace_back(pair.twin);
    }
    CFaceMatch found;
    CFontAnswer result;
    for (const std::string& candidate : candidates) {
        if (std::optional<CFontAnswer> answer = AskMatch(candidate, weight, italic))
            result = std::move(*answer);
        else
            continue;
        bool accepted = IsGenericFamily(candidate);
        for (const std::string& name : result.families)
            accepted = accepted || SameFamily(name, candidate);
        if (!accepted)
            continue;
        found.face = OpenFace(result.file, result.index);
        if (found.face)
            break;
    }
    if (!found.face) {
        if (std::optional<CFontAnswer> answer = AskMatch("sans-serif", weight, italic)) {
            result = std::move(*answer);
            found.face = OpenFace(result.file, result.index);
        }
    }
    if (found.face) {
        found.family = result.families.empty() ? std::string() : result.families.front();
        found.syntheticBold = weight >= 600 && result.weight < kFcWeightDemiBold;
        found.syntheticItalic = italic && result.slant == FC_SLANT_ROMAN;
    }
    matches.emplace(key, found);
    return found;
}

std::string CFontLibrary::ResolveGenericFamily(std::string_view generic) {
    const std::optional<CFontAnswer> answer = AskMatch(generic, 400, false);
    if (!answer || answer->families.empty())
        return {};
    return answer->families.front();
}

bool LoadFontConfigFile(const std::string& configFile) {
    return CFontLibrary::Get().LoadConfigFile(configFile);
}

std::string NormalizeFamilyName(std::string_view family) {
    std::string out;
    out.reserve(family.size());
    for (char c : family) {
        if (c == ' ')
            continue;
        out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return out;
}

bool IsGenericFamily(std::string_view family) {
    const std::string normal = NormalizeFamilyName(family);
    for (std::string_view generic : kGenericFamilies) {
        if (normal == generic)
            return true;
    }
    return false;
}

std::span<const CMetricTwin> MetricTwins() {
    return kMetricTwins;
}

} // namespace pq
