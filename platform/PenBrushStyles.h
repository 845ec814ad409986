#pragma once

// Pen, brush and hatch style numbers as the platform's drawing interface defines them. Paths store them
// as they are, so they are part of the object record and of every file format that keeps styles.

namespace pq {

// Pen styles. Dashes apply to pens of width 0 or 1 only; wider pens draw solid.
inline constexpr int kPenSolid = 0;
inline constexpr int kPenDash = 1;
inline constexpr int kPenDot = 2;
inline constexpr int kPenDashDot = 3;
inline constexpr int kPenDashDotDot = 4;
inline constexpr int kPenNull = 5; // "No Line"
inline constexpr int kPenInsideFrame = 6;

// Brush styles; any style other than hollow and hatched fills solid.
inline constexpr int kBrushSolid = 0;
inline constexpr int kBrushHollow = 1; // "No Fill"
inline constexpr int kBrushHatched = 2;

inline constexpr int kHatchHorizontal = 0;
inline constexpr int kHatchVertical = 1;
inline constexpr int kHatchForwardDiagonal = 2; // top-left to bottom-right
inline constexpr int kHatchBackwardDiagonal = 3;
inline constexpr int kHatchCross = 4;
inline constexpr int kHatchDiagonalCross = 5;

} // namespace pq
