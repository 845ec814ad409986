// Undo and redo of every record type restore the whole drawing.

#include "UndoTestSupport.h"
#include "model/Clipboard.h"
#include "model/UndoRecorder.h"

#include "TestHelpers.h"
#include "geometry/Transform.h"

#include <functional>

namespace pq::test {
namespace {

class UndoReplay : public ::testing::Test {
protected:
    void SetUp() override {
        drawing.SetPageSize(1480, 2100);
        drawing.SetPageCount(2);
        drawing.Add(MakeRect(0, 0, 100, 50, 0x0000FF, 0, 1));    // 0, group 1
        drawing.Add(MakeRect(10, 10, 30, 30, 0x00FF00, 0, 1));   // 1, group 1
        drawing.Add(MakeText(u"Hello\r\nWorld", 50, 60, 0));     // 2
        drawing.Add(MakeImage(-100, -100, 0));                   // 3
        drawing.Add(MakeMultiPath(3, 200, 200, 0, 2));           // 4, group 2
        drawing.Add(MakeRect(300, 300, 40, 40, 0xAA0000, 0, 2)); // 5, group 2
        drawing.Add(MakeRect(-50, -50, 20, 20, 0xBB0000, 1, 0)); // 6, page 1
        drawing.Add(MakeRect(-60, -60, 20, 20, 0xCC0000, 1, 3)); // 7, page 1, group 3
        drawing.Add(MakeText(u"p2", 0, 0, 1));                   // 8, page 1
        recorder.Attach(&drawing, &selection, &hooks);
    }

    // Runs one command, then undoes and redoes it twice, comparing the whole drawing each time.
    void ExpectRoundTrip(const std::function<void()>& command) {
        const DrawingSnapshot before = Snapshot(drawing);
        const int steps = recorder.CanUndo();
        command();
        const DrawingSnapshot after = Snapshot(drawing);
        ASSERT_NE(before, after) << "the command changed nothing";
        ASSERT_EQ(recorder.CanUndo(), steps + 1) << "the command recorded no step";
        for (int round = 0; round < 2; ++round) {
            recorder.Undo();
            EXPECT_EQ(Snapshot(drawing), before) << "after undo, round " << round;
            EXPECT_EQ(recorder.CanRedo(), 1);
            recorder.Redo();
            EXPECT_EQ(Snapshot(drawing), after) << "after redo, round " << round;
            EXPECT_EQ(recorder.CanRedo(), 0);
        }
    }

    CDrawing drawing;
    std::vector<int> selection;
    CUndoRecorder recorder;
    CRecordingHooks hooks;
};

TEST_F(UndoReplay, ModifyRestoresChangedObjects) {
    ExpectRoundTrip([&] {
        selection = {0, 2, 3};
        ASSERT_TRUE(recorder.RecordModify());
        drawing.GetAt(0)->color = 0x123456;
        drawing.GetAt(0)->AsPath()->subpaths[0]->operator[](1).anchor = {500, 5};
        drawing.GetAt(0)->RecalcBounds();
        drawing.GetAt(2)->AsText()->text = u"Changed";
        drawing.GetAt(2)->RecalcBounds();
        drawing.GetAt(3)->AsImage()->placement = {0, 1, 0, 1};
        drawing.GetAt(3)->RecalcBounds();
    });
}

TEST_F(UndoReplay, DeleteRestoresObjects) {
    ExpectRoundTrip([&] {
        // Selections hold whole groups: 0 and 1 are group 1, 4 and 5 group 2.
        selection = {8, 0, 5, 4, 1};
        ASSERT_TRUE(recorder.RecordDelete());
        drawing.DeleteIndices(selection);
        selection.clear();
    });
}

TEST_F(UndoReplay, DeleteThreeThenUndoPutsThemBackAtTheirIndicesInTheirGroups) {
    selection = {0, 1, 5};
    ASSERT_TRUE(recorder.RecordDelete());
    drawing.DeleteIndices(selection);
    ASSERT_EQ(drawing.Count(), 6);
    recorder.Undo();
    ASSERT_EQ(drawing.Count(), 9);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x0000FFu);
    EXPECT_EQ(drawing.GetAt(1)->color, 0x00FF00u);
    EXPECT_EQ(drawing.GetAt(5)->color, 0xAA0000u);
    // 0 and 1 are one group again; 5 rejoins 4, which stayed behind, only if they share a number; the
    // returning objects get new numbers, so 5 forms its own group now.
    EXPECT_NE(drawing.GetAt(0)->group, 0);
    EXPECT_EQ(drawing.GetAt(0)->group, drawing.GetAt(1)->group);
    EXPECT_NE(drawing.GetAt(5)->group, 0);
    EXPECT_NE(drawing.GetAt(5)->group, drawing.GetAt(0)->group);
    EXPECT_NE(drawing.GetAt(5)->group, drawing.GetAt(7)->group);
}

TEST_F(UndoReplay, MoveRestoresBlockPosition) {
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordMove(1, 7, 3));
        drawing.MoveIndices(std::vector<int>{1, 2, 3}, 7);
    });
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordMove(6, 0, 2));
        drawing.MoveIndices(std::vector<int>{6, 7}, 0);
    });
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordMove(2, 9, 1));
        drawing.MoveIndices(std::vector<int>{2}, 9);
    });
}

