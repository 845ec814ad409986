#include "formats/metafile/EmfRecords.h"

#include <algorithm>

namespace pq::emr {

namespace {

void WriteRect(CMetafileSink& out, CRect r) {
    out.I32(r.left);
    out.I32(r.top);
    out.I32(r.right);
    out.I32(r.bottom);
}

CRect ReadRect(CMetafileCursor& in) {
    CRect r;
    r.left = in.I32();
    r.top = in.I32();
    r.right = in.I32();
    r.bottom = in.I32();
    return r;
}

CPoint ReadPair(CMetafileCursor& in) {
    const int32_t x = in.I32();
    const int32_t y = in.I32();
    return {x, y};
}

// A span of the record's bytes at [offset, offset + size), or empty when it lies outside the record.
std::span<const uint8_t> RecordPart(const CMetafileCursor& in, uint32_t offset, uint32_t size) {
    const std::span<const uint8_t> data = in.Data();
    if (offset > data.size() || size > data.size() - offset)
        return {};
    return data.subspan(offset, size);
}

} // namespace

void CHeader::Write(CMetafileSink& out) const {
    out.U32(kHeader);
    out.U32(size);
    WriteRect(out, bounds);
    WriteRect(out, frame);
    out.U32(signature);
    out.U32(version);
    out.U32(fileBytes);
    out.U32(records);
    out.U16(handles);
    out.U16(0);
    out.U32(descriptionLength);
    out.U32(descriptionOffset);
    out.U32(paletteEntries);
    out.I32(devicePixels.x);
    out.I32(devicePixels.y);
    out.I32(deviceMillimetres.x);
    out.I32(deviceMillimetres.y);
}

CHeader CHeader::Read(CMetafileCursor& in) {
    CHeader h;
    (void)in.U32();
    h.size = in.U32();
    h.bounds = ReadRect(in);
    h.frame = ReadRect(in);
    h.signature = in.U32();
    h.version = in.U32();
    h.fileBytes = in.U32();
    h.records = in.U32();
    h.handles = in.U16();
    (void)in.U16();
    h.descriptionLength = in.U32();
    h.descriptionOffset = in.U32();
    h.paletteEntries = in.U32();
    h.devicePixels = ReadPair(in);
    h.deviceMillimetres = ReadPair(in);
    return h;
}

void CCreatePen::Write(CMetafileSink& out) const {
    out.BeginRecord(kCreatePen);
    out.U32(handle);
    out.U32(style);
    out.I32(width);
    out.I32(0);
    out.U32(colour);
    out.EndRecord();
}

CCreatePen CCreatePen::Read(CMetafileCursor& in) {
    CCreatePen pen;
    pen.handle = in.U32();
    pen.style = in.U32();
    pen.width = in.I32();
    (void)in.I32();
    pen.colour = in.U32();
    return pen;
}

void CExtCreatePen::Write(CMetafileSink& out) const {
    out.BeginRecord(kExtCreatePen);
    out.U32(handle);
    out.Zeros(16); // no pattern bitmap
    out.U32(style);
    out.U32(width);
    out.U32(brushStyle);
    out.U32(colour);
    out.U32(0); // hatch
    out.U32(0); // no dash entries
    out.EndRecord();
}

CExtCreatePen CExtCreatePen::Read(CMetafileCursor& in) {
    CExtCreatePen pen;
    pen.handle = in.U32();
    in.Skip(16); // the pattern bitmap's offsets and sizes
    pen.style = in.U32();
    pen.width = in.U32();
    pen.brushStyle = in.U32();
    pen.colour = in.U32();
    return pen;
}

void CCreateBrush::Write(CMetafileSink& out) const {
    out.BeginRecord(kCreateBrushIndirect);
    out.U32(handle);
    out.U32(style);
    out.U32(colour);
    out.U32(hatch);
    out.EndRecord();
}

CCreateBrush CCreateBrush::Read(CMetafileCursor& in) {
    CCreateBrush brush;
    brush.handle = in.U32();
    brush.style = in.U32();
    brush.colour = in.U32();
    brush.hatch = in.U32();
    return brush;
}

void WriteValue(CMetafileSink& out, uint32_t type, uint32_t value) {
    out.BeginRecord(type);
    out.U32(value);
    out.EndRecord();
}

void WriteEmpty(CMetafileSink& out, uint32_t type) {
    out.BeginRecord(type);
    out.EndRecord();
}

void WriteBoundsOnly(CMetafileSink& out, uint32_t type, CRect bounds) {
    out.BeginRecord(type);
    WriteRect(out, bounds);
    out.EndRecord();
}

void WritePoint(CMetafileSink& out, uint32_t type, CPoint p) {
    out.BeginRecord(type);
    out.I32(p.x);
    out.I32(p.y);
    out.EndRecord();
}

CPoint ReadPoint(CMetafileCursor& in) {
    return ReadPair(in);
}

CRect ReadBox(CMetafileCursor& in) {
    return ReadRect(in);
}

void CPoly::Write16(CMetafileSink& out, uint32_t type) const {
    out.BeginRecord(type);
    WriteRect(out, bounds);
    out.U32(static_cast<uint32_t>(points.size()));
    for (CPoint p : points) {
        out.I16(static_cast<int16_t>(std::clamp(p.x, -32768, 32767)));
        out.I16(static_cast<int16_t>(std::clamp(p.y, -32768, 32767)));
    }
    out.EndRecord();
}

CPoly CPoly::Read(CMetafileCursor& in, bool wide) {
    CPoly poly;
    poly.bounds = ReadRect(in);
    const uint32_t count = in.U32();
    const std::size_t pointBytes = wide ? 8 : 4;
    if (!in.Ok() || count > in.Remaining() / pointBytes) {
        in.Skip(in.Remaining() + 1); // marks the record as short
        return poly;
    }
    poly.points.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (wide)
            poly.points.push_back(ReadPair(in));
        else {
            const int16_t x = in.I16();
            const int16_t y = in.I16();
            poly.points.push_back({x, y});
        }
    }
    return poly;
}

