#include "cli/CliText.h"

#include "model/Drawing.h"

#include <algorithm>
#include <cstdio>

namespace pq::cli {

void PrintReadWarning(std::FILE* err, const std::string& path, const CDrawing& drawing) {
    const std::string& warning = drawing.GetWarning();
    std::size_t start = 0;
    while (start < warning.size()) {
        const std::size_t end = std::min(warning.find('\n', start), warning.size());
        std::fprintf(err, "pqdraw-cli: %s: warning: %.*s\n", path.c_str(), static_cast<int>(end - start),
                     warning.data() + start);
        start = end + 1;
    }
}

std::string FormatNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string QuoteText(std::u16string_view text) {
    std::string out = "\"";
    for (char16_t unit : text) {
        switch (unit) {
        case u'\\':
            out += "\\\\";
            break;
        case u'"':
            out += "\\\"";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\n':
            out += "\\n";
            break;
        default:
            if (unit >= 0x20 && unit < 0x7F) {
                out += static_cast<char>(unit);
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
                out += escaped;
            }
        }
    }
    return out + "\"";
}

} // namespace pq::cli
