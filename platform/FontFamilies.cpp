#include "platform/FontFamilies.h"

#include "platform/FontLibrary.h"
#include "platform/Utf16.h"

#include <algorithm>
#include <optional>
#include <set>

namespace pq {

namespace {

std::vector<std::u16string> BuildFamilyList() {
    const std::vector<std::string> installed = CFontLibrary::Get().ListOutlineFamilies();
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
