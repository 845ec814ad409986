#include "formats/ai/AiPrepare.h"

#include "formats/ai/AiNumbers.h"
#include "native/PdfDeflate.h"

#include <algorithm>

namespace pq {

namespace {

constexpr std::size_t kStreamSearchWindow = 1000; // "stream" must follow its object line this closely
constexpr std::size_t kMinCompressedBytes = 10;
constexpr int kBinaryFlagSpaces = 19;
constexpr std::size_t kHexDigitsPerLine = 60;

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

std::size_t LineEnd(std::string_view text, std::size_t from) {
    while (from < text.size() && !IsLineEnd(text[from]))
        ++from;
    return from;
}

// The position after the line end at from (CR LF, CR or LF), or from when none is there.
std::size_t SkipLineEnd(std::string_view text, std::size_t from) {
    if (from < text.size() && text[from] == '\r')
        ++from;
    if (from < text.size() && text[from] == '\n')
        ++from;
    return from;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool IsDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "N G obj": two integers, then "obj" right after the second space.
bool IsObjectLine(std::string_view line) {
    const std::size_t first = line.find(' ');
    if (first == std::string_view::npos || !IsDigits(line.substr(0, first)))
        return false;
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos || !IsDigits(line.substr(first + 1, second - first - 1)))
        return false;
    return line.substr(second + 1, 3) == "obj";
}

// Finds needle from "from" on, remembering the last answer: searches that move forward through the
// text then cost one pass over it in all, however many objects ask.
class CForwardFinder {
public:
    CForwardFinder(std::string_view text, std::string_view needle) : text(text), needle(needle) {}
    std::size_t Find(std::size_t from) {
        // The last answer holds while the search starts no earlier than it did and before what it found.
        if (searched && from >= lastFrom && (found == std::string_view::npos || found >= from))
            return found;
        found = text.find(needle, from);
        lastFrom = from;
        searched = true;
        return found;
    }

private:
    std::string_view text;
    std::string_view needle;
    std::size_t found = std::string_view::npos;
    std::size_t lastFrom = 0;
    bool searched = false;
};

void ReadArtSize(std::string_view text, CAiPreparedFile& prepared) {
    constexpr std::string_view kArtSize = "%AI5_ArtSize:";
    const std::size_t at = text.find(kArtSize);
    if (at == std::string_view::npos)
        return;
    const std::size_t start = at + kArtSize.size();
    const std::string_view rest = Trim(text.substr(start, LineEnd(text, start) - start));
    const std::size_t space = rest.find(' ');
    if (space == std::string_view::npos)
        return;
    const double width = ParseAiField(rest.substr(0, space)).value_or(400.0);
    const double height = ParseAiField(Trim(rest.substr(space))).value_or(600.0);
    // A page needs a size: an art size of nothing is damage, and the drawing is centred instead.
    if (!(width > 0.0) || !(height > 0.0))
        return;
    prepared.artSizeFound = true;
    prepared.artWidth = width;
    prepared.artHeight = height;
}

} // namespace

void CutPrologAndSetup(std::string& text) {
    const std::size_t prologEnd = text.find("%%EndProlog");
    if (prologEnd != std::string::npos)
        text.erase(0, prologEnd);
    const std::size_t setup = text.find("%%BeginSetup");
    if (setup == std::string::npos)
        return;
    constexpr std::string_view kEndSetup = "%%EndSetup";
    const std::size_t setupEnd = text.find(kEndSetup, setup);
    if (setupEnd != std::string::npos)
        text.erase(setup, setupEnd + kEndSetup.size() - setup);
}

bool ExpandCompressedObjects(std::string& text, std::size_t inflateLimit) {
    const std::string_view view(text);
    if (view.find(" obj") == std::string_view::npos || view.find("FlateDecode") == std::string_view::npos)
        return false;
    CForwardFinder streams(view, "stream");
    CForwardFinder endStreams(view, "endstream");
    CForwardFinder filters(view, "FlateDecode");
    std::string out;
    std::size_t copied = 0;
    std::size_t inflatedTotal = 0;
    bool limited = false;
    std::vector<uint8_t> inflated;

    std::size_t lineStart = 0;
    while (lineStart < view.size()) {
        const std::size_t lineEnd = LineEnd(view, lineStart);
        const std::size_t next = lineEnd < view.size() ? lineEnd + 1 : lineEnd;
        if (!IsObjectLine(Trim(view.substr(lineStart, lineEnd - lineStart)))) {
            lineStart = next;
            continue;
        }
        // "stream" within the window, but not the tail of an "endstream".
        std::size_t stream = streams.Find(lineEnd);
        while (stream != std::string_view::npos && stream >= 3 && view.substr(stream - 3, 3) == "end")
            stream = streams.Find(stream + 1);
        if (stream == std::string_view::npos || stream - lineEnd > kStreamSearchWindow) {
            lineStart = next;
            continue;
        }
        const std::size_t filter = filters.Find(lineEnd);
        const std::size_t end = endStreams.Find(stream + 6);
        if (filter == std::string_view::npos || filter > stream || end == std::string_view::npos) {
            lineStart = next;
            continue;
        }
        const std::size_t dataStart = SkipLineEnd(view, stream + 6);
        std::size_t dataEnd = end;
        if (dataEnd > dataStart && view[dataEnd - 1] == '\n')
            --dataEnd;
        if (dataEnd > dataStart && view[dataEnd - 1] == '\r')
            --dataEnd;
        if (dataEnd < dataStart || dataEnd - dataStart < kMinCompressedBytes ||
            inflatedTotal >= inflateLimit) {
            limited = limited || inflatedTotal >= inflateLimit;
            lineStart = next;
            continue;
        }
        const auto* data = reinterpret_cast<const uint8_t*>(view.data() + dataStart);
        const InflateResult result =
            InflateBytes({data, dataEnd - dataStart}, inflateLimit - inflatedTotal, inflated);
        // What a damaged object gave counts too: no file makes more than the bound be inflated.
        inflatedTotal += inflated.size();
        if (result != InflateResult::Complete) {
            limited = limited || result == InflateResult::TooLarge;
            lineStart = next;
            continue;
        }
        out.append(view.substr(copied, lineStart - copied));
        out.append(reinterpret_cast<const char*>(inflated.data()), inflated.size());
        out += '\n';
        const std::size_t afterEnd = LineEnd(view, end);
        copied = afterEnd;
        lineStart = afterEnd < view.size() ? afterEnd + 1 : afterEnd;
    }
    if (copied == 0)
        return limited;
    out.append(view.substr(copied));
    text = std::move(out);
    return limited;
}

void HexBinaryRasters(std::string& text, std::size_t sizeLimit) {
    constexpr std::string_view kBeginRaster = "%AI5_BeginRaster";
    constexpr std::string_view kBeginData = "%%BeginData";
    constexpr std::string_view kEndData = "%%EndData";
    const std::string_view view(text);
    if (view.find(kBeginRaster) == std::string_view::npos)
        return;
    CForwardFinder rasters(view, kBeginRaster);
    CForwardFinder beginData(view, kBeginData);
    CForwardFinder endData(view, kEndData);
    CForwardFinder imageOperators(view, "XI");
    std::string out;
    std::size_t copied = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t raster = rasters.Find(from);
        if (raster == std::string_view::npos)
            break;
        const std::size_t headerFrom = raster + kBeginRaster.size();
        const std::size_t data = beginData.Find(headerFrom);
        if (data == std::string_view::npos)
            break;
        // A raster block begins after the data of the one before: each stretch is looked at once.
        from = data + kBeginData.size();
        // The image header: the first line starting with "[" that does not end with "h".
        bool binary = false;
        std::size_t headerEnd = std::string_view::npos;
        for (std::size_t line = headerFrom; line < data;) {
            const std::size_t end = LineEnd(view, line);
            const std::string_view header = Trim(view.substr(line, std::min(end, data) - line));
            if (!header.empty() && header.front() == '[' && header.back() != 'h') {
                int spaces = 0;
                for (std::size_t k = 0; k < header.size(); ++k)
                    if (header[k] == ' ' && ++spaces == kBinaryFlagSpaces) {
                        binary = k > 0 && header[k - 1] != '0';
                        break;
                    }
                headerEnd = end;
                break;
            }
            line = end + 1;
        }
        if (!binary || headerEnd == std::string_view::npos)
            continue;
        // The data start on the line after "XI" and run up to "%%EndData".
        const std::size_t xi = imageOperators.Find(data);
        if (xi == std::string_view::npos)
            break;
        const std::size_t start = SkipLineEnd(view, LineEnd(view, xi));
        const std::size_t stop = endData.Find(start);
        if (stop == std::string_view::npos)
            break;
        std::string_view bytes = view.substr(start, stop - start);
        // Data wrapped in "stream" ... "endstream" lose the wrapping.
        if (bytes.starts_with("stream")) {
            bytes.remove_prefix(SkipLineEnd(bytes, 6));
            const std::size_t wrapEnd = bytes.rfind("endstream");
            if (wrapEnd != std::string_view::npos)
                bytes = bytes.substr(0, wrapEnd);
        }
        const std::size_t hexSize = bytes.size() * 2 + (bytes.size() / 30 + 1) * 2;
        if (out.size() + hexSize + (start - copied) > sizeLimit)
            break;
        out.append(view.substr(copied, start - copied));
        static constexpr char kHex[] = "0123456789ABCDEF";
        std::size_t digits = 0;
        for (const char c : bytes) {
            if (digits == 0)
                out += '%';
            const auto b = static_cast<uint8_t>(c);
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
            digits += 2;
            if (digits == kHexDigitsPerLine) {
                out += '\n';
                digits = 0;
            }
        }
        if (digits != 0)
            out += '\n';
        copied = stop;
        from = stop;
    }
    if (copied == 0)
        return;
    out.append(view.substr(copied));
    text = std::move(out);
}

