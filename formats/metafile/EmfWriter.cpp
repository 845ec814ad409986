#include "formats/metafile/EmfWriter.h"

#include "formats/metafile/EmfRecords.h"
#include "formats/metafile/MetafileComments.h"
#include "geometry/Numeric.h"
#include "geometry/Transform.h"
#include "model/Drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace pq {

namespace {

constexpr uint32_t kPenHandle = 1;
constexpr uint32_t kBrushHandle = 2;
constexpr uint32_t kAlternate = 1; // the even-odd fill of our paths

// Pens go out as extended pens: their widths are logical units for every player (some players take the
// width of a plain pen record as one pixel). Pens wider than one unit are geometric, as a plain pen of
// that width is.
void WritePen(CMetafileSink& out, int32_t style, int32_t width, uint32_t colour) {
    emr::CExtCreatePen pen;
    pen.handle = kPenHandle;
    pen.style = static_cast<uint32_t>(style) | (width > 1 ? emr::CExtCreatePen::kGeometric : 0u);
    pen.width = static_cast<uint32_t>(std::max(width, 0));
    pen.colour = colour;
    pen.Write(out);
}

int32_t Clamp16(int32_t v) {
    return std::clamp(v, -32768, 32767);
}

} // namespace

CEmfWriter::CEmfWriter(const CDrawing& source, int pageIndex, int width, int height)
    : drawing(source), page(std::clamp(pageIndex, 0, std::max(source.PageCount() - 1, 0))),
      targetWidth(width), targetHeight(height) {}

void CEmfWriter::CollectObjects() {
    for (const auto& object : drawing.Objects())
        if (object->page == page)
            objects.push_back(object.get());
    bounds = CRectF();
    bool first = true;
    for (const CGraphicObject* object : objects) {
        if (object->bounds.IsEmpty())
            continue;
        if (first)
            bounds = object->bounds;
        else
            bounds.Include(object->bounds);
        first = false;
    }
    if (targetWidth <= 0 || targetHeight <= 0 || first)
        return;
    // The target size scales copies about the centre of the content, keeping its proportions.
    const double w = bounds.Width();
    const double h = bounds.Height();
    const double s = std::min(targetWidth / GuardDivisor(w), targetHeight / GuardDivisor(h));
    if (!(s > 0.0) || !std::isfinite(s))
        return;
    const CPointF centre = bounds.Center();
    CTransform scale;
    scale.Translate(-centre.x, -centre.y, 0.0f);
    scale.Scale(static_cast<float>(s), static_cast<float>(s), 1.0f);
    scale.Translate(centre.x, centre.y, 0.0f);
    std::vector<const CGraphicObject*> copies;
    for (const CGraphicObject* object : objects) {
        scaledCopies.push_back(object->Clone());
        CGraphicObject& copy = *scaledCopies.back();
        copy.Transform(scale);
        if (CPathShape* path = copy.AsPath())
            path->penWidth = RoundHalfAway(path->penWidth * s);
        copies.push_back(&copy);
    }
    objects = std::move(copies);
    bounds = CRectF();
    first = true;
    for (const CGraphicObject* object : objects) {
        if (object->bounds.IsEmpty())
            continue;
        if (first)
            bounds = object->bounds;
        else
            bounds.Include(object->bounds);
        first = false;
    }
}

void CEmfWriter::SetUpMapping() {
    const float limit = static_cast<float>(kLogicalLimit);
    mapped = bounds.left < -limit || bounds.right > limit || bounds.top < -limit || bounds.bottom > limit;
    if (mapped)
        mapping.FitRect(bounds, CRect(-kLogicalLimit, -kLogicalLimit, kLogicalLimit, kLogicalLimit));
}

CPoint CEmfWriter::Logical(CPointF p) const {
    if (mapped)
        return {Clamp16(mapping.DocToDeviceX(p.x)), Clamp16(mapping.DocToDeviceY(p.y))};
    return {Clamp16(RoundHalfAway(p.x)), Clamp16(RoundHalfAway(p.y))};
}

