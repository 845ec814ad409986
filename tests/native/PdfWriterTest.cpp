#include "PdfTestHelpers.h"

#include "TestHelpers.h"
#include "native/PdfNumbers.h"
#include "native/PdfPageTree.h"
#include "native/PdfWriter.h"
#include "render/FontTextMetrics.h"

#include <sstream>
#include <zlib.h>

namespace pq {
namespace {

using namespace test;

// One-page files: the page is object 4 and its content object 5.
constexpr int kContent = 5;

std::string ContentOf(CDrawing& drawing, int object = kContent) {
    return StreamContent(AsText(WritePdf(drawing)), object);
}

TEST(PdfWriter, PageTreeFansOutBySix) {
    struct Case {
        int pages;
        std::vector<int> levels;
        std::vector<std::pair<int, std::string>> objects; // object number, text it must hold
    };
    const Case cases[] = {
        {1,
         {1, 1},
         {{3, "/Kids [4 0 R]\r\n/Count 1"},
          {4, "/Parent 3 0 R\r\n"},
          {4, "/ProcSet [/PDF]\r\n>>"},
          {5, "/Length "}}},
        {7,
         {1, 2, 7},
         {{3, "/Kids [4 0 R\r\n\t5 0 R]\r\n/Count 7"},
          {4, "/Parent 3 0 R\r\n/Kids [6 0 R\r\n\t7 0 R\r\n\t8 0 R\r\n\t9 0 R\r\n\t10 0 R\r\n\t11 0 "
              "R]\r\n/Count 6\r\n"},
          {5, "/Kids [12 0 R]\r\n/Count 1\r\n"},
          {11, "/Parent 4 0 R"},
          {12, "/Parent 5 0 R"},
          {12, "/Contents 19 0 R"},
          {6, "/Contents 13 0 R"}}},
        {12, {1, 2, 12}, {{4, "/Count 6\r\n"}, {5, "\t17 0 R]\r\n/Count 6\r\n"}}},
        {40,
         {1, 2, 7, 40},
         {{3, "/Count 40"},
          {4, "/Kids [6 0 R\r\n"},
          {4, "/Count 36\r\n"},
          {5, "/Kids [12 0 R]\r\n/Count 4\r\n"},
          {12, "/Parent 5 0 R\r\n/Kids [49 0 R\r\n\t50 0 R\r\n\t51 0 R\r\n\t52 0 R]\r\n/Count 4\r\n"},
          {52, "/Parent 12 0 R"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPdfPageTree(c.pages).Levels(), c.levels) << c.pages << " pages";
        CDrawing drawing;
        drawing.SetPageCount(c.pages);
        const std::string file = AsText(WritePdf(drawing));
        for (const auto& [number, text] : c.objects)
            EXPECT_NE(ObjectText(file, number).find(text), std::string::npos)
                << c.pages << " pages, object " << number << " lacks " << text << ":\n"
                << ObjectText(file, number);
        const int objects = CPdfPageTree(c.pages).TreeObjects() + 2 + c.pages;
        EXPECT_NE(file.find("xref\r\n0 " + std::to_string(objects + 1) + "\r\n"), std::string::npos)
            << c.pages;
    }
}

TEST(PdfWriter, PathOperatorsFollowEachSubpathsClosing) {
    const CNodeArray closed = Square(0, 0, 100);
    const CNodeArray open = Polyline({{200, 0}, {300, 0}, {300, 100}});
    struct Case {
        const char* name;
        std::vector<CNodeArray> subpaths;
        int32_t penStyle;
        int32_t brushStyle;
        std::vector<std::string> expected; // the operator of each line that is not a point, in order
    };
    const Case cases[] = {
        {"closed, stroked and filled", {closed}, kPenSolid, kBrushSolid, {"w", "RG", "rg", "b*"}},
        {"open, stroked and filled", {open}, kPenSolid, kBrushSolid, {"w", "RG", "rg", "B*"}},
        {"closed then open", {closed, open}, kPenSolid, kBrushHollow, {"w", "RG", "h", "S"}},
        {"open then closed", {open, closed}, kPenSolid, kBrushHollow, {"w", "RG", "s"}},
        {"two closed, filled only", {closed, closed}, kPenNull, kBrushSolid, {"rg", "h", "f*"}},
        {"neither", {open}, kPenNull, kBrushHollow, {"n"}},
    };
    for (const Case& c : cases) {
        CDrawing drawing;
        auto object = std::make_unique<CGraphicObject>(kKindPath);
        for (const CNodeArray& nodes : c.subpaths)
            object->AsPath()->AddSubpath(nodes);
        object->AsPath()->penStyle = c.penStyle;
        object->AsPath()->brushStyle = c.brushStyle;
        drawing.Add(std::move(object));
        // The operator ending each line, points left out.
        std::vector<std::string> ops;
        std::istringstream lines(ContentOf(drawing));
        for (std::string line; std::getline(lines, line, '\n');) {
            const std::string op =
                line.substr(line.find_last_of(' ') + 1, line.find('\r') - line.find_last_of(' ') - 1);
            if (op != "m" && op != "l" && op != "c" && line != std::string(1, '\0'))
                ops.push_back(op);
        }
        EXPECT_EQ(ops, c.expected) << c.name;
    }
}

TEST(PdfWriter, SegmentsAreLinesOnlyWhenTheirControlPointsSitOnTheAnchors) {
    CNodeArray nodes;
    nodes.Add(CPathNode::FromPoint({0, 0}));
    nodes.Add(CPathNode::FromPoint({100, 0}));
    nodes.Add({{150, 0}, {200, 100}, {200, 100}});
    CDrawing drawing;
    drawing.Add(MakePathObject({nodes}, kPenSolid, kBrushHollow, 7));
    std::istringstream content(ContentOf(drawing));
    // A point (x, y) of the default 1050 x 1480 page is written as ((x + 525) k, (740 - y) k).
    const double k = 0.28346518;
    const std::vector<std::pair<std::string, std::vector<double>>> expected = {
        {"w", {7 * k}},
        {"RG", {0x30 / 255.0, 0x20 / 255.0, 0x10 / 255.0}},
        {"m", {525 * k, 740 * k}},
        {"l", {625 * k, 740 * k}},
        {"c", {625 * k, 740 * k, 675 * k, 740 * k, 725 * k, 640 * k}},
        {"S", {}},
    };
    for (const auto& [op, numbers] : expected) {
        std::string line;
        ASSERT_TRUE(std::getline(content, line)) << "missing " << op;
        std::istringstream words(line);
        std::vector<double> got;
        std::string word;
        while (words >> word && std::isdigit(static_cast<unsigned char>(word[0])))
            got.push_back(std::stod(word));
        EXPECT_EQ(word, op) << line;
        ASSERT_EQ(got.size(), numbers.size()) << line;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(ExpectNear(got[i], numbers[i], 2e-5)) << line;
    }
}

TEST(PdfWriter, TextEscapesItsStringsAndCarriesTheExactText) {
    CDrawing drawing;
    drawing.Add(MakeTextObject(u"a(b)\\c\r\nz\u00e9\u20ac\u4e2d", {0, 0}));
    const std::string content = ContentOf(drawing);
    // The first line, then the comment with every UTF-16 unit, then the second line in WinAnsi with "?" for
    // what it cannot show.
    EXPECT_NE(
        content.find("(a\\(b\\)\\\\c) Tj\r\n%PQText:0061002800620029005C0063000D000A007A00E920AC4E2D:\r\n"
                     "EMC\r\n/Pgf BMC\r\n"),
        std::string::npos)
        << content;
    EXPECT_NE(content.find("(z\xe9\x80?) Tj\r\n"), std::string::npos) << content;
}

TEST(PdfWriter, TextLinesStepAndAdvanceAsTheEditorLaysThemOut) {
    CDrawing drawing;
    drawing.Add(MakeTextObject(u"one\r\ntwo\r\nthree", {0, 0}, kTextArtistic, kAlignLeft, 0, -90.4f));
    const CTextShape& text = *drawing.Objects().front()->AsText();
    const std::string file = AsText(WritePdf(drawing));
    const std::string content = StreamContent(file, kContent);
    // Height 70.5555 units is 20 points; -90.4 degrees is written as 270.
    EXPECT_NE(content.find("/F13 20.00 Tf\r\n-0.0000 -1.0000 1.0000 -0.0000 "), std::string::npos) << content;
    // The text matrix starts one height below the top; the first baseline lies the font's ascent below it,
    // the others one line height apart.
    const CTextLineSteps steps = MeasureLineSteps(text);
    std::string rise;
    AppendFixed(rise, text.height * kPointsPerUnit - steps.ascent * kPointsPerUnit, 4);
    std::string step;
    AppendFixed(step, -steps.lineHeight * kPointsPerUnit, 4);
    EXPECT_NE(content.find("0.0000 " + rise + " Td\r\n(one) Tj"), std::string::npos) << content;
    EXPECT_NE(content.find("0.0000 " + step + " Td\r\n(two) Tj\r\nEMC\r\n/Pgf BMC\r\n0.0000 " + step +
                           " Td\r\n(three) Tj"),
              std::string::npos)
        << content;

    // Widths (object 7, after the font): each shown character's advance at document scale, in thousandths
    // of the 20-point size; characters no text shows get none.
    const std::string widths = ObjectText(file, 7);
    std::istringstream numbers(widths.substr(widths.find('[') + 1));
    std::vector<double> values(224, -1.0);
    for (double& value : values)
        numbers >> value;
    for (char16_t c : std::u16string_view(u"onetwhr")) {
        const double advance = GetTextMetrics().MeasureString(text, std::u16string(1, c)).x;
        EXPECT_NEAR(values[c - 32], advance * kPointsPerUnit * 1000.0 / 20.0, 0.001) << static_cast<char>(c);
    }
    EXPECT_EQ(values['z' - 32], 0.0);
}

TEST(PdfWriter, ImagesWithoutAreaAreListedButNotDrawn) {
    CDrawing drawing;
    drawing.Add(MakeImageObject({10, 10, 0, 50}));
    const std::string file = AsText(WritePdf(drawing));
    EXPECT_NE(ObjectText(file, 4).find("/XObject << /Im6 6 0 R >>"), std::string::npos)
        << ObjectText(file, 4);
    EXPECT_EQ(StreamContent(file, kContent).find("Do"), std::string::npos);
    EXPECT_NE(ObjectText(file, 6).find("/Width 5\r\n/Height 3\r\n"), std::string::npos);
}

TEST(PdfWriter, GroupsObjectOnlyWhenThereAreGroups) {
    CDrawing drawing;
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushHollow));
    EXPECT_EQ(AsText(WritePdf(drawing)).find("%PQGroups"), std::string::npos);
    drawing.Add(MakePathObject({Square(20, 0, 10)}, kPenSolid, kBrushHollow, 1, 0, 0, 0, 5));
    drawing.Add(MakePathObject({Square(40, 0, 10)}, kPenSolid, kBrushHollow, 1, 0, 0, 0, 5));
    const std::string file = AsText(WritePdf(drawing));
    const std::size_t comment = file.find("%PQGroups\r\n6 0 obj\r\n");
    ASSERT_NE(comment, std::string::npos);
    EXPECT_NE(file.find(std::to_string(comment) + " 00000 n\r\ntrailer"), std::string::npos);
    EXPECT_EQ(StreamContent(file, 6),
              std::string("%PQ Begin Groups 3\r\n%PQ 2\r\n%PQ 1\r\n%PQ 2\r\n%PQ End Groups") + '\0');
}

// Streams are standard zlib data that zlib itself inflates, no larger than zlib's default level makes
// them; empty data too, and an empty page gets a real compressed stream.
TEST(PdfWriter, StreamsInflateWithZlibAreNoLargerThanItsOwnAndEmptyPagesHaveOne) {
    CDrawing drawing;
    const std::string file = AsText(WritePdf(drawing));
    EXPECT_EQ(ObjectText(file, kContent).find("/Length 0\r\n"), std::string::npos);
    EXPECT_EQ(StreamContent(file, kContent), std::string(1, '\0'));

    std::string content;
    for (int i = 0; i < 4000; ++i)
        content +=
            std::to_string(i * 7 % 1480) + " " + std::to_string(i * 13 % 2100) + (i % 3 ? " l\n" : " m\n");
    for (const std::string& data : {content, std::string()}) {
        const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
        std::vector<uint8_t> packed;
        ASSERT_TRUE(DeflateBytes(bytes, packed));
        std::vector<uint8_t> back(data.size() + 1);
        uLongf length = back.size();
        ASSERT_EQ(uncompress(back.data(), &length, packed.data(), packed.size()), Z_OK);
        EXPECT_EQ(std::string(back.begin(), back.begin() + static_cast<std::ptrdiff_t>(length)), data);
        std::vector<uint8_t> theirs(compressBound(data.size()));
        uLongf theirLength = theirs.size();
        ASSERT_EQ(compress2(theirs.data(), &theirLength, bytes.data(), bytes.size(), Z_DEFAULT_COMPRESSION),
                  Z_OK);
        if (!data.empty()) { // an empty stream costs a few bytes more, which matters to no file
            EXPECT_LE(packed.size(), theirLength);
        }
    }
}

TEST(PdfWriter, SameDrawingSameBytes) {
    auto build = [](CDrawing& drawing) {
        drawing.SetPageCount(3);
        drawing.SetPageSize(1234.5f, 987.25f);
        for (int i = 0; i < 30; ++i) {
            CNodeArray curve;
            const float f = static_cast<float>(i) * 13.7f;
            curve.Add({{f, f}, {f + 0.1f, f * 0.5f}, {f * 1.3f, -f}});
            curve.Add({{-f, f * 2.1f}, {f * 0.77f, f * 0.33f}, {f, f}});
            drawing.Add(MakePathObject({curve, Square(f, -f, f + 1)}, kPenSolid, kBrushSolid, i, i * 1000,
                                       i * 77, i % 3));
            drawing.Add(MakeImageObject({f, f + 40, -f, 50 - f}, 4 + i % 3, 2 + i % 5, i % 3));
        }
    };
    CDrawing first;
    CDrawing second;
    build(first);
    build(second);
    EXPECT_EQ(WritePdf(first), WritePdf(second));
    EXPECT_EQ(WritePdf(first), WritePdf(first));
}

TEST(PdfWriter, WriteReplacesTheFileAndReportsFailure) {
    CTempFolder folder;
    CDrawing drawing;
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushHollow));
    CPdfFile pdf;
    const std::string path = folder.File("out.pdf");
    ASSERT_TRUE(pdf.Write(path, drawing)) << drawing.GetErrorMessage();
    CDrawing back;
    EXPECT_TRUE(pdf.Read(path, back)) << back.GetErrorMessage();
    EXPECT_EQ(back.Count(), 1);
    EXPECT_FALSE(pdf.Write(folder.File("missing/out.pdf"), drawing));
    EXPECT_NE(drawing.GetErrorMessage().find("missing/out.pdf"), std::string::npos)
        << drawing.GetErrorMessage();
}

} // namespace
} // namespace pq
