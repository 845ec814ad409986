#pragma once

#include "model/UndoRecordIO.h"

#include <optional>
#include <span>
#include <vector>

namespace pq {

class CDrawing;

// The objects a reordering moves: their indices in the list before it and after it, each in increasing
// order. Every other object keeps its place relative to the others, so where none of the moved objects
// lies, before or after, the page looks the same.
struct CMovedObjects {
    std::vector<int> before;
    std::vector<int> after;
};

// Matches the drawing's objects with reordered, the same objects in their new order, by content, and
// finds the fewest that must have moved (the rest form the longest run that keeps its order). Nothing
// when the two lists do not hold the same objects.
[[nodiscard]] std::optional<CMovedObjects>
FindMovedObjects(const CDrawing& drawing, std::span<const undo_io::IndexedObject> reordered);

} // namespace pq
