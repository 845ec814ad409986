#include "app/GeneralSettings.h"

#include "app/MeasurementUnits.h"
#include "geometry/Numeric.h"
#include "ui/view/PqxView.h"

#include <algorithm>

namespace pq {

namespace {

// Held to [low, high]; written so that NaN lands on low.
double Clamp(double value, double low, double high) {
    return value >= low ? std::min(value, high) : low;
}

} // namespace

int ShownMeasurementUnit(int unit) {
    return unit >= 0 && unit < kMeasurementUnitCount ? unit : static_cast<int>(MeasurementUnit::Millimetre);
}

CGeneralSettings::CGeneralSettings(CPqxView& settingsView)
    : view(settingsView), unit(ShownMeasurementUnit(settingsView.GetMeasurementUnit())),
      maxPixelsIndex(MaxPixelsIndexOf(settingsView.GetMaxPixels())), antiAlias(settingsView.GetAntiAlias()),
      smoothEdges(settingsView.GetSmoothEdges()) {
    grid.Show(view.GetGridSpacing(), unit);
    snap.Show(view.GetSnapSpacing(), unit);
}

int CGeneralSettings::MaxPixelsIndexOf(int pixels) {
    for (int i = 0; i < 3; ++i)
        if (kMaxPixelsChoices[static_cast<std::size_t>(i)] == pixels)
            return i;
    return 3;
}

CSpinRange CGeneralSettings::SpinRange(const CLengthField& field, double fallback, double lowest,
                                       double highest) const {
    // Spin integers are lengths in the unit shown, rounded half away from zero.
    const double scale = UnitScale(unit);
    CSpinRange range;
    range.lower = RoundHalfAway(lowest / scale);
    range.upper = RoundHalfAway(highest / scale);
    range.position =
        std::clamp(RoundHalfAway(field.Read(unit).value_or(fallback) / scale), range.lower, range.upper);
    return range;
}

CSpinRange CGeneralSettings::GetGridSpin() const {
    return SpinRange(grid, view.GetGridSpacing(), CPqxView::kMinGridSpacing, CPqxView::kMaxGridSpacing);
}

CSpinRange CGeneralSettings::GetSnapSpin() const {
    return SpinRange(snap, view.GetSnapSpacing(), CPqxView::kMinSnapSpacing, CPqxView::kMaxSnapSpacing);
}

void CGeneralSettings::OnGridSpin(int position) {
    const CSpinRange range = GetGridSpin();
    grid.Show(std::clamp(position, range.lower, range.upper) * UnitScale(unit), unit);
}

void CGeneralSettings::OnSnapSpin(int position) {
    const CSpinRange range = GetSnapSpin();
    snap.Show(std::clamp(position, range.lower, range.upper) * UnitScale(unit), unit);
}

void CGeneralSettings::OnUnitChanged(int newUnit) {
    if (newUnit < 0 || newUnit >= kMeasurementUnitCount)
        return;
    const double gridLength = grid.Read(unit).value_or(view.GetGridSpacing());
    const double snapLength = snap.Read(unit).value_or(view.GetSnapSpacing());
    unit = newUnit;
    view.SetMeasurementUnit(newUnit);
    grid.Show(gridLength, unit);
    snap.Show(snapLength, unit);
}

void CGeneralSettings::Accept() {
    view.SetImageResolution(kMaxPixelsChoices[static_cast<std::size_t>(std::clamp(maxPixelsIndex, 0, 3))]);
    view.SetMeasurementUnit(unit);
    const double gridLength = Clamp(grid.Read(unit).value_or(view.GetGridSpacing()),
                                    CPqxView::kMinGridSpacing, CPqxView::kMaxGridSpacing);
    const double snapLength = Clamp(snap.Read(unit).value_or(view.GetSnapSpacing()),
                                    CPqxView::kMinSnapSpacing, CPqxView::kMaxSnapSpacing);
    view.SetGridSpacing(static_cast<float>(gridLength));
    view.SetSnapSpacing(static_cast<float>(snapLength));
    view.SetAntiAlias(antiAlias);
    view.SetSmoothEdges(smoothEdges);
    view.RepaintAll();
}

} // namespace pq
