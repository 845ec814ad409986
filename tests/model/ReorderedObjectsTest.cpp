#include "ModelTestHelpers.h"

#include "model/ReorderedObjects.h"

namespace pq::test {
namespace {

// The drawing's objects taken out in the order given by indices, as a reordering's record holds them.
std::vector<undo_io::IndexedObject> InOrder(const CDrawing& drawing, const std::vector<int>& indices) {
    std::vector<undo_io::IndexedObject> objects;
    for (int index : indices) {
        undo_io::IndexedObject entry;
        entry.object = std::make_unique<CGraphicObject>(kKindPath);
        entry.object->CopyFrom(*drawing.GetAt(index));
        objects.push_back(std::move(entry));
    }
    return objects;
}

std::optional<CMovedObjects> Moved(const std::vector<uint32_t>& tags, const std::vector<int>& order) {
    CDrawing drawing;
    for (const uint32_t tag : tags) { // equal tags make equal objects
        const float x = static_cast<float>(tag) * 10.0f;
        drawing.Add(MakeRect({x, x + 5.0f, 0.0f, 5.0f}, tag));
    }
    return FindMovedObjects(drawing, InOrder(drawing, order));
}

TEST(FindMovedObjects, NamesTheFewestObjectsThatChangePlaces) {
    const std::vector<uint32_t> tags = {0, 1, 2, 3, 4, 5};
    struct Case {
        const char* name;
        std::vector<int> order;
        std::vector<int> before, after;
    } cases[] = {
        {"nothing moves", {0, 1, 2, 3, 4, 5}, {}, {}},
        {"two apart brought to front", {0, 2, 4, 5, 1, 3}, {1, 3}, {4, 5}},
        {"two apart sent to back", {1, 4, 0, 2, 3, 5}, {1, 4}, {0, 1}},
        {"the last sent to back", {5, 0, 1, 2, 3, 4}, {5}, {0}},
        {"the first brought to front", {1, 2, 3, 4, 5, 0}, {0}, {5}},
        {"reversed: all but one", {5, 4, 3, 2, 1, 0}, {0, 1, 2, 3, 4}, {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto moved = Moved(tags, c.order);
        ASSERT_TRUE(moved.has_value());
        // Reversed, any one object may stay; the others are the rest.
        if (c.before.size() + 1 == tags.size()) {
            EXPECT_EQ(moved->before.size(), c.before.size());
            EXPECT_EQ(moved->after.size(), c.after.size());
            continue;
        }
        EXPECT_EQ(moved->before, c.before);
        EXPECT_EQ(moved->after, c.after);
    }
}

TEST(FindMovedObjects, EqualObjectsSwappedMoveNothing) {
    // Tags 7 twice: the two are the same object as far as any pixel goes.
    const auto moved = Moved({7, 1, 7, 2}, {2, 1, 0, 3});
    ASSERT_TRUE(moved.has_value());
    EXPECT_TRUE(moved->before.empty());
    EXPECT_TRUE(moved->after.empty());
}

TEST(FindMovedObjects, GroupNumbersAreLeftOutAndOtherDifferencesRefused) {
    CDrawing drawing;
    FillTagged(drawing, {0, 0, 0});
    std::vector<undo_io::IndexedObject> objects = InOrder(drawing, {2, 0, 1});
    objects[0].object->group = 9; // renumbered by a save since the record was written
    auto moved = FindMovedObjects(drawing, objects);
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(moved->before, std::vector<int>{2});
    EXPECT_EQ(moved->after, std::vector<int>{0});

    objects[1].object->color = 0x123456; // not the same objects
    EXPECT_FALSE(FindMovedObjects(drawing, objects).has_value());
    objects.pop_back(); // nor as many
    EXPECT_FALSE(FindMovedObjects(drawing, objects).has_value());
}

} // namespace
} // namespace pq::test
