#include "platform/DeviceContext.h"

#include "RasterHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <span>
#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;

// Checks every pixel against the colour a function of (x, y) gives.
template <typename Colour> void ExpectPixels(const CDibSection& bitmap, Colour expected) {
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            ASSERT_EQ(PixelAt(bitmap, x, y), expected(x, y)) << x << "," << y;
}

TEST(CDeviceContextFill, RectangleLeavesRightAndBottomOut) {
    CDibSection bitmap = MakeBitmap(12, 10, 24);
    CDeviceContext dc(&bitmap);
    dc.SelectPen(CPen{kPenSolid, 1, kBlack});
    dc.SelectBrush(CBrush{kBrushSolid, kRed});
    EXPECT_TRUE(dc.Rectangle(2, 3, 8, 7));
    ExpectPixels(bitmap, [](int x, int y) {
        const bool inside = x >= 2 && x <= 7 && y >= 3 && y <= 6;
        return !inside ? kWhite : x == 2 || x == 7 || y == 3 || y == 6 ? kBlack : kRed;
    });

    // Without a pen the fill is one pixel smaller; corners may come in either order.
    bitmap = MakeBitmap(12, 10, 24);
    dc.SelectPen(CPen{kPenNull});
    dc.Rectangle(8, 7, 2, 3);
    ExpectPixels(bitmap, [](int x, int y) { return x >= 2 && x <= 6 && y >= 3 && y <= 5 ? kRed : kWhite; });

    // A one-pixel-thick rectangle under XOR is drawn once, not cancelled by its own sides.
    bitmap = MakeBitmap(12, 10, 24, kBlack);
    dc.SelectPen(CPen{kPenSolid, 1, kWhite});
    dc.SetROP2(kR2XorPen);
    dc.Rectangle(2, 2, 3, 8);
    ExpectPixels(bitmap, [](int x, int y) { return x == 2 && y >= 2 && y < 8 ? kWhite : kBlack; });
}

TEST(CDeviceContextFill, PolygonFillsPixelCentresHalfOpenByTheEvenOddRule) {
    CDibSection bitmap = MakeBitmap(12, 12, 24);
    CDeviceContext dc(&bitmap);
    dc.SelectPen(CPen{kPenNull});
    dc.SelectBrush(CBrush{kBrushSolid, kRed});
    const CPoint square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    EXPECT_TRUE(dc.Polygon(square));
    ExpectPixels(bitmap, [](int x, int y) { return x >= 2 && x < 8 && y >= 2 && y < 8 ? kRed : kWhite; });

    // A right triangle: row y holds the pixels left of the hypotenuse's crossing.
    bitmap = MakeBitmap(12, 12, 24);
    const CPoint corners[] = {{0, 0}, {10, 0}, {0, 10}};
    dc.Polygon(corners);
    ExpectPixels(bitmap, [](int x, int y) { return y < 10 && x < 10 - y ? kRed : kWhite; });

    // A five-pointed star drawn in one stroke: its centre pentagon is crossed twice and stays empty.
    bitmap = MakeBitmap(100, 100, 24);
    CPoint star[5];
    for (int i = 0; i < 5; ++i) {
        const double a = -std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        star[i] = CPoint(static_cast<int32_t>(std::lround(50 + 45 * std::cos(a))),
                         static_cast<int32_t>(std::lround(50 + 45 * std::sin(a))));
    }
    dc.SelectPen(CPen{kPenSolid, 1, kBlack});
    dc.Polygon(star);
    EXPECT_EQ(PixelAt(bitmap, 50, 52), kWhite); // centre
    EXPECT_EQ(PixelAt(bitmap, 50, 15), kRed);   // top point
    EXPECT_EQ(PixelAt(bitmap, 50, 5), kBlack);  // its tip is outline, drawn over the fill
    EXPECT_EQ(PixelAt(bitmap, 5, 5), kWhite);
}

// Whether the pixel centre (x, y) lies inside the polygon by the even-odd rule as the fill samples it:
// each edge crossing row y (top included, bottom not) crosses at the ceiling of its exact x there.
bool InsideByEvenOdd(std::span<const CPoint> polygon, int64_t x, int64_t y) {
    bool inside = false;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        CPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        if (a.y > b.y)
            std::swap(a, b);
        if (a.y == b.y || y < a.y || y >= b.y)
            continue;
        const int64_t dy = int64_t{b.y} - a.y, n = (y - a.y) * (int64_t{b.x} - a.x);
        const int64_t crossing = a.x + (n >= 0 ? (n + dy - 1) / dy : -(-n / dy));
        inside = inside != (crossing <= x);
    }
    return inside;
}

