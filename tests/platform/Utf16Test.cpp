#include "platform/Utf16.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(Utf16, SurrogatePairsDecodeToOneCodePoint) {
    const std::u16string s = u"a\U0001F600b";
    std::size_t i = 0;
    EXPECT_EQ(NextCodePoint(s, i), U'a');
    EXPECT_EQ(NextCodePoint(s, i), U'\U0001F600');
    EXPECT_EQ(i, 3u);
    EXPECT_EQ(NextCodePoint(s, i), U'b');
    EXPECT_EQ(i, s.size());
}

TEST(Utf16, LoneSurrogatesBecomeReplacementsAndStillAdvance) {
    const std::u16string s{char16_t(0xD800), u'x', char16_t(0xDC00)};
    std::size_t i = 0;
    EXPECT_EQ(NextCodePoint(s, i), kReplacementCharacter);
    EXPECT_EQ(i, 1u);
    EXPECT_EQ(NextCodePoint(s, i), U'x');
    EXPECT_EQ(NextCodePoint(s, i), kReplacementCharacter);
    EXPECT_EQ(i, 3u);
    const std::u16string truncated{char16_t(0xD83D)};
    i = 0;
    EXPECT_EQ(NextCodePoint(truncated, i), kReplacementCharacter);
    EXPECT_EQ(i, 1u);
}

TEST(Utf16, Utf8RoundTripsEveryPlane) {
    const std::u16string s = u"Zoë – 東京 \U0001F600";
    EXPECT_EQ(Utf16ToUtf8(s), "Zo\xC3\xAB \xE2\x80\x93 \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
}

TEST(Utf16, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");             // cut short
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");         // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");     // an encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD"); // past U+10FFFF
}

} // namespace
} // namespace pq
