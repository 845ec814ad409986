// Texts of the SVG writer: one <text> a text object, one <tspan> a line, laid out as the renderer lays
// them out.
#include "formats/svg/SvgWriter.h"

#include "formats/svg/SvgTextHelpers.h"
#include "model/GraphicObject.h"
#include "model/TextMetrics.h"
#include "render/TextLayout.h"

#include <cmath>

namespace pq {

namespace {

std::string Line(float x, float y, const std::u16string& text) {
    return "<tspan x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) + "\">" +
           EscapeXml(Utf16ToUtf8(text), false) + "</tspan>";
}

} // namespace

void CSvgWriter::WriteText(const CGraphicObject& object, const CTextShape& text) {
    const std::u16string face = text.faceName.substr(0, 29);
    out += "<text xml:space=\"preserve\" font-family=\"'" + EscapeXml(Utf16ToUtf8(face), true) +
           "'\" font-size=\"" + SvgNumber(text.height) + "\"";
    if ((text.style & kTextStyleBold) != 0)
        out += " font-weight=\"bold\"";
    if ((text.style & kTextStyleItalic) != 0)
        out += " font-style=\"italic\"";
    if ((text.style & kTextStyleUnderline) != 0)
        out += " text-decoration=\"underline\"";
    if (text.alignment == kAlignRight)
        out += " text-anchor=\"end\"";
    else if (text.alignment == kAlignCentre)
        out += " text-anchor=\"middle\"";
    out += " fill=\"" + SvgColour(object.color) + "\"";

    if (text.mode == kTextParagraph) {
        // The frame and the text as typed come back from these; the lines below are how it looks.
        out += " pq:frame=\"" + SvgNumber(text.position.x) + " " + SvgNumber(text.position.y) + " " +
               SvgNumber(text.corner.x) + " " + SvgNumber(text.corner.y) + "\" pq:source=\"" +
               EscapeXml(Utf16ToUtf8(text.text), true) + "\"";
        if (text.angle != 0.0f)
            out += " pq:angle=\"" + SvgNumber(text.angle) + "\"";
        out += ">";
        WriteParagraphLines(text);
    } else {
        if (text.angle != 0.0f)
            out += " transform=\"rotate(" + SvgNumber(-text.angle) + " " + SvgNumber(text.position.x) + " " +
                   SvgNumber(text.position.y) + ")\"";
        out += ">";
        WriteArtisticLines(text);
    }
    out += "</text>\n";
}

// Lines as typed, each below the one before by the line height; the anchor sits at the block's start,
// middle or end, so the viewer's own font aligns the lines as ours does. The rotation is the element's.
void CSvgWriter::WriteArtisticLines(const CTextShape& text) {
    const float ascent = TextAscent(text);
    const float lineHeight = TextLineHeight(text);
    const float blockWidth = MeasureTextBlock(text).x;
    float x = text.position.x;
    if (text.alignment == kAlignRight)
        x += blockWidth;
    else if (text.alignment == kAlignCentre)
        x += blockWidth / 2.0f;
    std::size_t index = 0;
    const int lines = CountTextLines(text);
    for (int k = 0; k < lines; ++k) {
        const std::u16string line = GetTextLine(text, index);
        out += Line(x, text.position.y + ascent + lineHeight * static_cast<float>(k), line);
    }
}

// The frame's lines as the renderer breaks them, and only those that fit its height.
void CSvgWriter::WriteParagraphLines(const CTextShape& text) {
    const float ascent = TextAscent(text);
    const float frameWidth = text.corner.x - text.position.x;
    const float frameHeight = text.corner.y - text.position.y;
    float x = text.position.x;
    if (text.alignment == kAlignRight)
        x = text.corner.x;
    else if (text.alignment == kAlignCentre)
        x = (text.position.x + text.corner.x) / 2.0f;

    float usedHeight = 0.0f;
    std::size_t index = 0;
    while (index < text.text.size()) {
        const std::size_t before = index;
        const std::u16string line = GetWrappedLine(text, index, frameWidth);
        const float top = text.position.y + usedHeight;
        usedHeight += GetTextMetrics().MeasureString(text, line.empty() ? std::u16string_view(u"a") : line).y;
        if (usedHeight > frameHeight + 1.0f || index == before)
            break;
        out += Line(x, top + ascent, line);
    }
}

} // namespace pq
