#include "platform/DataPaths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace pq {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string UserHomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
            home = entry->pw_dir;
    }
    return home.empty() ? std::string(".") : home;
}

std::string PreferencesFilePath() {
    std::string base = Environment("XDG_CONFIG_HOME");
    if (base.empty())
        base = UserHomeFolder() + "/.config";
    return base + "/pentaquill/draw.ini";
}

std::string DataFolder() {
    if (std::string own = Environment("PQDRAW_HOME"); !own.empty())
        return own;
    std::string base = Environment("XDG_DATA_HOME");
    if (base.empty())
        base = UserHomeFolder() + "/.local/share";
    return base + "/pentaquill-draw";
}

std::string CacheFolder() {
    std::string base = Environment("XDG_CACHE_HOME");
    if (base.empty())
        base = UserHomeFolder() + "/.cache";
    return base + "/pentaquill-draw";
}

} // namespace pq
