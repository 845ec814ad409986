#include "platform/image/BmpCodec.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::CBmpBuilder;
using test::Colours;
using test::TableBytes;

constexpr uint32_t kRed = MakeRgb(255, 0, 0);
constexpr uint32_t kGreen = MakeRgb(0, 255, 0);
constexpr uint32_t kBlue = MakeRgb(0, 0, 255);
constexpr uint32_t kWhite = MakeRgb(255, 255, 255);
constexpr uint32_t kBlack = 0;
constexpr uint32_t kOrange = MakeRgb(255, 128, 0);

CDibSection Decode(const std::vector<uint8_t>& file) {
    CDibSection image;
    const CImageResult result = DecodeBmp(file, image);
    EXPECT_TRUE(result.ok) << result.message;
    return image;
}

std::string Refusal(const std::vector<uint8_t>& file) {
    CDibSection image;
    const CImageResult result = DecodeBmp(file, image);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(image.IsEmpty());
    return result.message;
}

TEST(BmpDecode, OneBitRowsAreBottomUpAndUseTheTable) {
    CBmpBuilder b;
    b.width = 3;
    b.height = 2;
    b.bitCount = 1;
    b.extra = TableBytes({kRed, kBlue});
    b.pixels = {0xA0, 0, 0, 0,  // bottom row: 1 0 1
                0x40, 0, 0, 0}; // top row: 0 1 0
    const CDibSection image = Decode(b.Build());
    EXPECT_EQ(image.GetBitCount(), 1);
    EXPECT_EQ(image.GetColourCount(), 2u);
    EXPECT_EQ(Colours(image), (std::vector<uint32_t>{kRed, kBlue, kRed, kBlue, kRed, kBlue}));
}

TEST(BmpDecode, TwoAndFourBitPixelsArePackedFromTheHighBits) {
    CBmpBuilder two;
    two.width = 4;
    two.bitCount = 2;
    two.extra = TableBytes({kRed, kGreen, kBlue, kWhite});
    two.pixels = {0x1B, 0, 0, 0}; // 00 01 10 11
    EXPECT_EQ(Colours(Decode(two.Build())), (std::vector<uint32_t>{kRed, kGreen, kBlue, kWhite}));

    CBmpBuilder four;
    four.width = 3;
    four.bitCount = 4;
    four.clrUsed = 4;
    four.extra = TableBytes({kBlack, kRed, kGreen, kBlue});
    four.pixels = {0x12, 0x30, 0, 0};
    const CDibSection image = Decode(four.Build());
    EXPECT_EQ(Colours(image), (std::vector<uint32_t>{kRed, kGreen, kBlue}));
    // The decoded table always has every entry of the depth; those the file leaves out are black.
    EXPECT_EQ(image.GetColourCount(), 16u);
}

TEST(BmpDecode, EightBitWithAShortenedTable) {
    // No colour count, but the pixel offset leaves room for only three entries.
    CBmpBuilder b;
    b.width = 2;
    b.height = 2;
    b.bitCount = 8;
    b.extra = TableBytes({kRed, kGreen, kBlue});
    b.pixels = {2, 1, 0, 0, 0, 200, 0, 0};
    EXPECT_EQ(Colours(Decode(b.Build())), (std::vector<uint32_t>{kRed, kBlack, kBlue, kGreen}));
}

TEST(BmpDecode, SixteenBitDefaultsToFiveFiveFive) {
    CBmpBuilder b;
    b.width = 4;
    b.bitCount = 16;
    b.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
    const CDibSection image = Decode(b.Build());
    EXPECT_EQ(image.GetBitCount(), 24);
    // 16 of 31 scales to 132 of 255.
    EXPECT_EQ(Colours(image), (std::vector<uint32_t>{kRed, kGreen, kBlue, MakeRgb(132, 132, 132)}));
}

TEST(BmpDecode, SixteenBitFieldsFiveSixFive) {
    CBmpBuilder b;
    b.width = 2;
    b.bitCount = 16;
    b.compression = CBitmapInfoHeader::kCompressionFields;
    b.extra = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    b.pixels = {0xE0, 0x07, 0x1F, 0xF8};
    EXPECT_EQ(Colours(Decode(b.Build())), (std::vector<uint32_t>{kGreen, MakeRgb(255, 0, 255)}));
}

