#pragma once

// The enhanced-metafile records this program writes and reads, one layout each, shared by the writer
// and the reader. Layouts follow the published format
// (https://learn.microsoft.com/openspecs/windows_protocols/ms-emf/): every record starts with its type
// and its size in bytes (the 8 bytes of framing included), all integers little-endian. Write appends a
// whole record to a sink; Read decodes the data of a record whose framing the cursor has passed, and
// fails (cursor not Ok) when the record is too short for what it claims.

#include "formats/metafile/MetafileBytes.h"
#include "geometry/Rect.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pq::emr {

inline constexpr uint32_t kHeader = 1;
inline constexpr uint32_t kPolyBezier = 2;
inline constexpr uint32_t kPolygon = 3;
inline constexpr uint32_t kPolyline = 4;
inline constexpr uint32_t kPolyBezierTo = 5;
inline constexpr uint32_t kPolylineTo = 6;
inline constexpr uint32_t kPolyPolyline = 7;
inline constexpr uint32_t kPolyPolygon = 8;
inline constexpr uint32_t kSetWindowExtEx = 9;
inline constexpr uint32_t kSetWindowOrgEx = 10;
inline constexpr uint32_t kSetViewportExtEx = 11;
inline constexpr uint32_t kSetViewportOrgEx = 12;
inline constexpr uint32_t kEof = 14;
inline constexpr uint32_t kSetMapMode = 17;
inline constexpr uint32_t kSetBkMode = 18;
inline constexpr uint32_t kSetPolyFillMode = 19;
inline constexpr uint32_t kSetTextAlign = 22;
inline constexpr uint32_t kSetTextColor = 24;
inline constexpr uint32_t kMoveToEx = 27;
inline constexpr uint32_t kIntersectClipRect = 30;
inline constexpr uint32_t kSaveDc = 33;
inline constexpr uint32_t kRestoreDc = 34;
inline constexpr uint32_t kSetWorldTransform = 35;
inline constexpr uint32_t kModifyWorldTransform = 36;
inline constexpr uint32_t kSelectObject = 37;
inline constexpr uint32_t kCreatePen = 38;
inline constexpr uint32_t kCreateBrushIndirect = 39;
inline constexpr uint32_t kDeleteObject = 40;
inline constexpr uint32_t kEllipse = 42;
inline constexpr uint32_t kRectangle = 43;
inline constexpr uint32_t kRoundRect = 44;
inline constexpr uint32_t kArc = 45;
inline constexpr uint32_t kChord = 46;
inline constexpr uint32_t kPie = 47;
inline constexpr uint32_t kLineTo = 54;
inline constexpr uint32_t kArcTo = 55;
inline constexpr uint32_t kSetArcDirection = 57;
inline constexpr uint32_t kBeginPath = 59;
inline constexpr uint32_t kEndPath = 60;
inline constexpr uint32_t kCloseFigure = 61;
inline constexpr uint32_t kFillPath = 62;
inline constexpr uint32_t kStrokeAndFillPath = 63;
inline constexpr uint32_t kStrokePath = 64;
inline constexpr uint32_t kAbortPath = 68;
inline constexpr uint32_t kGdiComment = 70;
inline constexpr uint32_t kBitBlt = 76;
inline constexpr uint32_t kStretchDiBits = 81;
inline constexpr uint32_t kExtCreateFontIndirectW = 82;
inline constexpr uint32_t kExtTextOutA = 83;
inline constexpr uint32_t kExtTextOutW = 84;
inline constexpr uint32_t kPolyBezier16 = 85;
inline constexpr uint32_t kPolygon16 = 86;
inline constexpr uint32_t kPolyline16 = 87;
inline constexpr uint32_t kPolyBezierTo16 = 88;
inline constexpr uint32_t kPolylineTo16 = 89;
inline constexpr uint32_t kPolyPolyline16 = 90;
inline constexpr uint32_t kPolyPolygon16 = 91;
inline constexpr uint32_t kExtCreatePen = 95;

