#include "ui/view/PqxView.h"

#include "model/Drawing.h"
#include "platform/WindowHost.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pq {

namespace {

std::size_t AxisIndex(ScrollBarAxis axis) {
    return axis == ScrollBarAxis::Horizontal ? 0 : 1;
}

// Device origins stay this far inside int: a pan that would pass it re-anchors the mapping instead.
constexpr int64_t kMaxDeviceOrigin = int64_t{1} << 30;

} // namespace

double CPqxView::ViewStart(ScrollBarAxis axis) const {
    // device = (doc - docOrigin) * scale + deviceOrigin, so doc * scale at a client pixel is that pixel
    // plus docOrigin * scale - deviceOrigin; in double it is exact, and an integer pan moves it exactly.
    const CRect client = GetClientRect();
    const double scale = mapping.GetScale();
    if (axis == ScrollBarAxis::Horizontal)
        return static_cast<double>(mapping.GetDocOrigin().x) * scale - mapping.GetDeviceOrigin().x +
               client.left;
    return static_cast<double>(mapping.GetDocOrigin().y) * scale - mapping.GetDeviceOrigin().y + client.top;
}

CRectF CPqxView::GetScrollExtent() const {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return CRectF::Empty();
    const float width = drawing->GetPageWidth();
    const float height = drawing->GetPageHeight();
    const float margin = std::max(width, height) * kPageMarginFraction;
    CRectF extent{-width / 2 - margin, width / 2 + margin, -height / 2 - margin, height / 2 + margin};
    // Objects beyond the page are reachable too (an empty page gives an all-zero box inside the page).
    const CRectF objects = CurrentPageObjectBounds();
    if (!objects.IsEmpty())
        extent.Include(objects);
    return extent;
}

CRectF CPqxView::CurrentPageObjectBounds() const {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr)
        return CRectF{};
    const uint64_t changes = undoRecorder.GetChangeCount();
    if (!objectExtent || objectExtent->drawing != drawing || objectExtent->changeCount != changes ||
        objectExtent->objectCount != drawing->Count() || objectExtent->page != currentPage)
        objectExtent =
            CObjectExtent{drawing, changes, drawing->Count(), currentPage, drawing->PageBounds(currentPage)};
    return objectExtent->bounds;
}

CScrollBarLayout CPqxView::GetScrollBarLayout(ScrollBarAxis axis) const {
    const CRect client = GetClientRect();
    const CRectF extent = GetScrollExtent();
    const double scale = mapping.GetScale();
    const bool horizontal = axis == ScrollBarAxis::Horizontal;
    CScrollAxis line;
    line.viewStart = ViewStart(axis);
    line.viewLength = horizontal ? client.Width() : client.Height();
    if (extent.IsEmpty()) {
        line.contentStart = line.viewStart;
        line.contentEnd = line.viewStart;
    } else {
        line.contentStart = static_cast<double>(horizontal ? extent.left : extent.top) * scale;
        line.contentEnd = static_cast<double>(horizontal ? extent.right : extent.bottom) * scale;
    }
    return LayOutScrollBar(line);
}

void CPqxView::UpdateScrollBars() {
    if (window == nullptr)
        return;
    for (ScrollBarAxis axis : {ScrollBarAxis::Horizontal, ScrollBarAxis::Vertical}) {
        const std::size_t index = AxisIndex(axis);
        // A bar whose thumb is being dragged keeps the layout it had when the drag began, so the thumb
        // stays under the pointer; it is laid out again at the drop, or at once if the view zoomed
        // meanwhile (the old layout's pixels no longer fit the view).
        if (thumbDragging[index] && mapping.GetScale() == thumbDragScale)
            continue;
        thumbDragging[index] = false;
        shownScrollBars[index] = GetScrollBarLayout(axis);
        window->SetScrollInfo(axis, scrollBarsShown ? shownScrollBars[index].info : CScrollBarInfo{});
    }
    window->MappingChanged();
}

void CPqxView::ApplyScrollBarRanges() {
    // Only the Scrollbars command shows or hides the bars: opening a document inverts the flag for a
    // moment before the command inverts it back, and the bars must not flash meanwhile.
    scrollBarsShown = showScrollBars;
    thumbDragging = {false, false};
    UpdateScrollBars();
}

