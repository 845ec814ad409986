// Writes the bundled clip-art library: make-clipart OUTPUT-FOLDER. Each item is a drawing written by the
// project's own Illustrator or metafile writer into OUTPUT-FOLDER/<category>/<item>.ai (or .emf) with its
// 32 x 32 picture beside it, exactly as Send to Library writes one. Regenerate resources/library/ with
//   cmake --build build --target make-clipart && build/bin/make-clipart resources/library
#include "app/ClipArtLibrary.h"
#include "geometry/Ellipse.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/FolderFiles.h"
#include "platform/PenBrushStyles.h"
#include "render/FontTextMetrics.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace pq;

// Colours are 0x00BBGGRR.
constexpr uint32_t kInk = 0x00302820;
constexpr uint32_t kBlue = 0x00C07030;
constexpr uint32_t kRed = 0x003030D0;
constexpr uint32_t kGreen = 0x0040A040;
constexpr uint32_t kYellow = 0x0020C8F8;
constexpr uint32_t kOrange = 0x002090F0;
constexpr uint32_t kPaleBlue = 0x00F8E0C8;
constexpr uint32_t kPaleYellow = 0x00C0F0FF;
constexpr uint32_t kPaleGreen = 0x00C8F0D0;
constexpr uint32_t kWhite = 0x00FFFFFF;
// The handle length of a quarter circle drawn as one Bezier segment.
constexpr float kQuarter = 0.5523f;

struct CStyle {
    uint32_t fill = kWhite;
    int32_t brush = kBrushSolid;
    uint32_t pen = kInk;
    int32_t width = 6;
    int32_t penStyle = kPenSolid;
};

CStyle Filled(uint32_t fill, uint32_t pen = kInk, int32_t width = 6) {
    return CStyle{fill, kBrushSolid, pen, width, kPenSolid};
}
CStyle Outline(uint32_t pen, int32_t width, int32_t penStyle = kPenSolid) {
    return CStyle{kWhite, kBrushHollow, pen, width, penStyle};
}

std::unique_ptr<CGraphicObject> Path(const std::vector<CNodeArray>& subpaths, const CStyle& style) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    for (const CNodeArray& nodes : subpaths)
        path->AddSubpath(nodes);
    path->brushStyle = style.brush;
    path->penColor = style.pen;
    path->penWidth = style.width;
    path->penStyle = style.penStyle;
    object->color = style.fill;
    object->RecalcBounds();
    return object;
}

CNodeArray Polygon(const std::vector<CPointF>& points, bool close = true) {
    CNodeArray nodes;
    for (CPointF p : points)
        nodes.Add(CPathNode::FromPoint(p));
    if (close)
        nodes.Add(CPathNode::FromPoint(points.front()));
    return nodes;
}

CNodeArray Rect(float l, float t, float r, float b) {
    return Polygon({{l, t}, {r, t}, {r, b}, {l, b}});
}

CNodeArray Ellipse(float l, float t, float r, float b) {
    return EllipseToNodes(CRectF{l, r, t, b});
}

// A rectangle with quarter-circle corners of the given radius, clockwise from the top edge's left end.
CNodeArray RoundedRect(float l, float t, float r, float b, float radius) {
    const float k = radius * kQuarter;
    CNodeArray nodes;
    auto corner = [&](CPointF from, CPointF fromHandle, CPointF toHandle, CPointF to) {
        nodes.Add(CPathNode{from, from, fromHandle});
        nodes.Add(CPathNode{toHandle, to, to});
    };
    corner({r - radius, t}, {r - radius + k, t}, {r, t + radius - k}, {r, t + radius});
    corner({r, b - radius}, {r, b - radius + k}, {r - radius + k, b}, {r - radius, b});
    corner({l + radius, b}, {l + radius - k, b}, {l, b - radius + k}, {l, b - radius});
    corner({l, t + radius}, {l, t + radius - k}, {l + radius - k, t}, {l + radius, t});
    nodes.Add(CPathNode::FromPoint({r - radius, t}));
    return nodes;
}

// A point turned by degrees about the origin (clockwise on screen, y down).
CPointF Turn(CPointF p, float degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {static_cast<float>(p.x * std::cos(a) - p.y * std::sin(a)),
            static_cast<float>(p.x * std::sin(a) + p.y * std::cos(a))};
}

std::vector<CPointF> Turned(const std::vector<CPointF>& points, float degrees) {
    std::vector<CPointF> out;
    for (CPointF p : points)
        out.push_back(Turn(p, degrees));
    return out;
}

