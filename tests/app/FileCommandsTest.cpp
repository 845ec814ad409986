// The application's and the document's file commands through the routing table: new, open, save, save
// as, bitmap export and exit, with scripted dialogs and answers.

#include "app/ApplicationCommands.h"
#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "app/DocumentCommands.h"
#include "app/ShellServices.h"
#include "document/BitmapExportSettings.h"
#include "document/DocumentHost.h"
#include "document/DrawingFileOps.h"
#include "document/ImportTarget.h"
#include "document/PqxDoc.h"

#include "model/ModelTestHelpers.h"

#include "PeerHelpers.h"
#include "ScriptedShell.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>

namespace pq {
namespace {

using Strings = std::vector<std::string>;
using test::CScriptedShell;

class CFiles : public IDrawingFileOps {
public:
    Strings opened, saved;
    bool openSucceeds = true;

    bool Open(CDrawing& drawing, const std::string& path) override {
        opened.push_back(path);
        if (openSucceeds)
            drawing.Add(test::MakeRect({0, 10, 0, 10}));
        return openSucceeds;
    }
    bool Save(CDrawing&, const std::string& path, int, int, int) override {
        saved.push_back(path);
        return true;
    }
};

class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest() {
        host.app = &app;
        router.SetTarget(RouteLevel::Document, &docCommands);
        router.SetTarget(RouteLevel::Application, &app);
        docCommands.SetExportSettings(&exportSettings);
    }

    void MakeModified() {
        doc.GetDrawing().Add(test::MakeRect({0, 5, 0, 5}));
        doc.SetModifiedFlag();
    }

