#include "platform/image/PngCodec.h"

#include "platform/image/DibPixels.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

// PNG files written by our own chunk writer: each row gets the filter of None, Sub and Up that leaves the
// smallest sum of bytes (taken as signed), the filtered rows go through libdeflate in one zlib stream.
// Rendered pages are mostly flat colour whose rows repeat, so a row equal to the one above is taken as Up
// at once. libdeflate at level 6 compresses about as well as zlib's default level,
// several times faster.

namespace pq {

namespace {

constexpr int kDeflateLevel = 6;

enum Filter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

struct CCompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], std::span<const uint8_t> data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, libdeflate_crc32(0, out.data() + typeAt, out.size() - typeAt));
}

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Writes the row filtered by one filter into out; bpp bytes a pixel, previous the unfiltered row above
// (zeros for the first row).
void ApplyFilter(Filter filter, const uint8_t* row, const uint8_t* previous, std::size_t n, std::size_t bpp,
                 uint8_t* out) {
    switch (filter) {
    case kNone:
        std::copy_n(row, n, out);
        break;
    case kSub:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<uint8_t>(row[i] - (i >= bpp ? row[i - bpp] : 0));
        break;
    case kUp:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<uint8_t>(row[i] - previous[i]);
        break;
    case kAverage:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<uint8_t>(row[i] - ((i >= bpp ? row[i - bpp] : 0) + previous[i]) / 2);
        break;
    case kPaeth:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<uint8_t>(
                row[i] - Paeth(i >= bpp ? row[i - bpp] : 0, previous[i], i >= bpp ? previous[i - bpp] : 0));
        break;
    }
}

} // namespace

CImageResult EncodePng(const CDibSection& image, std::vector<uint8_t>& file) {
    file.clear();
    if (image.IsEmpty())
        return CImageResult::Failure("PNG: there is no picture to write");
    const auto width = static_cast<uint32_t>(image.GetWidth());
    const auto height = static_cast<uint32_t>(image.GetHeight());
    const int depth = image.GetBitCount();
    const bool indexed = depth <= 8;
    // Bitmap rows pack indices from the high bits as PNG does, so indexed rows go out unchanged.
    const std::size_t rowBytes = indexed ? (static_cast<std::size_t>(width) * depth + 7) / 8 : 3 * std::size_t{width};
    const std::size_t bpp = indexed ? 1 : 3;

    // The rows from the top, unfiltered, then filtered with their filter byte.
    std::vector<uint8_t> rows[2] = {std::vector<uint8_t>(rowBytes, 0), std::vector<uint8_t>(rowBytes, 0)};
    std::vector<uint8_t> filtered((rowBytes + 1) * height);
    std::vector<uint8_t> best(rowBytes);
    for (uint32_t y = 0; y < height; ++y) {
        std::vector<uint8_t>& row = rows[y & 1];
        const std::vector<uint8_t>& previous = rows[(y & 1) ^ 1];
        const auto source = GetRowFromTop(image, static_cast<int32_t>(y));
        if (indexed) {
            std::copy_n(source.begin(), rowBytes, row.begin());
        } else if (depth == 24) {
            for (uint32_t x = 0; x < width; ++x) {
                row[3 * x] = source[3 * x + 2];
                row[3 * x + 1] = source[3 * x + 1];
                row[3 * x + 2] = source[3 * x];
            }
        } else {
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t rgb = GetPixelColour(image, static_cast<int32_t>(x), static_cast<int32_t>(y));
                row[3 * x] = RedOf(rgb);
                row[3 * x + 1] = GreenOf(rgb);
                row[3 * x + 2] = BlueOf(rgb);
            }
        }
        uint8_t* out = filtered.data() + (rowBytes + 1) * y;
        if (indexed) {
            out[0] = kNone; // filters rarely help indices
            std::copy_n(row.data(), rowBytes, out + 1);
            continue;
        }
        if (y > 0 && std::equal(row.begin(), row.end(), previous.begin())) {
            out[0] = kUp; // a row repeating the one above filters to zeros
            std::fill_n(out + 1, rowBytes, 0);
            continue;
        }
        // The sums of the three cheap filters in one pass; Paeth costs more than it saves on pages.
        uint32_t sums[3] = {0, 0, 0}; // at most 128 x 30000 each
        auto size = [](int v) { return static_cast<uint32_t>(std::abs(static_cast<int8_t>(v))); };
        for (std::size_t i = 0; i < bpp; ++i) {
            sums[0] += size(row[i]);
            sums[1] += size(row[i]);
            sums[2] += size(row[i] - previous[i]);
        }
        for (std::size_t i = bpp; i < rowBytes; ++i) {
            sums[0] += size(row[i]);
            sums[1] += size(row[i] - row[i - bpp]);
            sums[2] += size(row[i] - previous[i]);
        }
        const Filter chosen = sums[2] <= sums[1] && sums[2] <= sums[0] ? kUp : sums[1] <= sums[0] ? kSub : kNone;
        ApplyFilter(chosen, row.data(), previous.data(), rowBytes, bpp, best.data());
        out[0] = chosen;
        std::copy_n(best.data(), rowBytes, out + 1);
    }

    thread_local std::unique_ptr<libdeflate_compressor, CCompressorDeleter> compressor(
        libdeflate_alloc_compressor(kDeflateLevel));
    if (!compressor)
        return CImageResult::Failure("PNG: cannot start the encoder");
    std::vector<uint8_t> stream(libdeflate_zlib_compress_bound(compressor.get(), filtered.size()));
    const std::size_t streamBytes = libdeflate_zlib_compress(compressor.get(), filtered.data(), filtered.size(),
                                                             stream.data(), stream.size());
    if (streamBytes == 0)
        return CImageResult::Failure("PNG: cannot compress the picture");
    stream.resize(streamBytes);

    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    file.assign(kSignature, kSignature + 8);
    std::vector<uint8_t> header;
    PutBig32(header, width);
    PutBig32(header, height);
    header.push_back(static_cast<uint8_t>(indexed ? depth : 8));
    header.push_back(indexed ? 3 : 2); // palette or truecolour
    header.insert(header.end(), {0, 0, 0}); // deflate, adaptive filters, no interlace
    PutChunk(file, "IHDR", header);
    if (indexed) {
        std::vector<uint8_t> palette;
        const auto table = image.GetColourTable();
        const int entries = 1 << depth;
        for (int i = 0; i < entries; ++i) {
            const uint32_t entry = i < static_cast<int>(table.size()) ? table[static_cast<std::size_t>(i)] : 0;
            palette.insert(palette.end(), {static_cast<uint8_t>(entry >> 16), static_cast<uint8_t>(entry >> 8),
                                           static_cast<uint8_t>(entry)});
        }
        PutChunk(file, "PLTE", palette);
    }
    // One IDAT of the whole stream: a chunk may hold up to 2^31 - 1 bytes, far above a 10000 x 10000 page.
    PutChunk(file, "IDAT", stream);
    PutChunk(file, "IEND", {});
    return CImageResult::Success();
}

} // namespace pq
