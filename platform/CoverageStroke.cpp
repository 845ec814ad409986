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
// A bend whose outer corner misses the round join by less than this meets at its mitre, in pixels: the
// bends of a flattened curve.
constexpr float kJoinTolerance = 0.01f;

} // namespace

void CCoverageRaster::AddDisc(CPointF centre, float radius) {
    if (radius <= 0)
        return;
    outline.clear();
    AppendArc(centre, {radius, 0.0f}, -2.0f * std::numbers::pi_v<float>, radius);
    AddPolygon(outline);
}

// Points of the arc about centre from centre + from, turning by sweep radians (negative: clockwise on
// the screen), the first point included and the last left out; the corners stay within the disc
// tolerance of the circle.
void CCoverageRaster::AppendArc(CPointF centre, CPointF from, float sweep, float radius) {
    if (radius != arcRadius) { // the joins of one pen share their radius
        arcRadius = radius;
        arcStep = 2.0f * std::acos(std::max(1.0f - kDiscTolerance / radius, -1.0f));
    }
    const float step = arcStep;
    const int pieces = std::clamp(static_cast<int>(std::ceil(std::fabs(sweep) / step)), 1, 512);
    const float turn = sweep / static_cast<float>(pieces);
    const float c = std::cos(turn), s = std::sin(turn);
    CPointF offset = from;
    for (int i = 0; i < pieces; ++i) {
        outline.push_back(centre + offset);
        offset = {offset.x * c - offset.y * s, offset.x * s + offset.y * c};
    }
}

// The pen's area as outlines that do not overlap themselves but at tight inner corners: an open line is
// one polygon (its left side forward, the end cap, its right side back, the start cap), a closed line two
// (its left side and its right side, wound opposite ways, so the ring between them fills). At each bend
// the outer side turns along the round join and the inner side meets at the offset lines' crossing; a
// bend too tight for its segments pivots about the point instead, whose small overlap the non-zero rule
// fills once. Borders of one outline never meet inside a pixel, so area coverage is exact.
void CCoverageRaster::AddSolidStroke(std::span<const CPointF> points, float width, bool closed,
                                     bool roundEnds) {
    if (points.empty())
        return;
    const float half = width / 2;
    // The line as consecutive distinct points, closed ones ending where they began.
    line.clear();
    for (const CPointF& p : points)
        if (std::isfinite(p.x) && std::isfinite(p.y) &&
            (line.empty() || p.x != line.back().x || p.y != line.back().y))
            line.push_back(p);
    if (line.empty())
        return;
    if (closed && line.size() > 2 && (line.back().x != line.front().x || line.back().y != line.front().y))
        line.push_back(line.front());
    closed = closed && line.size() > 3;
    const std::size_t n = line.size();
    if (n == 1) {
        AddDisc(line[0], half);
        return;
    }
    const std::size_t segments = n - 1;
    normals.resize(segments);
    lengths.resize(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        const CPointF d = line[i + 1] - line[i];
        lengths[i] = d.Length();
        normals[i] = CPointF(-d.y, d.x) * (1.0f / lengths[i]);
    }
    // The join at point i, between segments before and after, appended for one side (side +1 left,
    // -1 right).
    auto join = [&](std::size_t i, std::size_t before, std::size_t after, float side) {
        const CPointF a = normals[before] * side, b = normals[after] * side;
        const float cosine = a.x * b.x + a.y * b.y;
        const float cross = a.x * b.y - a.y * b.x; // > 0: this side is the inner one
        const CPointF p = line[i];
        const float shorter = std::min(lengths[before], lengths[after]);
        const CPointF m = a + b;
        const float mb = m.x * b.x + m.y * b.y; // 1 + cosine
        // Gentle bends meet at the mitre on both sides (while the inner side cannot fold back within the
        // shorter segment); so does the inner side of any bend while the crossing of its offset lines
        // lies within half of each segment (half * tan(turn / 2) along it).
        const bool inner = cross * side > 0.0f;
        const bool gentle = half * (1.0f - cosine) < kJoinTolerance * 4 && shorter > 2 * half * std::fabs(cross);
        const bool innerMitre = inner && half * std::fabs(cross) <= 0.5f * shorter * mb;
        if ((gentle || innerMitre) && mb > 1e-6f) {
            outline.push_back(p + m * (half / mb));
            return;
        }
        if (inner) {
            outline.push_back(p + a * half);
            outline.push_back(p);
            outline.push_back(p + b * half);
            return;
        }
        AppendArc(p, a * half, std::atan2(cross, cosine), half);
        outline.push_back(p + b * half);
    };
    if (closed) {
        // The joins at the start join the last segment to the first.
        for (float side : {1.0f, -1.0f}) {
            outline.clear();
            join(0, segments - 1, 0, side);
            for (std::size_t i = 1; i < segments; ++i)
                join(i, i - 1, i, side);
            if (side < 0)
                std::reverse(outline.begin(), outline.end());
            AddPolygon(outline);
        }
        return;
    }
    outline.clear();
    outline.push_back(line[0] + normals[0] * half);
    for (std::size_t i = 1; i < segments; ++i)
        join(i, i - 1, i, 1.0f);
    const CPointF endNormal = normals[segments - 1] * half;
    if (roundEnds)
        AppendArc(line[n - 1], endNormal, -std::numbers::pi_v<float>, half);
    else
        outline.push_back(line[n - 1] + endNormal);
    // The right side, built forward and then turned round.
    const std::size_t rightStart = outline.size();
    outline.push_back(line[0] - normals[0] * half);
    for (std::size_t i = 1; i < segments; ++i)
        join(i, i - 1, i, -1.0f);
    outline.push_back(line[n - 1] - endNormal);
    std::reverse(outline.begin() + static_cast<std::ptrdiff_t>(rightStart), outline.end());
    if (roundEnds)
        AppendArc(line[0], normals[0] * -half, -std::numbers::pi_v<float>, half);
    AddPolygon(outline);
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
