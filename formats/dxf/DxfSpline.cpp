#include "formats/dxf/DxfSpline.h"

#include "geometry/CurveFit.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

constexpr int kMaxDegree = 10;
constexpr int kMinStepsPerSpan = 3;
constexpr int kMaxStepsPerSpan = 32;
constexpr std::size_t kMaxSamples = 50000;
constexpr std::size_t kFitChunk = 2000;
constexpr float kFitTolerance = 3.0f;

struct Homogeneous {
    double x = 0.0, y = 0.0, w = 1.0;
};

bool ValidKnots(const std::vector<double>& knots, std::size_t controlCount, int degree) {
    if (knots.size() != controlCount + static_cast<std::size_t>(degree) + 1)
        return false;
    for (std::size_t i = 1; i < knots.size(); ++i)
        if (!(knots[i] >= knots[i - 1]))
            return false;
    return knots[static_cast<std::size_t>(degree)] < knots[controlCount];
}

std::vector<double> UniformClampedKnots(std::size_t controlCount, int degree) {
    std::vector<double> knots;
    const auto p = static_cast<std::size_t>(degree);
    for (std::size_t i = 0; i < controlCount + p + 1; ++i) {
        if (i <= p)
            knots.push_back(0.0);
        else if (i >= controlCount)
            knots.push_back(static_cast<double>(controlCount - p));
        else
            knots.push_back(static_cast<double>(i - p));
    }
    return knots;
}

bool IsClamped(const std::vector<double>& knots, int degree) {
    const auto p = static_cast<std::size_t>(degree);
    for (std::size_t i = 1; i <= p; ++i)
        if (knots[i] != knots[0] || knots[knots.size() - 1 - i] != knots.back())
            return false;
    return true;
}

// Bezier decomposition of a clamped B-spline by knot insertion (Piegl and Tiller, The NURBS Book,
// algorithm A5.6): every inner knot is raised to multiplicity p, after which each span's p + 1 control
// points are the Bezier points of that span.
void DecomposeToBezier(int p, const std::vector<double>& U, const std::vector<CPointD>& P,
                       CDxfPathBuilder& out) {
    const std::size_t m = U.size() - 1;
    std::vector<CPointD> Q(static_cast<std::size_t>(p) + 1);
    std::vector<CPointD> next(static_cast<std::size_t>(p) + 1);
    std::vector<double> alphas(static_cast<std::size_t>(p) + 1);
    std::size_t a = static_cast<std::size_t>(p);
    std::size_t b = a + 1;
    for (std::size_t i = 0; i <= a; ++i)
        Q[i] = P[i];
    out.StartAt(Q[0]);
    auto emit = [&](const std::vector<CPointD>& s) {
        if (p == 1) {
            out.LineTo(s[1]);
        } else if (p == 2) {
            // A quadratic segment raised to degree 3.
            out.CurveTo({s[0].x + 2.0 / 3.0 * (s[1].x - s[0].x), s[0].y + 2.0 / 3.0 * (s[1].y - s[0].y)},
                        {s[2].x + 2.0 / 3.0 * (s[1].x - s[2].x), s[2].y + 2.0 / 3.0 * (s[1].y - s[2].y)},
                        s[2]);
        } else {
            out.CurveTo(s[1], s[2], s[3]);
        }
    };
    while (b < m) {
        const std::size_t i = b;
        while (b < m && U[b + 1] == U[b])
            ++b;
        const std::size_t mult = b - i + 1;
        if (mult < static_cast<std::size_t>(p)) {
            const double numer = U[b] - U[a];
            for (std::size_t j = static_cast<std::size_t>(p); j > mult; --j) {
                const double span = U[a + j] - U[a];
                alphas[j - mult - 1] = span > 0.0 ? numer / span : 0.0;
            }
            const std::size_t r = static_cast<std::size_t>(p) - mult;
            for (std::size_t j = 1; j <= r; ++j) {
                const std::size_t save = r - j;
                const std::size_t s = mult + j;
                for (std::size_t k = static_cast<std::size_t>(p); k >= s; --k) {
                    const double alpha = alphas[k - s];
                    Q[k] = {alpha * Q[k].x + (1.0 - alpha) * Q[k - 1].x,
                            alpha * Q[k].y + (1.0 - alpha) * Q[k - 1].y};
                }
                if (b < m)
                    next[save] = Q[static_cast<std::size_t>(p)];
            }
        }
        emit(Q);
        if (b < m) {
            for (std::size_t k = static_cast<std::size_t>(p) - std::min(mult, static_cast<std::size_t>(p));
                 k <= static_cast<std::size_t>(p); ++k)
                next[k] = P[b - static_cast<std::size_t>(p) + k];
            Q = next;
            a = b;
            ++b;
        }
    }
}

// The point at u of a (rational) B-spline by de Boor's algorithm, u in span k (U[k] <= u <= U[k + 1]).
CPointD DeBoor(int p, const std::vector<double>& U, const std::vector<Homogeneous>& P, std::size_t k,
               double u) {
    std::vector<Homogeneous> d(static_cast<std::size_t>(p) + 1);
    for (std::size_t j = 0; j <= static_cast<std::size_t>(p); ++j)
        d[j] = P[j + k - static_cast<std::size_t>(p)];
    for (std::size_t r = 1; r <= static_cast<std::size_t>(p); ++r) {
        for (std::size_t j = static_cast<std::size_t>(p); j >= r; --j) {
            const std::size_t lo = j + k - static_cast<std::size_t>(p);
            const double span = U[j + 1 + k - r] - U[lo];
            const double alpha = span > 0.0 ? (u - U[lo]) / span : 0.0;
            d[j] = {(1.0 - alpha) * d[j - 1].x + alpha * d[j].x, (1.0 - alpha) * d[j - 1].y + alpha * d[j].y,
                    (1.0 - alpha) * d[j - 1].w + alpha * d[j].w};
        }
    }
    const Homogeneous& h = d[static_cast<std::size_t>(p)];
    if (std::fabs(h.w) < 1e-8)
        return {h.x, h.y};
    return {h.x / h.w, h.y / h.w};
}

