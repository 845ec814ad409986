#include "platform/DeviceContext.h"
#include "platform/DibSectionDraw.h"
#include "platform/image/DibPixels.h"

#include "ImageTestHelpers.h"
#include "RasterHelpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// An indexed image whose pixel (x, y) has index y * width + x, through a palette of distinct colours.
CDibSection MakeIndexed(int32_t width, int32_t height, uint16_t bitCount) {
    return test::MakeIndexedPicture(
        width, height, bitCount,
        [](std::size_t i) { return static_cast<uint32_t>(0x010203 * (i + 1)) & 0xFFFFFF; },
        [width](int32_t x, int32_t y) { return y * width + x; });
}

// The colour reference of palette entry i as MakeIndexed builds it.
uint32_t PaletteColour(uint32_t i) {
    return CDeviceContext::PixelToColor(static_cast<uint32_t>(0x010203 * (i + 1)) & 0xFFFFFF);
}

TEST(CDeviceContextBlit, StretchBltScalesPalettedImagesByNearestPixelCentres) {
    for (uint16_t depth : {1, 2, 4, 8}) {
        const CDibSection image = MakeIndexed(3, 2, depth);
        CDibSection target = MakeBitmap(12, 8, depth == 8 ? 24 : 32);
        CDeviceContext dc(&target);
        EXPECT_TRUE(dc.StretchBlt(1, 1, 7, 5, image, 0, 0, 3, 2, kRop3SrcCopy));
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 12; ++x) {
                // Pixel centre (i + 0.5) scaled into the source, truncated.
                const int sx = ((x - 1) * 2 + 1) * 3 / 14, sy = ((y - 1) * 2 + 1) * 2 / 10;
                const bool inside = x >= 1 && x < 8 && y >= 1 && y < 6;
                EXPECT_EQ(PixelAt(target, x, y),
                          inside ? PaletteColour(static_cast<uint32_t>(sy * 3 + sx) % (1u << depth)) : kWhite)
                    << depth << " bits at " << x << "," << y;
            }
        }
    }

    // A negative height turns the image upside down.
    const CDibSection image = MakeIndexed(4, 3, 8);
    CDibSection target = MakeBitmap(4, 3, 24);
    CDeviceContext dc(&target);
    EXPECT_TRUE(dc.StretchBlt(0, 2, 4, -3, image, 0, 0, 4, 3, kRop3SrcCopy));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(target, x, y), PaletteColour(static_cast<uint32_t>((2 - y) * 4 + x)));

    // 16 bits without masks are 5-5-5; 32 bits with bit fields use the masks in the colour table.
    CDibSection sixteen;
    sixteen.Create(1, 1, 16);
    sixteen.GetBits()[0] = 0x1F; // blue 31
    sixteen.GetBits()[1] = 0x7C; // red 31
    const CBitmapInfoHeader h{.size = 40,
                              .width = 1,
                              .height = 1,
                              .planes = 1,
                              .bitCount = 32,
                              .compression = CBitmapInfoHeader::kCompressionFields};
    const uint32_t masks[3] = {0x000000FF, 0x0000FF00, 0x00FF0000}; // red in the low byte
    const uint8_t pixel[4] = {0x11, 0x22, 0x33, 0x00};
    CDibSection fields;
    ASSERT_TRUE(fields.SetFromDib(h, masks, pixel));
    dc.BitBlt(0, 0, 1, 1, sixteen, 0, 0, kRop3SrcCopy);
    dc.BitBlt(1, 0, 1, 1, fields, 0, 0, kRop3SrcCopy);
    EXPECT_EQ(PixelAt(target, 0, 0), 0xFF00FFu);
    EXPECT_EQ(PixelAt(target, 1, 0), 0x332211u); // red 0x11, green 0x22, blue 0x33
}

TEST(CDeviceContextBlit, BitBltCopiesInvertsAndLeavesUnmappedPixels) {
    CDibSection source = MakeBitmap(6, 6, 32, 0x102030);
    CDeviceContext src(&source);
    src.SetPixel(0, 0, 0x0000FF);
    CDibSection target = MakeBitmap(10, 10, 24);
    CDeviceContext dc(&target);
    // Starting at source (-2, -2): the two columns and rows outside the source keep the destination.
    EXPECT_TRUE(dc.BitBlt(1, 1, 5, 5, src, -2, -2, kRop3SrcCopy));
    EXPECT_EQ(PixelAt(target, 2, 2), kWhite);
    EXPECT_EQ(PixelAt(target, 3, 3), 0x0000FFu);
    EXPECT_EQ(PixelAt(target, 5, 5), 0x102030u);
    EXPECT_EQ(PixelAt(target, 6, 6), kWhite);

    dc.BitBlt(0, 0, 2, 2, source, 0, 0, kRop3NotSrcCopy);
    EXPECT_EQ(PixelAt(target, 0, 0), 0xFFFF00u);
    EXPECT_EQ(PixelAt(target, 1, 1), 0xEFDFCFu);

    const CDibSection before = target;
    dc.BitBlt(0, 0, 6, 6, source, 0, 0, kRop3SrcInvert);
    EXPECT_GT(test::CountDifferences(target, before), 0);
    dc.BitBlt(0, 0, 6, 6, source, 0, 0, kRop3SrcInvert);
    EXPECT_EQ(test::CountDifferences(target, before), 0);

    dc.BitBlt(0, 0, 10, 10, source, 0, 0, kRop3DstInvert);
    EXPECT_EQ(PixelAt(target, 9, 9), kBlack); // no source needed, so the whole rectangle inverts
}