int32_t CEmfWriter::LogicalLength(float length) const {
    return RoundHalfAway(mapped ? static_cast<double>(length) * mapping.GetScale() : length);
}

std::vector<uint8_t> CEmfWriter::Write() {
    CollectObjects();
    SetUpMapping();

    emr::CHeader().Write(out); // completed at the end
    currentPen = PenState();
    currentBrush = BrushState();
    WritePen(out, currentPen.style, currentPen.width, currentPen.colour);
    emr::CCreateBrush{kBrushHandle, static_cast<uint32_t>(currentBrush.style), currentBrush.colour, 0}.Write(
        out);

    emr::WriteValue(out, emr::kSetPolyFillMode, kAlternate);

    std::vector<int> madeCounts;
    madeCounts.reserve(objects.size());
    for (const CGraphicObject* object : objects) {
        int made = 0;
        if (const CPathShape* path = object->AsPath())
            made = WritePath(*object, *path);
        else if (const CTextShape* text = object->AsText())
            made = WriteText(*object, *text);
        else if (const CImageShape* image = object->AsImage())
            made = WriteImage(*image);
        madeCounts.push_back(made);
    }

    // The stock objects go back in before ours are deleted, so that no selected object is deleted.
    emr::WriteValue(out, emr::kSelectObject, emr::kStockNullBrush);
    emr::WriteValue(out, emr::kSelectObject, emr::kStockBlackPen);
    emr::WriteValue(out, emr::kDeleteObject, kPenHandle);
    emr::WriteValue(out, emr::kDeleteObject, kBrushHandle);
    WriteGroups(madeCounts);
    if (!objects.empty()) {
        const CPoint a = Logical(bounds.TopLeft());
        const CPoint b = Logical(bounds.BottomRight());
        if (b.x > a.x && b.y > a.y)
            emr::WriteComment(out, BoundsComment({a.x, a.y, b.x, b.y}));
    }
    emr::WriteEof(out);
    CompleteHeader();
    return std::move(out.Bytes());
}

int CEmfWriter::WritePath(const CGraphicObject& object, const CPathShape& path) {
    bool drawable = false;
    for (const auto& subpath : path.subpaths)
        drawable = drawable || subpath->GetSize() >= 2;
    if (!drawable)
        return 0;

    const PenState pen{path.penStyle, LogicalLength(static_cast<float>(path.penWidth)),
                       path.penColor & 0xFFFFFF};
    if (!(pen == currentPen)) {
        emr::WriteValue(out, emr::kDeleteObject, kPenHandle);
        WritePen(out, pen.style, pen.width, pen.colour);
        emr::WriteValue(out, emr::kSelectObject, kPenHandle);
        currentPen = pen;
    }
    const BrushState brush{path.brushStyle, object.color & 0xFFFFFF};
    if (!(brush == currentBrush)) {
        emr::WriteValue(out, emr::kDeleteObject, kBrushHandle);
        emr::CCreateBrush{kBrushHandle, static_cast<uint32_t>(brush.style), brush.colour, 0}.Write(out);
        emr::WriteValue(out, emr::kSelectObject, kBrushHandle);
        currentBrush = brush;
    }

    emr::WriteEmpty(out, emr::kBeginPath);
    bool lastOpen = false;
    CPoint last;
    for (const auto& subpath : path.subpaths) {
        const CNodeArray& nodes = *subpath;
        // A subpath of one node draws nothing; the ones after it are still written.
        if (nodes.GetSize() < 2)
            continue;
        emr::WritePoint(out, emr::kMoveToEx, Logical(nodes[0].anchor));
        emr::CPoly curve;
        curve.points.reserve(3 * (nodes.GetSize() - 1));
        for (std::size_t i = 1; i < nodes.GetSize(); ++i) {
            curve.points.push_back(Logical(nodes[i - 1].out));
            curve.points.push_back(Logical(nodes[i].in));
            curve.points.push_back(Logical(nodes[i].anchor));
        }
        curve.Write16(out, emr::kPolyBezierTo16);
        // A closed subpath is closed as a figure, so that its start is joined like its other corners.
        lastOpen = !(nodes[nodes.GetSize() - 1].anchor == nodes[0].anchor);
        if (!lastOpen)
            emr::WriteEmpty(out, emr::kCloseFigure);
        last = curve.points.back();
    }
    // Some players close the last figure of a stroked path; a move to its end leaves them an empty
    // figure to close instead, and draws nothing anywhere.
    if (lastOpen)
        emr::WritePoint(out, emr::kMoveToEx, last);
    emr::WriteEmpty(out, emr::kEndPath);
    emr::WriteBoundsOnly(out, path.brushStyle == 1 ? emr::kStrokePath : emr::kStrokeAndFillPath,
                         emr::kNoBounds);
    return 1;
}

