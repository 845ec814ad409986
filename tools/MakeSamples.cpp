// Writes the bundled sample drawings: make-samples OUTPUT-FOLDER. The samples are made by the project's
// own writer, so they show what the editor draws and read back exactly.
#include "formats/FormatDispatch.h"
#include "geometry/CurveFit.h"
#include "geometry/Ellipse.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "render/FontTextMetrics.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace pq;

std::unique_ptr<CGraphicObject> Path(std::vector<CNodeArray> subpaths, uint32_t fill, int32_t brush,
                                     uint32_t pen, int32_t width, int32_t group = 0) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    for (const CNodeArray& nodes : subpaths)
        object->AsPath()->AddSubpath(nodes);
    object->AsPath()->brushStyle = brush;
    object->AsPath()->penColor = pen;
    object->AsPath()->penWidth = width;
    object->color = fill;
    object->group = group;
    object->RecalcBounds();
    return object;
}

CNodeArray Polygon(std::initializer_list<CPointF> points) {
    CNodeArray nodes;
    for (CPointF p : points)
        nodes.Add(CPathNode::FromPoint(p));
    nodes.Add(CPathNode::FromPoint(*points.begin()));
    return nodes;
}

std::unique_ptr<CGraphicObject> Text(const std::u16string& text, CPointF position, float height, uint32_t colour,
                                     int32_t style = 0, float angle = 0.0f, int32_t mode = kTextArtistic,
                                     CPointF corner = {}) {
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* t = object->AsText();
    t->text = text;
    t->faceName = u"Arial";
    t->position = position;
    t->corner = corner;
    t->height = height;
    t->style = style;
    t->angle = angle;
    t->mode = mode;
    object->color = colour;
    object->RecalcBounds();
    return object;
}

// An A5 page: a title, a quill of fitted freehand strokes, shapes in a group, a ring and a paragraph.
void BuildWelcome(CDrawing& drawing) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    drawing.Add(Path({Polygon({{-740, -1050}, {740, -1050}, {740, -700}, {-740, -700}})}, 0x5A3A14, kBrushSolid,
                     0, 0));
    drawing.Add(Text(u"Pentaquill Draw", {-620, -960}, 150.0f, 0xFFFFFF, kTextStyleBold));
    drawing.Add(Text(u"Draw, shape and share.", {-610, -800}, 60.0f, 0xB4E0F0));

    // A quill: a freehand stroke fitted to curves, and its barbs.
    std::vector<CPointF> track;
    for (int i = 0; i <= 80; ++i) {
        const float t = static_cast<float>(i) / 80.0f;
        track.push_back({-450.0f + 900.0f * t, 100.0f - 650.0f * t + 120.0f * std::sin(t * 3.14159f)});
    }
    CNodeArray stroke;
    FitPointsToNodes(track.data(), track.size(), stroke, 10.0f);
    drawing.Add(Path({stroke}, 0, kBrushHollow, 0x321A75, 9));
    for (int i = 1; i < 8; ++i) {
        const CPointF base = track[static_cast<std::size_t>(i * 9)];
        CNodeArray barb;
        barb.Add(CPathNode::FromPoint(base));
        barb.Add({{base.x + 60, base.y - 90}, {base.x + 220, base.y - 120}, {base.x + 220, base.y - 120}});
        drawing.Add(Path({barb}, 0, kBrushHollow, 0x6040A0, 6));
    }

    // Three shapes grouped together.
    drawing.Add(Path({EllipseToNodes({-620, -320, 250, 550})}, 0x14B4DF, kBrushSolid, 0x321A75, 6, 1));
    drawing.Add(Path({Polygon({{-250, 250}, {50, 250}, {50, 550}, {-250, 550}})}, 0x3C8C3C, kBrushSolid, 0, 3, 1));
    drawing.Add(Path({Polygon({{130, 550}, {280, 250}, {430, 550}})}, 0x2020C0, kBrushSolid, 0, 3, 1));
    // A ring: two subpaths, the inner one a hole.
    drawing.Add(Path({EllipseToNodes({470, 650, 310, 490}), EllipseToNodes({520, 600, 360, 440})}, 0xA000A0,
                     kBrushSolid, 0x400040, 3));

    drawing.Add(Text(u"Open, draw and save: this page is a PDF any viewer shows, and the editor reads it "
                     u"back exactly, text boxes and groups included.",
                     {-620, 680}, 55.0f, 0x303030, 0, 0.0f, kTextParagraph, {620, 980}));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples OUTPUT-FOLDER\n");
        return 2;
    }
    InstallFontTextMetrics();
    CDrawing welcome;
    BuildWelcome(welcome);
    const std::string path = std::string(argv[1]) + "/welcome.pdf";
    if (!SaveDrawing(welcome, path, 0, -1, -1, nullptr)) {
        std::fprintf(stderr, "make-samples: %s: %s\n", path.c_str(), welcome.GetErrorMessage().c_str());
        return 1;
    }
    return 0;
}