TEST_F(UndoReplay, PasteIsRemovedAndComesBack) {
    CDrawing clipboard;
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{4, 5, 2}, clipboard));
    ExpectRoundTrip([&] {
        EXPECT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 1, {-70, -80}), 3);
    });
}

TEST_F(UndoReplay, ReorderRestoresWholeList) {
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordReorder());
        drawing.MoveIndices(std::vector<int>{1, 3, 5}, 9);
    });
}

TEST_F(UndoReplay, AddRemovesAndAppendsAgain) {
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordAdd(2));
        drawing.Add(MakeRect(1, 2, 3, 4, 0x010101, 1, 0));
        drawing.Add(MakeText(u"new", 5, 5, 0));
    });
}

TEST_F(UndoReplay, GroupAndUngroupRestoreTheGroups) {
    ExpectRoundTrip([&] {
        selection = {2, 3};
        ASSERT_TRUE(recorder.RecordGroup());
        drawing.Group(selection);
    });
    ExpectRoundTrip([&] {
        selection = {4, 5};
        ASSERT_TRUE(recorder.RecordGroup());
        drawing.Ungroup(selection);
    });
}

TEST_F(UndoReplay, JoinIsTakenApartAndJoinedAgain) {
    ExpectRoundTrip([&] {
        selection = {0, 1, 4, 5};
        ASSERT_TRUE(recorder.RecordJoin());
        ASSERT_TRUE(drawing.Join(selection));
    });
}

TEST_F(UndoReplay, RefusedJoinUndoesToTheSameDrawing) {
    // Join records its step even when the first object is no path; undoing must not duplicate anything.
    const DrawingSnapshot before = Snapshot(drawing);
    selection = {2, 4};
    ASSERT_TRUE(recorder.RecordJoin());
    EXPECT_FALSE(drawing.Join(selection));
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
    recorder.Redo();
    EXPECT_EQ(Snapshot(drawing), before);
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
}

TEST_F(UndoReplay, BreakApartIsReassembled) {
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordBreak(4));
        ASSERT_EQ(drawing.BreakApart(4), 3);
    });
    // The pieces and the rectangle at 7 still form one group.
    EXPECT_EQ(drawing.GetAt(4)->group, drawing.GetAt(7)->group);
}

TEST_F(UndoReplay, BreakApartOfTextChangesNothingAndUndoKeepsIt) {
    const DrawingSnapshot before = Snapshot(drawing);
    ASSERT_TRUE(recorder.RecordBreak(2));
    EXPECT_EQ(drawing.BreakApart(2), 0);
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
}

