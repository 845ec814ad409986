#include "render/PageRenderer.h"

#include "FontTestSetup.h"
#include "RasterHelpers.h"
#include "SampleDrawings.h"
#include "geometry/Ellipse.h"
#include "geometry/ViewMapping.h"
#include "platform/image/ImageFile.h"
#include "render/FontTextMetrics.h"
#include "render/TextFont.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace pq {
namespace {

using test::InkBox;
using test::MakeBitmap;
using test::PixelAt;

// A 200 x 200 white bitmap showing document units 1:1 with the document origin at its centre.
struct CCanvas {
    explicit CCanvas(float scale = 1.0f) : bitmap(MakeBitmap(200, 200, 24)), dc(&bitmap) {
        mapping.SetScale(scale);
        mapping.SetOrigins(0, 0, 100, 100);
    }
    void Draw(const CDrawing& drawing, int page = 0) {
        DrawPage(drawing, page, dc, mapping, {0, 0, 200, 200});
    }

    CDibSection bitmap;
    CDeviceContext dc;
    CViewMapping mapping;
};

int CountColour(const CDibSection& bitmap, uint32_t colour) {
    int n = 0;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            n += PixelAt(bitmap, x, y) == colour ? 1 : 0;
    return n;
}

// Columns in row y whose pixel is not white.
int InkWidthInRow(const CDibSection& bitmap, int y) {
    int n = 0;
    for (int x = 0; x < bitmap.GetWidth(); ++x)
        n += PixelAt(bitmap, x, y) != 0xFFFFFF ? 1 : 0;
    return n;
}

TEST(DrawPage, ARingIsFilledWithItsHoleLeftOpen) {
    CDrawing drawing;
    drawing.Add(test::MakePath({test::BoxNodes({-60, 60, -60, 60}), test::BoxNodes({-20, 20, -20, 20})},
                               0x0000FF, kBrushSolid, 0x000000, 0, kPenNull));
    CCanvas canvas;
    canvas.Draw(drawing);
    EXPECT_EQ(PixelAt(canvas.bitmap, 60, 100), 0x0000FFu);  // in the ring
    EXPECT_EQ(PixelAt(canvas.bitmap, 100, 100), 0xFFFFFFu); // in the hole
    EXPECT_EQ(PixelAt(canvas.bitmap, 20, 100), 0xFFFFFFu);  // outside
}

TEST(DrawPage, ASingleFilledOutlineIsOnePolygonWithItsOutline) {
    CDrawing drawing;
    drawing.Add(test::MakePath({test::BoxNodes({-50, 50, -50, 50})}, 0x00FF00, kBrushSolid, 0xFF0000, 1));
    CCanvas canvas;
    canvas.Draw(drawing);
    EXPECT_EQ(PixelAt(canvas.bitmap, 100, 100), 0x00FF00u);
    EXPECT_EQ(PixelAt(canvas.bitmap, 50, 100), 0xFF0000u); // the outline on the left edge
    EXPECT_EQ(PixelAt(canvas.bitmap, 100, 50), 0xFF0000u);
}

TEST(DrawPage, PensAreNeverWiderInPixelsThanInDocumentUnits) {
    CDrawing drawing;
    drawing.Add(test::MakeLine({-80, 0}, {80, 0}, 0x000000, 10)); // a horizontal line: bounds of no height
    CCanvas zoomed(4.0f);                                         // 10 units would be 40 pixels
    zoomed.mapping.SetOrigins(0, 0, 100, 100);
    zoomed.Draw(drawing);
    EXPECT_EQ(InkWidthInRow(zoomed.bitmap, 100), 200); // the line is drawn: not culled as empty
    int thickness = 0;
    for (int y = 0; y < 200; ++y)
        thickness += PixelAt(zoomed.bitmap, 100, y) == 0 ? 1 : 0;
    EXPECT_EQ(thickness, 10);

    CDrawing thin;
    thin.Add(test::MakeLine({-80, 0}, {80, 0}, 0x000000, 1));
    CCanvas canvas(8.0f);
    canvas.Draw(thin);
    thickness = 0;
    for (int y = 0; y < 200; ++y)
        thickness += PixelAt(canvas.bitmap, 100, y) == 0 ? 1 : 0;
    EXPECT_EQ(thickness, 1);
}

TEST(DrawPage, AnOutlineSmallerThanAPixelStillShowsItsDot) {
    CDrawing drawing;
    drawing.Add(test::MakePath({test::BoxNodes({0, 1, 0, 1})}, 0, kBrushHollow, 0x0000FF, 0));
    CCanvas canvas(0.1f); // the whole box maps onto one pixel
    canvas.Draw(drawing);
    EXPECT_EQ(CountColour(canvas.bitmap, 0x0000FF), 0); // a one-pixel pen leaves out its last pixel
    drawing.GetAt(0)->AsPath()->penWidth = 30;          // three pixels wide at this zoom: a round dot
    CCanvas wide(0.1f);
    wide.Draw(drawing);
    EXPECT_GT(CountColour(wide.bitmap, 0x0000FF), 4);
}

TEST(DrawPage, DrawsOnlyTheObjectsOfThePageThatMeetTheVisibleRectangle) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(test::MakePath({test::BoxNodes({-90, -10, -90, 90})}, 0x0000FF, kBrushSolid, 0, 0, kPenNull));
    auto other = test::MakePath({test::BoxNodes({10, 90, -90, 90})}, 0x00FF00, kBrushSolid, 0, 0, kPenNull);
    other->page = 1;
    drawing.Add(std::move(other));
    CCanvas canvas;
    canvas.Draw(drawing, 0);
    EXPECT_GT(CountColour(canvas.bitmap, 0x0000FF), 0);
    EXPECT_EQ(CountColour(canvas.bitmap, 0x00FF00), 0);

