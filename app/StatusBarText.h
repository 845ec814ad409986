#pragma once

#include "geometry/PointF.h"
#include "ui/tools/Tool.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// The fields of the editor's status bar, left to right: the wide hint, then the pointer's place, the zoom
// and the page.
enum class StatusField { Hint = 0, Position = 1, Zoom = 2, Page = 3 };
inline constexpr int kStatusFieldCount = 4;

// The pointer's place on the page in a measurement unit (app/MeasurementUnits.h), measured from the
// page's top-left corner, x to the right and y down: "12.50, 3.20 cm". An index outside the unit table
// shows millimetres.
[[nodiscard]] std::string PointerPositionText(CPointF documentPoint, float pageWidth, float pageHeight,
                                              int unit);
// The zoom as a percentage of the 1:1 scale: "100%", "141%", "3.5%", "0.026%" (two significant digits
// below 10%).
[[nodiscard]] std::string ZoomPercentText(double scale, double oneToOneScale);
// As wide as the widest zoom text the view's scales give ("26458333%" at the largest): the zoom field is
// sized by it, so no zoom is cut short.
inline constexpr std::string_view kWidestZoomText = "88888888%";
// "page 2 of 6", from a page index counted from 0.
[[nodiscard]] std::string PageOfText(int page, int pageCount);
// A one-line hint on how to use a tool.
[[nodiscard]] std::string_view ToolHint(ToolKind kind);
// What a document of several pages says when it opens; empty for a single page.
[[nodiscard]] std::string MultiPageNotice(int pageCount);

// What the status bar shows. The frame feeds it the view's state; each setter says whether its field's
// text changed, so the frame only touches fields that did. A notice takes the hint field until the tool
// or the page changes.
class CStatusBarText {
public:
    // The pointer over the drawing, or nothing when it left the window.
    bool SetPointer(std::optional<CPointF> documentPoint, float pageWidth, float pageHeight, int unit);
    bool SetZoom(double scale, double oneToOneScale);
    bool SetPage(int page, int pageCount);
    bool SetTool(ToolKind kind);
    bool ShowNotice(std::string text);

    [[nodiscard]] const std::string& Text(StatusField field) const {
        return texts[static_cast<std::size_t>(field)];
    }

private:
    bool Set(StatusField field, std::string text);
    bool ShowHint();

    std::array<std::string, kStatusFieldCount> texts;
    std::optional<ToolKind> tool;
    int page = -1;
    std::string notice;
};

} // namespace pq
