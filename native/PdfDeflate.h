#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pq {

// zlib streams of the native format. The output buffers are sized from the data, so no stream is ever
// lost for being larger than a fixed buffer.

// Compresses data into out as a zlib stream (replacing it), with libdeflate; false when memory runs out.
bool DeflateBytes(std::span<const uint8_t> data, std::vector<uint8_t>& out);

enum class InflateResult {
    Complete,  // the stream ended properly
    Truncated, // the input ran out before the stream's end: out holds what it gave
    TooLarge,  // the stream would give more than the limit: out holds the first limit bytes
    Corrupt,   // not a zlib stream, or damaged
};

// Inflates a zlib stream into out (replacing it), never producing more than limit bytes. The buffer grows
// with the data actually produced, so a lying length costs nothing.
InflateResult InflateBytes(std::span<const uint8_t> data, std::size_t limit, std::vector<uint8_t>& out);

} // namespace pq
