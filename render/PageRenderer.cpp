#include "render/PageRenderer.h"

#include "geometry/ViewMapping.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/CoverageRaster.h"
#include "platform/DeviceContext.h"
#include "platform/DibSectionDraw.h"
#include "platform/SmoothImage.h"
#include "render/BitmapFilter.h"
#include "render/HiddenObjects.h"
#include "render/OpaqueCover.h"
#include "render/PolyPolyFill.h"
#include "render/TextRenderer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <exception>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>
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
    std::vector<CPointF> smoothPoints;
    CCoverageRaster raster;
};

void UsePathStyle(const CGraphicObject& object, const CPathShape& path, const CViewMapping& mapping,
                  CStyleCache& styles) {
    styles.Use(CPen{path.penStyle, DevicePenWidth(path.penWidth, mapping), path.penColor},
               CBrush{path.brushStyle, object.color, kHatchHorizontal});
}

void DrawPath(const CGraphicObject& object, const CPathShape& path, CDeviceContext& dc,
              const CViewMapping& mapping, CStyleCache& styles, CPathScratch& scratch) {
    UsePathStyle(object, path, mapping, styles);

    // Zoomed out, many flattened points land on the same pixel as the point before them. Such a point
    // adds no edge to a fill and no pixel to an outline, so it is left out; the last point always stays,
    // so a path shrunk to one pixel keeps two points and still shows its dot.
    std::size_t used = 0;
    scratch.counts.clear();
    for (const auto& polyline : path.polylines) {
        const std::size_t count = polyline ? polyline->GetSize() : 0;
        if (count < 2)
            continue;
        if (scratch.points.size() < used + count)
            scratch.points.resize(used + count + count / 2);
        CPoint* out = scratch.points.data() + used;
        mapping.DocToDevice(polyline->data(), count, out);
        // Written without a branch, as whether a point repeats its neighbour follows no pattern. The point
        // before a point is either kept or equal to the last one kept, so it stands for that one.
        std::size_t kept = 1;
        uint64_t previous = std::bit_cast<uint64_t>(out[0]);
        for (std::size_t i = 1; i + 1 < count; ++i) {
            const uint64_t point = std::bit_cast<uint64_t>(out[i]);
            out[kept] = out[i];
            kept += point != previous ? 1 : 0;
            previous = point;
        }
        out[kept++] = out[count - 1];
        used += kept;
        scratch.counts.push_back(static_cast<int32_t>(kept));
    }
    if (scratch.counts.empty())
        return;

    if (path.brushStyle != kBrushHollow) {
        if (scratch.counts.size() != 1 || path.brushStyle == kBrushDotted) {
            scratch.filler.Fill(dc, std::span<const CPoint>(scratch.points.data(), used), scratch.counts,
                                object.color, path.brushStyle == kBrushDotted);
        } else {
            // One polygon fills and outlines in one call.
            dc.Polygon(std::span<const CPoint>(scratch.points.data(), used));
            return;
        }
    }
    std::size_t first = 0;
    for (int32_t count : scratch.counts) {
        dc.Polyline(std::span<const CPoint>(scratch.points.data() + first, static_cast<std::size_t>(count)));
        first += static_cast<std::size_t>(count);
    }
}

// A smooth pen keeps the aliased pen's rule of never being wider in pixels than in units, but keeps its
// fraction of a pixel; no pen is thinner than a pixel.
float SmoothPenWidth(int32_t penWidth, const CViewMapping& mapping) {
    const float units = static_cast<float>(std::max(penWidth, 1));
    return std::max(std::min(units * mapping.GetScale(), units), 1.0f);
}

