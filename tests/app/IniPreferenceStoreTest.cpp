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
    const std::string text = test::ReadFileText(path);
    EXPECT_NE(text.find("[Other]\nShowGrid=7\n"), std::string::npos);
    EXPECT_NE(text.find("SnapSpacing=50"), std::string::npos);
}

TEST_F(IniPreferenceStoreTest, StringsAreCutToOneHundredCharactersAndStayOnOneLine) {
    CIniPreferenceStore store(path);
    store.WriteString("DefaultTemplate", std::string(98, 'a') + "\xC3\xA9\xC3\xA9"); // 98 + two 2-byte é
    EXPECT_EQ(store.ReadString("DefaultTemplate", "").size(), 100u);
    store.WriteString("LastTempFile", "a\nb=c");
    EXPECT_EQ(CIniPreferenceStore(path).ReadString("LastTempFile", ""), "a b=c");
}

} // namespace
} // namespace pq
