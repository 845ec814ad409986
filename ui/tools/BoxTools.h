#pragma once

#include "geometry/RectF.h"
#include "ui/tools/Tool.h"

namespace pq {

// The gesture the line, rectangle and ellipse tools share: press, drag a rubber shape, release. Points
// are snapped; the release makes one object from the press point to the release point and repaints.
// A release where the press was makes nothing. The tool stays current afterwards.
class CBoxTool : public CTool {
public:
    using CTool::CTool;

    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    void Deactivate() override;
    // The rubber shape while a drag is in progress (a repaint during the drag keeps showing it).
    void Draw(CDeviceContext& dc) override;
    [[nodiscard]] CursorShape GetCursor() const override { return CursorShape::Cross; }

protected:
    // The rubber shape from startPoint to currentPoint in NOT-XOR on dc, or on the window without one:
    // drawing it twice erases it.
    void DrawRubberShape(CDeviceContext* dc = nullptr) const;
    // The shape itself on a context already set up for feedback.
    virtual void DrawShape(CDeviceContext& dc, CPoint from, CPoint to) const = 0;
    // Makes the object; from and to are the document images of the press and release points.
    virtual void Create(CPointF from, CPointF to) = 0;
};

// A straight two-node open path from the press point to the release point.
class CLineTool : public CBoxTool {
public:
    CLineTool() : CBoxTool(ToolKind::Line) {}

protected:
    void DrawShape(CDeviceContext& dc, CPoint from, CPoint to) const override;
    void Create(CPointF from, CPointF to) override;
};

// A closed five-node rectangle, top-left first and clockwise on screen whichever way it was dragged.
class CRectangleTool : public CBoxTool {
public:
    CRectangleTool() : CBoxTool(ToolKind::Rectangle) {}

protected:
    explicit CRectangleTool(ToolKind kind) : CBoxTool(kind) {}
    void DrawShape(CDeviceContext& dc, CPoint from, CPoint to) const override;
    void Create(CPointF from, CPointF to) override;
};

// The rectangle tool under a kind of its own, reached only by its command.
class CBoxTool14 : public CRectangleTool {
public:
    CBoxTool14() : CRectangleTool(ToolKind::Box14) {}
};

// A closed ellipse of four cubic arcs inscribed in the dragged rectangle, starting at its top.
class CEllipseTool : public CBoxTool {
public:
    CEllipseTool() : CBoxTool(ToolKind::Ellipse) {}

    // The share of each half-axis a cubic arc's handles run for a quarter ellipse, as a share of the
    // full extent: 0.5 * 4 (sqrt 2 - 1) / 3.
    static constexpr float kKappa = 0.2761424f;

protected:
    void DrawShape(CDeviceContext& dc, CPoint from, CPoint to) const override;
    void Create(CPointF from, CPointF to) override;
};

} // namespace pq
