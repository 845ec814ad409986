#include "ui/tools/SelectTool.h"

#include "geometry/LineMath.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "ui/view/PqxView.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

double Distance(CPoint a, CPoint b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Widens [low, high] to at least `minimum` pixels about its middle.
void WidenTo(int32_t minimum, int32_t& low, int32_t& high) {
    const int32_t extent = high - low;
    if (extent >= minimum)
        return;
    const int32_t d = (minimum - extent) / 2;
    low -= d;
    high = high + d + 1;
}

} // namespace

// Handles.

CRect CSelectTool::FrameRect() const {
    if (view == nullptr || selBounds.IsEmpty())
        return {};
    const CViewMapping& mapping = view->GetMapping();
    const CPoint a = mapping.DocToDevice(selBounds.TopLeft());
    const CPoint b = mapping.DocToDevice(selBounds.BottomRight());
    CRect r{std::min(a.x, b.x) - 1, std::min(a.y, b.y) - 1, std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
    WidenTo(kMinFramePixels, r.left, r.right);
    WidenTo(kMinFramePixels, r.top, r.bottom);
    return r;
}

std::array<CPoint, CSelectTool::kHandleCount> CSelectTool::HandlePoints() const {
    const CRect f = FrameRect();
    // The handles sit on a rectangle 4 pixels outside the frame, so they do not cover its edges.
    const int32_t left = f.left - 4, top = f.top - 4, right = f.right + 4, bottom = f.bottom + 4;
    const int32_t midX = left + (right - left) / 2, midY = top + (bottom - top) / 2;
    return {{{left, top},
             {midX, top},
             {right, top},
             {right, midY},
             {right, bottom},
             {midX, bottom},
             {left, bottom},
             {left, midY},
             {midX, midY}}};
}

bool CSelectTool::HandleAllowed(int index) const {
    switch (index) {
    case 0:
    case 4:
        return mayScale;
    case 2:
    case 6:
        return mayRotate || mayScale;
    case 8:
        return true;
    default:
        return mayStretch;
    }
}

void CSelectTool::HitTestHandles(CPoint point, bool ctrl, bool shift) {
    const std::array<CPoint, kHandleCount> handles = HandlePoints();
    for (int i = 0; i < kHandleCount; ++i) {
        if (Distance(point, handles[static_cast<std::size_t>(i)]) > kHandleReach)
            continue;
        handle = i;
        if (i == kHandleCentre)
            mode = kModeMove;
        else if ((i == 2 || i == 6) && mayRotate)
            mode = kModeRotate;
        else
            mode = HandleAllowed(i) ? kModeScale : kModeNone;
        return;
    }
    const CRect f = FrameRect();
    if (point.x < f.left || point.x > f.right || point.y < f.top || point.y > f.bottom)
        return;
    if (ctrl && shift)
        return; // inside the frame Ctrl+Shift removes, it never moves
    if (ctrl)
        mode = HitTestUnselected(point) < 0 && HitTestSelected(point) >= 0 ? kModeDuplicate : kModeNone;
    else
        mode = HitTestObject(point) >= 0 ? kModeMove : kModeNone;
}

// Object hit tests.

bool CSelectTool::HitTestObject(const CGraphicObject& object, CPoint point) const {
    if (object.bounds.IsEmpty())
        return false;
    const CViewMapping& mapping = view->GetMapping();
    const CPoint a = mapping.DocToDevice(object.bounds.TopLeft());
    const CPoint b = mapping.DocToDevice(object.bounds.BottomRight());
    if (point.x < std::min(a.x, b.x) - kHitSlackBefore || point.x > std::max(a.x, b.x) + kHitSlackAfter ||
        point.y < std::min(a.y, b.y) - kHitSlackBefore || point.y > std::max(a.y, b.y) + kHitSlackAfter)
        return false;
    bool onOutline = false;
    int subpath = -1;
    return object.HitTest(mapping, point, onOutline, kDefaultHitTolerance, subpath);
}

int CSelectTool::HitTestUnselected(CPoint point) const {
    const CDrawing* drawing = view != nullptr ? view->GetDrawing() : nullptr;
    if (drawing == nullptr)
        return -1;
    const int page = view->GetCurrentPage();
    for (int i = drawing->Count() - 1; i >= 0; --i) {
        const CGraphicObject& object = *drawing->GetAt(i);
        if (object.page == page && !IsSelected(i) && HitTestObject(object, point))
            return i;
    }
    return -1;
}

int CSelectTool::HitTestSelected(CPoint point) const {
    const CDrawing* drawing = view != nullptr ? view->GetDrawing() : nullptr;
    if (drawing == nullptr)
        return -1;
    for (int index : selectedSet) {
        const CGraphicObject* object = drawing->GetAt(index);
        if (object != nullptr && HitTestObject(*object, point))
            return index;
    }
    return -1;
}

int CSelectTool::HitTestObject(CPoint point) const {
    const int unselected = HitTestUnselected(point);
    return unselected >= 0 ? unselected : HitTestSelected(point);
}

// The gesture's transform.

float CSelectTool::CollapseLimit(float factor, float extent) const {
    if (mayCollapse || factor >= kMinTextFactor)
        return factor;
    const float pixels = extent * factor * view->GetMapping().GetScale();
    return pixels < kMinCollapsePixels ? kMinTextFactor : factor;
}

void CSelectTool::BuildTransform(bool shift) {
    transform.Reset();
    moveDelta = {};
    if (view == nullptr)
        return;
    const CViewMapping& mapping = view->GetMapping();
    const CPointF start = mapping.DeviceToDoc(startPoint);
    const CPointF current = mapping.DeviceToDoc(currentPoint);
    const CRectF& b = selBounds;

    if (mode == kModeMove || mode == kModeDuplicate) {
        float dx = current.x - start.x;
        float dy = current.y - start.y;
        if (shift) {
            if (std::fabs(dx) >= std::fabs(dy))
                dy = 0.0f;
            else
                dx = 0.0f;
        }
        moveDelta = {dx, dy};
        transform.Translate(-dx, -dy, 0.0f); // Translate moves points by the negated arguments
        return;
    }

    if (mode == kModeRotate) {
        // The angle from the ray to the press to the ray to the stylus, clockwise positive on the
        // y-down page, which is the sense Rotate turns: the outline follows the stylus.
        const CPointF c = b.Center();
        const double angle = VectorAngle(CPointD(current), CPointD(c), CPointD(start));
        transform.Translate(-c.x, -c.y, 0.0f);
        transform.Rotate(static_cast<float>(angle));
        transform.Translate(c.x, c.y, 0.0f);
        return;
    }

    if (mode != kModeScale)
        return;
    float sx = 1.0f;
    float sy = 1.0f;
    CPointF fixed;
    const auto ratio = [](double num, double den) { return static_cast<float>(num / GuardDivisor(den)); };
    switch (handle) {
    case 0:
    case 2:
    case 4:
    case 6: {
        fixed = {handle == 0 || handle == 6 ? b.right : b.left,
                 handle == 0 || handle == 2 ? b.bottom : b.top};
        const double toStart = std::hypot(double{start.x} - fixed.x, double{start.y} - fixed.y);
        const double toCurrent = std::hypot(double{current.x} - fixed.x, double{current.y} - fixed.y);
        const float magnitude = ratio(toCurrent, toStart);
        // Each axis is positive while the stylus stays on the handle's side of the fixed corner; the
        // larger factor wins, so only crossing the corner on both axes mirrors the selection.
        const auto side = [](float from, float to, float anchor) {
            return (to - anchor) * (from - anchor) < 0.0f ? -1.0f : 1.0f;
        };
        sx = side(start.x, current.x, fixed.x) * magnitude;
        sy = side(start.y, current.y, fixed.y) * magnitude;
        sx = sy = std::max(sx, sy);
        break;
    }
    case 1:
        fixed = {b.Center().x, b.bottom};
        sy = ratio(double{current.y} - b.bottom, double{start.y} - b.bottom);
        break;
    case 5:
        fixed = {b.Center().x, b.top};
        sy = ratio(double{current.y} - b.top, double{start.y} - b.top);
        break;
    case 3:
        fixed = {b.left, b.Center().y};
        sx = ratio(double{current.x} - b.left, double{start.x} - b.left);
        break;
    case 7:
        fixed = {b.right, b.Center().y};
        sx = ratio(double{current.x} - b.right, double{start.x} - b.right);
        break;
    default:
        return;
    }
    sx = CollapseLimit(sx, b.Width());
    sy = CollapseLimit(sy, b.Height());
    transform.Translate(-fixed.x, -fixed.y, 0.0f);
    transform.Scale(sx, sy, 1.0f);
    transform.Translate(fixed.x, fixed.y, 0.0f);
}

} // namespace pq
