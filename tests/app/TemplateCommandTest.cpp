// File > Template... through the routing table with real template files: the question about unsaved
// changes, the new untitled document holding the template, the view's fit and tool, and a template that
// cannot be read.

#include "app/ApplicationCommands.h"
#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "app/DocumentCommands.h"
#include "app/ShellServices.h"
#include "document/DocumentHost.h"
#include "document/FormatFileOps.h"
#include "document/PqxDoc.h"
#include "formats/FormatDispatch.h"
#include "native/PdfFile.h"

#include "PeerHelpers.h"
#include "ScriptedShell.h"
#include "model/ModelTestHelpers.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>

namespace pq {
namespace {

using Strings = std::vector<std::string>;

class TemplateCommandTest : public ::testing::Test {
protected:
    TemplateCommandTest() {
        host.app = &app;
        doc.SetTemplatesFolder(templates.Path().string());
        router.SetTarget(RouteLevel::Document, &docCommands);
        router.SetTarget(RouteLevel::Application, &app);
    }

    // A two-page landscape template with one rectangle on each page.
    std::string MakeTemplate(const std::string& name) {
        CDrawing drawing;
        drawing.SetPageSize(2970.0f, 2100.0f);
        drawing.AppendPages(1);
        drawing.Add(test::MakeRect({-500, 500, -300, 300}));
        auto second = test::MakeRect({0, 100, 0, 100});
        second->page = 1;
        drawing.Add(std::move(second));
        const std::string path = templates.File(name + ".tpl");
        EXPECT_TRUE(SaveDrawing(drawing, path, 0, -1, -1, nullptr)) << drawing.GetErrorMessage();
        return path;
    }

    void MakeModified() {
        doc.GetDrawing().Add(test::MakeRect({0, 5, 0, 5}));
        doc.SetModifiedFlag();
    }

    test::CTempFolder templates;
    test::CScriptedDocumentHost host;
    CFormatFileOps files;
    CPqxDoc doc{&host, nullptr, &files};
    test::CScriptedShell shell;
    CDocumentCommands docCommands{doc, shell};
    CApplicationCommands app{doc, shell};
    CCommandRouter router;
};

TEST_F(TemplateCommandTest, ATemplateStartsAnUntitledUnmodifiedDocumentFittedWithTheSelectTool) {
    doc.SetPathName("/work/old.pdf");
    shell.chosenTemplate = MakeTemplate("Poster");
    EXPECT_TRUE(router.Update(cmd::kFileTemplate).enabled);
    EXPECT_TRUE(router.Execute(cmd::kFileTemplate));
    EXPECT_EQ(shell.templateFolders, Strings{templates.Path().string()});

    const CDrawing& drawing = doc.GetDrawing();
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_EQ(drawing.PageCount(), 2);
    EXPECT_EQ(drawing.GetPageWidth(), 2970.0f);
    EXPECT_EQ(drawing.GetPageHeight(), 2100.0f);
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(host.posted, (std::vector<int>{cmd::kFitDrawing, cmd::kToolSelect}));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_GE(shell.replaced, 1);
}

TEST_F(TemplateCommandTest, UnsavedChangesAreAskedAboutAndCancelInTheDialogOrTheQuestionLeavesTheDocument) {
    MakeModified();
    router.Execute(cmd::kFileTemplate); // no template chosen: not even the question
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(doc.GetDrawing().Count(), 1);
    EXPECT_EQ(shell.replaced, 0);

    shell.chosenTemplate = MakeTemplate("Poster");
    router.Execute(cmd::kFileTemplate); // Cancel to the question
    EXPECT_EQ(host.questions, Strings{"Save changes to Untitled?"});
    EXPECT_EQ(doc.GetDrawing().Count(), 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(host.posted.empty());
    EXPECT_EQ(shell.replaced, 0);

    host.answers = {HostAnswer::No};
    router.Execute(cmd::kFileTemplate);
    EXPECT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(doc.GetDrawing().Count(), 2);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(TemplateCommandTest, ATemplateThatCannotBeReadShowsTheReadersMessageAndLeavesAnEmptyDocument) {
    shell.chosenTemplate = templates.File("Foreign.tpl");
    std::ofstream(*shell.chosenTemplate) << "%PDF-1.4\n1 0 obj << >> endobj\ntrailer << >>\n%%EOF\n";
    doc.SetPathName("/work/old.pdf");
    EXPECT_TRUE(router.Execute(cmd::kFileTemplate));
    EXPECT_EQ(host.messages, Strings{CPdfFile::kForeignFileMessage});
    EXPECT_EQ(doc.GetDrawing().Count(), 0);
    EXPECT_EQ(doc.GetDrawing().GetPageWidth(), 1480.0f);
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(host.posted.empty());

    // A template deleted after it was chosen says why it cannot be read.
    host.messages.clear();
    shell.chosenTemplate = templates.File("Gone.tpl");
    router.Execute(cmd::kFileTemplate);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("Gone.tpl"), std::string::npos) << host.messages[0];
}

TEST_F(TemplateCommandTest, AnEmptyTemplateKeepsTheNewDocumentsFitAndTakesTheSelectTool) {
    CDrawing empty;
    empty.SetPageSize(2159.0f, 2794.0f);
    shell.chosenTemplate = templates.File("Letter.tpl");
    ASSERT_TRUE(SaveDrawing(empty, *shell.chosenTemplate, 0, -1, -1, nullptr));
    router.Execute(cmd::kFileTemplate);
    EXPECT_EQ(doc.GetDrawing().GetPageWidth(), 2159.0f);
    EXPECT_EQ(host.posted, std::vector<int>{cmd::kToolSelect});
}

} // namespace
} // namespace pq
