// The Color button's face: the new-object style's line and fill as two framed swatches.

#include "app/ColorButtonFace.h"
#include "ui/view/NewObjectStyle.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

constexpr int kWidth = 22;
constexpr int kHeight = 20;

uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) {
    return pixels[static_cast<std::size_t>(y) * kWidth + x];
}

int Count(const std::vector<uint32_t>& pixels, const CRect& r, uint32_t argb) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += At(pixels, x, y) == argb ? 1 : 0;
    return n;
}

TEST(ColorButtonFace, TheStyleGivesTheSwatches) {
    CNewObjectStyle style;
    CColorButtonFace face = ColorButtonFaceOf(style);
    EXPECT_EQ(face.line, (CColorSwatch{false, CNewObjectStyle::kDefaultPenColor}));
    EXPECT_EQ(face.fill, (CColorSwatch{false, CNewObjectStyle::kDefaultBrushColor}));
    style.penStyle = 5;
    style.noFill = 1;
    face = ColorButtonFaceOf(style);
    EXPECT_TRUE(face.line.none);
    EXPECT_TRUE(face.fill.none);
    EXPECT_NE(face, ColorButtonFaceOf(CNewObjectStyle{}));
}

TEST(ColorButtonFace, SwatchesLieBetween3PixelsInAnd19FromTheLeftAnd4AboveTheBottom) {
    const CRect line = LineSwatchRect(kWidth, kHeight);
    const CRect fill = FillSwatchRect(kWidth, kHeight);
    EXPECT_EQ(line.left, 3);
    EXPECT_EQ(line.top, 3);
    EXPECT_EQ(fill.right, 19);
    EXPECT_EQ(fill.bottom, kHeight - 4);
    EXPECT_LT(line.right, fill.left); // side by side, apart
    EXPECT_EQ(line.Width(), fill.Width());
}

TEST(ColorButtonFace, ColoursFillTheSwatchesInsideDarkFramesNoneIsCrossedRedAndTheRestIsClear) {
    CColorButtonFace face;
    face.line = {false, 0x0000FF}; // red as 0x00BBGGRR
    face.fill = {false, 0x00FF00}; // green
    const std::vector<uint32_t> pixels = DrawColorButtonFace(face, kWidth, kHeight);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kWidth * kHeight));
    const CRect line = LineSwatchRect(kWidth, kHeight);
    const CRect fill = FillSwatchRect(kWidth, kHeight);
    const CRect lineInside{line.left + 1, line.top + 1, line.right - 1, line.bottom - 1};
    const CRect fillInside{fill.left + 1, fill.top + 1, fill.right - 1, fill.bottom - 1};
    EXPECT_EQ(Count(pixels, lineInside, 0xFFFF0000), lineInside.Width() * lineInside.Height());
    EXPECT_EQ(Count(pixels, fillInside, 0xFF00FF00), fillInside.Width() * fillInside.Height());
    EXPECT_EQ(At(pixels, line.left, line.top), kSwatchFrameArgb);
    EXPECT_EQ(At(pixels, fill.right - 1, fill.bottom - 1), kSwatchFrameArgb);
    // Outside the swatches the button shows through.
    EXPECT_EQ(At(pixels, 0, 0) >> 24, 0u);
    EXPECT_EQ(At(pixels, line.right, 8) >> 24, 0u);
    EXPECT_EQ(At(pixels, kWidth - 1, kHeight - 1) >> 24, 0u);

    // None is white crossed by two red pixels on each row from the lower left corner to the upper right
    // one; the line's colour is not shown at all.
    face.line = {true, 0x123456};
    const std::vector<uint32_t> none = DrawColorButtonFace(face, kWidth, kHeight);
    EXPECT_EQ(At(none, lineInside.left, lineInside.bottom - 1), kNoColorCrossArgb);
    EXPECT_EQ(At(none, lineInside.right - 1, lineInside.top), kNoColorCrossArgb);
    EXPECT_EQ(At(none, lineInside.left, lineInside.top), 0xFFFFFFFFu);
    const int red = Count(none, lineInside, kNoColorCrossArgb);
    EXPECT_GE(red, 2 * lineInside.Height() - 2);
    EXPECT_EQ(red + Count(none, lineInside, 0xFFFFFFFF), lineInside.Width() * lineInside.Height());
    EXPECT_EQ(Count(none, CRect{0, 0, kWidth, kHeight}, 0xFF563412), 0);
    EXPECT_EQ(Count(none, fillInside, 0xFF00FF00), fillInside.Width() * fillInside.Height());
}

TEST(ColorButtonFace, ATinyFaceDrawsWithoutOverrunning) {
    for (int size : {0, 1, 4, 8})
        EXPECT_EQ(DrawColorButtonFace(CColorButtonFace{}, size, size).size(),
                  static_cast<std::size_t>(size * size));
}

} // namespace
} // namespace pq
