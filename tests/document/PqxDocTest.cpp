// The document's new, open and save-changes cycle.

#include "document/PqxDoc.h"
#include "document/BitmapExportSettings.h"
#include "document/DocumentHost.h"
#include "document/DrawingFileOps.h"
#include "document/ImportTarget.h"
#include "document/PreferenceStore.h"
#include "platform/image/ImageFile.h"

#include "model/ModelTestHelpers.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

namespace pq {
namespace {

using Strings = std::vector<std::string>;

class CTestHost : public IDocumentHost {
public:
    CPqxDoc* doc = nullptr;
    Strings messages, questions;
    std::deque<HostAnswer> answers;
    bool hasView = true, newSucceeds = true, saveAsResult = true, askAgainWhileAsking = false;
    int currentPage = 2, newRuns = 0, saveAsRuns = 0;
    std::vector<bool> nestedAnswers;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    HostAnswer AskYesNoCancel(std::string_view question) override {
        questions.emplace_back(question);
        if (askAgainWhileAsking)
            nestedAnswers.push_back(doc->SaveModified());
        const HostAnswer answer = answers.empty() ? HostAnswer::Cancel : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    bool HasActiveView() const override { return hasView; }
    void ResetViewForNewDocument() override {}
    int GetCurrentPage() const override { return currentPage; }
    void SetCurrentPage(int page) override { currentPage = page; }
    bool RunFileNew() override {
        ++newRuns;
        return newSucceeds && doc->OnNewDocument();
    }
    bool RunSaveAs() override {
        ++saveAsRuns;
        return saveAsResult;
    }
};

class CTestFiles : public IDrawingFileOps {
public:
    bool openSucceeds = true, saveSucceeds = true;
    std::string error;
    Strings opened, saved;
    int savedPage = -1;

    bool Open(CDrawing& drawing, const std::string& path) override {
        opened.push_back(path);
        drawing.Add(test::MakeRect({})); // failing or not, the reader has already added something
        if (!openSucceeds) {
            drawing.SetErrorMessage(error);
            return false;
        }
        drawing.SetPageCount(2);
        drawing.Add(test::MakeRect({}, 0, 1));
        return true;
    }
    bool Save(CDrawing& drawing, const std::string& path, int page, int, int) override {
        saved.push_back(path);
        savedPage = page;
        if (!saveSucceeds)
            drawing.SetErrorMessage(error);
        return saveSucceeds;
    }
};

// Pictures of at most 240 pixels a side.
class CExportSettings : public IBitmapExportSettings {
public:
    int GetMaxPixels() const override { return 240; }
    bool GetAntiAlias() const override { return true; }
};

class PqxDoc : public ::testing::Test {
protected:
    void SetUp() override {
        host.doc = &doc;
        doc.SetTemplatesFolder(folder.File("Templates"));
    }

    // A document holding one object, changed since it was saved at path (empty: never saved).
    void MakeModified(const std::string& path) {
        doc.OnNewDocument();
        doc.GetDrawing().Add(test::MakeRect({}));
        if (!path.empty())
            doc.SetPathName(path);
        doc.SetModifiedFlag(true);
    }

    CTestHost host;
    CTestFiles files;
    CMemoryPreferenceStore preferences;
    CPqxDoc doc{&host, &preferences, &files};
    test::CTempFolder folder;
};

TEST_F(PqxDoc, NewDocumentIsEmptyUntitledWithThePageSizeFromPreferencesOrTheDefault) {
    MakeModified("/old/a.pdf");
    doc.GetDrawing().SetPageCount(4);
    preferences.WriteInt("PageWidth", 210000);
    preferences.WriteInt("PageHeight", 297000);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetDrawing().Count(), 0);
    EXPECT_EQ(doc.GetDrawing().PageCount(), 1);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 2100.0f);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageHeight(), 2970.0f);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "Untitled");

    preferences.WriteInt("PageWidth", 0);
    preferences.WriteInt("PageHeight", -5);
    doc.OnNewDocument();
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 1480.0f);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageHeight(), 2100.0f);
    CPqxDoc bare;
    bare.OnNewDocument();
    EXPECT_FLOAT_EQ(bare.GetDrawing().GetPageWidth(), 1480.0f);
}