// The path with smooth edges: the fill by coverage under the even-odd rule across the subpaths, then
// each outline as the area its round pen covers. Hatched and dotted fills are patterns of whole pixels
// and keep their aliased drawing.
void DrawSmoothPath(const CGraphicObject& object, const CPathShape& path, CDeviceContext& dc,
                    const CViewMapping& mapping, CStyleCache& styles, CPathScratch& scratch) {
    if (path.brushStyle == kBrushHatched || path.brushStyle == kBrushDotted) {
        DrawPath(object, path, dc, mapping, styles, scratch);
        return;
    }
    // Points closer than this to the point kept before them change no pixel's coverage visibly.
    constexpr float kMinStep = 0.1f;
    // A point this close to the line through its neighbours changes no pixel's coverage visibly.
    constexpr float kLineTolerance = 0.1f;
    std::size_t used = 0;
    scratch.counts.clear();
    for (const auto& polyline : path.polylines) {
        const std::size_t count = polyline ? polyline->GetSize() : 0;
        if (count < 2)
            continue;
        if (scratch.smoothPoints.size() < used + count)
            scratch.smoothPoints.resize(used + count + count / 2);
        CPointF* out = scratch.smoothPoints.data() + used;
        const CPointF* in = polyline->data();
        std::size_t kept = 0;
        CPointF direction; // of the run of points in line that ends at the last point kept
        for (std::size_t i = 0; i < count; ++i) {
            const CPointF point = mapping.DocToDevicef(in[i]);
            if (kept > 0 && i + 1 < count && std::fabs(point.x - out[kept - 1].x) < kMinStep &&
                std::fabs(point.y - out[kept - 1].y) < kMinStep)
                continue;
            // Points in line (a straight side flattened into short pieces) only add edges: while the
            // points stay near the line the run began along, each replaces the one before.
            if (kept >= 2) {
                const CPointF chord = point - out[kept - 2];
                const float cross = chord.x * direction.y - chord.y * direction.x;
                const float along = chord.x * direction.x + chord.y * direction.y;
                const CPointF last = out[kept - 1] - out[kept - 2];
                if (along >= last.x * direction.x + last.y * direction.y &&
                    cross * cross <= kLineTolerance * kLineTolerance * direction.SquaredLength()) {
                    out[kept - 1] = point;
                    continue;
                }
            }
            out[kept++] = point;
            if (kept >= 2)
                direction = out[kept - 1] - out[kept - 2];
        }
        used += kept;
        scratch.counts.push_back(static_cast<int32_t>(kept));
    }
    if (scratch.counts.empty())
        return;
    auto subpaths = [&](auto&& visit) {
        std::size_t first = 0;
        for (int32_t count : scratch.counts) {
            visit(std::span<const CPointF>(scratch.smoothPoints.data() + first,
                                           static_cast<std::size_t>(count)));
            first += static_cast<std::size_t>(count);
        }
    };
    const bool filled = path.brushStyle != kBrushHollow;
    if (filled) {
        subpaths([&](std::span<const CPointF> points) { scratch.raster.AddPolygon(points); });
        scratch.raster.Fill(dc, object.color, CCoverageRaster::FillRule::EvenOdd);
    }
    if (path.penStyle == kPenNull)
        return;
    // A filled single polygon is outlined all round, as the aliased polygon call does.
    const bool closed = filled && scratch.counts.size() == 1;
    const float width = SmoothPenWidth(path.penWidth, mapping);
    subpaths([&](std::span<const CPointF> points) {
        scratch.raster.AddStroke(points, width, closed, path.penStyle);
    });
    scratch.raster.Fill(dc, path.penColor, CCoverageRaster::FillRule::NonZero);
}

void DrawImage(const CImageShape& image, CDeviceContext& dc, const CViewMapping& mapping, EdgeStyle edges) {
    if (edges == EdgeStyle::Smooth && image.rasterOp == kRop3SrcCopy &&
        DrawSmoothImage(image.bitmap, dc, mapping.DocToDevicef({image.placement.left, image.placement.top}),
                        mapping.DocToDevicef({image.placement.right, image.placement.bottom})))
        return;
    const int32_t x = mapping.DocToDeviceX(image.placement.left);
    const int32_t y = mapping.DocToDeviceY(image.placement.top);
    const int32_t width = mapping.DocToDeviceX(image.placement.right) - x;
    const int32_t height = mapping.DocToDeviceY(image.placement.bottom) - y;
    DrawDibSection(image.bitmap, dc, x, y, width, height, image.rasterOp);
}

