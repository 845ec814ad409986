#include "ui/tools/SelectTool.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "platform/DeviceContext.h"
#include "ui/view/PqxView.h"

#include <algorithm>
#include <chrono>

namespace pq {

namespace {

// Marker images: '#' pixels are white and invert what they are copied onto (SRCINVERT), '.' pixels are
// black and leave it alone, so a marker drawn twice leaves no trace.
constexpr const char* kHandleMarker[13] = {
    ".............", ".............", ".............", "...#######...", "...#######...",
    "...#######...", "...#######...", "...#######...", "...#######...", "...#######...",
    ".............", ".............", ".............",
};
constexpr const char* kMoveMarker[13] = {
    "......#......", ".....###.....", "....#####....", "......#......", "..#...#...#..",
    ".##...#...##.", "#############", ".##...#...##.", "..#...#...#..", "......#......",
    "....#####....", ".....###.....", "......#......",
};
// A quarter turn ending in an arrowhead, for the top-right corner; the bottom-left one is it turned
// half way round.
constexpr const char* kRotateMarker[9] = {
    "#####....", ".....#...", "......#..", ".......#.", ".......#.",
    "....#####", ".....###.", "......#..", ".........",
};

CDibSection MakeMarker(const char* const* rows, int size, bool turned) {
    CDibSection bitmap;
    if (!bitmap.Create(size, size, 24))
        return bitmap;
    CDeviceContext dc(&bitmap);
    dc.FillSolidRect(CRect{0, 0, size, size}, 0x000000);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (rows[y][x] == '#')
                dc.SetPixel(turned ? size - 1 - x : x, turned ? size - 1 - y : y, 0xFFFFFF);
    return bitmap;
}

const CDibSection& HandleMarker() {
    static const CDibSection marker = MakeMarker(kHandleMarker, 13, false);
    return marker;
}
const CDibSection& MoveMarker() {
    static const CDibSection marker = MakeMarker(kMoveMarker, 13, false);
    return marker;
}
const CDibSection& RotateMarker(bool bottomLeft) {
    static const CDibSection topRight = MakeMarker(kRotateMarker, 9, false);
    static const CDibSection turned = MakeMarker(kRotateMarker, 9, true);
    return bottomLeft ? turned : topRight;
}

// Holds a frame coordinate a little outside the client area: the visible sides stay where they are and
// far-off ones cannot overflow.
int32_t ClampNear(int32_t v, int32_t low, int32_t high) {
    constexpr int32_t kMargin = 16;
    return std::clamp(v, low - kMargin, high + kMargin);
}

// Copies a bitmap onto the window, straight into the front buffer when their layouts agree.
void ShowOnWindow(IWindowHost& window, const CDibSection& picture) {
    CDibSection& front = window.GetFrontBuffer();
    const CRect all{0, 0, picture.GetWidth(), picture.GetHeight()};
    if (front.GetHeader() == picture.GetHeader() && front.GetBits().size() == picture.GetBits().size()) {
        std::copy(picture.GetBits().begin(), picture.GetBits().end(), front.GetBits().begin());
        window.MarkDamaged(all);
        return;
    }
    CClientDC screen(window);
    screen.BitBlt(0, 0, all.Width(), all.Height(), picture, 0, 0, kRop3SrcCopy);
}

} // namespace

void CSelectTool::PaintFeedback(CDeviceContext& dc) {
    // The frame shows the selection as it stands, even after a command that set it without telling
    // the tool.
    if (!dragging)
        SyncWithSelection();
    DrawFrame(dc);
}

void CSelectTool::DrawFrame(CDeviceContext& dc) const {
    if (view == nullptr || selectedSet.empty() || selBounds.IsEmpty())
        return;
    const CRect client = view->GetClientRect();
    const CRect f = FrameRect();
    const CRect sides{
        ClampNear(f.left, client.left, client.right), ClampNear(f.top, client.top, client.bottom),
        ClampNear(f.right, client.left, client.right), ClampNear(f.bottom, client.top, client.bottom)};
    const CPen savedPen = dc.SelectPen(CPen{kPenSolid, 1, 0x000000});
    const CBrush savedBrush = dc.SelectBrush(CBrush{kBrushHollow, 0});
    const int savedRop = dc.SetROP2(kR2NotXorPen);
    dc.Rectangle(sides);
    dc.SetROP2(savedRop);
    dc.SelectPen(savedPen);
    dc.SelectBrush(savedBrush);

    const std::array<CPoint, kHandleCount> handles = HandlePoints();
    for (int i = 0; i < kHandleCount; ++i) {
        const CPoint p = handles[static_cast<std::size_t>(i)];
        if (!client.Contains(p) || !HandleAllowed(i))
            continue;
        const CDibSection* marker = &HandleMarker();
        if (i == kHandleCentre)
            marker = &MoveMarker();
        else if ((i == 2 || i == 6) && mayRotate)
            marker = &RotateMarker(i == 6);
        const int32_t w = marker->GetWidth();
        const int32_t h = marker->GetHeight();
        dc.BitBlt(p.x - w / 2, p.y - h / 2, w, h, *marker, 0, 0, kRop3SrcInvert);
    }
}

void CSelectTool::ToggleFrameOnWindow() const {
    IWindowHost* window = Window();
    if (window == nullptr || view == nullptr || !view->IsToolCurrent(ToolKind::Select))
        return;
    CClientDC client(*window);
    DrawFrame(client);
}

void CSelectTool::TakeSnapshot() {
    IWindowHost* window = Window();
    if (window == nullptr)
        return;
    const CRect client = window->GetClientRect();
    if (snapshot.GetWidth() != client.Width() || snapshot.GetHeight() != client.Height()) {
        snapshot.Clear();
        if (!snapshot.Create(client.Width(), client.Height(), 24))
            return;
    }
    CDeviceContext dc(&snapshot);
    dc.BitBlt(0, 0, client.Width(), client.Height(), window->GetFrontBuffer(), 0, 0, kRop3SrcCopy);
}

void CSelectTool::RestoreSnapshot() {
    IWindowHost* window = Window();
    if (window != nullptr && !snapshot.IsEmpty())
        ShowOnWindow(*window, snapshot);
}

void CSelectTool::ShowOutlines() {
    IWindowHost* window = Window();
    if (window == nullptr || snapshot.IsEmpty())
        return;
    if (frame.GetWidth() != snapshot.GetWidth() || frame.GetHeight() != snapshot.GetHeight()) {
        frame.Clear();
        if (!frame.Create(snapshot.GetWidth(), snapshot.GetHeight(), 24))
            return;
    }
    std::copy(snapshot.GetBits().begin(), snapshot.GetBits().end(), frame.GetBits().begin());
    CDeviceContext dc(&frame);
    DrawOutlines(dc);
    dc.SelectBitmap(nullptr);
    ShowOnWindow(*window, frame);
}

int CSelectTool::DrawOutlines(CDeviceContext& dc) {
    const CDrawing* drawing = view != nullptr ? view->GetDrawing() : nullptr;
    if (drawing == nullptr)
        return 0;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point began = Clock::now();
    const CViewMapping& mapping = view->GetMapping();
    IWindowHost* window = Window();

    const CPen savedPen = dc.SelectPen(CPen{kPenSolid, 1, 0x000000});
    const int savedRop = dc.SetROP2(kR2NotXorPen);
    const int savedBk = dc.SetBkMode(kBkTransparent);
    const auto drawPolyline = [&](const CPointF* points, std::size_t count) {
        outlineDoc.resize(count);
        outlinePoints.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            outlineDoc[i] = transform.Apply(points[i]);
        mapping.DocToDevice(outlineDoc.data(), count, outlinePoints.data());
        dc.Polyline(outlinePoints);
    };

    int drawn = 0;
    for (int index : selectedSet) {
        // When the stylus has moved on and the outlines cannot keep up, the rest are left out of this
        // frame rather than making every later frame later still.
        if (dragging && window != nullptr &&
            Clock::now() - began >= std::chrono::milliseconds(kOutlineBudgetMs) && window->IsInputPending())
            break;
        const CGraphicObject* object = drawing->GetAt(index);
        if (object == nullptr)
            continue;
        if (const CPathShape* path = object->AsPath()) {
            for (const auto& polyline : path->polylines)
                drawPolyline(polyline->data(), polyline->GetSize());
        } else if (!object->bounds.IsEmpty()) {
            const CRectF& b = object->bounds;
            const CPointF corners[5] = {
                {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}, {b.left, b.top}};
            drawPolyline(corners, 5);
        }
        ++drawn;
    }
    dc.SelectPen(savedPen);
    dc.SetROP2(savedRop);
    dc.SetBkMode(savedBk);
    return drawn;
}

} // namespace pq
