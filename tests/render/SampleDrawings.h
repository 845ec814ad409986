#pragma once

#include "ObjectBuilders.h"
#include "geometry/Ellipse.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"

#include <memory>
#include <string>

namespace pq::test {

inline std::unique_ptr<CGraphicObject> MakePath(std::initializer_list<CNodeArray> subpaths, uint32_t fill,
                                                int32_t brushStyle, uint32_t penColor, int32_t penWidth,
                                                int32_t penStyle = 0) {
    return BuildPath(subpaths, {penStyle, brushStyle, penWidth, penColor, fill});
}

inline std::unique_ptr<CGraphicObject> MakeLine(CPointF a, CPointF b, uint32_t color, int32_t width) {
    return MakePath({PolylineNodes({a, b})}, 0, kBrushHollow, color, width);
}

inline std::unique_ptr<CGraphicObject> MakeTextObject(const std::u16string& text, CPointF position,
                                                      float height, float angle, int32_t mode, uint32_t color,
                                                      CPointF corner = {}) {
    return BuildText(text, position,
                     {.corner = corner, .height = height, .angle = angle, .mode = mode, .color = color});
}

// A page of what the editor draws: fills, a ring with its hole, a dotted fill, lines of several widths,
// a curve, rotated and paragraph text, and a small picture. Page size 1480 x 2100 (A5 portrait).
inline void BuildShowcase(CDrawing& drawing) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    drawing.Add(MakePath({BoxNodes({-600, -100, -950, -650})}, 0x3070E0, kBrushSolid, 0x000000, 6));
    drawing.Add(MakePath({EllipseToNodes({0, 600, -950, -650})}, 0x40C040, kBrushSolid, 0x205020, 9));
    drawing.Add(MakePath({BoxNodes({-600, -100, -550, -250}), BoxNodes({-450, -250, -500, -300})}, 0xC03030,
                         kBrushSolid, 0x000000, 3));
    drawing.Add(MakePath({BoxNodes({0, 600, -550, -250})}, 0x800080, 3, 0x800080, 0));
    for (int i = 0; i < 4; ++i) {
        const float y = -150.0f + 60.0f * static_cast<float>(i);
        drawing.Add(MakeLine({-600, y}, {600, y}, 0x202020, i * 3));
    }
    CNodeArray curve;
    curve.Add({{-600, 250}, {-600, 250}, {-300, 50}});
    curve.Add({{0, 450}, {200, 250}, {400, 50}});
    curve.Add({{600, 250}, {600, 250}, {600, 250}});
    drawing.Add(MakePath({curve}, 0, kBrushHollow, 0xD06000, 6));
    drawing.Add(MakeTextObject(u"Pentaquill\r\nDraw", {-600, 450}, 90.0f, 0.0f, kTextArtistic, 0x000000));
    drawing.Add(MakeTextObject(u"Turned", {100, 560}, 60.0f, 30.0f, kTextArtistic, 0x0000C0));
    drawing.Add(MakeTextObject(u"A paragraph wraps its words inside the frame.", {-600, 750}, 50.0f, 0.0f,
                               kTextParagraph, 0x404040, {0, 1000}));

    auto image = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* picture = image->AsImage();
    picture->bitmap.Create(16, 16, 24);
    auto bits = picture->bitmap.GetBits();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = bits.data() + picture->bitmap.GetBytesPerRow() * static_cast<std::size_t>(y) + 3 * x;
            p[0] = static_cast<uint8_t>(x * 16);
            p[1] = static_cast<uint8_t>(y * 16);
            p[2] = static_cast<uint8_t>(255 - x * 8);
        }
    picture->placement = {250, 600, 750, 1000};
    image->RecalcBounds();
    drawing.Add(std::move(image));
}

} // namespace pq::test
