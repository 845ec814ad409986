#include "formats/hpgl/HpglInterpreter.h"

#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace pq {

namespace {

constexpr double kDefaultChordDegrees = 5.0;

// Chord angles below half a degree would make a circle of more than 720 points for no visible gain.
double ChordAngle(double requested) {
    const double chord = std::fabs(requested);
    return chord == 0.0 ? kDefaultChordDegrees : std::clamp(chord, 0.5, 180.0);
}

int ToInt(double v) {
    return static_cast<int>(std::clamp(std::floor(v), -1e6, 1e6));
}

} // namespace

void CHpglInterpreter::Execute(const CHpglInstruction& instruction) {
    CHpglParameters parameters(instruction.parameters);
    const auto is = [&instruction](const char* name) { return instruction.Is(name); };
    if (is("PA") || is("PR")) {
        relativeMode = is("PR");
        MovePairs(parameters);
    } else if (is("PU") || is("PD")) {
        penDown = is("PD");
        if (!penDown)
            state.LiftPen();
        MovePairs(parameters);
    } else if (is("PE")) {
        DecodePolylineEncoded(instruction.parameters, *this);
    } else if (is("CI")) {
        Circle(parameters);
    } else if (is("AA") || is("AR")) {
        Arc(parameters, is("AR"));
    } else if (is("EA") || is("ER") || is("RA") || is("RR")) {
        Rectangle(parameters, is("ER") || is("RR"), is("RA") || is("RR"));
    } else if (is("EW") || is("WG")) {
        Wedge(parameters, is("WG"));
    } else if (is("SP")) {
        double pen = 0.0;
        SelectPen(parameters.Next(pen) ? ToInt(pen) : 0);
    } else if (is("PC")) {
        PenColor(parameters);
    } else if (is("PW")) {
        PenWidth(parameters);
    } else if (is("LT")) {
        LineType(parameters);
    } else if (is("FT")) {
        double type = 1.0;
        state.SetFillType(parameters.Next(type) ? ToInt(type) : 1);
    } else if (is("PM")) {
        PolygonMode(parameters);
    } else if (is("FP")) {
        state.FillPolygon();
    } else if (is("EP")) {
        state.EdgePolygon();
    } else if (is("IN") || is("DF")) {
        Initialize();
    } else if (is("IP")) {
        std::array<double, 4> values{};
        const std::size_t n = parameters.ReadUpTo(values);
        scaling.SetScalingPoints(std::span<const double>(values.data(), n));
    } else if (is("RO")) {
        double degrees = 0.0;
        scaling.SetRotation(parameters.Next(degrees) ? ToInt(degrees) : 0);
    } else if (is("LB")) {
        labelsLeftOut = labelsLeftOut || !instruction.parameters.empty();
    } else if (is("SC")) {
        std::array<double, 7> values{};
        const std::size_t n = parameters.ReadUpTo(values);
        scaling.SetUserWindow(std::span<const double>(values.data(), n));
    }
}

void CHpglInterpreter::Initialize() {
    relativeMode = false;
    penDown = false;
    state.LiftPen();
    scaling.Reset();
    state.ResetStyles();
}

void CHpglInterpreter::MovePairs(CHpglParameters& parameters) {
    double x = 0.0;
    double y = 0.0;
    while (parameters.NextPair(x, y))
        MoveTo({x, y}, relativeMode);
}

void CHpglInterpreter::MoveTo(CPointD user, bool relative) {
    const CPointD target =
        relative ? state.Position() + scaling.DeltaToPlotter(user) : scaling.ToPlotter(user);
    state.Move(target, penDown);
}

void CHpglInterpreter::SelectPen(int pen) {
    state.SelectPen(pen);
}

void CHpglInterpreter::EncodedMove(double x, double y, bool penUp, bool absolute) {
    penDown = !penUp;
    if (penUp)
        state.LiftPen();
    MoveTo({x, y}, !absolute);
}

void CHpglInterpreter::Circle(CHpglParameters& parameters) {
    double radius = 0.0;
    if (!parameters.Next(radius))
        return;
    double requested = 0.0;
    const double chord = ChordAngle(parameters.Next(requested) ? requested : kDefaultChordDegrees);
    const auto n = static_cast<std::size_t>(std::ceil(360.0 / chord));
    if (!state.Spend(n + 1))
        return;
    // The circle starts at angle 0 and runs counter-clockwise; in user units, so unequal scales make
    // it an ellipse as the plotter draws it.
    const CPointD centre = state.Position();
    std::vector<CPointD> points(n + 1);
    for (std::size_t i = 0; i <= n; ++i) {
        const double a = 2.0 * std::numbers::pi * static_cast<double>(i % n) / static_cast<double>(n);
        points[i] = centre + scaling.DeltaToPlotter({radius * std::cos(a), radius * std::sin(a)});
    }
    state.AddShape(points, false);
}

