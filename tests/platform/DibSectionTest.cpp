#include "platform/DibSection.h"

#include <gtest/gtest.h>

#include <vector>

namespace pq {
namespace {

CBitmapInfoHeader Header(int32_t width, int32_t height, uint16_t bitCount, uint32_t sizeImage = 0) {
    CBitmapInfoHeader h;
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = bitCount;
    h.sizeImage = sizeImage;
    return h;
}

TEST(CDibSection, ColourTableSizeAndRowPaddingFollowTheBitDepth) {
    struct Case {
        uint16_t bits;
        uint32_t used;
        std::size_t tableSize;
    };
    const Case cases[] = {{1, 0, 2},  {4, 0, 16},  {8, 0, 256}, {16, 0, 3},
                          {24, 0, 0}, {8, 17, 17}, {1, 300, 2}, {24, 5, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CDibSection::ColourTableSize(c.bits, c.used), c.tableSize) << c.bits << " " << c.used;
    EXPECT_EQ(CDibSection::BytesPerRow(10, 24), 32u);
    EXPECT_EQ(CDibSection::BytesPerRow(33, 1), 8u);
    EXPECT_EQ(CDibSection::BytesPerRow(3, 8), 4u);
}

TEST(CDibSection, ZeroImageSizeIsComputedAndTooFewOrMismatchedPixelBytesAreRefused) {
    CDibSection dib;
    const std::vector<uint8_t> pixels(96, 0x55);
    ASSERT_TRUE(dib.SetFromDib(Header(10, 3, 24), {}, pixels));
    EXPECT_EQ(dib.GetImageSize(), 96u);
    EXPECT_EQ(dib.GetBits().size(), 96u);
    CDibSection refused;
    EXPECT_FALSE(refused.SetFromDib(Header(10, 3, 24), {}, std::vector<uint8_t>(95, 0)));
    EXPECT_FALSE(refused.SetFromDib(Header(10, 3, 24, 64), {}, pixels));  // smaller than its rows
    EXPECT_FALSE(refused.SetFromDib(Header(10, 3, 24, 200), {}, pixels)); // more than handed over
    EXPECT_TRUE(refused.IsEmpty());
}

TEST(CDibSection, ColourTablesAreSetOnlyWhereTheDepthHasOne) {
    CDibSection dib;
    const uint32_t table[] = {0x000000, 0xFFFFFF};
    ASSERT_TRUE(dib.SetFromDib(Header(5, 2, 1), table, std::vector<uint8_t>(8, 0)));
    const uint32_t replacement[] = {0x0000FF};
    EXPECT_TRUE(dib.SetColourTable(replacement));
    EXPECT_EQ(dib.GetColourTable()[0], 0x0000FFu);
    EXPECT_EQ(dib.GetColourTable()[1], 0xFFFFFFu);
    ASSERT_TRUE(dib.Create(4, 4, 24));
    EXPECT_FALSE(dib.SetColourTable(replacement));
}

TEST(CDibSection, RefusesAbsurdHeaders) {
    EXPECT_TRUE(CDibSection::IsValidHeader(Header(10000, -10000, 8)));
    for (const CBitmapInfoHeader& h : {Header(10001, 1, 24), Header(1, 10001, 24), Header(0, 1, 24),
                                       Header(-4, 1, 24), Header(1, INT32_MIN, 24), Header(4, 4, 7)})
        EXPECT_FALSE(CDibSection::IsValidHeader(h)) << h.width << " x " << h.height << " x " << h.bitCount;
    CBitmapInfoHeader planes = Header(4, 4, 24);
    planes.planes = 2;
    EXPECT_FALSE(CDibSection::IsValidHeader(planes));
    CBitmapInfoHeader rle = Header(4, 4, 8);
    rle.compression = 1;
    EXPECT_FALSE(CDibSection::IsValidHeader(rle));
    rle.bitCount = 16;
    rle.compression = CBitmapInfoHeader::kCompressionFields;
    EXPECT_TRUE(CDibSection::IsValidHeader(rle));
}

TEST(CDibSection, InfoBytesRoundTripAndMustCarryExactlyTheColourTable) {
    CDibSection dib;
    ASSERT_TRUE(dib.Create(7, -3, 4));
    const uint32_t table[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    dib.SetColourTable(table);
    dib.GetBits()[5] = 0xAB;
    std::vector<uint8_t> info = dib.GetInfoBytes();
    ASSERT_EQ(info.size(), 40u + 16u * 4u);
    CDibSection copy;
    ASSERT_TRUE(copy.SetFromInfoBytes(info, dib.GetBits()));
    EXPECT_TRUE(copy == dib);
    info.pop_back();
    CDibSection refused;
    EXPECT_FALSE(refused.SetFromInfoBytes(info, dib.GetBits()));
    info.resize(39);
    EXPECT_FALSE(refused.SetFromInfoBytes(info, dib.GetBits()));
    EXPECT_TRUE(refused.IsEmpty());
    copy.Clear();
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(copy.GetHeader(), CBitmapInfoHeader{});
}

// Copies share their pixels until one writes; equality compares what the bitmaps hold.
TEST(CDibSection, CopiesSharePixelsUntilOneWrites) {
    CDibSection original;
    ASSERT_TRUE(original.Create(4, 3, 8));
    const uint32_t table[] = {0x112233, 0x445566};
    ASSERT_TRUE(original.SetColourTable(table));
    original.GetBits()[0] = 7;
    CDibSection copy = original;
    EXPECT_TRUE(copy.SharesPixelsWith(original));
    EXPECT_EQ(copy, original);

    copy.GetBits()[0] = 9;
    EXPECT_FALSE(copy.SharesPixelsWith(original));
    EXPECT_EQ(original.GetBits()[0], 7);
    EXPECT_NE(copy, original);
    copy.GetBits()[0] = 7;
    EXPECT_EQ(copy, original) << "equal pixels in separate storage are equal";

    CDibSection other = original;
    other.Clear();
    EXPECT_TRUE(other.IsEmpty());
    EXPECT_FALSE(original.IsEmpty());
    EXPECT_EQ(original.GetColourTable()[1], 0x445566u);
}

} // namespace
} // namespace pq
