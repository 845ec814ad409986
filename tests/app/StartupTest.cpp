// The start-up request: the command line, the settings file's start-up open, the resource folder.

#include "app/Startup.h"
#include "app/FileDialogFilters.h"
#include "app/ResourceFolder.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace pq {
namespace {

class StartupTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = folder.File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    test::CTempFolder folder;
};

CCommandLine Parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

TEST_F(StartupTest, CommandLineTakesOneDocumentAndTheSettingsOption) {
    CCommandLine line = Parse({"--settings", "/tmp/x.ini", "card.pdf"});
    EXPECT_EQ(line.settingsPath, "/tmp/x.ini");
    EXPECT_EQ(line.openPath, "card.pdf");
    EXPECT_TRUE(line.error.empty());

    EXPECT_EQ(Parse({"--settings=/a/b"}).settingsPath, "/a/b");
    EXPECT_EQ(Parse({"--", "-odd name.pdf"}).openPath, "-odd name.pdf");
    EXPECT_TRUE(Parse({"--help"}).showHelp);
    EXPECT_TRUE(Parse({"--version"}).showVersion);
    EXPECT_TRUE(Parse({}).openPath.empty());
}

TEST_F(StartupTest, CommandLineMistakesAreUsageErrors) {
    EXPECT_FALSE(Parse({"--settings"}).error.empty());
    EXPECT_FALSE(Parse({"--settings="}).error.empty());
    EXPECT_FALSE(Parse({"--frobnicate"}).error.empty());
    EXPECT_FALSE(Parse({"a.pdf", "b.pdf"}).error.empty());
}

TEST_F(StartupTest, SettingsFileOpenFileReplacesTheCommandLineWhenReadable) {
    const std::string drawing = Write("Start.pdf", "%PDF-1.3\n");
    Write("PQS.ini", "filename=out\nopenfile=" + drawing + "\nftpserver=ftp.example.org\n");
    const CStartupRequest request = ResolveStartup(Parse({"other.pdf"}), folder.Path().string());
    EXPECT_EQ(request.settingsPath, folder.File("PQS.ini"));
    EXPECT_TRUE(request.exportSettingsPresent);
    EXPECT_EQ(request.openPath, drawing);
    EXPECT_TRUE(request.uploadSettingsPresent);
    EXPECT_EQ(request.uploadSettings.ftpServer, "ftp.example.org");
}

TEST_F(StartupTest, UnreadableOpenFileKeepsTheCommandLinesRequest) {
    Write("PQS.ini", "filename=out\nopenfile=" + folder.File("missing.pdf") + "\n");
    const CStartupRequest request = ResolveStartup(Parse({"other.pdf"}), folder.Path().string());
    EXPECT_TRUE(request.exportSettingsPresent);
    EXPECT_EQ(request.openPath, "other.pdf");
}

// A pipe named as the start-up document or as the settings file is passed over, never waited on.
TEST_F(StartupTest, PipesAreNeitherOpenedNorReadAsSettings) {
    const std::string pipe = folder.File("pipe.pdf");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    Write("PQS.ini", "filename=out\nopenfile=" + pipe + "\n");
    EXPECT_EQ(ResolveStartup(Parse({"other.pdf"}), folder.Path().string()).openPath, "other.pdf");

    std::filesystem::remove(folder.File("PQS.ini"));
    ASSERT_EQ(mkfifo(folder.File("PQS.ini").c_str(), 0600), 0);
    const CStartupRequest request = ResolveStartup(Parse({"other.pdf"}), folder.Path().string());
    EXPECT_FALSE(request.exportSettingsPresent);
    EXPECT_EQ(request.openPath, "other.pdf");
}

TEST_F(StartupTest, SettingsWithoutAFileNameAreIgnoredEvenWhenTheyNameAnOpenFile) {
    const std::string drawing = Write("Start.pdf", "%PDF-1.3\n");
    Write("PQS.ini", "openfile=" + drawing + "\nftpserver=ftp.example.org\n");
    const CStartupRequest request = ResolveStartup(Parse({}), folder.Path().string());
    EXPECT_FALSE(request.exportSettingsPresent);
    EXPECT_FALSE(request.uploadSettingsPresent);
    EXPECT_TRUE(request.openPath.empty());
}

TEST_F(StartupTest, SettingsOptionIsReadInsteadOfTheDataFolders) {
    const std::string drawing = Write("Other.pdf", "%PDF-1.3\n");
    Write("PQS.ini", "filename=ignored\n");
    const std::string chosen = Write("batch.ini", "filename=batch\nopenfile=" + drawing + "\n");
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

TEST(FileDialogFilters, TypedNamesGetTheChosenFiltersExtension) {
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 0), "/home/me/card.pdf");
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 7), "/home/me/card.tpl");
    EXPECT_EQ(WithFilterExtension("/home/me/card.dxf", kSaveAsFilter, 0), "/home/me/card.dxf");
    EXPECT_EQ(WithFilterExtension("/home/my.folder/card", kExportBitmapFilter, 1),
              "/home/my.folder/card.jpg");
    EXPECT_EQ(WithFilterExtension("/home/me/.hidden", kSaveAsFilter, 0), "/home/me/.hidden.pdf");
    // The combined "All" filter names no single extension.
    EXPECT_EQ(WithFilterExtension("/home/me/card", kOpenFilter, 0), "/home/me/card");
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 99), "/home/me/card");
    EXPECT_EQ(ToolkitFilter(kExportBitmapFilter), "BMP Bitmap|*.bmp|JPG Image|*.jpg");
}

// SVG drawings come last in each list, so the entries before them keep their indices, and the "All"
// lists of Open and Import offer them too.
TEST(FileDialogFilters, SvgDrawingsFollowTheEarlierEntries) {
    EXPECT_EQ(FilterExtension(kOpenFilter, 1), ".pdf");
    EXPECT_EQ(FilterExtension(kOpenFilter, 6), ".plt");
    EXPECT_EQ(FilterExtension(kOpenFilter, 7), ".svg");
    EXPECT_EQ(FilterExtension(kSaveAsFilter, 7), ".tpl");
    EXPECT_EQ(WithFilterExtension("/home/me/card", kSaveAsFilter, 8), "/home/me/card.svg");
    EXPECT_EQ(FilterExtension(kImportFilter, 11), ".2bp");
    EXPECT_EQ(FilterExtension(kImportFilter, 12), ".svg");
    EXPECT_NE(kOpenFilter.find("|*.ai;*.dxf;*.emf;*.wmf;*.pdf;*.plt;*.svg|"), std::string_view::npos);
    EXPECT_NE(kImportFilter.find("All Vector Files|*.ai;*.dxf;*.emf;*.wmf;*.plt;*.svg|"),
              std::string_view::npos);
    EXPECT_TRUE(kSaveAsFilter.ends_with("|SVG Drawing (SVG)|*.svg||"));
}

} // namespace
} // namespace pq
