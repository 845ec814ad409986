#include "formats/dxf/DxfReader.h"

#include "formats/dxf/DxfTables.h"
#include "formats/dxf/DxfText.h"
#include "model/Drawing.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace pq {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

bool IsPair(const CDxfTag& tag, int code, std::string_view value) {
    return tag.code == code && tag.Value() == value;
}

} // namespace

std::optional<std::string_view> CDxfEntity::Value(int code) const {
    for (const CDxfTag& tag : tags)
        if (tag.code == code)
            return tag.Value();
    return std::nullopt;
}

std::optional<double> CDxfEntity::Real(int code) const {
    const std::optional<std::string_view> value = Value(code);
    return value ? ParseDxfReal(*value) : std::nullopt;
}

std::optional<int> CDxfEntity::Int(int code) const {
    const std::optional<std::string_view> value = Value(code);
    return value ? ParseDxfInt(*value) : std::nullopt;
}

CDxfReader::CDxfReader(std::span<const uint8_t> bytes, CDrawing& target, std::string pictureFolder)
    : data(bytes), drawing(target), folder(std::move(pictureFolder)) {}

bool CDxfReader::Fail(std::string message) {
    drawing.SetErrorMessage(std::move(message));
    return false;
}

bool CDxfReader::Read() {
    drawing.Clear();
    drawing.SetErrorMessage({});
    drawing.ClearWarning();
    std::string message;
    if (!ReadDxfTags(data, list, message))
        return Fail(message);
    tags = list.tags;
    workLeft = std::max(kMinWorkBudget, tags.size() * kWorkPerPair);

    FindSections();
    ReadHeader();
    if (!entities.found)
        return Fail(list.tags.empty() || std::none_of(tags.begin(), tags.end(),
                                                      [](const CDxfTag& t) { return t.code == 0; })
                        ? "DXF: the file is not a DXF file"
                        : "DXF: the file has no ENTITIES section");
    ReadLayers();
    ReadBlocks();
    ReadImageDefinitions();
    CDxfPlacement modelSpace;
    modelSpace.transform = CDxfAffine::Scaling(scale, -scale);
    ReadEntities(entities.begin, entities.end, modelSpace);
    if (made == 0)
        return Fail(limitReached || skippedLarge ? "DXF: the drawing is too large to be read"
                    : nestingCut
                        ? "DXF: the drawing's blocks are nested too deeply, or in themselves, to be read"
                        : "DXF: the file has no entities that can be shown");
    if (skippedLarge)
        drawing.AddWarning("DXF: curves too large to show were left out");
    if (limitReached)
        drawing.AddWarning("DXF: the drawing holds more than the reader takes; the rest was left out");
    if (nestingCut)
        drawing.AddWarning("DXF: blocks nested more than " + std::to_string(kMaxBlockDepth) +
                           " deep, or in themselves, were left out");
    if (entities.cut)
        drawing.AddWarning("DXF: the file ends inside its ENTITIES section; what came before was read");
    Finish();
    return true;
}

void CDxfReader::FindSections() {
    std::size_t i = 0;
    while (i + 1 < tags.size()) {
        if (!IsPair(tags[i], 0, "SECTION") || tags[i + 1].code != 2) {
            ++i;
            continue;
        }
        const std::string name = Upper(tags[i + 1].Value());
        std::size_t end = i + 2;
        while (end < tags.size() && !IsPair(tags[end], 0, "ENDSEC") && !IsPair(tags[end], 0, "EOF") &&
               !IsPair(tags[end], 0, "SECTION"))
            ++end;
        Range* range = name == "HEADER"     ? &header
                       : name == "TABLES"   ? &tables
                       : name == "BLOCKS"   ? &blocks
                       : name == "ENTITIES" ? &entities
                       : name == "OBJECTS"  ? &objects
                                            : nullptr;
        // Each section is taken once: the first of its name.
        if (range != nullptr && !range->found)
            *range = {i + 2, end, true, end == tags.size()};
        i = end;
    }
}

void CDxfReader::ReadHeader() {
    bool unitsRead = false;
    for (std::size_t i = header.begin; i + 1 < header.end; ++i) {
        if (tags[i].code != 9)
            continue;
        const std::string_view name = tags[i].Value();
        const CDxfTag& value = tags[i + 1];
        if (name == "$ACADVER" && value.code == 1) {
            // From AutoCAD 2007 (AC1021) on, text is UTF-8.
            utf8 = value.Value().size() >= 6 && value.Value().substr(0, 2) == "AC" &&
                   value.Value().substr(2) >= "1021";
        } else if (name == "$INSUNITS" && value.code == 70) {
            if (const std::optional<int> code = ParseDxfInt(value.Value())) {
                const double factor = UnitScaleForInsUnits(*code);
                scale = factor > 0.0 ? factor : 1.0;
                unitsRead = true;
            }
        } else if (name == "$TEXTSIZE" && value.code == 40) {
            const std::optional<double> size = ParseDxfReal(value.Value());
            defaultTextHeight = size && *size > 0.0 && *size < 1e9 ? *size : 16.0;
        }
    }
    if (!unitsRead)
        scale = 10.0;
}

CDxfEntity CDxfReader::EntityAt(std::size_t index, std::size_t end) const {
    std::size_t next = index + 1;
    while (next < end && tags[next].code != 0)
        ++next;
    return {tags[index].Value(), tags.subspan(index + 1, next - index - 1)};
}

