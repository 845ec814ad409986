#include "native/PdfReader.h"

#include "model/Drawing.h"
#include "native/PdfDeflate.h"
#include "native/PdfLineReader.h"
#include "native/PdfNumbers.h"
#include "platform/image/DibPixels.h"

#include <algorithm>

namespace pq {

namespace {

// Lines a stream dictionary may take before its "stream" keyword.
constexpr int kMaxDictionaryLines = 32;

// The number 7 characters after "/Length" (or the given key's length), when the line holds at least
// minimum characters from the key on.
std::optional<int32_t> KeyNumber(std::string_view line, std::string_view key, std::size_t minimum) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos || line.size() - at < minimum)
        return std::nullopt;
    std::string_view rest = line.substr(at + key.size());
    return ParseInt(rest).value_or(0);
}

} // namespace

std::optional<CPdfReader::StreamInfo> CPdfReader::ReadStreamDictionary(std::size_t offset) const {
    if (offset >= data.size())
        return std::nullopt;
    CPdfLineReader lines(data, offset);
    StreamInfo info;
    std::string_view line;
    for (int n = 0; n < kMaxDictionaryLines && lines.Next(line) && line != "endobj"; ++n) {
        if (Contains(line, "/FlateDecode"))
            info.compressed = true;
        if (const auto length = KeyNumber(line, "/Length", 9)) {
            info.length = *length;
            info.lengthGiven = true;
        } else if (const auto width = KeyNumber(line, "/Width", 7)) {
            info.width = *width;
        } else if (const auto height = KeyNumber(line, "/Height", 8)) {
            info.height = *height;
        }
        if (Contains(line, "stream")) {
            info.dataStart = lines.StreamDataStart();
            return info;
        }
    }
    return std::nullopt;
}

InflateResult CPdfReader::StreamBytes(const StreamInfo& info, std::vector<uint8_t>& storage,
                                      std::span<const uint8_t>& bytes) {
    const std::size_t start = std::min(info.dataStart, data.size());
    if (!info.compressed) {
        bytes = data.subspan(start);
        return InflateResult::Complete;
    }
    // An empty page is often written as a compressed stream of no bytes at all.
    if (info.lengthGiven && info.length == 0) {
        storage.clear();
        bytes = {};
        return InflateResult::Complete;
    }
    // A length that runs past the file, or none at all, means the rest of the file: inflation stops at
    // the stream's own end.
    std::size_t length = data.size() - start;
    if (info.length > 0)
        length = std::min(length, static_cast<std::size_t>(info.length));
    const std::size_t limit =
        std::min(kMaxStreamBytes, kMaxInflatedBytes - std::min(inflatedBytes, kMaxInflatedBytes));
    const InflateResult result = InflateBytes(data.subspan(start, length), limit, storage);
    if (result == InflateResult::Corrupt)
        return result;
    inflatedBytes += storage.size();
    bytes = storage;
    return result;
}

bool CPdfReader::ReportContentOutcome(InflateResult result, int page) {
    const std::string name = "page " + std::to_string(page + 1);
    if (result == InflateResult::Corrupt)
        return Fail("PDF: the content of " + name + " cannot be decompressed");
    if (result == InflateResult::TooLarge)
        drawing.AddWarning("PDF: " + name + " holds more than the reader takes (" +
                           std::to_string(kMaxStreamBytes >> 20) + " MB of content); the rest of it was left out");
    else if (result == InflateResult::Truncated)
        drawing.AddWarning("PDF: the content of " + name + " ends early; the file may be damaged");
    return true;
}

bool CPdfReader::ReadContentStreams() {
    std::vector<uint8_t> storage;
    for (int page = 0; page < pageCount; ++page) {
        const std::optional<StreamInfo> info = ReadStreamDictionary(offsets[static_cast<std::size_t>(page)]);
        if (!info)
            continue; // not a stream where the table says: the page reads as empty
        std::span<const uint8_t> bytes;
        const InflateResult result = StreamBytes(*info, storage, bytes);
        if (!ReportContentOutcome(result, page))
            return false;
        CPdfLineReader lines(bytes);
        ParseContent(lines, page);
    }
    return true;
}

