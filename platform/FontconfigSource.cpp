#include "platform/FontconfigSource.h"

#include "platform/DataPaths.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <filesystem>
#include <sys/utsname.h>

namespace pq {

namespace {

void AppendAll(FcStrList* list, std::vector<std::string>& out) {
    if (list == nullptr)
        return;
    while (const FcChar8* s = FcStrListNext(list))
        out.emplace_back(reinterpret_cast<const char*>(s));
    FcStrListDone(list);
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::vector<std::string> CFontconfigSource::ListOutlineFamilies() {
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

std::optional<CFontAnswer> CFontconfigSource::MatchFamily(const std::string& family, int weight,
                                                          bool italic) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr)
        return std::nullopt;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &status);
    FcPatternDestroy(pattern);
    if (match == nullptr)
        return std::nullopt;

    std::optional<CFontAnswer> result;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
        CFontAnswer& answer = result.emplace();
        answer.file = reinterpret_cast<const char*>(file);
        int index = 0;
        answer.index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
        FcChar8* name = nullptr;
        for (int n = 0; FcPatternGetString(match, FC_FAMILY, n, &name) == FcResultMatch; ++n)
            answer.families.emplace_back(reinterpret_cast<const char*>(name));
        double w = 0.0;
        int wi = 0;
        if (FcPatternGetDouble(match, FC_WEIGHT, 0, &w) == FcResultMatch)
            answer.weight = w;
        else if (FcPatternGetInteger(match, FC_WEIGHT, 0, &wi) == FcResultMatch)
            answer.weight = wi;
        else
            answer.weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        answer.slant =
            FcPatternGetInteger(match, FC_SLANT, 0, &slant) == FcResultMatch ? slant : FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return result;
}

std::vector<std::string> CFontconfigSource::Dependencies() {
    std::vector<std::string> configFiles;
    AppendAll(FcConfigGetConfigFiles(nullptr), configFiles);
    std::vector<std::string> paths = configFiles;
    for (const std::string& path : configFiles)
        paths.push_back(std::filesystem::path(path).parent_path().string());
    AppendAll(FcConfigGetFontDirs(nullptr), paths);
    AppendAll(FcConfigGetConfigDirs(nullptr), paths);

    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = UserHomeFolder() + "/.config";
    for (const char* place : {"/fontconfig", "/fontconfig/fonts.conf", "/fontconfig/conf.d"})
        paths.push_back(config + place);
    for (const char* place : {"/.fonts.conf", "/.fonts.conf.d", "/.fonts"})
        paths.push_back(UserHomeFolder() + place);
    std::erase_if(paths, [](const std::string& path) { return path.empty(); });
    return paths;
}

std::string FontconfigSetting() {
    std::string setting = "fontconfig " + std::to_string(FcGetVersion()) + "\n";
    for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME",
                             "XDG_CONFIG_HOME", "XDG_DATA_HOME", "FC_LANG", "LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* value = std::getenv(name))
            setting += std::string(name) + "=" + value + "\n";
    }
    utsname machine{};
    if (::uname(&machine) == 0)
        setting += std::string("machine=") + machine.nodename + "\n";
    return setting;
}

std::string FontAnswerCacheFile() {
    return CacheFolder() + "/fonts.cache";
}

} // namespace pq
