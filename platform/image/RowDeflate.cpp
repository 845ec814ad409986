#include "platform/image/RowDeflate.h"

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

namespace pq {

namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMinMatch = 4;
constexpr std::size_t kMaxMatch = 258;
constexpr int kHashBits = 15;
// Matches shorter than this are checked against the match a byte on; positions this far into a match
// are recorded for later matches (runs and repeated rows, far longer, are not worth recording).
constexpr std::size_t kLazyBelow = 32;
constexpr std::size_t kRecordWithin = 32;
// Matches and literals a block holds before its codes are made: large enough that a block's code tables
// (under 100 bytes) cost nothing, small enough that a page's white margins and its pictures get codes of
// their own.
constexpr std::size_t kBlockItems = 4096;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr int kLiteralCodes = 286;
constexpr int kDistanceCodes = 30;
constexpr int kCodeLengthCodes = 19;
constexpr int kEndOfBlock = 256;
// A match item has this bit set; its length less 3 sits at bit 16, its distance less 1 below.
constexpr uint32_t kMatchFlag = 0x80000000u;

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                  15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                  67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<uint8_t, kCodeLengthCodes> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                    11, 4,  12, 3, 13, 2, 14, 1, 15};

// The length code (0 .. 28, less 257) of each match length less 3.
constexpr std::array<uint8_t, 256> kLengthCode = [] {
    std::array<uint8_t, 256> table{};
    for (int code = 0; code < 29; ++code)
        for (int length = kLengthBase[code]; length < (code == 28 ? 259 : kLengthBase[code + 1]); ++length)
            table[length - 3] = static_cast<uint8_t>(code == 27 && length == 258 ? 28 : code);
    table[255] = 28; // 258 has a code of its own
    return table;
}();

// The distance code of a distance less 1: directly below 256, else by the distance less 1 over 128.
constexpr std::array<uint8_t, 512> kDistanceCode = [] {
    std::array<uint8_t, 512> table{};
    for (int code = 0; code < 30; ++code) {
        const int end = code == 29 ? 32769 : kDistanceBase[code + 1];
        for (int distance = kDistanceBase[code]; distance < end; ++distance) {
            if (distance - 1 < 256)
                table[distance - 1] = static_cast<uint8_t>(code);
            else
                table[256 + ((distance - 1) >> 7)] = static_cast<uint8_t>(code);
        }
    }
    return table;
}();

int DistanceCode(uint32_t distanceLess1) {
    return distanceLess1 < 256 ? kDistanceCode[distanceLess1] : kDistanceCode[256 + (distanceLess1 >> 7)];
}

uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// How many bytes from a and b agree, up to limit; both stay readable for limit bytes.
std::size_t MatchLength(const uint8_t* a, const uint8_t* b, std::size_t limit) {
    std::size_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; n + 8 <= limit; n += 8) {
            const uint64_t diff = Load64(a + n) ^ Load64(b + n);
            if (diff != 0)
                return n + static_cast<std::size_t>(std::countr_zero(diff) / 8);
        }
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// Writes bits from the low end up, as deflate packs them, into a buffer its owner keeps large enough and
// may move between blocks (SetBuffer).
class CBitWriter {
public:
    void SetBuffer(uint8_t* buffer) { base = buffer; }
    void Put(uint32_t bits, int count) {
        pending |= static_cast<uint64_t>(bits) << filled;
        filled += count;
        if (filled >= 32) {
            const auto word = static_cast<uint32_t>(pending);
            for (int i = 0; i < 4; ++i)
                base[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(word >> (8 * i));
            at += 4;
            pending >>= 32;
            filled -= 32;
        }
    }
    // Writes what is pending, the last byte padded with zeros; returns the count of bytes written.
    std::size_t Finish() {
        for (; filled > 0; filled -= 8, pending >>= 8)
            base[at++] = static_cast<uint8_t>(pending);
        filled = 0;
        return at;
    }
    // The bytes written whole so far.
    [[nodiscard]] std::size_t Written() const { return at; }
    void Skip(std::size_t bytes) { at += bytes; }

private:
    uint8_t* base = nullptr;
    std::size_t at = 0;
    uint64_t pending = 0;
    int filled = 0;
};

uint32_t ReverseBits(uint32_t code, int length) {
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i, code >>= 1)
        reversed = reversed << 1 | (code & 1);
    return reversed;
}

