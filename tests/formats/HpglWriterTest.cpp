#include "HpglTestHelpers.h"
#include "TestHelpers.h"

#include "formats/hpgl/HpglWriter.h"
#include "geometry/Numeric.h"
#include "model/ModelTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

namespace pq {
namespace {

using test::BuildPath;
using test::PolylineNodes;

// One written subpath, read back independently of the reader: the absolute start and the relative moves.
struct CWrittenRun {
    long long x = 0;
    long long y = 0;
    std::vector<std::pair<long long, long long>> moves;
};

std::vector<CWrittenRun> ParseWritten(const std::string& file) {
    std::vector<CWrittenRun> runs;
    const std::regex run(R"(PAPU(-?\d+),(-?\d+)PRPD([-0-9,]*))");
    for (auto it = std::sregex_iterator(file.begin(), file.end(), run); it != std::sregex_iterator(); ++it) {
        CWrittenRun r;
        r.x = std::stoll((*it)[1]);
        r.y = std::stoll((*it)[2]);
        const std::string list = (*it)[3];
        const std::regex pair(R"((-?\d+),(-?\d+))");
        for (auto p = std::sregex_iterator(list.begin(), list.end(), pair); p != std::sregex_iterator(); ++p)
            r.moves.emplace_back(std::stoll((*p)[1]), std::stoll((*p)[2]));
        runs.push_back(r);
    }
    return runs;
}

TEST(HpglWriter, OneLineGivesTheWholeFileWithoutSeparators) {
    CDrawing drawing;
    drawing.Add(BuildPath({PolylineNodes({{0, 0}, {10, 0}})}, {}));
    EXPECT_EQ(WriteHpgl(drawing, 0), "INSP1LTPAPU0,0PRPD40,0SP0;");

    // Document y grows downward, plotter y upward; pairs of one run are separated by commas only.
    CDrawing down;
    down.Add(BuildPath({PolylineNodes({{1, 25}, {2, 25}, {2, 0}})}, {}));
    EXPECT_EQ(WriteHpgl(down, 0), "INSP1LTPAPU4,-100PRPD4,0,0,100SP0;");
}

TEST(HpglWriter, RelativeMovesDoNotDriftAndClosedOutlinesClose) {
    // Steps of 0.3 document units are 1.2 plotter units: rounding each step alone would lose 0.2 unit a
    // step; the moves must follow the rounded absolute positions instead.
    std::vector<CPointF> points;
    for (int i = 0; i <= 40; ++i)
        points.push_back({0.3f * static_cast<float>(i), 0.7f * static_cast<float>(i % 3)});
    for (int i = 40; i >= 0; --i)
        points.push_back({0.3f * static_cast<float>(i), 50.0f + 0.45f * static_cast<float>(i)});
    points.push_back(points.front());
    CNodeArray nodes;
    for (CPointF p : points)
        nodes.Add(CPathNode::FromPoint(p));
    CDrawing drawing;
    drawing.Add(BuildPath({nodes}, {}));

    const std::vector<CWrittenRun> runs = ParseWritten(WriteHpgl(drawing, 0));
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].moves.size(), points.size() - 1);
    long long x = runs[0].x;
    long long y = runs[0].y;
    for (std::size_t i = 0; i < runs[0].moves.size(); ++i) {
        x += runs[0].moves[i].first;
        y += runs[0].moves[i].second;
        EXPECT_EQ(x, RoundHalfAway(4.0 * points[i + 1].x)) << "point " << i + 1;
        EXPECT_EQ(y, -RoundHalfAway(4.0 * points[i + 1].y)) << "point " << i + 1;
    }
    EXPECT_EQ(x, runs[0].x);
    EXPECT_EQ(y, runs[0].y);
}

