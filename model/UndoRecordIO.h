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

// Group numbers mean nothing once anything has renumbered the groups (a save, Group, a paste), so an
// object a record stores carries a group reference instead, which stays true in the state a replay
// returns to (every object at the index it had when the record was written):
//   0   no group;
//   k>0 the group of the object at list index k - 1, a member the record does not store;
//   k<0 a new group, shared with the record's other objects of reference k (a group stored whole).
// An object taken out of a record: the list index it belongs at, the object and its group reference.
struct IndexedObject {
    int index = -1;
    std::unique_ptr<CGraphicObject> object;
    int groupRef = 0;
};

bool WriteInt(CMemoryFile& file, int value);
bool WriteIndexList(CMemoryFile& file, std::span<const int> indices);
// For each listed index: the index itself when withIndices, the object's group reference among the
// listed objects, and its object record. False when an index names no object or memory runs out.
bool WriteObjects(CMemoryFile& file, const CDrawing& drawing, std::span<const int> indices,
                  bool withIndices = false);
bool WriteMatrix(CMemoryFile& file, const CTransform& matrix);

[[nodiscard]] bool ReadInt(CMemoryFile& file, int& value);
// A count and that many indices; false for a negative count or one the remaining bytes cannot hold.
[[nodiscard]] bool ReadIndexList(CMemoryFile& file, std::vector<int>& indices);
// Reads one object record into a new object; null when the record cannot be read completely.
[[nodiscard]] std::unique_ptr<CGraphicObject> ReadObject(CMemoryFile& file);
// Reads up to count objects written by WriteObjects, stopping at the first that cannot be read; returns
// them (index -1 unless withIndices).
[[nodiscard]] std::vector<IndexedObject> ReadObjects(CMemoryFile& file, int count, bool withIndices = false);
[[nodiscard]] bool ReadMatrix(CMemoryFile& file, CTransform& matrix);

// True when applying the matrix's inverse takes points back to where the matrix found them, up to
// rounding: the plane part of the matrix is finite and far from singular.
[[nodiscard]] bool InverseRestores(const CTransform& matrix);

// True when every index names an object of the drawing.
[[nodiscard]] bool AllIndicesValid(const CDrawing& drawing, std::span<const int> indices);

// Sorts objects by index (stably) and drops them from the first one that could not be inserted at its
// index once the ones before it are in (an index below 0 or past the end of the list by then), for a list
// of objectCount objects or of the drawing's.
void PrepareInsertion(int objectCount, std::vector<IndexedObject>& objects);
void PrepareInsertion(const CDrawing& drawing, std::vector<IndexedObject>& objects);
// The group references of the listed objects (see IndexedObject), in list order.
[[nodiscard]] std::vector<int> GroupReferences(const CDrawing& drawing, std::span<const int> indices);

// Inserts objects prepared by PrepareInsertion at their indices, so that each lands where it stood
// when it was recorded, then gives them their groups back (ApplyGroupReferences).
void InsertStored(CDrawing& drawing, std::vector<IndexedObject>& objects);
// Replaces the objects at their indices by the stored ones (an index out of range drops its object) and
// gives them their groups back.
void SetStored(CDrawing& drawing, std::vector<IndexedObject>& objects);
// Gives the objects now at the listed indices the groups their references name, then renumbers all
// groups in order of appearance, so a drawing whose groups were dense comes back with its numbers.
void ApplyGroupReferences(CDrawing& drawing, std::span<const std::pair<int, int>> indexAndReference);

} // namespace undo_io
} // namespace pq
