#include "FontTestSetup.h"

#include "platform/FontconfigSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace pq {
namespace {

bool Has(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The kept answers are trusted only as long as what fontconfig built them from is unchanged, so the
// list of what it built them from must name the configuration and every font folder it read.
TEST(FontconfigSource, DependsOnTheConfigurationItsFolderAndEveryFontFolder) {
    CFontconfigSource source;
    const std::optional<CFontAnswer> answer = source.MatchFamily("Liberation Serif", 700, true);
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(test::EndsWith(answer->file, "LiberationSerif-BoldItalic.ttf")) << answer->file;
    EXPECT_EQ(answer->families.front(), "Liberation Serif");

    const std::vector<std::string> paths = source.Dependencies();
    const std::string config = PQ_TEST_DATA_DIR "/fonts.conf";
    EXPECT_TRUE(Has(paths, config));
    EXPECT_TRUE(Has(paths, PQ_TEST_DATA_DIR)) << "a file added beside the configuration";
    EXPECT_TRUE(Has(paths, "/usr/share/fonts/truetype/dejavu"));
    EXPECT_TRUE(Has(paths, "/usr/share/fonts/truetype/liberation"));
    EXPECT_TRUE(std::any_of(paths.begin(), paths.end(), [](const std::string& p) {
        return test::EndsWith(p, "/fontconfig/fonts.conf");
    })) << "the user's own configuration, even before it exists";
}

TEST(FontconfigSource, TheSettingFollowsTheVariablesThatChooseFontsAndTheCacheFileTheCacheFolder) {
    const char* old = std::getenv("LANG");
    const std::string saved = old != nullptr ? old : "";
    setenv("LANG", "de_DE.UTF-8", 1);
    const std::string german = FontconfigSetting();
    setenv("LANG", "ja_JP.UTF-8", 1);
    const std::string japanese = FontconfigSetting();
    if (old != nullptr)
        setenv("LANG", saved.c_str(), 1);
    else
        unsetenv("LANG");
    EXPECT_NE(german, japanese) << "fontconfig prefers faces covering the user's language";
    EXPECT_NE(german.find("fontconfig "), std::string::npos);

    const char* cache = std::getenv("XDG_CACHE_HOME");
    ASSERT_NE(cache, nullptr) << "test programs point the cache folder at a temporary one";
    const std::string testCache = cache;
    EXPECT_EQ(FontAnswerCacheFile(), testCache + "/pentaquill-draw/fonts.cache");
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("XDG_CACHE_HOME", "", 1);
    setenv("HOME", "/home/quill", 1);
    EXPECT_EQ(FontAnswerCacheFile(), "/home/quill/.cache/pentaquill-draw/fonts.cache");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CACHE_HOME", testCache.c_str(), 1);
}

} // namespace
} // namespace pq
