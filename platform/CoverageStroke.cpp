#include "platform/CoverageRaster.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pq {

namespace {

// Dash patterns of one-pixel pens in pixels along the line, alternating drawn and gap: the lengths the
// aliased pens use.
struct CDashLengths {
    int count;
    float lengths[6];
};

constexpr CDashLengths kDashes[4] = {
    {2, {18, 6}},
    {2, {3, 3}},
    {4, {9, 6, 3, 6}},
    {6, {9, 3, 3, 3, 3, 3}},
};

// A disc's polygon stays within this distance of its circle, in pixels.
constexpr float kDiscTolerance = 0.05f;
// A bend whose outer corner misses the round join by less than this needs no disc, in pixels: the
// bends of a flattened curve.
constexpr float kJoinTolerance = 0.01f;

} // namespace

// Every piece winds the same way (clockwise on the screen), so that their union fills by the non-zero
// rule wherever they overlap.
void CCoverageRaster::AddDisc(CPointF centre, float radius) {
    if (radius <= 0)
        return;
    const float cosine = std::max(1.0f - kDiscTolerance / radius, -1.0f);
    const int corners =
        std::clamp(static_cast<int>(std::ceil(std::numbers::pi_v<float> / std::acos(cosine))), 8, 512);
    if (unitCircle.size() != static_cast<std::size_t>(corners)) {
        unitCircle.resize(static_cast<std::size_t>(corners));
        for (int i = 0; i < corners; ++i) {
            const double angle = -2.0 * std::numbers::pi * i / corners;
            unitCircle[static_cast<std::size_t>(i)] = {static_cast<float>(std::cos(angle)),
                                                       static_cast<float>(std::sin(angle))};
        }
    }
    CPointF previous = centre + unitCircle.back() * radius;
    for (const CPointF& corner : unitCircle) {
        const CPointF point = centre + corner * radius;
        AddEdge(previous, point);
        previous = point;
    }
}

void CCoverageRaster::AddSegment(CPointF a, CPointF b, float halfWidth) {
    const CPointF d = b - a;
    const float length = d.Length();
    if (!(length > 1e-6f))
        return;
    const CPointF normal = CPointF(-d.y, d.x) * (halfWidth / length);
    const CPointF corners[4] = {a + normal, b + normal, b - normal, a - normal};
    AddEdge(corners[0], corners[1]);
    AddEdge(corners[1], corners[2]);
    AddEdge(corners[2], corners[3]);
    AddEdge(corners[3], corners[0]);
}

void CCoverageRaster::AddSolidStroke(std::span<const CPointF> points, float width, bool closed,
                                     bool roundEnds) {
    const std::size_t n = points.size();
    if (n == 0)
        return;
    const float half = width / 2;
    const std::size_t segments = closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i)
        AddSegment(points[i], points[(i + 1) % n], half);
    for (std::size_t i = 0; i < n; ++i) {
        const bool end = !closed && (i == 0 || i + 1 == n);
        if (end) {
            if (roundEnds || n == 1)
                AddDisc(points[i], half);
            continue;
        }
        const CPointF in = points[i] - points[(i + n - 1) % n];
        const CPointF out = points[(i + 1) % n] - points[i];
        const float lengths = in.Length() * out.Length();
        const float cosine = lengths > 0 ? (in.x * out.x + in.y * out.y) / lengths : -1.0f;
        if (half * (1.0f - cosine) >= kJoinTolerance)
            AddDisc(points[i], half);
    }
}

void CCoverageRaster::AddDashedStroke(std::span<const CPointF> points, bool closed, int penStyle) {
    const CDashLengths& pattern = kDashes[penStyle - kPenDash];
    int piece = 0;
    float left = pattern.lengths[0]; // of the current piece
    dash.assign(1, points[0]);
    auto flush = [&] {
        if (dash.size() >= 2)
            AddSolidStroke(dash, 1.0f, false, false);
    };
    const std::size_t n = points.size();
    const std::size_t segments = closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        CPointF a = points[i];
        const CPointF b = points[(i + 1) % n];
        float length = a.DistanceTo(b);
        while (length > left) {
            const CPointF cut = a + (b - a) * (left / length);
            if ((piece & 1) == 0) {
                dash.push_back(cut);
                flush();
            }
            dash.assign(1, cut);
            length -= left;
            a = cut;
            piece = (piece + 1) % pattern.count;
            left = pattern.lengths[piece];
        }
        left -= length;
        dash.push_back(b);
    }
    if ((piece & 1) == 0)
        flush();
}

void CCoverageRaster::AddStroke(std::span<const CPointF> points, float width, bool closed, int penStyle) {
    if (points.empty() || penStyle == kPenNull)
        return;
    const bool dashed = penStyle >= kPenDash && penStyle <= kPenDashDotDot && width <= 1.0f;
    if (dashed && points.size() >= 2)
        AddDashedStroke(points, closed, penStyle);
    else
        AddSolidStroke(points, std::max(width, 1.0f), closed, true);
}

} // namespace pq
