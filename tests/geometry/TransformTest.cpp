#include "geometry/Transform.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pq {
namespace {

using test::ExpectNear;
constexpr float kQuarterTurn = static_cast<float>(std::numbers::pi / 2);

// Translation and scaling do not commute, so these pin down which request acts first on a point. Translate
// moves by its arguments negated; a quarter turn takes a point clockwise on screen about the origin.
TEST(CTransform, LastRequestedOperationActsFirstAndMultiplyActsAfter) {
    CTransform t;
    t.Scale(2, 2, 1);
    t.Translate(-10, 0, 0);
    EXPECT_TRUE(ExpectNear(t.Apply(CPointF{1, 1}), CPointF{22, 2}, 1e-6));
    CTransform u;
    u.Translate(-10, 0, 0);
    u.Scale(2, 2, 1);
    EXPECT_TRUE(ExpectNear(u.Apply(CPointF{1, 1}), CPointF{12, 2}, 1e-6));

    CTransform scale;
    scale.Scale(3, 3, 1);
    CTransform first;
    first.Translate(-10, 0, 0);
    first.Multiply(scale);
    EXPECT_TRUE(ExpectNear(first.Apply(CPointF{1, 1}), CPointF{33, 3}, 1e-5));

    CTransform about;
    about.Translate(-100, -50, 0);
    about.Rotate(kQuarterTurn);
    about.Translate(100, 50, 0);
    EXPECT_TRUE(ExpectNear(about.Apply(CPointF{100, 50}), CPointF{100, 50}, 1e-4));
    EXPECT_TRUE(ExpectNear(about.Apply(CPointF{110, 50}), CPointF{100, 60}, 1e-4));
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
    t.Reset();
    EXPECT_TRUE(t.IsInverseValid());
    EXPECT_EQ(t.Apply(CPointF{4, 5}), (CPointF{4, 5}));
}

TEST(CTransform, InversePivotsPastAZeroDiagonalAndStaysFiniteWhenSingular) {
    // Swapping x and y puts a zero on the diagonal: without pivoting the elimination divides by zero.
    CTransform t;
    t.SetMatrix({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 5, 7, 0, 1});
    EXPECT_TRUE(ExpectNear(t.ApplyInverse(t.Apply(CPointF{3, 9})), CPointF{3, 9}, 1e-5));

    CTransform singular;
    singular.Scale(0, 0, 1);
    for (float v : singular.Inverse())
        EXPECT_TRUE(std::isfinite(v));
}

} // namespace
} // namespace pq