// A prefix code: each symbol's length in bits and its code, bit-reversed for the low-end-first writer.
template <std::size_t N> struct CCode {
    std::array<uint8_t, N> lengths{};
    std::array<uint16_t, N> codes{};
};

// Code lengths of at most maxBits for the counts: Huffman's, with the codes deeper than maxBits moved up
// and the lengths evened out until the code is complete again; then the canonical codes. At least two
// symbols must have counts.
template <std::size_t N> void MakeCode(const std::array<uint32_t, N>& counts, int maxBits, CCode<N>& code) {
    code.lengths.fill(0);
    // The used symbols in order of rising count (ties by symbol): the leaves of the tree.
    std::array<uint16_t, N> symbols{};
    std::size_t used = 0;
    for (std::size_t s = 0; s < N; ++s)
        if (counts[s] != 0)
            symbols[used++] = static_cast<uint16_t>(s);
    std::stable_sort(symbols.begin(), symbols.begin() + static_cast<std::ptrdiff_t>(used),
                     [&counts](uint16_t a, uint16_t b) { return counts[a] < counts[b]; });
    // Huffman's tree by two queues: the leaves in order, and the joined nodes, which are made in order of
    // weight. A node is made after its children, so the root is the last one.
    std::array<uint64_t, N> weight{};
    std::array<std::size_t, N> parent{};
    std::array<std::size_t, N> leafParent{};
    std::size_t leaf = 0, node = 0, made = 0;
    for (; made + 1 < used; ++made) {
        for (int child = 0; child < 2; ++child) {
            if (leaf < used && (node >= made || counts[symbols[leaf]] <= weight[node])) {
                weight[made] += counts[symbols[leaf]];
                leafParent[leaf++] = made;
            } else {
                weight[made] += weight[node];
                parent[node++] = made;
            }
        }
    }
    std::array<int, N> depth{};
    for (std::size_t k = made; k-- > 1;)
        depth[k - 1] = depth[parent[k - 1]] + 1;
    std::array<int, kMaxCodeBits + 1> perLength{};
    for (std::size_t k = 0; k < used; ++k)
        ++perLength[static_cast<std::size_t>(std::min(used > 1 ? depth[leafParent[k]] + 1 : 1, maxBits))];
    // Codes cut to maxBits overfill the code space: each step takes one code at maxBits away and splits a
    // shorter code into two one bit longer, which frees exactly one slot at maxBits.
    const auto max = static_cast<std::size_t>(maxBits);
    uint64_t filled = 0;
    for (std::size_t length = 1; length <= max; ++length)
        filled += static_cast<uint64_t>(perLength[length]) << (max - length);
    while (filled > (uint64_t{1} << max)) {
        --perLength[max];
        for (std::size_t length = max - 1; length > 0; --length)
            if (perLength[length] != 0) {
                --perLength[length];
                perLength[length + 1] += 2;
                break;
            }
        --filled;
    }
    // The most frequent symbols take the shortest lengths.
    std::size_t k = used;
    for (std::size_t length = 1; length <= max; ++length)
        for (int c = 0; c < perLength[length]; ++c)
            code.lengths[symbols[--k]] = static_cast<uint8_t>(length);
    // Canonical codes, in symbol order within each length.
    std::array<uint32_t, kMaxCodeBits + 2> next{};
    for (std::size_t length = 1; length <= max; ++length)
        next[length + 1] = (next[length] + static_cast<uint32_t>(perLength[length])) << 1;
    for (std::size_t s = 0; s < N; ++s)
        if (const int length = code.lengths[s]; length != 0)
            code.codes[s] =
                static_cast<uint16_t>(ReverseBits(next[static_cast<std::size_t>(length)]++, length));
}

// Gives a code of one symbol (or none) a second symbol, so that every code is complete: some decoders
// refuse an incomplete one.
template <std::size_t N> void UseTwoSymbols(std::array<uint32_t, N>& counts) {
    const auto used = static_cast<std::size_t>(
        std::count_if(counts.begin(), counts.end(), [](uint32_t c) { return c != 0; }));
    for (std::size_t s = 0, added = 0; used + added < 2; ++s)
        if (counts[s] == 0) {
            counts[s] = 1;
            ++added;
        }
}