TEST(BmpDecode, TwentyFourBitRowsArePaddedAndMayRunTopDown) {
    CBmpBuilder b;
    b.width = 2;
    b.height = 2;
    b.pixels = {0,   0, 255, 0, 255, 0,   0, 0,  // bottom: red, green
                255, 0, 0,   0, 128, 255, 0, 0}; // top: blue, orange
    EXPECT_EQ(Colours(Decode(b.Build())), (std::vector<uint32_t>{kBlue, kOrange, kRed, kGreen}));

    b.height = -2; // the same bytes, now the first row is the top one
    const CDibSection topDown = Decode(b.Build());
    EXPECT_EQ(Colours(topDown), (std::vector<uint32_t>{kRed, kGreen, kBlue, kOrange}));
    EXPECT_EQ(topDown.GetHeader().height, 2) << "decoded bitmaps are stored bottom-up";
}

TEST(BmpDecode, ThirtyTwoBitDropsAlphaAndHonoursFields) {
    CBmpBuilder plain;
    plain.width = 2;
    plain.bitCount = 32;
    plain.pixels = {0, 128, 255, 0x40, 255, 0, 0, 0xFF};
    EXPECT_EQ(Colours(Decode(plain.Build())), (std::vector<uint32_t>{kOrange, kBlue}));

    CBmpBuilder fields = plain;
    fields.compression = CBitmapInfoHeader::kCompressionFields;
    // Red in the low byte, blue in the third: the masks decide, not the usual order.
    fields.extra = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
    EXPECT_EQ(Colours(Decode(fields.Build())), (std::vector<uint32_t>{MakeRgb(0, 128, 255), kRed}));
}

TEST(BmpDecode, RunLengthEncodedEightAndFourBit) {
    CBmpBuilder rle8;
    rle8.width = 4;
    rle8.height = 2;
    rle8.bitCount = 8;
    rle8.compression = 1;
    rle8.clrUsed = 4;
    rle8.extra = TableBytes({kBlack, kRed, kGreen, kBlue});
    rle8.pixels = {4, 1,             // bottom row: four reds
                   0, 0,             // end of line
                   0, 3, 2, 3, 0, 0, // literal run: green, blue, black, padded
                   1, 2,             // one green
                   0, 1};            // end of bitmap
    EXPECT_EQ(Colours(Decode(rle8.Build())),
              (std::vector<uint32_t>{kGreen, kBlue, kBlack, kGreen, kRed, kRed, kRed, kRed}));

    CBmpBuilder rle4 = rle8;
    rle4.width = 6;
    rle4.height = 1;
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.pixels = {3, 0x12,             // a run alternating red and green
                   0, 3,    0x31, 0x20, // literal blue, red, green in two bytes
                   0, 1};
    EXPECT_EQ(Colours(Decode(rle4.Build())),
              (std::vector<uint32_t>{kRed, kGreen, kRed, kBlue, kRed, kGreen}));
}

TEST(BmpDecode, RunLengthDeltaSkipsPixelsAndDropsThoseOutside) {
    CBmpBuilder b;
    b.width = 3;
    b.height = 2;
    b.bitCount = 8;
    b.compression = 1;
    b.clrUsed = 2;
    b.extra = TableBytes({kBlack, kWhite});
    b.pixels = {0, 2, 1, 1, // move right 1, up 1: to the top row's middle
                5, 1,       // five whites, of which two fit
                0, 1};
    EXPECT_EQ(Colours(Decode(b.Build())),
              (std::vector<uint32_t>{kBlack, kWhite, kWhite, kBlack, kBlack, kBlack}));
}

TEST(BmpDecode, CoreHeaderWithThreeByteTable) {
    const std::vector<uint8_t> file = {
        'B',  'M', 34,  0,   0, 0, 0, 0, 0, 0, 32, 0, 0, 0, // file header: size 34, pixels at 32
        12,   0,   0,   0,   2, 0, 1, 0, 1, 0, 1,  0,       // core header: 2 x 1, 1 plane, 1 bit
        0,    0,   255, 255, 0, 0,                          // table: red, blue
        0x40, 0};                                           // pixels 0 1, row padded
    // The core header's rows are padded to 4 bytes as well; give the missing two.
    std::vector<uint8_t> padded = file;
    padded.insert(padded.end(), {0, 0});
    EXPECT_EQ(Colours(Decode(padded)), (std::vector<uint32_t>{kRed, kBlue}));
}

TEST(BmpDecode, MissingTableGivesEvenGreys) {
    CBmpBuilder b;
    b.width = 2;
    b.bitCount = 1;
    b.pixels = {0x40, 0, 0, 0};
    EXPECT_EQ(Colours(Decode(b.Build())), (std::vector<uint32_t>{kBlack, kWhite}));
}

