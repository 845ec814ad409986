#pragma once

#include "formats/svg/SvgStyle.h"
#include "formats/svg/SvgTransform.h"
#include "formats/svg/SvgXml.h"
#include "geometry/PathNode.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pq {

class CDrawing;
class CGraphicObject;

// Builds drawing objects from a parsed SVG document: shapes become paths, texts become texts, images
// image objects, top-level groups groups. Every object goes on page 0.
class CSvgImporter {
public:
    // A use may refer to a use, and so on, this many times before the importer stops following it.
    static constexpr int kMaxUseDepth = 16;
    // Element nesting, counted through uses, beyond which nothing more is drawn.
    static constexpr int kMaxWalkDepth = 256;

    // baseFolder: where files an image names are looked for; empty when the SVG came from memory (such
    // images are then left out with a warning).
    CSvgImporter(const CXmlDocument& document, CDrawing& drawing, std::string baseFolder);

    // Fills the drawing; false with a reason when the root is not an svg element.
    bool Run(std::string& error);
    // What was ignored or cut short, one line each, without repeats.
    [[nodiscard]] const std::vector<std::string>& Warnings() const { return warnings; }

private:
    struct CContext {
        CSvgMatrix matrix;
        CSvgStyle style;
        int group = 0;
        int useDepth = 0;
        int depth = 0;
    };

    void SetUpRoot(const CXmlElement& root, CSvgMatrix& matrix);
    void Walk(int element, const CContext& context);
    void WalkChildren(int element, const CContext& context);
    void ImportUse(const CXmlElement& element, const CContext& context);
    void ImportShape(const CXmlElement& element, const CContext& context);
    void ImportText(int element, const CContext& context);
    void ImportImage(const CXmlElement& element, const CContext& context);
    void AddPath(std::vector<CNodeArray> subpaths, const CXmlElement& element, const CContext& context);
    void Add(std::unique_ptr<CGraphicObject> object, const CContext& context);
    // The colour a paint stands for: its own, the mean of a gradient's stops, or a pattern's mean fill.
    [[nodiscard]] std::optional<uint32_t> PaintColour(const CSvgPaint& paint, const CSvgStyle& style);
    [[nodiscard]] std::optional<uint32_t> ServerColour(const std::string& id, int depth);
    [[nodiscard]] double Length(const CXmlElement& element, std::string_view name, double reference,
                                const CSvgStyle& style, double fallback = 0.0) const;
    void Warn(const std::string& text);
    int NewGroup(const CXmlElement& element);

    const CXmlDocument& doc;
    CDrawing& drawing;
    std::string folder;
    std::vector<std::string> warnings;
    CSvgStyleSheet sheet;
    std::unordered_map<std::string, int> ids;
    std::map<std::string, int> namedGroups; // groups that carry our group attribute, by its value
    std::vector<bool> groupNamed;           // per group number: whether it came from that attribute
    std::vector<int> activeUses;            // elements being instantiated by the uses above
    std::unordered_map<std::string, std::optional<uint32_t>> serverColours; // paint servers already seen
    int groupCount = 0;
    long long budget = 0; // elements the walk may still visit, so uses cannot multiply a file's cost
    double viewportWidth = 0.0, viewportHeight = 0.0;
};

} // namespace pq
