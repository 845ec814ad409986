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
using Polygons = std::vector<std::vector<CPoint>>;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kFill = 0x3366CC;

std::vector<CPoint> Square(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

int FillPolygons(CDibSection& bitmap, const Polygons& polygons, bool dotted = false,
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

TEST(CPolyPolyFill, FillsEvenOddWithBordersClippedToTheBitmap) {
    // Each case's expected fill: the pixels inside an odd number of the rectangles.
    struct Case {
        const char* name;
        uint16_t depth;
        Polygons polygons;
        std::vector<CRect> expected;
    };
    const Case cases[] = {
        {"hole", 24, {Square(10, 10, 30, 30), Square(15, 15, 25, 25)}, {{10, 10, 30, 30}, {15, 15, 25, 25}}},
        {"overlap", 32, {Square(5, 5, 25, 25), Square(15, 12, 35, 30)}, {{5, 5, 25, 25}, {15, 12, 35, 30}}},
        {"left_border", 24, {{{-10, 10}, {20, 10}, {20, 20}, {-12, 20}}}, {{0, 10, 20, 20}}},
        {"right_border_to_width_minus_2", 24, {Square(5, 3, 100, 8)}, {{5, 3, 39, 8}}},
        {"bottom_border_leaves_last_row", 24, {Square(2, -5, 10, 90)}, {{2, 0, 10, 39}}},
        {"border_pieces", 24, {{{20, 10}, {-5, 10}, {-8, 20}, {-3, 30}, {20, 30}}}, {{0, 10, 20, 30}}},
    };
    for (const Case& c : cases) {
        CDibSection bitmap = MakeBitmap(40, 40, c.depth);
        CPolyPolyFill filler;
        EXPECT_EQ(FillPolygons(bitmap, c.polygons, false, &filler), 1) << c.name;
        test::DumpIfAsked(bitmap, std::string("fill_") + c.name);
        std::size_t count = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                bool inside = false;
                for (const CRect& r : c.expected)
                    inside ^= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                count += inside ? 1 : 0;
                ASSERT_EQ(PixelAt(bitmap, x, y), inside ? kFill : kWhite) << c.name << " " << x << "," << y;
            }
        EXPECT_EQ(filler.GetSpanPixelCount(), count) << c.name;
    }
}

TEST(CPolyPolyFill, EdgeTablesDropHorizontalEdgesAndMergeBorderPieces) {
    CDibSection bitmap = MakeBitmap(40, 40, 24);
    CPolyPolyFill filler;
    FillPolygons(bitmap, {{{20, 10}, {-5, 10}, {-8, 20}, {-3, 30}, {20, 30}}}, false, &filler);
    const auto& table = filler.GetEdgeTable(0);
    ASSERT_EQ(table.GetSize(), 2u);
    EXPECT_EQ(table[0], (CFillEdge{10.0f, 30.0f, 0.0f, 0.0f}));
    EXPECT_EQ(table[1], (CFillEdge{10.0f, 30.0f, 20.0f, 0.0f}));

    // A triangle under a horizontal top edge: the edge is kept raw, and its row is filled in full.
    bitmap = MakeBitmap(40, 40, 24);
    EXPECT_EQ(FillPolygons(bitmap, {{{10, 10}, {30, 10}, {20, 30}}}, false, &filler), 1);
    EXPECT_EQ(filler.GetRawEdges(0).GetSize(), 3u);
    EXPECT_EQ(filler.GetEdgeTable(0).GetSize(), 2u);
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(PixelAt(bitmap, x, 9), kWhite) << x;
        EXPECT_EQ(PixelAt(bitmap, x, 10) == kFill, x >= 10 && x < 30) << x;
        EXPECT_EQ(PixelAt(bitmap, x, 30), kWhite) << x;
    }
}

