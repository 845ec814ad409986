#include "app/CommandLayout.h"

#include "app/CommandIds.h"

#include <algorithm>

namespace pq {

CMenuEntry CMenuEntry::Command(int id, Check check, char mnemonic) {
    CMenuEntry item;
    item.kind = Kind::Command;
    item.id = id;
    item.text = std::string(CommandText(id));
    item.check = check;
    item.mnemonic = mnemonic;
    return item;
}

CMenuEntry CMenuEntry::Separator() {
    CMenuEntry item;
    item.kind = Kind::Separator;
    return item;
}

CMenuEntry CMenuEntry::Popup(std::string_view text, std::vector<CMenuEntry> items, char mnemonic) {
    CMenuEntry item;
    item.kind = Kind::Popup;
    item.text = std::string(text);
    item.items = std::move(items);
    item.mnemonic = mnemonic;
    return item;
}

std::string MnemonicLabel(std::string_view text, char mnemonic) {
    std::string label(text);
    if (mnemonic == 0 || label.find('&') != std::string::npos)
        return label;
    std::size_t at = label.find(mnemonic);
    if (at == std::string::npos) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        for (std::size_t i = 0; i < label.size() && at == std::string::npos; ++i)
            if (lower(label[i]) == lower(mnemonic))
                at = i;
    }
    if (at == std::string::npos)
        return label;
    // Built rather than inserted into: GCC 12 warns falsely about std::string::insert here.
    return label.substr(0, at) + "&" + label.substr(at);
}

namespace {

using Check = CMenuEntry::Check;

CMenuEntry Item(int id, char mnemonic, Check check = Check::None) {
    return CMenuEntry::Command(id, check, mnemonic);
}

CMenuEntry Item(int id) {
    return CMenuEntry::Command(id);
}

CMenuEntry Separator() {
    return CMenuEntry::Separator();
}

std::vector<CMenuEntry> FileMenu() {
    return {Item(cmd::kFileNew, 'N'),
            Item(cmd::kFileOpen, 'O'),
            Item(cmd::kFileTemplate, 'T'),
            Separator(),
            Item(cmd::kFileImport, 'I'),
            Separator(),
            Item(cmd::kFileSave, 'S'),
            Item(cmd::kFileSaveAs, 'A'),
            CMenuEntry::Popup("Send", {Item(cmd::kSendEmail, 'E'), Item(cmd::kSendFtp, 'F')}, 'd'),
            Item(cmd::kExportBitmap, 'E'),
            Separator(),
            Item(cmd::kHelp, 'H'),
            Item(cmd::kAbout, 'b'),
            Separator(),
            Item(cmd::kExit, 'x')};
}

std::vector<CMenuEntry> EditMenu() {
    return {Item(cmd::kUndo, 'U'),
            Item(cmd::kRedo, 'R'),
            Separator(),
            Item(cmd::kCut, 't'),
            Item(cmd::kCopy, 'C'),
            Item(cmd::kPaste, 'P'),
            Item(cmd::kDelete, 'D'),
            Separator(),
            Item(cmd::kSelectAll, 'A'),
            Item(cmd::kDuplicate, 'l'),
            Separator(),
            CMenuEntry::Popup("Joining", {Item(cmd::kJoin, 'J'), Item(cmd::kBreakApart, 'B')}, 'J'),
            CMenuEntry::Popup("Grouping", {Item(cmd::kGroup, 'G'), Item(cmd::kUngroup, 'U')}, 'G'),
            CMenuEntry::Popup("Order", {Item(cmd::kBringToFront, 'B'), Item(cmd::kSendToBack, 'S')}, 'O'),
            CMenuEntry::Popup("Align",
                              {Item(cmd::kAlignLeft, 'L'), Item(cmd::kAlignRight, 'R'),
                               Item(cmd::kAlignCenter, 'C'), Item(cmd::kAlignTop, 'T'),
                               Item(cmd::kAlignMiddle, 'M'), Item(cmd::kAlignBottom, 'B')},
                              'n'),
            // The Shape tool's node commands, greyed unless that tool is current.
            CMenuEntry::Popup("Node",
                              {Item(cmd::kNodeLine, 'L'), Item(cmd::kNodeCusp, 'C'), Item(cmd::kNodeSmooth, 'S'),
                               Item(cmd::kNodeSymmetrical, 'y'), Separator(), Item(cmd::kNodeAdd, 'A'),
                               Item(cmd::kNodeDelete, 'D'), Separator(), Item(cmd::kNodeSplit, 'p'),
                               Item(cmd::kNodeClose, 'o')},
                              'e'),
            Separator(),
            Item(cmd::kProperties, 'i')};
}

std::vector<CMenuEntry> ViewMenu() {
    // The bars and toggles first, then the zoom and page commands the tool bar's Zoom and Add/Remove Page
    // buttons and the pages bar offer.
    return {Item(cmd::kToolbar, 'T', Check::Mark),
            Separator(),
            Item(cmd::kDrawingBar, 'D', Check::Radio),
            Item(cmd::kTextBar, 'x', Check::Radio),
            Item(cmd::kPagesBar, 'P', Check::Radio),
            Separator(),
            Item(cmd::kGrid, 'G', Check::Mark),
            Item(cmd::kScrollBars, 'S', Check::Mark),
            Item(cmd::kSmoothEdges, 'm', Check::Mark),
            Separator(),
            Item(cmd::kZoomIn, 'I'),
            Item(cmd::kZoomOut, 'O'),
            Item(cmd::kZoomOneToOne, '1'),
            Item(cmd::kFitPage, 'F'),
            Item(cmd::kFitToWindow, 'W'),
            Item(cmd::kFitSelection, 'l'),
            Separator(),
            Item(cmd::kNextPage, 'N'),
            Item(cmd::kPreviousPage, 'v'),
            Item(cmd::kFirstPage, 'r'),
            Item(cmd::kLastPage, 'a'),
            Item(cmd::kGoToPage, 'e')};
}

std::vector<CMenuEntry> ToolsMenu() {
    // Every tool, so that each shows its key; one run of radio items, as one tool is current at a time.
    return {Item(cmd::kToolSelect, 'S', Check::Radio),
            Item(cmd::kToolNode, 'h', Check::Radio),
            Item(cmd::kToolFreehand, 'D', Check::Radio),
            Item(cmd::kToolBezier, 'B', Check::Radio),
            Item(cmd::kToolLine, 'L', Check::Radio),
            Item(cmd::kToolRectangle, 'R', Check::Radio),
            Item(cmd::kToolEllipse, 'E', Check::Radio),
            Item(cmd::kToolText, 'T', Check::Radio),
            Item(cmd::kZoomArea, 'Z', Check::Radio),
            Item(cmd::kToolPan, 'P', Check::Radio),
            Separator(),
            Item(cmd::kLibrary, 'i'),
            Item(cmd::kSendToLibrary, 'n'),
            Separator(),
            Item(cmd::kSettings, 'g')};
}

std::vector<CMenuEntry> HelpMenu() {
    return {Item(cmd::kHelpContents, 'C'), Item(cmd::kHelpAbout, 'A')};
}

CToolButton Button(int id, std::string_view tooltip, bool toggle = false, bool dropDown = false) {
    return CToolButton{id, tooltip, dropDown, toggle};
}

constexpr CToolButton kSeparator{};

} // namespace

