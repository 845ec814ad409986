#pragma once

#include "document/BitmapExportSettings.h"
#include "document/ImportTarget.h"
#include "geometry/PathNode.h"
#include "geometry/Rect.h"
#include "geometry/ViewMapping.h"
#include "model/UndoRecorder.h"
#include "model/UndoViewHooks.h"
#include "platform/DibSection.h"
#include "ui/tools/Tool.h"
#include "ui/view/DrawnPage.h"
#include "ui/view/NewObjectStyle.h"
#include "ui/view/PropertySheetOpener.h"
#include "ui/view/ScrollBarLayout.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace pq {

class CDeviceContext;
class CDrawing;
class CPqxDoc;
class IPreferenceStore;
class IWindowHost;

// Scroll bar codes of scroll events (the platform's numbering).
enum class ScrollCode : int {
    LineUp = 0, // line left on the horizontal bar
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

// A turn of the mouse wheel or a scroll stroke on a touchpad, as the shell reports it.
struct CWheelEvent {
    // Notches turned (fractions from smooth wheels and touchpads): positive away from the user, or to the
    // right on a sideways wheel or stroke.
    float notches = 0.0f;
    bool sideways = false;
    // Lines the desktop scrolls per notch.
    int linesPerNotch = 3;
    // kKeyFlagShift scrolls sideways, kKeyFlagControl zooms about the pointer.
    unsigned flags = 0;
    CPoint point; // the pointer, client pixels
};

// The single view of the document: the mapping between document units and client pixels, zoom and
// scrolling, the grid and snapping, the page on screen, the tools with the current one, the selection,
// the style of new objects and the undo recorder. It paints the current page into a client-sized back
// buffer and copies that into the window's front buffer; stylus and timer events go to the current tool.
//
// Commands reach it by id (ui/view/ViewCommands.h) through OnCommand and OnUpdateCommand.
class CPqxView : public IUndoViewHooks, public IBitmapExportSettings, public IImportTarget {
public:
    // Preference names.
    static constexpr std::string_view kShowGridName = "ShowGrid";
    static constexpr std::string_view kGridSpacingName = "GridSpacing";
    static constexpr std::string_view kSnapSpacingName = "SnapSpacing";
    static constexpr std::string_view kAntiAliasName = "AntiAlias";
    static constexpr std::string_view kImageResolutionName = "ImageResolution";
    static constexpr std::string_view kShowScrollBarsName = "ShowScrollBars";
    static constexpr std::string_view kShowPageName = "ShowPage";
    static constexpr std::string_view kSmoothEdgesName = "SmoothEdges";
    static constexpr std::string_view kPenColorName = "PenColor";
    static constexpr std::string_view kBrushColorName = "BrushColor";
    static constexpr std::string_view kTextColorName = "TextColor";
    static constexpr std::string_view kTextTypeName = "TextType";
    static constexpr std::string_view kTextHeightName = "TextHeight";
    // The measurement unit every dialog shows lengths in (an index of app/MeasurementUnits.h).
    static constexpr std::string_view kMeasurementUnitName = "MeasurementUnit";

    static constexpr float kMinGridSpacing = 10.0f;
    static constexpr float kMaxGridSpacing = 3000.0f;
    static constexpr float kMinSnapSpacing = 0.0f;
    static constexpr float kMaxSnapSpacing = 100.0f;
    static constexpr int kDefaultImageResolution = 640;
    // The page is scrollable this far beyond its edges, as a fraction of its longer side.
    static constexpr float kPageMarginFraction = 0.1f;
    // Pixels the wheel scrolls per line; the desktop says how many lines a notch is.
    static constexpr int kWheelLinePixels = 20;
    // A notch of Ctrl+wheel zooms by this factor (two notches make one Zoom In).
    static constexpr double kWheelZoomPerNotch = 1.4142135623730951;
    // Grid lines closer than this many pixels are not drawn.
    static constexpr float kMinGridPixels = 3.0f;

    static constexpr uint32_t kDeskColor = 0xEBEBEB;
    static constexpr uint32_t kShadowColor = 0x464646;
    static constexpr uint32_t kGridColor = 0x606060;

    // Reads the view's preferences (either pointer may be null: no window, defaults) and creates the tools.
    explicit CPqxView(IWindowHost* window = nullptr, IPreferenceStore* preferences = nullptr);
    // Writes the preferences.
    ~CPqxView() override;
    // Writes the preferences into the store now (the store decides when they reach the disk).
    void StorePreferences() { WritePreferences(); }
    CPqxView(const CPqxView&) = delete;
    CPqxView& operator=(const CPqxView&) = delete;

