#include "formats/svg/SvgXml.h"

// Debian's expat is built with DTD support, which declares the entity expansion limits we set.
#ifndef XML_DTD
#define XML_DTD 1
#endif
#include <expat.h>

#include <memory>

namespace pq {

namespace {

constexpr char kNamespaceSeparator = '\x1f';
constexpr std::string_view kXlinkNamespace = "http://www.w3.org/1999/xlink";
constexpr std::string_view kPentaquillNamespace = "urn:pentaquill:draw";

// expat hands names as "namespace\x1flocal"; SVG elements are matched by local name, and of the foreign
// attributes only xlink's and ours matter, kept with their usual prefix.
std::string LocalName(const char* name) {
    const std::string_view full(name);
    const std::size_t cut = full.rfind(kNamespaceSeparator);
    if (cut == std::string_view::npos)
        return std::string(full);
    const std::string_view space = full.substr(0, cut);
    const std::string_view local = full.substr(cut + 1);
    if (space == kXlinkNamespace)
        return "xlink:" + std::string(local);
    if (space == kPentaquillNamespace)
        return "pq:" + std::string(local);
    if (space == "http://www.w3.org/XML/1998/namespace")
        return "xml:" + std::string(local);
    if (space == "http://www.inkscape.org/namespaces/inkscape")
        return "inkscape:" + std::string(local);
    if (space == "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd")
        return "sodipodi:" + std::string(local);
    return std::string(local);
}

struct CParseState {
    CXmlDocument* document = nullptr;
    XML_Parser parser = nullptr;
    int current = -1;
    std::size_t keptBytes = 0; // text and attribute values stored so far
    std::size_t maxKeptBytes = 0;
    std::string error;
};

void StopWith(CParseState& state, std::string message) {
    if (state.error.empty())
        state.error = std::move(message);
    XML_StopParser(state.parser, XML_FALSE);
}

bool Keep(CParseState& state, std::size_t bytes) {
    state.keptBytes += bytes;
    if (state.keptBytes <= state.maxKeptBytes)
        return true;
    StopWith(state, "the file expands to far more text than it holds");
    return false;
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<CParseState*>(data);
    if (!state.error.empty())
        return; // stopped: a few call-backs may still come
    auto& elements = state.document->elements;
    if (state.current < 0 && !elements.empty()) {
        StopWith(state, "more than one root element");
        return;
    }
    const int depth = state.current < 0 ? 0 : elements[static_cast<std::size_t>(state.current)].depth + 1;
    if (depth > CXmlDocument::kMaxDepth) {
        StopWith(state, "elements are nested more than " + std::to_string(CXmlDocument::kMaxDepth) + " deep");
        return;
    }
    if (elements.size() >= CXmlDocument::kMaxElements) {
        StopWith(state, "more than " + std::to_string(CXmlDocument::kMaxElements) + " elements");
        return;
    }
    CXmlElement element;
    element.name = LocalName(name);
    element.parent = state.current;
    element.depth = depth;
    for (std::size_t i = 0; attributes[i] != nullptr && attributes[i + 1] != nullptr; i += 2) {
        element.attributes.emplace_back(LocalName(attributes[i]), attributes[i + 1]);
        if (!Keep(state, element.attributes.back().second.size()))
            return;
    }
    const int index = static_cast<int>(elements.size());
    elements.push_back(std::move(element));
    if (state.current >= 0)
        elements[static_cast<std::size_t>(state.current)].content.push_back(index);
    state.current = index;
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
    auto& state = *static_cast<CParseState*>(data);
    if (!state.error.empty())
        return;
    if (state.current >= 0)
        state.current = state.document->elements[static_cast<std::size_t>(state.current)].parent;
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto& state = *static_cast<CParseState*>(data);
    if (!state.error.empty() || state.current < 0 || length <= 0 ||
        !Keep(state, static_cast<std::size_t>(length)))
        return;
    CXmlElement& element = state.document->elements[static_cast<std::size_t>(state.current)];
    // Consecutive pieces of one run of text arrive separately; they join the run before them.
    if (!element.content.empty() && element.content.back() < 0) {
        element.texts.back().append(text, static_cast<std::size_t>(length));
        return;
    }
    element.texts.emplace_back(text, static_cast<std::size_t>(length));
    element.content.push_back(-static_cast<int>(element.texts.size()));
}

struct CParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

} // namespace

const std::string* CXmlElement::Attribute(std::string_view key) const {
    for (const auto& [name, value] : attributes)
        if (name == key)
            return &value;
    return nullptr;
}

bool CXmlDocument::Parse(std::span<const uint8_t> bytes, std::string& error) {
    elements.clear();
    std::unique_ptr<XML_ParserStruct, CParserDeleter> parser(
        XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser) {
        error = "out of memory";
        return false;
    }
    CParseState state;
    state.document = this;
    state.parser = parser.get();
    state.maxKeptBytes = bytes.size() + kMaxExpansionBytes;
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser.get(), kMaxAmplification);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser.get(), 1024 * 1024);

    // Fed in slices: expat takes an int length.
    constexpr std::size_t kSlice = 1 << 20;
    std::size_t at = 0;
    XML_Status status = XML_STATUS_OK;
    do {
        const std::size_t n = std::min(kSlice, bytes.size() - at);
        const bool last = at + n == bytes.size();
        status = XML_Parse(parser.get(), reinterpret_cast<const char*>(bytes.data() + at),
                           static_cast<int>(n), last ? XML_TRUE : XML_FALSE);
        at += n;
    } while (status == XML_STATUS_OK && at < bytes.size());

    if (status != XML_STATUS_OK || !state.error.empty()) {
        const auto line = XML_GetCurrentLineNumber(parser.get());
        const std::string reason =
            !state.error.empty() ? state.error : XML_ErrorString(XML_GetErrorCode(parser.get()));
        error = "line " + std::to_string(line) + ": " + reason;
        elements.clear();
        return false;
    }
    if (elements.empty()) {
        error = "no element";
        return false;
    }
    return true;
}

std::vector<int> CXmlDocument::Children(int element) const {
    std::vector<int> children;
    for (int item : elements[static_cast<std::size_t>(element)].content)
        if (item >= 0)
            children.push_back(item);
    return children;
}

std::string CXmlDocument::AllText(int element) const {
    // Iterative walk: the depth is bounded, but a stack of our own costs nothing.
    std::string text;
    std::vector<std::pair<int, std::size_t>> stack{{element, 0}};
    while (!stack.empty()) {
        auto& [index, next] = stack.back();
        const CXmlElement& e = elements[static_cast<std::size_t>(index)];
        if (next >= e.content.size()) {
            stack.pop_back();
            continue;
        }
        const int item = e.content[next++];
        if (item < 0)
            text += e.texts[static_cast<std::size_t>(-1 - item)];
        else
            stack.emplace_back(item, 0);
    }
    return text;
}

} // namespace pq