    CCanvas right;
    DrawPage(drawing, 0, right.dc, right.mapping, {150, 0, 200, 200}); // the blue box lies left of it
    EXPECT_EQ(CountColour(right.bitmap, 0x0000FF), 0);
    CCanvas none;
    none.Draw(drawing, 2); // no such page
    EXPECT_EQ(CountColour(none.bitmap, 0xFFFFFF), 200 * 200);
}

// Caps and sides of a wide pen reach past the object's bounds; an object just outside the window must
// still draw the part of its outline that reaches in.
TEST(DrawPage, AWidePenJustOutsideTheWindowStillShowsItsEdge) {
    CDrawing drawing;
    drawing.Add(test::MakeLine({-90, -103}, {90, -103}, 0x0000FF, 9)); // 3 pixels above the top row
    drawing.Add(test::MakeLine({-103, -50}, {-103, 50}, 0x00FF00, 9)); // 3 pixels left of the first column
    CCanvas canvas;
    canvas.Draw(drawing);
    EXPECT_EQ(PixelAt(canvas.bitmap, 100, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(canvas.bitmap, 100, 2), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(canvas.bitmap, 0, 100), 0x00FF00u);
}

TEST(DrawPage, ImagesAreStretchedIntoTheirPlacement) {
    CDrawing drawing;
    auto image = std::make_unique<CGraphicObject>(kKindImage);
    ASSERT_TRUE(image->AsImage()->bitmap.Create(2, 1, 24));
    auto bits = image->AsImage()->bitmap.GetBits();
    bits[2] = 0xFF; // left pixel red (blue, green, red in memory)
    bits[3] = 0xFF; // right pixel blue
    image->AsImage()->placement = {-50, 50, -10, 10};
    image->RecalcBounds();
    drawing.Add(std::move(image));
    CCanvas canvas;
    canvas.Draw(drawing);
    EXPECT_EQ(PixelAt(canvas.bitmap, 60, 100), 0x0000FFu);
    EXPECT_EQ(PixelAt(canvas.bitmap, 140, 100), 0xFF0000u);
    EXPECT_EQ(PixelAt(canvas.bitmap, 100, 80), 0xFFFFFFu);
}

class TextRendering : public ::testing::Test {
protected:
    void SetUp() override { InstallFontTextMetrics(); }
    void TearDown() override { SetTextMetrics(nullptr); }
};

TEST_F(TextRendering, TurnedTextAdvancesItsLinesAlongTheTurnedDown) {
    CDrawing upright;
    upright.Add(test::MakeTextObject(u"IIII\r\nIIII", {-40, -40}, 20.0f, 0.0f, kTextArtistic, 0));
    CCanvas a;
    a.Draw(upright);
    const CRect box0 = InkBox(a.bitmap);

    CDrawing turned;
    turned.Add(test::MakeTextObject(u"IIII\r\nIIII", {-40, 40}, 20.0f, 90.0f, kTextArtistic, 0));
    CCanvas b;
    b.Draw(turned);
    const CRect box90 = InkBox(b.bitmap);
    // Upright, two lines stack downwards; turned by 90 degrees the text runs up and the lines stack
    // to the right of the start point.
    EXPECT_GT(box0.Height(), 30);
    EXPECT_NEAR(box90.Width(), box0.Height(), 2);
    EXPECT_NEAR(box90.Height(), box0.Width(), 2);
    EXPECT_GE(box90.left, 60 - 1);
    EXPECT_LE(box90.bottom, 140 + 1);
}

TEST_F(TextRendering, AParagraphLowerThanOneLineDrawsOnlyItsFrame) {
    CDrawing drawing;
    drawing.Add(
        test::MakeTextObject(u"Hidden words", {-80, -20}, 40.0f, 0.0f, kTextParagraph, 0x0000FF, {80, 0}));
    CCanvas canvas;
    canvas.Draw(drawing);
    EXPECT_EQ(CountColour(canvas.bitmap, 0x0000FF), 0);
    EXPECT_NE(PixelAt(canvas.bitmap, 20, 80), 0xFFFFFFu); // the dotted frame's corner

    CDrawing tall;
    tall.Add(
        test::MakeTextObject(u"Shown words", {-80, -20}, 40.0f, 0.0f, kTextParagraph, 0x0000FF, {80, 60}));
    CCanvas shown;
    shown.Draw(tall);
    EXPECT_GT(CountColour(shown.bitmap, 0x0000FF), 50);
}

TEST_F(TextRendering, FontHeightFollowsTheZoomAndAngleBecomesEscapement) {
    CTextShape text;
    text.height = 70.5555f;
    text.angle = -30.0f;
    text.faceName = u"A face name that is longer than twenty-nine characters";
    CViewMapping mapping;
    mapping.SetScale(0.5f);
    const CLogFont font = TextLogFont(text, &mapping);
    EXPECT_EQ(font.height, -35); // 35.28 pixels, rounded
    EXPECT_EQ(font.escapement, 3300);
    EXPECT_EQ(font.faceName.size(), 29u);
    text.height = 0.2f;
    EXPECT_EQ(TextLogFont(text, &mapping).height, -1);
}

// Sample pages as the editor shows them, compared with the pictures kept beside the tests. Run with
// PQ_UPDATE_EXPECTED=1 to write new pictures after a deliberate change, and look at them.
TEST_F(TextRendering, ShowcasePageMatchesItsExpectedPicture) {
    CDrawing drawing;
    test::BuildShowcase(drawing);
    const auto rendered = RenderPageToBitmap(drawing, 0, 296, 420, false);
    ASSERT_TRUE(rendered);
    const std::string expectedPath = PQ_TEST_DATA_DIR "/render/showcase.png";
    if (std::getenv("PQ_UPDATE_EXPECTED") != nullptr) {
        ASSERT_TRUE(WritePngFile(expectedPath, *rendered).ok);
    }
    CDibSection expected;
    ASSERT_TRUE(LoadImageFile(expectedPath, expected).ok);
    ASSERT_EQ(expected.GetWidth(), 296);
    ASSERT_EQ(expected.GetHeight(), 420);
    // Shapes must agree exactly; antialiased glyph edges may differ a little between FreeType builds.
    int different = 0;
    for (int y = 0; y < 420; ++y)
        for (int x = 0; x < 296; ++x) {
            const uint32_t a = PixelAt(*rendered, x, y);
            const uint32_t b = PixelAt(expected, x, y);
            for (int shift = 0; shift < 24; shift += 8)
                if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
                    48) {
                    ++different;
                    break;
                }
        }
    EXPECT_LE(different, 296 * 420 / 200) << "more than 0.5 % of the pixels differ";
}

