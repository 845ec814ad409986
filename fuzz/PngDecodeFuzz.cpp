#include "platform/image/PngCodec.h"

#include <cstddef>
#include <cstdint>

// Decodes PNG data through libpng: it must refuse or succeed, never crash, hang or over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CDibSection image;
    (void)pq::DecodePng(std::span<const uint8_t>(data, size), image);
    return 0;
}
