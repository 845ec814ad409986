#include "platform/image/PngCodec.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

namespace pq {
namespace {

using test::Colours;
using Pixels = std::vector<uint32_t>;

// Writes a PNG with libpng directly from rows of raw samples, for colour types our encoder does not make.
struct CPngLayout {
    int width = 1;
    int height = 1;
    int depth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette{};
    std::vector<png_byte> paletteAlpha{};
    bool greyKey = false;
    png_uint_16 greyKeyValue = 0;
    std::vector<std::vector<uint8_t>> rows{};
};

void AppendOutput(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

std::vector<uint8_t> WritePng(const CPngLayout& layout) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendOutput, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width), static_cast<png_uint_32>(layout.height),
                 layout.depth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()),
                     nullptr);
    if (layout.greyKey) {
        png_color_16 key{};
        key.gray = layout.greyKeyValue;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (const auto& row : layout.rows)
            png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

CDibSection Decode(const std::vector<uint8_t>& file) {
    CDibSection image;
    const CImageResult result = DecodePng(file, image);
    EXPECT_TRUE(result.ok) << result.message;
    return image;
}

TEST(PngRoundTrip, EveryDepthKeepsItsColoursExactly) {
    const CDibSection picture = test::MakeTestPicture(9, 7, 5);
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(picture, file).ok);
    CDibSection decoded = Decode(file);
    EXPECT_EQ(decoded.GetBitCount(), 24);
    EXPECT_EQ(Colours(decoded), Colours(picture));

    for (uint16_t depth : {1, 2, 4, 8}) {
        CDibSection indexed;
        ASSERT_TRUE(indexed.Create(11, 3, depth));
        std::vector<uint32_t> table(1u << depth);
        for (std::size_t i = 0; i < table.size(); ++i)
            table[i] = MakeTableEntry(static_cast<uint8_t>(i * 41), 9, static_cast<uint8_t>(255 - i));
        ASSERT_TRUE(indexed.SetColourTable(table));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 11; ++x)
                SetPackedIndex(GetRowFromTop(indexed, y), x, depth,
                               static_cast<uint32_t>(5 * x + y) % table.size());
        ASSERT_TRUE(EncodePng(indexed, file).ok);
        decoded = Decode(file);
        EXPECT_EQ(decoded.GetBitCount(), 8);
        EXPECT_EQ(Colours(decoded), Colours(indexed)) << depth << " bits";
    }

    // A 32-bit bitmap (blue, green, red, unused) is written as RGB.
    CDibSection wide;
    ASSERT_TRUE(wide.Create(2, 1, 32));
    const uint8_t pixels[8] = {10, 20, 30, 0, 200, 100, 50, 0};
    std::copy(std::begin(pixels), std::end(pixels), GetRowFromTop(wide, 0).begin());
    ASSERT_TRUE(EncodePng(wide, file).ok);
    EXPECT_EQ(Colours(Decode(file)), (Pixels{MakeRgb(30, 20, 10), MakeRgb(50, 100, 200)}));
}

TEST(PngRoundTrip, RowsOfEveryKindComeBackExactlyWhateverFilterTheyGet) {
    // Rows repeating the one above, horizontal gradients, vertical gradients and noise: each filter the
    // writer may choose gets used, and every row must decode to what was written.
    CDibSection picture;
    ASSERT_TRUE(picture.Create(37, 40, 24));
    uint32_t noise = 12345;
    for (int32_t y = 0; y < 40; ++y) {
        auto row = GetRowFromTop(picture, y);
        for (int32_t x = 0; x < 37; ++x) {
            uint8_t* p = row.data() + 3 * x;
            if (y < 10) {
                p[0] = 200, p[1] = 30, p[2] = 90;
            } else if (y < 20) {
                p[0] = static_cast<uint8_t>(7 * x), p[1] = static_cast<uint8_t>(255 - 5 * x), p[2] = 9;
            } else if (y < 30) {
                p[0] = static_cast<uint8_t>(11 * y), p[1] = static_cast<uint8_t>(3 * y + x / 20), p[2] = 250;
            } else {
                for (int c = 0; c < 3; ++c) {
                    noise = noise * 1103515245 + 12345;
                    p[c] = static_cast<uint8_t>(noise >> 16);
                }
            }
        }
    }
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(picture, file).ok);
    EXPECT_EQ(Colours(Decode(file)), Colours(picture));
    // A plain page compresses to a small file.
    CDibSection white;
    ASSERT_TRUE(white.Create(500, 700, 24));
    std::fill(white.GetBits().begin(), white.GetBits().end(), uint8_t{255});
    ASSERT_TRUE(EncodePng(white, file).ok);
    EXPECT_LT(file.size(), 3000u); // of 1 MB of rows; deflate cannot go below about 1 KB
    EXPECT_EQ(Colours(Decode(file)), Colours(white));
}

