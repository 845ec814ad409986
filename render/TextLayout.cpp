#include "render/TextLayout.h"

#include "model/TextMetrics.h"
#include "model/TextShape.h"

#include <algorithm>
#include <cmath>

namespace pq {

namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

float LineWidth(const CTextShape& text, std::u16string_view line) {
    return GetTextMetrics().MeasureString(text, line).x;
}

} // namespace

int CountTextLines(const CTextShape& text) {
    return text.LineCount();
}

std::u16string GetTextLine(const CTextShape& text, std::size_t& index) {
    const std::u16string& s = text.text;
    if (index >= s.size())
        return {};
    const std::size_t end = std::min(s.find(kLineBreak, index), s.size());
    std::u16string line = s.substr(index, end - index);
    index += line.size() + 2;
    return line;
}

std::u16string GetWrappedLine(const CTextShape& text, std::size_t& index, std::optional<float> width) {
    const std::u16string& s = text.text;
    if (index >= s.size())
        return {};
    const float frameWidth = text.corner.x - text.position.x;
    if (!width && frameWidth < 0.0f) {
        std::u16string rest = s.substr(index);
        index = s.size();
        return rest;
    }
    const float limit = width ? *width : std::trunc(frameWidth);

    const std::size_t end = std::min(s.find(kLineBreak, index), s.size());
    std::u16string_view line(s.data() + index, end - index);
    while (!line.empty() && LineWidth(text, line) > limit) {
        const std::size_t space = line.rfind(u' ');
        if (space != std::u16string_view::npos && space > 0) {
            line = line.substr(0, space);
            continue;
        }
        line.remove_suffix(1);
    }
    // Nothing fits, not even one character: take one anyway, or the walk over the text never ends.
    if (line.empty() && end > index && s[index] != u' ')
        line = std::u16string_view(s.data() + index, 1);

    index += line.size();
    while (index < s.size() && s[index] == u' ')
        ++index;
    if (index < s.size() && s[index] == u'\r')
        ++index;
    if (index < s.size() && s[index] == u'\n')
        ++index;

    std::size_t kept = line.size();
    while (kept > 1 && line[kept - 1] == u' ')
        --kept;
    return std::u16string(line.substr(0, kept));
}

CPointF MeasureTextBlock(const CTextShape& text) {
    // An empty text still measures one empty line high, as multi-line measuring reports it.
    float widest = 0.0f;
    int lines = 0;
    std::size_t index = 0;
    do {
        const std::u16string line = GetTextLine(text, index);
        widest = std::max(widest, LineWidth(text, line));
        ++lines;
    } while (index < text.text.size());
    const float lineHeight = GetTextMetrics().MeasureString(text, u"a").y;
    return {widest, lineHeight * static_cast<float>(lines)};
}

} // namespace pq
