#include "native/PdfTestHelpers.h"

#include "formats/ai/AiPrepare.h"
#include "formats/ai/AiReader.h"
#include "formats/ai/IllustratorFile.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

using namespace test;

const std::string kHead = "%!PS-Adobe-3.0\n%AI5_ArtSize: 100 200\n%%EndProlog\n";
const std::string kPath = "0 0 m\n10 0 l\n10 10 l\nS\n";

bool Read(const std::string& file, CDrawing& drawing) {
    const std::vector<uint8_t> bytes(file.begin(), file.end());
    return CIllustratorFile().ImportFromMemory(bytes, drawing);
}

std::string Repeat(const std::string& s, std::size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST(AiMalformed, EmptyFilesAndFilesWithoutObjectsAreRefusedWithAReason) {
    CDrawing drawing;
    drawing.Add(MakePathObject({Square(0, 0, 10)}, kPenSolid, kBrushSolid));
    EXPECT_FALSE(Read("", drawing));
    EXPECT_EQ(drawing.Count(), 0); // the drawing is emptied before reading
    EXPECT_EQ(drawing.GetErrorMessage(), "The Illustrator file is empty.");
    // A newer Illustrator file whose body is written with other operators.
    EXPECT_FALSE(Read(kHead + "%AI9_PrivateDataBegin\nnewpath 0 0 mo 10 10 li cp\n%%EOF\n", drawing));
    EXPECT_EQ(drawing.GetErrorMessage(), "No drawing objects were found in the Illustrator file.");

    CTempFolder folder;
    EXPECT_FALSE(CIllustratorFile().ImportFromAi(folder.File("none.ai"), drawing));
    EXPECT_NE(drawing.GetErrorMessage().find("none.ai"), std::string::npos);
}

// A PDF document named ".ai" holds page content, not Illustrator data: its operators look alike, so it
// would read as a wrong drawing. It is refused with a reason; a PDF-compatible Illustrator file reads.
TEST(AiMalformed, PdfDocumentsWithoutIllustratorDataAreRefused) {
    const std::string content = "q\n0 0 m\n10 0 l\n10 10 l\nf\n0 0 m\n5 5 l\nS\nQ\n";
    std::string pdf = "%PDF-1.3\n1 0 obj\n<< /Length " + std::to_string(content.size()) + " >>\nstream\n" +
                      content + "endstream\nendobj\ntrailer\n<< /Root 1 0 R >>\n%%EOF\n";
    CDrawing drawing;
    EXPECT_FALSE(Read(pdf, drawing));
    EXPECT_EQ(drawing.Count(), 0);
    EXPECT_NE(drawing.GetErrorMessage().find("PDF document without Illustrator data"), std::string::npos)
        << drawing.GetErrorMessage();

    const std::string illustrator = kHead + kPath + "%%EOF\n";
    std::vector<uint8_t> packed;
    ASSERT_TRUE(
        DeflateBytes({reinterpret_cast<const uint8_t*>(illustrator.data()), illustrator.size()}, packed));
    pdf = "%PDF-1.5\n7 0 obj\n<</Length " + std::to_string(packed.size()) + "/Filter/FlateDecode>>\nstream\n";
    pdf.append(packed.begin(), packed.end());
    pdf += "\nendstream\nendobj\ntrailer\n<</Root 1 0 R>>\n%%EOF\n";
    ASSERT_TRUE(Read(pdf, drawing)) << drawing.GetErrorMessage();
    EXPECT_EQ(drawing.Count(), 1);
}

TEST(AiMalformed, TruncatedFilesReadWhatTheyHold) {
    CDrawing source;
    source.Add(MakePathObject({Square(-100, -100, 200), Square(-50, -50, 100)}, kPenSolid, kBrushSolid));
    source.Add(
        MakeTextObject(u"text (one)\r\ntwo", {0, 0}, kTextArtistic, kAlignCentre, kTextStyleUnderline));
    source.Add(MakeImageObject({100, 400, -600, -400}, 7, 5));
    source.Add(MakeTextObject(u"paragraph text", {-300, 300}, kTextParagraph));
    source.Add(MakePathObject({Polyline({{0, 0}, {300, 100}})}, kPenSolid, kBrushHollow, 3, 0, 0, 0, 1));
    source.GetAt(0)->group = 1;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(CIllustratorFile().ExportToMemory(bytes, source, 0));
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t trailer = text.find("%%Trailer");
    ASSERT_NE(trailer, std::string::npos);
    for (std::size_t size = 0; size <= bytes.size(); size += 13) {
        CDrawing drawing;
        const bool ok = CIllustratorFile().ImportFromMemory(std::span(bytes).first(size), drawing);
        EXPECT_LE(drawing.Count(), source.Count()) << size;
        if (!ok) {
            EXPECT_FALSE(drawing.GetErrorMessage().empty()) << size;
        } else if (size < trailer) {
            // Objects may be missing: the reader says the file was cut.
            EXPECT_NE(drawing.GetWarning().find("ends before its trailer"), std::string::npos) << size;
        }
    }
    CDrawing whole;
    ASSERT_TRUE(CIllustratorFile().ImportFromMemory(bytes, whole));
    EXPECT_EQ(whole.Count(), source.Count());
    EXPECT_TRUE(whole.GetWarning().empty()) << whole.GetWarning();
}

TEST(AiMalformed, ObjectsBeyondWhatTheReaderTakesAreToldNotHidden) {
    const std::string file = kHead + Repeat("0 0 m\n1 1 l\nS\n", CAiReader::kMaxObjects + 10) + "%%EOF\n";
    CDrawing drawing;
    ASSERT_TRUE(Read(file, drawing));
    EXPECT_EQ(static_cast<std::size_t>(drawing.Count()), CAiReader::kMaxObjects);
    EXPECT_NE(drawing.GetWarning().find("more objects than can be read"), std::string::npos)
        << drawing.GetWarning();
}

TEST(AiMalformed, BrokenCompressedObjectsAreLeftAsTheyAre) {
    const std::string inner = kHead + kPath + "%%EOF\n";
    std::vector<uint8_t> packed;
    ASSERT_TRUE(DeflateBytes({reinterpret_cast<const uint8_t*>(inner.data()), inner.size()}, packed));
    auto pdf = [](const std::string& data, bool end) {
        return "%PDF-1.5\n4 0 obj\n<</Filter /FlateDecode>>\nstream\n" + data +
               (end ? "\nendstream\nendobj\n" : "");
    };
    const std::string good(packed.begin(), packed.end());
    std::string damaged = good;
    damaged[damaged.size() / 2] ^= 0x55;
    for (const std::string& file :
         {pdf(good.substr(0, good.size() / 2), true), pdf(damaged, true), pdf(good, false),
          pdf("short", true), pdf(std::string(5000, 'x'), true)}) {
        CDrawing drawing;
        EXPECT_FALSE(Read(file, drawing));
        EXPECT_FALSE(drawing.GetErrorMessage().empty());
    }
    CDrawing drawing;
    EXPECT_TRUE(Read(pdf(good, true), drawing));
    EXPECT_EQ(drawing.Count(), 1);
}

TEST(AiMalformed, AbsurdRasterHeadersAndShortDataDropTheImageOnly) {
    const std::string data = "%%BeginData: 10\nXI\n%FFFFFF\n%%EndData\n%AI5_EndRaster\n";
    const std::vector<std::string> headers = {
        "[1 0 0 1 0 0] 0 0 1000000000 1000000000 1 1 8 3 0 0 0 0", // beyond any bitmap
        "[1 0 0 1 0 0] 0 0 10000 10000 1 1 8 3 0 0 0 0",           // allowed size, almost no data
        "[1 0 0 1 0 0] 0 0 -5 3 1 1 8 3 0 0 0 0",                  // negative
        "[1 0 0 1 0 0] 0 0 1 1 1 1 16 3 0 0 0 0",                  // 16 bits
        "[1 0 0 1 0 0] 0 0 1 1 1 1 8 2 0 0 0 0",                   // two channels
        "[1 0 0 1 0 0] 0 0 1 1 1 1 8 3 2147483647 0 0 0",          // endless alpha
        "[1 0 0 1 nan 0] 0 0 1 1 1 1 8 3 0 0 0 0",                 // a field that is no number
        "[1 0 0 1 0 0] 0 0 1 1"};                                  // too few fields
    for (const std::string& header : headers) {
        CDrawing drawing;
        ASSERT_TRUE(Read(kHead + "%AI5_BeginRaster\n" + header + "\n" + data + kPath, drawing)) << header;
        EXPECT_EQ(drawing.Count(), 1) << header;
        EXPECT_NE(drawing.GetAt(0)->AsPath(), nullptr) << header;
    }
}

TEST(AiMalformed, MissingEndDataAndEndRasterLinesKeepTheLinesAfter) {
    CDrawing drawing;
    // No "%%EndData": the data run to the block's end.
    ASSERT_TRUE(Read(kHead +
                         "%AI5_BeginRaster\n[1 0 0 1 0 0] 0 0 1 1 1 1 8 3 0 0 0 0\n%%BeginData\nXI\n%FF0000\n"
                         "%AI5_EndRaster\n" +
                         kPath,
                     drawing));
    EXPECT_EQ(drawing.Count(), 2);
    // Neither: the data end where the data lines do.
    ASSERT_TRUE(Read(
        kHead + "%AI5_BeginRaster\n[1 0 0 1 0 0] 0 0 1 1 1 1 8 3 0 0 0 0\n%%BeginData\nXI\n%FF0000\n" + kPath,
        drawing));
    EXPECT_EQ(drawing.Count(), 2);
}

TEST(AiMalformed, HostileRepetitionCostsTimeInProportionToTheFile) {
    // Each would take hours if a search started again for every line.
    const std::vector<std::string> files = {
        kHead + Repeat("%AI5_BeginRaster\n", 100000) + kPath,
        kHead + Repeat("%AI5_BeginRaster\n[1 0 0 1 0 0] 0 0 1 1 1 1 8 3 0 0 0 0\n%%BeginData\n", 30000) +
            kPath,
        "%PDF\n" + Repeat("1 0 obj\nstream FlateDecode\n", 100000) + kHead + kPath,
        "%PDF\n" + Repeat("1 0 obj\n/FlateDecode\nstream\n0123456789abc\n", 50000) + "endstream\n" + kHead +
            kPath,
        kHead + "%AI5_BeginRaster\n[ 1 0 0 1 0 0 ] 0 0 2 2 2 2 8 3 0 0 1 0\n" +
            Repeat("%%BeginData\nXI\n", 50000) + kPath,
        kHead + Repeat("1 ", 2000000) + "m\n" + kPath,
        kHead + "0 0 m\n" + Repeat("1 1 l\n", 200000) + "S\n",
        kHead + Repeat("0 To\n", 100000) + kPath,
        kHead + "%!!PQ Begin Groups 9\n" + Repeat("%!!PQ 1000000\n", 100000) + kPath,
        kHead + Repeat("(", 1000000) + ") Tx\n" + kPath,
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        CDrawing drawing;
        (void)Read(files[i], drawing);
        EXPECT_LE(drawing.Count(), 200001) << i;
    }
    CDrawing drawing;
    ASSERT_TRUE(Read(files[6], drawing));
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->subpaths[0]->GetSize(), 200001u);
}

TEST(AiMalformed, PreparationCutsPrologSetupAndExpandsOnlyWholeObjects) {
    std::string text =
        "junk\n%%BeginProlog\nprolog\n%%EndProlog\nkeep\n%%BeginSetup\nsetup\n%%EndSetup\nafter\n";
    CutPrologAndSetup(text);
    EXPECT_EQ(text, "%%EndProlog\nkeep\n\nafter\n");
    std::string noObjects = "1 0 obj stream FlateDecode endstream";
    EXPECT_FALSE(ExpandCompressedObjects(noObjects, 1000));
    EXPECT_EQ(noObjects, "1 0 obj stream FlateDecode endstream");
}

} // namespace
} // namespace pq
