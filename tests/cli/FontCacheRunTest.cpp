#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/ModelTestHelpers.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

namespace fs = std::filesystem;

// The built program converting a page of text, as a user runs it again and again: the first run asks
// fontconfig and keeps its answers, later runs draw from the kept answers without starting fontconfig,
// and a changed font setting or a damaged cache sends the next run back to fontconfig. Every run draws
// the same pixels.
class FontCacheRun : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder.File("fc"));
        fs::copy_file(PQ_TEST_DATA_DIR "/fonts.conf", config);
        SetOldTime(0);

        CDrawing drawing;
        drawing.SetPageSize(1000, 500);
        const auto text = [](const std::u16string& face, float y, int32_t style) {
            return test::BuildText(u"Quill 123 \u00e9", {-450.0f, y},
                                   {.faceName = face, .corner = {}, .style = style});
        };
        drawing.Add(text(u"Arial", -200.0f, 3));
        drawing.Add(text(u"Times New Roman", -100.0f, 0));
        drawing.Add(text(u"DejaVu Serif", 0.0f, 2));
        drawing.Add(text(u"No Such Face", 100.0f, 1));
        ASSERT_TRUE(SaveDrawing(drawing, folder.File("in.pdf"), 0, -1, -1, nullptr));
    }

    // Dates the configuration and its folder an hour (plus a few seconds) back: a file changed just
    // before a run is not trusted, since the run cannot tell whether fontconfig read it before or after.
    void SetOldTime(int seconds) {
        const auto when =
            fs::file_time_type::clock::now() - std::chrono::hours(1) + std::chrono::seconds(seconds);
        fs::last_write_time(config, when);
        fs::last_write_time(folder.File("fc"), when);
    }

    struct CConvert {
        bool ok = false;
        bool startedFontconfig = false;
        std::string png;
    };
    CConvert Convert() {
        const std::string out = folder.File("out.png");
        fs::remove(out);
        const std::string command = "XDG_CACHE_HOME='" + folder.File("cache") + "' FONTCONFIG_FILE='" +
                                    config + "' FC_DEBUG=1024 " + PQ_CLI_PROGRAM + " convert '" +
                                    folder.File("in.pdf") + "' '" + out + "' --size 400x200 2>&1";
        std::string output;
        CConvert run;
        run.ok = test::RunCommand(command, output) == 0;
        EXPECT_TRUE(run.ok) << output;
        // fontconfig reports each configuration file it loads when FC_DEBUG asks for it.
        run.startedFontconfig = output.find("Loading config file") != std::string::npos;
        run.png = test::ReadFileText(out);
        return run;
    }

    test::CTempFolder folder;
    std::string config = folder.File("fc/fonts.conf");
    std::string cacheFile = folder.File("cache/pentaquill-draw/fonts.cache");
};

TEST_F(FontCacheRun, ColdWarmAndStaleRunsDrawTheSamePixels) {
    const CConvert cold = Convert();
    ASSERT_TRUE(cold.ok);
    EXPECT_TRUE(cold.startedFontconfig);
    ASSERT_TRUE(fs::exists(cacheFile));
    ASSERT_GT(cold.png.size(), 100u);
    const std::string keptAnswers = test::ReadFileText(cacheFile);

    const CConvert warm = Convert();
    EXPECT_FALSE(warm.startedFontconfig);
    EXPECT_EQ(warm.png, cold.png);
    EXPECT_EQ(test::ReadFileText(cacheFile), keptAnswers) << "a run that learnt nothing new writes nothing";

    SetOldTime(7);
    const CConvert stale = Convert();
    EXPECT_TRUE(stale.startedFontconfig);
    EXPECT_EQ(stale.png, cold.png);
    EXPECT_NE(test::ReadFileText(cacheFile), keptAnswers) << "the cache records the new time";
    EXPECT_FALSE(Convert().startedFontconfig);

    std::ofstream(cacheFile, std::ios::trunc) << "PQFONTS\n" << std::string(64, '\x7f');
    const CConvert damaged = Convert();
    EXPECT_TRUE(damaged.startedFontconfig);
    EXPECT_EQ(damaged.png, cold.png);
    const CConvert repaired = Convert();
    EXPECT_FALSE(repaired.startedFontconfig);
    EXPECT_EQ(repaired.png, cold.png);
}

TEST_F(FontCacheRun, TheTextIsDrawnWithTheFacesAsked) {
    // Were every face to fall back to one font, the page would look the same whatever the cache held.
    const CConvert asked = Convert();
    CDrawing drawing;
    drawing.SetPageSize(1000, 500);
    for (int i = 0; i < 4; ++i)
        drawing.Add(test::BuildText(u"Quill 123 \u00e9", {-450.0f, -200.0f + 100.0f * i},
                                    {.faceName = u"DejaVu Sans", .corner = {}}));
    ASSERT_TRUE(SaveDrawing(drawing, folder.File("in.pdf"), 0, -1, -1, nullptr));
    const CConvert oneFace = Convert();
    EXPECT_NE(oneFace.png, asked.png);
}

} // namespace
} // namespace pq
