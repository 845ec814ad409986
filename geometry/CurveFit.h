#pragma once

#include "geometry/Bezier.h"
#include "geometry/PathNode.h"

#include <cstddef>
#include <vector>

namespace pq {

// Fits a chain of cubic segments through count digitised points (least squares with Newton-Raphson
// reparameterisation, split at the point of largest error). error is in document units.
[[nodiscard]] std::vector<CBezier> FitCurve(const CPointF* points, std::size_t count, float error);

// Fits the points and appends the resulting nodes (one more than segments) after nodes' existing ones.
void FitPointsToNodes(const CPointF* points, std::size_t count, CNodeArray& nodes, float error);

} // namespace pq