TEST(CPolyPolyFill, NothingToFillReturnsZeroAndWritesNothingAndCountsPastThePointsAreNotRead) {
    CDibSection bitmap = MakeBitmap(20, 20, 24);
    const CDibSection before = bitmap;
    for (const Polygons& polygons : {Polygons{Square(2, -30, 10, -4)}, Polygons{Square(2, -30, 10, 0)},
                                     Polygons{Square(2, 19, 10, 50)}, Polygons{}, Polygons{{{3, 3}}}})
        EXPECT_EQ(FillPolygons(bitmap, polygons), 0);
    EXPECT_EQ(test::CountDifferences(bitmap, before), 0);

    for (uint16_t depth : {8, 16}) {
        CDibSection other;
        ASSERT_TRUE(other.Create(20, 20, depth));
        const CDibSection untouched = other;
        EXPECT_EQ(FillPolygons(other, {Square(2, 2, 10, 10)}), 0) << depth;
        EXPECT_TRUE(other == untouched) << depth;
    }

    const std::vector<CPoint> points = Square(2, 2, 10, 10);
    const int32_t counts[] = {4};
    CDeviceContext dc;
    CPolyPolyFill filler;
    EXPECT_EQ(filler.Fill(dc, points, counts, kFill, false), 0);
    dc.SelectBitmap(&bitmap);
    EXPECT_EQ(filler.Fill(dc, points, counts, kFill, false), 1);
    EXPECT_EQ(PixelAt(bitmap, 2, 2), kFill);

    const int32_t pastTheEnd[] = {4, 1000};
    const int32_t negative[] = {-3, 4};
    CPolyPolyFill counting;
    EXPECT_EQ(counting.Fill(bitmap, points, pastTheEnd, kFill, false), 1);
    EXPECT_EQ(counting.GetPolygonCount(), 1u);
    EXPECT_EQ(counting.Fill(bitmap, points, negative, kFill, false), 1);
}

TEST(CPolyPolyFill, DottedFillUsesOnlyRowsThatAreMultiplesOfThree) {
    CDibSection a = MakeBitmap(50, 40, 24);
    CDibSection b = MakeBitmap(50, 40, 32);
    EXPECT_EQ(FillPolygons(a, {Square(0, 0, 50, 40)}, true), 1);
    EXPECT_EQ(FillPolygons(b, {Square(0, 0, 50, 40)}, true), 1);
    const std::size_t rowSize = a.GetBytesPerRow();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const std::size_t o =
                3 * static_cast<std::size_t>(x) + rowSize * static_cast<std::size_t>(39 - y);
            const bool dot = o % 9 == 0 || (o + 1) % 9 == 0 || (o + 2) % 9 == 0;
            ASSERT_EQ(PixelAt(a, x, y) == kFill, x < 49 && y < 39 && y % 3 == 0 && dot) << x << "," << y;
        }
    EXPECT_EQ(test::CountDifferences(a, b), 0);
}

TEST(CPolyPolyFill, InsertionKeepsTopRowThenXOrderAndEqualEntriesInArrivalOrder) {
    std::mt19937 random(11);
    CGrowableArray<CFillEdge> table;
    std::vector<CFillEdge> arrived;
    for (int i = 0; i < 100; ++i) {
        // dxdy tags the arrival order; few distinct keys make many ties.
        arrived.push_back(CFillEdge{static_cast<float>(random() % 6), 50.0f, static_cast<float>(random() % 4),
                                    static_cast<float>(i)});
        CPolyPolyFill::InsertSorted(table, arrived.back());
    }
    std::stable_sort(arrived.begin(), arrived.end(), [](const CFillEdge& a, const CFillEdge& b) {
        return a.yTop < b.yTop || (a.yTop == b.yTop && a.x < b.x);
    });
    ASSERT_EQ(table.GetSize(), arrived.size());
    for (std::size_t i = 0; i < arrived.size(); ++i)
        EXPECT_EQ(table[i], arrived[i]) << i;
}

