#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace pq {

class CDrawing;
class CGraphicObject;
class CImageShape;
class CPathShape;
class CTextShape;

// Writes one page of a drawing as an SVG 1.1 document: the page size in millimetres with a view box in
// document units (the page centred on the origin, as in the drawing), paths as <path> with their pens,
// fills and dashes, texts as <text> with one <tspan> a line (paragraphs wrapped as the renderer wraps
// them), images as embedded PNG, and the drawing's groups as <g>. What SVG cannot say (hairline pens,
// the renderer's other fills, a paragraph's frame and typed text) rides along in attributes of our own
// namespace, so reading the file back gives the same drawing.
class CSvgWriter {
public:
    explicit CSvgWriter(const CDrawing& drawing);
    // The document for page (from 0); the caller has checked the page exists.
    [[nodiscard]] std::string Write(int page);

private:
    void WriteObject(const CGraphicObject& object);
    void WritePath(const CGraphicObject& object, const CPathShape& path);
    void WriteText(const CGraphicObject& object, const CTextShape& text);
    void WriteArtisticLines(const CTextShape& text);
    void WriteParagraphLines(const CTextShape& text);
    void WriteImage(const CImageShape& image);

    // The id of the pattern that draws a hatched or dotted fill of colour, defined at the end.
    std::string FillPattern(int brushStyle, uint32_t colour);
    void WritePatterns();

    const CDrawing& drawing;
    std::string out;
    std::map<std::pair<int, uint32_t>, std::string> patterns;
};

// Shared by the writer's files.
// The shortest decimal form that reads back as the same float.
[[nodiscard]] std::string SvgNumber(float v);
[[nodiscard]] std::string SvgNumber(double v);
// "#rrggbb" of a 0x00BBGGRR colour.
[[nodiscard]] std::string SvgColour(uint32_t colour);
// Text escaped for element content or attribute values (attributes also keep line breaks and tabs).
[[nodiscard]] std::string EscapeXml(std::string_view text, bool attribute);

} // namespace pq