TEST(PngDecode, ForeignLayoutsAreCompositedOnWhite) {
    const uint32_t kWhite = 0xFFFFFF;
    const CPngLayout rgba{.width = 3,
                          .colourType = PNG_COLOR_TYPE_RGBA,
                          .rows = {{255, 0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 128}}};
    const CPngLayout greyAlpha16{.width = 2,
                                 .depth = 16,
                                 .colourType = PNG_COLOR_TYPE_GRAY_ALPHA,
                                 .rows = {{0x12, 0x34, 0xFF, 0xFF, 0, 0, 0, 0}}};
    const CPngLayout paletteAlpha{.width = 2,
                                  .colourType = PNG_COLOR_TYPE_PALETTE,
                                  .palette = {{0, 0, 0}, {0, 0, 255}},
                                  .paletteAlpha = {0},
                                  .rows = {{0, 1}}};
    const CPngLayout grey2{.width = 4, .depth = 2, .colourType = PNG_COLOR_TYPE_GRAY, .rows = {{0x1B}}};
    const CPngLayout grey16{.depth = 16, .colourType = PNG_COLOR_TYPE_GRAY, .rows = {{0xAB, 0xCD}}};
    const CPngLayout greyKey{
        .width = 2, .colourType = PNG_COLOR_TYPE_GRAY, .greyKey = true, .greyKeyValue = 7, .rows = {{7, 8}}};
    const std::pair<CPngLayout, Pixels> cases[] = {
        {rgba, {MakeRgb(255, 0, 0), kWhite, MakeRgb(127, 127, 127)}},
        {greyAlpha16, {MakeRgb(0x12, 0x12, 0x12), kWhite}},
        {paletteAlpha, {kWhite, MakeRgb(0, 0, 255)}},
        {grey2, {0, MakeRgb(85, 85, 85), MakeRgb(170, 170, 170), kWhite}},
        {grey16, {MakeRgb(0xAB, 0xAB, 0xAB)}},
        {greyKey, {kWhite, MakeRgb(8, 8, 8)}},
    };
    for (const auto& [layout, expected] : cases) {
        const CDibSection image = Decode(WritePng(layout));
        EXPECT_EQ(Colours(image), expected)
            << "colour type " << layout.colourType << ", depth " << layout.depth;
        if (layout.colourType == PNG_COLOR_TYPE_PALETTE || layout.depth < 8) {
            EXPECT_EQ(image.GetBitCount(), 8) << "palette and grey pictures stay paletted";
        }
    }

    // Interlaced rows land in place.
    CPngLayout interlaced{.width = 9, .height = 9, .interlaced = true};
    Pixels expected;
    for (int y = 0; y < 9; ++y) {
        interlaced.rows.emplace_back();
        for (int x = 0; x < 9; ++x) {
            const uint8_t rgb[3] = {static_cast<uint8_t>(x * 28), static_cast<uint8_t>(y * 28),
                                    static_cast<uint8_t>(x * y)};
            interlaced.rows.back().insert(interlaced.rows.back().end(), rgb, rgb + 3);
            expected.push_back(MakeRgb(rgb[0], rgb[1], rgb[2]));
        }
    }
    EXPECT_EQ(Colours(Decode(WritePng(interlaced))), expected);
}

// A small PNG whose header claims size x size pixels: IHDR data starts at 16 (width and height,
// big-endian) and its CRC covers type and data (12..28).
std::vector<uint8_t> ClaimingSize(uint32_t size) {
    std::vector<uint8_t> file;
    EXPECT_TRUE(EncodePng(test::MakeTestPicture(4, 4), file).ok);
    for (std::size_t at : {16u, 20u}) {
        for (int i = 0; i < 4; ++i)
            file[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(size >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, file.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        file[29 + static_cast<std::size_t>(i)] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return file;
}

TEST(PngRefusal, HugeClaimsAreRefusedBeforeAllocating) {
    test::ExpectRefusedBeforeAllocating(DecodePng, ClaimingSize(20000), "limit");
    // Within the size limit, but more pixels than the file's bytes could inflate to.
    test::ExpectRefusedBeforeAllocating(DecodePng, ClaimingSize(10000), "too short");
    // A picture that really is that large, all one colour, compresses far but still opens.
    std::vector<uint8_t> file;
    CDibSection image, plain;
    ASSERT_TRUE(plain.Create(3000, 3000, 24));
    ASSERT_TRUE(EncodePng(plain, file).ok);
    EXPECT_TRUE(DecodePng(file, image).ok);
}

TEST(PngRefusal, TruncatedCorruptAndForeignData) {
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(test::MakeTestPicture(16, 16), file).ok);
    test::ExpectEveryPrefixRefused(DecodePng, file, file.size());
    CDibSection image;
    EXPECT_NE(DecodePng(std::span(file).first(file.size() / 2), image).message.find("ends before"),
              std::string::npos);

    std::vector<uint8_t> corrupt = file;
    corrupt[file.size() / 2] ^= 0x55; // inside the pixel data: its CRC no longer matches
    EXPECT_FALSE(DecodePng(corrupt, image).ok);

    const CImageResult foreign = DecodePng(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0}, image);
    EXPECT_FALSE(foreign.ok);
    EXPECT_NE(foreign.message.find("signature"), std::string::npos);
    EXPECT_FALSE(EncodePng(CDibSection{}, file).ok);
}

} // namespace
} // namespace pq
