#pragma once

#include "model/Drawing.h"
#include "model/GraphicObject.h"

#include "geometry/RectF.h"

#include <memory>
#include <string>
#include <vector>

namespace pq::test {

// A closed rectangle outline as one subpath of straight nodes.
inline CNodeArray RectangleNodes(const CRectF& r) {
    CNodeArray nodes;
    for (CPointF p : {CPointF{r.left, r.top}, CPointF{r.right, r.top}, CPointF{r.right, r.bottom},
                      CPointF{r.left, r.bottom}, CPointF{r.left, r.top}})
        nodes.Add(CPathNode::FromPoint(p));
    return nodes;
}

// A filled path of one rectangle; color doubles as a tag tests use to follow objects around.
inline std::unique_ptr<CGraphicObject> MakeRectangle(const CRectF& r, uint32_t tag = 0, int32_t page = 0,
                                                     int32_t group = 0) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    object->AsPath()->AddSubpath(RectangleNodes(r));
    object->color = tag;
    object->page = page;
    object->group = group;
    object->RecalcBounds();
    return object;
}

inline std::unique_ptr<CGraphicObject> MakeText(const std::u16string& text, CPointF position, int32_t mode) {
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* t = object->AsText();
    t->text = text;
    t->faceName = u"Arial";
    t->position = position;
    t->corner = position + CPointF{400.0f, 200.0f};
    t->mode = mode;
    object->RecalcBounds();
    return object;
}

// A drawing whose objects carry tags 0 .. tags.size() - 1 in order, on the given pages.
inline void FillTagged(CDrawing& drawing, const std::vector<int>& pages) {
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const float x = static_cast<float>(i) * 10.0f;
        drawing.Add(MakeRectangle({x, x + 5.0f, 0.0f, 5.0f}, static_cast<uint32_t>(i), pages[i]));
    }
}

inline std::vector<uint32_t> Tags(const CDrawing& drawing) {
    std::vector<uint32_t> tags;
    for (const auto& object : drawing.Objects())
        tags.push_back(object->color);
    return tags;
}

inline std::vector<int32_t> Groups(const CDrawing& drawing) {
    std::vector<int32_t> groups;
    for (const auto& object : drawing.Objects())
        groups.push_back(object->group);
    return groups;
}

} // namespace pq::test
