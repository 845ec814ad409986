// The replays: each takes one record popped from a history, reads what it needs, records the
// opposite of exactly what it is about to apply into the other history, then changes the drawing.
// A record that cannot be read completely stops where it breaks: the objects read before the break
// are applied (and only they are recorded), except where applying part of a record would lose or
// duplicate objects (reorder, join, break apart, transform), where nothing is applied.

#include "model/UndoRecorder.h"

#include "model/Drawing.h"
#include "model/ReorderedObjects.h"
#include "model/UndoRecordIO.h"

#include "geometry/Transform.h"

#include <algorithm>
#include <set>

namespace pq {

using namespace undo_io;

namespace {

bool Undoing(UndoDirection opposite) {
    return opposite == UndoDirection::TowardsRedo;
}

std::vector<int> IndicesOf(const std::vector<IndexedObject>& objects) {
    std::vector<int> indices;
    indices.reserve(objects.size());
    for (const IndexedObject& entry : objects)
        indices.push_back(entry.index);
    return indices;
}

std::vector<int> Range(int first, int count) {
    std::vector<int> indices(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = first + static_cast<int>(i);
    return indices;
}

} // namespace

bool CUndoRecorder::ReplayModify(CMemoryFile& record, UndoDirection opposite) {
    std::vector<int> indices;
    if (!ReadIndexList(record, indices) || !AllIndicesValid(*drawing, indices))
        return false;
    auto objects = ReadObjects(record, static_cast<int>(indices.size()));
    indices.resize(objects.size());
    if (indices.empty())
        return false;
    RecordModify(indices, opposite);
    for (std::size_t i = 0; i < indices.size(); ++i)
        objects[i].index = indices[i];
    ReportReplay(indices, indices);
    SetStored(*drawing, objects);
    if (selection != nullptr)
        *selection = indices;
    return true;
}

void CUndoRecorder::ReplayDelete(CMemoryFile& record, UndoDirection opposite) {
    std::vector<int> indices;
    if (!ReadIndexList(record, indices))
        return;
    if (!Undoing(opposite)) {
        // Redo: delete the listed objects again, recording them for the next undo.
        if (!AllIndicesValid(*drawing, indices))
            return;
        RecordDelete(indices, opposite);
        ReportReplay(indices, {});
        drawing->DeleteIndices(indices);
        return;
    }
    std::vector<IndexedObject> returning = ReadObjects(record, static_cast<int>(indices.size()));
    for (std::size_t i = 0; i < returning.size(); ++i)
        returning[i].index = indices[i];
    PrepareInsertion(*drawing, returning);
    if (returning.empty())
        return;
    // The indices describe the list after the insertion, so they are written as they are rather than
    // checked against the list before it.
    const std::vector<int> returned = IndicesOf(returning);
    CMemoryFile redo(kRecordGrowBytes);
    Finish(redo, WriteIndexList(redo, returned), UndoRecordType::Delete, opposite);
    ReportReplay({}, returned);
    InsertStored(*drawing, returning);
}

void CUndoRecorder::ReplayMove(CMemoryFile& record, UndoDirection opposite) {
    // The record always describes the forward move: the block from .. from + count - 1 was moved with
    // MoveIndices(block, to). Undo moves it back, redo moves it again; both record the same move.
    int from = 0;
    int to = 0;
    int count = 0;
    if (!ReadInt(record, from) || !ReadInt(record, to) || !ReadInt(record, count))
        return;
    const int objectCount = drawing->Count();
    if (count < 1 || from < 0 || from > objectCount - count || to < 0 || to > objectCount)
        return;
    // Where MoveIndices put the block: position lowered by the block's members that stood before it.
    const int movedStart = to - std::clamp(to - from, 0, count);
    int blockStart = from;
    int position = to;
    if (Undoing(opposite)) {
        blockStart = movedStart;
        position = from > movedStart ? from + count : from;
    }
    if (!RecordMove(from, to, count, opposite))
        return;
    // Where the block lands: position lowered by its members before it, held to the list.
    const int landing = std::min(position - std::clamp(position - blockStart, 0, count), objectCount - count);
    ReportReplay(Range(blockStart, count), Range(landing, count));
    drawing->MoveIndices(Range(blockStart, count), position);
}

void CUndoRecorder::ReplayPaste(CMemoryFile& record, UndoDirection opposite) {
    int first = 0;
    int count = 0;
    if (!ReadInt(record, first) || !ReadInt(record, count) || first < 0 || count < 1)
        return;
    if (Undoing(opposite)) {
        if (first > drawing->Count() - count)
            return;
        RecordPaste(first, count, opposite);
        ReportReplay(Range(first, count), {});
        drawing->RemoveAt(first, count);
        return;
    }
    if (first > drawing->Count())
        return;
    std::vector<IndexedObject> pasted = ReadObjects(record, count);
    if (pasted.empty())
        return;
    RecordPaste(first, static_cast<int>(pasted.size()), opposite);
    for (std::size_t i = 0; i < pasted.size(); ++i)
        pasted[i].index = first + static_cast<int>(i);
    ReportReplay({}, Range(first, static_cast<int>(pasted.size())));
    InsertStored(*drawing, pasted);
}

void CUndoRecorder::ReplayReorder(CMemoryFile& record, UndoDirection opposite) {
    int count = 0;
    if (!ReadInt(record, count) || count < 0)
        return;
    auto objects = ReadObjects(record, count);
    // Replacing only part of the list would leave some objects twice and others not at all.
    if (objects.size() != static_cast<std::size_t>(count))
        return;
    RecordReorder(opposite);
    // The view draws again only where the objects that change places lie, if they can be told.
    if (view != nullptr) {
        if (const auto moved = FindMovedObjects(*drawing, objects))
            ReportReplay(moved->before, moved->after);
    }
    drawing->RemoveAt(0, drawing->Count());
    for (std::size_t i = 0; i < objects.size(); ++i)
        objects[i].index = static_cast<int>(i);
    InsertStored(*drawing, objects);
}

void CUndoRecorder::ReplayAdd(CMemoryFile& record, UndoDirection opposite) {
    int count = 0;
    if (!ReadInt(record, count) || count < 1)
        return;
    if (Undoing(opposite)) {
        if (count > drawing->Count())
            return;
        RecordAdd(count, opposite);
        ReportReplay(Range(drawing->Count() - count, count), {});
        drawing->RemoveAt(drawing->Count() - count, count);
        return;
    }
    std::vector<IndexedObject> added = ReadObjects(record, count);
    if (added.empty())
        return;
    RecordAdd(static_cast<int>(added.size()), opposite);
    for (std::size_t i = 0; i < added.size(); ++i)
        added[i].index = drawing->Count() + static_cast<int>(i);
    ReportReplay({}, Range(drawing->Count(), static_cast<int>(added.size())));
    InsertStored(*drawing, added);
}

void CUndoRecorder::ReplayGroup(CMemoryFile& record, UndoDirection opposite) {
    std::vector<int> table;
    if (!ReadIndexList(record, table))
        return;
    RecordGroup(opposite);
    // The table counts objects page by page, while ApplyGroupTable takes list indices; the two agree
    // only while every page's objects stand together in page order (as right after loading). Between
    // edits they need not, so each page-major index is turned into the list index it stands for.
    std::vector<int> listIndex;
    listIndex.reserve(static_cast<std::size_t>(drawing->Count()));
    for (int page = 0; page < drawing->PageCount(); ++page) {
        for (int i = 0; i < drawing->Count(); ++i) {
            if (drawing->GetAt(i)->page == page)
                listIndex.push_back(i);
        }
    }
    std::size_t at = 0;
    while (at < table.size()) {
        const int members = table[at++];
        for (int k = 0; k < members && at < table.size(); ++k, ++at) {
            int& index = table[at];
            index = index >= 0 && static_cast<std::size_t>(index) < listIndex.size()
                        ? listIndex[static_cast<std::size_t>(index)]
                        : -1;
        }
    }
    // Group numbers change no pixel.
    ReportReplay({}, {});
    drawing->ApplyGroupTable(table);
}

void CUndoRecorder::ReplayJoin(CMemoryFile& record, UndoDirection opposite) {
    std::vector<int> indices;
    if (!ReadIndexList(record, indices) || indices.empty())
        return;
    if (!Undoing(opposite)) {
        if (!AllIndicesValid(*drawing, indices))
            return;
        RecordJoin(indices, opposite);
        // The joined path takes the place of the lowest listed object; Join refuses a list that does not
        // start with a path, and changes nothing.
        const int lowest = *std::min_element(indices.begin(), indices.end());
        if (indices.size() >= 2 && drawing->GetAt(indices.front())->AsPath() != nullptr)
            ReportReplay(indices, std::span<const int>(&lowest, 1));
        else
            ReportReplay({}, {});
        drawing->Join(indices);
        return;
    }
    auto objects = ReadObjects(record, static_cast<int>(indices.size()));
    int countBefore = 0;
    if (objects.size() != indices.size() || !ReadInt(record, countBefore))
        return;

    // A repeated index stands for one object; its first record is the one that goes back.
    std::vector<IndexedObject> returning;
    std::set<int> seen;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (seen.insert(indices[i]).second) {
            objects[i].index = indices[i];
            returning.push_back(std::move(objects[i]));
        }
    }
    const int listed = static_cast<int>(returning.size());
    const int lowest = *seen.begin();

