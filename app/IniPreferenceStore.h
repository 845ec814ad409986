#pragma once

#include "document/PreferenceStore.h"
#include "platform/IniFile.h"

#include <string>

namespace pq {

// The editor's preferences in the [Draw] section of an INI file (numbers in decimal, strings in UTF-8).
// Writes change the values in memory; Flush saves the file, atomically and only when a value changed, so
// a window that writes a dozen values at once saves once, and a crash keeps the last flushed preferences.
// The store flushes when it is destroyed. A store whose file cannot be written keeps its values in memory
// for the rest of the run and tries again at the next flush.
class CIniPreferenceStore : public IPreferenceStore {
public:
    static constexpr const char* kSection = "Draw";
    // The name under which the key's unnamed value (the measurement unit) is kept.
    static constexpr const char* kUnnamedValue = "Unit";

    explicit CIniPreferenceStore(std::string path);
    ~CIniPreferenceStore() override;
    CIniPreferenceStore(const CIniPreferenceStore&) = delete;
    CIniPreferenceStore& operator=(const CIniPreferenceStore&) = delete;

    [[nodiscard]] std::optional<int32_t> FindInt(std::string_view name) const override;
    [[nodiscard]] std::optional<std::string> FindString(std::string_view name) const override;
    void WriteInt(std::string_view name, int32_t value) override;
    void WriteString(std::string_view name, std::string_view value) override;
    bool Flush() override;
    // Some value changed since the last flush.
    [[nodiscard]] bool HasUnsavedChanges() const { return dirty; }

    [[nodiscard]] const std::string& GetPath() const { return path; }

private:
    [[nodiscard]] static std::string_view StoredName(std::string_view name);
    void Set(std::string_view name, std::string_view text);

    std::string path;
    CIniFile file;
    bool dirty = false;
};

} // namespace pq
