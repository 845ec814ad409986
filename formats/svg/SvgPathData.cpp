#include "formats/svg/SvgPathData.h"

#include "formats/svg/SvgValues.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <numbers>

namespace pq {

namespace {

struct CPt {
    double x = 0.0, y = 0.0;
};

// A node in user units: in control point, anchor, out control point.
struct CUserNode {
    CPt in, anchor, out;
};

// The subpaths under construction and the pen position, in user units.
class CPathBuilder {
public:
    explicit CPathBuilder(const CSvgMatrix& m) : matrix(m) {}

    void MoveTo(CPt p) {
        Flush();
        current.push_back({p, p, p});
        start = p;
        pen = p;
    }
    void LineTo(CPt p) {
        EnsureStarted();
        current.push_back({p, p, p});
        pen = p;
    }
    void CurveTo(CPt c1, CPt c2, CPt p) {
        EnsureStarted();
        current.back().out = c1;
        current.push_back({c2, p, p});
        pen = p;
    }
    void Close() {
        if (current.empty())
            return;
        const CPt last = current.back().anchor;
        if (last.x != start.x || last.y != start.y)
            current.push_back({start, start, start});
        pen = start;
        Flush();
    }
    [[nodiscard]] CPt Pen() const { return pen; }

    std::vector<CNodeArray> Finish() {
        Flush();
        return std::move(result);
    }

private:
    // A drawing command right after a close starts a new subpath at the closed one's start.
    void EnsureStarted() {
        if (current.empty()) {
            current.push_back({pen, pen, pen});
            start = pen;
        }
    }
    void Flush() {
        if (current.empty())
            return;
        CNodeArray nodes;
        for (const CUserNode& n : current)
            nodes.Add(CPathNode(matrix.Apply(n.in.x, n.in.y), matrix.Apply(n.anchor.x, n.anchor.y),
                                matrix.Apply(n.out.x, n.out.y)));
        result.push_back(std::move(nodes));
        current.clear();
    }

    const CSvgMatrix& matrix;
    std::vector<CUserNode> current;
    std::vector<CNodeArray> result;
    CPt start, pen;
};

bool IsCommand(char c) {
    return std::strchr("MmLlHhVvCcSsQqTtAaZz", c) != nullptr && c != '\0';
}

bool ReadFlag(std::string_view& s, bool& flag) {
    SkipSeparators(s);
    if (s.empty() || (s.front() != '0' && s.front() != '1'))
        return false;
    flag = s.front() == '1';
    s.remove_prefix(1);
    return true;
}

// Appends the elliptical arc from the pen to p as cubic segments of at most a quarter turn each.
void ArcTo(CPathBuilder& b, double rx, double ry, double rotation, bool large, bool sweep, CPt p) {
    const CPt p0 = b.Pen();
    if (p0.x == p.x && p0.y == p.y)
        return;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx < 1e-12 || ry < 1e-12) {
        b.LineTo(p);
        return;
    }
    const double phi = rotation * std::numbers::pi / 180.0;
    const double cs = std::cos(phi), sn = std::sin(phi);
    const double dx = (p0.x - p.x) / 2.0, dy = (p0.y - p.y) / 2.0;
    const double x1 = cs * dx + sn * dy, y1 = -sn * dx + cs * dy;
    // Radii too small to reach are scaled up just enough.
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1.0) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double k = den > 0.0 ? std::sqrt(std::max(0.0, num / den)) : 0.0;
    if (large == sweep)
        k = -k;
    const double cxp = k * rx * y1 / ry, cyp = -k * ry * x1 / rx;
    const double cx = cs * cxp - sn * cyp + (p0.x + p.x) / 2.0;
    const double cy = sn * cxp + cs * cyp + (p0.y + p.y) / 2.0;
    const auto angle = [](double ux, double uy, double vx, double vy) {
        return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
    };
    const double theta1 = angle(1.0, 0.0, (x1 - cxp) / rx, (y1 - cyp) / ry);
    double delta = angle((x1 - cxp) / rx, (y1 - cyp) / ry, (-x1 - cxp) / rx, (-y1 - cyp) / ry);
    if (!sweep && delta > 0.0)
        delta -= 2.0 * std::numbers::pi;
    else if (sweep && delta < 0.0)
        delta += 2.0 * std::numbers::pi;
    if (!std::isfinite(delta) || !std::isfinite(cx) || !std::isfinite(cy)) {
        b.LineTo(p);
        return;
    }

