#include "app/ColorPage.h"

#include "app/MeasurementUnits.h"
#include "app/PropertySheetState.h"
#include "app/SelectionEdit.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "ui/view/NewObjectStyle.h"

#include <algorithm>
#include <vector>

namespace pq {

namespace {

// The value all items agree on, or nothing.
template <class T, class Items, class Get> std::optional<T> Common(const Items& items, Get get) {
    std::optional<T> value;
    for (const auto* item : items) {
        const T v = get(*item);
        if (value && *value != v)
            return std::nullopt;
        value = v;
    }
    return value;
}

int WidthIndexOf(int width) {
    const int shown = std::min(width, CColorPage::kMaxShownWidth);
    if (shown < 0 || shown % CColorPage::kWidthStep != 0)
        return -1;
    return shown / CColorPage::kWidthStep;
}

} // namespace

CColorPage::CColorPage(CPropertySheetState& state) : state(state), model(state.GetColorModel()) {}

void CColorPage::Init(const CDrawing* drawing, std::span<const int> selection,
                      const CNewObjectStyle& defaults, bool textColorDefault) {
    textColor = false;
    target = Target::Fill;
    setMode = false;
    widthChanged = false;
    fill = {};
    line = {};
    const std::vector<CGraphicObject*> objects = SelectedObjects(drawing, selection);
    if (selection.empty()) {
        textColor = textColorDefault;
        linePartShown = !textColor;
        if (textColor) {
            fill = {defaults.textColor, kFillSolid, false};
        } else {
            fill = {defaults.brushColor, defaults.noFill == 1 ? kFillNone : kFillSolid, false};
            line = {defaults.penColor, defaults.penStyle == kLineNone ? kLineNone : kLineSolid, false};
        }
        widthIndex = WidthIndexOf(defaults.penWidth);
        ShowTargetNumbers();
        return;
    }
    std::vector<const CGraphicObject*> coloured;
    std::vector<const CPathShape*> paths;
    for (const CGraphicObject* object : objects) {
        if (const CPathShape* path = object->AsPath()) {
            paths.push_back(path);
            coloured.push_back(object);
        } else if (object->AsText() != nullptr) {
            coloured.push_back(object);
        }
    }
    linePartShown = !paths.empty();
    fill.color = Common<uint32_t>(coloured, [](const CGraphicObject& o) { return o.color & 0xFFFFFF; });
    fill.style = paths.empty()
                     ? kFillSolid
                     : Common<int>(paths, [](const CPathShape& p) { return p.brushStyle; }).value_or(kMixed);
    line.color = Common<uint32_t>(paths, [](const CPathShape& p) { return p.penColor & 0xFFFFFF; });
    line.style = Common<int>(paths, [](const CPathShape& p) { return p.penStyle; }).value_or(kMixed);
    const std::optional<int> width =
        Common<int>(paths, [](const CPathShape& p) { return WidthIndexOf(p.penWidth); });
    widthIndex = width.value_or(-1);
    ShowTargetNumbers();
}

void CColorPage::SetTarget(Target t) {
    if (t == Target::Line && !linePartShown)
        return;
    target = t;
    // "Set" stores the target's colour; a target without one cannot keep it on.
    setMode = setMode && CanSetMode();
    ShowTargetNumbers();
}

CColorPage::SwatchLook CColorPage::GetSwatchLook(Target t) const {
    const CValue& value = Value(t);
    if (value.style == NoneStyle(t))
        return SwatchLook::None;
    return !value.color || value.style == kMixed ? SwatchLook::Mixed : SwatchLook::Color;
}

bool CColorPage::IsCustomShown() const {
    return state.GetShowCustom();
}

void CColorPage::ShowCustom(bool custom) {
    state.SetShowCustom(custom);
}

const CPalette& CColorPage::GetShownPalette() const {
    return state.GetShowCustom() ? state.GetCustomPalette() : DefaultPalette();
}

bool CColorPage::CanSetMode() const {
    const CValue& value = Value(target);
    return value.style != NoneStyle(target) && value.color.has_value();
}

bool CColorPage::SetSetMode(bool on) {
    setMode = on && CanSetMode();
    return setMode;
}

void CColorPage::TapCell(int index) {
    if (index < 0 || index >= kPaletteSize)
        return;
    if (setMode) {
        if (const std::optional<uint32_t> color = Value(target).color) {
            state.SetCustomColor(index, *color);
            state.SetShowCustom(true);
        }
        return;
    }
    SetTargetColor(GetShownPalette()[static_cast<std::size_t>(index)]);
    ShowTargetNumbers();
}

bool CColorPage::CanSetNone() const {
    // Only paths have a line or a fill to leave out; a text's colour is always drawn.
    return linePartShown;
}

void CColorPage::SetNone() {
    if (!CanSetNone())
        return;
    CValue& value = Value(target);
    value.style = NoneStyle(target);
    value.changed = true;
    setMode = false;
}

void CColorPage::SetModel(ColorModel m) {
    model = m;
    ShowTargetNumbers();
}

std::array<std::string, 3> CColorPage::GetNumberTexts() const {
    std::array<std::string, 3> texts;
    if (!Value(target).color)
        return texts;
    for (std::size_t i = 0; i < 3; ++i)
        texts[i] = std::to_string(numbers[i]);
    return texts;
}

bool CColorPage::TypeNumber(int box, std::string_view text) {
    if (box < 0 || box > 2)
        return false;
    const std::optional<int> typed = ParseTypedInteger(text);
    if (!typed)
        return false;
    const CComponentRange range = GetRange(box);
    numbers[static_cast<std::size_t>(box)] = std::clamp(*typed, range.minimum, range.maximum);
    SetTargetColor(ColorFromComponents(numbers, model));
    return true;
}

void CColorPage::ChooseWidth(int index) {
    if (index < 0 || index >= kWidthCount || !linePartShown)
        return;
    widthIndex = index;
    widthChanged = true;
    if (line.style == kLineNone || line.style == kMixed) {
        line.style = kLineSolid;
        line.changed = true;
    }
}

void CColorPage::ShowTargetNumbers() {
    numbers = ColorComponents(Value(target).color.value_or(0), model);
}

void CColorPage::SetTargetColor(uint32_t color) {
    CValue& value = Value(target);
    value.color = color & 0xFFFFFF;
    value.style = SolidStyle(target);
    value.changed = true;
}

bool CColorPage::ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder,
                                  std::span<const int> selection) const {
    const CValue fillValue = fill;
    const CValue lineValue = line;
    const int width = widthChanged && widthIndex >= 0 ? widthIndex * kWidthStep : -1;
    return ApplyModifyStep(drawing, recorder, selection, [&](CGraphicObject& object) {
        if (CPathShape* path = object.AsPath()) {
            if (fillValue.changed) {
                if (fillValue.color)
                    object.color = *fillValue.color;
                if (fillValue.style != kMixed)
                    path->brushStyle = fillValue.style;
            }
            if (lineValue.changed) {
                if (lineValue.color)
                    path->penColor = *lineValue.color;
                if (lineValue.style != kMixed)
                    path->penStyle = lineValue.style;
            }
            if (width >= 0)
                path->penWidth = width;
        } else if (object.AsText() != nullptr && fillValue.changed && fillValue.color) {
            object.color = *fillValue.color;
        }
    });
}

void CColorPage::ApplyToDefaults(CNewObjectStyle& defaults) const {
    if (textColor) {
        if (fill.changed && fill.color)
            defaults.textColor = *fill.color;
        return;
    }
    if (fill.changed) {
        if (fill.color)
            defaults.brushColor = *fill.color;
        defaults.noFill = fill.style == kFillNone ? 1 : 0;
    }
    if (line.changed) {
        if (line.color)
            defaults.penColor = *line.color;
        defaults.penStyle = line.style == kLineNone ? kLineNone : kLineSolid;
    }
    if (widthChanged && widthIndex >= 0)
        defaults.penWidth = widthIndex * kWidthStep;
}

void CColorPage::StoreModel() const {
    state.StoreColorModel(model);
}

} // namespace pq
