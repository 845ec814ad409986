#include "formats/hpgl/HpglWriter.h"

#include "geometry/Bezier.h"
#include "geometry/BezierMath.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace pq {

namespace {

constexpr float kPlotterTolerance = 5.0f;
// Plotter coordinates stay within the plotter's range of +-2^30 units.
constexpr int64_t kLargest = 1073741823;

int64_t PlotterUnits(float documentUnits) {
    const double v = std::clamp(4.0 * static_cast<double>(documentUnits), -1e10, 1e10);
    const double r = v >= 0.0 ? v + 0.5 : v - 0.5;
    return std::clamp(static_cast<int64_t>(r != r ? 0.0 : r), -kLargest, kLargest);
}

void AppendNumber(std::string& out, int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendPair(std::string& out, int64_t x, int64_t y) {
    AppendNumber(out, x);
    out += ',';
    AppendNumber(out, y);
}

void FlattenSubpath(const CNodeArray& nodes, CPointArray& polyline) {
    polyline.RemoveAll();
    const std::size_t n = nodes.GetSize();
    if (n == 1)
        polyline.Add(nodes[0].anchor);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        CBezier segment(nodes[i], nodes[i + 1]);
        segment.SetTolerance(kPlotterTolerance);
        FlattenBezier(segment, polyline, false);
    }
}

} // namespace

std::string WriteHpgl(const CDrawing& drawing, int page) {
    page = std::clamp(page, 0, std::max(0, drawing.PageCount() - 1));
    std::string out = "INSP1LT";
    CPointArray polyline;
    for (const auto& object : drawing.Objects()) {
        const CPathShape* path = object->AsPath();
        if (path == nullptr || object->page != page)
            continue;
        for (const auto& nodes : path->subpaths) {
            FlattenSubpath(*nodes, polyline);
            if (polyline.GetSize() < 2)
                continue;
            int64_t x = PlotterUnits(polyline[0].x);
            int64_t y = -PlotterUnits(polyline[0].y);
            out += "PAPU";
            AppendPair(out, x, y);
            out += "PRPD";
            for (std::size_t i = 1; i < polyline.GetSize(); ++i) {
                const int64_t nx = PlotterUnits(polyline[i].x);
                const int64_t ny = -PlotterUnits(polyline[i].y);
                if (i > 1)
                    out += ',';
                AppendPair(out, nx - x, ny - y);
                x = nx;
                y = ny;
            }
        }
    }
    out += "SP0;";
    return out;
}

} // namespace pq
