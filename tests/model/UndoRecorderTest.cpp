// The histories: push, pop, the size limit, redo invalidation, what Undo asks of the view, and records
// that cannot be read completely.

#include "ModelTestHelpers.h"

#include "model/UndoRecorder.h"

#include <algorithm>
#include <random>

namespace pq::test {
namespace {

constexpr auto kUndo = UndoDirection::TowardsUndo;

CMemoryFile RecordOf(std::size_t size, uint8_t marker) {
    return CMemoryFile(std::vector<uint8_t>(size, marker));
}

class UndoHistory : public ::testing::Test {
protected:
    void SetUp() override {
        drawing.SetPageCount(2);
        drawing.Add(MakeRect({0, 10, 0, 10}, 1, 0, 1));
        drawing.Add(MakeRect({20, 30, 0, 10}, 2, 0, 1));
        drawing.Add(MakeText(u"three", {40, 0}));
        drawing.Add(MakeRect({60, 70, 0, 10}, 4, 1));
        recorder.Attach(&drawing, &selection, &hooks);
    }

    // A command of type 0: records the selection, then recolours it.
    void Recolour(std::vector<int> indices, uint32_t color) {
        selection = std::move(indices);
        ASSERT_TRUE(recorder.RecordModify());
        for (int index : selection)
            drawing.GetAt(index)->color = color;
    }

    // Pushes a hand-made record of the given type and undoes it.
    void UndoRecord(const CMemoryFile& record, UndoRecordType type) {
        recorder.Push(record, type, kUndo);
        recorder.Undo();
    }

    CDrawing drawing;
    std::vector<int> selection;
    CUndoRecorder recorder;
    CRecordingHooks hooks;
};

TEST_F(UndoHistory, PopTakesTheNewestRecordAndAnEmptyOneIsNotPushed) {
    EXPECT_FALSE(recorder.Push(CMemoryFile{}, UndoRecordType::Modify, kUndo));
    recorder.Push(RecordOf(5, 0xA1), UndoRecordType::Modify, kUndo);
    recorder.Push(RecordOf(7, 0xB2), UndoRecordType::Group, kUndo);
    CMemoryFile record;
    UndoRecordType type{};
    ASSERT_TRUE(recorder.Pop(kUndo, record, type));
    EXPECT_EQ(type, UndoRecordType::Group);
    EXPECT_EQ(record.GetLength(), 7u);
    EXPECT_EQ(record.GetPosition(), 0u);
    EXPECT_EQ(recorder.GetHistoryBytes(kUndo), 5u);
    ASSERT_TRUE(recorder.Pop(kUndo, record, type));
    EXPECT_EQ(record.GetBytes()[0], 0xA1);
    EXPECT_FALSE(recorder.Pop(kUndo, record, type));
}

TEST_F(UndoHistory, TrimKeepsTheNewestRecordsUnderTheLimitInBothHistories) {
    for (uint8_t i = 0; i < 10; ++i)
        recorder.Push(RecordOf(60000, i), UndoRecordType::Modify, kUndo);
    ASSERT_EQ(recorder.CanUndo(), 8);
    EXPECT_EQ(recorder.GetHistoryBytes(kUndo), 480000u);
    CMemoryFile record;
    UndoRecordType type{};
    for (int marker = 9; marker >= 2; --marker) {
        ASSERT_TRUE(recorder.Pop(kUndo, record, type));
        EXPECT_EQ(record.GetLength(), 60000u);
        EXPECT_TRUE(std::all_of(record.GetBytes().begin(), record.GetBytes().end(),
                                [&](uint8_t b) { return b == marker; }));
    }
    for (uint8_t i = 0; i < 6; ++i)
        recorder.Push(RecordOf(100001, i), UndoRecordType::Modify, UndoDirection::TowardsRedo);
    EXPECT_EQ(recorder.CanRedo(), 4);
}

TEST_F(UndoHistory, AnOversizedNewestRecordSurvivesAloneUntilTheNext) {
    recorder.Push(RecordOf(10, 1), UndoRecordType::Modify, kUndo);
    recorder.Push(RecordOf(600000, 3), UndoRecordType::Reorder, kUndo);
    ASSERT_EQ(recorder.CanUndo(), 1);
    EXPECT_EQ(recorder.GetHistoryBytes(kUndo), 600000u);
    recorder.Push(RecordOf(10, 4), UndoRecordType::Modify, kUndo);
    ASSERT_EQ(recorder.CanUndo(), 1);
    EXPECT_EQ(recorder.GetHistoryBytes(kUndo), 10u);
}

TEST_F(UndoHistory, UndoThenANewEditDisablesRedoAndAttachClearsBoth) {
    Recolour({0}, 10);
    Recolour({1}, 11);
    recorder.Undo();
    EXPECT_EQ(recorder.CanRedo(), 1);
    Recolour({2}, 12);
    EXPECT_EQ(recorder.CanRedo(), 0);
    EXPECT_EQ(recorder.CanUndo(), 2);
    recorder.Undo();
    CDrawing other;
    recorder.Attach(&other, &selection, &hooks);
    EXPECT_EQ(recorder.CanUndo() + recorder.CanRedo(), 0);
}

TEST_F(UndoHistory, EmptySelectionRecordsNoModifyOrDelete) {
    selection.clear();
    EXPECT_FALSE(recorder.RecordModify());
    EXPECT_FALSE(recorder.RecordDelete());
    selection = {17, -1}; // names no object
    EXPECT_FALSE(recorder.RecordModify());
    EXPECT_EQ(recorder.CanUndo(), 0);
}

TEST_F(UndoHistory, UndoTellsTheViewInOrderAndKeepsOnlyARestoredModifySelection) {
    Recolour({1, 3}, 9);
    selection = {0};
    hooks.calls.clear();
    recorder.Undo();
    EXPECT_EQ(selection, (std::vector<int>{1, 3}));
    EXPECT_EQ(hooks.calls,
              (std::vector<std::string>{"ResetNodeTool", "LeavePendingSelection", "StepReplaying",
                                        "ResetSelectTool", "RepaintEdited", "MarkModified"}));
    hooks.selectActive = false;
    recorder.Redo();
    EXPECT_TRUE(selection.empty());

    ASSERT_TRUE(recorder.RecordAdd(1));
    drawing.Add(MakeRect({1, 2, 1, 2}));
    selection = {4};
    recorder.Undo();
    EXPECT_TRUE(selection.empty());

    recorder.Attach(&drawing, &selection, nullptr);
    Recolour({0}, 9);
    recorder.Undo();
    EXPECT_EQ(drawing.GetAt(0)->color, 1u) << "a recorder without a view still replays";
}

TEST_F(UndoHistory, NodeToolEditsTheSameObjectAgainUnlessItIsGone) {
    hooks.nodeObject = 1;
    Recolour({1}, 9);
    hooks.calls.clear();
    recorder.Undo();
    EXPECT_TRUE(hooks.Called("EditWithNodeTool 1"));
    EXPECT_FALSE(hooks.Called("RepaintAll"));

    hooks.nodeObject = 4;
    ASSERT_TRUE(recorder.RecordAdd(1));
    drawing.Add(MakeRect({1, 2, 1, 2}));
    hooks.calls.clear();
    recorder.Undo();
    EXPECT_FALSE(hooks.Called("EditWithNodeTool 4"));
    EXPECT_TRUE(hooks.Called("RepaintEdited"));
}

// An index list followed by whole objects (each after its group reference, "no group"), the last one cut
// to keepLast bytes.
CMemoryFile BrokenRecord(std::initializer_list<int> indices, std::size_t keepLast) {
    CMemoryFile record;
    record.WriteInt32(static_cast<int32_t>(indices.size()));
    for (int index : indices)
        record.WriteInt32(index);
    const auto whole = SaveBytes(*MakeRect({5, 10, 5, 10}, 100));
    record.WriteInt32(0);
    record.Write(whole.data(), whole.size());
    record.WriteInt32(0);
    record.Write(whole.data(), keepLast);
    return record;
}

TEST_F(UndoHistory, TruncatedRecordsApplyOnlyCompleteObjectsAndRedoTakesBackExactlyThat) {
    UndoRecord(BrokenRecord({0, 1, 3}, 30), UndoRecordType::Modify);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{100, 2, 0, 4}));
    recorder.Redo();
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{1, 2, 0, 4}));

    UndoRecord(BrokenRecord({1, 3}, 50), UndoRecordType::Delete);
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{1, 100, 2, 0, 4}));
    recorder.Redo();
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{1, 2, 0, 4}));
}

