// The arrange and combine commands on the selection: results, enabling rules and undo back to the exact
// object records.

#include "EditTestSetup.h"

namespace pq::test {
namespace {

TEST(ViewArrange, AlignMovesEachObjectAlongOneAxisAndGroupsRigidly) {
    CEditSetup s;
    s.Drawing().Add(MakeRect({100, 200, 0, 50}, 1));
    s.Drawing().Add(MakeRect({50, 80, 100, 150}, 2));
    s.Drawing().Add(MakeRect({300, 400, 200, 260}, 3));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    s.Select({0, 1, 2});
    s.view.OnCommand(cmd::kAlignLeft);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(s.Bounds(i).left, 50.0f) << i;
    EXPECT_FLOAT_EQ(s.Bounds(0).top, 0.0f);
    EXPECT_FLOAT_EQ(s.Bounds(2).top, 200.0f);
    EXPECT_TRUE(s.doc.IsModified());
    EXPECT_EQ(s.Undone(1, false), before);

    // A grouped pair and a rectangle aligned Top: the pair moves as one, only vertically.
    CEditSetup g;
    g.Drawing().Add(MakeRect({0, 100, 200, 250}, 1, 0, 1));
    g.Drawing().Add(MakeRect({150, 200, 300, 320}, 2, 0, 1));
    g.Drawing().Add(MakeRect({400, 500, 100, 130}, 3));
    g.Start();
    const DrawingSnapshot grouped = Snapshot(g.Drawing(), false);
    g.Select({0, 1, 2});
    g.view.OnCommand(cmd::kAlignTop);
    EXPECT_FLOAT_EQ(g.Bounds(0).top, 100.0f);
    EXPECT_FLOAT_EQ(g.Bounds(1).top, 200.0f);
    EXPECT_FLOAT_EQ(g.Bounds(0).left, 0.0f);
    EXPECT_FLOAT_EQ(g.Bounds(1).left, 150.0f);
    EXPECT_FLOAT_EQ(g.Bounds(2).top, 100.0f);
    EXPECT_EQ(g.Undone(1, false), grouped);
}

TEST(ViewArrange, OrderMovesTheSelectionToEitherEndAndKeepsItSelected) {
    CEditSetup s;
    FillTagged(s.Drawing(), std::vector<int>(8, 0));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);

    s.Select({3, 5});
    s.view.OnCommand(cmd::kSendToBack);
    EXPECT_EQ(Tags(s.Drawing()), (std::vector<uint32_t>{3, 5, 0, 1, 2, 4, 6, 7}));
    EXPECT_EQ(s.view.GetSelection(), (std::vector<int>{0, 1}));
    // The objects at the back cannot go further back.
    EXPECT_FALSE(s.State(cmd::kSendToBack).enabled);
    EXPECT_EQ(s.Undone(1, false), before);

    s.Select({3, 5});
    s.view.OnCommand(cmd::kBringToFront);
    EXPECT_EQ(Tags(s.Drawing()), (std::vector<uint32_t>{0, 1, 2, 4, 6, 7, 3, 5}));
    EXPECT_EQ(s.view.GetSelection(), (std::vector<int>{6, 7}));
    EXPECT_EQ(s.Undone(1, false), before);

