#pragma once

#include "platform/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pq {

class CDrawing;
class CTransform;
class IUndoViewHooks;
struct CRecordedStep;

// The kind of change a record describes; stored as the 16-bit type of a history entry.
enum class UndoRecordType : uint16_t {
    Modify = 0,       // selected objects changed in place
    Delete = 1,       // Delete, Cut
    Move = 2,         // a consecutive block moved in the list
    Paste = 3,        // Paste, Import
    Reorder = 4,      // the whole list reordered
    Add = 5,          // objects appended at the end
    Reserved = 6,     // written by nothing
    Group = 7,        // Group, Ungroup
    Join = 8,         // Join
    Break = 9,        // Break Apart
    Transform = 10,   // move, scale or rotate of the selection
    AddPages = 11,    // Add Page
    InsertPages = 12, // Insert Page Before / After
    DeletePages = 13, // Delete Page
};

// Which history a record goes to. Commands record towards undo; replays record the opposite step
// towards the other history. Several record types carry less towards redo (the redo replay rebuilds
// what it needs from the drawing).
enum class UndoDirection { TowardsUndo, TowardsRedo };

// One record of a history: where its bytes start in the history's stream, how many there are, and
// its type.
struct UndoEntry {
    std::size_t offset = 0;
    std::size_t length = 0;
    uint16_t type = 0;
};

// The undo and redo histories of one view. Every editing command records what it is about to change
// as a typed binary record before it changes the drawing; Undo replays the newest record backwards and
// records the opposite step into the redo history, Redo does the same the other way. Records hold
// copies of objects (their binary object records), never pointers.
//
// Record layouts (32-bit little-endian integers; an index list is a count and that many indices, an
// object list one group reference and one object record per listed index, an indexed object list the
// same with each object's index first; group references: model/UndoRecordIO.h):
//   0 Modify       index list, object list
//   1 Delete       ascending index list, object list (towards redo: the index list only)
//   2 Move         from, to, count (the block from .. from + count - 1 was moved with MoveIndices(to))
//   3 Paste        first, count (towards redo: also the count objects)
//   4 Reorder      object count, every object
//   5 Add          count (towards redo: also the last count objects)
//   7 Group        group table length, the page-major group table
//   8 Join         index list, object list, object count before the join (towards redo: index list)
//   9 Break        index, pieces, the object as a one-object list (towards redo: index and pieces only)
//  10 Transform    index list, the 64-byte matrix, a count of stored objects and their indexed object
//                  list: every listed object as it was before the step (so undo restores exact records)
//  11 AddPages     pages added
//  12 InsertPages  first page, count
//  13 DeletePages  first page, count, object count, the indexed object list of the pages' objects, the
//                  page count before the deletion (towards redo: first page and count only)
class CUndoRecorder {
public:
    // A stream longer than this is trimmed from the front after every push.
    static constexpr std::size_t kHistoryLimit = 500000;
    static constexpr std::size_t kStreamGrowBytes = 1024;
    // A record is built in a stream of its own before it is pushed; records of many objects run to
    // hundreds of kilobytes, which growing 1 KB at a time would copy over and over.
    static constexpr std::size_t kRecordGrowBytes = 65536;

    CUndoRecorder();

    // Connects the recorder to a drawing, the view's selection and the view's hooks (which may be
    // null), and clears both histories. Used for every new or opened document.
    void Attach(CDrawing* drawing, std::vector<int>* selection, IUndoViewHooks* view);
    // Empties both histories.
    void Clear();

    // The number of records in each history; non-zero enables Undo and Redo.
    [[nodiscard]] int CanUndo() const { return static_cast<int>(undoEntries.size()); }
    [[nodiscard]] int CanRedo() const { return static_cast<int>(redoEntries.size()); }
    // Counts every push, pop and clearing of the histories. Every edit records a step before it changes
    // the drawing and every undo or redo pops one, so a view that kept a drawn page can tell by this
    // count alone that the drawing may have changed since.
    [[nodiscard]] uint64_t GetChangeCount() const { return changeCount; }

