#include "formats/ai/AiWriter.h"

#include "formats/ai/AiNumbers.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace pq {

namespace {

constexpr float kPointsPerUnit = 0.28346518f;

bool SamePoint(CPointF a, CPointF b) {
    return std::fabs(a.x - b.x) < kGeomEpsilon && std::fabs(a.y - b.y) < kGeomEpsilon;
}

} // namespace

CAiWriter::CAiWriter(const CDrawing& source, int pageIndex, std::string fileTitle)
    : drawing(source), page(std::clamp(pageIndex, 0, source.PageCount() - 1)), title(std::move(fileTitle)) {
    // Scale is requested first and so acts last: points move by (W/2, -H/2), then are scaled to points.
    toAi.Scale(kPointsPerUnit, kPointsPerUnit, 1.0f);
    toAi.Translate(-drawing.GetPageWidth() / 2.0f, drawing.GetPageHeight() / 2.0f, 0.0f);
}

void CAiWriter::Line(std::string_view text) {
    file += text;
    file += "\r\n";
}

void CAiWriter::Numbers(std::initializer_list<double> values) {
    bool first = true;
    for (const double v : values) {
        if (!first)
            file += ' ';
        first = false;
        AppendAiNumber(file, v);
    }
}

void CAiWriter::ColourLine(uint32_t colour, bool fill) {
    Numbers({(colour & 0xFF) * 0.003921569, ((colour >> 8) & 0xFF) * 0.003921569,
             ((colour >> 16) & 0xFF) * 0.003921569});
    Line(fill ? " Xa" : " XA");
}

CPointF CAiWriter::ToAi(CPointF p) const {
    return toAi.Apply(p);
}

std::string CAiWriter::Write() {
    std::vector<const CGraphicObject*> objects;
    for (const auto& object : drawing.Objects())
        if (object->page == page)
            objects.push_back(object.get());
    file.reserve(256 + objects.size() * 200);

    WriteHeader();
    std::vector<bool> written(objects.size(), false);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const CGraphicObject& object = *objects[i];
        if (const CPathShape* path = object.AsPath())
            written[i] = WritePath(object, *path);
        else if (const CTextShape* text = object.AsText())
            written[i] = WriteText(object, *text);
        else if (const CImageShape* image = object.AsImage())
            written[i] = WriteImage(*image);
    }
    WriteGroups(objects, written);
    Line("%%PageTrailer");
    Line("%%Trailer");
    Line("%%EOF");
    return std::move(file);
}

