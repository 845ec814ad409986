#include "app/CommandIds.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pq {

namespace {

struct CommandName {
    int id;
    std::string_view text;
};

// The texts are what users see in menus and tooltips; the menu layout and the toolbars take them from
// here so a command reads the same everywhere.
constexpr std::array kCommandNames = {
    CommandName{cmd::kFileNew, "New"},
    CommandName{cmd::kFileOpen, "Open..."},
    CommandName{cmd::kFileSave, "Save"},
    CommandName{cmd::kFileSaveAs, "Save As..."},
    CommandName{cmd::kFileTemplate, "Template..."},
    CommandName{cmd::kFileImport, "Import..."},
    CommandName{cmd::kSendEmail, "E-mail..."},
    CommandName{cmd::kSendFtp, "Ftp..."},
    CommandName{cmd::kExportBitmap, "Export Bitmap..."},
    CommandName{cmd::kHelp, "Help..."},
    CommandName{cmd::kAbout, "About..."},
    CommandName{cmd::kHelpContents, "Contents"},
    CommandName{cmd::kHelpAbout, "About"},
    CommandName{cmd::kExit, "E&xit"},
    CommandName{cmd::kUndo, "Undo"},
    CommandName{cmd::kRedo, "Redo"},
    CommandName{cmd::kCut, "Cut"},
    CommandName{cmd::kCopy, "Copy"},
    CommandName{cmd::kPaste, "Paste"},
    CommandName{cmd::kDelete, "Delete"},
    CommandName{cmd::kSelectAll, "Select All"},
    CommandName{cmd::kDuplicate, "Duplicate"},
    CommandName{cmd::kProperties, "Properties..."},
    CommandName{cmd::kJoin, "Join"},
    CommandName{cmd::kBreakApart, "Break Apart"},
    CommandName{cmd::kGroup, "Group"},
    CommandName{cmd::kUngroup, "Ungroup"},
    CommandName{cmd::kBringToFront, "Bring to Front"},
    CommandName{cmd::kSendToBack, "Send to Back"},
    CommandName{cmd::kAlignLeft, "Left"},
    CommandName{cmd::kAlignRight, "Right"},
    CommandName{cmd::kAlignCenter, "Center"},
    CommandName{cmd::kAlignTop, "Top"},
    CommandName{cmd::kAlignMiddle, "Middle"},
    CommandName{cmd::kAlignBottom, "Bottom"},
    CommandName{cmd::kToolbar, "Toolbar"},
    CommandName{cmd::kDrawingBar, "Drawing"},
    CommandName{cmd::kTextBar, "Text"},
    CommandName{cmd::kPagesBar, "Pages"},
    CommandName{cmd::kGrid, "Grid"},
    CommandName{cmd::kScrollBars, "Scrollbars"},
    CommandName{cmd::kSmoothEdges, "Smooth Edges"},
    CommandName{cmd::kToolFreehand, "Draw"},
    CommandName{cmd::kToolBezier, "Bezier"},
    CommandName{cmd::kToolLine, "Line"},
    CommandName{cmd::kToolRectangle, "Rectangle"},
    CommandName{cmd::kToolEllipse, "Ellipse"},
    CommandName{cmd::kToolText, "Text"},
    CommandName{cmd::kToolSelect, "Select"},
    CommandName{cmd::kToolNode, "Shape"},
    CommandName{cmd::kToolPan, "Pan"},
    CommandName{cmd::kToolZoomMenu, "Zoom"},
    CommandName{cmd::kToolBox14, ""},
    CommandName{cmd::kLibrary, "Library"},
    CommandName{cmd::kSendToLibrary, "Send to Library..."},
    CommandName{cmd::kSettings, "Settings..."},
    CommandName{cmd::kZoomIn, "Zoom In"},
    CommandName{cmd::kZoomOut, "Zoom Out"},
    CommandName{cmd::kZoomOneToOne, "Zoom 1:1"},
    CommandName{cmd::kFitPage, "Fit Page"},
    CommandName{cmd::kFitToWindow, "Fit To Window"},
    CommandName{cmd::kZoomArea, "Zoom Area..."},
    CommandName{cmd::kFitSelection, "Fit Selection"},
    CommandName{cmd::kFitDrawing, ""},
    CommandName{cmd::kAddPage, "Add Page"},
    CommandName{cmd::kInsertPageBefore, "Insert Page Before"},
    CommandName{cmd::kInsertPageAfter, "Insert Page After"},
    CommandName{cmd::kDeletePage, "Delete Page"},
    CommandName{cmd::kPageMenu, "Add/Remove Page"},
    CommandName{cmd::kFirstPage, "First Page"},
    CommandName{cmd::kPreviousPage, "Previous Page"},
    CommandName{cmd::kNextPage, "Next Page"},
    CommandName{cmd::kLastPage, "Last Page"},
    CommandName{cmd::kGoToPage, "Go to page..."},
    CommandName{cmd::kTextBold, "Bold"},
    CommandName{cmd::kTextItalic, "Italic"},
    CommandName{cmd::kTextUnderline, "Underline"},
    CommandName{cmd::kTextAlignLeft, "Align left"},
    CommandName{cmd::kTextAlignCenter, "Align center"},
    CommandName{cmd::kTextAlignRight, "Align right"},
    CommandName{cmd::kTextType, "Text type"},
    CommandName{cmd::kTextArtistic, "Artistic"},
    CommandName{cmd::kTextParagraph, "Paragraph"},
    CommandName{cmd::kColor, "Color"},
    CommandName{cmd::kNoFill, "No Fill"},
    CommandName{cmd::kNoLine, "No Line"},
    CommandName{cmd::kLineFine, "Fine"},
    CommandName{cmd::kLineNormal, "Normal"},
    CommandName{cmd::kLineBold, "Bold"},
    CommandName{cmd::kLineThick, "Thick"},
    CommandName{cmd::kPickFillColor, "Pick Fill Color..."},
    CommandName{cmd::kPickLineColor, "Pick Line Color..."},
    CommandName{cmd::kNodeLine, "Line"},
    CommandName{cmd::kNodeCusp, "Cusp"},
    CommandName{cmd::kNodeSmooth, "Smooth"},
    CommandName{cmd::kNodeSymmetrical, "Symmetrical"},
    CommandName{cmd::kNodeAdd, "Add Point"},
    CommandName{cmd::kNodeDelete, "Delete Point"},
    CommandName{cmd::kNodeSplit, "Split Curve"},
    CommandName{cmd::kNodeClose, "Close Curve"},
    CommandName{cmd::kScrollLeft, ""},
    CommandName{cmd::kScrollRight, ""},
    CommandName{cmd::kScrollUp, ""},
    CommandName{cmd::kScrollDown, ""},
    CommandName{cmd::kCancel, ""},
    CommandName{cmd::kChooseTextTool, ""},
};

constexpr auto kCommandIds = [] {
    std::array<int, kCommandNames.size()> ids{};
    for (std::size_t i = 0; i < kCommandNames.size(); ++i)
        ids[i] = kCommandNames[i].id;
    return ids;
}();

} // namespace

std::string_view CommandText(int id) {
    const auto found = std::find_if(kCommandNames.begin(), kCommandNames.end(),
                                    [id](const CommandName& n) { return n.id == id; });
    return found != kCommandNames.end() ? found->text : std::string_view{};
}

std::span<const int> AllCommands() {
    return kCommandIds;
}

} // namespace pq
