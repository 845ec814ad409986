#include "platform/CoverageRaster.h"
#include "geometry/RectF.h"
#include "platform/DeviceContext.h"
#include "platform/PenBrushStyles.h"
#include "platform/SmoothImage.h"
#include "platform/image/DibPixels.h"

#include "RasterHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numbers>
#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

// How much of a pixel black covers on white, 0..1, from its red component.
double Ink(const CDibSection& bitmap, int x, int y) {
    return 1.0 - static_cast<double>(PixelAt(bitmap, x, y) & 0xFF) / 255.0;
}

double TotalInk(const CDibSection& bitmap) {
    double sum = 0;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            sum += Ink(bitmap, x, y);
    return sum;
}

constexpr auto kNonZero = CCoverageRaster::FillRule::NonZero;

// A white bitmap with what was added to the raster filled in black by the rule.
CDibSection Filled(CCoverageRaster& raster, int32_t width, int32_t height, uint16_t bitCount = 24,
                   CCoverageRaster::FillRule rule = kNonZero) {
    CDibSection bitmap = MakeBitmap(width, height, bitCount);
    CDeviceContext dc(&bitmap);
    raster.Fill(dc, 0x000000, rule);
    return bitmap;
}

TEST(CCoverageRaster, EdgePixelsGetTheShareTheyCover) {
    for (uint16_t depth : {24, 32}) {
        CDibSection bitmap = MakeBitmap(12, 8, depth);
        CDeviceContext dc(&bitmap);
        CCoverageRaster raster;
        const std::vector<CPointF> box{{2.5f, 1.0f}, {8.25f, 1.0f}, {8.25f, 5.75f}, {2.5f, 5.75f}};
        raster.AddPolygon(box);
        raster.Fill(dc, 0x000000, CCoverageRaster::FillRule::EvenOdd);
        EXPECT_TRUE(raster.IsEmpty());
        EXPECT_NEAR(Ink(bitmap, 2, 3), 0.5, 0.01);
        EXPECT_NEAR(Ink(bitmap, 8, 3), 0.25, 0.01);
        EXPECT_NEAR(Ink(bitmap, 5, 5), 0.75, 0.01);
        EXPECT_NEAR(Ink(bitmap, 8, 5), 0.25 * 0.75, 0.02);
        EXPECT_EQ(PixelAt(bitmap, 5, 3), 0x000000u);
        EXPECT_EQ(PixelAt(bitmap, 1, 3), 0xFFFFFFu);
        EXPECT_EQ(PixelAt(bitmap, 5, 0), 0xFFFFFFu);
        EXPECT_EQ(PixelAt(bitmap, 9, 3), 0xFFFFFFu);
        EXPECT_EQ(dc.GetDamage(), CRect(2, 1, 9, 6));
        // A sloped edge: the triangle's area is what it inks.
        const std::vector<CPointF> triangle{{1.3f, 1.1f}, {18.7f, 3.4f}, {6.2f, 17.9f}};
        raster.AddPolygon(triangle);
        const CDibSection slope = Filled(raster, 20, 20, depth, CCoverageRaster::FillRule::EvenOdd);
        const double area = std::abs((18.7 - 1.3) * (17.9 - 1.1) - (6.2 - 1.3) * (3.4 - 1.1)) / 2;
        EXPECT_NEAR(TotalInk(slope), area, area * 0.01);
    }
}

TEST(CCoverageRaster, FillRulesAndOverlaps) {
    const std::vector<CPointF> a{{1, 1}, {7, 1}, {7, 7}, {1, 7}};
    const std::vector<CPointF> b{{4, 4}, {10, 4}, {10, 10}, {4, 10}};
    for (auto rule : {CCoverageRaster::FillRule::EvenOdd, kNonZero}) {
        CCoverageRaster raster;
        raster.AddPolygon(a);
        raster.AddPolygon(b);
        const CDibSection bitmap = Filled(raster, 12, 12, 24, rule);
        const bool evenOdd = rule == CCoverageRaster::FillRule::EvenOdd;
        EXPECT_EQ(PixelAt(bitmap, 5, 5), evenOdd ? 0xFFFFFFu : 0x000000u);
        EXPECT_EQ(PixelAt(bitmap, 2, 2), 0x000000u);
        EXPECT_EQ(PixelAt(bitmap, 8, 8), 0x000000u);
        EXPECT_NEAR(TotalInk(bitmap), evenOdd ? 72 - 18 : 72 - 9, 0.5);
    }
}

