#pragma once

#include "app/CommandLayout.h"
#include "platform/WindowHost.h"

#include <optional>
#include <span>
#include <vector>

class wxMenu;
class wxPoint;
class wxRect;
class wxWindow;

namespace pq {

// The height of a pop-up menu as the toolkit will draw it, in pixels; nothing where the toolkit cannot
// say before the menu shows.
[[nodiscard]] std::optional<int> MeasuredMenuHeight(wxMenu& menu);

// The height of a pop-up menu: measured where the toolkit allows, else estimated from the pop-up font
// (items at the font's height plus 7 pixels, separators at half that plus 1).
[[nodiscard]] int PopupMenuHeight(wxMenu& menu, int itemCount, int separatorCount);

// Fills a wx menu with pop-up items, greyed and checked as they say.
void AppendPopupItems(wxMenu& menu, std::span<const CMenuItem> items);

// Where a menu of that height opens above a button given in window's client pixels: its left edge at the
// button's, its last item 2 pixels above the button's top; below the button when there is no room above
// on the screen.
[[nodiscard]] wxPoint PopupPositionAboveButton(const wxWindow& window, const wxRect& button, int menuHeight);

} // namespace pq
