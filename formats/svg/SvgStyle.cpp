#include "formats/svg/SvgStyle.h"

#include "formats/svg/SvgXml.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace pq {

namespace {

void ApplyProperty(CSvgStyle& style, const CSvgStyle& parent, const std::string& name,
                   std::string_view value) {
    value = Trim(value);
    if (value == "inherit")
        return; // the inherited value is already there (display is reset below only when set)
    if (name == "fill" || name == "stroke") {
        std::optional<CSvgPaint> paint = ParsePaint(value);
        if (!paint)
            return;
        (name == "fill" ? style.fill : style.stroke) = std::move(*paint);
    } else if (name == "color") {
        if (const auto c = ParseColour(value))
            style.currentColour = *c;
    } else if (name == "fill-rule") {
        style.evenOdd = value == "evenodd";
    } else if (name == "stroke-width") {
        if (const auto w = ParseLength(value, 0.0, style.fontSize); w && *w >= 0.0)
            style.strokeWidth = *w;
    } else if (name == "stroke-dasharray") {
        style.dashes.clear();
        if (value != "none")
            for (double d : ParseNumberList(value))
                style.dashes.push_back(std::fabs(d));
    } else if (name == "font-family") {
        // The first family of the list, without quotes.
        std::string_view first = Trim(value.substr(0, value.find(',')));
        if (first.size() >= 2 && (first.front() == '\'' || first.front() == '"'))
            first = first.substr(1, first.size() - 2);
        if (!first.empty())
            style.fontFamily = std::string(first);
    } else if (name == "font-size") {
        if (const auto s = ParseLength(value, parent.fontSize, parent.fontSize); s && *s > 0.0)
            style.fontSize = *s;
    } else if (name == "font-weight") {
        const std::optional<double> n = ParseNumber(value);
        style.bold = n ? *n >= 600.0 : (value == "bold" || value == "bolder");
    } else if (name == "font-style") {
        style.italic = value == "italic" || value == "oblique";
    } else if (name == "text-decoration") {
        style.underline = value.find("underline") != std::string_view::npos;
    } else if (name == "text-anchor") {
        style.anchor = value == "middle" ? 1 : value == "end" ? 2 : 0;
    } else if (name == "visibility") {
        style.hidden = value == "hidden" || value == "collapse";
    } else if (name == "display") {
        style.display = value != "none";
    } else if (name == "xml:space") {
        style.preserveSpaces = value == "preserve";
    } else if (name == "font") {
        // The shorthand: only its size and family are read ("bold 12px Arial").
        std::string_view rest = value;
        while (!rest.empty()) {
            SkipSpaces(rest);
            const std::size_t end = std::min(rest.find(' '), rest.size());
            const std::string_view word = rest.substr(0, end);
            if (!word.empty() &&
                (std::isdigit(static_cast<unsigned char>(word.front())) || word.front() == '.')) {
                ApplyProperty(style, parent, "font-size", word.substr(0, word.find('/')));
                ApplyProperty(style, parent, "font-family", Trim(rest.substr(end)));
                break;
            }
            if (word == "bold")
                style.bold = true;
            if (word == "italic")
                style.italic = true;
            rest.remove_prefix(end);
        }
    }
}

bool IsStyleProperty(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "fill",        "stroke",    "color",       "fill-rule",  "stroke-width",    "stroke-dasharray",
        "font-family", "font-size", "font-weight", "font-style", "text-decoration", "text-anchor",
        "visibility",  "display",   "xml:space",   "font"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

} // namespace

std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> out;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view item = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view value = Trim(item.substr(colon + 1));
        if (const std::size_t bang = value.find("!important"); bang != std::string_view::npos)
            value = Trim(value.substr(0, bang));
        out.emplace_back(Lower(Trim(item.substr(0, colon))), std::string(value));
    }
    return out;
}

