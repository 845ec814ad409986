#pragma once

#include "app/CommandLayout.h"
#include "geometry/Rect.h"

#include <optional>
#include <vector>

namespace pq {

// The height of one ordinary pop-up menu item: the pop-up font's height (its magnitude) plus 7 pixels,
// or 19 pixels when the font height is unknown.
[[nodiscard]] int PopupItemHeight(std::optional<int> fontHeight);

// A font height given in hundredths of a point, in pixels at the screen's pixels per inch.
[[nodiscard]] int PointsToPixels(int hundredthsOfPoint, int pixelsPerInch);

// The estimated height of a pop-up menu: itemHeight for each item, itemHeight / 2 + 1 for each separator.
[[nodiscard]] int EstimateMenuHeight(const std::vector<CMenuEntry>& items, int itemHeight);
[[nodiscard]] int EstimateMenuHeight(int itemCount, int separatorCount, int itemHeight);

// Where a pop-up menu that opens from a toolbar button puts its top-left corner: at the button's left
// edge, its bottom 2 pixels above the button's top.
[[nodiscard]] CPoint PopupAboveButton(const CRect& button, int menuHeight);

} // namespace pq
