#include "formats/FormatDispatch.h"

#include "model/Drawing.h"
#include "model/GraphicObject.h"
#include "model/ModelTestHelpers.h"

#include "ObjectBuilders.h"
#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pq {
namespace {

class FormatDispatch : public ::testing::Test {
protected:
    std::string In(const std::string& name) const { return folder.File(name); }

    test::CTempFolder folder;
};

TEST_F(FormatDispatch, NativeDocumentsRoundTripWhateverTheCaseOfTheirExtension) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(test::MakeRect({0, 100, 0, 50}, 0x123456, 1, 3));
    drawing.Add(test::MakeRect({10, 20, 10, 20}, 0x654321, 1, 3));
    std::vector<std::string> notices;
    ASSERT_TRUE(SaveDrawing(drawing, In("DRAWING.PDF"), 0, -1, -1,
                            [&](std::string_view n) { notices.emplace_back(n); }));
    EXPECT_TRUE(notices.empty());          // native documents keep every page
    EXPECT_EQ(drawing.GetAt(0)->group, 1); // groups were renumbered for the save

    CDrawing back;
    ASSERT_TRUE(OpenDrawing(back, In("DRAWING.PDF"))) << back.GetErrorMessage();
    EXPECT_EQ(back.PageCount(), 2);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.GetAt(1)->page, 1);
    EXPECT_EQ(back.GetAt(0)->group, back.GetAt(1)->group);
    EXPECT_NE(back.GetAt(0)->group, 0);

    ASSERT_TRUE(SaveDrawing(drawing, In("card.tpl"), 0, -1, -1, nullptr));
    EXPECT_TRUE(OpenDrawing(back, In("card.tpl")));
}

TEST_F(FormatDispatch, NamesNoReaderOrWriterTakesFailWithTheEndingsThatWork) {
    CDrawing drawing;
    drawing.Add(test::MakeRect({0, 1, 0, 1}));
    const auto says = [&](const std::vector<std::string>& parts) {
        const std::string& message = drawing.GetErrorMessage();
        for (const std::string& part : parts)
            if (message.find(part) == std::string::npos)
                return ::testing::AssertionFailure() << message << " lacks " << part;
        return ::testing::AssertionSuccess();
    };
    EXPECT_FALSE(OpenDrawing(drawing, "a.x"));
    EXPECT_TRUE(says({std::string(kOpenFailedMessage), ".pdf", ".tpl", "\".x\""}));
    EXPECT_FALSE(OpenDrawing(drawing, In("picture.odg")));
    EXPECT_TRUE(says({std::string(kOpenFailedMessage), "read from", ".pdf", ".tpl", ".svg", "not \".odg\""}));
    EXPECT_FALSE(SaveDrawing(drawing, "a.x", 0, -1, -1, nullptr));
    EXPECT_TRUE(says({std::string(kSaveFailedMessage), "saved as", ".pdf", ".tpl", "\".x\""}));
    EXPECT_FALSE(SaveDrawing(drawing, In("README"), 0, -1, -1, nullptr));
    EXPECT_TRUE(says({std::string(kSaveFailedMessage), ".pdf", ".tpl", "no ending"}));
    // A .wmf is never written.
    EXPECT_FALSE(SaveDrawing(drawing, In("x.WMF"), 0, -1, -1, nullptr));
    EXPECT_TRUE(says({std::string(kSaveFailedMessage), ".pdf", ".tpl", "\".wmf\""}));
    EXPECT_FALSE(std::filesystem::exists(In("x.WMF")));
    EXPECT_FALSE(SaveDrawing(drawing, In("picture.jpg"), 0, -1, -1, nullptr));
    EXPECT_FALSE(CanSaveDrawing("x.wmf"));
    EXPECT_TRUE(CanOpenDrawing("X.PDF"));
    EXPECT_FALSE(CanOpenDrawing("x.jpeg"));
    EXPECT_TRUE(SavesEveryPage("x.Tpl"));
    EXPECT_FALSE(SavesEveryPage("x.wmf"));
    EXPECT_FALSE(SavesEveryPage("x.png"));
    EXPECT_TRUE(CanOpenDrawing("x.SVG"));
    EXPECT_TRUE(CanSaveDrawing("x.svg"));
    EXPECT_FALSE(SavesEveryPage("x.svg"));

    CDrawing other;
    EXPECT_FALSE(OpenDrawing(other, In("missing.pdf")));
    EXPECT_NE(other.GetErrorMessage().find("missing.pdf: No such file"), std::string::npos)
        << other.GetErrorMessage();
}

