#include "formats/metafile/MetafilePlayback.h"

#include "formats/metafile/MetafileCharSets.h"
#include "geometry/BezierMath.h"
#include "geometry/Numeric.h"
#include "geometry/Transform.h"
#include "model/Drawing.h"
#include "platform/FontFamilies.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// Pens no wider than this many document units are kept; wider ones are damage.
constexpr double kMaxPenWidth = 10000.0;
// Scale factors of the frame fit beyond this range are damage: the content keeps its logical size.
constexpr double kMaxFitScale = 1e6;

bool Finite(const emr::CXform& x) {
    for (float v : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy})
        if (!std::isfinite(v) || std::fabs(v) > 1e9f)
            return false;
    return true;
}

// a then b: the transform that applies a to a point, then b.
emr::CXform Then(const emr::CXform& a, const emr::CXform& b) {
    emr::CXform r;
    r.m11 = a.m11 * b.m11 + a.m12 * b.m21;
    r.m12 = a.m11 * b.m12 + a.m12 * b.m22;
    r.m21 = a.m21 * b.m11 + a.m22 * b.m21;
    r.m22 = a.m21 * b.m12 + a.m22 * b.m22;
    r.dx = a.dx * b.m11 + a.dy * b.m21 + b.dx;
    r.dy = a.dx * b.m12 + a.dy * b.m22 + b.dy;
    return r;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

} // namespace

CMetafilePlayback::CMetafilePlayback(CDrawing& target) : drawing(target) {
    font.face = InstalledFace(u"");
    font.height = kDefaultFontHeight;
}

std::u16string CMetafilePlayback::InstalledFace(std::u16string_view face) {
    const std::vector<std::u16string>& families = EnumerateFontFamilies();
    for (const std::u16string& family : families)
        if (!face.empty() && EqualsIgnoringCase(family, face))
            return family;
    for (const std::u16string& family : families)
        if (family == u"Tahoma")
            return family;
    return families.empty() ? std::u16string(u"Tahoma") : families.front();
}

void CMetafilePlayback::StoreObject(uint32_t handle, const CMetafileObject& object) {
    if (handle == 0 || handle >= kMaxTableEntries)
        return; // handle 0 is the file's own; others beyond any header's count are damage
    table[handle] = object;
}

void CMetafilePlayback::AddObject(const CMetafileObject& object) {
    uint32_t slot;
    if (!freeSlots.empty()) {
        slot = *freeSlots.begin();
        freeSlots.erase(freeSlots.begin());
    } else {
        if (nextSlot >= kMaxTableEntries)
            return;
        slot = nextSlot++;
    }
    table[slot] = object;
}

void CMetafilePlayback::SelectObject(uint32_t handle) {
    if ((handle & emr::kStockObject) != 0) {
        const uint32_t stock = handle & 0x7FFFFFFF;
        static constexpr uint32_t kBrushColours[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x505050, 0x000000};
        if (stock <= 4) {
            brush = {kBrushSolid, kBrushColours[stock]};
        } else if (stock == 5) {
            brush = {kBrushHollow, 0xFFFFFF};
        } else if (stock >= 6 && stock <= 8) {
            FlushFigure();
            pen = {stock == 8 ? kPenNull : kPenSolid, 0, stock == 6 ? 0xFFFFFFu : 0u};
        }
        return;
    }
    const auto it = table.find(handle);
    if (it == table.end())
        return;
    switch (it->second.kind) {
    case CMetafileObject::Kind::Pen:
        FlushFigure(); // lines drawn so far keep the pen they were drawn with
        pen = it->second.pen;
        break;
    case CMetafileObject::Kind::Brush:
        brush = it->second.brush;
        break;
    case CMetafileObject::Kind::Font:
        font = it->second.font;
        break;
    case CMetafileObject::Kind::Other:
        break;
    }
}

void CMetafilePlayback::DeleteObject(uint32_t handle) {
    if (table.erase(handle) > 0 && handle < nextSlot)
        freeSlots.insert(handle);
}

void CMetafilePlayback::SetWorldTransform(const emr::CXform& xform) {
    if (Finite(xform))
        world = xform;
}

void CMetafilePlayback::ModifyWorldTransform(const emr::CXform& xform, uint32_t mode) {
    if (mode == 1) {
        world = emr::CXform();
        return;
    }
    if (!Finite(xform))
        return;
    emr::CXform next = xform;
    if (mode == 2)
        next = Then(xform, world); // the new transform acts first
    else if (mode == 3)
        next = Then(world, xform);
    if (Finite(next))
        world = next;
}