inline constexpr uint32_t kHeaderSize = 88;
inline constexpr uint32_t kSignature = 0x464D4520; // " EMF"
inline constexpr uint32_t kStockObject = 0x80000000;
inline constexpr uint32_t kStockNullBrush = 0x80000005;
inline constexpr uint32_t kStockBlackPen = 0x80000007;

// The "empty" bounds GDI writes when it does not compute them.
inline constexpr CRect kNoBounds{0, 0, -1, -1};

// The header record. Everything the writer leaves zero is zero.
struct CHeader {
    uint32_t size = kHeaderSize;
    CRect bounds;
    CRect frame; // hundredths of a millimetre
    uint32_t signature = kSignature;
    uint32_t version = 0x10000;
    uint32_t fileBytes = 0;
    uint32_t records = 0;
    uint16_t handles = 0;
    uint32_t descriptionLength = 0; // UTF-16 units
    uint32_t descriptionOffset = 0;
    uint32_t paletteEntries = 0;
    CPoint devicePixels;
    CPoint deviceMillimetres;

    void Write(CMetafileSink& out) const;
    // Reads the 88 bytes from the start of the file (framing included).
    static CHeader Read(CMetafileCursor& in);
};

// EMR_CREATEPEN: a logical pen with its handle.
struct CCreatePen {
    uint32_t handle = 0;
    uint32_t style = 0;
    int32_t width = 0; // the pen's x width; y is written 0
    uint32_t colour = 0;

    void Write(CMetafileSink& out) const;
    static CCreatePen Read(CMetafileCursor& in);
};

// EMR_EXTCREATEPEN as far as a pen's style, width and colour go (no pattern bitmap, no dash entries).
struct CExtCreatePen {
    static constexpr uint32_t kGeometric = 0x00010000;

    uint32_t handle = 0;
    uint32_t style = 0; // the full style word: dash style in the low four bits
    uint32_t width = 0;
    uint32_t brushStyle = 0;
    uint32_t colour = 0;

    void Write(CMetafileSink& out) const;
    static CExtCreatePen Read(CMetafileCursor& in);
};

// EMR_CREATEBRUSHINDIRECT.
struct CCreateBrush {
    uint32_t handle = 0;
    uint32_t style = 0;
    uint32_t colour = 0;
    uint32_t hatch = 0;

    void Write(CMetafileSink& out) const;
    static CCreateBrush Read(CMetafileCursor& in);
};

// Records of one 32-bit value: EMR_SELECTOBJECT, EMR_DELETEOBJECT, EMR_SETBKMODE, EMR_SETPOLYFILLMODE,
// EMR_SETTEXTCOLOR,
// EMR_SETTEXTALIGN, EMR_SETARCDIRECTION.
void WriteValue(CMetafileSink& out, uint32_t type, uint32_t value);
// Records of data-free framing: EMR_BEGINPATH, EMR_ENDPATH, EMR_CLOSEFIGURE.
void WriteEmpty(CMetafileSink& out, uint32_t type);
// Records of bounds only: EMR_STROKEPATH, EMR_STROKEANDFILLPATH, EMR_FILLPATH.
void WriteBoundsOnly(CMetafileSink& out, uint32_t type, CRect bounds);
// Records of one point: EMR_MOVETOEX, EMR_LINETO.
void WritePoint(CMetafileSink& out, uint32_t type, CPoint p);
CPoint ReadPoint(CMetafileCursor& in);
// Records of one box: EMR_RECTANGLE, EMR_ELLIPSE, EMR_INTERSECTCLIPRECT (and the box of EMR_ROUNDRECT).
CRect ReadBox(CMetafileCursor& in);

// EMR_POLY* records: bounds, then a point count and the points, 16-bit (types 85-89) or 32-bit (2-6).
// Write writes the 16-bit form.
struct CPoly {
    CRect bounds = kNoBounds;
    std::vector<CPoint> points;

