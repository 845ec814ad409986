// Undo and redo of every record type restore the whole drawing.

#include "ModelTestHelpers.h"
#include "TestHelpers.h"

#include "model/Clipboard.h"
#include "model/UndoRecorder.h"

#include "geometry/Transform.h"

#include <functional>

namespace pq::test {
namespace {

class UndoReplay : public ::testing::Test {
protected:
    void SetUp() override {
        drawing.SetPageSize(1480, 2100);
        drawing.SetPageCount(2);
        drawing.Add(MakeRect({0, 100, 0, 50}, 0x0000FF, 0, 1));      // 0, group 1
        drawing.Add(MakeRect({10, 40, 10, 40}, 0x00FF00, 0, 1));     // 1, group 1
        drawing.Add(MakeText(u"Hello\r\nWorld", {50, 60}));          // 2
        drawing.Add(MakeImage({-100, -70, -100, -80}));              // 3
        drawing.Add(MakeRect({200, 210, 200, 210}, 0x00FF00, 0, 2)); // 4, group 2, three subpaths
        drawing.GetAt(4)->AsPath()->AddSubpath(RectangleNodes({220, 230, 200, 210}));
        drawing.GetAt(4)->AsPath()->AddSubpath(RectangleNodes({240, 250, 200, 210}));
        drawing.GetAt(4)->RecalcBounds();
        drawing.Add(MakeRect({300, 340, 300, 340}, 0xAA0000, 0, 2)); // 5, group 2
        drawing.Add(MakeRect({-50, -30, -50, -30}, 0xBB0000, 1));    // 6, page 1
        drawing.Add(MakeRect({-60, -40, -60, -40}, 0xCC0000, 1, 3)); // 7, page 1, group 3
        drawing.Add(MakeText(u"p2", {0, 0}, kTextArtistic, 1));      // 8, page 1
        recorder.Attach(&drawing, &selection, &hooks);
    }

    void TransformSelection(std::vector<int> indices, const CTransform& matrix) {
        selection = std::move(indices);
        ASSERT_TRUE(recorder.RecordTransform(matrix));
        for (int index : selection)
            drawing.GetAt(index)->Transform(matrix);
    }

