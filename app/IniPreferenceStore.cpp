#include "app/IniPreferenceStore.h"

#include <charconv>

namespace pq {

namespace {

// A string read returns at most 100 characters, as the preference values always have.
constexpr std::size_t kMaxStringLength = 100;

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
    file.Save(path);
}

void CIniPreferenceStore::WriteString(std::string_view name, std::string_view value) {
    // A line break would end the value early when the file is read back.
    std::string clean(value);
    for (char& c : clean)
        if (c == '\r' || c == '\n')
            c = ' ';
    file.Set(kSection, StoredName(name), clean);
    file.Save(path);
}

} // namespace pq
