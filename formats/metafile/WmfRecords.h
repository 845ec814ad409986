#pragma once

// The standard (16-bit) metafile records this program reads, after the published format
// (https://learn.microsoft.com/openspecs/windows_protocols/ms-wmf/): each record is its size in 16-bit
// words (32 bits, framing included), its function number (16 bits), then its parameters, which for
// coordinates come in reverse order (y before x, bottom-right before top-left).

#include "formats/metafile/EmfRecords.h"
#include "formats/metafile/MetafileBytes.h"
#include "geometry/Rect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pq::wmf {

inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr std::size_t kPlaceableSize = 22;
inline constexpr std::size_t kHeaderSize = 18;

inline constexpr uint16_t kEof = 0x0000;
inline constexpr uint16_t kSetMapMode = 0x0103;
inline constexpr uint16_t kSetWindowExt = 0x020C;
inline constexpr uint16_t kSelectObject = 0x012D;
inline constexpr uint16_t kSetTextAlign = 0x012E;
inline constexpr uint16_t kSetTextColor = 0x0209;
inline constexpr uint16_t kDeleteObject = 0x01F0;
inline constexpr uint16_t kCreatePalette = 0x00F7;
inline constexpr uint16_t kCreatePatternBrush = 0x01F9;
inline constexpr uint16_t kDibCreatePatternBrush = 0x0142;
inline constexpr uint16_t kCreateRegion = 0x06FF;
inline constexpr uint16_t kLineTo = 0x0213;
inline constexpr uint16_t kMoveTo = 0x0214;
inline constexpr uint16_t kCreatePenIndirect = 0x02FA;
inline constexpr uint16_t kCreateFontIndirect = 0x02FB;
inline constexpr uint16_t kCreateBrushIndirect = 0x02FC;
inline constexpr uint16_t kPolygon = 0x0324;
inline constexpr uint16_t kPolyline = 0x0325;
inline constexpr uint16_t kPolyPolygon = 0x0538;
inline constexpr uint16_t kRectangle = 0x041B;
inline constexpr uint16_t kRoundRect = 0x061C;
inline constexpr uint16_t kEllipse = 0x0418;
inline constexpr uint16_t kArc = 0x0817;
inline constexpr uint16_t kPie = 0x081A;
inline constexpr uint16_t kChord = 0x0830;
inline constexpr uint16_t kPatBlt = 0x061D;
inline constexpr uint16_t kTextOut = 0x0521;
inline constexpr uint16_t kExtTextOut = 0x0A32;
inline constexpr uint16_t kStretchDib = 0x0F43;
inline constexpr uint16_t kDibStretchBlt = 0x0B41;
inline constexpr uint16_t kDibBitBlt = 0x0940;

// The placeable header in front of some files: the picture's box in logical units and the units per
// inch.
struct CPlaceable {
    CRect box;
    uint16_t unitsPerInch = 0;

    static CPlaceable Read(CMetafileCursor& in);
};

// The standard header; the reader checks its type and size.
struct CHeader {
    uint16_t type = 0;
    uint16_t headerWords = 0;
    uint32_t fileWords = 0; // the whole metafile's size in 16-bit words, this header included

    static CHeader Read(CMetafileCursor& in);
    [[nodiscard]] bool IsValid() const { return (type == 1 || type == 2) && headerWords == 9; }
};

// Parameter decoders of the records; each reads from a cursor at the first parameter.
CPoint ReadPoint(CMetafileCursor& in);  // y, x
CRect ReadBox(CMetafileCursor& in);     // bottom, right, top, left
emr::CArc ReadArc(CMetafileCursor& in); // end, start (each y, x), then the box
std::vector<CPoint> ReadPoints(CMetafileCursor& in, std::size_t count); // x, y pairs, checked

struct CPen {
    uint16_t style = 0;
    int16_t width = 0;
    uint32_t colour = 0;
    static CPen Read(CMetafileCursor& in);
};

struct CBrush {
    uint16_t style = 0;
    uint32_t colour = 0;
    static CBrush Read(CMetafileCursor& in);
};

struct CFont {
    int16_t height = 0;
    int16_t escapement = 0;
    int16_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t charSet = 0;
    std::u16string face; // one byte per character in the file
    static CFont Read(CMetafileCursor& in);
};

// META_TEXTOUT and META_EXTTEXTOUT: one byte per character.
struct CText {
    CPoint reference;
    std::u16string text;
    static CText ReadTextOut(CMetafileCursor& in);
    static CText ReadExtTextOut(CMetafileCursor& in);
};

// META_STRETCHDIB, META_DIBSTRETCHBLT and META_DIBBITBLT: the destination and the packed bitmap.
struct CDibBlock {
    CPoint dest;
    CPoint destSize;
    emr::CDibParts dib;
    static CDibBlock Read(CMetafileCursor& in, uint16_t function);
};

// Splits a packed bitmap (info header, colour table, pixels) into its parts; empty parts when the
// header does not fit.
emr::CDibParts SplitPackedDib(std::span<const uint8_t> packed);

} // namespace pq::wmf
