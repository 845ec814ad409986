#include "render/PolyPolyFill.h"

#include "RasterHelpers.h"
#include "platform/DeviceContext.h"
#include "platform/DibSection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kFill = 0x3366CC; // red 0xCC, green 0x66, blue 0x33

std::vector<CPoint> Square(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// Fills the polygons (one vector each) and returns Fill's result.
int FillPolygons(CDibSection& bitmap, const std::vector<std::vector<CPoint>>& polygons, bool dotted = false,
                 CPolyPolyFill* filler = nullptr) {
    std::vector<CPoint> points;
    std::vector<int32_t> counts;
    for (const auto& p : polygons) {
        points.insert(points.end(), p.begin(), p.end());
        counts.push_back(static_cast<int32_t>(p.size()));
    }
    CPolyPolyFill local;
    return (filler ? *filler : local).Fill(bitmap, points, counts, kFill, dotted);
}

// Checks every pixel against a predicate of (x, y).
template <typename Inside> void ExpectFilled(const CDibSection& bitmap, Inside inside) {
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            ASSERT_EQ(PixelAt(bitmap, x, y), inside(x, y) ? kFill : kWhite) << x << "," << y;
}

TEST(CPolyPolyFill, InnerPolygonLeavesAHole) {
    CDibSection bitmap = MakeBitmap(40, 40, 24);
    CPolyPolyFill filler;
    EXPECT_EQ(FillPolygons(bitmap, {Square(10, 10, 30, 30), Square(15, 15, 25, 25)}, false, &filler), 1);
    EXPECT_EQ(filler.GetSpanPixelCount(), 20u * 20u - 10u * 10u);
    ExpectFilled(bitmap, [](int x, int y) {
        const bool outer = x >= 10 && x < 30 && y >= 10 && y < 30;
        const bool inner = x >= 15 && x < 25 && y >= 15 && y < 25;
        return outer && !inner;
    });
}

TEST(CPolyPolyFill, OverlapOfTwoPolygonsStaysEmpty) {
    CDibSection bitmap = MakeBitmap(40, 40, 32);
    EXPECT_EQ(FillPolygons(bitmap, {Square(5, 5, 25, 25), Square(15, 12, 35, 30)}), 1);
    test::DumpIfAsked(bitmap, "fill_overlap");
    ExpectFilled(bitmap, [](int x, int y) {
        const bool a = x >= 5 && x < 25 && y >= 5 && y < 25;
        const bool b = x >= 15 && x < 35 && y >= 12 && y < 30;
        return a != b;
    });
}

TEST(CPolyPolyFill, LeftBorderFillsFromColumnZero) {
    CDibSection bitmap = MakeBitmap(30, 30, 24);
    EXPECT_EQ(FillPolygons(bitmap, {{{-10, 10}, {20, 10}, {20, 20}, {-12, 20}}}), 1);
    ExpectFilled(bitmap, [](int x, int y) { return x < 20 && y >= 10 && y < 20; });
}

TEST(CPolyPolyFill, RightBorderFillsUpToTheSecondLastColumn) {
    CDibSection bitmap = MakeBitmap(30, 30, 24);
    EXPECT_EQ(FillPolygons(bitmap, {Square(5, 3, 100, 8)}), 1);
    ExpectFilled(bitmap, [](int x, int y) { return x >= 5 && x <= 28 && y >= 3 && y < 8; });
}

TEST(CPolyPolyFill, BottomBorderLeavesTheLastRow) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    EXPECT_EQ(FillPolygons(bitmap, {Square(2, -5, 10, 40)}), 1);
    ExpectFilled(bitmap, [](int x, int y) { return x >= 2 && x < 10 && y <= 18; });
}

TEST(CPolyPolyFill, BorderPiecesAlongOneColumnAreMerged) {
    // Two consecutive edges left of the bitmap become one vertical edge on column 0, rows 10 to 30.
    CDibSection bitmap = MakeBitmap(40, 40, 24);
    CPolyPolyFill filler;
    EXPECT_EQ(FillPolygons(bitmap, {{{20, 10}, {-5, 10}, {-8, 20}, {-3, 30}, {20, 30}}}, false, &filler), 1);
    ASSERT_EQ(filler.GetPolygonCount(), 1u);
    const auto& table = filler.GetEdgeTable(0);
    ASSERT_EQ(table.GetSize(), 2u);
    EXPECT_EQ(table[0], (CFillEdge{10.0f, 30.0f, 0.0f, 0.0f}));
    EXPECT_EQ(table[1], (CFillEdge{10.0f, 30.0f, 20.0f, 0.0f}));
    ExpectFilled(bitmap, [](int x, int y) { return x < 20 && y >= 10 && y < 30; });
}

