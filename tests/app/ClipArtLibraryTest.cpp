// The clip-art library's folders and its two dialogs' models, on real folders: what the Library dialog
// lists, inserts, renames and deletes, and what Send to Library writes.

#include "app/ClipArtLibrary.h"
#include "app/LibraryBrowser.h"
#include "document/PreferenceStore.h"
#include "formats/FormatDispatch.h"
#include "model/Drawing.h"
#include "platform/DeviceContext.h"
#include "platform/image/ImageFile.h"

#include "PeerHelpers.h"
#include "RasterHelpers.h"
#include "model/ModelTestHelpers.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace pq {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class ClipArtLibraryTest : public ::testing::Test {
protected:
    ClipArtLibraryTest() {
        Put("Shapes/star.ai", "star drawing");
        Put("Shapes/star.bmp", "star picture");
        Put("Shapes/moon.emf", "moon drawing");
        Put("Shapes/notes.txt", "not an item");
        Put("Shapes/.hidden.ai", "hidden");
        Put("Arrows/right.ai", "right drawing");
        Put("custom.pal", "the palette lives here too");
        fs::create_directories(temp.Path() / "Library" / ".trash");
    }
    void Put(const std::string& relative, const std::string& text) {
        const fs::path path = temp.Path() / "Library" / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    [[nodiscard]] std::string At(const std::string& relative) const {
        return (temp.Path() / "Library" / relative).string();
    }
    [[nodiscard]] bool Exists(const std::string& relative) const { return fs::exists(At(relative)); }
    [[nodiscard]] CClipArtLibrary Library() const { return CClipArtLibrary(Root()); }
    [[nodiscard]] std::string Root() const { return CClipArtLibrary::RootIn(temp.Path().string()); }
    static Strings Names(const std::vector<CClipArtItem>& items) {
        Strings names;
        for (const CClipArtItem& item : items)
            names.push_back(item.name);
        return names;
    }
    // The browser on the "Shapes" category with the named item selected.
    CLibraryBrowser OnShapes(const std::string& item) {
        preferences.WriteInt(CCategoryChoice::kLastCategoryName, 1);
        CLibraryBrowser browser(Library(), &preferences);
        EXPECT_EQ(browser.CategoryName(), "Shapes");
        const Strings names = Names(browser.GetItems());
        browser.SelectItem(static_cast<int>(std::find(names.begin(), names.end(), item) - names.begin()));
        return browser;
    }

    test::CTempFolder temp;
    CMemoryPreferenceStore preferences;
};

TEST_F(ClipArtLibraryTest, CategoriesAreFoldersAndItemsAreMetafilesThenIllustratorFilesWithTheirPictures) {
    EXPECT_EQ(Library().Categories(), (Strings{"Arrows", "Shapes"}));
    const std::vector<CClipArtItem> items = Library().Items("Shapes");
    EXPECT_EQ(Names(items), (Strings{"moon.emf", "star.ai"}));
    EXPECT_EQ(items[1].path, At("Shapes/star.ai"));
    EXPECT_EQ(items[1].thumbnailPath, At("Shapes/star.bmp"));
    EXPECT_EQ(items[0].thumbnailPath, At("Shapes/moon.bmp"));
    // A name that would leave the library lists nothing.
    EXPECT_TRUE(Library().Items("..").empty());
    EXPECT_TRUE(Library().Items("Shapes/../Arrows").empty());
    // A missing library is empty, and the dialogs make its folder.
    CClipArtLibrary missing(temp.File("elsewhere/Library"));
    EXPECT_TRUE(missing.Categories().empty());
    CLibraryBrowser browser(missing, nullptr);
    EXPECT_TRUE(fs::is_directory(temp.File("elsewhere/Library")));
    EXPECT_EQ(browser.GetCategory(), -1);
    EXPECT_TRUE(browser.GetItems().empty());
    EXPECT_FALSE(browser.Ok());
}

TEST_F(ClipArtLibraryTest, LastCategoryIsRestoredWhenValidAndRememberedOnInsert) {
    preferences.WriteInt(CCategoryChoice::kLastCategoryName, 7);
    CLibraryBrowser browser(Library(), &preferences);
    EXPECT_EQ(browser.CategoryName(), "Arrows");
    EXPECT_EQ(Names(browser.GetItems()), Strings{"right.ai"});
    EXPECT_EQ(browser.GetItem(), -1);
    // Insert needs an item.
    EXPECT_FALSE(browser.Ok());
    EXPECT_EQ(preferences.ReadInt(CCategoryChoice::kLastCategoryName, -1), 7);

    browser.SelectCategory(1);
    EXPECT_EQ(Names(browser.GetItems()), (Strings{"moon.emf", "star.ai"}));
    browser.SelectItem(1);
    EXPECT_EQ(browser.Ok(), At("Shapes/star.ai"));
    EXPECT_EQ(browser.GetChosenPath(), At("Shapes/star.ai"));
    EXPECT_EQ(preferences.ReadInt(CCategoryChoice::kLastCategoryName, -1), 1);
    // The next dialog opens where this one closed.
    EXPECT_EQ(CLibraryBrowser(Library(), &preferences).CategoryName(), "Shapes");
}