    // Document life cycle.
    void SetDocument(CPqxDoc* doc) { document = doc; }
    [[nodiscard]] CPqxDoc* GetDocument() const { return document; }
    // The drawing of the document, or nullptr without one.
    [[nodiscard]] CDrawing* GetDrawing() const;
    // After a document was created or opened: tools, recorder, scroll bars, page frame, first fit.
    void OnUpdate();
    // After the document started a new, empty drawing.
    void ResetForNewDocument();

    // Window events, forwarded by the shell.
    void OnLButtonDown(unsigned flags, CPoint point);
    void OnMouseMove(unsigned flags, CPoint point);
    void OnLButtonUp(unsigned flags, CPoint point);
    void OnLButtonDblClk(unsigned flags, CPoint point);
    void OnTimer(int timerId);
    void OnSize(int width, int height);
    void OnPaint();
    // Scroll bar events: the bar's code and its thumb position (0 .. range - page of the bar as last
    // shown). Line steps (the arrow keys) move a tenth of the client area, even beyond the page's margin;
    // page steps a whole client area, stopping at the bar's ends; the thumb, dragged or dropped, shows
    // exactly the part of the extent it covers.
    void OnHScroll(ScrollCode code, int thumbPosition);
    void OnVScroll(ScrollCode code, int thumbPosition);
    // The wheel scrolls (Shift: sideways) and with Ctrl zooms about the pointer; ignored during a drag.
    void OnMouseWheel(const CWheelEvent& wheel);
    // A touchpad pinch: zoomSinceStart is the zoom of the whole gesture so far, about its centre.
    void OnPinch(CPoint center, double zoomSinceStart, bool gestureStart);

    // Commands by id: OnCommand returns false for an id the view does not handle; OnUpdateCommand returns
    // false likewise, else sets whether the command is enabled and whether its item is checked.
    bool OnCommand(int id);
    bool OnUpdateCommand(int id, bool& enabled, bool& checked) const;

    // Tools.
    // Makes the tool of a kind current; a kind without a tool selects the Pan tool.
    void SetTool(int kind);
    void SetTool(ToolKind kind) { SetTool(static_cast<int>(kind)); }
    void RestoreDefaultTool() { SetTool(ToolKind::Pan); }
    [[nodiscard]] bool IsToolCurrent(ToolKind kind) const;
    // The kind of the tool that was current before the current one (the Text tool returns to it on Cancel).
    [[nodiscard]] ToolKind GetPreviousTool() const { return previousTool; }
    [[nodiscard]] CTool* GetCurrentTool() const { return currentTool; }
    // The view's tool of a kind, or nullptr when that kind is not built.
    [[nodiscard]] CTool* GetTool(ToolKind kind) const;
    // Clears the selection and the select and node tools' state.
    void ResetInteraction();

    // Snaps a client point to the snap spacing in document units (unchanged when snapping is off).
    [[nodiscard]] CPoint SnapPoint(CPoint point) const;

    // Shape tools: a new path of one subpath with the new-object style on the current page, recorded as
    // one undo step and appended on top of the drawing. Open paths are never filled. Returns the new
    // object's index, or -1 without a drawing or with fewer than 2 nodes. The caller repaints.
    int CreatePathObject(const CNodeArray& nodes, bool open);

    // Zoom and scroll.
    void ZoomIn();
    void ZoomOut();
    void ZoomOneToOne();
    void FitPage();
    void FitDrawing();
    // Zooms so that the selection's bounds fill the client area (less a margin for the handles), keeping
    // the selection and the tool; nothing without a selection (ViewFitSelection.cpp).
    void FitSelection();
    [[nodiscard]] bool CanFitSelection() const;
    // The union of the selected objects' bounds; all zero without a selection.
    [[nodiscard]] CRectF SelectionBounds() const;
    // Scales by factor about a client point, which keeps showing the same document point; the scale
    // stays within the mapping's limits. Updates the scroll bars and repaints.
    void ZoomAt(CPoint point, double factor);
    // Moves the drawing by a pixel delta; a non-zero delta updates the scroll bars and repaints.
    void ScrollBy(int dx, int dy);
    // After a change of the mapping or of the drawing's extent: lays the scroll bars out again (unless a
    // thumb is being dragged) and tells the window the mapping changed.
    void UpdateScrollBars();
    // A scroll bar's layout for the view as it is now; the bars show it when they are on.
    [[nodiscard]] CScrollBarLayout GetScrollBarLayout(ScrollBarAxis axis) const;
    // The document rectangle the scroll bars span: the page with its margin and the current page's
    // objects (the view's own part is added by the layout).
    [[nodiscard]] CRectF GetScrollExtent() const;
    [[nodiscard]] CViewMapping& GetMapping() { return mapping; }
    [[nodiscard]] const CViewMapping& GetMapping() const { return mapping; }
    [[nodiscard]] CRect GetClientRect() const;
    [[nodiscard]] IWindowHost* GetWindow() const { return window; }
    [[nodiscard]] bool IsInitialised() const { return initialised; }

