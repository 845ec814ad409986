// The PNG reader and writer: foreign layouts written by libpng decode composited on white, damaged files
// are refused, and every kind of picture we write decodes to exactly its pixels (also in ImageMagick),
// with rendered pages stored unfiltered, gradients filtered, and files no larger than libpng's own.
#include "platform/image/PngCodec.h"
#include "platform/image/ImageFile.h"

#include "AllocationProbe.h"
#include "ImageTestHelpers.h"
#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

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

// A page-like picture: discs of flat colour (or grey) at scattered places on white, their edges blended
// over about a pixel as an anti-aliased renderer leaves them, so most rows repeat the one above only in part.
CDibSection MakeRenderedPage(int32_t width, int32_t height, uint16_t depth = 32, bool grey = false) {
    CDibSection image;
    EXPECT_TRUE(image.Create(width, height, depth));
    const std::size_t bytes = depth / 8;
    std::vector<uint8_t> bgr(3 * static_cast<std::size_t>(width) * height, 255);
    uint32_t state = 99;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int32_t>((state >> 8) % range);
    };
    for (int disc = 0; disc < 40; ++disc) {
        const int32_t cx = next(static_cast<uint32_t>(width)), cy = next(static_cast<uint32_t>(height));
        const int32_t radius = 3 + next(25);
        uint8_t colour[3] = {static_cast<uint8_t>(next(256)), static_cast<uint8_t>(next(256)),
                             static_cast<uint8_t>(next(256))};
        if (grey)
            colour[1] = colour[2] = colour[0];
        for (int32_t y = std::max(0, cy - radius - 1); y < std::min(height, cy + radius + 2); ++y) {
            for (int32_t x = std::max(0, cx - radius - 1); x < std::min(width, cx + radius + 2); ++x) {
                const double outside = std::hypot(x - cx, y - cy) - radius; // coverage falls over one pixel
                const int cover = outside <= -0.5  ? 256
                                  : outside >= 0.5 ? 0
                                                   : static_cast<int>((0.5 - outside) * 256);
                uint8_t* p = bgr.data() + 3 * (static_cast<std::size_t>(y) * width + x);
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<uint8_t>((colour[c] * cover + p[c] * (256 - cover)) >> 8);
            }
        }
    }
    for (int32_t y = 0; y < height; ++y) {
        auto row = GetRowFromTop(image, y);
        for (int32_t x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                row[bytes * x + c] = bgr[3 * (static_cast<std::size_t>(y) * width + x) + c];
    }
    return image;
}

// The filter byte of each row, read back by inflating the IDAT chunks of a file we wrote (8-bit RGB).
std::vector<int> FilterBytes(const std::vector<uint8_t>& file, std::size_t rowBytes, std::size_t rows) {
    std::vector<uint8_t> stream;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length =
            static_cast<std::size_t>(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (std::string(file.begin() + static_cast<std::ptrdiff_t>(at) + 4,
                        file.begin() + static_cast<std::ptrdiff_t>(at) + 8) == "IDAT")
            stream.insert(stream.end(), file.begin() + static_cast<std::ptrdiff_t>(at) + 8,
                          file.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        at += 12 + length;
    }
    std::vector<uint8_t> raw((rowBytes + 1) * rows);
    uLongf rawBytes = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &rawBytes, stream.data(), stream.size()), Z_OK);
    EXPECT_EQ(rawBytes, raw.size());
    std::vector<int> filters;
    for (std::size_t y = 0; y < rows; ++y)
        filters.push_back(raw[y * (rowBytes + 1)]);
    return filters;
}

// The size of the file libpng writes for a 24-bit picture at its defaults (every filter, zlib level 6).
std::size_t LibpngSize(const CDibSection& image) {
    CPngLayout layout{.width = image.GetWidth(), .height = image.GetHeight()};
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        layout.rows.emplace_back();
        for (int32_t x = 0; x < image.GetWidth(); ++x) {
            const uint32_t rgb = GetPixelColour(image, x, y);
            layout.rows.back().insert(layout.rows.back().end(), {RedOf(rgb), GreenOf(rgb), BlueOf(rgb)});
        }
    }
    return WritePng(layout).size();
}

CDibSection Noise(int32_t width, int32_t height) {
    return test::MakeTestPicture(width, height, 77);
}

CDibSection Indexed(int32_t width, int32_t height, uint16_t depth) {
    return test::MakeIndexedPicture(
        width, height, depth,
        [](std::size_t i) {
            return MakeTableEntry(static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i), 3);
        },
        [](int32_t x, int32_t y) { return x * x + 3 * y; });
}