TEST_F(ClipArtLibraryTest, RenamingAnItemMovesItsPictureAndRefusesATakenName) {
    CLibraryBrowser browser = OnShapes("star.ai");
    // Onto an existing name (the moon's picture would be taken too): refused, both left alone.
    Put("Shapes/moon.ai", "another moon");
    browser.FillItems("star.ai");
    EXPECT_EQ(browser.RenameItem("moon.ai"), "An item named 'moon.ai' already exists.");
    EXPECT_EQ(test::ReadFileText(At("Shapes/star.ai")), "star drawing");
    EXPECT_EQ(test::ReadFileText(At("Shapes/moon.ai")), "another moon");
    EXPECT_EQ(browser.GetItems()[static_cast<std::size_t>(browser.GetItem())].name, "star.ai");

    // A picture of the new name that belongs to nobody is never replaced.
    Put("Shapes/sun.bmp", "someone's picture");
    EXPECT_EQ(browser.RenameItem("sun"), "The name 'sun' is taken by another item's picture.");
    EXPECT_TRUE(Exists("Shapes/star.ai"));

    // A name typed without the extension keeps the item's type; the picture follows.
    EXPECT_EQ(browser.RenameItem("comet"), "");
    EXPECT_FALSE(Exists("Shapes/star.ai"));
    EXPECT_EQ(test::ReadFileText(At("Shapes/comet.ai")), "star drawing");
    EXPECT_EQ(test::ReadFileText(At("Shapes/comet.bmp")), "star picture");
    EXPECT_EQ(browser.GetItems()[static_cast<std::size_t>(browser.GetItem())].name, "comet.ai");

    // Names that would leave the category, or hide the item, are refused.
    for (const char* bad : {"../../escape", "a/b", ".ai", ".secret"}) {
        EXPECT_NE(browser.RenameItem(bad), "") << bad;
        EXPECT_TRUE(Exists("Shapes/comet.ai")) << bad;
    }
    EXPECT_FALSE(fs::exists(temp.File("escape.ai")));
}

TEST_F(ClipArtLibraryTest, DeletingAnItemAsksFirstAndKeepsAPictureAnotherItemShares) {
    CLibraryBrowser browser = OnShapes("star.ai");
    Strings asked;
    EXPECT_EQ(browser.DeleteItem([&](std::string_view q) {
        asked.emplace_back(q);
        return false;
    }),
              "");
    EXPECT_EQ(asked, Strings{"Are you sure you want\nto delete'star.ai'?"});
    EXPECT_TRUE(Exists("Shapes/star.ai"));

    // star.emf shares star.bmp: deleting star.ai leaves the picture to it.
    Put("Shapes/star.emf", "star metafile");
    browser.FillItems("star.ai");
    EXPECT_EQ(browser.DeleteItem([](std::string_view) { return true; }), "");
    EXPECT_FALSE(Exists("Shapes/star.ai"));
    EXPECT_TRUE(Exists("Shapes/star.bmp"));
    EXPECT_EQ(Names(browser.GetItems()), (Strings{"moon.emf", "star.emf"}));
    browser.SelectItem(1);
    EXPECT_EQ(browser.DeleteItem([](std::string_view) { return true; }), "");
    EXPECT_FALSE(Exists("Shapes/star.emf"));
    EXPECT_FALSE(Exists("Shapes/star.bmp"));
    EXPECT_EQ(browser.GetItem(), -1);
}