// Writes one block of items with codes made for it.
void WriteBlock(CBitWriter& bits, std::span<const uint32_t> items, bool last) {
    std::array<uint32_t, kLiteralCodes> literalCounts{};
    std::array<uint32_t, kDistanceCodes> distanceCounts{};
    for (const uint32_t item : items) {
        if (item & kMatchFlag) {
            ++literalCounts[257 + kLengthCode[(item >> 16) & 0xFF]];
            ++distanceCounts[static_cast<std::size_t>(DistanceCode(item & 0x7FFF))];
        } else {
            ++literalCounts[item];
        }
    }
    literalCounts[kEndOfBlock] = 1;
    UseTwoSymbols(literalCounts);
    UseTwoSymbols(distanceCounts);
    CCode<kLiteralCodes> literals;
    CCode<kDistanceCodes> distances;
    MakeCode(literalCounts, kMaxCodeBits, literals);
    MakeCode(distanceCounts, kMaxCodeBits, distances);

    // Both codes' lengths in one sequence, runs written as repeats (16: the last length 3-6 times more;
    // 17, 18: 3-10 and 11-138 zeros).
    std::size_t literalCount = kLiteralCodes, distanceCount = kDistanceCodes;
    while (literals.lengths[literalCount - 1] == 0)
        --literalCount;
    while (distances.lengths[distanceCount - 1] == 0)
        --distanceCount;
    std::array<uint8_t, kLiteralCodes + kDistanceCodes> lengths{};
    std::copy_n(literals.lengths.begin(), literalCount, lengths.begin());
    std::copy_n(distances.lengths.begin(), distanceCount,
                lengths.begin() + static_cast<std::ptrdiff_t>(literalCount));
    const std::size_t total = literalCount + distanceCount;
    // Each entry: the symbol in the low byte, its repeat count's extra bits above.
    std::array<uint16_t, kLiteralCodes + kDistanceCodes> runs{};
    std::size_t runCount = 0;
    std::array<uint32_t, kCodeLengthCodes> lengthCounts{};
    auto add = [&](int symbol, int extra) {
        runs[runCount++] = static_cast<uint16_t>(symbol | extra << 8);
        ++lengthCounts[static_cast<std::size_t>(symbol)];
    };
    for (std::size_t i = 0; i < total;) {
        const uint8_t value = lengths[i];
        std::size_t run = 1;
        while (i + run < total && lengths[i + run] == value)
            ++run;
        i += run;
        if (value == 0) {
            for (; run >= 11; run -= std::min<std::size_t>(run, 138))
                add(18, static_cast<int>(std::min<std::size_t>(run, 138) - 11));
            if (run >= 3) {
                add(17, static_cast<int>(run - 3));
                run = 0;
            }
        } else {
            add(value, 0);
            --run;
            for (; run >= 3; run -= std::min<std::size_t>(run, 6))
                add(16, static_cast<int>(std::min<std::size_t>(run, 6) - 3));
        }
        for (; run > 0; --run)
            add(value, 0);
    }
    UseTwoSymbols(lengthCounts);
    CCode<kCodeLengthCodes> lengthCode;
    MakeCode(lengthCounts, kMaxCodeLengthBits, lengthCode);
    std::size_t orderCount = kCodeLengthCodes;
    while (orderCount > 4 && lengthCode.lengths[kCodeLengthOrder[orderCount - 1]] == 0)
        --orderCount;

    bits.Put(last ? 1 : 0, 1);
    bits.Put(2, 2); // dynamic codes
    bits.Put(static_cast<uint32_t>(literalCount - 257), 5);
    bits.Put(static_cast<uint32_t>(distanceCount - 1), 5);
    bits.Put(static_cast<uint32_t>(orderCount - 4), 4);
    for (std::size_t i = 0; i < orderCount; ++i)
        bits.Put(lengthCode.lengths[kCodeLengthOrder[i]], 3);
    static constexpr std::array<int, 3> kRepeatBits = {2, 3, 7};
    for (std::size_t i = 0; i < runCount; ++i) {
        const int symbol = runs[i] & 0xFF;
        bits.Put(lengthCode.codes[static_cast<std::size_t>(symbol)],
                 lengthCode.lengths[static_cast<std::size_t>(symbol)]);
        if (symbol >= 16)
            bits.Put(runs[i] >> 8, kRepeatBits[static_cast<std::size_t>(symbol - 16)]);
    }

    for (const uint32_t item : items) {
        if (!(item & kMatchFlag)) {
            bits.Put(literals.codes[item], literals.lengths[item]);
            continue;
        }
        const uint32_t lengthLess3 = (item >> 16) & 0xFF;
        const std::size_t lengthCode = kLengthCode[lengthLess3];
        bits.Put(literals.codes[257 + lengthCode], literals.lengths[257 + lengthCode]);
        bits.Put(lengthLess3 + 3 - kLengthBase[lengthCode], kLengthExtra[lengthCode]);
        const uint32_t distanceLess1 = item & 0x7FFF;
        const auto distanceCode = static_cast<std::size_t>(DistanceCode(distanceLess1));
        bits.Put(distances.codes[distanceCode], distances.lengths[distanceCode]);
        bits.Put(distanceLess1 + 1 - kDistanceBase[distanceCode], kDistanceExtra[distanceCode]);
    }
    bits.Put(literals.codes[kEndOfBlock], literals.lengths[kEndOfBlock]);
}

