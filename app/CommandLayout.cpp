#include "app/CommandLayout.h"

#include "app/CommandIds.h"

#include <algorithm>

namespace pq {

CMenuEntry CMenuEntry::Command(int id, Check check) {
    CMenuEntry item;
    item.kind = Kind::Command;
    item.id = id;
    item.text = std::string(CommandText(id));
    item.check = check;
    return item;
}

CMenuEntry CMenuEntry::Separator() {
    CMenuEntry item;
    item.kind = Kind::Separator;
    return item;
}

CMenuEntry CMenuEntry::Popup(std::string_view text, std::vector<CMenuEntry> items) {
    CMenuEntry item;
    item.kind = Kind::Popup;
    item.text = std::string(text);
    item.items = std::move(items);
    return item;
}

namespace {

using Check = CMenuEntry::Check;

CMenuEntry Item(int id, Check check = Check::None) {
    return CMenuEntry::Command(id, check);
}

CMenuEntry Separator() {
    return CMenuEntry::Separator();
}

std::vector<CMenuEntry> FileMenu() {
    return {Item(cmd::kFileNew),
            Item(cmd::kFileOpen),
            Item(cmd::kFileTemplate),
            Separator(),
            Item(cmd::kFileImport),
            Separator(),
            Item(cmd::kFileSave),
            Item(cmd::kFileSaveAs),
            CMenuEntry::Popup("Send", {Item(cmd::kSendEmail), Item(cmd::kSendFtp)}),
            Item(cmd::kExportBitmap),
            Separator(),
            Item(cmd::kHelp),
            Item(cmd::kAbout),
            Separator(),
            Item(cmd::kExit)};
}

std::vector<CMenuEntry> EditMenu() {
    return {
        Item(cmd::kUndo),
        Item(cmd::kRedo),
        Separator(),
        Item(cmd::kCut),
        Item(cmd::kCopy),
        Item(cmd::kPaste),
        Item(cmd::kDelete),
        Separator(),
        Item(cmd::kSelectAll),
        Item(cmd::kDuplicate),
        Separator(),
        CMenuEntry::Popup("Joining", {Item(cmd::kJoin), Item(cmd::kBreakApart)}),
        CMenuEntry::Popup("Grouping", {Item(cmd::kGroup), Item(cmd::kUngroup)}),
        CMenuEntry::Popup("Order", {Item(cmd::kBringToFront), Item(cmd::kSendToBack)}),
        CMenuEntry::Popup("Align", {Item(cmd::kAlignLeft), Item(cmd::kAlignRight), Item(cmd::kAlignCenter),
                                    Item(cmd::kAlignTop), Item(cmd::kAlignMiddle), Item(cmd::kAlignBottom)}),
        Separator(),
        Item(cmd::kProperties)};
}

std::vector<CMenuEntry> ViewMenu() {
    return {Item(cmd::kToolbar, Check::Mark),     Separator(),
            Item(cmd::kDrawingBar, Check::Radio), Item(cmd::kTextBar, Check::Radio),
            Item(cmd::kPagesBar, Check::Radio),   Separator(),
            Item(cmd::kGrid, Check::Mark),        Item(cmd::kScrollBars, Check::Mark),
            Item(cmd::kSmoothEdges, Check::Mark)};
}

std::vector<CMenuEntry> ToolsMenu() {
    // Every tool, so that each shows its key.
    return {Item(cmd::kToolSelect, Check::Mark),
            Item(cmd::kToolNode, Check::Mark),
            Separator(),
            Item(cmd::kToolFreehand, Check::Mark),
            Item(cmd::kToolBezier, Check::Mark),
            Item(cmd::kToolLine, Check::Mark),
            Item(cmd::kToolRectangle, Check::Mark),
            Item(cmd::kToolEllipse, Check::Mark),
            Item(cmd::kToolText, Check::Mark),
            Separator(),
            Item(cmd::kZoomArea, Check::Mark),
            Item(cmd::kToolPan, Check::Mark),
            Separator(),
            Item(cmd::kLibrary),
            Item(cmd::kSendToLibrary),
            Separator(),
            Item(cmd::kSettings)};
}

CToolButton Button(int id, std::string_view tooltip, bool toggle = false, bool dropDown = false) {
    return CToolButton{id, tooltip, dropDown, toggle};
}

constexpr CToolButton kSeparator{};

} // namespace

std::vector<CMenu> MainMenuBar() {
    return {{"File", FileMenu()}, {"Edit", EditMenu()}, {"View", ViewMenu()}, {"Tools", ToolsMenu()}};
}

std::vector<CMenuEntry> ColorMenu() {
    return {Item(cmd::kNoFill),
            Separator(),
            Item(cmd::kNoLine),
            Item(cmd::kLineFine),
            Item(cmd::kLineNormal),
            Item(cmd::kLineBold),
            Item(cmd::kLineThick),
            Separator(),
            Item(cmd::kPickFillColor, Check::Mark),
            Item(cmd::kPickLineColor, Check::Mark)};
}

const std::vector<CToolButton>& CommandBarButtons() {
    static const std::vector<CToolButton> buttons = {
        Button(cmd::kToolSelect, "Select", true), Button(cmd::kToolNode, "Shape", true),
        Button(cmd::kToolPan, "Pan", true), Button(cmd::kToolZoomMenu, "Zoom", true)};
    return buttons;
}

const std::vector<CToolButton>& BottomBarButtons(int bar) {
    static const std::vector<CToolButton> drawing = {Button(cmd::kUndo, "Undo"),
                                                     kSeparator,
                                                     Button(cmd::kToolFreehand, "Freehand", true),
                                                     Button(cmd::kToolBezier, "Bezier", true),
                                                     Button(cmd::kToolLine, "Line", true),
                                                     Button(cmd::kToolRectangle, "Rectangle", true),
                                                     Button(cmd::kToolEllipse, "Ellipse", true),
                                                     kSeparator,
                                                     Button(cmd::kLibrary, "Library"),
                                                     Button(cmd::kToolText, "Text", true),
                                                     kSeparator,
                                                     Button(cmd::kColor, "Properties", true, true)};
    static const std::vector<CToolButton> text = {Button(cmd::kTextBold, "Bold", true),
                                                  Button(cmd::kTextItalic, "Italic", true),
                                                  Button(cmd::kTextUnderline, "Underline", true),
                                                  kSeparator,
                                                  Button(cmd::kTextAlignLeft, "Align left", true),
                                                  Button(cmd::kTextAlignCenter, "Align center", true),
                                                  Button(cmd::kTextAlignRight, "Align right", true),
                                                  kSeparator,
                                                  Button(cmd::kTextType, "Text type"),
                                                  Button(cmd::kToolText, "Text", true),
                                                  kSeparator,
                                                  Button(cmd::kColor, "Properties", true, true)};
    static const std::vector<CToolButton> pages = {
        Button(cmd::kPageMenu, "Add/Remove Page"), kSeparator,
        Button(cmd::kFirstPage, "First Page"),     Button(cmd::kPreviousPage, "Previous Page"),
        Button(cmd::kPageIndicator, ""),           Button(cmd::kNextPage, "Next Page"),
        Button(cmd::kLastPage, "Last Page")};
    switch (bar) {
    case 2:
        return text;
    case 3:
        return pages;
    default:
        return drawing;
    }
}

const std::vector<CAccelerator>& Accelerators() {
    using Key = CAccelerator::Key;
    static const std::vector<CAccelerator> accelerators = {
        {Key::Letter, 'A', true, cmd::kSelectAll},
        {Key::Letter, 'C', true, cmd::kCopy},
        {Key::Letter, 'N', true, cmd::kFileNew},
        {Key::Letter, 'O', true, cmd::kFileOpen},
        {Key::Letter, 'Q', true, cmd::kExit},
        {Key::Letter, 'S', true, cmd::kFileSave},
        {Key::Letter, 'V', true, cmd::kPaste},
        {Key::Letter, 'X', true, cmd::kCut},
        {Key::Letter, 'Y', true, cmd::kRedo},
        {Key::Letter, 'Z', true, cmd::kUndo},
        {Key::Delete, 0, false, cmd::kDelete},
        {Key::Left, 0, false, cmd::kScrollLeft},
        {Key::Right, 0, false, cmd::kScrollRight},
        {Key::Up, 0, false, cmd::kScrollUp},
        {Key::Down, 0, false, cmd::kScrollDown},
        {Key::Letter, 'D', true, cmd::kDuplicate},
        {Key::Letter, 'G', true, cmd::kGroup},
        {Key::Letter, 'G', true, cmd::kUngroup, true},
        {Key::Escape, 0, false, cmd::kCancel},
        // Single keys pick the tools, as in other vector editors.
        {Key::Letter, 'S', false, cmd::kToolSelect},
        {Key::Letter, 'N', false, cmd::kToolNode},
        {Key::Letter, 'P', false, cmd::kToolFreehand},
        {Key::Letter, 'B', false, cmd::kToolBezier},
        {Key::Letter, 'L', false, cmd::kToolLine},
        {Key::Letter, 'R', false, cmd::kToolRectangle},
        {Key::Letter, 'E', false, cmd::kToolEllipse},
        {Key::Letter, 'T', false, cmd::kToolText},
        {Key::Letter, 'Z', false, cmd::kZoomArea},
        {Key::Letter, 'H', false, cmd::kToolPan}};
    return accelerators;
}

std::string AcceleratorText(int id) {
    const auto& all = Accelerators();
    const auto found =
        std::find_if(all.begin(), all.end(), [id](const CAccelerator& a) { return a.id == id; });
    if (found == all.end())
        return {};
    std::string text = found->control ? "Ctrl+" : "";
    if (found->shift)
        text += "Shift+";
    switch (found->key) {
    case CAccelerator::Key::Letter:
        text += found->letter;
        break;
    case CAccelerator::Key::Delete:
        text += "Del";
        break;
    case CAccelerator::Key::Left:
        text += "Left";
        break;
    case CAccelerator::Key::Right:
        text += "Right";
        break;
    case CAccelerator::Key::Up:
        text += "Up";
        break;
    case CAccelerator::Key::Down:
        text += "Down";
        break;
    case CAccelerator::Key::Escape:
        text += "Esc";
        break;
    }
    return text;
}

int AcceleratorCommand(CAccelerator::Key key, char letter, bool control, bool shift) {
    if (key == CAccelerator::Key::Letter) {
        if (letter >= 'a' && letter <= 'z')
            letter = static_cast<char>(letter - 'a' + 'A');
        if (letter < 'A' || letter > 'Z')
            return 0;
    } else {
        letter = 0;
    }
    for (const CAccelerator& accelerator : Accelerators()) {
        if (accelerator.key == key && accelerator.letter == letter && accelerator.control == control &&
            accelerator.shift == shift)
            return accelerator.id;
    }
    return 0;
}

std::vector<int> CommandIdsIn(const std::vector<CMenuEntry>& items) {
    std::vector<int> ids;
    for (const CMenuEntry& item : items) {
        if (item.kind == CMenuEntry::Kind::Command) {
            ids.push_back(item.id);
        } else if (item.kind == CMenuEntry::Kind::Popup) {
            const std::vector<int> inner = CommandIdsIn(item.items);
            ids.insert(ids.end(), inner.begin(), inner.end());
        }
    }
    return ids;
}

} // namespace pq
