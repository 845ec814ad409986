// Copy, cut and paste through the private clipboard drawing.

#include "model/Clipboard.h"
#include "UndoTestSupport.h"
#include "model/UndoRecorder.h"

#include "TestHelpers.h"

namespace pq::test {
namespace {

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        drawing.SetPageCount(3);
        drawing.Add(MakeRect(100, 200, 50, 40, 1, 0, 1)); // 0, group 1
        drawing.Add(MakeRect(160, 220, 20, 20, 2, 0, 1)); // 1, group 1
        drawing.Add(MakeText(u"label", 300, 300, 0));     // 2
        drawing.Add(MakeRect(-80, -80, 10, 10, 4, 1, 0)); // 3, page 1
        recorder.Attach(&drawing, &selection, &hooks);
    }

    CDrawing drawing;
    CDrawing clipboard;
    std::vector<int> selection;
    CUndoRecorder recorder;
    CRecordingHooks hooks;
};

TEST_F(Clipboard, CopyReplacesTheClipboardWithCopiesOfTheSelection) {
    clipboard.Add(MakeRect(0, 0, 1, 1));
    const DrawingSnapshot before = Snapshot(drawing, false);
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{1, 2}, clipboard));
    ASSERT_EQ(clipboard.Count(), 2);
    EXPECT_EQ(clipboard.GetAt(0)->color, 2u);
    EXPECT_EQ(clipboard.GetAt(0)->group, 1);
    EXPECT_NE(clipboard.GetAt(1)->AsText(), nullptr);
    EXPECT_EQ(Snapshot(drawing, false), before);
    EXPECT_EQ(recorder.CanUndo(), 0) << "copying changes no drawing";
}

TEST_F(Clipboard, CopyOfNothingKeepsTheClipboard) {
    clipboard.Add(MakeRect(0, 0, 1, 1, 77));
    EXPECT_FALSE(CopyToClipboard(drawing, std::vector<int>{}, clipboard));
    EXPECT_FALSE(CopyToClipboard(drawing, std::vector<int>{9}, clipboard));
    ASSERT_EQ(clipboard.Count(), 1);
    EXPECT_EQ(clipboard.GetAt(0)->color, 77u);
}

TEST_F(Clipboard, CutMovesTheSelectionToTheClipboardAsOneUndoStep) {
    const DrawingSnapshot before = Snapshot(drawing);
    selection = {0, 1};
    ASSERT_TRUE(CutToClipboard(drawing, selection, recorder, clipboard));
    EXPECT_TRUE(selection.empty());
    EXPECT_EQ(clipboard.Count(), 2);
    ASSERT_EQ(drawing.Count(), 2);
    EXPECT_EQ(drawing.GetAt(0)->AsText()->text, u"label");
    EXPECT_EQ(recorder.CanUndo(), 1);
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
    EXPECT_EQ(clipboard.Count(), 2) << "undo leaves the clipboard alone";
}

TEST_F(Clipboard, CutWithARecorderOfAnotherDrawingChangesNothing) {
    CDrawing other;
    CUndoRecorder foreign;
    foreign.Attach(&other, &selection, nullptr);
    selection = {0};
    EXPECT_FALSE(CutToClipboard(drawing, selection, foreign, clipboard));
    EXPECT_EQ(drawing.Count(), 4);
    EXPECT_EQ(selection, std::vector<int>{0});
}

TEST_F(Clipboard, PastingTwiceGivesTwoCopiesAtTheSamePlace) {
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{0, 1}, clipboard));
    const CPointF target{-500, -700};
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 0, target), 2);
    EXPECT_EQ(selection, (std::vector<int>{4, 5}));
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 0, target), 2);
    EXPECT_EQ(selection, (std::vector<int>{6, 7}));
    ASSERT_EQ(drawing.Count(), 8);

    for (int first : {4, 6}) {
        // The common bounds' top-left corner lands on the target; the pair keeps its arrangement.
        EXPECT_TRUE(ExpectNear(drawing.GetAt(first)->bounds.TopLeft(), target, 1e-3));
        EXPECT_TRUE(
            ExpectNear(drawing.GetAt(first + 1)->bounds.TopLeft(), {target.x + 60, target.y + 20}, 1e-3));
    }
    EXPECT_EQ(drawing.GetAt(4)->bounds, drawing.GetAt(6)->bounds);
    // Each paste is a group of its own, apart from the original.
    EXPECT_EQ(drawing.GetAt(4)->group, drawing.GetAt(5)->group);
    EXPECT_EQ(drawing.GetAt(6)->group, drawing.GetAt(7)->group);
    EXPECT_NE(drawing.GetAt(4)->group, drawing.GetAt(6)->group);
    EXPECT_NE(drawing.GetAt(4)->group, drawing.GetAt(0)->group);
    EXPECT_NE(drawing.GetAt(6)->group, 0);
    EXPECT_EQ(recorder.CanUndo(), 2);
}

TEST_F(Clipboard, PastingOnAnotherPagePutsTheCopiesOnTheCurrentPage) {
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{2}, clipboard));
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 2, {0, 0}), 1);
    EXPECT_EQ(drawing.GetAt(4)->page, 2);
    EXPECT_EQ(drawing.ObjectCountOnPage(2), 1);
    EXPECT_EQ(drawing.GetAt(2)->page, 0) << "the original stays where it was";
}

TEST_F(Clipboard, APageBeyondTheDrawingPastesOntoItsLastPage) {
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{2}, clipboard));
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 9, {0, 0}), 1);
    EXPECT_EQ(drawing.GetAt(4)->page, 2);
}

TEST_F(Clipboard, UndoRemovesThePasteAndRedoBringsItBackInPlace) {
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{0, 1, 2}, clipboard));
    const DrawingSnapshot before = Snapshot(drawing, false);
    PasteFromClipboard(drawing, selection, recorder, clipboard, 1, {5, 5});
    const DrawingSnapshot after = Snapshot(drawing, false);
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing, false), before);
    recorder.Redo();
    EXPECT_EQ(Snapshot(drawing, false), after) << "group numbers included";
}

TEST_F(Clipboard, AnEmptyClipboardPastesNothing) {
    EXPECT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 0, {0, 0}), 0);
    EXPECT_EQ(drawing.Count(), 4);
    EXPECT_EQ(recorder.CanUndo(), 0);
}

} // namespace
} // namespace pq::test