CPolyPoly CPolyPoly::Read(CMetafileCursor& in, bool wide) {
    CPolyPoly poly;
    (void)ReadRect(in);
    const uint32_t figures = in.U32();
    const uint32_t total = in.U32();
    const std::size_t pointBytes = wide ? 8 : 4;
    // Both counts must fit the record before anything is allocated from them.
    if (!in.Ok() || figures > in.Remaining() / 4 || total > (in.Remaining() - 4 * figures) / pointBytes) {
        in.Skip(in.Remaining() + 1);
        return poly;
    }
    poly.counts.reserve(figures);
    uint64_t sum = 0;
    for (uint32_t i = 0; i < figures; ++i) {
        poly.counts.push_back(in.U32());
        sum += poly.counts.back();
    }
    if (sum != total) {
        in.Skip(in.Remaining() + 1);
        return poly;
    }
    poly.points.reserve(total);
    for (uint32_t i = 0; i < total; ++i) {
        if (wide)
            poly.points.push_back(ReadPair(in));
        else {
            const int16_t x = in.I16();
            const int16_t y = in.I16();
            poly.points.push_back({x, y});
        }
    }
    return poly;
}

CArc CArc::Read(CMetafileCursor& in) {
    CArc arc;
    arc.box = ReadRect(in);
    arc.start = ReadPair(in);
    arc.end = ReadPair(in);
    return arc;
}

CXform CXform::Read(CMetafileCursor& in) {
    CXform x;
    x.m11 = in.F32();
    x.m12 = in.F32();
    x.m21 = in.F32();
    x.m22 = in.F32();
    x.dx = in.F32();
    x.dy = in.F32();
    return x;
}

void CCreateFont::Write(CMetafileSink& out) const {
    out.BeginRecord(kExtCreateFontIndirectW);
    out.U32(handle);
    out.I32(height);
    out.I32(width);
    out.I32(escapement);
    out.I32(orientation);
    out.I32(weight);
    out.U8(italic);
    out.U8(underline);
    out.U8(strikeOut);
    out.U8(charSet);
    out.Zeros(4); // precision, clipping, quality, pitch and family
    for (std::size_t i = 0; i < kFaceUnits; ++i)
        out.U16(i < face.size() && i + 1 < kFaceUnits ? static_cast<uint16_t>(face[i]) : 0);
    out.EndRecord();
}

CCreateFont CCreateFont::Read(CMetafileCursor& in) {
    CCreateFont font;
    font.handle = in.U32();
    font.height = in.I32();
    font.width = in.I32();
    font.escapement = in.I32();
    font.orientation = in.I32();
    font.weight = in.I32();
    font.italic = in.U8();
    font.underline = in.U8();
    font.strikeOut = in.U8();
    font.charSet = in.U8();
    in.Skip(4);
    if (!in.Ok())
        return font;
    // The face may be cut short by a small record: read what there is, up to its terminator.
    for (std::size_t i = 0; i < kFaceUnits && in.Remaining() >= 2; ++i) {
        const char16_t c = static_cast<char16_t>(in.U16());
        if (c == 0)
            break;
        font.face.push_back(c);
    }
    return font;
}

void CTextOut::Write(CMetafileSink& out) const {
    const auto count = static_cast<uint32_t>(text.size());
    const uint32_t advancesOffset = (count + 38) * 2 + (count % 2 == 1 ? 2 : 0);
    out.BeginRecord(kExtTextOutW);
    WriteRect(out, bounds);
    out.U32(graphicsMode);
    out.F32(xScale);
    out.F32(yScale);
    out.I32(reference.x);
    out.I32(reference.y);
    out.U32(count);
    out.U32(kStringOffset);
    out.U32(options);
    WriteRect(out, rectangle);
    out.U32(advancesOffset);
    for (char16_t c : text)
        out.U16(static_cast<uint16_t>(c));
    if (count % 2 == 1)
        out.U16(0);
    for (std::size_t i = 0; i < text.size(); ++i)
        out.I32(i < advances.size() ? advances[i] : 0);
    out.EndRecord();
}

