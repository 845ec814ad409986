#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace pq {

// Tolerance of every geometric comparison, in document units (or pixels where the inputs are pixels).
inline constexpr double kGeomEpsilon = 1e-8;

// Document units per inch and its inverse: one unit is a tenth of a millimetre.
inline constexpr float kInchesPerUnit = 0.003937008f;

// A divisor whose magnitude is below 1e-8 becomes 1e-8 with the divisor's sign; zero counts as positive.
[[nodiscard]] constexpr double GuardDivisor(double d) {
    if (d < kGeomEpsilon && d > -kGeomEpsilon)
        return d < 0.0 ? -kGeomEpsilon : kGeomEpsilon;
    return d;
}

// Rounds half away from zero: v + 0.5 for positive v, v - 0.5 for negative v, then truncation.
// The addition is done in double so that 0.49999997f does not round up, and results beyond the
// integer range are held at its ends (a pixel far off the device is still far off the device).
[[nodiscard]] constexpr int32_t RoundHalfAway(double v) {
    const double r = v >= 0.0 ? v + 0.5 : v - 0.5;
    if (!(r > -2147483648.0)) // also catches NaN
        return r != r ? 0 : std::numeric_limits<int32_t>::min();
    if (r >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

} // namespace pq