    void Write16(CMetafileSink& out, uint32_t type) const;
    // wide: the 32-bit form. The count is checked against the bytes there are before anything is
    // allocated.
    static CPoly Read(CMetafileCursor& in, bool wide);
};

// EMR_POLYPOLY* records: bounds, the number of figures, the total point count, the figures' point
// counts, then all points.
struct CPolyPoly {
    std::vector<uint32_t> counts;
    std::vector<CPoint> points;

    static CPolyPoly Read(CMetafileCursor& in, bool wide);
};

// EMR_ARC, EMR_CHORD, EMR_PIE, EMR_ARCTO: the ellipse's box and the points on the start and end rays.
struct CArc {
    CRect box;
    CPoint start;
    CPoint end;

    static CArc Read(CMetafileCursor& in);
};

// A world transform: x' = x m11 + y m21 + dx, y' = x m12 + y m22 + dy.
struct CXform {
    float m11 = 1.0f, m12 = 0.0f, m21 = 0.0f, m22 = 1.0f, dx = 0.0f, dy = 0.0f;

    static CXform Read(CMetafileCursor& in);
};

// EMR_EXTCREATEFONTINDIRECTW with a 92-byte logical font.
struct CCreateFont {
    static constexpr std::size_t kFaceUnits = 32;

    uint32_t handle = 0;
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0; // tenths of a degree
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    std::u16string face; // at most 31 units are kept; the writer writes at most 29

    void Write(CMetafileSink& out) const;
    static CCreateFont Read(CMetafileCursor& in);
};

// EMR_EXTTEXTOUTW (and, reading, EMR_EXTTEXTOUTA): one line of text at a reference point, with the
// advance of every character.
struct CTextOut {
    static constexpr uint32_t kStringOffset = 76;

    CRect bounds = kNoBounds;
    uint32_t graphicsMode = 1;
    float xScale = 31.25f;
    float yScale = 31.25f;
    CPoint reference;
    uint32_t options = 0;
    CRect rectangle = kNoBounds;
    std::u16string text;
    std::vector<int32_t> advances;

    void Write(CMetafileSink& out) const;
    // The cursor's data must be the whole record (offsets count from its start). eightBit: the
    // EMR_EXTTEXTOUTA form, one byte per character.
    static CTextOut Read(CMetafileCursor& in, bool eightBit);
};

// The bitmap of a DIB record: its info header with colour table, and its pixel bytes.
struct CDibParts {
    std::span<const uint8_t> info;
    std::span<const uint8_t> bits;
};

// The colour-table entries a bitmap in a file carries: the palette of 1- to 8-bit images, the three
// masks of bit-field images, none for 24-bit and plain 16- and 32-bit images.
[[nodiscard]] uint32_t FileColourEntries(uint16_t bitCount, uint32_t compression, uint32_t clrUsed);

// EMR_STRETCHDIBITS.
struct CStretchDiBits {
    CRect bounds;
    CPoint dest;
    CPoint source;
    CPoint sourceSize;
    uint32_t usage = 0;
    uint32_t rasterOp = 0;
    CPoint destSize;
    CDibParts dib;

    static constexpr uint32_t kBitmapOffset = 80;

    void Write(CMetafileSink& out) const;
    // The cursor's data must be the whole record.
    static CStretchDiBits Read(CMetafileCursor& in);
};

// EMR_BITBLT: a block transfer, with a source bitmap or (without one) a fill with the current brush.
struct CBitBlt {
    CPoint dest;
    CPoint destSize;
    uint32_t rasterOp = 0;
    bool hasSource = false; // false: the record fills with the current brush
    CDibParts dib;

    static CBitBlt Read(CMetafileCursor& in);
};

// EMR_GDICOMMENT: private data.
void WriteComment(CMetafileSink& out, std::span<const uint8_t> data);
std::span<const uint8_t> ReadComment(CMetafileCursor& in);

// EMR_EOF without palette entries.
void WriteEof(CMetafileSink& out);

} // namespace pq::emr
