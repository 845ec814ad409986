#pragma once

#include "geometry/PathNode.h"
#include "ui/tools/Tool.h"

namespace pq {

// Draws a freehand stroke: the stylus track is shown as it is drawn and, at the release, fitted with
// cubic segments into one smooth path (closed back to its start when new objects are filled). Points
// are not snapped. A stroke of fewer than 3 recorded points makes nothing.
class CFreehandTool : public CTool {
public:
    CFreehandTool() : CTool(ToolKind::Freehand) {}

    // Points this close to the stroke's first point (pixels) are not recorded: a trembling press
    // makes no stroke.
    static constexpr double kMinDistanceFromStart = 3.0;
    // The fitted curve keeps within this many pixels of the track.
    static constexpr float kFitError = 10.0f;

    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    // A stroke cut short makes nothing; its track is painted over.
    void Deactivate() override;
    void Reset() override;
    void Draw(CDeviceContext& dc) override;
    [[nodiscard]] CursorShape GetCursor() const override { return CursorShape::Cross; }

    [[nodiscard]] const CPointArray& GetPoints() const { return points; }

private:
    // The track from point index - 1 to point index, in NOT-XOR.
    void DrawTrackPiece(CDeviceContext& dc, std::size_t index) const;
    // Fits the recorded points and makes the path; returns the new object's index or -1.
    int CreateStroke();

    CPointF firstPoint;
    CPointArray points; // client pixels
};

} // namespace pq