void CPqxView::PanBy(int64_t dx, int64_t dy) {
    const CPoint origin = mapping.GetDeviceOrigin();
    const int64_t x = origin.x + dx;
    const int64_t y = origin.y + dy;
    if (std::llabs(x) < kMaxDeviceOrigin && std::llabs(y) < kMaxDeviceOrigin) {
        mapping.SetOrigins(mapping.GetDocOrigin().x, mapping.GetDocOrigin().y, static_cast<int32_t>(x),
                           static_cast<int32_t>(y));
        return;
    }
    // Far out at a high zoom: anchor the mapping near the client's top-left pixel after the move. The
    // document point there rarely is a float; the device origin takes up the difference, so the view
    // lands within half a pixel.
    const double scale = mapping.GetScale();
    const double docX = mapping.GetDocOrigin().x - static_cast<double>(x) / scale;
    const double docY = mapping.GetDocOrigin().y - static_cast<double>(y) / scale;
    const float anchorX = static_cast<float>(docX);
    const float anchorY = static_cast<float>(docY);
    mapping.SetOrigins(anchorX, anchorY, static_cast<int32_t>(std::llround((anchorX - docX) * scale)),
                       static_cast<int32_t>(std::llround((anchorY - docY) * scale)));
}

void CPqxView::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0)
        return;
    PanBy(dx, dy);
    UpdateScrollBars();
    InvalidateView();
}

bool CPqxView::ScrollWithinExtent(ScrollBarAxis axis, int64_t pixels) {
    if (pixels == 0)
        return false;
    const CScrollBarLayout layout = GetScrollBarLayout(axis);
    const double start = ViewStart(axis);
    const double low = layout.origin;
    const double high =
        layout.origin + static_cast<double>(std::max(0, layout.info.range - layout.info.page)) *
                            static_cast<double>(layout.unit);
    // A view already beyond the end (a thumb dragged there) is not pulled back by a step away from it.
    const double target =
        std::clamp(start + static_cast<double>(pixels), std::min(low, start), std::max(high, start));
    return MoveViewStart(axis, std::llround(target - start));
}

bool CPqxView::MoveViewStart(ScrollBarAxis axis, int64_t pixels) {
    if (pixels == 0)
        return false;
    if (axis == ScrollBarAxis::Horizontal)
        PanBy(-pixels, 0);
    else
        PanBy(0, -pixels);
    return true;
}

void CPqxView::OnHScroll(ScrollCode code, int thumbPosition) {
    Scroll(ScrollBarAxis::Horizontal, code, thumbPosition);
}

void CPqxView::OnVScroll(ScrollCode code, int thumbPosition) {
    Scroll(ScrollBarAxis::Vertical, code, thumbPosition);
}

void CPqxView::Scroll(ScrollBarAxis axis, ScrollCode code, int thumbPosition) {
    const std::size_t index = AxisIndex(axis);
    const CRect client = GetClientRect();
    const int length = axis == ScrollBarAxis::Horizontal ? client.Width() : client.Height();
    const int64_t line = std::max(1, length / 10);
    const int64_t page = std::max(1, length);
    bool moved = false;
    // Any event but another step of the drag ends a thumb drag, even one whose drop never came.
    if (code != ScrollCode::ThumbTrack && code != ScrollCode::ThumbPosition)
        thumbDragging[index] = false;
    // Moves the view to a position of a bar layout (held to that bar).
    const auto moveTo = [&](const CScrollBarLayout& layout, int position) {
        return MoveViewStart(axis, PixelsToScrollPosition(layout, ViewStart(axis), position));
    };
    switch (code) {
    // Line steps are what the arrow keys send: like the Pan tool they may take the view beyond the
    // page's margin (the bar then grows to include it). The toolkit's bar never sends one past its end.
    case ScrollCode::LineUp:
        moved = MoveViewStart(axis, -line);
        break;
    case ScrollCode::LineDown:
        moved = MoveViewStart(axis, line);
        break;
    case ScrollCode::PageUp:
        moved = ScrollWithinExtent(axis, -page);
        break;
    case ScrollCode::PageDown:
        moved = ScrollWithinExtent(axis, page);
        break;
    case ScrollCode::Top:
        moved = moveTo(GetScrollBarLayout(axis), 0);
        break;
    case ScrollCode::Bottom:
        moved = moveTo(GetScrollBarLayout(axis), std::numeric_limits<int>::max());
        break;
    case ScrollCode::ThumbTrack:
        // The view follows the thumb while it is dragged, over the bar as it was when the drag began.
        if (!thumbDragging[index])
            thumbDragScale = mapping.GetScale();
        thumbDragging[index] = true;
        moved = moveTo(shownScrollBars[index], thumbPosition);
        break;
    case ScrollCode::ThumbPosition:
        moved = moveTo(shownScrollBars[index], thumbPosition);
        thumbDragging[index] = false;
        break;
    case ScrollCode::EndScroll:
        thumbDragging[index] = false;
        break;
    }
    // The bar is always told where the view went, even when it did not move (a step at the end).
    UpdateScrollBars();
    if (moved)
        InvalidateView();
}

