#pragma once

#include "geometry/Ellipse.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"

#include <memory>
#include <random>

namespace pq::bench {

// 10000 (or count) seeded paths on one 1480 x 2100 page: boxes, ellipses, rings and unfilled boxes of
// mixed pen widths (or all one pixel wide).
inline void BuildBusyPaths(CDrawing& drawing, unsigned seed, bool thinPens, int count = 10000) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> x(-740.0f, 700.0f), y(-1050.0f, 1000.0f), size(5.0f, 120.0f);
    std::uniform_int_distribution<int> kind(0, 3), colour(0, 0xFFFFFF), width(0, 9);
    for (int i = 0; i < count; ++i) {
        const float left = x(random), top = y(random), w = size(random), h = size(random);
        auto object = std::make_unique<CGraphicObject>(kKindPath);
        CPathShape* path = object->AsPath();
        const int k = kind(random);
        if (k == 1) {
            path->AddSubpath(EllipseToNodes({left, left + w, top, top + h}));
        } else {
            CNodeArray box;
            for (CPointF p : {CPointF{left, top}, CPointF{left + w, top}, CPointF{left + w, top + h},
                              CPointF{left, top + h}, CPointF{left, top}})
                box.Add(CPathNode::FromPoint(p));
            path->AddSubpath(box);
            if (k == 2)
                path->AddSubpath(
                    EllipseToNodes({left + w / 4, left + 3 * w / 4, top + h / 4, top + 3 * h / 4}));
        }
        path->brushStyle = k == 3 ? kBrushHollow : kBrushSolid;
        path->penWidth = thinPens ? 0 : width(random);
        path->penColor = static_cast<uint32_t>(colour(random));
        object->color = static_cast<uint32_t>(colour(random));
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
}

} // namespace pq::bench