void CSvgStyleSheet::Merge(CRuleMap& map, std::string name,
                           const std::vector<std::pair<std::string, std::string>>& declarations) {
    auto [it, added] = map.try_emplace(std::move(name));
    if (added)
        it->second.order = selectors++;
    auto& kept = it->second.declarations;
    for (const auto& declaration : declarations) {
        if (!IsStyleProperty(declaration.first))
            continue;
        // One value a property: the later wins, as it would when applied.
        const auto same = std::find_if(kept.begin(), kept.end(),
                                       [&](const auto& k) { return k.first == declaration.first; });
        if (same != kept.end())
            kept.erase(same);
        kept.push_back(declaration);
    }
}

void CSvgStyleSheet::Parse(std::string_view css) {
    // Comments out first.
    std::string text;
    for (std::size_t i = 0; i < css.size();) {
        if (css.substr(i, 2) == "/*") {
            const std::size_t end = css.find("*/", i + 2);
            i = end == std::string_view::npos ? css.size() : end + 2;
        } else {
            text += css[i++];
        }
    }
    std::string_view s = text;
    while (!s.empty()) {
        const std::size_t open = s.find('{');
        if (open == std::string_view::npos)
            break;
        const std::size_t close = s.find('}', open);
        if (close == std::string_view::npos)
            break;
        const std::string_view list = s.substr(0, open);
        const auto declarations = ParseDeclarations(s.substr(open + 1, close - open - 1));
        s.remove_prefix(close + 1);
        std::string_view rest = list;
        while (!rest.empty()) {
            const std::size_t comma = std::min(rest.find(','), rest.size());
            const std::string_view selector = Trim(rest.substr(0, comma));
            rest.remove_prefix(std::min(comma + 1, rest.size()));
            if (selector.empty() || selector.find_first_of(" >+~:[*") != std::string_view::npos)
                continue;
            const char kind = selector.front() == '.' || selector.front() == '#' ? selector.front() : 'e';
            const std::string_view name = kind == 'e' ? selector : selector.substr(1);
            if (name.empty() || name.find_first_of(".#") != std::string_view::npos)
                continue;
            Merge(kind == 'e' ? byElement : kind == '.' ? byClass : byId, std::string(name), declarations);
        }
    }
}

void CSvgStyleSheet::Collect(const CXmlElement& element,
                             std::vector<std::pair<std::string, std::string>>& out) const {
    const auto append = [&](const CRuleSet& set) {
        out.insert(out.end(), set.declarations.begin(), set.declarations.end());
    };
    if (const auto found = byElement.find(element.name); found != byElement.end())
        append(found->second);
    if (const std::string* classes = element.Attribute("class"); classes != nullptr && !byClass.empty()) {
        std::vector<const CRuleSet*> matched;
        std::string_view list = *classes;
        while (!list.empty()) {
            SkipSpaces(list);
            const std::size_t end = std::min(list.find_first_of(" \t\r\n"), list.size());
            if (const auto found = byClass.find(std::string(list.substr(0, end))); found != byClass.end())
                matched.push_back(&found->second);
            list.remove_prefix(end);
        }
        // Sheet order, each rule once however often the element names its class.
        std::sort(matched.begin(), matched.end(),
                  [](const CRuleSet* a, const CRuleSet* b) { return a->order < b->order; });
        matched.erase(std::unique(matched.begin(), matched.end()), matched.end());
        for (const CRuleSet* set : matched)
            append(*set);
    }
    if (const std::string* id = element.Attribute("id"))
        if (const auto found = byId.find(*id); found != byId.end())
            append(found->second);
}

CSvgStyle ResolveStyle(const CXmlElement& element, const CSvgStyle& parent, const CSvgStyleSheet& sheet) {
    CSvgStyle style = parent;
    style.display = true;
    for (const auto& [name, value] : element.attributes)
        if (IsStyleProperty(name))
            ApplyProperty(style, parent, name, value);
    if (!sheet.Empty()) {
        std::vector<std::pair<std::string, std::string>> rules;
        sheet.Collect(element, rules);
        for (const auto& [name, value] : rules)
            ApplyProperty(style, parent, name, value);
    }
    if (const std::string* inline_ = element.Attribute("style"))
        for (const auto& [name, value] : ParseDeclarations(*inline_))
            ApplyProperty(style, parent, name, value);
    return style;
}

} // namespace pq
