#pragma once

#include "geometry/PointF.h"

#include <algorithm>

namespace pq {

// A float rectangle in document units. The fields are stored left, right, top, bottom (both x values,
// then both y values): object bounds and the ellipse construction use this order.
struct CRectF {
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;

    constexpr CRectF() = default;
    constexpr CRectF(float l, float r, float t, float b) : left(l), right(r), top(t), bottom(b) {}

    // The box of nothing: any point or box united with it gives that point or box.
    static constexpr CRectF Empty() { return {1e10f, -1e10f, 1e10f, -1e10f}; }
    static constexpr CRectF FromCorners(CPointF a, CPointF b) {
        return {std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y)};
    }

    [[nodiscard]] constexpr float Width() const { return right - left; }
    [[nodiscard]] constexpr float Height() const { return bottom - top; }
    [[nodiscard]] constexpr CPointF Center() const { return {(left + right) * 0.5f, (top + bottom) * 0.5f}; }
    [[nodiscard]] constexpr CPointF TopLeft() const { return {left, top}; }
    [[nodiscard]] constexpr CPointF BottomRight() const { return {right, bottom}; }
    [[nodiscard]] constexpr bool IsEmpty() const { return left > right || top > bottom; }
    [[nodiscard]] constexpr bool Contains(CPointF p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    [[nodiscard]] constexpr bool Intersects(const CRectF& o) const {
        return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
    }
    [[nodiscard]] constexpr CRectF Normalized() const {
        return {std::min(left, right), std::max(left, right), std::min(top, bottom), std::max(top, bottom)};
    }

    constexpr void Include(CPointF p) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    constexpr void Include(const CRectF& o) {
        left = std::min(left, o.left);
        right = std::max(right, o.right);
        top = std::min(top, o.top);
        bottom = std::max(bottom, o.bottom);
    }
    constexpr bool operator==(const CRectF&) const = default;
};

} // namespace pq
