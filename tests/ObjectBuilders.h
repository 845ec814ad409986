#pragma once

// Objects as the tests of every layer build them: straight-node outlines, paths and texts with their style
// words. The layers' own helpers give these their usual defaults.

#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace pq::test {

// Straight nodes through the points, in order.
inline CNodeArray PolylineNodes(std::initializer_list<CPointF> points) {
    CNodeArray nodes;
    for (CPointF p : points)
        nodes.Add(CPathNode::FromPoint(p));
    return nodes;
}

// A closed rectangle outline: the four corners clockwise from top left, then the first again.
inline CNodeArray BoxNodes(const CRectF& r) {
    return PolylineNodes(
        {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}});
}

struct CPathLook {
    int32_t penStyle = kPenSolid;
    int32_t brushStyle = kBrushSolid;
    int32_t penWidth = 0;
    uint32_t penColor = 0;
    uint32_t fill = 0;
    int32_t page = 0;
    int32_t group = 0;
};

inline std::unique_ptr<CGraphicObject> BuildPath(std::initializer_list<CNodeArray> subpaths,
                                                 const CPathLook& look) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    for (const CNodeArray& nodes : subpaths)
        path->AddSubpath(nodes);
    path->penStyle = look.penStyle;
    path->brushStyle = look.brushStyle;
    path->penWidth = look.penWidth;
    path->penColor = look.penColor;
    object->color = look.fill;
    object->page = look.page;
    object->group = look.group;
    object->RecalcBounds();
    return object;
}

struct CTextLook {
    std::u16string faceName = u"Arial";
    CPointF corner{};    // of a paragraph's frame
    float height = 0.0f; // 0 keeps the new text's height
    float angle = 0.0f;
    int32_t mode = kTextArtistic;
    int32_t alignment = kAlignLeft;
    int32_t style = 0;
    uint32_t color = 0;
    int32_t page = 0;
};

inline std::unique_ptr<CGraphicObject> BuildText(const std::u16string& text, CPointF position,
                                                 const CTextLook& look) {
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* t = object->AsText();
    t->text = text;
    t->faceName = look.faceName;
    t->position = position;
    t->corner = look.corner;
    if (look.height > 0.0f)
        t->height = look.height;
    t->angle = look.angle;
    t->mode = look.mode;
    t->alignment = look.alignment;
    t->style = look.style;
    object->color = look.color;
    object->page = look.page;
    object->RecalcBounds();
    return object;
}

} // namespace pq::test
