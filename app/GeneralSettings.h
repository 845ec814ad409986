#pragma once

#include "app/LengthField.h"

#include <array>
#include <string>

namespace pq {

class CPqxView;

// The unit a settings page shows lengths in: the view's unit, or millimetres for an index outside the
// unit table (which measures like millimetres but has no name to show).
[[nodiscard]] int ShownMeasurementUnit(int unit);

// A spin control's range and position, in the unit shown.
struct CSpinRange {
    int lower = 0;
    int upper = 0;
    int position = 0;

    bool operator==(const CSpinRange&) const = default;
};

// The General page of the settings sheet: grid and snap spacing in the measurement unit, the unit
// itself, the bitmap export's size limit and anti-aliasing, and smooth edges on screen. It edits the
// view's values; nothing but the unit reaches the view before Accept.
class CGeneralSettings {
public:
    // The export size limits offered, in pixels.
    static constexpr std::array<int, 4> kMaxPixelsChoices = {240, 320, 480, 640};

    // Shows the view's values in its unit (an unknown unit shows as millimetres).
    explicit CGeneralSettings(CPqxView& view);

    [[nodiscard]] int GetUnit() const { return unit; }
    [[nodiscard]] const std::string& GetGridText() const { return grid.GetText(); }
    [[nodiscard]] const std::string& GetSnapText() const { return snap.GetText(); }
    void SetGridText(std::string text) { grid.SetText(std::move(text)); }
    void SetSnapText(std::string text) { snap.SetText(std::move(text)); }
    // The spin controls' ranges (from the limits in the unit shown) and positions (the typed values,
    // held to the range; the view's value while the text is no number).
    [[nodiscard]] CSpinRange GetGridSpin() const;
    [[nodiscard]] CSpinRange GetSnapSpin() const;
    // A spin control moved: its text shows the new position.
    void OnGridSpin(int position);
    void OnSnapSpin(int position);

    // Another unit chosen: both texts are shown again in it (a text that is no number stands for the
    // view's value), and the view takes the unit at once, so it stays even when the sheet is cancelled.
    // An index outside the unit table is ignored.
    void OnUnitChanged(int newUnit);

    [[nodiscard]] int GetMaxPixelsIndex() const { return maxPixelsIndex; }
    void SetMaxPixelsIndex(int index) { maxPixelsIndex = index; }
    [[nodiscard]] bool GetAntiAlias() const { return antiAlias; }
    void SetAntiAlias(bool on) { antiAlias = on; }
    [[nodiscard]] bool GetSmoothEdges() const { return smoothEdges; }
    void SetSmoothEdges(bool on) { smoothEdges = on; }

    // Stores everything into the view: a text that is no number keeps the view's value; the grid is held
    // to 10 ... 3000 and the snap to 0 ... 100 document units.
    void Accept();

    // The index of the choice a stored size limit shows as: 240, 320 and 480 their own, anything else 640.
    [[nodiscard]] static int MaxPixelsIndexOf(int pixels);

private:
    [[nodiscard]] CSpinRange SpinRange(const CLengthField& field, double fallback, double lowest,
                                       double highest) const;

    CPqxView& view;
    int unit = 0;
    CLengthField grid;
    CLengthField snap;
    int maxPixelsIndex = 3;
    bool antiAlias = false;
    bool smoothEdges = true;
};

} // namespace pq