TEST_F(FormatDispatch, OnlyRegularFilesAreOpened) {
    alarm(20); // a reader waiting on the pipe would otherwise hang the test
    std::filesystem::create_directory(In("folder.pdf"));
    ASSERT_EQ(mkfifo(In("pipe.tpl").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/urandom", In("random.pdf"));
    const std::pair<const char*, const char*> cases[] = {
        {"folder.pdf", "it is a folder, not a file"},
        {"pipe.tpl", "it is a pipe, not a file"},
        {"random.pdf", "it is a device, not a file"},
    };
    for (const auto& [name, reason] : cases) {
        CDrawing drawing;
        EXPECT_FALSE(OpenDrawing(drawing, In(name)));
        EXPECT_NE(drawing.GetErrorMessage().find(std::string(name) + ": " + reason), std::string::npos)
            << drawing.GetErrorMessage();
    }
    alarm(0);
}

// A plotter file keeps the outlines only: the caller hears what of the page it leaves out, and only
// for that format and that page.
TEST_F(FormatDispatch, PlotterFilesSayWhichObjectsTheyLeaveOut) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(test::BuildPath({test::BoxNodes({0, 40, 0, 40})}, {.brushStyle = kBrushHollow}));
    drawing.Add(test::BuildText(u"one", {0, 0}, {}));
    drawing.Add(test::BuildText(u"two", {0, 50}, {}));
    drawing.Add(test::MakeImage({0, 20, 0, 20}));
    drawing.Add(test::BuildText(u"elsewhere", {0, 0}, {.page = 1}));
    const auto save = [&](const std::string& name, int page) {
        std::vector<std::string> notices;
        EXPECT_TRUE(SaveDrawing(drawing, In(name), page, -1, -1, [&](std::string_view n) {
            notices.emplace_back(n);
        })) << drawing.GetErrorMessage();
        return notices;
    };
    std::vector<std::string> notices = save("page.plt", 0);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], kOnePageMessage);
    EXPECT_NE(notices[1].find("2 texts and 1 image"), std::string::npos) << notices[1];
    notices = save("page.plt", 1);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_NE(notices[1].find("1 text of"), std::string::npos) << notices[1];
    // Formats that keep texts and images say nothing more than the one-page notice.
    for (const std::string name : {"page.dxf", "page.emf", "page.ai", "page.svg"})
        EXPECT_EQ(save(name, 0), std::vector<std::string>{std::string(kOnePageMessage)}) << name;
    // A page of outlines alone goes without a word.
    drawing.RemoveAt(1, 4);
    drawing.SetPageCount(1);
    EXPECT_TRUE(save("page.plt", 0).empty());
}

// Every other format holds one page: the caller is told, the drawing keeps its pages, and the file opens
// again with the current page's outline at its size. A file that cannot be written or read says why.
TEST_F(FormatDispatch, ExportsWriteTheCurrentPageOnlyAndOpenAgain) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(test::BuildPath({test::BoxNodes({0, 40, 0, 40})}, {.brushStyle = kBrushHollow}));
    drawing.Add(test::BuildPath({test::BoxNodes({0, 100, 0, 50})}, {.brushStyle = kBrushHollow, .page = 1}));
    for (const std::string name : {"PLAN.DXF", "Plan.PLT", "page.EMF", "Show.AI", "page.SVG"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(CanOpenDrawing(name));
        EXPECT_TRUE(CanSaveDrawing(name));
        EXPECT_FALSE(SavesEveryPage(name));
        std::vector<std::string> notices;
        ASSERT_TRUE(SaveDrawing(drawing, In(name), 1, -1, -1, [&](std::string_view n) {
            notices.emplace_back(n);
        })) << drawing.GetErrorMessage();
        EXPECT_EQ(notices, std::vector<std::string>{std::string(kOnePageMessage)});
        EXPECT_EQ(drawing.Count(), 2);
        EXPECT_EQ(drawing.PageCount(), 2);
        EXPECT_EQ(drawing.GetAt(1)->page, 1);

        CDrawing back;
        ASSERT_TRUE(OpenDrawing(back, In(name))) << back.GetErrorMessage();
        ASSERT_EQ(back.Count(), 1);
        EXPECT_EQ(back.GetAt(0)->page, 0);
        EXPECT_NEAR(back.GetAt(0)->bounds.Width(), 100.0f, 0.01);

        // A folder that does not exist cannot take the file: the message names it.
        EXPECT_FALSE(SaveDrawing(drawing, In("missing/" + name), 0, -1, -1, nullptr));
        EXPECT_NE(drawing.GetErrorMessage().find("missing/" + name), std::string::npos)
            << drawing.GetErrorMessage();
    }

    const struct {
        const char* name;
        const char* content;
        const char* reason;
    } broken[] = {
        {"broken.dxf", "0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n", "DXF: the file has no ENTITIES section"},
        {"bad.wmf", "not a metafile at all", "metafile"},
    };
    for (const auto& file : broken) {
        SCOPED_TRACE(file.name);
        std::ofstream(In(file.name)) << file.content;
        CDrawing back;
        ASSERT_TRUE(OpenDrawing(back, In("page.EMF")));
        EXPECT_FALSE(OpenDrawing(back, In(file.name)));
        EXPECT_EQ(back.Count(), 0); // nothing of the drawing that was there is left
        EXPECT_NE(back.GetErrorMessage().find(file.reason), std::string::npos) << back.GetErrorMessage();
    }
}

} // namespace
} // namespace pq