TEST(BmpDecode, TwoBitDeviceFormat) {
    CBmpBuilder b;
    b.width = 4;
    b.bitCount = 2;
    b.pixels = {0x1B, 0, 0, 0};
    CDibSection image;
    ASSERT_TRUE(Decode2bp(b.Build(), image).ok);
    EXPECT_EQ(image.GetBitCount(), 2);
    EXPECT_EQ(Colours(image),
              (std::vector<uint32_t>{kBlack, MakeRgb(85, 85, 85), MakeRgb(170, 170, 170), kWhite}));

    b.extra = TableBytes({kWhite, kRed, kGreen, kBlack}); // a table of its own wins
    ASSERT_TRUE(Decode2bp(b.Build(), image).ok);
    EXPECT_EQ(Colours(image), (std::vector<uint32_t>{kWhite, kRed, kGreen, kBlack}));

    b.bitCount = 8;
    b.extra.clear();
    const CImageResult refused = Decode2bp(b.Build(), image);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message.substr(0, 4), "2BP:") << refused.message;
    EXPECT_TRUE(image.IsEmpty());
}

TEST(BmpRefusal, HugeClaimsAreRefusedBeforeAllocating) {
    CBmpBuilder b;
    b.width = 20000;
    b.height = 20000;
    test::StartAllocationProbe();
    const std::string message = Refusal(b.Build());
    const std::size_t largest = test::StopAllocationProbe();
    EXPECT_NE(message.find("exceeds the limit"), std::string::npos) << message;
    EXPECT_LT(largest, 4096u) << "the decoder allocated before refusing";

    // The probe does see the pixels of a picture that is accepted.
    CBmpBuilder accepted;
    accepted.width = 100;
    accepted.height = 100;
    accepted.pixels.assign(30000, 0);
    const std::vector<uint8_t> file = accepted.Build();
    test::StartAllocationProbe();
    (void)Decode(file);
    EXPECT_GE(test::StopAllocationProbe(), 30000u);

    b.width = 1;
    b.height = INT32_MIN; // top-down by the most negative height: must not overflow when negated
    EXPECT_NE(Refusal(b.Build()).find("exceeds the limit"), std::string::npos);
}

TEST(BmpRefusal, LyingLengthsAndOffsets) {
    CBmpBuilder b;
    b.width = 2;
    b.height = 2;
    b.pixels.assign(15, 0); // rows need 16 bytes
    EXPECT_NE(Refusal(b.Build()).find("truncated"), std::string::npos);

    b.pixels.assign(16, 0);
    b.pixelOffset = 1000;
    EXPECT_NE(Refusal(b.Build()).find("beyond the end"), std::string::npos);
    b.pixelOffset = 20;
    EXPECT_NE(Refusal(b.Build()).find("inside the headers"), std::string::npos);

    std::vector<uint8_t> file = CBmpBuilder{}.Build();
    file[14] = 200; // info header longer than the file
    EXPECT_NE(Refusal(file).find("info header"), std::string::npos);

    CBmpBuilder palette;
    palette.bitCount = 8;
    palette.clrUsed = 300;
    palette.pixels.assign(4, 0);
    EXPECT_NE(Refusal(palette.Build()).find("colour count"), std::string::npos);

    CBmpBuilder fields;
    fields.bitCount = 16;
    fields.compression = CBitmapInfoHeader::kCompressionFields;
    fields.pixels.assign(4, 0);
    std::vector<uint8_t> noMasks = fields.Build();
    noMasks.resize(58); // the masks would start at 54 and need 12 bytes
    EXPECT_NE(Refusal(noMasks).find("masks"), std::string::npos);
}

TEST(BmpRefusal, UnsupportedHeaders) {
    CBmpBuilder b;
    b.pixels.assign(4, 0);
    std::vector<uint8_t> file = b.Build();
    file[0] = 'X';
    EXPECT_NE(Refusal(file).find("signature"), std::string::npos);

    file = b.Build();
    file[26] = 2; // planes
    EXPECT_NE(Refusal(file).find("plane"), std::string::npos);

    b.bitCount = 3;
    EXPECT_NE(Refusal(b.Build()).find("depth"), std::string::npos);
    b.bitCount = 24;
    b.compression = 4; // embedded JPEG
    EXPECT_NE(Refusal(b.Build()).find("compression"), std::string::npos);
    b.compression = CBitmapInfoHeader::kCompressionFields; // bit fields need 16 or 32 bits
    EXPECT_FALSE(Refusal(b.Build()).empty());
    b.compression = 0;
    b.width = 0;
    EXPECT_NE(Refusal(b.Build()).find("empty"), std::string::npos);
}