// The pixels the object can touch: its bounds in device pixels, one pixel wider on every side, wider by a
// path's wide pen, whose caps and joins reach past the geometry (an object just outside the window would
// otherwise lose the edge of its outline inside it), and by half the height of a text's letters. The extra
// pixel also keeps a horizontal or vertical line, whose bounds have no height or width, from being culled as
// empty.
CRect DeviceBounds(const CGraphicObject& object, const CViewMapping& mapping) {
    const CRectF& b = object.bounds;
    const int32_t x1 = mapping.DocToDeviceX(b.left);
    const int32_t x2 = mapping.DocToDeviceX(b.right);
    const int32_t y1 = mapping.DocToDeviceY(b.top);
    const int32_t y2 = mapping.DocToDeviceY(b.bottom);
    int32_t margin = 1;
    if (const CPathShape* path = object.AsPath())
        margin += std::max(DevicePenWidth(path->penWidth, mapping), 0) / 2 + 1;
    if (const CTextShape* text = object.AsText()) {
        // Glyphs reach past the advance box the bounds describe: italic overhangs, accents, swashes (up to
        // 0.16 of the text height in the faces measured), so half of the height is spared.
        const double spare =
            std::ceil(0.5 * std::fabs(static_cast<double>(text->height) * mapping.GetScale()));
        margin += spare < 1.0e6 ? static_cast<int32_t>(spare) : 1'000'000; // a NaN height too
    }
    // Mapped coordinates may sit at the ends of the 32-bit range; the margin must not wrap them.
    auto widened = [](int32_t value, int32_t by) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{value} + by, INT32_MIN, INT32_MAX));
    };
    return {widened(std::min(x1, x2), -margin), widened(std::min(y1, y2), -margin),
            widened(std::max(x1, x2), margin), widened(std::max(y1, y2), margin)};
}

bool Intersect(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// An object the paint draws, with the device pixels it can touch.
struct CVisibleObject {
    const CGraphicObject* object = nullptr;
    const CPathShape* path = nullptr; // when the object is a path
    CRect reach;
    bool hidden = false; // every pixel it would draw is painted over by later objects
    // Its rows that later objects paint over completely, a run of the page's list of left-out rows.
    uint32_t leftOutAt = 0, leftOutCount = 0;
};

using CRowRange = CCoverageRaster::CRowRange;

// The objects of the page that reach both visibleRect and box, in drawing order. A page's objects and
// their primitives lie scattered over the heap and a paint visits tens of thousands of them: waiting for
// each in turn would cost more than the test, so each is fetched a few objects ahead, and its primitive
// from the object fetched before.
std::vector<CVisibleObject> VisibleObjects(const CDrawing& drawing, int page, const CViewMapping& mapping,
                                           const CRect& visibleRect, const CRect& box) {
    const auto& objects = drawing.Objects();
    const std::size_t n = objects.size();
    std::vector<CVisibleObject> visible;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 8 < n)
            __builtin_prefetch(objects[i + 8].get());
        if (i + 4 < n && objects[i + 4])
            __builtin_prefetch(objects[i + 4]->shape.get());
        const CGraphicObject* object = objects[i].get();
        if (object == nullptr || object->page != page || object->bounds.IsEmpty())
            continue;
        const CRect reach = DeviceBounds(*object, mapping);
        if (Intersect(reach, visibleRect) && Intersect(reach, box))
            visible.push_back({object, object->AsPath(), reach});
    }
    return visible;
}