TEST_F(UndoReplay, TransformIsInvertedAndAppliedAgain) {
    ExpectRoundTrip([&] {
        selection = {0, 2, 3, 4};
        CTransform matrix;
        matrix.Scale(2, 2, 1);
        matrix.Translate(-8, -16, 0);
        ASSERT_TRUE(recorder.RecordTransform(matrix));
        for (int index : selection)
            drawing.GetAt(index)->Transform(matrix);
    });
}

TEST_F(UndoReplay, RotationUndoesWithinRounding) {
    const DrawingSnapshot before = Snapshot(drawing, false);
    selection = {0, 4};
    CTransform matrix;
    matrix.Translate(-50, -25, 0);
    matrix.Rotate(0.7f);
    matrix.Translate(50, 25, 0);
    ASSERT_TRUE(recorder.RecordTransform(matrix));
    for (int index : selection)
        drawing.GetAt(index)->Transform(matrix);
    recorder.Undo();
    for (int index : {0, 4}) {
        const CNodeArray& nodes = *drawing.GetAt(index)->AsPath()->subpaths[0];
        EXPECT_TRUE(ExpectNear(nodes[0].anchor, index == 0 ? CPointF{0, 0} : CPointF{200, 200}, 1e-3));
        EXPECT_TRUE(ExpectNear(nodes[2].anchor, index == 0 ? CPointF{100, 50} : CPointF{210, 210}, 1e-3));
    }
    EXPECT_EQ(Snapshot(drawing, false).records[2], before.records[2]) << "objects outside the selection stay";
}

TEST_F(UndoReplay, ShrinkingTextBelowMinimumHeightUndoesToItsHeight) {
    // Scaling clamps an artistic text at height 3.0, which no inverse scale can take back.
    selection = {2};
    CTransform matrix;
    matrix.Scale(0.1f, 0.1f, 1);
    ASSERT_TRUE(recorder.RecordTransform(matrix));
    drawing.GetAt(2)->Transform(matrix);
    ASSERT_FLOAT_EQ(drawing.GetAt(2)->AsText()->height, 3.0f);
    recorder.Undo();
    EXPECT_FLOAT_EQ(drawing.GetAt(2)->AsText()->height, 10.0f);
    recorder.Redo();
    EXPECT_FLOAT_EQ(drawing.GetAt(2)->AsText()->height, 3.0f);
}

TEST_F(UndoReplay, FlatteningTransformUndoesExactly) {
    ExpectRoundTrip([&] {
        selection = {0, 4};
        CTransform matrix;
        matrix.Scale(0, 1, 1);
        ASSERT_TRUE(recorder.RecordTransform(matrix));
        for (int index : selection)
            drawing.GetAt(index)->Transform(matrix);
    });
}

TEST_F(UndoReplay, AddPagesAreRemovedAndAddedAgain) {
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordAddPages(2));
        drawing.AppendPages(2);
    });
    EXPECT_TRUE(hooks.Called("GoToLastPage"));
}

TEST_F(UndoReplay, InsertedPagesAreRemovedAndInsertedAgain) {
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordInsertPages(1, 2));
        ASSERT_TRUE(drawing.InsertPages(1, 2));
    });
    EXPECT_TRUE(hooks.Called("KeepCurrentPageInRange"));
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordInsertPages(0, 1));
        ASSERT_TRUE(drawing.InsertPages(0, 1));
    });
}

TEST_F(UndoReplay, DeletedPageComesBackWithItsObjects) {
    drawing.SetPageCount(3);
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordDeletePages(0, 1));
        ASSERT_TRUE(drawing.DeletePages(0, 1));
    });
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordDeletePages(1, 1));
        ASSERT_TRUE(drawing.DeletePages(1, 1));
    });
}

TEST_F(UndoReplay, DeletingEveryPageUndoesToTheSamePageCount) {
    // DeletePages never leaves fewer than one page, so undo may not simply insert the deleted count.
    drawing.SetPageCount(3);
    ExpectRoundTrip([&] {
        ASSERT_TRUE(recorder.RecordDeletePages(0, 5));
        ASSERT_TRUE(drawing.DeletePages(0, 5));
        ASSERT_EQ(drawing.PageCount(), 1);
        ASSERT_EQ(drawing.Count(), 0);
    });
}

