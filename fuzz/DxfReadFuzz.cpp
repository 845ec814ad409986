#include "formats/dxf/DxfFile.h"
#include "model/Drawing.h"

#include <cstddef>
#include <cstdint>

// fontconfig keeps a few blocks of its one-time set-up for the life of the process (font names in a file
// are settled on installed faces); they are not leaks of the reader.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// Reads a DXF file (ASCII or binary) without looking for pictures: it must fail with a message or read
// what it can, never crash, hang or over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CDrawing drawing;
    (void)pq::CDxfFile().ImportFromMemory(std::span<const uint8_t>(data, size), drawing, {});
    return 0;
}
