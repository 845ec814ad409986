// Listing, deleting, renaming and copying files and folders, as the templates and the clip-art library use them.

#include "platform/FolderFiles.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

namespace fs = std::filesystem;

TEST(FolderFiles, RenamingNeverReplacesWhatStandsAtTheNewName) {
    const test::CTempFolder folder;
    std::ofstream(folder.File("a.tpl")) << "a";
    std::ofstream(folder.File("b.tpl")) << "b";
    fs::create_symlink(folder.File("nowhere"), folder.File("link.tpl"));
    std::string message;
    EXPECT_EQ(RenameWithoutReplacing(folder.File("a.tpl"), folder.File("b.tpl"), message),
              RenameOutcome::TargetExists);
    EXPECT_EQ(RenameWithoutReplacing(folder.File("a.tpl"), folder.File("link.tpl"), message),
              RenameOutcome::TargetExists);
    EXPECT_EQ(test::ReadFileText(folder.File("a.tpl")), "a");
    EXPECT_EQ(test::ReadFileText(folder.File("b.tpl")), "b");
    EXPECT_FALSE(fs::exists(folder.File("nowhere")));

    EXPECT_EQ(RenameWithoutReplacing(folder.File("a.tpl"), folder.File("c.tpl"), message),
              RenameOutcome::Renamed);
    EXPECT_EQ(test::ReadFileText(folder.File("c.tpl")), "a");
    EXPECT_FALSE(fs::exists(folder.File("a.tpl")));

    EXPECT_EQ(RenameWithoutReplacing(folder.File("gone.tpl"), folder.File("d.tpl"), message),
              RenameOutcome::Failed);
    EXPECT_NE(message.find("gone.tpl"), std::string::npos) << message;
}

TEST(FolderFiles, DeletingRefusesFoldersAndTakesAMissingFileAsDeleted) {
    const test::CTempFolder folder;
    std::ofstream(folder.File("a.tpl")) << "a";
    fs::create_directory(folder.File("sub.tpl"));
    std::string message;
    EXPECT_TRUE(DeleteFileAt(folder.File("a.tpl"), message));
    EXPECT_FALSE(fs::exists(folder.File("a.tpl")));
    EXPECT_TRUE(DeleteFileAt(folder.File("a.tpl"), message));
    EXPECT_FALSE(DeleteFileAt(folder.File("sub.tpl"), message));
    EXPECT_TRUE(fs::is_directory(folder.File("sub.tpl")));
    EXPECT_NE(message.find("folder"), std::string::npos) << message;
}

TEST(FolderFiles, ListingTakesRegularFilesWithTheEndingSortedByName) {
    const test::CTempFolder folder;
    for (const char* name : {"b.tpl", "a.tpl", "c.TPL", "d.tpl.old", ".tpl"})
        std::ofstream(folder.File(name)) << "x";
    fs::create_directory(folder.File("e.tpl"));
    EXPECT_EQ(ListFileNames(folder.Path().string(), ".tpl"), (std::vector<std::string>{"a.tpl", "b.tpl"}));
    EXPECT_TRUE(ListFileNames(folder.File("missing"), ".tpl").empty());
    EXPECT_TRUE(ListFileNames(folder.File("b.tpl"), ".tpl").empty());
}

TEST(FolderFiles, FoldersAreListedSortedWithoutHiddenOnesAndOnlyAnEmptyOneIsDeleted) {
    const test::CTempFolder folder;
    for (const char* name : {"Shapes", "Arrows", ".trash", "Frames"})
        fs::create_directory(folder.File(name));
    std::ofstream(folder.File("custom.pal")) << "not a folder";
    fs::create_directory_symlink(folder.File("Shapes"), folder.File("Linked"));
    std::ofstream(folder.File("Shapes/star.ai")) << "star";
    EXPECT_EQ(ListFolderNames(folder.Path().string()),
              (std::vector<std::string>{"Arrows", "Frames", "Linked", "Shapes"}));
    EXPECT_TRUE(ListFolderNames(folder.File("missing")).empty());

    std::string message;
    EXPECT_FALSE(DeleteEmptyFolder(folder.File("Shapes"), message));
    EXPECT_NE(message.find("not empty"), std::string::npos) << message;
    EXPECT_TRUE(fs::exists(folder.File("Shapes/star.ai")));
    EXPECT_TRUE(DeleteEmptyFolder(folder.File("Arrows"), message));
    EXPECT_FALSE(fs::exists(folder.File("Arrows")));
    EXPECT_FALSE(DeleteEmptyFolder(folder.File("custom.pal"), message));
    EXPECT_TRUE(fs::exists(folder.File("custom.pal")));
    // Folders rename without replacing, as files do.
    EXPECT_EQ(RenameWithoutReplacing(folder.File("Frames"), folder.File("Shapes"), message),
              RenameOutcome::TargetExists);
    EXPECT_EQ(RenameWithoutReplacing(folder.File("Frames"), folder.File("Borders"), message),
              RenameOutcome::Renamed);
    EXPECT_TRUE(fs::is_directory(folder.File("Borders")));
}

TEST(FolderFiles, CopyingWritesTheSameBytesAndRefusesAFolderAsTheSource) {
    const test::CTempFolder folder;
    const std::string bytes("\x00\x01pdf\xff", 6);
    std::ofstream(folder.File("a.tpl"), std::ios::binary) << bytes;
    std::string message;
    EXPECT_TRUE(CopyRegularFile(folder.File("a.tpl"), folder.File("b.tpl"), message)) << message;
    EXPECT_EQ(test::ReadFileText(folder.File("b.tpl")), bytes);
    EXPECT_FALSE(CopyRegularFile(folder.Path().string(), folder.File("c.tpl"), message));
    EXPECT_FALSE(fs::exists(folder.File("c.tpl")));
    EXPECT_TRUE(PathExists(folder.File("b.tpl")));
    fs::create_symlink(folder.File("nowhere"), folder.File("link"));
    EXPECT_TRUE(PathExists(folder.File("link")));
    EXPECT_FALSE(PathExists(folder.File("nowhere")));
}

} // namespace
} // namespace pq
