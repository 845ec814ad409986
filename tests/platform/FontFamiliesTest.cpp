#include "FontTestSetup.h"

#include "platform/FontFamilies.h"
#include "platform/FontLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace pq {
namespace {

bool Contains(const std::vector<std::u16string>& list, std::u16string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

TEST(FontFamilies, SansFaceFirstThenEveryFamilyOnceInOrderWithTheTwinnedCoreFaces) {
    const std::vector<std::u16string>& families = EnumerateFontFamilies();
    ASSERT_GT(families.size(), 5u);
    EXPECT_EQ(SansSerifFamily(), u"DejaVu Sans");
    EXPECT_EQ(families.front(), u"DejaVu Sans");
    EXPECT_TRUE(std::is_sorted(families.begin() + 1, families.end()));
    EXPECT_EQ(std::set<std::u16string>(families.begin(), families.end()).size(), families.size());
    for (std::u16string_view name : {u"DejaVu Serif", u"DejaVu Sans Mono", u"Liberation Sans",
                                     u"Liberation Mono", u"Arial", u"Times New Roman", u"Courier New"})
        EXPECT_TRUE(Contains(families, name)) << std::string(name.begin(), name.end());
    for (std::u16string_view name : {u"Tahoma", u"Arial Black", u"Verdana"})
        EXPECT_FALSE(Contains(families, name)) << std::string(name.begin(), name.end());
}

TEST(FontFamilies, ListFollowsAConfigurationChange) {
    const std::string dejaVuOnly = ::testing::TempDir() + "/dejavu-only-fonts.conf";
    {
        std::ofstream out(dejaVuOnly);
        out << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
               "<dir>/usr/share/fonts/truetype/dejavu</dir>\n"
               "<cachedir prefix=\"xdg\">fontconfig</cachedir>\n"
               "<alias><family>sans-serif</family><prefer><family>DejaVu Serif</family></prefer></alias>\n"
               "</fontconfig>\n";
    }
    ASSERT_TRUE(LoadFontConfigFile(dejaVuOnly));
    const std::vector<std::u16string> narrow = EnumerateFontFamilies();
    ASSERT_TRUE(LoadFontConfigFile(PQ_TEST_DATA_DIR "/fonts.conf"));
    EXPECT_EQ(narrow.front(), u"DejaVu Serif");
    EXPECT_FALSE(Contains(narrow, u"Liberation Sans"));
    EXPECT_FALSE(Contains(narrow, u"Arial"));
    EXPECT_TRUE(Contains(EnumerateFontFamilies(), u"Arial"));
    EXPECT_FALSE(LoadFontConfigFile(::testing::TempDir() + "/no-such-fonts.conf"));
    EXPECT_TRUE(Contains(EnumerateFontFamilies(), u"Arial"));
}

TEST(FontFamilies, NamesCompareWithoutCaseAndSpaces) {
    EXPECT_EQ(NormalizeFamilyName("Times New  roman"), "TIMESNEWROMAN");
    EXPECT_TRUE(IsGenericFamily("Sans-Serif"));
    EXPECT_TRUE(IsGenericFamily("monospace"));
    EXPECT_FALSE(IsGenericFamily("DejaVu Sans"));
}

} // namespace
} // namespace pq
