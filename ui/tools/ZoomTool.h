#pragma once

#include "ui/tools/Tool.h"

namespace pq {

// Zooms into a dragged area, or by 2 about a tapped point; a double-click zooms out about its point.
class CZoomTool : public CTool {
public:
    // A dragged rectangle must be wider and higher than this many pixels to count as an area.
    static constexpr int kMinAreaPixels = 10;

    CZoomTool() : CTool(ToolKind::Zoom) {}

    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    void OnLButtonDblClk(unsigned flags, CPoint point) override;
    [[nodiscard]] CursorShape GetCursor() const override { return CursorShape::Cross; }
};

} // namespace pq