bool CPdfReader::ReadShownPageInBatches() {
    if (shownPage < 0 || shownPage >= pageCount)
        return true;
    const std::optional<StreamInfo> info = ReadStreamDictionary(offsets[static_cast<std::size_t>(shownPage)]);
    if (!info)
        return true; // not a stream where the table says: the page reads as empty
    const std::size_t start = std::min(info->dataStart, data.size());
    InflateResult result = InflateResult::Complete;
    if (!info->compressed) {
        CPdfLineReader lines(data, start);
        ParseContent(lines, shownPage);
    } else if (!info->lengthGiven || info->length != 0) {
        // As StreamBytes reads it, but a piece at a time: the page's inflated content is never held whole.
        std::size_t length = data.size() - start;
        if (info->length > 0)
            length = std::min(length, static_cast<std::size_t>(info->length));
        CInflater inflater(data.subspan(start, length), std::min(kMaxStreamBytes, kMaxInflatedBytes));
        CPdfLineReader lines(inflater, kPieceBytes);
        ParseContent(lines, shownPage);
        // The content may stop before the stream ends (an "endobj" or an empty line in it): the rest is
        // inflated all the same, so that damage there is found as reading it whole finds it.
        std::vector<uint8_t> rest;
        while (inflater.Read(rest, kPieceBytes))
            rest.clear();
        result = inflater.Result();
    }
    if (!ReportContentOutcome(result, shownPage))
        return false;
    HandOverBatch();
    return true;
}

void CPdfReader::HandOverBatch() {
    if (drawing.Count() == 0)
        return;
    FinishFrom(0);
    sink(drawing);
    drawing.RemoveAt(0, drawing.Count());
}

bool CPdfReader::DecodeImage(std::size_t offset, CDibSection& bitmap) {
    const std::optional<StreamInfo> info = ReadStreamDictionary(offset);
    if (!info || info->width <= 0 || info->height <= 0 || info->length <= 0 ||
        info->width > CDibSection::kMaxWidth || info->height > CDibSection::kMaxHeight)
        return false;
    const std::size_t width = static_cast<std::size_t>(info->width);
    const std::size_t height = static_cast<std::size_t>(info->height);
    const std::size_t size = 3 * width * height;
    if (inflatedBytes + 2 * size > kMaxInflatedBytes)
        return false;

    std::vector<uint8_t>& inflated = pictureBytes;
    std::span<const uint8_t> rgb;
    const std::size_t start = std::min(info->dataStart, data.size());
    if (info->compressed) {
        const std::size_t length = std::min(data.size() - start, static_cast<std::size_t>(info->length));
        const std::span<const uint8_t> stream = data.subspan(start, length);
        if (!InflateKnownSize(stream, size, inflated) &&
            (InflateBytes(stream, size + 1, inflated) != InflateResult::Complete || inflated.size() != size))
            return false;
        rgb = inflated;
    } else {
        if (data.size() - start < size)
            return false;
        CPdfLineReader after(data, start + size);
        std::string_view line;
        if (!after.Next(line) || !line.starts_with("endstream"))
            return false;
        rgb = data.subspan(start, size);
    }
    inflatedBytes += size;

    // Top-down rows of red, green and blue become the bottom-up rows of blue, green and red of a 24-bit
    // bitmap, each padded to four bytes.
    if (!bitmap.Create(info->width, info->height, 24))
        return false;
    const std::size_t stride = bitmap.GetBytesPerRow();
    uint8_t* bits = bitmap.GetBits().data();
    for (std::size_t r = 0; r < height; ++r) {
        const std::size_t from = r * 3 * width;
        SwapRedBlue24(rgb.data() + from, rgb.size() - from, info->width, bits + (height - 1 - r) * stride,
                      stride - 3 * width);
    }
    return true;
}

void CPdfReader::ReadImage(int number, int page, const GraphicsState& state) {
    // A mirrored placement is kept (the image is drawn mirrored); only an empty one shows nothing.
    const CRectF& placement = state.placement;
    if (placement.left == placement.right || placement.top == placement.bottom || page < 0 ||
        page >= pageCount)
        return;
    const long long index = static_cast<long long>(number) - treeObjects - 3;
    if (index < 0 || index >= static_cast<long long>(offsets.size()))
        return;

    auto cached = decodedImages.find(number);
    if (cached == decodedImages.end()) {
        CDibSection bitmap;
        if (!DecodeImage(offsets[static_cast<std::size_t>(index)], bitmap))
            bitmap.Clear();
        cached = decodedImages.emplace(number, std::move(bitmap)).first;
    }
    if (cached->second.IsEmpty())
        return;

    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    image->bitmap = cached->second; // every showing shares the decoded pixels
    image->placement = placement;
    object->page = page;
    Append(std::move(object));
}

} // namespace pq
