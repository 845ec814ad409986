#include "platform/image/BmpCodec.h"

#include <cstddef>
#include <cstdint>

// Decodes any BMP file: it must refuse or succeed, never crash, hang or over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CDibSection image;
    (void)pq::DecodeBmp(std::span<const uint8_t>(data, size), image);
    return 0;
}
