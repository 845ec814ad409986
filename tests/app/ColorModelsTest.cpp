// The colour page's RGB and HLS models: the offset hue, the exact inverse, the shown numbers.

#include "app/ColorModels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace pq {
namespace {

using Numbers = std::array<int, 3>;

TEST(ColorModels, TheHueStartsAtMagentaAndRunsInSixtyDegreeStepsAndGreysHaveNoHueNorSaturation) {
    EXPECT_EQ(ColorComponents(MakeColor(255, 0, 0), ColorModel::Hls), (Numbers{60, 50, 100}));
    EXPECT_EQ(ColorComponents(MakeColor(0, 0, 255), ColorModel::Hls), (Numbers{300, 50, 100}));
    EXPECT_EQ(ColorComponents(MakeColor(255, 0, 255), ColorModel::Hls), (Numbers{0, 50, 100}));
    EXPECT_EQ(ColorComponents(MakeColor(255, 255, 0), ColorModel::Hls), (Numbers{120, 50, 100}));
    EXPECT_EQ(ColorComponents(MakeColor(0, 255, 0), ColorModel::Hls), (Numbers{180, 50, 100}));
    EXPECT_EQ(ColorComponents(MakeColor(0, 255, 255), ColorModel::Hls), (Numbers{240, 50, 100}));
    // Dark red: lightness 25 %, saturation d / (max + min) = 1.
    EXPECT_EQ(ColorComponents(MakeColor(128, 0, 0), ColorModel::Hls), (Numbers{60, 25, 100}));
    // Pale blue above half lightness: saturation d / (2 - max - min).
    const CHls pale = RgbToHls(MakeColor(191, 191, 255));
    EXPECT_NEAR(pale.saturation, (64.0 / 255) / (2.0 - 1.0 - 191.0 / 255), 1e-12);
    EXPECT_NEAR(pale.hue, 300.0, 1e-9);
    for (int grey : {0, 1, 100, 128, 254, 255}) {
        const CHls hls = RgbToHls(MakeColor(grey, grey, grey));
        EXPECT_EQ(hls.hue, 0.0) << grey;
        EXPECT_EQ(hls.saturation, 0.0) << grey;
        EXPECT_NEAR(hls.lightness, grey / 255.0, 1e-12) << grey;
        EXPECT_EQ(HlsToRgb(hls), MakeColor(grey, grey, grey)) << grey;
    }
}

TEST(ColorModels, HlsToRgbIsTheExactInverseForEveryColourOnAFineGrid) {
    int checked = 0;
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 3) {
                const uint32_t color = MakeColor(r, g, b);
                const uint32_t back = HlsToRgb(RgbToHls(color));
                ASSERT_EQ(back, color) << r << "," << g << "," << b;
                ++checked;
            }
    // And every channel value at its extremes and middle with the other two anywhere.
    for (int a = 0; a < 256; ++a)
        for (int fixed : {0, 127, 128, 255}) {
            ASSERT_EQ(HlsToRgb(RgbToHls(MakeColor(a, fixed, 255 - a))), MakeColor(a, fixed, 255 - a));
            ASSERT_EQ(HlsToRgb(RgbToHls(MakeColor(fixed, a, a / 2))), MakeColor(fixed, a, a / 2));
        }
    EXPECT_EQ(checked, 86 * 86 * 86);
}

TEST(ColorModels, ShownHlsNumbersComeBackToANearbyColour) {
    // Whole degrees and percents lose a little; never more than a few steps of a channel.
    int worst = 0;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 5) {
                const uint32_t color = MakeColor(r, g, b);
                const uint32_t back =
                    ColorFromComponents(ColorComponents(color, ColorModel::Hls), ColorModel::Hls);
                worst = std::max({worst, std::abs(RedOf(back) - r), std::abs(GreenOf(back) - g),
                                  std::abs(BlueOf(back) - b)});
            }
    EXPECT_LE(worst, 3);
    // RGB numbers are the channels themselves.
    EXPECT_EQ(ColorComponents(0x123456, ColorModel::Rgb), (Numbers{0x56, 0x34, 0x12}));
    EXPECT_EQ(ColorFromComponents({0x56, 0x34, 0x12}, ColorModel::Rgb), 0x123456u);
}

TEST(ColorModels, NumbersPastTheirRangesAreHeldToThem) {
    EXPECT_EQ(ColorFromComponents({300, -5, 256}, ColorModel::Rgb), MakeColor(255, 0, 255));
    // Hue 400 is hue 360 (magenta again), lightness 150 % is white.
    EXPECT_EQ(ColorFromComponents({400, 50, 100}, ColorModel::Hls), MakeColor(255, 0, 255));
    EXPECT_EQ(ColorFromComponents({60, 150, 100}, ColorModel::Hls), MakeColor(255, 255, 255));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(HlsToRgb({nan, nan, nan}), 0u);
    EXPECT_EQ(ComponentRange(ColorModel::Hls, 0).maximum, 360);
    EXPECT_EQ(ComponentRange(ColorModel::Hls, 2).maximum, 100);
    EXPECT_EQ(ComponentRange(ColorModel::Rgb, 1).maximum, 255);
}

} // namespace
} // namespace pq
