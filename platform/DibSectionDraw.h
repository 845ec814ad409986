#pragma once

#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

#include <cstdint>

namespace pq {

// Stretches the whole bitmap (of any depth, read through its colour table) onto the rectangle at (x, y)
// of the given size, with a block-transfer raster operation. An empty bitmap draws nothing and returns
// false.
bool DrawDibSection(const CDibSection& image, CDeviceContext& dc, int32_t x, int32_t y, int32_t width,
                    int32_t height, uint32_t rop);

// Makes result a new 24-bit bitmap of width x height holding the whole source stretched into it by a plain
// copy; with upsideDown the rows are turned over. Fails, leaving result empty, for an empty source or a
// size the bitmap cannot have.
bool ScaleBitmap(const CDibSection& source, int32_t width, int32_t height, bool upsideDown,
                 CDibSection& result);

} // namespace pq
