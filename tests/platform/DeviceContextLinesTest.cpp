#include "platform/DeviceContext.h"

#include "RasterHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0x0000FF;

// The set of pixels that differ from the background colour.
std::set<std::pair<int, int>> Marked(const CDibSection& bitmap, uint32_t background) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            if (PixelAt(bitmap, x, y) != background)
                out.insert({x, y});
    return out;
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

TEST(CDeviceContextLines, ThinLineSetsEveryPixelUpToButNotTheEndPoint) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    CDeviceContext dc(&bitmap);
    dc.SelectPen(CPen{kPenSolid, 1, kRed});
    dc.MoveTo(2, 5);
    EXPECT_TRUE(dc.LineTo(8, 5));
    std::set<std::pair<int, int>> expected;
    for (int x = 2; x < 8; ++x)
        expected.insert({x, 5});
    EXPECT_EQ(Marked(bitmap, kWhite), expected);
    EXPECT_EQ(PixelAt(bitmap, 2, 5), kRed);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(8, 5));
}

TEST(CDeviceContextLines, ShallowLineRoundsToTheNearestRowInBothDirections) {
    // Row of step i on a line from (0, 0) to (10, 3): 0.3 i rounded, halves towards the end point.
    const int rows[10] = {0, 0, 1, 1, 1, 2, 2, 2, 2, 3};
    CDibSection forward = MakeBitmap(16, 8, 24);
    CDeviceContext dc(&forward);
    dc.SelectPen(CPen{kPenSolid, 0, kBlack});
    dc.MoveTo(0, 0);
    dc.LineTo(10, 3);
    std::set<std::pair<int, int>> expected;
    for (int i = 0; i < 10; ++i)
        expected.insert({i, rows[i]});
    EXPECT_EQ(Marked(forward, kWhite), expected);

    // Drawn backwards, the start pixel is (10, 3) and (0, 0) is left out.
    CDibSection backward = MakeBitmap(16, 8, 24);
    CDeviceContext back(&backward);
    back.SelectPen(CPen{kPenSolid, 0, kBlack});
    back.MoveTo(10, 3);
    back.LineTo(0, 0);
    const auto marked = Marked(backward, kWhite);
    EXPECT_EQ(marked.size(), 10u);
    EXPECT_TRUE(marked.count({10, 3}));
    EXPECT_FALSE(marked.count({0, 0}));
}

TEST(CDeviceContextLines, SteepAndDiagonalLinesStepAlongTheirMajorAxis) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    CDeviceContext dc(&bitmap);
    dc.SelectPen(CPen{kPenSolid, 1, kBlack});
    dc.MoveTo(3, 3);
    dc.LineTo(8, 8);
    dc.MoveTo(15, 2);
    dc.LineTo(16, 12);
    const auto marked = Marked(bitmap, kWhite);
    EXPECT_EQ(marked.size(), 5u + 10u);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(marked.count({3 + i, 3 + i}));
    for (int y = 2; y < 12; ++y)
        EXPECT_TRUE(marked.count({y < 7 ? 15 : 16, y})) << y;
}

TEST(CDeviceContextLines, PolylineWritesEachJointOnce) {
    // Under XOR a pixel written twice would come back to the background.
    CDibSection bitmap = MakeBitmap(20, 20, 24, kBlack);
    CDeviceContext dc(&bitmap);
    dc.SelectPen(CPen{kPenSolid, 1, kWhite});
    dc.SetROP2(kR2XorPen);
    const CPoint path[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}, {2, 3}};
    EXPECT_TRUE(dc.Polyline(path));
    EXPECT_EQ(Marked(bitmap, kBlack).size(), 10u + 10u + 10u + 9u);
    EXPECT_EQ(PixelAt(bitmap, 12, 2), kWhite);
    EXPECT_EQ(PixelAt(bitmap, 2, 3), kBlack); // the last point is left out
    EXPECT_FALSE(dc.Polyline(std::span<const CPoint>(path, 1)));
}

TEST(CDeviceContextLines, XorDrawnTwiceRestoresThePixels) {
    std::mt19937 random(7);
    CDibSection bitmap = MakeBitmap(64, 48, 24);
    CDeviceContext dc(&bitmap);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            dc.SetPixel(x, y, random() & 0xFFFFFF);
    const CDibSection before = bitmap;
    const CPoint path[] = {{-5, 3}, {30, 40}, {60, 2}, {20, 20}, {20, 21}, {70, 50}};
    dc.SetROP2(kR2XorPen);
    dc.SelectBrush(CBrush{kBrushHollow});
    for (int width : {1, 2, 5, 8}) {
        dc.SelectPen(CPen{kPenSolid, width, 0x3355AA});
        for (int pass = 0; pass < 2; ++pass) {
            dc.Polyline(path);
            dc.Polygon(path);
            dc.Ellipse(5, 5, 40, 30);
            dc.Rectangle(10, 12, 50, 44);
        }
        EXPECT_EQ(test::CountDifferences(bitmap, before), 0) << "pen width " << width;
    }
}

TEST(CDeviceContextLines, NotXorPenShowsThePenOnWhiteAndItsInverseOnBlack) {
    CDibSection bitmap = MakeBitmap(10, 4, 24);
    CDeviceContext dc(&bitmap);
    dc.FillSolidRect(CRect(0, 2, 10, 4), kBlack);
    dc.SelectPen(CPen{kPenSolid, 0, 0x606060});
    EXPECT_EQ(dc.SetROP2(kR2NotXorPen), kR2CopyPen);
    dc.MoveTo(0, 1);
    dc.LineTo(10, 1);
    dc.MoveTo(0, 3);
    dc.LineTo(10, 3);
    EXPECT_EQ(PixelAt(bitmap, 4, 1), 0x606060u);
    EXPECT_EQ(PixelAt(bitmap, 4, 3), 0x9F9F9Fu);
    EXPECT_EQ(PixelAt(bitmap, 4, 0), kWhite);

    dc.SetROP2(kR2Not);
    dc.MoveTo(0, 0);
    dc.LineTo(10, 0);
    EXPECT_EQ(PixelAt(bitmap, 4, 0), kBlack);
}

