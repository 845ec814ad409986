#pragma once

#include "platform/DibSection.h"
#include "platform/image/DibPixels.h"
#include "platform/image/ImageResult.h"

#include "AllocationProbe.h"
#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pq::test {

inline void AppendU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline uint32_t ReadU32At(const std::vector<uint8_t>& d, std::size_t at) {
    return static_cast<uint32_t>(d[at]) | static_cast<uint32_t>(d[at + 1]) << 8 |
           static_cast<uint32_t>(d[at + 2]) << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}

inline uint16_t ReadU16At(const std::vector<uint8_t>& d, std::size_t at) {
    return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

// A BMP file put together field by field: 14-byte file header, 40-byte info header, then the extra bytes
// (masks and colour table, as given) and the pixel rows. The pixel offset is the true one unless given.
struct CBmpBuilder {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::vector<uint8_t> extra{}; // masks and/or colour table
    std::vector<uint8_t> pixels{};
    int64_t pixelOffset = -1;

    [[nodiscard]] std::vector<uint8_t> Build() const {
        std::vector<uint8_t> out{'B', 'M'};
        const auto offset = static_cast<uint32_t>(pixelOffset >= 0 ? pixelOffset : 54 + extra.size());
        AppendU32(out, static_cast<uint32_t>(54 + extra.size() + pixels.size()));
        AppendU32(out, 0);
        AppendU32(out, offset);
        AppendU32(out, 40);
        AppendU32(out, static_cast<uint32_t>(width));
        AppendU32(out, static_cast<uint32_t>(height));
        AppendU16(out, 1);
        AppendU16(out, bitCount);
        AppendU32(out, compression);
        AppendU32(out, static_cast<uint32_t>(pixels.size()));
        AppendU32(out, 2835);
        AppendU32(out, 2835);
        AppendU32(out, clrUsed);
        AppendU32(out, 0);
        out.insert(out.end(), extra.begin(), extra.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

// Colour-table bytes (blue, green, red, 0) for colours given as 0x00BBGGRR values.
inline std::vector<uint8_t> TableBytes(std::initializer_list<uint32_t> colours) {
    std::vector<uint8_t> out;
    for (uint32_t c : colours) {
        out.push_back(BlueOf(c));
        out.push_back(GreenOf(c));
        out.push_back(RedOf(c));
        out.push_back(0);
    }
    return out;
}

// The picture's colours, rows from the top, as 0x00BBGGRR values.
inline std::vector<uint32_t> Colours(const CDibSection& image) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        for (int32_t x = 0; x < image.GetWidth(); ++x)
            out.push_back(GetPixelColour(image, x, y));
    return out;
}

// A 24-bit picture whose every pixel has a different colour, from a seed.
inline CDibSection MakeTestPicture(int32_t width, int32_t height, uint32_t seed = 1) {
    CDibSection image;
    EXPECT_TRUE(image.Create(width, height, 24));
    uint32_t state = seed;
    for (int32_t y = 0; y < height; ++y) {
        auto row = GetRowFromTop(image, y);
        for (std::size_t i = 0; i < 3 * static_cast<std::size_t>(width); ++i) {
            state = state * 1664525u + 1013904223u;
            row[i] = static_cast<uint8_t>(state >> 24);
        }
    }
    return image;
}

// An indexed picture whose colour table entry i is entry(i) and whose pixel (x, y), rows from the top, has
// the index index(x, y) modulo the table's size.
template <typename Entry, typename Index>
CDibSection MakeIndexedPicture(int32_t width, int32_t height, uint16_t bitCount, Entry entry, Index index) {
    CDibSection image;
    EXPECT_TRUE(image.Create(width, height, bitCount));
    std::vector<uint32_t> table(1u << bitCount);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = entry(i);
    EXPECT_TRUE(image.SetColourTable(table));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            SetPackedIndex(GetRowFromTop(image, y), x, bitCount,
                           static_cast<uint32_t>(index(x, y)) % table.size());
    return image;
}

// A smooth 24-bit picture (gradients) on which lossy compression stays close.
inline CDibSection MakeGradient(int32_t width, int32_t height) {
    CDibSection image;
    EXPECT_TRUE(image.Create(width, height, 24));
    for (int32_t y = 0; y < height; ++y) {
        auto row = GetRowFromTop(image, y);
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(x * 255 / (width - 1));
            row[3 * x + 1] = static_cast<uint8_t>(y * 255 / (height - 1));
            row[3 * x + 2] = static_cast<uint8_t>(128);
        }
    }
    return image;
}

// A file that claims more pixels than allowed, or than its data could hold: refused with the reason,
// leaving the picture empty, before anything large is allocated.
template <typename Decode>
void ExpectRefusedBeforeAllocating(Decode decode, std::span<const uint8_t> file, const std::string& reason) {
    CDibSection image;
    StartAllocationProbe();
    const CImageResult result = decode(file, image);
    EXPECT_LT(StopAllocationProbe(), 4096u) << "the decoder allocated before refusing";
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(reason), std::string::npos) << result.message << " lacks " << reason;
    EXPECT_TRUE(image.IsEmpty());
}

// Every prefix of the file shorter than upTo bytes is refused with a reason and leaves the picture empty.
template <typename Decode>
void ExpectEveryPrefixRefused(Decode decode, std::span<const uint8_t> file, std::size_t upTo) {
    CDibSection image;
    for (std::size_t n = 0; n < upTo; ++n) {
        const CImageResult result = decode(file.first(n), image);
        ASSERT_FALSE(result.ok) << "accepted the first " << n << " bytes";
        EXPECT_FALSE(result.message.empty()) << n << " bytes";
        EXPECT_TRUE(image.IsEmpty()) << n << " bytes";
    }
}

} // namespace pq::test
