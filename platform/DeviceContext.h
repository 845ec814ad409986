#pragma once

#include "geometry/Rect.h"
#include "platform/DibSection.h"
#include "platform/PenBrushStyles.h"
#include "platform/RasterOps.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace pq {

// Colours are colour references, 0x00BBGGRR (red in the low byte).
inline constexpr uint32_t kInvalidColor = 0xFFFFFFFF;

// Binary raster operations (mix modes) for pens and brushes. The value minus one is the truth table of
// the result: bit (2 * pen + destination) of it gives the result bit.
inline constexpr int kR2Black = 1;
inline constexpr int kR2NotMergePen = 2;
inline constexpr int kR2MaskNotPen = 3;
inline constexpr int kR2NotCopyPen = 4;
inline constexpr int kR2MaskPenNot = 5;
inline constexpr int kR2Not = 6;
inline constexpr int kR2XorPen = 7;
inline constexpr int kR2NotMaskPen = 8;
inline constexpr int kR2MaskPen = 9;
inline constexpr int kR2NotXorPen = 10;
inline constexpr int kR2Nop = 11;
inline constexpr int kR2MergeNotPen = 12;
inline constexpr int kR2CopyPen = 13;
inline constexpr int kR2MergePenNot = 14;
inline constexpr int kR2MergePen = 15;
inline constexpr int kR2White = 16;

// Ternary raster operations of block transfers. Bits 16..23 are the truth table: bit
// (4 * pattern + 2 * source + destination) gives the result bit; the pattern is the selected brush.
inline constexpr uint32_t kRop3SrcCopy = 0xCC0020;
inline constexpr uint32_t kRop3NotSrcCopy = 0x330008;
inline constexpr uint32_t kRop3SrcInvert = 0x660046;
inline constexpr uint32_t kRop3SrcAnd = 0x8800C6;
inline constexpr uint32_t kRop3SrcPaint = 0xEE0086;
inline constexpr uint32_t kRop3DstInvert = 0x550009;
inline constexpr uint32_t kRop3PatCopy = 0xF00021;
inline constexpr uint32_t kRop3PatInvert = 0x5A0049;
inline constexpr uint32_t kRop3Blackness = 0x000042;
inline constexpr uint32_t kRop3Whiteness = 0xFF0062;

inline constexpr int kBkTransparent = 1;
inline constexpr int kBkOpaque = 2;

struct CPen {
    int style = kPenSolid;
    int width = 0; // 0 and 1 are one-pixel (cosmetic) pens
    uint32_t color = 0;

    bool operator==(const CPen&) const = default;
};

struct CBrush {
    int style = kBrushSolid;
    uint32_t color = 0xFFFFFF;
    int hatch = kHatchHorizontal; // for kBrushHatched

    bool operator==(const CBrush&) const = default;
};

// A raster device context drawing straight into the 24- or 32-bit device-independent bitmap selected
// into it, with the platform's drawing rules: aliased pixels, half-open fills (right and bottom edges
// excluded), one-pixel lines that leave out their last pixel, round caps and joins on wide pens, and
// binary raster operations so that XOR feedback drawn twice leaves no trace. Everything is clipped to the
// clip rectangle and to the bitmap. A bitmap of another depth can be selected (as a source, or for
// callers that write its bits themselves), but nothing is drawn on it.
//
// The results depend only on the inputs: the same calls give the same pixels on screen, in exported
// bitmaps and in tests. The context does not own the bitmap; the bitmap must outlive its selection.
class CDeviceContext {
public:
    CDeviceContext() = default;
    explicit CDeviceContext(CDibSection* bitmap) { SelectBitmap(bitmap); }

    // Selects a bitmap (or none) and returns the one selected before. The clip is reset to the bitmap.
    CDibSection* SelectBitmap(CDibSection* bitmap);
    [[nodiscard]] CDibSection* GetBitmap() const { return bitmap; }

    // Each selection returns the previous value so that callers can restore it.
    CPen SelectPen(const CPen& pen);
    CBrush SelectBrush(const CBrush& brush);
    [[nodiscard]] const CPen& GetPen() const { return pen; }
    [[nodiscard]] const CBrush& GetBrush() const { return brush; }
    int SetROP2(int mode);
    [[nodiscard]] int GetROP2() const { return rop2; }
    int SetBkMode(int mode);
    [[nodiscard]] int GetBkMode() const { return bkMode; }
    uint32_t SetBkColor(uint32_t color);
    [[nodiscard]] uint32_t GetBkColor() const { return bkColor; }
    uint32_t SetTextColor(uint32_t color);
    [[nodiscard]] uint32_t GetTextColor() const { return textColor; }

    // The clip rectangle in device pixels (right and bottom exclusive); drawing is also always clipped
    // to the bitmap.
    void SetClipRect(const CRect& clip);
    void ResetClip();
    // The region drawing can reach: the clip rectangle within the bitmap (empty without a bitmap).
    [[nodiscard]] CRect GetClipBox() const;

