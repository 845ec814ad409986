#include "formats/svg/SvgImporter.h"

#include "formats/svg/SvgPathData.h"
#include "formats/svg/SvgPens.h"
#include "geometry/Numeric.h"
#include "model/Drawing.h"
#include "platform/PenBrushStyles.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

// Elements that draw nothing where they stand: definitions, resources and metadata.
bool IsNonRendering(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "defs",           "symbol",    "clipPath", "mask",      "marker", "pattern", "linearGradient",
        "radialGradient", "filter",    "style",    "metadata",  "title",  "desc",    "script",
        "foreignObject",  "namedview", "font",     "font-face", "cursor", "view"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// The referenced id of an href ("#id"), from xlink:href or SVG 2's plain href.
std::string ReferencedId(const CXmlElement& element) {
    const std::string* href = element.Attribute("xlink:href");
    if (href == nullptr)
        href = element.Attribute("href");
    if (href == nullptr || href->empty() || href->front() != '#')
        return {};
    return href->substr(1);
}

} // namespace

CSvgImporter::CSvgImporter(const CXmlDocument& document, CDrawing& target, std::string baseFolder)
    : doc(document), drawing(target), folder(std::move(baseFolder)) {}

void CSvgImporter::Warn(const std::string& text) {
    if (std::find(warnings.begin(), warnings.end(), text) == warnings.end())
        warnings.push_back(text);
}

double CSvgImporter::Length(const CXmlElement& element, std::string_view name, double reference,
                            const CSvgStyle& style, double fallback) const {
    const std::string* value = element.Attribute(name);
    if (value == nullptr)
        return fallback;
    return ParseLength(*value, reference, style.fontSize).value_or(fallback);
}

bool CSvgImporter::Run(std::string& error) {
    if (doc.elements.empty() || doc.elements.front().name != "svg") {
        error = "the file's root element is not <svg>";
        return false;
    }
    for (std::size_t i = 0; i < doc.elements.size(); ++i) {
        const CXmlElement& e = doc.elements[i];
        if (const std::string* id = e.Attribute("id"))
            ids.emplace(*id, static_cast<int>(i)); // the first element of an id wins, as in browsers
        if (e.name == "style")
            sheet.Parse(doc.AllText(static_cast<int>(i)));
    }
    budget = 8LL * static_cast<long long>(doc.elements.size()) + 10000;
    groupNamed.assign(1, false);

    CContext root;
    SetUpRoot(doc.elements.front(), root.matrix);
    root.style = ResolveStyle(doc.elements.front(), root.style, sheet);
    WalkChildren(0, root);

    // A group of one object is no group; ours keep theirs, as the drawing had it.
    std::vector<int> members(static_cast<std::size_t>(groupCount) + 1, 0);
    for (const auto& object : drawing.Objects())
        ++members[static_cast<std::size_t>(object->group)];
    for (const auto& object : drawing.Objects())
        if (object->group > 0 && members[static_cast<std::size_t>(object->group)] == 1 &&
            !groupNamed[static_cast<std::size_t>(object->group)])
            object->group = 0;
    return true;
}

void CSvgImporter::SetUpRoot(const CXmlElement& root, CSvgMatrix& matrix) {
    const std::vector<double> box = root.Attribute("viewBox") != nullptr
                                        ? ParseNumberList(*root.Attribute("viewBox"))
                                        : std::vector<double>{};
    const bool hasBox = box.size() == 4 && box[2] > 0.0 && box[3] > 0.0;

    // The viewport in millimetres: absolute width and height, else the view box (or the page) in pixels.
    const auto millimetres = [&](const char* name, double fallback) {
        const std::string* value = root.Attribute(name);
        if (value != nullptr) {
            std::string_view s = Trim(*value);
            const std::optional<double> v = ReadNumber(s);
            const std::optional<double> perUnit = MillimetresPerUnit(Trim(s));
            if (v && perUnit && *v > 0.0)
                return *v * *perUnit;
        }
        return fallback;
    };
    const double pxMm = 25.4 / 96.0;
    const double widthMm =
        millimetres("width", hasBox ? box[2] * pxMm : static_cast<double>(drawing.GetPageWidth()) / 10.0);
    const double heightMm =
        millimetres("height", hasBox ? box[3] * pxMm : static_cast<double>(drawing.GetPageHeight()) / 10.0);
    const double pageWidth = std::clamp(widthMm * 10.0, 1.0, 1e6);
    const double pageHeight = std::clamp(heightMm * 10.0, 1.0, 1e6);
    drawing.SetPageSize(static_cast<float>(pageWidth), static_cast<float>(pageHeight));
    viewportWidth = hasBox ? box[2] : pageWidth / 10.0 / pxMm;
    viewportHeight = hasBox ? box[3] : pageHeight / 10.0 / pxMm;

    // User units to document units: the view box fitted into the viewport (centred, uniform unless the
    // aspect ratio is "none"), then the page's top-left corner moved to (-w/2, -h/2).
    CSvgMatrix toViewport = CSvgMatrix::Scale(pxMm * 10.0, pxMm * 10.0);
    if (hasBox) {
        double sx = pageWidth / box[2];
        double sy = pageHeight / box[3];
        double dx = 0.0, dy = 0.0;
        const std::string* aspect = root.Attribute("preserveAspectRatio");
        if (aspect == nullptr || Trim(*aspect) != "none") {
            const double s = std::min(sx, sy);
            dx = (pageWidth - box[2] * s) / 2.0;
            dy = (pageHeight - box[3] * s) / 2.0;
            sx = sy = s;
        }
        toViewport = CSvgMatrix::Translate(-box[0], -box[1])
                         .Then(CSvgMatrix::Scale(sx, sy))
                         .Then(CSvgMatrix::Translate(dx - pageWidth / 2.0, dy - pageHeight / 2.0));
    } else {
        toViewport = toViewport.Then(CSvgMatrix::Translate(-pageWidth / 2.0, -pageHeight / 2.0));
    }
    matrix = toViewport;
}

