#include "cli/CliText.h"
#include "cli/Commands.h"

#include "RasterHelpers.h"
#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/ModelTestHelpers.h"
#include "platform/image/ImageFile.h"
#include "render/BitmapExport.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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
    std::string In(const std::string& name) const { return folder.File(name); }

    test::CTempFolder folder;
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
    const CRun run =
        Invoke(RunConvert, {input, In("page.png"), "--page", "1", "--size", "200x100", "--antialias"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    CDibSection image;
    ASSERT_TRUE(LoadImageFile(In("page.png"), image).ok);
    EXPECT_EQ(image.GetWidth(), 200);
    EXPECT_EQ(image.GetHeight(), 100);

    // Smooth edges blend colours the aliased page does not have.
    ASSERT_EQ(Invoke(RunConvert, {input, In("hard.bmp"), "--size", "200x100"}).status, kExitOk);
    ASSERT_EQ(Invoke(RunConvert, {input, In("soft.bmp"), "--size", "200x100", "--smooth"}).status, kExitOk);
    CDibSection hard, soft;
    ASSERT_TRUE(LoadImageFile(In("hard.bmp"), hard).ok);
    ASSERT_TRUE(LoadImageFile(In("soft.bmp"), soft).ok);
    EXPECT_GT(test::CountDifferences(hard, soft), 0);
}

// A native page is drawn as it is read, a batch at a time; the picture is the one the whole drawing gives,
// and failures say what opening the whole file says.
TEST_F(Cli, ConvertingANativePageGivesThePictureOfTheWholeDrawing) {
    CDrawing whole;
    ASSERT_TRUE(OpenDrawing(whole, input));
    std::filesystem::copy_file(input, In("same.TPL"));
    for (const std::string& source : {input, In("same.TPL")}) {
        for (int page = 1; page <= 2; ++page) {
            for (const bool smooth : {false, true}) {
                SCOPED_TRACE(testing::Message() << source << " page " << page << " smooth " << smooth);
                const std::string pageText = std::to_string(page), output = In("cli.bmp");
                std::vector<std::string_view> args = {source, output, "--page", pageText};
                if (smooth)
                    args.push_back("--smooth");
                const CRun run = Invoke(RunConvert, args);
                ASSERT_EQ(run.status, kExitOk) << run.err;
                EXPECT_EQ(run.err, "");
                // Without a size: 1:1 at 96 pixels per inch (1000 units = 378 pixels), as the whole drawing's
                // export is asked for.
                ASSERT_TRUE(ExportPageBitmap(whole, page - 1, In("whole.bmp"), 378, 189, false, nullptr,
                                             smooth ? EdgeStyle::Smooth : EdgeStyle::Aliased)
                                .ok);
                EXPECT_EQ(test::ReadFileText(In("cli.bmp")), test::ReadFileText(In("whole.bmp")));
            }
        }
    }
    // "picture.jpeg" is written as "picture.jpg", and said so.
    const std::string jpegName = In("picture.jpeg");
    const CRun jpeg = Invoke(RunConvert, {input, jpegName, "--size", "50x25"});
    ASSERT_EQ(jpeg.status, kExitOk) << jpeg.err;
    EXPECT_EQ(jpeg.err, "pqdraw-cli: wrote " + In("picture.jpg") + "\n");

    const std::string thirdName = In("third.png");
    const CRun third = Invoke(RunConvert, {input, thirdName, "--page", "3"});
    EXPECT_EQ(third.status, kExitFailed);
    EXPECT_EQ(third.err, "pqdraw-cli: " + input + " has 2 page(s), no page 3\n");
    EXPECT_FALSE(std::filesystem::exists(In("third.png")));

    std::ofstream(In("foreign.pdf")) << "%PDF-1.4\n%made elsewhere\n";
    const std::string cut = test::ReadFileText(input);
    std::ofstream(In("cut.pdf"), std::ios::binary) << cut.substr(0, cut.size() / 3);
    for (const char* name : {"foreign.pdf", "cut.pdf", "absent.pdf"}) {
        SCOPED_TRACE(name);
        const std::string path = In(name), png = In("out.png"), svg = In("out.svg");
        const CRun picture = Invoke(RunConvert, {path, png});
        const CRun drawing = Invoke(RunConvert, {path, svg});
        EXPECT_EQ(picture.status, kExitFailed);
        EXPECT_NE(picture.err, "");
        EXPECT_EQ(picture.err, drawing.err);
        EXPECT_FALSE(std::filesystem::exists(In("out.png")));
    }
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
    const CRun gif = Invoke(RunConvert, {input, In("a.gif")});
    EXPECT_EQ(gif.status, kExitFailed);
    EXPECT_NE(gif.err.find(".bmp, .jpg or .png"), std::string::npos);
}

TEST_F(Cli, OnlyRegularFilesAreReadAndAnythingElseExitsOneWithAReason) {
    alarm(20); // reading the pipe would otherwise hang the test
    std::filesystem::create_directory(In("x.pdf"));
    ASSERT_EQ(mkfifo(In("pipe.pdf").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/urandom", In("random.pdf"));
    const std::pair<const char*, const char*> cases[] = {
        {"x.pdf", "it is a folder, not a file"},
        {"pipe.pdf", "it is a pipe, not a file"},
        {"random.pdf", "it is a device, not a file"},
    };
    for (const auto& [name, reason] : cases) {
        for (const CRun& run : {Invoke(RunInfo, {In(name)}), Invoke(RunConvert, {In(name), In("out.pdf")})}) {
            EXPECT_EQ(run.status, kExitFailed) << name;
            EXPECT_EQ(run.err, "pqdraw-cli: cannot read " + In(name) + ": " + reason + "\n");
        }
    }
    alarm(0);
    EXPECT_FALSE(std::filesystem::exists(In("out.pdf")));
}

TEST(CliFailures, AnEscapingExceptionBecomesAMessageAndExitOne) {
    const auto run = [](const std::function<int()>& command) {
        std::FILE* err = std::tmpfile();
        CRun result;
        result.status = RunReportingFailures(command, err);
        result.err = ReadAll(err);
        return result;
    };
    CRun r = run([]() -> int { throw std::bad_alloc(); });
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_EQ(r.err, "pqdraw-cli: not enough memory\n");
    r = run([]() -> int { throw std::runtime_error("stream broke"); });
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_EQ(r.err, "pqdraw-cli: unexpected failure: stream broke\n");
    r = run([]() -> int { throw 42; });
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_FALSE(r.err.empty());
    r = run([] { return kExitUsage; });
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_TRUE(r.err.empty());
}

TEST_F(Cli, OutputThatCannotBeWrittenIsAFailure) {
    const auto withFullDevice = [](auto command, std::vector<std::string_view> args, bool fullOut) {
        std::FILE* full = std::fopen("/dev/full", "w");
        std::FILE* other = std::tmpfile();
        CRun run;
        run.status = fullOut ? command(args, full, other) : command(args, other, full);
        std::fclose(full);
        run.err = ReadAll(other);
        return run;
    };
    for (const bool objects : {false, true}) {
        const CRun run = withFullDevice(RunInfo,
                                        objects ? std::vector<std::string_view>{input, "--objects"}
                                                : std::vector<std::string_view>{input},
                                        true);
        EXPECT_EQ(run.status, kExitFailed);
        EXPECT_NE(run.err.find("cannot write the output"), std::string::npos) << run.err;
    }
    EXPECT_EQ(withFullDevice(RunCommandLine, {"--version"}, true).status, kExitFailed);
    EXPECT_EQ(withFullDevice(RunCommandLine, {"--help"}, true).status, kExitFailed);

    // The notice that --page was ignored is lost: the file is written, but the caller hears of the loss.
    const CRun lost = withFullDevice(RunConvert, {input, In("all.pdf"), "--page", "2"}, false);
    EXPECT_EQ(lost.status, kExitFailed);
    EXPECT_TRUE(std::filesystem::exists(In("all.pdf")));
    EXPECT_EQ(withFullDevice(RunConvert, {input, In("quiet.pdf")}, false).status, kExitOk);
}

TEST_F(Cli, OptionsAnAllPagesOutputDoesNotUseAreReportedNotIgnored) {
    const CRun run = Invoke(
        RunConvert, {input, In("all.pdf"), "--page", "5", "--size", "10x10", "--antialias", "--smooth"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.err.find("--page applies to one-page and bitmap outputs"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--size applies to bitmap outputs"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--antialias applies to bitmap outputs"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--smooth applies to bitmap outputs"), std::string::npos) << run.err;
    EXPECT_EQ(Invoke(RunInfo, {In("all.pdf")}).out, Invoke(RunInfo, {input}).out) << "every page is kept";

    const CRun plain = Invoke(RunConvert, {input, In("plain.tpl")});
    EXPECT_EQ(plain.status, kExitOk);
    EXPECT_EQ(plain.err, "");
}

TEST_F(Cli, AnEndingNothingWritesNamesTheEndingsThatWork) {
    for (const char* name : {"page.odg", "page.wmf", "page"}) {
        const CRun run = Invoke(RunConvert, {input, In(name)});
        EXPECT_EQ(run.status, kExitFailed) << name;
        for (const char* part : {"Failed to save file!", ".pdf", ".tpl", ".bmp, .jpg or .png"})
            EXPECT_NE(run.err.find(part), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(In(name)));
    }
    // Said before the input is read: the input's own fault would hide the one that remains.
    const CRun both = Invoke(RunConvert, {In("missing.pdf"), In("page.odg")});
    EXPECT_EQ(both.status, kExitFailed);
    EXPECT_NE(both.err.find("page.odg: Failed to save file!"), std::string::npos) << both.err;
}

// The built program itself: what used to end in an abort (exit 134) or in a success with the report
// lost exits 1 with a reason.
TEST_F(Cli, TheProgramExitsOneWhereItUsedToAbortOrLoseItsReport) {
    std::filesystem::create_directory(In("folder.pdf"));
    const auto exitStatus = [](const std::string& command) {
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    };
    const std::string program = PQ_CLI_PROGRAM;
    const std::string errors = In("errors.txt");
    EXPECT_EQ(exitStatus(program + " info '" + In("folder.pdf") + "' 2>'" + errors + "'"), kExitFailed);
    EXPECT_NE(test::ReadFileText(errors).find("it is a folder"), std::string::npos)
        << test::ReadFileText(errors);
    EXPECT_EQ(exitStatus(program + " info '" + input + "' >/dev/full 2>'" + errors + "'"), kExitFailed);
    EXPECT_NE(test::ReadFileText(errors).find("No space left on device"), std::string::npos)
        << test::ReadFileText(errors);
    EXPECT_EQ(exitStatus(program + " info '" + input + "' >/dev/null"), kExitOk);
}

TEST(CliText, NumbersAndTextsAreWrittenForScripts) {
    EXPECT_EQ(FormatNumber(1480), "1480");
    EXPECT_EQ(FormatNumber(-0.5), "-0.5");
    EXPECT_EQ(FormatNumber(70.5555f), "70.5555");
    EXPECT_EQ(QuoteText(u"a\tb\u20ac"), "\"a\\u0009b\\u20AC\"");
}

} // namespace
} // namespace pq::cli