void CMetafilePlayback::SetDevice(CPoint pixels, CPoint millimetres) {
    if (pixels.x > 0 && pixels.y > 0 && millimetres.x > 0 && millimetres.y > 0)
        pixelsPerMillimetre = {static_cast<double>(pixels.x) / millimetres.x,
                               static_cast<double>(pixels.y) / millimetres.y};
}

void CMetafilePlayback::SetMapMode(uint32_t mode) {
    if (mode >= 1 && mode <= 8)
        mapMode = mode;
}

void CMetafilePlayback::SetWindowExtent(CPoint e) {
    if (e.x != 0 && e.y != 0)
        windowExtent = {static_cast<double>(e.x), static_cast<double>(e.y)};
}

void CMetafilePlayback::SetViewportExtent(CPoint e) {
    if (e.x != 0 && e.y != 0)
        viewportExtent = {static_cast<double>(e.x), static_cast<double>(e.y)};
}

CPointD CMetafilePlayback::PageScale() const {
    // Millimetres per logical unit of the fixed map modes 2 to 6; their y grows upward.
    static constexpr double kMillimetres[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440.0};
    if (mapMode >= 2 && mapMode <= 6) {
        const double mm = kMillimetres[mapMode - 2];
        return {mm * pixelsPerMillimetre.x, -mm * pixelsPerMillimetre.y};
    }
    if (mapMode == 7 || mapMode == 8) {
        CPointD scale{viewportExtent.x / windowExtent.x, viewportExtent.y / windowExtent.y};
        if (mapMode == 7) {
            // Isotropic: both axes take the smaller magnitude, each keeping its sign.
            const double m = std::min(std::fabs(scale.x), std::fabs(scale.y));
            scale = {std::copysign(m, scale.x), std::copysign(m, scale.y)};
        }
        return scale;
    }
    return {1.0, 1.0};
}

double CMetafilePlayback::LengthScale(bool withWorld) const {
    const CPointD page = PageScale();
    double scale = std::sqrt(std::fabs(page.x * page.y));
    if (withWorld)
        scale *= std::sqrt(std::fabs(world.m11 * world.m22 - world.m12 * world.m21));
    return std::isfinite(scale) && scale > 1e-9 ? scale : 1.0;
}

CPointD CMetafilePlayback::Map(double x, double y) const {
    if (yUp)
        y = -y;
    const double tx = x * world.m11 + y * world.m21 + world.dx;
    const double ty = x * world.m12 + y * world.m22 + world.dy;
    const CPointD scale = PageScale();
    const double dx = (tx - windowOrigin.x) * scale.x + viewportOrigin.x;
    const double dy = (ty - windowOrigin.y) * scale.y + viewportOrigin.y;
    const auto hold = [](double v) {
        return std::isfinite(v) ? std::clamp(v, -kMaxCoordinate, kMaxCoordinate) : 0.0;
    };
    return {hold(dx), hold(dy)};
}

CPointF CMetafilePlayback::ToFloat(CPointD p) const {
    return {static_cast<float>(p.x), static_cast<float>(p.y)};
}

std::vector<CPathNode> CMetafilePlayback::MapNodes(std::span<const CPathNode> logical) const {
    std::vector<CPathNode> nodes;
    nodes.reserve(logical.size());
    const auto map = [this](CPointF p) { return ToFloat(Map(p.x, p.y)); };
    for (const CPathNode& n : logical)
        nodes.push_back({map(n.in), map(n.anchor), map(n.out)});
    return nodes;
}

void CMetafilePlayback::StartFigureIfNeeded() {
    if (current.empty())
        current.push_back(CPathNode::FromPoint(ToFloat(position)));
}

void CMetafilePlayback::CloseSubpath() {
    if (current.size() >= 2)
        (inPath ? path : loose).push_back(std::move(current));
    current.clear();
}

void CMetafilePlayback::MoveTo(CPoint p) {
    CloseSubpath();
    position = Map(p);
}

void CMetafilePlayback::LineTo(CPoint p) {
    StartFigureIfNeeded();
    position = Map(p);
    current.push_back(CPathNode::FromPoint(ToFloat(position)));
}

void CMetafilePlayback::PolylineTo(std::span<const CPoint> points) {
    for (CPoint p : points)
        LineTo(p);
}

void CMetafilePlayback::PolyBezierTo(std::span<const CPoint> points) {
    StartFigureIfNeeded();
    for (std::size_t i = 0; i + 2 < points.size(); i += 3) {
        current.back().out = ToFloat(Map(points[i]));
        const CPointF c2 = ToFloat(Map(points[i + 1]));
        position = Map(points[i + 2]);
        const CPointF end = ToFloat(position);
        current.push_back({c2, end, end});
    }
}

