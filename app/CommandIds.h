#pragma once

#include <span>
#include <string_view>

namespace pq {

// Every command the editor's menus, buttons, pop-ups and keys send. The numbers are stable: stored
// toolbar layouts and tests refer to them.
namespace cmd {

// File
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFileTemplate = 32936;
inline constexpr int kFileImport = 32843;
inline constexpr int kSendEmail = 32930;
inline constexpr int kSendFtp = 32931;
inline constexpr int kExportBitmap = 32895;
inline constexpr int kHelp = 57670;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;

// Edit
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kDelete = 32872;
inline constexpr int kSelectAll = 57642;
inline constexpr int kProperties = 32795;
inline constexpr int kJoin = 32897;
inline constexpr int kBreakApart = 32898;
inline constexpr int kGroup = 32873;
inline constexpr int kUngroup = 32874;
inline constexpr int kBringToFront = 32875;
inline constexpr int kSendToBack = 32876;
inline constexpr int kAlignLeft = 32879;
inline constexpr int kAlignRight = 32880;
inline constexpr int kAlignCenter = 32881;
inline constexpr int kAlignTop = 32882;
inline constexpr int kAlignMiddle = 32883;
inline constexpr int kAlignBottom = 32884;

// View
inline constexpr int kToolbar = 32796;
inline constexpr int kDrawingBar = 32912;
inline constexpr int kTextBar = 32928;
inline constexpr int kPagesBar = 32913;
inline constexpr int kGrid = 32892;
inline constexpr int kScrollBars = 32905;

// Tools
inline constexpr int kToolFreehand = 32814;
inline constexpr int kToolBezier = 32846;
inline constexpr int kToolLine = 32834;
inline constexpr int kToolRectangle = 32837;
inline constexpr int kToolEllipse = 32838;
inline constexpr int kToolText = 32847;
inline constexpr int kToolSelect = 32790;
inline constexpr int kToolNode = 32857;
inline constexpr int kToolPan = 32792;
inline constexpr int kToolZoomMenu = 32791;
inline constexpr int kToolBox14 = 32839;
inline constexpr int kLibrary = 32890;
inline constexpr int kSendToLibrary = 32891;
inline constexpr int kSettings = 32893;

// Zoom
inline constexpr int kZoomIn = 32805;
inline constexpr int kZoomOut = 32807;
inline constexpr int kZoomOneToOne = 32889;
inline constexpr int kFitPage = 32914;
inline constexpr int kFitToWindow = 32808;
inline constexpr int kZoomArea = 32809;
inline constexpr int kFitDrawing = 32804;

// Pages
inline constexpr int kAddPage = 32906;
inline constexpr int kInsertPageBefore = 32915;
inline constexpr int kInsertPageAfter = 32921;
inline constexpr int kDeletePage = 32907;
inline constexpr int kPageMenu = 32943;
inline constexpr int kFirstPage = 32908;
inline constexpr int kPreviousPage = 32909;
inline constexpr int kNextPage = 32910;
inline constexpr int kLastPage = 32911;

// Text
inline constexpr int kTextBold = 32922;
inline constexpr int kTextItalic = 32923;
inline constexpr int kTextUnderline = 32924;
inline constexpr int kTextAlignLeft = 32925;
inline constexpr int kTextAlignCenter = 32926;
inline constexpr int kTextAlignRight = 32927;
inline constexpr int kTextType = 32937;
inline constexpr int kTextArtistic = 32938;
inline constexpr int kTextParagraph = 32939;

// Colours and line widths
inline constexpr int kColor = 32844;
inline constexpr int kNoFill = 32848;
inline constexpr int kNoLine = 32849;
inline constexpr int kLineFine = 32850;
inline constexpr int kLineNormal = 32851;
inline constexpr int kLineBold = 32852;
inline constexpr int kLineThick = 32853;
inline constexpr int kPickFillColor = 32855;
inline constexpr int kPickLineColor = 32854;

// Nodes
inline constexpr int kNodeLine = 32863;
inline constexpr int kNodeCusp = 32866;
inline constexpr int kNodeSmooth = 32865;
inline constexpr int kNodeSymmetrical = 32868;
inline constexpr int kNodeAdd = 32861;
inline constexpr int kNodeDelete = 32862;
inline constexpr int kNodeSplit = 32870;
inline constexpr int kNodeClose = 32871;

// Scrolling by the arrow keys
inline constexpr int kScrollLeft = 32885;
inline constexpr int kScrollRight = 32886;
inline constexpr int kScrollUp = 32887;
inline constexpr int kScrollDown = 32888;

// The page indicator control in the pages bar.
inline constexpr int kPageIndicator = 1123;

} // namespace cmd

// The text a command shows in menus and as a tooltip; empty for commands shown nowhere.
[[nodiscard]] std::string_view CommandText(int id);

// Every command id above (the control id excluded), for tables that walk them all.
[[nodiscard]] std::span<const int> AllCommands();

} // namespace pq