int CSvgImporter::NewGroup(const CXmlElement& element) {
    if (const std::string* name = element.Attribute("pq:group")) {
        const auto found = namedGroups.find(*name);
        if (found != namedGroups.end())
            return found->second;
        namedGroups.emplace(*name, ++groupCount);
        groupNamed.push_back(true);
        return groupCount;
    }
    groupNamed.push_back(false);
    return ++groupCount;
}

void CSvgImporter::WalkChildren(int element, const CContext& context) {
    for (int child : doc.elements[static_cast<std::size_t>(element)].content)
        if (child >= 0)
            Walk(child, context);
}

void CSvgImporter::Walk(int index, const CContext& parent) {
    if (--budget < 0) {
        Warn("the drawing repeats its parts too often; the rest was left out");
        return;
    }
    if (parent.depth >= kMaxWalkDepth) {
        Warn("elements nested too deeply were left out");
        return;
    }
    const CXmlElement& element = doc.elements[static_cast<std::size_t>(index)];
    if (IsNonRendering(element.name))
        return;

    CContext context = parent;
    context.depth = parent.depth + 1;
    context.style = ResolveStyle(element, parent.style, sheet);
    if (!context.style.display)
        return;
    if (const std::string* transform = element.Attribute("transform"))
        if (const auto m = ParseTransform(*transform))
            context.matrix = m->Then(parent.matrix);
    if (element.Attribute("clip-path") != nullptr || element.Attribute("mask") != nullptr)
        Warn("clipping paths and masks are ignored: the shapes are drawn whole");

    const std::string& name = element.name;
    if (name == "g" || name == "a" || name == "svg" || name == "switch") {
        if (name == "svg") {
            const double x = Length(element, "x", viewportWidth, context.style);
            const double y = Length(element, "y", viewportHeight, context.style);
            context.matrix = CSvgMatrix::Translate(x, y).Then(context.matrix);
        }
        const std::string* mode = element.Attribute("inkscape:groupmode");
        const bool layer = mode != nullptr && *mode == "layer";
        if (name == "g" && context.group == 0 && !layer)
            context.group = NewGroup(element);
        if (name == "switch") {
            // A viewer draws the first child it can; ours is the first element.
            for (int child : element.content)
                if (child >= 0) {
                    Walk(child, context);
                    break;
                }
            return;
        }
        WalkChildren(index, context);
    } else if (name == "use") {
        ImportUse(element, context);
    } else if (name == "text") {
        ImportText(index, context);
    } else if (name == "image") {
        ImportImage(element, context);
    } else if (name == "path" || name == "rect" || name == "circle" || name == "ellipse" || name == "line" ||
               name == "polyline" || name == "polygon") {
        ImportShape(element, context);
    }
}

