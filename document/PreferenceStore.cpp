#include "document/PreferenceStore.h"

namespace pq {

std::optional<int32_t> CMemoryPreferenceStore::FindInt(std::string_view name) const {
    const auto found = ints.find(name);
    if (found == ints.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::string> CMemoryPreferenceStore::FindString(std::string_view name) const {
    const auto found = strings.find(name);
    if (found == strings.end())
        return std::nullopt;
    return found->second;
}

void CMemoryPreferenceStore::WriteInt(std::string_view name, int32_t value) {
    ints.insert_or_assign(std::string(name), value);
}

void CMemoryPreferenceStore::WriteString(std::string_view name, std::string_view value) {
    strings.insert_or_assign(std::string(name), std::string(value));
}

} // namespace pq
