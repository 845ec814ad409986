#include "render/BitmapFilter.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

CDibSection WhiteBitmap(int width, int height) {
    CDibSection dib;
    EXPECT_TRUE(dib.Create(width, height, 24));
    std::fill(dib.GetBits().begin(), dib.GetBits().end(), uint8_t{255});
    return dib;
}

uint8_t* Pixel(CDibSection& dib, int x, int y) {
    return dib.GetBits().data() + dib.GetBytesPerRow() * static_cast<std::size_t>(y) + 3 * x;
}

TEST(FitAspect, KeepsTheContentsAspectCentredInTheBox) {
    EXPECT_EQ(FitAspect(240, 240, 300, 200), (CRect{0, 40, 240, 200})); // 240 x 160
    EXPECT_EQ(FitAspect(240, 240, 200, 400), (CRect{60, 0, 180, 240})); // 120 x 240
    EXPECT_EQ(FitAspect(220, 220, 640, 480), (CRect{0, 28, 220, 193})); // 220 x 165
    EXPECT_EQ(FitAspect(640, 480, 0, 10), (CRect{0, 0, 640, 480}));     // no content: whole box
    EXPECT_EQ(FitAspect(1000, 1, 1, 1000), (CRect{0, 0, 1000, 1}));     // width truncated to 0
}

TEST(AntiAliasBitmap, SpreadsALonePixelWithTheKernelWeights) {
    CDibSection dib = WhiteBitmap(7, 5);
    std::fill_n(Pixel(dib, 3, 2), 3, uint8_t{0});
    CDibSection smooth = AntiAliasBitmap(dib);
    const auto at = [&](int x, int y) { return Pixel(smooth, x, y); };
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(at(3, 2)[c], 111);
        EXPECT_EQ(at(2, 2)[c], 231);
        EXPECT_EQ(at(4, 2)[c], 231);
        EXPECT_EQ(at(3, 1)[c], 231);
        EXPECT_EQ(at(3, 3)[c], 231);
        EXPECT_EQ(at(2, 1)[c], 251);
        EXPECT_EQ(at(4, 3)[c], 251);
        EXPECT_EQ(at(0, 0)[c], 255);
    }
}

TEST(AntiAliasBitmap, ClampsNeighboursAtTheBorderFiltersChannelsApartAndLeavesOtherDepthsAlone) {
    CDibSection dib = WhiteBitmap(3, 3);
    // A corner pixel with only its blue channel dark: the clamped neighbourhood counts it 1+6+6+36 times.
    Pixel(dib, 0, 0)[0] = 0;
    CDibSection smooth = AntiAliasBitmap(dib);
    EXPECT_EQ(Pixel(smooth, 0, 0)[0], (255 * (64 - 49)) >> 6);
    EXPECT_EQ(Pixel(smooth, 0, 0)[1], 255);
    EXPECT_EQ(Pixel(smooth, 0, 0)[2], 255);
    // Its neighbour along the row sees it twice through clamping (weights 6 and 1 of the column).
    EXPECT_EQ(Pixel(smooth, 1, 0)[0], (255 * (64 - 7)) >> 6);

    CDibSection grey;
    ASSERT_TRUE(grey.Create(4, 4, 8));
    grey.GetBits()[0] = 7;
    EXPECT_EQ(AntiAliasBitmap(grey), grey);
}

} // namespace
} // namespace pq
