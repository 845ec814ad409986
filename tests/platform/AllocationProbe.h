#pragma once

#include <cstddef>

namespace pq::test {

// Watches operator new while armed and remembers the largest single request, so a test can show that a
// reader refused a file before allocating what the file claimed; anonymous memory mappings (large pixel
// buffers) count too. Allocations made with malloc by C libraries are not seen.
void StartAllocationProbe();
// Disarms the probe and returns the largest request seen since it was started.
std::size_t StopAllocationProbe();

} // namespace pq::test
