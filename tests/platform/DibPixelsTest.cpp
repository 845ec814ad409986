// Swapping red and blue several pixels a step: every width, with no byte to spare past the row or a few,
// swaps every pixel and writes nothing past what the caller allows.
#include "platform/image/DibPixels.h"

#include <gtest/gtest.h>

#include <string>
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

} // namespace
} // namespace pq
