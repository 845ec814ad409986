#pragma once

#include "formats/metafile/EmfRecords.h"
#include "geometry/PathNode.h"
#include "geometry/PointF.h"
#include "geometry/Rect.h"
#include "geometry/RectF.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;

// A pen, a brush and a font as a metafile's object table holds them.
struct CMetafilePen {
    int32_t style = 0;
    int32_t width = 0; // logical units
    uint32_t colour = 0;
};

struct CMetafileBrush {
    int32_t style = 1; // hollow until a brush is selected
    uint32_t colour = 0xFFFFFF;
};

struct CMetafileFont {
    std::u16string face;
    float height = 0.0f;     // logical units
    int32_t escapement = 0;  // tenths of a degree
    int32_t style = 0;       // bold, italic, underline bits of text objects
    uint8_t charSet = 0;     // the code page of the 8-bit text records
    bool symbolFace = false; // the file names the Symbol face, whose codes are Greek letters and signs
};

struct CMetafileObject {
    enum class Kind { Pen, Brush, Font, Other };
    Kind kind = Kind::Other;
    CMetafilePen pen;
    CMetafileBrush brush;
    CMetafileFont font;
};

// What the enhanced and the standard metafile readers share: the object table, the selected pen,
// brush and font, the world transform, the figure under construction, the objects made from it, and
// the closing fit of the content to the file's frame. Records are decoded by the readers; everything
// they draw arrives here in logical coordinates.
class CMetafilePlayback {
public:
    // Bounds on what a file can make: objects in the drawing, entries of the object table.
    static constexpr std::size_t kMaxObjects = 500000;
    static constexpr std::size_t kMaxTableEntries = 65536;
    // The default font's height when a file draws text before selecting a font of its own, and the
    // largest text height a file may give (logical units).
    static constexpr float kDefaultFontHeight = 16.0f;
    static constexpr float kMaxTextHeight = 1e6f;
    // Coordinates after the page mapping are held within this range (a hundred metres of document).
    static constexpr double kMaxCoordinate = 1e6;
    // The display polylines of a drawing's curves may hold about this many points (an estimate from
    // above): a small file of curves spanning the whole range must not cost seconds and gigabytes.
    static constexpr double kMaxFlatteningPoints = 4e6;
    // One subpath's polyline is one array: it may hold about this many points.
    static constexpr double kMaxSubpathFlatteningPoints = 5e5;

    explicit CMetafilePlayback(CDrawing& drawing);

    // Object table. Enhanced metafiles name the handle; standard metafiles take the lowest free slot.
    void StoreObject(uint32_t handle, const CMetafileObject& object);
    void AddObject(const CMetafileObject& object);
    void SelectObject(uint32_t handle);
    void DeleteObject(uint32_t handle);
    // The face a file names, settled on an installed face (the default face when none matches).
    [[nodiscard]] static std::u16string InstalledFace(std::u16string_view face);

    // State kept for text.
    void SetTextColour(uint32_t colour) { textColour = colour; }
    void SetTextAlign(uint32_t align) { textAlign = align; }
    // Standard metafiles with y growing upward have their y negated as points enter.
    void SetYUp(bool up) { yUp = up; }
    void SetArcClockwise(bool clockwise) { arcClockwise = clockwise; }

    // Enhanced metafiles: the page mapping from logical to device units. Map modes 2 to 6 are fixed
    // units (the header gives the device's pixels per millimetre), 7 and 8 the window and viewport.
    void SetDevice(CPoint pixels, CPoint millimetres);
    void SetMapMode(uint32_t mode);
    void SetWindowOrigin(CPoint p) { windowOrigin = {static_cast<double>(p.x), static_cast<double>(p.y)}; }
    void SetWindowExtent(CPoint e);
    void SetViewportOrigin(CPoint p) {
        viewportOrigin = {static_cast<double>(p.x), static_cast<double>(p.y)};
    }
    void SetViewportExtent(CPoint e);

    // World transform: set, reset (mode 1), multiplied on the left (2) or right (3), or set (4).
    void SetWorldTransform(const emr::CXform& xform);
    void ModifyWorldTransform(const emr::CXform& xform, uint32_t mode);

    // A logical point through the y flip, the world transform and the page mapping, held to a sane
    // range.
    [[nodiscard]] CPointD Map(double x, double y) const;
    [[nodiscard]] CPointD Map(CPoint p) const { return Map(p.x, p.y); }

    // Figures: inside a path bracket they make the path; outside, lines and curves drawn one after
    // another with the same pen become one unfilled path.
    void MoveTo(CPoint p);
    void LineTo(CPoint p);
    void PolylineTo(std::span<const CPoint> points);
    void PolyBezierTo(std::span<const CPoint> points);
    void CloseFigure();
    void BeginPath();
    void AbortPath();
    // Ends the path bracket's figures (the path waits for a fill or stroke record).
    void EndPath();
    // Makes the path an object: stroked with the pen, filled with the brush, as asked.
    void FinishPath(bool stroke, bool fill);
    // Makes the loose figure drawn outside a path bracket an object.
    void FlushFigure();