void CMetafilePlayback::CloseFigure() {
    if (current.size() >= 2) {
        // A figure that already ends on its start gains no closing segment.
        const CPointF first = current.front().anchor;
        if (current.back().anchor != first)
            current.push_back(CPathNode::FromPoint(first));
        position = {first.x, first.y};
    }
    CloseSubpath();
}

void CMetafilePlayback::BeginPath() {
    FlushFigure();
    path.clear();
    current.clear();
    inPath = true;
}

void CMetafilePlayback::AbortPath() {
    path.clear();
    current.clear();
    inPath = false;
}

void CMetafilePlayback::EndPath() {
    if (!inPath)
        return;
    CloseSubpath();
    inPath = false;
}

void CMetafilePlayback::FinishPath(bool stroke, bool fill) {
    if (inPath) {
        CloseSubpath();
        inPath = false;
    }
    MakePath(path, stroke, fill);
    path.clear();
}

void CMetafilePlayback::FlushFigure() {
    if (inPath)
        return;
    CloseSubpath();
    MakePath(loose, true, false);
    loose.clear();
}

namespace {

// At most about how many points a segment flattens to for display: one for a straight segment; for a
// curve, halving stops once every leg of the control polygon is within the flattening tolerance, so
// about twice its length over that tolerance, and never more than the flattening's own limit.
double FlatteningPoints(const CPathNode& from, const CPathNode& to) {
    if (from.out == from.anchor && to.in == to.anchor)
        return 1.0;
    const double length =
        from.anchor.DistanceTo(from.out) + from.out.DistanceTo(to.in) + to.in.DistanceTo(to.anchor);
    const double tolerance =
        EffectiveFlatteningTolerance(from.anchor.DistanceTo(to.anchor), kDisplayTolerance);
    return 1.0 + std::min(2.0 * length / tolerance, 10000.0);
}

} // namespace

void CMetafilePlayback::MakePath(std::vector<std::vector<CPathNode>>& figures, bool stroke, bool fill) {
    if (figures.empty())
        return;
    double points = 0.0;
    double largest = 0.0;
    for (const std::vector<CPathNode>& nodes : figures) {
        double figure = 0.0;
        for (std::size_t i = 1; i < nodes.size(); ++i)
            figure += FlatteningPoints(nodes[i - 1], nodes[i]);
        points += figure;
        largest = std::max(largest, figure);
    }
    if (flatteningPoints + points > kMaxFlatteningPoints || largest > kMaxSubpathFlatteningPoints) {
        Warn("The file's curves are too many or too large to show; the rest were left out.");
        flatteningPoints = kMaxFlatteningPoints + 1.0; // nothing more is added
        return;
    }
    flatteningPoints += points;
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* shape = object->AsPath();
    for (const std::vector<CPathNode>& nodes : figures) {
        CNodeArray& subpath = shape->AddSubpath();
        subpath.SetSize(nodes.size());
        std::copy(nodes.begin(), nodes.end(), subpath.begin());
    }
    shape->penStyle = stroke ? pen.style : kPenNull;
    shape->penWidth = RoundHalfAway(std::min(pen.width * LengthScale(true), kMaxPenWidth));
    shape->penColor = pen.colour;
    shape->brushStyle = fill ? brush.style : kBrushHollow;
    object->color = brush.colour;
    Append(std::move(object));
}

bool CMetafilePlayback::Append(std::unique_ptr<CGraphicObject> object) {
    if (Full()) {
        Warn("The file holds more objects than a drawing can take; the rest were left out.");
        return false;
    }
    drawing.Add(std::move(object));
    return true;
}

bool CMetafilePlayback::Full() const {
    return static_cast<std::size_t>(drawing.Count()) >= kMaxObjects ||
           flatteningPoints > kMaxFlatteningPoints;
}

void CMetafilePlayback::AddSubpaths(std::vector<std::vector<CPathNode>> figures, bool filled) {
    if (inPath) {
        CloseSubpath();
        for (auto& nodes : figures)
            if (nodes.size() >= 2)
                path.push_back(std::move(nodes));
        return;
    }
    FlushFigure();
    std::erase_if(figures, [](const std::vector<CPathNode>& nodes) { return nodes.size() < 2; });
    MakePath(figures, true, filled);
}

void CMetafilePlayback::SaveState() {
    if (saved.size() < kMaxSavedStates)
        saved.push_back({pen, brush, font, textColour, textAlign, arcClockwise, world, mapMode, windowOrigin,
                         windowExtent, viewportOrigin, viewportExtent});
}

