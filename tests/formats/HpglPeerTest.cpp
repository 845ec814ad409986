// hp2xx draws the same plots as we read them: its vector output (-m hpgl -t, the strokes it would plot,
// in plotter units) is compared with the paths our reader makes of the same file.

#include "HpglTestHelpers.h"
#include "TestHelpers.h"
#include "native/PdfTestHelpers.h"

#include "model/ModelTestHelpers.h"
#include "platform/PenBrushStyles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace pq {
namespace {

constexpr const char* kHp2xx = "/usr/bin/hp2xx";

struct CSegment {
    CPointD a;
    CPointD b;
};

double DistanceToSegment(CPointD p, const CSegment& s) {
    const CPointD d = s.b - s.a;
    const double length2 = d.x * d.x + d.y * d.y;
    double t = length2 > 0.0 ? ((p.x - s.a.x) * d.x + (p.y - s.a.y) * d.y) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(s.a.x + t * d.x - p.x, s.a.y + t * d.y - p.y);
}

// Segments filed by the grid cells their samples fall in, to find those near a point quickly.
class CSegmentGrid {
public:
    static constexpr double kCell = 8.0;

    void Add(const CSegment& s) {
        const std::size_t index = segments.size();
        segments.push_back(s);
        const double length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
        const int steps = static_cast<int>(std::ceil(length / (kCell / 2.0)));
        long long last = 0;
        for (int i = 0; i <= steps; ++i) {
            const double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
            const long long key = Key(s.a.x + t * (s.b.x - s.a.x), s.a.y + t * (s.b.y - s.a.y));
            if (i == 0 || key != last)
                cells[key].push_back(index);
            last = key;
        }
    }
    [[nodiscard]] bool Near(CPointD p, double tolerance) const {
        const long long cx = static_cast<long long>(std::floor(p.x / kCell));
        const long long cy = static_cast<long long>(std::floor(p.y / kCell));
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy) {
                const auto it = cells.find(Pack(cx + dx, cy + dy));
                if (it == cells.end())
                    continue;
                for (std::size_t i : it->second)
                    if (DistanceToSegment(p, segments[i]) <= tolerance)
                        return true;
            }
        return false;
    }
    [[nodiscard]] const std::vector<CSegment>& Segments() const { return segments; }

private:
    static long long Pack(long long x, long long y) { return (x << 32) ^ (y & 0xFFFFFFFF); }
    static long long Key(double x, double y) {
        return Pack(static_cast<long long>(std::floor(x / kCell)),
                    static_cast<long long>(std::floor(y / kCell)));
    }
    std::vector<CSegment> segments;
    std::unordered_map<long long, std::vector<std::size_t>> cells;
};

struct CBox {
    double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;
    void Include(CPointD p) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        bottom = std::min(bottom, p.y);
        top = std::max(top, p.y);
    }
};

// What hp2xx plots of a file, moved and scaled the way our reader places a plot: centred on the origin,
// in document units, y downward. Also the number of instructions hp2xx did not know.
struct CPeerPlot {
    CSegmentGrid grid;
    CBox box;
    int ignored = -1;
};

bool PlotWithHp2xx(const std::string& path, CPeerPlot& plot) {
    test::CTempFolder folder;
    const std::string out = folder.File("vectors.hpgl");
    std::string log;
    if (test::RunCommand(std::string(kHp2xx) + " -t -m hpgl -f " + out + " " + path + " </dev/null", log) !=
        0)
        return false;
    const std::size_t at = log.find("HPGL command(s) ignored:");
    if (at != std::string::npos)
        plot.ignored = std::atoi(log.c_str() + at + 24);
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<CSegment> drawn;
    CPointD pen;
    std::string command;
    while (std::getline(text, command, ';')) {
        double x = 0.0;
        double y = 0.0;
        if (command.size() < 3 || std::sscanf(command.c_str() + 2, "%lf,%lf", &x, &y) != 2)
            continue;
        if (command.compare(0, 2, "PD") == 0)
            drawn.push_back({pen, {x, y}});
        pen = {x, y};
    }
    for (const CSegment& s : drawn) {
        plot.box.Include(s.a);
        plot.box.Include(s.b);
    }
    const double cx = (plot.box.left + plot.box.right) / 2.0;
    const double cy = (plot.box.bottom + plot.box.top) / 2.0;
    const auto place = [cx, cy](CPointD p) { return CPointD{(p.x - cx) / 4.0, -(p.y - cy) / 4.0}; };
    for (const CSegment& s : drawn)
        plot.grid.Add({place(s.a), place(s.b)});
    return !drawn.empty();
}

