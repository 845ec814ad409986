#include "formats/hpgl/PlotterFile.h"
#include "model/Drawing.h"

#include <cstddef>
#include <cstdint>

// Reads a plotter file: it must read what it can or fail with a message, never crash, hang or
// over-allocate.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CDrawing drawing;
    (void)pq::CPlotterFile().ImportFromMemory(std::span<const uint8_t>(data, size), drawing);
    return 0;
}
