#include "app/SizePage.h"

#include "app/MeasurementUnits.h"
#include "app/SelectionEdit.h"
#include "geometry/Numeric.h"

#include <algorithm>
#include <cmath>

namespace pq {

void CSizePage::Init(const CRectF& bounds, int measurementUnit, bool paths) {
    unit = measurementUnit;
    onlyPaths = paths;
    const CRectF box = bounds.IsEmpty() ? CRectF() : bounds;
    centre = box.Center();
    widthText = FormatLength(box.Width(), unit);
    heightText = FormatLength(box.Height(), unit);
    // The old lengths are the ones shown, so that an untouched length scales by exactly 1.
    oldWidth = ParseTypedNumber(widthText).value_or(0.0);
    oldHeight = ParseTypedNumber(heightText).value_or(0.0);
    widthPercentText = heightPercentText = "100";
    rotationText = "0";
    flipHorizontal = flipVertical = false;
    keepAspect = true;
}

std::string_view CSizePage::GetNote() const {
    return onlyPaths ? std::string_view() : "Texts and pictures are sized with the handles of the select tool.";
}

std::string CSizePage::GetWidthLabel() const {
    return "Width(" + std::string(UnitName(unit)) + "):";
}

std::string CSizePage::GetHeightLabel() const {
    return "Height(" + std::string(UnitName(unit)) + "):";
}

void CSizePage::EditWidth(std::string text) {
    EditLength(Axis::Width, std::move(text));
}

void CSizePage::EditHeight(std::string text) {
    EditLength(Axis::Height, std::move(text));
}

void CSizePage::EditWidthPercent(std::string text) {
    EditPercent(Axis::Width, std::move(text));
}

void CSizePage::EditHeightPercent(std::string text) {
    EditPercent(Axis::Height, std::move(text));
}

void CSizePage::EditLength(Axis axis, std::string text) {
    if (!onlyPaths)
        return;
    const std::optional<double> length = ParseTypedNumber(text);
    LengthText(axis) = std::move(text);
    if (!length || Old(axis) == 0.0)
        return;
    const double ratio = *length / Old(axis);
    PercentText(axis) = std::to_string(RoundHalfAway(ratio * 100.0));
    if (keepAspect) {
        PercentText(Other(axis)) = PercentText(axis);
        SetLength(Other(axis), Old(Other(axis)) * ratio);
    }
}

void CSizePage::EditPercent(Axis axis, std::string text) {
    if (!onlyPaths)
        return;
    const std::optional<int> typed = ParseTypedInteger(text);
    PercentText(axis) = std::move(text);
    if (!typed)
        return;
    const int percent = std::clamp(*typed, kMinPercent, kMaxPercent);
    SetLength(axis, Old(axis) * percent / 100.0);
    if (keepAspect) {
        PercentText(Other(axis)) = std::to_string(percent);
        SetLength(Other(axis), Old(Other(axis)) * percent / 100.0);
    }
}

void CSizePage::SetLength(Axis axis, double value) {
    LengthText(axis) = FormatNumber(value, UnitPrecision(unit));
}

std::optional<CTransform> CSizePage::GetTransform() const {
    if (!onlyPaths)
        return std::nullopt;
    // Below one displayed unit a scale factor would come from digits the page does not show.
    if (std::trunc(oldWidth) == 0.0 || std::trunc(oldHeight) == 0.0)
        return std::nullopt;
    const double newWidth = ParseTypedNumber(widthText).value_or(oldWidth);
    const double newHeight = ParseTypedNumber(heightText).value_or(oldHeight);
    if (std::fabs(newWidth) > kMaxLength || std::fabs(newHeight) > kMaxLength)
        return std::nullopt;
    // A length that shows as 0 would flatten the selection to a line, beyond any later scaling back.
    const double smallest = 0.5 * std::pow(10.0, -UnitPrecision(unit));
    if (std::fabs(newWidth) < smallest || std::fabs(newHeight) < smallest)
        return std::nullopt;
    float sx = static_cast<float>(newWidth / oldWidth);
    float sy = static_cast<float>(newHeight / oldHeight);
    if (flipHorizontal)
        sx = -sx;
    if (flipVertical)
        sy = -sy;
    const int degrees = ParseTypedInteger(rotationText).value_or(0) % 360;
    if (sx == 1.0f && sy == 1.0f && degrees == 0)
        return std::nullopt;
    // Effects in order: centre to the origin, rotate, scale, back to the centre. CTransform applies the
    // operation requested last first.
    CTransform transform;
    transform.Translate(-centre.x, -centre.y, 0.0f);
    transform.Scale(sx, sy, 1.0f);
    transform.Rotate(static_cast<float>(degrees * kRadiansPerDegree));
    transform.Translate(centre.x, centre.y, 0.0f);
    return transform;
}

bool CSizePage::ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder,
                                 std::span<const int> selection) const {
    const std::optional<CTransform> transform = GetTransform();
    return transform && ApplyTransformStep(drawing, recorder, selection, *transform);
}

} // namespace pq