// The output, grown geometrically: before each block it holds room for the block's worst case.
class COutput {
public:
    uint8_t* Reserve(std::size_t used, std::size_t more) {
        if (used + more > capacity) {
            const std::size_t grown = std::max(used + more, 2 * capacity);
            auto larger = std::make_unique_for_overwrite<uint8_t[]>(grown);
            std::copy_n(buffer.get(), used, larger.get());
            buffer = std::move(larger);
            capacity = grown;
        }
        return buffer.get();
    }
    [[nodiscard]] const uint8_t* Data() const { return buffer.get(); }

private:
    std::unique_ptr<uint8_t[]> buffer;
    std::size_t capacity = 0;
};

// The most a block's codes and items can take: the header (under 600 bytes) and at most 48 bits an item.
constexpr std::size_t WorstBlockBytes(std::size_t items) {
    return 640 + 6 * items;
}

// Finds the longest match at a position among the pixel before, the row above (and a pixel either way of
// it) and the places last seen with the same hash of four bytes, and records each position it is shown.
class CMatchFinder {
public:
    CMatchFinder(std::span<const uint8_t> data, std::size_t rowBytes, std::size_t pixelBytes)
        : p(data.data()), n(data.size()), row(rowBytes >= 1 && rowBytes <= kWindow ? rowBytes : 0),
          pixel(pixelBytes >= 1 && pixelBytes <= kWindow ? pixelBytes : 0),
          shiftedRow(row != 0 && pixel != 0 && pixel < row && row + pixel <= kWindow),
          hashed(data.size() < UINT32_MAX), buckets(std::size_t{1} << kHashBits) {}

    struct CMatch {
        std::size_t length = 0;
        std::size_t distance = 0;
    };

    // The longest match at i (shorter than kMinMatch: none); records i.
    CMatch Find(std::size_t i) {
        CMatch best;
        const std::size_t limit = std::min(kMaxMatch, n - i);
        if (limit < kMinMatch)
            return best;
        auto consider = [&](std::size_t from) {
            // A place that differs at the byte past the best match cannot beat it (the byte is there:
            // every place is considered only while the best is shorter than limit).
            if (best.length != 0 && p[from + best.length] != p[i + best.length])
                return;
            if (const std::size_t length = MatchLength(p + i, p + from, limit); length > best.length) {
                best.length = length;
                best.distance = i - from;
            }
        };
        if (pixel != 0 && i >= pixel)
            consider(i - pixel);
        if (row != 0 && best.length < limit && i >= row)
            consider(i - row);
        // A slanted hard edge moves along by a pixel from row to row, and what lies beyond it with it.
        if (shiftedRow && best.length < limit && i >= row + pixel) {
            consider(i - row - pixel);
            if (best.length < limit)
                consider(i - row + pixel);
        }
        if (!hashed) // places are kept in 32 bits
            return best;
        CBucket& bucket = buckets[Hash(i)];
        if (best.length < limit)
            for (const uint32_t seen : bucket.places)
                if (seen != 0 && i + 1 - seen <= kWindow && best.length < limit)
                    consider(seen - 1);
        Record(bucket, i);
        return best;
    }
    // Records the positions from..to (exclusive) inside a match, so that later matches can start there.
    void Skip(std::size_t from, std::size_t to) {
        for (std::size_t i = from; hashed && i < to && i + kMinMatch <= n; ++i)
            Record(buckets[Hash(i)], i);
    }

private:
    static constexpr std::size_t kWays = 2;
    // Positions plus one of the places last seen with one hash, the latest first (zero: none).
    struct CBucket {
        std::array<uint32_t, kWays> places{};
    };