void CDxfReader::ReadLayers() {
    for (std::size_t i = tables.begin; i < tables.end; ++i) {
        if (!IsPair(tags[i], 0, "LAYER"))
            continue;
        const CDxfEntity record = EntityAt(i, tables.end);
        const std::optional<std::string_view> name = record.Value(2);
        if (!name)
            continue;
        Layer layer;
        if (const std::optional<int> rgb = record.Int(420))
            layer.colour = (*rgb & 0xFF) << 16 | (*rgb & 0xFF00) | (*rgb >> 16 & 0xFF);
        else
            layer.colour = AciColourOnPaper(std::abs(record.Int(62).value_or(7)));
        const double weight = record.RealOr(370, 0.0);
        layer.lineweight = weight > 0.0 ? weight : 0.0;
        layers.emplace(Upper(*name), layer);
    }
}

void CDxfReader::ReadBlocks() {
    std::optional<std::string> openName;
    Block open;
    for (std::size_t i = blocks.begin; i < blocks.end; ++i) {
        if (tags[i].code != 0)
            continue;
        const bool begins = tags[i].Value() == "BLOCK";
        if ((begins || tags[i].Value() == "ENDBLK") && openName) {
            open.end = i;
            blockIndex.emplace(*openName, blockList.size());
            blockList.push_back(open);
            openName.reset();
        }
        if (begins) {
            const CDxfEntity block = EntityAt(i, blocks.end);
            std::optional<std::string_view> name = block.Value(2);
            if (!name)
                name = block.Value(3);
            if (name && !blockIndex.contains(Upper(*name))) {
                openName = Upper(*name);
                open = {i + 1 + block.tags.size(),
                        i + 1 + block.tags.size(),
                        {block.RealOr(10, 0.0), block.RealOr(20, 0.0)}};
            }
        }
    }
    blockActive.assign(blockList.size(), false);
}

void CDxfReader::ReadImageDefinitions() {
    for (std::size_t i = objects.begin; i < objects.end; ++i) {
        if (!IsPair(tags[i], 0, "IMAGEDEF"))
            continue;
        const CDxfEntity definition = EntityAt(i, objects.end);
        const std::optional<std::string_view> handle = definition.Value(5);
        const std::optional<std::string_view> path = definition.Value(1);
        if (!handle || !path)
            continue;
        if (const std::optional<uint64_t> number = ParseDxfHandle(*handle))
            images.emplace(*number, ImageDefinition{std::string(*path), false, nullptr});
    }
}

bool CDxfReader::Spend(std::size_t pairs) {
    if (limitReached || pairs > workLeft || made >= kMaxObjects) {
        limitReached = true;
        return false;
    }
    workLeft -= pairs;
    return true;
}

void CDxfReader::ReadEntities(std::size_t begin, std::size_t end, const CDxfPlacement& placement) {
    std::size_t i = begin;
    while (i < end && tags[i].code != 0)
        ++i;
    while (i < end && !limitReached)
        i = ReadEntity(i, end, placement);
}

std::size_t CDxfReader::ReadEntity(std::size_t index, std::size_t end, const CDxfPlacement& placement) {
    const CDxfEntity entity = EntityAt(index, end);
    const std::size_t next = index + 1 + entity.tags.size();
    if (!Spend(entity.tags.size() + 1))
        return end;
    const std::string_view name = entity.name;
    if (name == "POLYLINE")
        return ReadPolyline(index, end, placement);
    if (name == "LWPOLYLINE")
        ReadLwPolyline(entity, placement);
    else if (name == "LINE")
        ReadLine(entity, placement);
    else if (name == "POINT")
        ReadPoint(entity, placement);
    else if (name == "MLINE")
        ReadMLine(entity, placement);
    else if (name == "SOLID" || name == "TRACE" || name == "3DFACE")
        ReadSolid(entity, placement);
    else if (name == "CIRCLE" || name == "ARC")
        ReadCircle(entity, placement, name == "ARC");
    else if (name == "ELLIPSE")
        ReadEllipse(entity, placement);
    else if (name == "SPLINE")
        ReadSpline(entity, placement);
    else if (name == "HATCH")
        ReadHatch(entity, placement);
    else if (name == "INSERT" || name == "DIMENSION")
        ReadInsert(entity, placement, name == "DIMENSION");
    else if (name == "MTEXT")
        ReadText(entity, placement, true);
    else if (name == "TEXT")
        ReadText(entity, placement, false);
    else if (name == "ATTRIB" && (entity.Int(70).value_or(0) & 1) == 0)
        ReadText(entity, placement, false); // attribute values shown beside a block reference
    else if (name == "IMAGE")
        ReadImage(entity, placement);
    return next;
}

void CDxfReader::Finish() {
    const CRectF bounds = drawing.Bounds();
    const CPointF shift{-(bounds.left + bounds.right) / 2.0f, -(bounds.top + bounds.bottom) / 2.0f};
    // Paths and images move with their caches (flattening every curve again would double the reading
    // time of large files); texts measure their outline again.
    for (const auto& object : drawing.Objects()) {
        object->bounds = {object->bounds.left + shift.x, object->bounds.right + shift.x,
                          object->bounds.top + shift.y, object->bounds.bottom + shift.y};
        if (CPathShape* path = object->AsPath()) {
            for (const auto& nodes : path->subpaths)
                for (CPathNode& node : *nodes) {
                    node.in += shift;
                    node.anchor += shift;
                    node.out += shift;
                }
            for (const auto& points : path->polylines)
                for (CPointF& p : *points)
                    p += shift;
        } else if (CImageShape* image = object->AsImage()) {
            image->placement = {image->placement.left + shift.x, image->placement.right + shift.x,
                                image->placement.top + shift.y, image->placement.bottom + shift.y};
        } else if (CTextShape* text = object->AsText()) {
            text->position += shift;
            text->corner += shift;
            object->RecalcBounds();
        }
    }
}

std::u16string CDxfReader::Decode(std::string_view value) const {
    return DxfBytesToText(value, utf8);
}

} // namespace pq
