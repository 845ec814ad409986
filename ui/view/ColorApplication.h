#pragma once

#include <cstdint>
#include <span>

namespace pq {

class CDrawing;

// The colour commands on selected objects. Neither records an undo step: the caller records the selection
// first. Indices that name no object are skipped. Each returns the number of objects it changed.

// Every selected path or text takes the colour as its fill (text: its colour); paths become filled.
int ApplyFillColor(CDrawing& drawing, std::span<const int> selection, uint32_t color);
// Every selected path gets a solid line of the colour; other objects have no line and are skipped.
int ApplyLineColor(CDrawing& drawing, std::span<const int> selection, uint32_t color);

} // namespace pq