void CAiWriter::WriteHeader() {
    Line("%!PS-Adobe-3.0");
    Line("%%Creator:Adobe Illustrator (TM) 7.0");
    // The title is a comment: a line break inside the name would end it early.
    std::string safeTitle = title;
    std::replace_if(
        safeTitle.begin(), safeTitle.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    Line("%%Title: (" + safeTitle + ")");

    CRectF box = CRectF::Empty();
    for (const auto& object : drawing.Objects()) {
        if (object->page != page || object->bounds.IsEmpty())
            continue;
        box.left = std::min(box.left, object->bounds.left);
        box.right = std::max(box.right, object->bounds.right);
        box.top = std::min(box.top, object->bounds.top);
        box.bottom = std::max(box.bottom, object->bounds.bottom);
    }
    file += "%%BoundingBox: ";
    if (box.IsEmpty()) {
        file += "0.0000 0.0000 0.0000 0.0000 \r\n";
    } else {
        const CPointF topLeft = ToAi({box.left, box.top});
        const CPointF bottomRight = ToAi({box.right, box.bottom});
        for (const double v :
             {double(topLeft.x), -double(bottomRight.y), double(bottomRight.x), -double(topLeft.y)}) {
            AppendAiNumber(file, v);
            file += ' ';
        }
        file += "\r\n";
    }
    const double w = static_cast<double>(drawing.GetPageWidth()) * kPointsPerUnit;
    const double h = static_cast<double>(drawing.GetPageHeight()) * kPointsPerUnit;
    file += "%%AI3_TemplateBox: ";
    Numbers({w / 2, h / 2, w / 2, h / 2});
    Line("");
    file += "%AI5_ArtSize: ";
    Numbers({w, h});
    Line("");
    Line("%%EndComments");
    Line("%%BeginProlog");
    Line("%%EndProlog");
    Line("%%BeginSetup");
    Line("%%EndSetup");
}

bool CAiWriter::WritePath(const CGraphicObject& object, const CPathShape& path) {
    const bool filled = path.brushStyle != kBrushHollow;
    const bool stroked = path.penStyle != kPenNull;
    std::size_t usable = 0;
    for (const auto& nodes : path.subpaths)
        if (nodes->GetSize() >= 2)
            ++usable;
    // A path with nothing to draw leaves no trace: the reader could not make an object of it.
    if (usable == 0)
        return false;
    const bool compound = path.subpaths.size() > 1;
    if (compound)
        Line("*u");
    for (const auto& nodesPointer : path.subpaths) {
        const CNodeArray& nodes = *nodesPointer;
        if (nodes.GetSize() < 2)
            continue;
        Line("1 XR");
        if (filled) {
            Line("0 O");
            ColourLine(object.color, true);
        }
        if (stroked) {
            Line("0 R");
            ColourLine(path.penColor, false);
            AppendAiFixed(file, path.penWidth * 0.28346518, 6);
            Line(" w");
        }
        const CPointF first = ToAi(nodes[0].anchor);
        Numbers({first.x, -first.y});
        Line(" m");
        for (std::size_t i = 1; i < nodes.GetSize(); ++i) {
            const CPathNode& previous = nodes[i - 1];
            const CPathNode& node = nodes[i];
            const CPointF anchor = ToAi(node.anchor);
            if (SamePoint(previous.out, previous.anchor) && SamePoint(node.in, node.anchor)) {
                Numbers({anchor.x, -anchor.y});
                Line(" l");
            } else {
                const CPointF c1 = ToAi(previous.out);
                const CPointF c2 = ToAi(node.in);
                Numbers({c1.x, -c1.y, c2.x, -c2.y, anchor.x, -anchor.y});
                Line(" c");
            }
        }
        const bool closed = SamePoint(nodes[0].anchor, nodes[nodes.GetSize() - 1].anchor);
        if (filled && !closed) {
            Numbers({first.x, -first.y});
            Line(" l");
        }
        if (filled)
            Line(stroked ? "b" : "f");
        else if (stroked)
            Line(closed ? "s" : "S");
        else
            Line(closed ? "n" : "N");
    }
    if (compound)
        Line("*U");
    return true;
}

void CAiWriter::WriteUnderlineBox(uint32_t colour, const CPointF (&corners)[4]) {
    Line("1 XR");
    Line("0 O");
    ColourLine(colour, true);
    for (int i = 0; i <= 4; ++i) {
        const CPointF p = corners[i % 4];
        Numbers({p.x, p.y});
        Line(i == 0 ? " m" : " L");
    }
    Line("f");
}

void CAiWriter::WriteGroups(const std::vector<const CGraphicObject*>& objects,
                            const std::vector<bool>& written) {
    // Groups are numbered in the order they first appear on the page; members are counted among the
    // objects the file holds, so an object left out does not shift the members after it.
    std::map<int32_t, std::size_t> order;
    std::vector<std::vector<int>> members;
    int index = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (!written[i])
            continue;
        const int32_t group = objects[i]->group;
        if (group != 0) {
            auto [it, added] = order.try_emplace(group, members.size());
            if (added)
                members.emplace_back();
            members[it->second].push_back(index);
        }
        ++index;
    }
    std::vector<int> table;
    for (const auto& list : members) {
        table.push_back(static_cast<int>(list.size()));
        table.insert(table.end(), list.begin(), list.end());
    }
    file += "%!!PQ Begin Groups ";
    AppendAiInt(file, static_cast<int64_t>(table.size()));
    Line("");
    for (const int entry : table) {
        file += "%!!PQ ";
        AppendAiInt(file, entry);
        Line("");
    }
    Line("%!!PQ End Groups");
}

} // namespace pq
