#include "formats/ai/AiReader.h"

#include "formats/ai/AiNumbers.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "platform/image/DibPixels.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pq {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The fields of an image header line: "[a b c d tx ty] llx lly urx ury w h bits type alpha ...".
struct RasterHeader {
    std::array<double, 10> geometry{}; // a, b, c, d, tx, ty, llx, lly, urx, ury
    int32_t bits = 0;
    int32_t type = 0;
    int32_t alpha = 0;
};

std::optional<RasterHeader> ParseRasterHeader(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    // Brackets separate fields like spaces, whether or not spaces stand beside them.
    auto separator = [](char c) { return c == ' ' || c == '[' || c == ']' || c == '\t'; };
    while (start < line.size() && fields.size() < 16) {
        while (start < line.size() && separator(line[start]))
            ++start;
        std::size_t end = start;
        while (end < line.size() && !separator(line[end]))
            ++end;
        if (end > start)
            fields.push_back(line.substr(start, end - start));
        start = end;
    }
    if (fields.size() < 15)
        return std::nullopt;
    RasterHeader header;
    for (std::size_t i = 0; i < 10; ++i) {
        const std::optional<double> v = ParseAiField(fields[i]);
        if (!v)
            return std::nullopt;
        header.geometry[i] = *v;
    }
    const std::optional<int32_t> bits = ParseAiInt(fields[12]);
    const std::optional<int32_t> type = ParseAiInt(fields[13]);
    const std::optional<int32_t> alpha = ParseAiInt(fields[14]);
    if (!bits || !type || !alpha)
        return std::nullopt;
    header.bits = *bits;
    header.type = *type;
    header.alpha = *alpha;
    return header;
}

} // namespace

