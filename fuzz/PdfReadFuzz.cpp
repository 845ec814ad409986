#include "model/Drawing.h"
#include "native/PdfFile.h"

#include <cstddef>
#include <cstdint>

// fontconfig keeps a few blocks of its one-time set-up for the life of the process (font names in a file
// are settled on installed faces); they are not leaks of the reader.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// Reads a native PDF document whole and its first page in batches, as a conversion does: each must
// fail or read what it can, never crash, hang or over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    pq::CDrawing drawing;
    pq::CPdfFile pdf;
    (void)pdf.ReadFromMemory(bytes, drawing);
    pq::CDrawing page;
    std::size_t objects = 0;
    (void)pq::CPdfFile().ReadPageInBatchesFromMemory(bytes, page, 0,
                                                     [&](const pq::CDrawing& batch) { objects += batch.Count(); });
    return 0;
}