TEST(CPolyPolyFill, RandomShapesMatchAnEvenOddReferenceAwayFromCrossings) {
    std::mt19937 random(20240607);
    constexpr int kWidth = 60, kHeight = 50;
    int differing = 0, filled = 0;
    for (int shape = 0; shape < 30; ++shape) {
        Polygons polygons(1 + random() % 3);
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
                // Crossings of row y (edges cover their top row, not their bottom one) left of the pixel's
                // middle give the parity; the nearest one says whether rounding may decide the pixel.
                bool inside = false;
                double nearest = 1e9;
                for (const auto& poly : polygons)
                    for (std::size_t i = 0; i < poly.size(); ++i) {
                        const CPoint a = poly[i], b = poly[(i + 1) % poly.size()];
                        if ((a.y <= y) == (b.y <= y))
                            continue;
                        const double cx = a.x + (y - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
                        inside ^= cx < x + 0.5;
                        nearest = std::min(nearest, std::fabs(cx - (x + 0.5)));
                    }
                const bool set = PixelAt(bitmap, x, y) == kFill;
                filled += set ? 1 : 0;
                if (set == (inside && x < kWidth - 1 && y < kHeight - 1))
                    continue;
                EXPECT_LE(nearest, 1.0) << "shape " << shape << " pixel " << x << "," << y;
                ++differing;
            }
        }
    }
    EXPECT_GT(filled, 10000);
    // Only pixels whose centre lies within a pixel of a crossing may differ, and few of them do.
    EXPECT_LT(differing, filled / 25);
}

// Through a device context the fill keeps to the clip box, and inside it writes what the whole fill
// writes there: edges that begin above the box still step down to it row by row.
TEST(CPolyPolyFill, AContextsClipBoxCutsTheFillWithoutMovingIt) {
    std::mt19937 random(41);
    for (int shape = 0; shape < 20; ++shape) {
        std::vector<CPoint> points;
        const std::vector<int32_t> counts{7, 5};
        for (int i = 0; i < 12; ++i)
            points.emplace_back(static_cast<int32_t>(random() % 100) - 20,
                                static_cast<int32_t>(random() % 90) - 20);
        CDibSection whole = MakeBitmap(60, 50, 24);
        CPolyPolyFill filler;
        filler.Fill(whole, points, counts, kFill, shape % 3 == 0);

        const CRect box(static_cast<int32_t>(random() % 30), static_cast<int32_t>(random() % 25),
                        30 + static_cast<int32_t>(random() % 30), 25 + static_cast<int32_t>(random() % 25));
        CDibSection clipped = MakeBitmap(60, 50, 24);
        CDeviceContext dc(&clipped);
        dc.SetClipRect(box);
        filler.Fill(dc, points, counts, kFill, shape % 3 == 0);
        int inside = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 60; ++x) {
                const bool in = box.Contains(CPoint(x, y));
                const uint32_t expected = in ? PixelAt(whole, x, y) : kWhite;
                ASSERT_EQ(PixelAt(clipped, x, y), expected) << "shape " << shape << " at " << x << "," << y;
                if (in && expected == kFill) {
                    ++inside;
                    EXPECT_TRUE(dc.GetDamage().Contains(CPoint(x, y)));
                }
            }
        if (inside == 0) {
            EXPECT_TRUE(dc.GetDamage().IsEmpty());
        }
    }
}

TEST(CPolyPolyFill, FarAwayPointsNeverWritePastTheBitmap) {
    // The last column and row are never filled, so they show any write that escaped the clipping.
    std::mt19937 random(3);
    for (int round = 0; round < 100; ++round) {
        const int64_t scale = round % 2 ? 2000000000 : 300;
        Polygons polygons(1 + random() % 3);
        for (auto& poly : polygons) {
            poly.resize(2 + random() % 6);
            for (CPoint& p : poly)
                p = CPoint(static_cast<int32_t>(static_cast<int64_t>(random() % (2 * scale)) - scale),
                           static_cast<int32_t>(static_cast<int64_t>(random() % (2 * scale)) - scale));
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