    [[nodiscard]] std::size_t Hash(std::size_t i) const {
        return (Load32(p + i) * 0x1E35A7BDu) >> (32 - kHashBits);
    }
    static void Record(CBucket& bucket, std::size_t i) {
        for (std::size_t k = kWays - 1; k > 0; --k)
            bucket.places[k] = bucket.places[k - 1];
        bucket.places[0] = static_cast<uint32_t>(i + 1);
    }

    const uint8_t* p;
    std::size_t n;
    std::size_t row;
    std::size_t pixel;
    bool shiftedRow; // the row above a pixel either way is in reach
    bool hashed;
    std::vector<CBucket> buckets;
};

// Four bytes or more make a match; three only from close by (a pixel repeated), whose distance codes
// are short.
bool WorthAMatch(const CMatchFinder::CMatch& match) {
    constexpr std::size_t kNear = 16;
    return match.length >= kMinMatch || (match.length == 3 && match.distance <= kNear);
}

} // namespace

void DeflateRows(std::span<const uint8_t> data, std::size_t rowBytes, std::size_t pixelBytes,
                 std::vector<uint8_t>& stream) {
    const uint8_t* p = data.data();
    const std::size_t n = data.size();
    CMatchFinder finder(data, rowBytes, pixelBytes);
    std::vector<uint32_t> items;
    items.reserve(kBlockItems);

    COutput output;
    CBitWriter bits;
    uint8_t* out = output.Reserve(0, 2);
    out[0] = 0x78; // deflate, 32 KB window
    out[1] = 0x01; // no dictionary, fastest; the header is a multiple of 31
    bits.Skip(2);
    // A block starts on the bit after the one before: the writer carries its bits across blocks.
    auto flush = [&](bool last) {
        bits.SetBuffer(output.Reserve(bits.Written(), WorstBlockBytes(items.size()) + 4 + 8));
        WriteBlock(bits, items, last);
        items.clear();
    };

    std::size_t i = 0;
    CMatchFinder::CMatch match = finder.Find(0);
    while (i < n) {
        if (!WorthAMatch(match)) {
            items.push_back(p[i]);
            match = finder.Find(++i);
        } else {
            // A short match may hide a longer one a byte on: then this byte goes out alone.
            if (match.length < kLazyBelow && i + 1 < n) {
                const CMatchFinder::CMatch next = finder.Find(i + 1);
                if (next.length > match.length) {
                    items.push_back(p[i]);
                    ++i;
                    match = next;
                    continue;
                }
                finder.Skip(i + 2, i + std::min(match.length, kRecordWithin));
            } else {
                finder.Skip(i + 1, i + std::min(match.length, kRecordWithin));
            }
            items.push_back(kMatchFlag | static_cast<uint32_t>(match.length - 3) << 16 |
                            static_cast<uint32_t>(match.distance - 1));
            i += match.length;
            match = i < n ? finder.Find(i) : CMatchFinder::CMatch{};
        }
        if (items.size() >= kBlockItems && i < n)
            flush(false);
    }
    flush(true);
    std::size_t written = bits.Finish();
    out = output.Reserve(written, 4);
    const uint32_t adler = libdeflate_adler32(1, p, n);
    for (int shift = 24; shift >= 0; shift -= 8)
        out[written++] = static_cast<uint8_t>(adler >> shift);
    stream.assign(output.Data(), output.Data() + written);
}

} // namespace pq