void CPqxView::OnSize(int width, int height) {
    const CRect old = sizedClient;
    sizedClient = CRect{0, 0, width, height};
    if (initialised && !old.IsEmpty() && !(old == sizedClient))
        RecenterAfterResize(old, GetClientRect());
    // The back buffer follows the client size at the next paint.
    UpdateScrollBars();
    InvalidateAll();
}

void CPqxView::RecenterAfterResize(const CRect& oldClient, const CRect& newClient) {
    const CDrawing* drawing = GetDrawing();
    if (drawing == nullptr || newClient.IsEmpty())
        return;
    const float halfWidth = drawing->GetPageWidth() / 2;
    const float halfHeight = drawing->GetPageHeight() / 2;
    // Half a pixel of slack: a fitted page's edges fall on rounded pixels.
    const auto inside = [](float from, float to, int low, int high) {
        return from >= static_cast<float>(low) - 0.5f && to <= static_cast<float>(high) + 0.5f;
    };
    const auto showsWhole = [&](const CViewMapping& m, const CRect& client) {
        return inside(m.DocToDeviceXf(-halfWidth), m.DocToDeviceXf(halfWidth), client.left, client.right) &&
               inside(m.DocToDeviceYf(-halfHeight), m.DocToDeviceYf(halfHeight), client.top, client.bottom);
    };
    const CPoint center{newClient.left + newClient.Width() / 2, newClient.top + newClient.Height() / 2};
    const CPoint pageCenter = mapping.DocToDevice(CPointF{0.0f, 0.0f});
    const CPoint shift{center.x - pageCenter.x, center.y - pageCenter.y};
    // A page that fits the new client area at this zoom is centred in it too, so that a window shrunk
    // and grown back shows the page as it was.
    CViewMapping centred = mapping;
    centred.Pan(CPoint{0, 0}, shift);
    if (!showsWhole(mapping, oldClient) && !showsWhole(centred, newClient))
        return;
    PanBy(shift.x, shift.y);
}

void CPqxView::ZoomAt(CPoint point, double factor) {
    if (!std::isfinite(factor) || factor <= 0.0)
        return;
    const float before = mapping.GetScale();
    mapping.ZoomAbout(point, static_cast<float>(factor));
    if (mapping.GetScale() == before)
        return;
    UpdateScrollBars();
    InvalidateAll();
}

void CPqxView::OnMouseWheel(const CWheelEvent& wheel) {
    // A drag in progress draws its feedback over the pixels it found; moving them would leave a mess.
    if (window != nullptr && window->HasCapture())
        return;
    if (!std::isfinite(wheel.notches) || wheel.notches == 0.0f)
        return;
    if ((wheel.flags & kKeyFlagControl) != 0 && !wheel.sideways) {
        ZoomAt(wheel.point, std::pow(kWheelZoomPerNotch, static_cast<double>(wheel.notches)));
        return;
    }
    // Turning the wheel away from the user shows what is above (or, with Shift, to the left); a sideways
    // turn to the right shows what is to the right.
    const bool horizontal = wheel.sideways || (wheel.flags & kKeyFlagShift) != 0;
    const float towardsEnd = wheel.sideways ? wheel.notches : -wheel.notches;
    const ScrollBarAxis axis = horizontal ? ScrollBarAxis::Horizontal : ScrollBarAxis::Vertical;
    float& remainder = wheelRemainder[AxisIndex(axis)];
    const float pixels =
        remainder + towardsEnd * static_cast<float>(std::max(1, wheel.linesPerNotch) * kWheelLinePixels);
    // Touchpads send fractions of a pixel: they add up rather than vanish.
    const float whole = std::trunc(pixels);
    remainder = pixels - whole;
    if (ScrollWithinExtent(axis, static_cast<int64_t>(whole))) {
        UpdateScrollBars();
        InvalidateView();
    }
}

void CPqxView::OnPinch(CPoint center, double zoomSinceStart, bool gestureStart) {
    if (gestureStart)
        pinchZoom = 1.0;
    if (!std::isfinite(zoomSinceStart) || zoomSinceStart <= 0.0)
        return;
    const double factor = zoomSinceStart / pinchZoom;
    pinchZoom = zoomSinceStart;
    ZoomAt(center, factor);
}

} // namespace pq