TEST_F(PqxDoc, OpenStartsFromANewDocumentAndTakesThePath) {
    preferences.WriteInt("PageWidth", 100000);
    ASSERT_TRUE(doc.OnOpenDocument("/work/cards/Card.pdf"));
    EXPECT_EQ(files.opened, Strings{"/work/cards/Card.pdf"});
    EXPECT_EQ(doc.GetDrawing().Count(), 2);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 1000.0f);
    EXPECT_EQ(host.currentPage, 0);
    EXPECT_EQ(doc.GetTitle(), "Card.pdf");
    EXPECT_FALSE(doc.IsModified());

    MakeModified("/keep/me.pdf");
    host.newSucceeds = false; // no new document was started: the open is abandoned
    EXPECT_FALSE(doc.OnOpenDocument("/tmp/x.pdf"));
    EXPECT_EQ(files.opened.size(), 1u);
    EXPECT_EQ(doc.GetPathName(), "/keep/me.pdf");
}

TEST_F(PqxDoc, FailedOpenShowsTheReadersOrTheGenericMessageAndLeavesAnEmptyDocument) {
    files.openSucceeds = false;
    files.error = "The file was not created by Pentaquill Draw.";
    EXPECT_FALSE(doc.OnOpenDocument("/tmp/other.pdf"));
    EXPECT_EQ(doc.GetDrawing().Count(), 0);
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    files.error.clear();
    EXPECT_FALSE(doc.OnOpenDocument("/tmp/x.dxf"));
    EXPECT_EQ(host.messages,
              (Strings{"The file was not created by Pentaquill Draw.", "Failed to open file!"}));
}

TEST_F(PqxDoc, SaveModifiedAsksOnlyWhenModifiedNamingThePathOrTitle) {
    doc.OnNewDocument();
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(host.questions.empty());
    MakeModified("/home/u/plan.pdf");
    host.answers = {HostAnswer::Cancel};
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());
    MakeModified("");
    host.answers = {HostAnswer::No};
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(host.questions, (Strings{"Save changes to /home/u/plan.pdf?", "Save changes to Untitled?"}));
    EXPECT_TRUE(files.saved.empty());
    EXPECT_EQ(host.saveAsRuns, 0);
}

TEST_F(PqxDoc, YesSavesToThePathOnTheCurrentPageOrGoesThroughSaveAs) {
    MakeModified("/home/u/plan.dxf");
    host.answers = {HostAnswer::Yes};
    host.currentPage = 1;
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(files.saved, Strings{"/home/u/plan.dxf"});
    EXPECT_EQ(files.savedPage, 1);
    EXPECT_FALSE(doc.IsModified());

    MakeModified("");
    host.answers = {HostAnswer::Yes, HostAnswer::Yes};
    EXPECT_TRUE(doc.SaveModified());
    host.saveAsResult = false; // the dialog was cancelled
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(host.saveAsRuns, 2);
    EXPECT_EQ(files.saved.size(), 1u);
}

TEST_F(PqxDoc, FailingSaveShowsWhyAndKeepsTheDocumentOpen) {
    MakeModified("/readonly/plan.pdf");
    host.answers = {HostAnswer::Yes};
    files.saveSucceeds = false;
    files.error = "Failed to open file!";
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());
    host.hasView = false;
    EXPECT_FALSE(doc.DoSave("/home/u/plan.pdf"));
    EXPECT_EQ(files.saved.size(), 1u);
    EXPECT_EQ(host.messages, (Strings{"Failed to open file!", "Failed to save file!"}));
}

TEST_F(PqxDoc, ASecondRequestWhileAskingIsAnsweredKeepOpen) {
    MakeModified("/home/u/plan.pdf");
    host.askAgainWhileAsking = true;
    host.answers = {HostAnswer::No};
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(host.nestedAnswers, std::vector<bool>{false});
    host.askAgainWhileAsking = false; // once answered, requests are asked again
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(host.questions.size(), 2u);
}