    // Shapes; inside a path bracket they add figures to the path instead.
    void Polyline(std::span<const CPoint> points, bool closed);
    // Several figures in one object: counts[i] points each, taken in turn from points.
    void Polylines(std::span<const uint32_t> counts, std::span<const CPoint> points, bool closed);
    void PolyBezier(std::span<const CPoint> points);
    void Rectangle(CRect box);
    void Ellipse(CRect box);
    enum class ArcKind { Arc, Chord, Pie, ArcTo };
    void Arc(const emr::CArc& arc, ArcKind kind);
    // A rectangle filled with the current brush and no outline (pattern block transfers).
    void FillBlock(CPoint origin, CPoint size);

    void Text(std::u16string text, CPoint reference, bool worldTransform);
    // The 8-bit text records' bytes (widened) as the selected font's character set reads them.
    [[nodiscard]] std::u16string FontText(std::u16string_view bytes) const;
    // The 16-bit text records' characters: as they are, but for the Symbol face's codes.
    [[nodiscard]] std::u16string WideFontText(std::u16string_view text) const;
    void Image(const emr::CDibParts& dib, CPoint dest, CPoint destSize);

    void SetFont(const CMetafileFont& f) { font = f; }
    // The logical rectangle the frame spans, when the file names it in our private comment.
    void SetReference(CRect reference);
    // The header's bounds of the picture in device units: what the frame spans when the file does not
    // name it otherwise.
    void SetHeaderBounds(CRect bounds);
    // The device context's state: saved on a bounded stack and restored by number.
    void SaveState();
    void RestoreState(int32_t which);
    void SetGroupTable(std::vector<int> table) { groupTable = std::move(table); }
    // Notes a problem the reader worked around; the first one is kept as the drawing's message.
    void Warn(std::string message);

    // True once the drawing holds as many objects as a file may make.
    [[nodiscard]] bool Full() const;

    // Ends the reading: the loose figure is made an object, every object refreshed, groups applied,
    // and when the frame (hundredths of a millimetre) and the reference rectangle have an extent,
    // the content is centred on the origin and scaled to the frame's size in document units.
    void Finish(CPoint frameSize);

private:
    void StartFigureIfNeeded();
    void CloseSubpath(); // moves the figure under construction to the finished subpaths
    void AddSubpaths(std::vector<std::vector<CPathNode>> figures, bool filled);
    void MakePath(std::vector<std::vector<CPathNode>>& figures, bool stroke, bool fill);
    bool Append(std::unique_ptr<CGraphicObject> object);
    [[nodiscard]] CPointF ToFloat(CPointD p) const;
    // The page mapping's scale in x and y (signed).
    [[nodiscard]] CPointD PageScale() const;
    // How much the page mapping and the world transform enlarge lengths (pen widths, text heights).
    [[nodiscard]] double LengthScale(bool withWorld) const;
    [[nodiscard]] std::vector<CPathNode> MapNodes(std::span<const CPathNode> logical) const;

    CDrawing& drawing;
    std::unordered_map<uint32_t, CMetafileObject> table;
    std::set<uint32_t> freeSlots;
    uint32_t nextSlot = 0;

    CMetafilePen pen;
    CMetafileBrush brush;
    CMetafileFont font;
    uint32_t textColour = 0;
    uint32_t textAlign = 0;
    bool yUp = false;
    bool arcClockwise = false;
    emr::CXform world;
    uint32_t mapMode = 1;
    CPointD pixelsPerMillimetre{1.0, 1.0};
    CPointD windowOrigin;
    CPointD windowExtent{1.0, 1.0};
    CPointD viewportOrigin;
    CPointD viewportExtent{1.0, 1.0};

    bool inPath = false;
    std::vector<CPathNode> current;            // the figure under construction
    std::vector<std::vector<CPathNode>> path;  // finished figures of the path bracket
    std::vector<std::vector<CPathNode>> loose; // finished figures drawn outside a bracket
    CPointD position;                          // the current position, mapped

    struct SavedState {
        CMetafilePen pen;
        CMetafileBrush brush;
        CMetafileFont font;
        uint32_t textColour;
        uint32_t textAlign;
        bool arcClockwise;
        emr::CXform world;
        uint32_t mapMode;
        CPointD windowOrigin, windowExtent, viewportOrigin, viewportExtent;
    };
    static constexpr std::size_t kMaxSavedStates = 4096;
    std::vector<SavedState> saved;

    // The points the curves read so far flatten to, estimated; checked against the bound above.
    double flatteningPoints = 0.0;

    std::optional<CRectF> headerBounds;
    std::optional<CRectF> reference;
    std::vector<int> groupTable;
    bool warned = false;
};

} // namespace pq
