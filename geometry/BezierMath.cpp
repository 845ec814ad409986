#include "geometry/BezierMath.h"

#include "geometry/Numeric.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace pq {

CPointF BezierPointAt(const CBezier& curve, float t) {
    // The end points are returned as stored: the weighted sum would turn an infinite control point into
    // NaN even where its weight is zero, and callers compare end points for identity.
    if (t == 0.0f)
        return curve.p0;
    if (t == 1.0f)
        return curve.p3;

    // Bernstein weights (1-t)^3, 3t(1-t)^2, 3t^2(1-t), t^3 in a form with fewer multiplications.
    const float t2 = t * t;
    const float b0 = (3.0f - t) * t2 - 3.0f * t + 1.0f;
    const float b1 = 3.0f * ((t - 2.0f) * t2 + t);
    const float b2 = 3.0f * (1.0f - t) * t2;
    const float b3 = t2 * t;
    return {b0 * curve.p0.x + b1 * curve.p1.x + b2 * curve.p2.x + b3 * curve.p3.x,
            b0 * curve.p0.y + b1 * curve.p1.y + b2 * curve.p2.y + b3 * curve.p3.y};
}

float BezierNearestParameter(const CBezier& curve, CPointF p) {
    // A coarse scan finds the basin of the nearest point; each refinement searches one step either side
    // of the best parameter so far with a step ten times finer. Only strict improvements are taken, so
    // of equal distances the smallest parameter wins.
    float best = 0.0f;
    float bestDistance = 1e20f;
    float step = 0.01f;
    for (float t = 0.0f; t <= 1.0f; t += step) {
        const float d = BezierPointAt(curve, t).DistanceTo(p);
        if (d < bestDistance) {
            bestDistance = d;
            best = t;
        }
    }
    for (int pass = 0; pass < 4; ++pass) {
        const float previous = step;
        step = previous * 0.1f;
        const float last = std::fmin(1.0f, best + previous);
        for (float t = std::fmax(0.0f, best - previous); t <= last; t += step) {
            const float d = BezierPointAt(curve, t).DistanceTo(p);
            if (d < bestDistance) {
                bestDistance = d;
                best = t;
            }
        }
    }
    return best;
}

float EffectiveFlatteningTolerance(float chordLength, float requested) {
    // Long segments are flattened more coarsely so that a huge curve does not produce tens of thousands
    // of vertices; a larger requested tolerance is always kept.
    float floor;
    if (chordLength <= 2000.0f)
        return requested;
    if (chordLength <= 5000.0f)
        floor = 3.0f;
    else if (chordLength <= 10000.0f)
        floor = 5.0f;
    else if (chordLength <= 100000.0f)
        floor = 10.0f;
    else
        floor = 100.0f;
    return requested <= floor ? floor : requested;
}

namespace {

struct Piece {
    CPointF q0, q1, q2, q3;
};

// The second halves still to be examined, deepest last. Well-behaved curves need a few dozen levels and
// stay in the fixed part; degenerate input (NaN points, a tolerance of zero or less) can go as deep as
// the piece counter allows, about 10000 levels, and only then spills into the vector.
class PieceStack {
public:
    void Push(const Piece& piece) {
        if (count < fixed.size())
            fixed[count] = piece;
        else
            spill.push_back(piece);
        ++count;
    }
    [[nodiscard]] bool IsEmpty() const { return count == 0; }
    Piece Pop() {
        --count;
        if (count < fixed.size())
            return fixed[count];
        const Piece piece = spill.back();
        spill.pop_back();
        return piece;
    }

private:
    std::array<Piece, 64> fixed;
    std::vector<Piece> spill;
    std::size_t count = 0;
};

// Leg length of the control polygon from double differences, so the test does not lose the small legs
// of large coordinates.
inline double Leg(CPointF a, CPointF b) {
    return std::hypot(static_cast<double>(b.x) - static_cast<double>(a.x),
                      static_cast<double>(b.y) - static_cast<double>(a.y));
}

// Decides Leg(a, b) <= tolerance exactly as the hypotenuse would, but mostly from the squared length:
// the hypotenuse is only taken when the square lies within a relative 1e-9 of the squared tolerance,
// far wider than the rounding of either computation. This saves a third of the flattening time.
class LegTest {
public:
    explicit LegTest(double tolerance) : tolerance(tolerance) {
        // A negative or NaN tolerance admits no leg; both bounds at -1 send every square to "longer".
        if (tolerance >= 0.0) {
            surelyWithin = tolerance * tolerance * (1.0 - 1e-9);
            surelyBeyond = tolerance * tolerance * (1.0 + 1e-9);
        }
    }
    [[nodiscard]] bool Within(CPointF a, CPointF b) const {
        const double dx = static_cast<double>(b.x) - static_cast<double>(a.x);
        const double dy = static_cast<double>(b.y) - static_cast<double>(a.y);
        const double square = dx * dx + dy * dy;
        if (square < surelyWithin)
            return true;
        if (square > surelyBeyond)
            return false;
        return std::hypot(dx, dy) <= tolerance;
    }

private:
    double tolerance;
    double surelyWithin = -1.0;
    double surelyBeyond = -1.0;
};

inline CPointF Mid(CPointF a, CPointF b) {
    return (a + b) * 0.5f;
}

} // namespace

void FlattenBezier(const CBezier& curve, CPointArray& output, bool keepStraightAsCurve, int maxPieces) {
    if (output.IsEmpty())
        output.Add(curve.p0);

    if (!keepStraightAsCurve && Leg(curve.p0, curve.p1) < kGeomEpsilon &&
        Leg(curve.p2, curve.p3) < kGeomEpsilon) {
        output.Add(curve.p3);
        return;
    }

    const LegTest legTest(EffectiveFlatteningTolerance(curve.p0.DistanceTo(curve.p3), curve.tolerance));

    // Depth-first subdivision: the first half of a split is examined completely before the second half,
    // so the vertices come out in curve order. The piece counter is shared by the whole segment.
    PieceStack pending;
    Piece piece{curve.p0, curve.p1, curve.p2, curve.p3};
    int pieces = 0;
    for (;;) {
        ++pieces;
        const bool flat = legTest.Within(piece.q0, piece.q1) && legTest.Within(piece.q1, piece.q2) &&
                          legTest.Within(piece.q2, piece.q3);
        if (flat || pieces > maxPieces) {
            // The control points of a flat piece lie within tolerance of it, so all three are kept.
            output.Add(piece.q1);
            output.Add(piece.q2);
            output.Add(piece.q3);
            if (pending.IsEmpty())
                return;
            piece = pending.Pop();
            continue;
        }
        // de Casteljau split at t = 0.5.
        const CPointF q01 = Mid(piece.q0, piece.q1);
        const CPointF q12 = Mid(piece.q1, piece.q2);
        const CPointF q23 = Mid(piece.q2, piece.q3);
        const CPointF q012 = Mid(q01, q12);
        const CPointF q123 = Mid(q12, q23);
        const CPointF middle = Mid(q012, q123);
        pending.Push({middle, q123, q23, piece.q3});
        piece = {piece.q0, q01, q012, middle};
    }
}

} // namespace pq
