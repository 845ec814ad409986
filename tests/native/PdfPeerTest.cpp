#include "PdfTestHelpers.h"

#include "RasterHelpers.h"
#include "render/PageRenderer.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace pq {
namespace {

using namespace test;

// Drawings of every kind of object on one page, on many pages, and none.
void BuildMixed(CDrawing& drawing, int pages) {
    drawing.SetPageCount(pages);
    for (int page = 0; page < pages; page += 3) {
        drawing.Add(MakePathObject({Square(-400, -600, 300), Polyline({{0, 0}, {300, 100}, {100, 300}})},
                                   kPenSolid, kBrushSolid, 5, 0x2040A0, 0x60C080, page, 1));
        drawing.Add(MakeTextObject(u"Text (with brackets) \\ \u00e9\u20ac\u4e2d\r\nsecond line", {-450, 100},
                                   kTextArtistic, kAlignCentre, kTextStyleUnderline | kTextStyleBold, 20.0f,
                                   page));
        drawing.Add(MakeTextObject(u"A paragraph that wraps inside its frame", {-450, 300}, kTextParagraph,
                                   kAlignRight, kTextStyleItalic, 0.0f, page));
        drawing.Add(MakeImageObject({100, 400, -600, -400}, 6, 4, page));
        drawing.Add(MakePathObject({Square(100, 100, 50)}, kPenSolid, kBrushHollow, 2, 0, 0, page, 1));
    }
}

std::string WriteFile(CDrawing& drawing, const CTempFolder& folder, const std::string& name) {
    const std::string path = folder.File(name);
    CPdfFile pdf;
    EXPECT_TRUE(pdf.Write(path, drawing)) << drawing.GetErrorMessage();
    return path;
}

TEST(PdfPeers, WrittenFilesAreValidForQpdfPopplerAndMupdf) {
    if (PeerMissing("/usr/bin/qpdf") || PeerMissing("/usr/bin/pdfinfo") || PeerMissing("/usr/bin/pdftoppm") ||
        PeerMissing("/usr/bin/mutool"))
        return;
    CTempFolder folder;
    for (int pages : {1, 7, 40}) {
        for (bool empty : {false, true}) {
            SCOPED_TRACE(std::to_string(pages) + (empty ? " empty pages" : " pages"));
            CDrawing drawing;
            drawing.SetPageCount(pages);
            drawing.SetPageSize(1480.0f, 2100.0f);
            if (!empty)
                BuildMixed(drawing, pages);
            const std::string path = WriteFile(drawing, folder, "peer.pdf");
            std::string output;
            EXPECT_EQ(RunCommand("/usr/bin/qpdf --check " + path, output), 0) << output;
            ASSERT_EQ(RunCommand("/usr/bin/pdfinfo " + path, output), 0) << output;
            EXPECT_NE(output.find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos)
                << output;
            EXPECT_NE(output.find("Page size:       419.528 x 595.277 pts"), std::string::npos) << output;
            EXPECT_EQ(output.find("Error"), std::string::npos) << output;
            const std::string last = std::to_string(pages);
            EXPECT_EQ(RunCommand("/usr/bin/pdftoppm -r 20 -f " + last + " -l " + last + " -png " + path +
                                     " " + folder.File("page"),
                                 output),
                      0)
                << output;
            EXPECT_EQ(output.find("Error"), std::string::npos) << output;
            EXPECT_EQ(
                RunCommand("/usr/bin/mutool draw -q -r 20 -o " + folder.File("mu.png") + " " + path + " 1",
                           output),
                0)
                << output;
            EXPECT_EQ(output.find("error"), std::string::npos) << output;
        }
    }
}

TEST(PdfPeers, PopplerDrawsPathsAsWeDo) {
    if (PeerMissing("/usr/bin/pdftoppm"))
        return;
    CDrawing drawing;
    drawing.Add(MakePathObject({Square(-450, -650, 500)}, kPenSolid, kBrushSolid, 8, 0x000000, 0x3070E0));
    drawing.Add(MakePathObject({Square(-300, 100, 600), Square(-150, 250, 300)}, kPenNull, kBrushSolid, 0, 0,
                               0x40C040));
    CNodeArray curve;
    curve.Add({{-400, 600}, {-400, 600}, {-200, 300}});
    curve.Add({{200, 700}, {400, 500}, {400, 500}});
    drawing.Add(MakePathObject({curve}, kPenSolid, kBrushSolid, 4, 0x2020C0, 0xC0C0C0));
    drawing.Add(MakePathObject({Polyline({{-500, 0}, {500, -50}})}, kPenSolid, kBrushHollow, 12, 0x800080));

    CTempFolder folder;
    const std::string path = WriteFile(drawing, folder, "paths.pdf");
    const int width = 315;
    const int height = 444;
    std::string output;
    ASSERT_EQ(RunCommand("/usr/bin/pdftoppm -aa no -aaVector no -scale-to-x " + std::to_string(width) +
                             " -scale-to-y " + std::to_string(height) + " -singlefile " + path + " " +
                             folder.File("poppler"),
                         output),
              0)
        << output;
    CDibSection theirs;
    ASSERT_TRUE(ReadPpm(folder.File("poppler.ppm"), theirs));
    const std::optional<CDibSection> ours = RenderPageToBitmap(drawing, 0, width, height, false);
    ASSERT_TRUE(ours.has_value());
    ASSERT_EQ(theirs.GetWidth(), width);
    ASSERT_EQ(theirs.GetHeight(), height);
    // Colours agree when each component is within a small step (viewers round components differently).
    const int agree = CountAgreeing(*ours, theirs, 2);
    const double share = static_cast<double>(agree) / (width * height);
    EXPECT_GE(share, 0.98) << agree << " of " << width * height << " pixels agree";
}

// Mean difference of the colour components of two bitmaps of the same size, and the share of pixels that
// differ in some component by more than a quarter of the range.
struct CImageDistance {
    double mean = 0;
    double farShare = 0;
};

CImageDistance Distance(const CDibSection& a, const CDibSection& b) {
    double sum = 0;
    int far = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const uint32_t p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            int worst = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int d =
                    std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
                sum += d;
                worst = std::max(worst, d);
            }
            far += worst > 64 ? 1 : 0;
        }
    const double pixels = static_cast<double>(a.GetWidth()) * a.GetHeight();
    return {sum / (3 * pixels), far / pixels};
}

