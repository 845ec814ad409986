// Clip-art pictures show the objects, not the page: a small object fills the square less its margin,
// a wide one keeps its proportions, the objects of other pages stay out, and an empty page has none.

#include "render/Thumbnail.h"

#include "RasterHelpers.h"
#include "model/Drawing.h"
#include "model/ModelTestHelpers.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(ObjectsThumbnail, TheObjectsFillTheSquareLessItsMarginWhateverThePageSize) {
    CDrawing drawing;
    drawing.SetPageSize(2100, 2970);
    // A 2 mm black square far from the page's centre: on the page it would be under a pixel.
    drawing.Add(test::MakeRect({700, 720, -900, -880}, 0x000000));
    drawing.Add(test::MakeRect({-1000, 1000, -1400, 1400}, 0x0000FF, 1)); // another page's
    const auto square = RenderObjectsThumbnail(drawing, 0, 32, false);
    ASSERT_TRUE(square.has_value());
    EXPECT_EQ(square->GetWidth(), 32);
    // The fill covers the square inside the 2-pixel margin; the outline's smoothed edge reaches half a
    // pixel into it, and the border stays white.
    EXPECT_EQ(test::InkBox(*square), (CRect{1, 1, 31, 31}));
    EXPECT_EQ(test::PixelAt(*square, 2, 2), 0x000000u);
    EXPECT_EQ(test::PixelAt(*square, 29, 29), 0x000000u);
    EXPECT_EQ(test::PixelAt(*square, 0, 0), 0xFFFFFFu);

    // A shape twice as wide as tall is centred with its proportions.
    CDrawing wide;
    wide.Add(test::MakeRect({0, 400, 0, 200}, 0x000000));
    const auto picture = RenderObjectsThumbnail(wide, 0, 32, false);
    ASSERT_TRUE(picture.has_value());
    const CRect ink = test::InkBox(*picture);
    EXPECT_EQ(ink.left, 1);
    EXPECT_EQ(ink.right, 31);
    EXPECT_NEAR(ink.top, 8, 1);
    EXPECT_NEAR(ink.bottom, 24, 1);

    // Nothing to show, or no square to show it in.
    EXPECT_FALSE(RenderObjectsThumbnail(drawing, 2, 32, false).has_value());
    EXPECT_FALSE(RenderObjectsThumbnail(CDrawing(), 0, 32, false).has_value());
    EXPECT_FALSE(RenderObjectsThumbnail(wide, 0, 4, false).has_value());
}

} // namespace
} // namespace pq
