#include "formats/metafile/WmfReader.h"

#include "formats/metafile/MetafileCharSets.h"
#include "formats/metafile/MetafilePlayback.h"
#include "formats/metafile/WmfRecords.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pq {

namespace {

using ArcKind = CMetafilePlayback::ArcKind;

// Pattern brushes are shown as this solid grey: their pattern is not kept, but what they fill stays
// visible.
constexpr uint32_t kPatternBrushColour = 0xC0C0C0;

CMetafileObject OtherObject() {
    return {};
}

} // namespace

CWmfReader::CWmfReader(std::span<const uint8_t> bytes, CDrawing& target) : data(bytes), drawing(target) {}

bool CWmfReader::Read() {
    CPoint frameSize;
    std::size_t base = 0;
    {
        CMetafileCursor in(data);
        if (in.U32() == wmf::kPlaceableKey && data.size() >= wmf::kPlaceableSize) {
            in.Seek(0);
            const wmf::CPlaceable placeable = wmf::CPlaceable::Read(in);
            const double inch = placeable.unitsPerInch < 1 ? 1000.0 : placeable.unitsPerInch;
            frameSize.x = RoundHalfAway(std::abs(placeable.box.right - placeable.box.left) / inch * 2540.0);
            frameSize.y = RoundHalfAway(std::abs(placeable.box.bottom - placeable.box.top) / inch * 2540.0);
            base = wmf::kPlaceableSize;
        }
    }
    CMetafileCursor headerIn(data, base);
    const wmf::CHeader header = wmf::CHeader::Read(headerIn);
    if (!headerIn.Ok() || !header.IsValid()) {
        drawing.SetErrorMessage("The file is neither an enhanced nor a standard Windows metafile.");
        return false;
    }

    CMetafilePlayback playback(drawing);
    std::size_t at = base + wmf::kHeaderSize;
    bool ended = false; // the end record was reached
    while (at < data.size() && !playback.Full()) {
        if (data.size() - at < 6) {
            playback.Warn("The file ends inside a record; what came before it was read.");
            break;
        }
        CMetafileCursor framing(data, at);
        const uint32_t words = framing.U32();
        const uint16_t function = framing.U16();
        if (words < 3) {
            playback.Warn("A record of the file has no valid size; what came before it was read.");
            break;
        }
        if (words > (data.size() - at) / 2) {
            playback.Warn("A record claims more bytes than the file holds; what came before it was read.");
            break;
        }
        if (function == wmf::kEof) {
            ended = true;
            break;
        }
        const std::size_t size = static_cast<std::size_t>(words) * 2;
        if (!PlayRecord(function, data.subspan(at, size), playback)) {
            playback.Warn("A record of the file is damaged; what came before it was read.");
            break;
        }
        at += size;
    }
    // A file cut between two records ends cleanly but short of the size its header gives.
    if (!ended && !playback.Full() && at >= data.size() &&
        base + static_cast<uint64_t>(header.fileWords) * 2 > data.size())
        playback.Warn("The file ends before its last record; what came before it was read.");
    playback.Finish(frameSize);
    return true;
}