std::vector<CMenu> MainMenuBar() {
    return {{"File", FileMenu(), 'F'},
            {"Edit", EditMenu(), 'E'},
            {"View", ViewMenu(), 'V'},
            {"Tools", ToolsMenu(), 'T'},
            {"Help", HelpMenu(), 'H'}};
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
            CMenuEntry::Command(cmd::kPickFillColor, Check::Mark),
            CMenuEntry::Command(cmd::kPickLineColor, Check::Mark)};
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
        {Key::Letter, 'T', false, cmd::kChooseTextTool}, // the tool alone: the next tap places the text
        {Key::Letter, 'Z', false, cmd::kZoomArea},
        {Key::Letter, 'H', false, cmd::kToolPan},
        // Zoom and pages, as in viewers and other drawing programs; the first of a command's keys is the
        // one its menu item shows.
        {Key::Plus, 0, true, cmd::kZoomIn},
        {Key::Plus, 0, false, cmd::kZoomIn},
        {Key::Minus, 0, true, cmd::kZoomOut},
        {Key::Minus, 0, false, cmd::kZoomOut},
        {Key::Digit, '1', false, cmd::kZoomOneToOne},
        {Key::Digit, '3', false, cmd::kFitSelection},
        {Key::Digit, '4', false, cmd::kFitToWindow},
        {Key::Digit, '5', false, cmd::kFitPage},
        {Key::PageDown, 0, false, cmd::kNextPage},
        {Key::PageUp, 0, false, cmd::kPreviousPage},
        {Key::Home, 0, true, cmd::kFirstPage},
        {Key::Home, 0, false, cmd::kFirstPage},
        {Key::End, 0, true, cmd::kLastPage},
        {Key::End, 0, false, cmd::kLastPage},
        {Key::F1, 0, false, cmd::kHelpContents}};
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
    case CAccelerator::Key::Digit:
        text += found->letter;
        break;
    case CAccelerator::Key::Plus:
        text += "+";
        break;
    case CAccelerator::Key::Minus:
        text += "-";
        break;
    case CAccelerator::Key::PageUp:
        text += "PgUp";
        break;
    case CAccelerator::Key::PageDown:
        text += "PgDn";
        break;
    case CAccelerator::Key::Home:
        text += "Home";
        break;
    case CAccelerator::Key::End:
        text += "End";
        break;
    case CAccelerator::Key::F1:
        text += "F1";
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
    } else if (key == CAccelerator::Key::Digit) {
        if (letter < '0' || letter > '9')
            return 0;
    } else {
        letter = 0;
    }
    if (key == CAccelerator::Key::Plus || key == CAccelerator::Key::Minus)
        shift = false;
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