// Fetches the display polylines of the paths a few entries ahead of entry i that the band draws, each
// step from the one fetched before: the list of polylines, the polylines, and all of their points.
void PrefetchPolylines(std::span<const CVisibleObject> visible, std::size_t i, const CRect& band) {
    auto path = [&](std::size_t k) -> const CPathShape* {
        return k < visible.size() && Intersect(visible[k].reach, band) ? visible[k].path : nullptr;
    };
    if (const CPathShape* p = path(i + 4))
        __builtin_prefetch(p->polylines.data());
    if (const CPathShape* p = path(i + 2))
        for (const auto& polyline : p->polylines)
            __builtin_prefetch(polyline.get());
    if (const CPathShape* p = path(i + 1))
        for (const auto& polyline : p->polylines)
            if (polyline) {
                const auto* bytes = reinterpret_cast<const char*>(polyline->data());
                const std::size_t size = polyline->GetSize() * sizeof(CPointF);
                for (std::size_t offset = 0; offset < size; offset += 64)
                    __builtin_prefetch(bytes + offset);
            }
}

// Selects the pen and brush that drawing the path would leave selected: smooth solid fills and pens are
// laid without them.
void KeepStyleOf(const CGraphicObject& object, const CPathShape& path, const CViewMapping& mapping,
                 EdgeStyle edges, CStyleCache& styles) {
    if (edges == EdgeStyle::Aliased || path.brushStyle == kBrushHatched || path.brushStyle == kBrushDotted)
        UsePathStyle(object, path, mapping, styles);
}

// Finding hidden objects pays once many objects paint each pixel several times over.
constexpr std::size_t kHiddenObjectCount = 1000;
constexpr int64_t kHiddenOverdraw = 3;
// Fills narrower than this many pixels are not worked out.
constexpr int32_t kMinOccluderSide = 12;
// The cover takes a bit for each pixel of the clip box; a larger box is drawn without it.
constexpr int64_t kHiddenMaxPixels = int64_t{1} << 26;

bool WorthFindingHidden(std::span<const CVisibleObject> visible, const CRect& box) {
    const int64_t boxPixels = int64_t{box.Width()} * box.Height();
    if (visible.size() < kHiddenObjectCount)
        return false;
    int64_t painted = 0;
    for (const CVisibleObject& v : visible) {
        const int64_t width = int64_t{std::min(v.reach.right, box.right)} - std::max(v.reach.left, box.left);
        const int64_t height = int64_t{std::min(v.reach.bottom, box.bottom)} - std::max(v.reach.top, box.top);
        painted += std::max<int64_t>(width, 0) * std::max<int64_t>(height, 0);
    }
    return painted >= kHiddenOverdraw * boxPixels;
}

// The one outline a path fills as a single polygon, or nothing when it has several or none.
const CPointArray* SinglePolygon(const CPathShape& path) {
    const CPointArray* outline = nullptr;
    for (const auto& polyline : path.polylines) {
        if (!polyline || polyline->GetSize() < 2)
            continue; // drawn by neither edge style
        if (outline != nullptr)
            return nullptr;
        outline = polyline.get();
    }
    return outline != nullptr && outline->GetSize() >= 3 ? outline : nullptr;
}

// Runs of at least this many covered rows of a smooth path are left out of its drawing: shorter ones
// save less than the extra band costs.
constexpr int32_t kMinLeftOutRows = 2;

// Lists the runs of rows of the object's reach (one more all round, to spare) that the cover covers
// completely.
void FindLeftOutRows(CVisibleObject& v, const COpaqueCover& cover, std::vector<CRowRange>& leftOut) {
    const CRect& r = v.reach;
    v.leftOutAt = static_cast<uint32_t>(leftOut.size());
    cover.AddCoveredRows(CRect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, kMinLeftOutRows, leftOut);
    v.leftOutCount = static_cast<uint32_t>(leftOut.size()) - v.leftOutAt;
}

