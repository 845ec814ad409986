// The library's commands on a view: when they are offered, an inserted item arriving as pasted objects
// do (selected, at the view's corner, one undo step), Send to Library writing the selection; the starter
// clip-art reaching a new user's library once; and the shipped items matching their pictures.

#include "FontMetricsSetup.h"
#include "ui/EditTestSetup.h"

#include "app/BundledFiles.h"
#include "app/ClipArtLibrary.h"
#include "app/CommandIds.h"
#include "app/LibraryBrowser.h"
#include "app/LibraryCommands.h"
#include "document/FormatFileOps.h"
#include "document/PreferenceStore.h"
#include "formats/FormatDispatch.h"
#include "platform/image/ImageFile.h"
#include "render/Thumbnail.h"

#include "PeerHelpers.h"
#include "RasterHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace pq {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// Dialogs that run a script on their model as a user would, and answer OK or Cancel.
class CScriptedLibraryDialogs : public ILibraryDialogs {
public:
    bool RunLibraryDialog(CLibraryBrowser& browser) override {
        ++runs;
        categories = browser.GetCategories();
        return browse ? browse(browser) : false;
    }
    bool RunSendToLibraryDialog(CSendToLibrary& sender) override {
        ++runs;
        return send ? send(sender) : false;
    }

    std::function<bool(CLibraryBrowser&)> browse;
    std::function<bool(CSendToLibrary&)> send;
    int runs = 0;
    Strings categories;
};

struct CLibrarySetup : test::CEditSetup {
    CLibrarySetup() : commands(view, CClipArtLibrary::RootIn(temp.Path().string()), &preferences, &dialogs) {
        doc.SetFileOps(&files);
        view.SetClipboard(&clipboard);
    }
    bool Enabled(int id) {
        bool enabled = false, checked = false;
        EXPECT_TRUE(commands.OnUpdateCommand(id, enabled, checked));
        return enabled;
    }
    [[nodiscard]] std::string Root() const { return CClipArtLibrary::RootIn(temp.Path().string()); }

    test::CTempFolder temp;
    CFormatFileOps files;
    CDrawing clipboard; // the application's, which Import reads the item into
    CMemoryPreferenceStore preferences;
    CScriptedLibraryDialogs dialogs;
    CLibraryCommands commands;
};

TEST(LibraryCommands, SendToLibraryIsOfferedForASelectionWithTheSelectToolAndLibraryAlways) {
    CLibrarySetup s;
    s.Start();
    EXPECT_TRUE(s.Enabled(cmd::kLibrary));
    EXPECT_FALSE(s.Enabled(cmd::kSendToLibrary)); // an empty drawing
    s.Drawing().Add(test::MakeRect({0, 100, 0, 100}));
    s.Select({});
    EXPECT_FALSE(s.Enabled(cmd::kSendToLibrary)); // nothing selected
    s.Select({0});
    EXPECT_TRUE(s.Enabled(cmd::kSendToLibrary));
    s.view.SetTool(ToolKind::Rectangle);
    EXPECT_FALSE(s.Enabled(cmd::kSendToLibrary)); // another tool
    bool enabled = false, checked = false;
    EXPECT_FALSE(s.commands.OnUpdateCommand(cmd::kUndo, enabled, checked)); // not ours
}

TEST(LibraryCommands, ASentItemInsertedBackLandsSelectedAtTheViewsCornerAndUndoesInOneStep) {
    CLibrarySetup s;
    s.Drawing().SetPageCount(2);
    s.Drawing().Add(test::MakeRect({0, 300, 0, 200}, 0x0000FF));
    s.Drawing().Add(test::MakeRect({400, 500, 0, 100}, 0x00FF00));
    s.Start();
    fs::create_directories(s.Root() + "/Boxes");

    // Send the first rectangle.
    s.Select({0});
    s.dialogs.send = [](CSendToLibrary& sender) {
        sender.SetName("red box");
        return sender.Ok(nullptr).close;
    };
    s.view.OnCommand(cmd::kSendToLibrary); // the view's own handler knows nothing of it
    ASSERT_TRUE(s.commands.OnCommand(cmd::kSendToLibrary));
    ASSERT_TRUE(fs::exists(s.Root() + "/Boxes/red box.ai"));
    EXPECT_TRUE(fs::exists(s.Root() + "/Boxes/red box.bmp"));
    EXPECT_FALSE(s.doc.IsModified());

    // Insert it on the second page: it arrives as pasted objects do.
    s.view.SetCurrentPage(1);
    s.view.SetTool(ToolKind::Rectangle);
    const test::DrawingSnapshot before = test::Snapshot(s.Drawing());
    const int stepsBefore = s.view.GetUndoRecorder().CanUndo();
    s.dialogs.browse = [](CLibraryBrowser& browser) {
        browser.SelectItem(0);
        return browser.Ok().has_value();
    };
    ASSERT_TRUE(s.commands.LibraryCommand());
    EXPECT_EQ(s.dialogs.categories, Strings{"Boxes"});
    ASSERT_EQ(s.Drawing().Count(), 3);
    const CGraphicObject& inserted = *s.Drawing().GetAt(2);
    EXPECT_EQ(inserted.page, 1);
    EXPECT_EQ(inserted.color, 0x0000FFu);
    EXPECT_NEAR(inserted.bounds.right - inserted.bounds.left, 300, 1);
    EXPECT_NEAR(inserted.bounds.bottom - inserted.bounds.top, 200, 1);
    const CPointF corner = s.view.GetMapping().DeviceToDoc(CPoint{10, 10});
    EXPECT_NEAR(inserted.bounds.left, corner.x, 0.5);
    EXPECT_NEAR(inserted.bounds.top, corner.y, 0.5);
    EXPECT_EQ(s.view.GetSelection(), std::vector<int>{2});
    EXPECT_TRUE(s.view.IsToolCurrent(ToolKind::Select));
    EXPECT_TRUE(s.doc.IsModified());
    EXPECT_EQ(s.view.GetUndoRecorder().CanUndo(), stepsBefore + 1);
    s.view.OnCommand(cmd::kUndo);
    EXPECT_EQ(test::Snapshot(s.Drawing()), before);

    // The application's clipboard is as it was.
    EXPECT_EQ(s.clipboard.Count(), 0);
    // Cancel inserts nothing.
    s.dialogs.browse = [](CLibraryBrowser& browser) {
        browser.SelectItem(0);
        return false;
    };
    EXPECT_FALSE(s.commands.LibraryCommand());
    EXPECT_EQ(test::Snapshot(s.Drawing()), before);
}

