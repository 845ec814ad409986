#pragma once

#include "formats/dxf/DxfGeometry.h"
#include "formats/dxf/DxfTagReader.h"
#include "platform/DibSection.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;

// One entity: its name (the value of its group 0) and the group pairs that follow up to the next group 0.
struct CDxfEntity {
    std::string_view name;
    std::span<const CDxfTag> tags;

    // The value of the first pair with the code, if any.
    [[nodiscard]] std::optional<std::string_view> Value(int code) const;
    [[nodiscard]] std::optional<double> Real(int code) const;
    [[nodiscard]] std::optional<int> Int(int code) const;
    [[nodiscard]] double RealOr(int code, double fallback) const { return Real(code).value_or(fallback); }
};

// Where the entities being read land: the map from their drawing units to the document, and what
// "by block" and layer "0" stand for inside a block reference.
struct CDxfPlacement {
    CDxfAffine transform;
    int depth = 0;
    bool inBlock = false;
    uint32_t blockColour = 0;
    double blockLineweight = 0.0;
    std::string_view blockLayer;
};

// Reads an ASCII (or binary) DXF file into a drawing: lines, polylines, arcs, circles, ellipses, splines,
// points, multilines, solids and hatches become paths, TEXT and MTEXT texts, block references are
// expanded and IMAGE entities load their pictures. Everything lands on page 0, ungrouped, centred on the
// page. Reference:
// https://help.autodesk.com/view/OARX/2024/ENU/?guid=GUID-235B22E0-A567-4CF6-92D3-38A2306D73F3
//
// Reading is linear in the file: the file is split into group pairs once, each section is found once,
// blocks are indexed by name, and the expansion of block references is bounded in depth and in work.
class CDxfReader {
public:
    // folder: where pictures with relative or moved paths are looked for; empty reads no pictures.
    CDxfReader(std::span<const uint8_t> bytes, CDrawing& drawing, std::string folder);

    bool Read();

    // Bounds on what a file can make the reader do.
    static constexpr int kMaxBlockDepth = 16;              // nested block references
    static constexpr std::size_t kMaxObjects = 2000000;    // objects made
    static constexpr std::size_t kMinWorkBudget = 2000000; // group pairs visited, at least...
    static constexpr std::size_t kWorkPerPair = 16;        // ...or this many per pair of the file
    static constexpr std::size_t kMaxPathNodes = 4000000;  // nodes of one path
    // Points the drawing's display polylines may hold: curves far larger than the page flatten into many
    // points, so a small file of huge curves is cut here rather than filling the memory.
    static constexpr double kMaxDisplayPoints = 16000000.0;

private:
    struct Range {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool found = false;
        bool cut = false; // the file ended inside the section
    };
    struct Layer {
        uint32_t colour = 0;
        double lineweight = 0.0;
    };
    struct Block {
        std::size_t begin = 0; // first pair after the BLOCK entity's own pairs
        std::size_t end = 0;   // the ENDBLK pair
        CPointD base;
    };
    struct ImageDefinition {
        std::string path;
        bool decoded = false;
        std::shared_ptr<const CDibSection> bitmap; // null when the picture cannot be read
    };

    bool Fail(std::string message);

    // Structure (DxfReader.cpp).
    void FindSections();
    void ReadHeader();
    void ReadLayers();
    void ReadBlocks();
    void ReadImageDefinitions();
    void Finish();
    // The entities of [begin, end): each starts at a group 0 pair.
    void ReadEntities(std::size_t begin, std::size_t end, const CDxfPlacement& placement);
    // Reads the entity at index; returns the index of the pair after it (POLYLINE takes its vertices).
    std::size_t ReadEntity(std::size_t index, std::size_t end, const CDxfPlacement& placement);
    [[nodiscard]] CDxfEntity EntityAt(std::size_t index, std::size_t end) const;
    bool Spend(std::size_t pairs);

    // Styles and objects (DxfReaderStyle.cpp).
    [[nodiscard]] uint32_t EntityColour(const CDxfEntity& entity, const CDxfPlacement& placement) const;
    [[nodiscard]] double EntityLineweight(const CDxfEntity& entity, const CDxfPlacement& placement) const;
    [[nodiscard]] std::string_view EntityLayer(const CDxfEntity& entity,
                                               const CDxfPlacement& placement) const;
    // The placement's map, preceded by the map from the entity's object coordinate system (given by its
    // extrusion direction, 210/220/230, and elevation) to the world's x and y.
    [[nodiscard]] CDxfAffine EntityTransform(const CDxfEntity& entity, const CDxfPlacement& placement) const;
    [[nodiscard]] CDxfMapper Mapper(const CDxfAffine& transform) { return CDxfMapper(transform, origin); }
    // Makes a path of the built subpaths: stroked in the entity's colour and lineweight, or filled.
    void AddPath(std::vector<CNodeArray>& subpaths, const CDxfEntity& entity, const CDxfPlacement& placement,
                 bool fill);
    bool Append(std::unique_ptr<CGraphicObject> object);

    // Outline entities (DxfReadOutlines.cpp).
    void ReadLine(const CDxfEntity& entity, const CDxfPlacement& placement);
    void ReadPoint(const CDxfEntity& entity, const CDxfPlacement& placement);
    void ReadLwPolyline(const CDxfEntity& entity, const CDxfPlacement& placement);
    std::size_t ReadPolyline(std::size_t index, std::size_t end, const CDxfPlacement& placement);
    void ReadMLine(const CDxfEntity& entity, const CDxfPlacement& placement);
    void ReadSolid(const CDxfEntity& entity, const CDxfPlacement& placement);

    // Curves (DxfReadCurves.cpp).
    void ReadCircle(const CDxfEntity& entity, const CDxfPlacement& placement, bool arc);
    void ReadEllipse(const CDxfEntity& entity, const CDxfPlacement& placement);
    void ReadSpline(const CDxfEntity& entity, const CDxfPlacement& placement);

    // Fills (DxfReadHatch.cpp).
    void ReadHatch(const CDxfEntity& entity, const CDxfPlacement& placement);

    // Texts (DxfReadText.cpp).
    void ReadText(const CDxfEntity& entity, const CDxfPlacement& placement, bool mtext);

    // Block references and pictures (DxfReadInserts.cpp).
    void ReadInsert(const CDxfEntity& entity, const CDxfPlacement& placement, bool dimension);
    void ReadImage(const CDxfEntity& entity, const CDxfPlacement& placement);
    [[nodiscard]] std::u16string Decode(std::string_view value) const;

    std::span<const uint8_t> data;
    CDrawing& drawing;
    std::string folder;
    CDxfTagList list;
    std::span<const CDxfTag> tags;
    Range header, tables, blocks, entities, objects;

    bool utf8 = false;
    double scale = 10.0;
    double defaultTextHeight = 16.0;
    std::unordered_map<std::string, Layer> layers;           // by upper-case name
    std::unordered_map<std::string, std::size_t> blockIndex; // by upper-case name
    std::vector<Block> blockList;
    std::vector<bool> blockActive; // blocks being expanded: a block that refers to itself is refused
    std::unordered_map<uint64_t, ImageDefinition> images;
    std::optional<CPointD> origin;
    std::unordered_map<std::u16string, std::u16string> resolvedFaces; // a text's face: installed or not

    std::size_t workLeft = 0;
    double displayPointsLeft = kMaxDisplayPoints;
    bool limitReached = false;
    bool skippedLarge = false;
    bool nestingCut = false; // a block reference too deep or inside its own block was left out
    std::size_t made = 0;
};

} // namespace pq
