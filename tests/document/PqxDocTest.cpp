// The document's new, open and save-changes cycle.

#include "document/PqxDoc.h"
#include "document/DocumentHost.h"
#include "document/DrawingFileOps.h"
#include "document/PreferenceStore.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace pq {
namespace {

std::unique_ptr<CGraphicObject> SomeObject(int page = 0) {
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    object->page = page;
    return object;
}

class CTestHost : public IDocumentHost {
public:
    CPqxDoc* doc = nullptr;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<HostAnswer> answers;
    bool hasView = true;
    int currentPage = 2;
    int viewResets = 0;
    bool newSucceeds = true;
    int newRuns = 0;
    int saveAsRuns = 0;
    bool saveAsResult = true;
    bool askAgainWhileAsking = false;
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
    void ResetViewForNewDocument() override { ++viewResets; }
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
    bool openSucceeds = true;
    bool saveSucceeds = true;
    std::string error;
    std::vector<std::string> opened;
    std::vector<std::string> saved;
    int savedPage = -1;

    bool Open(CDrawing& drawing, const std::string& path) override {
        opened.push_back(path);
        // Failing or not, the reader has already put something into the drawing.
        drawing.Add(SomeObject());
        if (!openSucceeds) {
            drawing.SetErrorMessage(error);
            return false;
        }
        drawing.SetPageCount(2);
        drawing.Add(SomeObject(1));
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

class PqxDoc : public ::testing::Test {
protected:
    void SetUp() override { host.doc = &doc; }

    // A document holding one object, changed since it was saved at path (empty: never saved).
    void MakeModified(const std::string& path) {
        doc.OnNewDocument();
        doc.GetDrawing().Add(SomeObject());
        if (!path.empty())
            doc.SetPathName(path);
        doc.SetModifiedFlag(true);
    }

    CTestHost host;
    CTestFiles files;
    CMemoryPreferenceStore preferences;
    CPqxDoc doc{&host, &preferences, &files};
};

TEST_F(PqxDoc, NewDocumentIsEmptyUntitledAndTakesThePageSizeFromPreferences) {
    preferences.WriteInt("PageWidth", 210000);
    preferences.WriteInt("PageHeight", 297000);
    doc.GetDrawing().Add(SomeObject());
    doc.GetDrawing().SetPageCount(4);
    doc.SetPathName("/old/a.pdf");
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.IsNewDocumentStarted());

    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetDrawing().Count(), 0);
    EXPECT_EQ(doc.GetDrawing().PageCount(), 1);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 2100.0f);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageHeight(), 2970.0f);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), "");
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_EQ(host.viewResets, 1);
    EXPECT_TRUE(doc.IsNewDocumentStarted());
}

TEST_F(PqxDoc, MissingOrUnusablePageSizePreferencesGiveTheDefaultPage) {
    doc.OnNewDocument();
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 1480.0f);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageHeight(), 2100.0f);

    preferences.WriteInt("PageWidth", 0);
    preferences.WriteInt("PageHeight", -5);
    doc.OnNewDocument();
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 1480.0f);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageHeight(), 2100.0f);

    CPqxDoc bare;
    bare.OnNewDocument();
    EXPECT_FLOAT_EQ(bare.GetDrawing().GetPageWidth(), 1480.0f);
    EXPECT_FLOAT_EQ(bare.GetDrawing().GetPageHeight(), 2100.0f);
}

