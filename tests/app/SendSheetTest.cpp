// The send sheet's model: the name and type it starts with, the temporary name, validation, the FTP
// page's preferences, and the temporary copy written through the document in every type.

#include "app/SendSheet.h"
#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "app/DocumentCommands.h"
#include "app/EditorUnattendedExport.h"
#include "app/SendCommands.h"
#include "app/ShellServices.h"
#include "document/BitmapExportSettings.h"
#include "document/DocumentHost.h"
#include "document/FormatFileOps.h"
#include "document/PqxDoc.h"
#include "document/PreferenceStore.h"
#include "formats/FormatDispatch.h"
#include "platform/DibSection.h"
#include "platform/image/ImageFile.h"

#include "model/ModelTestHelpers.h"

#include "PeerHelpers.h"
#include "ScriptedShell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

using Strings = std::vector<std::string>;

TEST(SendPage, StartsWithTheDocumentsNameAndTypeOrUntitledPdfAndCutsTheTemporaryName) {
    CSendPage plan("/home/ann/My Documents/plan.dxf");
    EXPECT_EQ(plan.name, "plan");
    EXPECT_EQ(kSendTypes[static_cast<std::size_t>(plan.typeIndex)].text, "AutoCAD 2002 (DXF)");
    EXPECT_EQ(plan.FileName(), "plan.dxf");

    // Types that are no send type, and documents without a path, start as PDF.
    for (const char* path : {"/tmp/card.tpl", "/tmp/card.svg", "/tmp/card.wmf", "/tmp/card.a"}) {
        const CSendPage page(path);
        EXPECT_EQ(page.typeIndex, 0) << path;
        EXPECT_EQ(page.name, "card") << path;
    }
    EXPECT_EQ(CSendPage("").name, "Untitled");
    EXPECT_EQ(CSendPage("").FileName(), "Untitled.pdf");
    // Extensions in any case and with backslashes in the path.
    EXPECT_EQ(CSendPage("C:\\drawings\\logo.Jpg").typeIndex, 6);
    EXPECT_EQ(CSendPage("C:\\drawings\\logo.Jpg").name, "logo");
    EXPECT_EQ(CSendPage("/a/b/noext").name, "noext");

    // The temporary name is cut at the first dot after the last separator.
    CSendPage page;
    page.typeIndex = 2;
    page.name = "a/b/report.v2.final";
    EXPECT_EQ(page.FileName(), "report.dxf");
    page.name = "a\\b\\ report ";
    EXPECT_EQ(page.FileName(), "report.dxf");
    // Nothing left: no name, and no way out of the Temp folder.
    for (const char* name : {"", "folder/", "..", ".", ".hidden", "../..", "  "}) {
        page.name = name;
        EXPECT_EQ(page.FileName(), "") << name;
    }
    page.name = "x";
    page.typeIndex = 99; // nothing usable chosen
    EXPECT_EQ(page.FileName(), "x.pdf");
}

TEST(SendPage, TheTypeListKeepsItsOrderAndEveryTypeHasAWriter) {
    const Strings expected = {"PDF Document (PDF)",      "Adobe Illustrator v10 (AI)", "AutoCAD 2002 (DXF)",
                              "Enhanced Metafile (EMF)", "HPGL Plotter file (PLT)",    "BMP Bitmap (BMP)",
                              "JPG Image (JPG)"};
    ASSERT_EQ(kSendTypes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(kSendTypes[i].text, expected[i]);
        const std::string name = "x." + std::string(kSendTypes[i].extension);
        const bool bitmap = kSendTypes[i].extension == "bmp" || kSendTypes[i].extension == "jpg";
        EXPECT_TRUE(bitmap || CanSaveDrawing(name)) << name;
    }
}