TEST(CCoverageRaster, StrokesInkTheirAreaOnceWhereverPiecesOverlap) {
    // A straight line in several collinear pieces inks what one piece does; a closed square outline its
    // ring with rounded outer corners.
    const float width = 3.0f, radius = width / 2;
    const double caps = std::numbers::pi * radius * radius;
    CCoverageRaster raster;
    const std::vector<CPointF> pieces{{5.2f, 9.5f}, {12.0f, 9.5f}, {12.5f, 9.5f}, {30.3f, 9.5f}};
    raster.AddStroke(pieces, width, false, kPenSolid);
    EXPECT_NEAR(TotalInk(Filled(raster, 40, 20)), (30.3 - 5.2) * width + caps, 0.5);

    const std::vector<CPointF> square{{10, 10}, {30, 10}, {30, 30}, {10, 30}};
    raster.AddStroke(square, width, true, kPenSolid);
    const CDibSection ring = Filled(raster, 40, 40, 32);
    const double outer = 23.0 * 23.0 - 4 * radius * radius + caps, inner = 17.0 * 17.0;
    EXPECT_NEAR(TotalInk(ring), outer - inner, 0.5); // round corners are inscribed polygons
    EXPECT_EQ(PixelAt(ring, 20, 10), 0x000000u);
    EXPECT_EQ(PixelAt(ring, 20, 20), 0xFFFFFFu);

    // A bend: the union of its two pieces, the round outer corner and the caps, with the pieces' overlap
    // at the inner corner inked once.
    const std::vector<CPointF> corner{{5, 5}, {25, 5}, {25, 25}};
    raster.AddStroke(corner, width, false, kPenSolid);
    const CDibSection bend = Filled(raster, 40, 40);
    EXPECT_NEAR(TotalInk(bend), 2 * 20.0 * width - radius * radius + caps / 4 + caps, 0.5);
    EXPECT_NEAR(Ink(bend, 23, 7), 0.5, 0.02); // the inner corner's pixel, half inside each side
    EXPECT_EQ(PixelAt(bend, 24, 6), 0x000000u);

    // A circle of many short pieces, drawn with a pen wider than a piece is long: its ring, no more
    // and without holes.
    std::vector<CPointF> round;
    for (int i = 0; i < 240; ++i) {
        const double angle = 2 * std::numbers::pi * i / 240;
        round.push_back(
            {static_cast<float>(20 + 12 * std::cos(angle)), static_cast<float>(20 + 12 * std::sin(angle))});
    }
    raster.AddStroke(round, 4.0f, true, kPenSolid);
    const CDibSection circle = Filled(raster, 40, 40);
    const double annulus = std::numbers::pi * (14.0 * 14.0 - 10.0 * 10.0);
    EXPECT_NEAR(TotalInk(circle), annulus, annulus * 0.01);
    EXPECT_EQ(PixelAt(circle, 20, 8), 0x000000u);
    EXPECT_EQ(PixelAt(circle, 20, 20), 0xFFFFFFu);

    // A dashed one-pixel pen inks its dashes only: 18 on, 6 off along a line of 48 pixels.
    const std::vector<CPointF> line{{2, 5}, {50, 5}};
    raster.AddStroke(line, 0.0f, false, kPenDash);
    const CDibSection dashed = Filled(raster, 60, 10);
    EXPECT_NEAR(TotalInk(dashed), 36.0, 0.5);
    EXPECT_NEAR(Ink(dashed, 10, 4), 0.5, 0.01); // the pen's pixel straddles two rows
    EXPECT_NEAR(Ink(dashed, 10, 5), 0.5, 0.01);
    EXPECT_EQ(PixelAt(dashed, 22, 4), 0xFFFFFFu);
}

