#pragma once

#include "app/ColorModels.h"
#include "app/ColorPalettes.h"

#include <string>
#include <string_view>

namespace pq {

class IPreferenceStore;

// What the object property sheet keeps from one showing to the next for the rest of the run: which
// palette shows, the custom palette (read from its file when first needed), and the colour model, which
// is also kept as the "ColorModel" preference.
class CPropertySheetState {
public:
    static constexpr std::string_view kColorModelName = "ColorModel";

    // Either may be absent: no preferences keeps the model for the run only; an empty palette path
    // keeps the custom palette in memory.
    CPropertySheetState(IPreferenceStore* preferences, std::string customPalettePath);

    [[nodiscard]] ColorModel GetColorModel() const { return colorModel; }
    // Remembers the model and writes the preference when it changed.
    void StoreColorModel(ColorModel model);

    [[nodiscard]] bool GetShowCustom() const { return showCustom; }
    void SetShowCustom(bool custom) { showCustom = custom; }

    // The custom palette; the first call reads the file.
    [[nodiscard]] const CPalette& GetCustomPalette();
    // Stores a colour into a cell of the custom palette; the file is written when the sheet closes.
    void SetCustomColor(int index, uint32_t color);
    // True while the custom palette holds changes its file does not.
    [[nodiscard]] bool HasUnsavedPalette() const { return paletteChanged; }
    // Writes the custom palette back when it changed since the last write; false with a message when
    // the file could not be written (the palette stays changed, and is tried again next time).
    bool SaveCustomPalette(std::string& message);

    [[nodiscard]] const std::string& GetCustomPalettePath() const { return palettePath; }

private:
    IPreferenceStore* preferences = nullptr;
    std::string palettePath;
    ColorModel colorModel = ColorModel::Rgb;
    bool showCustom = false;
    bool paletteLoaded = false;
    bool paletteChanged = false;
    CPalette customPalette{};
};

} // namespace pq
