#include "formats/dxf/DxfReader.h"

#include "formats/dxf/DxfSpline.h"

#include <cmath>
#include <numbers>

namespace pq {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Walks the pairs of a HATCH in order. Each read looks forward for its code, so a missing optional
// pair costs nothing; the walk never goes back, so reading is linear however the counts lie.
class CHatchCursor {
public:
    explicit CHatchCursor(std::span<const CDxfTag> pairs) : tags(pairs) {}

    [[nodiscard]] bool AtEnd() const { return at >= tags.size(); }
    // The next value of the code before any of the stop codes, moving past it; nullopt (not moving)
    // when a stop code or the end comes first.
    std::optional<std::string_view> Next(int code, std::initializer_list<int> stops = {}) {
        for (std::size_t i = at; i < tags.size(); ++i) {
            if (tags[i].code == code) {
                at = i + 1;
                return tags[i].Value();
            }
            for (int stop : stops)
                if (tags[i].code == stop)
                    return std::nullopt;
        }
        return std::nullopt;
    }
    double Real(int code, double fallback, std::initializer_list<int> stops = {}) {
        const std::optional<std::string_view> value = Next(code, stops);
        return value ? ParseDxfReal(*value).value_or(fallback) : fallback;
    }
    int Int(int code, int fallback, std::initializer_list<int> stops = {}) {
        const std::optional<std::string_view> value = Next(code, stops);
        return value ? ParseDxfInt(*value).value_or(fallback) : fallback;
    }
    // Pairs left: no count read from the file can ask for more items than this.
    [[nodiscard]] std::size_t Left() const { return AtEnd() ? 0 : tags.size() - at; }

private:
    std::span<const CDxfTag> tags;
    std::size_t at = 0;
};

std::size_t Bounded(int count, const CHatchCursor& cursor) {
    return count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), cursor.Left());
}

void ReadPolylineBoundary(CHatchCursor& cursor, CDxfPathBuilder& builder) {
    const bool bulges = cursor.Int(72, 0, {10, 92}) != 0;
    cursor.Int(73, 0, {10, 92});
    const std::size_t count = Bounded(cursor.Int(93, 0, {10, 92}), cursor);
    CPointD first;
    CPointD previous;
    double bulge = 0.0;
    for (std::size_t i = 0; i < count && !cursor.AtEnd(); ++i) {
        // A vertex that is not there ends the boundary: a count may promise more than the file holds.
        const std::optional<std::string_view> x = cursor.Next(10, {92});
        if (!x)
            break;
        const CPointD p{ParseDxfReal(*x).value_or(0.0), cursor.Real(20, 0.0, {10, 92})};
        if (i == 0) {
            builder.MoveTo(p);
            first = p;
        } else {
            builder.BulgeTo(previous, p, bulge);
        }
        bulge = bulges ? cursor.Real(42, 0.0, {10, 92, 97}) : 0.0;
        previous = p;
    }
    if (count >= 2 && (previous.x != first.x || previous.y != first.y))
        builder.BulgeTo(previous, first, bulge);
}

// Reads one edge; false when there is none left in this boundary.
bool ReadEdge(CHatchCursor& cursor, CDxfPathBuilder& builder) {
    const std::optional<std::string_view> typeValue = cursor.Next(72, {92});
    if (!typeValue)
        return false;
    const int type = ParseDxfInt(*typeValue).value_or(0);
    switch (type) {
    case 1: {
        const CPointD from{cursor.Real(10, 0.0, {72, 92}), cursor.Real(20, 0.0, {72, 92})};
        const CPointD to{cursor.Real(11, 0.0, {72, 92}), cursor.Real(21, 0.0, {72, 92})};
        builder.StartAt(from);
        builder.LineTo(to);
        break;
    }
    case 2:
    case 3: {
        const CPointD centre{cursor.Real(10, 0.0, {72, 92}), cursor.Real(20, 0.0, {72, 92})};
        CPointD major{1.0, 0.0};
        double ratio = 1.0;
        if (type == 3)
            major = {cursor.Real(11, 1.0, {72, 92}), cursor.Real(21, 0.0, {72, 92})};
        const double radiusOrRatio = cursor.Real(40, 1.0, {72, 92});
        if (type == 2)
            major = {radiusOrRatio, 0.0};
        else
            ratio = radiusOrRatio;
        const double start = cursor.Real(50, 0.0, {72, 92}) * kRadiansPerDegree;
        const double end = cursor.Real(51, 360.0, {72, 92}) * kRadiansPerDegree;
        const bool counterClockwise = cursor.Int(73, 1, {72, 92}) != 0;
        double sweep = std::fmod(end - start, kTwoPi);
        if (sweep <= 0.0)
            sweep += kTwoPi;
        const CPointD minor{-major.y * ratio, major.x * ratio};
        // A clockwise edge stores its angles mirrored: it runs from -start by the same sweep clockwise.
        if (counterClockwise)
            builder.ArcTo(centre, major, minor, start, start + sweep);
        else
            builder.ArcTo(centre, major, minor, -start, -start - sweep);
        break;
    }
    case 4: {
        CDxfSplineData spline;
        spline.degree = cursor.Int(94, 3, {72, 92});
        const bool rational = cursor.Int(73, 0, {72, 92}) != 0;
        cursor.Int(74, 0, {72, 92});
        const std::size_t knots = Bounded(cursor.Int(95, 0, {72, 92}), cursor);
        const std::size_t points = Bounded(cursor.Int(96, 0, {72, 92}), cursor);
        for (std::size_t i = 0; i < knots; ++i) {
            const std::optional<std::string_view> knot = cursor.Next(40, {10, 72, 92});
            if (!knot)
                break;
            spline.knots.push_back(ParseDxfReal(*knot).value_or(0.0));
        }
        for (std::size_t i = 0; i < points; ++i) {
            const std::optional<std::string_view> x = cursor.Next(10, {72, 92, 97});
            if (!x)
                break;
            spline.controlPoints.push_back(
                {ParseDxfReal(*x).value_or(0.0), cursor.Real(20, 0.0, {10, 72, 92})});
            if (rational)
                spline.weights.push_back(cursor.Real(42, 1.0, {10, 72, 92, 97}));
        }
        AppendSpline(spline, builder);
        break;
    }
    default:
        break;
    }
    return true;
}

} // namespace

void CDxfReader::ReadHatch(const CDxfEntity& entity, const CDxfPlacement& placement) {
    CHatchCursor cursor(entity.tags);
    const std::size_t paths = Bounded(cursor.Int(91, 0), cursor);
    const CDxfMapper mapper = Mapper(EntityTransform(entity, placement));
    CDxfPathBuilder builder(mapper);
    for (std::size_t path = 0; path < paths && !cursor.AtEnd(); ++path) {
        const std::optional<std::string_view> flagsValue = cursor.Next(92);
        if (!flagsValue)
            break;
        const int flags = ParseDxfInt(*flagsValue).value_or(0);
        if ((flags & 2) != 0) {
            ReadPolylineBoundary(cursor, builder);
        } else {
            const std::size_t edges = Bounded(cursor.Int(93, 0, {72, 92}), cursor);
            for (std::size_t edge = 0; edge < edges && ReadEdge(cursor, builder); ++edge) {
            }
        }
        builder.Close();
        builder.EndSubpath();
    }
    AddPath(builder.Subpaths(), entity, placement, true);
}

} // namespace pq