TEST(CCoverageRaster, AFillLeavesNothingBehindForTheNext) {
    // A star whose edges cross the 64-pixel boundaries of the row marks at every angle, and a leaning
    // box whose steep right side runs down the 64th column of the fill, each at several offsets: each
    // inks its area, and a square filled afterwards by the same raster inks exactly its own.
    CCoverageRaster raster;
    for (float offset : {0.0f, 0.37f, 1.5f, 63.25f}) {
        std::vector<CPointF> star;
        for (int i = 0; i < 14; ++i) {
            const double angle = std::numbers::pi * i / 7, radius = i % 2 ? 20.0 : 55.0;
            star.push_back({static_cast<float>(offset + 64 + radius * std::cos(angle)),
                            static_cast<float>(60 + radius * std::sin(angle))});
        }
        const float left = offset + 10.2f;
        const std::vector<CPointF> leaning{
            {left, 5}, {std::floor(left) + 63.6f, 5}, {std::floor(left) + 63.9f, 50}, {left + 0.3f, 50}};
        for (const auto& shape : {star, leaning}) {
            double area = 0;
            for (std::size_t i = 0; i < shape.size(); ++i) {
                const CPointF a = shape[i], b = shape[(i + 1) % shape.size()];
                area += (static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y) / 2;
            }
            CDibSection bitmap = MakeBitmap(200, 120, 24);
            CDeviceContext dc(&bitmap);
            raster.AddPolygon(shape);
            raster.Fill(dc, 0x000000, kNonZero);
            EXPECT_NEAR(TotalInk(bitmap), std::abs(area), 0.5) << offset;
            raster.AddStroke(shape, 2.5f, true, kPenSolid);
            raster.Fill(dc, 0x0000FF, kNonZero);

            CDibSection square = MakeBitmap(200, 120, 24);
            CDeviceContext squareDc(&square);
            const std::vector<CPointF> box{
                {150.5f, 10.25f}, {160.5f, 10.25f}, {160.5f, 20.25f}, {150.5f, 20.25f}};
            raster.AddPolygon(box);
            raster.Fill(squareDc, 0x000000, CCoverageRaster::FillRule::EvenOdd);
            EXPECT_NEAR(TotalInk(square), 100.0, 0.05) << offset;
            EXPECT_EQ(squareDc.GetDamage(), CRect(150, 10, 161, 21));
        }
    }
}

TEST(CCoverageRaster, DrawsOnlyInsideTheClip) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    CDeviceContext dc(&bitmap);
    dc.SetClipRect(CRect(5, 6, 12, 14));
    CCoverageRaster raster;
    const std::vector<CPointF> all{{-100, -50}, {300, -50}, {300, 400}, {-100, 400}};
    raster.AddPolygon(all);
    raster.Fill(dc, 0x000000, CCoverageRaster::FillRule::EvenOdd);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 12 && y >= 6 && y < 14;
            ASSERT_EQ(PixelAt(bitmap, x, y), inside ? 0u : 0xFFFFFFu) << x << "," << y;
        }
    EXPECT_EQ(dc.GetDamage(), CRect(5, 6, 12, 14));
}

TEST(CCoverageRaster, PiecesOfAClipMeetWithoutSeamsAndFarCoordinatesStayHarmless) {
    // The same shapes drawn whole and drawn as four clipped quarters give the same pixels; the bitmap is
    // wide enough that a fill takes several bands of rows.
    const std::vector<CPointF> triangle{{-400.5f, 10.2f}, {3100.7f, 60.9f}, {900.3f, 395.4f}};
    const std::vector<CPointF> zigzag{{20.5f, 300.5f}, {700.2f, 20.7f}, {1500.9f, 380.1f}, {2900.4f, 30.3f}};
    auto draw = [&](CDibSection& bitmap, const CRect& clip) {
        CDeviceContext dc(&bitmap);
        dc.SetClipRect(clip);
        CCoverageRaster raster;
        raster.AddPolygon(triangle);
        raster.Fill(dc, 0x204060, CCoverageRaster::FillRule::EvenOdd);
        raster.AddStroke(zigzag, 7.5f, false, kPenSolid);
        raster.Fill(dc, 0x000000, kNonZero);
    };
    CDibSection whole = MakeBitmap(3000, 400, 24), quarters = MakeBitmap(3000, 400, 24);
    draw(whole, CRect(0, 0, 3000, 400));
    for (const CRect& quarter : {CRect(0, 0, 1234, 177), CRect(1234, 0, 3000, 177), CRect(0, 177, 1234, 400),
                                 CRect(1234, 177, 3000, 400)})
        draw(quarters, quarter);
    // Sums run from another cell at a clip's edge: a channel may round one level apart, no more.
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 3000; ++x)
            for (int shift : {0, 8, 16}) {
                const int a = static_cast<int>(PixelAt(whole, x, y) >> shift & 0xFF);
                const int b = static_cast<int>(PixelAt(quarters, x, y) >> shift & 0xFF);
                ASSERT_LE(std::abs(a - b), 1) << x << "," << y;
            }

    // Coordinates far outside any bitmap, nearly flat edges of enormous slope: no crash, and the part of
    // a huge square over the bitmap is filled.
    CDibSection far = MakeBitmap(20, 20, 32);
    CDeviceContext farDc(&far);
    CCoverageRaster raster;
    const std::vector<CPointF> huge{{-3e38f, -3e38f}, {3e38f, -3e38f}, {3e38f, 3e38f}, {-3e38f, 3e38f}};
    raster.AddPolygon(huge);
    const std::vector<CPointF> sliver{{-1e30f, 5.0f}, {1e30f, 5.0f + 1e-6f}, {0.0f, 5.5f}};
    raster.AddPolygon(sliver);
    raster.Fill(farDc, 0x000000, kNonZero);
    raster.AddStroke(huge, 5.0f, true, kPenSolid);
    raster.Fill(farDc, 0x000000, kNonZero);
    EXPECT_EQ(PixelAt(far, 10, 10), 0x000000u);
}