TEST_F(PqxDoc, OpenStartsFromANewDocumentAndTakesThePath) {
    preferences.WriteInt("PageWidth", 100000);
    ASSERT_TRUE(doc.OnOpenDocument("/work/cards/Card.pdf"));
    EXPECT_EQ(host.newRuns, 1);
    EXPECT_EQ(files.opened, std::vector<std::string>{"/work/cards/Card.pdf"});
    EXPECT_EQ(doc.GetDrawing().Count(), 2);
    EXPECT_EQ(doc.GetDrawing().PageCount(), 2);
    EXPECT_FLOAT_EQ(doc.GetDrawing().GetPageWidth(), 1000.0f);
    EXPECT_EQ(host.currentPage, 0);
    EXPECT_EQ(doc.GetPathName(), "/work/cards/Card.pdf");
    EXPECT_EQ(doc.GetTitle(), "Card.pdf");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(PqxDoc, FailedOpenShowsTheReadersMessageAndLeavesAnEmptyDocument) {
    files.openSucceeds = false;
    files.error = "The file was not created by Pentaquill Draw.";
    EXPECT_FALSE(doc.OnOpenDocument("/tmp/other.pdf"));
    EXPECT_EQ(host.messages, std::vector<std::string>{"The file was not created by Pentaquill Draw."});
    EXPECT_EQ(doc.GetDrawing().Count(), 0);
    EXPECT_EQ(doc.GetPathName(), "");
    EXPECT_EQ(doc.GetTitle(), "Untitled");
}

TEST_F(PqxDoc, FailedOpenWithoutAReasonShowsTheGenericMessage) {
    files.openSucceeds = false;
    EXPECT_FALSE(doc.OnOpenDocument("/tmp/x.dxf"));
    EXPECT_EQ(host.messages, std::vector<std::string>{"Failed to open file!"});
}

TEST_F(PqxDoc, OpenIsAbandonedWhenNoNewDocumentWasStarted) {
    MakeModified("/keep/me.pdf");
    host.newSucceeds = false;
    EXPECT_FALSE(doc.OnOpenDocument("/tmp/x.pdf"));
    EXPECT_TRUE(files.opened.empty());
    EXPECT_EQ(doc.GetDrawing().Count(), 1);
    EXPECT_EQ(doc.GetPathName(), "/keep/me.pdf");
}

TEST_F(PqxDoc, UnmodifiedDocumentClosesWithoutAsking) {
    doc.OnNewDocument();
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(PqxDoc, QuestionNamesThePathOrElseTheTitle) {
    MakeModified("/home/u/plan.pdf");
    doc.SaveModified();
    MakeModified("");
    doc.SaveModified();
    EXPECT_EQ(host.questions,
              (std::vector<std::string>{"Save changes to /home/u/plan.pdf?", "Save changes to Untitled?"}));
}

TEST_F(PqxDoc, CancelKeepsTheDocument) {
    MakeModified("/home/u/plan.pdf");
    host.answers = {HostAnswer::Cancel};
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(files.saved.empty());
}

TEST_F(PqxDoc, NoDiscardsWithoutSaving) {
    MakeModified("/home/u/plan.pdf");
    host.answers = {HostAnswer::No};
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(files.saved.empty());
    EXPECT_EQ(host.saveAsRuns, 0);
}

TEST_F(PqxDoc, YesWithAPathSavesThereOnTheCurrentPage) {
    MakeModified("/home/u/plan.dxf");
    host.answers = {HostAnswer::Yes};
    host.currentPage = 1;
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(files.saved, std::vector<std::string>{"/home/u/plan.dxf"});
    EXPECT_EQ(files.savedPage, 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(host.saveAsRuns, 0);
}

TEST_F(PqxDoc, YesWithoutAPathGoesThroughSaveAs) {
    MakeModified("");
    host.answers = {HostAnswer::Yes, HostAnswer::Yes};
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(host.saveAsRuns, 1);
    EXPECT_TRUE(files.saved.empty());

    host.saveAsResult = false; // the dialog was cancelled
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(host.saveAsRuns, 2);
}

TEST_F(PqxDoc, FailingSaveShowsWhyAndKeepsTheDocumentOpen) {
    MakeModified("/readonly/plan.pdf");
    host.answers = {HostAnswer::Yes};
    files.saveSucceeds = false;
    files.error = "Failed to open file!";
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Failed to open file!"});
}

TEST_F(PqxDoc, ASecondRequestWhileAskingIsAnsweredKeepOpen) {
    MakeModified("/home/u/plan.pdf");
    host.askAgainWhileAsking = true;
    host.answers = {HostAnswer::No};
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(host.nestedAnswers, std::vector<bool>{false});
    EXPECT_EQ(host.questions.size(), 1u);

    // Once the question is answered, requests are asked again.
    host.askAgainWhileAsking = false;
    host.answers = {HostAnswer::Cancel};
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
    EXPECT_EQ(doc.GetPathName(), "/home/u/export.ai");
    EXPECT_EQ(doc.GetTitle(), "export.ai");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(PqxDoc, SavingWithoutAViewFails) {
    MakeModified("/home/u/plan.pdf");
    host.hasView = false;
    EXPECT_FALSE(doc.DoSave("/home/u/plan.pdf"));
    EXPECT_TRUE(files.saved.empty());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Failed to save file!"});
}

TEST(MemoryPreferenceStore, ReadsFallBackOnlyForMissingNames) {
    CMemoryPreferenceStore store;
    EXPECT_EQ(store.ReadInt("ShowGrid", 7), 7);
    store.WriteInt("ShowGrid", 0);
    EXPECT_EQ(store.ReadInt("ShowGrid", 7), 0);
    EXPECT_EQ(store.ReadString("DefaultTemplate", "none"), "none");
    store.WriteString("DefaultTemplate", "");
    EXPECT_EQ(store.ReadString("DefaultTemplate", "none"), "");
    EXPECT_FALSE(store.FindString("ShowGrid").has_value()) << "integers and strings are separate";
}

} // namespace
} // namespace pq
