#include "render/HiddenObjects.h"
#include "render/OpaqueCover.h"

#include "FontTestSetup.h"
#include "RasterHelpers.h"
#include "SampleDrawings.h"
#include "geometry/Ellipse.h"
#include "geometry/ViewMapping.h"
#include "platform/CoverageRaster.h"
#include "render/FontTextMetrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace pq {
namespace {

using test::MakeBitmap;
using test::PixelAt;

TEST(OpaqueCover, SpansAndQueriesAgreeWithAPixelByPixelRecord) {
    // A box whose rows span several words, not starting at the origin.
    const CRect box{-37, 11, 170, 30};
    COpaqueCover cover(box);
    std::vector<bool> marked(static_cast<std::size_t>(box.Width() * box.Height()), false);
    auto at = [&](int32_t x, int32_t y) {
        return marked[static_cast<std::size_t>((y - box.top) * box.Width() + (x - box.left))];
    };
    std::mt19937 random(3);
    std::uniform_int_distribution<int32_t> column(box.left - 20, box.right + 20), row(box.top - 3, box.bottom + 3);
    for (int i = 0; i < 160; ++i) {
        const int32_t y = row(random), a = column(random), b = column(random);
        cover.AddSpan(y, std::min(a, b), std::max(a, b));
        if (y >= box.top && y < box.bottom)
            for (int32_t x = std::max(std::min(a, b), box.left); x < std::min(std::max(a, b), box.right); ++x)
                marked[static_cast<std::size_t>((y - box.top) * box.Width() + (x - box.left))] = true;
    }
    for (int32_t y = box.top; y < box.bottom; ++y)
        for (int32_t x = box.left; x < box.right; ++x)
            ASSERT_EQ(cover.IsCovered(x, y), at(x, y)) << x << ", " << y;

    std::uniform_int_distribution<int32_t> width(1, 90), height(1, 4);
    int covered = 0;
    for (int i = 0; i < 4000; ++i) {
        const CRect query{column(random), row(random), 0, 0};
        const CRect rect{query.left, query.top, query.left + width(random), query.top + height(random)};
        bool expected = true;
        for (int32_t y = std::max(rect.top, box.top); y < std::min(rect.bottom, box.bottom); ++y)
            for (int32_t x = std::max(rect.left, box.left); x < std::min(rect.right, box.right); ++x)
                expected = expected && at(x, y);
        ASSERT_EQ(cover.Covers(rect), expected)
            << rect.left << ", " << rect.top << " .. " << rect.right << ", " << rect.bottom;
        covered += expected ? 1 : 0;
    }
    EXPECT_GT(covered, 400) << "some queries must find their pixels all covered";
    EXPECT_LT(covered, 3600) << "and some must not";
}

// The polygon filled the way each edge style fills a path of one outline, over a background.
CDibSection FillAliased(std::span<const CPointF> polygon, uint32_t background, uint32_t colour) {
    CDibSection bitmap = MakeBitmap(120, 90, 24, background);
    CDeviceContext dc(&bitmap);
    std::vector<CPoint> points;
    for (const CPointF& p : polygon)
        points.push_back({static_cast<int32_t>(std::lround(p.x)), static_cast<int32_t>(std::lround(p.y))});
    dc.SelectPen(CPen{kPenNull, 0, 0});
    dc.SelectBrush(CBrush{kBrushSolid, colour});
    dc.Polygon(points);
    return bitmap;
}

CDibSection FillSmooth(std::span<const CPointF> polygon, uint32_t background, uint32_t colour) {
    CDibSection bitmap = MakeBitmap(120, 90, 24, background);
    CDeviceContext dc(&bitmap);
    CCoverageRaster raster;
    raster.AddPolygon(polygon);
    raster.Fill(dc, colour, CCoverageRaster::FillRule::EvenOdd);
    return bitmap;
}

std::vector<CPointF> Ellipse(CPointF centre, float rx, float ry, float turn, int steps) {
    std::vector<CPointF> points;
    for (int i = 0; i < steps; ++i) {
        const double a = 2.0 * std::numbers::pi * i / steps;
        const double x = rx * std::cos(a), y = ry * std::sin(a);
        points.push_back({centre.x + static_cast<float>(x * std::cos(turn) - y * std::sin(turn)),
                          centre.y + static_cast<float>(x * std::sin(turn) + y * std::cos(turn))});
    }
    return points;
}

// Every pixel the finder counts as covered must come out in the fill's colour over any background, with
// the edge style it was asked for. Shapes of every kind at fractional places: boxes, turned boxes,
// ellipses, thin slivers, and outlines that cross rows more than twice (which must add nothing wrong).
TEST(OpaqueFillFinder, CoveredPixelsArePaintedOverWithTheirEdgeStyle) {
    std::mt19937 random(17);
    std::uniform_real_distribution<float> place(5.0f, 115.0f), placeY(5.0f, 85.0f), extent(0.5f, 40.0f),
        angle(0.0f, 3.2f), fraction(0.0f, 1.0f);
    constexpr uint32_t kFill = 0x3366CC;
    for (const EdgeStyle edges : {EdgeStyle::Aliased, EdgeStyle::Smooth}) {
        SCOPED_TRACE(edges == EdgeStyle::Smooth ? "smooth" : "aliased");
        COpaqueFillFinder finder(edges);
        int shapes = 0, coveredPixels = 0;
        for (int i = 0; i < 1200; ++i) {
            const CPointF c{place(random), placeY(random)};
            const float w = extent(random), h = extent(random), turn = angle(random);
            std::vector<CPointF> polygon;
            switch (i % 7) {
            case 0: // an upright box
                polygon = {{c.x, c.y}, {c.x + w, c.y}, {c.x + w, c.y + h}, {c.x, c.y + h}, {c.x, c.y}};
                break;
            case 1: // a turned box, given the other way round
                polygon = Ellipse(c, w, h, turn, 4);
                std::reverse(polygon.begin(), polygon.end());
                break;
            case 2:
                polygon = Ellipse(c, w, h, turn, 8 + i % 40);
                break;
            case 3: // a sliver: barely wider than the square a pixel needs
                polygon = {{c.x, c.y}, {c.x + 1.2f + fraction(random), c.y + 0.3f}, {c.x + 1.5f, c.y + h},
                           {c.x - 0.1f, c.y + h}};
                break;
            case 4: // a box with its edges nearly on pixel boundaries and points
                polygon = {{std::round(c.x) + 0.499f, std::round(c.y) - 0.5f},
                           {std::round(c.x + w) - 0.625f, std::round(c.y) - 0.5f},
                           {std::round(c.x + w) - 0.625f, std::round(c.y + h) + 0.5001f},
                           {std::round(c.x) + 0.499f, std::round(c.y + h) + 0.5001f}};
                break;
            case 5: // an L, crossing some rows four times
                polygon = {{c.x, c.y},
                           {c.x + w, c.y},
                           {c.x + w, c.y + h / 3},
                           {c.x + w / 3, c.y + h / 3},
                           {c.x + w / 3, c.y + h},
                           {c.x, c.y + h}};
                break;
            default: { // a star, a bow tie and a polygon wound twice
                const int kind = (i / 7) % 3;
                if (kind == 0) {
                    for (int k = 0; k < 5; ++k) {
                        const double a = turn + 4.0 * std::numbers::pi * k / 5;
                        polygon.push_back({c.x + w * static_cast<float>(std::cos(a)),
                                           c.y + w * static_cast<float>(std::sin(a))});
                    }
                } else if (kind == 1) {
                    polygon = {{c.x, c.y}, {c.x + w, c.y + h}, {c.x + w, c.y}, {c.x, c.y + h}};
                } else {
                    polygon = Ellipse(c, w, h, turn, 24);
                    const std::vector<CPointF> again = polygon;
                    polygon.insert(polygon.end(), again.begin(), again.end());
                }
                break;
            }
            }
            COpaqueCover cover({0, 0, 120, 90});
            finder.AddFilledPixels(polygon, cover);
            const auto fill = edges == EdgeStyle::Aliased ? FillAliased : FillSmooth;
            const CDibSection onWhite = fill(polygon, 0xFFFFFF, kFill);
            const CDibSection onBlack = fill(polygon, 0x000000, kFill);
            int here = 0;
            for (int32_t y = 0; y < 90; ++y)
                for (int32_t x = 0; x < 120; ++x) {
                    if (!cover.IsCovered(x, y))
                        continue;
                    ++here;
                    ASSERT_EQ(PixelAt(onWhite, x, y), kFill) << "shape " << i << " at " << x << ", " << y;
                    ASSERT_EQ(PixelAt(onBlack, x, y), kFill) << "shape " << i << " at " << x << ", " << y;
                }
            shapes += here > 0 ? 1 : 0;
            coveredPixels += here;
        }
        EXPECT_GT(shapes, 500) << "most shapes must cover something";
        EXPECT_GT(coveredPixels, 200000);
    }
}

TEST(OpaqueFillFinder, AnUprightBoxCoversAllButItsBorderAndAUNothing) {
    const std::vector<CPointF> box{{10.5f, 20.25f}, {40.5f, 20.25f}, {40.5f, 60.25f}, {10.5f, 60.25f}};
    // Aliased: pixels whose points lie 0.625 inside 10.5 .. 40.5 x 20.25 .. 60.25.
    COpaqueCover aliased({0, 0, 100, 100});
    COpaqueFillFinder(EdgeStyle::Aliased).AddFilledPixels(box, aliased);
    EXPECT_TRUE(aliased.Covers({12, 21, 40, 60}));
    EXPECT_FALSE(aliased.IsCovered(11, 30));
    EXPECT_FALSE(aliased.IsCovered(40, 30));
    EXPECT_FALSE(aliased.IsCovered(20, 20));
    EXPECT_FALSE(aliased.IsCovered(20, 60));
    // Smooth: pixel squares half a pixel inside.
    COpaqueCover smooth({0, 0, 100, 100});
    COpaqueFillFinder(EdgeStyle::Smooth).AddFilledPixels(box, smooth);
    EXPECT_TRUE(smooth.Covers({11, 21, 40, 59}));
    EXPECT_FALSE(smooth.IsCovered(10, 30));
    EXPECT_FALSE(smooth.IsCovered(40, 30));
    EXPECT_FALSE(smooth.IsCovered(20, 20));
    EXPECT_FALSE(smooth.IsCovered(20, 59));

    COpaqueCover other({0, 0, 100, 100});
    const std::vector<CPointF> u{{10, 10}, {20, 10}, {20, 60}, {70, 60}, {70, 10}, {80, 10}, {80, 90}, {10, 90}};
    COpaqueFillFinder(EdgeStyle::Aliased).AddFilledPixels(u, other);
    int covered = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            covered += other.IsCovered(x, y) ? 1 : 0;
    EXPECT_EQ(covered, 0) << "a U crosses its upper rows four times";

    COpaqueCover far({0, 0, 100, 100});
    const std::vector<CPointF> huge{{-2e6f, -2e6f}, {2e6f, -2e6f}, {2e6f, 2e6f}, {-2e6f, 2e6f}};
    COpaqueFillFinder(EdgeStyle::Aliased).AddFilledPixels(huge, far);
    EXPECT_FALSE(far.IsCovered(50, 50)) << "corners beyond a float's fine steps are left alone";
}

// A seeded page of everything the editor draws: solid boxes and ellipses (some turned), rings, hollow
// boxes, hatched and dotted fills, wide, dashed and absent pens, lines, texts and pictures, on two pages.
void BuildMixedPage(CDrawing& drawing, unsigned seed, int count) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    drawing.SetPageCount(2);
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> x(-760.0f, 720.0f), y(-1070.0f, 1020.0f), size(3.0f, 400.0f),
        turn(0.0f, 3.2f);
    std::uniform_int_distribution<int> kind(0, 11), colour(0, 0xFFFFFF), width(0, 12), penStyle(0, 6);
    for (int i = 0; i < count; ++i) {
        const float left = x(random), top = y(random), w = size(random), h = size(random);
        const CRectF box{left, left + w, top, top + h};
        const int k = kind(random);
        test::CPathLook look;
        look.fill = static_cast<uint32_t>(colour(random));
        look.penColor = static_cast<uint32_t>(colour(random));
        look.penWidth = width(random);
        look.penStyle = k % 5 == 0 ? penStyle(random) : kPenSolid;
        look.page = i % 23 == 0 ? 1 : 0;
        std::unique_ptr<CGraphicObject> object;
        switch (k) {
        case 0:
        case 1:
            object = test::BuildPath({test::BoxNodes(box)}, look);
            break;
        case 2:
        case 3:
            object = test::BuildPath({EllipseToNodes(box)}, look);
            break;
        case 4: { // a turned box
            const float a = turn(random);
            const CPointF c{left + w / 2, top + h / 2};
            auto corner = [&](float u, float v) {
                return CPointF{c.x + u * std::cos(a) - v * std::sin(a), c.y + u * std::sin(a) + v * std::cos(a)};
            };
            object = test::BuildPath({test::PolylineNodes({corner(-w / 2, -h / 2), corner(w / 2, -h / 2),
                                                           corner(w / 2, h / 2), corner(-w / 2, h / 2),
                                                           corner(-w / 2, -h / 2)})},
                                     look);
            break;
        }
        case 5: // a ring
            object = test::BuildPath(
                {test::BoxNodes(box), EllipseToNodes({left + w / 4, left + 3 * w / 4, top + h / 4, top + 3 * h / 4})},
                look);
            break;
        case 6:
            look.brushStyle = kBrushHollow;
            object = test::BuildPath({test::BoxNodes(box)}, look);
            break;
        case 7:
            look.brushStyle = i % 2 == 0 ? kBrushHatched : 3; // hatched, or the dotted screen
            object = test::BuildPath({EllipseToNodes(box)}, look);
            break;
        case 8:
            object = test::MakeLine({left, top}, {left + w, top + h}, look.penColor, look.penWidth);
            break;
        case 9:
            object = test::MakeTextObject(i % 2 == 0 ? u"Hidden?\r\nNot text" : u"Wy", {left, top},
                                          20.0f + w / 4, i % 3 == 0 ? 25.0f : 0.0f, kTextArtistic, look.fill);
            break;
        case 10: { // a picture
            object = std::make_unique<CGraphicObject>(kKindImage);
            CImageShape* picture = object->AsImage();
            picture->bitmap.Create(5, 4, 24);
            for (uint8_t& byte : picture->bitmap.GetBits())
                byte = static_cast<uint8_t>(random());
            picture->placement = i % 2 == 0 ? box : CRectF{box.right, box.left, box.top, box.bottom};
            object->RecalcBounds();
            break;
        }
        default: // a solid box with no outline
            look.penStyle = kPenNull;
            object = test::BuildPath({test::BoxNodes(box)}, look);
            break;
        }
        drawing.Add(std::move(object));
    }
}

