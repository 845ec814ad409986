#pragma once

// Reading plotter files from text in memory and looking at the paths they give, for the plotter tests.

#include "formats/hpgl/PlotterFile.h"
#include "model/Drawing.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace pq::test {

inline bool ReadHpglText(std::string_view text, CDrawing& drawing) {
    return CPlotterFile().ImportFromMemory({reinterpret_cast<const uint8_t*>(text.data()), text.size()},
                                           drawing);
}

// The anchors of one subpath of a path object.
inline std::vector<CPointF> Anchors(const CGraphicObject& object, std::size_t subpath = 0) {
    std::vector<CPointF> points;
    const CPathShape* path = object.AsPath();
    if (path == nullptr || subpath >= path->subpaths.size())
        return points;
    for (const CPathNode& node : *path->subpaths[subpath])
        points.push_back(node.anchor);
    return points;
}

// The anchors of the first subpath of every object, in drawing order.
inline std::vector<std::vector<CPointF>> Strokes(const CDrawing& drawing) {
    std::vector<std::vector<CPointF>> strokes;
    for (const auto& object : drawing.Objects())
        strokes.push_back(Anchors(*object));
    return strokes;
}

inline std::size_t TotalNodes(const CDrawing& drawing) {
    std::size_t n = 0;
    for (const auto& object : drawing.Objects())
        if (const CPathShape* path = object->AsPath())
            n += path->NodeCount();
    return n;
}

} // namespace pq::test
