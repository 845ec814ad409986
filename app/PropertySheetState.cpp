#include "app/PropertySheetState.h"

#include "document/PreferenceStore.h"

namespace pq {

CPropertySheetState::CPropertySheetState(IPreferenceStore* preferences, std::string customPalettePath)
    : preferences(preferences), palettePath(std::move(customPalettePath)) {
    if (preferences != nullptr &&
        preferences->ReadInt(kColorModelName, 0) == static_cast<int>(ColorModel::Hls))
        colorModel = ColorModel::Hls;
}

void CPropertySheetState::StoreColorModel(ColorModel model) {
    if (model == colorModel && (preferences == nullptr || preferences->FindInt(kColorModelName)))
        return;
    colorModel = model;
    if (preferences != nullptr)
        preferences->WriteInt(kColorModelName, static_cast<int>(model));
}

const CPalette& CPropertySheetState::GetCustomPalette() {
    if (!paletteLoaded) {
        customPalette = palettePath.empty() ? CustomPaletteStart() : LoadCustomPalette(palettePath);
        paletteLoaded = true;
    }
    return customPalette;
}

void CPropertySheetState::SetCustomColor(int index, uint32_t color) {
    if (index < 0 || index >= kPaletteSize)
        return;
    (void)GetCustomPalette();
    color &= 0xFFFFFF;
    if (customPalette[static_cast<std::size_t>(index)] == color)
        return;
    customPalette[static_cast<std::size_t>(index)] = color;
    paletteChanged = true;
}

bool CPropertySheetState::SaveCustomPalette(std::string& message) {
    if (!paletteChanged || palettePath.empty())
        return true;
    if (!pq::SaveCustomPalette(palettePath, customPalette, message))
        return false;
    paletteChanged = false;
    return true;
}

} // namespace pq