TEST_F(UndoHistory, LyingCountsAndUnknownTypesChangeNothing) {
    const DrawingSnapshot before = Snapshot(drawing);
    for (UndoRecordType type : {UndoRecordType::Modify, UndoRecordType::Delete, UndoRecordType::Group,
                                UndoRecordType::Join, UndoRecordType::Transform, UndoRecordType::Reorder}) {
        CMemoryFile record;
        record.WriteInt32(0x7FFFFFFF);
        record.WriteInt32(0);
        record.WriteInt32(1);
        UndoRecord(record, type);
        EXPECT_EQ(Snapshot(drawing), before) << "type " << static_cast<int>(type);
    }
    CMemoryFile reorder; // announces four objects, carries three
    reorder.WriteInt32(4);
    for (int i = 0; i < 3; ++i) {
        const auto bytes = SaveBytes(*drawing.GetAt(3 - i));
        reorder.Write(bytes.data(), bytes.size());
    }
    UndoRecord(reorder, UndoRecordType::Reorder);
    UndoRecord(RecordOf(12, 0), UndoRecordType::Reserved);
    UndoRecord(RecordOf(12, 0), static_cast<UndoRecordType>(99));
    EXPECT_EQ(recorder.CanUndo(), 0);
    EXPECT_EQ(Snapshot(drawing), before);
}

TEST_F(UndoHistory, GarbageRecordsOfEveryTypeNeverBreakTheDrawing) {
    std::mt19937 random(1234);
    // Small integers get the readers past their first checks; the objects are real records, cut.
    std::vector<uint8_t> objects = SaveBytes(*MakeText(u"garbage", {1, 1}));
    const auto image = SaveBytes(*MakeImage({1, 2, 1, 2}, 1));
    objects.insert(objects.end(), image.begin(), image.end());
    for (int round = 0; round < 150; ++round) {
        CMemoryFile record;
        for (int w = static_cast<int>(random() % 8); w > 0; --w)
            record.WriteInt32(static_cast<int32_t>(random() % 6) - 1);
        record.Write(objects.data(), random() % (objects.size() + 1));
        record.WriteInt32(1);
        const bool redo = round % 3 == 0;
        recorder.Push(record, static_cast<UndoRecordType>(round % 14),
                      redo ? UndoDirection::TowardsRedo : kUndo);
        redo ? recorder.Redo() : recorder.Undo();
        for (const auto& object : drawing.Objects()) {
            ASSERT_NE(object->shape, nullptr);
            ASSERT_GE(object->page, 0) << "round " << round;
            ASSERT_LT(object->page, drawing.PageCount()) << "round " << round;
        }
    }
}

} // namespace
} // namespace pq::test