int CEmfWriter::WriteImage(const CImageShape& image) {
    if (image.bitmap.IsEmpty() || image.bitmap.GetWidth() < 1 || image.bitmap.GetHeight() < 1)
        return 0;
    const CPoint a = Logical(image.placement.TopLeft());
    const CPoint b = Logical(image.placement.BottomRight());
    const std::vector<uint8_t> info = image.bitmap.GetInfoBytes();
    emr::CStretchDiBits record;
    record.bounds = {a.x, a.y, b.x, b.y};
    record.dest = a;
    record.source = {0, 0};
    record.sourceSize = {image.bitmap.GetWidth(), image.bitmap.GetHeight()};
    record.usage = 0;
    record.rasterOp = image.rasterOp;
    record.destSize = {b.x - a.x, b.y - a.y};
    record.dib.info = info;
    record.dib.bits = image.bitmap.GetBits();
    record.Write(out);
    return 1;
}

void CEmfWriter::WriteGroups(const std::vector<int>& madeCounts) {
    // Groups in the order they first appear on the page, each listing the indices of the objects the
    // reader makes from its members (a text of several lines makes one object per line).
    std::map<int32_t, std::size_t> order;
    std::vector<std::vector<int>> members;
    int made = 0;
    for (std::size_t k = 0; k < objects.size(); ++k) {
        const int32_t group = objects[k]->group;
        if (group != 0) {
            auto [it, added] = order.emplace(group, members.size());
            if (added)
                members.emplace_back();
            for (int i = 0; i < madeCounts[k]; ++i)
                members[it->second].push_back(made + i);
        }
        made += madeCounts[k];
    }
    std::vector<int> table;
    for (const std::vector<int>& group : members) {
        if (group.empty())
            continue;
        table.push_back(static_cast<int>(group.size()));
        table.insert(table.end(), group.begin(), group.end());
    }
    if (!table.empty())
        emr::WriteComment(out, GroupComment(table));
}

void CEmfWriter::CompleteHeader() {
    emr::CHeader header;
    if (!objects.empty()) {
        const CPoint a = Logical(bounds.TopLeft());
        const CPoint b = Logical(bounds.BottomRight());
        header.bounds = {a.x, a.y, b.x, b.y};
        // The frame is the content's true size: logical units times ten, or, for content mapped into
        // the logical range, its size before the mapping.
        if (mapped)
            header.frame = {RoundHalfAway(bounds.left * 10.0), RoundHalfAway(bounds.top * 10.0),
                            RoundHalfAway(bounds.right * 10.0), RoundHalfAway(bounds.bottom * 10.0)};
        else
            header.frame = {a.x * 10, a.y * 10, b.x * 10, b.y * 10};
    }
    header.fileBytes = static_cast<uint32_t>(out.Size());
    header.records = out.RecordCount() + 1;
    header.handles = 4;
    header.devicePixels = {800, 600};
    header.deviceMillimetres = {80, 60};
    CMetafileSink bytes;
    header.Write(bytes);
    std::copy(bytes.Bytes().begin(), bytes.Bytes().end(), out.Bytes().begin());
}

} // namespace pq
