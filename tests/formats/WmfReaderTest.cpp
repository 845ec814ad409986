#include "MetafileTestHelpers.h"
#include "TestHelpers.h"

#include "formats/metafile/WmfRecords.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace pq {
namespace {

using test::AllNodes;
using test::CWmfBuilder;
using test::ReadMetafile;

int Lo(uint32_t v) {
    return static_cast<int>(v & 0xFFFF);
}
int Hi(uint32_t v) {
    return static_cast<int>(v >> 16);
}

TEST(WmfReader, PlaceableFilesAreFittedToTheirBoxAndYUpModesAreFlipped) {
    // A box of 1000 x 500 units at 1000 units per inch: 2540 x 1270 hundredths of a millimetre.
    CWmfBuilder wmf(CRect{0, 0, 1000, 500}, 1000);
    wmf.Record(wmf::kSetMapMode, {8});
    wmf.Record(wmf::kSetWindowExt, {-500, 1000});   // y extent first: negative, y grows upward
    wmf.Record(wmf::kRectangle, {500, 1000, 0, 0}); // bottom, right, top, left
    wmf.Record(wmf::kMoveTo, {100, 0});             // y, x
    wmf.Record(wmf::kLineTo, {400, 0});
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(wmf.Finish(), drawing)) << drawing.GetErrorMessage();
    ASSERT_EQ(drawing.Count(), 2);
    const CRectF bounds = drawing.Bounds();
    EXPECT_NEAR(bounds.Width(), 254.0, 1e-3);
    EXPECT_NEAR(bounds.Height(), 127.0, 1e-3);
    EXPECT_NEAR(bounds.Center().x, 0.0, 1e-3);
    // y grew upward in the file: the line from y 100 to y 400 now runs from bottom to top.
    const std::vector<CPathNode> line = AllNodes(*drawing.GetAt(1));
    ASSERT_EQ(line.size(), 2u);
    EXPECT_GT(line[0].anchor.y, line[1].anchor.y);
}

TEST(WmfReader, ObjectSlotsAreReusedAndPlaceholdersKeepLaterNumbers) {
    CWmfBuilder wmf;
    wmf.Record(wmf::kCreatePalette, {0x300, 0});                               // slot 0
    wmf.Record(wmf::kCreatePenIndirect, {0, 4, 0, Lo(0xFF), Hi(0xFF)});        // slot 1: red, width 4
    wmf.Record(wmf::kCreateBrushIndirect, {0, Lo(0x00FF00), Hi(0x00FF00), 0}); // slot 2
    wmf.Record(wmf::kDeleteObject, {0});
    wmf.Record(wmf::kCreatePenIndirect, {0, 2, 0, Lo(0xFF0000), Hi(0xFF0000)}); // slot 0 again: blue
    wmf.Record(wmf::kSelectObject, {1});
    wmf.Record(wmf::kSelectObject, {2});
    wmf.Record(wmf::kPolygon, {3, 0, 0, 10, 0, 10, 10});
    wmf.Record(wmf::kSelectObject, {0});
    wmf.Record(wmf::kPolyline, {2, 0, 20, 10, 20});
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(wmf.Finish(), drawing));
    ASSERT_EQ(drawing.Count(), 2);
    const CPathShape* polygon = drawing.GetAt(0)->AsPath();
    EXPECT_EQ(polygon->penColor, 0xFFu);
    EXPECT_EQ(polygon->penWidth, 4);
    EXPECT_EQ(polygon->brushStyle, kBrushSolid);
    EXPECT_EQ(drawing.GetAt(0)->color, 0x00FF00u);
    EXPECT_EQ(polygon->subpaths[0]->GetSize(), 4u);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->penColor, 0xFF0000u);
    EXPECT_EQ(drawing.GetAt(1)->AsPath()->brushStyle, kBrushHollow);
}

