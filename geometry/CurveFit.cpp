#include "geometry/CurveFit.h"

#include <cmath>
#include <utility>

// Least-squares fitting of cubic Bezier segments to digitised points with Newton-Raphson
// reparameterisation and recursive splitting at the point of largest error, after Philip J. Schneider,
// "An Algorithm for Automatically Fitting Digitized Curves", Graphics Gems (1990). Differences from the
// published method: the recursion is limited, small determinants and denominators are guarded, and no
// handle grows longer than 0.618 times its segment's chord.
//
// All arithmetic is single precision; only the test whether the chord lengths can be normalised is
// done in double, so that a track of a few tiny steps is not mistaken for a point.

namespace pq {
namespace {

// Beyond this depth a range that still does not fit is not split again.
constexpr int kMaxDepth = 100;
// Newton-Raphson passes tried on a nearly fitting range before it is split.
constexpr int kMaxIterations = 4;
// Longest handle, as a fraction of the chord of its segment.
constexpr float kHandleCap = 0.618f;
constexpr float kOneThird = 0.33333334f;
constexpr float kFitEpsilon = 1e-8f;

// Bernstein weights of the cubic.
float B0(float u) {
    const float v = 1.0f - u;
    return v * v * v;
}
float B1(float u) {
    const float v = 1.0f - u;
    return 3.0f * u * v * v;
}
float B2(float u) {
    return 3.0f * u * u * (1.0f - u);
}
float B3(float u) {
    return u * u * u;
}

// Point of a Bezier curve of the given degree (at most 3) at t, by de Casteljau's construction on a
// copy of the control points.
CPointF EvaluateBezier(const CPointF* control, int degree, float t) {
    CPointF tmp[4];
    for (int i = 0; i <= degree; ++i)
        tmp[i] = control[i];
    for (int i = 1; i <= degree; ++i) {
        for (int j = 0; j <= degree - i; ++j) {
            tmp[j].x = (1.0f - t) * tmp[j].x + t * tmp[j + 1].x;
            tmp[j].y = (1.0f - t) * tmp[j].y + t * tmp[j + 1].y;
        }
    }
    return tmp[0];
}

// The fitting of one track: the points, the tolerance and the segments found so far.
class CCurveFitter {
public:
    CCurveFitter(const CPointF* points, std::size_t count, float error) : d(points), n(count), error(error) {}

    std::vector<CBezier> Run() {
        const CPointF tHat1 = (d[1] - d[0]).Normalized();
        const CPointF tHat2 = (d[n - 2] - d[n - 1]).Normalized();
        FitCubic(0, n - 1, tHat1, tHat2, 0);
        return std::move(segments);
    }

private:
    void FitCubic(std::size_t first, std::size_t last, CPointF tHat1, CPointF tHat2, int depth) {
        if (last == first + 1) {
            // Two points: a straight segment with handles a third of the chord along the tangents.
            const float dist = (d[last] - d[first]).Length() * kOneThird;
            const CPointF p0 = d[first];
            const CPointF p3 = d[last];
            segments.emplace_back(p0, p0 + tHat1.ScaledToLength(dist), p3 + tHat2.ScaledToLength(dist), p3);
            return;
        }

        std::vector<float> u = ChordLengthParameterize(first, last);
        CBezier bez = GenerateBezier(first, last, u, tHat1, tHat2);
        std::size_t split = 0;
        float maxError = ComputeMaxError(first, last, bez, u, split);
        // maxError is a squared distance; comparing it with the plain tolerance is the published rule.
        if (maxError < error) {
            segments.push_back(bez);
            return;
        }

        // Close enough for reparameterisation to be worth a few tries.
        if (maxError < error * error) {
            for (int i = 0; i < kMaxIterations; ++i) {
                std::vector<float> uPrime = Reparameterize(first, last, u, bez);
                bez = GenerateBezier(first, last, uPrime, tHat1, tHat2);
                maxError = ComputeMaxError(first, last, bez, uPrime, split);
                if (maxError < error) {
                    segments.push_back(bez);
                    return;
                }
                u = std::move(uPrime);
            }
        }

        if (depth >= kMaxDepth) {
            // Dropping the range would leave a gap in the chain, and the nodes built from it would
            // lose the range's points (the last point of the track among them). Straight segments
            // through its points keep the chain joined and pass through every point.
            AppendPolyline(first, last);
            return;
        }

        // Both halves share the tangent at the split point, so the joint node is smooth.
        CPointF tHatCenter = (((d[split - 1] - d[split]) + (d[split] - d[split + 1])) * 0.5f).Normalized();
        FitCubic(first, split, tHat1, tHatCenter, depth + 1);
        tHatCenter = -tHatCenter;
        FitCubic(split, last, tHatCenter, tHat2, depth + 1);
    }