TEST(CDeviceContextLines, DashPatternsRunOnThinPensOnly) {
    CDibSection bitmap = MakeBitmap(60, 12, 24);
    CDeviceContext dc(&bitmap);
    dc.SetBkMode(kBkTransparent);
    dc.SelectPen(CPen{kPenDash, 1, kBlack});
    dc.MoveTo(0, 1);
    dc.LineTo(60, 1);
    dc.SelectPen(CPen{kPenDot, 0, kBlack});
    dc.MoveTo(0, 3);
    dc.LineTo(60, 3);
    dc.SelectPen(CPen{kPenDashDotDot, 0, kBlack});
    dc.MoveTo(0, 5);
    dc.LineTo(60, 5);
    for (int x = 0; x < 60; ++x) {
        EXPECT_EQ(PixelAt(bitmap, x, 1) == kBlack, x % 24 < 18) << x;
        EXPECT_EQ(PixelAt(bitmap, x, 3) == kBlack, x % 6 < 3) << x;
        const int p = x % 24;
        EXPECT_EQ(PixelAt(bitmap, x, 5) == kBlack, p < 9 || (p >= 12 && p < 15) || (p >= 18 && p < 21)) << x;
    }

    // Opaque background fills the gaps with the background colour.
    dc.SetBkMode(kBkOpaque);
    dc.SetBkColor(kRed);
    dc.SelectPen(CPen{kPenDot, 1, kBlack});
    dc.MoveTo(0, 7);
    dc.LineTo(12, 7);
    EXPECT_EQ(PixelAt(bitmap, 0, 7), kBlack);
    EXPECT_EQ(PixelAt(bitmap, 3, 7), kRed);

    // A wide pen draws solid whatever its style.
    dc.SelectPen(CPen{kPenDot, 3, kBlack});
    dc.MoveTo(0, 10);
    dc.LineTo(40, 10);
    for (int x = 0; x <= 40; ++x)
        EXPECT_EQ(PixelAt(bitmap, x, 10), kBlack) << x;
}

TEST(CDeviceContextLines, DashPhaseContinuesAcrossPolylineJoints) {
    CDibSection bitmap = MakeBitmap(20, 30, 24);
    CDeviceContext dc(&bitmap);
    dc.SetBkMode(kBkTransparent);
    dc.SelectPen(CPen{kPenDot, 1, kBlack});
    const CPoint path[] = {{0, 0}, {10, 0}, {10, 20}};
    dc.Polyline(path);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(PixelAt(bitmap, x, 0) == kBlack, x % 6 < 3) << x;
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(PixelAt(bitmap, 10, y) == kBlack, (10 + y) % 6 < 3) << y;
}

TEST(CDeviceContextLines, WidePenCoversPixelsWithinHalfItsWidthWithRoundEnds) {
    for (int width : {4, 6, 7}) {
        CDibSection bitmap = MakeBitmap(60, 50, 24);
        CDeviceContext dc(&bitmap);
        dc.SelectPen(CPen{kPenSolid, width, kBlack});
        dc.MoveTo(10, 10);
        dc.LineTo(45, 32);
        const double r = width / 2.0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 60; ++x) {
                // Even widths sit half a pixel up and left of the pixel centres, so allow that margin.
                const double d = DistanceToSegment(x, y, 10, 10, 45, 32);
                if (d <= r - 0.75) {
                    EXPECT_EQ(PixelAt(bitmap, x, y), kBlack) << width << " at " << x << "," << y;
                }
                if (d >= r + 0.75) {
                    EXPECT_EQ(PixelAt(bitmap, x, y), kWhite) << width << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(CDeviceContextLines, WideStraightLinesAreExactlyTheirWidthAcross) {
    for (int width : {2, 5, 6}) {
        CDibSection bitmap = MakeBitmap(40, 40, 32);
        CDeviceContext dc(&bitmap);
        dc.SelectPen(CPen{kPenSolid, width, kBlack});
        dc.MoveTo(5, 20);
        dc.LineTo(35, 20);
        int rows = 0;
        for (int y = 0; y < 40; ++y)
            rows += PixelAt(bitmap, 20, y) == kBlack ? 1 : 0;
        EXPECT_EQ(rows, width);
        // Round caps: the end reaches half the width beyond the end point on the line, but its corner
        // stays clear.
        EXPECT_EQ(PixelAt(bitmap, 35 + (width - 1) / 2, 20), kBlack) << width;
        EXPECT_EQ(PixelAt(bitmap, 35 + width / 2 + 1, 20), kWhite) << width;
        if (width >= 5) {
            EXPECT_EQ(PixelAt(bitmap, 35 + (width - 1) / 2, 20 + (width - 1) / 2), kWhite) << width;
        }
    }
}

TEST(CDeviceContextLines, NullPenDrawsNothing) {
    CDibSection bitmap = MakeBitmap(10, 10, 24);
    CDeviceContext dc(&bitmap);
    const CPen previous = dc.SelectPen(CPen{kPenNull, 3, kBlack});
    EXPECT_EQ(previous, CPen{});
    dc.MoveTo(0, 0);
    dc.LineTo(9, 9);
    EXPECT_TRUE(Marked(bitmap, kWhite).empty());
}

} // namespace
} // namespace pq