// Rows of flat colour, horizontal gradients, vertical gradients and noise: each filter the writer may
// choose gets used.
CDibSection MixedRows(int32_t width, int32_t height) {
    CDibSection picture;
    EXPECT_TRUE(picture.Create(width, height, 24));
    uint32_t noise = 12345;
    for (int32_t y = 0; y < height; ++y) {
        auto row = GetRowFromTop(picture, y);
        for (int32_t x = 0; x < width; ++x) {
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
    return picture;
}

CDibSection White(int32_t width, int32_t height) {
    CDibSection white;
    EXPECT_TRUE(white.Create(width, height, 24));
    std::fill(white.GetBits().begin(), white.GetBits().end(), uint8_t{255});
    return white;
}

// A 32-bit bitmap whose bit fields put red in the low byte, the opposite of the usual order.
CDibSection SwappedFields(int32_t width, int32_t height) {
    CBitmapInfoHeader header{.size = 40,
                             .width = width,
                             .height = -height,
                             .planes = 1,
                             .bitCount = 32,
                             .compression = CBitmapInfoHeader::kCompressionFields};
    std::vector<uint8_t> pixels(4 * static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 29 + i / 7);
    const uint32_t masks[3] = {0x0000FF, 0x00FF00, 0xFF0000};
    CDibSection image;
    EXPECT_TRUE(image.SetFromDib(header, masks, pixels));
    return image;
}

TEST(PngWriter, EveryKindOfPictureDecodesToExactlyItsPixels) {
    std::map<std::string, CDibSection> pictures;
    pictures["rendered page 32-bit, odd size"] = MakeRenderedPage(301, 123);
    pictures["rendered page 24-bit"] = MakeRenderedPage(200, 64, 24);
    pictures["gradient"] = test::MakeGradient(257, 99);
    pictures["noise"] = Noise(61, 17);
    pictures["noise, another seed"] = test::MakeTestPicture(9, 7, 5);
    pictures["rows of every kind"] = MixedRows(37, 40);
    pictures["white page"] = White(500, 700);
    pictures["1 x 1"] = Noise(1, 1);
    pictures["1 x 1, 32-bit"] = MakeRenderedPage(1, 1);
    pictures["one column"] = test::MakeGradient(2, 40);
    pictures["swapped bit fields"] = SwappedFields(13, 5);
    CDibSection sixteen;
    ASSERT_TRUE(sixteen.Create(9, 4, 16));
    for (std::size_t i = 0; i < sixteen.GetBits().size(); ++i)
        sixteen.GetBits()[i] = static_cast<uint8_t>(i * 53);
    pictures["16-bit 5-5-5"] = sixteen;
    pictures["grey page 32-bit"] = MakeRenderedPage(301, 123, 32, true);
    pictures["grey page 24-bit"] = MakeRenderedPage(200, 64, 24, true);
    CDibSection greyButOne = MakeRenderedPage(97, 31, 32, true); // the very last pixel is not grey
    GetRowFromTop(greyButOne, 30)[4 * 96] ^= 1;
    pictures["grey page but its last pixel"] = greyButOne;
    CDibSection greySixteen;
    ASSERT_TRUE(greySixteen.Create(9, 4, 16));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            const auto level = static_cast<uint16_t>((3 * x + 7 * y) % 32);
            const auto pixel = static_cast<uint16_t>(level << 10 | level << 5 | level);
            std::memcpy(GetRowFromTop(greySixteen, y).data() + 2 * x, &pixel, 2);
        }
    pictures["grey 16-bit 5-5-5"] = greySixteen;
    for (uint16_t depth : {1, 2, 4, 8}) {
        pictures[std::to_string(depth) + "-bit indexed, odd width"] = Indexed(depth == 8 ? 33 : 13, 7, depth);
        pictures[std::to_string(depth) + "-bit indexed, 11 x 3"] = test::MakeIndexedPicture(
            11, 3, depth,
            [](std::size_t i) {
                return MakeTableEntry(static_cast<uint8_t>(i * 41), 9, static_cast<uint8_t>(255 - i));
            },
            [](int32_t x, int32_t y) { return 5 * x + y; });
    }
    CDibSection repeating = Noise(40, 1);
    CDibSection tall;
    ASSERT_TRUE(tall.Create(40, 30, 24));
    for (int32_t y = 0; y < 30; ++y) // rows repeating the one above, with one change midway
        std::copy_n(GetRowFromTop(repeating, 0).data(), 120, GetRowFromTop(tall, y).data());
    GetRowFromTop(tall, 15)[7] ^= 1;
    pictures["repeating rows"] = tall;
    CDibSection steps = test::MakeGradient(64, 12); // filtered rows, then rows repeating a filtered row
    for (int32_t y = 5; y < 9; ++y)
        std::copy_n(GetRowFromTop(steps, 4).data(), 3 * 64, GetRowFromTop(steps, y).data());
    pictures["gradient with repeating rows"] = steps;

    for (const auto& [name, picture] : pictures) {
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodePng(picture, file).ok) << name;
        CDibSection decoded;
        ASSERT_TRUE(DecodePng(file, decoded).ok) << name;
        EXPECT_EQ(Colours(decoded), Colours(picture)) << name;
        // Indexed pictures stay indexed; grey ones go out as grey, which decodes to a grey table.
        const Pixels colours = Colours(picture);
        const bool grey = std::all_of(colours.begin(), colours.end(), [](uint32_t rgb) {
            return RedOf(rgb) == GreenOf(rgb) && GreenOf(rgb) == BlueOf(rgb);
        });
        EXPECT_EQ(decoded.GetBitCount(), picture.GetBitCount() <= 8 || grey ? 8 : 24) << name;
    }

    // A grey page holds a third of the samples of the same page with one pixel of colour.
    std::vector<uint8_t> greyFile, colourFile;
    ASSERT_TRUE(EncodePng(pictures["grey page 32-bit"], greyFile).ok);
    CDibSection tinted = pictures["grey page 32-bit"];
    GetRowFromTop(tinted, 0)[0] ^= 1;
    ASSERT_TRUE(EncodePng(tinted, colourFile).ok);
    EXPECT_LT(greyFile.size(), colourFile.size() * 3 / 4);

    // A 32-bit bitmap (blue, green, red, unused) is written as RGB.
    CDibSection wide;
    ASSERT_TRUE(wide.Create(2, 1, 32));
    const uint8_t pixels[8] = {10, 20, 30, 0, 200, 100, 50, 0};
    std::copy(std::begin(pixels), std::end(pixels), GetRowFromTop(wide, 0).begin());
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePng(wide, file).ok);
    CDibSection decoded;
    ASSERT_TRUE(DecodePng(file, decoded).ok);
    EXPECT_EQ(Colours(decoded), (std::vector<uint32_t>{MakeRgb(30, 20, 10), MakeRgb(50, 100, 200)}));
}

