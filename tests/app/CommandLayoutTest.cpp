// The menus, toolbars and keys the shell builds from the command layout.

#include "app/CommandLayout.h"
#include "app/CommandIds.h"
#include "app/PopupPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <tuple>

namespace pq {
namespace {

const CMenuEntry* FindPopup(const std::vector<CMenuEntry>& items, std::string_view text) {
    for (const CMenuEntry& item : items) {
        if (item.kind == CMenuEntry::Kind::Popup && item.text == text)
            return &item;
    }
    return nullptr;
}

TEST(CommandLayout, MenuBarHoldsFileEditViewToolsHelpWithRuntimePopupsInTheFileAndEditMenus) {
    const std::vector<CMenu> bar = MainMenuBar();
    std::vector<std::string> titles;
    for (const CMenu& menu : bar)
        titles.push_back(menu.title);
    ASSERT_EQ(titles, (std::vector<std::string>{"File", "Edit", "View", "Tools", "Help"}));
    const CMenuEntry* send = FindPopup(bar[0].items, "Send");
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(CommandIdsIn(send->items), (std::vector<int>{cmd::kSendEmail, cmd::kSendFtp}));

    const CMenuEntry* align = FindPopup(bar[1].items, "Align");
    ASSERT_NE(align, nullptr);
    EXPECT_EQ(CommandIdsIn(align->items),
              (std::vector<int>{cmd::kAlignLeft, cmd::kAlignRight, cmd::kAlignCenter, cmd::kAlignTop,
                                cmd::kAlignMiddle, cmd::kAlignBottom}));
    for (std::string_view name : {"Joining", "Grouping", "Order"})
        EXPECT_NE(FindPopup(bar[1].items, name), nullptr) << name;
    EXPECT_EQ(FindPopup(bar[1].items, "Order")->items[0].text, "Bring to Front");

    // The Shape tool's node commands: the types, adding and deleting, splitting and closing.
    const CMenuEntry* node = FindPopup(bar[1].items, "Node");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(CommandIdsIn(node->items),
              (std::vector<int>{cmd::kNodeLine, cmd::kNodeCusp, cmd::kNodeSmooth, cmd::kNodeSymmetrical,
                                cmd::kNodeAdd, cmd::kNodeDelete, cmd::kNodeSplit, cmd::kNodeClose}));
}

TEST(CommandLayout, ToolsAreOneRunOfRadioItemsViewBarsAreRadioItemsAndTogglesCarryMarks) {
    // wx keeps one item of each uninterrupted run of radio items checked: the tools must form one run, or
    // a second run would always show a tool checked that is not current.
    const std::vector<CMenu> bar = MainMenuBar();
    const std::vector<CMenuEntry>& tools = bar[3].items;
    std::vector<int> radios;
    bool runEnded = false;
    for (const CMenuEntry& item : tools) {
        if (item.check == CMenuEntry::Check::Radio) {
            EXPECT_FALSE(runEnded) << item.text;
            radios.push_back(item.id);
        } else if (!radios.empty()) {
            runEnded = true;
        }
    }
    EXPECT_EQ(radios, (std::vector<int>{cmd::kToolSelect, cmd::kToolNode, cmd::kToolFreehand,
                                        cmd::kToolBezier, cmd::kToolLine, cmd::kToolRectangle,
                                        cmd::kToolEllipse, cmd::kToolText, cmd::kZoomArea, cmd::kToolPan}));

    for (const CMenuEntry& item : bar[2].items) {
        if (item.id == cmd::kDrawingBar || item.id == cmd::kTextBar || item.id == cmd::kPagesBar) {
            EXPECT_EQ(item.check, CMenuEntry::Check::Radio) << item.text;
        } else if (item.id == cmd::kToolbar || item.id == cmd::kGrid || item.id == cmd::kScrollBars ||
                   item.id == cmd::kSmoothEdges) {
            EXPECT_EQ(item.check, CMenuEntry::Check::Mark) << item.text;
        }
    }
}

// Each command's text and menu place, and that the menu bar shows each once, are in the command table's test.
TEST(CommandLayout, CommandsWithoutATextAreEmptyAndEveryCommandIsListedOnce) {
    EXPECT_EQ(CommandText(cmd::kFitDrawing), "");
    EXPECT_EQ(CommandText(12345), "");
    EXPECT_EQ(std::set<int>(AllCommands().begin(), AllCommands().end()).size(), AllCommands().size());
}

TEST(CommandLayout, BarsHoldTheirButtonsInOrder) {
    auto ids = [](const std::vector<CToolButton>& buttons) {
        std::vector<int> out;
        for (const CToolButton& b : buttons)
            out.push_back(b.id);
        return out;
    };
    EXPECT_EQ(ids(CommandBarButtons()),
              (std::vector<int>{cmd::kToolSelect, cmd::kToolNode, cmd::kToolPan, cmd::kToolZoomMenu}));
    EXPECT_EQ(ids(BottomBarButtons(1)),
              (std::vector<int>{cmd::kUndo, 0, cmd::kToolFreehand, cmd::kToolBezier, cmd::kToolLine,
                                cmd::kToolRectangle, cmd::kToolEllipse, 0, cmd::kLibrary, cmd::kToolText, 0,
                                cmd::kColor}));
    EXPECT_EQ(ids(BottomBarButtons(3)),
              (std::vector<int>{cmd::kPageMenu, 0, cmd::kFirstPage, cmd::kPreviousPage, cmd::kPageIndicator,
                                cmd::kNextPage, cmd::kLastPage}));
    EXPECT_TRUE(BottomBarButtons(1).back().dropDown);
    EXPECT_EQ(BottomBarButtons(2).back().tooltip, "Properties");
    EXPECT_EQ(BottomBarButtons(1)[2].tooltip, "Freehand");
}

TEST(CommandLayout, AcceleratorsNameTheirKeys) {
    const std::pair<int, const char*> keys[] = {
        {cmd::kZoomIn, "Ctrl++"},     {cmd::kZoomOut, "Ctrl+-"},    {cmd::kZoomOneToOne, "1"},
        {cmd::kFitSelection, "3"},    {cmd::kFitToWindow, "4"},     {cmd::kFitPage, "5"},
        {cmd::kNextPage, "PgDn"},     {cmd::kPreviousPage, "PgUp"}, {cmd::kFirstPage, "Ctrl+Home"},
        {cmd::kLastPage, "Ctrl+End"}, {cmd::kHelpContents, "F1"},   {cmd::kGoToPage, ""},
        {cmd::kExit, "Ctrl+Q"},       {cmd::kRedo, "Ctrl+Y"},       {cmd::kDelete, "Del"},
        {cmd::kScrollDown, "Down"},   {cmd::kFileSaveAs, ""},       {cmd::kUngroup, "Ctrl+Shift+G"},
        {cmd::kCancel, "Esc"},        {cmd::kToolNode, "N"}};
    for (const auto& [id, text] : keys)
        EXPECT_EQ(AcceleratorText(id), text) << id;
}

TEST(CommandLayout, KeysFindTheirCommandsWithExactModifiers) {
    using Key = CAccelerator::Key;
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 'G', true, false), cmd::kGroup);
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 'g', true, true), cmd::kUngroup);
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 'd', true, false), cmd::kDuplicate);
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 's', false, false), cmd::kToolSelect);
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 'S', true, false), cmd::kFileSave);
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 'S', false, true), 0);
    EXPECT_EQ(AcceleratorCommand(Key::Letter, 'Z', false, false), cmd::kZoomArea);
    EXPECT_EQ(AcceleratorCommand(Key::Letter, '1', false, false), 0);
    EXPECT_EQ(AcceleratorCommand(Key::Escape, 'S', false, false), cmd::kCancel);
    EXPECT_EQ(AcceleratorCommand(Key::Delete, 0, false, false), cmd::kDelete);
    EXPECT_EQ(AcceleratorCommand(Key::Left, 0, false, false), cmd::kScrollLeft);

    // Zoom: Ctrl and plain, and Shift does not matter for the characters that need it.
    EXPECT_EQ(AcceleratorCommand(Key::Plus, 0, true, false), cmd::kZoomIn);
    EXPECT_EQ(AcceleratorCommand(Key::Plus, 0, false, true), cmd::kZoomIn);
    EXPECT_EQ(AcceleratorCommand(Key::Minus, 0, true, true), cmd::kZoomOut);
    EXPECT_EQ(AcceleratorCommand(Key::Minus, 0, false, false), cmd::kZoomOut);
    EXPECT_EQ(AcceleratorCommand(Key::Digit, '1', false, false), cmd::kZoomOneToOne);
    EXPECT_EQ(AcceleratorCommand(Key::Digit, '3', false, false), cmd::kFitSelection);
    EXPECT_EQ(AcceleratorCommand(Key::Digit, '4', false, false), cmd::kFitToWindow);
    EXPECT_EQ(AcceleratorCommand(Key::Digit, '5', false, false), cmd::kFitPage);
    EXPECT_EQ(AcceleratorCommand(Key::Digit, '2', false, false), 0);
    EXPECT_EQ(AcceleratorCommand(Key::Digit, '1', true, false), 0);
    EXPECT_EQ(AcceleratorCommand(Key::Digit, 'A', false, false), 0);
    // Pages.
    EXPECT_EQ(AcceleratorCommand(Key::PageDown, 0, false, false), cmd::kNextPage);
    EXPECT_EQ(AcceleratorCommand(Key::PageUp, 0, false, false), cmd::kPreviousPage);
    EXPECT_EQ(AcceleratorCommand(Key::Home, 0, true, false), cmd::kFirstPage);
    EXPECT_EQ(AcceleratorCommand(Key::Home, 0, false, false), cmd::kFirstPage);
    EXPECT_EQ(AcceleratorCommand(Key::End, 0, true, false), cmd::kLastPage);
    EXPECT_EQ(AcceleratorCommand(Key::End, 0, false, false), cmd::kLastPage);
    EXPECT_EQ(AcceleratorCommand(Key::End, 0, false, true), 0);
    EXPECT_EQ(AcceleratorCommand(Key::F1, 0, false, false), cmd::kHelpContents);

    // No key runs two commands, and every single-key tool shortcut is shown in the Tools menu.
    std::set<std::tuple<Key, char, bool, bool>> seen;
    const std::vector<int> tools = CommandIdsIn(MainMenuBar()[3].items);
    for (const CAccelerator& a : Accelerators()) {
        EXPECT_TRUE(seen.insert({a.key, a.letter, a.control, a.shift}).second) << a.id;
        // T only chooses the Text tool, for a tap to place the text; the Tools menu's Text places one at
        // once.
        const int menuCommand = a.id == cmd::kChooseTextTool ? cmd::kToolText : a.id;
        if (a.key == Key::Letter && !a.control) {
            EXPECT_NE(std::find(tools.begin(), tools.end(), menuCommand), tools.end()) << a.letter;
        }
    }
    // Every command a key runs shows in some menu, where its item names the key.
    std::set<int> shown;
    for (const CMenu& menu : MainMenuBar())
        for (int id : CommandIdsIn(menu.items))
            shown.insert(id);
    for (const CAccelerator& a : Accelerators()) {
        if (a.key == Key::Left || a.key == Key::Right || a.key == Key::Up || a.key == Key::Down ||
            a.key == Key::Escape || a.id == cmd::kChooseTextTool)
            continue; // scrolling, ending a gesture and choosing the Text tool alone are no menu commands
        EXPECT_TRUE(shown.count(a.id)) << a.id;
    }
}