// A busy page is drawn by two threads at once, each taking half of the rows. Fills, rings, dotted fills,
// wide outlines, text and pictures straddle the seam; together the halves must be the page drawn in one go.
TEST_F(TextRendering, APageDrawnByTwoThreadsIsThePageDrawnByOne) {
    CDrawing drawing;
    test::BuildShowcase(drawing);
    std::mt19937 random(8);
    std::uniform_real_distribution<float> x(-740.0f, 700.0f), y(-1050.0f, 1000.0f), size(10.0f, 300.0f);
    for (int i = 0; i < 400; ++i) {
        const float left = x(random), top = y(random), w = size(random), h = size(random);
        const int kind = i % 4;
        const CRectF box{left, left + w, top, top + h};
        CNodeArray outline = kind == 1 ? EllipseToNodes(box) : test::BoxNodes(box);
        auto object =
            kind == 2 ? test::MakePath(
                            {outline, EllipseToNodes({left + w / 4, left + w / 2, top + h / 4, top + h / 2})},
                            0x3050A0, kBrushSolid, 0x102030, 4)
                      : test::MakePath({outline}, static_cast<uint32_t>(random() & 0xFFFFFF),
                                       kind == 3 ? 3 : kBrushSolid, 0x602010, (i % 7) * 3);
        drawing.Add(std::move(object));
    }
    drawing.Add(
        test::MakeTextObject(u"Across the seam", {-500, -30}, 120.0f, 15.0f, kTextArtistic, 0x0000C0));

    for (const EdgeStyle edges : {EdgeStyle::Aliased, EdgeStyle::Smooth})
        for (const float zoom : {1.0f, 4.0f}) {
            SCOPED_TRACE(edges == EdgeStyle::Smooth ? "smooth" : "aliased");
            CViewMapping mapping;
            mapping.FitRect(CRectF{-740, 740, -1050, 1050}, CRect{0, 0, 300, 401});
            mapping.ZoomAbout(CPoint{120, 200}, zoom);
            CDibSection one = MakeBitmap(300, 401, 24), two = MakeBitmap(300, 401, 24);
            CDeviceContext dcOne(&one), dcTwo(&two);
            DrawPage(drawing, 0, dcOne, mapping, {0, 0, 300, 401}, PaintThreads::One, edges);
            DrawPage(drawing, 0, dcTwo, mapping, {0, 0, 300, 401}, PaintThreads::Automatic, edges);
            EXPECT_EQ(test::CountDifferences(one, two), 0) << "zoom " << zoom;
            EXPECT_LT(CountColour(one, 0xFFFFFF), 300 * 401 / 4) << "the page is mostly drawn on";
            EXPECT_EQ(dcTwo.GetDamage(), dcOne.GetDamage());
        }
}

