#pragma once

#include "geometry/PointF.h"

#include <span>

namespace pq {

// The mapping from user units to plotter units that IP (the scaling points P1 and P2) and SC (the
// user-unit window) set up. Without SC user units are plotter units.
class CHpglScaling {
public:
    // P1 and P2 after IN: the plotting area of an A4 plotter, in plotter units.
    static constexpr CPointD kDefaultP1{0.0, 0.0};
    static constexpr CPointD kDefaultP2{10300.0, 7650.0};

    // IN and DF: default scaling points, no user units.
    void Reset();
    // IP with 0, 2 or 4 values: the defaults, P1 moved (P2 keeps its offset), or both points.
    void SetScalingPoints(std::span<const double> values);
    // SC with no values turns user units off; otherwise xmin, xmax, ymin, ymax, then the type
    // (0 anisotropic, 1 isotropic with left and bottom percentages, 2 point factor, where xmax and
    // ymax are the factors).
    void SetUserWindow(std::span<const double> values);

    // A point in user units as plotter units.
    [[nodiscard]] CPointD ToPlotter(CPointD user) const {
        return {user.x * scaleX + offsetX, user.y * scaleY + offsetY};
    }
    // A relative move in user units as plotter units.
    [[nodiscard]] CPointD DeltaToPlotter(CPointD user) const { return {user.x * scaleX, user.y * scaleY}; }
    [[nodiscard]] double ScaleX() const { return scaleX; }
    [[nodiscard]] double ScaleY() const { return scaleY; }

private:
    void Update();

    CPointD p1 = kDefaultP1;
    CPointD p2 = kDefaultP2;
    bool userUnits = false;
    double window[4] = {0.0, 1.0, 0.0, 1.0};
    int type = 0;
    double left = 50.0;
    double bottom = 50.0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;
};

} // namespace pq
