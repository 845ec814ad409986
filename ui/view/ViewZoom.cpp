#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "platform/WindowHost.h"
#include "ui/view/ViewCommands.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pq {

namespace {

CPoint Center(const CRect& r) {
    return {r.left + r.Width() / 2, r.top + r.Height() / 2};
}

// The client rectangle less 2 pixels on every side, normalised (a tiny window gives an inverted one).
CRect FitArea(const CRect& client) {
    const CRect r{client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

} // namespace

void CPqxView::AfterZoom() {
    UpdateScrollBars();
    InvalidateAll();
    SetTool(ToolKind::Pan);
}

void CPqxView::ZoomIn() {
    mapping.ZoomIn(Center(GetClientRect()));
    AfterZoom();
}

void CPqxView::ZoomOut() {
    mapping.ZoomOut(Center(GetClientRect()));
    AfterZoom();
}

void CPqxView::ZoomOneToOne() {
    const float oneToOne = CViewMapping::PixelsPerUnit();
    mapping.ZoomAbout(Center(GetClientRect()), oneToOne / mapping.GetScale());
    // The product of the factor and the old scale may miss the 1:1 scale by a rounding step; the zoom
    // has already fixed the centre point, so setting the scale keeps it fixed.
    mapping.SetScale(oneToOne);
    AfterZoom();
}

bool CPqxView::FitPageRect() {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return false;
    const float width = drawing->GetPageWidth();
    const float height = drawing->GetPageHeight();
    if (!(width > 1.0f && height > 1.0f))
        return false;
    mapping.FitRect(CRectF{-width / 2, width / 2, -height / 2, height / 2}, FitArea(GetClientRect()));
    return true;
}

void CPqxView::FitPage() {
    if (document == nullptr)
        return;
    if (!FitPageRect() && window != nullptr)
        window->PostCommand(cmd::kZoomOneToOne);
    initialised = true;
    AfterZoom();
}

void CPqxView::FitDrawing() {
    const CRect area = FitArea(GetClientRect());
    const CDrawing* drawing = GetDrawing();
    const CRectF box = drawing != nullptr ? drawing->PageBounds(currentPage) : CRectF{};
    if (box.Width() > 1.0f && box.Height() > 1.0f) {
        mapping.FitRect(box, area);
    } else {
        const CPoint center = Center(area);
        mapping.SetOrigins(0.0f, 0.0f, center.x, center.y);
        mapping.SetScale(CViewMapping::PixelsPerUnit());
    }
    initialised = true;
    UpdateScrollBars();
    InvalidateAll();
}

void CPqxView::PopupZoomMenu() {
    if (window == nullptr)
        return;
    std::vector<CMenuItem> items{
        {cmd::kZoomIn, "Zoom In"}, {cmd::kZoomOut, "Zoom Out"}, {cmd::kZoomOneToOne, "Zoom 1:1"}, {0, ""}};
    if (showPage)
        items.push_back({cmd::kFitPage, "Fit Page"});
    items.push_back({cmd::kFitToWindow, "Fit To Window"});
    items.push_back({cmd::kZoomArea, "Zoom Area..."});
    TrackButtonMenu(cmd::kToolZoomMenu, std::move(items));
}

} // namespace pq
