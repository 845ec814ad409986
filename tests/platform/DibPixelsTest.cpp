// Swapping red and blue several pixels a step: every width, with no byte to spare past the row or a few,
// swaps every pixel and writes nothing past what the caller allows.
#include "platform/image/DibPixels.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace pq {
namespace {

TEST(SwapRedBlue24, EveryWidthSwapsEveryPixelAndStaysInItsBytes) {
    constexpr uint8_t kUntouched = 0xA5;
    for (int32_t width = 1; width <= 40; ++width)
        for (std::size_t spare : {0u, 1u, 3u, 8u}) {
            SCOPED_TRACE("width " + std::to_string(width) + " spare " + std::to_string(spare));
            const std::size_t bytes = 3 * static_cast<std::size_t>(width);
            std::vector<uint8_t> in(bytes + 32); // readable well past the row, as rows of a whole picture
            for (std::size_t i = 0; i < in.size(); ++i)
                in[i] = static_cast<uint8_t>(i * 37 + 11);
            std::vector<uint8_t> out(bytes + spare + 16, kUntouched);
            SwapRedBlue24(in.data(), in.size(), width, out.data(), spare);
            for (std::size_t i = 0; i < bytes; i += 3) {
                EXPECT_EQ(out[i], in[i + 2]) << i;
                EXPECT_EQ(out[i + 1], in[i + 1]) << i;
                EXPECT_EQ(out[i + 2], in[i]) << i;
            }
            for (std::size_t i = bytes + spare; i < out.size(); ++i)
                EXPECT_EQ(out[i], kUntouched) << "written past the spare bytes at " << i;
        }
}

// A row written through a copy that still shares its pixels lands in the copy, at that row, and leaves the
// original alone, in bitmaps stored bottom-up and top-down.
TEST(GetRowFromTop, WritingARowOfACopyTouchesOnlyTheCopy) {
    for (const bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        CBitmapInfoHeader header{
            .size = 40, .width = 5, .height = topDown ? -4 : 4, .planes = 1, .bitCount = 24};
        std::vector<uint8_t> pixels(4 * 16);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint8_t>(i);
        CDibSection original;
        ASSERT_TRUE(original.SetFromDib(header, {}, pixels));
        const std::vector<uint8_t> before(original.GetBits().begin(), original.GetBits().end());
        for (int32_t y = 0; y < 4; ++y) {
            CDibSection copy = original;
            ASSERT_TRUE(copy.SharesPixelsWith(original));
            const std::span<uint8_t> row = GetRowFromTop(copy, y);
            ASSERT_EQ(row.size(), 16u);
            ASSERT_GE(row.data(), copy.GetBits().data());
            ASSERT_LE(row.data() + row.size(), copy.GetBits().data() + copy.GetBits().size());
            row[0] = 0xEE;
            EXPECT_EQ(GetRowFromTop(std::as_const(copy), y)[0], 0xEE);
            EXPECT_EQ(GetPixelColour(copy, 0, y), MakeRgb(GetRowFromTop(std::as_const(copy), y)[2],
                                                          GetRowFromTop(std::as_const(copy), y)[1], 0xEE));
            EXPECT_TRUE(std::equal(before.begin(), before.end(), original.GetBits().begin(),
                                   original.GetBits().end()));
        }
    }
}

} // namespace
} // namespace pq
