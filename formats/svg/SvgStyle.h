#pragma once

#include "formats/svg/SvgValues.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pq {

struct CXmlElement;

// The style properties the importer uses, as they apply to one element after inheritance.
struct CSvgStyle {
    CSvgPaint fill{CSvgPaint::Kind::Colour, 0, {}, {}};
    CSvgPaint stroke; // none
    uint32_t currentColour = 0;
    bool evenOdd = false;
    double strokeWidth = 1.0;
    std::vector<double> dashes;
    std::string fontFamily;
    double fontSize = 16.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int anchor = 0;      // 0 start, 1 middle, 2 end
    bool hidden = false; // visibility: hidden
    bool display = true; // display: none clears it (not inherited: the element and its subtree go)
    bool preserveSpaces = false;
};

// Simple rules of <style> sheets: selectors of one element name, one ".class" or one "#id" (lists
// separated by commas), each with its declarations. Anything more elaborate is skipped. Rules apply by
// specificity (element, then class, then id), in sheet order among equals; the declarations of one
// selector are merged as they are read, so applying the sheet costs the same however long it is.
class CSvgStyleSheet {
public:
    void Parse(std::string_view css);
    // The declarations that apply to the element, in the order they take effect.
    void Collect(const CXmlElement& element, std::vector<std::pair<std::string, std::string>>& out) const;
    [[nodiscard]] bool Empty() const { return byElement.empty() && byClass.empty() && byId.empty(); }

private:
    struct CRuleSet {
        std::size_t order = 0; // where the selector first appears
        std::vector<std::pair<std::string, std::string>> declarations;
    };
    using CRuleMap = std::unordered_map<std::string, CRuleSet>;
    void Merge(CRuleMap& map, std::string name,
               const std::vector<std::pair<std::string, std::string>>& declarations);

    CRuleMap byElement, byClass, byId;
    std::size_t selectors = 0;
};

// Splits "a: b; c: d" into pairs (names lower-cased, values trimmed, "!important" dropped).
[[nodiscard]] std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view text);

// The element's style: the parent's inherited values, then its presentation attributes, the sheet's
// rules and its style attribute, each overriding the one before.
[[nodiscard]] CSvgStyle ResolveStyle(const CXmlElement& element, const CSvgStyle& parent,
                                     const CSvgStyleSheet& sheet);

} // namespace pq