TEST(CommandLayout, MnemonicsAreLettersOfTheirTextAndUniqueInEachMenu) {
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    // Among a menu's entries (or the menu bar's titles) no letter picks two.
    auto check = [&](const auto& self, const std::vector<CMenuEntry>& items,
                     const std::string& where) -> void {
        std::set<char> used;
        for (const CMenuEntry& item : items) {
            if (item.kind == CMenuEntry::Kind::Separator)
                continue;
            const std::string label = MnemonicLabel(item.text, item.mnemonic);
            const std::size_t amp = label.find('&');
            ASSERT_NE(amp, std::string::npos) << where << ": " << item.text;
            ASSERT_LT(amp + 1, label.size());
            EXPECT_TRUE(used.insert(lower(label[amp + 1])).second) << where << ": " << label;
            // The label is the command's own text with one "&" added.
            std::string plain = label;
            plain.erase(amp, 1);
            if (item.text.find('&') == std::string::npos) {
                EXPECT_EQ(plain, item.text);
            }
            if (item.kind == CMenuEntry::Kind::Popup)
                self(self, item.items, where + " > " + item.text);
        }
    };
    std::set<char> titles;
    for (const CMenu& menu : MainMenuBar()) {
        EXPECT_TRUE(titles.insert(lower(menu.mnemonic)).second) << menu.title;
        check(check, menu.items, menu.title);
    }
    EXPECT_EQ(MnemonicLabel("File", 'F'), "&File");
    EXPECT_EQ(MnemonicLabel("Fit Selection", 'l'), "Fit Se&lection");
    EXPECT_EQ(MnemonicLabel("About...", 'B'), "A&bout..."); // the other case when the same is missing
    EXPECT_EQ(MnemonicLabel("E&xit", 'x'), "E&xit");
    EXPECT_EQ(MnemonicLabel("Zoom 1:1", '1'), "Zoom &1:1");
    EXPECT_EQ(MnemonicLabel("Grid", 0), "Grid");
    EXPECT_EQ(MnemonicLabel("Grid", 'q'), "Grid"); // a letter the text lacks adds nothing
}

