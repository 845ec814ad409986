#include "platform/DeviceContext.h"

#include "RasterHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0x0000FF;

using PixelSet = std::set<std::pair<int, int>>;

// The set of pixels that differ from the background colour.
PixelSet Marked(const CDibSection& bitmap, uint32_t background) {
    PixelSet out;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            if (PixelAt(bitmap, x, y) != background)
                out.insert({x, y});
    return out;
}

bool Line(CDeviceContext& dc, int x0, int y0, int x1, int y1) {
    dc.MoveTo(x0, y0);
    return dc.LineTo(x1, y1);
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

TEST(CDeviceContextLines, ThinLinesStepAlongTheirMajorAxisAndLeaveOutTheEndPoint) {
    // Each line's pixels: step i of n from the start, on the minor axis rounded with halves towards the end.
    struct Case {
        CPoint from, to;
        int width;
        PixelSet expected;
    };
    const Case cases[] = {
        {{2, 5}, {8, 5}, 1, {{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}}},
        {{0, 0},
         {10, 3},
         0,
         {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 2}, {8, 2}, {9, 3}}},
        {{10, 3},
         {0, 0},
         0,
         {{10, 3}, {9, 3}, {8, 2}, {7, 2}, {6, 2}, {5, 1}, {4, 1}, {3, 1}, {2, 1}, {1, 0}}},
        {{3, 3}, {8, 8}, 1, {{3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}}},
        {{15, 2}, {16, 7}, 1, {{15, 2}, {15, 3}, {15, 4}, {16, 5}, {16, 6}}},
    };
    for (const Case& c : cases) {
        CDibSection bitmap = MakeBitmap(20, 12, 24);
        CDeviceContext dc(&bitmap);
        dc.SelectPen(CPen{kPenSolid, c.width, kRed});
        EXPECT_TRUE(Line(dc, c.from.x, c.from.y, c.to.x, c.to.y));
        EXPECT_EQ(Marked(bitmap, kWhite), c.expected)
            << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(dc.GetCurrentPosition(), c.to);
        EXPECT_EQ(PixelAt(bitmap, c.from.x, c.from.y), kRed);
    }

    CDibSection bitmap = MakeBitmap(10, 10, 24);
    CDeviceContext dc(&bitmap);
    EXPECT_EQ(dc.SelectPen(CPen{kPenNull, 3, kBlack}), CPen{});
    Line(dc, 0, 0, 9, 9);
    EXPECT_TRUE(Marked(bitmap, kWhite).empty()) << "a null pen draws nothing";
}

TEST(CDeviceContextLines, XorWritesPolylineJointsOnceAndDrawnTwiceRestores) {
    // Under XOR a pixel written twice would come back to the background.
    CDibSection square = MakeBitmap(20, 20, 24, kBlack);
    CDeviceContext dc(&square);
    dc.SelectPen(CPen{kPenSolid, 1, kWhite});
    dc.SetROP2(kR2XorPen);
    const CPoint corners[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}, {2, 3}};
    EXPECT_TRUE(dc.Polyline(corners));
    EXPECT_EQ(Marked(square, kBlack).size(), 10u + 10u + 10u + 9u);
    EXPECT_EQ(PixelAt(square, 2, 3), kBlack) << "the last point is left out";
    EXPECT_FALSE(dc.Polyline(std::span<const CPoint>(corners, 1)));

    std::mt19937 random(7);
    CDibSection bitmap = MakeBitmap(64, 48, 24);
    dc.SelectBitmap(&bitmap);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            dc.SetPixel(x, y, random() & 0xFFFFFF);
    const CDibSection before = bitmap;
    const CPoint path[] = {{-5, 3}, {30, 40}, {60, 2}, {20, 20}, {20, 21}, {70, 50}};
    dc.SelectBrush(CBrush{kBrushHollow});
    for (int width : {1, 2, 5}) {
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
    Line(dc, 0, 1, 10, 1);
    Line(dc, 0, 3, 10, 3);
    EXPECT_EQ(PixelAt(bitmap, 4, 1), 0x606060u);
    EXPECT_EQ(PixelAt(bitmap, 4, 3), 0x9F9F9Fu);
    EXPECT_EQ(PixelAt(bitmap, 4, 0), kWhite);
    dc.SetROP2(kR2Not);
    Line(dc, 0, 0, 10, 0);
    EXPECT_EQ(PixelAt(bitmap, 4, 0), kBlack);
}

