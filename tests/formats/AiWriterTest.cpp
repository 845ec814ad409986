#include "native/PdfTestHelpers.h"

#include "RasterHelpers.h"

#include "formats/ai/AiNumbers.h"
#include "formats/ai/IllustratorFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace pq {
namespace {

using namespace test;

std::string WriteAi(const CDrawing& drawing, int page = 0, const std::string& title = "t.ai") {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(CIllustratorFile().ExportToMemory(bytes, drawing, page, title));
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < file.size()) {
        const std::size_t end = file.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(file.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The lines of the object part: from after "%%EndSetup" up to the group lines.
std::vector<std::string> Body(const std::string& file) {
    std::vector<std::string> lines = Lines(file);
    auto begin = std::find(lines.begin(), lines.end(), "%%EndSetup");
    auto end = std::find_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("%!!PQ Begin Groups"); });
    if (begin == lines.end() || end == lines.end())
        return {};
    return {begin + 1, end};
}

std::size_t CountLine(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

TEST(AiNumbers, FixedFourDecimalsWithoutLocaleOrNegativeZero) {
    std::string out;
    for (double v : {12.5, 0.05, -3.14, -0.00001, 1e-9, 419.52846})
        AppendAiNumber(out += ' ', v);
    EXPECT_EQ(out, " 12.5000 0.0500 -3.1400 0.0000 0.0000 419.5285");
    EXPECT_EQ(ParseAiField("12abc").value(), 12.0);
    EXPECT_EQ(ParseAiField("-1.5e2").value(), -150.0);
    EXPECT_FALSE(ParseAiField("(x)").has_value());
    EXPECT_FALSE(ParseAiField("nan").has_value());
    EXPECT_EQ(ParseAiField("1e400").value(), kAiMaxNumber);
    EXPECT_EQ(ParseAiField("-1e400").value(), -kAiMaxNumber);
    EXPECT_EQ(ParseAiField("1e-400").value(), 0.0);
    std::vector<double> numbers;
    ParseLineNumbers("1 (Black) 2.5  3 4 Xa", numbers);
    EXPECT_EQ(numbers, (std::vector<double>{1, 2.5, 3, 4}));
    ParseLineNumbers("7 8", numbers); // the text after the last space is never an operand
    EXPECT_EQ(numbers, (std::vector<double>{7}));
}

TEST(AiWriter, HeaderGivesBoundsTemplateBoxArtSizeAndEmptySections) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 2000.0f);
    drawing.Add(MakePathObject({Square(-100, -200, 100)}, kPenNull, kBrushSolid));
    const std::vector<std::string> lines = Lines(WriteAi(drawing, 0, "card.ai"));
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[0], "%!PS-Adobe-3.0");
    EXPECT_EQ(lines[1], "%%Creator:Adobe Illustrator (TM) 7.0");
    EXPECT_EQ(lines[2], "%%Title: (card.ai)");
    // x from 400 to 500 units and y from 800 to 900 units below the top: in points, y upwards.
    EXPECT_EQ(lines[3], "%%BoundingBox: 113.3861 311.8117 141.7326 340.1582 ");
    EXPECT_EQ(lines[4], "%%AI3_TemplateBox: 141.7326 283.4652 141.7326 283.4652");
    EXPECT_EQ(lines[5], "%AI5_ArtSize: 283.4652 566.9304");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 6, lines.begin() + 11),
              (std::vector<std::string>{"%%EndComments", "%%BeginProlog", "%%EndProlog", "%%BeginSetup",
                                        "%%EndSetup"}));
    EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
              (std::vector<std::string>{"%!!PQ Begin Groups 0", "%!!PQ End Groups", "%%PageTrailer",
                                        "%%Trailer", "%%EOF"}));

    CDrawing empty;
    EXPECT_EQ(Lines(WriteAi(empty))[3], "%%BoundingBox: 0.0000 0.0000 0.0000 0.0000 ");
}

