#include "platform/image/BmpCodec.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using test::CBmpBuilder;
using test::Colours;
using test::TableBytes;
using Pixels = std::vector<uint32_t>;

constexpr uint32_t kRed = MakeRgb(255, 0, 0);
constexpr uint32_t kGreen = MakeRgb(0, 255, 0);
constexpr uint32_t kBlue = MakeRgb(0, 0, 255);
constexpr uint32_t kWhite = MakeRgb(255, 255, 255);
constexpr uint32_t kBlack = 0;
constexpr uint32_t kOrange = MakeRgb(255, 128, 0);
constexpr uint32_t kFields = CBitmapInfoHeader::kCompressionFields;

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

std::vector<uint8_t> Patched(std::vector<uint8_t> file, std::size_t at, uint8_t value) {
    file[at] = value;
    return file;
}

TEST(BmpDecode, EveryDepthAndCompressionGivesTheKnownPixels) {
    struct Case {
        const char* name;
        int32_t width, height;
        uint16_t bitCount;
        uint32_t compression, clrUsed;
        std::vector<uint8_t> extra, pixels;
        Pixels expected; // rows from the top
        Case(const char* n, int32_t w, int32_t h, uint16_t b, uint32_t c, uint32_t u, std::vector<uint8_t> e,
             std::vector<uint8_t> p, Pixels x)
            : name(n), width(w), height(h), bitCount(b), compression(c), clrUsed(u), extra(std::move(e)),
              pixels(std::move(p)), expected(std::move(x)) {}
    };
    const std::vector<uint8_t> rgbw = TableBytes({kRed, kGreen, kBlue, kWhite});
    const std::vector<uint8_t> krgb = TableBytes({kBlack, kRed, kGreen, kBlue});
    const std::vector<uint8_t> rgb24 = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 128, 255, 0, 0};
    const std::vector<uint8_t> argb32 = {0, 128, 255, 0x40, 255, 0, 0, 0xFF};
    // name, width, height, depth, compression, colours used, masks or table, pixels, expected colours
    const Case cases[] = {
        Case("1 bit, bottom-up", 3, 2, 1, 0, 0, TableBytes({kRed, kBlue}), {0xA0, 0, 0, 0, 0x40, 0, 0, 0},
             {kRed, kBlue, kRed, kBlue, kRed, kBlue}),
        Case("1 bit without a table: greys", 2, 1, 1, 0, 0, {}, {0x40, 0, 0, 0}, {kBlack, kWhite}),
        Case("2 bits", 4, 1, 2, 0, 0, rgbw, {0x1B, 0, 0, 0}, {kRed, kGreen, kBlue, kWhite}),
        Case("4 bits, short table", 3, 1, 4, 0, 4, krgb, {0x12, 0x30, 0, 0}, {kRed, kGreen, kBlue}),
        // No colour count, but the pixel offset leaves room for three entries; index 200 is black.
        Case("8 bits, table cut by the offset", 2, 2, 8, 0, 0, TableBytes({kRed, kGreen, kBlue}),
             {2, 1, 0, 0, 0, 200, 0, 0}, {kRed, kBlack, kBlue, kGreen}),
        // 16 of 31 scales to 132 of 255.
        Case("16 bits, 5-5-5", 4, 1, 16, 0, 0, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42},
             {kRed, kGreen, kBlue, MakeRgb(132, 132, 132)}),
        Case("16 bits, 5-6-5 fields", 2, 1, 16, kFields, 0,
             {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}, {0xE0, 0x07, 0x1F, 0xF8},
             {kGreen, MakeRgb(255, 0, 255)}),
        Case("24 bits, padded rows", 2, 2, 24, 0, 0, {}, rgb24, {kBlue, kOrange, kRed, kGreen}),
        Case("24 bits, top-down", 2, -2, 24, 0, 0, {}, rgb24, {kRed, kGreen, kBlue, kOrange}),
        Case("32 bits, alpha dropped", 2, 1, 32, 0, 0, {}, argb32, {kOrange, kBlue}),
        // Red in the low byte, blue in the third: the masks decide, not the usual order.
        Case("32 bits, fields", 2, 1, 32, kFields, 0, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0}, argb32,
             {MakeRgb(0, 128, 255), kRed}),
        // Four reds, end of line, literal green blue black (padded), one green, end of bitmap.
        Case("RLE8", 4, 2, 8, 1, 4, krgb, {4, 1, 0, 0, 0, 3, 2, 3, 0, 0, 1, 2, 0, 1},
             {kGreen, kBlue, kBlack, kGreen, kRed, kRed, kRed, kRed}),
        // A run alternating red and green, then a literal blue, red, green.
        Case("RLE4", 6, 1, 4, 2, 4, krgb, {3, 0x12, 0, 3, 0x31, 0x20, 0, 1},
             {kRed, kGreen, kRed, kBlue, kRed, kGreen}),
        // Move right 1 and up 1, then five whites of which two fit in the row.
        Case("RLE8 delta", 3, 2, 8, 1, 2, TableBytes({kBlack, kWhite}), {0, 2, 1, 1, 5, 1, 0, 1},
             {kBlack, kWhite, kWhite, kBlack, kBlack, kBlack}),
    };
    for (const Case& c : cases) {
        const CDibSection image = Decode(
            CBmpBuilder{c.width, c.height, c.bitCount, c.compression, c.clrUsed, c.extra, c.pixels}.Build());
        EXPECT_EQ(Colours(image), c.expected) << c.name;
        EXPECT_EQ(image.GetHeader().height, image.GetHeight()) << c.name << ": stored bottom-up";
        if (c.bitCount <= 8)
            EXPECT_EQ(image.GetColourCount(), 1u << c.bitCount) << c.name << ": the table is always full";
        else
            EXPECT_EQ(image.GetBitCount(), 24) << c.name;
    }

    // The core header: 12 bytes, three-byte table entries (red, blue), rows padded to 4 bytes.
    const std::vector<uint8_t> core = {'B', 'M', 36, 0, 0, 0, 0, 0, 0, 0, 32,  0,   0, 0, 12,   0, 0, 0,
                                       2,   0,   1,  0, 1, 0, 1, 0, 0, 0, 255, 255, 0, 0, 0x40, 0, 0, 0};
    EXPECT_EQ(Colours(Decode(core)), (Pixels{kRed, kBlue}));
}

