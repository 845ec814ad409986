#include "native/PdfWriter.h"

#include "model/GraphicObject.h"
#include "native/PdfNumbers.h"
#include "platform/PenBrushStyles.h"

#include <cmath>

namespace pq {

namespace {

// 1/255: a colour byte as a component from 0 to 1.
constexpr double kComponentPerByte = 0.003921569;

bool IsClosed(const CNodeArray& nodes) {
    return nodes.GetSize() >= 2 && nodes[nodes.GetSize() - 1].anchor == nodes[0].anchor;
}

} // namespace

void CPdfWriter::AppendColour(std::string& out, uint32_t color, std::string_view op) const {
    for (int shift = 0; shift <= 16; shift += 8) {
        AppendFixed(out, static_cast<double>((color >> shift) & 0xFF) * kComponentPerByte, 6);
        out += ' ';
    }
    out += op;
    out += "\r\n";
}

void CPdfWriter::AppendPoint(std::string& out, CPointF p, std::string_view op) const {
    AppendFixed(out, p.x, 6);
    out += ' ';
    AppendFixed(out, -p.y, 6);
    out += ' ';
    out += op;
    out += "\r\n";
}

void CPdfWriter::AppendPath(std::string& out, const CGraphicObject& object, const CPathShape& path) const {
    // Subpaths of fewer than two nodes draw nothing; a path without any is left out.
    bool drawable = false;
    for (const auto& nodes : path.subpaths)
        drawable = drawable || nodes->GetSize() >= 2;
    if (!drawable)
        return;

    const bool stroked = path.penStyle != kPenNull;
    const bool filled = path.brushStyle != kBrushHollow;
    if (stroked) {
        AppendFixed(out, static_cast<double>(path.penWidth) * static_cast<double>(kPointsPerUnit), 6);
        out += " w\r\n";
        AppendColour(out, path.penColor, "RG");
    }
    if (filled)
        AppendColour(out, object.color, "rg");

    // A subpath is closed when its last anchor is its first: only then does "h" follow it, so an open
    // subpath is never given a closing segment by a viewer, and the reader sees exactly the nodes written.
    bool previousClosed = false;
    bool first = true;
    for (const auto& subpath : path.subpaths) {
        const CNodeArray& nodes = *subpath;
        if (nodes.GetSize() < 2)
            continue;
        if (!first && previousClosed)
            out += "h\r\n";
        first = false;
        CPointF previousOut = toPdf.Apply(nodes[0].out);
        CPointF previousAnchor = toPdf.Apply(nodes[0].anchor);
        AppendPoint(out, previousAnchor, "m");
        for (std::size_t i = 1; i < nodes.GetSize(); ++i) {
            const CPointF in = toPdf.Apply(nodes[i].in);
            const CPointF anchor = toPdf.Apply(nodes[i].anchor);
            if (previousOut == previousAnchor && in == anchor) {
                AppendPoint(out, anchor, "l");
            } else {
                AppendFixed(out, previousOut.x, 6);
                out += ' ';
                AppendFixed(out, -previousOut.y, 6);
                out += ' ';
                AppendFixed(out, in.x, 6);
                out += ' ';
                AppendFixed(out, -in.y, 6);
                out += ' ';
                AppendPoint(out, anchor, "c");
            }
            previousOut = toPdf.Apply(nodes[i].out);
            previousAnchor = anchor;
        }
        previousClosed = IsClosed(nodes);
    }

    // The closing forms of the painting operators only when the last subpath drawn is closed.
    if (stroked && filled)
        out += previousClosed ? "b*\r\n" : "B*\r\n";
    else if (stroked)
        out += previousClosed ? "s\r\n" : "S\r\n";
    else if (filled)
        out += "f*\r\n";
    else
        out += "n\r\n";
}

void CPdfWriter::AppendImage(std::string& out, const CImageShape& image, int number) const {
    const CPointF topLeft = toPdf.Apply(CPointF{image.placement.left, image.placement.top});
    const CPointF bottomRight = toPdf.Apply(CPointF{image.placement.right, image.placement.bottom});
    const double width = static_cast<double>(bottomRight.x) - topLeft.x;
    const double height = static_cast<double>(bottomRight.y) - topLeft.y;
    if (std::fabs(width) < 1e-8 || std::fabs(height) < 1e-8)
        return;
    out += "q\r\n";
    AppendFixed(out, width, 6);
    out += " 0 0 ";
    AppendFixed(out, height, 6);
    out += ' ';
    AppendFixed(out, topLeft.x, 6);
    out += ' ';
    AppendFixed(out, -bottomRight.y, 6);
    out += " cm\r\n/Im";
    AppendInt(out, number);
    out += " Do\r\nQ\r\n";
}

} // namespace pq
