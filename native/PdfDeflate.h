#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// Inflates a zlib stream whose inflated size is known into out (replacing it) in one call, several
// times faster than InflateBytes: true only when the stream is whole and sound and gives exactly size
// bytes. Any other stream is for InflateBytes to judge.
bool InflateKnownSize(std::span<const uint8_t> data, std::size_t size, std::vector<uint8_t>& out);

// Inflates a zlib stream a piece at a time, so that a large stream can be read without holding all of it:
// the same bytes, outcome and limit as InflateBytes.
class CInflater {
public:
    CInflater(std::span<const uint8_t> data, std::size_t limit);
    ~CInflater();
    CInflater(const CInflater&) = delete;
    CInflater& operator=(const CInflater&) = delete;

    // Appends up to room more bytes to out (possibly none); false once the stream has nothing more to
    // give, when Result says why.
    bool Read(std::vector<uint8_t>& out, std::size_t room);
    // Truncated until the stream has ended one way or another.
    [[nodiscard]] InflateResult Result() const { return result; }

private:
    void End(InflateResult outcome);

    struct CState;
    std::unique_ptr<CState> state;
    std::span<const uint8_t> input;
    std::size_t consumed = 0;
    std::size_t produced = 0;
    std::size_t limit = 0;
    bool done = false;
    InflateResult result = InflateResult::Truncated;
};

} // namespace pq