// Marks the objects whose every pixel later objects paint over, walking from the front: each object is
// hidden when the pixels it can touch (one more all round, to spare) are all covered already, and
// otherwise adds to the cover what its solid fill surely paints. Whatever lies under a pixel a solid
// fill paints completely no longer shows: the pen drawn over the fill next is laid over the fill's colour
// alone. Text never hides and is never hidden, as its pixels are the font's. With smooth edges, the
// rows of a path that are covered completely are listed in leftOut, to be left out of its drawing.
void MarkHiddenObjects(std::span<CVisibleObject> visible, const CViewMapping& mapping, const CRect& box,
                       EdgeStyle edges, std::vector<CRowRange>& leftOut) {
    COpaqueCover cover(box);
    COpaqueFillFinder finder(edges);
    std::vector<CPointF> points;
    for (std::size_t i = visible.size(); i-- > 0;) {
        CVisibleObject& v = visible[i];
        const CRect& r = v.reach;
        if ((v.path != nullptr || v.object->AsImage() != nullptr) &&
            cover.Covers(CRect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1})) {
            v.hidden = true;
            continue;
        }
        if (v.path != nullptr && edges == EdgeStyle::Smooth)
            FindLeftOutRows(v, cover, leftOut);
        if (v.path == nullptr || v.path->brushStyle != kBrushSolid)
            continue;
        const CPointArray* outline = SinglePolygon(*v.path);
        if (outline == nullptr)
            continue;
        // A small fill surely paints too few pixels to hide anything, and nothing is added where the
        // pixels its fill could reach are all covered already.
        const CRectF& b = v.object->bounds;
        const CRect fill{mapping.DocToDeviceX(b.left) - 1, mapping.DocToDeviceY(b.top) - 1,
                         mapping.DocToDeviceX(b.right) + 2, mapping.DocToDeviceY(b.bottom) + 2};
        if (fill.Width() < kMinOccluderSide || fill.Height() < kMinOccluderSide || cover.Covers(fill))
            continue;
        points.resize(outline->GetSize());
        for (std::size_t k = 0; k < points.size(); ++k)
            points[k] = mapping.DocToDevicef((*outline)[k]);
        finder.AddFilledPixels(points, cover);
    }
}

bool ShouldFindHidden(HiddenObjects hidden, const CDeviceContext& dc, std::span<const CVisibleObject> visible) {
    const CRect box = dc.GetClipBox();
    // Under another raster operation a fill's pixels depend on what lies below them.
    return hidden != HiddenObjects::Draw && !box.IsEmpty() &&
           int64_t{box.Width()} * box.Height() <= kHiddenMaxPixels && dc.GetROP2() == kR2CopyPen &&
           (hidden == HiddenObjects::Skip || WorthFindingHidden(visible, box));
}

// Text goes through the process-wide font machinery, which serves one thread at a time.
std::mutex& FontLock() {
    static std::mutex lock;
    return lock;
}

// Draws the listed objects that reach the context's clip box. With shared set another thread draws into
// the same bitmap at the same time, elsewhere.
void DrawObjects(std::span<const CVisibleObject> visible, std::span<const CRowRange> leftOut,
                 CDeviceContext& dc, const CViewMapping& mapping, bool shared, EdgeStyle edges) {
    const CRect box = dc.GetClipBox();
    CStyleCache styles(dc);
    CPathScratch scratch;
    for (std::size_t i = 0; i < visible.size(); ++i) {
        PrefetchPolylines(visible, i, box);
        if (!Intersect(visible[i].reach, box))
            continue;
        const CGraphicObject& object = *visible[i].object;
        if (visible[i].hidden) {
            // Nothing of it shows, but what comes next finds the pen and brush it would have left.
            if (visible[i].path != nullptr)
                KeepStyleOf(object, *visible[i].path, mapping, edges, styles);
            continue;
        }
        if (const CPathShape* path = visible[i].path) {
            if (edges == EdgeStyle::Smooth) {
                scratch.raster.LeaveOutRows(leftOut.subspan(visible[i].leftOutAt, visible[i].leftOutCount));
                DrawSmoothPath(object, *path, dc, mapping, styles, scratch);
                scratch.raster.LeaveOutRows({});
            } else
                DrawPath(object, *path, dc, mapping, styles, scratch);
        } else if (const CTextShape* text = object.AsText()) {
            std::unique_lock<std::mutex> lock;
            if (shared)
                lock = std::unique_lock(FontLock());
            DrawText(object, *text, dc, mapping);
        } else if (const CImageShape* image = object.AsImage()) {
            DrawImage(*image, dc, mapping, edges);
        }
    }
}

