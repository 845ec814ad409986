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

struct CInflater::CState {
    z_stream stream{};
};

CInflater::CInflater(std::span<const uint8_t> data, std::size_t outputLimit)
    : state(std::make_unique<CState>()), input(data), limit(outputLimit) {
    if (inflateInit(&state->stream) != Z_OK) {
        done = true;
        result = InflateResult::Corrupt;
    }
}

CInflater::~CInflater() {
    if (!done)
        inflateEnd(&state->stream);
}

void CInflater::End(InflateResult outcome) {
    result = outcome;
    done = true;
    inflateEnd(&state->stream);
}

bool CInflater::Read(std::vector<uint8_t>& out, std::size_t room) {
    if (done)
        return false;
    z_stream& stream = state->stream;
    // Feed the input in pieces zlib's 32-bit counters can hold.
    if (stream.avail_in == 0 && consumed < input.size()) {
        const std::size_t piece = std::min<std::size_t>(input.size() - consumed, UINT_MAX);
        stream.next_in = const_cast<Bytef*>(input.data() + consumed);
        stream.avail_in = static_cast<uInt>(piece);
        consumed += piece;
    }
    if (produced >= limit) {
        End(InflateResult::TooLarge);
        return false;
    }
    room = std::min({room, limit - produced, std::size_t{UINT_MAX}});
    const std::size_t before = out.size();
    out.resize(before + room);
    stream.next_out = out.data() + before;
    stream.avail_out = static_cast<uInt>(room);
    const int status = inflate(&stream, Z_NO_FLUSH);
    const std::size_t got = room - stream.avail_out;
    out.resize(before + got);
    produced += got;
    if (status == Z_STREAM_END) {
        End(InflateResult::Complete);
    } else if (status == Z_BUF_ERROR && stream.avail_in == 0 && consumed == input.size()) {
        End(InflateResult::Truncated); // the input ended before the stream did
    } else if (status != Z_OK) {
        End(InflateResult::Corrupt);
    }
    return !done;
}

bool InflateKnownSize(std::span<const uint8_t> data, std::size_t size, std::vector<uint8_t>& out) {
    struct CDecompressorDeleter {
        void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
    };
    thread_local std::unique_ptr<libdeflate_decompressor, CDecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    if (!decompressor)
        return false;
    out.resize(size);
    std::size_t consumed = 0, produced = 0;
    // The stream may be followed by the line end before "endstream": what it consumed is not checked.
    const libdeflate_result result = libdeflate_zlib_decompress_ex(
        decompressor.get(), data.data(), data.size(), out.data(), out.size(), &consumed, &produced);
    return result == LIBDEFLATE_SUCCESS && produced == size;
}

InflateResult InflateBytes(std::span<const uint8_t> data, std::size_t limit, std::vector<uint8_t>& out) {
    out.clear();
    constexpr std::size_t kStep = 64 * 1024;
    CInflater inflater(data, limit);
    while (inflater.Read(out, kStep)) {
    }
    return inflater.Result();
}

} // namespace pq
