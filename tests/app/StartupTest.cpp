// The start-up request: the command line, the settings file's start-up open, the resource folder.

#include "app/Startup.h"
#include "app/ResourceFolder.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace pq {
namespace {

class StartupTest : public ::testing::Test {
protected:
    test::CTempFolder folder;
};

CCommandLine Parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

TEST(CommandLine, TakesOneDocumentAndTheSettingsOptionAndCallsMistakesUsageErrors) {
    CCommandLine line = Parse({"--settings", "/tmp/x.ini", "card.pdf"});
    EXPECT_EQ(line.settingsPath, "/tmp/x.ini");
    EXPECT_EQ(line.openPath, "card.pdf");
    EXPECT_TRUE(line.error.empty());

    EXPECT_EQ(Parse({"--settings=/a/b"}).settingsPath, "/a/b");
    EXPECT_EQ(Parse({"--", "-odd name.pdf"}).openPath, "-odd name.pdf");
    EXPECT_TRUE(Parse({"--help"}).showHelp);
    EXPECT_TRUE(Parse({"--version"}).showVersion);
    EXPECT_TRUE(Parse({}).openPath.empty());
    for (const std::vector<std::string>& args : std::initializer_list<std::vector<std::string>>{
             {"--settings"}, {"--settings="}, {"--frobnicate"}, {"a.pdf", "b.pdf"}})
        EXPECT_FALSE(Parse(args).error.empty()) << args[0];
}

// The settings file's start-up open takes the command line's place only when it names a file the editor
// can read; a pipe is passed over, never waited on.
TEST_F(StartupTest, TheSettingsFilesOpenFileReplacesTheCommandLineOnlyWhenReadable) {
    const std::string drawing = folder.Write("Start.pdf", "%PDF-1.3\n");
    const std::string pipe = folder.File("pipe.pdf");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string missing = folder.File("missing.pdf"), server = "\nftpserver=ftp.example.org\n";
    const struct {
        const char* what;
        std::string ini;
        std::vector<std::string> args;
        std::string openPath;
        bool exportPresent;
        bool uploadPresent;
    } rows[] = {
        {"readable", "filename=out\nopenfile=" + drawing + server, {"other.pdf"}, drawing, true, true},
        {"missing", "filename=out\nopenfile=" + missing + "\n", {"other.pdf"}, "other.pdf", true, false},
        {"a pipe", "filename=out\nopenfile=" + pipe + "\n", {"other.pdf"}, "other.pdf", true, false},
        // Without a file name the settings are ignored, even the open file they name.
        {"no file name", "openfile=" + drawing + server, {}, "", false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        folder.Write("PQS.ini", row.ini);
        const CStartupRequest request = ResolveStartup(Parse(row.args), folder.Path().string());
        EXPECT_EQ(request.settingsPath, folder.File("PQS.ini"));
        EXPECT_EQ(request.openPath, row.openPath);
        EXPECT_EQ(request.exportSettingsPresent, row.exportPresent);
        EXPECT_EQ(request.uploadSettingsPresent, row.uploadPresent);
        if (row.uploadPresent)
            EXPECT_EQ(request.uploadSettings.ftpServer, "ftp.example.org");
    }

    // A pipe in the settings file's place is not read as settings.
    std::filesystem::remove(folder.File("PQS.ini"));
    ASSERT_EQ(mkfifo(folder.File("PQS.ini").c_str(), 0600), 0);
    const CStartupRequest request = ResolveStartup(Parse({"other.pdf"}), folder.Path().string());
    EXPECT_FALSE(request.exportSettingsPresent);
    EXPECT_EQ(request.openPath, "other.pdf");
}

TEST_F(StartupTest, SettingsOptionIsReadInsteadOfTheDataFolders) {
    const std::string drawing = folder.Write("Other.pdf", "%PDF-1.3\n");
    folder.Write("PQS.ini", "filename=ignored\n");
    const std::string chosen = folder.Write("batch.ini", "filename=batch\nopenfile=" + drawing + "\n");
    const CStartupRequest request = ResolveStartup(Parse({"--settings", chosen}), folder.Path().string());
    EXPECT_EQ(request.exportSettings.fileName, "batch");
    EXPECT_EQ(request.openPath, drawing);
    // With no data folder and no option the settings file is looked for in the working folder.
    EXPECT_EQ(StartupSettingsPath(Parse({}), ""), "PQS.ini");
}

TEST_F(StartupTest, ResourcesComeFromTheInstalledShareFolderBeforeTheSourceTree) {
    const std::filesystem::path bin = folder.Path() / "prefix" / "bin";
    const std::filesystem::path share = folder.Path() / "prefix" / "share" / "pentaquill-draw";
    const std::filesystem::path source = folder.Path() / "src" / "resources";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(source);
    EXPECT_EQ(FindResourceFolder(bin.string(), source.string()), source.string());
    std::filesystem::create_directories(share);
    EXPECT_EQ(FindResourceFolder(bin.string(), source.string()), share.string());
    EXPECT_EQ(FindResourceFolder((folder.Path() / "none" / "bin").string(), folder.File("none")), "");
    EXPECT_FALSE(ExecutableFolder().empty());
}

} // namespace
} // namespace pq
