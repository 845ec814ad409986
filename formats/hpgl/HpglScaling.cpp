#include "formats/hpgl/HpglScaling.h"

#include "geometry/Numeric.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// Scale factors are held within a range where no product of a clamped coordinate overflows.
double ClampFactor(double f) {
    return std::clamp(f, -1e9, 1e9);
}

} // namespace

void CHpglScaling::Reset() {
    p1 = kDefaultP1;
    p2 = kDefaultP2;
    userUnits = false;
    quarterTurns = 0;
    Update();
}

void CHpglScaling::SetRotation(int degrees) {
    quarterTurns = degrees == 90 ? 1 : degrees == 180 ? 2 : degrees == 270 ? 3 : 0;
}

void CHpglScaling::SetScalingPoints(std::span<const double> values) {
    if (values.size() >= 4) {
        p1 = {values[0], values[1]};
        p2 = {values[2], values[3]};
    } else if (values.size() >= 2) {
        const CPointD size = p2 - p1;
        p1 = {values[0], values[1]};
        p2 = p1 + size;
    } else {
        p1 = kDefaultP1;
        p2 = kDefaultP2;
    }
    Update();
}

void CHpglScaling::SetUserWindow(std::span<const double> values) {
    if (values.size() < 4) {
        userUnits = false;
        Update();
        return;
    }
    userUnits = true;
    std::copy_n(values.begin(), 4, window);
    type = values.size() >= 5 ? static_cast<int>(values[4]) : 0;
    left = values.size() >= 6 ? std::clamp(values[5], 0.0, 100.0) : 50.0;
    bottom = values.size() >= 7 ? std::clamp(values[6], 0.0, 100.0) : 50.0;
    Update();
}

void CHpglScaling::Update() {
    if (!userUnits) {
        scaleX = scaleY = 1.0;
        offsetX = offsetY = 0.0;
        return;
    }
    const double xmin = window[0], xmax = window[1], ymin = window[2], ymax = window[3];
    if (type == 2) {
        // Point factor: xmax and ymax are plotter units per user unit.
        scaleX = ClampFactor(xmax);
        scaleY = ClampFactor(ymax);
    } else {
        scaleX = ClampFactor((p2.x - p1.x) / GuardDivisor(xmax - xmin));
        scaleY = ClampFactor((p2.y - p1.y) / GuardDivisor(ymax - ymin));
    }
    offsetX = p1.x - xmin * scaleX;
    offsetY = p1.y - ymin * scaleY;
    if (type == 1) {
        // Isotropic: the smaller factor for both axes, the window placed in the spare room by the
        // left and bottom percentages.
        const double s = std::min(std::fabs(scaleX), std::fabs(scaleY));
        const double sx = std::copysign(s, scaleX);
        const double sy = std::copysign(s, scaleY);
        const double spareX = (p2.x - p1.x) - (xmax - xmin) * sx;
        const double spareY = (p2.y - p1.y) - (ymax - ymin) * sy;
        scaleX = sx;
        scaleY = sy;
        offsetX = p1.x - xmin * sx + spareX * left / 100.0;
        offsetY = p1.y - ymin * sy + spareY * bottom / 100.0;
    }
}

} // namespace pq
