// The deflate of rendered rows: every kind of input inflates (through zlib, which checks the codes and
// the checksum) to exactly the bytes given, and pages of flat colour come out about as small as from a
// general compressor at its middle level.
#include "platform/image/RowDeflate.h"

#include <gtest/gtest.h>

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace pq {
namespace {

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& stream, std::size_t expected, int& result) {
    std::vector<uint8_t> data(expected + 1);
    uLongf size = data.size();
    result = uncompress(data.data(), &size, stream.data(), stream.size());
    data.resize(size);
    return data;
}

void ExpectRoundTrip(const std::vector<uint8_t>& data, std::size_t rowBytes, std::size_t pixelBytes) {
    std::vector<uint8_t> stream;
    DeflateRows(data, rowBytes, pixelBytes, stream);
    int result = Z_OK;
    const std::vector<uint8_t> back = Inflate(stream, data.size(), result);
    ASSERT_EQ(result, Z_OK);
    ASSERT_EQ(back.size(), data.size());
    EXPECT_TRUE(back == data) << "first difference at "
                              << std::mismatch(back.begin(), back.end(), data.begin()).first - back.begin();
}

// A page-like picture of rows with a filter byte each: white, with filled boxes, outlines, a soft edge and
// a few rows of noise, the sort of rows a rendered page gives.
std::vector<uint8_t> PageRows(int width, int height, unsigned seed) {
    const std::size_t stride = 3 * static_cast<std::size_t>(width) + 1;
    std::vector<uint8_t> rows(stride * static_cast<std::size_t>(height), 0xFF);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        rows[stride * static_cast<std::size_t>(y)] = 0;
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &rows[stride * static_cast<std::size_t>(y) + 1 + 3 * static_cast<std::size_t>(x)];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    };
    for (int box = 0; box < 40; ++box) {
        const int x0 = static_cast<int>(random() % static_cast<unsigned>(width - 40));
        const int y0 = static_cast<int>(random() % static_cast<unsigned>(height - 40));
        const int w = 5 + static_cast<int>(random() % 35), h = 5 + static_cast<int>(random() % 35);
        const auto r = static_cast<uint8_t>(random()), g = static_cast<uint8_t>(random());
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (box % 2 == 0 || x == x0 || y == y0 || x == x0 + w - 1 || y == y0 + h - 1)
                    put(x, y, r, g, static_cast<uint8_t>(x0 + y * 7)); // blue bytes vary a little
    }
    for (int y = 0; y < height; ++y) { // a soft diagonal edge
        const int x = (y * 3) % width;
        put(x, y, 200, 200, static_cast<uint8_t>(128 + y % 100));
    }
    for (int y = height / 2; y < height / 2 + 3; ++y)
        for (int x = 0; x < width; ++x)
            put(x, y, static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                static_cast<uint8_t>(random()));
    return rows;
}

TEST(RowDeflate, EveryInputInflatesToItself) {
    std::mt19937 random(7);
    // Short inputs, shorter than a match, and no input at all.
    for (std::size_t n = 0; n < 12; ++n) {
        SCOPED_TRACE("bytes " + std::to_string(n));
        std::vector<uint8_t> data(n);
        for (auto& b : data)
            b = static_cast<uint8_t>(random() % 3);
        ExpectRoundTrip(data, 4, 3);
    }
    {
        SCOPED_TRACE("noise, no match anywhere, many blocks");
        std::vector<uint8_t> data(300000);
        for (auto& b : data)
            b = static_cast<uint8_t>(random());
        ExpectRoundTrip(data, 1000, 3);
    }
    {
        SCOPED_TRACE("one value, matches only, each 258 long");
        ExpectRoundTrip(std::vector<uint8_t>(5000000, 0xFF), 2401, 3);
    }
    {
        // Bytes drawn with halving chances: Huffman's lengths for the rare ones exceed 15 bits, and the
        // code must be cut to fit.
        SCOPED_TRACE("skewed literals, lengths cut to 15 bits");
        std::vector<uint8_t> data(2000000);
        std::geometric_distribution<int> skew(0.5);
        for (auto& b : data)
            b = static_cast<uint8_t>(std::min(skew(random), 255) * 7 + 1);
        ExpectRoundTrip(data, 4096, 1);
    }
    {
        SCOPED_TRACE("page rows, many blocks and every match kind");
        ExpectRoundTrip(PageRows(800, 600, 1), 2401, 3);
    }
    {
        // Rows wider than deflate's window: the row above is out of reach and must not be used.
        SCOPED_TRACE("rows wider than the window");
        ExpectRoundTrip(PageRows(12000, 60, 2), 36001, 3);
    }
    for (const std::size_t pixel : {std::size_t{1}, std::size_t{4}, std::size_t{40000}}) {
        SCOPED_TRACE("pixel bytes " + std::to_string(pixel));
        ExpectRoundTrip(PageRows(300, 200, 3), 901, pixel);
    }
}

