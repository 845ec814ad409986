// Random editing of a three-page drawing: every command records its step first, as the editor's
// commands do; saves renumber the groups in between. After each undo and redo the drawing must be the
// one it returns to, group membership included, whatever renumbered the groups since, and every object
// the replay did not tell the view of must be unchanged.

#include "ModelTestHelpers.h"

#include "model/Clipboard.h"
#include "model/UndoRecorder.h"

#include "geometry/Transform.h"

#include <cmath>
#include <random>

namespace pq::test {
namespace {

// Objects equal as records, groups compared as the partitions they describe.
::testing::AssertionResult SameDrawing(const CDrawing& actual, const CDrawing& expected) {
    const DrawingSnapshot got = Snapshot(actual);
    const DrawingSnapshot want = Snapshot(expected);
    if (got == want)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << "\nexpected " << want;
}

// Each object's record with its group number left out (groups change no pixel, and replays renumber
// them), the listed indices left out.
std::vector<std::vector<uint8_t>> Unlisted(const CDrawing& drawing, std::vector<int> listed) {
    std::sort(listed.begin(), listed.end());
    std::vector<std::vector<uint8_t>> records;
    for (int i = 0; i < drawing.Count(); ++i) {
        if (std::binary_search(listed.begin(), listed.end(), i))
            continue;
        std::vector<uint8_t> bytes = SaveBytes(*drawing.GetAt(i));
        std::fill(bytes.begin() + 4, bytes.begin() + 8, uint8_t{0});
        records.push_back(std::move(bytes));
    }
    return records;
}

// What a view redraws after a replay is where the objects it told of were and are: every other object
// must stand in the same order with the same record, and the pages must be the same. A replay that tells
// nothing (page steps only) is repainted whole.
::testing::AssertionResult ToldWhatItTouched(const CDrawing& before, const CDrawing& after,
                                             const CRecordingHooks& hooks, UndoRecordType type) {
    if (!hooks.Called("StepReplaying")) {
        if ((type == UndoRecordType::AddPages || type == UndoRecordType::InsertPages ||
             type == UndoRecordType::DeletePages) &&
            hooks.Called("RepaintAll"))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "type " << static_cast<int>(type) << " told nothing";
    }
    for (int index : hooks.replayedBefore)
        if (index < 0 || index >= before.Count())
            return ::testing::AssertionFailure() << "no object " << index << " before";
    for (int index : hooks.replayedAfter)
        if (index < 0 || index >= after.Count())
            return ::testing::AssertionFailure() << "no object " << index << " after";
    if (!hooks.Called("RepaintEdited"))
        return ::testing::AssertionFailure() << "a replay that told its objects repainted everything";
    if (before.PageCount() != after.PageCount() || before.GetPageWidth() != after.GetPageWidth() ||
        before.GetPageHeight() != after.GetPageHeight())
        return ::testing::AssertionFailure() << "the pages changed";
    if (Unlisted(before, hooks.replayedBefore) != Unlisted(after, hooks.replayedAfter))
        return ::testing::AssertionFailure()
               << "type " << static_cast<int>(type) << " changed an object it did not tell";
    return ::testing::AssertionSuccess();
}

class RandomEditor {
public:
    explicit RandomEditor(unsigned seed) : random(seed) {
        drawing.SetPageCount(3);
        for (int i = 0; i < 12; ++i)
            drawing.Add(NewObject(i % 3));
        recorder.Attach(&drawing, &selection, &hooks);
    }

    // One random step; a command that recorded a step pushes the drawing it started from.
    void Step(int step) {
        auto state = std::make_unique<CDrawing>();
        state->Assign(drawing);
        recorded = false;
        const char* name = Run(Pick(0, 19));
        SCOPED_TRACE(::testing::Message() << "step " << step << ": " << name);
        CheckInvariants();
        if (recorded) {
            undoStates.push_back(std::move(state));
            redoStates.clear();
        }
        // The history drops its oldest records past its size limit.
        while (undoStates.size() > static_cast<std::size_t>(recorder.CanUndo()))
            undoStates.erase(undoStates.begin());
        ASSERT_EQ(redoStates.size(), static_cast<std::size_t>(recorder.CanRedo()));
    }

