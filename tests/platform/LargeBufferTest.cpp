// Memory for large pixel buffers: blocks on either side of the size from which they are mapped hold
// every byte written, the mapped ones start on a huge-page boundary, and a page-sized bitmap made,
// copied and written through it behaves as any other.
#include "AllocationProbe.h"
#include "platform/DibSection.h"
#include "platform/LargeBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace pq {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Blocks from 1 MB go on huge-page boundaries unless rounding them up to huge pages would waste more
// than 60 % of them (a picture of 1.1 MB is mapped in small pages, as are blocks from 256 kB; smaller
// ones come from the heap).
TEST(LargeBuffer, BlocksOfEverySizeKeepWhatIsWrittenAndLargeOnesAreAligned) {
    enum Place { kHeap, kSmallPages, kHugePages };
    const struct {
        std::size_t bytes;
        Place place;
    } blocks[] = {{1, kHeap},
                  {4096, kHeap},
                  {kMiB / 4 - 1, kHeap},
                  {kMiB / 4, kSmallPages},
                  {kMiB - 1, kSmallPages},
                  {kMiB + 1, kSmallPages},
                  {kMiB * 3 / 2, kHugePages},
                  {4 * kMiB, kHugePages},
                  {4 * kMiB + 1, kHugePages},
                  {13 * kMiB + 12345, kHugePages}};
    for (const auto& [bytes, place] : blocks) {
        auto* block = static_cast<uint8_t*>(AllocateLargeBuffer(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        for (std::size_t i = 0; i < bytes; ++i)
            block[i] = static_cast<uint8_t>(i * 131 + i / 4096);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            wrong += block[i] != static_cast<uint8_t>(i * 131 + i / 4096);
        EXPECT_EQ(wrong, 0u) << bytes;
#if defined(__linux__)
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        if (place == kHugePages)
            EXPECT_EQ(address % (2 * kMiB), 0u) << bytes;
        if (place == kSmallPages)
            EXPECT_EQ(address % 4096, 0u) << bytes; // the heap's blocks may be so placed only by chance
#endif
        FreeLargeBuffer(block, bytes);
    }
    FreeLargeBuffer(nullptr, 0); // as free(nullptr)
}

TEST(LargeBuffer, ContainersGrowAcrossTheMappedSizeAndKeepTheirContent) {
    std::vector<uint32_t, CLargeBufferAllocator<uint32_t>> values;
    for (uint32_t i = 0; i < 3'000'000; ++i) // 12 MB, through heap and mapped blocks as it grows
        values.push_back(i * 7);
    const auto copy = values;
    values.clear();
    values.shrink_to_fit();
    ASSERT_EQ(copy.size(), 3'000'000u);
    EXPECT_EQ(copy[0], 0u);
    EXPECT_EQ(copy[1'234'567], 1'234'567u * 7);
    EXPECT_EQ(copy.back(), 2'999'999u * 7);
}

TEST(LargeBuffer, APrintSizedBitmapStartsZeroedAndCopiesStayApart) {
    CDibSection page;
    test::StartAllocationProbe(); // the readers' refusal tests rely on seeing mapped pixels as well
    ASSERT_TRUE(page.Create(1748, 2480, 24)); // 13 MB
    const std::size_t probed = test::StopAllocationProbe();
#if !defined(__SANITIZE_ADDRESS__) // the address sanitizer keeps mappings from the probe
    EXPECT_GE(probed, CDibSection::BytesPerRow(1748, 24) * 2480);
#else
    (void)probed;
#endif
    const std::span<const uint8_t> fresh = std::as_const(page).GetBits();
    ASSERT_EQ(fresh.size(), CDibSection::BytesPerRow(1748, 24) * 2480);
    std::size_t nonZero = 0;
    for (uint8_t byte : fresh)
        nonZero += byte != 0;
    EXPECT_EQ(nonZero, 0u);

    page.GetBits()[0] = 1;
    page.GetBits().back() = 2;
    const CDibSection copy = page;
    page.GetBits()[0] = 9;
    EXPECT_EQ(copy.GetBits()[0], 1);
    EXPECT_EQ(copy.GetBits().back(), 2);
    EXPECT_EQ(std::as_const(page).GetBits()[0], 9);
}

} // namespace
} // namespace pq
