#include "platform/FontAnswerFile.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

namespace pq {
namespace {

namespace fs = std::filesystem;

CFontAnswers SampleAnswers() {
    CFontAnswers answers;
    answers.setting = "fontconfig 21401\nLANG=C.UTF-8\n";
    answers.stamps = {{"/etc/fonts/fonts.conf", true, 1700000000123456789, 2810},
                      {"/home/u/.fonts.conf", false, 0, 0}};
    answers.families = std::vector<std::string>{"DejaVu Sans", "Liberation Serif", "Noto Sans CJK JP"};
    answers.matches[{"Arial", 700, true}] = CFontAnswer{
        "/usr/share/fonts/LiberationSans-BoldItalic.ttf", 0, {"Liberation Sans", "Arial"}, 200.0, 100};
    answers.matches[{"sans-serif", 400, false}] =
        CFontAnswer{"/usr/share/fonts/NotoSansCJK.ttc", 3, {"Noto Sans CJK JP"}, 80.5, 0};
    answers.matches[{"Nothing", 400, false}] = std::nullopt;
    return answers;
}

TEST(FontAnswerFile, EverythingWrittenReadsBackTheSame) {
    const CFontAnswers answers = SampleAnswers();
    CFontAnswers read;
    ASSERT_TRUE(DecodeFontAnswers(EncodeFontAnswers(answers), read));
    EXPECT_EQ(read, answers);

    // An empty family list differs from one never listed.
    CFontAnswers unlisted;
    unlisted.setting = "x";
    CFontAnswers listed = unlisted;
    listed.families.emplace();
    ASSERT_TRUE(DecodeFontAnswers(EncodeFontAnswers(unlisted), read));
    EXPECT_FALSE(read.families.has_value());
    ASSERT_TRUE(DecodeFontAnswers(EncodeFontAnswers(listed), read));
    ASSERT_TRUE(read.families.has_value());
    EXPECT_TRUE(read.families->empty());
}

// A file of this version as the program wrote it (the fuzzing seed): its layout must not drift, or
// every user's cache would be refused after an update without its version being raised.
TEST(FontAnswerFile, AFileOfThisVersionReadsAndWritesBackByteForByte) {
    const std::string text =
        test::ReadFileText(PQ_TEST_DATA_DIR "/../../fuzz/seeds/fuzz_FontAnswers/three_answers.bin");
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    CFontAnswers read;
    ASSERT_TRUE(DecodeFontAnswers(bytes, read));
    EXPECT_EQ(read.setting, "fontconfig 21401\nLANG=C.UTF-8\n");
    ASSERT_EQ(read.stamps.size(), 3u);
    EXPECT_EQ(read.stamps[0], (CPathStamp{"/etc/fonts/conf.d", true, 1700000000123456789, 4096}));
    EXPECT_FALSE(read.stamps[2].exists);
    ASSERT_TRUE(read.families.has_value());
    EXPECT_EQ(read.families->size(), 3u);
    ASSERT_EQ(read.matches.size(), 3u);
    const std::optional<CFontAnswer>& bold = read.matches.at({"Arial", 700, true});
    ASSERT_TRUE(bold.has_value());
    EXPECT_EQ(bold->families, std::vector<std::string>{"Liberation Sans"});
    EXPECT_EQ(bold->weight, 200.0);
    EXPECT_EQ(bold->slant, 100);
    EXPECT_FALSE(read.matches.at({"No Such", 400, false}).has_value());
    EXPECT_EQ(EncodeFontAnswers(read), bytes);
}

TEST(FontAnswerFile, DamagedOrForeignFilesAreRefusedAndLeaveTheAnswersAlone) {
    const std::vector<uint8_t> good = EncodeFontAnswers(SampleAnswers());
    CFontAnswers kept;
    kept.setting = "kept";
    const CFontAnswers before = kept;

    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(DecodeFontAnswers(std::span(good).first(length), kept)) << "cut at " << length;
    }
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::vector<uint8_t> bad = good;
        bad[at] ^= 0x20;
        EXPECT_FALSE(DecodeFontAnswers(bad, kept)) << "byte " << at << " changed";
    }
    // A weight that is not a number, with the file's hash made right.
    CFontAnswers odd = SampleAnswers();
    odd.matches.begin()->second->weight = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(DecodeFontAnswers(EncodeFontAnswers(odd), kept));

    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(DecodeFontAnswers(longer, kept));
    EXPECT_EQ(kept, before);
}

TEST(FontAnswerFile, AnswersBeyondTheReadersBoundsAreNotWritten) {
    CFontAnswers answers = SampleAnswers();
    answers.matches[{std::string(kMaxFontAnswerString + 1, 'a'), 400, false}] = std::nullopt;
    EXPECT_TRUE(EncodeFontAnswers(answers).empty());

    answers = SampleAnswers();
    answers.families->assign(kMaxFontAnswerCount + 1, "F");
    EXPECT_TRUE(EncodeFontAnswers(answers).empty());

    answers = SampleAnswers();
    answers.families->assign(kMaxFontAnswerFileBytes / kMaxFontAnswerString + 1,
                             std::string(kMaxFontAnswerString, 'f'));
    // Within every count and length, yet larger than a cache file may be.
    CFontAnswers read;
    EXPECT_FALSE(DecodeFontAnswers(EncodeFontAnswers(answers), read));
}

TEST(FontAnswerFile, StampsNoticeChangedCreatedAndRemovedPaths) {
    test::CTempFolder folder;
    const std::string file = folder.File("fonts.conf");
    const std::string later = folder.File("later.conf");
    std::ofstream(file) << "<fontconfig/>";
    const auto old = fs::last_write_time(file) - std::chrono::hours(1);
    fs::last_write_time(file, old);

    const std::vector<CPathStamp> stamps{StampPath(file), StampPath(later)};
    EXPECT_TRUE(stamps[0].exists);
    EXPECT_EQ(stamps[0].size, 13);
    EXPECT_FALSE(stamps[1].exists);
    EXPECT_TRUE(StampsCurrent(stamps));

    fs::last_write_time(file, old + std::chrono::seconds(1));
    EXPECT_FALSE(StampsCurrent(stamps)) << "time changed";
    fs::last_write_time(file, old);
    EXPECT_TRUE(StampsCurrent(stamps));

    std::ofstream(file, std::ios::app) << " ";
    fs::last_write_time(file, old);
    EXPECT_FALSE(StampsCurrent(stamps)) << "size changed";
    fs::resize_file(file, 13);
    fs::last_write_time(file, old);
    EXPECT_TRUE(StampsCurrent(stamps));

    std::ofstream(later) << "";
    EXPECT_FALSE(StampsCurrent(stamps)) << "created";
    fs::remove(later);
    fs::remove(file);
    EXPECT_FALSE(StampsCurrent(stamps)) << "removed";
}

} // namespace
} // namespace pq
