#include "platform/FontFamilies.h"

#include "platform/FontLibrary.h"
#include "platform/Utf16.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <optional>
#include <set>

namespace pq {

namespace {

std::vector<std::string> ListInstalledFamilies() {
    std::vector<std::string> families;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (pattern != nullptr && objects != nullptr) {
        // Only outline fonts: bitmap-only faces cannot be scaled or turned.
        FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
        if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
            for (int i = 0; i < set->nfont; ++i) {
                FcChar8* name = nullptr;
                for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n)
                    families.emplace_back(reinterpret_cast<const char*>(name));
            }
            FcFontSetDestroy(set);
        }
    }
    if (objects != nullptr)
        FcObjectSetDestroy(objects);
    if (pattern != nullptr)
        FcPatternDestroy(pattern);
    return families;
}

std::vector<std::u16string> BuildFamilyList() {
    const std::vector<std::string> installed = ListInstalledFamilies();
    std::set<std::string> normalized;
    for (const std::string& name : installed)
        normalized.insert(NormalizeFamilyName(name));

    std::set<std::string> names(installed.begin(), installed.end());
    for (const CMetricTwin& pair : MetricTwins()) {
        if (normalized.count(NormalizeFamilyName(pair.twin)) != 0 &&
            normalized.count(NormalizeFamilyName(pair.face)) == 0)
            names.emplace(pair.face);
    }

    std::vector<std::u16string> families;
    families.reserve(names.size());
    for (const std::string& name : names)
        families.push_back(Utf8ToUtf16(name));

    if (normalized.count("TAHOMA") == 0) {
        const std::u16string sans = SansSerifFamily();
        const auto it = std::find(families.begin(), families.end(), sans);
        if (it != families.end())
            std::rotate(families.begin(), it, it + 1);
    }
    return families;
}

} // namespace

const std::vector<std::u16string>& EnumerateFontFamilies() {
    static std::vector<std::u16string> families;
    static std::optional<uint32_t> builtFor;
    const uint32_t generation = CFontLibrary::Get().GetGeneration();
    if (builtFor != generation) {
        families = BuildFamilyList();
        builtFor = generation;
    }
    return families;
}

std::u16string SansSerifFamily() {
    return Utf8ToUtf16(CFontLibrary::Get().ResolveGenericFamily("sans-serif"));
}

} // namespace pq