TEST_F(PqxDoc, SavingATemplateOrPlotterFileLeavesTheDocumentAlone) {
    MakeModified("/home/u/plan.pdf");
    EXPECT_TRUE(doc.DoSave("/home/u/Card.TPL"));
    EXPECT_TRUE(doc.DoSave("/home/u/plan.plt"));
    EXPECT_EQ(doc.GetPathName(), "/home/u/plan.pdf");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.DoSave("/home/u/export.ai"));
    EXPECT_EQ(doc.GetTitle(), "export.ai");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(PqxDoc, AOnePageFileOfADrawingOfSeveralPagesIsACopyThatLeavesTheDocumentModified) {
    MakeModified("/home/u/plan.pdf");
    doc.GetDrawing().SetPageCount(3);
    for (const char* name : {"/home/u/plan.dxf", "/home/u/plan.AI", "/home/u/plan.emf", "/home/u/plan.svg"}) {
        EXPECT_TRUE(doc.DoSave(name)) << name;
        EXPECT_EQ(doc.GetPathName(), "/home/u/plan.pdf") << name;
        EXPECT_TRUE(doc.IsModified()) << name;
    }
    EXPECT_EQ(files.saved.size(), 4u);
    // The native document keeps every page, so it becomes the document's file.
    EXPECT_TRUE(doc.DoSave("/home/u/all.pdf"));
    EXPECT_EQ(doc.GetTitle(), "all.pdf");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(PqxDoc, TemplatesGoToTheTemplatesFolderUnderTheirFileName) {
    MakeModified("");
    ASSERT_TRUE(doc.DoSave("C:/Work/Card.tpl"));
    const std::string target = (folder.Path() / "Templates" / "Card.tpl").string();
    EXPECT_EQ(files.saved, Strings{target});
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "Templates"));

    std::ofstream(target) << "existing";
    host.answers = {HostAnswer::No};
    EXPECT_FALSE(doc.DoSave("/elsewhere/Card.tpl"));
    EXPECT_EQ(host.questions.back(), CPqxDoc::kTemplateExists);
    EXPECT_EQ(files.saved.size(), 1u);
    host.answers = {HostAnswer::Yes};
    EXPECT_TRUE(doc.DoSave("/elsewhere/Card.tpl"));
    EXPECT_EQ(files.saved.size(), 2u);
}

TEST_F(PqxDoc, SaveAsWithABitmapNameExportsWithoutRenamingTheDocument) {
    MakeModified("/home/u/plan.pdf");
    host.currentPage = 0;
    CExportSettings settings;
    doc.SetExportSettings(&settings);
    ASSERT_TRUE(doc.SaveAs(folder.File("picture.jpg")));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "picture.jpg"));
    EXPECT_TRUE(files.saved.empty());
    EXPECT_EQ(doc.GetPathName(), "/home/u/plan.pdf");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.SaveAs("/home/u/other.pdf"));
    EXPECT_EQ(doc.GetPathName(), "/home/u/other.pdf");
}

