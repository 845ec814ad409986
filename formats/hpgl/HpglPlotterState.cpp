#include "formats/hpgl/HpglPlotterState.h"

#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace pq {

namespace {

// Colours as 0x00BBGGRR. Pens 1 to 7 follow the common plotter carousel (black, red, green, blue, cyan,
// magenta, yellow); later pens continue with further distinct colours.
constexpr std::array<uint32_t, 16> kCarousel = {
    0x000000, 0x0000FF, 0x00A000, 0xFF0000, 0xC0C000, 0xFF00FF, 0x00C0C0, 0x0080FF,
    0x800080, 0x808000, 0x004080, 0x808080, 0x80FF00, 0x8000FF, 0x400000, 0x000080,
};

CPointD Clamped(CPointD p) {
    const double limit = CHpglPlotterState::kLargestCoordinate;
    const auto clamp = [limit](double v) { return v != v ? 0.0 : std::clamp(v, -limit, limit); };
    return {clamp(p.x), clamp(p.y)};
}

} // namespace

CHpglPlotterState::CHpglPlotterState(std::size_t generatedPointBudget) : budget(generatedPointBudget) {
    ResetStyles();
}

uint32_t CHpglPlotterState::DefaultPenColor(int pen) {
    if (pen <= 0)
        return 0xFFFFFF;
    return kCarousel[static_cast<std::size_t>(pen - 1) % kCarousel.size()];
}

void CHpglPlotterState::ResetStyles() {
    for (int i = 0; i < kPenCount; ++i)
        penColors[static_cast<std::size_t>(i)] = DefaultPenColor(i);
    penWidths.fill(0);
    lineStyle = kPenSolid;
    solidFill = true;
    if (polygonMode)
        LeavePolygonMode();
    polygonRuns.clear();
}

void CHpglPlotterState::Move(CPointD target, bool draw) {
    target = Clamped(target);
    if (draw) {
        if (points.size() == runStart)
            points.push_back(position);
        points.push_back(target);
    } else {
        FinishRun();
    }
    position = target;
}

bool CHpglPlotterState::Spend(std::size_t n) {
    if (n > budget) {
        budgetRanOut = true;
        return false;
    }
    budget -= n;
    return true;
}

void CHpglPlotterState::FinishRun() {
    const std::size_t count = points.size() - runStart;
    if (count >= 2) {
        const CRun run{runStart, count, polygonMode};
        if (polygonMode) {
            polygonRuns.push_back(run);
        } else {
            figures.push_back({runs.size(), 1, CurrentStyle(), false});
            runs.push_back(run);
        }
        runStart = points.size();
    } else {
        points.resize(runStart);
    }
}

CHpglStyle CHpglPlotterState::CurrentStyle() const {
    const auto index = static_cast<std::size_t>(pen);
    return {penColors[index], lineStyle, penWidths[index]};
}

void CHpglPlotterState::AddShape(std::span<const CPointD> shape, bool filled) {
    FinishRun();
    if (shape.size() < 2)
        return;
    for (const CPointD& p : shape)
        points.push_back(Clamped(p));
    const CRun run{runStart, shape.size(), true};
    runStart = points.size();
    if (polygonMode) {
        polygonRuns.push_back(run);
        return;
    }
    CHpglStyle style = CurrentStyle();
    const bool solid = filled && solidFill;
    if (solid)
        style.penStyle = kPenNull;
    figures.push_back({runs.size(), 1, style, solid});
    runs.push_back(run);
}

void CHpglPlotterState::EnterPolygonMode() {
    FinishRun();
    polygonRuns.clear();
    polygonMode = true;
}

void CHpglPlotterState::LeavePolygonMode() {
    FinishRun();
    polygonMode = false;
}

void CHpglPlotterState::FillPolygon() {
    AddPolygonFigure(solidFill);
}

void CHpglPlotterState::EdgePolygon() {
    AddPolygonFigure(false);
}

