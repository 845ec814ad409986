#pragma once

#include "geometry/PointF.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pq::test {

// Compares two values within a tolerance and prints both with the tolerance when they differ.
inline ::testing::AssertionResult ExpectNear(double actual, double expected, double tolerance) {
    if (std::fabs(actual - expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << actual << ", expected " << expected << " within " << tolerance;
}

inline ::testing::AssertionResult ExpectNear(CPointF actual, CPointF expected, double tolerance) {
    if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.x << ", " << actual.y << "), expected ("
                                         << expected.x << ", " << expected.y << ") within " << tolerance;
}

} // namespace pq::test
