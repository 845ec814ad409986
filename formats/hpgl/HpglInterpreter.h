#pragma once

#include "formats/hpgl/HpglPlotterState.h"
#include "formats/hpgl/HpglPolylineEncoded.h"
#include "formats/hpgl/HpglScaling.h"
#include "formats/hpgl/HpglTokenizer.h"

namespace pq {

// Carries out the instructions of a plotter file on the plotter state: pen moves (PA, PR, PU, PD, PE),
// generated shapes (CI, AA, AR, EA, ER, RA, RR, EW, WG), polygon mode (PM, FP, EP), pens and lines (SP, PC,
// PW, LT, FT) and scaling (IN, DF, IP, SC, RO). Every other instruction, labels among them, is passed over.
class CHpglInterpreter : private CHpglEncodedSink {
public:
    explicit CHpglInterpreter(CHpglPlotterState& plotter) : state(plotter) {}

    void Execute(const CHpglInstruction& instruction);
    // Whether the file holds a label with text: labels are not drawn.
    [[nodiscard]] bool LabelsLeftOut() const { return labelsLeftOut; }

private:
    void Initialize();
    void MovePairs(CHpglParameters& parameters);
    void MoveTo(CPointD user, bool relative);
    void Circle(CHpglParameters& parameters);
    void Arc(CHpglParameters& parameters, bool relative);
    void Rectangle(CHpglParameters& parameters, bool relative, bool filled);
    void Wedge(CHpglParameters& parameters, bool filled);
    void PenColor(CHpglParameters& parameters);
    void PenWidth(CHpglParameters& parameters);
    void LineType(CHpglParameters& parameters);
    void PolygonMode(CHpglParameters& parameters);

    void SelectPen(int pen) override;
    void EncodedMove(double x, double y, bool penUp, bool absolute) override;

    CHpglPlotterState& state;
    CHpglScaling scaling;
    bool relativeMode = false;
    bool penDown = false;
    bool labelsLeftOut = false;
};

} // namespace pq
