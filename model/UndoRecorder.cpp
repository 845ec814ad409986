// The two histories: pushing, popping, trimming, and driving Undo and Redo.

#include "model/UndoRecorder.h"

#include "model/Drawing.h"
#include "model/UndoViewHooks.h"

#include <cstring>
#include <new>

namespace pq {

namespace {

UndoDirection Other(UndoDirection direction) {
    return direction == UndoDirection::TowardsUndo ? UndoDirection::TowardsRedo : UndoDirection::TowardsUndo;
}

} // namespace

CUndoRecorder::CUndoRecorder() : undoData(kStreamGrowBytes), redoData(kStreamGrowBytes) {}

void CUndoRecorder::Attach(CDrawing* newDrawing, std::vector<int>* newSelection, IUndoViewHooks* newView) {
    drawing = newDrawing;
    selection = newSelection;
    view = newView;
    Clear();
}

void CUndoRecorder::Clear() {
    ++changeCount;
    undoData.Clear();
    redoData.Clear();
    undoEntries.clear();
    redoEntries.clear();
}

CUndoRecorder::History CUndoRecorder::HistoryOf(UndoDirection direction) {
    if (direction == UndoDirection::TowardsUndo)
        return {undoData, undoEntries};
    return {redoData, redoEntries};
}

std::size_t CUndoRecorder::GetHistoryBytes(UndoDirection history) const {
    return history == UndoDirection::TowardsUndo ? undoData.GetLength() : redoData.GetLength();
}

std::span<const UndoEntry> CUndoRecorder::GetEntries(UndoDirection history) const {
    return history == UndoDirection::TowardsUndo ? undoEntries : redoEntries;
}

bool CUndoRecorder::Push(const CMemoryFile& record, UndoRecordType type, UndoDirection direction) {
    if (record.GetLength() == 0)
        return false;
    ++changeCount;
    History history = HistoryOf(direction);
    const std::size_t offset = history.data.GetLength();
    bool appended = false;
    try {
        history.entries.push_back({offset, record.GetLength(), static_cast<uint16_t>(type)});
        appended = history.data.Seek(static_cast<int64_t>(offset)) && history.data.Write(record.GetBytes());
    } catch (const std::bad_alloc&) {
        appended = false;
    }
    if (!appended) {
        Clear();
        return false;
    }
    if (clearRedoOnPush && direction == UndoDirection::TowardsUndo) {
        redoData.Clear();
        redoEntries.clear();
    }
    TrimHistory(HistoryOf(UndoDirection::TowardsUndo));
    TrimHistory(HistoryOf(UndoDirection::TowardsRedo));
    return true;
}

void CUndoRecorder::TrimHistory(History history) {
    const std::size_t length = history.data.GetLength();
    if (length <= kHistoryLimit || history.entries.size() < 2)
        return;
    // The first record (from the second on) that starts within the newest kHistoryLimit bytes becomes
    // the oldest one kept. When even the newest record starts before that line it is larger than the
    // limit on its own, and it alone is kept.
    const std::size_t line = length - kHistoryLimit;
    std::size_t keep = history.entries.size() - 1;
    for (std::size_t i = 1; i < history.entries.size(); ++i) {
        if (history.entries[i].offset > line) {
            keep = i;
            break;
        }
    }
    // The bytes move down inside the stream's own storage, so trimming needs no new memory.
    const std::size_t cut = history.entries[keep].offset;
    uint8_t* bytes = history.data.GetData();
    std::memmove(bytes, bytes + cut, length - cut);
    history.data.SetLength(length - cut);
    history.entries.erase(history.entries.begin(),
                          history.entries.begin() + static_cast<std::ptrdiff_t>(keep));
    for (UndoEntry& entry : history.entries)
        entry.offset -= cut;
}

bool CUndoRecorder::Pop(UndoDirection direction, CMemoryFile& record, UndoRecordType& type) {
    History history = HistoryOf(direction);
    if (history.entries.empty())
        return false;
    ++changeCount;
    const UndoEntry entry = history.entries.back();
    history.entries.pop_back();
    record.Clear();
    const std::size_t available = history.data.GetLength();
    const bool inside = entry.offset <= available && entry.length <= available - entry.offset;
    bool copied = false;
    try {
        copied = inside && record.Write(history.data.GetData() + entry.offset, entry.length);
    } catch (const std::bad_alloc&) {
        copied = false;
    }
    history.data.SetLength(inside ? entry.offset : 0);
    if (!copied) {
        Clear();
        return false;
    }
    record.Seek(0);
    type = static_cast<UndoRecordType>(entry.type);
    return true;
}

void CUndoRecorder::Undo() {
    Replay(UndoDirection::TowardsUndo);
}

void CUndoRecorder::Redo() {
    Replay(UndoDirection::TowardsRedo);
}

void CUndoRecorder::Replay(UndoDirection from) {
    if (drawing == nullptr || HistoryOf(from).entries.empty())
        return;

    const int nodeObject = view != nullptr ? view->GetNodeToolObject() : -1;
    if (view != nullptr)
        view->ResetNodeTool();
    if (selection != nullptr)
        selection->clear();
    if (view != nullptr)
        view->LeavePendingSelection();

    CMemoryFile record(kStreamGrowBytes);
    UndoRecordType type = UndoRecordType::Modify;
    replaySince = changeCount;
    replayReported = false;
    if (!Pop(from, record, type))
        return;
    clearRedoOnPush = false;
    const bool restoredSelection = ReplayRecord(type, record, from);
    clearRedoOnPush = true;

    if (selection != nullptr) {
        bool keep = restoredSelection && view != nullptr && view->IsSelectToolActive();
        for (int index : *selection)
            keep = keep && index >= 0 && index < drawing->Count();
        if (!keep)
            selection->clear();
    }
    if (view == nullptr)
        return;
    view->ResetSelectTool();
    if (type == UndoRecordType::AddPages)
        view->GoToLastPage();
    else if (type == UndoRecordType::InsertPages || type == UndoRecordType::DeletePages)
        view->KeepCurrentPageInRange();
    // The node tool repaints as it takes its object up again.
    const bool nodeToolEdits =
        nodeObject >= 0 && nodeObject < drawing->Count() && view->EditWithNodeTool(nodeObject);
    if (!nodeToolEdits && replayReported)
        view->RepaintEdited();
    else if (!nodeToolEdits)
        view->RepaintAll();
    view->MarkModified();
}

void CUndoRecorder::ReportReplay(std::span<const int> before, std::span<const int> after) {
    if (view == nullptr)
        return;
    view->StepReplaying({.before = before, .after = after, .since = replaySince});
    replayReported = true;
}

bool CUndoRecorder::ReplayRecord(UndoRecordType type, CMemoryFile& record, UndoDirection from) {
    const UndoDirection opposite = Other(from);
    switch (type) {
    case UndoRecordType::Modify:
        return ReplayModify(record, opposite);
    case UndoRecordType::Delete:
        ReplayDelete(record, opposite);
        break;
    case UndoRecordType::Move:
        ReplayMove(record, opposite);
        break;
    case UndoRecordType::Paste:
        ReplayPaste(record, opposite);
        break;
    case UndoRecordType::Reorder:
        ReplayReorder(record, opposite);
        break;
    case UndoRecordType::Add:
        ReplayAdd(record, opposite);
        break;
    case UndoRecordType::Group:
        ReplayGroup(record, opposite);
        break;
    case UndoRecordType::Join:
        ReplayJoin(record, opposite);
        break;
    case UndoRecordType::Break:
        ReplayBreak(record, opposite);
        break;
    case UndoRecordType::Transform:
        ReplayTransform(record, opposite);
        break;
    case UndoRecordType::AddPages:
        ReplayAddPages(record, opposite);
        break;
    case UndoRecordType::InsertPages:
        ReplayInsertPages(record, opposite);
        break;
    case UndoRecordType::DeletePages:
        ReplayDeletePages(record, opposite);
        break;
    case UndoRecordType::Reserved:
        break;
    }
    return false;
}

} // namespace pq