TEST(CDeviceContextBlit, CopyWithinOneBitmapReadsTheOriginalPixels) {
    CDibSection bitmap = MakeBitmap(8, 1, 24);
    CDeviceContext dc(&bitmap);
    for (int x = 0; x < 8; ++x)
        dc.SetPixel(x, 0, static_cast<uint32_t>(x));
    dc.BitBlt(2, 0, 6, 1, dc, 0, 0, kRop3SrcCopy);
    for (int x = 2; x < 8; ++x)
        EXPECT_EQ(PixelAt(bitmap, x, 0), static_cast<uint32_t>(x - 2)) << x;
}

// 24-bit pictures copied as they are take a path of their own (bytes copied, rows drawn from the same
// picture row repeated): into 24 and 32-bit bitmaps, stretched, shrunk, mirrored, flipped and clipped,
// they must land exactly as the same picture at 32 bits does.
TEST(CDeviceContextBlit, TwentyFourBitPicturesLandAsThirtyTwoBitOnesDo) {
    CDibSection picture24 = MakeBitmap(7, 5, 24), picture32 = MakeBitmap(7, 5, 32);
    CDeviceContext paint24(&picture24), paint32(&picture32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            paint24.SetPixel(x, y, static_cast<uint32_t>(0x0B0705 * (y * 7 + x + 1)) & 0xFFFFFF);
            paint32.SetPixel(x, y, static_cast<uint32_t>(0x0B0705 * (y * 7 + x + 1)) & 0xFFFFFF);
        }
    const struct {
        int32_t x, y, width, height, xSource, ySource, widthSource, heightSource;
    } cases[] = {
        {2, 1, 7, 5, 0, 0, 7, 5},     {0, 0, 16, 13, 0, 0, 7, 5},  {1, 2, 4, 3, 0, 0, 7, 5},
        {12, 0, -9, 11, 0, 0, 7, 5},  {0, 12, 9, -11, 0, 0, 7, 5}, {-3, -2, 11, 12, 1, 1, 5, 3},
        {3, 3, 14, 12, 6, 4, -7, -5}, {1, 1, 9, 9, -2, -1, 7, 5},  {10, 9, 9, 9, 0, 0, 7, 5},
    };
    for (uint16_t depth : {24, 32}) {
        for (const auto& c : cases) {
            CDibSection from24 = MakeBitmap(16, 14, depth), from32 = MakeBitmap(16, 14, depth);
            CDeviceContext dc24(&from24), dc32(&from32);
            EXPECT_TRUE(dc24.StretchBlt(c.x, c.y, c.width, c.height, picture24, c.xSource, c.ySource,
                                        c.widthSource, c.heightSource, kRop3SrcCopy));
            EXPECT_TRUE(dc32.StretchBlt(c.x, c.y, c.width, c.height, picture32, c.xSource, c.ySource,
                                        c.widthSource, c.heightSource, kRop3SrcCopy));
            EXPECT_GT(test::CountDifferences(from32, MakeBitmap(16, 14, depth)), 0);
            EXPECT_EQ(test::CountDifferences(from24, from32), 0)
                << depth << " bits, " << c.x << "," << c.y << " " << c.width << "x" << c.height;
        }
    }
}

TEST(CDeviceContextBlit, DibSectionDrawsStretchedAndScalesIntoANewBitmap) {
    const CDibSection image = MakeIndexed(2, 2, 4);
    CDibSection target = MakeBitmap(6, 6, 24);
    CDeviceContext dc(&target);
    EXPECT_TRUE(DrawDibSection(image, dc, 1, 1, 4, 4, kRop3SrcCopy));
    EXPECT_EQ(PixelAt(target, 1, 1), PaletteColour(0));
    EXPECT_EQ(PixelAt(target, 4, 4), PaletteColour(3));
    EXPECT_EQ(PixelAt(target, 5, 5), kWhite);
    EXPECT_FALSE(DrawDibSection(CDibSection(), dc, 0, 0, 6, 6, kRop3SrcCopy));

    CDibSection scaled;
    ASSERT_TRUE(ScaleBitmap(image, 4, 6, true, scaled));
    EXPECT_EQ(scaled.GetBitCount(), 24);
    EXPECT_EQ(scaled.GetWidth(), 4);
    EXPECT_EQ(PixelAt(scaled, 0, 0), PaletteColour(2)); // bottom-left source pixel now on top
    EXPECT_EQ(PixelAt(scaled, 3, 5), PaletteColour(1));
    EXPECT_FALSE(ScaleBitmap(image, 0, 6, false, scaled));
    EXPECT_TRUE(scaled.IsEmpty());
}

} // namespace
} // namespace pq
