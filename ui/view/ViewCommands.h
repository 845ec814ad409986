#pragma once

// Command ids the view handles. The frame's menus, toolbars and accelerators send these numbers and the
// application's routing table routes them to CPqxView::OnCommand first.

namespace pq::cmd {

// Tools.
inline constexpr int kToolSelect = 32790;
inline constexpr int kToolZoomMenu = 32791; // the toolbar's Zoom button: zoom tool and the zoom menu
inline constexpr int kToolPan = 32792;
inline constexpr int kToolFreehand = 32814;
inline constexpr int kToolLine = 32834;
inline constexpr int kToolRectangle = 32837;
inline constexpr int kToolEllipse = 32838;
inline constexpr int kToolBox14 = 32839;
inline constexpr int kToolBezier = 32846;
inline constexpr int kToolText = 32847;
inline constexpr int kToolNode = 32857;

// Zoom.
inline constexpr int kFitDrawing = 32804; // posted internally
inline constexpr int kZoomIn = 32805;
inline constexpr int kZoomOut = 32807;
inline constexpr int kFitToWindow = 32808;
inline constexpr int kZoomArea = 32809;
inline constexpr int kZoomOneToOne = 32889;
inline constexpr int kFitPage = 32914;
inline constexpr int kFitSelection = 32970; // zooms to the selection's bounds

// Scrolling by the arrow keys.
inline constexpr int kScrollLeft = 32885;
inline constexpr int kScrollRight = 32886;
inline constexpr int kScrollUp = 32887;
inline constexpr int kScrollDown = 32888;

// View toggles.
inline constexpr int kGrid = 32892;
inline constexpr int kScrollBars = 32905;
inline constexpr int kSmoothEdges = 32990;

// Pages.
inline constexpr int kAddPage = 32906;
inline constexpr int kDeletePage = 32907;
inline constexpr int kFirstPage = 32908;
inline constexpr int kPreviousPage = 32909;
inline constexpr int kNextPage = 32910;
inline constexpr int kLastPage = 32911;
inline constexpr int kInsertPageBefore = 32915;
inline constexpr int kInsertPageAfter = 32921;
inline constexpr int kPageMenu = 32943;

// Eyedropper modes.
inline constexpr int kPickLineColor = 32854;
inline constexpr int kPickFillColor = 32855;

// Edit.
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;

// Arrange, combine and clipboard commands on the selection.
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kDelete = 32872;
inline constexpr int kSelectAll = 57642;
inline constexpr int kDuplicate = 32960;
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

// Line and fill style of the selection, or of new objects with nothing selected.
inline constexpr int kNoFill = 32848;
inline constexpr int kNoLine = 32849;
inline constexpr int kLineFine = 32850;
inline constexpr int kLineNormal = 32851;
inline constexpr int kLineBold = 32852;
inline constexpr int kLineThick = 32853;

// Node commands of the Shape tool, enabled only while it is current.
inline constexpr int kNodeLine = 32863;
inline constexpr int kNodeCusp = 32866;
inline constexpr int kNodeSmooth = 32865;
inline constexpr int kNodeSymmetrical = 32868;
inline constexpr int kNodeAdd = 32861;
inline constexpr int kNodeDelete = 32862;
inline constexpr int kNodeSplit = 32870;
inline constexpr int kNodeClose = 32871;

// The Escape key: ends the gesture in progress and leaves the Zoom tool for the tool before it.
inline constexpr int kCancel = 32961;

// Text: the style, alignment and kind of the selected texts, or of new text with nothing selected. The
// Text command (kToolText) places a text at once; the T key only makes the Text tool current, so that
// a tap on the page places the text there.
inline constexpr int kTextBold = 32922;
inline constexpr int kTextItalic = 32923;
inline constexpr int kTextUnderline = 32924;
inline constexpr int kTextAlignLeft = 32925;
inline constexpr int kTextAlignCenter = 32926;
inline constexpr int kTextAlignRight = 32927;
inline constexpr int kTextType = 32937; // the text bar's button: pops up Artistic and Paragraph
inline constexpr int kTextArtistic = 32938;
inline constexpr int kTextParagraph = 32939;
inline constexpr int kChooseTextTool = 33010;

} // namespace pq::cmd