TEST(BmpDecode, TwoBitDeviceFormat) {
    CBmpBuilder b{.width = 4, .bitCount = 2, .pixels = {0x1B, 0, 0, 0}};
    CDibSection image;
    ASSERT_TRUE(Decode2bp(b.Build(), image).ok);
    EXPECT_EQ(image.GetBitCount(), 2);
    EXPECT_EQ(Colours(image), (Pixels{kBlack, MakeRgb(85, 85, 85), MakeRgb(170, 170, 170), kWhite}));

    b.extra = TableBytes({kWhite, kRed, kGreen, kBlack}); // a table of its own wins
    ASSERT_TRUE(Decode2bp(b.Build(), image).ok);
    EXPECT_EQ(Colours(image), (Pixels{kWhite, kRed, kGreen, kBlack}));

    b.bitCount = 8;
    const CImageResult refused = Decode2bp(b.Build(), image);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message.substr(0, 4), "2BP:") << refused.message;
    EXPECT_TRUE(image.IsEmpty());
}

TEST(BmpRefusal, HugeClaimsAreRefusedBeforeAllocating) {
    test::ExpectRefusedBeforeAllocating(DecodeBmp, CBmpBuilder{.width = 20000, .height = 20000}.Build(),
                                        "exceeds the limit");

    // The probe does see the pixels of a picture that is accepted.
    const std::vector<uint8_t> file =
        CBmpBuilder{.width = 100, .height = 100, .pixels = std::vector<uint8_t>(30000)}.Build();
    test::StartAllocationProbe();
    (void)Decode(file);
    EXPECT_GE(test::StopAllocationProbe(), 30000u);

    // Top-down by the most negative height: must not overflow when negated.
    EXPECT_NE(Refusal(CBmpBuilder{.height = INT32_MIN}.Build()).find("exceeds the limit"), std::string::npos);
}

