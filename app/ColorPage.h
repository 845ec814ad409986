#pragma once

#include "app/ColorModels.h"
#include "app/ColorPalettes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pq {

class CDrawing;
class CPropertySheetState;
class CUndoRecorder;
struct CNewObjectStyle;

// The colour page of the property sheet: fill and line colours and styles, the pen width, two palettes
// and two colour models. It edits the selected objects or, with nothing selected, the new-object style.
class CColorPage {
public:
    enum class Target { Fill, Line };
    // How a swatch button looks.
    enum class SwatchLook { Color, None, Mixed };

    // Line and fill style words: solid, none, or differing among the selected objects.
    static constexpr int kMixed = -1;
    static constexpr int kLineSolid = 0;
    static constexpr int kLineNone = 5;
    static constexpr int kFillSolid = 0;
    static constexpr int kFillNone = 1;
    // "Fine", "Normal", "Bold", "Thick": the width is the index times 3; widths read are held to 10.
    static constexpr int kWidthCount = 4;
    static constexpr int kWidthStep = 3;
    static constexpr int kMaxShownWidth = 10;

    explicit CColorPage(CPropertySheetState& state);

    // Takes each value from the selected objects when they all agree on it (else it shows as mixed), or
    // from the new-object style with nothing selected. With textColor the fill stands for the colour of
    // new text and the line part is hidden.
    void Init(const CDrawing* drawing, std::span<const int> selection, const CNewObjectStyle& defaults,
              bool textColor);

    // The line swatch, the pen width and its label show only with paths selected or for the style of new
    // shapes.
    [[nodiscard]] bool IsLinePartShown() const { return linePartShown; }

    [[nodiscard]] Target GetTarget() const { return target; }
    // Makes a swatch the current target; the number boxes show its colour.
    void SetTarget(Target t);
    [[nodiscard]] std::optional<uint32_t> GetColor(Target t) const { return Value(t).color; }
    [[nodiscard]] int GetStyle(Target t) const { return Value(t).style; }
    [[nodiscard]] SwatchLook GetSwatchLook(Target t) const;

    // Palettes.
    [[nodiscard]] bool IsCustomShown() const;
    void ShowCustom(bool custom);
    [[nodiscard]] const CPalette& GetShownPalette() const;
    // "Set" mode: a tapped cell receives the target's colour instead of giving its own. It cannot be
    // switched on while the target has no line or no fill, or no one colour; returns the mode now on.
    bool SetSetMode(bool on);
    [[nodiscard]] bool CanSetMode() const;
    [[nodiscard]] bool IsSetMode() const { return setMode; }
    // A tap on palette cell 0 .. 39.
    void TapCell(int index);
    // The target gets no line or no fill; false where that means nothing (texts alone, new text).
    [[nodiscard]] bool CanSetNone() const;
    void SetNone();

    // The number boxes.
    [[nodiscard]] ColorModel GetModel() const { return model; }
    // Shows the target's colour in another model and changes the ranges.
    void SetModel(ColorModel m);
    [[nodiscard]] CComponentRange GetRange(int box) const { return ComponentRange(model, box); }
    // The three texts; blank while the target's colour differs among the selected objects.
    [[nodiscard]] std::array<std::string, 3> GetNumberTexts() const;
    [[nodiscard]] std::array<int, 3> GetNumbers() const { return numbers; }
    // A typed number recomputes the target's colour from the three boxes and makes it solid. Text that
    // is not a number changes nothing and returns false; numbers past the box's range are held to it.
    bool TypeNumber(int box, std::string_view text);

    // The pen width: 0 .. 3, or -1 when none of them fits.
    [[nodiscard]] int GetWidthIndex() const { return widthIndex; }
    // Chooses a width; a line that was none becomes solid.
    void ChooseWidth(int index);

    // Writes what the user changed to every selected path (fill, line, width) and text (the fill colour
    // is its colour) as one modify step; false when nothing changed.
    bool ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection) const;
    // Writes the values into the new-object style (the new-text colour when the page edits it).
    void ApplyToDefaults(CNewObjectStyle& defaults) const;
    // Keeps the chosen model for the run and in the preferences.
    void StoreModel() const;

private:
    struct CValue {
        std::optional<uint32_t> color; // none while the objects differ
        int style = 0;                 // solid, none or kMixed
        bool changed = false;
    };
    [[nodiscard]] const CValue& Value(Target t) const { return t == Target::Fill ? fill : line; }
    [[nodiscard]] CValue& Value(Target t) { return t == Target::Fill ? fill : line; }
    [[nodiscard]] int SolidStyle(Target t) const { return t == Target::Fill ? kFillSolid : kLineSolid; }
    [[nodiscard]] int NoneStyle(Target t) const { return t == Target::Fill ? kFillNone : kLineNone; }
    // The number boxes show the target's colour (zeros while it is mixed).
    void ShowTargetNumbers();
    void SetTargetColor(uint32_t color);

    CPropertySheetState& state;
    CValue fill;
    CValue line;
    Target target = Target::Fill;
    bool linePartShown = true;
    bool textColor = false;
    bool setMode = false;
    ColorModel model = ColorModel::Rgb;
    std::array<int, 3> numbers{};
    int widthIndex = 0;
    bool widthChanged = false;
};

} // namespace pq
