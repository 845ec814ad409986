#include "app/SelectionEdit.h"

#include "geometry/Transform.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/UndoRecorder.h"
#include "platform/MemoryFile.h"

#include <algorithm>
#include <memory>

namespace pq {

namespace {

bool SameObject(const CGraphicObject& a, const CGraphicObject& b) {
    if (!(a.bounds == b.bounds))
        return false;
    CMemoryFile first;
    CMemoryFile second;
    (void)a.Save(first);
    (void)b.Save(second);
    return first.GetBytes().size() == second.GetBytes().size() &&
           std::equal(first.GetBytes().begin(), first.GetBytes().end(), second.GetBytes().begin());
}

std::vector<int> ExistingIndices(const CDrawing& drawing, std::span<const int> selection) {
    std::vector<int> indices;
    for (int index : selection)
        if (drawing.GetAt(index) != nullptr)
            indices.push_back(index);
    return indices;
}

} // namespace

CSelectionKinds KindsOf(const CDrawing* drawing, std::span<const int> selection) {
    CSelectionKinds kinds;
    for (const CGraphicObject* object : SelectedObjects(drawing, selection)) {
        kinds.paths = kinds.paths || object->AsPath() != nullptr;
        kinds.texts = kinds.texts || object->AsText() != nullptr;
        kinds.images = kinds.images || object->AsImage() != nullptr;
    }
    return kinds;
}

std::vector<CGraphicObject*> SelectedObjects(const CDrawing* drawing, std::span<const int> selection) {
    std::vector<CGraphicObject*> objects;
    if (drawing == nullptr)
        return objects;
    for (int index : selection)
        if (CGraphicObject* object = drawing->GetAt(index))
            objects.push_back(object);
    return objects;
}

bool ApplyModifyStep(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection,
                     const std::function<void(CGraphicObject&)>& edit) {
    const std::vector<int> indices = ExistingIndices(drawing, selection);
    std::vector<std::unique_ptr<CGraphicObject>> copies;
    bool changed = false;
    for (int index : indices) {
        copies.push_back(drawing.GetAt(index)->Clone());
        edit(*copies.back());
        changed = changed || !SameObject(*copies.back(), *drawing.GetAt(index));
    }
    if (!changed)
        return false;
    recorder.RecordModify(indices);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        CGraphicObject* object = drawing.GetAt(indices[i]);
        object->CopyFrom(*copies[i]);
        // A copy does not carry a text's outline cache.
        object->RecalcBounds();
    }
    return true;
}

bool ApplyTransformStep(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection,
                        const CTransform& transform) {
    const std::vector<int> indices = ExistingIndices(drawing, selection);
    if (indices.empty())
        return false;
    // The transform record keeps the objects as they were, so undo gives back their exact records.
    recorder.RecordTransform(indices, transform);
    for (int index : indices)
        drawing.GetAt(index)->Transform(transform);
    return true;
}

} // namespace pq
