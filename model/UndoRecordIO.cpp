#include "model/UndoRecordIO.h"

#include "model/Drawing.h"

#include "geometry/Transform.h"
#include "platform/MemoryFile.h"

#include <algorithm>
#include <cmath>
#include <map>

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

bool WriteObjects(CMemoryFile& file, const CDrawing& drawing, std::span<const int> indices) {
    for (int index : indices) {
        const CGraphicObject* object = drawing.GetAt(index);
        if (object == nullptr || !object->Save(file))
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

std::vector<std::unique_ptr<CGraphicObject>> ReadObjects(CMemoryFile& file, int count) {
    std::vector<std::unique_ptr<CGraphicObject>> objects;
    for (int i = 0; i < count; ++i) {
        auto object = ReadObject(file);
        if (!object)
            break;
        objects.push_back(std::move(object));
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

void PrepareInsertion(const CDrawing& drawing, std::vector<IndexedObject>& objects) {
    std::stable_sort(objects.begin(), objects.end(),
                     [](const IndexedObject& a, const IndexedObject& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const int index = objects[i].first;
        if (index < 0 || index > drawing.Count() + static_cast<int>(i)) {
            objects.resize(i);
            break;
        }
    }
}

void InsertWithNewGroups(CDrawing& drawing, std::vector<IndexedObject>& objects) {
    // Stored group numbers may collide with numbers the drawing has handed out since (saving renumbers
    // the groups), so the returning objects get numbers no present group uses.
    int next = drawing.RenumberAll();
    std::map<int32_t, int32_t> renumbered;
    for (IndexedObject& entry : objects) {
        int32_t& group = entry.second->group;
        if (group == 0)
            continue;
        auto found = renumbered.find(group);
        if (found == renumbered.end())
            found = renumbered.emplace(group, ++next).first;
        group = found->second;
    }

    for (IndexedObject& entry : objects)
        drawing.InsertAt(entry.first, std::move(entry.second));
    // Numbering in order of appearance makes a drawing whose groups were dense before the change
    // come back with exactly the numbers it had.
    drawing.RenumberAll();
}

} // namespace pq::undo_io