    if (listed >= 2 && drawing->Count() == countBefore - listed + 1 && lowest >= 0 &&
        lowest < drawing->Count()) {
        // The join took place: the joined path stands at the lowest listed index, and the objects go back
        // into the list it leaves.
        PrepareInsertion(drawing->Count() - 1, returning);
        // Cannot happen for a record this recorder wrote; the joined path is kept for it.
        if (static_cast<int>(returning.size()) != listed)
            return;
        CMemoryFile redo(kRecordGrowBytes);
        Finish(redo, WriteIndexList(redo, indices), UndoRecordType::Join, opposite);
        ReportReplay(std::span<const int>(&lowest, 1), IndicesOf(returning));
        drawing->RemoveAt(lowest, 1);
        InsertStored(*drawing, returning);
    } else if (drawing->Count() == countBefore && AllIndicesValid(*drawing, indices)) {
        // Join refused the list (its first object is no path) and changed nothing; the objects are
        // put back in place all the same, so undo leaves the drawing as it was.
        CMemoryFile redo(kRecordGrowBytes);
        Finish(redo, WriteIndexList(redo, indices), UndoRecordType::Join, opposite);
        const std::vector<int> unchanged = IndicesOf(returning);
        ReportReplay(unchanged, unchanged);
        SetStored(*drawing, returning);
    }
}

void CUndoRecorder::ReplayBreak(CMemoryFile& record, UndoDirection opposite) {
    int index = 0;
    int pieces = 0;
    if (!ReadInt(record, index) || !ReadInt(record, pieces) || index < 0 || pieces < 0)
        return;
    if (!Undoing(opposite)) {
        if (index >= drawing->Count())
            return;
        RecordBreak(index, opposite);
        // A path becomes one piece per subpath; BreakApart leaves any other object alone.
        const CPathShape* path = drawing->GetAt(index)->AsPath();
        ReportReplay(std::span<const int>(&index, 1),
                     Range(index, path != nullptr ? static_cast<int>(path->SubpathCount()) : 1));
        drawing->BreakApart(index);
        return;
    }
    std::vector<IndexedObject> returning = ReadObjects(record, 1);
    if (returning.empty() || index > drawing->Count() - pieces)
        return;
    CMemoryFile redo(kRecordGrowBytes);
    Finish(redo, WriteInt(redo, index) && WriteInt(redo, pieces), UndoRecordType::Break, opposite);
    ReportReplay(Range(index, pieces), std::span<const int>(&index, 1));
    drawing->RemoveAt(index, pieces);
    returning.front().index = index;
    InsertStored(*drawing, returning);
}

void CUndoRecorder::ReplayTransform(CMemoryFile& record, UndoDirection opposite) {
    std::vector<int> indices;
    CTransform matrix;
    int storedCount = 0;
    if (!ReadIndexList(record, indices) || !ReadMatrix(record, matrix) || !ReadInt(record, storedCount) ||
        storedCount < 0 || !AllIndicesValid(*drawing, indices))
        return;
    std::vector<IndexedObject> stored = ReadObjects(record, storedCount, true);
    if (stored.size() != static_cast<std::size_t>(storedCount) ||
        std::any_of(stored.begin(), stored.end(), [&](const IndexedObject& entry) {
            return entry.index < 0 || entry.index >= drawing->Count();
        }))
        return;
    const std::vector<int> storedList = IndicesOf(stored);
    const std::set<int> storedIndices(storedList.begin(), storedList.end());
    // Without an inverse only objects with stored records can be undone; a record missing some
    // cannot have come from this recorder and is not applied.
    if (Undoing(opposite) && !InverseRestores(matrix) &&
        std::any_of(indices.begin(), indices.end(),
                    [&](int index) { return storedIndices.count(index) == 0; }))
        return;

    // The opposite record is the same step with the current state of the stored objects: the matrix
    // always describes the forward change, which undo inverts and redo applies.
    CMemoryFile other(kRecordGrowBytes);
    const bool written = WriteIndexList(other, indices) && WriteMatrix(other, matrix) &&
                         WriteInt(other, static_cast<int>(stored.size())) &&
                         undo_io::WriteObjects(other, *drawing, storedList, true);
    Finish(other, written, UndoRecordType::Transform, opposite);

    // Every listed object is transformed or set back; a stored object that is not listed is set back too.
    std::vector<int> touched = indices;
    touched.insert(touched.end(), storedList.begin(), storedList.end());
    ReportReplay(touched, touched);
    CTransform step = matrix;
    if (Undoing(opposite))
        step.SetMatrix(matrix.Inverse());
    for (int index : indices) {
        if (storedIndices.count(index) == 0)
            drawing->GetAt(index)->Transform(step);
    }
    SetStored(*drawing, stored);
}

void CUndoRecorder::ReplayAddPages(CMemoryFile& record, UndoDirection opposite) {
    int count = 0;
    if (!ReadInt(record, count) || count < 1)
        return;
    if (Undoing(opposite)) {
        if (drawing->PageCount() <= count)
            return;
        RecordAddPages(count, opposite);
        drawing->DeletePages(drawing->PageCount() - count, count);
        return;
    }
    RecordAddPages(count, opposite);
    drawing->AppendPages(count);
}

void CUndoRecorder::ReplayInsertPages(CMemoryFile& record, UndoDirection opposite) {
    int first = 0;
    int count = 0;
    if (!ReadInt(record, first) || !ReadInt(record, count) || first < 0 || count < 1)
        return;
    if (Undoing(opposite)) {
        if (drawing->PageCount() < 2 || first > drawing->PageCount() - count || count >= drawing->PageCount())
            return;
        CMemoryFile redo(kRecordGrowBytes);
        Finish(redo, WriteInt(redo, first) && WriteInt(redo, count), UndoRecordType::InsertPages, opposite);
        drawing->DeletePages(first, count);
        return;
    }
    if (first > drawing->PageCount())
        return;
    RecordInsertPages(first, count, opposite);
    drawing->InsertPages(first, count);
}

void CUndoRecorder::ReplayDeletePages(CMemoryFile& record, UndoDirection opposite) {
    int first = 0;
    int count = 0;
    if (!ReadInt(record, first) || !ReadInt(record, count) || first < 0 || count < 1)
        return;
    if (!Undoing(opposite)) {
        if (drawing->PageCount() < 2 || first >= drawing->PageCount())
            return;
        RecordDeletePages(first, count, opposite);
        drawing->DeletePages(first, count);
        return;
    }
    if (first > drawing->PageCount())
        return;
    int objectCount = 0;
    if (!ReadInt(record, objectCount) || objectCount < 0)
        return;
    std::vector<IndexedObject> returning = ReadObjects(record, objectCount, true);
    bool complete = returning.size() == static_cast<std::size_t>(objectCount);
    int pageCountBefore = 0;
    complete = complete && ReadInt(record, pageCountBefore);

    CMemoryFile redo(kRecordGrowBytes);
    Finish(redo, WriteInt(redo, first) && WriteInt(redo, count), UndoRecordType::DeletePages, opposite);
    drawing->InsertPages(first, count);
    // Deleting every page leaves one empty page behind, which the inserted pages now follow.
    if (complete && pageCountBefore >= 1 && drawing->PageCount() > pageCountBefore)
        drawing->SetPageCount(pageCountBefore);
    // Only objects that land on an existing page go back.
    std::erase_if(returning, [&](const IndexedObject& entry) {
        return entry.object->page < 0 || entry.object->page >= drawing->PageCount();
    });
    PrepareInsertion(*drawing, returning);
    InsertStored(*drawing, returning);
}

} // namespace pq