TEST(SendSheet, ValidationStopsAtTheFirstProblemEmailNeedsOnlyANameAndTheFtpPageKeepsItsPreferences) {
    CMemoryPreferenceStore preferences;
    CSendSheet mail(SendKind::Email, "", &preferences);
    EXPECT_EQ(mail.Caption(), "E-mail");
    EXPECT_FALSE(mail.HasFtpPage());
    EXPECT_EQ(mail.Validate(), "");
    mail.send.name = "..";
    EXPECT_EQ(mail.Validate(), "Please enter a valid filename.");
    EXPECT_FALSE(mail.Accept());

    CSendSheet ftp(SendKind::Ftp, "/tmp/plan.pdf", &preferences);
    EXPECT_EQ(ftp.Caption(), "Ftp");
    EXPECT_TRUE(ftp.HasFtpPage());
    EXPECT_EQ(ftp.ftp.port, "21");
    EXPECT_EQ(ftp.Validate(), "Please enter a server address.");
    ftp.ftp.server = " ";
    EXPECT_EQ(ftp.Validate(), "Please enter a server address.");
    ftp.ftp.server = "ftp.example.org/incoming";
    EXPECT_EQ(ftp.ftp.ServerAddress(), "ftp.example.org");
    EXPECT_EQ(ftp.Validate(), "Please enter a username.");
    ftp.ftp.userName = "ann";
    for (const char* port : {"0", "", "65536", "99999999999"}) {
        ftp.ftp.port = port;
        EXPECT_EQ(ftp.Validate(), "Please enter a valid port.") << port;
    }
    ftp.ftp.port = "2121";
    EXPECT_EQ(ftp.Validate(), "");
    ftp.send.name = "";
    EXPECT_EQ(ftp.Validate(), "Please enter a valid filename."); // the name comes first
    // A refused sheet stores nothing.
    EXPECT_FALSE(ftp.Accept());
    EXPECT_FALSE(preferences.FindString("FtpServer"));

    // The FTP page loads and stores its five preferences.
    preferences.WriteString("FtpServer", "ftp.example.org");
    preferences.WriteString("FtpFolder", "incoming\\drawings");
    preferences.WriteString("FtpUsername", "ann");
    preferences.WriteString("Pwd", "s3cret");
    preferences.WriteInt("FtpPort", 2121);
    CSendSheet sheet(SendKind::Ftp, "/tmp/plan.pdf", &preferences);
    EXPECT_EQ(sheet.ftp.server, "ftp.example.org");
    EXPECT_EQ(sheet.ftp.folder, "incoming\\drawings");
    EXPECT_EQ(sheet.ftp.userName, "ann");
    EXPECT_EQ(sheet.ftp.password, "s3cret");
    EXPECT_EQ(sheet.ftp.port, "2121");
    // Remote names use "/" whatever the folder was typed with.
    EXPECT_EQ(sheet.ftp.RemoteName("plan.pdf"), "/incoming/drawings/plan.pdf");

    sheet.ftp.server = "other.example.org";
    sheet.ftp.port = "21";
    sheet.ftp.password = "new";
    ASSERT_TRUE(sheet.Accept());
    EXPECT_EQ(preferences.ReadString("FtpServer", ""), "other.example.org");
    EXPECT_EQ(preferences.ReadString("Pwd", ""), "new");
    EXPECT_EQ(preferences.ReadInt("FtpPort", 0), 21);
    // The E-mail sheet has no FTP page and leaves those values alone.
    CSendSheet email(SendKind::Email, "", &preferences);
    email.ftp.server = "changed";
    ASSERT_TRUE(email.Accept());
    EXPECT_EQ(preferences.ReadString("FtpServer", ""), "other.example.org");
}

TEST(SendSheet, TheUploadRequestSendsTheCopyToTheFolder) {
    CFtpPreparePage ftp;
    ftp.server = "ftp://ftp.example.org/x";
    ftp.folder = "in";
    ftp.userName = " ann ";
    ftp.password = "pw";
    ftp.port = "2121";
    CTemporaryCopy copy;
    copy.path = "/data/Temp/plan.pdf";
    copy.fileName = "plan.pdf";
    const CFtpUploadRequest request = SendUploadRequest(ftp, copy, "/data/PQS.ftp");
    EXPECT_EQ(request.server, "ftp.example.org");
    EXPECT_EQ(request.port, 2121);
    EXPECT_EQ(request.userName, "ann");
    EXPECT_EQ(request.password, "pw");
    EXPECT_EQ(request.localPaths[0], "/data/Temp/plan.pdf");
    EXPECT_EQ(request.localPaths[1], "");
    EXPECT_EQ(request.remoteNames[0], "/in/plan.pdf");
    EXPECT_EQ(request.flagFilePath, "/data/PQS.ftp");
}