// Rows left out of the fills (those that later objects paint over) stay as they were, the other rows get
// the pixels of the shapes drawn whole, in bands of rows or not, and the next fill finds nothing left over.
TEST(CCoverageRaster, RowsLeftOutStayAsTheyWereAndTheRestAreDrawnAsWhole) {
    const std::vector<CPointF> triangle{{-400.5f, 10.2f}, {3100.7f, 60.9f}, {900.3f, 395.4f}};
    const std::vector<CPointF> zigzag{{20.5f, 300.5f}, {700.2f, 20.7f}, {1500.9f, 380.1f}, {2900.4f, 30.3f}};
    const std::vector<CPointF> small{{10.3f, 12.8f}, {40.6f, 11.1f}, {25.2f, 47.9f}};
    const std::vector<CCoverageRaster::CRowRange> leftOut{{-5, 11}, {30, 31}, {100, 180}, {390, 500}};
    for (const int32_t width : {3000, 120}) { // rows wider than a band, and one band
        CDibSection whole = MakeBitmap(width, 400, 24), some = MakeBitmap(width, 400, 24);
        CDibSection after = MakeBitmap(60, 60, 24), fresh = MakeBitmap(60, 60, 24);
        for (CDibSection* bitmap : {&whole, &some}) {
            CDeviceContext dc(bitmap);
            CCoverageRaster raster;
            if (bitmap == &some)
                raster.LeaveOutRows(leftOut);
            raster.AddPolygon(triangle);
            raster.Fill(dc, 0x204060, CCoverageRaster::FillRule::EvenOdd);
            raster.AddStroke(zigzag, 7.5f, false, kPenSolid);
            raster.Fill(dc, 0x000000, kNonZero);
            if (bitmap == &some) {
                raster.LeaveOutRows({});
                raster.AddPolygon(small);
                CDeviceContext afterDc(&after);
                raster.Fill(afterDc, 0x000000, kNonZero);
            }
        }
        CCoverageRaster another;
        another.AddPolygon(small);
        fresh = Filled(another, 60, 60);
        EXPECT_EQ(test::CountDifferences(after, fresh), 0) << width << ": a left-out fill left cells behind";
        for (int y = 0; y < 400; ++y) {
            const bool out = (y >= 30 && y < 31) || (y >= 100 && y < 180) || y >= 390 || y < 11;
            for (int x = 0; x < width; ++x) {
                if (out) {
                    ASSERT_EQ(PixelAt(some, x, y), 0xFFFFFFu) << x << "," << y;
                    continue;
                }
                for (int shift : {0, 8, 16}) { // sums from another band's edge may round a level apart
                    const int a = static_cast<int>(PixelAt(whole, x, y) >> shift & 0xFF);
                    const int b = static_cast<int>(PixelAt(some, x, y) >> shift & 0xFF);
                    ASSERT_LE(std::abs(a - b), 1) << width << ": " << x << "," << y;
                }
            }
        }
    }
}

// The share of pixel (x, y) that the upright boxes cover.
double BoxShare(const std::vector<CRectF>& boxes, int x, int y) {
    double share = 0;
    for (const CRectF& b : boxes) {
        const double w = std::min<double>(b.right, x + 1) - std::max<double>(b.left, x);
        const double h = std::min<double>(b.bottom, y + 1) - std::max<double>(b.top, y);
        share += w > 0 && h > 0 ? w * h : 0;
    }
    return share;
}

