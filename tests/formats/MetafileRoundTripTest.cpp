#include "MetafileTestHelpers.h"
#include "TestHelpers.h"

#include "bench/BusyPage.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

// A page with filled and unfilled paths of several pens, curves, a path of two subpaths, a text of two
// lines, a picture and two groups.
void FillPage(CDrawing& drawing) {
    drawing.Add(test::MakePathObject({test::Square(-300, -200, 100)}, kPenSolid, kBrushSolid, 3, 0x112233,
                                     0x445566, 0, 1));
    CNodeArray curve;
    curve.Add({{0, 0}, {0, 0}, {50, -80}});
    curve.Add({{120, -80}, {150, 0}, {150, 0}});
    drawing.Add(test::MakePathObject({curve, test::Polyline({{0, 50}, {150, 60}})}, kPenDash, kBrushHollow, 0,
                                     0x0000FF, 0, 0, 1));
    drawing.Add(test::MakeTextObject(u"Hello\r\nworld", {-250, 100}));
    drawing.GetAt(2)->group = 2;
    drawing.Add(
        test::MakePathObject({test::Square(200, 150, 60)}, kPenNull, kBrushSolid, 9, 0, 0x00C000, 0, 2));
    drawing.Add(test::MakeImageObject({-100, 0, 200, 260}));
    drawing.Add(test::MakePathObject({test::Polyline({{-300, 300}, {260, 300}})}, kPenSolid, kBrushHollow, 6,
                                     0x808080));
}

TEST(MetafileRoundTrip, PathsColoursPensAndGroupsComeBackAtTheSameSize) {
    CDrawing drawing;
    FillPage(drawing);
    CDrawing back;
    ASSERT_TRUE(test::ReadMetafile(CMetafile::ExportToMemory(drawing, 0), back)) << back.GetErrorMessage();
    EXPECT_TRUE(back.GetErrorMessage().empty()) << back.GetErrorMessage();

    // Every path in order, the two-line text as two objects, the picture.
    ASSERT_EQ(back.Count(), 7);
    const int paths[] = {0, 1, 4, 6};
    const int sources[] = {0, 1, 3, 5};
    // The content comes back centred on the origin: compare positions relative to the first square.
    const CPointF shift = back.GetAt(0)->AsPath()->subpaths[0]->operator[](0).anchor - CPointF{-300, -200};
    for (int k = 0; k < 4; ++k) {
        const CGraphicObject& source = *drawing.GetAt(sources[k]);
        const CGraphicObject& read = *back.GetAt(paths[k]);
        const CPathShape* a = source.AsPath();
        const CPathShape* b = read.AsPath();
        ASSERT_NE(b, nullptr) << "object " << paths[k];
        EXPECT_EQ(b->penStyle, a->penStyle);
        EXPECT_EQ(b->penWidth, a->penWidth);
        EXPECT_EQ(b->penColor, a->penColor);
        EXPECT_EQ(b->brushStyle, a->brushStyle);
        if (a->brushStyle != kBrushHollow) {
            EXPECT_EQ(read.color, source.color);
        }
        ASSERT_EQ(b->subpaths.size(), a->subpaths.size());
        for (std::size_t s = 0; s < a->subpaths.size(); ++s) {
            const CNodeArray& na = *a->subpaths[s];
            const CNodeArray& nb = *b->subpaths[s];
            // Closed subpaths gain no node on reload.
            ASSERT_EQ(nb.GetSize(), na.GetSize());
            for (std::size_t i = 0; i < na.GetSize(); ++i) {
                EXPECT_TRUE(test::ExpectNear(nb[i].anchor - shift, na[i].anchor, 0.51));
                EXPECT_TRUE(test::ExpectNear(nb[i].in - shift, na[i].in, 0.51));
                EXPECT_TRUE(test::ExpectNear(nb[i].out - shift, na[i].out, 0.51));
            }
        }
    }
    const CTextShape* hello = back.GetAt(2)->AsText();
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(hello->text, u"Hello");
    EXPECT_EQ(back.GetAt(3)->AsText()->text, u"world");
    EXPECT_EQ(hello->faceName, u"Liberation Sans");
    EXPECT_EQ(back.GetAt(2)->color, drawing.GetAt(2)->color);
    EXPECT_TRUE(test::ExpectNear(hello->position - shift, {-250, 100}, 0.51));
    const CImageShape* image = back.GetAt(5)->AsImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitmap, drawing.GetAt(4)->AsImage()->bitmap);
    EXPECT_TRUE(test::ExpectNear(image->placement.TopLeft() - shift, {-100, 200}, 0.51));

    // Groups: the first square with the curve, the text's lines with the green square.
    EXPECT_EQ(back.GetAt(0)->group, back.GetAt(1)->group);
    EXPECT_NE(back.GetAt(0)->group, 0);
    EXPECT_EQ(back.GetAt(2)->group, back.GetAt(3)->group);
    EXPECT_EQ(back.GetAt(2)->group, back.GetAt(4)->group);
    EXPECT_NE(back.GetAt(2)->group, back.GetAt(0)->group);
    EXPECT_EQ(back.GetAt(5)->group, 0);
    EXPECT_EQ(back.GetAt(6)->group, 0);

    // The same size: the frame spans the written bounds whatever the text measures on reading.
    EXPECT_NEAR(back.GetAt(0)->bounds.Width(), drawing.GetAt(0)->bounds.Width(), 0.01);
}

TEST(MetafileRoundTrip, ABusyPageReadsBackWholeWithinTheReadersBounds) {
    CDrawing drawing;
    bench::BuildBusyPaths(drawing, 3, false);
    CDrawing back;
    ASSERT_TRUE(test::ReadMetafile(CMetafile::ExportToMemory(drawing, 0), back));
    EXPECT_EQ(back.Count(), drawing.Count());
    EXPECT_TRUE(back.GetErrorMessage().empty()) << back.GetErrorMessage();
}

TEST(MetafileRoundTrip, ALargeDrawingReadsBackAtItsTrueSize) {
    CDrawing drawing;
    drawing.Add(
        test::MakePathObject({test::Polyline({{-50000, -100}, {50000, 100}})}, kPenSolid, kBrushHollow, 30));
    CDrawing back;
    ASSERT_TRUE(test::ReadMetafile(CMetafile::ExportToMemory(drawing, 0), back));
    ASSERT_EQ(back.Count(), 1);
    EXPECT_NEAR(back.GetAt(0)->bounds.Width(), 100000.0, 5.0);
    EXPECT_NEAR(back.GetAt(0)->AsPath()->penWidth, 30, 1);
}

} // namespace
} // namespace pq
