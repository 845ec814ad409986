// Our SVG as librsvg draws it, against our own rendering of the drawing: the same picture within the
// differences of anti-aliasing and font rasterising.
#include "formats/svg/SvgFile.h"

#include "native/PdfTestHelpers.h"
#include "platform/image/PngCodec.h"
#include "render/PageRenderer.h"

#include <gtest/gtest.h>

#include <fstream>

namespace pq {
namespace {

constexpr const char* kRsvg = "/usr/bin/rsvg-convert";
constexpr int kWidth = 420;
constexpr int kBlock = 12;

// The mean colour of each kBlock square of a 24-bit bitmap, rows from the top.
std::vector<std::array<double, 3>> BlockMeans(const CDibSection& image) {
    const int columns = image.GetWidth() / kBlock, rows = image.GetHeight() / kBlock;
    std::vector<std::array<double, 3>> means(static_cast<std::size_t>(columns * rows), {0, 0, 0});
    const bool bottomUp = image.GetHeader().height > 0;
    for (int y = 0; y < rows * kBlock; ++y) {
        const int row = bottomUp ? image.GetHeight() - 1 - y : y;
        const uint8_t* line = image.GetBits().data() + static_cast<std::size_t>(row) * image.GetBytesPerRow();
        for (int x = 0; x < columns * kBlock; ++x)
            for (int c = 0; c < 3; ++c)
                means[static_cast<std::size_t>((y / kBlock) * columns + x / kBlock)]
                     [static_cast<std::size_t>(c)] += line[x * 3 + c] / double(kBlock * kBlock);
    }
    return means;
}

// The share of blocks whose mean colours differ by more than tolerance in some channel.
double DifferentBlocks(const CDibSection& a, const CDibSection& b, double tolerance = 40.0) {
    const auto ma = BlockMeans(a), mb = BlockMeans(b);
    int different = 0;
    for (std::size_t i = 0; i < ma.size(); ++i)
        for (int c = 0; c < 3; ++c)
            if (std::fabs(ma[i][static_cast<std::size_t>(c)] - mb[i][static_cast<std::size_t>(c)]) >
                tolerance) {
                ++different;
                break;
            }
    return different / static_cast<double>(ma.size());
}

// Bitmaps of the page's proportions, kWidth wide.
int HeightFor(const CDrawing& drawing) {
    return static_cast<int>(std::lround(kWidth * drawing.GetPageHeight() / drawing.GetPageWidth()));
}

bool RenderWithRsvg(const std::string& svg, const std::string& png, int kHeight, CDibSection& image) {
    std::string output;
    const int status = test::RunCommand(std::string(kRsvg) + " -b white -w " + std::to_string(kWidth) +
                                            " -h " + std::to_string(kHeight) + " -o " + png + " " + svg,
                                        output);
    EXPECT_EQ(status, 0) << output;
    return static_cast<bool>(DecodePng(test::ReadFileBytes(png), image)) && image.GetBitCount() == 24;
}

void ExpectSamePicture(const CDrawing& drawing, const std::string& svg, const std::string& png,
                       double allowed) {
    const int kHeight = HeightFor(drawing);
    CDibSection theirs;
    ASSERT_TRUE(RenderWithRsvg(svg, png, kHeight, theirs));
    ASSERT_EQ(theirs.GetWidth(), kWidth);
    const std::optional<CDibSection> ours = RenderPageToBitmap(drawing, 0, kWidth, kHeight, false);
    ASSERT_TRUE(ours.has_value());
    CDibSection blank;
    ASSERT_TRUE(blank.Create(kWidth, kHeight, 24));
    std::fill(blank.GetBits().begin(), blank.GetBits().end(), uint8_t{255});
    // The picture has something in it, and librsvg draws the same.
    EXPECT_GT(DifferentBlocks(*ours, blank), 0.05);
    const double share = DifferentBlocks(*ours, theirs);
    std::printf("[ measure  ] %s: %.2f%% of %dx%d blocks differ\n", svg.c_str(), share * 100.0, kBlock,
                kBlock);
    EXPECT_LT(share, allowed) << "blocks differing between our rendering and librsvg's";
}

TEST(SvgPeer, ExportedPagesLookInRsvgAsTheyLookInOurRenderer) {
    if (test::PeerMissing(kRsvg))
        return;
    test::CTempFolder folder;
    CDrawing drawing;
    drawing.SetPageSize(1050.0f, 1485.0f);
    drawing.Add(test::MakePathObject({test::Square(-450, -650, 300), test::Square(-375, -575, 150)},
                                     kPenSolid, kBrushSolid, 6, 0x000080, 0x2080E0));
    drawing.Add(test::MakePathObject({test::Polyline({{0, -650}, {400, -350}, {0, -350}, {0, -650}})},
                                     kPenNull, kBrushSolid, 0, 0, 0x20A020));
    CNodeArray curve;
    curve.Add({{-400, 0}, {-400, 0}, {-200, -200}});
    curve.Add({{200, 200}, {400, 0}, {400, 0}});
    drawing.Add(test::MakePathObject({curve}, kPenSolid, kBrushHollow, 12, 0x3030C0, 0));
    drawing.Add(test::MakeTextObject(u"Pentaquill SVG", {-400, 150}));
    drawing.GetAt(3)->AsText()->height = 90.0f;
    drawing.GetAt(3)->RecalcBounds();
    drawing.Add(test::MakeTextObject(u"A paragraph wraps inside its frame as the renderer wraps it.",
                                     {-400, 350}, kTextParagraph));
    drawing.Add(test::MakeImageObject({200, 450, 300, 600}, 6, 4));
    // Turned and right-aligned lines: big enough that a turn the wrong way shows.
    drawing.Add(test::MakeTextObject(u"TURNED\r\nTEXT", {100, -100}, kTextArtistic, kAlignRight,
                                     kTextStyleBold, 35.0f));
    drawing.GetAt(drawing.Count() - 1)->AsText()->height = 80.0f;
    drawing.GetAt(drawing.Count() - 1)->RecalcBounds();
    // The renderer's hatched and dotted fills, as patterns.
    drawing.Add(
        test::MakePathObject({test::Square(-450, 500, 200)}, kPenSolid, kBrushHatched, 3, 0, 0x0000C0));
    drawing.Add(test::MakePathObject({test::Square(-200, 500, 200)}, kPenSolid, 3, 3, 0, 0xC00000));
    ASSERT_TRUE(CSvgFile().Write(folder.File("export.svg"), drawing, 0));
    ExpectSamePicture(drawing, folder.File("export.svg"), folder.File("export.png"), 0.03);
}

TEST(SvgPeer, FilesOfOtherProgramsImportWithTheirShapesInPlace) {
    if (test::PeerMissing(kRsvg))
        return;
    test::CTempFolder folder;
    for (const char* name : {"shapes-and-uses.svg", "inkscape-style.svg"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(PQ_TEST_DATA_DIR) + "/svg/" + name;
        CDrawing drawing;
        CSvgFile file;
        ASSERT_TRUE(file.Read(path, drawing)) << drawing.GetErrorMessage();
        // The file as librsvg draws it, against our copy of what we read; then against our own rendering.
        ASSERT_TRUE(CSvgFile().Write(folder.File("copy.svg"), drawing, 0));
        CDibSection original, copy;
        ASSERT_TRUE(RenderWithRsvg(path, folder.File("original.png"), HeightFor(drawing), original));
        ASSERT_TRUE(
            RenderWithRsvg(folder.File("copy.svg"), folder.File("copy.png"), HeightFor(drawing), copy));
        const double share = DifferentBlocks(original, copy);
        std::printf("[ measure  ] %s: %.2f%% of blocks differ after import and export\n", name,
                    share * 100.0);
        EXPECT_LT(share, 0.06);
        ExpectSamePicture(drawing, folder.File("copy.svg"), folder.File("ours.png"), 0.03);
    }
}

} // namespace
} // namespace pq