void CHpglInterpreter::Arc(CHpglParameters& parameters, bool relative) {
    std::array<double, 4> values{};
    const std::size_t count = parameters.ReadUpTo(values);
    if (count < 3)
        return;
    const CPointD start = state.Position();
    const CPointD centre = relative ? start + scaling.DeltaToPlotter({values[0], values[1]})
                                    : scaling.ToPlotter({values[0], values[1]});
    const double sweep = std::clamp(values[2], -360.0, 360.0);
    const double chord = ChordAngle(count >= 4 ? values[3] : kDefaultChordDegrees);
    // The radius vector in user units, so that the arc follows the user's circle.
    const CPointD radius = scaling.DeltaToUser(start - centre);
    auto steps = static_cast<std::size_t>(std::max(1.0, std::ceil(std::fabs(sweep) / chord)));
    // A pen-up arc only moves; a drawn one that would exceed the budget becomes its chord.
    if (!penDown || !state.Spend(steps))
        steps = 1;
    for (std::size_t i = 1; i <= steps; ++i) {
        const double a =
            sweep * std::numbers::pi / 180.0 * static_cast<double>(i) / static_cast<double>(steps);
        const double c = std::cos(a);
        const double s = std::sin(a);
        const CPointD user{radius.x * c - radius.y * s, radius.x * s + radius.y * c};
        state.Move(centre + scaling.DeltaToPlotter(user), penDown);
    }
}

void CHpglInterpreter::Rectangle(CHpglParameters& parameters, bool relative, bool filled) {
    // The opposite corner; some drivers send more than one pair, and the last one counts.
    double x = 0.0;
    double y = 0.0;
    bool any = false;
    while (parameters.NextPair(x, y))
        any = true;
    if (!any || !state.Spend(5))
        return;
    const CPointD a = state.Position();
    const CPointD b = relative ? a + scaling.DeltaToPlotter({x, y}) : scaling.ToPlotter({x, y});
    const std::array<CPointD, 5> corners = {a, CPointD{b.x, a.y}, b, CPointD{a.x, b.y}, a};
    state.AddShape(corners, filled);
}

void CHpglInterpreter::Wedge(CHpglParameters& parameters, bool filled) {
    std::array<double, 4> values{};
    const std::size_t count = parameters.ReadUpTo(values);
    if (count < 3)
        return;
    // A wedge of the circle around the pen: radius, start angle and sweep in degrees, counter-clockwise
    // from the x axis; the outline runs from the centre along the arc and back.
    const double radius = values[0];
    const double start = values[1] * std::numbers::pi / 180.0;
    const double sweep = std::clamp(values[2], -360.0, 360.0);
    const double chord = ChordAngle(count >= 4 ? values[3] : kDefaultChordDegrees);
    const auto steps = static_cast<std::size_t>(std::max(1.0, std::ceil(std::fabs(sweep) / chord)));
    if (!state.Spend(steps + 3))
        return;
    const CPointD centre = state.Position();
    std::vector<CPointD> points;
    points.reserve(steps + 3);
    points.push_back(centre);
    for (std::size_t i = 0; i <= steps; ++i) {
        const double a =
            start + sweep * std::numbers::pi / 180.0 * static_cast<double>(i) / static_cast<double>(steps);
        points.push_back(centre + scaling.DeltaToPlotter({radius * std::cos(a), radius * std::sin(a)}));
    }
    points.push_back(centre);
    state.AddShape(points, filled);
}

void CHpglInterpreter::PenColor(CHpglParameters& parameters) {
    std::array<double, 4> values{};
    const std::size_t n = parameters.ReadUpTo(values);
    if (n == 0)
        return;
    const int pen = ToInt(values[0]);
    if (n < 4) {
        state.SetPenColor(pen, CHpglPlotterState::DefaultPenColor(pen));
        return;
    }
    const auto channel = [](double v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
    state.SetPenColor(pen, channel(values[1]) | channel(values[2]) << 8 | channel(values[3]) << 16);
}

void CHpglInterpreter::PenWidth(CHpglParameters& parameters) {
    std::array<double, 2> values{};
    const std::size_t n = parameters.ReadUpTo(values);
    // PW alone restores the default width of 0.35 mm.
    const double width = n >= 1 ? values[0] : 0.35;
    state.SetPenWidth(n >= 2 ? ToInt(values[1]) : -1, width);
}

void CHpglInterpreter::LineType(CHpglParameters& parameters) {
    double type = 0.0;
    if (!parameters.Next(type)) {
        state.SetLineStyle(kPenSolid);
        return;
    }
    // Plotter line types by their look: 0 and 1 dots, 2 and 3 dashes, 4 dash-dot, 5 and 6 dash-dot-dot;
    // negative (adaptive) types look like their positive twins.
    switch (std::abs(ToInt(type))) {
    case 0:
    case 1:
        state.SetLineStyle(kPenDot);
        break;
    case 2:
    case 3:
        state.SetLineStyle(kPenDash);
        break;
    case 4:
        state.SetLineStyle(kPenDashDot);
        break;
    case 5:
    case 6:
        state.SetLineStyle(kPenDashDotDot);
        break;
    default:
        state.SetLineStyle(kPenDash);
        break;
    }
}

void CHpglInterpreter::PolygonMode(CHpglParameters& parameters) {
    double mode = 0.0;
    const int m = parameters.Next(mode) ? ToInt(mode) : 0;
    if (m == 0) {
        state.EnterPolygonMode();
    } else if (m == 1) {
        state.CloseSubpolygon();
    } else if (m == 2) {
        state.LeavePolygonMode();
    }
}

} // namespace pq
