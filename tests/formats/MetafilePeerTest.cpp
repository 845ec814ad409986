#include "MetafileTestHelpers.h"

#include "platform/image/DibPixels.h"
#include "platform/image/ImageFile.h"
#include "render/BitmapExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace pq {
namespace {

// Darkness (0 white .. 1 black) of every cell of a grid laid over a bitmap.
std::vector<double> CellDarkness(const CDibSection& image, int columns, int rows) {
    std::vector<double> sums(static_cast<std::size_t>(columns * rows), 0.0);
    std::vector<int> counts(sums.size(), 0);
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = GetPixelColour(image, x, y);
            const double grey = (RedOf(rgb) + GreenOf(rgb) + BlueOf(rgb)) / (3.0 * 255.0);
            const std::size_t cell =
                static_cast<std::size_t>((y * rows / height) * columns + x * columns / width);
            sums[cell] += 1.0 - grey;
            ++counts[cell];
        }
    }
    for (std::size_t i = 0; i < sums.size(); ++i)
        sums[i] /= std::max(counts[i], 1);
    return sums;
}

bool Decode(const std::string& path, CDibSection& image) {
    return static_cast<bool>(DecodeImage(test::ReadFileBytes(path), image)) && !image.IsEmpty();
}

// A page exactly as large as its content, which lies centred on the origin: filled shapes without holes,
// an open curve and a thick line, all inside the page's edges.
void FillComparablePage(CDrawing& drawing) {
    drawing.SetPageSize(400, 300);
    drawing.Add(test::MakePathObject({test::Square(-200, -150, 0.5f)}, kPenNull, kBrushHollow, 0, 0xFFFFFF));
    drawing.Add(
        test::MakePathObject({test::Square(199.5f, 149.5f, 0.5f)}, kPenNull, kBrushHollow, 0, 0xFFFFFF));
    drawing.Add(
        test::MakePathObject({test::BoxNodes({-180, -60, -130, -20})}, kPenSolid, kBrushSolid, 2, 0, 0));
    drawing.Add(test::MakePathObject({test::Polyline({{20, -130}, {170, -130}, {95, -30}, {20, -130}})},
                                     kPenSolid, kBrushSolid, 2, 0x000000, 0x202020));
    CNodeArray curve;
    curve.Add({{-170, 100}, {-170, 100}, {-120, 0}});
    curve.Add({{-40, 0}, {0, 100}, {0, 100}});
    drawing.Add(test::MakePathObject({curve}, kPenSolid, kBrushHollow, 12, 0x000000));
    drawing.Add(test::MakePathObject({test::Polyline({{40, 60}, {180, 120}})}, kPenSolid, kBrushHollow, 16,
                                     0x000000));
}

TEST(MetafilePeer, EnhancedMetafilesWeWriteConvertAndLookAsOurs) {
    if (test::PeerMissing("/usr/bin/emf2svg-conv") || test::PeerMissing("/usr/bin/rsvg-convert"))
        return;
    test::CTempFolder folder;
    CDrawing drawing;
    FillComparablePage(drawing);
    const std::string emf = folder.File("page.emf");
    ASSERT_TRUE(CMetafile().ExportToEmf(emf, drawing, 0));

    std::string output;
    ASSERT_EQ(test::RunCommand("/usr/bin/emf2svg-conv -i " + emf + " -o " + folder.File("page.svg"), output),
              0)
        << output;
    ASSERT_EQ(test::RunCommand("/usr/bin/rsvg-convert -b white -w 400 -h 300 -o " + folder.File("peer.png") +
                                   " " + folder.File("page.svg"),
                               output),
              0)
        << output;
    ASSERT_TRUE(
        static_cast<bool>(ExportPageBitmap(drawing, 0, folder.File("ours.png"), 400, 300, true, nullptr)));

    CDibSection peer;
    CDibSection ours;
    ASSERT_TRUE(Decode(folder.File("peer.png"), peer));
    ASSERT_TRUE(Decode(folder.File("ours.png"), ours));
    const std::vector<double> a = CellDarkness(ours, 16, 12);
    const std::vector<double> b = CellDarkness(peer, 16, 12);
    double difference = 0.0;
    double ink = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference += std::fabs(a[i] - b[i]);
        ink += a[i];
    }
    // The same shapes in the same cells: a cell differs by a small part of the page's mean ink at most
    // (a closing line the peer added, or a pen it drew one pixel wide, shows well above this).
    EXPECT_GT(ink / static_cast<double>(a.size()), 0.05);
    EXPECT_LT(difference / static_cast<double>(a.size()), 0.01) << "ink " << ink;
}

} // namespace
} // namespace pq