// The row that splits the drawing work of the box in two halves, estimated as a fixed cost per object
// and a cost per row it covers.
int32_t BalancedRow(std::span<const CVisibleObject> visible, const CRect& box) {
    constexpr int64_t kObjectCost = 24; // in rows
    const auto rows = static_cast<std::size_t>(box.bottom - box.top);
    std::vector<int64_t> starts(rows + 1, 0); // cost beginning at a row, as a difference array
    int64_t total = 0;
    for (const CVisibleObject& v : visible) {
        const int32_t top = std::max(v.reach.top, box.top), bottom = std::min(v.reach.bottom, box.bottom);
        if (top >= bottom || v.hidden)
            continue;
        const int64_t height = bottom - top;
        // The object's cost is spread over its rows: the fixed part on its first row.
        starts[static_cast<std::size_t>(top - box.top)] += kObjectCost + 1;
        starts[static_cast<std::size_t>(top - box.top) + 1] -= kObjectCost;
        starts[static_cast<std::size_t>(bottom - box.top)] -= 1;
        total += kObjectCost + height;
    }
    int64_t perRow = 0, sum = 0;
    for (std::size_t r = 0; r < rows; ++r) {
        perRow += starts[r];
        sum += perRow;
        if (2 * sum >= total)
            return std::clamp(box.top + static_cast<int32_t>(r) + 1, box.top + 1, box.bottom - 1);
    }
    return box.top + static_cast<int32_t>(rows / 2);
}

// A context drawing into the same bitmap with the same pen, brush and modes, clipped to rows.
void PrepareBand(const CDeviceContext& from, CDeviceContext& band, const CRect& rows) {
    band.SelectBitmap(from.GetBitmap());
    band.SelectPen(from.GetPen());
    band.SelectBrush(from.GetBrush());
    band.SetROP2(from.GetROP2());
    band.SetBkMode(from.GetBkMode());
    band.SetBkColor(from.GetBkColor());
    band.SetTextColor(from.GetTextColor());
    band.SetClipRect(rows);
}

// Splitting pays once the page is busy and the other core is there to take half of it.
constexpr int kSplitObjectCount = 256;
constexpr int32_t kSplitRowCount = 64;

} // namespace

void DrawPage(const CDrawing& drawing, int page, CDeviceContext& dc, const CViewMapping& mapping,
              const CRect& visibleRect, PaintThreads threads, EdgeStyle edges) {
    DrawPage(drawing, page, dc, mapping, visibleRect, threads, edges, HiddenObjects::SkipOnBusyPages);
}

