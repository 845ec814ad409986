#include "render/TextLayout.h"

#include "model/TextMetrics.h"
#include "model/TextShape.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace pq {

namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";
// Frames are floats that moves and sizing round: a line up to this much wider than the width it is fitted
// to still fits, so a frame sized to its widest line keeps that line on one line whatever rounding did to
// the frame since (a move can leave a frame of 200 units 199.99998 wide).
constexpr float kFitSlack = 1.0f / 16.0f;

float LineWidth(const CTextShape& text, std::u16string_view line) {
    return GetTextMetrics().MeasureString(text, line).x;
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// The index after the code point starting at i: a surrogate pair is never cut in two.
std::size_t NextBoundary(std::u16string_view s, std::size_t i) {
    return i + 1 < s.size() && IsHighSurrogate(s[i]) && IsLowSurrogate(s[i + 1]) ? i + 2 : i + 1;
}

// The length of the longest beginning of line, ending between code points, that is not wider than
// limit. Widths only grow as a run grows, so the scan stops at the first code point that does not fit;
// it measures growing windows of the line, so a long line costs about what its fitting part does.
std::size_t FittingLength(const CTextShape& text, std::u16string_view line, float limit) {
    constexpr std::size_t kFirstWindow = 32;
    std::size_t fit = 0;
    std::size_t window = std::min(line.size(), kFirstWindow);
    while (true) {
        if (window < line.size() && IsLowSurrogate(line[window]) && IsHighSurrogate(line[window - 1]))
            ++window;
        const std::u16string_view part = line.substr(0, window);
        const std::unique_ptr<CTextRuns> runs = GetTextMetrics().MeasureRuns(text, part);
        while (fit < window) {
            const std::size_t next = NextBoundary(part, fit);
            if (runs->Width(0, next) > limit)
                return fit;
            fit = next;
        }
        if (window == line.size())
            return fit;
        window = std::min(line.size(), 2 * window);
    }
}

// How much of a hard line stays on the wrapped line: the whole line when it fits, else the line cut
// before its last space that makes it fit (a space at its very start does not count), else the longest
// beginning that fits, possibly nothing.
std::size_t KeptLength(const CTextShape& text, std::u16string_view line, float limit) {
    const std::size_t fit = FittingLength(text, line, limit);
    if (fit == line.size())
        return fit;
    // Cutting before a space at p keeps line[0, p), which fits exactly when p <= fit.
    const std::size_t space = line.rfind(u' ', fit);
    if (space != std::u16string_view::npos && space > 0)
        return space;
    return fit;
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
    const float limit = (width ? *width : std::trunc(frameWidth + kFitSlack)) + kFitSlack;

    const std::size_t end = std::min(s.find(kLineBreak, index), s.size());
    const std::u16string_view hardLine(s.data() + index, end - index);
    std::u16string_view line = hardLine.substr(0, KeptLength(text, hardLine, limit));
    // Nothing fits, not even one character: take one anyway, or the walk over the text never ends.
    if (line.empty() && end > index && s[index] != u' ')
        line = hardLine.substr(0, NextBoundary(hardLine, 0));

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
