// What a file costs to open grows with the file, not faster: long paths and pictures shown many times.

#include "PdfTestHelpers.h"
#include "TestHelpers.h"

namespace pq {
namespace {

using namespace test;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(PdfReaderCost, APictureShownManyTimesIsStoredAndHeldOnce) {
    CDrawing drawing;
    drawing.Add(MakeImageObject({0, 100, 0, 100}, 64, 48));
    for (int i = 1; i < 1000; ++i) {
        auto copy = drawing.GetAt(0)->Clone();
        copy->AsImage()->placement = {float(i), float(i) + 10, 0, 10};
        copy->RecalcBounds();
        drawing.Add(std::move(copy));
    }
    // A copy that was written to is a picture of its own.
    drawing.GetAt(999)->AsImage()->bitmap.GetBits()[0] ^= 0xFF;
    ASSERT_FALSE(drawing.GetAt(999)->AsImage()->bitmap.SharesPixelsWith(drawing.GetAt(0)->AsImage()->bitmap));

    const std::string file = AsText(WritePdf(drawing));
    EXPECT_EQ(Count(file, "/Subtype /Image"), 2u);
    EXPECT_LT(file.size(), 100000u);

    CDrawing back;
    ASSERT_TRUE(ReadPdf(file, back)) << back.GetErrorMessage();
    ASSERT_EQ(back.Count(), 1000);
    const CDibSection& first = back.GetAt(0)->AsImage()->bitmap;
    EXPECT_EQ(first, drawing.GetAt(0)->AsImage()->bitmap);
    for (int i = 1; i < 999; ++i)
        ASSERT_TRUE(back.GetAt(i)->AsImage()->bitmap.SharesPixelsWith(first)) << i;
    EXPECT_EQ(back.GetAt(999)->AsImage()->bitmap, drawing.GetAt(999)->AsImage()->bitmap);
    const CRectF placed = back.GetAt(998)->AsImage()->placement;
    EXPECT_TRUE(ExpectNear(CPointF{placed.left, placed.top}, CPointF{998, 0}, 0.01));
}

// A path of 300000 curves once took minutes and gigabytes: its display polyline grew by a fixed step.
TEST(PdfReaderCost, APathOfManyCurvesCostsWorkLinearInItsSegments) {
    constexpr int kSegments = 300000;
    CNodeArray nodes;
    nodes.SetSize(kSegments + 1);
    for (int i = 0; i <= kSegments; ++i) {
        const float x = static_cast<float>(i % 1000) - 500.0f;
        const float y = static_cast<float>(i / 1000) * 3.0f - 450.0f;
        nodes[static_cast<std::size_t>(i)] = CPathNode({x - 1, y + 40}, {x, y}, {x + 1, y - 40});
    }
    auto object = std::make_unique<CGraphicObject>(kKindPath);
    object->AsPath()->AddSubpath(nodes);
    object->AsPath()->penStyle = kPenSolid;
    object->RecalcBounds();
    CDrawing drawing;
    drawing.Add(std::move(object));

    CDrawing back;
    ASSERT_TRUE(ReadPdf(WritePdf(drawing), back)) << back.GetErrorMessage();
    ASSERT_EQ(back.Count(), 1);
    const CPathShape& path = *back.GetAt(0)->AsPath();
    ASSERT_EQ(path.NodeCount(), static_cast<std::size_t>(kSegments + 1));
    const CPointArray& polyline = *path.polylines.at(0);
    // A bounded number of display points a segment, held in storage that grew geometrically.
    EXPECT_LE(polyline.GetSize(), 3u * 32u * kSegments);
    EXPECT_LE(polyline.GetCapacity(), 2 * polyline.GetSize() + 16);
}

// Curves too wild to flatten finely everywhere still cost a bounded number of points each.
TEST(PdfReaderCost, DisplayPointsOfHugeCurvesAreBounded) {
    constexpr int kSegments = 20000;
    CNodeArray nodes;
    for (int i = 0; i <= kSegments; ++i) {
        const float x = i % 2 == 0 ? -1e6f : 1e6f;
        nodes.Add(CPathNode({x, -1e6f}, {0, static_cast<float>(i)}, {x, 1e6f}));
    }
    CGraphicObject object(kKindPath);
    object.AsPath()->AddSubpath(nodes);
    object.RecalcBounds();
    EXPECT_LE(object.AsPath()->polylines.at(0)->GetSize(), 3u * 64u * kSegments);
}

TEST(PdfReaderCost, ReadingForOnePageFlattensThatPageAlone) {
    CDrawing drawing;
    drawing.SetPageCount(3);
    CNodeArray curve;
    curve.Add({{-400, 600}, {-400, 600}, {-200, 300}});
    curve.Add({{200, 700}, {400, 500}, {400, 500}});
    for (int page = 0; page < 3; ++page) {
        drawing.Add(MakePathObject({curve, Square(-300, -300, 200)}, kPenSolid, kBrushSolid, 4, 0, 0, page));
        drawing.Add(MakeTextObject(u"Label", {-100, 100}, kTextArtistic, kAlignLeft, 0, 0.0f, page));
    }
    const std::vector<uint8_t> bytes = WritePdf(drawing);
    CDrawing whole, shown;
    ASSERT_TRUE(ReadPdf(bytes, whole));
    ASSERT_TRUE(CPdfFile().ReadFromMemory(bytes, shown, 1));
    ASSERT_EQ(shown.Count(), whole.Count());
    for (int i = 0; i < whole.Count(); ++i) {
        const CGraphicObject& a = *whole.GetAt(i);
        const CGraphicObject& b = *shown.GetAt(i);
        SCOPED_TRACE(i);
        const CPathShape* path = b.AsPath();
        if (a.page == 1) {
            EXPECT_EQ(b.bounds, a.bounds);
            EXPECT_EQ(path ? path->polylines.size() : 0, a.AsPath() ? a.AsPath()->polylines.size() : 0);
        } else {
            EXPECT_TRUE(b.bounds.IsEmpty());
            EXPECT_TRUE(path == nullptr || path->polylines.empty());
        }
    }
}

// A large drawing's nodes cost what they hold: every subpath read has room for its nodes and no more.
TEST(PdfReaderCost, SubpathsReadHoldNoRoomBeyondTheirNodes) {
    CDrawing drawing;
    CNodeArray curve;
    for (int i = 0; i < 13; ++i)
        curve.Add({{static_cast<float>(i), 0}, {static_cast<float>(i), 50}, {static_cast<float>(i), 90}});
    drawing.Add(MakePathObject({curve, Square(0, 0, 30), Polyline({{0, 0}, {9, 9}, {20, 0}, {31, 5}, {40, 0}})},
                               kPenSolid, kBrushSolid));
    CDrawing back;
    ASSERT_TRUE(ReadPdf(WritePdf(drawing), back));
    const CPathShape* path = back.GetAt(0)->AsPath();
    ASSERT_NE(path, nullptr);
    ASSERT_EQ(path->SubpathCount(), 3u);
    EXPECT_EQ(path->subpaths[0]->GetSize(), 13u);
    for (const auto& nodes : path->subpaths)
        EXPECT_EQ(nodes->GetCapacity(), nodes->GetSize());
}

} // namespace
} // namespace pq
