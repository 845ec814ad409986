#include "model/GraphicObject.h"

#include "model/TextMetrics.h"

#include "geometry/BezierMath.h"
#include "geometry/HitTest.h"
#include "geometry/Numeric.h"
#include "geometry/Transform.h"
#include "geometry/ViewMapping.h"

#include <algorithm>
#include <vector>

namespace pq {

CGraphicObject::CGraphicObject(int32_t kind) {
    SetKind(kind);
}

CGraphicObject::~CGraphicObject() = default;

void CGraphicObject::SetKind(int32_t kind) {
    shape.reset();
    switch (kind) {
    case kKindPath:
        shape = std::make_unique<CPathShape>();
        break;
    case kKindImage:
        shape = std::make_unique<CImageShape>();
        break;
    case kKindText:
        shape = std::make_unique<CTextShape>();
        break;
    default:
        break;
    }
}

void CGraphicObject::CopyFrom(const CGraphicObject& other) {
    if (&other == this)
        return;
    SetKind(other.GetKind());
    if (const CPathShape* p = other.AsPath())
        AsPath()->CopyFrom(*p);
    else if (const CTextShape* t = other.AsText())
        AsText()->CopyFrom(*t);
    else if (const CImageShape* i = other.AsImage())
        AsImage()->CopyFrom(*i);
    bounds = other.bounds;
    group = other.group;
    page = other.page;
    color = other.color;
}

std::unique_ptr<CGraphicObject> CGraphicObject::Clone() const {
    auto copy = std::make_unique<CGraphicObject>(kKindShape);
    copy->CopyFrom(*this);
    return copy;
}

namespace {

std::vector<CPoint> ToDevice(const CViewMapping& mapping, const CPointArray& polyline) {
    std::vector<CPoint> out;
    out.reserve(polyline.GetSize() + 1);
    for (const CPointF& p : polyline)
        out.push_back(mapping.DocToDevice(p));
    return out;
}

CRect BoxOf(const std::vector<CPoint>& points) {
    CRect box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const CPoint& p : points) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

bool HitPath(const CPathShape& path, const CViewMapping& mapping, CPoint point, bool& onOutline,
             int tolerance, int& subpath) {
    std::vector<std::vector<CPoint>> device;
    device.reserve(path.polylines.size());
    for (const auto& polyline : path.polylines)
        device.push_back(ToDevice(mapping, *polyline));

    if (path.brushStyle != kBrushHollow) {
        int inside = 0;
        for (std::vector<CPoint> polygon : device) {
            if (polygon.size() < 3)
                continue;
            if (polygon.front() != polygon.back())
                polygon.push_back(polygon.front());
            if (PointInPolygon(polygon, point, BoxOf(polygon)))
                ++inside;
        }
        if (inside % 2 == 1) {
            onOutline = false;
            return true;
        }
    }
    for (std::size_t i = 0; i < device.size(); ++i) {
        if (HitTestPolyline(device[i], point, tolerance).has_value()) {
            onOutline = true;
            subpath = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

} // namespace

bool CGraphicObject::HitTest(const CViewMapping& mapping, CPoint point, bool& onOutline, int tolerance,
                             int& subpath) const {
    onOutline = false;
    if (const CPathShape* path = AsPath())
        return HitPath(*path, mapping, point, onOutline, tolerance, subpath);
    if (const CTextShape* text = AsText()) {
        if (text->outline.size() < 3)
            return false;
        const CPointF doc = mapping.DeviceToDoc(point);
        const CPoint rounded{RoundHalfAway(doc.x), RoundHalfAway(doc.y)};
        return PointInPolygon(text->outline, rounded, BoxOf(text->outline));
    }
    return AsImage() != nullptr;
}

namespace {

// Display points one path may cost beyond a few per segment. A path of many long, wild curves (a small
// hostile file holds hundreds of thousands) would otherwise flatten to billions of points; past this
// budget each segment examines fewer pieces, so the cost stays linear in the number of segments.
constexpr std::size_t kDisplayPieceBudget = std::size_t{1} << 20;
constexpr int kMinPiecesPerSegment = 16;

int PiecesPerSegment(const CPathShape& path) {
    const std::size_t segments = std::max<std::size_t>(path.NodeCount(), 1);
    const std::size_t share = kDisplayPieceBudget / segments;
    return static_cast<int>(std::clamp<std::size_t>(share, kMinPiecesPerSegment, kMaxFlatteningPieces));
}

constexpr std::size_t kKeptFlatteningRoom = std::size_t{1} << 16; // points

void RebuildPolylines(CPathShape& path, CRectF& bounds) {
    bounds = CRectF::Empty();
    path.polylines.clear();
    path.polylines.reserve(path.subpaths.size());
    const int maxPieces = PiecesPerSegment(path);
    // Points are flattened into a buffer that keeps its room from path to path and then copied into a
    // polyline of their exact size: one allocation per polyline rather than one per growth step, which
    // counts when a file of many curves is read.
    thread_local CPointArray flattened;
    for (const auto& nodes : path.subpaths) {
        flattened.RemoveAt(0, flattened.GetSize());
        const std::size_t n = nodes->GetSize();
        if (n == 1)
            flattened.Add((*nodes)[0].anchor);
        for (std::size_t i = 0; i + 1 < n; ++i) {
            CBezier segment((*nodes)[i], (*nodes)[i + 1]);
            segment.SetTolerance(kDisplayTolerance);
            FlattenBezier(segment, flattened, false, maxPieces);
        }
        for (const CPointF& p : flattened)
            bounds.Include(p);
        auto polyline = std::make_unique<CPointArray>();
        polyline->Append(flattened);
        path.polylines.push_back(std::move(polyline));
    }
    // A huge path does not leave its room held for the rest of the thread's life.
    if (flattened.GetCapacity() > kKeptFlatteningRoom)
        flattened.RemoveAll();
}

} // namespace

void CGraphicObject::RecalcBounds() {
    if (CPathShape* path = AsPath()) {
        RebuildPolylines(*path, bounds);
    } else if (CTextShape* text = AsText()) {
        if (text->mode == kTextParagraph)
            bounds = CRectF::FromCorners(text->position, text->corner);
        else
            bounds = GetTextMetrics().MeasureArtisticBounds(*text);
        const int32_t l = RoundHalfAway(bounds.left);
        const int32_t r = RoundHalfAway(bounds.right);
        const int32_t t = RoundHalfAway(bounds.top);
        const int32_t b = RoundHalfAway(bounds.bottom);
        text->outline = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
    } else if (CImageShape* image = AsImage()) {
        // A mirrored placement (left > right) draws the bitmap mirrored; the bounds stay a proper box.
        bounds = image->placement.Normalized();
    }
}

void CGraphicObject::Transform(const CTransform& matrix) {
    if (CPathShape* path = AsPath()) {
        for (auto& nodes : path->subpaths) {
            for (CPathNode& node : *nodes) {
                node.in = matrix.Apply(node.in);
                node.anchor = matrix.Apply(node.anchor);
                node.out = matrix.Apply(node.out);
            }
        }
    } else if (CImageShape* image = AsImage()) {
        const CPointF topLeft = matrix.Apply(CPointF{image->placement.left, image->placement.top});
        const CPointF bottomRight = matrix.Apply(CPointF{image->placement.right, image->placement.bottom});
        image->placement = {topLeft.x, bottomRight.x, topLeft.y, bottomRight.y};
    } else if (CTextShape* text = AsText()) {
        text->position = matrix.Apply(text->position);
        if (text->mode == kTextParagraph) {
            // The frame never becomes smaller than one "m", so the text always has room for a letter.
            const CPointF m = GetTextMetrics().MeasureString(*text, u"m");
            const CPointF c = matrix.Apply(text->corner);
            text->corner = {std::max(c.x, text->position.x + m.x), std::max(c.y, text->position.y + m.y)};
        } else {
            const float s = matrix.Apply(CPointF{0.0f, 1.0f}).y - matrix.Apply(CPointF{0.0f, 0.0f}).y;
            text->height = std::max(s * text->height, kMinArtisticTextHeight);
        }
    }
    RecalcBounds();
}

} // namespace pq
