#include "formats/svg/SvgWriter.h"

#include "formats/svg/SvgPens.h"
#include "formats/svg/SvgValues.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"
#include "platform/image/PngCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace pq {

namespace {

constexpr int kBrushDotted = 3; // the renderer's dotted fill

} // namespace

std::string SvgNumber(float v) {
    if (!std::isfinite(v))
        v = 0.0f;
    if (v == 0.0f)
        return "0"; // also for -0
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::string SvgNumber(double v) {
    if (!std::isfinite(v) || v == 0.0)
        return "0";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::string SvgColour(uint32_t colour) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return buffer;
}

std::string EscapeXml(std::string_view text, bool attribute) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
        case '\n':
        case '\t':
            if (attribute)
                out += c == '\r' ? "&#13;" : c == '\n' ? "&#10;" : "&#9;";
            else
                out += c;
            break;
        default:
            // Control characters have no place in XML 1.0; nor do U+FFFE and U+FFFF (EF BF BE/BF).
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\xEF\xBF\xBD";
            } else if (static_cast<unsigned char>(c) == 0xEF && i + 2 < text.size() &&
                       static_cast<unsigned char>(text[i + 1]) == 0xBF &&
                       (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
                out += "\xEF\xBF\xBD";
                i += 2;
            } else {
                out += c;
            }
        }
    }
    return out;
}

CSvgWriter::CSvgWriter(const CDrawing& source) : drawing(source) {}

std::string CSvgWriter::Write(int page) {
    const float w = drawing.GetPageWidth();
    const float h = drawing.GetPageHeight();
    out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "xmlns:pq=\"urn:pentaquill:draw\" version=\"1.1\" width=\"" +
           SvgNumber(static_cast<double>(w) / 10.0) + "mm\" height=\"" +
           SvgNumber(static_cast<double>(h) / 10.0) + "mm\" viewBox=\"" + SvgNumber(-w / 2.0f) + " " +
           SvgNumber(-h / 2.0f) + " " + SvgNumber(w) + " " + SvgNumber(h) +
           "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";

    // The page's objects in drawing order; a run of one group's members is one <g>. A group whose
    // members are not adjacent becomes several <g> with the same group attribute.
    int openGroup = 0;
    for (const auto& object : drawing.Objects()) {
        if (object->page != page)
            continue;
        if (object->group != openGroup) {
            if (openGroup != 0)
                out += "</g>\n";
            openGroup = object->group;
            if (openGroup != 0)
                out += "<g pq:group=\"" + std::to_string(openGroup) + "\">\n";
        }
        WriteObject(*object);
    }
    if (openGroup != 0)
        out += "</g>\n";
    WritePatterns();
    out += "</svg>\n";
    return std::move(out);
}

void CSvgWriter::WriteObject(const CGraphicObject& object) {
    if (const CPathShape* path = object.AsPath())
        WritePath(object, *path);
    else if (const CTextShape* text = object.AsText())
        WriteText(object, *text);
    else if (const CImageShape* image = object.AsImage())
        WriteImage(*image);
}

