#pragma once

#include "model/GraphicObject.h"

#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace pq {

class CDrawing;
class CMemoryFile;
class CTransform;

// Reading and writing the pieces undo records are made of. Readers never read past the end of the
// record they are given and check every count against the bytes that remain before allocating.
namespace undo_io {

// An object taken out of a record together with the list index it belongs at.
using IndexedObject = std::pair<int, std::unique_ptr<CGraphicObject>>;

bool WriteInt(CMemoryFile& file, int value);
bool WriteIndexList(CMemoryFile& file, std::span<const int> indices);
// One object record per listed index; false when an index names no object or memory runs out.
bool WriteObjects(CMemoryFile& file, const CDrawing& drawing, std::span<const int> indices);
bool WriteMatrix(CMemoryFile& file, const CTransform& matrix);

[[nodiscard]] bool ReadInt(CMemoryFile& file, int& value);
// A count and that many indices; false for a negative count or one the remaining bytes cannot hold.
[[nodiscard]] bool ReadIndexList(CMemoryFile& file, std::vector<int>& indices);
// Reads one object record into a new object; null when the record cannot be read completely.
[[nodiscard]] std::unique_ptr<CGraphicObject> ReadObject(CMemoryFile& file);
// Reads up to count object records, stopping at the first that cannot be read; returns them.
[[nodiscard]] std::vector<std::unique_ptr<CGraphicObject>> ReadObjects(CMemoryFile& file, int count);
[[nodiscard]] bool ReadMatrix(CMemoryFile& file, CTransform& matrix);

// True when applying the matrix's inverse takes points back to where the matrix found them, up to
// rounding: the plane part of the matrix is finite and far from singular.
[[nodiscard]] bool InverseRestores(const CTransform& matrix);

// True when every index names an object of the drawing.
[[nodiscard]] bool AllIndicesValid(const CDrawing& drawing, std::span<const int> indices);

// Sorts objects by index (stably) and drops them from the first one that could not be inserted at its
// index once the ones before it are in (an index below 0 or past the end of the list by then).
void PrepareInsertion(const CDrawing& drawing, std::vector<IndexedObject>& objects);
// Inserts objects prepared by PrepareInsertion at their indices, so that each lands where it stood
// when it was recorded. Their groups get numbers above the drawing's groups (members that shared a
// number share the new one), then all groups are renumbered in order of appearance.
void InsertWithNewGroups(CDrawing& drawing, std::vector<IndexedObject>& objects);

} // namespace undo_io
} // namespace pq