    // Cumulative chord lengths, normalised to [0, 1] unless the track has no length to speak of.
    std::vector<float> ChordLengthParameterize(std::size_t first, std::size_t last) const {
        const std::size_t count = last - first + 1;
        std::vector<float> u(count);
        u[0] = 0.0f;
        for (std::size_t i = 1; i < count; ++i)
            u[i] = u[i - 1] + d[first + i].DistanceTo(d[first + i - 1]);
        const float total = u[count - 1];
        if (std::fabs(static_cast<double>(total)) >= 1e-8) {
            for (std::size_t i = 1; i < count; ++i)
                u[i] = u[i] / total;
        }
        return u;
    }

    // Least-squares handle lengths along the given end tangents, capped and with the chord/3 fallback.
    CBezier GenerateBezier(std::size_t first, std::size_t last, const std::vector<float>& u, CPointF tHat1,
                           CPointF tHat2) const {
        float c00 = 0.0f;
        float c01 = 0.0f;
        float c11 = 0.0f;
        float x0 = 0.0f;
        float x1 = 0.0f;
        const CPointF p0 = d[first];
        const CPointF p3 = d[last];
        for (std::size_t i = 0; i < u.size(); ++i) {
            const CPointF a0 = tHat1.ScaledToLength(B1(u[i]));
            const CPointF a1 = tHat2.ScaledToLength(B2(u[i]));
            c00 += a0.Dot(a0);
            c01 += a0.Dot(a1);
            c11 += a1.Dot(a1);
            const CPointF tmp = d[first + i] - (p0 * (B0(u[i]) + B1(u[i])) + p3 * (B2(u[i]) + B3(u[i])));
            x0 += a0.Dot(tmp);
            x1 += a1.Dot(tmp);
        }
        const float c10 = c01;

        float det = c00 * c11 - c10 * c01;
        const float detC0X = c00 * x1 - c01 * x0;
        const float detXC1 = x0 * c11 - x1 * c01;
        if (std::fabs(det) < kFitEpsilon)
            det = c00 * c11 + kFitEpsilon;
        float alphaL = detXC1 * (1.0f / det);
        float alphaR = detC0X * (1.0f / det);

        const float segLength = (p3 - p0).Length();
        const float tangentLength1 = tHat1.Length();
        const float tangentLength2 = tHat2.Length();
        if (tangentLength1 >= kFitEpsilon && tangentLength2 >= kFitEpsilon) {
            // The cap compares magnitudes, so a large negative length becomes the positive maximum.
            const float maxL = kHandleCap * segLength / tangentLength1;
            const float maxR = kHandleCap * segLength / tangentLength2;
            if (std::fabs(alphaL) > maxL)
                alphaL = maxL;
            if (std::fabs(alphaR) > maxR)
                alphaR = maxR;
            if (alphaL >= 0.0f && alphaR >= 0.0f)
                return {p0, p0 + tHat1.ScaledToLength(alphaL), p3 + tHat2.ScaledToLength(alphaR), p3};
        }

        // A handle pointing backwards (or no usable tangent): the heuristic of a third of the chord.
        const float dist = segLength * kOneThird;
        return {p0, p0 + tHat1.ScaledToLength(dist), p3 + tHat2.ScaledToLength(dist), p3};
    }