bool CWmfReader::PlayRecord(uint16_t function, std::span<const uint8_t> record, CMetafilePlayback& playback) {
    CMetafileCursor in(record, 6);
    switch (function) {
    case wmf::kSetMapMode: {
        const uint16_t mode = in.U16();
        playback.SetYUp(mode >= 2 && mode <= 6);
        break;
    }
    case wmf::kSetWindowExt: {
        const int16_t y = in.I16();
        if (in.Ok())
            playback.SetYUp(y < 0);
        break;
    }
    case wmf::kSelectObject: {
        const uint16_t index = in.U16();
        if (in.Ok())
            playback.SelectObject(index);
        break;
    }
    case wmf::kDeleteObject: {
        const uint16_t index = in.U16();
        if (in.Ok())
            playback.DeleteObject(index);
        break;
    }
    case wmf::kSetTextAlign:
        playback.SetTextAlign(in.U16());
        break;
    case wmf::kSetTextColor:
        playback.SetTextColour(in.U32() & 0xFFFFFF);
        break;
    case wmf::kCreatePalette:
    case wmf::kCreatePatternBrush:
    case wmf::kCreateRegion:
        playback.AddObject(OtherObject()); // holds a slot so that later objects keep their numbers
        break;
    case wmf::kDibCreatePatternBrush: {
        CMetafileObject object;
        object.kind = CMetafileObject::Kind::Brush;
        object.brush = {kBrushSolid, kPatternBrushColour};
        playback.AddObject(object);
        break;
    }
    case wmf::kCreatePenIndirect: {
        const wmf::CPen pen = wmf::CPen::Read(in);
        CMetafileObject object;
        object.kind = CMetafileObject::Kind::Pen;
        const int32_t dash = pen.style & 0x0F;
        object.pen = {dash <= kPenInsideFrame ? dash : kPenSolid, std::abs(static_cast<int32_t>(pen.width)),
                      pen.colour & 0xFFFFFF};
        playback.AddObject(object); // a short record still takes its slot
        break;
    }
    case wmf::kCreateBrushIndirect: {
        const wmf::CBrush brush = wmf::CBrush::Read(in);
        CMetafileObject object;
        object.kind = CMetafileObject::Kind::Brush;
        object.brush = {brush.style <= kBrushHatched ? static_cast<int32_t>(brush.style) : kBrushSolid,
                        brush.colour & 0xFFFFFF};
        playback.AddObject(object);
        break;
    }
    case wmf::kCreateFontIndirect: {
        const wmf::CFont font = wmf::CFont::Read(in);
        CMetafileObject object;
        object.kind = CMetafileObject::Kind::Font;
        object.font.face = CMetafilePlayback::InstalledFace(font.face);
        object.font.height = static_cast<float>(std::abs(static_cast<int32_t>(font.height)));
        object.font.escapement = font.escapement;
        object.font.style = (font.weight >= 700 ? kTextStyleBold : 0) |
                            (font.italic != 0 ? kTextStyleItalic : 0) |
                            (font.underline != 0 ? kTextStyleUnderline : 0);
        object.font.charSet = font.charSet;
        object.font.symbolFace = IsSymbolFace(font.face);
        playback.AddObject(object);
        break;
    }
    case wmf::kMoveTo:
    case wmf::kLineTo: {
        const CPoint p = wmf::ReadPoint(in);
        if (!in.Ok())
            return false;
        if (function == wmf::kMoveTo)
            playback.MoveTo(p);
        else
            playback.LineTo(p);
        break;
    }
    case wmf::kPolygon:
    case wmf::kPolyline: {
        const uint16_t count = in.U16();
        const std::vector<CPoint> points = wmf::ReadPoints(in, count);
        if (!in.Ok())
            return false;
        playback.Polyline(points, function == wmf::kPolygon);
        break;
    }
    case wmf::kPolyPolygon: {
        const uint16_t figures = in.U16();
        if (figures > in.Remaining() / 2)
            return false;
        std::vector<uint32_t> counts;
        std::size_t total = 0;
        for (uint16_t i = 0; i < figures; ++i) {
            counts.push_back(in.U16());
            total += counts.back();
        }
        const std::vector<CPoint> points = wmf::ReadPoints(in, total);
        if (!in.Ok())
            return false;
        playback.Polylines(counts, points, true);
        break;
    }
    case wmf::kRectangle:
    case wmf::kEllipse:
    case wmf::kRoundRect: {
        if (function == wmf::kRoundRect)
            in.Skip(4); // corner height and width
        const CRect box = wmf::ReadBox(in);
        if (!in.Ok())
            return false;
        if (function == wmf::kEllipse)
            playback.Ellipse(box);
        else
            playback.Rectangle(box);
        break;
    }
    case wmf::kArc:
    case wmf::kPie:
    case wmf::kChord: {
        const emr::CArc arc = wmf::ReadArc(in);
        if (!in.Ok())
            return false;
        playback.Arc(arc, function == wmf::kArc   ? ArcKind::Arc
                          : function == wmf::kPie ? ArcKind::Pie
                                                  : ArcKind::Chord);
        break;
    }
    case wmf::kPatBlt: {
        in.Skip(4); // raster operation
        const int16_t height = in.I16();
        const int16_t width = in.I16();
        const CPoint origin = wmf::ReadPoint(in);
        if (!in.Ok())
            return false;
        playback.FillBlock(origin, {width, height});
        break;
    }
    case wmf::kTextOut:
    case wmf::kExtTextOut: {
        wmf::CText t =
            function == wmf::kTextOut ? wmf::CText::ReadTextOut(in) : wmf::CText::ReadExtTextOut(in);
        if (!in.Ok())
            return false;
        playback.Text(playback.FontText(t.text), t.reference, true);
        break;
    }
    case wmf::kStretchDib:
    case wmf::kDibStretchBlt:
    case wmf::kDibBitBlt: {
        const wmf::CDibBlock block = wmf::CDibBlock::Read(in, function);
        if (!in.Ok())
            return false;
        playback.Image(block.dib, block.dest, block.destSize);
        break;
    }
    default:
        break; // window and viewport origins and extents, modes and the rest are not kept
    }
    return true;
}

} // namespace pq
