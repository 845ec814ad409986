#include "formats/dxf/DxfGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq {

namespace {

constexpr double kCoordinateLimit = 1e9;

float Clamped(double v) {
    if (!(v > -kCoordinateLimit))
        return v != v ? 0.0f : static_cast<float>(-kCoordinateLimit);
    return static_cast<float>(std::min(v, kCoordinateLimit));
}

} // namespace

CDxfAffine CDxfAffine::Then(const CDxfAffine& after) const {
    CDxfAffine r;
    r.xx = after.xx * xx + after.yx * xy;
    r.xy = after.xy * xx + after.yy * xy;
    r.yx = after.xx * yx + after.yx * yy;
    r.yy = after.xy * yx + after.yy * yy;
    r.tx = after.xx * tx + after.yx * ty + after.tx;
    r.ty = after.xy * tx + after.yy * ty + after.ty;
    return r;
}

double CDxfAffine::LinearScale() const {
    return std::sqrt(std::fabs(xx * yy - xy * yx));
}

CDxfAffine CDxfAffine::Scaling(double sx, double sy) {
    CDxfAffine r;
    r.xx = sx;
    r.yy = sy;
    return r;
}

CDxfAffine CDxfAffine::Rotation(double radians) {
    CDxfAffine r;
    r.xx = std::cos(radians);
    r.xy = std::sin(radians);
    r.yx = -r.xy;
    r.yy = r.xx;
    return r;
}

CDxfAffine CDxfAffine::Translation(double dx, double dy) {
    CDxfAffine r;
    r.tx = dx;
    r.ty = dy;
    return r;
}

CPointF CDxfMapper::Map(CPointD p) const {
    const CPointD d = transform.Apply(p);
    if (!origin && std::isfinite(d.x) && std::isfinite(d.y) && std::fabs(d.x) < 1e30 && std::fabs(d.y) < 1e30)
        origin = d;
    const CPointD o = origin.value_or(CPointD{});
    return {Clamped(d.x - o.x), Clamped(d.y - o.y)};
}

void CDxfPathBuilder::AddNode(CPointF anchor) {
    subpaths.back().Add(CPathNode::FromPoint(anchor));
}

void CDxfPathBuilder::MoveTo(CPointD p) {
    subpaths.emplace_back();
    open = true;
    AddNode(map.Map(p));
    last = p;
}

void CDxfPathBuilder::StartAt(CPointD p) {
    if (!HasOpenSubpath())
        MoveTo(p);
    else if (std::hypot(p.x - last.x, p.y - last.y) > 1e-9)
        LineTo(p);
}

void CDxfPathBuilder::LineTo(CPointD p) {
    if (!HasOpenSubpath()) {
        MoveTo(p);
        return;
    }
    AddNode(map.Map(p));
    last = p;
}

void CDxfPathBuilder::CurveTo(CPointD c1, CPointD c2, CPointD p) {
    if (!HasOpenSubpath())
        MoveTo(last);
    CNodeArray& nodes = subpaths.back();
    nodes[nodes.GetSize() - 1].out = map.Map(c1);
    const CPointF anchor = map.Map(p);
    nodes.Add(CPathNode(map.Map(c2), anchor, anchor));
    last = p;
}

void CDxfPathBuilder::ArcTo(CPointD centre, CPointD a, CPointD b, double t0, double t1) {
    auto point = [&](double t) {
        return CPointD{centre.x + std::cos(t) * a.x + std::sin(t) * b.x,
                       centre.y + std::cos(t) * a.y + std::sin(t) * b.y};
    };
    auto tangent = [&](double t) {
        return CPointD{-std::sin(t) * a.x + std::cos(t) * b.x, -std::sin(t) * a.y + std::cos(t) * b.y};
    };
    StartAt(point(t0));
    const double sweep = t1 - t0;
    const int pieces =
        std::clamp(static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9)), 1, 8);
    const double step = sweep / pieces;
    // A cubic through the arc's ends with tangents of length 4/3 tan(step / 4) of the derivative.
    const double k = 4.0 / 3.0 * std::tan(step / 4.0);
    for (int i = 0; i < pieces; ++i) {
        const double u0 = t0 + step * i;
        const double u1 = i + 1 == pieces ? t1 : u0 + step;
        const CPointD p0 = point(u0);
        const CPointD p3 = point(u1);
        const CPointD d0 = tangent(u0);
        const CPointD d1 = tangent(u1);
        CurveTo({p0.x + k * d0.x, p0.y + k * d0.y}, {p3.x - k * d1.x, p3.y - k * d1.y}, p3);
    }
}

void CDxfPathBuilder::BulgeTo(CPointD from, CPointD p, double bulge) {
    const double dx = p.x - from.x;
    const double dy = p.y - from.y;
    const double chord = std::hypot(dx, dy);
    if (!std::isfinite(bulge) || std::fabs(bulge) < 1e-9 || chord < 1e-12) {
        LineTo(p);
        return;
    }
    // The included angle is 4 atan(bulge); the centre lies on the chord's perpendicular bisector, to the
    // left of the chord for counter-clockwise arcs of less than half a turn.
    const double angle = 4.0 * std::atan(std::clamp(bulge, -1e6, 1e6));
    const double offset = chord / 2.0 / std::tan(angle / 2.0);
    const CPointD centre{from.x + dx / 2.0 - dy / chord * offset, from.y + dy / 2.0 + dx / chord * offset};
    const double radius = std::hypot(from.x - centre.x, from.y - centre.y);
    const double start = std::atan2(from.y - centre.y, from.x - centre.x);
    ArcTo(centre, {radius, 0.0}, {0.0, radius}, start, start + angle);
    // The arc ends at p up to rounding; the vertex itself is kept exactly.
    CNodeArray& nodes = subpaths.back();
    const CPointF end = map.Map(p);
    nodes[nodes.GetSize() - 1].anchor = end;
    nodes[nodes.GetSize() - 1].out = end;
    last = p;
}

void CDxfPathBuilder::AddDocumentNodes(CNodeArray nodes, CPointD end) {
    if (nodes.IsEmpty())
        return;
    if (!HasOpenSubpath()) {
        subpaths.push_back(std::move(nodes));
        open = true;
    } else {
        CNodeArray& current = subpaths.back();
        std::size_t first = 0;
        if (current.Last().anchor == nodes[0].anchor) {
            current.Last().out = nodes[0].out;
            first = 1;
        }
        for (std::size_t i = first; i < nodes.GetSize(); ++i)
            current.Add(nodes[i]);
    }
    last = end;
}

void CDxfPathBuilder::Close() {
    if (!HasOpenSubpath())
        return;
    CNodeArray& nodes = subpaths.back();
    if (nodes.GetSize() >= 2 && !(nodes[0].anchor == nodes[nodes.GetSize() - 1].anchor)) {
        const CPointF first = nodes[0].anchor;
        nodes.Add(CPathNode::FromPoint(first));
    }
    open = false;
}

} // namespace pq
