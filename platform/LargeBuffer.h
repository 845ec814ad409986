#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace pq {

// Memory for pixel buffers. A page at print size is 13 MB: in 4 kB pages that is over 3000 page faults
// when it is first written, a tenth of a conversion's time. On Linux blocks from 1 MB that rounding up to
// huge pages enlarges by at most 60 % are mapped on huge-page boundaries and offered to the kernel for
// transparent huge pages (where the system has them switched off nothing changes); others come from the
// heap. Fresh memory of either
// kind may hold anything. The heap ones come from operator new, where allocation probes in tests see them.
[[nodiscard]] void* AllocateLargeBuffer(std::size_t bytes); // throws std::bad_alloc
void FreeLargeBuffer(void* block, std::size_t bytes) noexcept;

// The same for standard containers.
template <typename T>
struct CLargeBufferAllocator {
    using value_type = T;
    CLargeBufferAllocator() = default;
    template <typename U>
    CLargeBufferAllocator(const CLargeBufferAllocator<U>&) noexcept {}
    [[nodiscard]] T* allocate(std::size_t n) { return static_cast<T*>(AllocateLargeBuffer(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { FreeLargeBuffer(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const CLargeBufferAllocator<U>&) const noexcept {
        return true;
    }
};

// Bytes held in such memory: a whole file read at once, a picture's pixels.
using CLargeBytes = std::vector<uint8_t, CLargeBufferAllocator<uint8_t>>;

} // namespace pq