void CSvgWriter::WritePath(const CGraphicObject& object, const CPathShape& path) {
    std::string d;
    for (const auto& subpath : path.subpaths) {
        const CNodeArray& nodes = *subpath;
        const std::size_t n = nodes.GetSize();
        if (n == 0)
            continue;
        if (!d.empty())
            d += ' ';
        d += "M" + SvgNumber(nodes[0].anchor.x) + " " + SvgNumber(nodes[0].anchor.y);
        for (std::size_t i = 1; i < n; ++i) {
            const CPathNode& a = nodes[i - 1];
            const CPathNode& b = nodes[i];
            if (a.out == a.anchor && b.in == b.anchor)
                d += "L" + SvgNumber(b.anchor.x) + " " + SvgNumber(b.anchor.y);
            else
                d += "C" + SvgNumber(a.out.x) + " " + SvgNumber(a.out.y) + " " + SvgNumber(b.in.x) + " " +
                     SvgNumber(b.in.y) + " " + SvgNumber(b.anchor.x) + " " + SvgNumber(b.anchor.y);
        }
        if (n > 1 && nodes[n - 1].anchor == nodes[0].anchor)
            d += "Z";
    }
    if (d.empty())
        return; // nothing SVG could show or give back

    out += "<path d=\"" + d + "\"";
    if (path.brushStyle == kBrushHollow)
        out += " fill=\"none\"";
    else if (path.brushStyle == kBrushHatched || path.brushStyle == kBrushDotted)
        out += " fill=\"url(#" + FillPattern(path.brushStyle, object.color) + ")\" fill-rule=\"evenodd\"";
    else
        out += " fill=\"" + SvgColour(object.color) + "\" fill-rule=\"evenodd\"";
    // Styles other than solid and hollow are named for the way back: SVG shows the hatch and the dots
    // as patterns, and any other style fills solid, as the renderer fills it.
    if (path.brushStyle != kBrushHollow && path.brushStyle != kBrushSolid)
        out += " pq:brush=\"" + std::to_string(path.brushStyle) + "\"";

    if (path.penStyle == kPenNull) {
        out += " stroke=\"none\"";
        if (path.penWidth != 0)
            out += " pq:pen-width=\"" + std::to_string(path.penWidth) + "\"";
    } else {
        // A hairline (width 0) is drawn one pixel wide: a pixel at 96 per inch here.
        const double width = path.penWidth > 0 ? static_cast<double>(path.penWidth) : kUnitsPerPixel;
        out += " stroke=\"" + SvgColour(path.penColor) + "\" stroke-width=\"" +
               SvgNumber(std::round(width * 1000.0) / 1000.0) + "\"";
        if (path.penWidth <= 0)
            out += " pq:pen-width=\"" + std::to_string(path.penWidth) + "\"";
        // Dashes are drawn by pens one pixel wide only; wider dashed pens draw solid.
        const std::vector<double> dashes =
            path.penWidth <= 1 ? DashesForPenStyle(path.penStyle) : std::vector<double>{};
        if (!dashes.empty()) {
            out += " stroke-dasharray=\"";
            for (std::size_t i = 0; i < dashes.size(); ++i)
                out += (i > 0 ? " " : "") + SvgNumber(dashes[i]);
            out += "\"";
        }
        if (path.penStyle != kPenSolid && dashes.empty())
            out += " pq:pen-style=\"" + std::to_string(path.penStyle) + "\"";
    }
    out += "/>\n";
}

std::string CSvgWriter::FillPattern(int brushStyle, uint32_t colour) {
    auto [it, added] = patterns.try_emplace({brushStyle, colour});
    if (added)
        it->second = (brushStyle == kBrushHatched ? "pq-hatch-" : "pq-dots-") + SvgColour(colour).substr(1);
    return it->second;
}

// The renderer's fills at screen size: a horizontal hatch line every 8 pixels, a dot every 3 pixels on
// every third row.
void CSvgWriter::WritePatterns() {
    if (patterns.empty())
        return;
    const std::string pixel = SvgNumber(std::round(kUnitsPerPixel * 1000.0) / 1000.0);
    out += "<defs>\n";
    for (const auto& [key, id] : patterns) {
        const bool hatch = key.first == kBrushHatched;
        const std::string cell =
            SvgNumber(std::round(kUnitsPerPixel * (hatch ? 8.0 : 3.0) * 1000.0) / 1000.0);
        out += "<pattern id=\"" + id + "\" patternUnits=\"userSpaceOnUse\" width=\"" + cell + "\" height=\"" +
               cell + "\"><rect " +
               (hatch ? "y=\"" + SvgNumber(std::round(kUnitsPerPixel * 4.0 * 1000.0) / 1000.0) +
                            "\" width=\"" + cell
                      : "width=\"" + pixel) +
               "\" height=\"" + pixel + "\" fill=\"" + SvgColour(key.second) + "\"/></pattern>\n";
    }
    out += "</defs>\n";
}

void CSvgWriter::WriteImage(const CImageShape& image) {
    if (image.bitmap.IsEmpty())
        return;
    std::vector<uint8_t> png;
    if (!EncodePng(image.bitmap, png))
        return;
    const CRectF& r = image.placement;
    const float left = std::min(r.left, r.right), top = std::min(r.top, r.bottom);
    out += "<image x=\"" + SvgNumber(left) + "\" y=\"" + SvgNumber(top) + "\" width=\"" +
           SvgNumber(std::fabs(r.right - r.left)) + "\" height=\"" + SvgNumber(std::fabs(r.bottom - r.top)) +
           "\" preserveAspectRatio=\"none\" image-rendering=\"optimizeSpeed\" "
           "xlink:href=\"data:image/png;base64," +
           EncodeBase64(png) + "\"/>\n";
}

} // namespace pq