TEST(AiWriter, PathsCloseFillAndStrokeByTheirEnds) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 1000.0f);
    // Closed, stroked and filled; open and filled; open and stroked; closed and neither.
    drawing.Add(MakePathObject({Square(-500, -500, 100)}, kPenSolid, kBrushSolid, 10, 0x0000FF, 0x00FF00));
    drawing.Add(MakePathObject({Polyline({{-500, 500}, {-400, 500}, {-400, 400}})}, kPenNull, kBrushSolid));
    drawing.Add(MakePathObject({Polyline({{0, 0}, {100, 0}})}, kPenSolid, kBrushHollow));
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenNull, kBrushHollow));
    const std::vector<std::string> body = Body(WriteAi(drawing));
    const std::vector<std::string> expected = {
        "1 XR", "0 O", "0.0000 1.0000 0.0000 Xa", "0 R", "1.0000 0.0000 0.0000 XA", "2.834652 w",
        "0.0000 283.4652 m", "28.3465 283.4652 l", "28.3465 255.1187 l", "0.0000 255.1187 l",
        "0.0000 283.4652 l", "b",
        // open and filled: a line back to the start before the fill
        "1 XR", "0 O", "0.3765 0.3137 0.2510 Xa", "0.0000 0.0000 m", "28.3465 0.0000 l", "28.3465 28.3465 l",
        "0.0000 0.0000 l", "f", "1 XR", "0 R", "0.1882 0.1255 0.0627 XA", "1.133861 w", "141.7326 141.7326 m",
        "170.0791 141.7326 l", "S", "1 XR", "141.7326 141.7326 m", "144.5672 141.7326 l",
        "144.5672 138.8979 l", "141.7326 138.8979 l", "141.7326 141.7326 l", "n"};
    EXPECT_EQ(body, expected);
}

TEST(AiWriter, CurvesCompoundPathsAndPathsWithNothingToDraw) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 1000.0f);
    CNodeArray curve;
    curve.Add({{0, 0}, {0, 0}, {100, 0}});
    curve.Add({{200, 100}, {200, 200}, {200, 200}});
    drawing.Add(MakePathObject({curve}, kPenSolid, kBrushHollow));
    drawing.Add(MakePathObject({Square(0, 0, 100), Square(25, 25, 50)}, kPenNull, kBrushSolid));
    drawing.Add(MakePathObject({Polyline({{5, 5}})}, kPenSolid, kBrushSolid)); // one node: nothing drawn
    const std::vector<std::string> body = Body(WriteAi(drawing));
    EXPECT_EQ(CountLine(body, "170.0791 141.7326 198.4256 113.3861 198.4256 85.0396 c"), 1u);
    EXPECT_EQ(CountLine(body, "*u"), 1u);
    EXPECT_EQ(CountLine(body, "*U"), 1u);
    EXPECT_EQ(CountLine(body, "f"), 2u); // one per subpath of the compound path
    EXPECT_EQ(body.front(), "1 XR");
    EXPECT_EQ(body.back(), "*U");
}

TEST(AiWriter, ArtisticTextLinesLeadingFontsAndMarkers) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 1000.0f);
    auto object = MakeTextObject(u"Hello", {0, 0});
    object->AsText()->faceName = u"Tahoma";
    object->AsText()->style = kTextStyleItalic;
    drawing.Add(std::move(object));
    std::vector<std::string> body = Body(WriteAi(drawing));
    // Left aligned, one line: no "Td" at all.
    EXPECT_EQ(std::count_if(body.begin(), body.end(), [](const std::string& l) { return l.ends_with("Td"); }),
              0);
    ASSERT_GE(body.size(), 3u);
    EXPECT_EQ(body[0], "0 To");
    // The first baseline is 20 points below the text's top.
    EXPECT_EQ(body[1], "1.0000 0.0000 0.0000 1.0000 141.7326 121.7326 0 Tp");
    EXPECT_EQ(body[2], "TP");
    EXPECT_EQ(CountLine(body, "(Hello) Tx"), 1u);
    const bool tahomaFace = std::any_of(body.begin(), body.end(), [](const std::string& l) {
        return l.starts_with("/_") && l.find("Tahoma ") != std::string::npos;
    });
    const bool fontLine = std::any_of(body.begin(), body.end(),
                                      [](const std::string& l) { return l.ends_with(" 20.0000 Tf"); });
    EXPECT_TRUE(fontLine);
    // Tahoma has no italic face: its italic is a marker line. Other faces name their italic.
    if (tahomaFace) {
        EXPECT_EQ(CountLine(body, "/_Tahoma 20.0000 Tf"), 1u);
        EXPECT_EQ(CountLine(body, "%!!PQ italic"), 1u);
    } else {
        EXPECT_EQ(CountLine(body, "%!!PQ italic"), 0u);
        EXPECT_TRUE(std::any_of(body.begin(), body.end(),
                                [](const std::string& l) { return l.ends_with("-Italic 20.0000 Tf"); }));
    }

    // Two lines, centred: the second line moves down by the leading, 24 points for 20-point text.
    drawing.GetAt(0)->AsText()->text = u"wide line\r\nab";
    drawing.GetAt(0)->AsText()->alignment = kAlignCentre;
    drawing.GetAt(0)->AsText()->style = kTextStyleBold | kTextStyleItalic;
    body = Body(WriteAi(drawing));
    EXPECT_EQ(CountLine(body, "1 Ta"), 1u);
    EXPECT_EQ(CountLine(body, "(wide line\\r) Tx"), 1u);
    EXPECT_EQ(CountLine(body, "(ab) Tx"), 1u);
    const auto second = std::find(body.begin(), body.end(), "(ab) Tx");
    ASSERT_NE(second, body.begin());
    EXPECT_TRUE((second - 1)->ends_with(" -24.0 Td")) << *(second - 1);
    EXPECT_EQ(CountLine(body, "(\\r) TX"), 1u);
    EXPECT_EQ(body.back(), "TO");
}