void CSvgImporter::ImportUse(const CXmlElement& element, const CContext& context) {
    const std::string id = ReferencedId(element);
    const auto found = ids.find(id);
    if (id.empty() || found == ids.end()) {
        Warn("a <use> refers to nothing: it was left out");
        return;
    }
    const int target = found->second;
    // A use inside what it instantiates, or instantiating what is being instantiated, never ends.
    bool loop = std::find(activeUses.begin(), activeUses.end(), target) != activeUses.end();
    for (int up = element.parent; up >= 0 && !loop; up = doc.elements[static_cast<std::size_t>(up)].parent)
        loop = up == target;
    const int self = static_cast<int>(&element - doc.elements.data());
    if (loop || target == self) {
        Warn("a <use> refers to itself or to what contains it: it was left out");
        return;
    }
    if (context.useDepth >= kMaxUseDepth) {
        Warn("<use> elements refer to each other too deeply; the deepest were left out");
        return;
    }
    CContext inner = context;
    ++inner.useDepth;
    const double x = Length(element, "x", viewportWidth, context.style);
    const double y = Length(element, "y", viewportHeight, context.style);
    inner.matrix = CSvgMatrix::Translate(x, y).Then(context.matrix);
    if (inner.group == 0)
        inner.group = NewGroup(element);

    activeUses.push_back(target);
    const CXmlElement& referenced = doc.elements[static_cast<std::size_t>(target)];
    if (referenced.name == "symbol") {
        // A symbol draws its children as a group would; its own view box is not applied.
        CContext symbol = inner;
        symbol.style = ResolveStyle(referenced, inner.style, sheet);
        WalkChildren(target, symbol);
    } else {
        Walk(target, inner);
    }
    activeUses.pop_back();
}

void CSvgImporter::ImportShape(const CXmlElement& element, const CContext& context) {
    const CSvgStyle& style = context.style;
    const CSvgMatrix& m = context.matrix;
    const std::string& name = element.name;
    const auto len = [&](const char* key, double reference) {
        return Length(element, key, reference, style);
    };
    std::vector<CNodeArray> subpaths;
    if (name == "path") {
        if (const std::string* d = element.Attribute("d"))
            subpaths = ParsePathData(*d, m);
    } else if (name == "rect") {
        const double w = len("width", viewportWidth), h = len("height", viewportHeight);
        if (w <= 0.0 || h <= 0.0)
            return;
        const bool hasRx = element.Attribute("rx") != nullptr, hasRy = element.Attribute("ry") != nullptr;
        double rx = std::max(0.0, len("rx", viewportWidth)), ry = std::max(0.0, len("ry", viewportHeight));
        if (hasRx && !hasRy)
            ry = rx;
        if (hasRy && !hasRx)
            rx = ry;
        subpaths.push_back(RectNodes(len("x", viewportWidth), len("y", viewportHeight), w, h,
                                     std::min(rx, w / 2.0), std::min(ry, h / 2.0), m));
    } else if (name == "circle" || name == "ellipse") {
        const double diagonal = std::hypot(viewportWidth, viewportHeight) / std::sqrt(2.0);
        double rx = name == "circle" ? len("r", diagonal) : len("rx", viewportWidth);
        double ry = name == "circle" ? rx : len("ry", viewportHeight);
        if (name == "ellipse" && element.Attribute("ry") == nullptr)
            ry = rx;
        if (name == "ellipse" && element.Attribute("rx") == nullptr)
            rx = ry;
        if (rx <= 0.0 || ry <= 0.0)
            return;
        subpaths.push_back(EllipseNodes(len("cx", viewportWidth), len("cy", viewportHeight), rx, ry, m));
    } else if (name == "line") {
        CNodeArray nodes;
        nodes.Add(CPathNode::FromPoint(m.Apply(len("x1", viewportWidth), len("y1", viewportHeight))));
        nodes.Add(CPathNode::FromPoint(m.Apply(len("x2", viewportWidth), len("y2", viewportHeight))));
        subpaths.push_back(std::move(nodes));
    } else { // polyline, polygon
        const std::string* points = element.Attribute("points");
        const std::vector<double> v = points != nullptr ? ParseNumberList(*points) : std::vector<double>{};
        CNodeArray nodes;
        for (std::size_t i = 0; i + 1 < v.size(); i += 2)
            nodes.Add(CPathNode::FromPoint(m.Apply(v[i], v[i + 1])));
        if (nodes.GetSize() == 0)
            return;
        if (name == "polygon" && nodes.GetSize() > 1 &&
            !(nodes[0].anchor == nodes[nodes.GetSize() - 1].anchor)) {
            // A copy: adding may move the array, and with it the node a reference would point at.
            const CPathNode first = nodes[0];
            nodes.Add(first);
        }
        subpaths.push_back(std::move(nodes));
    }
    if (subpaths.empty())
        return;
    AddPath(std::move(subpaths), element, context);
}