TEST(CommandLayout, APopupIsGreyedWhenAllItsCommandsAre) {
    const std::vector<CMenu> bar = MainMenuBar();
    const CMenuEntry* align = FindPopup(bar[1].items, "Align");
    ASSERT_NE(align, nullptr);
    std::set<int> enabled;
    auto isEnabled = [&](int id) { return enabled.count(id) != 0; };
    EXPECT_FALSE(AnyCommandEnabled(align->items, isEnabled));
    enabled.insert(cmd::kAlignBottom);
    EXPECT_TRUE(AnyCommandEnabled(align->items, isEnabled));
    // A pop-up inside a pop-up counts for the outer one; separators never do.
    const std::vector<CMenuEntry> nested = {CMenuEntry::Separator(),
                                            CMenuEntry::Popup("Inner", {CMenuEntry::Command(cmd::kGroup)})};
    EXPECT_FALSE(AnyCommandEnabled(nested, isEnabled));
    enabled.insert(cmd::kGroup);
    EXPECT_TRUE(AnyCommandEnabled(nested, isEnabled));
    EXPECT_FALSE(AnyCommandEnabled({}, isEnabled));
}

TEST(PopupPlacement, ColorMenuOpensAboveTheButtonAndItemsAre19PixelsWithoutAFontHeightOrFollowIt) {
    const std::vector<CMenuEntry> menu = ColorMenu();
    const int itemHeight = PopupItemHeight(std::nullopt);
    EXPECT_EQ(itemHeight, 19);
    // Eight items and two separators of 19 / 2 + 1 pixels.
    const int height = EstimateMenuHeight(menu, itemHeight);
    EXPECT_EQ(height, 8 * 19 + 2 * 10);
    const CPoint corner = PopupAboveButton(CRect{200, 500, 224, 522}, height);
    EXPECT_EQ(corner, (CPoint{200, 500 - height - 2}));
    EXPECT_EQ(corner.y + height, 498); // the last item ends just above the button
    // With a font, the item height follows it.
    EXPECT_EQ(PopupItemHeight(-13), 20);
    EXPECT_EQ(PopupItemHeight(12), 19);
    // 9 points at 96 pixels per inch are 12 pixels; 8.25 points are 11.
    EXPECT_EQ(PointsToPixels(900, 96), 12);
    EXPECT_EQ(PointsToPixels(825, 96), 11);
    EXPECT_EQ(PointsToPixels(1050, 96), 14);
    EXPECT_EQ(PointsToPixels(1050, 72), 11); // 10.5 pixels round away from zero
}

} // namespace
} // namespace pq
