// The editor's Export Bitmap in settings-file mode: the settings file read again (and the question when
// it changed), the copies, the upload through the dialog, what is reported, and the close at the end.

#include "app/EditorUnattendedExport.h"

#include "model/Drawing.h"
#include "model/ModelTestHelpers.h"

#include "PeerHelpers.h"
#include "ScriptedShell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

using Strings = std::vector<std::string>;

class EditorUnattendedExport : public ::testing::Test {
protected:
    EditorUnattendedExport() {
        drawing.SetPageSize(1000, 500);
        drawing.Add(test::MakeRect({-100, 100, -50, 50}));
        std::filesystem::create_directories(folder.Path() / "out");
    }

    void WriteSettings(const std::string& extra = {}) const {
        std::ofstream(folder.File("PQS.ini"))
            << "filename=plan\nsize=320\nsavelocation=" << folder.File("out")
            << "\nprintlocation=" << folder.File("out") << "\n"
            << extra;
    }

    CStartupRequest Startup() const {
        CCommandLine line;
        line.settingsPath = folder.File("PQS.ini");
        return ResolveStartup(line, folder.Path().string());
    }

    test::CTempFolder folder;
    CDrawing drawing;
    test::CScriptedUnattendedHost host;
};

TEST_F(EditorUnattendedExport,
       OnlyAFileNameSetsTheModeAndAnUnchangedFileWritesTheCopiesUploadsThemAndCloses) {
    // Without a settings file, or without a file name in it, the editor is not in settings-file mode.
    EXPECT_FALSE(CEditorUnattendedExport(Startup(), "").InSettingsFileMode());
    folder.Write("PQS.ini", "openfile=/tmp/x.pdf\nsavelocation=/tmp\n");
    EXPECT_FALSE(CEditorUnattendedExport(Startup(), "").InSettingsFileMode());

    WriteSettings("ftpserver=ftp.example.org/x\nusername=pq\npassword=pw\nftplocation=in\nftpport=2121\n");
    CEditorUnattendedExport exporter(Startup(), folder.File("PQS.ftp"));
    ASSERT_TRUE(exporter.InSettingsFileMode());
    EXPECT_EQ(exporter.Run(drawing, host), CEditorUnattendedExport::Outcome::Done);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_TRUE(std::filesystem::exists(folder.File("out/plan.emf")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("out/plan.jpg")));
    ASSERT_EQ(host.uploads.size(), 1u);
    const CFtpUploadRequest& request = host.uploads[0];
    EXPECT_EQ(request.server, "ftp.example.org");
    EXPECT_EQ(request.port, 2121);
    EXPECT_EQ(request.localPaths[0], folder.File("out/plan.emf"));
    EXPECT_EQ(request.remoteNames[1], "/in/plan.jpg");
    EXPECT_EQ(request.flagFilePath, folder.File("PQS.ftp"));
    EXPECT_TRUE(host.failures.empty());
    EXPECT_EQ(host.closes, 1);
}

TEST_F(EditorUnattendedExport, AChangedFileAsksAndEndsTheCommandWhateverTheAnswer) {
    WriteSettings();
    CEditorUnattendedExport exporter(Startup(), folder.File("PQS.ftp"));
    WriteSettings("filetype=.BMP\n");
    host.answers = {false};
    EXPECT_EQ(exporter.Run(drawing, host), CEditorUnattendedExport::Outcome::SettingsChanged);
    EXPECT_EQ(host.questions,
              (Strings{"Ini file has changed since the application started.\nRestart application?"}));
    EXPECT_FALSE(std::filesystem::exists(folder.File("out/plan.emf")));
    EXPECT_EQ(host.closes, 0);
    // No keeps the old values, so it asks again; Yes takes the new ones and the next run exports them.
    host.answers = {true};
    EXPECT_EQ(exporter.Run(drawing, host), CEditorUnattendedExport::Outcome::SettingsChanged);
    EXPECT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(exporter.Startup().exportSettings.fileType, ".BMP");
    EXPECT_EQ(exporter.Run(drawing, host), CEditorUnattendedExport::Outcome::Done);
    EXPECT_EQ(host.questions.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(folder.File("out/plan.bmp")));
    EXPECT_TRUE(host.uploads.empty()); // no server named
    EXPECT_EQ(host.closes, 1);
}

TEST_F(EditorUnattendedExport, WhatWasNotDoneIsReportedBeforeTheEditorCloses) {
    WriteSettings("ftpserver=127.0.0.1\nftpport=0\n");
    CEditorUnattendedExport badPort(Startup(), "");
    EXPECT_EQ(badPort.Run(drawing, host), CEditorUnattendedExport::Outcome::Incomplete);
    EXPECT_TRUE(host.uploads.empty());
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_NE(host.failures[0].find("ftpport"), std::string::npos);
    EXPECT_EQ(host.closes, 1);

    WriteSettings("ftpserver=127.0.0.1\n");
    CEditorUnattendedExport cancelled(Startup(), "");
    host.failures.clear();
    host.uploadOutcome = FtpUploadOutcome::Canceled;
    EXPECT_EQ(cancelled.Run(drawing, host), CEditorUnattendedExport::Outcome::Incomplete);
    EXPECT_EQ(host.failures, (Strings{"The upload to 127.0.0.1 port 21 was cancelled."}));
    EXPECT_EQ(host.closes, 2);
}

} // namespace
} // namespace pq