void CMetafilePlayback::RestoreState(int32_t which) {
    // Negative: that many states back; positive: the state saved as number which (from 1).
    std::size_t keep;
    if (which < 0) {
        const std::size_t back = static_cast<std::size_t>(-static_cast<int64_t>(which));
        if (back > saved.size())
            return;
        keep = saved.size() - back;
    } else {
        if (which == 0 || static_cast<std::size_t>(which) > saved.size())
            return;
        keep = static_cast<std::size_t>(which) - 1;
    }
    const SavedState& s = saved[keep];
    if (!(s.pen.style == pen.style && s.pen.width == pen.width && s.pen.colour == pen.colour))
        FlushFigure();
    pen = s.pen;
    brush = s.brush;
    font = s.font;
    textColour = s.textColour;
    textAlign = s.textAlign;
    arcClockwise = s.arcClockwise;
    world = s.world;
    mapMode = s.mapMode;
    windowOrigin = s.windowOrigin;
    windowExtent = s.windowExtent;
    viewportOrigin = s.viewportOrigin;
    viewportExtent = s.viewportExtent;
    saved.resize(keep);
}

void CMetafilePlayback::SetReference(CRect box) {
    reference = CRectF::FromCorners({static_cast<float>(box.left), static_cast<float>(box.top)},
                                    {static_cast<float>(box.right), static_cast<float>(box.bottom)});
}

void CMetafilePlayback::SetHeaderBounds(CRect box) {
    // Inclusive device bounds; an empty or inverted box says nothing.
    if (box.right > box.left && box.bottom > box.top)
        headerBounds = CRectF(static_cast<float>(box.left), static_cast<float>(box.right) + 1.0f,
                              static_cast<float>(box.top), static_cast<float>(box.bottom) + 1.0f);
}

std::u16string CMetafilePlayback::WideFontText(std::u16string_view text) const {
    return font.symbolFace ? DecodeSymbolFontText(text) : std::u16string(text);
}

std::u16string CMetafilePlayback::FontText(std::u16string_view bytes) const {
    return font.symbolFace ? DecodeSymbolFontText(bytes) : DecodeCharSetText(bytes, font.charSet);
}

void CMetafilePlayback::Warn(std::string message) {
    if (warned)
        return;
    warned = true;
    drawing.AddWarning(message);
}

void CMetafilePlayback::Finish(CPoint frameSize) {
    if (inPath)
        AbortPath(); // a path never filled or stroked draws nothing
    FlushFigure();
    for (const auto& object : drawing.Objects())
        object->RecalcBounds();
    if (!groupTable.empty())
        drawing.ApplyGroupTable(groupTable);

    // The frame spans our own bounds comment, else the header's bounds, else the content's.
    CRectF ref = drawing.Bounds();
    if (reference)
        ref = *reference;
    else if (headerBounds)
        ref = *headerBounds;
    const double bw = ref.Width();
    const double bh = ref.Height();
    if (drawing.Count() == 0 || frameSize.x <= 0 || frameSize.y <= 0 || !(bw > kGeomEpsilon) ||
        !(bh > kGeomEpsilon))
        return;
    const double sx = frameSize.x / bw * 0.1;
    const double sy = frameSize.y / bh * 0.1;
    if (sx > kMaxFitScale || sy > kMaxFitScale || sx < 1.0 / kMaxFitScale || sy < 1.0 / kMaxFitScale)
        return;
    // A frame beyond the coordinate range is damage: the content keeps the file's own units.
    if (bw * sx > 2.0 * kMaxCoordinate || bh * sy > 2.0 * kMaxCoordinate) {
        Warn("The file's frame is larger than a drawing can be; the content keeps the file's own units.");
        return;
    }
    // Enlarging curves multiplies their flattened points by up to the scale.
    if (std::max(sx, sy) > 1.0 && flatteningPoints * std::max(sx, sy) > kMaxFlatteningPoints) {
        Warn(
            "The file's frame is too large to show its curves at that size; they keep the file's own units.");
        return;
    }
    CTransform fit;
    fit.Scale(static_cast<float>(sx), static_cast<float>(sy), 1.0f);
    const CPointF centre = ref.Center();
    fit.Translate(centre.x, centre.y, 0.0f);
    const double penScale = std::sqrt(sx * sy);
    for (const auto& object : drawing.Objects()) {
        object->Transform(fit);
        if (CPathShape* shape = object->AsPath())
            shape->penWidth = RoundHalfAway(std::min(shape->penWidth * penScale, kMaxPenWidth));
    }
}

} // namespace pq
