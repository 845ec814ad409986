// Texts and images of an SVG file.
#include "formats/svg/SvgImporter.h"

#include "formats/svg/SvgTextHelpers.h"
#include "model/Drawing.h"
#include "platform/image/ImageFile.h"
#include "render/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace pq {

namespace {

// Lines of a text element: a tspan that sets its own position (or is one of Inkscape's lines) starts a
// new line; everything else continues the current one.
struct CTextLines {
    std::vector<std::string> lines{std::string()};
    bool started = false; // whether any character has been placed
    std::optional<double> x, y;
};

bool StartsLine(const CXmlElement& tspan) {
    const std::string* role = tspan.Attribute("sodipodi:role");
    return tspan.Attribute("x") != nullptr || tspan.Attribute("y") != nullptr ||
           tspan.Attribute("dy") != nullptr || (role != nullptr && *role == "line");
}

std::optional<double> FirstNumber(const CXmlElement& element, const char* name) {
    const std::string* value = element.Attribute(name);
    if (value == nullptr)
        return std::nullopt;
    const std::vector<double> v = ParseNumberList(*value);
    return v.empty() ? std::nullopt : std::optional<double>(v.front());
}

// Character data as SVG lays it out: without xml:space="preserve" line breaks go, tabs become spaces
// and runs of spaces become one.
std::string Normalise(std::string_view text, bool preserve) {
    std::string out;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            if (preserve)
                out += ' ';
            continue;
        }
        if (c == '\t' && !preserve)
            c = ' ';
        if (!preserve && c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    return out;
}

std::string TrimSpaces(std::string s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

} // namespace

void CSvgImporter::ImportText(int index, const CContext& context) {
    const CXmlElement& element = doc.elements[static_cast<std::size_t>(index)];
    const CSvgStyle& style = context.style;
    if (style.hidden)
        return;

    CTextLines collected;
    collected.x = FirstNumber(element, "x");
    collected.y = FirstNumber(element, "y");
    const bool preserve = style.preserveSpaces;
    // Depth-first over the text's content; the XML depth is bounded, and so is this stack.
    std::vector<std::pair<int, std::size_t>> stack{{index, 0}};
    while (!stack.empty()) {
        auto& [current, next] = stack.back();
        const CXmlElement& e = doc.elements[static_cast<std::size_t>(current)];
        if (next >= e.content.size()) {
            stack.pop_back();
            continue;
        }
        const int item = e.content[next++];
        if (item < 0) {
            const std::string run = Normalise(e.texts[static_cast<std::size_t>(-1 - item)], preserve);
            // White space between the tags of an indented file is no line of its own.
            if (run.find_first_not_of(' ') != std::string::npos)
                collected.started = true;
            collected.lines.back() += run;
            continue;
        }
        const CXmlElement& child = doc.elements[static_cast<std::size_t>(item)];
        if (child.name != "tspan" && child.name != "a")
            continue;
        if (child.name == "tspan" && StartsLine(child)) {
            if (collected.started)
                collected.lines.emplace_back();
            collected.started = true;
            if (!collected.x)
                collected.x = FirstNumber(child, "x");
            if (!collected.y)
                collected.y = FirstNumber(child, "y");
        }
        stack.emplace_back(item, 0);
    }

    std::u16string text;
    for (std::size_t i = 0; i < collected.lines.size(); ++i) {
        if (i > 0)
            text += u"\r\n";
        text += Utf8ToUtf16(preserve ? collected.lines[i] : TrimSpaces(collected.lines[i]));
    }
    const std::string* source = element.Attribute("pq:source");
    if (text.empty() && source == nullptr)
        return;

    auto object = std::make_unique<CGraphicObject>(kKindText);
    CTextShape* shape = object->AsText();
    shape->text = std::move(text);
    shape->faceName = Utf8ToUtf16(style.fontFamily);
    const double scale = context.matrix.MeanScale();
    shape->height = static_cast<float>(std::clamp(style.fontSize * scale, 3.0, 1e5));
    shape->style = (style.bold ? kTextStyleBold : 0) | (style.italic ? kTextStyleItalic : 0) |
                   (style.underline ? kTextStyleUnderline : 0);
    shape->alignment = style.anchor == 1 ? kAlignCentre : style.anchor == 2 ? kAlignRight : kAlignLeft;
    object->color = PaintColour(style.fill, style).value_or(0);

    const std::string* frame = element.Attribute("pq:frame");
    const std::vector<double> corners = frame != nullptr ? ParseNumberList(*frame) : std::vector<double>{};
    if (corners.size() == 4) {
        // Our paragraph text: the frame and the text as typed; the lines in the file are its layout.
        shape->mode = kTextParagraph;
        shape->position = context.matrix.Apply(corners[0], corners[1]);
        shape->corner = context.matrix.Apply(corners[2], corners[3]);
        if (source != nullptr)
            shape->text = Utf8ToUtf16(*source);
        if (const std::string* angle = element.Attribute("pq:angle"))
            shape->angle = static_cast<float>(std::clamp(ParseNumber(*angle).value_or(0.0), -360.0, 360.0));
    } else {
        shape->mode = kTextArtistic;
        const double degrees = context.matrix.RotationDegrees();
        shape->angle = static_cast<float>(std::round(degrees * 1e4) / 1e4);
        // The anchor is the first baseline at the start, middle or end of the block; the position is the
        // top-left corner of the first line's cell.
        const CPointF anchor = context.matrix.Apply(collected.x.value_or(0.0), collected.y.value_or(0.0));
        const double a = shape->angle * 0.017453292;
        const double ascent = TextAscent(*shape);
        const double width = MeasureTextBlock(*shape).x;
        const double offset = shape->alignment == kAlignRight    ? width
                              : shape->alignment == kAlignCentre ? width / 2.0
                                                                 : 0.0;
        shape->position = {static_cast<float>(anchor.x - ascent * std::sin(a) - offset * std::cos(a)),
                           static_cast<float>(anchor.y - ascent * std::cos(a) + offset * std::sin(a))};
    }
    object->RecalcBounds();
    Add(std::move(object), context);
}

void CSvgImporter::ImportImage(const CXmlElement& element, const CContext& context) {
    if (context.style.hidden)
        return;
    const double w = Length(element, "width", viewportWidth, context.style);
    const double h = Length(element, "height", viewportHeight, context.style);
    if (w <= 0.0 || h <= 0.0)
        return;
    const std::string* href = element.Attribute("xlink:href");
    if (href == nullptr)
        href = element.Attribute("href");
    if (href == nullptr)
        return;

    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    const std::string_view ref = Trim(*href);
    if (ref.starts_with("data:")) {
        const std::size_t comma = ref.find(',');
        if (comma == std::string_view::npos ||
            ref.substr(0, comma).find(";base64") == std::string_view::npos) {
            Warn("an image whose data is not base64 was left out");
            return;
        }
        std::vector<uint8_t> bytes;
        if (!DecodeBase64(ref.substr(comma + 1), bytes) || !DecodeImage(bytes, image->bitmap)) {
            Warn("an embedded image that cannot be decoded was left out");
            return;
        }
    } else {
        std::string_view file = ref;
        if (file.starts_with("file://"))
            file.remove_prefix(7);
        if (file.find("://") != std::string_view::npos) {
            Warn("images on the network are not fetched: they were left out");
            return;
        }
        // Only files beside the drawing (or in folders below it) are read, and only regular files: a
        // drawing from elsewhere must not make us read devices or arbitrary places of the disk.
        if (folder.empty() || file.empty() || file.front() == '/' ||
            file.find("..") != std::string_view::npos) {
            Warn("images outside the drawing's folder are not read: they were left out");
            return;
        }
        const std::string path = folder + "/" + std::string(file);
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(path, ignored) || !LoadImageFile(path, image->bitmap)) {
            Warn("an image file that cannot be read was left out: " + std::string(file));
            return;
        }
    }
    const double x = Length(element, "x", viewportWidth, context.style);
    const double y = Length(element, "y", viewportHeight, context.style);
    // Images stay upright: the placement is the box of the transformed corners.
    const CPointF corners[4] = {context.matrix.Apply(x, y), context.matrix.Apply(x + w, y),
                                context.matrix.Apply(x, y + h), context.matrix.Apply(x + w, y + h)};
    CRectF box{corners[0].x, corners[0].x, corners[0].y, corners[0].y};
    for (const CPointF& p : corners) {
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.top = std::min(box.top, p.y);
        box.bottom = std::max(box.bottom, p.y);
    }
    image->placement = box;
    object->RecalcBounds();
    Add(std::move(object), context);
}

} // namespace pq
