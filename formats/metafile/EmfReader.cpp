#include "formats/metafile/EmfReader.h"

#include "formats/metafile/EmfRecords.h"
#include "formats/metafile/MetafileCharSets.h"
#include "formats/metafile/MetafileComments.h"
#include "formats/metafile/MetafilePlayback.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cstdlib>

namespace pq {

namespace {

using ArcKind = CMetafilePlayback::ArcKind;

// Pen and font sizes beyond these many logical units are damage.
constexpr int64_t kMaxPenWidth = 1000000;
constexpr int64_t kMaxFontHeight = 1000000;
// The raster operation that paints the brush where a block transfer has no source bitmap.
constexpr uint32_t kPatCopy = 0x00F00021;

int32_t PenStyleOf(uint32_t style) {
    const uint32_t dash = style & 0x0F;
    return dash <= static_cast<uint32_t>(kPenInsideFrame) ? static_cast<int32_t>(dash) : kPenSolid;
}

int32_t BrushStyleOf(uint32_t style) {
    return style <= static_cast<uint32_t>(kBrushHatched) ? static_cast<int32_t>(style) : kBrushSolid;
}

CMetafileObject PenObject(int32_t style, int64_t width, uint32_t colour) {
    CMetafileObject object;
    object.kind = CMetafileObject::Kind::Pen;
    object.pen = {style, static_cast<int32_t>(std::clamp<int64_t>(width, 0, kMaxPenWidth)),
                  colour & 0xFFFFFF};
    return object;
}

void PlayComment(std::span<const uint8_t> data, CMetafilePlayback& playback) {
    if (std::optional<std::vector<int>> table = ReadGroupComment(data))
        playback.SetGroupTable(std::move(*table));
    else if (std::optional<CRect> bounds = ReadBoundsComment(data))
        playback.SetReference(*bounds);
}

} // namespace

CEmfReader::CEmfReader(std::span<const uint8_t> bytes, CDrawing& target) : data(bytes), drawing(target) {}

bool CEmfReader::IsEnhancedMetafile(std::span<const uint8_t> bytes) {
    if (bytes.size() < emr::kHeaderSize)
        return false;
    CMetafileCursor in(bytes);
    const emr::CHeader header = emr::CHeader::Read(in);
    return in.Ok() && header.signature == emr::kSignature;
}

bool CEmfReader::Read() {
    CMetafileCursor in(data);
    const emr::CHeader header = emr::CHeader::Read(in);
    if (!in.Ok() || header.signature != emr::kSignature || header.size < emr::kHeaderSize ||
        header.size > data.size()) {
        drawing.SetErrorMessage("The enhanced metafile's header is damaged.");
        return false;
    }
    // Records follow the header, or its description when a writer put that outside the header.
    uint64_t start = header.size;
    const uint64_t descriptionEnd =
        static_cast<uint64_t>(header.descriptionOffset) + 2ull * header.descriptionLength;
    if (header.descriptionLength > 0 && descriptionEnd <= data.size())
        start = std::max<uint64_t>(start, (descriptionEnd + 3) & ~uint64_t{3});
    const CPoint frameSize{header.frame.right - header.frame.left, header.frame.bottom - header.frame.top};

    CMetafilePlayback playback(drawing);
    playback.SetDevice(header.devicePixels, header.deviceMillimetres);
    playback.SetHeaderBounds(header.bounds);
    std::size_t at = static_cast<std::size_t>(start);
    bool ended = false;
    while (at < data.size() && !playback.Full()) {
        if (data.size() - at < 8) {
            playback.Warn("The file ends inside a record; what came before it was read.");
            break;
        }
        CMetafileCursor framing(data, at);
        const uint32_t type = framing.U32();
        const uint32_t size = framing.U32();
        if (size < 8) {
            playback.Warn("A record of the file has no valid size; what came before it was read.");
            break;
        }
        if (size > data.size() - at) {
            playback.Warn("A record claims more bytes than the file holds; what came before it was read.");
            break;
        }
        if (type == emr::kEof) {
            ended = true;
            break;
        }
        if (!PlayRecord(type, data.subspan(at, size), playback)) {
            playback.Warn("A record of the file is damaged; what came before it was read.");
            break;
        }
        at += size;
    }
    // A file cut between two records ends cleanly but short of the size its header gives.
    if (!ended && !playback.Full() && at >= data.size() && header.fileBytes > data.size())
        playback.Warn("The file ends before its last record; what came before it was read.");
    playback.Finish(frameSize);
    return true;
}

bool CEmfReader::PlayRecord(uint32_t type, std::span<const uint8_t> record, CMetafilePlayback& playback) {
    CMetafileCursor in(record, 8);
    switch (type) {
    case emr::kSetTextAlign:
        playback.SetTextAlign(in.U32());
        break;
    case emr::kSetTextColor:
        playback.SetTextColour(in.U32() & 0xFFFFFF);
        break;
    case emr::kMoveToEx: {
        const CPoint p = emr::ReadPoint(in);
        if (in.Ok())
            playback.MoveTo(p);
        break;
    }
    case emr::kLineTo: {
        const CPoint p = emr::ReadPoint(in);
        if (in.Ok())
            playback.LineTo(p);
        break;
    }
    case emr::kSetMapMode:
        playback.SetMapMode(in.U32());
        break;
    case emr::kSetWindowExtEx:
    case emr::kSetWindowOrgEx:
    case emr::kSetViewportExtEx:
    case emr::kSetViewportOrgEx: {
        const CPoint p = emr::ReadPoint(in);
        if (!in.Ok())
            break;
        if (type == emr::kSetWindowExtEx)
            playback.SetWindowExtent(p);
        else if (type == emr::kSetWindowOrgEx)
            playback.SetWindowOrigin(p);
        else if (type == emr::kSetViewportExtEx)
            playback.SetViewportExtent(p);
        else
            playback.SetViewportOrigin(p);
        break;
    }
    case emr::kSaveDc:
        playback.SaveState();
        break;
    case emr::kRestoreDc: {
        const int32_t which = in.I32();
        if (in.Ok())
            playback.RestoreState(which);
        break;
    }
    case emr::kSetWorldTransform: {
        const emr::CXform x = emr::CXform::Read(in);
        if (in.Ok())
            playback.SetWorldTransform(x);
        break;
    }
    case emr::kModifyWorldTransform: {
        const emr::CXform x = emr::CXform::Read(in);
        const uint32_t mode = in.U32();
        if (in.Ok())
            playback.ModifyWorldTransform(x, mode);
        break;
    }
    case emr::kSelectObject: {
        const uint32_t handle = in.U32();
        if (in.Ok())
            playback.SelectObject(handle);
        break;
    }
    case emr::kDeleteObject: {
        const uint32_t handle = in.U32();
        if (in.Ok())
            playback.DeleteObject(handle);
        break;
    }
    case emr::kCreatePen: {
        const emr::CCreatePen pen = emr::CCreatePen::Read(in);
        if (in.Ok())
            playback.StoreObject(
                pen.handle,
                PenObject(PenStyleOf(pen.style), std::abs(static_cast<int64_t>(pen.width)), pen.colour));
        break;
    }
    case emr::kExtCreatePen: {
        const emr::CExtCreatePen pen = emr::CExtCreatePen::Read(in);
        if (in.Ok()) {
            const int32_t style =
                pen.brushStyle == static_cast<uint32_t>(kBrushHollow) ? kPenNull : PenStyleOf(pen.style);
            playback.StoreObject(pen.handle, PenObject(style, pen.width, pen.colour));
        }
        break;
    }
    case emr::kCreateBrushIndirect: {
        const emr::CCreateBrush brush = emr::CCreateBrush::Read(in);
        if (in.Ok()) {
            CMetafileObject object;
            object.kind = CMetafileObject::Kind::Brush;
            object.brush = {BrushStyleOf(brush.style), brush.colour & 0xFFFFFF};
            playback.StoreObject(brush.handle, object);
        }
        break;
    }
    case emr::kExtCreateFontIndirectW: {
        const emr::CCreateFont font = emr::CCreateFont::Read(in);
        if (in.Ok()) {
            CMetafileObject object;
            object.kind = CMetafileObject::Kind::Font;
            object.font.face = CMetafilePlayback::InstalledFace(font.face);
            object.font.height =
                static_cast<float>(std::min(std::abs(static_cast<int64_t>(font.height)), kMaxFontHeight));
            object.font.escapement = font.escapement;
            object.font.style = (font.weight >= 700 ? kTextStyleBold : 0) |
                                (font.italic != 0 ? kTextStyleItalic : 0) |
                                (font.underline != 0 ? kTextStyleUnderline : 0);
            object.font.charSet = font.charSet;
            object.font.symbolFace = IsSymbolFace(font.face);
            playback.StoreObject(font.handle, object);
        }
        break;
    }
    case emr::kEllipse:
    case emr::kRectangle:
    case emr::kRoundRect: {
        const CRect box = emr::ReadBox(in);
        if (!in.Ok())
            return false;
        if (type == emr::kEllipse)
            playback.Ellipse(box);
        else
            playback.Rectangle(box);
        break;
    }
    case emr::kArc:
    case emr::kChord:
    case emr::kPie:
    case emr::kArcTo: {
        const emr::CArc arc = emr::CArc::Read(in);
        if (!in.Ok())
            return false;
        const ArcKind kind = type == emr::kArc     ? ArcKind::Arc
                             : type == emr::kChord ? ArcKind::Chord
                             : type == emr::kPie   ? ArcKind::Pie
                                                   : ArcKind::ArcTo;
        playback.Arc(arc, kind);
        break;
    }
    case emr::kSetArcDirection:
        playback.SetArcClockwise(in.U32() == 2);
        break;
    case emr::kBeginPath:
        playback.BeginPath();
        break;
    case emr::kEndPath:
        playback.EndPath();
        break;
    case emr::kAbortPath:
        playback.AbortPath();
        break;
    case emr::kCloseFigure:
        playback.CloseFigure();
        break;
    case emr::kFillPath:
        playback.FinishPath(false, true); // filling draws no outline
        break;
    case emr::kStrokeAndFillPath:
        playback.FinishPath(true, true);
        break;
    case emr::kStrokePath:
        playback.FinishPath(true, false);
        break;
    case emr::kGdiComment:
        PlayComment(emr::ReadComment(in), playback);
        break;
    case emr::kBitBlt: {
        const emr::CBitBlt blt = emr::CBitBlt::Read(in);
        if (!in.Ok())
            return false;
        if (blt.hasSource)
            playback.Image(blt.dib, blt.dest, blt.destSize);
        else if (blt.rasterOp == kPatCopy)
            playback.FillBlock(blt.dest, blt.destSize);
        break;
    }
    case emr::kStretchDiBits: {
        const emr::CStretchDiBits s = emr::CStretchDiBits::Read(in);
        if (!in.Ok())
            return false;
        playback.Image(s.dib, s.dest, s.destSize);
        break;
    }
    case emr::kExtTextOutA:
    case emr::kExtTextOutW: {
        emr::CTextOut t = emr::CTextOut::Read(in, type == emr::kExtTextOutA);
        if (!in.Ok())
            return false;
        t.text = type == emr::kExtTextOutA ? playback.FontText(t.text) : playback.WideFontText(t.text);
        playback.Text(std::move(t.text), t.reference, t.graphicsMode == 2);
        break;
    }
    case emr::kPolyBezier:
    case emr::kPolyBezier16:
    case emr::kPolygon:
    case emr::kPolygon16:
    case emr::kPolyline:
    case emr::kPolyline16:
    case emr::kPolyBezierTo:
    case emr::kPolyBezierTo16:
    case emr::kPolylineTo:
    case emr::kPolylineTo16: {
        const bool wide = type < emr::kPolyBezier16;
        const emr::CPoly poly = emr::CPoly::Read(in, wide);
        if (!in.Ok())
            return false;
        if (type == emr::kPolyBezier || type == emr::kPolyBezier16)
            playback.PolyBezier(poly.points);
        else if (type == emr::kPolygon || type == emr::kPolygon16)
            playback.Polyline(poly.points, true);
        else if (type == emr::kPolyline || type == emr::kPolyline16)
            playback.Polyline(poly.points, false);
        else if (type == emr::kPolyBezierTo || type == emr::kPolyBezierTo16)
            playback.PolyBezierTo(poly.points);
        else
            playback.PolylineTo(poly.points);
        break;
    }
    case emr::kPolyPolyline:
    case emr::kPolyPolyline16:
    case emr::kPolyPolygon:
    case emr::kPolyPolygon16: {
        const bool wide = type == emr::kPolyPolyline || type == emr::kPolyPolygon;
        const emr::CPolyPoly poly = emr::CPolyPoly::Read(in, wide);
        if (!in.Ok())
            return false;
        playback.Polylines(poly.counts, poly.points,
                           type == emr::kPolyPolygon || type == emr::kPolyPolygon16);
        break;
    }
    default:
        break; // clipping, fill modes and the rest leave the result as it is
    }
    return true;
}

} // namespace pq
