#include "geometry/Transform.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pq {
namespace {

using test::ExpectNear;

TEST(CTransform, TranslateMovesByNegatedArguments) {
    CTransform t;
    t.Translate(-5, 0, 0);
    const auto v = t.Apply(0, 0, 0);
    EXPECT_EQ(v.x, 5.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
}

TEST(CTransform, RotateQuarterTurnMapsXAxisOntoYAxis) {
    CTransform t;
    t.Rotate(static_cast<float>(std::numbers::pi / 2));
    EXPECT_TRUE(ExpectNear(t.Apply(CPointF{1, 0}), CPointF{0, 1}, 1e-6));
    EXPECT_TRUE(ExpectNear(t.Apply(CPointF{0, 1}), CPointF{-1, 0}, 1e-6));
}

// Translation and scaling do not commute, so these pin down which request acts first on a point.
TEST(CTransform, LastRequestedOperationActsFirst) {
    CTransform t;
    t.Scale(2, 2, 1);       // acts second
    t.Translate(-10, 0, 0); // acts first: moves by +10
    EXPECT_TRUE(ExpectNear(t.Apply(CPointF{1, 1}), CPointF{22, 2}, 1e-6));

    CTransform u;
    u.Translate(-10, 0, 0);
    u.Scale(2, 2, 1);
    EXPECT_TRUE(ExpectNear(u.Apply(CPointF{1, 1}), CPointF{12, 2}, 1e-6));
}

TEST(CTransform, RotationAboutACentreKeepsTheCentre) {
    CTransform t;
    t.Translate(-100, -50, 0);
    t.Rotate(static_cast<float>(std::numbers::pi / 2));
    t.Translate(100, 50, 0);
    EXPECT_TRUE(ExpectNear(t.Apply(CPointF{100, 50}), CPointF{100, 50}, 1e-4));
    EXPECT_TRUE(ExpectNear(t.Apply(CPointF{110, 50}), CPointF{100, 60}, 1e-4));
}

TEST(CTransform, MultiplyAppliesTheOtherTransformAfterThisOne) {
    CTransform first;
    first.Translate(-10, 0, 0);
    CTransform second;
    second.Scale(3, 3, 1);
    first.Multiply(second);
    EXPECT_TRUE(ExpectNear(first.Apply(CPointF{1, 1}), CPointF{33, 3}, 1e-5));
}

TEST(CTransform, InverseOfScaleIsReciprocalScale) {
    CTransform t;
    t.Scale(2, 4, 1);
    EXPECT_FALSE(t.IsInverseValid());
    const auto& inv = t.Inverse();
    EXPECT_TRUE(t.IsInverseValid());
    EXPECT_FLOAT_EQ(inv[0], 0.5f);
    EXPECT_FLOAT_EQ(inv[5], 0.25f);
    EXPECT_FLOAT_EQ(inv[10], 1.0f);
    EXPECT_FLOAT_EQ(inv[15], 1.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 13, 14})
        EXPECT_EQ(inv[static_cast<std::size_t>(i)], 0.0f) << "element " << i;
}

TEST(CTransform, InverseUndoesAComposedTransformAndIsRecomputedAfterAChange) {
    CTransform t;
    t.Translate(30, -20, 0);
    t.Rotate(0.7f);
    t.Scale(1.5f, 0.5f, 1);
    const CPointF p{123.0f, -45.0f};
    EXPECT_TRUE(ExpectNear(t.ApplyInverse(t.Apply(p)), p, 1e-3));

    t.Translate(-7, 0, 0);
    EXPECT_FALSE(t.IsInverseValid());
    EXPECT_TRUE(ExpectNear(t.ApplyInverse(t.Apply(p)), p, 1e-3));
}

TEST(CTransform, InverseNeedsRowSwapsWhenTheLeadingEntryIsZero) {
    // Swapping x and y puts a zero on the diagonal: without pivoting the elimination divides by zero.
    CTransform t;
    t.SetMatrix({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 5, 7, 0, 1});
    const CPointF p{3, 9};
    EXPECT_TRUE(ExpectNear(t.ApplyInverse(t.Apply(p)), p, 1e-5));
}

TEST(CTransform, InverseOfSingularMatrixIsFinite) {
    CTransform t;
    t.Scale(0, 0, 1);
    for (float v : t.Inverse())
        EXPECT_TRUE(std::isfinite(v));
}

TEST(CTransform, ResetRestoresIdentityWithValidInverse) {
    CTransform t;
    t.Rotate(1.0f);
    t.Reset();
    EXPECT_TRUE(t.IsInverseValid());
    EXPECT_EQ(t.Apply(CPointF{4, 5}), (CPointF{4, 5}));
}

} // namespace
} // namespace pq