void CHpglPlotterState::AddPolygonFigure(bool filled) {
    // The subpolygon still open is part of what is filled or edged.
    if (polygonMode)
        FinishRun();
    if (polygonRuns.empty())
        return;
    std::size_t total = 0;
    for (const CRun& run : polygonRuns)
        total += run.count;
    // Drawing the same buffer again costs points too, so repeated fills stay within the budget.
    if (!Spend(total))
        return;
    CHpglStyle style = CurrentStyle();
    if (filled)
        style.penStyle = kPenNull;
    figures.push_back({runs.size(), polygonRuns.size(), style, filled});
    runs.insert(runs.end(), polygonRuns.begin(), polygonRuns.end());
}

void CHpglPlotterState::SelectPen(int number) {
    if (number < 0 || number >= kPenCount)
        return;
    FinishRun();
    pen = number;
}

void CHpglPlotterState::SetLineStyle(int32_t penStyle) {
    if (penStyle == lineStyle)
        return;
    FinishRun();
    lineStyle = penStyle;
}

void CHpglPlotterState::SetPenColor(int number, uint32_t color) {
    if (number < 0 || number >= kPenCount)
        return;
    if (number == pen)
        FinishRun();
    penColors[static_cast<std::size_t>(number)] = color;
}

void CHpglPlotterState::SetPenWidth(int number, double millimetres) {
    // Document units are tenths of a millimetre; widths are held within 0 to 100 mm.
    const int32_t width = RoundHalfAway(std::clamp(millimetres, 0.0, 100.0) * 10.0);
    if (number < 0 || number == pen)
        FinishRun();
    if (number < 0)
        penWidths.fill(width);
    else if (number < kPenCount)
        penWidths[static_cast<std::size_t>(number)] = width;
}

int CHpglPlotterState::Build(CDrawing& drawing) {
    FinishRun();
    double left = 0.0, right = 0.0, bottom = 0.0, top = 0.0;
    bool any = false;
    for (const CFigure& figure : figures)
        for (std::size_t r = figure.firstRun; r < figure.firstRun + figure.runCount; ++r)
            for (std::size_t i = runs[r].first; i < runs[r].first + runs[r].count; ++i) {
                const CPointD p = points[i];
                if (!any) {
                    left = right = p.x;
                    bottom = top = p.y;
                    any = true;
                }
                left = std::min(left, p.x);
                right = std::max(right, p.x);
                bottom = std::min(bottom, p.y);
                top = std::max(top, p.y);
            }
    const double cx = (left + right) / 2.0;
    const double cy = (bottom + top) / 2.0;
    // One plotter unit is a quarter of a document unit; plotter y grows upward, document y downward.
    const auto toDocument = [cx, cy](CPointD p) {
        return CPointF{static_cast<float>((p.x - cx) * 0.25), static_cast<float>(-(p.y - cy) * 0.25)};
    };

    for (const CFigure& figure : figures) {
        auto object = std::make_unique<CGraphicObject>(kKindPath);
        CPathShape* path = object->AsPath();
        for (std::size_t r = figure.firstRun; r < figure.firstRun + figure.runCount; ++r) {
            const CRun& run = runs[r];
            const bool reopen = run.close && !(points[run.first] == points[run.first + run.count - 1]);
            CNodeArray& nodes = path->AddSubpath();
            nodes.SetSize(run.count + (reopen ? 1 : 0));
            for (std::size_t i = 0; i < run.count; ++i)
                nodes[i] = CPathNode::FromPoint(toDocument(points[run.first + i]));
            if (reopen)
                nodes[run.count] = nodes[0];
        }
        path->penStyle = figure.style.penStyle;
        path->penWidth = figure.style.penWidth;
        path->penColor = figure.style.color;
        path->brushStyle = figure.filled ? kBrushSolid : kBrushHollow;
        object->color = figure.filled ? figure.style.color : 0;
        object->page = 0;
        object->group = 0;
        object->RecalcBounds();
        drawing.Add(std::move(object));
    }
    const int added = static_cast<int>(figures.size());
    figures.clear();
    runs.clear();
    points.clear();
    runStart = 0;
    return added;
}

} // namespace pq
