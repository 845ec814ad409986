#include "platform/image/PngCodec.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

namespace pq {
namespace {

using test::Colours;

// Writes a PNG with libpng directly from rows of raw samples, for colour types our encoder does not make.
struct CPngLayout {
    int width = 1;
    int height = 1;
    int depth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    bool greyKey = false;
    png_uint_16 greyKeyValue = 0;
    std::vector<std::vector<uint8_t>> rows;
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
                 layout.depth, layout.colourType, layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
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

TEST(PngRoundTrip, TwentyFourBitIsExact) {
    const CDibSection picture = test::MakeTestPicture(9, 7, 5);
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(picture, file).ok);
    const CDibSection decoded = Decode(file);
    EXPECT_EQ(decoded.GetBitCount(), 24);
    EXPECT_EQ(Colours(decoded), Colours(picture));
}

TEST(PngRoundTrip, IndexedDepthsKeepTheirColours) {
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
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodePng(indexed, file).ok);
        const CDibSection decoded = Decode(file);
        EXPECT_EQ(decoded.GetBitCount(), 8);
        EXPECT_EQ(Colours(decoded), Colours(indexed)) << depth << " bits";
    }
}

TEST(PngRoundTrip, ThirtyTwoBitBitmapIsWrittenAsRgb) {
    CDibSection image;
    ASSERT_TRUE(image.Create(2, 1, 32));
    auto row = GetRowFromTop(image, 0);
    const uint8_t pixels[8] = {10, 20, 30, 0, 200, 100, 50, 0}; // blue, green, red, unused
    std::copy(std::begin(pixels), std::end(pixels), row.begin());
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(image, file).ok);
    EXPECT_EQ(Colours(Decode(file)), (std::vector<uint32_t>{MakeRgb(30, 20, 10), MakeRgb(50, 100, 200)}));
}

TEST(PngDecode, AlphaIsCompositedOnWhite) {
    CPngLayout layout;
    layout.width = 3;
    layout.colourType = PNG_COLOR_TYPE_RGBA;
    layout.rows = {{255, 0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 128}};
    EXPECT_EQ(Colours(Decode(WritePng(layout))),
              (std::vector<uint32_t>{MakeRgb(255, 0, 0), MakeRgb(255, 255, 255), MakeRgb(127, 127, 127)}));

    layout.width = 2;
    layout.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    layout.depth = 16;
    layout.rows = {{0x12, 0x34, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00}};
    EXPECT_EQ(Colours(Decode(WritePng(layout))),
              (std::vector<uint32_t>{MakeRgb(0x12, 0x12, 0x12), MakeRgb(255, 255, 255)}));
}

TEST(PngDecode, PaletteTransparencyIsCompositedPerEntry) {
    CPngLayout layout;
    layout.width = 2;
    layout.colourType = PNG_COLOR_TYPE_PALETTE;
    layout.palette = {{0, 0, 0}, {0, 0, 255}};
    layout.paletteAlpha = {0};
    layout.rows = {{0, 1}};
    const CDibSection image = Decode(WritePng(layout));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(Colours(image), (std::vector<uint32_t>{MakeRgb(255, 255, 255), MakeRgb(0, 0, 255)}));
}

TEST(PngDecode, GreyDepthsAndGreyKey) {
    CPngLayout layout;
    layout.width = 4;
    layout.colourType = PNG_COLOR_TYPE_GRAY;
    layout.depth = 2;
    layout.rows = {{0x1B}};
    CDibSection image = Decode(WritePng(layout));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(Colours(image),
              (std::vector<uint32_t>{0, MakeRgb(85, 85, 85), MakeRgb(170, 170, 170), 0xFFFFFF}));

    layout.width = 1;
    layout.depth = 16;
    layout.rows = {{0xAB, 0xCD}};
    EXPECT_EQ(Colours(Decode(WritePng(layout))), (std::vector<uint32_t>{MakeRgb(0xAB, 0xAB, 0xAB)}));

    layout.width = 2;
    layout.depth = 8;
    layout.greyKey = true;
    layout.greyKeyValue = 7;
    layout.rows = {{7, 8}};
    EXPECT_EQ(Colours(Decode(WritePng(layout))), (std::vector<uint32_t>{0xFFFFFF, MakeRgb(8, 8, 8)}));
}

TEST(PngDecode, InterlacedPictureIsExact) {
    CPngLayout layout;
    layout.width = 9;
    layout.height = 9;
    layout.interlaced = true;
    CDibSection expected;
    ASSERT_TRUE(expected.Create(9, 9, 24));
    for (int y = 0; y < 9; ++y) {
        std::vector<uint8_t> row;
        auto target = GetRowFromTop(expected, y);
        for (int x = 0; x < 9; ++x) {
            const auto r = static_cast<uint8_t>(x * 28);
            const auto g = static_cast<uint8_t>(y * 28);
            const auto b = static_cast<uint8_t>(x * y);
            row.insert(row.end(), {r, g, b});
            target[3 * x] = b;
            target[3 * x + 1] = g;
            target[3 * x + 2] = r;
        }
        layout.rows.push_back(row);
    }
    EXPECT_EQ(Colours(Decode(WritePng(layout))), Colours(expected));
}

TEST(PngRefusal, HugeClaimIsRefusedBeforeAllocating) {
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(test::MakeTestPicture(4, 4), file).ok);
    // IHDR data starts at 16: width and height, big-endian; its CRC covers type and data (12..28).
    for (std::size_t at : {16u, 20u}) {
        file[at] = 0;
        file[at + 1] = 0;
        file[at + 2] = 20000 >> 8;
        file[at + 3] = 20000 & 255;
    }
    const uLong crc = crc32(0, file.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        file[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    CDibSection image;
    test::StartAllocationProbe();
    const CImageResult result = DecodePng(file, image);
    EXPECT_LT(test::StopAllocationProbe(), 4096u);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("limit"), std::string::npos) << result.message;
    EXPECT_TRUE(image.IsEmpty());
}

TEST(PngRefusal, TruncatedCorruptAndForeignData) {
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(test::MakeTestPicture(16, 16), file).ok);
    CDibSection image;
    const std::vector<uint8_t> half(file.begin(),
                                    file.begin() + static_cast<std::ptrdiff_t>(file.size() / 2));
    CImageResult result = DecodePng(half, image);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("ends before"), std::string::npos) << result.message;
    EXPECT_TRUE(image.IsEmpty());

    std::vector<uint8_t> corrupt = file;
    corrupt[file.size() / 2] ^= 0x55; // inside the pixel data: its CRC no longer matches
    EXPECT_FALSE(DecodePng(corrupt, image).ok);

    result = DecodePng(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0}, image);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("signature"), std::string::npos);
    EXPECT_FALSE(EncodePng(CDibSection{}, file).ok);
}

} // namespace
} // namespace pq