TEST(TemporaryCopy, TheLastCopyIsDeletedButNothingOutsideTheTempFolder) {
    const test::CTempFolder folder;
    const std::string temp = folder.File("Temp");
    CMemoryPreferenceStore preferences;
    std::filesystem::create_directories(temp);
    std::ofstream(temp + "/old.pdf") << "old";
    std::ofstream(folder.File("precious.txt")) << "keep";
    preferences.WriteString("LastTempFile", "old.pdf");

    Strings written;
    auto write = [&](const std::string& path) {
        written.push_back(path);
        std::ofstream(path) << "new";
        return true;
    };
    const CTemporaryCopy copy = WriteTemporaryCopy(temp, "plan.pdf", &preferences, write);
    ASSERT_TRUE(copy.Ok());
    EXPECT_EQ(copy.path, temp + "/plan.pdf");
    EXPECT_EQ(written, (Strings{temp + "/plan.pdf"}));
    EXPECT_FALSE(std::filesystem::exists(temp + "/old.pdf"));
    EXPECT_EQ(preferences.ReadString("LastTempFile", "x"), "");

    // A value naming something outside the folder is forgotten, not followed.
    preferences.WriteString("LastTempFile", "../precious.txt");
    DeleteLastTemporaryFile(temp, &preferences);
    EXPECT_TRUE(std::filesystem::exists(folder.File("precious.txt")));
    EXPECT_EQ(preferences.ReadString("LastTempFile", "x"), "");

    // A writer that fails leaves no copy to send; a folder that cannot be made says so.
    EXPECT_FALSE(
        WriteTemporaryCopy(temp, "b.pdf", &preferences, [](const std::string&) { return false; }).Ok());
    std::ofstream(folder.File("file")) << "x";
    const CTemporaryCopy blocked = WriteTemporaryCopy(folder.File("file"), "c.pdf", &preferences, write);
    EXPECT_FALSE(blocked.Ok());
    EXPECT_NE(blocked.error.find("cannot be made"), std::string::npos) << blocked.error;
}

// The send flow with a scripted shell: the sheet is accepted as the test set it up.
class CScriptedSendShell : public ISendShell {
public:
    std::function<void(CSendSheet&)> fill;
    bool accept = true;
    Strings messages;
    std::vector<CFtpUploadRequest> uploads;
    Strings uploadedBytes; // the local file's bytes while the dialog was open
    int watches = 0;

    bool RunSendSheet(CSendSheet& sheet) override {
        if (fill)
            fill(sheet);
        return accept && sheet.Accept();
    }
    FtpUploadOutcome RunUploadDialog(const CFtpUploadRequest& request) override {
        uploads.push_back(request);
        uploadedBytes.push_back(test::ReadFileText(request.localPaths[0]));
        return FtpUploadOutcome::Succeeded;
    }
    void WatchMailProgram() override { ++watches; }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
};

TEST(SendCommands, EveryTypeIsWrittenThroughTheDocumentAndReadsBack) {
    const test::CTempFolder folder;
    test::CScriptedDocumentHost host;
    host.unscripted = HostAnswer::Yes;
    CFormatFileOps files(&host);
    CMemoryPreferenceStore preferences;
    CPqxDoc doc(&host, &preferences, &files);
    test::CSmallExportSettings settings;
    doc.SetExportSettings(&settings);
    doc.OnNewDocument();
    doc.GetDrawing().Add(test::MakeRect({-200, 200, -100, 100}));
    doc.GetDrawing().Add(test::MakeRect({-50, 50, 150, 250}));

    CScriptedSendShell shell;
    CSendCommands send([&] { return doc.GetPathName(); },
                       [&](const std::string& p) { return doc.SaveCopy(p); }, &preferences,
                       folder.Path().string(), shell);
    preferences.WriteString("FtpServer", "127.0.0.1");
    preferences.WriteString("FtpUsername", "pq");
    for (std::size_t i = 0; i < kSendTypes.size(); ++i) {
        shell.fill = [&](CSendSheet& sheet) {
            sheet.send.name = "drawing";
            sheet.send.typeIndex = static_cast<int>(i);
        };
        ASSERT_TRUE(send.Send(SendKind::Ftp)) << kSendTypes[i].text;
        const std::string expectedPath =
            send.TempFolder() + "/drawing." + std::string(kSendTypes[i].extension);
        ASSERT_EQ(shell.uploads.size(), i + 1);
        EXPECT_EQ(shell.uploads.back().localPaths[0], expectedPath);
        EXPECT_EQ(shell.uploads.back().remoteNames[0], "drawing." + std::string(kSendTypes[i].extension));
        // The copy was there while the dialog was open, and is gone after.
        ASSERT_FALSE(shell.uploadedBytes.back().empty()) << expectedPath;
        EXPECT_FALSE(std::filesystem::exists(expectedPath));
        // Write it again to read it back with our own reader.
        ASSERT_TRUE(doc.SaveCopy(expectedPath));
        if (kSendTypes[i].extension == "bmp" || kSendTypes[i].extension == "jpg") {
            CDibSection image;
            EXPECT_TRUE(LoadImageFile(expectedPath, image)) << expectedPath;
            EXPECT_GT(image.GetWidth(), 0);
        } else {
            CDrawing back;
            ASSERT_TRUE(OpenDrawing(back, expectedPath)) << expectedPath << ": " << back.GetErrorMessage();
            // DXF gives a filled shape back as its fill and its outline.
            EXPECT_GE(back.Count(), 2) << expectedPath;
            EXPECT_LE(back.Count(), 4) << expectedPath;
        }
        std::filesystem::remove(expectedPath);
    }
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    EXPECT_TRUE(shell.messages.empty());
}

