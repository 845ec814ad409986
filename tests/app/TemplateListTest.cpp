// The Template dialog's list over a real folder: what it lists, OK, Delete with its question and the
// selection that follows, and Rename, which never replaces a template nor reaches outside the folder.

#include "app/TemplateList.h"
#include "document/PreferenceStore.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

// The templates live in a folder of a test folder of their own, so that a name escaping them by mistake
// lands where the test sees it and removes it.
class TemplateListTest : public ::testing::Test {
protected:
    TemplateListTest() { fs::create_directory(Folder()); }
    void Make(const std::string& name, const std::string& content = "template") {
        std::ofstream(Template(name)) << content;
    }
    [[nodiscard]] bool Exists(const std::string& name) const { return fs::exists(Template(name)); }
    [[nodiscard]] std::string Folder() const { return folder.File("templates"); }
    [[nodiscard]] std::string Template(const std::string& name) const { return Folder() + "/" + name; }
    // The Delete question, answered.
    auto Answer(bool yes) {
        return [this, yes](std::string_view question) {
            questions.emplace_back(question);
            return yes;
        };
    }

    test::CTempFolder folder;
    CMemoryPreferenceStore preferences;
    Strings questions;
};

TEST_F(TemplateListTest, ListsTheTemplateFilesByNameAndPreselectsTheDefault) {
    for (const char* name : {"Letter.tpl", "A4.tpl", "card.tpl.bak", "notes.txt", ".tpl", "Grid page.tpl"})
        Make(name);
    fs::create_directory(Template("Folder.tpl"));
    fs::create_symlink(Template("A4.tpl"), Template("Linked.tpl"));
    fs::create_symlink(Template("missing"), Template("Dangling.tpl"));
    preferences.WriteString(CTemplateList::kDefaultTemplateName, "Letter");

    CTemplateList list(Folder(), &preferences);
    EXPECT_EQ(list.GetNames(), (Strings{"A4", "Grid page", "Letter", "Linked"}));
    EXPECT_EQ(list.GetSelection(), 2);

    preferences.WriteString(CTemplateList::kDefaultTemplateName, "Gone");
    EXPECT_EQ(CTemplateList(Folder(), &preferences).GetSelection(), -1);
    EXPECT_EQ(CTemplateList(Folder(), nullptr).GetSelection(), -1);
}

TEST_F(TemplateListTest, OkReturnsTheChosenTemplatesPathAndRemembersItAndWithoutAFolderDoesNothing) {
    CTemplateList none(Template("none"), &preferences);
    EXPECT_TRUE(none.GetNames().empty());
    none.Select(0);
    EXPECT_EQ(none.GetSelection(), -1);
    EXPECT_FALSE(none.Ok());
    EXPECT_EQ(none.Delete(Answer(true)), "");
    EXPECT_TRUE(questions.empty());

    Make("A4.tpl");
    Make("Letter.tpl");
    CTemplateList list(Folder(), &preferences);
    EXPECT_FALSE(list.Ok()); // nothing selected yet
    EXPECT_FALSE(preferences.FindString(CTemplateList::kDefaultTemplateName));
    list.Select(1);
    EXPECT_EQ(list.Ok(), Template("Letter.tpl"));
    EXPECT_EQ(preferences.FindString(CTemplateList::kDefaultTemplateName), "Letter");
    EXPECT_EQ(CTemplateList(Folder(), &preferences).GetSelection(), 1);
}

TEST_F(TemplateListTest, DeleteAsksFirstAndSelectsTheItemThatTakesTheDeletedOnesPlace) {
    for (const char* name : {"A.tpl", "B.tpl", "C.tpl"})
        Make(name);
    CTemplateList list(Folder(), &preferences);
    list.Select(1);
    EXPECT_EQ(list.Delete(Answer(false)), "");
    EXPECT_EQ(questions, (Strings{"Are you sure you want to delete the 'B' template?"}));
    EXPECT_TRUE(Exists("B.tpl"));
    EXPECT_EQ(list.GetNames().size(), 3u);

    EXPECT_EQ(list.Delete(Answer(true)), "");
    EXPECT_FALSE(Exists("B.tpl"));
    EXPECT_EQ(list.GetNames(), (Strings{"A", "C"}));
    EXPECT_EQ(list.GetSelection(), 1); // C moved into B's place

    EXPECT_EQ(list.Delete(Answer(true)), ""); // the last item: the one before is selected
    EXPECT_EQ(list.GetNames(), (Strings{"A"}));
    EXPECT_EQ(list.GetSelection(), 0);

    EXPECT_EQ(list.Delete(Answer(true)), ""); // the only template: an empty list, nothing selected
    EXPECT_TRUE(list.GetNames().empty());
    EXPECT_EQ(list.GetSelection(), -1);
    EXPECT_FALSE(Exists("A.tpl"));
    EXPECT_EQ(questions.size(), 4u);

    // A template already gone from the folder leaves the list quietly.
    Make("D.tpl");
    list.Fill("");
    list.Select(0);
    fs::remove(Template("D.tpl"));
    EXPECT_EQ(list.Delete(Answer(true)), "");
    EXPECT_TRUE(list.GetNames().empty());
}

TEST_F(TemplateListTest, RenameRenamesTheFileButNeverOntoAnExistingNameNorOutOfTheFolder) {
    Make("A4.tpl", "a4");
    Make("Letter.tpl", "letter");
    CTemplateList list(Folder(), &preferences);
    list.Select(0);
    // Onto an existing name: refused, both templates stay.
    EXPECT_EQ(list.Rename("Letter"), "A template named 'Letter' already exists.");
    EXPECT_EQ(test::ReadFileText(Template("Letter.tpl")), "letter");
    EXPECT_EQ(test::ReadFileText(Template("A4.tpl")), "a4");
    EXPECT_EQ(list.GetNames(), (Strings{"A4", "Letter"}));
    EXPECT_EQ(list.GetSelection(), 0);

    EXPECT_EQ(list.Rename("Zine"), "");
    EXPECT_EQ(list.GetNames(), (Strings{"Letter", "Zine"}));
    EXPECT_EQ(list.GetSelection(), 1);
    EXPECT_EQ(test::ReadFileText(Template("Zine.tpl")), "a4");
    EXPECT_FALSE(Exists("A4.tpl"));

    // An empty or unchanged name does nothing.
    EXPECT_EQ(list.Rename(""), "");
    EXPECT_EQ(list.Rename("Zine"), "");
    EXPECT_EQ(list.GetNames(), (Strings{"Letter", "Zine"}));

    // A name that would leave the folder is refused.
    fs::create_directory(Template("sub"));
    const std::string outside = folder.File("x"); // an absolute name beside the templates' folder
    for (const char* bad : {"../x", "sub/x", "..", ".", "a\\b", "tab\there", outside.c_str()}) {
        list.Select(1);
        EXPECT_FALSE(CTemplateList::IsValidName(bad)) << bad;
        EXPECT_NE(list.Rename(bad), "") << bad;
        EXPECT_EQ(list.GetNames(), (Strings{"Letter", "Zine"})) << bad;
    }
    EXPECT_EQ(test::ReadFileText(Template("Zine.tpl")), "a4");
    EXPECT_FALSE(fs::exists(folder.File("x.tpl")));
    EXPECT_TRUE(fs::is_empty(Template("sub")));
    for (const char* good : {"My card", "x.y", "Ünïcode", "...a"})
        EXPECT_TRUE(CTemplateList::IsValidName(good)) << good;
}

} // namespace
} // namespace pq