// Fits the document-unit samples in chunks (so that one hostile spline cannot make the fitter slow) and
// appends the nodes as one subpath.
void FitSamples(const std::vector<CPointF>& samples, CPointD end, CDxfPathBuilder& out) {
    CNodeArray nodes;
    for (std::size_t start = 0; start + 1 < samples.size(); start += kFitChunk) {
        const std::size_t count = std::min(kFitChunk + 1, samples.size() - start);
        CNodeArray piece;
        FitPointsToNodes(samples.data() + start, count, piece, kFitTolerance);
        if (piece.IsEmpty())
            continue;
        if (nodes.IsEmpty()) {
            nodes = std::move(piece);
            continue;
        }
        nodes.Last().out = piece[0].out;
        for (std::size_t i = 1; i < piece.GetSize(); ++i)
            nodes.Add(piece[i]);
    }
    if (nodes.GetSize() == 1)
        nodes.Add(nodes[0]);
    out.AddDocumentNodes(std::move(nodes), end);
}

bool SampleSpline(int p, const std::vector<double>& U, const std::vector<CPointD>& points,
                  const std::vector<double>& weights, CDxfPathBuilder& out) {
    std::vector<Homogeneous> P;
    P.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double w = weights.empty() ? 1.0 : weights[i];
        P.push_back({points[i].x * w, points[i].y * w, w});
    }
    const double docScale = out.Mapper().Transform().LinearScale();
    const std::size_t n = points.size();
    std::vector<CPointF> samples;
    CPointD last;
    auto add = [&](CPointD point) {
        last = point;
        const CPointF mapped = out.Mapper().Map(point);
        if (samples.empty() || !(samples.back() == mapped))
            samples.push_back(mapped);
    };
    for (std::size_t k = static_cast<std::size_t>(p); k < n && samples.size() < kMaxSamples; ++k) {
        if (!(U[k + 1] > U[k]))
            continue;
        double legs = 0.0;
        for (std::size_t j = k - static_cast<std::size_t>(p); j < k; ++j)
            legs += std::hypot(points[j + 1].x - points[j].x, points[j + 1].y - points[j].y);
        const double wanted = legs * docScale / 15.0;
        // Clamped before the conversion: a huge span's count does not fit in an int.
        const int steps = std::isfinite(wanted)
                              ? static_cast<int>(std::clamp(wanted, static_cast<double>(kMinStepsPerSpan),
                                                            static_cast<double>(kMaxStepsPerSpan)))
                              : kMaxStepsPerSpan;
        for (int s = (samples.empty() ? 0 : 1); s <= steps; ++s) {
            const double u = U[k] + (U[k + 1] - U[k]) * s / steps;
            add(DeBoor(p, U, P, k, u));
        }
    }
    if (samples.empty())
        return false;
    if (samples.size() == 1)
        samples.push_back(samples[0]);
    FitSamples(samples, last, out);
    return true;
}

// A smooth curve through the points: each point's tangent is half the difference of its neighbours.
void ThroughFitPoints(const std::vector<CPointD>& f, CDxfPathBuilder& out) {
    out.StartAt(f[0]);
    const std::size_t n = f.size();
    auto tangent = [&](std::size_t i) {
        const CPointD a = f[i == 0 ? 0 : i - 1];
        const CPointD b = f[i + 1 == n ? i : i + 1];
        const double half = (i == 0 || i + 1 == n) ? 1.0 : 0.5;
        return CPointD{(b.x - a.x) * half, (b.y - a.y) * half};
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const CPointD t0 = tangent(i);
        const CPointD t1 = tangent(i + 1);
        out.CurveTo({f[i].x + t0.x / 3.0, f[i].y + t0.y / 3.0},
                    {f[i + 1].x - t1.x / 3.0, f[i + 1].y - t1.y / 3.0}, f[i + 1]);
    }
}

} // namespace

bool AppendSpline(const CDxfSplineData& spline, CDxfPathBuilder& out) {
    const std::vector<CPointD>& points = spline.controlPoints;
    if (points.empty()) {
        if (spline.fitPoints.size() < 2)
            return false;
        ThroughFitPoints(spline.fitPoints, out);
        return true;
    }
    if (points.size() == 1) {
        out.MoveTo(points[0]);
        out.LineTo(points[0]);
        return true;
    }
    int p = spline.degree;
    if (p < 1 || p > kMaxDegree)
        p = 3;
    p = std::min(p, static_cast<int>(points.size()) - 1);
    std::vector<double> knots = spline.knots;
    if (!ValidKnots(knots, points.size(), p))
        knots = UniformClampedKnots(points.size(), p);

    bool rational = false;
    std::vector<double> weights;
    if (spline.weights.size() == points.size() && std::all_of(spline.weights.begin(), spline.weights.end(),
                                                              [](double w) { return w > 0.0 && w < 1e12; })) {
        weights = spline.weights;
        rational = std::any_of(weights.begin(), weights.end(), [&](double w) { return w != weights[0]; });
    }
    if (!rational && p <= 3 && IsClamped(knots, p)) {
        DecomposeToBezier(p, knots, points, out);
        return true;
    }
    return SampleSpline(p, knots, points, weights, out);
}

} // namespace pq