TEST(AiWriter, FontNamesTakeTheirStyleBeforeMonotypesSuffix) {
    CDrawing drawing;
    auto object = MakeTextObject(u"x", {0, 0});
    object->AsText()->faceName = u"Arial";
    object->AsText()->style = kTextStyleBold;
    drawing.Add(std::move(object));
    const std::vector<std::string> body = Body(WriteAi(drawing));
    const auto font =
        std::find_if(body.begin(), body.end(), [](const std::string& l) { return l.ends_with("Tf"); });
    ASSERT_NE(font, body.end());
    // Arial maps to ArialMT, or to the installed metric twin when Arial itself is missing.
    EXPECT_TRUE(font->starts_with("/_Arial-BoldMT ") || font->find("-Bold ") != std::string::npos) << *font;
}

TEST(AiWriter, TextStringsEscapeBracketsBackslashesAndCarryWideCharacters) {
    CDrawing drawing;
    drawing.Add(MakeTextObject(u"a(b)c\\d\u00e9\u20ac", {0, 0}));
    const std::string file = WriteAi(drawing);
    const std::vector<std::string> body = Body(file);
    EXPECT_EQ(CountLine(body, "(a\\(b\\)c\\\\d\xe9?) Tx"), 1u);
    EXPECT_EQ(CountLine(body, "%!!PQ text 00610028006200290063005C006400E920AC"), 1u);
    // Plain 8-bit text needs no exact copy.
    drawing.GetAt(0)->AsText()->text = u"plain \u00e9";
    EXPECT_EQ(WriteAi(drawing).find("%!!PQ text"), std::string::npos);
}

TEST(AiWriter, UnderlinedTextIsFollowedByItsBoxesInOneCompoundPath) {
    CDrawing drawing;
    drawing.Add(MakeTextObject(u"under", {0, 0}, kTextArtistic, kAlignLeft, kTextStyleUnderline));
    const std::vector<std::string> body = Body(WriteAi(drawing));
    const auto to = std::find(body.begin(), body.end(), "TO");
    ASSERT_NE(to, body.end());
    EXPECT_EQ(CountLine(body, "%!!PQ underline"), 1u);
    ASSERT_GE(body.end() - to, 12);
    EXPECT_EQ(*(to + 1), "*u");
    EXPECT_EQ(*(to + 2), "1 XR");
    EXPECT_EQ(body.back(), "*U");
    EXPECT_EQ(CountLine(body, "f"), 1u);
}

TEST(AiWriter, ParagraphTextWritesItsFrameAndKeepsTheSpacesItBreaksAt) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 1000.0f);
    auto object = MakeTextObject(u"one two three four five six\r\nseven", {-500, -500}, kTextParagraph);
    object->AsText()->corner = {-300, -100};
    drawing.Add(std::move(object));
    const std::vector<std::string> body = Body(WriteAi(drawing));
    ASSERT_GE(body.size(), 12u);
    EXPECT_EQ(body[0], "1 To");
    EXPECT_EQ(body[1], "1.0000 0.0000 0.0000 1.0000 0.0000 283.4652 0 Tp");
    EXPECT_EQ(std::vector<std::string>(body.begin() + 2, body.begin() + 12),
              (std::vector<std::string>{"0 w", "0 XR", "0.0000 283.4652 m", "56.6930 283.4652 L",
                                        "56.6930 170.0791 L", "0.0000 170.0791 L", "0.0000 283.4652 L", "n",
                                        "TP", "0 -20.0000 Td"}));
    std::string joined;
    int runs = 0;
    for (const std::string& line : body)
        if (line.ends_with(") Tx")) {
            joined += line.substr(1, line.size() - 5);
            ++runs;
        }
    EXPECT_GT(runs, 2); // the frame is narrower than the first paragraph
    EXPECT_EQ(joined, "one two three four five six\\rseven");
}