    // Pages.
    [[nodiscard]] int GetCurrentPage() const { return currentPage; }
    // Shows a page (held to the drawing's pages), resetting the interaction when it changes.
    void SetCurrentPage(int page);
    void AddPage();
    void InsertPage(bool after);
    void DeletePage();

    // Eyedropper: 0 off, 1 picks the fill colour, 2 the line colour.
    [[nodiscard]] int GetColorPickMode() const { return colorPickMode; }
    void SetColorPickMode(int mode) { colorPickMode = mode; }
    // Applies a picked colour by the current mode to the selection or to the new-object style, and ends
    // the mode.
    void ApplyPickedColor(uint32_t color);

    // Selection: ascending indices into the drawing's object list.
    [[nodiscard]] std::vector<int>& GetSelection() { return selection; }
    [[nodiscard]] const std::vector<int>& GetSelection() const { return selection; }
    // Selection operations for commands, through the select tool (ViewSelection.cpp).
    // Adds the object at index with the rest of its group; false when index names no object.
    bool SelectObject(int index);
    // Empties the selection.
    void ClearSelection();
    // After an undo or redo: shows the page of a selection the replay restored, or else the one page
    // whose objects it changed, and keeps the selection to the page on screen.
    void AfterReplay();
    [[nodiscard]] CNewObjectStyle& GetNewObjectStyle() { return defaults; }
    [[nodiscard]] const CNewObjectStyle& GetNewObjectStyle() const { return defaults; }
    [[nodiscard]] CUndoRecorder& GetUndoRecorder() { return undoRecorder; }
    // The object property sheet, which the application opens for the view (observed, may be null).
    void SetPropertySheetOpener(IPropertySheetOpener* opener) { propertySheetOpener = opener; }
    // Runs the sheet; false when it was cancelled or nobody can open it (as for a new text: then no
    // text is placed).
    bool OpenPropertySheet(PropertySheetOpening opening) {
        return propertySheetOpener != nullptr && propertySheetOpener->OpenPropertySheet(opening);
    }
    // Marks the document modified.
    void SetModified();

    // Import: the application's clipboard (owned by the application, may be null), Paste of its objects
    // at the view's top-left corner, and pictures inserted at their pixel size.
    void SetClipboard(CDrawing* drawing) { clipboard = drawing; }
    [[nodiscard]] CDrawing* GetClipboard() override { return clipboard; }
    int PasteClipboard() override;
    CImageResult InsertImage(const std::string& path) override;

    // Settings.
    [[nodiscard]] bool GetShowGrid() const { return showGrid; }
    void SetShowGrid(bool on) { showGrid = on; }
    [[nodiscard]] float GetGridSpacing() const { return gridSpacing; }
    void SetGridSpacing(float spacing);
    [[nodiscard]] float GetSnapSpacing() const { return snapSpacing; }
    void SetSnapSpacing(float spacing);
    [[nodiscard]] bool GetShowScrollBars() const { return showScrollBars; }
    [[nodiscard]] bool GetShowPage() const { return showPage; }
    void SetShowPage(bool on) { showPage = on; }
    // Smooth edges on screen only: exports, feedback and hit tests keep the aliased pixels.
    [[nodiscard]] bool GetSmoothEdges() const { return smoothEdges; }
    void SetSmoothEdges(bool on) { smoothEdges = on; }
    // The measurement unit's index; kept with the view's preferences.
    [[nodiscard]] int GetMeasurementUnit() const { return measurementUnit; }
    void SetMeasurementUnit(int unit) { measurementUnit = unit; }
    [[nodiscard]] int GetImageResolution() const { return imageResolution; }
    void SetImageResolution(int pixels) { imageResolution = pixels; }
    void SetAntiAlias(bool on) { antiAlias = on; }

    // The back buffer of the last paint.
    [[nodiscard]] const CDibSection& GetBackBuffer() const { return backBuffer; }