void PrepareAiFile(std::span<const uint8_t> bytes, CAiPreparedFile& prepared) {
    std::string& text = prepared.text;
    text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    prepared.complete =
        text.find("%%EOF") != std::string::npos || text.find("%%Trailer") != std::string::npos;
    ReadArtSize(text, prepared);
    CutPrologAndSetup(text);
    prepared.inflationLimited = ExpandCompressedObjects(text, CAiPreparedFile::kMaxInflatedBytes);
    // Illustrator's data in a PDF-compatible file are PostScript-based, with "%AI" comments.
    prepared.pdfWithoutIllustratorData = text.starts_with("%PDF") && text.find("%AI") == std::string::npos &&
                                         text.find("%!PS-Adobe") == std::string::npos;
    // PDF-compatible files keep their art size inside the compressed data.
    if (!prepared.artSizeFound)
        ReadArtSize(text, prepared);
    HexBinaryRasters(text, CAiPreparedFile::kMaxTextBytes);
    constexpr std::string_view kEof = "%%EOF";
    const std::size_t eof = text.find(kEof);
    if (eof != std::string::npos)
        text.resize(eof + kEof.size());
    CutPrologAndSetup(text);

    prepared.lines.clear();
    const std::string_view view(text);
    std::size_t start = 0;
    while (start < view.size()) {
        const std::size_t end = LineEnd(view, start);
        const std::string_view line = Trim(view.substr(start, end - start));
        if (!line.empty())
            prepared.lines.push_back(line);
        start = end + 1;
    }
}

} // namespace pq