    test::CScriptedDocumentHost host;
    CFiles files;
    CPqxDoc doc{&host, nullptr, &files};
    CScriptedShell shell;
    CDocumentCommands docCommands{doc, shell};
    CApplicationCommands app{doc, shell};
    test::CSmallExportSettings exportSettings;
    CCommandRouter router;
};

TEST_F(FileCommandsTest, NewOnAModifiedDocumentAsksOnceAndCancelKeepsIt) {
    MakeModified();
    EXPECT_TRUE(router.Execute(cmd::kFileNew));
    EXPECT_EQ(host.questions, (Strings{"Save changes to Untitled?"}));
    EXPECT_EQ(doc.GetDrawing().Count(), 1);
    EXPECT_EQ(shell.replaced, 0);

    host.answers = {HostAnswer::No};
    router.Execute(cmd::kFileNew);
    EXPECT_EQ(doc.GetDrawing().Count(), 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(shell.replaced, 1);
}

TEST_F(FileCommandsTest, OpenAsksAboutChangesOnceThenReadsTheChosenFileAndCancelLeavesTheDocument) {
    router.Execute(cmd::kFileOpen); // no path chosen
    MakeModified();
    shell.paths = {"/tmp/card.pdf"};
    router.Execute(cmd::kFileOpen); // Cancel to the question
    EXPECT_TRUE(files.opened.empty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(shell.replaced, 0);

    host.answers = {HostAnswer::No};
    shell.paths = {"/tmp/card.pdf"};
    router.Execute(cmd::kFileOpen);
    EXPECT_EQ(host.questions.size(), 2u); // once for each Open
    EXPECT_EQ(files.opened, (Strings{"/tmp/card.pdf"}));
    EXPECT_EQ(doc.GetTitle(), "card.pdf");
    EXPECT_EQ(shell.replaced, 1);
}

TEST_F(FileCommandsTest, AFailedOpenStillShowsTheEmptiedDocument) {
    files.openSucceeds = false;
    EXPECT_FALSE(app.OpenDocumentFile("/tmp/broken.pdf"));
    EXPECT_EQ(host.messages, (Strings{"Failed to open file!"}));
    EXPECT_EQ(shell.replaced, 1);
}

TEST_F(FileCommandsTest, SaveWithoutAPathRunsSaveAsAndAddsTheChosenFiltersExtension) {
    shell.chosenFilter = 2; // DXF
    shell.paths = {"/tmp/plan"};
    EXPECT_TRUE(router.Execute(cmd::kFileSave));
    EXPECT_EQ(shell.dialogs, (Strings{"Save As|Untitled|0"}));
    EXPECT_EQ(files.saved, (Strings{"/tmp/plan.dxf"}));
    EXPECT_EQ(doc.GetPathName(), "/tmp/plan.dxf");

    router.Execute(cmd::kFileSave); // now saves in place without a dialog
    EXPECT_EQ(shell.dialogs.size(), 1u);
    EXPECT_EQ(files.saved.back(), "/tmp/plan.dxf");
}

TEST_F(FileCommandsTest, SaveAsOpensOnTheTypeOfTheDocumentsName) {
    doc.SetPathName("/tmp/plan.dxf");
    shell.paths = {"/tmp/plan.dxf", "/tmp/other"};
    EXPECT_TRUE(router.Execute(cmd::kFileSaveAs));
    EXPECT_EQ(shell.dialogs.back(), "Save As|plan.dxf|2");
    // A name typed bare takes the filter shown, the document's own type.
    EXPECT_TRUE(router.Execute(cmd::kFileSaveAs));
    EXPECT_EQ(files.saved, (Strings{"/tmp/plan.dxf", "/tmp/other.dxf"}));
}

TEST_F(FileCommandsTest, SaveAsABitmapNameExportsAndKeepsTheDocumentsName) {
    const test::CTempFolder folder;
    const std::string picture = folder.File("picture.bmp");
    doc.GetDrawing().Add(test::MakeRect({-100, 100, -100, 100}));
    doc.SetModifiedFlag();
    shell.paths = {picture};
    router.Execute(cmd::kFileSaveAs);
    EXPECT_TRUE(files.saved.empty());
    EXPECT_TRUE(std::filesystem::exists(picture));
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(FileCommandsTest, ExportBitmapOffersJpegFirstAndNeedsAView) {
    const test::CTempFolder folder;
    const std::string base = folder.File("export");
    shell.paths = {base};
    EXPECT_TRUE(router.Update(cmd::kExportBitmap).enabled);
    router.Execute(cmd::kExportBitmap);
    EXPECT_EQ(shell.dialogs, (Strings{"Export Bitmap|Untitled.jpg|1"}));
    EXPECT_TRUE(std::filesystem::exists(base + ".jpg"));

    docCommands.SetExportSettings(nullptr);
    EXPECT_FALSE(router.Update(cmd::kExportBitmap).enabled);
}

TEST_F(FileCommandsTest, ImportNeedsAViewAndAddsTheChosenFileToIt) {
    struct : IImportTarget {
        CDrawing clipboard;
        int pasted = 0;
        CDrawing* GetClipboard() override { return &clipboard; }
        int PasteClipboard() override { return pasted += clipboard.Count(); }
        CImageResult InsertImage(const std::string&) override { return CImageResult::Failure("no"); }
    } view;
    EXPECT_FALSE(router.Update(cmd::kFileImport).enabled);
    docCommands.SetImportTarget(&view);
    ASSERT_TRUE(router.Update(cmd::kFileImport).enabled);
    shell.paths = {"/in/plan.dxf", std::nullopt};
    router.Execute(cmd::kFileImport);
    router.Execute(cmd::kFileImport); // cancelled
    EXPECT_EQ(shell.dialogs, (Strings{"Import", "Import"}));
    EXPECT_EQ(files.opened, Strings{"/in/plan.dxf"});
    EXPECT_EQ(view.pasted, 1);
}

TEST_F(FileCommandsTest, ExitClosesTheWindowAndCommandsWithoutHandlersStayGreyed) {
    EXPECT_TRUE(router.Execute(cmd::kExit));
    EXPECT_EQ(shell.closes, 1);
    router.Execute(cmd::kAbout);
    EXPECT_EQ(shell.abouts, 1);
    for (int id : {cmd::kSendEmail, cmd::kSendFtp, cmd::kLibrary})
        EXPECT_FALSE(router.Update(id).enabled) << id;
}

} // namespace
} // namespace pq
