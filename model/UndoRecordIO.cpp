#include "model/UndoRecordIO.h"

#include "model/Drawing.h"

#include "geometry/Transform.h"
#include "platform/MemoryFile.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace pq::undo_io {

bool WriteInt(CMemoryFile& file, int value) {
    return file.WriteInt32(value);
}

bool WriteIndexList(CMemoryFile& file, std::span<const int> indices) {
    bool ok = file.WriteInt32(static_cast<int32_t>(indices.size()));
    for (int index : indices)
        ok = ok && file.WriteInt32(index);
    return ok;
}

bool WriteObjects(CMemoryFile& file, const CDrawing& drawing, std::span<const int> indices,
                  bool withIndices) {
    const std::vector<int> references = GroupReferences(drawing, indices);
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const CGraphicObject* object = drawing.GetAt(indices[k]);
        if (object == nullptr || (withIndices && !WriteInt(file, indices[k])) ||
            !WriteInt(file, references[k]) || !object->Save(file))
            return false;
    }
    return true;
}

bool WriteMatrix(CMemoryFile& file, const CTransform& matrix) {
    bool ok = true;
    for (float value : matrix.GetMatrix())
        ok = ok && file.WriteFloat(value);
    return ok;
}

bool ReadInt(CMemoryFile& file, int& value) {
    int32_t stored = 0;
    if (!file.ReadInt32(stored))
        return false;
    value = stored;
    return true;
}

bool ReadIndexList(CMemoryFile& file, std::vector<int>& indices) {
    indices.clear();
    int count = 0;
    if (!ReadInt(file, count) || count < 0)
        return false;
    // The count comes from the record: it must fit the bytes that are left before anything is allocated.
    if (static_cast<std::size_t>(count) > file.Remaining() / 4)
        return false;
    indices.resize(static_cast<std::size_t>(count));
    for (int& index : indices) {
        if (!ReadInt(file, index))
            return false;
    }
    return true;
}

std::unique_ptr<CGraphicObject> ReadObject(CMemoryFile& file) {
    auto object = std::make_unique<CGraphicObject>(kKindShape);
    if (!object->Load(file) || object->shape == nullptr)
        return nullptr;
    return object;
}

std::vector<IndexedObject> ReadObjects(CMemoryFile& file, int count, bool withIndices) {
    // No allocation from count: a damaged count ends at the record's end like any other short read.
    std::vector<IndexedObject> objects;
    for (int i = 0; i < count; ++i) {
        IndexedObject entry;
        if ((withIndices && !ReadInt(file, entry.index)) || !ReadInt(file, entry.groupRef))
            break;
        entry.object = ReadObject(file);
        if (!entry.object)
            break;
        objects.push_back(std::move(entry));
    }
    return objects;
}

bool ReadMatrix(CMemoryFile& file, CTransform& matrix) {
    CTransform::Matrix values{};
    for (float& value : values) {
        if (!file.ReadFloat(value))
            return false;
    }
    matrix.SetMatrix(values);
    return true;
}

bool InverseRestores(const CTransform& matrix) {
    // Below this determinant a scale has flattened the plane so far that the inverse would magnify
    // float rounding into visible displacement.
    constexpr double kMinDeterminant = 1e-6;
    for (float value : matrix.GetMatrix()) {
        if (!std::isfinite(value))
            return false;
    }
    const double det = static_cast<double>(matrix.At(0, 0)) * matrix.At(1, 1) -
                       static_cast<double>(matrix.At(0, 1)) * matrix.At(1, 0);
    return std::fabs(det) >= kMinDeterminant;
}

bool AllIndicesValid(const CDrawing& drawing, std::span<const int> indices) {
    return std::all_of(indices.begin(), indices.end(),
                       [&](int index) { return index >= 0 && index < drawing.Count(); });
}

void PrepareInsertion(int objectCount, std::vector<IndexedObject>& objects) {
    std::stable_sort(objects.begin(), objects.end(),
                     [](const IndexedObject& a, const IndexedObject& b) { return a.index < b.index; });
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const int index = objects[i].index;
        if (index < 0 || index > objectCount + static_cast<int>(i)) {
            objects.resize(i);
            break;
        }
    }
}

