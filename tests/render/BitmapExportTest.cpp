#include "render/BitmapExport.h"

#include "RasterHelpers.h"
#include "SampleDrawings.h"
#include "geometry/Transform.h"
#include "platform/image/ImageFile.h"

#include "PeerHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pq {
namespace {

TEST(BitmapExport, TheEndingChoosesTheFormatInAnyCase) {
    EXPECT_EQ(BitmapFormatOf("picture.BMP"), BitmapFormat::Bmp);
    EXPECT_EQ(BitmapFormatOf("picture.jpeg"), BitmapFormat::Jpeg);
    EXPECT_EQ(BitmapFormatOf("a.JPG"), BitmapFormat::Jpeg);
    EXPECT_EQ(BitmapFormatOf("a.png"), BitmapFormat::Png);
    EXPECT_EQ(BitmapFormatOf("a.gif"), BitmapFormat::None);
    EXPECT_EQ(BitmapFormatOf("a.2bp"), BitmapFormat::None);
    EXPECT_EQ(BitmapFormatOf("jpg"), BitmapFormat::Jpeg); // only the last characters count
    // Save As hands these names to the export; ".jpeg" is not one of them.
    for (const char* name : {"a.bmp", "A.JPG", "x.Gif", "p.png", "q.2bp"})
        EXPECT_TRUE(IsBitmapExportName(name)) << name;
    for (const char* name : {"a.jpeg", "a.pdf", "bmp", ""})
        EXPECT_FALSE(IsBitmapExportName(name)) << name;
}

TEST(BitmapExport, PagesExportAtScreenSizeUnlessLargerThanTheLimit) {
    // At 96 pixels per inch a 793.75-unit page is 300 pixels wide.
    const float unitsFor300 = 300.0f / (96 * 0.003937008f);
    const float unitsFor200 = 200.0f / (96 * 0.003937008f);
    EXPECT_EQ(ExportPixelSize(unitsFor300, unitsFor200, 96, 640, 640), (CPixelSize{300, 200}));
    EXPECT_EQ(ExportPixelSize(unitsFor300, unitsFor200, 96, 240, 240), (CPixelSize{240, 160}));
    EXPECT_EQ(ExportPixelSize(unitsFor200, 2 * unitsFor200, 96, 240, 240), (CPixelSize{120, 240}));
    EXPECT_EQ(ExportPixelSize(-unitsFor300, unitsFor200, 96, 640, 640), (CPixelSize{300, 200}));
}

class BitmapExportFiles : public ::testing::Test {
protected:
    void SetUp() override { test::BuildShowcase(drawing); }

    std::string In(const std::string& name) const { return folder.File(name); }

    test::CTempFolder folder;
    CDrawing drawing;
};

TEST_F(BitmapExportFiles, WritesEachFormatUnderItsOwnExtension) {
    std::string written;
    ASSERT_TRUE(ExportPageBitmap(drawing, 0, In("page.jpeg"), 74, 105, true, &written).ok);
    EXPECT_EQ(written, In("page.jpg"));
    ASSERT_TRUE(ExportPageBitmap(drawing, 0, In("page.BMP"), 74, 105, false, &written).ok);
    EXPECT_EQ(written, In("page.bmp"));
    ASSERT_TRUE(ExportPageBitmap(drawing, 0, In("page.png"), 74, 105, false, &written).ok);
    for (const char* name : {"page.jpg", "page.bmp", "page.png"}) {
        CDibSection back;
        ASSERT_TRUE(LoadImageFile(In(name), back).ok) << name;
        EXPECT_EQ(back.GetWidth(), 74);
        EXPECT_EQ(back.GetHeight(), 105);
    }
    EXPECT_FALSE(std::filesystem::exists(In("page.jpeg")));
}

TEST_F(BitmapExportFiles, FailuresAreReportedNotSkipped) {
    const CImageResult gif = ExportPageBitmap(drawing, 0, In("page.gif"), 74, 105, false, nullptr);
    EXPECT_FALSE(gif.ok);
    EXPECT_NE(gif.message.find(".bmp, .jpg or .png"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(In("page.gif")));
    EXPECT_FALSE(ExportPageBitmap(drawing, 0, In("missing/page.jpg"), 74, 105, false, nullptr).ok);
    EXPECT_FALSE(ExportPageBitmap(drawing, 0, In("page.bmp"), 0, 105, false, nullptr).ok);
    std::filesystem::create_directories(folder.Path() / "taken.jpg"); // a folder where the file should go
    EXPECT_FALSE(ExportPageBitmap(drawing, 0, In("taken.jpg"), 74, 105, false, nullptr).ok);
}

// The page drawn a few objects at a time over what came before gives the pixels it gives drawn at once,
// for every edge style, with and without the smoothing filter; the failures are ExportPageBitmap's.
TEST_F(BitmapExportFiles, APagePaintedInPartsIsThePagePaintedWhole) {
    // Overlapping objects: the second copy of the showcase is shifted over the first.
    const int count = drawing.Count();
    for (int i = 0; i < count; ++i) {
        auto copy = CDrawing::CloneObject(*drawing.GetAt(i));
        CTransform shift;
        shift.Translate(37.0f, 53.0f, 0.0f);
        copy->Transform(shift);
        drawing.Add(std::move(copy));
    }
    for (const EdgeStyle edges : {EdgeStyle::Aliased, EdgeStyle::Smooth}) {
        for (const bool antiAlias : {false, true}) {
            SCOPED_TRACE(testing::Message() << "smooth " << (edges == EdgeStyle::Smooth) << " filter "
                                            << antiAlias);
            ASSERT_TRUE(ExportPageBitmap(drawing, 0, In("whole.bmp"), 296, 420, antiAlias, nullptr, edges).ok);
            CPageBitmapPainter painter(296, 420, antiAlias, edges);
            for (int first = 0; first < drawing.Count(); first += 3) {
                CDrawing part;
                part.SetPageSize(drawing.GetPageWidth(), drawing.GetPageHeight());
                for (int i = first; i < std::min(first + 3, drawing.Count()); ++i)
                    part.Add(CDrawing::CloneObject(*drawing.GetAt(i)));
                painter.Paint(part, 0);
            }
            std::string written;
            ASSERT_TRUE(painter.Write(In("parts.BMP"), &written).ok);
            EXPECT_EQ(written, In("parts.bmp"));
            EXPECT_EQ(test::ReadFileText(In("parts.bmp")), test::ReadFileText(In("whole.bmp")));
        }
    }
    CPageBitmapPainter blank(30, 20, false);
    ASSERT_TRUE(blank.Write(In("blank.bmp"), nullptr).ok);
    CDibSection back;
    ASSERT_TRUE(LoadImageFile(In("blank.bmp"), back).ok);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(test::PixelAt(back, x, y), 0xFFFFFFu) << x << "," << y;

    const CImageResult gif = CPageBitmapPainter(74, 105, false).Write(In("page.gif"), nullptr);
    EXPECT_EQ(gif.message, ExportPageBitmap(drawing, 0, In("page.gif"), 74, 105, false, nullptr).message);
    const CImageResult empty = CPageBitmapPainter(0, 105, false).Write(In("page.png"), nullptr);
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.message, ExportPageBitmap(drawing, 0, In("page.png"), 0, 105, false, nullptr).message);
}

} // namespace
} // namespace pq