TEST(SendCommands, TwoMailSendsLeaveOnlyTheSecondCopyAndACancelledSheetWritesNothing) {
    const test::CTempFolder folder;
    CMemoryPreferenceStore preferences;
    CScriptedSendShell shell;
    int writes = 0;
    CSendCommands send([] { return std::string("/tmp/plan.pdf"); },
                       [&](const std::string& p) {
                           ++writes;
                           std::ofstream(p) << "%PDF";
                           return true;
                       },
                       &preferences, folder.Path().string(), shell);
    {
        // No mail program at all on the PATH: the copy stays, and the message says where it is.
        const test::CPathOverride path(folder.Path().string(), true);
        shell.fill = [](CSendSheet& sheet) { sheet.send.name = "first"; };
        EXPECT_FALSE(send.Send(SendKind::Email));
        shell.fill = [](CSendSheet& sheet) { sheet.send.name = "second"; };
        EXPECT_FALSE(send.Send(SendKind::Email));
    }
    EXPECT_FALSE(std::filesystem::exists(send.TempFolder() + "/first.pdf"));
    EXPECT_TRUE(std::filesystem::exists(send.TempFolder() + "/second.pdf"));
    EXPECT_EQ(preferences.ReadString("LastTempFile", ""), "second.pdf");
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_NE(shell.messages[1].find("xdg-email"), std::string::npos) << shell.messages[1];
    EXPECT_NE(shell.messages[1].find(send.TempFolder() + "/second.pdf"), std::string::npos);

    shell.accept = false;
    EXPECT_FALSE(send.Send(SendKind::Email));
    EXPECT_EQ(writes, 2);
    EXPECT_TRUE(std::filesystem::exists(send.TempFolder() + "/second.pdf"));
}

TEST(SendRouting, SendNeedsTheSendCommandsAndAViewAndExportBitmapSkipsItsDialogInSettingsFileMode) {
    const test::CTempFolder folder;
    test::CScriptedDocumentHost host;
    host.unscripted = HostAnswer::Yes;
    CPqxDoc doc(&host);
    test::CScriptedShell shell;
    CDocumentCommands commands(doc, shell);
    CCommandRouter router;
    router.SetTarget(RouteLevel::Document, &commands);
    test::CSmallExportSettings settings;
    CScriptedSendShell sendShell;
    sendShell.accept = false;
    CSendCommands send([] { return std::string(); }, [](const std::string&) { return false; }, nullptr,
                       folder.Path().string(), sendShell);
    EXPECT_FALSE(router.Update(cmd::kSendFtp).enabled);
    commands.SetSendCommands(&send);
    EXPECT_FALSE(router.Update(cmd::kSendFtp).enabled); // no view yet
    commands.SetExportSettings(&settings);
    EXPECT_TRUE(router.Update(cmd::kSendEmail).enabled);
    EXPECT_TRUE(router.Update(cmd::kSendFtp).enabled);
    int sheets = 0;
    sendShell.fill = [&](CSendSheet& sheet) {
        ++sheets;
        EXPECT_EQ(sheet.Caption(), "Ftp");
    };
    EXPECT_TRUE(router.Execute(cmd::kSendFtp));
    EXPECT_EQ(sheets, 1);

    // Without a settings file Export Bitmap asks for a name; with one it runs the export instead.
    router.Execute(cmd::kExportBitmap);
    EXPECT_EQ(shell.dialogs.size(), 1u);
    std::ofstream(folder.File("PQS.ini")) << "filename=plan\n";
    CCommandLine line;
    line.settingsPath = folder.File("PQS.ini");
    CEditorUnattendedExport exporter(ResolveStartup(line, folder.Path().string()), "");
    test::CScriptedUnattendedHost unattendedHost;
    commands.SetUnattendedExport(&exporter, &unattendedHost);
    router.Execute(cmd::kExportBitmap);
    EXPECT_EQ(shell.dialogs.size(), 1u);
    EXPECT_EQ(unattendedHost.closes, 1);
}

} // namespace
} // namespace pq
