#include "app/IniPreferenceStore.h"

#include <charconv>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {

namespace {

// A string read returns at most 100 characters, as the preference values always have.
constexpr std::size_t kMaxStringLength = 100;

// The file holds the stored FTP password ("Pwd"), so only its owner may read it. The atomic writer gives a
// replaced file the mode of the one it replaces: a new file is therefore made private before its first
// save, and an older one readable by others loses those bits before anything is written to it.
void KeepPrivate(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
            chmod(path.c_str(), info.st_mode & S_IRWXU);
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0)
        close(fd);
}

} // namespace

CIniPreferenceStore::CIniPreferenceStore(std::string filePath) : path(std::move(filePath)) {
    file.Load(path);
}

std::string_view CIniPreferenceStore::StoredName(std::string_view name) {
    return name.empty() ? std::string_view(kUnnamedValue) : name;
}

std::optional<int32_t> CIniPreferenceStore::FindInt(std::string_view name) const {
    const auto text = file.Get(kSection, StoredName(name));
    if (!text)
        return std::nullopt;
    int32_t value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<std::string> CIniPreferenceStore::FindString(std::string_view name) const {
    auto text = file.Get(kSection, StoredName(name));
    if (text && text->size() > kMaxStringLength) {
        // Cut at a character boundary: never leave half a UTF-8 sequence.
        std::size_t cut = kMaxStringLength;
        while (cut > 0 && (static_cast<unsigned char>((*text)[cut]) & 0xC0) == 0x80)
            --cut;
        text->resize(cut);
    }
    return text;
}

void CIniPreferenceStore::WriteInt(std::string_view name, int32_t value) {
    file.Set(kSection, StoredName(name), std::to_string(value));
    KeepPrivate(path);
    file.Save(path);
}

void CIniPreferenceStore::WriteString(std::string_view name, std::string_view value) {
    // A line break would end the value early when the file is read back.
    std::string clean(value);
    for (char& c : clean)
        if (c == '\r' || c == '\n')
            c = ' ';
    file.Set(kSection, StoredName(name), clean);
    KeepPrivate(path);
    file.Save(path);
}

} // namespace pq
