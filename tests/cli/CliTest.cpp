#include "cli/CliText.h"
#include "cli/Commands.h"

#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/ModelTestHelpers.h"
#include "platform/image/ImageFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace pq::cli {
namespace {

// Runs a command with its output and messages captured.
struct CRun {
    int status = -1;
    std::string out, err;
};

std::string ReadAll(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

template <typename Command> CRun Invoke(Command command, std::vector<std::string_view> args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CRun run;
    run.status = command(args, out, err);
    run.out = ReadAll(out);
    run.err = ReadAll(err);
    return run;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("pq-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
        CDrawing drawing;
        drawing.SetPageCount(2);
        drawing.SetPageSize(1000, 500);
        drawing.Add(test::MakeRect({-100, 100, -50, 50}, 0x0000FF, 0, 1));
        drawing.Add(test::MakeRect({0, 10, 0, 10}, 0x00FF00, 0, 1));
        auto text = test::MakeText(u"Say \"hi\"\r\n\u00e9\\", {0, 0}, kTextArtistic);
        text->page = 1;
        drawing.Add(std::move(text));
        input = In("in.pdf");
        ASSERT_TRUE(SaveDrawing(drawing, input, 0, -1, -1, nullptr));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string In(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
    std::string input;
};

TEST_F(Cli, InfoReportsCountsPerPageAndEveryObjectOnRequest) {
    const CRun run = Invoke(RunInfo, {input, "--objects"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("object 0")),
              "pages: 2\npage-size: 1000 x 500\nobjects: 3\npaths: 2\ntexts: 1\nimages: 0\ngroups: 1\n"
              "page 1: 2 objects\npage 2: 1 objects\n")
        << run.out;
    EXPECT_NE(run.out.find("object 0: page=1 kind=path group=1 bounds=-100,-50,100,50\n"), std::string::npos);
    EXPECT_NE(run.out.find("kind=text group=0"), std::string::npos);
    EXPECT_NE(run.out.find(" text=\"Say \\\"hi\\\"\\r\\n\\u00E9\\\\\"\n"), std::string::npos);
}

TEST_F(Cli, ConvertRendersAPageToABitmapOfTheAskedSize) {
    CRun run = Invoke(RunConvert, {input, In("page.png"), "--page", "1", "--size", "200x100", "--antialias"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    CDibSection image;
    ASSERT_TRUE(LoadImageFile(In("page.png"), image).ok);
    EXPECT_EQ(image.GetWidth(), 200);
    EXPECT_EQ(image.GetHeight(), 100);

    // Without a size: 1:1 at 96 pixels per inch (1000 units = 378 pixels).
    run = Invoke(RunConvert, {input, In("page.bmp")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    ASSERT_TRUE(LoadImageFile(In("page.bmp"), image).ok);
    EXPECT_EQ(image.GetWidth(), 378);
    EXPECT_EQ(image.GetHeight(), 189);

    run = Invoke(RunConvert, {input, In("copy.pdf")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(Invoke(RunInfo, {In("copy.pdf")}).out, Invoke(RunInfo, {input}).out);
}

TEST_F(Cli, ExitCodesSeparateUsageErrorsFromFailures) {
    EXPECT_EQ(Invoke(RunConvert, {input}).status, kExitUsage);
    EXPECT_EQ(Invoke(RunConvert, {input, In("a.png"), "--size", "0x5"}).status, kExitUsage);
    EXPECT_EQ(Invoke(RunConvert, {input, In("a.png"), "--page", "zero"}).status, kExitUsage);
    EXPECT_EQ(Invoke(RunConvert, {input, In("a.png"), "--bogus"}).status, kExitUsage);
    EXPECT_EQ(Invoke(RunInfo, {}).status, kExitUsage);

    const CRun missing = Invoke(RunInfo, {In("missing.pdf")});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_NE(missing.err.find("missing.pdf"), std::string::npos);
    EXPECT_EQ(Invoke(RunConvert, {input, In("a.png"), "--page", "3"}).status, kExitFailed);
    const CRun gif = Invoke(RunConvert, {input, In("a.gif")});
    EXPECT_EQ(gif.status, kExitFailed);
    EXPECT_NE(gif.err.find(".bmp, .jpg or .png"), std::string::npos);
    EXPECT_EQ(Invoke(RunConvert, {input, In("a.wmf")}).status, kExitFailed);
}

TEST(CliText, NumbersAndTextsAreWrittenForScripts) {
    EXPECT_EQ(FormatNumber(1480), "1480");
    EXPECT_EQ(FormatNumber(-0.5), "-0.5");
    EXPECT_EQ(FormatNumber(70.5555f), "70.5555");
    EXPECT_EQ(QuoteText(u"a\tb\u20ac"), "\"a\\u0009b\\u20AC\"");
}

} // namespace
} // namespace pq::cli