    CDrawing drawing;
    std::vector<int> selection;
    CUndoRecorder recorder;
    CRecordingHooks hooks;
};

// Each command of the table runs on the drawing the previous ones left; it is undone and redone twice,
// comparing the whole drawing each time, and at the end the history walks back through every state.
TEST_F(UndoReplay, EveryRecordTypeUndoesAndRedoesToTheExactDrawing) {
    CDrawing clipboard;
    CTransform scale;
    scale.Scale(2, 2, 1);
    scale.Translate(-8, -16, 0);
    CTransform flatten;
    flatten.Scale(0, 1, 1);
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"modify",
         [&] {
             selection = {0, 2, 3};
             ASSERT_TRUE(recorder.RecordModify());
             drawing.GetAt(0)->color = 0x123456;
             (*drawing.GetAt(0)->AsPath()->subpaths[0])[1].anchor = {500, 5};
             drawing.GetAt(2)->AsText()->text = u"Changed";
             drawing.GetAt(3)->AsImage()->placement = {0, 1, 0, 1};
             for (int i : selection)
                 drawing.GetAt(i)->RecalcBounds();
         }},
        {"transform",
         [&] {
             TransformSelection({0, 2, 3, 4}, scale);
         }},
        {"flattening transform",
         [&] {
             TransformSelection({0, 4}, flatten);
         }},
        {"group",
         [&] {
             selection = {2, 3};
             ASSERT_TRUE(recorder.RecordGroup());
             drawing.Group(selection);
         }},
        {"ungroup",
         [&] {
             selection = {4, 5};
             ASSERT_TRUE(recorder.RecordGroup());
             drawing.Ungroup(selection);
         }},
        {"break apart",
         [&] {
             ASSERT_TRUE(recorder.RecordBreak(4));
             ASSERT_EQ(drawing.BreakApart(4), 3);
         }},
        {"join",
         [&] {
             selection = {0, 1, 4, 5};
             ASSERT_TRUE(recorder.RecordJoin());
             ASSERT_TRUE(drawing.Join(selection));
         }},
        {"move forward",
         [&] {
             ASSERT_TRUE(recorder.RecordMove(1, 7, 3));
             drawing.MoveIndices(std::vector<int>{1, 2, 3}, 7);
         }},
        {"move back",
         [&] {
             ASSERT_TRUE(recorder.RecordMove(6, 0, 2));
             drawing.MoveIndices(std::vector<int>{6, 7}, 0);
         }},
        {"reorder",
         [&] {
             ASSERT_TRUE(recorder.RecordReorder());
             drawing.MoveIndices(std::vector<int>{1, 3, 5}, drawing.Count());
         }},
        {"paste",
         [&] {
             ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{4, 5, 2}, clipboard));
             ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 1, {-70, -80}), 3);
         }},
        {"add",
         [&] {
             ASSERT_TRUE(recorder.RecordAdd(2));
             drawing.Add(MakeRect({1, 4, 2, 6}, 0x010101, 1));
             drawing.Add(MakeText(u"new", {5, 5}));
         }},
        {"delete",
         [&] {
             selection = {drawing.Count() - 1, 0, 2};
             ASSERT_TRUE(recorder.RecordDelete());
             drawing.DeleteIndices(selection);
             selection.clear();
         }},
        {"add pages",
         [&] {
             ASSERT_TRUE(recorder.RecordAddPages(2));
             drawing.AppendPages(2);
         }},
        {"insert pages",
         [&] {
             ASSERT_TRUE(recorder.RecordInsertPages(1, 2));
             ASSERT_TRUE(drawing.InsertPages(1, 2));
         }},
        {"delete first page",
         [&] {
             ASSERT_TRUE(recorder.RecordDeletePages(0, 1));
             ASSERT_TRUE(drawing.DeletePages(0, 1));
         }},
        // DeletePages never leaves fewer than one page, so undo may not simply insert the deleted count.
        {"delete every page",
         [&] {
             ASSERT_TRUE(recorder.RecordDeletePages(0, 99));
             ASSERT_TRUE(drawing.DeletePages(0, 99));
         }},
    };
    std::vector<DrawingSnapshot> states{Snapshot(drawing)};
    for (const auto& [name, command] : commands) {
        const int steps = recorder.CanUndo();
        command();
        states.push_back(Snapshot(drawing));
        ASSERT_NE(states.back(), states[states.size() - 2]) << name << " changed nothing";
        ASSERT_EQ(recorder.CanUndo(), steps + 1) << name << " recorded no step";
        for (int round = 0; round < 2; ++round) {
            recorder.Undo();
            ASSERT_EQ(Snapshot(drawing), states[states.size() - 2]) << "undoing " << name;
            recorder.Redo();
            ASSERT_EQ(Snapshot(drawing), states.back()) << "redoing " << name;
            EXPECT_EQ(recorder.CanRedo(), 0);
        }
    }
    for (std::size_t i = commands.size(); i-- > 0;) {
        recorder.Undo();
        EXPECT_EQ(Snapshot(drawing), states[i]) << "walking back over " << commands[i].first;
    }
    EXPECT_TRUE(hooks.Called("GoToLastPage"));
    EXPECT_TRUE(hooks.Called("KeepCurrentPageInRange"));
}

TEST_F(UndoReplay, DeleteThreeThenUndoPutsThemBackAtTheirIndicesInTheirGroups) {
    selection = {0, 1, 5};
    ASSERT_TRUE(recorder.RecordDelete());
    drawing.DeleteIndices(selection);
    recorder.Undo();
    EXPECT_EQ(Tags(drawing)[0], 0x0000FFu);
    EXPECT_EQ(Tags(drawing)[1], 0x00FF00u);
    EXPECT_EQ(Tags(drawing)[5], 0xAA0000u);
    // 0 and 1 are one group again; 5 is back in the group it shared with 4, which stayed.
    EXPECT_NE(drawing.GetAt(0)->group, 0);
    EXPECT_EQ(drawing.GetAt(0)->group, drawing.GetAt(1)->group);
    EXPECT_EQ(drawing.GetAt(5)->group, drawing.GetAt(4)->group);
    EXPECT_NE(drawing.GetAt(5)->group, drawing.GetAt(0)->group);
}

