#pragma once

#include "document/PreferenceStore.h"
#include "platform/IniFile.h"

#include <string>

namespace pq {

// The editor's preferences in the [Draw] section of an INI file (numbers in decimal, strings in UTF-8).
// Every write saves the file at once, atomically, so a crash keeps the last good preferences; a store
// whose file cannot be written keeps its values in memory for the rest of the run.
class CIniPreferenceStore : public IPreferenceStore {
public:
    static constexpr const char* kSection = "Draw";
    // The name under which the key's unnamed value (the measurement unit) is kept.
    static constexpr const char* kUnnamedValue = "Unit";

    explicit CIniPreferenceStore(std::string path);

    [[nodiscard]] std::optional<int32_t> FindInt(std::string_view name) const override;
    [[nodiscard]] std::optional<std::string> FindString(std::string_view name) const override;
    void WriteInt(std::string_view name, int32_t value) override;
    void WriteString(std::string_view name, std::string_view value) override;

    [[nodiscard]] const std::string& GetPath() const { return path; }

private:
    [[nodiscard]] static std::string_view StoredName(std::string_view name);

    std::string path;
    CIniFile file;
};

} // namespace pq