TEST(BmpRefusal, RunLengthDataThatEndsEarly) {
    CBmpBuilder b;
    b.width = 4;
    b.height = 2;
    b.bitCount = 8;
    b.compression = 1;
    b.pixels = {4, 1}; // one run, no end of line or bitmap
    EXPECT_NE(Refusal(b.Build()).find("end-of-bitmap"), std::string::npos);
    b.pixels = {0, 6, 1, 2}; // a literal run of six with two bytes
    EXPECT_NE(Refusal(b.Build()).find("literal"), std::string::npos);
    b.height = -2;
    b.pixels = {0, 1};
    EXPECT_NE(Refusal(b.Build()).find("top-down"), std::string::npos);
}

TEST(BmpRefusal, EveryShortenedFileIsRefused) {
    CBmpBuilder b;
    b.width = 3;
    b.height = 2;
    b.bitCount = 8;
    b.clrUsed = 2;
    b.extra = TableBytes({kRed, kBlue});
    b.pixels.assign(8, 1);
    const std::vector<uint8_t> file = b.Build();
    for (std::size_t n = 0; n < file.size(); ++n) {
        CDibSection image;
        EXPECT_FALSE(DecodeBmp(std::span(file).first(n), image).ok) << "accepted the first " << n << " bytes";
    }
}

TEST(BmpEncode, HeaderFieldsOfATwentyFourBitPicture) {
    CDibSection image;
    ASSERT_TRUE(image.Create(10, 10, 24));
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp(image, file).ok);
    ASSERT_EQ(file.size(), 374u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(test::ReadU32At(file, 2), 374u);  // file size
    EXPECT_EQ(test::ReadU16At(file, 6), 0);     // reserved
    EXPECT_EQ(test::ReadU16At(file, 8), 0);     // reserved
    EXPECT_EQ(test::ReadU32At(file, 10), 54u);  // pixel offset
    EXPECT_EQ(test::ReadU32At(file, 14), 40u);  // info header size
    EXPECT_EQ(test::ReadU32At(file, 18), 10u);  // width
    EXPECT_EQ(test::ReadU32At(file, 22), 10u);  // height
    EXPECT_EQ(test::ReadU16At(file, 26), 1);    // planes
    EXPECT_EQ(test::ReadU16At(file, 28), 24);   // bits per pixel
    EXPECT_EQ(test::ReadU32At(file, 30), 0u);   // no compression
    EXPECT_EQ(test::ReadU32At(file, 34), 320u); // ten rows of 32 bytes
    EXPECT_EQ(test::ReadU32At(file, 46), 0u);   // colours used
}

TEST(BmpEncode, ColourTableMovesThePixelOffset) {
    CDibSection image;
    ASSERT_TRUE(image.Create(3, 1, 8));
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp(image, file).ok);
    EXPECT_EQ(test::ReadU32At(file, 10), 54u + 1024u);
    EXPECT_EQ(test::ReadU32At(file, 2), 54u + 1024u + 4u);
    EXPECT_EQ(file.size(), 54u + 1024u + 4u);

    CDibSection empty;
    EXPECT_FALSE(EncodeBmp(empty, file).ok);
}

TEST(BmpRoundTrip, EveryStoredDepthDecodesToTheSamePixels) {
    const CDibSection picture = test::MakeTestPicture(7, 5);
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp(picture, file).ok);
    EXPECT_EQ(Decode(file), picture);

    for (uint16_t depth : {1, 2, 4, 8}) {
        CDibSection indexed;
        ASSERT_TRUE(indexed.Create(9, 3, depth));
        std::vector<uint32_t> table(1u << depth);
        for (std::size_t i = 0; i < table.size(); ++i)
            table[i] = MakeTableEntry(static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i), 7);
        ASSERT_TRUE(indexed.SetColourTable(table));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 9; ++x)
                SetPackedIndex(GetRowFromTop(indexed, y), x, depth,
                               static_cast<uint32_t>(x + 3 * y) % table.size());
        ASSERT_TRUE(EncodeBmp(indexed, file).ok);
        const CDibSection decoded = Decode(file);
        EXPECT_EQ(decoded.GetBitCount(), depth);
        EXPECT_EQ(Colours(decoded), Colours(indexed)) << depth << " bits";
    }
}

TEST(BmpRoundTrip, SixteenBitFieldsBitmapKeepsItsColours) {
    CBitmapInfoHeader h;
    h.size = 40;
    h.width = 2;
    h.height = -1; // top-down
    h.planes = 1;
    h.bitCount = 16;
    h.compression = CBitmapInfoHeader::kCompressionFields;
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    const uint8_t pixels[4] = {0x00, 0xF8, 0x1F, 0x00};
    CDibSection image;
    ASSERT_TRUE(image.SetFromDib(h, masks, pixels));
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp(image, file).ok);
    EXPECT_EQ(Colours(Decode(file)), (std::vector<uint32_t>{kRed, kBlue}));
}

} // namespace
} // namespace pq