TEST(AiWriter, ImagesGiveTheirPixelsTenToADataLine) {
    CDrawing drawing;
    drawing.SetPageSize(1000.0f, 1000.0f);
    drawing.Add(MakeImageObject({-500, -250, -500, -490}, 25, 1));
    const std::vector<std::string> body = Body(WriteAi(drawing));
    ASSERT_GE(body.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(body.begin(), body.begin() + 3),
              (std::vector<std::string>{"%AI5_File", "%AI5_BeginRaster", "() 0 XG"}));
    EXPECT_EQ(body[3], "[2.8347 0 0 2.8347 0.0000 283.4652] 25 1 0 Xh");
    EXPECT_EQ(body[4], "[2.8347 0 0 2.8347 0.0000 283.4652] 0 0 25 1 25 1 8 3 0 0 0 0");
    EXPECT_EQ(body[5], "%%BeginData: 155");
    EXPECT_EQ(body[6], "XI");
    EXPECT_EQ(body[7].size(), 61u);
    EXPECT_EQ(body[8].size(), 61u);
    EXPECT_EQ(body[9].size(), 31u);
    // The first pixel written is the top row's first.
    const uint32_t colour = PixelAt(drawing.GetAt(0)->AsImage()->bitmap, 0, 0);
    char expected[8];
    std::snprintf(expected, sizeof expected, "%%%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    EXPECT_EQ(body[7].substr(0, 7), expected);
    EXPECT_EQ(std::vector<std::string>(body.end() - 4, body.end()),
              (std::vector<std::string>{"%%EndData", "XH", "%AI5_EndRaster", "F"}));
}

TEST(AiWriter, OnePageIsWrittenAndItsGroupsCountOnlyWhatTheFileHolds) {
    CDrawing drawing;
    drawing.SetPageCount(3);
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushSolid, 1, 0, 0x0000FF, 2, 5));
    drawing.Add(MakePathObject({Polyline({{1, 1}})}, kPenSolid, kBrushSolid, 1, 0, 0, 2, 5)); // not written
    drawing.Add(MakePathObject({Square(0, 0, 20)}, kPenSolid, kBrushSolid, 1, 0, 0, 0, 9));   // other page
    drawing.Add(MakePathObject({Square(0, 0, 30)}, kPenSolid, kBrushSolid, 1, 0, 0, 2, 5));
    drawing.Add(MakePathObject({Square(0, 0, 40)}, kPenSolid, kBrushSolid, 1, 0, 0, 2, 0));
    drawing.Add(MakePathObject({Square(0, 0, 50)}, kPenSolid, kBrushSolid, 1, 0, 0, 2, 3));
    drawing.Add(MakePathObject({Square(0, 0, 60)}, kPenSolid, kBrushSolid, 1, 0, 0, 2, 3));
    // A page beyond the last exports the last page.
    const std::vector<std::string> lines = Lines(WriteAi(drawing, 7));
    EXPECT_EQ(CountLine(lines, "1.0000 0.0000 0.0000 Xa"), 1u);
    const auto begin = std::find(lines.begin(), lines.end(), "%!!PQ Begin Groups 6");
    ASSERT_NE(begin, lines.end());
    EXPECT_EQ(std::vector<std::string>(begin + 1, begin + 8),
              (std::vector<std::string>{"%!!PQ 2", "%!!PQ 0", "%!!PQ 1", "%!!PQ 2", "%!!PQ 3", "%!!PQ 4",
                                        "%!!PQ End Groups"}));
}

TEST(AiWriter, TheFileHoldsExactlyWhatIsWritten) {
    CTempFolder folder;
    CDrawing drawing;
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushSolid));
    const std::string path = folder.File("out.ai");
    ASSERT_TRUE(CIllustratorFile().ExportToAi(path, drawing, 0));
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), WriteAi(drawing, 0, "out.ai"));
    EXPECT_TRUE(drawing.GetErrorMessage().empty());
}

} // namespace
} // namespace pq
