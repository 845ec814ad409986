#pragma once

#include "geometry/Numeric.h"
#include "geometry/PointF.h"
#include "geometry/Rect.h"
#include "geometry/RectF.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace pq {

// The mapping between document coordinates and device pixels of one drawing surface (the editing view,
// an exported bitmap): device = (doc - docOrigin) * scale + deviceOrigin, rounded half away from zero.
class CViewMapping {
public:
    static constexpr float kDefaultMaxScale = 100000.0f;
    static constexpr float kDefaultMinScale = 0.00001f;
    static constexpr CRect kNoClip{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min(),
                                   std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};

    // Starts at the 1:1 scale of the screen with both origins at 0.
    CViewMapping();
    virtual ~CViewMapping() = default;
    CViewMapping(const CViewMapping&) = default;
    CViewMapping& operator=(const CViewMapping&) = default;

    // Inline, as drawing maps every point of every visible path through them.
    [[nodiscard]] int32_t DocToDeviceX(float x) const { return RoundHalfAway(DocToDeviceXf(x)); }
    [[nodiscard]] int32_t DocToDeviceY(float y) const { return RoundHalfAway(DocToDeviceYf(y)); }
    [[nodiscard]] float DocToDeviceXf(float x) const {
        return (x - docOrigin.x) * scale + static_cast<float>(deviceOrigin.x);
    }
    [[nodiscard]] float DocToDeviceYf(float y) const {
        return (y - docOrigin.y) * scale + static_cast<float>(deviceOrigin.y);
    }
    [[nodiscard]] CPoint DocToDevice(CPointF p) const { return {DocToDeviceX(p.x), DocToDeviceY(p.y)}; }
    [[nodiscard]] CPointF DocToDevicef(CPointF p) const { return {DocToDeviceXf(p.x), DocToDeviceYf(p.y)}; }
    // Maps many points, out[i] = DocToDevice(in[i]), with the same arithmetic; out holds count points.
    // Drawing maps every flattened point of every visible path through it.
    void DocToDevice(const CPointF* in, std::size_t count, CPoint* out) const;

    [[nodiscard]] float DeviceToDocX(float px) const;
    [[nodiscard]] float DeviceToDocY(float py) const;
    [[nodiscard]] CPointF DeviceToDoc(CPoint p) const {
        return {DeviceToDocX(static_cast<float>(p.x)), DeviceToDocY(static_cast<float>(p.y))};
    }
    [[nodiscard]] CPointF DeviceToDoc(CPointF p) const { return {DeviceToDocX(p.x), DeviceToDocY(p.y)}; }

    void SetOrigins(float docX, float docY, int32_t devX, int32_t devY);
    [[nodiscard]] CPointF GetDocOrigin() const { return docOrigin; }
    [[nodiscard]] CPoint GetDeviceOrigin() const { return deviceOrigin; }

    [[nodiscard]] float GetScale() const { return scale; }
    // Stores |s| held to [minScale, maxScale]; true when it had to be cut down to maxScale.
    bool SetScale(float s);
    [[nodiscard]] float GetMinScale() const { return minScale; }
    [[nodiscard]] float GetMaxScale() const { return maxScale; }

    // Keeps the document point under devicePoint where it is while scaling by factor.
    void ZoomAbout(CPoint devicePoint, float factor);
    void ZoomIn(CPoint devicePoint) { ZoomAbout(devicePoint, 2.0f); }
    void ZoomOut(CPoint devicePoint) { ZoomAbout(devicePoint, 0.5f); }
    void Pan(CPoint from, CPoint to);
    // Centres docRect in deviceRect at the largest scale that shows all of it.
    void FitRect(const CRectF& docRect, const CRect& deviceRect);

    void SetClip(const CRect& rect);
    void RemoveClip();
    [[nodiscard]] const CRect& GetClip() const { return clip; }
    [[nodiscard]] bool IsClipSet() const { return clipSet; }

    // Device pixels per document unit of a device with the given pixels per inch.
    [[nodiscard]] static float PixelsPerUnit(int devicePixelsPerInch);
    // The same for the screen, as measured at start-up.
    [[nodiscard]] static float PixelsPerUnit();

private:
    float scale;
    CPointF docOrigin;
    CPoint deviceOrigin;
    float maxScale = kDefaultMaxScale;
    float minScale = kDefaultMinScale;
    CRect clip = kNoClip;
    bool clipSet = false;
};

} // namespace pq
