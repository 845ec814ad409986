#include "formats/svg/SvgFile.h"
#include "model/Drawing.h"

#include <cstddef>
#include <cstdint>

// fontconfig keeps a few blocks of its one-time set-up for the life of the process (font names in a file
// are settled on installed faces); they are not leaks of the reader.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// Reads an SVG file from memory (no folder: named image files are never opened): it must fail with a
// message or read what it can, never crash, hang or over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CDrawing drawing;
    pq::CSvgFile svg;
    (void)svg.ReadFromMemory(std::span<const uint8_t>(data, size), drawing);
    return 0;
}
