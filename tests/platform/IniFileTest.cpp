#include "platform/IniFile.h"

#include "ImageTestHelpers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {
namespace {

namespace fs = std::filesystem;

TEST(CIniFile, SavingKeepsALinkedSettingsFileAndItsPrivacy) {
    test::CTempFolder folder;
    fs::create_directory(folder.File("dotfiles"));
    { std::ofstream(folder.File("dotfiles/draw.ini")) << "[Draw]\nUnit=1\n"; }
    fs::permissions(folder.File("dotfiles/draw.ini"), static_cast<fs::perms>(0600)); // it may hold a password
    fs::create_symlink("dotfiles/draw.ini", folder.File("draw.ini"));

    CIniFile ini;
    ASSERT_TRUE(ini.Load(folder.File("draw.ini")));
    EXPECT_EQ(ini.Get("Draw", "Unit"), "1");
    ini.Set("Draw", "Unit", "2");
    ASSERT_TRUE(ini.Save(folder.File("draw.ini")));
    EXPECT_TRUE(fs::is_symlink(folder.File("draw.ini")));
    struct stat status {};
    ASSERT_EQ(stat(folder.File("dotfiles/draw.ini").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    CIniFile back;
    ASSERT_TRUE(back.Load(folder.File("dotfiles/draw.ini")));
    EXPECT_EQ(back.Get("Draw", "Unit"), "2");
    EXPECT_TRUE(back.Load(folder.File("missing.ini")));
}

TEST(CIniFile, APipeInPlaceOfTheFileIsRefusedWithoutWaiting) {
    test::CTempFolder folder;
    ASSERT_EQ(mkfifo(folder.File("draw.ini").c_str(), 0600), 0);
    alarm(20); // a load waiting on the pipe would hang the test
    CIniFile ini;
    EXPECT_FALSE(ini.Load(folder.File("draw.ini")));
    alarm(0);
}

} // namespace
} // namespace pq
