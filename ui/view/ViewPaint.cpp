#include "ui/view/PqxView.h"

#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "platform/DeviceContext.h"
#include "platform/WindowHost.h"
#include "render/PageRenderer.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace pq {

namespace {

// Holds a coordinate a little outside the client area: an axis-aligned rectangle clamped this way shows
// the same pixels, and offsetting it by a few pixels can no longer overflow at extreme zoom.
int32_t ClampNear(int32_t v, int32_t low, int32_t high) {
    constexpr int32_t kMargin = 16;
    return std::clamp(v, low - kMargin, high + kMargin);
}

} // namespace

void CPqxView::OnPaint() {
    // The first paint only fits the drawing; the repaint it asks for shows it.
    if (!initialised) {
        const CDrawing* drawing = GetDrawing();
        if (showPage && drawing != nullptr && drawing->Count() == 0 && FitPageRect()) {
            UpdateScrollBars();
            InvalidateAll();
        } else {
            FitDrawing();
        }
        initialised = true;
        return;
    }

    const CRect client = GetClientRect();
    if (client.IsEmpty())
        return;
    // An edit may have moved objects beyond the page: the scroll bars span them.
    UpdateScrollBars();
    // An edit whose step named its objects is drawn again where they were and where they are now.
    std::vector<CRect> edited;
    std::optional<CPageEdit> edit;
    if (pendingEdit && pendingEdit->changeCount == undoRecorder.GetChangeCount()) {
        edited = std::move(pendingEdit->areas);
        for (int index : pendingEdit->objectsAfter)
            AddReach(edited, index);
        edit = CPageEdit{pendingEdit->since, edited};
    }
    pendingEdit.reset();
    // The back buffer lets go of the drawn page's pixels first, so that updating them copies nothing.
    backBuffer.Clear();
    if (!drawnPage.Update(
            DrawnPageKey(client),
            [this, &client](CDeviceContext& dc, const CRect& area) { DrawPageArea(dc, client, area); }, edit))
        return;
    // The back buffer shares the drawn page's pixels until feedback draws on it.
    backBuffer = drawnPage.GetBits();
    if (currentTool != nullptr) {
        CDeviceContext dc(&backBuffer);
        currentTool->PaintFeedback(dc);
    }

    if (window == nullptr)
        return;
    // A front buffer laid out like the back buffer takes its bytes as they are; any other goes through
    // the device context, which converts depths.
    CDibSection& front = window->GetFrontBuffer();
    // Read through a const view: the back buffer may share its pixels with the drawn page.
    const std::span<const uint8_t> shown = std::as_const(backBuffer).GetBits();
    if (front.GetHeader() == backBuffer.GetHeader() && front.GetBits().size() == shown.size()) {
        std::copy(shown.begin(), shown.end(), front.GetBits().begin());
        window->MarkDamaged(client);
        return;
    }
    CClientDC screen(*window);
    screen.BitBlt(0, 0, client.Width(), client.Height(), backBuffer, 0, 0, kRop3SrcCopy);
}

void CPqxView::ForgetDrawnPage() {
    drawnPage.Forget();
    objectExtent.reset();
}

CDrawnPageKey CPqxView::DrawnPageKey(const CRect& client) const {
    CDrawnPageKey key;
    if (const CDrawing* drawing = GetDrawing()) {
        key.drawing = drawing;
        key.objectCount = drawing->Count();
        key.pageCount = drawing->PageCount();
        key.pageWidth = drawing->GetPageWidth();
        key.pageHeight = drawing->GetPageHeight();
    }
    key.changeCount = undoRecorder.GetChangeCount();
    key.page = currentPage;
    key.showPage = showPage;
    key.showGrid = showGrid;
    key.gridSpacing = gridSpacing;
    key.smoothEdges = smoothEdges;
    key.client = client;
    key.scale = mapping.GetScale();
    key.docOrigin = mapping.GetDocOrigin();
    key.deviceOrigin = mapping.GetDeviceOrigin();
    return key;
}