    // The union of the rectangles drawing calls have touched since the last reset, for callers that copy
    // only changed parts of a buffer to a window.
    [[nodiscard]] const CRect& GetDamage() const { return damage; }
    void ResetDamage() { damage = CRect(); }
    // Adds a rectangle to the damage, for drawing done into the same bitmap by other means (a helper
    // context, or the bits written directly).
    void AddDamage(const CRect& rect);

    // Lines with the selected pen. LineTo draws from the current position to the point, leaving out the
    // point itself on one-pixel pens, and makes it the current position.
    CPoint MoveTo(CPoint point);
    CPoint MoveTo(int32_t x, int32_t y) { return MoveTo(CPoint(x, y)); }
    bool LineTo(CPoint point);
    bool LineTo(int32_t x, int32_t y) { return LineTo(CPoint(x, y)); }
    [[nodiscard]] CPoint GetCurrentPosition() const { return position; }
    // Connected segments; the dash pattern runs on across the joints. The current position is not used.
    bool Polyline(std::span<const CPoint> points);

    // Closed shapes: the interior with the selected brush, then the outline with the selected pen.
    // Polygon fills by the even-odd rule, sampling pixel centres; pixels on the right and bottom edges of
    // the interior are left to the outline.
    bool Polygon(std::span<const CPoint> points);
    // The outline runs on the pixels left .. right - 1 and top .. bottom - 1; with the null pen the
    // interior alone shrinks by one pixel on the right and bottom.
    bool Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    bool Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    // The ellipse inscribed in the same pixels as Rectangle's outline.
    bool Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    bool Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }

    // Pixels, without the raster operation. SetPixel returns the colour set, or kInvalidColor outside the
    // clip; GetPixel returns kInvalidColor outside the bitmap.
    uint32_t SetPixel(int32_t x, int32_t y, uint32_t color);
    [[nodiscard]] uint32_t GetPixel(int32_t x, int32_t y) const;

    // Fills the rectangle (right and bottom exclusive) with a brush, copying it whatever the raster
    // operation; a hollow brush draws nothing.
    bool FillRect(const CRect& rect, const CBrush& fill);
    bool FillSolidRect(const CRect& rect, uint32_t color) {
        return FillRect(rect, CBrush{kBrushSolid, color});
    }
    // Inverts every other pixel of the rectangle's border (right and bottom exclusive), so that drawing
    // the same rectangle again restores the pixels.
    bool DrawFocusRect(const CRect& rect);

    // Block transfers from a bitmap of any depth, read through its colour table. StretchBlt maps each
    // destination pixel centre to the nearest source pixel; negative widths or heights mirror the image
    // (the rectangle then runs from x + width + 1 to x). Source pixels outside the source bitmap leave the
    // destination unchanged.
    bool BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDibSection& source,
                int32_t xSource, int32_t ySource, uint32_t rop);
    bool BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDeviceContext& source,
                int32_t xSource, int32_t ySource, uint32_t rop);
    bool StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDibSection& source,
                    int32_t xSource, int32_t ySource, int32_t widthSource, int32_t heightSource,
                    uint32_t rop);
    bool StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDeviceContext& source,
                    int32_t xSource, int32_t ySource, int32_t widthSource, int32_t heightSource,
                    uint32_t rop);

    // Converts between colour references and the pixel values of 24- and 32-bit bitmaps (0x00RRGGBB).
    [[nodiscard]] static constexpr uint32_t ColorToPixel(uint32_t color) {
        return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
    }
    [[nodiscard]] static constexpr uint32_t PixelToColor(uint32_t pixel) { return ColorToPixel(pixel); }

