#include "platform/IniFile.h"

#include "platform/RegularFile.h"
#include "platform/image/AtomicWrite.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {

namespace {

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The preferences kept in the file may include the stored FTP password, so the file is its owner's
// alone. The atomic writer gives a replaced file the mode of the one it replaces: a new file is therefore
// made private before its first save, and an older one readable by others loses those bits first.
void KeepPrivate(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISREG(info.st_mode) && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
            chmod(path.c_str(), info.st_mode & S_IRWXU);
        return;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0)
        close(fd);
}

} // namespace

bool CIniFile::Load(const std::string& path) {
    sections.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return true;
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(path, kMaxFileBytes, bytes, message))
        return false;
    Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
}

void CIniFile::Parse(std::string_view text) {
    sections.clear();
    std::optional<std::string> current; // lines before the first header belong to no section
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            current = std::string(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0 || !current)
            continue;
        Set(*current, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
}

std::optional<std::string> CIniFile::Get(std::string_view section, std::string_view name) const {
    for (const Section& s : sections) {
        if (s.name != section)
            continue;
        for (const Entry& e : s.entries)
            if (e.name == name)
                return e.value;
    }
    return std::nullopt;
}

void CIniFile::Set(std::string_view section, std::string_view name, std::string_view value) {
    Section* target = nullptr;
    for (Section& s : sections) {
        if (s.name == section) {
            target = &s;
            break;
        }
    }
    if (target == nullptr) {
        sections.push_back({std::string(section), {}});
        target = &sections.back();
    }
    for (Entry& e : target->entries) {
        if (e.name == name) {
            e.value = value;
            return;
        }
    }
    target->entries.push_back({std::string(name), std::string(value)});
}

std::string CIniFile::Format() const {
    std::string out;
    for (const Section& s : sections) {
        if (!out.empty())
            out += '\n';
        out += '[' + s.name + "]\n";
        for (const Entry& e : s.entries)
            out += e.name + '=' + e.value + '\n';
    }
    return out;
}

bool CIniFile::Save(const std::string& path) const {
    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), ec);
    KeepPrivate(path);
    const std::string text = Format();
    return WriteFileReplacing(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())).ok;
}

} // namespace pq
