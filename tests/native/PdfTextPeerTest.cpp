#include "PdfTestHelpers.h"

#include "RasterHelpers.h"
#include "render/PageRenderer.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace pq {
namespace {

using namespace test;

// Every text is drawn in one colour, so that a pixel is ink or paper by how much of that colour it holds.
constexpr uint32_t kInk = 0x1030A0;

std::unique_ptr<CGraphicObject> Text(const std::u16string& s, CPointF position, const std::u16string& face,
                                     float height, int32_t style = 0, int32_t alignment = kAlignLeft,
                                     float angle = 0.0f) {
    CTextLook look;
    look.faceName = face;
    look.height = height;
    look.angle = angle;
    look.alignment = alignment;
    look.style = style;
    look.color = kInk;
    return BuildText(s, position, look);
}

std::unique_ptr<CGraphicObject> Paragraph(const std::u16string& s, CRectF frame, const std::u16string& face,
                                          float height, int32_t style, int32_t alignment) {
    CTextLook look;
    look.faceName = face;
    look.corner = {frame.right, frame.bottom};
    look.height = height;
    look.mode = kTextParagraph;
    look.alignment = alignment;
    look.style = style;
    look.color = kInk;
    return BuildText(s, {frame.left, frame.top}, look);
}

// An A5 page of texts: the three standard faces, bold and italic, every alignment, a turned line,
// characters beyond Latin-1, an underline, and paragraphs that wrap in their frames.
void BuildTextPage(CDrawing& drawing) {
    drawing.SetPageSize(1480.0f, 2100.0f);
    drawing.Add(
        Text(u"Artistic text in Arial, left\r\nwith a second, longer line", {-700, -1020}, u"Arial", 60));
    drawing.Add(Text(u"Times bold, centred\r\nshort", {-700, -860}, u"Times New Roman", 70, kTextStyleBold,
                     kAlignCentre));
    drawing.Add(Text(u"Courier italic, right\r\nend", {-100, -700}, u"Courier New", 55, kTextStyleItalic,
                     kAlignRight));
    drawing.Add(Text(u"\u0152uvre \u2014 \u201equoted\u201c \u20ac 9\u2122 \u2022 \u017d\u00e6\u00df",
                     {-700, -540}, u"Times New Roman", 65));
    drawing.Add(Text(u"Turned by thirty degrees", {-650, -200}, u"Arial", 50,
                     kTextStyleBold | kTextStyleItalic, kAlignLeft, 30.0f));
    drawing.Add(Text(u"Underlined words", {50, -380}, u"Arial", 60, kTextStyleUnderline));
    const std::u16string prose =
        u"A paragraph wraps inside its frame, and every viewer must break it where the "
        u"editor does: the same words on each line, the lines the same distance apart.";
    drawing.Add(Paragraph(prose, {-700, 700, -120, 250}, u"Arial", 45, 0, kAlignLeft));
    drawing.Add(
        Paragraph(prose, {-700, -20, 300, 800}, u"Times New Roman", 50, kTextStyleItalic, kAlignCentre));
    drawing.Add(Paragraph(prose, {30, 700, 300, 1000}, u"Courier New", 40, kTextStyleBold, kAlignRight));
}

int Darkness(uint32_t colour) {
    return 765 - static_cast<int>((colour & 0xFF) + (colour >> 8 & 0xFF) + (colour >> 16 & 0xFF));
}

// Ink where a pixel holds at least half the text colour: our text's smoothed edges read as the aliased
// viewer's would.
std::vector<bool> InkOf(const CDibSection& bitmap) {
    std::vector<bool> ink;
    ink.reserve(static_cast<std::size_t>(bitmap.GetWidth()) * static_cast<std::size_t>(bitmap.GetHeight()));
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            ink.push_back(2 * Darkness(PixelAt(bitmap, x, y)) > Darkness(kInk));
    return ink;
}

// The share of pixels whose kind (ink or paper) the other picture lacks within one pixel, either way.
// The editor's dotted marks around paragraph frames, which viewers do not show, count among them.
double UnmatchedShare(const CDibSection& a, const CDibSection& b) {
    const int width = a.GetWidth();
    const int height = a.GetHeight();
    const std::vector<bool> inkA = InkOf(a);
    const std::vector<bool> inkB = InkOf(b);
    auto foundNearby = [&](const std::vector<bool>& in, int x, int y, bool kind) {
        for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny)
            for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx)
                if (in[static_cast<std::size_t>(ny) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(nx)] == kind)
                    return true;
        return false;
    };
    int64_t unmatched = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            if (!foundNearby(inkB, x, y, inkA[i]) || !foundNearby(inkA, x, y, inkB[i]))
                ++unmatched;
        }
    return static_cast<double>(unmatched) / (static_cast<double>(width) * height);
}