TEST_F(ClipArtLibraryTest, OnlyAnEmptyCategoryIsDeletedAndCategoryNamesStayInsideTheLibrary) {
    CLibraryBrowser browser(Library(), &preferences);
    ASSERT_EQ(browser.CategoryName(), "Arrows");
    EXPECT_FALSE(browser.CanDeleteCategory());
    EXPECT_EQ(browser.DeleteCategory([](std::string_view) { return true; }), "");
    EXPECT_TRUE(Exists("Arrows/right.ai"));

    // New categories: taken, empty or escaping names are refused; a good one is made and chosen.
    EXPECT_EQ(browser.CreateCategory("Shapes"), "A category named 'Shapes' already exists.");
    for (const char* bad : {"..", "../Outside", "a\\b", ".dot"})
        EXPECT_NE(browser.CreateCategory(bad), "") << bad;
    EXPECT_FALSE(fs::exists(temp.File("Outside")));
    EXPECT_EQ(browser.CreateCategory("Stars"), "");
    EXPECT_EQ(browser.CategoryName(), "Stars");
    EXPECT_TRUE(browser.GetItems().empty());
    EXPECT_TRUE(browser.CanDeleteCategory());

    // Renaming onto an existing category is refused; the rename keeps the choice on the category.
    EXPECT_EQ(browser.RenameCategory("Arrows"), "A category named 'Arrows' already exists.");
    EXPECT_EQ(browser.CategoryName(), "Stars");
    EXPECT_EQ(browser.RenameCategory("Comets"), "");
    EXPECT_EQ(browser.CategoryName(), "Comets");

    Strings asked;
    EXPECT_EQ(browser.DeleteCategory([&](std::string_view q) {
        asked.emplace_back(q);
        return true;
    }),
              "");
    EXPECT_EQ(asked, Strings{"Are you sure you want\nto delete'Comets'"});
    EXPECT_FALSE(Exists("Comets"));
    EXPECT_EQ(browser.GetCategories(), (Strings{"Arrows", "Shapes"}));

    // A category whose items are gone but which still holds another file stays, and says why.
    browser.SelectCategory(1);
    for (int i = 0; i < 2; ++i) {
        browser.SelectItem(0);
        EXPECT_EQ(browser.DeleteItem([](std::string_view) { return true; }), "");
    }
    ASSERT_TRUE(browser.CanDeleteCategory());
    EXPECT_NE(browser.DeleteCategory([](std::string_view) { return true; }).find("not empty"),
              std::string::npos);
    EXPECT_TRUE(Exists("Shapes/notes.txt"));
    EXPECT_EQ(browser.CategoryName(), "Shapes");
}

TEST_F(ClipArtLibraryTest, PicturesReadAsRgbRowsFromTheTopScaledToTheListsSize) {
    // A 64 x 64 picture: red on the top half, blue below, one green pixel block at the top left.
    CDibSection picture = test::MakeBitmap(64, 64, 24, 0xFF0000);
    {
        CDeviceContext dc(&picture);
        dc.FillSolidRect(CRect(0, 0, 64, 32), 0x0000FF);
        dc.FillSolidRect(CRect(0, 0, 2, 2), 0x00FF00);
    }
    ASSERT_TRUE(WriteBmpFile(picture, At("Shapes/star.bmp")).ok);
    const auto rgb = LoadThumbnailRgb(At("Shapes/star.bmp"), 32);
    ASSERT_TRUE(rgb.has_value());
    ASSERT_EQ(rgb->size(), 32u * 32 * 3);
    const auto pixel = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * 32 + x) * 3;
        return std::array<int, 3>{(*rgb)[at], (*rgb)[at + 1], (*rgb)[at + 2]};
    };
    EXPECT_EQ(pixel(0, 0), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(pixel(5, 3), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(pixel(31, 31), (std::array<int, 3>{0, 0, 255}));
    // No picture, or something that is none: the list shows its own.
    EXPECT_FALSE(LoadThumbnailRgb(At("Shapes/moon.bmp"), 32).has_value());
    EXPECT_FALSE(LoadThumbnailRgb(At("Shapes/notes.txt"), 32).has_value());
}

class SendToLibraryTest : public ClipArtLibraryTest {
protected:
    SendToLibraryTest() {
        drawing.Add(test::MakeRect({0, 400, 0, 200}, 0x0000FF));
        drawing.Add(test::MakeRect({-500, -450, -500, -450}, 0x00FF00));
        drawing.Add(test::MakeRect({100, 300, 300, 600}, 0xFF0000, 0));
        preferences.WriteInt(CCategoryChoice::kLastCategoryName, 1);
    }
    CSendToLibrary Sender() { return CSendToLibrary(Library(), &preferences, drawing, {0, 2}, false); }

    CDrawing drawing;
};

TEST_F(SendToLibraryTest, TheSelectedObjectsBecomeAnIllustratorItemWithAPictureOfThem) {
    CSendToLibrary sender = Sender();
    EXPECT_EQ(sender.CategoryName(), "Shapes");
    sender.SelectCategory(0);
    sender.SetName("boxes.ai"); // the extension is not doubled
    const CSendToLibrary::CResult result = sender.Ok(nullptr);
    EXPECT_TRUE(result.close);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.written, At("Arrows/boxes.ai"));
    EXPECT_EQ(preferences.ReadInt(CCategoryChoice::kLastCategoryName, -1), 0);

    CDrawing item;
    ASSERT_TRUE(OpenDrawing(item, At("Arrows/boxes.ai"))) << item.GetErrorMessage();
    ASSERT_EQ(item.Count(), 2);
    EXPECT_EQ(item.GetAt(0)->color, 0x0000FFu);
    EXPECT_EQ(item.GetAt(1)->color, 0xFF0000u);
    // The picture is 32 x 32 and lists with the item.
    CDibSection picture;
    ASSERT_TRUE(LoadImageFile(At("Arrows/boxes.bmp"), picture).ok);
    EXPECT_EQ(picture.GetWidth(), 32);
    EXPECT_EQ(picture.GetHeight(), 32);
    EXPECT_EQ(Names(Library().Items("Arrows")), (Strings{"boxes.ai", "right.ai"}));
    // The drawing sent from is untouched.
    EXPECT_EQ(drawing.Count(), 3);
}

