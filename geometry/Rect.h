#pragma once

#include <cstdint>

namespace pq {

// Integer device pixel point.
struct CPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int32_t px, int32_t py) : x(px), y(py) {}
    constexpr CPoint operator+(CPoint o) const { return {x + o.x, y + o.y}; }
    constexpr CPoint operator-(CPoint o) const { return {x - o.x, y - o.y}; }
    constexpr bool operator==(const CPoint&) const = default;
};

// Integer device rectangle in the platform's order: left, top, right, bottom.
// Right and bottom are exclusive where it describes pixels to fill.
struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    [[nodiscard]] constexpr int32_t Width() const { return right - left; }
    [[nodiscard]] constexpr int32_t Height() const { return bottom - top; }
    [[nodiscard]] constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    [[nodiscard]] constexpr bool Contains(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr bool operator==(const CRect&) const = default;
};

} // namespace pq