TEST(BundledLibrary, TheStarterClipArtReachesANewLibraryOnceByCategory) {
    test::CTempFolder temp;
    const std::string bundled = temp.File("bundled");
    const std::string user = temp.File("data/Library");
    for (const char* file : {"Arrows/right.ai", "Arrows/right.bmp", "Shapes/moon.emf", "Shapes/readme.txt"}) {
        fs::create_directories(fs::path(bundled + "/" + file).parent_path());
        std::ofstream(bundled + "/" + file) << "bundled " << file;
    }
    static constexpr std::string_view kFiles[] = {".ai", ".emf", ".bmp"};
    // The user's palette is already there: the library is copied into the folder anyway.
    fs::create_directories(user);
    std::ofstream(user + "/custom.pal") << "palette";

    CBundledCopy first = CopyBundledTree(bundled, user, kFiles);
    EXPECT_EQ(first.message, "");
    EXPECT_EQ(first.copied, (Strings{"Arrows/right.ai", "Arrows/right.bmp", "Shapes/moon.emf"}));
    EXPECT_EQ(test::ReadFileText(user + "/Arrows/right.ai"), "bundled Arrows/right.ai");
    EXPECT_FALSE(fs::exists(user + "/Shapes/readme.txt"));
    EXPECT_EQ(CClipArtLibrary(user).Categories(), (Strings{"Arrows", "Shapes"}));
    EXPECT_TRUE(CopyBundledTree(bundled, user, kFiles).copied.empty());

    // A deleted category stays deleted, a renamed one is not brought back beside the new name, the
    // user's own file is never replaced, and an item bundled later arrives.
    fs::remove_all(user + "/Shapes");
    fs::rename(user + "/Arrows", user + "/Pointers");
    fs::create_directories(user + "/Stars");
    std::ofstream(user + "/Stars/big.ai") << "mine";
    fs::create_directories(bundled + "/Stars");
    std::ofstream(bundled + "/Stars/big.ai") << "bundled big";
    std::ofstream(bundled + "/Stars/small.ai") << "bundled small";
    const CBundledCopy later = CopyBundledTree(bundled, user, kFiles);
    EXPECT_EQ(later.copied, Strings{"Stars/small.ai"});
    EXPECT_EQ(CClipArtLibrary(user).Categories(), (Strings{"Pointers", "Stars"}));
    EXPECT_EQ(test::ReadFileText(user + "/Stars/big.ai"), "mine");
}

TEST(BundledLibrary, EveryShippedItemOpensAndItsPictureShowsIt) {
    const CClipArtLibrary library(PQ_TEST_DATA_DIR "/../../resources/library");
    const Strings categories = library.Categories();
    EXPECT_GE(categories.size(), 4u);
    std::size_t count = 0;
    for (const std::string& category : categories) {
        for (const CClipArtItem& item : library.Items(category)) {
            ++count;
            CDrawing drawing;
            ASSERT_TRUE(OpenDrawing(drawing, item.path)) << item.path << ": " << drawing.GetErrorMessage();
            EXPECT_GT(drawing.Count(), 0) << item.path;
            CDibSection stored;
            ASSERT_TRUE(LoadImageFile(item.thumbnailPath, stored).ok) << item.thumbnailPath;
            ASSERT_EQ(stored.GetWidth(), 32) << item.thumbnailPath;
            ASSERT_EQ(stored.GetHeight(), 32) << item.thumbnailPath;
            // The picture is of the drawing as it reads back: drawn again from the file, nearly every
            // pixel agrees, and it is no blank square.
            const auto drawn = RenderObjectsThumbnail(drawing, 0, 32, false);
            ASSERT_TRUE(drawn.has_value());
            EXPECT_GE(test::CountAgreeing(stored, *drawn, 48), 32 * 32 * 9 / 10) << item.path;
            const CRect ink = test::InkBox(stored);
            EXPECT_GE(std::max(ink.Width(), ink.Height()), 24) << item.path;
        }
    }
    EXPECT_GE(count, 24u);
}

} // namespace
} // namespace pq
