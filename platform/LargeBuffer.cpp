#include "platform/LargeBuffer.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pq {

namespace {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Blocks from 1 MB may be mapped. A fresh page costs several microseconds where the system runs in a
// virtual machine, so a page at screen size (1.3 MB of bitmap, as much of PNG rows) gains as well: its
// conversion took 550 page faults and 13 ms of CPU instead of 1200 and 19.
constexpr std::size_t kMappedFrom = kHugePage / 2;

std::size_t MappedBytes(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

// Mapped only where rounding up to huge pages adds at most 60 % of the block: pictures of a document
// live as long as it is open, and a 1.1 MB picture must not hold 2 MB. (A screen-sized page adds 57 %,
// anything from 3.4 MB at most 60 % and in practice far less.)
bool IsMapped(std::size_t bytes) {
    return bytes >= kMappedFrom && MappedBytes(bytes) - bytes <= bytes / 5 * 3;
}

// Smaller blocks from this size (a photograph of 600 x 450 is 810 kB) are mapped with their pages
// populated in one call, which costs half of faulting them in one by one; a block of this size is
// written whole soon after it is made, so nothing is populated in vain. Below it the heap reuses freed
// memory.
constexpr std::size_t kPopulatedFrom = std::size_t{256} << 10;
constexpr std::size_t kSmallPage = 4096;

std::size_t PopulatedBytes(std::size_t bytes) {
    return (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
}

bool IsPopulated(std::size_t bytes) {
    return bytes >= kPopulatedFrom && !IsMapped(bytes);
}
#endif

} // namespace

void* AllocateLargeBuffer(std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (IsMapped(bytes)) {
        const std::size_t mapped = MappedBytes(bytes);
        void* region =
            mmap(nullptr, mapped + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (region == MAP_FAILED)
            throw std::bad_alloc();
        // Only the aligned part is kept; the slack before and after it is returned at once.
        auto* base = static_cast<uint8_t*>(region);
        const std::size_t head = (kHugePage - reinterpret_cast<std::uintptr_t>(base) % kHugePage) % kHugePage;
        if (head > 0)
            munmap(base, head);
        if (head < kHugePage)
            munmap(base + head + mapped, kHugePage - head);
        madvise(base + head, mapped, MADV_HUGEPAGE);
        return base + head;
    }
    if (IsPopulated(bytes)) {
        void* region = mmap(nullptr, PopulatedBytes(bytes), PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (region == MAP_FAILED)
            throw std::bad_alloc();
        return region;
    }
#endif
    return ::operator new(bytes);
}

void FreeLargeBuffer(void* block, std::size_t bytes) noexcept {
    if (block == nullptr)
        return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (IsMapped(bytes)) {
        munmap(block, MappedBytes(bytes));
        return;
    }
    if (IsPopulated(bytes)) {
        munmap(block, PopulatedBytes(bytes));
        return;
    }
#endif
    ::operator delete(block, bytes);
}

} // namespace pq