TEST_F(SendToLibraryTest, AnExistingItemIsReplacedOnlyAfterYesAndAnEmptyNameAsksForOne) {
    CSendToLibrary sender = Sender();
    sender.SetName("star");
    Strings asked;
    CSendToLibrary::CResult result = sender.Ok([&](std::string_view q) {
        asked.emplace_back(q);
        return false;
    });
    EXPECT_FALSE(result.close);
    EXPECT_EQ(asked, Strings{"The item 'star' exists\nReplace?"});
    EXPECT_EQ(test::ReadFileText(At("Shapes/star.ai")), "star drawing");
    EXPECT_EQ(test::ReadFileText(At("Shapes/star.bmp")), "star picture");

    result = sender.Ok([](std::string_view) { return true; });
    EXPECT_TRUE(result.close);
    CDrawing item;
    ASSERT_TRUE(OpenDrawing(item, At("Shapes/star.ai"))) << item.GetErrorMessage();
    EXPECT_EQ(item.Count(), 2);
    EXPECT_NE(test::ReadFileText(At("Shapes/star.bmp")), "star picture");

    // An empty name asks for one, keeps the dialog, remembers the category and writes nothing.
    preferences.WriteInt(CCategoryChoice::kLastCategoryName, 0);
    CSendToLibrary empty = Sender();
    empty.SelectCategory(1);
    const auto before = Library().Items("Shapes").size();
    result = empty.Ok(nullptr);
    EXPECT_FALSE(result.close);
    EXPECT_EQ(result.message, "Type a name for the item.");
    EXPECT_EQ(result.written, "");
    EXPECT_EQ(Library().Items("Shapes").size(), before);
    EXPECT_EQ(preferences.ReadInt(CCategoryChoice::kLastCategoryName, -1), 1);
}

TEST_F(SendToLibraryTest, ABadNameOrNoCategoryKeepsTheDialogOpenWithAMessage) {
    CSendToLibrary sender = Sender();
    for (const char* bad : {"../../outside", ".hidden", "a/b"}) {
        sender.SetName(bad);
        const CSendToLibrary::CResult result = sender.Ok([](std::string_view) { return true; });
        EXPECT_FALSE(result.close) << bad;
        EXPECT_NE(result.message, "") << bad;
    }
    EXPECT_FALSE(fs::exists(temp.File("outside.ai")));

    // Without any category the item would land where the Library never shows it.
    CClipArtLibrary empty(temp.File("empty/Library"));
    CSendToLibrary nowhere(empty, &preferences, drawing, {0}, false);
    EXPECT_EQ(nowhere.GetCategory(), -1);
    nowhere.SetName("box");
    CSendToLibrary::CResult result = nowhere.Ok(nullptr);
    EXPECT_FALSE(result.close);
    EXPECT_NE(result.message, "");
    EXPECT_FALSE(fs::exists(temp.File("empty/Library/box.ai")));
    // New Category makes one and chooses it; then the item goes there.
    EXPECT_EQ(nowhere.CreateCategory("Mine"), "");
    EXPECT_EQ(nowhere.CategoryName(), "Mine");
    result = nowhere.Ok(nullptr);
    EXPECT_TRUE(result.close) << result.message;
    EXPECT_TRUE(fs::exists(temp.File("empty/Library/Mine/box.ai")));
    EXPECT_TRUE(fs::exists(temp.File("empty/Library/Mine/box.bmp")));
}

} // namespace
} // namespace pq