TEST(CDeviceContextLines, DashPatternsRunOnThinPensOnly) {
    CDibSection bitmap = MakeBitmap(60, 30, 24);
    CDeviceContext dc(&bitmap);
    auto draw = [&dc](int style, int width, int y, int length) {
        dc.SelectPen(CPen{style, width, kBlack});
        Line(dc, 0, y, length, y);
    };
    dc.SetBkMode(kBkTransparent);
    draw(kPenDash, 1, 1, 60);
    draw(kPenDot, 0, 3, 60);
    draw(kPenDashDotDot, 0, 5, 60);
    draw(kPenDot, 3, 10, 60); // a wide pen draws solid whatever its style
    for (int x = 0; x < 60; ++x) {
        const int p = x % 24;
        EXPECT_EQ(PixelAt(bitmap, x, 1) == kBlack, p < 18) << x;
        EXPECT_EQ(PixelAt(bitmap, x, 3) == kBlack, x % 6 < 3) << x;
        EXPECT_EQ(PixelAt(bitmap, x, 5) == kBlack, p < 9 || (p >= 12 && p < 15) || (p >= 18 && p < 21)) << x;
        EXPECT_EQ(PixelAt(bitmap, x, 10), kBlack) << x;
    }

    // The pattern's phase runs on across a polyline's joints.
    dc.SelectPen(CPen{kPenDot, 1, kBlack});
    const CPoint path[] = {{30, 12}, {40, 12}, {40, 29}};
    dc.Polyline(path);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(PixelAt(bitmap, 30 + i, 12) == kBlack, i % 6 < 3) << i;
    for (int y = 12; y < 29; ++y)
        EXPECT_EQ(PixelAt(bitmap, 40, y) == kBlack, (10 + y - 12) % 6 < 3) << y;

    // An opaque background fills the gaps with the background colour.
    dc.SetBkMode(kBkOpaque);
    dc.SetBkColor(kRed);
    draw(kPenDot, 1, 7, 12);
    EXPECT_EQ(PixelAt(bitmap, 0, 7), kBlack);
    EXPECT_EQ(PixelAt(bitmap, 3, 7), kRed);
}

// A dashed pen whose gaps are filled in its own colour covers every pixel of the line through the
// general line path, which solid pens skip for steps of one pixel.
TEST(CDeviceContextLines, SolidPolylinesOfPixelStepsMatchTheGeneralLinePath) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> step(-1, 1), jump(-9, 9), start(8, 32), kind(0, 5);
    int drawn = 0;
    for (int round = 0; round < 200; ++round) {
        std::vector<CPoint> points{{start(random), start(random)}};
        for (int i = 0; i < 40; ++i) {
            const bool far = kind(random) == 0;
            points.push_back({points.back().x + (far ? jump(random) : step(random)),
                              points.back().y + (far ? jump(random) : step(random))});
        }
        CDibSection solid = MakeBitmap(40, 40, 24), general = MakeBitmap(40, 40, 24);
        CDeviceContext dc(&solid);
        dc.SetClipRect(CRect(2, 3, 37, 35));
        dc.SelectPen(CPen{kPenSolid, 1, kRed});
        dc.Polyline(points);
        dc.SelectBitmap(&general);
        dc.SetClipRect(CRect(2, 3, 37, 35));
        dc.SelectPen(CPen{kPenDot, 1, kRed});
        dc.SetBkMode(kBkOpaque);
        dc.SetBkColor(kRed);
        dc.Polyline(points);
        EXPECT_EQ(test::CountDifferences(solid, general), 0) << "round " << round;
        drawn += Marked(solid, kWhite).size() > 10 ? 1 : 0;
    }
    EXPECT_GT(drawn, 150);
}

TEST(CDeviceContextLines, WidePensCoverHalfTheirWidthWithRoundEnds) {
    for (int width : {2, 5, 6, 7}) {
        CDibSection bitmap = MakeBitmap(60, 50, 24);
        CDeviceContext dc(&bitmap);
        dc.SelectPen(CPen{kPenSolid, width, kBlack});
        Line(dc, 10, 10, 45, 32);
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 60; ++x) {
                // Even widths sit half a pixel up and left of the pixel centres, so allow that margin.
                const double d = DistanceToSegment(x, y, 10, 10, 45, 32) - width / 2.0;
                if (std::fabs(d) >= 0.75) {
                    EXPECT_EQ(PixelAt(bitmap, x, y), d < 0 ? kBlack : kWhite)
                        << width << " at " << x << "," << y;
                }
            }
        }

        // A straight line is exactly its width across; the round cap reaches half the width beyond the end
        // point on the line, but its corner stays clear.
        bitmap = MakeBitmap(40, 40, 32);
        dc.SelectBitmap(&bitmap);
        Line(dc, 5, 20, 35, 20);
        int rows = 0;
        for (int y = 0; y < 40; ++y)
            rows += PixelAt(bitmap, 20, y) == kBlack ? 1 : 0;
        EXPECT_EQ(rows, width);
        EXPECT_EQ(PixelAt(bitmap, 35 + (width - 1) / 2, 20), kBlack) << width;
        EXPECT_EQ(PixelAt(bitmap, 35 + width / 2 + 1, 20), kWhite) << width;
        if (width >= 5) {
            EXPECT_EQ(PixelAt(bitmap, 35 + (width - 1) / 2, 20 + (width - 1) / 2), kWhite) << width;
        }
    }
}

} // namespace
} // namespace pq