std::vector<CPointF> Star(int points, float outer, float inner) {
    std::vector<CPointF> out;
    for (int i = 0; i < points * 2; ++i) {
        const double a = std::numbers::pi * i / points - std::numbers::pi / 2;
        const float radius = i % 2 == 0 ? outer : inner;
        out.push_back({static_cast<float>(radius * std::cos(a)), static_cast<float>(radius * std::sin(a))});
    }
    return out;
}

std::unique_ptr<CGraphicObject> Text(const std::u16string& text, CPointF position, float height,
                                     uint32_t colour) {
    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* t = object->AsText();
    t->text = text;
    t->faceName = u"Arial";
    t->position = position;
    t->height = height;
    t->style = 1; // bold
    t->mode = kTextArtistic;
    object->color = colour;
    object->RecalcBounds();
    return object;
}

// A right-pointing block arrow 400 long, centred on the origin.
const std::vector<CPointF> kRightArrow = {{-200, -60}, {40, -60}, {40, -140}, {200, 0},
                                          {40, 140},   {40, 60},  {-200, 60}};

using Build = std::function<void(CDrawing&)>;

struct CItem {
    const char* category;
    const char* name;
    const char* extension;
    Build build;
};

std::vector<CItem> Items() {
    std::vector<CItem> items;
    auto add = [&](const char* category, const char* name, Build build, const char* extension = ".ai") {
        items.push_back(CItem{category, name, extension, std::move(build)});
    };

    // Arrows.
    const std::pair<const char*, float> blocks[] = {
        {"Right Arrow", 0}, {"Down Arrow", 90}, {"Left Arrow", 180}, {"Up Arrow", 270}};
    for (const auto& [name, degrees] : blocks) {
        const float turn = degrees;
        add("Arrows", name,
            [turn](CDrawing& d) { d.Add(Path({Polygon(Turned(kRightArrow, turn))}, Filled(kBlue))); });
    }
    add("Arrows", "Double Arrow", [](CDrawing& d) {
        d.Add(Path({Polygon({{-220, 0},
                             {-90, -130},
                             {-90, -55},
                             {90, -55},
                             {90, -130},
                             {220, 0},
                             {90, 130},
                             {90, 55},
                             {-90, 55},
                             {-90, 130}})},
                   Filled(kOrange)));
    });
    add("Arrows", "Chevron", [](CDrawing& d) {
        d.Add(Path({Polygon({{-180, -150}, {20, -150}, {180, 0}, {20, 150}, {-180, 150}, {-20, 0}})},
                   Filled(kGreen)));
    });
    add("Arrows", "Curved Arrow", [](CDrawing& d) {
        // A thick arc from the lower left over the top, ending in a head pointing down on the right.
        CNodeArray nodes;
        nodes.Add(CPathNode{{-200, 150}, {-200, 150}, {-200, -40}});
        nodes.Add(CPathNode{{-200, -120}, {0, -150}, {120, -150}});
        nodes.Add(CPathNode{{140, -80}, {140, 20}, {140, 20}});
        nodes.Add(CPathNode::FromPoint({210, 20}));
        nodes.Add(CPathNode::FromPoint({90, 170}));
        nodes.Add(CPathNode::FromPoint({-30, 20}));
        nodes.Add(CPathNode{{40, 20}, {40, 20}, {40, -40}});
        nodes.Add(CPathNode{{40, -70}, {0, -70}, {-60, -70}});
        nodes.Add(CPathNode{{-100, -40}, {-100, 150}, {-100, 150}});
        nodes.Add(CPathNode::FromPoint({-200, 150}));
        d.Add(Path({nodes}, Filled(kRed)));
    });
    add("Arrows", "Line Arrow", [](CDrawing& d) {
        d.Add(Path({Polygon({{-220, 0}, {200, 0}}, false)}, Outline(kInk, 14)));
        d.Add(Path({Polygon({{120, -70}, {220, 0}, {120, 70}}, false)}, Outline(kInk, 14)));
    });

    // Symbols.
    add("Symbols", "Star", [](CDrawing& d) { d.Add(Path({Polygon(Star(5, 220, 90))}, Filled(kYellow))); });
    add("Symbols", "Heart", [](CDrawing& d) {
        CNodeArray nodes;
        nodes.Add(CPathNode{{0, 200}, {0, -90}, {30, -190}});
        nodes.Add(CPathNode{{230, -230}, {220, -30}, {210, 70}});
        nodes.Add(CPathNode{{60, 140}, {0, 200}, {-60, 140}});
        nodes.Add(CPathNode{{-210, 70}, {-220, -30}, {-230, -230}});
        nodes.Add(CPathNode{{-30, -190}, {0, -90}, {0, 200}});
        d.Add(Path({nodes}, Filled(kRed)));
    });
    add("Symbols", "Check Mark", [](CDrawing& d) {
        d.Add(Path({Polygon({{-200, 10}, {-130, -60}, {-60, 40}, {150, -180}, {220, -110}, {-60, 180}})},
                   Filled(kGreen)));
    });
    add("Symbols", "Cross", [](CDrawing& d) {
        const std::vector<CPointF> bar = {{-220, -50}, {220, -50}, {220, 50}, {-220, 50}};
        d.Add(Path({Polygon(Turned(bar, 45))}, Filled(kRed, kRed, 0)));
        d.Add(Path({Polygon(Turned(bar, -45))}, Filled(kRed, kRed, 0)));
    });
    add("Symbols", "Lightning", [](CDrawing& d) {
        d.Add(Path({Polygon({{40, -230}, {-140, 30}, {-10, 30}, {-60, 230}, {150, -40}, {20, -40}})},
                   Filled(kYellow)));
    });
    add("Symbols", "Warning", [](CDrawing& d) {
        d.Add(Path({Polygon({{0, -210}, {240, 190}, {-240, 190}})}, Filled(kYellow, kInk, 14)));
        d.Add(Path({Polygon({{-20, -90}, {20, -90}, {12, 80}, {-12, 80}})}, Filled(kInk, kInk, 0)));
        d.Add(Path({Ellipse(-20, 110, 20, 150)}, Filled(kInk, kInk, 0)));
    });
    add("Symbols", "Smiley", [](CDrawing& d) {
        d.Add(Path({Ellipse(-220, -220, 220, 220)}, Filled(kYellow, kInk, 10)));
        d.Add(Path({Ellipse(-100, -110, -50, -30)}, Filled(kInk, kInk, 0)));
        d.Add(Path({Ellipse(50, -110, 100, -30)}, Filled(kInk, kInk, 0)));
        CNodeArray mouth;
        mouth.Add(CPathNode{{-130, 50}, {-130, 50}, {-90, 140}});
        mouth.Add(CPathNode{{90, 140}, {130, 50}, {130, 50}});
        d.Add(Path({mouth}, Outline(kInk, 16)));
    });
    add(
        "Symbols", "Sun",
        [](CDrawing& d) {
            d.Add(Path({Polygon(Star(12, 230, 150))}, Filled(kOrange, kOrange, 2)));
            d.Add(Path({Ellipse(-130, -130, 130, 130)}, Filled(kYellow, kOrange, 6)));
        },
        ".emf");
    add(
        "Symbols", "Target",
        [](CDrawing& d) {
            d.Add(Path({Ellipse(-220, -220, 220, 220)}, Filled(kRed)));
            d.Add(Path({Ellipse(-150, -150, 150, 150)}, Filled(kWhite)));
            d.Add(Path({Ellipse(-80, -80, 80, 80)}, Filled(kRed)));
        },
        ".emf");

    // Flow chart shapes, in the proportions of a box of text.
    add("Flow Chart", "Process",
        [](CDrawing& d) { d.Add(Path({Rect(-250, -140, 250, 140)}, Filled(kPaleBlue))); });
    add("Flow Chart", "Decision", [](CDrawing& d) {
        d.Add(Path({Polygon({{0, -170}, {260, 0}, {0, 170}, {-260, 0}})}, Filled(kPaleYellow)));
    });
    add("Flow Chart", "Terminator",
        [](CDrawing& d) { d.Add(Path({RoundedRect(-260, -110, 260, 110, 110)}, Filled(kPaleGreen))); });
    add("Flow Chart", "Data", [](CDrawing& d) {
        d.Add(Path({Polygon({{-180, -130}, {270, -130}, {180, 130}, {-270, 130}})}, Filled(kPaleBlue)));
    });
    add("Flow Chart", "Document", [](CDrawing& d) {
        CNodeArray nodes;
        nodes.Add(CPathNode::FromPoint({-250, -150}));
        nodes.Add(CPathNode::FromPoint({250, -150}));
        nodes.Add(CPathNode{{250, 110}, {250, 110}, {120, 40}});
        nodes.Add(CPathNode{{-120, 220}, {-250, 110}, {-250, 110}});
        nodes.Add(CPathNode::FromPoint({-250, -150}));
        d.Add(Path({nodes}, Filled(kPaleYellow)));
    });
    add("Flow Chart", "Connector",
        [](CDrawing& d) { d.Add(Path({Ellipse(-120, -120, 120, 120)}, Filled(kPaleGreen))); });
    add("Flow Chart", "Preparation", [](CDrawing& d) {
        d.Add(Path({Polygon({{-180, -130}, {180, -130}, {260, 0}, {180, 130}, {-180, 130}, {-260, 0}})},
                   Filled(kPaleBlue)));
    });
    add("Flow Chart", "Database", [](CDrawing& d) {
        CNodeArray body;
        const float k = 60 * kQuarter * 2;
        body.Add(CPathNode{{-200, -150}, {-200, -150}, {-200, -150}});
        body.Add(CPathNode::FromPoint({-200, 150}));
        body.Add(CPathNode{{-200, 150}, {-200, 150}, {-200, 150 + k}});
        body.Add(CPathNode{{200, 150 + k}, {200, 150}, {200, 150}});
        body.Add(CPathNode::FromPoint({200, -150}));
        body.Add(CPathNode::FromPoint({-200, -150}));
        d.Add(Path({body}, Filled(kPaleYellow)));
        d.Add(Path({Ellipse(-200, -210, 200, -90)}, Filled(kPaleYellow)));
    });

    // Frames.
    add("Frames", "Plain Frame", [](CDrawing& d) {
        d.Add(Path({Rect(-300, -220, 300, 220), Rect(-260, -180, 260, 180)}, Filled(kBlue, kInk, 4)));
    });
    add("Frames", "Double Frame", [](CDrawing& d) {
        d.Add(Path({Rect(-300, -220, 300, 220)}, Outline(kInk, 14)));
        d.Add(Path({Rect(-260, -180, 260, 180)}, Outline(kInk, 6)));
    });
    add("Frames", "Rounded Frame", [](CDrawing& d) {
        d.Add(Path({RoundedRect(-300, -220, 300, 220, 70), RoundedRect(-265, -185, 265, 185, 40)},
                   Filled(kGreen, kInk, 4)));
    });
    add("Frames", "Dashed Frame", [](CDrawing& d) {
        d.Add(Path({Rect(-300, -220, 300, 220)}, Outline(kRed, 0, kPenDash)));
        d.Add(Path({Rect(-280, -200, 280, 200)}, Outline(kRed, 0, kPenDash)));
    });
    add("Frames", "Speech Bubble", [](CDrawing& d) {
        CNodeArray bubble = RoundedRect(-280, -200, 280, 120, 60);
        d.Add(Path({bubble}, Filled(kWhite, kInk, 10)));
        d.Add(Path({Polygon({{-160, 110}, {-220, 230}, {-60, 110}})}, Filled(kWhite, kWhite, 0)));
        d.Add(Path({Polygon({{-160, 118}, {-220, 230}, {-60, 118}}, false)}, Outline(kInk, 10)));
    });
    add("Frames", "Banner", [](CDrawing& d) {
        d.Add(
            Path({Polygon({{-300, -40}, {-200, -40}, {-200, 100}, {-300, 100}, {-250, 30}})}, Filled(kRed)));
        d.Add(Path({Polygon({{300, -40}, {200, -40}, {200, 100}, {300, 100}, {250, 30}})}, Filled(kRed)));
        d.Add(Path({Rect(-220, -100, 220, 60)}, Filled(kRed)));
    });
    add("Frames", "Badge", [](CDrawing& d) {
        d.Add(Path({Polygon(Star(16, 230, 195))}, Filled(kYellow, kOrange, 6)));
        d.Add(Path({Ellipse(-160, -160, 160, 160)}, Outline(kOrange, 10)));
        d.Add(Text(u"OK", {-80, -55}, 120, kOrange));
    });
    return items;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-clipart OUTPUT-FOLDER\n");
        return 2;
    }
    InstallFontTextMetrics();
    const std::string root = argv[1];
    int written = 0;
    for (const CItem& item : Items()) {
        const std::string folder = root + "/" + item.category;
        std::string message;
        if (!CreateFolders(folder, message)) {
            std::fprintf(stderr, "make-clipart: %s\n", message.c_str());
            return 1;
        }
        CDrawing drawing;
        item.build(drawing);
        const std::string path = folder + "/" + item.name + item.extension;
        if (!WriteClipArtItem(drawing, path, false, message)) {
            std::fprintf(stderr, "make-clipart: %s: %s\n", path.c_str(), message.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("make-clipart: %d items in %s\n", written, root.c_str());
    return 0;
}
