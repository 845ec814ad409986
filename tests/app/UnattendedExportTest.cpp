#include "app/UnattendedExport.h"

#include "app/Startup.h"
#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "model/ModelTestHelpers.h"
#include "platform/DibSection.h"
#include "platform/image/ImageFile.h"

#include "PeerHelpers.h"
#include "send/FtpTestServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

// A page of 1000 x 500 units holding one rectangle of 200 x 100 and one of 40 x 40 on the second page.
void BuildDrawing(CDrawing& drawing) {
    drawing.SetPageCount(2);
    drawing.SetPageSize(1000, 500);
    drawing.Add(test::MakeRect({-100, 100, -50, 50}, 0x0000FF, 0));
    drawing.Add(test::MakeRect({-20, 20, -20, 20}, 0x00FF00, 1));
}

CPixelSize PictureSize(const std::string& path) {
    CDibSection image;
    const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
    if (!DecodeImage(bytes, image))
        return {};
    return {image.GetWidth(), image.GetHeight()};
}

class UnattendedExport : public ::testing::Test {
protected:
    void SetUp() override { BuildDrawing(drawing); }

    CExportSettings Values() const {
        CExportSettings values;
        values.fileName = "plan";
        values.size = 640;
        values.saveLocation = folder.File("save"); // no "/" at the end: one is put between
        values.printLocation = folder.File("print") + "/";
        std::filesystem::create_directories(folder.Path() / "save");
        std::filesystem::create_directories(folder.Path() / "print");
        return values;
    }

    test::CTempFolder folder;
    CDrawing drawing;
};

TEST_F(UnattendedExport, SizeMakesTheLongerSideOfTheDrawingsBoxThatLong) {
    EXPECT_EQ(UnattendedExportSize(drawing, 640), (CPixelSize{640, 320}));
    EXPECT_EQ(UnattendedExportSize(drawing, 3), (CPixelSize{3, 2})); // 1.5 rounds away from zero
    EXPECT_EQ(UnattendedExportSize(drawing, 0), (CPixelSize{0, 0}));
    EXPECT_EQ(UnattendedExportSize(drawing, -5), (CPixelSize{0, 0}));
    // Nothing drawn: the page's proportions.
    CDrawing empty;
    empty.SetPageSize(1000, 2000);
    EXPECT_EQ(UnattendedExportSize(empty, 100), (CPixelSize{50, 100}));
}

TEST_F(UnattendedExport, WritesTheEmfTheJpegAndTheTypedCopyInTheTypeItsNameSays) {
    CExportSettings values = Values();
    values.fileType = ".BMP";
    CUnattendedExportResult result = WriteUnattendedFiles(drawing, values, {});
    ASSERT_TRUE(result.Ok()) << result.failures.front();
    const std::string emf = folder.File("save/plan.emf"), jpg = folder.File("print/plan.jpg"),
                      bmp = folder.File("save/plan.bmp");
    EXPECT_EQ(result.written, (std::vector<std::string>{emf, jpg, bmp}));
    EXPECT_EQ(result.emfPath, emf);
    EXPECT_EQ(result.jpegPath, jpg);
    EXPECT_EQ(PictureSize(jpg), (CPixelSize{640, 320}));
    EXPECT_EQ(PictureSize(bmp), (CPixelSize{640, 320}));
    // The EMF holds the first page's rectangle and reads back.
    CDrawing back;
    ASSERT_TRUE(OpenDrawing(back, emf)) << back.GetErrorMessage();
    EXPECT_EQ(back.Count(), 1);

    values.printLocation.clear();
    values.fileType = "pdf";
    result = WriteUnattendedFiles(drawing, values, {});
    ASSERT_TRUE(result.Ok()) << result.failures.front();
    EXPECT_EQ(test::ReadFileText(folder.File("save/plan.pdf")).substr(0, 5), "%PDF-");
    ASSERT_TRUE(OpenDrawing(back, folder.File("save/plan.pdf")));
    EXPECT_EQ(back.PageCount(), 2);

    values.fileType = "jpeg";
    result = WriteUnattendedFiles(drawing, values, {});
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.written.back(), folder.File("save/plan.jpg"));

    values.fileType = "doc";
    result = WriteUnattendedFiles(drawing, values, {});
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_NE(result.failures[0].find("\"doc\""), std::string::npos) << result.failures[0];
    EXPECT_FALSE(std::filesystem::exists(folder.File("save/plan.doc")));
    EXPECT_EQ(result.written.size(), 1u); // the EMF was still written
}

TEST_F(UnattendedExport, WhatCannotBeWrittenIsSaidAndTheRestIsStillWritten) {
    CExportSettings values = Values();
    values.saveLocation = folder.File("no/such/folder");
    values.size = 0;
    std::vector<std::string> notices;
    CUnattendedExportOptions options;
    options.page = 1;
    options.notice = [&](std::string_view notice) { notices.emplace_back(notice); };
    CUnattendedExportResult result = WriteUnattendedFiles(drawing, values, options);
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_NE(result.failures[0].find("EMF copy"), std::string::npos) << result.failures[0];
    EXPECT_NE(result.failures[1].find("\"size\""), std::string::npos) << result.failures[1];
    EXPECT_TRUE(result.written.empty());

    values.saveLocation = folder.File("save");
    values.printLocation.clear();
    notices.clear();
    result = WriteUnattendedFiles(drawing, values, options);
    ASSERT_TRUE(result.Ok());
    // The second page was asked for: the one-page notice, and its one square in the file.
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], kOnePageMessage);
    CDrawing back;
    ASSERT_TRUE(OpenDrawing(back, result.emfPath));
    EXPECT_EQ(back.Count(), 1);
}