TEST(PdfPeers, SmoothEdgesLookLikeMupdfs) {
    if (PeerMissing("/usr/bin/mutool"))
        return;
    // At 50.8 pixels per inch the page is 296 x 420 pixels exactly: both programs map it alike.
    CDrawing drawing;
    drawing.SetPageSize(1480.0f, 2100.0f);
    CNodeArray blob;
    blob.Add({{-500, -300}, {-500, -300}, {-300, -700}});
    blob.Add({{100, -650}, {450, -500}, {450, -500}});
    blob.Add({{300, 0}, {-100, 100}, {-500, -300}});
    drawing.Add(
        MakePathObject({blob, Square(-200, -450, 200)}, kPenSolid, kBrushSolid, 9, 0x202080, 0x60C0F0));
    // Pens of a pixel and more: a thinner pen stays a pixel wide here, where mupdf draws it faint.
    for (int i = 0; i < 12; ++i) {
        const float y = 150.0f + 40.0f * static_cast<float>(i);
        drawing.Add(MakePathObject({Polyline({{-600, y}, {600, y + 25.0f * static_cast<float>(i)}})},
                                   kPenSolid, kBrushHollow, 6 + 2 * (i % 4), 0x101010));
    }
    CNodeArray wave;
    wave.Add({{-600, 800}, {-600, 800}, {-300, 500}});
    wave.Add({{0, 900}, {300, 1000}, {300, 1000}});
    drawing.Add(MakePathObject({wave}, kPenSolid, kBrushHollow, 30, 0x0060C0));
    drawing.Add(MakeImageObject({250, 650, 350, 650}, 7, 5));

    CTempFolder folder;
    const std::string path = WriteFile(drawing, folder, "smooth.pdf");
    std::string output;
    ASSERT_EQ(
        RunCommand("/usr/bin/mutool draw -q -r 50.8 -o " + folder.File("mu.ppm") + " " + path + " 1", output),
        0)
        << output;
    CDibSection theirs;
    ASSERT_TRUE(ReadPpm(folder.File("mu.ppm"), theirs));
    const auto smooth =
        RenderPageToBitmap(drawing, 0, theirs.GetWidth(), theirs.GetHeight(), false, EdgeStyle::Smooth);
    const auto aliased = RenderPageToBitmap(drawing, 0, theirs.GetWidth(), theirs.GetHeight(), false);
    ASSERT_TRUE(smooth && aliased);
    DumpIfAsked(*smooth, "smooth-ours");
    DumpIfAsked(theirs, "smooth-mupdf");
    const CImageDistance near = Distance(*smooth, theirs), hard = Distance(*aliased, theirs);
    EXPECT_LT(near.mean, 1.0) << "aliased: " << hard.mean;
    EXPECT_LT(near.farShare, 0.002) << "aliased: " << hard.farShare;
    EXPECT_LT(near.mean, hard.mean * 0.3) << "smooth edges should be closer to mupdf's than hard ones";
}

} // namespace
} // namespace pq