// Files written to disk come from the encoder's own block, not from a copy: they hold the same bytes as
// the encoding into a vector, and a moved file takes its block along.
TEST(PngWriter, FilesOnDiskHoldWhatTheEncoderMade) {
    test::CTempFolder folder;
    for (const CDibSection& picture :
         {MakeRenderedPage(301, 123), Noise(200, 50), test::MakeGradient(90, 40)}) {
        std::vector<uint8_t> encoded;
        ASSERT_TRUE(EncodePng(picture, encoded).ok);
        ASSERT_TRUE(WritePngFile(folder.File("x.png"), picture).ok);
        EXPECT_EQ(test::ReadFileBytes(folder.File("x.png")), encoded);

        CPngFile file;
        ASSERT_TRUE(EncodePng(picture, file).ok);
        CPngFile moved(std::move(file));
        CPngFile assigned;
        ASSERT_TRUE(EncodePng(White(3, 3), assigned).ok);
        assigned = std::move(moved);
        EXPECT_TRUE(file.Bytes().empty());
        EXPECT_TRUE(moved.Bytes().empty());
        EXPECT_TRUE(
            std::equal(encoded.begin(), encoded.end(), assigned.Bytes().begin(), assigned.Bytes().end()));
    }
}

// 24-bit rows are reordered several pixels a step with a tail done one or two at a time, and rows as
// narrow as a step or two, and widths whose padding lets a step read further, are where the steps end.
// Filters run 16 bytes a step from the second pixel with a tail done a byte at a time, so gradients
// (filtered) as narrow as a pixel and as wide as a few steps are where they must agree with the decoder.
TEST(PngWriter, TwentyFourBitRowsOfEveryWidthKeepEveryPixel) {
    for (int32_t width = 1; width <= 40; ++width) {
        CDibSection gradient; // steps of 1 to 3 between neighbours: filtered
        ASSERT_TRUE(gradient.Create(width, 6, 24));
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < width; ++x)
                for (int32_t c = 0; c < 3; ++c)
                    GetRowFromTop(gradient, y)[3 * x + c] = static_cast<uint8_t>(200 - x * (c + 1) + y * 3);
        // Rising by 2 along rows and falling by 3 down columns: Average, rounding down, predicts each
        // sample exactly, the others miss by one or more (beyond the narrowest rows, where the first pixel
        // weighs most).
        CDibSection means;
        ASSERT_TRUE(means.Create(width, 6, 24));
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < width; ++x)
                for (int32_t c = 0; c < 3; ++c)
                    GetRowFromTop(means, y)[3 * x + c] = static_cast<uint8_t>(20 + 2 * x + 3 * (5 - y) + c);
        if (width >= 16) { // Average, and nothing else, predicts the rows below the first exactly
            std::vector<uint8_t> file;
            ASSERT_TRUE(EncodePng(means, file).ok);
            EXPECT_EQ(FilterBytes(file, 3 * static_cast<std::size_t>(width), 6),
                      (std::vector<int>{1, 3, 3, 3, 3, 3}))
                << "width " << width;
        }
        for (const CDibSection& picture : {Noise(width, 3), gradient, means}) {
            std::vector<uint8_t> file;
            ASSERT_TRUE(EncodePng(picture, file).ok) << width;
            CDibSection decoded;
            ASSERT_TRUE(DecodePng(file, decoded).ok) << width;
            EXPECT_EQ(Colours(decoded), Colours(picture)) << "width " << width;
        }
    }
}

