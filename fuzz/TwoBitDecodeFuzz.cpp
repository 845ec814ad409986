#include "platform/image/BmpCodec.h"

#include <cstddef>
#include <cstdint>

// Decodes the 2-bit device format: it must refuse or succeed, never crash, hang or over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CDibSection image;
    (void)pq::Decode2bp(std::span<const uint8_t>(data, size), image);
    return 0;
}
