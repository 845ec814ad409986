#include "platform/FontAnswerCache.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace pq {
namespace {

namespace fs = std::filesystem;

// Answers from a fixed table and counts how often it is asked; its one dependency is a file the test
// controls.
class CCountingSource final : public CFontAnswerSource {
public:
    explicit CCountingSource(std::string dependencyFile) : dependency(std::move(dependencyFile)) {}

    std::vector<std::string> ListOutlineFamilies() override {
        ++lists;
        return families;
    }
    std::optional<CFontAnswer> MatchFamily(const std::string& family, int weight, bool italic) override {
        ++matches;
        if (family == "Nothing")
            return std::nullopt;
        return CFontAnswer{
            "/fonts/" + family + (italic ? "-I" : "") + ".ttf", weight / 100, {family}, 80.0, 0};
    }
    std::vector<std::string> Dependencies() override { return {dependency, dependency + ".d"}; }

    std::vector<std::string> families{"Alpha", "Beta"};
    int lists = 0;
    int matches = 0;

private:
    std::string dependency;
};

class FontAnswerCache : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(config) << "<fontconfig/>";
        Backdate(config, 0);
    }
    // Sets a file's time well before now, so that the cache does not take it for a change in progress.
    static void Backdate(const std::string& path, int extraSeconds) {
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1) +
                                      std::chrono::seconds(extraSeconds));
    }
    // One run of a program: a fresh cache object over the same file.
    struct CRun {
        CCountingSource source;
        CFontAnswerCache cache;
        CRun(const std::string& file, const std::string& config, const std::string& setting = "s1")
            : source(config), cache(file, setting, source) {}
    };
    static std::vector<std::optional<CFontAnswer>> AskAll(CRun& run) {
        (void)run.cache.OutlineFamilies();
        return {run.cache.MatchFamily("Alpha", 400, false), run.cache.MatchFamily("Alpha", 700, true),
                run.cache.MatchFamily("Nothing", 400, false)};
    }

    test::CTempFolder folder;
    std::string config = folder.File("fonts.conf");
    std::string file = folder.File("cache/pentaquill-draw/fonts.cache");
};

TEST_F(FontAnswerCache, ASecondRunAsksNothingAndGetsTheSameAnswers) {
    CRun cold(file, config);
    const auto first = AskAll(cold);
    EXPECT_EQ(cold.source.lists, 1);
    EXPECT_EQ(cold.source.matches, 3);
    EXPECT_FALSE(cold.cache.AnsweredFromFile());
    ASSERT_TRUE(fs::exists(file)) << "the cache folder is made";
    ASSERT_TRUE(first[1].has_value());
    EXPECT_EQ(first[1]->file, "/fonts/Alpha-I.ttf");
    EXPECT_FALSE(first[2].has_value());
    // Asked again in the same run, the answers are remembered.
    (void)cold.cache.MatchFamily("Alpha", 400, false);
    EXPECT_EQ(cold.source.matches, 3);

    CRun warm(file, config);
    EXPECT_EQ(AskAll(warm), first);
    EXPECT_EQ(warm.cache.OutlineFamilies(), cold.source.families);
    EXPECT_EQ(warm.source.lists + warm.source.matches, 0);
    EXPECT_TRUE(warm.cache.AnsweredFromFile());

    // A new question is asked and kept beside the old answers.
    (void)warm.cache.MatchFamily("Beta", 400, false);
    EXPECT_EQ(warm.source.matches, 1);
    EXPECT_FALSE(warm.cache.AnsweredFromFile());
    CRun third(file, config);
    (void)third.cache.MatchFamily("Beta", 400, false);
    EXPECT_EQ(AskAll(third), first);
    EXPECT_EQ(third.source.lists + third.source.matches, 0);
}

TEST_F(FontAnswerCache, AChangedDependencyOrSettingStartsAfresh) {
    {
        CRun cold(file, config);
        (void)AskAll(cold);
    }
    Backdate(config, 5);
    CRun touched(file, config);
    touched.source.families = {"Gamma"};
    EXPECT_EQ(touched.cache.OutlineFamilies(), std::vector<std::string>{"Gamma"});
    (void)AskAll(touched);
    EXPECT_EQ(touched.source.matches, 3) << "no earlier answer survives";

    CRun after(file, config);
    EXPECT_EQ(after.cache.OutlineFamilies(), std::vector<std::string>{"Gamma"}) << "the file was rewritten";
    EXPECT_EQ(after.source.lists, 0);

    // A dependency that did not exist and now does.
    std::ofstream(config + ".d") << "";
    Backdate(config + ".d", 0);
    CRun created(file, config);
    (void)created.cache.OutlineFamilies();
    EXPECT_EQ(created.source.lists, 1);

    CRun otherSetting(file, config, "s2");
    (void)otherSetting.cache.OutlineFamilies();
    EXPECT_EQ(otherSetting.source.lists, 1);
}

TEST_F(FontAnswerCache, ADamagedFileIsReplacedByAGoodOne) {
    fs::create_directories(fs::path(file).parent_path());
    for (const std::string& junk :
         {std::string(), std::string("PQFONTS\n\x01\0\0\0garbage", 19), std::string(100000, '\xff')}) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << junk;
        CRun run(file, config);
        EXPECT_EQ(AskAll(run).size(), 3u);
        EXPECT_EQ(run.source.matches, 3);
        CRun next(file, config);
        (void)AskAll(next);
        EXPECT_EQ(next.source.lists + next.source.matches, 0);
    }
}

TEST_F(FontAnswerCache, NothingIsKeptWhileADependencyIsChangingOrWhenTheFolderIsReadOnly) {
    // Changed a moment ago: the source may have read it before or after the change.
    std::ofstream(config) << "<fontconfig></fontconfig>";
    CRun racy(file, config);
    (void)AskAll(racy);
    EXPECT_FALSE(fs::exists(file));

    Backdate(config, 0);
    const std::string lockedFile = folder.File("locked/fonts.cache");
    fs::create_directories(folder.File("locked"));
    ::chmod(folder.File("locked").c_str(), 0500);
    CRun locked(lockedFile, config);
    const auto answers = AskAll(locked);
    ASSERT_TRUE(answers[0].has_value()) << "answers still come from the source";
    EXPECT_EQ(answers[0]->file, "/fonts/Alpha.ttf");
    if (::geteuid() != 0) {
        EXPECT_FALSE(fs::exists(lockedFile));
    }
}

} // namespace
} // namespace pq