std::size_t CAiReader::ParseRaster(std::size_t index) {
    const std::size_t first = index;
    // The block's extent: up to "%AI5_EndRaster", or the end of the lines. The search remembers what it
    // found, so blocks without an end do not make the lines be searched again and again.
    if (endRasterAt == kNotSearched || (endRasterAt < lines.size() && endRasterAt <= first)) {
        endRasterAt = first + 1;
        while (endRasterAt < lines.size() && !lines[endRasterAt].starts_with("%AI5_EndRaster"))
            ++endRasterAt;
    }
    const std::size_t blockEnd = endRasterAt; // the "%AI5_EndRaster" line, or the end
    const bool ended = blockEnd < lines.size();

    std::optional<RasterHeader> header;
    std::size_t dataBegin = blockEnd;
    for (std::size_t i = first + 1; i < blockEnd; ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with("%%BeginData")) {
            dataBegin = i + 1;
            break;
        }
        if (!header && line.front() == '[' && line.back() != 'h') {
            header = ParseRasterHeader(line);
            if (!header)
                break; // a damaged header: the image is dropped
        }
    }
    std::size_t dataEnd = dataBegin;
    std::size_t hexDigits = 0;
    bool inData = false;
    while (dataEnd < blockEnd && !lines[dataEnd].starts_with("%%EndData")) {
        // A block without its end line has its data end where the data lines do.
        if (!ended && lines[dataEnd].front() != '%' && inData)
            break;
        inData = inData || lines[dataEnd].front() == '%';
        hexDigits += lines[dataEnd].size();
        ++dataEnd;
    }
    // Without its end line the block ends with its data; the lines after them are read as usual.
    std::size_t resume = blockEnd;
    if (!ended)
        resume = dataEnd < lines.size() && !lines[dataEnd].starts_with("%%EndData") ? dataEnd - 1 : dataEnd;
    resume = std::min(resume, lines.size() - 1);
    if (!header)
        return resume;

    const RasterHeader& h = *header;
    const double a = h.geometry[0];
    const double d = h.geometry[3];
    const double tx = h.geometry[4];
    const double ty = h.geometry[5];
    const double llx = h.geometry[6];
    const double lly = h.geometry[7];
    const int32_t width = RoundHalfAway(h.geometry[8] - llx);
    const int32_t height = RoundHalfAway(h.geometry[9] - lly);
    if (width < 1 || height < 1 || width > CDibSection::kMaxWidth || height > CDibSection::kMaxHeight)
        return resume;
    const bool supported =
        (h.bits == 1 && h.type == 1) || (h.bits == 8 && (h.type == 1 || h.type == 3 || h.type == 4));
    if (!supported || h.alpha < 0 || h.alpha > 4)
        return resume;
    const std::size_t channels = static_cast<std::size_t>(h.type);
    const std::size_t rowBytes =
        (static_cast<std::size_t>(width) * channels * static_cast<std::size_t>(h.bits) + 7) / 8;
    const std::size_t colourBytes = rowBytes * static_cast<std::size_t>(height);
    const std::size_t alphaBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                                   static_cast<std::size_t>(h.alpha);
    // The data lines must hold every sample before anything is allocated for them.
    if ((colourBytes + alphaBytes) * 2 > hexDigits)
        return resume;

    std::vector<uint8_t> samples;
    samples.reserve(colourBytes + alphaBytes);
    for (std::size_t i = dataBegin; i < dataEnd && samples.size() < colourBytes + alphaBytes; ++i) {
        const std::string_view line = lines[i];
        if (line.front() != '%')
            continue;
        int high = -1;
        for (std::size_t k = 1; k < line.size() && samples.size() < colourBytes + alphaBytes; ++k) {
            const int v = HexValue(line[k]);
            if (v < 0)
                continue;
            if (high < 0) {
                high = v;
            } else {
                samples.push_back(static_cast<uint8_t>(high * 16 + v));
                high = -1;
            }
        }
    }
    if (samples.size() < colourBytes + alphaBytes)
        return resume; // the data run short

    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    if (!image->bitmap.Create(width, height, 24))
        return resume;
    for (int32_t y = 0; y < height; ++y) {
        const std::span<uint8_t> row = GetRowFromTop(image->bitmap, y);
        const uint8_t* source = samples.data() + static_cast<std::size_t>(y) * rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            uint8_t r = 0, g = 0, b = 0;
            const auto px = static_cast<std::size_t>(x);
            if (h.bits == 1) {
                const bool white = (source[px / 8] >> (7 - px % 8) & 1) != 0;
                r = g = b = white ? 255 : 0;
            } else if (h.type == 1) {
                r = g = b = source[px];
            } else if (h.type == 3) {
                r = source[3 * px];
                g = source[3 * px + 1];
                b = source[3 * px + 2];
            } else {
                const uint8_t* cmyk = source + 4 * px;
                auto channel = [k = cmyk[3] / 255.0](double v) {
                    return static_cast<uint8_t>(std::clamp(
                        RoundHalfAway((1.0 - std::min(1.0, (1.0 - k) * v / 255.0 + k)) * 255.0), 0, 255));
                };
                r = channel(cmyk[0]);
                g = channel(cmyk[1]);
                b = channel(cmyk[2]);
            }
            if (h.alpha > 0) {
                // The image is shown over white: the first alpha sample of the pixel weighs its colour.
                const std::size_t at = colourBytes + (static_cast<std::size_t>(y) * width + px) * h.alpha;
                const double weight = samples[at] / 255.0;
                auto over = [weight](uint8_t v) {
                    return static_cast<uint8_t>(RoundHalfAway(v * weight + 255.0 * (1.0 - weight)));
                };
                r = over(r);
                g = over(g);
                b = over(b);
            }
            row[3 * px] = b;
            row[3 * px + 1] = g;
            row[3 * px + 2] = r;
        }
    }
    const double left = llx + tx;
    const double top = lly - ty;
    image->placement = {static_cast<float>(left), static_cast<float>(left + width * a),
                        static_cast<float>(top), static_cast<float>(top + height * d)};
    Append(std::move(object));
    return resume;
}

std::size_t CAiReader::ParseGroups(std::size_t index) {
    groupTable.clear();
    haveGroupTable = true;
    for (++index; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (line.size() >= 5 &&
            (!line.starts_with("%!!PQ") || line.find("%!!PQ End Groups") != std::string_view::npos))
            break;
        if (line.size() >= 5)
            groupTable.push_back(ParseAiInt(line.substr(5)).value_or(0));
    }
    // A line that is not ours is read again by the main parse.
    if (index < lines.size() && !lines[index].starts_with("%!!PQ"))
        return index - 1;
    return index;
}

} // namespace pq
