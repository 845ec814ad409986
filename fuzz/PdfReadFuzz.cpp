#include "model/Drawing.h"
#include "native/PdfFile.h"

#include <cstddef>
#include <cstdint>

// Reads a native PDF document: it must fail or read what it can, never crash, hang or over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CDrawing drawing;
    pq::CPdfFile pdf;
    (void)pdf.ReadFromMemory(std::span<const uint8_t>(data, size), drawing);
    return 0;
}