    // A consecutive block moves as a block and undoes the same way.
    s.Select({2, 3});
    s.view.OnCommand(cmd::kBringToFront);
    EXPECT_EQ(Tags(s.Drawing()), (std::vector<uint32_t>{0, 1, 4, 5, 6, 7, 2, 3}));
    EXPECT_EQ(s.view.GetUndoRecorder().GetEntries(UndoDirection::TowardsUndo).back().type,
              static_cast<uint16_t>(UndoRecordType::Move));
    EXPECT_EQ(s.Undone(1, false), before);
}

TEST(ViewArrange, JoinMakesOnePathWhoseOverlapIsAHole) {
    CEditSetup s;
    s.Drawing().Add(MakeRect({-400, -350, -400, -350}, 5));
    s.Drawing().Add(
        BuildPath({BoxNodes({0, 200, 0, 200})}, {.penWidth = 6, .penColor = 0x0000FF, .fill = 7}));
    s.Drawing().Add(BuildPath({BoxNodes({100, 300, 100, 300})}, {.penWidth = 9, .fill = 8}));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    s.Select({1, 2});
    s.view.OnCommand(cmd::kJoin);
    ASSERT_EQ(s.Drawing().Count(), 2);
    EXPECT_EQ(s.view.GetSelection(), std::vector<int>{1});
    const CGraphicObject& joined = *s.Drawing().GetAt(1);
    ASSERT_NE(joined.AsPath(), nullptr);
    EXPECT_EQ(joined.AsPath()->SubpathCount(), 2u);
    EXPECT_EQ(joined.AsPath()->penWidth, 6);
    EXPECT_EQ(joined.AsPath()->penColor, 0x0000FFu);
    EXPECT_EQ(joined.color, 7u);

    // Filled with the even-odd rule: inside one square it is solid, where both overlap it is empty.
    const CViewMapping& mapping = s.view.GetMapping();
    bool onOutline = false;
    int subpath = -1;
    EXPECT_TRUE(joined.HitTest(mapping, mapping.DocToDevice(CPointF{50, 50}), onOutline, 1, subpath));
    EXPECT_TRUE(joined.HitTest(mapping, mapping.DocToDevice(CPointF{250, 250}), onOutline, 1, subpath));
    EXPECT_FALSE(joined.HitTest(mapping, mapping.DocToDevice(CPointF{150, 150}), onOutline, 1, subpath));

    EXPECT_EQ(s.Undone(1, false), before);
}

TEST(ViewArrange, BreakApartGivesThePiecesSelectedInTheirOrder) {
    CEditSetup s;
    s.Drawing().Add(MakeRect({-400, -350, -400, -350}, 5));
    s.Drawing().Add(
        BuildPath({BoxNodes({0, 10, 0, 10}), BoxNodes({20, 30, 0, 10}), BoxNodes({40, 50, 0, 10})},
                  {.brushStyle = kBrushHollow, .penWidth = 3, .fill = 9}));
    s.Drawing().Add(MakeText(u"label", {0.0f, 200.0f}));
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    s.Select({1});
    s.view.OnCommand(cmd::kBreakApart);
    ASSERT_EQ(s.Drawing().Count(), 5);
    EXPECT_EQ(s.view.GetSelection(), (std::vector<int>{1, 2, 3}));
    for (int i = 1; i <= 3; ++i) {
        const CPathShape* piece = s.Drawing().GetAt(i)->AsPath();
        ASSERT_NE(piece, nullptr);
        EXPECT_EQ(piece->SubpathCount(), 1u);
        EXPECT_EQ(piece->penWidth, 3);
        EXPECT_EQ(s.Drawing().GetAt(i)->color, 9u);
        EXPECT_FLOAT_EQ(s.Bounds(i).left, 20.0f * static_cast<float>(i - 1));
    }
    EXPECT_EQ(s.Undone(1, false), before);

    // A text has nothing to break: greyed, and the command leaves no undo step.
    const int steps = s.UndoSteps();
    s.Select({2});
    EXPECT_FALSE(s.State(cmd::kBreakApart).enabled);
    s.view.OnCommand(cmd::kBreakApart);
    EXPECT_EQ(s.UndoSteps(), steps);
    EXPECT_EQ(Snapshot(s.Drawing(), false), before);
}

TEST(ViewArrange, CommandsAreGreyedWhenTheyCannotAct) {
    CEditSetup s;
    s.Drawing().Add(MakeRect({0, 10, 0, 10}, 1));
    s.Drawing().Add(MakeRect({20, 30, 0, 10}, 2));
    s.Drawing().Add(MakeText(u"label", {0.0f, 200.0f}));
    s.Start();
    const std::vector<int> arrange = {cmd::kJoin,         cmd::kBreakApart, cmd::kGroup,     cmd::kUngroup,
                                      cmd::kBringToFront, cmd::kSendToBack, cmd::kAlignLeft, cmd::kDelete,
                                      cmd::kCut,          cmd::kCopy,       cmd::kDuplicate};
    // Nothing selected.
    s.Select({});
    for (int id : arrange)
        EXPECT_FALSE(s.State(id).enabled) << id;
    EXPECT_TRUE(s.State(cmd::kSelectAll).enabled);
    EXPECT_FALSE(s.State(cmd::kPaste).enabled); // the clipboard is empty

    s.Select({0, 1});
    for (int id : arrange)
        EXPECT_EQ(s.State(id).enabled, id != cmd::kBreakApart && id != cmd::kSendToBack) << id;
    // With the Pan tool current the selection is gone and so is every command on it.
    s.view.SetTool(ToolKind::Pan);
    for (int id : arrange)
        EXPECT_FALSE(s.State(id).enabled) << id;

    // Texts and pictures do not join.
    s.Select({1, 2});
    EXPECT_FALSE(s.State(cmd::kJoin).enabled);
    EXPECT_TRUE(s.State(cmd::kGroup).enabled);
    s.view.OnCommand(cmd::kJoin);
    EXPECT_EQ(s.Drawing().Count(), 3);
    EXPECT_EQ(s.UndoSteps(), 0);

    s.Select({0});
    EXPECT_TRUE(s.State(cmd::kBreakApart).enabled);
    EXPECT_FALSE(s.State(cmd::kGroup).enabled);
}

TEST(ViewArrange, GroupUngroupAndDeleteUndoInOneStepEach) {
    CEditSetup s;
    FillTagged(s.Drawing(), {0, 0, 0});
    s.Start();
    const DrawingSnapshot before = Snapshot(s.Drawing(), false);
    s.Select({0, 2});
    s.view.OnCommand(cmd::kGroup);
    EXPECT_NE(s.Drawing().GetAt(0)->group, 0);
    EXPECT_EQ(s.Drawing().GetAt(0)->group, s.Drawing().GetAt(2)->group);
    EXPECT_EQ(s.Drawing().GetAt(1)->group, 0);
    const DrawingSnapshot grouped = Snapshot(s.Drawing());
    s.view.OnCommand(cmd::kUngroup);
    EXPECT_EQ(Groups(s.Drawing()), (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(s.Undone(), grouped);
    EXPECT_EQ(s.Undone(1, false), before);

    s.Select({1});
    s.view.OnCommand(cmd::kDelete);
    EXPECT_EQ(Tags(s.Drawing()), (std::vector<uint32_t>{0, 2}));
    EXPECT_TRUE(s.view.GetSelection().empty());
    EXPECT_EQ(s.Undone(1, false), before);
}

} // namespace
} // namespace pq::test
