// The bundled templates reach the user's folder once: copied on the first start, never over the user's
// own files, not brought back once deleted; and the templates we ship read back as the pages they name.

#include "app/BundledFiles.h"
#include "formats/FormatDispatch.h"
#include "model/Drawing.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pq {
namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

class BundledFilesTest : public ::testing::Test {
protected:
    BundledFilesTest() {
        fs::create_directory(Bundled());
        Bundle("A4.tpl", "bundled a4");
        Bundle("Letter.tpl", "bundled letter");
        Bundle("readme.txt", "not a template");
    }
    void Bundle(const std::string& name, const std::string& content) {
        std::ofstream(Bundled() + "/" + name) << content;
    }
    [[nodiscard]] std::string Bundled() const { return temp.File("bundled"); }
    [[nodiscard]] std::string User() const { return temp.File("data/Templates"); }
    [[nodiscard]] std::string UserFile(const std::string& name) const { return User() + "/" + name; }
    CBundledCopy Copy() const { return CopyBundledFiles(Bundled(), User(), ".tpl"); }

    test::CTempFolder temp;
};

TEST_F(BundledFilesTest, TheFirstStartCopiesEveryTemplateAndLaterOnesOnlyNewlyBundledOnes) {
    const CBundledCopy result = Copy();
    EXPECT_EQ(result.copied, (Strings{"A4.tpl", "Letter.tpl"}));
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(test::ReadFileText(UserFile("A4.tpl")), "bundled a4");
    EXPECT_FALSE(fs::exists(UserFile("readme.txt")));
    // The next start has nothing to do.
    EXPECT_TRUE(Copy().copied.empty());

    // A deleted template stays deleted, and a newly bundled one arrives.
    fs::remove(UserFile("A4.tpl"));
    Bundle("Grid.tpl", "bundled grid");
    EXPECT_EQ(Copy().copied, Strings{"Grid.tpl"});
    EXPECT_FALSE(fs::exists(UserFile("A4.tpl")));
    EXPECT_EQ(test::ReadFileText(UserFile("Grid.tpl")), "bundled grid");
}

TEST_F(BundledFilesTest, AUsersOwnFileOfTheSameNameIsNeverReplaced) {
    fs::create_directories(User());
    std::ofstream(UserFile("A4.tpl")) << "mine";
    fs::create_symlink(temp.File("nowhere"), UserFile("Letter.tpl"));
    EXPECT_TRUE(Copy().copied.empty());
    EXPECT_EQ(test::ReadFileText(UserFile("A4.tpl")), "mine");
    EXPECT_TRUE(fs::is_symlink(UserFile("Letter.tpl")));
    EXPECT_FALSE(fs::exists(temp.File("nowhere")));
}

TEST_F(BundledFilesTest, AFolderThatCannotBeMadeIsReportedAndNothingIsCopied) {
    std::ofstream(temp.File("data")) << "a file where the folder should be";
    const CBundledCopy result = Copy();
    EXPECT_TRUE(result.copied.empty());
    EXPECT_NE(result.message, "");
    // Without bundled files there is nothing to do, not even a folder to make.
    EXPECT_TRUE(CopyBundledFiles(temp.File("none"), temp.File("elsewhere"), ".tpl").copied.empty());
    EXPECT_FALSE(fs::exists(temp.File("elsewhere")));
}

TEST(BundledTemplates, TheShippedTemplatesAreNativeDocumentsOfThePagesTheyName) {
    const std::string folder = PQ_TEST_DATA_DIR "/../../resources/templates/";
    struct Expected {
        const char* name;
        float width;
        float height;
        bool grid;
    };
    for (const Expected& e :
         {Expected{"A4 Portrait", 2100, 2970, false}, Expected{"A4 Landscape", 2970, 2100, false},
          Expected{"Letter Portrait", 2159, 2794, false}, Expected{"Letter Landscape", 2794, 2159, false},
          Expected{"A4 Grid", 2100, 2970, true}}) {
        CDrawing drawing;
        ASSERT_TRUE(OpenDrawing(drawing, folder + e.name + ".tpl"))
            << e.name << ": " << drawing.GetErrorMessage();
        EXPECT_EQ(drawing.GetPageWidth(), e.width) << e.name;
        EXPECT_EQ(drawing.GetPageHeight(), e.height) << e.name;
        EXPECT_EQ(drawing.PageCount(), 1) << e.name;
        EXPECT_EQ(drawing.Count(), e.grid ? 1 : 0) << e.name;
        if (e.grid) {
            // The grid lies on the page, inside its margin.
            const CRectF bounds = drawing.Bounds(false);
            EXPECT_GT(bounds.left, -e.width / 2);
            EXPECT_LT(bounds.right, e.width / 2);
            EXPECT_GT(bounds.top, -e.height / 2);
            EXPECT_LT(bounds.bottom, e.height / 2);
            EXPECT_GT(bounds.right - bounds.left, e.width * 0.8f);
        }
    }
}

} // namespace
} // namespace pq
