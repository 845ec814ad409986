#pragma once

#include "geometry/PointF.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pq {

class CDrawing;

// The look of what one pen draws.
struct CHpglStyle {
    uint32_t color = 0;
    int32_t penStyle = 0;
    int32_t penWidth = 0;
};

// What the pen has drawn so far: strokes (pen-down runs), outlines of circles and rectangles, and
// polygons filled or edged from the polygon buffer, in plotter units (0.025 mm, y upward). At the end
// of the file each figure becomes one path object of the drawing.
//
// Shapes the file asks the plotter to generate (circles, arcs, rectangles, polygon fills) draw from a
// budget of points proportional to the file's size, so that a few bytes repeated cannot make the
// drawing grow without bound; what exceeds the budget is left out.
class CHpglPlotterState {
public:
    static constexpr int kPenCount = 256;
    // Coordinates are held within the plotter's own range, +-2^30 units.
    static constexpr double kLargestCoordinate = 1073741824.0;

    explicit CHpglPlotterState(std::size_t generatedPointBudget);

    // Moves the pen to target; with draw the segment from the current position is part of the running
    // stroke, without it the running stroke ends.
    void Move(CPointD target, bool draw);
    // Ends the running stroke (the pen is lifted); the next drawn move starts at the current position.
    void LiftPen() { FinishRun(); }
    [[nodiscard]] CPointD Position() const { return position; }

    // Takes n points from the budget of generated points; false (nothing taken) when it is spent.
    bool Spend(std::size_t n);
    // Whether a shape was left out because the budget was spent.
    [[nodiscard]] bool BudgetRanOut() const { return budgetRanOut; }
    // A closed shape apart from the running stroke (which ends), drawn with the current pen: an outline,
    // or a filled area when filled is set and the fill type is solid. In polygon mode it becomes a
    // subpolygon instead. The current position does not change.
    void AddShape(std::span<const CPointD> points, bool filled);

    // Polygon mode: strokes go to the polygon buffer until it is left; FillPolygon and EdgePolygon draw
    // the buffer's subpolygons, closed, as one figure.
    void EnterPolygonMode();
    void CloseSubpolygon() { FinishRun(); }
    void LeavePolygonMode();
    void FillPolygon();
    void EdgePolygon();
    [[nodiscard]] bool InPolygonMode() const { return polygonMode; }

    // Pens: numbers outside 0..255 are ignored. Pen 1 is black, pen 0 white, the others distinct
    // colours until a palette entry says otherwise.
    void SelectPen(int pen);
    [[nodiscard]] int SelectedPen() const { return pen; }
    void SetPenColor(int pen, uint32_t color);
    // Width in millimetres for one pen, or for all when pen is negative.
    void SetPenWidth(int pen, double millimetres);
    // A change of look ends the running stroke, so what was drawn keeps the look it was drawn with.
    void SetLineStyle(int32_t penStyle);
    // Fill types 3 and 4 (hatching) draw filled shapes as outlines; the others fill solid.
    void SetFillType(int type) { solidFill = type != 3 && type != 4; }
    // The defaults of IN and DF: solid lines, default widths and colours, solid fill, polygon mode off.
    void ResetStyles();

    // Ends the running stroke and adds one path object per figure to the drawing, all moved so that the
    // centre of their common bounds lies at the origin. Returns the number of objects added.
    int Build(CDrawing& drawing);

    [[nodiscard]] static uint32_t DefaultPenColor(int pen);

private:
    struct CRun {
        std::size_t first = 0;
        std::size_t count = 0;
        bool close = false;
    };
    struct CFigure {
        std::size_t firstRun = 0;
        std::size_t runCount = 0;
        CHpglStyle style;
        bool filled = false;
    };

    void FinishRun();
    void AddPolygonFigure(bool filled);
    [[nodiscard]] CHpglStyle CurrentStyle() const;

    std::vector<CPointD> points;
    std::vector<CRun> runs;
    std::vector<CFigure> figures;
    std::vector<CRun> polygonRuns;
    std::size_t runStart = 0;
    CPointD position;
    bool polygonMode = false;

    std::size_t budget;
    bool budgetRanOut = false;
    int pen = 1;
    int32_t lineStyle = 0;
    bool solidFill = true;
    std::array<uint32_t, kPenCount> penColors{};
    std::array<int32_t, kPenCount> penWidths{};
};

} // namespace pq
