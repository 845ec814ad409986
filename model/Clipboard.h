#pragma once

#include "geometry/PointF.h"

#include <span>
#include <vector>

namespace pq {

class CDrawing;
class CUndoRecorder;

// The private clipboard: a drawing owned by the application into which Copy clones the selected
// objects. These are the clipboard commands without their view: the view decides when they are
// enabled, supplies the document point under its pixel (10, 10) for Paste, and scrolls or repaints
// and marks the document modified afterwards.

// Replaces the clipboard's objects by copies of the selected ones (their groups numbered from 1).
// False, with the clipboard unchanged, when no selected index names an object.
bool CopyToClipboard(const CDrawing& drawing, std::span<const int> selection, CDrawing& clipboard);

// Copy, then records the deletion (one undo step) and deletes the selected objects; the selection
// becomes empty. The recorder must be attached to drawing. False, changing nothing, when there is
// nothing to cut.
bool CutToClipboard(CDrawing& drawing, std::vector<int>& selection, CUndoRecorder& recorder,
                    CDrawing& clipboard);

// Adds copies of the clipboard's objects at the end of the list on the given page (put into the
// drawing's page range), as one undo step. The drawing's groups are renumbered and the copies' groups
// numbered above them. The copies become the selection and are moved so that the top-left corner of
// their common bounds lies on topLeft. The clipboard keeps its objects (their page becomes the given
// page), so pasting again adds more copies at the same place. Returns the number of objects pasted;
// 0 (nothing changed) for an empty clipboard or a recorder attached to another drawing.
int PasteFromClipboard(CDrawing& drawing, std::vector<int>& selection, CUndoRecorder& recorder,
                       CDrawing& clipboard, int currentPage, CPointF topLeft);

} // namespace pq