TEST_F(UnattendedExport, UploadsTheCopiesItWroteAndLeavesTheFlag) {
    if (test::FtpServerMissing())
        return;
    test::CTempFolder root;
    std::filesystem::create_directories(root.Path() / "in" / "drawings");
    test::CFtpTestServer server(root.Path().string());
    ASSERT_NE(server.Port(), 0);
    CUploadSettings upload;
    upload.ftpServer = "127.0.0.1/ignored";
    upload.ftpPort = server.Port();
    upload.userName = test::kFtpUser;
    upload.password = test::kFtpPassword;
    upload.ftpLocation = "in\\drawings";
    CUnattendedExportOptions options;
    options.flagFilePath = folder.File("data/PQS.ftp");
    options.ftpTimeout = std::chrono::milliseconds(5000);
    std::vector<std::string> statuses;
    options.uploadProgress = [&](const CFtpUploadState& state) { statuses.push_back(state.status); };
    CExportSettings values = Values();
    values.fileType = "plt"; // written, but not sent
    const CUnattendedExportResult result = RunUnattendedExport(drawing, values, &upload, options);
    ASSERT_TRUE(result.Ok()) << result.failures.front();
    EXPECT_EQ(result.uploaded, (std::vector<std::string>{"/in/drawings/plan.emf", "/in/drawings/plan.jpg"}));
    EXPECT_EQ(test::ReadFileText(root.File("in/drawings/plan.emf")), test::ReadFileText(result.emfPath));
    EXPECT_EQ(test::ReadFileText(root.File("in/drawings/plan.jpg")), test::ReadFileText(result.jpegPath));
    EXPECT_FALSE(std::filesystem::exists(root.File("in/drawings/plan.plt")));
    EXPECT_EQ(test::ReadFileText(options.flagFilePath), "&ftp=true");
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), "FTP Succeeded.");
}

TEST_F(UnattendedExport, AnUploadThatCannotHappenIsAFailure) {
    CUploadSettings upload;
    upload.ftpServer = "127.0.0.1";
    upload.ftpPort = 0;
    CExportSettings values = Values();
    CUnattendedExportResult result = RunUnattendedExport(drawing, values, &upload, {});
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_NE(result.failures[0].find("ftpport"), std::string::npos);
    EXPECT_EQ(result.written.size(), 2u);

    upload.ftpPort = 21;
    values.saveLocation.clear();
    values.printLocation.clear();
    result = RunUnattendedExport(drawing, values, &upload, {});
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_NE(result.failures[0].find("Nothing to upload"), std::string::npos);

    // A server that refuses the login: the files stay written, the failure names the step.
    if (test::FtpServerMissing())
        return;
    test::CTempFolder root;
    test::CFtpTestServer server(root.Path().string(), "refuse-login");
    upload.ftpPort = server.Port();
    values = Values();
    result = RunUnattendedExport(drawing, values, &upload, {});
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_NE(result.failures[0].find("Authorization failed."), std::string::npos) << result.failures[0];
    EXPECT_EQ(result.written.size(), 2u);
    EXPECT_TRUE(result.uploaded.empty());
}

TEST_F(UnattendedExport, AChangedSettingsFileIsAskedAboutAndTakenOnYes) {
    const std::string path = folder.File("PQS.ini");
    std::ofstream(path) << "filename=plan\nsize=100\nftpserver=a.example\n";
    CCommandLine commandLine;
    commandLine.settingsPath = path;
    CStartupRequest startup = ResolveStartup(commandLine, folder.Path().string());
    int asked = 0;
    std::string question;
    const auto answer = [&](bool yes) {
        return [&, yes](std::string_view q) {
            ++asked;
            question = q;
            return yes;
        };
    };
    EXPECT_TRUE(SettingsFileUnchanged(startup, answer(true)));
    EXPECT_EQ(asked, 0);

    std::ofstream(path) << "filename=plan\nsize=200\nftpserver=a.example\n";
    EXPECT_FALSE(SettingsFileUnchanged(startup, answer(false)));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(question, "Ini file has changed since the application started.\nRestart application?");
    EXPECT_EQ(startup.exportSettings.size, 100); // No keeps the old values

    std::ofstream(path) << "filename=plan\nsize=200\nftpserver=b.example\nftpport=2121\n";
    EXPECT_FALSE(SettingsFileUnchanged(startup, answer(true)));
    EXPECT_EQ(startup.exportSettings.size, 200);
    EXPECT_EQ(startup.uploadSettings.ftpServer, "b.example");
    EXPECT_EQ(startup.uploadSettings.ftpPort, 2121);
    EXPECT_TRUE(SettingsFileUnchanged(startup, answer(true)));
    EXPECT_EQ(asked, 2);
}

} // namespace
} // namespace pq
