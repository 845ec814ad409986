#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// Named preference values: integers and UTF-8 strings. The editor keeps them in an INI file; the
// headless tool and tests keep them in memory. Reads take the value to use when the name is absent.
class IPreferenceStore {
public:
    virtual ~IPreferenceStore() = default;

    [[nodiscard]] virtual std::optional<int32_t> FindInt(std::string_view name) const = 0;
    [[nodiscard]] virtual std::optional<std::string> FindString(std::string_view name) const = 0;
    virtual void WriteInt(std::string_view name, int32_t value) = 0;
    virtual void WriteString(std::string_view name, std::string_view value) = 0;
    // Stores what was written since the last flush where it lasts (a store that keeps values in memory has
    // nothing to do); false when some of it could not be stored.
    virtual bool Flush() { return true; }

    [[nodiscard]] int32_t ReadInt(std::string_view name, int32_t fallback) const {
        return FindInt(name).value_or(fallback);
    }
    [[nodiscard]] std::string ReadString(std::string_view name, std::string_view fallback) const {
        auto value = FindString(name);
        return value ? *value : std::string(fallback);
    }
};

// A store that lives in memory only.
class CMemoryPreferenceStore : public IPreferenceStore {
public:
    [[nodiscard]] std::optional<int32_t> FindInt(std::string_view name) const override;
    [[nodiscard]] std::optional<std::string> FindString(std::string_view name) const override;
    void WriteInt(std::string_view name, int32_t value) override;
    void WriteString(std::string_view name, std::string_view value) override;

private:
    std::map<std::string, int32_t, std::less<>> ints;
    std::map<std::string, std::string, std::less<>> strings;
};

} // namespace pq
