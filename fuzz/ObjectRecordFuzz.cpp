// Reads object records from arbitrary bytes, as undo and the clipboard do, and saves what loads.
#include "model/GraphicObject.h"
#include "platform/MemoryFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    pq::CMemoryFile file(std::span<const uint8_t>(data, size));
    pq::CMemoryFile out;
    pq::CGraphicObject object;
    while (object.Load(file))
        object.Save(out);
    return 0;
}
