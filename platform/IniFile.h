#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// A small INI file: "[Section]" headers and "name=value" lines, kept in file order so that saving a file
// that was read changes only the values that were set. Names compare exactly; values are UTF-8 text.
class CIniFile {
public:
    // Settings files are small; anything larger than this is not one.
    static constexpr std::size_t kMaxFileBytes = 4u << 20;

    // Reads path; a missing file is an empty file. False when the file exists but cannot be read or is
    // not a regular file.
    bool Load(const std::string& path);
    void Parse(std::string_view text);

    [[nodiscard]] std::optional<std::string> Get(std::string_view section, std::string_view name) const;
    void Set(std::string_view section, std::string_view name, std::string_view value);

    [[nodiscard]] std::string Format() const;
    // Writes through the atomic writer (WriteFileReplacing), so a crash never leaves half a file and a
    // symbolic link stays a link. Creates the folder when it is missing. The file is readable by its owner
    // only (it may hold a password): a new one is made so, an old one loses the bits of others.
    bool Save(const std::string& path) const;

private:
    struct Entry {
        std::string name;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    std::vector<Section> sections;
};

} // namespace pq
