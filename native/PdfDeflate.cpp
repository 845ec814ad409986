#include "native/PdfDeflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace pq {

namespace {

// libdeflate at level 6 writes zlib streams about as small as zlib's default level, several times
// faster. A compressor holds sizeable tables, so each thread keeps one.
constexpr int kDeflateLevel = 6;

struct CCompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

libdeflate_compressor* ThreadCompressor() {
    thread_local std::unique_ptr<libdeflate_compressor, CCompressorDeleter> compressor(
        libdeflate_alloc_compressor(kDeflateLevel));
    return compressor.get();
}

} // namespace

bool DeflateBytes(std::span<const uint8_t> data, std::vector<uint8_t>& out) {
    out.clear();
    libdeflate_compressor* compressor = ThreadCompressor();
    if (compressor == nullptr)
        return false;
    out.resize(libdeflate_zlib_compress_bound(compressor, data.size()));
    const std::size_t length =
        libdeflate_zlib_compress(compressor, data.data(), data.size(), out.data(), out.size());
    if (length == 0) {
        out.clear();
        return false;
    }
    out.resize(length);
    return true;
}

InflateResult InflateBytes(std::span<const uint8_t> data, std::size_t limit, std::vector<uint8_t>& out) {
    out.clear();
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return InflateResult::Corrupt;

    constexpr std::size_t kStep = 64 * 1024;
    InflateResult result = InflateResult::Truncated;
    std::size_t consumed = 0;
    for (;;) {
        // Feed the input in pieces zlib's 32-bit counters can hold.
        if (stream.avail_in == 0 && consumed < data.size()) {
            const std::size_t piece = std::min<std::size_t>(data.size() - consumed, UINT_MAX);
            stream.next_in = const_cast<Bytef*>(data.data() + consumed);
            stream.avail_in = static_cast<uInt>(piece);
            consumed += piece;
        }
        const std::size_t produced = out.size();
        if (produced >= limit) {
            result = InflateResult::TooLarge;
            break;
        }
        const std::size_t room = std::min(kStep, limit - produced);
        out.resize(produced + room);
        stream.next_out = out.data() + produced;
        stream.avail_out = static_cast<uInt>(room);
        const int status = inflate(&stream, Z_NO_FLUSH);
        out.resize(produced + (room - stream.avail_out));
        if (status == Z_STREAM_END) {
            result = InflateResult::Complete;
            break;
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0 && consumed == data.size())
            break; // the input ended before the stream did
        if (status != Z_OK) {
            result = InflateResult::Corrupt;
            break;
        }
    }
    inflateEnd(&stream);
    return result;
}

} // namespace pq
