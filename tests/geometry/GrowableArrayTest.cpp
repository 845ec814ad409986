#include "geometry/PathNode.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(CGrowableArray, GrowsByTheStepOrHalfItsCapacityWhicheverIsMore) {
    CPointArray a;
    a.SetSize(1);
    EXPECT_EQ(a.GetCapacity(), 4u);
    a.SetSize(5);
    EXPECT_EQ(a.GetCapacity(), 8u);
    a.SetSize(100);
    EXPECT_EQ(a.GetCapacity(), 100u); // the request is larger than either growth
    a.Add({});
    EXPECT_EQ(a.GetCapacity(), 150u);
    CNodeArray n;
    n.SetGrowBy(50);
    n.SetSize(3);
    EXPECT_EQ(n.GetCapacity(), 50u);
}

// A fixed step once made a long path cost quadratic time: every step copied the whole array again.
TEST(CGrowableArray, AppendingCopiesEachItemAConstantNumberOfTimesWhateverTheStep) {
    for (std::size_t step : {std::size_t{0}, std::size_t{1}, std::size_t{1024}}) {
        CPointArray a;
        a.SetGrowBy(step);
        std::size_t copied = 0;
        int reallocations = 0;
        std::size_t capacity = a.GetCapacity();
        constexpr std::size_t kItems = 1000000;
        for (std::size_t i = 0; i < kItems; ++i) {
            a.Add({static_cast<float>(i), 0});
            if (a.GetCapacity() != capacity) {
                copied += i; // the items already there move to the new storage
                ++reallocations;
                capacity = a.GetCapacity();
            }
        }
        EXPECT_LE(copied, 3 * kItems) << "step " << step;
        EXPECT_LE(reallocations, 60) << "step " << step;
        EXPECT_EQ(a[kItems - 1].x, static_cast<float>(kItems - 1));
    }
}

TEST(CGrowableArray, KeepsOrderZeroFillsAndFreesAtZero) {
    CPointArray a;
    for (int i = 0; i < 5; ++i)
        a.Add({static_cast<float>(i), 0});
    a.RemoveAt(1, 2);
    a.InsertAt(0, {9, 9});
    a.RemoveAt(10); // out of range: nothing happens
    a.SetSize(5);
    ASSERT_EQ(a.GetSize(), 5u);
    const float expected[] = {9, 0, 3, 4, 0};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(a[i].x, expected[i]) << i;
    a.SetSize(0);
    EXPECT_EQ(a.GetCapacity(), 0u);
}

// Adding an element of the array itself must not read storage the growth has just freed.
TEST(CGrowableArray, ElementsOfTheArrayItselfCanBeAddedWhileItGrows) {
    CPointArray a;
    a.Add({1, 2});
    for (int i = 0; i < 100; ++i)
        a.Add(a[0]);
    a.InsertAt(0, a[a.GetSize() - 1]);
    a.Append(a);
    ASSERT_EQ(a.GetSize(), 204u);
    for (const CPointF& p : a)
        EXPECT_EQ(p, (CPointF{1, 2}));
}

} // namespace
} // namespace pq
