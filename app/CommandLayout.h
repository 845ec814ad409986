#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pq {

// One entry of a menu: a command, a separator or a pop-up holding further entries.
struct CMenuEntry {
    enum class Kind { Command, Separator, Popup };
    // How a command shows its check mark.
    enum class Check { None, Mark, Radio };

    Kind kind = Kind::Command;
    int id = 0;
    std::string text;
    Check check = Check::None;
    std::vector<CMenuEntry> items; // the pop-up's entries

    static CMenuEntry Command(int id, Check check = Check::None);
    static CMenuEntry Separator();
    static CMenuEntry Popup(std::string_view text, std::vector<CMenuEntry> items);
};

struct CMenu {
    std::string title;
    std::vector<CMenuEntry> items;
};

// The menu bar: File, Edit, View and Tools, with the Send, Joining, Grouping, Order and Align pop-ups in
// place.
[[nodiscard]] std::vector<CMenu> MainMenuBar();

// The drop-down of the Color button.
[[nodiscard]] std::vector<CMenuEntry> ColorMenu();

// One button of a toolbar; id 0 is a separator.
struct CToolButton {
    int id = 0;
    std::string_view tooltip;
    bool dropDown = false; // the button also has a drop-down arrow
    bool toggle = false;   // the button shows a checked state
    [[nodiscard]] bool IsSeparator() const { return id == 0; }
};

// The command bar's buttons beside the menus: Select, Shape, Pan and Zoom.
[[nodiscard]] const std::vector<CToolButton>& CommandBarButtons();
// The bottom bars: 1 drawing, 2 text, 3 pages. The pages bar holds the page indicator
// (cmd::PageIndicator) between Previous Page and Next Page.
[[nodiscard]] const std::vector<CToolButton>& BottomBarButtons(int bar);

// The keys that run commands. The frame catches them wherever the focus is in its window, except in a
// text field, which keeps its keys.
struct CAccelerator {
    enum class Key { Letter, Delete, Left, Right, Up, Down, Escape };
    Key key = Key::Letter;
    char letter = 0; // upper case, for Key::Letter
    bool control = false;
    int id = 0;
    bool shift = false;
};

[[nodiscard]] const std::vector<CAccelerator>& Accelerators();
// The accelerator of a command, as menus show it ("Ctrl+N", "Ctrl+Shift+G", "Del", "S"); empty when it
// has none.
[[nodiscard]] std::string AcceleratorText(int id);
// The command a key press runs with these modifiers (letters in either case), or 0. Shift counts: Shift+S
// is not S.
[[nodiscard]] int AcceleratorCommand(CAccelerator::Key key, char letter, bool control, bool shift);

// Every command id in a list of menu entries, pop-ups included, in menu order.
[[nodiscard]] std::vector<int> CommandIdsIn(const std::vector<CMenuEntry>& items);

} // namespace pq
