#include "formats/dxf/DxfReader.h"

#include "formats/dxf/DxfSpline.h"

#include <cmath>
#include <numbers>

namespace pq {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// An arc whose span differs from a full turn by less than this is drawn as a whole ellipse.
constexpr double kFullTurnTolerance = 0.001;

// The sweep from start to end counter-clockwise, in (0, 2 pi]: equal angles mean a full turn.
double Sweep(double start, double end) {
    double sweep = std::fmod(end - start, kTwoPi);
    if (sweep <= 0.0)
        sweep += kTwoPi;
    return sweep;
}

// Makes the last anchor of a whole ellipse exactly its first, so the outline counts as closed.
void CloseExactly(CDxfPathBuilder& builder) {
    CNodeArray& nodes = builder.Subpaths().back();
    nodes.Last().anchor = nodes[0].anchor;
    nodes.Last().out = nodes[0].anchor;
}

} // namespace

void CDxfReader::ReadCircle(const CDxfEntity& entity, const CDxfPlacement& placement, bool arc) {
    const std::optional<double> x = entity.Real(10);
    const std::optional<double> y = entity.Real(20);
    const std::optional<double> radius = entity.Real(40);
    if (!x || !y || !radius || !(*radius > 0.0))
        return;
    double start = 0.0;
    double sweep = kTwoPi;
    if (arc) {
        const std::optional<double> from = entity.Real(50);
        const std::optional<double> to = entity.Real(51);
        if (!from || !to)
            return;
        start = std::fmod(*from, 360.0) * kRadiansPerDegree;
        sweep = Sweep(start, std::fmod(*to, 360.0) * kRadiansPerDegree);
    }
    const bool whole = std::fabs(sweep - kTwoPi) < kFullTurnTolerance;
    const CDxfMapper mapper = Mapper(EntityTransform(entity, placement));
    CDxfPathBuilder builder(mapper);
    builder.ArcTo({*x, *y}, {*radius, 0.0}, {0.0, *radius}, whole ? 0.0 : start,
                  whole ? kTwoPi : start + sweep);
    if (whole)
        CloseExactly(builder);
    AddPath(builder.Subpaths(), entity, placement, false);
}

void CDxfReader::ReadEllipse(const CDxfEntity& entity, const CDxfPlacement& placement) {
    const std::optional<double> cx = entity.Real(10);
    const std::optional<double> cy = entity.Real(20);
    const std::optional<double> ax = entity.Real(11);
    const std::optional<double> ay = entity.Real(21);
    if (!cx || !cy || !ax || !ay || std::hypot(*ax, *ay) <= 0.0)
        return;
    const double ratio = entity.RealOr(40, 1.0);
    // The minor axis is the extrusion direction crossed with the major axis, times the ratio, seen from
    // above.
    double nx = entity.RealOr(210, 0.0);
    double ny = entity.RealOr(220, 0.0);
    double nz = entity.RealOr(230, 1.0);
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 1e-12) || !std::isfinite(length)) {
        nx = 0.0;
        ny = 0.0;
        nz = 1.0;
    } else {
        nx /= length;
        ny /= length;
        nz /= length;
    }
    const double az = entity.RealOr(31, 0.0);
    const CPointD major{*ax, *ay};
    const CPointD minor{(ny * az - nz * *ay) * ratio, (nz * *ax - nx * az) * ratio};
    const double start = entity.RealOr(41, 0.0);
    const double end = entity.RealOr(42, kTwoPi);
    const double sweep = Sweep(start, end);
    const bool whole = std::fabs(sweep - kTwoPi) < kFullTurnTolerance;
    const CDxfMapper mapper = Mapper(placement.transform);
    CDxfPathBuilder builder(mapper);
    builder.ArcTo({*cx, *cy}, major, minor, whole ? 0.0 : start, whole ? kTwoPi : start + sweep);
    if (whole)
        CloseExactly(builder);
    AddPath(builder.Subpaths(), entity, placement, false);
}

void CDxfReader::ReadSpline(const CDxfEntity& entity, const CDxfPlacement& placement) {
    CDxfSplineData spline;
    spline.degree = entity.Int(71).value_or(3);
    // A point is its group 10 (11) and the group 20 (21) after it.
    double controlX = 0.0;
    double fitX = 0.0;
    bool controlOpen = false;
    bool fitOpen = false;
    for (const CDxfTag& tag : entity.tags) {
        switch (tag.code) {
        case 40:
            spline.knots.push_back(ParseDxfReal(tag.Value()).value_or(0.0));
            break;
        case 41:
            spline.weights.push_back(ParseDxfReal(tag.Value()).value_or(1.0));
            break;
        case 10:
            controlX = ParseDxfReal(tag.Value()).value_or(0.0);
            controlOpen = true;
            break;
        case 20:
            if (controlOpen)
                spline.controlPoints.push_back({controlX, ParseDxfReal(tag.Value()).value_or(0.0)});
            controlOpen = false;
            break;
        case 11:
            fitX = ParseDxfReal(tag.Value()).value_or(0.0);
            fitOpen = true;
            break;
        case 21:
            if (fitOpen)
                spline.fitPoints.push_back({fitX, ParseDxfReal(tag.Value()).value_or(0.0)});
            fitOpen = false;
            break;
        default:
            break;
        }
    }
    const CDxfMapper mapper = Mapper(placement.transform);
    CDxfPathBuilder builder(mapper);
    if (!AppendSpline(spline, builder))
        return;
    AddPath(builder.Subpaths(), entity, placement, false);
}

} // namespace pq