TEST(WmfReader, ArcsPiesChordsTextAndPatternBlocks) {
    CWmfBuilder wmf;
    for (uint16_t function : {wmf::kArc, wmf::kPie, wmf::kChord})
        wmf.Record(function, {-100, 0, 0, 100, 100, 100, -100, -100});  // end, start, then the box
    wmf.Record(wmf::kPatBlt, {0x0021, 0x00F0, 30, 40, 5, 6});           // height 30, width 40 at (6, 5)
    std::vector<uint8_t> text = {3, 0, 'a', 'b', 'c', 0, 50, 0, 70, 0}; // count, "abc", pad, y, x
    wmf.RawRecord(wmf::kTextOut, text);
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(wmf.Finish(), drawing));
    ASSERT_EQ(drawing.Count(), 5);
    const std::vector<CPathNode> arc = AllNodes(*drawing.GetAt(0));
    EXPECT_TRUE(test::ExpectNear(arc.front().anchor, {100, 0}, 1e-3));
    EXPECT_TRUE(test::ExpectNear(arc.back().anchor, {0, -100}, 1e-3));
    EXPECT_EQ(AllNodes(*drawing.GetAt(1)).front().anchor, (CPointF{0, 0}));
    EXPECT_EQ(drawing.GetAt(2)->AsPath()->brushStyle, drawing.GetAt(1)->AsPath()->brushStyle);
    const CPathShape* block = drawing.GetAt(3)->AsPath();
    EXPECT_EQ(block->penStyle, kPenNull);
    EXPECT_EQ(drawing.GetAt(3)->bounds, (CRectF{6, 46, 5, 35}));
    const CTextShape* abc = drawing.GetAt(4)->AsText();
    ASSERT_NE(abc, nullptr);
    EXPECT_EQ(abc->text, u"abc");
    EXPECT_EQ(abc->position, (CPointF{70, 50}));
}

// Text records give one byte a character, in the code page of the selected font's character set.
TEST(WmfReader, EightBitTextIsReadInItsFontsCharacterSet) {
    const auto font = [](uint8_t charSet, std::string_view face) {
        std::vector<uint8_t> f = {0xF0, 0xFF, 0, 0, 0, 0, 0, 0, 0x90, 0x01, 0, 0, 0, charSet, 0, 0, 0, 0};
        f.insert(f.end(), face.begin(), face.end());
        f.push_back(0);
        return f;
    };
    const auto text = [](std::string_view bytes) {
        std::vector<uint8_t> t = {static_cast<uint8_t>(bytes.size()), 0};
        t.insert(t.end(), bytes.begin(), bytes.end());
        if (bytes.size() % 2 != 0)
            t.push_back(0);
        t.insert(t.end(), {0, 0, 0, 0}); // y, x
        return t;
    };
    CWmfBuilder wmf;
    const auto show = [&](uint16_t slot, uint8_t charSet, std::string_view face, std::string_view bytes) {
        wmf.RawRecord(wmf::kCreateFontIndirect, font(charSet, face)).Record(wmf::kSelectObject, {slot});
        wmf.RawRecord(wmf::kTextOut, text(bytes));
    };
    show(0, 204, "Arial", "\xCF\xF0\xE8\xE2\xE5\xF2");    // Windows-1251
    show(1, 0, "Arial", "\x93\x63\x61\x66\xE9\x94 \x80"); // Windows-1252 quotes, "cafe", euro
    // The Symbol face draws Greek letters and signs, whatever set it names; a bracket piece stays.
    show(2, 2, "Symbol", "a\xB4m\xF4");
    show(3, 0, "SYMBOL", "p");
    // Other symbol fonts draw pictures that have no characters: their codes stay as they are.
    show(4, 2, "Wingdings", "a\xB4");
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(wmf.Finish(), drawing));
    ASSERT_EQ(drawing.Count(), 5);
    EXPECT_EQ(drawing.GetAt(0)->AsText()->text, u"\u041F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(drawing.GetAt(1)->AsText()->text, u"\u201Ccaf\u00E9\u201D \u20AC");
    EXPECT_EQ(drawing.GetAt(2)->AsText()->text, u"\u03B1\u00D7\u03BC\u00F4");
    EXPECT_EQ(drawing.GetAt(3)->AsText()->text, u"\u03C0");
    EXPECT_EQ(drawing.GetAt(4)->AsText()->text, u"a\u00B4");
}

