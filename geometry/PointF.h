#pragma once

#include <cmath>

namespace pq {

// A point or vector in document units (tenths of a millimetre), y growing downwards.
// All arithmetic is single precision, as the rest of the document geometry.
struct CPointF {
    float x = 0.0f;
    float y = 0.0f;

    constexpr CPointF() = default;
    constexpr CPointF(float px, float py) : x(px), y(py) {}

    constexpr CPointF operator+(CPointF o) const { return {x + o.x, y + o.y}; }
    constexpr CPointF operator-(CPointF o) const { return {x - o.x, y - o.y}; }
    constexpr CPointF operator-() const { return {-x, -y}; }
    constexpr CPointF operator*(float s) const { return {x * s, y * s}; }
    constexpr CPointF& operator+=(CPointF o) {
        x += o.x;
        y += o.y;
        return *this;
    }
    constexpr CPointF& operator-=(CPointF o) {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    constexpr bool operator==(const CPointF&) const = default;

    [[nodiscard]] constexpr float Dot(CPointF o) const { return x * o.x + y * o.y; }
    [[nodiscard]] constexpr float SquaredLength() const { return x * x + y * y; }
    [[nodiscard]] float Length() const { return std::sqrt(SquaredLength()); }
    [[nodiscard]] float DistanceTo(CPointF o) const { return (*this - o).Length(); }

    // The vector scaled to the requested length; a zero vector stays as it is.
    [[nodiscard]] CPointF ScaledToLength(float newLength) const {
        const float len = Length();
        if (len == 0.0f)
            return *this;
        return *this * (newLength / len);
    }
    // The unit vector in this direction; a zero vector stays as it is.
    [[nodiscard]] CPointF Normalized() const { return ScaledToLength(1.0f); }
};

// The same in double precision, for the arc and line-intersection routines.
struct CPointD {
    double x = 0.0;
    double y = 0.0;

    constexpr CPointD() = default;
    constexpr CPointD(double px, double py) : x(px), y(py) {}
    constexpr explicit CPointD(CPointF p) : x(p.x), y(p.y) {}

    constexpr CPointD operator+(CPointD o) const { return {x + o.x, y + o.y}; }
    constexpr CPointD operator-(CPointD o) const { return {x - o.x, y - o.y}; }
    constexpr CPointD operator*(double s) const { return {x * s, y * s}; }
    constexpr bool operator==(const CPointD&) const = default;
};

} // namespace pq
