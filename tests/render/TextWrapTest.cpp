#include "CountingMetrics.h"
#include "FontTestSetup.h"

#include "render/FontTextMetrics.h"
#include "render/TextLayout.h"

#include "model/TextMetrics.h"
#include "model/TextShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace pq {
namespace {

// Line breaking as it has always been done, one measure of the whole rest of the line per cut: the
// breaks the faster scan must reproduce.
std::u16string ReferenceWrappedLine(const CTextShape& text, std::size_t& index, std::optional<float> width) {
    const std::u16string& s = text.text;
    if (index >= s.size())
        return {};
    const float frameWidth = text.corner.x - text.position.x;
    if (!width && frameWidth < 0.0f) {
        std::u16string rest = s.substr(index);
        index = s.size();
        return rest;
    }
    // A line a sixteenth of a unit wider than the width still fits: frames lose that much to rounding.
    const float limit = (width ? *width : std::trunc(frameWidth + 0.0625f)) + 0.0625f;
    const std::size_t end = std::min(s.find(u"\r\n", index), s.size());
    std::u16string_view line(s.data() + index, end - index);
    while (!line.empty() && GetTextMetrics().MeasureString(text, line).x > limit) {
        const std::size_t space = line.rfind(u' ');
        if (space != std::u16string_view::npos && space > 0) {
            line = line.substr(0, space);
            continue;
        }
        line.remove_suffix(1);
    }
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

struct Wrapped {
    std::u16string line;
    std::size_t next = 0;
    bool operator==(const Wrapped&) const = default;
};

template <typename Wrap>
std::vector<Wrapped> WrapAll(const CTextShape& text, std::optional<float> width, Wrap wrap) {
    std::vector<Wrapped> lines;
    std::size_t index = 0;
    while (index < text.text.size() && lines.size() <= text.text.size()) {
        Wrapped w;
        w.line = wrap(text, index, width);
        w.next = index;
        lines.push_back(std::move(w));
    }
    return lines;
}

// Seeded texts with what line breaking must cope with: words narrow and wide, runs of spaces, spaces at
// the start of a hard line, hard breaks (some doubled), words longer than any frame.
std::u16string RandomText(std::mt19937& random) {
    static const std::u16string letters = u"aeilmtWMfj.,;";
    std::uniform_int_distribution<int> pick(0, 99);
    std::u16string s;
    const int words = 1 + pick(random) % 40;
    for (int w = 0; w < words; ++w) {
        const int kind = pick(random);
        if (kind < 8)
            s += u"\r\n";
        if (kind < 3)
            s += u"\r\n";
        const int spaces = kind < 15 ? 1 + pick(random) % 4 : (kind < 90 && w > 0 ? 1 : 0);
        s += std::u16string(static_cast<std::size_t>(spaces), u' ');
        const int length = kind > 95 ? 20 + pick(random) % 40 : 1 + pick(random) % 9;
        for (int i = 0; i < length; ++i)
            s += letters[static_cast<std::size_t>(pick(random)) % letters.size()];
    }
    if (pick(random) < 10)
        s += u"   ";
    return s;
}

class TextWrapping : public ::testing::Test {
protected:
    void TearDown() override { SetTextMetrics(nullptr); }
};

TEST_F(TextWrapping, BreaksAreThoseOfMeasuringTheRestOfTheLineAfterEachCut) {
    const CFontTextMetrics fonts;
    const CDefaultTextMetrics estimate;
    std::mt19937 random(10);
    std::uniform_real_distribution<float> widthOf(-20.0f, 700.0f);
    const std::u16string faces[] = {u"Arial", u"Times New Roman", u"Courier New"};
    int compared = 0;
    for (const CTextMetrics* metrics : std::vector<const CTextMetrics*>{&fonts, &estimate}) {
        SetTextMetrics(metrics);
        for (int round = 0; round < 300; ++round) {
            CTextShape text;
            text.text = RandomText(random);
            text.faceName = faces[round % 3];
            text.height = 6.0f + static_cast<float>(round % 9) * 4.7f;
            text.style = round % 4 == 1 ? kTextStyleBold : 0;
            text.position = {10.0f, 10.0f};
            const float width = round % 10 == 0 ? 0.0f : widthOf(random);
            text.corner = {10.0f + width, 400.0f};
            // The frame's own (truncated) width, and explicit widths as the renderer and writers give.
            for (const std::optional<float> limit : {std::optional<float>(), std::optional<float>(width),
                                                     std::optional<float>(std::trunc(width) + 0.5f)}) {
                const auto expected = WrapAll(text, limit, ReferenceWrappedLine);
                const auto actual =
                    WrapAll(text, limit, [](const CTextShape& t, std::size_t& i, std::optional<float> w) {
                        return GetWrappedLine(t, i, w);
                    });
                ASSERT_EQ(actual, expected) << "round " << round << " width " << (limit ? *limit : -1.0f);
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 1800);
}

TEST_F(TextWrapping, ASurrogatePairIsNeverCutInTwo) {
    SetTextMetrics(nullptr);
    CTextShape text;
    // Mathematical script capitals: two UTF-16 units each, no spaces, so the line is cut between letters.
    for (int i = 0; i < 9; ++i)
        text.text += u"\U0001D49C";
    text.height = 10.0f;
    // Each unit measures 6 wide: 25 units of width hold two letters, which is four units.
    for (const float width : {25.0f, 13.0f, 3.0f}) {
        std::size_t index = 0;
        std::size_t letters = 0;
        while (index < text.text.size()) {
            const std::u16string line = GetWrappedLine(text, index, width);
            ASSERT_FALSE(line.empty());
            ASSERT_EQ(line.size() % 2, 0u) << "width " << width;
            EXPECT_LE(line.size(), width >= 24.0f ? 4u : 2u);
            letters += line.size() / 2;
        }
        EXPECT_EQ(letters, 9u);
    }
}

std::u16string Prose(std::size_t length) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> letter(0, 25), wordLength(1, 12);
    std::u16string s;
    while (s.size() < length) {
        if (!s.empty())
            s += u' ';
        const int n = wordLength(random);
        for (int i = 0; i < n; ++i)
            s += static_cast<char16_t>(u'a' + letter(random));
    }
    s.resize(length);
    return s;
}

TEST_F(TextWrapping, WrappingALongParagraphMeasuresEachCharacterAFewTimes) {
    const CFontTextMetrics fonts;
    test::CountingMetrics counting(fonts);
    SetTextMetrics(&counting);
    for (const std::size_t length : {5500u, 22000u}) {
        // A wide frame and a narrow one (a few words a line), the text on one hard line.
        for (const float width : {1000.0f, 90.0f}) {
            CTextShape text;
            text.text = Prose(length);
            text.faceName = u"Arial";
            text.height = 20.0f;
            counting.measured = 0;
            std::size_t index = 0;
            std::size_t lines = 0;
            while (index < text.text.size()) {
                (void)GetWrappedLine(text, index, width);
                ++lines;
            }
            EXPECT_GT(lines, length / (width > 100.0f ? 150 : 15));
            EXPECT_LT(counting.measured, 8 * length) << length << " characters in " << width << " units";
        }
    }
}

} // namespace
} // namespace pq
