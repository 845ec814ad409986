#include "app/StatusBarText.h"

#include "app/MeasurementUnits.h"

#include <cmath>
#include <cstdio>

namespace pq {

namespace {

// "-0.00" (a point a hair left of the page's edge) reads as "0.00".
std::string WithoutNegativeZero(std::string text) {
    if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace

std::string PointerPositionText(CPointF documentPoint, float pageWidth, float pageHeight, int unit) {
    if (UnitName(unit).empty())
        unit = static_cast<int>(MeasurementUnit::Millimetre);
    const double x = static_cast<double>(documentPoint.x) + pageWidth / 2.0;
    const double y = static_cast<double>(documentPoint.y) + pageHeight / 2.0;
    if (!std::isfinite(x) || !std::isfinite(y))
        return {};
    return WithoutNegativeZero(FormatLength(x, unit)) + ", " + WithoutNegativeZero(FormatLength(y, unit)) +
           " " + std::string(UnitName(unit));
}

std::string ZoomPercentText(double scale, double oneToOneScale) {
    const double percent = scale / oneToOneScale * 100.0;
    if (!std::isfinite(percent) || percent <= 0.0)
        return {};
    // Whole percents from 10% up; below that two significant digits, at most six decimals.
    int decimals = 0;
    if (percent < 9.95)
        decimals = std::min(6, 1 - static_cast<int>(std::floor(std::log10(percent))));
    char text[64];
    std::snprintf(text, sizeof text, "%.*f%%", decimals, percent);
    return text;
}

std::string PageOfText(int page, int pageCount) {
    if (pageCount < 1)
        return {};
    return "page " + std::to_string(page + 1) + " of " + std::to_string(pageCount);
}

std::string_view ToolHint(ToolKind kind) {
    switch (kind) {
    case ToolKind::Select:
        return "Select: click an object or drag round several; drag to move, Ctrl+drag copies, handles scale";
    case ToolKind::Node:
        return "Shape: click a curve to show its nodes; drag a node or its handles to reshape it";
    case ToolKind::Freehand:
        return "Draw: drag to draw a freehand line";
    case ToolKind::Bezier:
        return "Bezier: click for a corner, drag for a smooth node; double-click to finish the curve";
    case ToolKind::Line:
        return "Line: drag from one end to the other";
    case ToolKind::Rectangle:
    case ToolKind::Box14:
        return "Rectangle: drag from one corner to the opposite one";
    case ToolKind::Ellipse:
        return "Ellipse: drag across the box the ellipse fills";
    case ToolKind::Text:
        return "Text: click where the text goes";
    case ToolKind::Zoom:
        return "Zoom: drag round an area to fill the window, click to zoom in, double-click to zoom out";
    case ToolKind::Pan:
        return "Pan: drag to move the page; the wheel scrolls, Ctrl+wheel zooms";
    }
    return {};
}

std::string MultiPageNotice(int pageCount) {
    if (pageCount < 2)
        return {};
    return "This document has " + std::to_string(pageCount) +
           " pages: Page Down and Page Up move between them";
}

bool CStatusBarText::Set(StatusField field, std::string text) {
    std::string& shown = texts[static_cast<std::size_t>(field)];
    if (shown == text)
        return false;
    shown = std::move(text);
    return true;
}

bool CStatusBarText::ShowHint() {
    if (!notice.empty())
        return Set(StatusField::Hint, notice);
    return Set(StatusField::Hint, tool ? std::string(ToolHint(*tool)) : std::string());
}

bool CStatusBarText::SetPointer(std::optional<CPointF> documentPoint, float pageWidth, float pageHeight,
                                int unit) {
    return Set(StatusField::Position, documentPoint
                                          ? PointerPositionText(*documentPoint, pageWidth, pageHeight, unit)
                                          : std::string());
}

bool CStatusBarText::SetZoom(double scale, double oneToOneScale) {
    return Set(StatusField::Zoom, ZoomPercentText(scale, oneToOneScale));
}

bool CStatusBarText::SetPage(int newPage, int pageCount) {
    bool changed = Set(StatusField::Page, PageOfText(newPage, pageCount));
    if (newPage != page) {
        // The user found the other pages: the notice has done its work.
        if (page >= 0)
            notice.clear();
        page = newPage;
        changed = ShowHint() || changed;
    }
    return changed;
}

bool CStatusBarText::SetTool(ToolKind kind) {
    if (tool && *tool != kind)
        notice.clear();
    tool = kind;
    return ShowHint();
}

bool CStatusBarText::ShowNotice(std::string text) {
    notice = std::move(text);
    return ShowHint();
}

} // namespace pq