TEST(PdfTextPeers, PopplerShowsTextsAsTheEditorDraws) {
    if (PeerMissing("/usr/bin/pdftoppm"))
        return;
    CDrawing drawing;
    BuildTextPage(drawing);
    CTempFolder folder;
    const std::string path = folder.File("texts.pdf");
    ASSERT_TRUE(CPdfFile().Write(path, drawing));
    // The page is 419.53 x 595.28 points.
    for (int dpi : {100, 200}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        const int width = static_cast<int>(std::lround(419.528 * dpi / 72.0));
        const int height = static_cast<int>(std::lround(595.277 * dpi / 72.0));
        std::string output;
        ASSERT_EQ(RunCommand("/usr/bin/pdftoppm -aa no -aaVector no -scale-to-x " + std::to_string(width) +
                                 " -scale-to-y " + std::to_string(height) + " -singlefile " + path + " " +
                                 folder.File("poppler"),
                             output),
                  0)
            << output;
        EXPECT_EQ(output, "");
        CDibSection theirs;
        ASSERT_TRUE(test::ReadPpm(folder.File("poppler.ppm"), theirs));
        const std::optional<CDibSection> ours = RenderPageToBitmap(drawing, 0, width, height, false);
        ASSERT_TRUE(ours.has_value());
        ASSERT_EQ(theirs.GetWidth(), width);
        ASSERT_EQ(theirs.GetHeight(), height);
        const double share = UnmatchedShare(*ours, theirs);
        RecordProperty("unmatched_percent_" + std::to_string(dpi), std::to_string(100.0 * share));
        EXPECT_LE(share, 0.01) << 100.0 * share << " % of the pixels are unmatched";
    }
}

TEST(PdfTextPeers, EmbeddedSubsetsAreValidForEveryPeer) {
    if (PeerMissing("/usr/bin/qpdf") || PeerMissing("/usr/bin/pdffonts") || PeerMissing("/usr/bin/mutool"))
        return;
    CDrawing drawing;
    BuildTextPage(drawing);
    CTempFolder folder;
    const std::string path = folder.File("texts.pdf");
    ASSERT_TRUE(CPdfFile().Write(path, drawing));
    std::string output;
    EXPECT_EQ(RunCommand("/usr/bin/qpdf --check " + path, output), 0) << output;
    EXPECT_NE(output.find("No syntax or stream encoding errors"), std::string::npos) << output;

    // Every font is an embedded TrueType subset, named by its tag and the face's name.
    ASSERT_EQ(RunCommand("/usr/bin/pdffonts " + path, output), 0) << output;
    std::istringstream lines(output);
    std::string line;
    int fonts = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line.starts_with("name") || line.starts_with("---"))
            continue;
        ++fonts;
        EXPECT_EQ(line[6], '+') << line;
        EXPECT_NE(line.find(" TrueType "), std::string::npos) << line;
        EXPECT_NE(line.find(" yes yes "), std::string::npos) << line;
    }
    // One font for each face, style and size: the two texts in upright Arial of one size share theirs.
    EXPECT_EQ(fonts, 8) << output;
    for (const char* face :
         {"+ArialMT ", "+TimesNewRomanPS,Bold", "+CourierNewPS,Italic", "+ArialMT,BoldItalic"})
        EXPECT_NE(output.find(face), std::string::npos) << face << "\n" << output;

    EXPECT_EQ(
        RunCommand("/usr/bin/mutool draw -q -r 50 -o " + folder.File("mu.png") + " " + path + " 1", output),
        0)
        << output;
    // The one warning this mutool gives for every file, that it was built without colour management.
    const std::string noIcc = "warning: ICC support is not available\n";
    if (output.starts_with(noIcc))
        output.erase(0, noIcc.size());
    EXPECT_EQ(output, "");
}

} // namespace
} // namespace pq
