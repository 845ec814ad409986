#include "native/PdfDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace pq {

bool DeflateBytes(std::span<const uint8_t> data, std::vector<uint8_t>& out) {
    out.clear();
    if (data.size() > ULONG_MAX / 2)
        return false;
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    out.resize(length);
    if (compress(out.data(), &length, data.data(), static_cast<uLong>(data.size())) != Z_OK) {
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
