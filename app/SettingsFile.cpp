#include "app/SettingsFile.h"

#include "platform/RegularFile.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace pq {

namespace {

struct KeyValue {
    std::string key;
    std::string value;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string TrimBlanks(const std::string& s) {
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && IsBlank(s[first]))
        ++first;
    while (last > first && IsBlank(s[last - 1]))
        --last;
    return s.substr(first, last - first);
}

// Lines end at CR, LF or a zero byte; a line counts when it has "=" after its first character. The key
// loses its blanks and its case, so "Save Location = x" sets "savelocation".
std::vector<KeyValue> ReadKeyValues(const std::string& path) {
    std::vector<KeyValue> result;
    // A settings file is a few lines; the cap keeps a mistaken name from being read whole, and a pipe
    // or device given as the settings file is refused rather than waited on.
    constexpr std::size_t kMaxSettingsBytes = 1u << 20;
    std::vector<uint8_t> bytes;
    std::string message;
    if (!ReadRegularFile(SettingsFilePath(path), kMaxSettingsBytes, bytes, message))
        return result;
    const std::string text(bytes.begin(), bytes.end());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n' && text[end] != '\0')
            ++end;
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        std::string key;
        for (char c : line.substr(0, eq))
            if (!IsBlank(c))
                key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        result.push_back({key, TrimBlanks(line.substr(eq + 1))});
    }
    return result;
}

// Decimal digits at the start, with an optional sign: "12x" is 12, "x12" is 0. Values beyond the
// integer range are held at its ends.
int32_t ParseLeadingInt(const std::string& s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    int64_t value = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
        value = std::min<int64_t>(value * 10 + (s[i] - '0'), int64_t{1} << 31);
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

std::string SettingsFilePath(const std::string& path) {
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(".ini") != std::string::npos ? path : path + ".ini";
}

bool ReadSettingsFile(const std::string& path, CExportSettings& values) {
    values = {};
    for (const KeyValue& kv : ReadKeyValues(path)) {
        if (kv.key == "filename")
            values.fileName = kv.value;
        else if (kv.key == "filetype")
            values.fileType = kv.value;
        else if (kv.key == "size")
            values.size = ParseLeadingInt(kv.value);
        else if (kv.key == "emfsizex")
            values.emfSizeX = ParseLeadingInt(kv.value);
        else if (kv.key == "emfsizey")
            values.emfSizeY = ParseLeadingInt(kv.value);
        else if (kv.key == "openfile")
            values.openFile = kv.value;
        else if (kv.key == "printlocation")
            values.printLocation = kv.value;
        else if (kv.key == "savelocation")
            values.saveLocation = kv.value;
    }
    return !values.fileName.empty();
}

bool ReadUploadSettings(const std::string& path, CUploadSettings& values) {
    values = {};
    for (const KeyValue& kv : ReadKeyValues(path)) {
        if (kv.key == "ftpserver")
            values.ftpServer = kv.value;
        else if (kv.key == "username")
            values.userName = kv.value;
        else if (kv.key == "password")
            values.password = kv.value;
        else if (kv.key == "ftplocation")
            values.ftpLocation = kv.value;
        else if (kv.key == "ftpport")
            values.ftpPort = ParseLeadingInt(kv.value);
    }
    return !values.ftpServer.empty();
}

} // namespace pq