class HiddenObjectPaint : public ::testing::Test {
protected:
    void SetUp() override { InstallFontTextMetrics(); }
    void TearDown() override { SetTextMetrics(nullptr); }
};

struct CView {
    const char* name;
    float zoom;
    CPoint about;
    CRect clip;    // of the context
    CRect visible; // the rectangle objects must reach
};

// Leaving out the hidden objects changes no pixel: with either edge style, on one thread or two, fitted
// and zoomed in with a partial clip, on pages light and busy.
TEST_F(HiddenObjectPaint, APaintLeavingOutHiddenObjectsIsByteForByteThePaintOfAll) {
    constexpr int32_t kWidth = 320, kHeight = 420;
    const CView views[] = {
        {"fitted", 1.0f, {160, 210}, {0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight}},
        {"fitted, clipped", 1.0f, {160, 210}, {13, 7, 301, 377}, {1, 1, kWidth - 1, kHeight - 1}},
        {"zoomed 3x, clipped", 3.0f, {100, 150}, {21, 35, 290, 400}, {30, 0, kWidth, 380}},
        {"zoomed 11x", 11.0f, {200, 260}, {0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight}},
    };
    for (const auto& [seed, count] : {std::pair{5u, 300}, std::pair{6u, 3000}}) {
        CDrawing drawing;
        BuildMixedPage(drawing, seed, count);
        for (const CView& view : views) {
            CViewMapping mapping;
            mapping.FitRect(CRectF{-740, 740, -1050, 1050}, CRect{0, 0, kWidth, kHeight});
            mapping.ZoomAbout(view.about, view.zoom);
            for (const EdgeStyle edges : {EdgeStyle::Aliased, EdgeStyle::Smooth})
                for (const PaintThreads threads : {PaintThreads::One, PaintThreads::Automatic})
                    for (const int page : {0, 1}) {
                        SCOPED_TRACE(testing::Message()
                                     << count << " objects, " << view.name << ", "
                                     << (edges == EdgeStyle::Smooth ? "smooth" : "aliased") << ", "
                                     << (threads == PaintThreads::One ? "one thread" : "two threads") << ", page "
                                     << page);
                        CDibSection all = MakeBitmap(kWidth, kHeight, 24, 0x808080);
                        CDibSection some = MakeBitmap(kWidth, kHeight, 24, 0x808080);
                        CDeviceContext dcAll(&all), dcSome(&some);
                        dcAll.SetClipRect(view.clip);
                        dcSome.SetClipRect(view.clip);
                        DrawPage(drawing, page, dcAll, mapping, view.visible, threads, edges, HiddenObjects::Draw);
                        DrawPage(drawing, page, dcSome, mapping, view.visible, threads, edges, HiddenObjects::Skip);
                        ASSERT_EQ(test::CountDifferences(all, some), 0);
                        EXPECT_TRUE(std::equal(all.GetBits().begin(), all.GetBits().end(), some.GetBits().begin()));
                        if (page == 0 && count > 1000 && view.zoom == 1.0f) {
                            EXPECT_GT(CountHiddenObjects(drawing, page, dcSome, mapping, view.visible, edges,
                                                         HiddenObjects::Skip),
                                      static_cast<std::size_t>(count / 10))
                                << "a busy page hides many objects";
                        }
                    }
        }
    }
}

