#include "ModelTestHelpers.h"
#include "TestHelpers.h"

#include "model/Clipboard.h"
#include "model/UndoRecorder.h"

namespace pq::test {
namespace {

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        drawing.SetPageCount(3);
        drawing.Add(MakeRect({100, 150, 200, 240}, 1, 0, 1));
        drawing.Add(MakeRect({160, 180, 220, 240}, 2, 0, 1));
        drawing.Add(MakeText(u"label", {300, 300}));
        drawing.Add(MakeRect({-80, -70, -80, -70}, 4, 1));
        recorder.Attach(&drawing, &selection, &hooks);
    }

    CDrawing drawing;
    CDrawing clipboard;
    std::vector<int> selection;
    CUndoRecorder recorder;
    CRecordingHooks hooks;
};

TEST_F(Clipboard, CopyReplacesTheClipboardUnlessNothingIsCopied) {
    clipboard.Add(MakeRect({0, 1, 0, 1}, 77));
    EXPECT_FALSE(CopyToClipboard(drawing, std::vector<int>{9}, clipboard));
    EXPECT_EQ(Tags(clipboard), std::vector<uint32_t>{77});
    const DrawingSnapshot before = Snapshot(drawing, false);
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{1, 2}, clipboard));
    EXPECT_EQ(Tags(clipboard), (std::vector<uint32_t>{2, 0}));
    EXPECT_EQ(Snapshot(drawing, false), before);
    EXPECT_EQ(recorder.CanUndo(), 0) << "copying changes no drawing";
}

TEST_F(Clipboard, CutIsOneUndoStepAndNeedsTheDrawingsOwnRecorder) {
    CDrawing other;
    CUndoRecorder foreign;
    foreign.Attach(&other, &selection, nullptr);
    selection = {0};
    EXPECT_FALSE(CutToClipboard(drawing, selection, foreign, clipboard));
    EXPECT_EQ(drawing.Count(), 4);

    const DrawingSnapshot before = Snapshot(drawing);
    selection = {0, 1};
    ASSERT_TRUE(CutToClipboard(drawing, selection, recorder, clipboard));
    EXPECT_TRUE(selection.empty());
    EXPECT_EQ(Tags(clipboard), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(Tags(drawing), (std::vector<uint32_t>{0, 4}));
    recorder.Undo();
    EXPECT_EQ(Snapshot(drawing), before);
    EXPECT_EQ(clipboard.Count(), 2) << "undo leaves the clipboard alone";
}

TEST_F(Clipboard, PastingTwiceGivesTwoSeparateGroupsAtTheSamePlace) {
    EXPECT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 0, {0, 0}), 0);
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{0, 1}, clipboard));
    const CPointF target{-500, -700};
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 0, target), 2);
    EXPECT_EQ(selection, (std::vector<int>{4, 5}));
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 0, target), 2);
    EXPECT_EQ(selection, (std::vector<int>{6, 7}));
    for (int first : {4, 6}) {
        // The common bounds' top-left corner lands on the target; the pair keeps its arrangement.
        EXPECT_TRUE(ExpectNear(drawing.GetAt(first)->bounds.TopLeft(), target, 1e-3));
        EXPECT_TRUE(
            ExpectNear(drawing.GetAt(first + 1)->bounds.TopLeft(), {target.x + 60, target.y + 20}, 1e-3));
        EXPECT_EQ(drawing.GetAt(first)->group, drawing.GetAt(first + 1)->group);
        EXPECT_NE(drawing.GetAt(first)->group, drawing.GetAt(0)->group);
    }
    EXPECT_NE(drawing.GetAt(4)->group, drawing.GetAt(6)->group);
    EXPECT_EQ(recorder.CanUndo(), 2);
    const DrawingSnapshot after = Snapshot(drawing, false);
    recorder.Undo();
    recorder.Redo();
    EXPECT_EQ(Snapshot(drawing, false), after) << "group numbers included";
}

TEST_F(Clipboard, PastingOnAnotherPagePutsTheCopiesOnThatPageOrTheLast) {
    ASSERT_TRUE(CopyToClipboard(drawing, std::vector<int>{2}, clipboard));
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 1, {0, 0}), 1);
    ASSERT_EQ(PasteFromClipboard(drawing, selection, recorder, clipboard, 9, {0, 0}), 1);
    EXPECT_EQ(drawing.GetAt(4)->page, 1);
    EXPECT_EQ(drawing.GetAt(5)->page, 2);
    EXPECT_EQ(drawing.GetAt(2)->page, 0) << "the original stays where it was";
}

} // namespace
} // namespace pq::test