void PrepareInsertion(const CDrawing& drawing, std::vector<IndexedObject>& objects) {
    PrepareInsertion(drawing.Count(), objects);
}

namespace {

int64_t PageGroupKey(const CGraphicObject& object) {
    return (static_cast<int64_t>(object.page) << 32) | static_cast<uint32_t>(object.group);
}

} // namespace

std::vector<int> GroupReferences(const CDrawing& drawing, std::span<const int> indices) {
    std::vector<int> references(indices.size(), 0);
    const bool anyGrouped = std::any_of(indices.begin(), indices.end(), [&](int index) {
        const CGraphicObject* object = drawing.GetAt(index);
        return object != nullptr && object->group != 0;
    });
    if (!anyGrouped)
        return references;

    std::vector<char> listed(static_cast<std::size_t>(drawing.Count()), 0);
    for (int index : indices) {
        if (index >= 0 && index < drawing.Count())
            listed[static_cast<std::size_t>(index)] = 1;
    }
    // The first member of each group (a group is a page's objects sharing a number) the record leaves out.
    std::unordered_map<int64_t, int> outsideMember;
    for (int i = 0; i < drawing.Count(); ++i) {
        const CGraphicObject& object = *drawing.GetAt(i);
        if (object.group != 0 && listed[static_cast<std::size_t>(i)] == 0)
            outsideMember.try_emplace(PageGroupKey(object), i);
    }
    std::unordered_map<int64_t, int> wholeGroupLabel;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const CGraphicObject* object = drawing.GetAt(indices[k]);
        if (object == nullptr || object->group == 0)
            continue;
        const int64_t key = PageGroupKey(*object);
        if (auto member = outsideMember.find(key); member != outsideMember.end())
            references[k] = member->second + 1;
        else
            references[k] =
                -wholeGroupLabel.try_emplace(key, static_cast<int>(wholeGroupLabel.size()) + 1).first->second;
    }
    return references;
}

void ApplyGroupReferences(CDrawing& drawing, std::span<const std::pair<int, int>> indexAndReference) {
    // Dense numbers first, so new groups can follow the highest one without overflowing.
    int32_t next = drawing.RenumberAll();
    // Every target is worked out before any object changes, so no reference reads a group this call set.
    std::vector<int32_t> groups(indexAndReference.size(), 0);
    std::unordered_map<int, int32_t> newGroup;
    for (std::size_t k = 0; k < indexAndReference.size(); ++k) {
        const int reference = indexAndReference[k].second;
        if (reference == 0)
            continue;
        const CGraphicObject* member = reference > 0 ? drawing.GetAt(reference - 1) : nullptr;
        if (member != nullptr && member->group != 0) {
            groups[k] = member->group;
            continue;
        }
        // A new group, or a member that is gone (only a damaged record names one): the objects that
        // name the same reference still share a group.
        auto [entry, added] = newGroup.try_emplace(reference, 0);
        if (added)
            entry->second = ++next;
        groups[k] = entry->second;
    }
    for (std::size_t k = 0; k < indexAndReference.size(); ++k) {
        if (CGraphicObject* object = drawing.GetAt(indexAndReference[k].first))
            object->group = groups[k];
    }
    drawing.RenumberAll();
}

void InsertStored(CDrawing& drawing, std::vector<IndexedObject>& objects) {
    std::vector<std::pair<int, int>> placed;
    placed.reserve(objects.size());
    for (IndexedObject& entry : objects) {
        if (drawing.InsertAt(entry.index, std::move(entry.object)))
            placed.emplace_back(entry.index, entry.groupRef);
    }
    ApplyGroupReferences(drawing, placed);
}

void SetStored(CDrawing& drawing, std::vector<IndexedObject>& objects) {
    std::vector<std::pair<int, int>> placed;
    placed.reserve(objects.size());
    for (IndexedObject& entry : objects) {
        if (drawing.SetAt(entry.index, std::move(entry.object)))
            placed.emplace_back(entry.index, entry.groupRef);
    }
    ApplyGroupReferences(drawing, placed);
}

} // namespace pq::undo_io