// Group numbers change under a stored step whenever something renumbers; membership must not.
TEST_F(UndoReplay, UndoKeepsGroupMembershipAcrossRenumbering) {
    // Group C,D; group A,B; recolour C; save (renumbers); undo: C stays with D, not with A and B.
    drawing.RemoveAt(0, drawing.Count());
    for (uint32_t tag = 0; tag < 4; ++tag)
        drawing.Add(MakeRect({0, 10, 0, 10}, tag));
    drawing.Group(std::vector<int>{2, 3});
    drawing.Group(std::vector<int>{0, 1});
    selection = {2};
    ASSERT_TRUE(recorder.RecordModify());
    drawing.GetAt(2)->color = 0x777777;
    drawing.RenumberAll();
    recorder.Undo();
    EXPECT_EQ(drawing.GetAt(2)->group, drawing.GetAt(3)->group);
    EXPECT_NE(drawing.GetAt(2)->group, drawing.GetAt(0)->group);

    // Join B with an ungrouped E, undo: B is back with A.
    drawing.Add(MakeRect({0, 10, 0, 10}, 4));
    selection = {1, 4};
    ASSERT_TRUE(recorder.RecordJoin());
    ASSERT_TRUE(drawing.Join(selection));
    recorder.Undo();
    EXPECT_EQ(Groups(drawing)[1], Groups(drawing)[0]);
    EXPECT_EQ(Groups(drawing)[4], 0);

    // A text transformed (stored whole), then the groups renumbered by a new group: back with its group.
    drawing.Add(MakeText(u"t", {0, 0}));
    drawing.Group(std::vector<int>{4, 5});
    selection = {5};
    CTransform move;
    move.Translate(5, 5, 0);
    ASSERT_TRUE(recorder.RecordTransform(move));
    drawing.GetAt(5)->Transform(move);
    drawing.Ungroup(std::vector<int>{0, 1});
    recorder.Undo();
    EXPECT_EQ(drawing.GetAt(5)->group, drawing.GetAt(4)->group);
    EXPECT_EQ(drawing.GetAt(0)->group, 0);
}

TEST_F(UndoReplay, RefusedJoinAndBreakOfTextUndoToTheSameDrawing) {
    // Join records its step even when the first object is no path; undoing must not duplicate anything.
    const DrawingSnapshot before = Snapshot(drawing);
    selection = {2, 4};
    ASSERT_TRUE(recorder.RecordJoin());
    EXPECT_FALSE(drawing.Join(selection));
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
    recorder.Redo();
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
    ASSERT_TRUE(recorder.RecordBreak(2));
    EXPECT_EQ(drawing.BreakApart(2), 0);
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
}

TEST_F(UndoReplay, TextShrunkToTheMinimumHeightUndoesToItsHeightAndRotationWithinRounding) {
    // Scaling clamps an artistic text at height 3.0, which no inverse scale can take back.
    const float height = drawing.GetAt(2)->AsText()->height;
    CTransform shrink;
    shrink.Scale(0.01f, 0.01f, 1);
    TransformSelection({2}, shrink);
    ASSERT_FLOAT_EQ(drawing.GetAt(2)->AsText()->height, 3.0f);
    recorder.Undo();
    EXPECT_FLOAT_EQ(drawing.GetAt(2)->AsText()->height, height);

    CTransform rotate;
    rotate.Translate(-50, -25, 0);
    rotate.Rotate(0.7f);
    rotate.Translate(50, 25, 0);
    TransformSelection({0}, rotate);
    recorder.Undo();
    const CNodeArray& nodes = *drawing.GetAt(0)->AsPath()->subpaths[0];
    EXPECT_TRUE(ExpectNear(nodes[2].anchor, CPointF{100, 50}, 1e-3));
}

TEST_F(UndoReplay, PageOperationsTheDrawingRefusesRecordNothing) {
    CDrawing single;
    recorder.Attach(&single, &selection, &hooks);
    EXPECT_FALSE(recorder.RecordDeletePages(0, 1));
    EXPECT_FALSE(recorder.RecordInsertPages(2, 1));
    EXPECT_FALSE(recorder.RecordAddPages(0));
    EXPECT_EQ(recorder.CanUndo(), 0);
}

} // namespace
} // namespace pq::test
