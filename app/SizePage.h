#pragma once

#include "geometry/RectF.h"
#include "geometry/Transform.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pq {

class CDrawing;
class CUndoRecorder;

// The size page of the property sheet: the width and height of the selection in the measurement unit,
// as lengths and as percentages, flips and a rotation, applied as one transform about the selection's
// centre. It changes paths only: a selection with a text or a picture is left alone.
class CSizePage {
public:
    static constexpr int kMinPercent = 10;
    static constexpr int kMaxPercent = 400;
    // The largest width or height accepted, in the displayed unit.
    static constexpr double kMaxLength = 30000.0;
    static constexpr double kRadiansPerDegree = -0.017453292; // positive degrees turn anticlockwise

    // bounds: the union of the selected objects' bounds; unit: a measurement unit index.
    void Init(const CRectF& bounds, int unit, bool onlyPaths);

    // False when a text or a picture is selected: the page then only shows the size, and its fields
    // are read-only, so that no edit is taken that OK would not apply.
    [[nodiscard]] bool CanChange() const { return onlyPaths; }
    // What the page says when it cannot change the selection; empty when it can.
    [[nodiscard]] std::string_view GetNote() const;

    [[nodiscard]] std::string GetWidthLabel() const;
    [[nodiscard]] std::string GetHeightLabel() const;
    [[nodiscard]] const std::string& GetWidthText() const { return widthText; }
    [[nodiscard]] const std::string& GetHeightText() const { return heightText; }
    [[nodiscard]] const std::string& GetWidthPercentText() const { return widthPercentText; }
    [[nodiscard]] const std::string& GetHeightPercentText() const { return heightPercentText; }
    [[nodiscard]] const std::string& GetRotationText() const { return rotationText; }
    [[nodiscard]] bool GetFlipHorizontal() const { return flipHorizontal; }
    [[nodiscard]] bool GetFlipVertical() const { return flipVertical; }
    [[nodiscard]] bool GetKeepAspect() const { return keepAspect; }

    // A typed length recomputes its percentage; a typed percentage (held to 10 .. 400) recomputes its
    // length. With the aspect ratio kept the other dimension follows. The typed text stays as typed; a
    // text that is not a number recomputes nothing. A page that cannot change the selection takes no
    // edit (these and the setters below).
    void EditWidth(std::string text);
    void EditHeight(std::string text);
    void EditWidthPercent(std::string text);
    void EditHeightPercent(std::string text);
    void SetRotationText(std::string text) {
        if (onlyPaths)
            rotationText = std::move(text);
    }
    void SetFlipHorizontal(bool on) { flipHorizontal = onlyPaths && on; }
    void SetFlipVertical(bool on) { flipVertical = onlyPaths && on; }
    void SetKeepAspect(bool on) { keepAspect = !onlyPaths || on; }

    // The transform the page stands for, or nothing when it would do nothing or may not: a text or a
    // picture is selected, the old width or height is below one displayed unit, a new one is larger
    // than 30000 units or shows as 0, or nothing was changed. Texts that are not numbers keep the old
    // values.
    [[nodiscard]] std::optional<CTransform> GetTransform() const;
    // Transforms the selected objects as one transform step; false when nothing changed.
    bool ApplyToSelection(CDrawing& drawing, CUndoRecorder& recorder, std::span<const int> selection) const;

private:
    enum class Axis { Width, Height };
    void EditLength(Axis axis, std::string text);
    void EditPercent(Axis axis, std::string text);
    void SetLength(Axis axis, double value);
    [[nodiscard]] double Old(Axis axis) const { return axis == Axis::Width ? oldWidth : oldHeight; }
    [[nodiscard]] std::string& LengthText(Axis axis) { return axis == Axis::Width ? widthText : heightText; }
    [[nodiscard]] std::string& PercentText(Axis axis) {
        return axis == Axis::Width ? widthPercentText : heightPercentText;
    }
    [[nodiscard]] static Axis Other(Axis axis) { return axis == Axis::Width ? Axis::Height : Axis::Width; }

    int unit = 0;
    bool onlyPaths = true;
    CPointF centre;
    // The old width and height as shown, in the unit.
    double oldWidth = 0.0;
    double oldHeight = 0.0;
    std::string widthText;
    std::string heightText;
    std::string widthPercentText = "100";
    std::string heightPercentText = "100";
    std::string rotationText = "0";
    bool flipHorizontal = false;
    bool flipVertical = false;
    bool keepAspect = true;
};

} // namespace pq
