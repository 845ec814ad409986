#include "render/PageRenderer.h"

#include "geometry/ViewMapping.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/DeviceContext.h"
#include "platform/DibSectionDraw.h"
#include "render/BitmapFilter.h"
#include "render/PolyPolyFill.h"
#include "render/TextRenderer.h"

#include <algorithm>
#include <vector>

namespace pq {

namespace {

// The fill style that asks for the dotted screen instead of a solid fill.
constexpr int kBrushDotted = 3;

// Remembers the pen and brush of the previous object so that a run of objects of one style selects them
// once, and restores the context's own pen and brush at the end.
class CStyleCache {
public:
    explicit CStyleCache(CDeviceContext& context)
        : dc(context), savedPen(context.GetPen()), savedBrush(context.GetBrush()) {}
    ~CStyleCache() {
        dc.SelectPen(savedPen);
        dc.SelectBrush(savedBrush);
    }
    CStyleCache(const CStyleCache&) = delete;
    CStyleCache& operator=(const CStyleCache&) = delete;

    void Use(const CPen& pen, const CBrush& brush) {
        if (!(dc.GetPen() == pen))
            dc.SelectPen(pen);
        if (!(dc.GetBrush() == brush))
            dc.SelectBrush(brush);
    }

private:
    CDeviceContext& dc;
    CPen savedPen;
    CBrush savedBrush;
};

// A pen is never wider in pixels than its width in document units: thin pens stay thin when zoomed in.
int DevicePenWidth(int32_t penWidth, const CViewMapping& mapping) {
    const int32_t device = mapping.DocToDeviceX(static_cast<float>(penWidth)) - mapping.DocToDeviceX(0.0f);
    return device < penWidth ? device : penWidth;
}

// Reused by every path of a page, so that drawing allocates only while the largest path grows them.
struct CPathScratch {
    std::vector<CPoint> points;
    std::vector<int32_t> counts;
    CPolyPolyFill filler;
};

void DrawPath(const CGraphicObject& object, const CPathShape& path, CDeviceContext& dc,
              const CViewMapping& mapping, CStyleCache& styles, CPathScratch& scratch) {
    styles.Use(CPen{path.penStyle, DevicePenWidth(path.penWidth, mapping), path.penColor},
               CBrush{path.brushStyle, object.color, kHatchHorizontal});

    scratch.points.clear();
    scratch.counts.clear();
    for (const auto& polyline : path.polylines) {
        if (!polyline || polyline->GetSize() < 2)
            continue;
        // Zoomed out, many flattened points land on the same pixel as the point before them. Such a
        // point adds no edge to a fill and no pixel to an outline, so it is left out; the last point
        // always stays, so a path shrunk to one pixel keeps two points and still shows its dot.
        const std::size_t first = scratch.points.size();
        const std::size_t count = polyline->GetSize();
        for (std::size_t i = 0; i < count; ++i) {
            const CPoint device = mapping.DocToDevice((*polyline)[i]);
            if (scratch.points.size() > first && scratch.points.back() == device && i + 1 < count)
                continue;
            scratch.points.push_back(device);
        }
        scratch.counts.push_back(static_cast<int32_t>(scratch.points.size() - first));
    }
    if (scratch.counts.empty())
        return;

    if (path.brushStyle != kBrushHollow) {
        if (scratch.counts.size() != 1 || path.brushStyle == kBrushDotted) {
            scratch.filler.Fill(dc, scratch.points, scratch.counts, object.color,
                                path.brushStyle == kBrushDotted);
        } else {
            dc.Polygon(scratch.points); // fills and outlines in one call
            return;
        }
    }
    std::size_t first = 0;
    for (int32_t count : scratch.counts) {
        dc.Polyline(std::span<const CPoint>(scratch.points.data() + first, static_cast<std::size_t>(count)));
        first += static_cast<std::size_t>(count);
    }
}

void DrawImage(const CImageShape& image, CDeviceContext& dc, const CViewMapping& mapping) {
    const int32_t x = mapping.DocToDeviceX(image.placement.left);
    const int32_t y = mapping.DocToDeviceY(image.placement.top);
    const int32_t width = mapping.DocToDeviceX(image.placement.right) - x;
    const int32_t height = mapping.DocToDeviceY(image.placement.bottom) - y;
    DrawDibSection(image.bitmap, dc, x, y, width, height, image.rasterOp);
}

// The object's bounds in device pixels, one pixel wider on every side. A horizontal or vertical line
// has bounds of no height or width; the extra pixel keeps it from being culled as empty.
CRect DeviceBounds(const CGraphicObject& object, const CViewMapping& mapping) {
    const CRectF& b = object.bounds;
    const int32_t x1 = mapping.DocToDeviceX(b.left);
    const int32_t x2 = mapping.DocToDeviceX(b.right);
    const int32_t y1 = mapping.DocToDeviceY(b.top);
    const int32_t y2 = mapping.DocToDeviceY(b.bottom);
    return {std::min(x1, x2) - 1, std::min(y1, y2) - 1, std::max(x1, x2) + 1, std::max(y1, y2) + 1};
}

bool Intersect(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

void DrawPage(const CDrawing& drawing, int page, CDeviceContext& dc, const CViewMapping& mapping,
              const CRect& visibleRect) {
    if (page < 0 || page >= drawing.PageCount())
        return;
    CStyleCache styles(dc);
    CPathScratch scratch;
    const int count = drawing.Count();
    for (int i = 0; i < count; ++i) {
        const CGraphicObject* object = drawing.GetAt(i);
        if (object == nullptr || object->page != page)
            continue;
        if (object->bounds.IsEmpty() || !Intersect(DeviceBounds(*object, mapping), visibleRect))
            continue;
        if (const CPathShape* path = object->AsPath())
            DrawPath(*object, *path, dc, mapping, styles, scratch);
        else if (const CTextShape* text = object->AsText())
            DrawText(*object, *text, dc, mapping);
        else if (const CImageShape* image = object->AsImage())
            DrawImage(*image, dc, mapping);
    }
}

std::optional<CDibSection> RenderPageToBitmap(const CDrawing& drawing, int page, int width, int height,
                                              bool antiAlias) {
    CDibSection bitmap;
    if (!bitmap.Create(width, height, 24))
        return std::nullopt;
    CDeviceContext dc(&bitmap);
    dc.FillSolidRect(CRect{0, 0, width, height}, 0xFFFFFF);

    const CRect visible{1, 1, width - 1, height - 1};
    const float pageWidth = drawing.GetPageWidth();
    const float pageHeight = drawing.GetPageHeight();
    CViewMapping mapping;
    mapping.FitRect(CRectF{-pageWidth / 2, pageWidth / 2, -pageHeight / 2, pageHeight / 2},
                    CRect{0, 0, width, height});
    DrawPage(drawing, page, dc, mapping, visible);
    dc.SelectBitmap(nullptr);
    if (antiAlias)
        return AntiAliasBitmap(bitmap);
    return bitmap;
}

} // namespace pq