void DrawPage(const CDrawing& drawing, int page, CDeviceContext& dc, const CViewMapping& mapping,
              const CRect& visibleRect, PaintThreads threads, EdgeStyle edges, HiddenObjects hidden) {
    if (page < 0 || page >= drawing.PageCount())
        return;
    const CRect box = dc.GetClipBox();
    std::vector<CVisibleObject> visible = VisibleObjects(drawing, page, mapping, visibleRect, box);
    std::vector<CRowRange> leftOut;
    if (ShouldFindHidden(hidden, dc, visible))
        MarkHiddenObjects(visible, mapping, box, edges, leftOut);
    const bool split = threads == PaintThreads::Automatic &&
                       visible.size() >= static_cast<std::size_t>(kSplitObjectCount) &&
                       box.bottom - box.top >= kSplitRowCount && std::thread::hardware_concurrency() >= 2;
    if (!split) {
        DrawObjects(visible, leftOut, dc, mapping, false, edges);
        return;
    }

    // The upper and lower parts of the clip box are drawn at once, each by its own context. Every
    // primitive writes exactly the pixels inside its clip that it writes unclipped, so the parts
    // together are the page drawn in one go.
    const int32_t middle = BalancedRow(visible, box);
    // A bitmap that shares its pixels with a copy gets its own here, not in both threads at once.
    if (CDibSection* target = dc.GetBitmap())
        (void)target->GetBits();
    CDeviceContext upper, lower;
    PrepareBand(dc, upper, CRect{box.left, box.top, box.right, middle});
    PrepareBand(dc, lower, CRect{box.left, middle, box.right, box.bottom});
    std::exception_ptr failure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                DrawObjects(visible, leftOut, lower, mapping, true, edges);
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had: the lower part is drawn here after the upper one.
        DrawObjects(visible, leftOut, lower, mapping, false, edges);
    }
    try {
        DrawObjects(visible, leftOut, upper, mapping, worker.joinable(), edges);
    } catch (...) {
        if (worker.joinable())
            worker.join();
        throw;
    }
    if (worker.joinable())
        worker.join();
    dc.AddDamage(upper.GetDamage());
    dc.AddDamage(lower.GetDamage());
    if (failure)
        std::rethrow_exception(failure);
}

CRect ObjectReach(const CGraphicObject& object, const CViewMapping& mapping) {
    return DeviceBounds(object, mapping);
}

void DrawPageFitted(const CDrawing& drawing, int page, CDibSection& bitmap, EdgeStyle edges) {
    const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
    CDeviceContext dc(&bitmap);
    const CRect visible{1, 1, width - 1, height - 1};
    const float pageWidth = drawing.GetPageWidth();
    const float pageHeight = drawing.GetPageHeight();
    CViewMapping mapping;
    mapping.FitRect(CRectF{-pageWidth / 2, pageWidth / 2, -pageHeight / 2, pageHeight / 2},
                    CRect{0, 0, width, height});
    DrawPage(drawing, page, dc, mapping, visible, PaintThreads::Automatic, edges);
    dc.SelectBitmap(nullptr);
}

std::optional<CDibSection> RenderPageToBitmap(const CDrawing& drawing, int page, int width, int height,
                                              bool antiAlias, EdgeStyle edges) {
    CDibSection bitmap;
    if (!bitmap.Create(width, height, 24))
        return std::nullopt;
    {
        CDeviceContext dc(&bitmap);
        dc.FillSolidRect(CRect{0, 0, width, height}, 0xFFFFFF);
        dc.SelectBitmap(nullptr);
    }
    DrawPageFitted(drawing, page, bitmap, edges);
    if (antiAlias)
        return AntiAliasBitmap(bitmap);
    return bitmap;
}

std::size_t CountHiddenObjects(const CDrawing& drawing, int page, const CDeviceContext& dc,
                               const CViewMapping& mapping, const CRect& visibleRect, EdgeStyle edges,
                               HiddenObjects hidden) {
    if (page < 0 || page >= drawing.PageCount())
        return 0;
    std::vector<CVisibleObject> visible = VisibleObjects(drawing, page, mapping, visibleRect, dc.GetClipBox());
    if (!ShouldFindHidden(hidden, dc, visible))
        return 0;
    std::vector<CRowRange> leftOut;
    MarkHiddenObjects(visible, mapping, dc.GetClipBox(), edges, leftOut);
    return static_cast<std::size_t>(
        std::count_if(visible.begin(), visible.end(), [](const CVisibleObject& v) { return v.hidden; }));
}

} // namespace pq
