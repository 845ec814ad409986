#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pq {

// One element of an SVG file: its local name (namespace prefixes dropped, except for the xlink and
// our own attributes, which keep theirs), its attributes in file order, its children and the
// character data directly inside it, in order with the children.
struct CXmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    // The element's content in order: child element indices (>= 0) and text runs (-1 - index into texts).
    std::vector<int> content;
    std::vector<std::string> texts;
    int parent = -1;
    int depth = 0;

    // The attribute's value, or nullptr when the element has none of that name.
    [[nodiscard]] const std::string* Attribute(std::string_view key) const;
};

// A parsed XML document: every element in document order, the root first.
struct CXmlDocument {
    // Elements nested deeper than this are refused: nothing a drawing program writes comes near it.
    static constexpr int kMaxDepth = 200;
    // Entity expansion may not grow the document beyond this many times its own size (after the first
    // megabyte), which stops "billion laughs" files early.
    static constexpr float kMaxAmplification = 20.0f;
    // More elements than this are refused: the document model would outgrow any real drawing's needs.
    static constexpr std::size_t kMaxElements = 1000000;
    // Text and attribute values kept may exceed the file's own size by this much (entities expand).
    static constexpr std::size_t kMaxExpansionBytes = 64u * 1024 * 1024;

    std::vector<CXmlElement> elements;

    // Parses bytes with expat. External entities and DTDs are never fetched. False with a message
    // naming the line and the reason for a file that is not well-formed XML, too deep or too expanded.
    bool Parse(std::span<const uint8_t> bytes, std::string& error);

    // The children of an element that are elements, in order.
    [[nodiscard]] std::vector<int> Children(int element) const;
    // All character data inside an element and its descendants, in document order.
    [[nodiscard]] std::string AllText(int element) const;
};

} // namespace pq