TEST(WmfReader, DamagedFilesReadWhatTheyCanOrAreRefused) {
    CDrawing drawing;
    // Neither kind of metafile.
    const std::vector<uint8_t> junk(40, 0x41);
    EXPECT_FALSE(ReadMetafile(junk, drawing));
    EXPECT_NE(drawing.GetErrorMessage().find("metafile"), std::string::npos);

    // A record claiming more words than remain ends the reading after the rectangle before it.
    CWmfBuilder wmf;
    wmf.Record(wmf::kRectangle, {10, 10, 0, 0});
    wmf.out.U32(0x40000000);
    wmf.out.U16(wmf::kPolygon);
    wmf.out.U16(2);
    ASSERT_TRUE(ReadMetafile(wmf.out.Bytes(), drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_FALSE(drawing.GetErrorMessage().empty());

    // A polygon claiming more points than its record holds, a record of size zero.
    CWmfBuilder counts;
    counts.Record(wmf::kPolygon, {30000, 1, 2});
    EXPECT_TRUE(ReadMetafile(counts.Finish(), drawing));
    EXPECT_EQ(drawing.Count(), 0);
    CWmfBuilder zero;
    zero.out.U32(0);
    zero.out.U16(wmf::kLineTo);
    EXPECT_TRUE(ReadMetafile(zero.Finish(), drawing));
    EXPECT_EQ(drawing.Count(), 0);

    // A box of 25000 inches (one unit an inch) would make the ellipse kilometres wide: it keeps the
    // file's units instead.
    CWmfBuilder huge(CRect{0, 0, 1369, 25433}, 1);
    huge.Record(wmf::kEllipse, {2816, 0, 1280, 346});
    ASSERT_TRUE(ReadMetafile(huge.Finish(), drawing));
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_NEAR(drawing.Bounds().Height(), 2816 - 1280, 1.0);
    EXPECT_FALSE(drawing.GetErrorMessage().empty());

    // Selecting and deleting slots that do not exist changes nothing.
    CWmfBuilder slots;
    slots.Record(wmf::kSelectObject, {65535}).Record(wmf::kDeleteObject, {7});
    slots.Record(wmf::kRectangle, {10, 10, 0, 0});
    ASSERT_TRUE(ReadMetafile(slots.Finish(), drawing));
    ASSERT_EQ(drawing.Count(), 1);
    EXPECT_EQ(drawing.GetAt(0)->AsPath()->brushStyle, kBrushHollow);
}

TEST(WmfReader, AFileCutBetweenTwoRecordsWarnsWhenItsHeaderPromisedMore) {
    CWmfBuilder wmf(CRect{0, 0, 100, 100});
    wmf.Record(wmf::kRectangle, {10, 10, 0, 0}).Record(wmf::kRectangle, {30, 30, 20, 20});
    std::vector<uint8_t> file = wmf.Finish();
    // The standard header's size in words (after the 22-byte placeable header) counts from its start.
    constexpr std::size_t kPlaceable = 22;
    const uint32_t words = static_cast<uint32_t>((file.size() - kPlaceable) / 2);
    CMetafileSink whole;
    whole.Bytes() = file;
    whole.PatchU32(kPlaceable + 6, words);
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(whole.Bytes(), drawing));
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();

    // Cut right after the first rectangle (7 words): every record read is whole, but some are missing.
    const std::size_t firstEnd = kPlaceable + 18 + 14;
    std::vector<uint8_t> cut(whole.Bytes().begin(), whole.Bytes().begin() + firstEnd);
    ASSERT_TRUE(ReadMetafile(cut, drawing));
    EXPECT_EQ(drawing.Count(), 1);
    EXPECT_NE(drawing.GetWarning().find("ends before its last record"), std::string::npos);

    // The end record makes any later bytes no concern of the reader.
    whole.PatchU32(kPlaceable + 6, words + 100);
    ASSERT_TRUE(ReadMetafile(whole.Bytes(), drawing));
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_TRUE(drawing.GetWarning().empty()) << drawing.GetWarning();
}

TEST(WmfReader, ADrawingWrittenByAnotherProgramOpens) {
    const std::vector<uint8_t> bytes = test::ReadFileBytes(PQ_TEST_DATA_DIR "/wmf/pillow_drawing.wmf");
    ASSERT_FALSE(bytes.empty()) << "missing test file";
    CDrawing drawing;
    ASSERT_TRUE(ReadMetafile(bytes, drawing)) << drawing.GetErrorMessage();
    EXPECT_TRUE(drawing.GetErrorMessage().empty()) << drawing.GetErrorMessage();
    EXPECT_GE(drawing.Count(), 1);
    // A placeable file is fitted to its box: the content is centred on the origin.
    const CRectF bounds = drawing.Bounds();
    EXPECT_NEAR(bounds.Center().x, 0.0, 1.0);
    EXPECT_NEAR(bounds.Center().y, 0.0, 1.0);
}

} // namespace
} // namespace pq
