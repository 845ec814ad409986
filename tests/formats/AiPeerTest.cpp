#include "native/PdfTestHelpers.h"

#include "RasterHelpers.h"
#include "formats/ai/IllustratorFile.h"
#include "render/PageRenderer.h"

#include <fstream>

namespace pq {
namespace {

using namespace test;

// A page with every kind of object: filled, stroked, compound and curved paths, an image, an artistic
// and a paragraph text (underlined), and a group.
void BuildEveryKind(CDrawing& drawing) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    drawing.Add(
        MakePathObject({Square(-600, -900, 500)}, kPenSolid, kBrushSolid, 10, 0x000000, 0x3070E0, 0, 1));
    drawing.Add(MakePathObject({Square(-300, 100, 600), Square(-150, 250, 300)}, kPenNull, kBrushSolid, 0, 0,
                               0x40C040, 0, 1));
    CNodeArray curve;
    curve.Add({{-600, 700}, {-600, 700}, {-300, 400}});
    curve.Add({{200, 900}, {500, 600}, {500, 600}});
    drawing.Add(MakePathObject({curve}, kPenSolid, kBrushSolid, 6, 0x2020C0, 0xC0C0C0));
    drawing.Add(MakePathObject({Polyline({{-700, 0}, {700, -100}})}, kPenSolid, kBrushHollow, 14, 0x800080));
    drawing.Add(MakeImageObject({100, 600, -900, -500}, 4, 3));
    drawing.Add(MakeTextObject(u"Ghost", {100, -300}, kTextArtistic, kAlignLeft, kTextStyleUnderline));
    drawing.Add(MakeTextObject(u"a few words", {-600, 900}, kTextParagraph));
}

TEST(AiPeers, GhostscriptDrawsOurFilesAsWeDo) {
    if (PeerMissing("/usr/bin/gs"))
        return;
    CDrawing drawing;
    BuildEveryKind(drawing);
    CTempFolder folder;
    const std::string path = folder.File("every.ai");
    ASSERT_TRUE(CIllustratorFile().ExportToAi(path, drawing, 0)) << drawing.GetErrorMessage();

    const int width = 296;
    const int height = 420;
    // 1480 units are 419.528 points: the resolution that makes the page width pixels wide.
    const double resolution = width / (drawing.GetPageWidth() * 0.28346518 / 72.0);
    std::string output;
    const std::string command =
        "/usr/bin/gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -g" + std::to_string(width) + "x" +
        std::to_string(height) + " -r" + std::to_string(resolution) +
        " -dFIXEDMEDIA -dTextAlphaBits=1 -dGraphicsAlphaBits=1 -sOutputFile=" + folder.File("gs.ppm") +
        " " PQ_TEST_DATA_DIR "/ai/ai_prolog.ps -f " + path + " -c showpage";
    ASSERT_EQ(RunCommand(command, output), 0) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    CDibSection theirs;
    ASSERT_TRUE(ReadPpm(folder.File("gs.ppm"), theirs));
    const std::optional<CDibSection> ours = RenderPageToBitmap(drawing, 0, width, height, false);
    ASSERT_TRUE(ours.has_value());
    ASSERT_EQ(theirs.GetWidth(), width);
    ASSERT_EQ(theirs.GetHeight(), height);

    // Colours agree when each component is within a small step; edges and the texts' glyphs (other
    // fonts) may differ.
    const int agree = CountAgreeing(*ours, theirs, 3);
    const int inked = CountDifferences(theirs, MakeBitmap(width, height, 24));
    const double share = static_cast<double>(agree) / (width * height);
    EXPECT_GE(share, 0.97) << agree << " of " << width * height << " pixels agree";
    EXPECT_GT(inked, width * height / 5) << "Ghostscript drew next to nothing";
    // The image's first pixel lands where ours does.
    const CRectF& placement = drawing.GetAt(4)->AsImage()->placement;
    const int px = static_cast<int>((placement.left + 740.0f) * width / 1480.0f) + 2;
    const int py = static_cast<int>((placement.top + 1050.0f) * height / 2100.0f) + 2;
    EXPECT_EQ(PixelAt(theirs, px, py), PixelAt(*ours, px, py));
}

TEST(AiPeers, HeaderAndBoundingBoxAreWhatPostScriptToolsLookFor) {
    CDrawing drawing;
    BuildEveryKind(drawing);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(CIllustratorFile().ExportToMemory(bytes, drawing, 0));
    const std::string file(bytes.begin(), bytes.end());
    EXPECT_TRUE(file.starts_with("%!PS-Adobe-3.0\r\n"));
    const std::size_t at = file.find("%%BoundingBox: ");
    ASSERT_NE(at, std::string::npos);
    std::istringstream box(file.substr(at + 15, file.find('\r', at) - at - 15));
    double llx = 0, lly = 0, urx = 0, ury = 0;
    ASSERT_TRUE(box >> llx >> lly >> urx >> ury);
    EXPECT_LT(llx, urx);
    EXPECT_LT(lly, ury);
    EXPECT_GE(llx, 0.0);
    EXPECT_LE(ury, 2100 * 0.28346518 + 1e-3);
}

} // namespace
} // namespace pq
