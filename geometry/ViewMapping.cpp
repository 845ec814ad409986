#include "geometry/ViewMapping.h"

#include "geometry/Numeric.h"
#include "platform/ScreenMetrics.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pq {

CViewMapping::CViewMapping() : scale(PixelsPerUnit()) {}

void CViewMapping::DocToDevice(const CPointF* in, std::size_t count, CPoint* out) const {
    const float ox = docOrigin.x, oy = docOrigin.y, s = scale;
    const float dx = static_cast<float>(deviceOrigin.x), dy = static_cast<float>(deviceOrigin.y);
    std::size_t i = 0;
#if defined(__SSE2__)
    // Two points at a time: the same float operations in the same order, then half away from zero in
    // double as RoundHalfAway does. Points beyond the fast rounding's range go the scalar way.
    const __m128 origin = _mm_setr_ps(ox, oy, ox, oy), scale4 = _mm_set1_ps(s);
    const __m128 device = _mm_setr_ps(dx, dy, dx, dy);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)), limit = _mm_set1_ps(2.0e9f);
    const __m128d sign = _mm_set1_pd(-0.0), half = _mm_set1_pd(0.5);
    static_assert(sizeof(CPointF) == 2 * sizeof(float) && sizeof(CPoint) == 2 * sizeof(int32_t));
    for (; i + 2 <= count; i += 2) {
        const __m128 v = _mm_loadu_ps(&in[i].x);
        const __m128 f = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(v, origin), scale4), device);
        if (_mm_movemask_ps(_mm_cmplt_ps(_mm_and_ps(f, magnitude), limit)) != 0xF) // NaN fails too
            break;
        const __m128d first = _mm_cvtps_pd(f), second = _mm_cvtps_pd(_mm_movehl_ps(f, f));
        const __m128i a = _mm_cvttpd_epi32(_mm_add_pd(first, _mm_or_pd(_mm_and_pd(first, sign), half)));
        const __m128i b = _mm_cvttpd_epi32(_mm_add_pd(second, _mm_or_pd(_mm_and_pd(second, sign), half)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(&out[i]), _mm_unpacklo_epi64(a, b));
    }
#endif
    for (; i < count; ++i)
        out[i] = {RoundHalfAway((in[i].x - ox) * s + dx), RoundHalfAway((in[i].y - oy) * s + dy)};
}

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