    // IBitmapExportSettings.
    [[nodiscard]] int GetMaxPixels() const override { return imageResolution; }
    [[nodiscard]] bool GetAntiAlias() const override { return antiAlias; }

    // IUndoViewHooks.
    [[nodiscard]] int GetNodeToolObject() const override;
    void ResetNodeTool() override;
    bool EditWithNodeTool(int index) override;
    [[nodiscard]] bool IsSelectToolActive() const override;
    void LeavePendingSelection() override;
    void ResetSelectTool() override;
    void RepaintAll() override;
    void StepRecorded(const CRecordedStep& step) override;
    void StepReplaying(const CReplayedStep& step) override;
    // After an edit whose step was recorded, or an undo or redo: repaints what the step touched, or
    // everything when the step did not say.
    void RepaintEdited() override;
    void MarkModified() override { SetModified(); }
    void GoToLastPage() override;
    void KeepCurrentPageInRange() override;

private:
    // Painting (ViewPaint.cpp).
    [[nodiscard]] CDrawnPageKey DrawnPageKey(const CRect& client) const;
    // The drawing may have changed: the next paint draws the page whole and measures its objects again.
    void ForgetDrawnPage();
    // The desk, the page frame, the grid and the page's objects within area of the client.
    void DrawPageArea(CDeviceContext& dc, const CRect& client, const CRect& area) const;
    void DrawPageFrame(CDeviceContext& dc) const;
    void DrawGrid(CDeviceContext& dc, const CRect& client) const;

    // The union of the current page's objects' bounds (empty without objects), measured again only when
    // the drawing may have changed.
    [[nodiscard]] CRectF CurrentPageObjectBounds() const;

    // Zoom and scroll (ViewZoom.cpp).
    // After any change of the mapping: scroll bars, a full repaint, and the Pan tool.
    void AfterZoom();
    // Fits the page into the client area less 2 pixels; false (mapping unchanged) without a document or
    // for a page of 1 unit or less in either direction.
    bool FitPageRect();
    // Shows or hides the scroll bars by showScrollBars and lays them out (ViewScroll.cpp).
    void ApplyScrollBarRanges();
    void Scroll(ScrollBarAxis axis, ScrollCode code, int thumbPosition);
    // Moves the view's start along an axis by pixels (positive: towards the end), held to the extent the
    // scroll bar spans; true when it moved.
    bool ScrollWithinExtent(ScrollBarAxis axis, int64_t pixels);
    // Moves the view's start along an axis by pixels, without limits; true when it moved.
    bool MoveViewStart(ScrollBarAxis axis, int64_t pixels);
    // Moves the drawing by a pixel delta without limits of int.
    void PanBy(int64_t dx, int64_t dy);
    // The pixel (document coordinate times scale) at the client's first column or row.
    [[nodiscard]] double ViewStart(ScrollBarAxis axis) const;
    // Re-centres the page after a resize when the whole page showed in the old client area or fits the
    // new one.
    void RecenterAfterResize(const CRect& oldClient, const CRect& newClient);
    void PopupZoomMenu();
    // Pops up a menu above a toolbar button (at the client's lower left when no bar shows it), each item
    // greyed or checked as the view's rules say, and runs the chosen command when it is enabled
    // (ViewPopupMenus.cpp).
    void TrackButtonMenu(int buttonCommand, std::vector<CMenuItem> items);
    // Posts Fit Page for an empty drawing with the page shown, else the fit of the drawing.
    void PostFirstFit();

    // Pages (ViewPages.cpp).
    void AfterPageChange();
    void PopupPageMenu();
    bool OnPageCommand(int id);

    // Preferences (ViewPreferences.cpp).
    void ReadPreferences();
    void WritePreferences();

    // Runs the eyedropper at a client point (ViewEyedropper.cpp).
    void PickColor(CPoint point);
    // Repaints everything: the drawing may have changed.
    void InvalidateAll();
    // Repaints what the view shows of an unchanged drawing (after a scroll, or for the selection's handles):
    // the drawn page is kept, or moved.
    void InvalidateView();
    // What a recorded or replayed step said it would touch, until the paint after it: the reaches the
    // objects had before the step, and the objects whose reaches count after it. It holds for a picture
    // drawn at the undo recorder's change count since, once the count has reached changeCount.
    struct CPendingEdit {
        uint64_t since = 0;
        uint64_t changeCount = 0;
        std::vector<CRect> areas;
        std::vector<int> objectsAfter;
    };
    // Adds the reach of the object at index, when it lies on the current page.
    void AddReach(std::vector<CRect>& areas, int index) const;
    // Starts the pending edit of a step: the reaches of the objects before it are taken now. A pending edit
    // not yet painted that this step directly follows is taken in.
    void BeginPendingEdit(uint64_t since, std::span<const int> before, std::vector<int> after);

