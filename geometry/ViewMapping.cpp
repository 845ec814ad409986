#include "geometry/ViewMapping.h"

#include "geometry/Numeric.h"
#include "platform/ScreenMetrics.h"

#include <algorithm>
#include <cmath>

namespace pq {

CViewMapping::CViewMapping() : scale(PixelsPerUnit()) {}

float CViewMapping::PixelsPerUnit(int devicePixelsPerInch) {
    return static_cast<float>(devicePixelsPerInch) * kInchesPerUnit;
}

float CViewMapping::PixelsPerUnit() {
    return PixelsPerUnit(ScreenPixelsPerInch());
}

float CViewMapping::DeviceToDocX(float px) const {
    return (px - static_cast<float>(deviceOrigin.x)) / scale + docOrigin.x;
}

float CViewMapping::DeviceToDocY(float py) const {
    return (py - static_cast<float>(deviceOrigin.y)) / scale + docOrigin.y;
}

void CViewMapping::SetOrigins(float docX, float docY, int32_t devX, int32_t devY) {
    docOrigin = {docX, docY};
    deviceOrigin = {devX, devY};
}

bool CViewMapping::SetScale(float s) {
    const float magnitude = std::fabs(s);
    if (magnitude > maxScale) {
        scale = maxScale;
        return true;
    }
    scale = std::max(magnitude, minScale);
    return false;
}

void CViewMapping::ZoomAbout(CPoint devicePoint, float factor) {
    const CPointF doc = DeviceToDoc(devicePoint);
    SetOrigins(doc.x, doc.y, devicePoint.x, devicePoint.y);
    SetScale(scale * factor);
}

void CViewMapping::Pan(CPoint from, CPoint to) {
    deviceOrigin = deviceOrigin + (to - from);
}

void CViewMapping::FitRect(const CRectF& docRect, const CRect& deviceRect) {
    // Keep the sign of a tiny extent (zero counts as positive) so the ratio stays finite.
    const auto guardExtent = [](float e) {
        if (std::fabs(e) < 0.000001f)
            return e < 0.0f ? -0.000001f : 0.000001f;
        return e;
    };
    const float docWidth = guardExtent(docRect.right - docRect.left);
    const float docHeight = guardExtent(docRect.bottom - docRect.top);
    const int32_t devWidth = deviceRect.right - deviceRect.left;
    const int32_t devHeight = deviceRect.bottom - deviceRect.top;
    const float width = static_cast<float>(devWidth == 0 ? 1 : devWidth);
    const float height = static_cast<float>(devHeight == 0 ? 1 : devHeight);

    const CPointF center = docRect.Center();
    SetOrigins(center.x, center.y, deviceRect.left + devWidth / 2, deviceRect.top + devHeight / 2);
    SetScale(std::min(height / docHeight, width / docWidth));
}

void CViewMapping::SetClip(const CRect& rect) {
    clip = rect;
    clipSet = true;
}

void CViewMapping::RemoveClip() {
    clip = kNoClip;
    clipSet = false;
}

} // namespace pq