// What the view and exports draw by default: hidden objects are looked for on busy pages only, and never
// when a raster operation mixes fills with what lies below them.
TEST_F(HiddenObjectPaint, OnlyBusyPagesDrawnWithCopiedFillsAreSearchedForHiddenObjects) {
    CDrawing light, busy;
    BuildMixedPage(light, 9, 200);
    BuildMixedPage(busy, 9, 4000);
    CDibSection bitmap = MakeBitmap(320, 420, 24);
    CDeviceContext dc(&bitmap);
    CViewMapping mapping;
    mapping.FitRect(CRectF{-740, 740, -1050, 1050}, CRect{0, 0, 320, 420});
    const CRect visible{0, 0, 320, 420};
    EXPECT_EQ(CountHiddenObjects(light, 0, dc, mapping, visible, EdgeStyle::Aliased), 0u);
    EXPECT_GT(CountHiddenObjects(light, 0, dc, mapping, visible, EdgeStyle::Smooth, HiddenObjects::Skip), 0u);
    EXPECT_GT(CountHiddenObjects(busy, 0, dc, mapping, visible, EdgeStyle::Smooth), 1000u);
    EXPECT_EQ(CountHiddenObjects(busy, 0, dc, mapping, visible, EdgeStyle::Aliased, HiddenObjects::Draw), 0u);
    dc.SetROP2(kR2XorPen);
    EXPECT_EQ(CountHiddenObjects(busy, 0, dc, mapping, visible, EdgeStyle::Aliased, HiddenObjects::Skip), 0u);

    // XOR drawing of a busy page is its own and still the paint of every object.
    CDibSection all = MakeBitmap(320, 420, 24), some = MakeBitmap(320, 420, 24);
    CDeviceContext dcAll(&all), dcSome(&some);
    dcAll.SetROP2(kR2XorPen);
    dcSome.SetROP2(kR2XorPen);
    DrawPage(busy, 0, dcAll, mapping, visible, PaintThreads::One, EdgeStyle::Aliased, HiddenObjects::Draw);
    DrawPage(busy, 0, dcSome, mapping, visible, PaintThreads::One, EdgeStyle::Aliased, HiddenObjects::Skip);
    EXPECT_EQ(test::CountDifferences(all, some), 0);
}

} // namespace
} // namespace pq
