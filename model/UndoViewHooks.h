#pragma once

#include <cstdint>
#include <span>

namespace pq {

// What a step recorded for a new edit says the edit will touch, before the edit is made: the objects it
// changes where they stand, removes or moves within the list, and the range of indices that its new,
// moved or replacing objects hold after it. A view that kept its drawing of the page redraws only where
// these objects were and are.
struct CRecordedStep {
    std::span<const int> objects;
    bool inPlace = false; // the objects keep their indices (a modification or a transform)
    int insertedAt = 0;
    int insertedCount = 0;
};

// What the replay of one step touches, told before it changes the drawing: the objects it changes in place,
// removes or moves within the list, at their indices before the replay, and the objects it changes in place,
// brings back or moves, at their indices after it. Every other object shows what it showed (it may only have
// slid along the list as others came or went). since is the recorder's change count before the replay took
// its record: a picture of the drawing made at that count lacks this step and nothing else.
struct CReplayedStep {
    std::span<const int> before;
    std::span<const int> after;
    uint64_t since = 0;
};

// What Undo and Redo need from the view that owns the recorder. The model cannot see the view's tools,
// so the view implements this narrow interface; a recorder without hooks replays the drawing only.
class IUndoViewHooks {
public:
    virtual ~IUndoViewHooks() = default;

    // The index of the object the node tool is editing, or -1 when the node tool is not current or
    // edits nothing.
    [[nodiscard]] virtual int GetNodeToolObject() const = 0;
    // Drops the node tool's working copy of the edited object: a replay may replace or remove it.
    virtual void ResetNodeTool() = 0;
    // Makes the node tool edit the object at index again after a replay; false when it cannot (the
    // object there is no longer one the node tool edits), in which case the recorder repaints.
    virtual bool EditWithNodeTool(int index) = 0;

    [[nodiscard]] virtual bool IsSelectToolActive() const = 0;
    // Abandons any selection gesture in progress (a rubber band, a pending tap) before a replay.
    virtual void LeavePendingSelection() = 0;
    // Rebuilds the select tool's frame and handles from the selection after a replay has set it.
    virtual void ResetSelectTool() = 0;

    virtual void RepaintAll() = 0;
    // A command recorded a step whose objects the record names (Modify, Delete, Move, Paste, Add, Group,
    // Join, Break, Transform, and a reordering recorded with the objects it moves); the page steps, a
    // reordering recorded without them and replays report nothing.
    virtual void StepRecorded(const CRecordedStep& /*step*/) {}
    // A replay whose objects are known (every step but the page steps; a whole reordering names the fewest
    // objects that change places, found by matching the objects' records) tells them before it changes the
    // drawing; Undo and Redo then end with RepaintEdited instead of RepaintAll.
    virtual void StepReplaying(const CReplayedStep& /*step*/) {}
    // Repaints what the last step told touched.
    virtual void RepaintEdited() { RepaintAll(); }
    virtual void MarkModified() = 0;

    // After undoing or redoing Add Page the view shows the last page.
    virtual void GoToLastPage() = 0;
    // After a replay that removed pages the current page may lie past the end: the view moves it
    // back onto the last page.
    virtual void KeepCurrentPageInRange() = 0;
};

} // namespace pq
