#pragma once

#include "platform/DibSection.h"
#include "ui/tools/Tool.h"

namespace pq {

// Moves the view with the stylus. While the stylus is down the drawing is not rendered again: a snapshot
// of the client area taken at the press is shown shifted by the drag on a white ground; the release
// repaints once at the new position.
class CPanTool : public CTool {
public:
    CPanTool() : CTool(ToolKind::Pan) {}

    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    void Reset() override;
    [[nodiscard]] CursorShape GetCursor() const override { return CursorShape::Hand; }

    [[nodiscard]] bool HasSnapshot() const { return !snapshot.IsEmpty(); }

private:
    CDibSection snapshot;
    CDibSection frame; // the shifted snapshot, kept between moves so that a drag allocates once
    CPoint lastPoint;
};

} // namespace pq