TEST(CPolyPolyFill, HorizontalTopEdgeIsIgnored) {
    CDibSection bitmap = MakeBitmap(40, 40, 24);
    CPolyPolyFill filler;
    EXPECT_EQ(FillPolygons(bitmap, {{{10, 10}, {30, 10}, {20, 30}}}, false, &filler), 1);
    EXPECT_EQ(filler.GetRawEdges(0).GetSize(), 3u);
    EXPECT_EQ(filler.GetEdgeTable(0).GetSize(), 2u);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(PixelAt(bitmap, x, 10) == kFill, x >= 10 && x < 30) << x;
    // Row y: from 10 + (y - 10) / 2 to 30 - (y - 10) / 2, crossings rounded half away from zero.
    for (int y = 11; y < 30; ++y) {
        const int left = static_cast<int>(std::floor(10 + (y - 10) * 0.5 + 0.5));
        const int right = static_cast<int>(std::floor(30 - (y - 10) * 0.5 + 0.5));
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(PixelAt(bitmap, x, y) == kFill, x >= left && x < right) << x << "," << y;
    }
    EXPECT_EQ(PixelAt(bitmap, 20, 30), kWhite);
}

TEST(CPolyPolyFill, PolygonsOutsideTheRowsFillNothing) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    const CDibSection before = bitmap;
    EXPECT_EQ(FillPolygons(bitmap, {Square(2, -30, 10, -4)}), 0);
    EXPECT_EQ(FillPolygons(bitmap, {Square(2, -30, 10, 0)}), 0);
    EXPECT_EQ(FillPolygons(bitmap, {Square(2, 19, 10, 50)}), 0);
    EXPECT_EQ(FillPolygons(bitmap, {}), 0);
    EXPECT_EQ(FillPolygons(bitmap, {{{3, 3}}}), 0);
    EXPECT_EQ(test::CountDifferences(bitmap, before), 0);
}

TEST(CPolyPolyFill, CountsPastTheEndOfThePointsAreNotRead) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    const std::vector<CPoint> points = Square(2, 2, 10, 10);
    const int32_t counts[] = {4, 1000};
    CPolyPolyFill filler;
    EXPECT_EQ(filler.Fill(bitmap, points, counts, kFill, false), 1);
    EXPECT_EQ(filler.GetPolygonCount(), 1u);
    const int32_t negative[] = {-3, 4};
    EXPECT_EQ(filler.Fill(bitmap, points, negative, kFill, false), 1);
}

TEST(CPolyPolyFill, DottedFillUsesOnlyRowsThatAreMultiplesOfThree) {
    CDibSection a = MakeBitmap(50, 40, 24);
    CDibSection b = MakeBitmap(50, 40, 32);
    EXPECT_EQ(FillPolygons(a, {Square(0, 0, 50, 40)}, true), 1);
    EXPECT_EQ(FillPolygons(b, {Square(0, 0, 50, 40)}, true), 1);
    test::DumpIfAsked(a, "fill_dotted");
    const std::size_t rowSize = a.GetBytesPerRow();
    int dots = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 50; ++x) {
            const bool set = PixelAt(a, x, y) == kFill;
            dots += set ? 1 : 0;
            const std::size_t o =
                3 * static_cast<std::size_t>(x) + rowSize * static_cast<std::size_t>(39 - y);
            const bool expected =
                x < 49 && y < 39 && y % 3 == 0 && (o % 9 == 0 || (o + 1) % 9 == 0 || (o + 2) % 9 == 0);
            EXPECT_EQ(set, expected) << x << "," << y;
        }
    }
    EXPECT_GT(dots, 100);
    EXPECT_EQ(test::CountDifferences(a, b), 0);
}

TEST(CPolyPolyFill, OtherDepthsAreLeftUntouched) {
    for (uint16_t depth : {8, 16}) {
        CDibSection bitmap;
        ASSERT_TRUE(bitmap.Create(20, 20, depth));
        const CDibSection before = bitmap;
        EXPECT_EQ(FillPolygons(bitmap, {Square(2, 2, 10, 10)}), 0);
        EXPECT_TRUE(bitmap == before);
    }
}

TEST(CPolyPolyFill, FillsTheBitmapSelectedIntoADeviceContext) {
    CDibSection bitmap = MakeBitmap(20, 20, 32);
    CDeviceContext dc;
    const std::vector<CPoint> points = Square(2, 2, 10, 10);
    const int32_t counts[] = {4};
    CPolyPolyFill filler;
    EXPECT_EQ(filler.Fill(dc, points, counts, kFill, false), 0);
    dc.SelectBitmap(&bitmap);
    EXPECT_EQ(filler.Fill(dc, points, counts, kFill, false), 1);
    EXPECT_EQ(PixelAt(bitmap, 2, 2), kFill);
    EXPECT_EQ(PixelAt(bitmap, 10, 10), kWhite);
}