    const int pieces =
        std::clamp(static_cast<int>(std::ceil(std::fabs(delta) / (std::numbers::pi / 2.0) - 1e-9)), 1, 4);
    const double step = delta / pieces;
    const double t = 4.0 / 3.0 * std::tan(step / 4.0);
    const auto point = [&](double th) {
        const double ex = rx * std::cos(th), ey = ry * std::sin(th);
        return CPt{cs * ex - sn * ey + cx, sn * ex + cs * ey + cy};
    };
    const auto derivative = [&](double th) {
        const double ex = -rx * std::sin(th), ey = ry * std::cos(th);
        return CPt{cs * ex - sn * ey, sn * ex + cs * ey};
    };
    double th = theta1;
    for (int i = 0; i < pieces; ++i) {
        const double th2 = th + step;
        const CPt a = point(th), d1 = derivative(th), d2 = derivative(th2);
        const CPt e = i == pieces - 1 ? p : point(th2);
        b.CurveTo({a.x + t * d1.x, a.y + t * d1.y}, {e.x - t * d2.x, e.y - t * d2.y}, e);
        th = th2;
    }
}

} // namespace

std::vector<CNodeArray> ParsePathData(std::string_view s, const CSvgMatrix& matrix) {
    CPathBuilder b(matrix);
    char command = 0;
    CPt lastControl;   // the second control point of the previous cubic, or the quadratic's control
    char lastKind = 0; // 'C' or 'Q' when the previous segment was such a curve
    SkipSpaces(s);
    while (!s.empty()) {
        if (IsCommand(s.front())) {
            command = s.front();
            s.remove_prefix(1);
        } else if (command == 0 || command == 'Z' || command == 'z') {
            break; // numbers without a command, or after a close: an error
        }
        const bool relative = std::islower(static_cast<unsigned char>(command)) != 0;
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(command)));
        const CPt pen = b.Pen();
        const auto rel = [&](double x, double y) { return relative ? CPt{pen.x + x, pen.y + y} : CPt{x, y}; };

        std::vector<double> v;
        const int needed = upper == 'M' || upper == 'L' || upper == 'T' ? 2
                           : upper == 'H' || upper == 'V'               ? 1
                           : upper == 'C'                               ? 6
                           : upper == 'S' || upper == 'Q'               ? 4
                           : upper == 'A'                               ? 7
                                                                        : 0;
        bool large = false, sweep = false;
        for (int i = 0; i < needed; ++i) {
            SkipSeparators(s);
            if (upper == 'A' && (i == 3 || i == 4)) {
                bool& flag = i == 3 ? large : sweep;
                if (!ReadFlag(s, flag))
                    return b.Finish();
                v.push_back(flag ? 1.0 : 0.0);
                continue;
            }
            const std::optional<double> n = ReadNumber(s);
            if (!n)
                return b.Finish();
            v.push_back(*n);
        }

        char kind = 0;
        switch (upper) {
        case 'M':
            b.MoveTo(rel(v[0], v[1]));
            // Further pairs after a move are lines.
            command = relative ? 'l' : 'L';
            break;
        case 'L':
            b.LineTo(rel(v[0], v[1]));
            break;
        case 'H':
            b.LineTo({relative ? pen.x + v[0] : v[0], pen.y});
            break;
        case 'V':
            b.LineTo({pen.x, relative ? pen.y + v[0] : v[0]});
            break;
        case 'C': {
            const CPt c2 = rel(v[2], v[3]);
            b.CurveTo(rel(v[0], v[1]), c2, rel(v[4], v[5]));
            lastControl = c2;
            kind = 'C';
            break;
        }
        case 'S': {
            const CPt c1 = lastKind == 'C' ? CPt{2 * pen.x - lastControl.x, 2 * pen.y - lastControl.y} : pen;
            const CPt c2 = rel(v[0], v[1]);
            b.CurveTo(c1, c2, rel(v[2], v[3]));
            lastControl = c2;
            kind = 'C';
            break;
        }
        case 'Q':
        case 'T': {
            const CPt q = upper == 'Q'      ? rel(v[0], v[1])
                          : lastKind == 'Q' ? CPt{2 * pen.x - lastControl.x, 2 * pen.y - lastControl.y}
                                            : pen;
            const CPt p = upper == 'Q' ? rel(v[2], v[3]) : rel(v[0], v[1]);
            b.CurveTo({pen.x + 2.0 / 3.0 * (q.x - pen.x), pen.y + 2.0 / 3.0 * (q.y - pen.y)},
                      {p.x + 2.0 / 3.0 * (q.x - p.x), p.y + 2.0 / 3.0 * (q.y - p.y)}, p);
            lastControl = q;
            kind = 'Q';
            break;
        }
        case 'A':
            ArcTo(b, v[0], v[1], v[2], large, sweep, rel(v[5], v[6]));
            break;
        case 'Z':
            b.Close();
            break;
        default:
            return b.Finish();
        }
        lastKind = kind;
        SkipSeparators(s);
    }
    return b.Finish();
}

