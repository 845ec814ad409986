#include "DxfTestHelpers.h"

#include "formats/dxf/DxfReader.h"
#include "model/GraphicObject.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace pq {
namespace {

using test::Dxf;
using test::DxfText;
using test::EntitiesFile;
using test::ReadDxf;

const std::string kLine = Dxf("0 LINE 10 0 20 0 11 10 21 5");

TEST(DxfMalformed, NothingToReadGivesAClearMessage) {
    CDrawing drawing;
    EXPECT_FALSE(ReadDxf("", drawing));
    EXPECT_EQ(drawing.GetErrorMessage(), "DXF: the file is empty");
    EXPECT_FALSE(ReadDxf("hello\nworld\nthis is not a drawing\n", drawing));
    EXPECT_EQ(drawing.GetErrorMessage(), "DXF: the file is not a DXF file");
    EXPECT_FALSE(ReadDxf(Dxf("0 SECTION 2 HEADER 0 ENDSEC 0 EOF"), drawing));
    EXPECT_EQ(drawing.GetErrorMessage(), "DXF: the file has no ENTITIES section");
    EXPECT_FALSE(ReadDxf(EntitiesFile(Dxf("0 3DSOLID 1 opaque")), drawing));
    EXPECT_EQ(drawing.GetErrorMessage(), "DXF: the file has no entities that can be shown");
    EXPECT_FALSE(CDxfFile().ImportFromDxf("/nonexistent/folder/x.dxf", drawing));
    EXPECT_NE(drawing.GetErrorMessage().find("/nonexistent/folder/x.dxf"), std::string::npos);
}

TEST(DxfMalformed, WhatCanBeReadIsRead) {
    CDrawing drawing;
    // Garbage after EOF, a section without its end, CR LF, lone CR and NUL line ends, blank lines before
    // codes, codes that are no numbers and codes out of any range.
    std::string file = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n\r\n\r\n  0\rLINE";
    file += '\0';
    file += " 10\n0\n20\n0\nxx\nyy\n99999\n1\n-7\n2\n11\n10\n21\n5\n" + kLine +
            "0\nEOF\n\x01\x02garbage\n0\nLINE\n";
    ASSERT_TRUE(ReadDxf(file, drawing)) << drawing.GetErrorMessage();
    EXPECT_EQ(drawing.Count(), 2);
    // The BLOCKS section missing, references to it are skipped.
    ASSERT_TRUE(ReadDxf(EntitiesFile(Dxf("0 INSERT 2 NOPE") + kLine), drawing));
    EXPECT_EQ(drawing.Count(), 1);
    // Lines longer than 256 characters: a long number is still a number, a long text is kept whole.
    const std::string longText(5000, 'a');
    ASSERT_TRUE(
        ReadDxf(EntitiesFile(DxfText(
                    {{0, "TEXT"}, {10, "0" + std::string(300, '0')}, {20, "0"}, {40, "1"}, {1, longText}})),
                drawing));
    EXPECT_EQ(drawing.GetAt(0)->AsText()->text.size(), 5000u);
    // Numbers that are not finite are absent.
    EXPECT_FALSE(ReadDxf(EntitiesFile(Dxf("0 CIRCLE 10 nan 20 0 40 inf")), drawing));
}

TEST(DxfMalformed, DuplicateHandlesAndDuplicateSectionsReadTheFirst) {
    const std::string objects =
        Dxf("0 SECTION 2 OBJECTS 0 IMAGEDEF 5 A 1 first.png 0 IMAGEDEF 5 A 1 second.png 0 ENDSEC");
    const std::string second = Dxf("0 SECTION 2 ENTITIES") + kLine + kLine + Dxf("0 ENDSEC");
    CDrawing drawing;
    ASSERT_TRUE(ReadDxf(
        objects + Dxf("0 SECTION 2 ENTITIES") + kLine + Dxf("0 ENDSEC") + second + Dxf("0 EOF"), drawing));
    EXPECT_EQ(drawing.Count(), 1);
}

TEST(DxfMalformed, HugeCountsCostOnlyWhatTheFileHolds) {
    CDrawing drawing;
    const auto start = std::chrono::steady_clock::now();
    // A hatch promising two billion paths and edges, a spline promising millions of knots whose control
    // points zigzag over hundreds of kilometres (its display would take more points than are allowed: it
    // is left out), an MTEXT that is a mile wide.
    std::string hatch = Dxf("0 HATCH 91 2000000000 92 1 93 2000000000");
    for (int i = 0; i < 2000; ++i)
        hatch += Dxf("72 1 10 0 20 0 11 1 21 1");
    hatch += Dxf("0 HATCH 91 5 92 2 93 2000000000 72 1 10 1");
    std::string spline = Dxf("0 SPLINE 71 3 72 99999999 73 99999999");
    for (int i = 0; i < 3000; ++i)
        spline += DxfText(
            {{10, std::to_string(i * 1e6)}, {20, std::to_string((i % 7) * 1e7)}, {40, "1"}, {41, "3"}});
    const std::string mtext = DxfText(
        {{0, "MTEXT"}, {10, "0"}, {20, "0"}, {40, "1e300"}, {41, "1e300"}, {1, std::string(2000, 'w')}});
    ASSERT_TRUE(ReadDxf(EntitiesFile(hatch + spline + mtext), drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 2);
    EXPECT_NE(drawing.GetAt(0)->AsPath(), nullptr);
    EXPECT_NE(drawing.GetAt(1)->AsText(), nullptr);
    EXPECT_FALSE(ReadDxf(EntitiesFile(spline), drawing));
    EXPECT_EQ(drawing.GetErrorMessage(), "DXF: the drawing is too large to be read");
    // One span of a spline longer than any count of samples (the sanitizer build checks the conversion).
    const std::string farSpline = Dxf("0 SPLINE 71 1 40 0 40 0 40 1 40 1 10 0 20 0 10 1e22 20 1e22");
    ASSERT_TRUE(ReadDxf(EntitiesFile(farSpline), drawing)) << drawing.GetErrorMessage();
    EXPECT_NE(drawing.GetAt(0)->AsPath(), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(DxfMalformed, BlockReferencesThatMultiplyAreCut) {
    // Ten references per level, nine levels: a billion lines if expanded fully.
    std::string blocks = Dxf("0 SECTION 2 BLOCKS 0 BLOCK 2 L0") + kLine + Dxf("0 ENDBLK");
    for (int level = 1; level < 10; ++level) {
        blocks += DxfText({{0, "BLOCK"}, {2, "L" + std::to_string(level)}});
        for (int i = 0; i < 10; ++i)
            blocks += DxfText(
                {{0, "INSERT"}, {2, "L" + std::to_string(level - 1)}, {10, std::to_string(i)}, {20, "0"}});
        blocks += Dxf("0 ENDBLK");
    }
    blocks += Dxf("0 ENDSEC");
    CDrawing drawing;
    ASSERT_TRUE(ReadDxf(blocks + EntitiesFile(Dxf("0 INSERT 2 L9 10 0 20 0")), drawing));
    EXPECT_GT(drawing.Count(), 1000);
    EXPECT_LE(static_cast<std::size_t>(drawing.Count()), CDxfReader::kMaxObjects);
}

TEST(DxfMalformed, BlocksNestedTooDeeplyOrInThemselvesAreToldNotHidden) {
    // A block that holds a line and a reference to itself: the line is drawn once and the loop is told.
    const std::string self =
        Dxf("0 SECTION 2 BLOCKS 0 BLOCK 2 SELF 0 INSERT 2 SELF 10 1 20 1") + kLine + Dxf("0 ENDBLK 0 ENDSEC");
    CDrawing drawing;
    ASSERT_TRUE(ReadDxf(self + EntitiesFile(Dxf("0 INSERT 2 SELF 10 0 20 0")), drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_NE(drawing.GetWarning().find("nested"), std::string::npos) << drawing.GetWarning();

    // A chain of references deeper than the reader follows, with the only line at its bottom: the file
    // does hold something to show, and the message says why it is not shown.
    const int depth = CDxfReader::kMaxBlockDepth + 4;
    std::string chain = Dxf("0 SECTION 2 BLOCKS");
    for (int level = 0; level < depth; ++level) {
        chain += DxfText({{0, "BLOCK"}, {2, "B" + std::to_string(level)}});
        chain += level + 1 < depth ? DxfText({{0, "INSERT"}, {2, "B" + std::to_string(level + 1)}}) : kLine;
        chain += Dxf("0 ENDBLK");
    }
    chain += Dxf("0 ENDSEC");
    EXPECT_FALSE(ReadDxf(chain + EntitiesFile(Dxf("0 INSERT 2 B0 10 0 20 0")), drawing));
    EXPECT_NE(drawing.GetErrorMessage().find("nested too deeply"), std::string::npos)
        << drawing.GetErrorMessage();
    // Next to a line of its own the same chain is read with a warning.
    ASSERT_TRUE(ReadDxf(chain + EntitiesFile(Dxf("0 INSERT 2 B0 10 0 20 0") + kLine), drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_NE(drawing.GetWarning().find("nested"), std::string::npos) << drawing.GetWarning();
}

TEST(DxfMalformed, TruncatedBinaryFilesReadWhatTheyHold) {
    std::string binary("AutoCAD Binary DXF\r\n\x1a\0", 22);
    auto pair = [&](int code, const std::string& value) {
        binary += static_cast<char>(code);
        binary += value;
        binary += '\0';
    };
    auto real = [&](int code, double value) {
        binary += static_cast<char>(code);
        binary.append(reinterpret_cast<const char*>(&value), 8);
    };
    pair(0, "SECTION");
    pair(2, "ENTITIES");
    pair(0, "LINE");
    real(10, 0.0);
    real(20, 0.0);
    real(11, 3.0);
    real(21, 4.0);
    pair(0, "LINE");
    real(10, 1.0);
    CDrawing drawing;
    ASSERT_TRUE(ReadDxf(binary, drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_NEAR(drawing.GetAt(0)->bounds.Width(), 30.0, 1e-3);
    for (std::size_t cut = 22; cut < binary.size(); cut += 5)
        (void)ReadDxf(binary.substr(0, cut), drawing); // never more than the bytes there are
}

TEST(DxfMalformed, AFileCutInsideItsEntitiesSaysWhatIsMissing) {
    const std::string whole = EntitiesFile(kLine + kLine + kLine);
    CDrawing drawing;
    ASSERT_TRUE(ReadDxf(whole, drawing)) << drawing.GetErrorMessage();
    EXPECT_EQ(drawing.Count(), 3);
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();

    // Cut after the second line: what is there is read, and the missing rest is told.
    const std::string cut = Dxf("0 SECTION 2 ENTITIES") + kLine + kLine;
    ASSERT_EQ(whole.compare(0, cut.size(), cut), 0);
    ASSERT_TRUE(ReadDxf(cut, drawing)) << drawing.GetErrorMessage();
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_NE(drawing.GetWarning().find("ends inside its ENTITIES section"), std::string::npos)
        << drawing.GetWarning();

    // A section closed by EOF or by the next section instead of ENDSEC is whole.
    ASSERT_TRUE(ReadDxf(Dxf("0 SECTION 2 ENTITIES") + kLine + Dxf("0 EOF"), drawing));
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();
    ASSERT_TRUE(
        ReadDxf(Dxf("0 SECTION 2 ENTITIES") + kLine + Dxf("0 SECTION 2 OBJECTS 0 ENDSEC 0 EOF"), drawing));
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();
}

// Files other programs wrote: each opens with what it is known to hold.
TEST(DxfCorpus, FilesOfOtherProgramsOpen) {
    struct Sample {
        const char* name;
        int objects;
    };
    // Counts from the files' descriptions: entities that draw, POLYLINE with its vertices as one.
    const Sample samples[] = {{"ezdxf_AC1003_LINE_Example.dxf", 22},
                              {"ezdxf_Minimal_DXF_AC1006.dxf", 3},
                              {"ezdxf_POLI-ALL210_12.DXF", 31},
                              {"ezdxf_bin_dxf_r12.dxf", 3},
                              {"ezdxf_forms.dxf", 40},
                              {"ezdxf_no_layouts.dxf", 2},
                              {"ezdxf_small_r13.dxf", 16},
                              {"ezdxf_text_alignments.dxf", 58}};
    for (const Sample& sample : samples) {
        CDrawing drawing;
        ASSERT_EQ(CDxfFile().ImportFromDxf(std::string(PQ_TEST_DATA_DIR) + "/dxf/" + sample.name, drawing), 1)
            << sample.name << ": " << drawing.GetErrorMessage();
        EXPECT_EQ(drawing.Count(), sample.objects) << sample.name;
        const CRectF bounds = drawing.Bounds();
        const double size = std::max(bounds.right - bounds.left, bounds.bottom - bounds.top);
        EXPECT_NEAR((bounds.left + bounds.right) / 2, 0.0, 1e-5 * size) << sample.name;
        EXPECT_NEAR((bounds.top + bounds.bottom) / 2, 0.0, 1e-5 * size) << sample.name;
    }
    // A file with duplicate handles, whose blocks hold texts and solids besides the model space's 15 texts.
    CDrawing drawing;
    ASSERT_EQ(
        CDxfFile().ImportFromDxf(std::string(PQ_TEST_DATA_DIR) + "/dxf/ezdxf_duplicate_handles.dxf", drawing),
        1);
    int texts = 0;
    for (const auto& object : drawing.Objects())
        texts += object->AsText() != nullptr ? 1 : 0;
    EXPECT_GE(texts, 15);
    // A block reference and lines of R12.
    ASSERT_EQ(CDxfFile().ImportFromDxf(std::string(PQ_TEST_DATA_DIR) + "/dxf/ezdxf_ASCII_R12.dxf", drawing),
              1);
    EXPECT_EQ(drawing.Count(), 3);
}

} // namespace
} // namespace pq