void CSvgImporter::AddPath(std::vector<CNodeArray> subpaths, const CXmlElement& element,
                           const CContext& context) {
    const CSvgStyle& style = context.style;
    if (style.hidden)
        return;
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    CPathShape* path = object->AsPath();
    for (CNodeArray& nodes : subpaths)
        path->AddSubpath(nodes);

    const std::optional<uint32_t> fill =
        element.name == "line" ? std::nullopt : PaintColour(style.fill, style);
    path->brushStyle = fill ? kBrushSolid : kBrushHollow;
    object->color = fill.value_or(0);
    const std::optional<uint32_t> stroke = PaintColour(style.stroke, style);
    const double width = style.strokeWidth * context.matrix.MeanScale();
    if (!stroke || width <= 0.0) {
        path->penStyle = kPenNull;
    } else {
        path->penColor = *stroke;
        path->penWidth = std::clamp(RoundHalfAway(width), 0, 100000);
        path->penStyle = PenStyleFromDashes(style.dashes, context.matrix.MeanScale());
    }
    // Our own files say what plain SVG cannot: hairline pens, dashes on wide pens, other fills.
    if (const std::string* v = element.Attribute("pq:pen-style"))
        path->penStyle = std::clamp(static_cast<int>(ParseNumber(*v).value_or(path->penStyle)), 0, 6);
    if (const std::string* v = element.Attribute("pq:pen-width"))
        path->penWidth = std::clamp(static_cast<int>(ParseNumber(*v).value_or(path->penWidth)), 0, 100000);
    if (const std::string* v = element.Attribute("pq:brush"))
        path->brushStyle = std::clamp(static_cast<int>(ParseNumber(*v).value_or(path->brushStyle)), 0, 3);
    object->RecalcBounds();
    Add(std::move(object), context);
}

void CSvgImporter::Add(std::unique_ptr<CGraphicObject> object, const CContext& context) {
    object->page = 0;
    object->group = context.group;
    drawing.Add(std::move(object));
}

std::optional<uint32_t> CSvgImporter::PaintColour(const CSvgPaint& paint, const CSvgStyle& style) {
    switch (paint.kind) {
    case CSvgPaint::Kind::None:
        return std::nullopt;
    case CSvgPaint::Kind::Colour:
        return paint.colour;
    case CSvgPaint::Kind::CurrentColour:
        return style.currentColour;
    case CSvgPaint::Kind::Reference: {
        // Each server is looked at once, however many shapes use it.
        auto found = serverColours.find(paint.reference);
        if (found == serverColours.end())
            found = serverColours.emplace(paint.reference, ServerColour(paint.reference, 0)).first;
        return found->second ? found->second : paint.fallback;
    }
    }
    return std::nullopt;
}

std::optional<uint32_t> CSvgImporter::ServerColour(const std::string& id, int depth) {
    const auto found = ids.find(id);
    if (found == ids.end() || depth > kMaxUseDepth)
        return std::nullopt;
    const int server = found->second;
    const CXmlElement& element = doc.elements[static_cast<std::size_t>(server)];
    // The mean of the gradient's stop colours or of a pattern's filled shapes.
    uint64_t sum[3] = {};
    uint64_t count = 0;
    const auto addColour = [&](uint32_t c) {
        sum[0] += c & 0xFF;
        sum[1] += (c >> 8) & 0xFF;
        sum[2] += (c >> 16) & 0xFF;
        ++count;
    };
    if (element.name == "linearGradient" || element.name == "radialGradient") {
        for (int child : doc.Children(server)) {
            const CXmlElement& stop = doc.elements[static_cast<std::size_t>(child)];
            if (stop.name != "stop")
                continue;
            std::optional<uint32_t> colour = stop.Attribute("stop-color") != nullptr
                                                 ? ParseColour(*stop.Attribute("stop-color"))
                                                 : std::optional<uint32_t>(0);
            if (const std::string* inline_ = stop.Attribute("style"))
                for (const auto& [name, value] : ParseDeclarations(*inline_))
                    if (name == "stop-color")
                        colour = ParseColour(value);
            if (colour)
                addColour(*colour);
        }
        // A gradient without stops of its own takes those of the one it refers to.
        if (count == 0) {
            const std::string next = ReferencedId(element);
            return next.empty() ? std::nullopt : ServerColour(next, depth + 1);
        }
    } else if (element.name == "pattern") {
        const std::size_t end = doc.elements.size();
        for (std::size_t i = static_cast<std::size_t>(server) + 1; i < end && count < 1000; ++i) {
            const CXmlElement& e = doc.elements[i];
            if (e.depth <= element.depth)
                break;
            const std::string* fill = e.Attribute("fill");
            if (fill == nullptr)
                continue;
            if (const auto paint = ParsePaint(*fill); paint && paint->kind == CSvgPaint::Kind::Colour)
                addColour(paint->colour);
        }
        if (count == 0) {
            const std::string next = ReferencedId(element);
            return next.empty() ? std::nullopt : ServerColour(next, depth + 1);
        }
    } else {
        return std::nullopt;
    }
    return static_cast<uint32_t>((sum[0] + count / 2) / count) |
           (static_cast<uint32_t>((sum[1] + count / 2) / count) << 8) |
           (static_cast<uint32_t>((sum[2] + count / 2) / count) << 16);
}

} // namespace pq