TEST(CPolyPolyFill, InsertionKeepsTopRowThenXOrderAndEqualEntriesInArrivalOrder) {
    std::mt19937 random(11);
    CGrowableArray<CFillEdge> table;
    std::vector<CFillEdge> arrived;
    for (int i = 0; i < 200; ++i) {
        // dxdy tags the arrival order; few distinct keys make many ties.
        const CFillEdge e{static_cast<float>(random() % 6), 50.0f, static_cast<float>(random() % 4),
                          static_cast<float>(i)};
        CPolyPolyFill::InsertSorted(table, e);
        arrived.push_back(e);
    }
    std::stable_sort(arrived.begin(), arrived.end(), [](const CFillEdge& a, const CFillEdge& b) {
        return a.yTop < b.yTop || (a.yTop == b.yTop && a.x < b.x);
    });
    ASSERT_EQ(table.GetSize(), arrived.size());
    for (std::size_t i = 0; i < arrived.size(); ++i)
        EXPECT_EQ(table[i], arrived[i]) << i;
}

// Even-odd inside test of the point (px, py) against all polygons, with edges covering rows from their
// top (included) to their bottom (excluded).
bool InsideEvenOdd(const std::vector<std::vector<CPoint>>& polygons, double px, double py) {
    bool inside = false;
    for (const auto& poly : polygons) {
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const CPoint a = poly[i], b = poly[(i + 1) % poly.size()];
            if ((a.y <= py) == (b.y <= py))
                continue;
            const double x = a.x + (py - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
            if (x < px)
                inside = !inside;
        }
    }
    return inside;
}

// Distances along row y from px to the nearest crossing of any edge.
double NearestCrossing(const std::vector<std::vector<CPoint>>& polygons, double px, double py) {
    double best = 1e9;
    for (const auto& poly : polygons) {
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const CPoint a = poly[i], b = poly[(i + 1) % poly.size()];
            if ((a.y <= py) == (b.y <= py))
                continue;
            const double x = a.x + (py - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
            best = std::min(best, std::fabs(x - px));
        }
    }
    return best;
}

TEST(CPolyPolyFill, RandomShapesMatchABruteForceEvenOddReference) {
    std::mt19937 random(20240607);
    constexpr int kWidth = 90, kHeight = 70;
    int compared = 0, filled = 0;
    for (int shape = 0; shape < 60; ++shape) {
        std::vector<std::vector<CPoint>> polygons(1 + random() % 3);
        for (auto& poly : polygons) {
            poly.resize(3 + random() % 8);
            for (CPoint& p : poly)
                p = CPoint(static_cast<int32_t>(random() % (kWidth + 40)) - 20,
                           static_cast<int32_t>(random() % (kHeight + 40)) - 20);
        }
        CDibSection bitmap = MakeBitmap(kWidth, kHeight, shape % 2 ? 32 : 24);
        FillPolygons(bitmap, polygons);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool set = PixelAt(bitmap, x, y) == kFill;
                filled += set ? 1 : 0;
                // The last row and column are never filled; columns outside the bitmap count as the
                // border column, so sample the reference there.
                bool expected = false;
                if (x < kWidth - 1 && y < kHeight - 1)
                    expected = InsideEvenOdd(polygons, x + 0.5, y);
                if (set == expected)
                    continue;
                // Only pixels next to a crossing may differ: crossings are rounded, and the cut of an edge
                // at row 0 or the last row rounds its x.
                const bool boundary = NearestCrossing(polygons, x + 0.5, y) <= 1.0;
                EXPECT_TRUE(boundary) << "shape " << shape << " pixel " << x << "," << y;
                ++compared;
            }
        }
    }
    EXPECT_GT(filled, 20000);
    EXPECT_LT(compared, filled / 50); // boundary differences stay rare
}

TEST(CPolyPolyFill, FarAwayPointsNeverWritePastTheBitmap) {
    // The last column and row are never filled, so they show any write that escaped the clipping.
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        const int32_t scale = round % 2 ? 2000000000 : 300;
        std::vector<std::vector<CPoint>> polygons(1 + random() % 3);
        for (auto& poly : polygons) {
            poly.resize(2 + random() % 6);
            for (CPoint& p : poly)
                p = CPoint(static_cast<int32_t>(static_cast<int64_t>(random() % (2u * scale)) - scale),
                           static_cast<int32_t>(static_cast<int64_t>(random() % (2u * scale)) - scale));
        }
        CDibSection bitmap = MakeBitmap(23, 17, round % 4 < 2 ? 24 : 32);
        FillPolygons(bitmap, polygons, round % 3 == 0);
        for (int y = 0; y < 17; ++y)
            ASSERT_EQ(PixelAt(bitmap, 22, y), kWhite) << round;
        for (int x = 0; x < 23; ++x)
            ASSERT_EQ(PixelAt(bitmap, x, 16), kWhite) << round;
    }
}

} // namespace
} // namespace pq