CTextOut CTextOut::Read(CMetafileCursor& in, bool eightBit) {
    CTextOut t;
    t.bounds = ReadRect(in);
    t.graphicsMode = in.U32();
    t.xScale = in.F32();
    t.yScale = in.F32();
    t.reference = ReadPair(in);
    const uint32_t count = in.U32();
    const uint32_t stringOffset = in.U32();
    t.options = in.U32();
    t.rectangle = ReadRect(in);
    (void)in.U32(); // the advances are not needed to place a line
    if (!in.Ok())
        return t;
    const uint32_t unit = eightBit ? 1 : 2;
    const std::span<const uint8_t> chars = count > in.Data().size() / unit
                                               ? std::span<const uint8_t>()
                                               : RecordPart(in, stringOffset, count * unit);
    if (chars.size() != static_cast<std::size_t>(count) * unit) {
        in.Skip(in.Remaining() + 1);
        return t;
    }
    t.text.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const char16_t c = eightBit ? static_cast<char16_t>(chars[i])
                                    : static_cast<char16_t>(chars[2 * i] | (chars[2 * i + 1] << 8));
        t.text.push_back(c);
    }
    return t;
}

uint32_t FileColourEntries(uint16_t bitCount, uint32_t compression, uint32_t clrUsed) {
    if (bitCount == 16 || bitCount == 32)
        return compression == 3 ? 3 : 0;
    if (bitCount > 8)
        return 0;
    const uint32_t full = 1u << bitCount;
    return clrUsed != 0 && clrUsed < full ? clrUsed : full;
}

void CStretchDiBits::Write(CMetafileSink& out) const {
    const auto infoSize = static_cast<uint32_t>(dib.info.size());
    const auto bitsSize = static_cast<uint32_t>(dib.bits.size());
    out.BeginRecord(kStretchDiBits);
    WriteRect(out, bounds);
    out.I32(dest.x);
    out.I32(dest.y);
    out.I32(source.x);
    out.I32(source.y);
    out.I32(sourceSize.x);
    out.I32(sourceSize.y);
    out.U32(kBitmapOffset);
    out.U32(infoSize);
    out.U32(kBitmapOffset + infoSize);
    out.U32(bitsSize);
    out.U32(usage);
    out.U32(rasterOp);
    out.I32(destSize.x);
    out.I32(destSize.y);
    out.Raw(dib.info);
    out.Raw(dib.bits);
    out.EndRecord();
}

CStretchDiBits CStretchDiBits::Read(CMetafileCursor& in) {
    CStretchDiBits s;
    s.bounds = ReadRect(in);
    s.dest = ReadPair(in);
    s.source = ReadPair(in);
    s.sourceSize = ReadPair(in);
    const uint32_t infoOffset = in.U32();
    const uint32_t infoSize = in.U32();
    const uint32_t bitsOffset = in.U32();
    const uint32_t bitsSize = in.U32();
    s.usage = in.U32();
    s.rasterOp = in.U32();
    s.destSize = ReadPair(in);
    s.dib.info = RecordPart(in, infoOffset, infoSize);
    s.dib.bits = RecordPart(in, bitsOffset, bitsSize);
    return s;
}

CBitBlt CBitBlt::Read(CMetafileCursor& in) {
    CBitBlt b;
    (void)ReadRect(in);
    b.dest = ReadPair(in);
    b.destSize = ReadPair(in);
    b.rasterOp = in.U32();
    in.Skip(8 + 24 + 4 + 4); // source origin, source transform, background colour, usage
    const uint32_t infoOffset = in.U32();
    const uint32_t infoSize = in.U32();
    const uint32_t bitsOffset = in.U32();
    const uint32_t bitsSize = in.U32();
    b.hasSource = infoSize > 0;
    if (in.Ok() && infoSize > 0) {
        b.dib.info = RecordPart(in, infoOffset, infoSize);
        b.dib.bits = RecordPart(in, bitsOffset, bitsSize);
    }
    return b;
}

void WriteComment(CMetafileSink& out, std::span<const uint8_t> data) {
    out.BeginRecord(kGdiComment);
    out.U32(static_cast<uint32_t>(data.size()));
    out.Raw(data);
    out.EndRecord();
}

std::span<const uint8_t> ReadComment(CMetafileCursor& in) {
    const uint32_t size = in.U32();
    if (!in.Ok() || size > in.Remaining())
        return {};
    return in.Take(size);
}

void WriteEof(CMetafileSink& out) {
    out.BeginRecord(kEof);
    out.U32(0);
    out.U32(16);
    out.U32(20);
    out.EndRecord();
}

} // namespace pq::emr
