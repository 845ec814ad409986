#include "geometry/PathNode.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(CGrowableArray, GrowsByAnEighthOfTheSizeWithinFourAnd1024) {
    CPointArray a;
    a.SetSize(1);
    EXPECT_EQ(a.GetCapacity(), 4u); // step 4 from an empty array
    a.SetSize(5);
    EXPECT_EQ(a.GetCapacity(), 8u); // max(5, 4 + 4)
    a.SetSize(100);
    EXPECT_EQ(a.GetCapacity(), 100u); // the request is larger than capacity + step
    a.Add({});
    EXPECT_EQ(a.GetCapacity(), 112u); // 100 / 8 = 12
    a.SetSize(20000);
    a.Add({});
    EXPECT_EQ(a.GetCapacity(), 21024u); // step held at 1024
}

TEST(CGrowableArray, ExplicitGrowthStepOverridesTheRule) {
    CNodeArray a;
    a.SetGrowBy(50);
    a.SetSize(3);
    EXPECT_EQ(a.GetCapacity(), 50u);
}

TEST(CGrowableArray, KeepsElementsZeroFillsNewOnesAndFreesAtZero) {
    CPointArray a;
    a.Add({1, 2});
    a.Add({3, 4});
    a.SetSize(4);
    EXPECT_EQ(a[0], (CPointF{1, 2}));
    EXPECT_EQ(a[1], (CPointF{3, 4}));
    EXPECT_EQ(a[3], (CPointF{0, 0}));
    a.SetSize(0);
    EXPECT_EQ(a.GetSize(), 0u);
    EXPECT_EQ(a.GetCapacity(), 0u);
}

TEST(CGrowableArray, InsertAndRemoveKeepOrder) {
    CPointArray a;
    for (int i = 0; i < 5; ++i)
        a.Add({static_cast<float>(i), 0});
    a.RemoveAt(1, 2);
    a.InsertAt(0, {9, 9});
    ASSERT_EQ(a.GetSize(), 4u);
    EXPECT_EQ(a[0].x, 9);
    EXPECT_EQ(a[1].x, 0);
    EXPECT_EQ(a[2].x, 3);
    EXPECT_EQ(a[3].x, 4);
    a.RemoveAt(10); // out of range: nothing happens
    EXPECT_EQ(a.GetSize(), 4u);
}

} // namespace
} // namespace pq
