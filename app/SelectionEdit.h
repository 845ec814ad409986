#pragma once

#include <functional>
#include <span>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;
class CTransform;
class CUndoRecorder;

// What kinds of objects a selection holds.
struct CSelectionKinds {
    bool paths = false;
    bool texts = false;
    bool images = false;

    [[nodiscard]] bool Empty() const { return !paths && !texts && !images; }
};
[[nodiscard]] CSelectionKinds KindsOf(const CDrawing* drawing, std::span<const int> selection);

// The selected objects that exist, in selection order.
[[nodiscard]] std::vector<CGraphicObject*> SelectedObjects(const CDrawing* drawing,
                                                           std::span<const int> selection);

// One page of the property sheet applied as one modify step: the edit runs on copies of the selected
// objects, and only when some copy came out different from its object (record bytes or bounds) is the
// step recorded and are the changed copies put in place. A page that changes nothing leaves no step, so
// Undo never appears to do nothing. Returns whether the drawing changed.
bool ApplyModifyStep(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection,
                     const std::function<void(CGraphicObject&)>& edit);

// Transforms the selected objects as one transform step; false (nothing recorded) without objects.
bool ApplyTransformStep(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection,
                        const CTransform& transform);

} // namespace pq