TEST_F(PqxDoc, SaveCopyAsksBeforeReplacingAndLeavesTheDocumentAlone) {
    MakeModified("/home/u/plan.pdf");
    const std::string copy = folder.File("copy.pdf");
    EXPECT_TRUE(doc.SaveCopy(copy));
    std::ofstream(copy) << "x";
    host.answers = {HostAnswer::No};
    EXPECT_FALSE(doc.SaveCopy(copy));
    EXPECT_EQ(host.questions.back(), CPqxDoc::kFileExists);
    EXPECT_EQ(files.saved, Strings{copy});
    EXPECT_EQ(doc.GetPathName(), "/home/u/plan.pdf");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(PqxDoc, ImportReadsThroughTheClipboardAndRestoresIt) {
    doc.OnNewDocument();
    host.currentPage = 1;
    CDrawing clipboard;
    clipboard.Add(test::MakeRect({}, 77));
    std::vector<uint32_t> pastedPages;
    const auto paste = [&] {
        for (const auto& object : clipboard.Objects())
            pastedPages.push_back(static_cast<uint32_t>(object->page));
    };
    ASSERT_TRUE(doc.ImportDrawing("/in/shapes.dxf", clipboard, paste));
    EXPECT_EQ(pastedPages, (std::vector<uint32_t>{1, 1})); // what the reader added, on the current page
    EXPECT_EQ(test::Tags(clipboard), std::vector<uint32_t>{77});

    files.openSucceeds = false;
    pastedPages.clear();
    EXPECT_FALSE(doc.ImportDrawing("/in/broken.dxf", clipboard, paste));
    EXPECT_TRUE(pastedPages.empty());
    EXPECT_EQ(test::Tags(clipboard), std::vector<uint32_t>{77});
    EXPECT_TRUE(host.messages.empty());
}

// A view that records what Import asks of it.
class CImportRecorder : public IImportTarget {
public:
    CDrawing clipboard;
    Strings pictures;
    std::string pictureFailure;
    int pastes = 0;

    CDrawing* GetClipboard() override { return &clipboard; }
    int PasteClipboard() override {
        ++pastes;
        return clipboard.Count();
    }
    CImageResult InsertImage(const std::string& path) override {
        pictures.push_back(path);
        return pictureFailure.empty() ? CImageResult::Success() : CImageResult::Failure(pictureFailure);
    }
};

TEST_F(PqxDoc, ImportTakesPicturesAsImagesAndSaysWhyAFileCannotBeImported) {
    doc.OnNewDocument();
    CImportRecorder view;
    EXPECT_TRUE(doc.Import("/in/photo.JPG", view));
    EXPECT_TRUE(doc.Import("/in/shapes.dxf", view));
    EXPECT_EQ(view.pictures, Strings{"/in/photo.JPG"});
    EXPECT_EQ(files.opened, Strings{"/in/shapes.dxf"}); // ".jpeg" and the rest take the vector road
    EXPECT_EQ(view.pastes, 1);
    EXPECT_TRUE(host.messages.empty());

    view.pictureFailure = "Not a picture";
    EXPECT_FALSE(doc.Import("/in/fake.png", view));
    files.openSucceeds = false;
    files.error = "Unsupported drawing";
    EXPECT_FALSE(doc.Import("/in/photo.jpeg", view));
    files.error.clear();
    EXPECT_FALSE(doc.Import("/in/broken.emf", view));
    EXPECT_EQ(host.messages, (Strings{"Not a picture", "Unsupported drawing", "Failed to open file!"}));
    EXPECT_EQ(view.pastes, 1);
    EXPECT_EQ(view.clipboard.Count(), 0); // the clipboard is as it was before each import
}

TEST(MemoryPreferenceStore, ReadsFallBackOnlyForMissingNames) {
    CMemoryPreferenceStore store;
    EXPECT_EQ(store.ReadInt("ShowGrid", 7), 7);
    store.WriteInt("ShowGrid", 0);
    EXPECT_EQ(store.ReadInt("ShowGrid", 7), 0);
    store.WriteString("DefaultTemplate", "");
    EXPECT_EQ(store.ReadString("DefaultTemplate", "none"), "");
    EXPECT_FALSE(store.FindString("ShowGrid").has_value()) << "integers and strings are separate";
}

TEST(PqxDocExport, ExportsTheViewsPageAndShowsWhyAnExportFailed) {
    CTestHost host;
    CPqxDoc doc(&host);
    host.doc = &doc;
    ASSERT_TRUE(doc.OnNewDocument());
    host.currentPage = 0;
    const test::CTempFolder folder;

    EXPECT_TRUE(doc.ExportBitmap(folder.File("page.bmp"), CExportSettings()));
    CDibSection written;
    ASSERT_TRUE(LoadImageFile(folder.File("page.bmp"), written).ok);
    EXPECT_EQ(written.GetHeight(), 240); // the 1480 x 2100 page is taller than 240 pixels at 96 per inch
    EXPECT_EQ(written.GetWidth(), 168);  // 559 x 794 at 1:1, fitted: trunc(240 * 559 / 794)
    EXPECT_TRUE(host.messages.empty());

    EXPECT_FALSE(doc.ExportBitmap(folder.File("page.gif"), 240, 240, false, false));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("page.gif"), std::string::npos);

    host.hasView = false;
    EXPECT_FALSE(doc.ExportBitmap(folder.File("other.bmp"), 240, 240, true, false));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "other.bmp"));
}

} // namespace
} // namespace pq
