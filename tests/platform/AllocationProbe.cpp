#include "AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

std::atomic<bool> armed{false};
std::atomic<std::size_t> largest{0};

void Record(std::size_t size) {
    if (armed.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load(std::memory_order_relaxed);
        while (size > seen && !largest.compare_exchange_weak(seen, size))
            ;
    }
}

void* Allocate(std::size_t size) {
    Record(size);
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

} // namespace

namespace pq::test {

void StartAllocationProbe() {
    largest = 0;
    armed = true;
}

std::size_t StopAllocationProbe() {
    armed = false;
    return largest;
}

} // namespace pq::test

// Replacements of the global allocation functions for this test program; they forward to malloc/free.
void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
// The non-throwing forms too (std::stable_sort's buffer uses them): every form a program calls must pair
// with the replacements above, or a checked build reports a mismatch.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
// Pixel buffers of several megabytes are mapped rather than taken from the heap
// (platform/LargeBuffer.cpp): anonymous mappings count as allocations too. File mappings (FreeType's
// fonts) do not.
extern "C" void* mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset) {
    if ((flags & MAP_ANONYMOUS) != 0)
        Record(length);
    return reinterpret_cast<void*>(syscall(SYS_mmap, address, length, protection, flags, fd, offset));
}
#endif
