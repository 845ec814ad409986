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

    // IN and DF: default scaling points, no user units, no rotation.
    void Reset();
    // IP with 0, 2 or 4 values: the defaults, P1 moved (P2 keeps its offset), or both points.
    void SetScalingPoints(std::span<const double> values);
    // SC with no values turns user units off; otherwise xmin, xmax, ymin, ymax, then the type
    // (0 anisotropic, 1 isotropic with left and bottom percentages, 2 point factor, where xmax and
    // ymax are the factors).
    void SetUserWindow(std::span<const double> values);

    // RO: the coordinate system turned counter-clockwise by 90, 180 or 270 degrees (any other angle is
    // taken as 0). Only the turn matters to a reader that centres the plot, not where the paper's
    // corner then lies.
    void SetRotation(int degrees);

    // A point in user units as plotter units.
    [[nodiscard]] CPointD ToPlotter(CPointD user) const {
        return Turned({user.x * scaleX + offsetX, user.y * scaleY + offsetY});
    }
    // A relative move in user units as plotter units.
    [[nodiscard]] CPointD DeltaToPlotter(CPointD user) const {
        return Turned({user.x * scaleX, user.y * scaleY});
    }
    // A plotter-unit vector as user units (a zero scale counts as 1).
    [[nodiscard]] CPointD DeltaToUser(CPointD plotter) const {
        const CPointD p = Turned(Turned(Turned(plotter))); // three more quarter turns undo one
        return {p.x / (scaleX == 0.0 ? 1.0 : scaleX), p.y / (scaleY == 0.0 ? 1.0 : scaleY)};
    }

private:
    void Update();
    [[nodiscard]] CPointD Turned(CPointD p) const {
        switch (quarterTurns) {
        case 1:
            return {-p.y, p.x};
        case 2:
            return {-p.x, -p.y};
        case 3:
            return {p.y, -p.x};
        default:
            return p;
        }
    }

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
    int quarterTurns = 0;
};

} // namespace pq
