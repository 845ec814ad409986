#include "platform/image/DibPixels.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define PQ_SWAP_SSSE3 1
#endif

namespace pq {

namespace {

#if PQ_SWAP_SSSE3
// Five pixels a shuffle, for processors with SSSE3 (all but the very first 64-bit ones). Each step reads
// and writes 16 bytes, the last of them the next pixel's first. Returns the pixels converted.
__attribute__((target("ssse3"))) int32_t SwapRedBlue24Ssse3(const uint8_t* in, std::size_t readable,
                                                            int32_t width, uint8_t* out,
                                                            std::size_t writable) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    int32_t x = 0;
    for (std::size_t at = 0; at + 16 <= std::min(readable, writable) && x + 5 <= width; at += 15, x += 5) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_shuffle_epi8(pixels, order));
    }
    return x;
}

bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

uint32_t LoadLittleEndian(const uint8_t* p, int byteCount) {
    uint32_t v = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// Bit-field masks of a 16 or 32-bit bitmap: from the colour table when the header says bit fields,
// otherwise the format's defaults (5-5-5 for 16 bits, 8-8-8 for 32 bits).
void GetMasks(const CDibSection& image, uint32_t masks[3]) {
    const auto table = image.GetColourTable();
    if (image.GetHeader().compression == CBitmapInfoHeader::kCompressionFields && table.size() >= 3) {
        for (int i = 0; i < 3; ++i)
            masks[i] = table[i];
    } else if (image.GetBitCount() == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
}

} // namespace

std::span<const uint8_t> GetRowFromTop(const CDibSection& image, int32_t y) {
    const int32_t rows = image.GetHeight();
    if (y < 0 || y >= rows || image.IsEmpty())
        return {};
    const std::size_t stride = image.GetBytesPerRow();
    const int32_t stored = image.GetHeader().height < 0 ? y : rows - 1 - y;
    const auto bits = image.GetBits();
    if ((static_cast<std::size_t>(stored) + 1) * stride > bits.size())
        return {};
    return bits.subspan(static_cast<std::size_t>(stored) * stride, stride);
}

std::span<uint8_t> GetRowFromTop(CDibSection& image, int32_t y) {
    const CDibSection& view = image;
    const auto row = GetRowFromTop(view, y);
    if (row.empty())
        return {};
    // The offset is taken before the writable pixels are asked for, which copies pixels another bitmap
    // shares: the row found lies in the shared ones.
    const auto offset = static_cast<std::size_t>(row.data() - view.GetBits().data());
    return image.GetBits().subspan(offset, row.size());
}

uint32_t GetPackedIndex(std::span<const uint8_t> row, int32_t x, uint32_t bitCount) {
    const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
    if (bit / 8 >= row.size())
        return 0;
    const uint32_t byte = row[bit / 8];
    const uint32_t shift = 8 - bitCount - static_cast<uint32_t>(bit % 8);
    return (byte >> shift) & ((1u << bitCount) - 1);
}

void SetPackedIndex(std::span<uint8_t> row, int32_t x, uint32_t bitCount, uint32_t index) {
    const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
    if (bit / 8 >= row.size())
        return;
    const uint32_t shift = 8 - bitCount - static_cast<uint32_t>(bit % 8);
    const uint32_t mask = ((1u << bitCount) - 1) << shift;
    uint8_t& byte = row[bit / 8];
    byte = static_cast<uint8_t>((byte & ~mask) | ((index << shift) & mask));
}

uint32_t GetPixelColour(const CDibSection& image, int32_t x, int32_t y) {
    const auto row = GetRowFromTop(image, y);
    if (row.empty() || x < 0 || x >= image.GetWidth())
        return 0;
    const uint32_t depth = image.GetBitCount();
    switch (depth) {
    case 1:
    case 2:
    case 4:
    case 8: {
        const uint32_t index = GetPackedIndex(row, x, depth);
        const auto table = image.GetColourTable();
        if (index >= table.size())
            return 0;
        const uint32_t entry = table[index];
        return MakeRgb(static_cast<uint8_t>(entry >> 16), static_cast<uint8_t>(entry >> 8),
                       static_cast<uint8_t>(entry));
    }
    case 24: {
        const uint8_t* p = row.data() + 3 * static_cast<std::size_t>(x);
        return MakeRgb(p[2], p[1], p[0]);
    }
    case 16:
    case 32: {
        uint32_t masks[3];
        GetMasks(image, masks);
        const int bytes = static_cast<int>(depth / 8);
        const uint32_t pixel = LoadLittleEndian(row.data() + bytes * static_cast<std::size_t>(x), bytes);
        return MakeRgb(CMaskChannel(masks[0]).Extract(pixel), CMaskChannel(masks[1]).Extract(pixel),
                       CMaskChannel(masks[2]).Extract(pixel));
    }
    default:
        return 0;
    }
}

CMaskChannel::CMaskChannel(uint32_t channelMask) : mask(channelMask) {
    if (mask == 0)
        return;
    shift = std::countr_zero(mask);
    maximum = mask >> shift;
}

uint8_t CMaskChannel::Extract(uint32_t pixel) const {
    if (maximum == 0)
        return 0;
    const uint64_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>((value * 255 + maximum / 2) / maximum);
}

void FillGreyTable(std::span<uint32_t> table) {
    const std::size_t n = table.size();
    if (n < 2) {
        if (n == 1)
            table[0] = 0;
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto grey = static_cast<uint8_t>((i * 255 + (n - 1) / 2) / (n - 1));
        table[i] = MakeTableEntry(grey, grey, grey);
    }
}

void SwapRedBlue24(const uint8_t* in, std::size_t readable, int32_t width, uint8_t* out, std::size_t spare) {
    const std::size_t limit = std::min(readable, 3 * static_cast<std::size_t>(width) + spare);
    int32_t x = 0;
#if PQ_SWAP_SSSE3
    if (HasSsse3())
        x = SwapRedBlue24Ssse3(in, readable, width, out, limit);
#endif
    // Two pixels a word: the first and third bytes of each swap places, the middle ones stay; the two
    // bytes read and written past the pair are the next pixel's or spare.
    if constexpr (std::endian::native == std::endian::little) {
        for (std::size_t at = 3 * static_cast<std::size_t>(x); at + 8 <= limit && x + 1 < width;
             x += 2, at += 6) {
            uint64_t pair;
            std::memcpy(&pair, in + at, 8);
            pair = (pair & 0x0000FF0000FF00u) | (pair & 0x000000FF0000FFu) << 16 |
                   (pair >> 16 & 0x000000FF0000FFu);
            std::memcpy(out + at, &pair, 8);
        }
    }
    for (std::size_t at = 3 * static_cast<std::size_t>(x); x < width; ++x, at += 3) {
        out[at] = in[at + 2];
        out[at + 1] = in[at + 1];
        out[at + 2] = in[at];
    }
}

} // namespace pq
