#include "app/SettingsFile.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using namespace std::string_literals;

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) { return folder.Write(name, text); }

    test::CTempFolder folder;
};

TEST_F(SettingsFileTest, ReadsKeysWithoutBlanksOrCaseAndParsesLeadingDigits) {
    const std::string path = Write("PQS.ini", "File Name = drawing1 \r\n"
                                              "\r\n"
                                              "Save Location=/tmp/Out/\n"
                                              "size=12x\0emfsizex=x12\remfsizey=-40\n"
                                              "=orphan\n"
                                              "filetype=bmp\nfiletype=jpg\n"
                                              "openfile=/home/Me/A B.pdf\n"
                                              "unknown=1\n"s);
    CExportSettings values;
    ASSERT_TRUE(ReadSettingsFile(path, values));
    EXPECT_EQ(values.fileName, "drawing1");
    EXPECT_EQ(values.saveLocation, "/tmp/Out/");
    EXPECT_EQ(values.size, 12);
    EXPECT_EQ(values.emfSizeX, 0);
    EXPECT_EQ(values.emfSizeY, -40);
    EXPECT_EQ(values.fileType, "jpg"); // a later line wins
    EXPECT_EQ(values.openFile, "/home/Me/A B.pdf");
}

TEST_F(SettingsFileTest, WithoutAFileNameTheSettingsAreAbsent) {
    CExportSettings values;
    values.size = 99;
    EXPECT_FALSE(ReadSettingsFile(Write("a.ini", "openfile=/x.pdf\nfilename=\n"), values));
    EXPECT_EQ(values.openFile, "/x.pdf");
    EXPECT_FALSE(ReadSettingsFile(folder.File("missing.ini"), values));
    EXPECT_EQ(values, CExportSettings{}); // reset even when absent
    EXPECT_FALSE(ReadSettingsFile(Write("empty.ini", ""), values));
}

TEST_F(SettingsFileTest, UploadValuesCountOnlyWithAServerAndThePortIsReadLikeTheOtherNumbers) {
    CUploadSettings upload;
    EXPECT_TRUE(ReadUploadSettings(Write("u.ini", "FTP Server=ftp.example.org\nUser Name=me\nPassword= p w \n"
                                                  "ftplocation=/in/\n"),
                                   upload));
    EXPECT_EQ(upload.userName, "me");
    EXPECT_EQ(upload.password, "p w");
    EXPECT_EQ(upload.ftpLocation, "/in/");
    EXPECT_EQ(upload.ftpPort, 21); // the port when the file names none
    EXPECT_FALSE(ReadUploadSettings(Write("v.ini", "username=me\n"), upload));

    ASSERT_TRUE(ReadUploadSettings(Write("p.ini", "ftpserver=127.0.0.1\nFTP Port = 2121\n"), upload));
    EXPECT_EQ(upload.ftpPort, 2121);
    ASSERT_TRUE(ReadUploadSettings(Write("q.ini", "ftpserver=127.0.0.1\nftpport=x21\n"), upload));
    EXPECT_EQ(upload.ftpPort, 0); // unreadable: the export refuses the port rather than guess
}

TEST_F(SettingsFileTest, PathKeepsItsCaseAndGainsIniOnlyWhenMissing) {
    EXPECT_EQ(SettingsFilePath("/home/Me/Export/PQS"), "/home/Me/Export/PQS.ini");
    EXPECT_EQ(SettingsFilePath("/home/Me/PQS.INI"), "/home/Me/PQS.INI");
    const std::string path = Write("Mixed.INI", "filename=x\n");
    CExportSettings values;
    EXPECT_TRUE(ReadSettingsFile(path.substr(0, path.size() - 4) + ".INI", values));
    EXPECT_TRUE(ReadSettingsFile(folder.File("Mixed") + ".INI", values));
}

} // namespace
} // namespace pq
