#pragma once

#include "model/Shape.h"

#include "geometry/PathNode.h"
#include "platform/PenBrushStyles.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pq {

// A path: subpaths of Bezier nodes filled together with the even-odd rule, outlined with one pen.
// A subpath of n nodes has n - 1 segments and counts as closed when its last anchor equals its first.
class CPathShape : public CShape {
public:
    CPathShape() : CShape(kKindPath) {}

    [[nodiscard]] std::size_t SubpathCount() const { return subpaths.size(); }
    // Appends an empty subpath (or a copy of nodes) and returns it.
    CNodeArray& AddSubpath();
    CNodeArray& AddSubpath(const CNodeArray& nodes);
    // Deep copies of the other path's style words, subpaths and display polylines.
    void CopyFrom(const CPathShape& other);
    // Total number of nodes over all subpaths.
    [[nodiscard]] std::size_t NodeCount() const;

    int32_t penStyle = 0;
    int32_t penWidth = 0;
    uint32_t penColor = 0;
    int32_t brushStyle = 0;
    std::vector<std::unique_ptr<CNodeArray>> subpaths;
    // Display cache: one polyline per subpath flattened at tolerance 2.0, rebuilt by RecalcBounds.
    std::vector<std::unique_ptr<CPointArray>> polylines;
};

} // namespace pq