// Polygons of a few edges, of many edges over few rows, and of few edges over many rows (each ordered by
// their top rows in its own way), inside the bitmap or reaching past it and its clip, fill exactly the
// pixel centres the even-odd rule puts inside.
TEST(CDeviceContextFill, PolygonsOfManyOrFewEdgesFillTheCentresInside) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> centre(-10, 90), wobble(-6, 6);
    for (int round = 0; round < 60; ++round) {
        const int count = round % 3 == 0 ? 3 + round % 6 : round % 3 == 1 ? 40 + round : 9 + round % 7;
        const int radius = round % 3 == 2 ? 300 : 12 + round % 40; // the last kind: spikes far out
        const int cx = centre(random), cy = centre(random);
        std::vector<CPoint> polygon;
        for (int i = 0; i < count; ++i) {
            const double angle = 2 * std::numbers::pi * i / count;
            const int r = (round % 3 == 2 && i % 2 == 1) ? 3 : radius;
            polygon.push_back({cx + static_cast<int32_t>(std::lround(r * std::cos(angle))) + wobble(random),
                               cy + static_cast<int32_t>(std::lround(r * std::sin(angle))) + wobble(random)});
        }
        CDibSection bitmap = MakeBitmap(100, 90, 24);
        CDeviceContext dc(&bitmap);
        const CRect clip = round % 2 == 0 ? CRect{0, 0, 100, 90} : CRect{7, 11, 93, 70};
        dc.SetClipRect(clip);
        dc.SelectPen(CPen{kPenNull});
        dc.SelectBrush(CBrush{kBrushSolid, kRed});
        dc.Polygon(polygon);
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool red = clip.Contains({x, y}) && InsideByEvenOdd(polygon, x, y);
                ASSERT_EQ(PixelAt(bitmap, x, y), red ? kRed : kWhite)
                    << "round " << round << " (" << count << " points): " << x << "," << y;
            }
    }
}

TEST(CDeviceContextFill, EllipseFitsItsBoxSymmetricAndClosed) {
    CDibSection bitmap = MakeBitmap(40, 30, 24);
    CDeviceContext dc(&bitmap);
    dc.SelectPen(CPen{kPenSolid, 1, kBlack});
    dc.SelectBrush(CBrush{kBrushSolid, kRed});
    EXPECT_TRUE(dc.Ellipse(5, 4, 35, 24));
    test::DumpIfAsked(bitmap, "ellipse");
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const uint32_t c = PixelAt(bitmap, x, y);
            if (x < 5 || x >= 35 || y < 4 || y >= 24) {
                EXPECT_EQ(c, kWhite) << x << "," << y;
                continue;
            }
            EXPECT_EQ(c, PixelAt(bitmap, 39 - x, y)) << x << "," << y;
            EXPECT_EQ(c, PixelAt(bitmap, x, 27 - y)) << x << "," << y;
            // A closed outline: no brush pixel touches the background.
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                EXPECT_FALSE(c == kRed && PixelAt(bitmap, x + dx, y + dy) == kWhite) << x << "," << y;
            }
        }
    }
    for (auto [x, y] : {std::pair{20, 4}, {20, 23}, {5, 14}, {34, 14}})
        EXPECT_EQ(PixelAt(bitmap, x, y), kBlack) << "the outline touches the box at " << x << "," << y;
    EXPECT_EQ(PixelAt(bitmap, 20, 14), kRed);
    EXPECT_EQ(PixelAt(bitmap, 6, 5), kWhite); // corner of the box
}

TEST(CDeviceContextFill, HatchedBrushRepeatsEveryEightPixels) {
    CDibSection bitmap = MakeBitmap(24, 24, 24);
    CDeviceContext dc(&bitmap);
    dc.SetBkColor(kBlue);
    dc.FillRect(CRect(0, 0, 24, 12), CBrush{kBrushHatched, kBlack, kHatchCross});
    dc.SetBkMode(kBkTransparent);
    dc.FillRect(CRect(0, 12, 24, 24), CBrush{kBrushHatched, kBlack, kHatchForwardDiagonal});
    ExpectPixels(bitmap, [](int x, int y) {
        if (y < 12)
            return x % 8 == 4 || y % 8 == 4 ? kBlack : kBlue;
        return x % 8 == y % 8 ? kBlack : kWhite;
    });
}