    // Edit commands on the selection: arrange and combine (ViewArrange.cpp), line and fill style
    // (ViewStyleCommands.cpp), clipboard, Select All, Duplicate and Escape (ViewClipboard.cpp). Each
    // On...Command returns false for an id it does not carry.
    bool OnArrangeCommand(int id);
    bool OnUpdateArrangeCommand(int id, bool& enabled) const;
    bool OnStyleCommand(int id);
    bool OnUpdateStyleCommand(int id, bool& enabled, bool& checked) const;
    bool OnClipboardCommand(int id);
    bool OnUpdateClipboardCommand(int id, bool& enabled) const;
    void GroupSelection(bool group);
    void MoveSelectionTo(bool front);
    void AlignSelection(int id);
    void JoinSelection();
    void BreakApartSelection();
    void DeleteSelection();
    void SetLineWidth(int width);
    void ToggleNoLine();
    void ToggleNoFill();
    void CutSelection();
    void CopySelection();
    void SelectAll();
    void DuplicateSelection();
    void CancelGesture();
    // Text: the Text command, the text bar's style, alignment and kind commands and the text-type pop-up
    // (ViewText.cpp).
    bool OnTextCommand(int id);
    bool OnUpdateTextCommand(int id, bool& enabled, bool& checked) const;
    void PlaceTextByCommand();
    void ToggleTextStyle(int bit);
    void SetTextAlignment(int alignment);
    void SetTextType(int type);
    void PopupTextTypeMenu();
    // After a command changed selected objects: the select tool follows the selection, the document is
    // modified and the window repaints.
    void AfterSelectionEdit();
    [[nodiscard]] bool CanEditSelection() const;

    IWindowHost* window = nullptr;
    IPreferenceStore* preferences = nullptr;

    CPqxDoc* document = nullptr;
    CDrawing* clipboard = nullptr;
    IPropertySheetOpener* propertySheetOpener = nullptr;
    CViewMapping mapping;
    bool initialised = false;
    CNewObjectStyle defaults;
    CUndoRecorder undoRecorder;
    bool showGrid = false;
    float gridSpacing = 100.0f;
    float snapSpacing = 0.0f;
    bool antiAlias = false;
    int imageResolution = kDefaultImageResolution;
    int colorPickMode = 0;
    bool showScrollBars = false;
    int currentPage = 0;
    bool showPage = true;
    bool smoothEdges = true;
    int measurementUnit = 0;
    CTool* currentTool = nullptr;
    // The tool before the last switch: Escape returns to it from the Zoom tool.
    ToolKind previousTool = ToolKind::Pan;
    // One tool per kind number (0 .. 15); null for kinds without a tool.
    std::array<std::unique_ptr<CTool>, 16> tools;
    std::vector<int> selection;
    CDibSection backBuffer;
    CDrawnPage drawnPage;
    std::optional<CPendingEdit> pendingEdit;
    // The objects the last undo or redo told it touched: the pages of those it changed or removed, taken
    // before it, and the indices of those it changed or brought back, read after it (AfterReplay).
    struct CReplayTouched {
        std::vector<int> pagesBefore;
        std::vector<int> after;
    };
    std::optional<CReplayTouched> replayTouched;
    // The current page's object bounds, which the scroll bars span, kept on the same terms as the drawn
    // page: on a busy page their union costs half of a scroll's paint.
    struct CObjectExtent {
        const CDrawing* drawing = nullptr;
        uint64_t changeCount = 0;
        int objectCount = 0;
        int page = 0;
        CRectF bounds;
    };
    mutable std::optional<CObjectExtent> objectExtent;

    // Scrolling (ViewScroll.cpp): whether the bars show, their layouts (horizontal, vertical), which thumb
    // is being dragged (its bar keeps its layout until the drop), the client size last seen, wheel
    // pixels not yet scrolled and the zoom of the pinch so far.
    bool scrollBarsShown = false;
    std::array<CScrollBarLayout, 2> shownScrollBars;
    std::array<bool, 2> thumbDragging{false, false};
    float thumbDragScale = 0.0f;
    CRect sizedClient;
    std::array<float, 2> wheelRemainder{0.0f, 0.0f};
    double pinchZoom = 1.0;
};

} // namespace pq