private:
    // Addressing of the selected bitmap's rows, resolved again by every drawing call so that a bitmap
    // re-created while selected is never written through a stale pointer.
    struct CTarget {
        uint8_t* top = nullptr; // row 0, the top row
        std::ptrdiff_t pitch = 0;
        int32_t bytesPerPixel = 0;
        CRect clip; // clip rectangle within the bitmap

        [[nodiscard]] uint8_t* Row(int32_t y) const { return top + pitch * y; }
    };
    struct CSpan {
        int32_t left = 0;
        int32_t right = 0; // inclusive
    };
    // One segment of a wide pen's path: the points within the pen's half width of it. The direction is
    // worked out once per segment rather than once per row.
    struct CCapsule {
        double ax = 0, ay = 0, bx = 0, by = 0;
        double ux = 0, uy = 0, length = 0; // unit direction and length; all zero for a single point
        int32_t topRow = 0, bottomRow = 0;
    };
    struct CPolyEdge {
        int64_t yTop = 0, yBottom = 0;
        int64_t x = 0, remainder = 0; // ceiling of the crossing = x + (remainder > 0)
        int64_t stepX = 0, stepRemainder = 0, dy = 0;
    };

    bool GetTarget(CTarget& target) const;

    // Writes pixels left .. right (inclusive) of row y, already clipped, with a raster operation. The copy,
    // by far the most common, is inline; the others go through WriteSpanMixed.
    static void WriteSpan(const CTarget& t, int32_t y, int32_t left, int32_t right, uint32_t pixel,
                          int mode) {
        if (mode != kR2CopyPen) {
            WriteSpanMixed(t, y, left, right, pixel, mode);
            return;
        }
        if (left <= right)
            FillPixels(t.Row(y) + static_cast<std::ptrdiff_t>(left) * t.bytesPerPixel,
                       static_cast<std::size_t>(right - left) + 1, pixel, t.bytesPerPixel);
    }
    static void WriteSpanMixed(const CTarget& t, int32_t y, int32_t left, int32_t right, uint32_t pixel,
                               int mode);
    static void WritePixel(const CTarget& t, int32_t x, int32_t y, uint32_t pixel, int mode) {
        if (mode != kR2CopyPen) {
            WritePixelMixed(t, x, y, pixel, mode);
            return;
        }
        uint8_t* p = t.Row(y) + static_cast<std::ptrdiff_t>(x) * t.bytesPerPixel;
        p[0] = static_cast<uint8_t>(pixel);
        p[1] = static_cast<uint8_t>(pixel >> 8);
        p[2] = static_cast<uint8_t>(pixel >> 16);
        if (t.bytesPerPixel == 4)
            p[3] = 0;
    }
    static void WritePixelMixed(const CTarget& t, int32_t x, int32_t y, uint32_t pixel, int mode);
    [[nodiscard]] static uint32_t ReadPixel(const CTarget& t, int32_t x, int32_t y);
    // Writes a clipped span with a brush and the current raster operation (hatch gaps follow the
    // background mode).
    void WriteBrushSpan(const CTarget& t, int32_t y, int32_t left, int32_t right, const CBrush& fill,
                        int mode) const;

    // One-pixel line from a to b; the pattern position counts pixels from the start of the polyline.
    void DrawThinLine(const CTarget& t, CPoint a, CPoint b, int64_t& dashPosition);
    // Polyline with the selected pen; closed adds the segment back to the first point.
    void DrawOutline(const CTarget& t, std::span<const CPoint> points, bool closed);
    void DrawWideOutline(const CTarget& t, std::span<const CPoint> points, bool closed);
    // The capsules of the segments as the union, each pixel written once: right for any raster operation.
    void DrawWideOutlineOnce(const CTarget& t);
    // The same pixels drawn segment by segment, some of them several times: only for raster operations
    // that give the same result when repeated.
    void DrawWideOutlineOverdrawn(const CTarget& t, std::span<const CPoint> points, bool closed);
    // The capsule of one short segment, from its stamp.
    void DrawCapsuleStamp(const CTarget& t, CPoint a, int32_t dx, int32_t dy, uint32_t penPixel);
    bool MakeCapsule(const CTarget& t, CPoint a, CPoint b, CCapsule& c) const;
    void FillEvenOdd(const CTarget& t, std::span<const CPoint> points);
    // Lists the polygon's edges in edgeOrder by their top rows, which lie from minRow to before endRow.
    void OrderEdgesByTop(int64_t minRow, int64_t endRow);

    bool Blit(int32_t x, int32_t y, int32_t width, int32_t height, const CDibSection& source, int32_t xSource,
              int32_t ySource, int32_t widthSource, int32_t heightSource, uint32_t rop);

    CDibSection* bitmap = nullptr;
    CPen pen;
    CBrush brush;
    int rop2 = kR2CopyPen;
    int bkMode = kBkOpaque;
    uint32_t bkColor = 0xFFFFFF;
    uint32_t textColor = 0;
    CPoint position;
    bool hasClip = false;
    CRect clipRect;
    CRect damage;

    // Work buffers kept between calls so that drawing does not allocate once they have grown.
    std::vector<CCapsule> capsules;
    std::vector<uint32_t> capsuleOrder;
    std::vector<uint32_t> activeCapsules;
    std::vector<CSpan> rowSpans;
    std::vector<double> discHalfWidths;
    // Rows of the capsules of short segments, by pen width and step, relative to the segment's start;
    // built when first needed and kept, since they depend on nothing else.
    struct CStampRow {
        int32_t dy = 0, left = 0, right = 0;
    };
    std::vector<CStampRow> stampRows;
    std::vector<std::pair<int32_t, int32_t>> stampIndex; // first row and row count; count -1: not built
    std::vector<CPolyEdge> polyEdges;
    std::vector<uint32_t> edgeOrder;     // indices of polyEdges by top row
    std::vector<uint32_t> edgeRowStarts; // where each top row's edges start in edgeOrder
    std::vector<uint32_t> activeEdges;
    std::vector<int64_t> crossings;
    std::vector<CPoint> outlinePoints;
    std::vector<int32_t> columnMap;
    std::vector<uint32_t> sourceRow;
    std::vector<uint8_t> sourceCopy;
};

} // namespace pq