TEST(RenderPageToBitmap, FitsThePageOnWhiteAndSmoothsWhenAsked) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 1000.0f);
    drawing.Add(test::MakePath({test::BoxNodes({-500, 0, -500, 0})}, 0x000000, kBrushSolid, 0, 0, kPenNull));
    const auto sharp = RenderPageToBitmap(drawing, 0, 100, 100, false);
    ASSERT_TRUE(sharp);
    EXPECT_EQ(sharp->GetBitCount(), 24);
    EXPECT_EQ(PixelAt(*sharp, 25, 25), 0x000000u); // the top-left quarter of the page
    EXPECT_EQ(PixelAt(*sharp, 75, 75), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(*sharp, 49, 25), 0x000000u);
    EXPECT_EQ(PixelAt(*sharp, 50, 25), 0xFFFFFFu);

    const auto smooth = RenderPageToBitmap(drawing, 0, 100, 100, true);
    ASSERT_TRUE(smooth);
    EXPECT_NE(PixelAt(*smooth, 49, 25), 0x000000u); // the edge is blended
    EXPECT_NE(PixelAt(*smooth, 49, 25), 0xFFFFFFu);
    // Smooth edges: the square's edge falls on a pixel boundary and stays sharp; a circle's rim blends.
    drawing.Add(test::MakePath({EllipseToNodes({0, 400, 0, 400})}, 0x000000, kBrushSolid, 0, 0, kPenNull));
    const auto edges = RenderPageToBitmap(drawing, 0, 100, 100, false, EdgeStyle::Smooth);
    ASSERT_TRUE(edges);
    EXPECT_EQ(PixelAt(*edges, 49, 25), 0x000000u);
    EXPECT_EQ(PixelAt(*edges, 50, 25), 0xFFFFFFu);
    int blended = 0;
    for (int x = 50; x < 100; ++x) {
        const uint32_t c = PixelAt(*edges, x, 56);
        blended += c != 0 && c != 0xFFFFFF ? 1 : 0;
    }
    EXPECT_GE(blended, 4) << "the rim blends where it crosses row 56, on both sides";
    EXPECT_FALSE(RenderPageToBitmap(drawing, 0, 0, 100, false));
    EXPECT_FALSE(RenderPageToBitmap(drawing, 0, 20000, 100, false));
}

} // namespace
} // namespace pq