    // Record operations. Each writes one record of its type into the history the direction names and
    // returns whether a record was pushed. Records that would describe nothing (an empty selection for
    // Modify and Delete, a page operation the drawing would refuse) write nothing. Indices that name
    // no object are left out of index lists.
    bool RecordModify(UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordModify(std::span<const int> indices, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordDelete(UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordDelete(std::span<const int> indices, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordMove(int from, int to, int count, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordPaste(int first, int count, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordReorder(UndoDirection direction = UndoDirection::TowardsUndo);
    // Records the whole list, as above, for a command that is about to move the objects at moved (in
    // ascending order) together to target, as CDrawing::MoveIndices does: a view learns which objects move.
    bool RecordReorder(std::span<const int> moved, int target);
    // Recorded before the count new objects are appended to the drawing.
    bool RecordAdd(int count, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordGroup(UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordJoin(UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordJoin(std::span<const int> indices, UndoDirection direction = UndoDirection::TowardsUndo);
    // Records the object at index with the number of pieces Break Apart will leave at index (its
    // subpath count for a path; 1 for any other object, which Break Apart leaves alone).
    bool RecordBreak(int index, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordTransform(const CTransform& matrix, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordTransform(std::span<const int> indices, const CTransform& matrix,
                         UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordAddPages(int count, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordInsertPages(int first, int count, UndoDirection direction = UndoDirection::TowardsUndo);
    bool RecordDeletePages(int first, int count, UndoDirection direction = UndoDirection::TowardsUndo);

    // Appends a record to a history (an empty record is ignored), empties the redo history when a
    // command pushes onto the undo history, and trims both histories. When memory runs out both
    // histories are cleared, so that no older step is ever replayed onto a drawing it does not match.
    // Returns whether the record is in the history.
    bool Push(const CMemoryFile& record, UndoRecordType type, UndoDirection history);
    // Takes the newest record out of a history into record (positioned at its start); false when the
    // history is empty.
    bool Pop(UndoDirection history, CMemoryFile& record, UndoRecordType& type);

    void Undo();
    void Redo();

    [[nodiscard]] CDrawing* GetDrawing() const { return drawing; }
    [[nodiscard]] std::vector<int>* GetSelection() const { return selection; }
    [[nodiscard]] std::size_t GetHistoryBytes(UndoDirection history) const;
    [[nodiscard]] std::span<const UndoEntry> GetEntries(UndoDirection history) const;

private:
    struct History {
        CMemoryFile& data;
        std::vector<UndoEntry>& entries;
    };
    [[nodiscard]] History HistoryOf(UndoDirection direction);

    void Replay(UndoDirection from);
    // Runs the replay of one record popped from the history `from`; returns true when it restored a
    // selection (type 0 only).
    bool ReplayRecord(UndoRecordType type, CMemoryFile& record, UndoDirection from);
    void TrimHistory(History history);
    // Finishes a record: pushes it when it was written completely, else clears both histories.
    bool Finish(const CMemoryFile& record, bool written, UndoRecordType type, UndoDirection direction);
    // Tells the view what a command's step touches; true, so that it ends a successful record call.
    bool Reported(UndoDirection direction, const CRecordedStep& step);
    // Tells the view what the replay under way touches (CReplayedStep); called last before the replay
    // changes the drawing.
    void ReportReplay(std::span<const int> before, std::span<const int> after);

    // Record writers shared by the public Record operations and the replays (UndoRecords.cpp).
    bool WriteObjects(CMemoryFile& record, std::span<const int> indices) const;
    [[nodiscard]] std::vector<int> ValidIndices(std::span<const int> indices) const;

    // Replays (UndoReplay.cpp). `opposite` is the history that receives the opposite step: towards
    // redo while undoing, towards undo while redoing. Each replay reads what it needs first, then
    // records the opposite of exactly what it is about to apply, then changes the drawing.
    bool ReplayModify(CMemoryFile& record, UndoDirection opposite);
    void ReplayDelete(CMemoryFile& record, UndoDirection opposite);
    void ReplayMove(CMemoryFile& record, UndoDirection opposite);
    void ReplayPaste(CMemoryFile& record, UndoDirection opposite);
    void ReplayReorder(CMemoryFile& record, UndoDirection opposite);
    void ReplayAdd(CMemoryFile& record, UndoDirection opposite);
    void ReplayGroup(CMemoryFile& record, UndoDirection opposite);
    void ReplayJoin(CMemoryFile& record, UndoDirection opposite);
    void ReplayBreak(CMemoryFile& record, UndoDirection opposite);
    void ReplayTransform(CMemoryFile& record, UndoDirection opposite);
    void ReplayAddPages(CMemoryFile& record, UndoDirection opposite);
    void ReplayInsertPages(CMemoryFile& record, UndoDirection opposite);
    void ReplayDeletePages(CMemoryFile& record, UndoDirection opposite);

    CDrawing* drawing = nullptr;
    std::vector<int>* selection = nullptr;
    IUndoViewHooks* view = nullptr;
    CMemoryFile undoData;
    CMemoryFile redoData;
    std::vector<UndoEntry> undoEntries;
    std::vector<UndoEntry> redoEntries;
    uint64_t changeCount = 0;
    bool clearRedoOnPush = true;
    // The change count before the replay under way popped its record, and whether it told what it touched.
    uint64_t replaySince = 0;
    bool replayReported = false;
};

} // namespace pq
