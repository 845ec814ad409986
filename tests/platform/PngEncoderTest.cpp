// The PNG writer against our reader, libpng's own writer and ImageMagick: every kind of picture decodes
// to exactly the pixels written, rendered pages are stored unfiltered and gradients filtered, and the
// files are no larger than libpng's at its defaults.
#include "platform/image/PngCodec.h"

#include "ImageTestHelpers.h"
#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <string>

namespace pq {
namespace {

using test::Colours;

// A page-like picture: discs of flat colour at scattered places on white, their edges blended over
// about a pixel as an anti-aliased renderer leaves them, so most rows repeat the one above only in part.
CDibSection MakeRenderedPage(int32_t width, int32_t height, uint16_t depth = 32) {
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
        const uint8_t colour[3] = {static_cast<uint8_t>(next(256)), static_cast<uint8_t>(next(256)),
                                   static_cast<uint8_t>(next(256))};
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

void AppendOutput(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// The size of the file libpng writes for a 24-bit picture at its defaults (every filter, zlib level 6).
std::size_t LibpngSize(const CDibSection& image) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendOutput, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.GetWidth()),
                 static_cast<png_uint_32>(image.GetHeight()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(3 * static_cast<std::size_t>(image.GetWidth()));
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        for (int32_t x = 0; x < image.GetWidth(); ++x) {
            const uint32_t rgb = GetPixelColour(image, x, y);
            row[3 * x] = RedOf(rgb), row[3 * x + 1] = GreenOf(rgb), row[3 * x + 2] = BlueOf(rgb);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out.size();
}

CDibSection Noise(int32_t width, int32_t height) {
    return test::MakeTestPicture(width, height, 77);
}

CDibSection Indexed(int32_t width, int32_t height, uint16_t depth) {
    CDibSection image;
    EXPECT_TRUE(image.Create(width, height, depth));
    std::vector<uint32_t> table(1u << depth);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = MakeTableEntry(static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i), 3);
    EXPECT_TRUE(image.SetColourTable(table));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            SetPackedIndex(GetRowFromTop(image, y), x, depth,
                           static_cast<uint32_t>(x * x + 3 * y) % table.size());
    return image;
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
    pictures["1 x 1"] = Noise(1, 1);
    pictures["1 x 1, 32-bit"] = MakeRenderedPage(1, 1);
    pictures["one column"] = test::MakeGradient(2, 40);
    pictures["swapped bit fields"] = SwappedFields(13, 5);
    CDibSection sixteen;
    ASSERT_TRUE(sixteen.Create(9, 4, 16));
    for (std::size_t i = 0; i < sixteen.GetBits().size(); ++i)
        sixteen.GetBits()[i] = static_cast<uint8_t>(i * 53);
    pictures["16-bit 5-5-5"] = sixteen;
    for (uint16_t depth : {1, 4, 8})
        pictures[std::to_string(depth) + "-bit indexed, odd width"] = Indexed(depth == 8 ? 33 : 13, 7, depth);
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
    }
}

// 24-bit rows are reordered several pixels a step with a tail done one or two at a time, and rows as
// narrow as a step or two, and widths whose padding lets a step read further, are where the steps end.
TEST(PngWriter, TwentyFourBitRowsOfEveryWidthKeepEveryPixel) {
    for (int32_t width = 1; width <= 40; ++width) {
        const CDibSection picture = Noise(width, 3);
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodePng(picture, file).ok) << width;
        CDibSection decoded;
        ASSERT_TRUE(DecodePng(file, decoded).ok) << width;
        EXPECT_EQ(Colours(decoded), Colours(picture)) << "width " << width;
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

} // namespace
} // namespace pq
