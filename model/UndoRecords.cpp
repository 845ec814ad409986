// The record writers: what each command stores before it changes the drawing.

#include "model/UndoRecorder.h"

#include "model/Drawing.h"
#include "model/UndoRecordIO.h"
#include "model/UndoViewHooks.h"

#include "geometry/Transform.h"

#include <algorithm>

namespace pq {

using namespace undo_io;

std::vector<int> CUndoRecorder::ValidIndices(std::span<const int> indices) const {
    std::vector<int> valid;
    valid.reserve(indices.size());
    for (int index : indices) {
        if (index >= 0 && index < drawing->Count())
            valid.push_back(index);
    }
    return valid;
}

bool CUndoRecorder::WriteObjects(CMemoryFile& record, std::span<const int> indices) const {
    return undo_io::WriteObjects(record, *drawing, indices);
}

bool CUndoRecorder::Reported(UndoDirection direction, const CRecordedStep& step) {
    // Only a command's own step: a replay records the opposite of what it undoes, which a view must not
    // take for a new edit.
    if (view != nullptr && clearRedoOnPush && direction == UndoDirection::TowardsUndo)
        view->StepRecorded(step);
    return true;
}

bool CUndoRecorder::Finish(const CMemoryFile& record, bool written, UndoRecordType type,
                           UndoDirection direction) {
    if (!written) {
        // A step that cannot be recorded leaves the older steps describing a drawing that will no
        // longer exist; replaying them would damage it.
        Clear();
        return false;
    }
    return Push(record, type, direction);
}

bool CUndoRecorder::RecordModify(UndoDirection direction) {
    return selection != nullptr && RecordModify(*selection, direction);
}

bool CUndoRecorder::RecordModify(std::span<const int> indices, UndoDirection direction) {
    if (drawing == nullptr)
        return false;
    const std::vector<int> valid = ValidIndices(indices);
    if (valid.empty())
        return false;
    CMemoryFile record(kRecordGrowBytes);
    const bool written = WriteIndexList(record, valid) && WriteObjects(record, valid);
    return Finish(record, written, UndoRecordType::Modify, direction) &&
           Reported(direction, {.objects = valid, .inPlace = true});
}

bool CUndoRecorder::RecordDelete(UndoDirection direction) {
    return selection != nullptr && RecordDelete(*selection, direction);
}

bool CUndoRecorder::RecordDelete(std::span<const int> indices, UndoDirection direction) {
    if (drawing == nullptr)
        return false;
    // Undo puts the objects back one by one at their indices, which restores the list only when the
    // indices ascend; DeleteIndices accepts any order, so the record sorts them.
    std::vector<int> valid = ValidIndices(indices);
    std::sort(valid.begin(), valid.end());
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
    if (valid.empty())
        return false;
    CMemoryFile record(kRecordGrowBytes);
    bool written = WriteIndexList(record, valid);
    if (direction == UndoDirection::TowardsUndo)
        written = written && WriteObjects(record, valid);
    return Finish(record, written, UndoRecordType::Delete, direction) && Reported(direction, {.objects = valid});
}

bool CUndoRecorder::RecordMove(int from, int to, int count, UndoDirection direction) {
    if (drawing == nullptr || count < 1 || from < 0 || from > drawing->Count() - count || to < 0 ||
        to > drawing->Count())
        return false;
    CMemoryFile record(kRecordGrowBytes);
    const bool written = WriteInt(record, from) && WriteInt(record, to) && WriteInt(record, count);
    std::vector<int> moved(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        moved[static_cast<std::size_t>(i)] = from + i;
    return Finish(record, written, UndoRecordType::Move, direction) && Reported(direction, {.objects = moved});
}

bool CUndoRecorder::RecordPaste(int first, int count, UndoDirection direction) {
    if (drawing == nullptr || first < 0 || count < 1)
        return false;
    CMemoryFile record(kRecordGrowBytes);
    bool written = WriteInt(record, first) && WriteInt(record, count);
    if (direction == UndoDirection::TowardsUndo) {
        // The pasted objects are about to be inserted at first.
        if (first > drawing->Count())
            return false;
    } else {
        if (first > drawing->Count() - count)
            return false;
        std::vector<int> pasted(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            pasted[static_cast<std::size_t>(i)] = first + i;
        written = written && WriteObjects(record, pasted);
    }
    return Finish(record, written, UndoRecordType::Paste, direction) &&
           Reported(direction, {.objects = {}, .inPlace = false, .insertedAt = first, .insertedCount = count});
}

bool CUndoRecorder::RecordReorder(UndoDirection direction) {
    if (drawing == nullptr)
        return false;
    std::vector<int> all(static_cast<std::size_t>(drawing->Count()));
    for (int i = 0; i < drawing->Count(); ++i)
        all[static_cast<std::size_t>(i)] = i;
    CMemoryFile record(kRecordGrowBytes);
    const bool written = WriteInt(record, drawing->Count()) && WriteObjects(record, all);
    return Finish(record, written, UndoRecordType::Reorder, direction);
}

bool CUndoRecorder::RecordReorder(std::span<const int> moved, int target) {
    if (!RecordReorder())
        return false;
    // The others keep their order, so only where the moved objects lie can the picture change. They end
    // up together, the first where target falls once those below it have left.
    std::vector<int> valid = ValidIndices(moved);
    std::sort(valid.begin(), valid.end());
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
    const int count = static_cast<int>(valid.size());
    target = std::max(target, 0);
    const auto below = std::count_if(valid.begin(), valid.end(), [target](int i) { return i < target; });
    const int first = std::min(target - static_cast<int>(below), drawing->Count() - count);
    return Reported(UndoDirection::TowardsUndo,
                    {.objects = valid, .inPlace = false, .insertedAt = first, .insertedCount = count});
}

bool CUndoRecorder::RecordAdd(int count, UndoDirection direction) {
    if (drawing == nullptr || count < 1)
        return false;
    CMemoryFile record(kRecordGrowBytes);
    bool written = WriteInt(record, count);
    if (direction == UndoDirection::TowardsRedo) {
        if (count > drawing->Count())
            return false;
        std::vector<int> added(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            added[static_cast<std::size_t>(i)] = drawing->Count() - count + i;
        written = written && WriteObjects(record, added);
    }
    return Finish(record, written, UndoRecordType::Add, direction) &&
           Reported(
               direction,
               {.objects = {}, .inPlace = false, .insertedAt = drawing->Count(), .insertedCount = count});
}

bool CUndoRecorder::RecordGroup(UndoDirection direction) {
    if (drawing == nullptr)
        return false;
    std::vector<int> table;
    drawing->BuildGroupTable(table);
    CMemoryFile record(kRecordGrowBytes);
    const bool written = WriteIndexList(record, table);
    // Group numbers change nothing drawn.
    return Finish(record, written, UndoRecordType::Group, direction) && Reported(direction, {});
}

bool CUndoRecorder::RecordJoin(UndoDirection direction) {
    return selection != nullptr && RecordJoin(*selection, direction);
}

bool CUndoRecorder::RecordJoin(std::span<const int> indices, UndoDirection direction) {
    if (drawing == nullptr)
        return false;
    // The list keeps its order: Join appends the subpaths in list order.
    const std::vector<int> valid = ValidIndices(indices);
    if (valid.empty())
        return false;
    CMemoryFile record(kRecordGrowBytes);
    bool written = WriteIndexList(record, valid);
    if (direction == UndoDirection::TowardsUndo) {
        // The count lets undo tell a join that happened from one Join refused (first object no path).
        written = written && WriteObjects(record, valid) && WriteInt(record, drawing->Count());
    }
    // The joined path takes the place of the lowest of them.
    return Finish(record, written, UndoRecordType::Join, direction) &&
           Reported(direction, {.objects = valid,
                                .inPlace = false,
                                .insertedAt = *std::min_element(valid.begin(), valid.end()),
                                .insertedCount = 1});
}

bool CUndoRecorder::RecordBreak(int index, UndoDirection direction) {
    if (drawing == nullptr)
        return false;
    const CGraphicObject* object = drawing->GetAt(index);
    if (object == nullptr)
        return false;
    const CPathShape* path = object->AsPath();
    const int pieces = path != nullptr ? static_cast<int>(path->SubpathCount()) : 1;
    CMemoryFile record(kRecordGrowBytes);
    bool written = WriteInt(record, index) && WriteInt(record, pieces);
    if (direction == UndoDirection::TowardsUndo)
        written = written && WriteObjects(record, std::span<const int>(&index, 1));
    return Finish(record, written, UndoRecordType::Break, direction) &&
           Reported(direction, {.objects = std::span<const int>(&index, 1),
                                .inPlace = false,
                                .insertedAt = index,
                                .insertedCount = pieces});
}

bool CUndoRecorder::RecordTransform(const CTransform& matrix, UndoDirection direction) {
    return selection != nullptr && RecordTransform(*selection, matrix, direction);
}

bool CUndoRecorder::RecordTransform(std::span<const int> indices, const CTransform& matrix,
                                    UndoDirection direction) {
    if (drawing == nullptr)
        return false;
    const std::vector<int> valid = ValidIndices(indices);
    if (valid.empty())
        return false;
    // Every object is stored as it was, so that undo gives back its exact record: the inverse matrix
    // puts path points back only up to float rounding, which many undos and redos would pile up, and
    // no inverse restores a text's clamped height or an image's lost rotation. The matrix stays in the
    // record for the step's other direction, which applies it.
    CMemoryFile record(kRecordGrowBytes);
    const bool written = WriteIndexList(record, valid) && WriteMatrix(record, matrix) &&
                         WriteInt(record, static_cast<int>(valid.size())) &&
                         undo_io::WriteObjects(record, *drawing, valid, true);
    return Finish(record, written, UndoRecordType::Transform, direction) &&
           Reported(direction, {.objects = valid, .inPlace = true});
}

bool CUndoRecorder::RecordAddPages(int count, UndoDirection direction) {
    if (drawing == nullptr || count < 1)
        return false;
    CMemoryFile record(kRecordGrowBytes);
    return Finish(record, WriteInt(record, count), UndoRecordType::AddPages, direction);
}

bool CUndoRecorder::RecordInsertPages(int first, int count, UndoDirection direction) {
    // The same conditions under which InsertPages changes the drawing.
    if (drawing == nullptr || first < 0 || first > drawing->PageCount() || count < 1)
        return false;
    CMemoryFile record(kRecordGrowBytes);
    const bool written = WriteInt(record, first) && WriteInt(record, count);
    return Finish(record, written, UndoRecordType::InsertPages, direction);
}

bool CUndoRecorder::RecordDeletePages(int first, int count, UndoDirection direction) {
    // The same conditions under which DeletePages changes the drawing, and the count it really
    // deletes: undo must insert exactly the pages that went.
    if (drawing == nullptr || drawing->PageCount() < 2 || count < 1 || first < 0 ||
        first >= drawing->PageCount())
        return false;
    const int pageCount = drawing->PageCount();
    count = std::min(count, pageCount - first);
    CMemoryFile record(kRecordGrowBytes);
    bool written = WriteInt(record, first) && WriteInt(record, count);
    if (direction == UndoDirection::TowardsUndo) {
        std::vector<int> onPages;
        for (int i = 0; i < drawing->Count(); ++i) {
            const int page = drawing->GetAt(i)->page;
            if (page >= first && page < first + count)
                onPages.push_back(i);
        }
        written = written && WriteInt(record, static_cast<int>(onPages.size())) &&
                  undo_io::WriteObjects(record, *drawing, onPages, true) && WriteInt(record, pageCount);
    }
    return Finish(record, written, UndoRecordType::DeletePages, direction);
}

} // namespace pq
