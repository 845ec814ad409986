#pragma once

#include "geometry/Ellipse.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"

#include <memory>
#include <random>

namespace pq::bench {

// 20 pages of 10000 seeded objects in all: boxes, ellipses and open curves, a text in every 20 objects
// and a small picture on every page, some grouped.
inline void BuildDocument(CDrawing& drawing) {
    drawing.SetPageCount(20);
    drawing.SetPageSize(1480.0f, 2100.0f);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> x(-740.0f, 700.0f), y(-1050.0f, 1000.0f), size(5.0f, 120.0f);
    std::uniform_int_distribution<int> kind(0, 2), colour(0, 0xFFFFFF), width(0, 9);
    for (int i = 0; i < 10000; ++i) {
        const float left = x(random), top = y(random), w = size(random), h = size(random);
        auto object = std::make_unique<CGraphicObject>(i % 20 == 19 ? kKindText : kKindPath);
        if (CTextShape* text = object->AsText()) {
            text->text = u"Label " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u" (note)";
            text->faceName = u"Liberation Sans";
            text->position = {left, top};
            text->height = 40.0f;
        } else {
            CPathShape* path = object->AsPath();
            const int k = kind(random);
            if (k == 1) {
                path->AddSubpath(EllipseToNodes({left, left + w, top, top + h}));
            } else {
                CNodeArray nodes;
                for (CPointF p : {CPointF{left, top}, CPointF{left + w, top}, CPointF{left + w, top + h},
                                  CPointF{left, k == 0 ? top : top + h / 2}})
                    nodes.Add(CPathNode::FromPoint(p));
                path->AddSubpath(nodes);
            }
            path->penWidth = width(random);
            path->penColor = static_cast<uint32_t>(colour(random));
            path->brushStyle = k == 2 ? 1 : 0;
        }
        object->color = static_cast<uint32_t>(colour(random));
        object->page = i % 20;
        object->group = i % 7 == 0 ? i / 70 + 1 : 0;
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
    for (int page = 0; page < 20; ++page) {
        auto object = std::make_unique<CGraphicObject>(kKindImage);
        object->AsImage()->bitmap.Create(64, 48, 24);
        object->AsImage()->placement = {0, 320, 0, 240};
        object->page = page;
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
}

} // namespace pq::bench
