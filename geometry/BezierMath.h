#pragma once

#include "geometry/Bezier.h"
#include "geometry/PathNode.h"

namespace pq {

// Point of the cubic at parameter t; t = 0 and t = 1 give the end points exactly.
[[nodiscard]] CPointF BezierPointAt(const CBezier& curve, float t);

// Parameter in [0, 1] of the curve point nearest to p (coarse scan, then four refinements).
[[nodiscard]] float BezierNearestParameter(const CBezier& curve, CPointF p);

inline constexpr int kMaxFlatteningPieces = 10000;

// Appends the flattened curve to output (p0 first when output is empty). Long segments use a coarser
// tolerance; one segment never examines more than maxPieces pieces (at least 1), the pieces left then
// taken as they are. Unless keepStraightAsCurve is set, a straight segment appends only its end point.
void FlattenBezier(const CBezier& curve, CPointArray& output, bool keepStraightAsCurve,
                   int maxPieces = kMaxFlatteningPieces);

// The tolerance flattening really uses for a chord of the given length.
[[nodiscard]] float EffectiveFlatteningTolerance(float chordLength, float requested);

} // namespace pq