TEST(HpglWriter, WritesOnlyThePathsOfThePageClampedToTheDrawing) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(BuildPath({PolylineNodes({{0, 0}, {1, 0}})}, {.page = 0}));
    drawing.Add(BuildPath({PolylineNodes({{0, 0}, {2, 0}}), PolylineNodes({{5, 5}})}, {.page = 1}));
    drawing.Add(test::MakeImage({0, 10, 0, 10}, 1));
    drawing.Add(test::MakeText(u"label", {3, 3}, kTextParagraph, 1));
    EXPECT_EQ(WriteHpgl(drawing, 1), "INSP1LTPAPU0,0PRPD8,0SP0;");
    // A page beyond the last writes the last; a negative one the first.
    EXPECT_EQ(WriteHpgl(drawing, 7), WriteHpgl(drawing, 1));
    EXPECT_EQ(WriteHpgl(drawing, -3), "INSP1LTPAPU0,0PRPD4,0SP0;");
    EXPECT_EQ(WriteHpgl(CDrawing(), 0), "INSP1LTSP0;");
}

TEST(HpglWriter, CurvesAreFlattenedCloseToTheCurve) {
    // A quarter circle of radius 1000 as one Bezier segment.
    const float k = 552.28f;
    CNodeArray nodes;
    nodes.Add({{1000, 0}, {1000, 0}, {1000, k}});
    nodes.Add({{k, 1000}, {0, 1000}, {0, 1000}});
    CDrawing drawing;
    drawing.Add(BuildPath({nodes}, {}));
    const std::vector<CWrittenRun> runs = ParseWritten(WriteHpgl(drawing, 0));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GT(runs[0].moves.size(), 8u);
    long long x = runs[0].x;
    long long y = runs[0].y;
    for (const auto& [dx, dy] : runs[0].moves) {
        x += dx;
        y += dy;
        // Within the flattening tolerance of 5 document units (20 plotter units) of the circle.
        EXPECT_NEAR(std::hypot(static_cast<double>(x), static_cast<double>(y)), 4000.0, 20.0);
    }
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, -4000);
}

TEST(HpglWriter, HugeCoordinatesStayInThePlotterRange) {
    CDrawing drawing;
    drawing.Add(BuildPath({PolylineNodes({{-3e9f, 0}, {3e9f, 1e30f}})}, {}));
    const std::vector<CWrittenRun> runs = ParseWritten(WriteHpgl(drawing, 0));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].x, -1073741823);
    EXPECT_EQ(runs[0].x + runs[0].moves[0].first, 1073741823);
    EXPECT_EQ(runs[0].y + runs[0].moves[0].second, -1073741823);
}

TEST(HpglWriter, WhatIsWrittenReadsBackAsTheSameOutlines) {
    CDrawing drawing;
    drawing.Add(test::MakeRect({-100, 100, -50, 50}));
    drawing.Add(BuildPath({PolylineNodes({{-100, 60}, {0, 80}, {100, 60}})}, {.penColor = 0xFF}));
    const std::string file = WriteHpgl(drawing, 0);

    CDrawing back;
    ASSERT_TRUE(test::ReadHpglText(file, back));
    ASSERT_EQ(back.Count(), 2);
    // The bounds of the drawing are centred on the origin already, so the points come back in place.
    const std::vector<CPointF> box = test::Anchors(*back.GetAt(0));
    const std::vector<CPointF> expected = {{-100, -50}, {100, -50}, {100, 50}, {-100, 50}, {-100, -50}};
    ASSERT_EQ(box.size(), expected.size());
    for (std::size_t i = 0; i < box.size(); ++i)
        EXPECT_TRUE(test::ExpectNear(box[i], expected[i] + CPointF{0, -15}, 1e-3)) << i;
    EXPECT_EQ(test::Anchors(*back.GetAt(1)).size(), 3u);
    // Colours do not travel: everything comes back black and unfilled.
    EXPECT_EQ(back.GetAt(1)->AsPath()->penColor, 0u);
    EXPECT_EQ(back.GetAt(0)->AsPath()->brushStyle, kBrushHollow);
}

} // namespace
} // namespace pq
