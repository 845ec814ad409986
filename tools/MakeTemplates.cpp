// Writes the bundled templates: make-templates OUTPUT-FOLDER. They are native documents made by the
// project's own writer, so the editor reads them back exactly. Regenerate resources/templates/ with
//   cmake --build build --target make-templates && build/bin/make-templates resources/templates
#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"
#include "render/FontTextMetrics.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace pq;

constexpr float kA4Short = 2100.0f, kA4Long = 2970.0f;
constexpr float kLetterShort = 2159.0f, kLetterLong = 2794.0f;

// A light blue-grey (0x00BBGGRR) that prints faintly and keeps drawn lines readable over it.
constexpr uint32_t kGridColor = 0x00E8D4BE;
constexpr float kGridStep = 100.0f; // 10 mm
constexpr float kGridMargin = 50.0f;

// One object of open lines every 10 mm inside a 5 mm margin, so the grid moves or goes as a whole.
std::unique_ptr<CGraphicObject> GridLines(float width, float height) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    const float halfWidth = width / 2 - kGridMargin;
    const float halfHeight = height / 2 - kGridMargin;
    const int columns = static_cast<int>(halfWidth / kGridStep);
    const int rows = static_cast<int>(halfHeight / kGridStep);
    auto line = [&](CPointF from, CPointF to) {
        CNodeArray nodes;
        nodes.Add(CPathNode::FromPoint(from));
        nodes.Add(CPathNode::FromPoint(to));
        path->AddSubpath(nodes);
    };
    const float left = -columns * kGridStep, right = columns * kGridStep;
    const float top = -rows * kGridStep, bottom = rows * kGridStep;
    for (int i = -columns; i <= columns; ++i)
        line({i * kGridStep, top}, {i * kGridStep, bottom});
    for (int j = -rows; j <= rows; ++j)
        line({left, j * kGridStep}, {right, j * kGridStep});
    path->brushStyle = kBrushHollow;
    path->penStyle = kPenSolid;
    path->penWidth = 0;
    path->penColor = kGridColor;
    object->RecalcBounds();
    return object;
}

bool Write(const std::string& folder, const std::string& name, float width, float height, bool grid) {
    CDrawing drawing;
    drawing.SetPageSize(width, height);
    if (grid)
        drawing.Add(GridLines(width, height));
    const std::string path = folder + "/" + name + ".tpl";
    if (!SaveDrawing(drawing, path, 0, -1, -1, nullptr)) {
        std::fprintf(stderr, "make-templates: %s: %s\n", path.c_str(), drawing.GetErrorMessage().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-templates OUTPUT-FOLDER\n");
        return 2;
    }
    InstallFontTextMetrics();
    const std::string folder = argv[1];
    const bool ok = Write(folder, "A4 Portrait", kA4Short, kA4Long, false) &&
                    Write(folder, "A4 Landscape", kA4Long, kA4Short, false) &&
                    Write(folder, "Letter Portrait", kLetterShort, kLetterLong, false) &&
                    Write(folder, "Letter Landscape", kLetterLong, kLetterShort, false) &&
                    Write(folder, "A4 Grid", kA4Short, kA4Long, true);
    return ok ? 0 : 1;
}