TEST(BmpRefusal, LyingOrUnsupportedFilesAreRefusedWithTheReason) {
    const CBmpBuilder plain{.width = 2, .height = 2, .pixels = std::vector<uint8_t>(16)};
    CBmpBuilder shortRows = plain, farOffset = plain, earlyOffset = plain;
    shortRows.pixels.resize(15);
    farOffset.pixelOffset = 1000;
    earlyOffset.pixelOffset = 20;
    std::vector<uint8_t> noMasks =
        CBmpBuilder{.bitCount = 16, .compression = kFields, .pixels = {0, 0, 0, 0}}.Build();
    noMasks.resize(58); // the masks would start at 54 and need 12 bytes
    const CBmpBuilder rle{.width = 4, .height = 2, .bitCount = 8, .compression = 1};
    CBmpBuilder rleNoEnd = rle, rleShortLiteral = rle, rleTopDown = rle;
    rleNoEnd.pixels = {4, 1};
    rleShortLiteral.pixels = {0, 6, 1, 2};
    rleTopDown.height = -2;
    rleTopDown.pixels = {0, 1};
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {shortRows.Build(), "truncated"},
        {farOffset.Build(), "beyond the end"},
        {earlyOffset.Build(), "inside the headers"},
        {Patched(plain.Build(), 14, 200), "info header"},
        {CBmpBuilder{.bitCount = 8, .clrUsed = 300, .pixels = {0, 0, 0, 0}}.Build(), "colour count"},
        {noMasks, "masks"},
        {Patched(plain.Build(), 0, 'X'), "signature"},
        {Patched(plain.Build(), 26, 2), "plane"},
        {CBmpBuilder{.bitCount = 3, .pixels = {0, 0, 0, 0}}.Build(), "depth"},
        {CBmpBuilder{.compression = 4, .pixels = {0, 0, 0, 0}}.Build(), "compression"},
        {CBmpBuilder{.compression = kFields, .pixels = {0, 0, 0, 0}}.Build(), ""},
        {CBmpBuilder{.width = 0, .pixels = {0, 0, 0, 0}}.Build(), "empty"},
        {rleNoEnd.Build(), "end-of-bitmap"},
        {rleShortLiteral.Build(), "literal"},
        {rleTopDown.Build(), "top-down"},
    };
    for (const auto& [file, reason] : cases) {
        const std::string message = Refusal(file);
        EXPECT_FALSE(message.empty());
        EXPECT_NE(message.find(reason), std::string::npos) << message << " lacks " << reason;
    }
}

TEST(BmpRefusal, EveryShortenedFileIsRefused) {
    const std::vector<uint8_t> file =
        CBmpBuilder{3, 2, 8, 0, 2, TableBytes({kRed, kBlue}), std::vector<uint8_t>(8, 1)}.Build();
    test::ExpectEveryPrefixRefused(DecodeBmp, file, file.size());
}

TEST(BmpEncode, HeaderFieldsAndTheColourTableOffset) {
    CDibSection image;
    ASSERT_TRUE(image.Create(10, 10, 24));
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp(image, file).ok);
    ASSERT_EQ(file.size(), 374u);
    EXPECT_EQ(test::ReadU16At(file, 0), 'B' | 'M' << 8);
    // {offset, value}: file size, two reserved, pixel offset, header size, width, height, planes, depth,
    // compression, image size (ten rows of 32 bytes), colours used.
    const std::pair<std::size_t, uint32_t> u32s[] = {{2, 374}, {6, 0},  {10, 54},  {14, 40}, {18, 10},
                                                     {22, 10}, {30, 0}, {34, 320}, {46, 0}};
    for (const auto& [at, value] : u32s)
        EXPECT_EQ(test::ReadU32At(file, at), value) << "offset " << at;
    EXPECT_EQ(test::ReadU16At(file, 26), 1);
    EXPECT_EQ(test::ReadU16At(file, 28), 24);

    ASSERT_TRUE(image.Create(3, 1, 8));
    ASSERT_TRUE(EncodeBmp(image, file).ok);
    EXPECT_EQ(test::ReadU32At(file, 10), 54u + 1024u);
    EXPECT_EQ(test::ReadU32At(file, 2), 54u + 1024u + 4u);
    EXPECT_EQ(file.size(), 54u + 1024u + 4u);

    EXPECT_FALSE(EncodeBmp(CDibSection{}, file).ok);
}

TEST(BmpRoundTrip, EveryStoredDepthDecodesToTheSamePixels) {
    const CDibSection picture = test::MakeTestPicture(7, 5);
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp(picture, file).ok);
    EXPECT_EQ(Decode(file), picture);

    for (uint16_t depth : {1, 2, 4, 8}) {
        const CDibSection indexed = test::MakeIndexedPicture(
            9, 3, depth,
            [](std::size_t i) {
                return MakeTableEntry(static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i), 7);
            },
            [](int32_t x, int32_t y) { return x + 3 * y; });
        ASSERT_TRUE(EncodeBmp(indexed, file).ok);
        const CDibSection decoded = Decode(file);
        EXPECT_EQ(decoded.GetBitCount(), depth);
        EXPECT_EQ(Colours(decoded), Colours(indexed)) << depth << " bits";
    }

    // A top-down 16-bit 5-6-5 bitmap keeps its colours.
    const CBitmapInfoHeader h{
        .size = 40, .width = 2, .height = -1, .planes = 1, .bitCount = 16, .compression = kFields};
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    const uint8_t pixels[4] = {0x00, 0xF8, 0x1F, 0x00};
    CDibSection fields;
    ASSERT_TRUE(fields.SetFromDib(h, masks, pixels));
    ASSERT_TRUE(EncodeBmp(fields, file).ok);
    EXPECT_EQ(Colours(Decode(file)), (Pixels{kRed, kBlue}));
}

} // namespace
} // namespace pq
