#include "geometry/PathNode.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(CGrowableArray, GrowsByAnEighthOfTheSizeWithinFourAnd1024UnlessTheStepIsSet) {
    CPointArray a;
    a.SetSize(1);
    EXPECT_EQ(a.GetCapacity(), 4u);
    a.SetSize(5);
    EXPECT_EQ(a.GetCapacity(), 8u);
    a.SetSize(100);
    EXPECT_EQ(a.GetCapacity(), 100u); // the request is larger than capacity + step
    a.Add({});
    EXPECT_EQ(a.GetCapacity(), 112u);
    a.SetSize(20000);
    a.Add({});
    EXPECT_EQ(a.GetCapacity(), 21024u);
    CNodeArray n;
    n.SetGrowBy(50);
    n.SetSize(3);
    EXPECT_EQ(n.GetCapacity(), 50u);
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

} // namespace
} // namespace pq