CNodeArray EllipseNodes(double cx, double cy, double rx, double ry, const CSvgMatrix& matrix) {
    // The usual four-arc approximation; the handle length is 0.5523 of the radius.
    constexpr double k = 0.55228474983;
    CPathBuilder b(matrix);
    b.MoveTo({cx + rx, cy});
    b.CurveTo({cx + rx, cy + k * ry}, {cx + k * rx, cy + ry}, {cx, cy + ry});
    b.CurveTo({cx - k * rx, cy + ry}, {cx - rx, cy + k * ry}, {cx - rx, cy});
    b.CurveTo({cx - rx, cy - k * ry}, {cx - k * rx, cy - ry}, {cx, cy - ry});
    b.CurveTo({cx + k * rx, cy - ry}, {cx + rx, cy - k * ry}, {cx + rx, cy});
    b.Close();
    std::vector<CNodeArray> out = b.Finish();
    return out.empty() ? CNodeArray() : std::move(out.front());
}

CNodeArray RectNodes(double x, double y, double w, double h, double rx, double ry, const CSvgMatrix& matrix) {
    constexpr double k = 0.55228474983;
    CPathBuilder b(matrix);
    if (rx <= 0.0 || ry <= 0.0) {
        b.MoveTo({x, y});
        b.LineTo({x + w, y});
        b.LineTo({x + w, y + h});
        b.LineTo({x, y + h});
        b.Close();
    } else {
        const double r = x + w, bt = y + h;
        b.MoveTo({x + rx, y});
        b.LineTo({r - rx, y});
        b.CurveTo({r - rx + k * rx, y}, {r, y + ry - k * ry}, {r, y + ry});
        b.LineTo({r, bt - ry});
        b.CurveTo({r, bt - ry + k * ry}, {r - rx + k * rx, bt}, {r - rx, bt});
        b.LineTo({x + rx, bt});
        b.CurveTo({x + rx - k * rx, bt}, {x, bt - ry + k * ry}, {x, bt - ry});
        b.LineTo({x, y + ry});
        b.CurveTo({x, y + ry - k * ry}, {x + rx - k * rx, y}, {x + rx, y});
        b.Close();
    }
    std::vector<CNodeArray> out = b.Finish();
    return out.empty() ? CNodeArray() : std::move(out.front());
}

} // namespace pq