TEST(PngWriter, PagesStayUnfilteredAndGradientsAreFiltered) {
    std::vector<uint8_t> file;
    const CDibSection page = MakeRenderedPage(301, 123);
    ASSERT_TRUE(EncodePng(page, file).ok);
    const std::vector<int> pageFilters = FilterBytes(file, 3 * 301, 123);
    EXPECT_EQ(std::count(pageFilters.begin(), pageFilters.end(), 0), 123) << "a page row was filtered";
    EXPECT_LE(file.size(), LibpngSize(page)) << "filters that cost more than they save";

    const CDibSection gradient = test::MakeGradient(257, 99);
    ASSERT_TRUE(EncodePng(gradient, file).ok);
    const std::vector<int> filters = FilterBytes(file, 3 * 257, 99);
    EXPECT_EQ(std::count(filters.begin(), filters.end(), 0), 0) << "a gradient row was left unfiltered";
    EXPECT_LE(file.size(), LibpngSize(gradient) * 11 / 10);

    // A plain page compresses to a small file: of 1 MB of rows; deflate cannot go below about 1 KB.
    ASSERT_TRUE(EncodePng(White(500, 700), file).ok);
    EXPECT_LT(file.size(), 3000u);

    // Noise cannot be compressed; the file is about the raw size, not larger.
    const CDibSection noise = Noise(200, 50);
    ASSERT_TRUE(EncodePng(noise, file).ok);
    EXPECT_LE(file.size(), 3 * 200 * 50 + 51 + 200);
}

TEST(PngWriter, ImageMagickReadsTheSamePixelsAndPngcheckFindsNoFault) {
    if (test::PeerMissing("/usr/bin/convert") || test::PeerMissing("/usr/bin/pngcheck"))
        return;
    test::CTempFolder folder;
    const std::pair<std::string, CDibSection> pictures[] = {{"page", MakeRenderedPage(131, 47)},
                                                            {"gradient", test::MakeGradient(64, 33)},
                                                            {"grey-page", MakeRenderedPage(97, 41, 24, true)},
                                                            {"indexed", Indexed(13, 7, 4)}};
    for (const auto& [name, picture] : pictures) {
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodePng(picture, file).ok);
        const std::string path = folder.File(name + ".png");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        std::string rgb;
        ASSERT_EQ(
            test::RunCommand("/usr/bin/convert " + path + " -depth 8 rgb:" + folder.File(name + ".rgb"), rgb),
            0)
            << rgb;
        rgb = test::ReadFileText(folder.File(name + ".rgb"));
        std::vector<uint32_t> read;
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
            read.push_back(MakeRgb(static_cast<uint8_t>(rgb[i]), static_cast<uint8_t>(rgb[i + 1]),
                                   static_cast<uint8_t>(rgb[i + 2])));
        EXPECT_EQ(read, Colours(picture)) << name;
        std::string report; // pngcheck checks every chunk and the stream
        EXPECT_EQ(test::RunCommand("/usr/bin/pngcheck " + path, report), 0) << report;
    }
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
