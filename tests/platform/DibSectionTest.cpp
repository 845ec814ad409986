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

TEST(CDibSection, ColourTableSizeFollowsBitDepthAndUsedColours) {
    EXPECT_EQ(CDibSection::ColourTableSize(1, 0), 2u);
    EXPECT_EQ(CDibSection::ColourTableSize(2, 0), 4u);
    EXPECT_EQ(CDibSection::ColourTableSize(4, 0), 16u);
    EXPECT_EQ(CDibSection::ColourTableSize(8, 0), 256u);
    EXPECT_EQ(CDibSection::ColourTableSize(16, 0), 3u);
    EXPECT_EQ(CDibSection::ColourTableSize(32, 0), 3u);
    EXPECT_EQ(CDibSection::ColourTableSize(24, 0), 0u);
    EXPECT_EQ(CDibSection::ColourTableSize(8, 17), 17u); // smaller used count wins
    EXPECT_EQ(CDibSection::ColourTableSize(1, 300), 2u); // a larger one does not
    EXPECT_EQ(CDibSection::ColourTableSize(24, 5), 0u);
}

TEST(CDibSection, RowsArePaddedToFourBytes) {
    EXPECT_EQ(CDibSection::BytesPerRow(10, 24), 32u);
    EXPECT_EQ(CDibSection::BytesPerRow(1, 1), 4u);
    EXPECT_EQ(CDibSection::BytesPerRow(33, 1), 8u);
    EXPECT_EQ(CDibSection::BytesPerRow(3, 8), 4u);
    EXPECT_EQ(CDibSection::BytesPerRow(10000, 32), 40000u);
}

TEST(CDibSection, ZeroImageSizeIsComputedFromTheRows) {
    CDibSection dib;
    const std::vector<uint8_t> pixels(96, 0x55);
    ASSERT_TRUE(dib.SetFromDib(Header(10, 3, 24), {}, pixels));
    EXPECT_EQ(dib.GetImageSize(), 96u);
    EXPECT_EQ(dib.GetBits().size(), 96u);
    EXPECT_EQ(dib.GetColourCount(), 0u);
}

TEST(CDibSection, OneBitImageKeepsItsTwoColours) {
    CDibSection dib;
    const uint32_t table[] = {0x000000, 0xFFFFFF};
    const std::vector<uint8_t> pixels(8, 0);
    ASSERT_TRUE(dib.SetFromDib(Header(5, 2, 1), table, pixels));
    ASSERT_EQ(dib.GetColourCount(), 2u);
    EXPECT_EQ(dib.GetColourTable()[1], 0xFFFFFFu);
    const uint32_t replacement[] = {0x0000FF};
    EXPECT_TRUE(dib.SetColourTable(replacement));
    EXPECT_EQ(dib.GetColourTable()[0], 0x0000FFu);
    EXPECT_EQ(dib.GetColourTable()[1], 0xFFFFFFu);
}

TEST(CDibSection, TrueColourImageHasNoColourTableToSet) {
    CDibSection dib;
    ASSERT_TRUE(dib.Create(4, 4, 24));
    const uint32_t entry[] = {1};
    EXPECT_FALSE(dib.SetColourTable(entry));
}

TEST(CDibSection, RefusesFewerPixelBytesThanTheRowsNeed) {
    CDibSection dib;
    const std::vector<uint8_t> pixels(95, 0);
    EXPECT_FALSE(dib.SetFromDib(Header(10, 3, 24), {}, pixels));
    EXPECT_TRUE(dib.IsEmpty());
    // A header claiming a smaller image than its rows is refused even with enough bytes at hand.
    const std::vector<uint8_t> enough(96, 0);
    EXPECT_FALSE(dib.SetFromDib(Header(10, 3, 24, 64), {}, enough));
    // And one claiming more than is handed over.
    EXPECT_FALSE(dib.SetFromDib(Header(10, 3, 24, 200), {}, enough));
}

TEST(CDibSection, RefusesAbsurdHeaders) {
    EXPECT_TRUE(CDibSection::IsValidHeader(Header(10000, -10000, 8)));
    EXPECT_FALSE(CDibSection::IsValidHeader(Header(10001, 1, 24)));
    EXPECT_FALSE(CDibSection::IsValidHeader(Header(1, 10001, 24)));
    EXPECT_FALSE(CDibSection::IsValidHeader(Header(0, 1, 24)));
    EXPECT_FALSE(CDibSection::IsValidHeader(Header(-4, 1, 24)));
    EXPECT_FALSE(CDibSection::IsValidHeader(Header(1, INT32_MIN, 24)));
    EXPECT_FALSE(CDibSection::IsValidHeader(Header(4, 4, 7)));
    CBitmapInfoHeader planes = Header(4, 4, 24);
    planes.planes = 2;
    EXPECT_FALSE(CDibSection::IsValidHeader(planes));
    CBitmapInfoHeader rle = Header(4, 4, 8);
    rle.compression = 1;
    EXPECT_FALSE(CDibSection::IsValidHeader(rle));
    CBitmapInfoHeader fields = Header(4, 4, 16);
    fields.compression = CBitmapInfoHeader::kCompressionFields;
    EXPECT_TRUE(CDibSection::IsValidHeader(fields));
}

TEST(CDibSection, InfoBytesRoundTrip) {
    CDibSection dib;
    ASSERT_TRUE(dib.Create(7, -3, 4));
    const uint32_t table[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    dib.SetColourTable(table);
    dib.GetBits()[5] = 0xAB;
    const std::vector<uint8_t> info = dib.GetInfoBytes();
    ASSERT_EQ(info.size(), 40u + 16u * 4u);
    EXPECT_EQ(info[0], 40); // header size field, little-endian
    EXPECT_EQ(info[40], 1); // first colour entry

    CDibSection copy;
    ASSERT_TRUE(copy.SetFromInfoBytes(info, dib.GetBits()));
    EXPECT_TRUE(copy == dib);
    EXPECT_EQ(copy.GetHeight(), 3);
}

TEST(CDibSection, InfoBytesMustCarryExactlyTheColourTable) {
    CDibSection dib;
    ASSERT_TRUE(dib.Create(2, 2, 1));
    std::vector<uint8_t> info = dib.GetInfoBytes();
    const std::vector<uint8_t> bits(dib.GetBits().begin(), dib.GetBits().end());
    CDibSection copy;
    info.pop_back();
    EXPECT_FALSE(copy.SetFromInfoBytes(info, bits));
    info.resize(39);
    EXPECT_FALSE(copy.SetFromInfoBytes(info, bits));
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(CDibSection, ClearEmptiesEverything) {
    CDibSection dib;
    ASSERT_TRUE(dib.Create(3, 3, 8));
    dib.Clear();
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.GetColourCount(), 0u);
    EXPECT_EQ(dib.GetHeader(), CBitmapInfoHeader{});
}

} // namespace
} // namespace pq
