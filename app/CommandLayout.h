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
    // The letter that picks the entry from the keyboard while its menu is open (Alt+letter on the menu
    // bar); 0 for none. It is a letter of text.
    char mnemonic = 0;

    static CMenuEntry Command(int id, Check check = Check::None, char mnemonic = 0);
    static CMenuEntry Separator();
    static CMenuEntry Popup(std::string_view text, std::vector<CMenuEntry> items, char mnemonic = 0);
};

struct CMenu {
    std::string title;
    std::vector<CMenuEntry> items;
    char mnemonic = 0;
};

// The menu bar: File, Edit, View, Tools and Help, with the Send, Joining, Grouping, Order and Align
// pop-ups in place. The View menu also carries the zoom and page commands of the tool bar's buttons.
[[nodiscard]] std::vector<CMenu> MainMenuBar();

// The text a menu shows, with "&" before the mnemonic letter (its first occurrence, the same case
// preferred); text that already names its mnemonic ("E&xit") is kept as it is.
[[nodiscard]] std::string MnemonicLabel(std::string_view text, char mnemonic);

// True when some command of the entries (pop-ups included) is enabled: a pop-up whose commands are all
// greyed is greyed itself.
template <typename IsEnabled>
[[nodiscard]] bool AnyCommandEnabled(const std::vector<CMenuEntry>& items, const IsEnabled& isEnabled) {
    for (const CMenuEntry& item : items) {
        if ((item.kind == CMenuEntry::Kind::Command && isEnabled(item.id)) ||
            (item.kind == CMenuEntry::Kind::Popup && AnyCommandEnabled(item.items, isEnabled)))
            return true;
    }
    return false;
}

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
    // Plus and Minus are the characters, on the main keys or the keypad, whatever Shift it takes to type
    // them; Digit is a digit key, main or keypad.
    enum class Key {
        Letter,
        Delete,
        Left,
        Right,
        Up,
        Down,
        Escape,
        Plus,
        Minus,
        Digit,
        PageUp,
        PageDown,
        Home,
        End,
        F1
    };
    Key key = Key::Letter;
    char letter = 0; // upper case for Key::Letter, '0' .. '9' for Key::Digit
    bool control = false;
    int id = 0;
    bool shift = false;
};

[[nodiscard]] const std::vector<CAccelerator>& Accelerators();
// The accelerator of a command, as menus show it ("Ctrl+N", "Ctrl+Shift+G", "Del", "S"); empty when it
// has none.
[[nodiscard]] std::string AcceleratorText(int id);
// The command a key press runs with these modifiers (letters in either case), or 0. Shift counts: Shift+S
// is not S. For Plus and Minus Shift is not asked: typing "+" takes it on many keyboards.
[[nodiscard]] int AcceleratorCommand(CAccelerator::Key key, char letter, bool control, bool shift);

// Every command id in a list of menu entries, pop-ups included, in menu order.
[[nodiscard]] std::vector<int> CommandIdsIn(const std::vector<CMenuEntry>& items);

} // namespace pq