// Upright boxes, whose sides are vertical edges, blend each pixel by the exact share they cover: tops and
// bottoms within one row, on row boundaries or across many rows, sides on pixel boundaries or not, within
// one band or across bands, and reaching past the bitmap on either side.
TEST(CCoverageRaster, UprightBoxesCoverTheirExactArea) {
    const std::vector<std::vector<CRectF>> cases{
        // left, right, top, bottom
        {{2.25f, 8.75f, 1.5f, 1.75f}},                                // within one row
        {{3.0f, 6.0f, 2.0f, 9.0f}},                                   // on pixel boundaries
        {{1.7f, 2.1f, 0.3f, 45.6f}, {10.5f, 60.25f, 3.9f, 4.6f}},     // a thin column, a thin row
        {{-3.5f, 4.4f, 5.2f, 30.8f}, {115.3f, 3140.0f, 7.7f, 12.1f}}, // past the left and right ends
        {{20.6f, 90.1f, 0.0f, 49.5f}, {20.6f, 30.0f, 10.25f, 40.0f}}, // a box over another
        {{5.9f, 6.1f, 1.0f, 48.0f}, {40.5f, 41.5f, 19.0f, 23.0f}},    // both sides in one pixel; on bands
    };
    for (const int32_t width : {120, 3000}) {
        for (std::vector<CRectF> boxes : cases) {
            // On the wide bitmap a wide box makes the rows wider than a band's cells: 21 rows a band.
            if (width == 3000)
                boxes.push_back({2000.25f, 2990.75f, 0.5f, 49.5f});
            CDibSection bitmap = MakeBitmap(width, 50, 24);
            CCoverageRaster raster;
            for (const CRectF& b : boxes)
                raster.AddPolygon(std::vector<CPointF>{
                    {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}});
            CDeviceContext dc(&bitmap);
            raster.Fill(dc, 0x000000, kNonZero);
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < width; x += x == 160 ? 1830 : 1) { // the first columns and the wide box
                    const double share = std::min(BoxShare(boxes, x, y), 1.0);
                    const auto alpha = static_cast<int>(share * 256.0 + 0.5);
                    const int expected = alpha >= 256 ? 0 : (255 * (256 - alpha) + 128) >> 8;
                    ASSERT_LE(std::abs(static_cast<int>(PixelAt(bitmap, x, y) & 0xFF) - expected), 1)
                        << width << ": " << x << "," << y << " with a box at " << boxes[0].left << ","
                        << boxes[0].top;
                }
        }
    }
}

TEST(SmoothImage, AveragesTheImageAndBlendsItsEdges) {
    // A 4 x 2 black and white checkerboard shrunk into 2 x 1 pixels is grey, and the image's half-covered
    // edge pixels are half grey over white.
    CDibSection checker = MakeBitmap(4, 2, 24);
    {
        CDeviceContext dc(&checker);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                if ((x + y) % 2 == 0)
                    dc.SetPixel(x, y, 0x000000);
    }
    CDibSection bitmap = MakeBitmap(6, 4, 24);
    CDeviceContext dc(&bitmap);
    ASSERT_TRUE(DrawSmoothImage(checker, dc, {1.5f, 1.0f}, {3.5f, 2.0f}));
    EXPECT_NEAR(Ink(bitmap, 2, 1), 0.5, 0.01);
    EXPECT_NEAR(Ink(bitmap, 1, 1), 0.25, 0.01);
    EXPECT_NEAR(Ink(bitmap, 3, 1), 0.25, 0.01);
    EXPECT_EQ(PixelAt(bitmap, 2, 2), 0xFFFFFFu);
    // Mirrored: the corners given the other way round turn a left-black image right-black.
    CDibSection half = MakeBitmap(2, 1, 24);
    {
        CDeviceContext h(&half);
        h.SetPixel(0, 0, 0x000000);
    }
    CDibSection mirrored = MakeBitmap(4, 1, 24);
    CDeviceContext m(&mirrored);
    ASSERT_TRUE(DrawSmoothImage(half, m, {4, 0}, {0, 1}));
    EXPECT_EQ(PixelAt(mirrored, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(mirrored, 3, 0), 0x000000u);
    EXPECT_FALSE(DrawSmoothImage(CDibSection(), m, {0, 0}, {1, 1}));
}

// Image rows are summed many bytes a step: a wide image of distinct columns, two equal rows shrunk into
// one, keeps every column's colour in its place.
TEST(SmoothImage, WideRowsKeepEachColumnInPlace) {
    constexpr int kWidth = 41;
    CDibSection image = MakeBitmap(kWidth, 2, 24);
    {
        CDeviceContext dc(&image);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < kWidth; ++x)
                dc.SetPixel(x, y, MakeRgb(static_cast<uint8_t>(5 * x), static_cast<uint8_t>(250 - 3 * x),
                                          static_cast<uint8_t>(7 * x % 256)));
    }
    CDibSection bitmap = MakeBitmap(kWidth, 1, 24);
    CDeviceContext dc(&bitmap);
    ASSERT_TRUE(DrawSmoothImage(image, dc, {0.0f, 0.0f}, {static_cast<float>(kWidth), 1.0f}));
    for (int x = 0; x < kWidth; ++x)
        EXPECT_EQ(PixelAt(bitmap, x, 0), PixelAt(image, x, 0)) << x;
}

} // namespace
} // namespace pq