    CDrawing drawing;
    std::vector<int> selection;
    CUndoRecorder recorder;
    CRecordingHooks hooks;
    CDrawing clipboard;
    std::vector<std::unique_ptr<CDrawing>> undoStates;
    std::vector<std::unique_ptr<CDrawing>> redoStates;
    int undos = 0;

    const char* Undo() {
        if (recorder.CanUndo() == 0)
            return "undo";
        auto current = std::make_unique<CDrawing>();
        current->Assign(drawing);
        const auto type =
            static_cast<UndoRecordType>(recorder.GetEntries(UndoDirection::TowardsUndo).back().type);
        hooks.calls.clear();
        recorder.Undo();
        ++undos;
        EXPECT_TRUE(SameDrawing(drawing, *undoStates.back()));
        EXPECT_TRUE(ToldWhatItTouched(*current, drawing, hooks, type));
        undoStates.pop_back();
        redoStates.push_back(std::move(current));
        return "undo";
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    float PickFloat(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    }

    std::unique_ptr<CGraphicObject> NewObject(int page) {
        const float x = PickFloat(-400, 400);
        const float y = PickFloat(-600, 600);
        const int kind = Pick(0, 5);
        if (kind == 0)
            return MakeText(u"T" + std::u16string(1, static_cast<char16_t>(u'a' + Pick(0, 25))), {x, y},
                            Pick(0, 1) == 0 ? kTextArtistic : kTextParagraph, page);
        if (kind == 1)
            return MakeImage({x, x + 30, y, y + 20}, page);
        auto object = MakeRect({x, x + PickFloat(5, 80), y, y + PickFloat(5, 80)},
                               static_cast<uint32_t>(Pick(0, 0xFFFFFF)), page);
        for (int extra = Pick(0, 2); extra > 0; --extra)
            object->AsPath()->AddSubpath(
                RectangleNodes({x + 100, x + 120, y + 10 * extra, y + 10 * extra + 5}));
        object->RecalcBounds();
        return object;
    }

    // A selection as the selection tool keeps it: ascending indices of objects on one page.
    std::vector<int> PickOnPage(int most) {
        const int page = Pick(0, drawing.PageCount() - 1);
        std::vector<int> onPage;
        for (int i = 0; i < drawing.Count(); ++i) {
            if (drawing.GetAt(i)->page == page)
                onPage.push_back(i);
        }
        std::shuffle(onPage.begin(), onPage.end(), random);
        onPage.resize(std::min<std::size_t>(onPage.size(), static_cast<std::size_t>(Pick(1, most))));
        std::sort(onPage.begin(), onPage.end());
        return onPage;
    }

    const char* Run(int command) {
        switch (command) {
        case 0:
        case 1:
            selection = PickOnPage(3);
            if (Recorded(recorder.RecordModify())) {
                for (int i : selection) {
                    drawing.GetAt(i)->color ^= 0x0F0F0F;
                    drawing.GetAt(i)->RecalcBounds();
                }
            }
            return "modify";
        case 2: {
            selection = PickOnPage(4);
            CTransform matrix;
            if (Pick(0, 9) == 0) {
                matrix.Scale(0, 1, 1); // no inverse: every object is stored
            } else {
                matrix.Translate(PickFloat(-50, 50), PickFloat(-50, 50), 0);
                matrix.Rotate(PickFloat(-1, 1));
                matrix.Scale(PickFloat(0.5f, 2), PickFloat(0.5f, 2), 1);
            }
            if (Recorded(recorder.RecordTransform(matrix))) {
                for (int i : selection)
                    drawing.GetAt(i)->Transform(matrix);
            }
            return "transform";
        }
        case 3:
        case 4:
            selection = PickOnPage(4);
            if (selection.size() >= 2 && Recorded(recorder.RecordGroup()))
                drawing.Group(selection);
            return "group";
        case 5:
            selection = PickOnPage(3);
            if (Recorded(recorder.RecordGroup()))
                drawing.Ungroup(selection);
            return "ungroup";
        case 6: {
            if (drawing.Count() == 0)
                return "break apart";
            const int index = Pick(0, drawing.Count() - 1);
            if (Recorded(recorder.RecordBreak(index)))
                drawing.BreakApart(index);
            return "break apart";
        }
        case 7:
            selection = PickOnPage(3);
            if (selection.size() >= 2 && Recorded(recorder.RecordJoin()))
                drawing.Join(selection);
            return "join";
        case 8: {
            const int count = Pick(1, 3);
            if (drawing.Count() < count)
                return "move";
            const int from = Pick(0, drawing.Count() - count);
            const int to = Pick(0, drawing.Count());
            std::vector<int> block;
            for (int i = 0; i < count; ++i)
                block.push_back(from + i);
            if (Recorded(recorder.RecordMove(from, to, count)))
                drawing.MoveIndices(block, to);
            return "move";
        }
        case 9:
            if (Recorded(recorder.RecordReorder())) {
                const std::vector<int> moved = PickOnPage(3);
                drawing.MoveIndices(moved, Pick(0, drawing.Count()));
            }
            return "reorder";
        case 10:
            if (drawing.Count() < 40 && Recorded(recorder.RecordAdd(1)))
                drawing.Add(NewObject(Pick(0, drawing.PageCount() - 1)));
            return "add";
        case 11:
            selection = PickOnPage(3);
            if (Recorded(recorder.RecordDelete()))
                drawing.DeleteIndices(selection);
            selection.clear();
            return "delete";
        case 12: {
            const std::vector<int> copied = PickOnPage(3);
            if (drawing.Count() < 40 && CopyToClipboard(drawing, copied, clipboard))
                Recorded(PasteFromClipboard(drawing, selection, recorder, clipboard,
                                            Pick(0, drawing.PageCount() - 1),
                                            {PickFloat(-100, 100), PickFloat(-100, 100)}) > 0);
            return "paste";
        }
        case 13: {
            const int choice = Pick(0, 2);
            if (choice == 0 && drawing.PageCount() < 6 && Recorded(recorder.RecordAddPages(1)))
                drawing.AppendPages(1);
            const int first = Pick(0, drawing.PageCount() - 1);
            if (choice == 1 && drawing.PageCount() < 6 && Recorded(recorder.RecordInsertPages(first, 1)))
                drawing.InsertPages(first, 1);
            if (choice == 2 && Recorded(recorder.RecordDeletePages(first, 1)))
                drawing.DeletePages(first, 1);
            return "pages";
        }
        case 14:
        case 15:
        case 16:
            return Undo();
        case 17:
        case 18:
            return Redo();
        default:
            drawing.RenumberAll();
            return "save";
        }
    }

    const char* Redo() {
        if (recorder.CanRedo() == 0)
            return "redo";
        auto current = std::make_unique<CDrawing>();
        current->Assign(drawing);
        const auto type =
            static_cast<UndoRecordType>(recorder.GetEntries(UndoDirection::TowardsRedo).back().type);
        hooks.calls.clear();
        recorder.Redo();
        EXPECT_TRUE(SameDrawing(drawing, *redoStates.back()));
        EXPECT_TRUE(ToldWhatItTouched(*current, drawing, hooks, type));
        redoStates.pop_back();
        undoStates.push_back(std::move(current));
        return "redo";
    }

    void CheckInvariants() {
        for (int i = 0; i < drawing.Count(); ++i) {
            const CGraphicObject& object = *drawing.GetAt(i);
            EXPECT_GE(object.page, 0);
            EXPECT_LT(object.page, drawing.PageCount());
            EXPECT_GE(object.group, 0);
            auto copy = object.Clone();
            copy->RecalcBounds();
            EXPECT_EQ(copy->bounds, object.bounds) << "object " << i << " has stale bounds";
        }
    }

    bool Recorded(bool step) {
        recorded = step;
        return step;
    }

    std::mt19937 random;
    bool recorded = false;
};

TEST(UndoRandomEdit, EveryUndoAndRedoReturnsTheExactDrawingAndGroups) {
    int undos = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        RandomEditor editor(seed);
        for (int step = 0; step < 300 && !::testing::Test::HasFailure(); ++step)
            editor.Step(step);
        undos += editor.undos;
        // Undoing everything that is left walks back through every recorded state.
        while (editor.recorder.CanUndo() > 0 && !::testing::Test::HasFailure())
            editor.Undo();
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_GT(undos, 1000);
}

} // namespace
} // namespace pq::test