TEST(CDeviceContextFill, FillRectCopiesWhateverTheMixMode) {
    CDibSection bitmap = MakeBitmap(8, 8, 24);
    CDeviceContext dc(&bitmap);
    dc.SetROP2(kR2XorPen);
    EXPECT_TRUE(dc.FillSolidRect(CRect(1, 1, 4, 4), kRed));
    dc.FillRect(CRect(1, 1, 4, 4), CBrush{kBrushHollow, kBlack});
    EXPECT_EQ(PixelAt(bitmap, 1, 1), kRed);
    EXPECT_EQ(PixelAt(bitmap, 3, 3), kRed);
    EXPECT_EQ(PixelAt(bitmap, 4, 4), kWhite);
}

TEST(CDeviceContextFill, PixelsReadBackAndOutsideIsInvalid) {
    CDibSection bitmap = MakeBitmap(8, 8, 32);
    CDeviceContext dc(&bitmap);
    EXPECT_EQ(dc.SetPixel(3, 4, 0x123456), 0x123456u);
    EXPECT_EQ(dc.GetPixel(3, 4), 0x123456u);
    EXPECT_EQ(PixelAt(bitmap, 3, 4), 0x123456u);
    EXPECT_EQ(dc.GetPixel(8, 0), kInvalidColor);
    EXPECT_EQ(dc.GetPixel(-1, 0), kInvalidColor);
    EXPECT_EQ(dc.SetPixel(0, 8, kRed), kInvalidColor);
    dc.SetClipRect(CRect(0, 0, 2, 2));
    EXPECT_EQ(dc.SetPixel(3, 3, kRed), kInvalidColor);
    EXPECT_EQ(dc.GetPixel(3, 3), kWhite); // reading is not clipped

    CDeviceContext empty;
    EXPECT_EQ(empty.GetPixel(0, 0), kInvalidColor);
    EXPECT_FALSE(empty.Rectangle(0, 0, 4, 4));
}

TEST(CDeviceContextFill, FocusRectInvertsAlternatePixelsAndTwiceRestores) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    CDeviceContext dc(&bitmap);
    const CDibSection before = bitmap;
    for (const CRect& r : {CRect(2, 3, 15, 12), CRect(4, 4, 5, 9), CRect(6, 6, 7, 7), CRect(15, 12, 2, 3)}) {
        EXPECT_TRUE(dc.DrawFocusRect(r));
        EXPECT_GT(test::CountDifferences(bitmap, before), 0);
        dc.DrawFocusRect(r);
        EXPECT_EQ(test::CountDifferences(bitmap, before), 0);
    }
    dc.DrawFocusRect(CRect(2, 3, 15, 12));
    for (int x = 2; x < 15; ++x)
        EXPECT_EQ(PixelAt(bitmap, x, 3) == kBlack, (x + 3) % 2 == 0) << x;
    EXPECT_EQ(PixelAt(bitmap, 3, 11), kBlack); // bottom row is 11
    EXPECT_EQ(PixelAt(bitmap, 5, 12), kWhite);
    EXPECT_EQ(PixelAt(bitmap, 14, 4), kBlack); // right column
    EXPECT_EQ(PixelAt(bitmap, 14, 5), kWhite);
}

TEST(CDeviceContextFill, SelectionsReturnThePreviousValuesAndRefuseUnknownModes) {
    CDeviceContext dc;
    EXPECT_EQ(dc.SelectBrush(CBrush{kBrushHatched, kRed, kHatchCross}), CBrush{});
    EXPECT_EQ(dc.SetBkMode(kBkTransparent), kBkOpaque);
    EXPECT_EQ(dc.SetBkMode(99), kBkTransparent);
    EXPECT_EQ(dc.GetBkMode(), kBkTransparent);
    EXPECT_EQ(dc.SetROP2(0), kR2CopyPen);
    EXPECT_EQ(dc.GetROP2(), kR2CopyPen);
    CDibSection a = MakeBitmap(4, 4, 24), b = MakeBitmap(4, 4, 24);
    EXPECT_EQ(dc.SelectBitmap(&a), nullptr);
    EXPECT_EQ(dc.SelectBitmap(&b), &a);
}

} // namespace
} // namespace pq
