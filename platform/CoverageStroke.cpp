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

// The pen's area as one outline per run of gently bending segments: the left side forward, the right
// side back, mitred at each bend (for such bends the mitre and the round join differ by less than the
// join tolerance). Pieces of one outline then cross a row twice instead of twice per segment. Sharp
// bends and the ends get discs.
void CCoverageRaster::AddSolidStroke(std::span<const CPointF> points, float width, bool closed,
                                     bool roundEnds) {
    if (points.empty())
        return;
    const float half = width / 2;
    // The line as consecutive distinct points, closed ones ending where they began.
    line.clear();
    for (const CPointF& p : points)
        if (line.empty() || p.x != line.back().x || p.y != line.back().y)
            line.push_back(p);
    if (closed && line.size() > 2 && (line.back().x != line.front().x || line.back().y != line.front().y))
        line.push_back(line.front());
    const std::size_t n = line.size();
    if (n == 1) {
        AddDisc(line[0], half);
        return;
    }
    auto normal = [&](std::size_t segment) {
        const CPointF d = line[segment + 1] - line[segment];
        return CPointF(-d.y, d.x) * (1.0f / d.Length());
    };
    // Whether the bend at point i (between segments i - 1 and i) is gentle enough to mitre.
    auto gentle = [&](std::size_t i) {
        const CPointF a = normal(i - 1), b = normal(i);
        const float cosine = a.x * b.x + a.y * b.y;
        const float shorter = std::min(line[i].DistanceTo(line[i - 1]), line[i + 1].DistanceTo(line[i]));
        // The inner side must not fold back within the shorter segment.
        const float sine = std::sqrt(std::max(0.0f, 1.0f - cosine * cosine));
        return half * (1.0f - cosine) < kJoinTolerance * 4 && shorter > 2 * half * sine;
    };
    std::size_t first = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (i + 1 < n && gentle(i))
            continue;
        // Segments first .. i - 1 form one run, from point first to point i.
        CPointF previousLeft = line[first] + normal(first) * half;
        const CPointF startLeft = previousLeft;
        for (std::size_t k = first + 1; k <= i; ++k) {
            CPointF offset = normal(k - 1) * half;
            if (k < i) {
                const CPointF a = normal(k - 1), b = normal(k);
                const CPointF m = a + b;
                offset = m * (half / (m.x * b.x + m.y * b.y));
            }
            const CPointF left = line[k] + offset;
            AddEdge(previousLeft, left);
            previousLeft = left;
        }
        CPointF previousRight = line[i] - normal(i - 1) * half;
        AddEdge(previousLeft, previousRight);
        for (std::size_t k = i; k-- > first;) {
            CPointF offset = normal(k) * half;
            if (k > first) {
                const CPointF a = normal(k - 1), b = normal(k);
                const CPointF m = a + b;
                offset = m * (half / (m.x * b.x + m.y * b.y));
            }
            const CPointF right = line[k] - offset;
            AddEdge(previousRight, right);
            previousRight = right;
        }
        AddEdge(previousRight, startLeft);
        // A disc at the sharp bend, or at an end of an open line.
        const bool end = i + 1 == n;
        if (!end)
            AddDisc(line[i], half);
        else if (closed)
            AddDisc(line[i], half); // where a closed line meets its start
        else if (roundEnds)
            AddDisc(line[i], half);
        first = i;
    }
    if (!closed && roundEnds)
        AddDisc(line[0], half);
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
