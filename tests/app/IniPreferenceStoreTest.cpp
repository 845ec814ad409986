#include "app/IniPreferenceStore.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace pq {
namespace {

class IniPreferenceStoreTest : public ::testing::Test {
protected:
    void SetUp() override { path = (folder.Path() / "pentaquill" / "draw.ini").string(); }

    test::CTempFolder folder;
    std::string path;
};

// The file keeps the FTP password: nobody but its owner may read it, whether it is new or was made
// readable by others before.
TEST_F(IniPreferenceStoreTest, TheFileIsReadableByItsOwnerOnly) {
    const auto mode = [&] {
        struct stat info {};
        stat(path.c_str(), &info);
        return info.st_mode & 0777;
    };
    {
        CIniPreferenceStore store(path);
        store.WriteString("Pwd", "secret");
    }
    EXPECT_EQ(mode(), 0600u);
    chmod(path.c_str(), 0644);
    {
        CIniPreferenceStore store(path);
        store.WriteInt("FtpPort", 2121);
    }
    EXPECT_EQ(mode(), 0600u);
    EXPECT_EQ(CIniPreferenceStore(path).ReadString("Pwd", ""), "secret");
}

TEST_F(IniPreferenceStoreTest, ValuesSurviveAFreshStoreAndTheUnnamedValueIsUnit) {
    {
        CIniPreferenceStore store(path); // the folder does not exist yet
        EXPECT_FALSE(store.FindInt("PageWidth"));
        store.WriteInt("PageWidth", 210000);
        store.WriteInt("", 3);
        store.WriteString("FtpServer", "ftp.example.org");
        store.WriteInt("PageWidth", -5);
    }
    CIniPreferenceStore again(path);
    EXPECT_EQ(again.ReadInt("PageWidth", 0), -5);
    EXPECT_EQ(again.ReadInt("", 0), 3);
    EXPECT_EQ(again.ReadString("FtpServer", ""), "ftp.example.org");
    EXPECT_EQ(test::ReadFileText(path), "[Draw]\nPageWidth=-5\nUnit=3\nFtpServer=ftp.example.org\n");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path() / "pentaquill"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(IniPreferenceStoreTest, KeepsOtherSectionsAndRejectsNonNumbers) {
    std::filesystem::create_directories(folder.Path() / "pentaquill");
    std::ofstream(path) << "; kept by hand\n[Other]\nShowGrid=7\n[Draw]\nShowGrid = 1\nGridSpacing=12px\n";
    CIniPreferenceStore store(path);
    EXPECT_EQ(store.ReadInt("ShowGrid", 0), 1);
    EXPECT_FALSE(store.FindInt("GridSpacing"));
    store.WriteInt("SnapSpacing", 50);
    EXPECT_TRUE(store.Flush());
    const std::string text = test::ReadFileText(path);
    EXPECT_NE(text.find("[Other]\nShowGrid=7\n"), std::string::npos);
    EXPECT_NE(text.find("SnapSpacing=50"), std::string::npos);
}

TEST_F(IniPreferenceStoreTest, StringsAreCutToOneHundredCharactersAndStayOnOneLine) {
    CIniPreferenceStore store(path);
    store.WriteString("DefaultTemplate", std::string(98, 'a') + "\xC3\xA9\xC3\xA9"); // 98 + two 2-byte é
    EXPECT_EQ(store.ReadString("DefaultTemplate", "").size(), 100u);
    store.WriteString("LastTempFile", "a\nb=c");
    store.Flush();
    EXPECT_EQ(CIniPreferenceStore(path).ReadString("LastTempFile", ""), "a b=c");
}

// Values are saved at the flush, all together, and only when one of them changed.
TEST_F(IniPreferenceStoreTest, WritesWaitForTheFlushASavedValueSurvivesAKillAndRewritesSaveNothing) {
    CIniPreferenceStore store(path);
    store.WriteInt("ShowGrid", 1);
    store.WriteInt("GridSpacing", 2500);
    store.WriteString("LastFolder", "/home/ann");
    // Nothing on disk yet: a dozen values written together are saved once.
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(store.HasUnsavedChanges());
    EXPECT_EQ(store.ReadInt("GridSpacing", 0), 2500); // the store reads its own writes
    EXPECT_TRUE(store.Flush());
    EXPECT_FALSE(store.HasUnsavedChanges());
    // What a program killed now would leave: another store reading the file sees every flushed value.
    const CIniPreferenceStore reader(path);
    EXPECT_EQ(reader.ReadInt("ShowGrid", 0), 1);
    EXPECT_EQ(reader.ReadInt("GridSpacing", 0), 2500);
    EXPECT_EQ(reader.ReadString("LastFolder", ""), "/home/ann");

    // The view hands over all its values after every command; unchanged ones must not rewrite the file.
    CIniPreferenceStore again(path);
    std::filesystem::remove(path);
    again.WriteInt("ShowGrid", 1);
    again.WriteString("LastFolder", "/home/ann");
    EXPECT_FALSE(again.HasUnsavedChanges());
    EXPECT_TRUE(again.Flush());
    EXPECT_FALSE(std::filesystem::exists(path));
    // One change saves them all.
    again.WriteInt("ShowGrid", 0);
    EXPECT_TRUE(again.Flush());
    EXPECT_EQ(test::ReadFileText(path), "[Draw]\nShowGrid=0\nGridSpacing=2500\nLastFolder=/home/ann\n");
}

TEST_F(IniPreferenceStoreTest, AFileThatCannotBeWrittenKeepsTheValuesAndTriesAgain) {
    // A folder stands where the file should be: saving fails.
    std::filesystem::create_directories(path);
    CIniPreferenceStore store(path);
    store.WriteInt("ShowGrid", 1);
    EXPECT_FALSE(store.Flush());
    EXPECT_TRUE(store.HasUnsavedChanges());
    EXPECT_EQ(store.ReadInt("ShowGrid", 0), 1);
    std::filesystem::remove(path);
    EXPECT_TRUE(store.Flush());
    EXPECT_EQ(CIniPreferenceStore(path).ReadInt("ShowGrid", 0), 1);
}

} // namespace
} // namespace pq