// A corrupt stream must be caught by zlib, so that the round trips above prove something.
TEST(RowDeflate, DamageIsNoticed) {
    const std::vector<uint8_t> data = PageRows(200, 100, 4);
    std::vector<uint8_t> stream;
    DeflateRows(data, 601, 3, stream);
    stream[stream.size() - 2] ^= 0x10; // the checksum
    int result = Z_OK;
    Inflate(stream, data.size(), result);
    EXPECT_EQ(result, Z_DATA_ERROR);
}

// Rows of a page drawn with hard edges: overlapping shapes of flat colour whose sides slant by a pixel or
// two from row to row, as aliased ellipses and turned boxes do.
std::vector<uint8_t> HardEdgedRows(int width, int height, unsigned seed) {
    const std::size_t stride = 3 * static_cast<std::size_t>(width) + 1;
    std::vector<uint8_t> rows(stride * static_cast<std::size_t>(height), 0xFF);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        rows[stride * static_cast<std::size_t>(y)] = 0;
    for (int shape = 0; shape < 600; ++shape) {
        const int x0 = static_cast<int>(random() % static_cast<unsigned>(width - 100)) + 40;
        const int y0 = static_cast<int>(random() % static_cast<unsigned>(height - 60));
        const int w = 5 + static_cast<int>(random() % 50), h = 10 + static_cast<int>(random() % 50);
        const int leftSlant = static_cast<int>(random() % 5) - 2,
                  rightSlant = static_cast<int>(random() % 5) - 2;
        const uint8_t colour[3] = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                                   static_cast<uint8_t>(random())};
        for (int y = y0; y < y0 + h; ++y) {
            const int left = x0 + leftSlant * (y - y0) / 2, right = x0 + w + rightSlant * (y - y0) / 2;
            for (int x = std::max(0, left); x < std::min(width, right); ++x)
                std::copy_n(
                    colour, 3,
                    &rows[stride * static_cast<std::size_t>(y) + 1 + 3 * static_cast<std::size_t>(x)]);
        }
    }
    return rows;
}

std::size_t LevelSixBytes(const std::vector<uint8_t>& data) {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
    EXPECT_NE(compressor, nullptr);
    std::vector<uint8_t> theirs(libdeflate_zlib_compress_bound(compressor, data.size()));
    const std::size_t bytes =
        libdeflate_zlib_compress(compressor, data.data(), data.size(), theirs.data(), theirs.size());
    libdeflate_free_compressor(compressor);
    EXPECT_NE(bytes, 0u);
    return bytes;
}

// On pages of flat colour the places tried find what a thorough search finds: soft-edged pages come out
// about as small as from libdeflate's middle level, hard-edged ones (whose edges move along by a pixel
// from row to row) no larger.
TEST(RowDeflate, PagesAreAboutAsSmallAsAMiddleLevel) {
    const std::vector<uint8_t> soft = PageRows(1000, 1400, 5);
    std::vector<uint8_t> ours;
    DeflateRows(soft, 3001, 3, ours);
    EXPECT_LE(static_cast<double>(ours.size()), 1.10 * static_cast<double>(LevelSixBytes(soft)));

    const std::vector<uint8_t> hard = HardEdgedRows(1000, 1400, 6);
    ExpectRoundTrip(hard, 3001, 3);
    DeflateRows(hard, 3001, 3, ours);
    EXPECT_LE(ours.size(), LevelSixBytes(hard));
}

} // namespace
} // namespace pq