void CPqxView::DrawPageArea(CDeviceContext& dc, const CRect& client, const CRect& area) const {
    dc.FillSolidRect(area, showPage ? kDeskColor : 0xFFFFFF);
    if (showPage && document != nullptr)
        DrawPageFrame(dc);
    DrawGrid(dc, client);
    if (const CDrawing* drawing = GetDrawing())
        DrawPage(*drawing, currentPage, dc, mapping, client, PaintThreads::Automatic,
                 smoothEdges ? EdgeStyle::Smooth : EdgeStyle::Aliased);
}

void CPqxView::DrawPageFrame(CDeviceContext& dc) const {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return;
    const float halfWidth = drawing->GetPageWidth() / 2;
    const float halfHeight = drawing->GetPageHeight() / 2;
    const CRect client = GetClientRect();
    const CRect page{ClampNear(mapping.DocToDeviceX(-halfWidth), client.left, client.right),
                     ClampNear(mapping.DocToDeviceY(-halfHeight), client.top, client.bottom),
                     ClampNear(mapping.DocToDeviceX(halfWidth), client.left, client.right),
                     ClampNear(mapping.DocToDeviceY(halfHeight), client.top, client.bottom)};

    // Two shadow outlines one pixel apart leave a two-pixel grey edge at the lower right; the page itself,
    // drawn last in white with a black border, covers the rest of them. Everything inside a shadow outline
    // lies under the next rectangle, so only the page needs filling.
    const CPen savedPen = dc.SelectPen(CPen{kPenSolid, 1, kShadowColor});
    const CBrush savedBrush = dc.SelectBrush(CBrush{kBrushHollow, 0xFFFFFF});
    dc.Rectangle(page.left + 2, page.top + 2, page.right + 2, page.bottom + 2);
    dc.Rectangle(page.left + 1, page.top + 1, page.right + 1, page.bottom + 1);
    dc.SelectPen(CPen{kPenSolid, 1, 0x000000});
    dc.SelectBrush(CBrush{kBrushSolid, 0xFFFFFF});
    dc.Rectangle(page);
    dc.SelectPen(savedPen);
    dc.SelectBrush(savedBrush);
}

void CPqxView::DrawGrid(CDeviceContext& dc, const CRect& client) const {
    if (!showGrid || gridSpacing * mapping.GetScale() < kMinGridPixels)
        return;
    const int64_t step = std::max<int64_t>(1, RoundHalfAway(gridSpacing));
    // The first multiple of step at or after v (the remainder of a negative v is negative or zero).
    const auto firstMultiple = [step](int64_t v) {
        const int64_t r = v % step;
        return r == 0 ? v : (r > 0 ? v + step - r : v - r);
    };

    const CPen savedPen = dc.SelectPen(CPen{kPenSolid, 0, kGridColor});
    const int savedRop = dc.SetROP2(kR2NotXorPen);
    const int savedBk = dc.SetBkMode(kBkTransparent);

    const int64_t xTo = RoundHalfAway(mapping.DeviceToDocX(static_cast<float>(client.right)));
    for (int64_t x = firstMultiple(RoundHalfAway(mapping.DeviceToDocX(static_cast<float>(client.left))));
         x <= xTo; x += step) {
        const int32_t sx = mapping.DocToDeviceX(static_cast<float>(x));
        dc.MoveTo(sx, client.top);
        dc.LineTo(sx, client.bottom);
    }
    const int64_t yTo = RoundHalfAway(mapping.DeviceToDocY(static_cast<float>(client.bottom)));
    for (int64_t y = firstMultiple(RoundHalfAway(mapping.DeviceToDocY(static_cast<float>(client.top))));
         y <= yTo; y += step) {
        const int32_t sy = mapping.DocToDeviceY(static_cast<float>(y));
        dc.MoveTo(client.left, sy);
        dc.LineTo(client.right, sy);
    }

    dc.SelectPen(savedPen);
    dc.SetROP2(savedRop);
    dc.SetBkMode(savedBk);
}

} // namespace pq
