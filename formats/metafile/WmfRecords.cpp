#include "formats/metafile/WmfRecords.h"

#include "platform/DibSection.h"

namespace pq::wmf {

CPlaceable CPlaceable::Read(CMetafileCursor& in) {
    CPlaceable p;
    in.Skip(6); // key and handle
    p.box.left = in.I16();
    p.box.top = in.I16();
    p.box.right = in.I16();
    p.box.bottom = in.I16();
    p.unitsPerInch = in.U16();
    in.Skip(6); // reserved word and checksum
    return p;
}

CHeader CHeader::Read(CMetafileCursor& in) {
    CHeader h;
    h.type = in.U16();
    h.headerWords = in.U16();
    (void)in.U16(); // version
    h.fileWords = in.U32();
    in.Skip(8); // object count, largest record, parameter count
    return h;
}

CPoint ReadPoint(CMetafileCursor& in) {
    const int16_t y = in.I16();
    const int16_t x = in.I16();
    return {x, y};
}

CRect ReadBox(CMetafileCursor& in) {
    CRect r;
    r.bottom = in.I16();
    r.right = in.I16();
    r.top = in.I16();
    r.left = in.I16();
    return r;
}

emr::CArc ReadArc(CMetafileCursor& in) {
    emr::CArc arc;
    arc.end = ReadPoint(in);
    arc.start = ReadPoint(in);
    arc.box = ReadBox(in);
    return arc;
}

std::vector<CPoint> ReadPoints(CMetafileCursor& in, std::size_t count) {
    std::vector<CPoint> points;
    if (count > in.Remaining() / 4) {
        in.Skip(in.Remaining() + 1);
        return points;
    }
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int16_t x = in.I16();
        const int16_t y = in.I16();
        points.push_back({x, y});
    }
    return points;
}

CPen CPen::Read(CMetafileCursor& in) {
    CPen pen;
    pen.style = in.U16();
    pen.width = in.I16();
    (void)in.I16();
    pen.colour = in.U32();
    return pen;
}

CBrush CBrush::Read(CMetafileCursor& in) {
    CBrush brush;
    brush.style = in.U16();
    brush.colour = in.U32();
    return brush;
}

CFont CFont::Read(CMetafileCursor& in) {
    CFont font;
    font.height = in.I16();
    (void)in.I16(); // width
    font.escapement = in.I16();
    (void)in.I16(); // orientation
    font.weight = in.I16();
    font.italic = in.U8();
    font.underline = in.U8();
    (void)in.U8(); // strike-out
    font.charSet = in.U8();
    in.Skip(4); // precisions, quality, pitch and family
    for (int i = 0; i < 32 && in.Remaining() > 0; ++i) {
        const uint8_t c = in.U8();
        if (c == 0)
            break;
        font.face.push_back(static_cast<char16_t>(c));
    }
    return font;
}

namespace {

std::u16string ReadChars(CMetafileCursor& in, std::size_t count) {
    const std::span<const uint8_t> bytes = in.Take(count);
    return {bytes.begin(), bytes.end()};
}

} // namespace

CText CText::ReadTextOut(CMetafileCursor& in) {
    CText t;
    const uint16_t count = in.U16();
    t.text = ReadChars(in, count);
    in.Skip(count % 2); // the string is padded to a whole word
    t.reference = ReadPoint(in);
    return t;
}

CText CText::ReadExtTextOut(CMetafileCursor& in) {
    CText t;
    t.reference = ReadPoint(in);
    const uint16_t count = in.U16();
    const uint16_t options = in.U16();
    if ((options & 0x0006) != 0) // opaque or clipped: a rectangle comes first
        in.Skip(8);
    t.text = ReadChars(in, count);
    return t;
}

CDibBlock CDibBlock::Read(CMetafileCursor& in, uint16_t function) {
    CDibBlock b;
    in.Skip(4); // raster operation
    if (function == kStretchDib)
        in.Skip(2); // colour usage
    if (function == kDibBitBlt) {
        in.Skip(4); // source origin
        const int16_t height = in.I16();
        const int16_t width = in.I16();
        b.destSize = {width, height};
        b.dest = ReadPoint(in);
    } else {
        in.Skip(8); // source rectangle
        const int16_t height = in.I16();
        const int16_t width = in.I16();
        b.destSize = {width, height};
        b.dest = ReadPoint(in);
    }
    if (in.Ok())
        b.dib = SplitPackedDib(in.Take(in.Remaining()));
    return b;
}

emr::CDibParts SplitPackedDib(std::span<const uint8_t> packed) {
    if (packed.size() < CBitmapInfoHeader::kSize)
        return {};
    const CBitmapInfoHeader header = CBitmapInfoHeader::ReadFrom(packed.data());
    if (header.size < CBitmapInfoHeader::kSize || header.size > packed.size())
        return {};
    std::size_t infoSize;
    if (header.compression == CBitmapInfoHeader::kCompressionFields)
        infoSize = header.size == CBitmapInfoHeader::kSize ? header.size + 12 : header.size;
    else
        infoSize =
            header.size + 4ull * emr::FileColourEntries(header.bitCount, header.compression, header.clrUsed);
    if (infoSize > packed.size())
        return {};
    return {packed.first(infoSize), packed.subspan(infoSize)};
}

} // namespace pq::wmf