TEST_F(UndoReplay, PageOperationsTheDrawingRefusesRecordNothing) {
    CDrawing single;
    recorder.Attach(&single, &selection, &hooks);
    EXPECT_FALSE(recorder.RecordDeletePages(0, 1));
    EXPECT_FALSE(recorder.RecordInsertPages(2, 1));
    EXPECT_FALSE(recorder.RecordInsertPages(0, 0));
    EXPECT_FALSE(recorder.RecordAddPages(0));
    EXPECT_EQ(recorder.CanUndo(), 0);
}

// One command of each record type in a row; undoing all of them walks back through every state and
// redoing all walks forward again.
TEST_F(UndoReplay, LongHistoryWalksBackAndForthThroughEveryState) {
    CDrawing clipboard;
    const std::vector<std::function<void()>> commands = {
        [&] {
            selection = {0, 2};
            recorder.RecordModify();
            drawing.GetAt(0)->color = 7;
            drawing.GetAt(2)->AsText()->style = 1;
            drawing.GetAt(2)->RecalcBounds();
        },
        [&] {
            selection = {2, 3};
            recorder.RecordDelete();
            drawing.DeleteIndices(selection);
        },
        [&] {
            recorder.RecordMove(0, 3, 2);
            drawing.MoveIndices(std::vector<int>{0, 1}, 3);
        },
        [&] {
            CopyToClipboard(drawing, std::vector<int>{0, 1}, clipboard);
            PasteFromClipboard(drawing, selection, recorder, clipboard, 0, {5, 5});
        },
        [&] {
            recorder.RecordReorder();
            drawing.MoveIndices(std::vector<int>{0, 2}, drawing.Count());
        },
        [&] {
            recorder.RecordAdd(1);
            drawing.Add(MakeRect(9, 9, 9, 9));
        },
        [&] {
            selection = {0, 1, 2};
            recorder.RecordGroup();
            drawing.Group(selection);
        },
        [&] {
            // The rectangle added last and the lone member of group 4.
            selection = {6, 9};
            recorder.RecordJoin();
            drawing.Join(selection);
        },
        [&] {
            int multi = -1;
            for (int i = 0; i < drawing.Count(); ++i) {
                if (drawing.GetAt(i)->AsPath() != nullptr && drawing.GetAt(i)->AsPath()->SubpathCount() > 1)
                    multi = i;
            }
            ASSERT_GE(multi, 0);
            recorder.RecordBreak(multi);
            drawing.BreakApart(multi);
        },
        [&] {
            selection = {0, 1, 3};
            CTransform matrix;
            matrix.Translate(-4, 6, 0);
            recorder.RecordTransform(matrix);
            for (int index : selection)
                drawing.GetAt(index)->Transform(matrix);
        },
        [&] {
            recorder.RecordAddPages(1);
            drawing.AppendPages(1);
        },
        [&] {
            recorder.RecordInsertPages(0, 1);
            drawing.InsertPages(0, 1);
        },
        [&] {
            recorder.RecordDeletePages(1, 1);
            drawing.DeletePages(1, 1);
        },
    };
    std::vector<DrawingSnapshot> states{Snapshot(drawing)};
    for (const auto& command : commands) {
        command();
        states.push_back(Snapshot(drawing));
        ASSERT_NE(states.back(), states[states.size() - 2]) << "command " << states.size() - 2;
    }
    ASSERT_EQ(recorder.CanUndo(), static_cast<int>(commands.size()));
    for (std::size_t i = commands.size(); i-- > 0;) {
        recorder.Undo();
        EXPECT_EQ(Snapshot(drawing), states[i]) << "undoing command " << i;
    }
    EXPECT_EQ(recorder.CanUndo(), 0);
    for (std::size_t i = 1; i <= commands.size(); ++i) {
        recorder.Redo();
        EXPECT_EQ(Snapshot(drawing), states[i]) << "redoing command " << i - 1;
    }
    EXPECT_EQ(recorder.CanRedo(), 0);
}

} // namespace
} // namespace pq::test
