#include "formats/svg/SvgTransform.h"

#include "formats/svg/SvgValues.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace pq {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

float ClampToFloat(double v) {
    if (!std::isfinite(v))
        return 0.0f;
    return static_cast<float>(std::clamp(v, -1e9, 1e9));
}

} // namespace

CSvgMatrix CSvgMatrix::Then(const CSvgMatrix& n) const {
    return {n.a * a + n.c * b, n.b * a + n.d * b,       n.a * c + n.c * d,
            n.b * c + n.d * d, n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
}

CPointF CSvgMatrix::Apply(double x, double y) const {
    return {ClampToFloat(a * x + c * y + e), ClampToFloat(b * x + d * y + f)};
}

double CSvgMatrix::MeanScale() const {
    const double s = std::sqrt(std::fabs(Determinant()));
    return std::isfinite(s) ? s : 1.0;
}

double CSvgMatrix::RotationDegrees() const {
    if ((a == 0.0 && b == 0.0) || !std::isfinite(a) || !std::isfinite(b))
        return 0.0; // no direction to speak of, or one lost to overflow
    return -std::atan2(b, a) / kRadiansPerDegree;
}

CSvgMatrix CSvgMatrix::Rotate(double degrees) {
    const double r = degrees * kRadiansPerDegree;
    const double cs = std::cos(r);
    const double sn = std::sin(r);
    return {cs, sn, -sn, cs, 0, 0};
}

std::optional<CSvgMatrix> ParseTransform(std::string_view s) {
    CSvgMatrix total;
    SkipSpaces(s);
    while (!s.empty()) {
        const std::size_t open = s.find('(');
        if (open == std::string_view::npos)
            return std::nullopt;
        const std::string name = Lower(Trim(s.substr(0, open)));
        const std::size_t close = s.find(')', open);
        if (close == std::string_view::npos)
            return std::nullopt;
        const std::vector<double> v = ParseNumberList(s.substr(open + 1, close - open - 1));
        s.remove_prefix(close + 1);
        SkipSeparators(s);

        CSvgMatrix m;
        const std::size_t n = v.size();
        if (name == "matrix" && n == 6) {
            m = {v[0], v[1], v[2], v[3], v[4], v[5]};
        } else if (name == "translate" && (n == 1 || n == 2)) {
            m = CSvgMatrix::Translate(v[0], n == 2 ? v[1] : 0.0);
        } else if (name == "scale" && (n == 1 || n == 2)) {
            m = CSvgMatrix::Scale(v[0], n == 2 ? v[1] : v[0]);
        } else if (name == "rotate" && (n == 1 || n == 3)) {
            m = CSvgMatrix::Rotate(v[0]);
            if (n == 3)
                m = CSvgMatrix::Translate(-v[1], -v[2]).Then(m).Then(CSvgMatrix::Translate(v[1], v[2]));
        } else if (name == "skewx" && n == 1) {
            m.c = std::tan(v[0] * kRadiansPerDegree);
        } else if (name == "skewy" && n == 1) {
            m.b = std::tan(v[0] * kRadiansPerDegree);
        } else {
            return std::nullopt;
        }
        // A list applies its last function first: total = m applied after the functions to its right.
        total = m.Then(total);
    }
    return total;
}

} // namespace pq
