#include "ui/view/PqxView.h"

#include "document/PreferenceStore.h"
#include "geometry/Numeric.h"

#include <algorithm>

namespace pq {

namespace {

// Floats are kept as integers of a hundredth.
float ReadHundredths(const IPreferenceStore& store, std::string_view name, float fallback) {
    const std::optional<int32_t> stored = store.FindInt(name);
    return stored ? static_cast<float>(*stored) / 100.0f : fallback;
}

void WriteHundredths(IPreferenceStore& store, std::string_view name, float value) {
    store.WriteInt(name, RoundHalfAway(static_cast<double>(value) * 100.0));
}

uint32_t ReadColor(const IPreferenceStore& store, std::string_view name, uint32_t fallback) {
    const std::optional<int32_t> stored = store.FindInt(name);
    return stored ? static_cast<uint32_t>(*stored) & 0x00FFFFFF : fallback;
}

void WriteColor(IPreferenceStore& store, std::string_view name, uint32_t color) {
    store.WriteInt(name, static_cast<int32_t>(color));
}

float ClampSpacing(float v, float low, float high) {
    // A NaN from a damaged value falls back to the low end rather than passing the clamp.
    return v >= low ? std::min(v, high) : low;
}

} // namespace

void CPqxView::SetGridSpacing(float spacing) {
    gridSpacing = ClampSpacing(spacing, kMinGridSpacing, kMaxGridSpacing);
}

void CPqxView::SetSnapSpacing(float spacing) {
    snapSpacing = ClampSpacing(spacing, kMinSnapSpacing, kMaxSnapSpacing);
}

void CPqxView::ReadPreferences() {
    if (preferences == nullptr)
        return;
    const IPreferenceStore& store = *preferences;
    showGrid = store.ReadInt(kShowGridName, showGrid ? 1 : 0) != 0;
    SetGridSpacing(ReadHundredths(store, kGridSpacingName, gridSpacing));
    SetSnapSpacing(ReadHundredths(store, kSnapSpacingName, snapSpacing));
    antiAlias = store.ReadInt(kAntiAliasName, antiAlias ? 1 : 0) != 0;
    imageResolution = store.ReadInt(kImageResolutionName, imageResolution);
    if (imageResolution < 1)
        imageResolution = kDefaultImageResolution;
    showScrollBars = store.ReadInt(kShowScrollBarsName, showScrollBars ? 1 : 0) != 0;
    showPage = store.ReadInt(kShowPageName, showPage ? 1 : 0) != 0;
    smoothEdges = store.ReadInt(kSmoothEdgesName, smoothEdges ? 1 : 0) != 0;
    measurementUnit = store.ReadInt(kMeasurementUnitName, measurementUnit);
    defaults.penColor = ReadColor(store, kPenColorName, defaults.penColor);
    defaults.brushColor = ReadColor(store, kBrushColorName, defaults.brushColor);
    defaults.textColor = ReadColor(store, kTextColorName, defaults.textColor);
    defaults.textType = store.ReadInt(kTextTypeName, defaults.textType);
    if (defaults.textType != 1 && defaults.textType != 2)
        defaults.textType = 1;
    defaults.textHeight = ReadHundredths(store, kTextHeightName, defaults.textHeight);
    if (!(defaults.textHeight >= CNewObjectStyle::kMinTextHeight))
        defaults.textHeight = CNewObjectStyle::kMinTextHeight;
}

void CPqxView::WritePreferences() {
    if (preferences == nullptr)
        return;
    IPreferenceStore& store = *preferences;
    SetGridSpacing(gridSpacing);
    SetSnapSpacing(snapSpacing);
    store.WriteInt(kShowGridName, showGrid ? 1 : 0);
    WriteHundredths(store, kGridSpacingName, gridSpacing);
    WriteHundredths(store, kSnapSpacingName, snapSpacing);
    store.WriteInt(kAntiAliasName, antiAlias ? 1 : 0);
    store.WriteInt(kImageResolutionName, imageResolution);
    store.WriteInt(kShowScrollBarsName, showScrollBars ? 1 : 0);
    store.WriteInt(kShowPageName, showPage ? 1 : 0);
    store.WriteInt(kSmoothEdgesName, smoothEdges ? 1 : 0);
    store.WriteInt(kMeasurementUnitName, measurementUnit);
    WriteColor(store, kPenColorName, defaults.penColor);
    WriteColor(store, kBrushColorName, defaults.brushColor);
    WriteColor(store, kTextColorName, defaults.textColor);
    store.WriteInt(kTextTypeName, defaults.textType);
    WriteHundredths(store, kTextHeightName, defaults.textHeight);
}

} // namespace pq