// Points along every solid outline our reader made, a few document units apart. hp2xx draws line types
// as their dashes, and filled areas have no outline.
std::vector<CPointD> SolidOutlineSamples(const CDrawing& drawing) {
    std::vector<CPointD> samples;
    for (const auto& object : drawing.Objects()) {
        const CPathShape* path = object->AsPath();
        if (path->penStyle != kPenSolid)
            continue;
        for (const auto& nodes : path->subpaths)
            for (std::size_t i = 0; i + 1 < nodes->GetSize(); ++i) {
                const CPointD a((*nodes)[i].anchor);
                const CPointD b((*nodes)[i + 1].anchor);
                const int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 3.0));
                for (int k = 0; k <= steps; ++k)
                    samples.push_back(a + (b - a) * (static_cast<double>(k) / steps));
            }
    }
    return samples;
}

CSegmentGrid OurSegments(const CDrawing& drawing) {
    CSegmentGrid grid;
    for (const auto& object : drawing.Objects())
        for (const auto& nodes : object->AsPath()->subpaths)
            for (std::size_t i = 0; i + 1 < nodes->GetSize(); ++i)
                grid.Add({CPointD((*nodes)[i].anchor), CPointD((*nodes)[i + 1].anchor)});
    return grid;
}

// Compares hp2xx's plot of the file with our reading of it: the same extent, every outline of ours under
// hp2xx's pen and, unless hp2xx adds lines of its own (dashes, hatching), every line of hp2xx on ours.
void ExpectSamePlot(const std::string& path, bool bothWays, double tolerance = 1.0) {
    SCOPED_TRACE(path);
    CPeerPlot peer;
    ASSERT_TRUE(PlotWithHp2xx(path, peer));
    CDrawing drawing;
    ASSERT_TRUE(CPlotterFile().ImportFromHpgl(path, drawing)) << drawing.GetErrorMessage();
    ASSERT_GT(drawing.Count(), 0);
    const CRectF ours = drawing.Bounds();
    EXPECT_TRUE(test::ExpectNear(ours.right - ours.left, (peer.box.right - peer.box.left) / 4.0, tolerance));
    EXPECT_TRUE(test::ExpectNear(ours.bottom - ours.top, (peer.box.top - peer.box.bottom) / 4.0, tolerance));

    std::size_t missing = 0;
    const std::vector<CPointD> samples = SolidOutlineSamples(drawing);
    for (CPointD p : samples)
        if (!peer.grid.Near(p, tolerance))
            ++missing;
    EXPECT_EQ(missing, 0u) << "of " << samples.size() << " points along our outlines";
    if (!bothWays)
        return;
    const CSegmentGrid grid = OurSegments(drawing);
    std::size_t extra = 0;
    for (const CSegment& s : peer.grid.Segments())
        if (!grid.Near(s.a, tolerance) || !grid.Near(s.b, tolerance) ||
            !grid.Near((s.a + s.b) * 0.5, tolerance))
            ++extra;
    EXPECT_EQ(extra, 0u) << "of " << peer.grid.Segments().size() << " lines hp2xx draws";
}

std::string DataFile(const std::string& name) {
    return std::string(PQ_TEST_DATA_DIR) + "/hpgl/" + name;
}

TEST(HpglPeer, WhatWeWriteHp2xxPlotsAsWeReadIt) {
    if (test::PeerMissing(kHp2xx))
        return;
    CDrawing drawing;
    drawing.Add(test::MakeRect({-300.3f, 250.7f, -120.1f, 180.9f}));
    CNodeArray curve;
    curve.Add({{-200, 0}, {-200, 0}, {-200, -300}});
    curve.Add({{200, -300}, {200, 0}, {200, 0}});
    drawing.Add(test::BuildPath({curve}, {}));
    CNodeArray wiggle;
    for (int i = 0; i <= 200; ++i)
        wiggle.Add(CPathNode::FromPoint(
            {-250.0f + 2.37f * static_cast<float>(i), 100.0f + 0.61f * static_cast<float>(i % 7)}));
    wiggle.Add(wiggle[0]);
    drawing.Add(test::BuildPath({wiggle}, {}));

    test::CTempFolder folder;
    const std::string path = folder.File("ours.plt");
    ASSERT_TRUE(CPlotterFile().ExportToHpgl(path, drawing, 0)) << drawing.GetErrorMessage();
    CPeerPlot peer;
    ASSERT_TRUE(PlotWithHp2xx(path, peer));
    EXPECT_EQ(peer.ignored, 0); // every instruction we write is one hp2xx knows
    ExpectSamePlot(path, true);
}

TEST(HpglPeer, PlotsOfOtherProgramsHp2xxPlotsAsWeReadThem) {
    if (test::PeerMissing(kHp2xx))
        return;
    for (const char* name : {"cad_absolute.plt", "driver_windows.plt", "pens_boxes.plt", "rotated_arcs.plt"})
        ExpectSamePlot(DataFile(name), true);
    ExpectSamePlot(DataFile("scaled_linetypes.plt"), true);
}

TEST(HpglPeer, EncodedHpgl2PlotsCoverWhatHp2xxPlots) {
    if (test::PeerMissing(kHp2xx))
        return;
    // hp2xx fills polygons with lines; our fills are areas, so only outlines are compared.
    ExpectSamePlot(DataFile("ezdxf_PLOTFILE.plt"), false, 2.0);
}

} // namespace
} // namespace pq
