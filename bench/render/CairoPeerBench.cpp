// The busy page drawn by Cairo, the 2-D library most Linux programs draw with, as the yardstick of our own
// paint (BM_DrawPageThreads, split:0). Cairo is given the paths' own curves, mapped to the same pixels,
// with the same pen widths and round joins, and flattens them its own way: given our display polylines
// instead, it puts a round join at every one of their corners and takes three times as long. The
// library comes with the toolkit the editor is built on; it is loaded here, not linked, so that no
// development package is needed for it.

#include "bench/BusyPage.h"
#include "geometry/ViewMapping.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>

namespace pq {
namespace {

struct CCairo {
    using Context = void*;
    void* (*imageSurfaceCreate)(int format, int width, int height) = nullptr;
    Context (*create)(void* surface) = nullptr;
    void (*destroy)(Context) = nullptr;
    void (*surfaceDestroy)(void*) = nullptr;
    void (*surfaceFlush)(void*) = nullptr;
    void (*setSourceRgb)(Context, double, double, double) = nullptr;
    void (*moveTo)(Context, double, double) = nullptr;
    void (*lineTo)(Context, double, double) = nullptr;
    void (*curveTo)(Context, double, double, double, double, double, double) = nullptr;
    void (*closePath)(Context) = nullptr;
    void (*newPath)(Context) = nullptr;
    void (*fillPreserve)(Context) = nullptr;
    void (*stroke)(Context) = nullptr;
    void (*paint)(Context) = nullptr;
    void (*setLineWidth)(Context, double) = nullptr;
    void (*setFillRule)(Context, int) = nullptr;
    void (*setAntialias)(Context, int) = nullptr;
    void (*setLineJoin)(Context, int) = nullptr;
    void (*setLineCap)(Context, int) = nullptr;

    bool Load() {
        void* library = dlopen("libcairo.so.2", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return false;
        const auto bind = [library](const char* name, auto& function) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        return bind("cairo_image_surface_create", imageSurfaceCreate) && bind("cairo_create", create) &&
               bind("cairo_destroy", destroy) && bind("cairo_surface_destroy", surfaceDestroy) &&
               bind("cairo_surface_flush", surfaceFlush) && bind("cairo_set_source_rgb", setSourceRgb) &&
               bind("cairo_move_to", moveTo) && bind("cairo_line_to", lineTo) &&
               bind("cairo_curve_to", curveTo) && bind("cairo_close_path", closePath) &&
               bind("cairo_new_path", newPath) && bind("cairo_fill_preserve", fillPreserve) &&
               bind("cairo_stroke", stroke) && bind("cairo_paint", paint) &&
               bind("cairo_set_line_width", setLineWidth) && bind("cairo_set_fill_rule", setFillRule) &&
               bind("cairo_set_antialias", setAntialias) && bind("cairo_set_line_join", setLineJoin) &&
               bind("cairo_set_line_cap", setLineCap);
    }
};

constexpr int kFormatRgb24 = 1, kAntialiasNone = 1, kFillEvenOdd = 1, kLineJoinRound = 1, kLineCapRound = 1;

void SetColour(const CCairo& cairo, CCairo::Context context, uint32_t colour) {
    cairo.setSourceRgb(context, (colour & 0xFF) / 255.0, (colour >> 8 & 0xFF) / 255.0,
                       (colour >> 16 & 0xFF) / 255.0);
}

// One path as our smooth paint draws it: the subpaths filled under the even-odd rule, then outlined by a
// round pen, all round when a filled path has one subpath.
void DrawPath(const CCairo& cairo, CCairo::Context context, const CGraphicObject& object,
              const CPathShape& path, const CViewMapping& mapping) {
    const bool filled = path.brushStyle != kBrushHollow;
    const bool closed = filled && path.polylines.size() == 1;
    for (const auto& nodes : path.subpaths) {
        if (!nodes || nodes->GetSize() < 2)
            continue;
        const CPathNode* node = nodes->data();
        const auto at = [&mapping](CPointF p) { return mapping.DocToDevicef(p); };
        cairo.moveTo(context, at(node[0].anchor).x, at(node[0].anchor).y);
        for (std::size_t i = 1; i < nodes->GetSize(); ++i) {
            const CPointF c1 = at(node[i - 1].out), c2 = at(node[i].in), end = at(node[i].anchor);
            if (node[i - 1].out == node[i - 1].anchor && node[i].in == node[i].anchor)
                cairo.lineTo(context, end.x, end.y);
            else
                cairo.curveTo(context, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
        }
        if (closed)
            cairo.closePath(context);
    }
    if (filled) {
        SetColour(cairo, context, object.color);
        cairo.fillPreserve(context);
    }
    const float units = static_cast<float>(std::max(path.penWidth, 1));
    cairo.setLineWidth(context, std::max(std::min(units * mapping.GetScale(), units), 1.0f));
    SetColour(cairo, context, path.penColor);
    cairo.stroke(context);
}

// The busy page fitted into 1280 x 800 on one thread, with Cairo's default smooth edges (smooth:1) or
// none (smooth:0).
void BM_CairoDrawBusyPage(benchmark::State& state) {
    CCairo cairo;
    if (!cairo.Load()) {
        state.SkipWithError("libcairo.so.2 is not installed");
        return;
    }
    CDrawing drawing;
    bench::BuildBusyPaths(drawing, 11, false);
    CViewMapping mapping;
    mapping.FitRect(CRectF{-740.0f, 740.0f, -1050.0f, 1050.0f}, CRect{0, 0, 1280, 800});
    void* surface = cairo.imageSurfaceCreate(kFormatRgb24, 1280, 800);
    CCairo::Context context = cairo.create(surface);
    cairo.setFillRule(context, kFillEvenOdd);
    cairo.setLineJoin(context, kLineJoinRound);
    cairo.setLineCap(context, kLineCapRound);
    if (state.range(0) == 0)
        cairo.setAntialias(context, kAntialiasNone);
    for (auto _ : state) {
        cairo.setSourceRgb(context, 1.0, 1.0, 1.0);
        cairo.paint(context);
        for (int i = 0; i < drawing.Count(); ++i) {
            const CGraphicObject& object = *drawing.GetAt(i);
            if (const CPathShape* path = object.AsPath())
                DrawPath(cairo, context, object, *path, mapping);
        }
        cairo.surfaceFlush(surface);
    }
    cairo.destroy(context);
    cairo.surfaceDestroy(surface);
}
BENCHMARK(BM_CairoDrawBusyPage)
    ->ArgName("smooth")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pq
