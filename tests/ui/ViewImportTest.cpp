#include "ViewTestSetup.h"

#include "platform/image/ImageFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pq::test {
namespace {

// Import's additions to the view: each lands on the page on screen at the view's top-left corner,
// selected, marks the document modified and undoes in one step.
TEST(ViewImport, PastedAndInsertedObjectsLandOnThePageOnScreenAndUndoInOneStep) {
    CViewSetup s;
    s.Drawing().SetPageCount(2);
    s.Drawing().Add(MakeRect({0, 50, 0, 50}, 1));
    s.Open();
    s.Paint();
    s.view.SetCurrentPage(1);
    s.doc.SetModifiedFlag(false);
    const DrawingSnapshot before = Snapshot(s.Drawing());
    const CPointF corner = s.view.GetMapping().DeviceToDoc(CPoint{10, 10});

    // Without a clipboard there is nothing to paste.
    EXPECT_EQ(s.view.PasteClipboard(), 0);
    CDrawing clipboard;
    clipboard.Add(MakeRect({500, 600, 700, 900}, 7));
    clipboard.Add(MakeRect({550, 560, 800, 810}, 8));
    s.view.SetClipboard(&clipboard);
    ASSERT_EQ(s.view.PasteClipboard(), 2);
    EXPECT_EQ(Tags(s.Drawing()), (std::vector<uint32_t>{1, 7, 8}));
    EXPECT_EQ(s.view.GetSelection(), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.Drawing().GetAt(1)->page, 1);
    EXPECT_NEAR(s.Drawing().GetAt(1)->bounds.left, corner.x, 0.01);
    EXPECT_NEAR(s.Drawing().GetAt(1)->bounds.top, corner.y, 0.01);
    EXPECT_EQ(clipboard.Count(), 2);
    EXPECT_TRUE(s.doc.IsModified());
    EXPECT_EQ(s.Undone(), before);

    // A picture shows at its pixel size with its corner 10 pixels in.
    const std::string path = (std::filesystem::temp_directory_path() / "pq_view_import.bmp").string();
    CDibSection picture;
    ASSERT_TRUE(picture.Create(30, 20, 24));
    ASSERT_TRUE(WriteBmpFile(picture, path).ok);
    ASSERT_TRUE(s.view.InsertImage(path).ok);
    ASSERT_EQ(s.Drawing().Count(), 2);
    const CGraphicObject& image = *s.Drawing().GetAt(1);
    ASSERT_NE(image.AsImage(), nullptr);
    EXPECT_EQ(image.page, 1);
    EXPECT_EQ(s.view.GetSelection(), std::vector<int>{1});
    const CViewMapping& mapping = s.view.GetMapping();
    EXPECT_EQ(mapping.DocToDevice(CPointF{image.bounds.left, image.bounds.top}), (CPoint{10, 10}));
    EXPECT_EQ(mapping.DocToDevice(CPointF{image.bounds.right, image.bounds.bottom}), (CPoint{40, 30}));
    EXPECT_EQ(s.Undone(), before);

    // A file that is no picture inserts nothing.
    std::filesystem::resize_file(path, 10);
    EXPECT_FALSE(s.view.InsertImage(path).ok);
    EXPECT_EQ(Snapshot(s.Drawing()), before);
    std::filesystem::remove(path);
}

} // namespace
} // namespace pq::test
