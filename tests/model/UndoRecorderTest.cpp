// The histories: push, pop, the size limit, redo invalidation, what Undo asks of the view, and
// records that cannot be read completely.

#include "model/UndoRecorder.h"
#include "UndoTestSupport.h"

#include <algorithm>
#include <random>

namespace pq::test {
namespace {

CMemoryFile RecordOf(std::size_t size, uint8_t marker) {
    std::vector<uint8_t> bytes(size, marker);
    return CMemoryFile(bytes);
}

class UndoHistory : public ::testing::Test {
protected:
    void SetUp() override {
        drawing.SetPageCount(2);
        drawing.Add(MakeRect(0, 0, 10, 10, 1, 0, 1));
        drawing.Add(MakeRect(20, 0, 10, 10, 2, 0, 1));
        drawing.Add(MakeText(u"three", 40, 0, 0));
        drawing.Add(MakeRect(60, 0, 10, 10, 4, 1, 0));
        recorder.Attach(&drawing, &selection, &hooks);
    }

    // A command of type 0: records the selection, then recolours it.
    void Recolour(std::vector<int> indices, uint32_t color) {
        selection = std::move(indices);
        ASSERT_TRUE(recorder.RecordModify());
        for (int index : selection)
            drawing.GetAt(index)->color = color;
    }