    // Largest squared distance between a point and the curve at its parameter; split receives the
    // point's index (the later one of equal maxima). Ranges with no inner point report 0.
    float ComputeMaxError(std::size_t first, std::size_t last, const CBezier& bez,
                          const std::vector<float>& u, std::size_t& split) const {
        const CPointF control[4] = {bez.p0, bez.p1, bez.p2, bez.p3};
        // A start in the middle keeps split inside the range even when every distance is NaN.
        split = first + (last - first) / 2;
        float maxError = 0.0f;
        for (std::size_t i = first + 1; i < last; ++i) {
            const CPointF p = EvaluateBezier(control, 3, u[i - first]);
            const float dist = (p - d[i]).SquaredLength();
            if (dist >= maxError) {
                maxError = dist;
                split = i;
            }
        }
        return maxError;
    }

    // One Newton-Raphson step per parameter towards the curve point nearest to its data point.
    std::vector<float> Reparameterize(std::size_t first, std::size_t last, const std::vector<float>& u,
                                      const CBezier& bez) const {
        const CPointF q[4] = {bez.p0, bez.p1, bez.p2, bez.p3};
        CPointF q1[3];
        CPointF q2[2];
        for (int i = 0; i < 3; ++i)
            q1[i] = (q[i + 1] - q[i]) * 3.0f;
        for (int i = 0; i < 2; ++i)
            q2[i] = (q1[i + 1] - q1[i]) * 2.0f;

        std::vector<float> uPrime(u.size());
        for (std::size_t i = first; i <= last; ++i) {
            const float t = u[i - first];
            const CPointF qu = EvaluateBezier(q, 3, t);
            const CPointF q1u = EvaluateBezier(q1, 2, t);
            const CPointF q2u = EvaluateBezier(q2, 1, t);
            const CPointF diff = qu - d[i];
            const float numerator = diff.Dot(q1u);
            const float denominator = q1u.Dot(q1u) + diff.Dot(q2u);
            uPrime[i - first] = std::fabs(denominator) < kFitEpsilon ? t : t - numerator / denominator;
        }
        return uPrime;
    }

    void AppendPolyline(std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i) {
            const CPointF a = d[i];
            const CPointF b = d[i + 1];
            const CPointF third = (b - a) * kOneThird;
            segments.emplace_back(a, a + third, b - third, b);
        }
    }

    const CPointF* d;
    std::size_t n;
    float error;
    std::vector<CBezier> segments;
};

} // namespace

std::vector<CBezier> FitCurve(const CPointF* points, std::size_t count, float error) {
    if (points == nullptr || count < 2)
        return {};
    return CCurveFitter(points, count, error).Run();
}

void FitPointsToNodes(const CPointF* points, std::size_t count, CNodeArray& nodes, float error) {
    const std::vector<CBezier> segments = FitCurve(points, count, error);
    if (segments.empty())
        return;

    // One list of points: p0..p3 of the first segment, then p1..p3 of each following one.
    std::vector<CPointF> list;
    list.reserve(segments.size() * 3 + 1);
    list.push_back(segments.front().p0);
    for (const CBezier& s : segments) {
        list.push_back(s.p1);
        list.push_back(s.p2);
        list.push_back(s.p3);
    }

    nodes.Add(CPathNode(list[0], list[0], list[1]));
    for (std::size_t k = 2; k + 1 < list.size(); k += 3) {
        const CPointF anchor = list[k + 1];
        const CPointF out = k + 2 < list.size() ? list[k + 2] : anchor;
        nodes.Add(CPathNode(list[k], anchor, out));
    }
}

} // namespace pq