    CDrawing drawing;
    std::vector<int> selection;
    CUndoRecorder recorder;
    CRecordingHooks hooks;
};

TEST_F(UndoHistory, PushIgnoresAnEmptyRecord) {
    CMemoryFile empty;
    EXPECT_FALSE(recorder.Push(empty, UndoRecordType::Modify, UndoDirection::TowardsUndo));
    EXPECT_EQ(recorder.CanUndo(), 0);
}

TEST_F(UndoHistory, PopTakesTheNewestRecordAndCutsTheStreamThere) {
    recorder.Push(RecordOf(5, 0xA1), UndoRecordType::Modify, UndoDirection::TowardsUndo);
    recorder.Push(RecordOf(7, 0xB2), UndoRecordType::Group, UndoDirection::TowardsUndo);
    ASSERT_EQ(recorder.GetHistoryBytes(UndoDirection::TowardsUndo), 12u);

    CMemoryFile record;
    UndoRecordType type = UndoRecordType::Modify;
    ASSERT_TRUE(recorder.Pop(UndoDirection::TowardsUndo, record, type));
    EXPECT_EQ(type, UndoRecordType::Group);
    EXPECT_EQ(record.GetLength(), 7u);
    EXPECT_EQ(record.GetPosition(), 0u);
    EXPECT_EQ(record.GetBytes()[6], 0xB2);
    EXPECT_EQ(recorder.GetHistoryBytes(UndoDirection::TowardsUndo), 5u);

    ASSERT_TRUE(recorder.Pop(UndoDirection::TowardsUndo, record, type));
    EXPECT_EQ(type, UndoRecordType::Modify);
    EXPECT_EQ(record.GetBytes()[0], 0xA1);
    EXPECT_FALSE(recorder.Pop(UndoDirection::TowardsUndo, record, type));
}

TEST_F(UndoHistory, TrimKeepsTheNewestRecordsUnderTheLimit) {
    // 600 kB in records of 60000 bytes: the newest ones summing to less than 500000 bytes stay.
    for (uint8_t i = 0; i < 10; ++i)
        recorder.Push(RecordOf(60000, i), UndoRecordType::Modify, UndoDirection::TowardsUndo);
    const auto entries = recorder.GetEntries(UndoDirection::TowardsUndo);
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(recorder.GetHistoryBytes(UndoDirection::TowardsUndo), 480000u);
    std::size_t offset = 0;
    for (const UndoEntry& entry : entries) {
        EXPECT_EQ(entry.offset, offset);
        offset += entry.length;
    }
    // The records are the newest eight, intact, newest last.
    CMemoryFile record;
    UndoRecordType type{};
    for (int marker = 9; marker >= 2; --marker) {
        ASSERT_TRUE(recorder.Pop(UndoDirection::TowardsUndo, record, type));
        EXPECT_EQ(record.GetLength(), 60000u);
        EXPECT_TRUE(std::all_of(record.GetBytes().begin(), record.GetBytes().end(),
                                [&](uint8_t b) { return b == marker; }));
    }
    EXPECT_EQ(recorder.CanUndo(), 0);
}

TEST_F(UndoHistory, AnOversizedNewestRecordSurvivesAlone) {
    recorder.Push(RecordOf(10, 1), UndoRecordType::Modify, UndoDirection::TowardsUndo);
    recorder.Push(RecordOf(10, 2), UndoRecordType::Modify, UndoDirection::TowardsUndo);
    recorder.Push(RecordOf(600000, 3), UndoRecordType::Reorder, UndoDirection::TowardsUndo);
    ASSERT_EQ(recorder.CanUndo(), 1);
    EXPECT_EQ(recorder.GetHistoryBytes(UndoDirection::TowardsUndo), 600000u);

    // The next record pushes the oversized one out.
    recorder.Push(RecordOf(10, 4), UndoRecordType::Modify, UndoDirection::TowardsUndo);
    ASSERT_EQ(recorder.CanUndo(), 1);
    EXPECT_EQ(recorder.GetHistoryBytes(UndoDirection::TowardsUndo), 10u);
}

TEST_F(UndoHistory, RedoHistoryIsTrimmedToo) {
    for (uint8_t i = 0; i < 6; ++i)
        recorder.Push(RecordOf(100001, i), UndoRecordType::Modify, UndoDirection::TowardsRedo);
    EXPECT_EQ(recorder.CanRedo(), 4);
    EXPECT_LE(recorder.GetHistoryBytes(UndoDirection::TowardsRedo), CUndoRecorder::kHistoryLimit);
}

TEST_F(UndoHistory, UndoThenANewEditDisablesRedo) {
    Recolour({0}, 10);
    Recolour({1}, 11);
    recorder.Undo();
    EXPECT_EQ(recorder.CanRedo(), 1);
    EXPECT_EQ(recorder.CanUndo(), 1);
    Recolour({2}, 12);
    EXPECT_EQ(recorder.CanRedo(), 0);
    EXPECT_EQ(recorder.CanUndo(), 2);
}

TEST_F(UndoHistory, UndoAndRedoWalkSeveralSteps) {
    Recolour({0}, 10);
    Recolour({0, 1}, 11);
    Recolour({1, 3}, 12);
    recorder.Undo();
    recorder.Undo();
    EXPECT_EQ(drawing.GetAt(0)->color, 10u);
    EXPECT_EQ(drawing.GetAt(1)->color, 2u);
    recorder.Redo();
    EXPECT_EQ(drawing.GetAt(1)->color, 11u);
    EXPECT_EQ(drawing.GetAt(3)->color, 4u);
    recorder.Redo();
    EXPECT_EQ(drawing.GetAt(3)->color, 12u);
    EXPECT_EQ(recorder.CanUndo(), 3);
    EXPECT_EQ(recorder.CanRedo(), 0);
    recorder.Redo(); // nothing left to redo
    EXPECT_EQ(drawing.GetAt(3)->color, 12u);
}

TEST_F(UndoHistory, AttachClearsBothHistories) {
    Recolour({0}, 10);
    Recolour({1}, 11);
    recorder.Undo();
    CDrawing other;
    recorder.Attach(&other, &selection, &hooks);
    EXPECT_EQ(recorder.CanUndo(), 0);
    EXPECT_EQ(recorder.CanRedo(), 0);
    EXPECT_EQ(recorder.GetHistoryBytes(UndoDirection::TowardsUndo), 0u);
}

TEST_F(UndoHistory, EmptySelectionRecordsNoModifyOrDelete) {
    selection.clear();
    EXPECT_FALSE(recorder.RecordModify());
    EXPECT_FALSE(recorder.RecordDelete());
    selection = {17, -1}; // names no object
    EXPECT_FALSE(recorder.RecordModify());
    EXPECT_EQ(recorder.CanUndo(), 0);
}

TEST_F(UndoHistory, UndoOfModifyKeepsTheRestoredSelectionForTheSelectTool) {
    Recolour({1, 3}, 9);
    selection = {0};
    recorder.Undo();
    EXPECT_EQ(selection, (std::vector<int>{1, 3}));
    EXPECT_TRUE(hooks.Called("ResetSelectTool"));

    hooks.selectActive = false;
    recorder.Redo();
    EXPECT_TRUE(selection.empty());
}

TEST_F(UndoHistory, UndoOfOtherTypesEmptiesTheSelection) {
    selection = {0};
    ASSERT_TRUE(recorder.RecordAdd(1));
    drawing.Add(MakeRect(1, 1, 1, 1));
    selection = {4};
    recorder.Undo();
    EXPECT_TRUE(selection.empty());
}

TEST_F(UndoHistory, UndoTellsTheViewInOrder) {
    Recolour({0}, 9);
    hooks.calls.clear();
    recorder.Undo();
    const std::vector<std::string> expected = {"ResetNodeTool", "LeavePendingSelection", "ResetSelectTool",
                                               "RepaintAll", "MarkModified"};
    EXPECT_EQ(hooks.calls, expected);
}

TEST_F(UndoHistory, NodeToolEditsTheSameObjectAgainAfterUndo) {
    hooks.nodeObject = 1;
    Recolour({1}, 9);
    hooks.calls.clear();
    recorder.Undo();
    EXPECT_EQ(hooks.reEdited, 1);
    EXPECT_FALSE(hooks.Called("RepaintAll"));
}

TEST_F(UndoHistory, NodeToolObjectGoneMeansRepaint) {
    hooks.nodeObject = 4;
    ASSERT_TRUE(recorder.RecordAdd(1));
    drawing.Add(MakeRect(1, 1, 1, 1));
    hooks.calls.clear();
    recorder.Undo();
    EXPECT_FALSE(hooks.Called("EditWithNodeTool 4"));
    EXPECT_TRUE(hooks.Called("RepaintAll"));
}

TEST_F(UndoHistory, RecorderWithoutViewStillReplays) {
    recorder.Attach(&drawing, &selection, nullptr);
    Recolour({0}, 9);
    recorder.Undo();
    EXPECT_EQ(drawing.GetAt(0)->color, 1u);
    EXPECT_TRUE(selection.empty());
}

// Records that cannot be read completely.

CMemoryFile IndexListRecord(std::initializer_list<int> indices) {
    CMemoryFile record;
    record.WriteInt32(static_cast<int32_t>(indices.size()));
    for (int index : indices)
        record.WriteInt32(index);
    return record;
}

void AppendObject(CMemoryFile& record, const CGraphicObject& object, std::size_t keepBytes = SIZE_MAX) {
    CMemoryFile file;
    ASSERT_TRUE(object.Save(file));
    const auto bytes = file.GetBytes();
    record.Write(bytes.data(), std::min(keepBytes, bytes.size()));
}

TEST_F(UndoHistory, TruncatedModifyRecordStopsAtTheBrokenObject) {
    CMemoryFile record = IndexListRecord({0, 1, 3});
    AppendObject(record, *MakeRect(5, 5, 5, 5, 100));
    AppendObject(record, *MakeRect(6, 6, 6, 6, 101), 30);
    recorder.Push(record, UndoRecordType::Modify, UndoDirection::TowardsUndo);
    recorder.Undo();
    EXPECT_EQ(drawing.Count(), 4);
    EXPECT_EQ(drawing.GetAt(0)->color, 100u);
    EXPECT_EQ(drawing.GetAt(1)->color, 2u);
    EXPECT_EQ(drawing.GetAt(3)->color, 4u);
    // Redo takes back exactly what was applied.
    ASSERT_EQ(recorder.CanRedo(), 1);
    recorder.Redo();
    EXPECT_EQ(drawing.GetAt(0)->color, 1u);
    EXPECT_EQ(drawing.GetAt(1)->color, 2u);
}

TEST_F(UndoHistory, TruncatedDeleteRecordPutsBackOnlyCompleteObjects) {
    CMemoryFile record = IndexListRecord({1, 3});
    AppendObject(record, *MakeRect(5, 5, 5, 5, 100));
    AppendObject(record, *MakeRect(6, 6, 6, 6, 101), 50);
    recorder.Push(record, UndoRecordType::Delete, UndoDirection::TowardsUndo);
    recorder.Undo();
    ASSERT_EQ(drawing.Count(), 5);
    EXPECT_EQ(drawing.GetAt(1)->color, 100u);
    recorder.Redo();
    ASSERT_EQ(drawing.Count(), 4);
    EXPECT_EQ(drawing.GetAt(1)->color, 2u);
    EXPECT_EQ(drawing.GetAt(3)->color, 4u);
}

TEST_F(UndoHistory, TruncatedReorderRecordChangesNothing) {
    const DrawingSnapshot before = Snapshot(drawing);
    CMemoryFile record;
    record.WriteInt32(4);
    for (int i = 0; i < 3; ++i)
        AppendObject(record, *drawing.GetAt(3 - i));
    recorder.Push(record, UndoRecordType::Reorder, UndoDirection::TowardsUndo);
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
    EXPECT_EQ(recorder.CanUndo(), 0);
}

TEST_F(UndoHistory, CountsLargerThanTheRecordAreRefused) {
    const DrawingSnapshot before = Snapshot(drawing);
    for (UndoRecordType type : {UndoRecordType::Modify, UndoRecordType::Delete, UndoRecordType::Group,
                                UndoRecordType::Join, UndoRecordType::Transform, UndoRecordType::Reorder}) {
        CMemoryFile record;
        record.WriteInt32(0x7FFFFFFF);
        record.WriteInt32(0);
        record.WriteInt32(1);
        recorder.Push(record, type, UndoDirection::TowardsUndo);
        recorder.Undo();
        EXPECT_EQ(Snapshot(drawing), before) << "type " << static_cast<int>(type);
    }
}

TEST_F(UndoHistory, UnknownRecordTypeIsConsumedWithoutEffect) {
    const DrawingSnapshot before = Snapshot(drawing);
    recorder.Push(RecordOf(12, 0), UndoRecordType::Reserved, UndoDirection::TowardsUndo);
    recorder.Push(RecordOf(12, 0), static_cast<UndoRecordType>(99), UndoDirection::TowardsUndo);
    recorder.Undo();
    recorder.Undo();
    EXPECT_EQ(recorder.CanUndo(), 0);
    EXPECT_EQ(Snapshot(drawing), before);
}

TEST_F(UndoHistory, GarbageRecordsOfEveryTypeNeverBreakTheDrawing) {
    std::mt19937 random(1234);
    // Small integers make the readers get past their first checks; objects are real records, cut.
    CMemoryFile objectBytes;
    AppendObject(objectBytes, *MakeText(u"garbage", 1, 1, 0));
    AppendObject(objectBytes, *MakeImage(1, 1, 1));
    for (int round = 0; round < 400; ++round) {
        const auto type = static_cast<UndoRecordType>(round % 14);
        CMemoryFile record;
        const int words = static_cast<int>(random() % 8);
        for (int w = 0; w < words; ++w)
            record.WriteInt32(static_cast<int32_t>(random() % 6) - 1);
        const std::size_t cut = random() % (objectBytes.GetLength() + 1);
        record.Write(objectBytes.GetData(), cut);
        if (record.GetLength() == 0)
            record.WriteInt32(1);
        const auto direction = round % 3 == 0 ? UndoDirection::TowardsRedo : UndoDirection::TowardsUndo;
        recorder.Push(record, type, direction);
        if (direction == UndoDirection::TowardsUndo)
            recorder.Undo();
        else
            recorder.Redo();

        ASSERT_GE(drawing.PageCount(), 1);
        for (const auto& object : drawing.Objects()) {
            ASSERT_NE(object->shape, nullptr);
            ASSERT_GE(object->page, 0) << "round " << round;
            ASSERT_LT(object->page, drawing.PageCount()) << "round " << round;
        }
        if (drawing.Count() > 40) {
            recorder.Clear();
            drawing.RemoveAt(4, drawing.Count() - 4);
        }
    }
}

} // namespace
} // namespace pq::test
