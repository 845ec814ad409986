#include "formats/dxf/DxfTables.h"
#include "formats/dxf/DxfText.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

constexpr uint32_t Rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16;
}

TEST(DxfColours, PaletteHoldsTheStandardRows) {
    const auto& palette = AciPalette();
    // At 50, 90, 130, 170 and 210: yellow, green, cyan, blue and magenta.
    const std::pair<int, uint32_t> rows[] = {
        {0, Rgb(0, 0, 0)},       {1, Rgb(255, 0, 0)},     {5, Rgb(0, 0, 255)},    {7, Rgb(255, 255, 255)},
        {8, Rgb(65, 65, 65)},    {9, Rgb(128, 128, 128)}, {50, Rgb(255, 255, 0)}, {90, Rgb(0, 255, 0)},
        {130, Rgb(0, 255, 255)}, {170, Rgb(0, 0, 255)},   {210, Rgb(255, 0, 255)}};
    for (const auto& [index, rgb] : rows)
        EXPECT_EQ(palette[static_cast<std::size_t>(index)], rgb) << "index " << index;
    const uint32_t reds[10] = {Rgb(255, 0, 0), Rgb(255, 170, 170), Rgb(189, 0, 0), Rgb(189, 126, 126),
                               Rgb(129, 0, 0), Rgb(129, 86, 86),   Rgb(104, 0, 0), Rgb(104, 69, 69),
                               Rgb(79, 0, 0),  Rgb(79, 53, 53)};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(palette[static_cast<std::size_t>(10 + i)], reds[i]) << "index " << 10 + i;
    const int greys[6] = {51, 80, 105, 130, 190, 255};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(palette[static_cast<std::size_t>(250 + i)], Rgb(greys[i], greys[i], greys[i]));
}

TEST(DxfColours, NearestEntryIsTheFirstEqualElseTheClosest) {
    EXPECT_EQ(NearestAciColour(Rgb(255, 255, 255)), 7); // 255 is white too, 7 comes first
    EXPECT_EQ(NearestAciColour(Rgb(0, 0, 0)), 0);
    EXPECT_EQ(NearestAciColour(Rgb(128, 128, 128)), 9);
    EXPECT_EQ(NearestAciColour(Rgb(250, 2, 3)), 1);
    EXPECT_EQ(NearestAciColour(Rgb(0, 0, 250)), 5);
    EXPECT_EQ(NearestAciColour(0xFF000000u | Rgb(0, 255, 0)), 3); // the high byte is not colour
}

TEST(DxfColours, WrittenIndicesNeverMeanByBlockAndKeepWhite) {
    EXPECT_EQ(DxfColourIndexForWriting(Rgb(0, 0, 0)), 7);
    EXPECT_EQ(DxfColourIndexForWriting(Rgb(10, 12, 8)), 7);
    EXPECT_EQ(DxfColourIndexForWriting(Rgb(255, 255, 255)), 255);
    EXPECT_EQ(DxfColourIndexForWriting(Rgb(255, 0, 0)), 1);
    for (uint32_t c : {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(255, 0, 0), Rgb(128, 128, 128), Rgb(0, 0, 255)})
        EXPECT_EQ(AciColourOnPaper(DxfColourIndexForWriting(c)), c) << std::hex << c;
}

TEST(DxfColours, IndicesOnWhitePaper) {
    // 7 is the foreground colour, 0 by block with no block, 256 by layer with no layer.
    for (int index : {7, 0, 256, -3})
        EXPECT_EQ(AciColourOnPaper(index), 0u) << index;
    EXPECT_EQ(AciColourOnPaper(255), Rgb(255, 255, 255));
    EXPECT_EQ(AciColourOnPaper(3), Rgb(0, 255, 0));
}

TEST(DxfUnits, InsUnitsGiveDocumentUnitsPerDrawingUnit) {
    const std::pair<int, double> scales[] = {{0, 10.0},    {1, 254.0}, {4, 10.0},
                                             {6, 10000.0}, {13, 0.01}, {20, 3.085678e20}};
    for (const auto& [code, scale] : scales)
        EXPECT_DOUBLE_EQ(UnitScaleForInsUnits(code), scale) << code;
    EXPECT_EQ(UnitScaleForInsUnits(21), 0.0);
    EXPECT_EQ(UnitScaleForInsUnits(-1), 0.0);
}

TEST(DxfLineweights, RoundToTheStandardSet) {
    // 130 lies halfway between 120 and 140: a tie goes to the thinner.
    const std::pair<double, int> weights[] = {{0.0, 0},     {-5.0, 0},    {30.0, 30},   {10.0, 9},
                                              {110.0, 106}, {130.0, 120}, {210.0, 211}, {5000.0, 211}};
    for (const auto& [value, weight] : weights)
        EXPECT_EQ(StandardLineweight(value), weight) << value;
}

TEST(DxfMText, EncodesFontLinesEscapesAndWideCharacters) {
    const std::vector<std::string> pieces =
        EncodeMTextValue(u"a{b}\\c\r\nd\u20AC", u"Arial", true, false, true);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], "\\fArial|b1|i0;\\La\\{b\\}\\\\c\\Pd\\U+20AC");
    // A lone line feed would end the value's line in the file: it becomes a break too.
    EXPECT_EQ(EncodeMTextValue(u"x\ny", u"F", false, true, false)[0], "\\fF|b0|i1;x\\Py");
}

TEST(DxfMText, LongValuesArePiecesOfAtMost250BytesNeverSplittingACode) {
    std::u16string text;
    for (int i = 0; i < 300; ++i)
        text += i % 7 == 0 ? u"\u00E9" : u"x";
    const std::vector<std::string> pieces = EncodeMTextValue(text, u"Arial", false, false, false);
    ASSERT_GT(pieces.size(), 1u);
    std::string joined;
    for (const std::string& piece : pieces) {
        EXPECT_LE(piece.size(), 250u);
        joined += piece;
    }
    const CDxfPlainText back = DecodeMTextValue(DxfBytesToText(joined, false));
    EXPECT_EQ(back.text, text);
    EXPECT_EQ(back.face, u"Arial");
}

TEST(DxfMText, DecodesGroupsFontsAndFormattingCodes) {
    const CDxfPlainText hello = DecodeMTextValue(u"{\\fArial|b1|i0;Hello}");
    EXPECT_EQ(hello.text, u"Hello");
    EXPECT_EQ(hello.face, u"Arial");
    EXPECT_TRUE(hello.bold);
    EXPECT_FALSE(hello.italic);

    const CDxfPlainText mixed =
        DecodeMTextValue(u"\\A1;\\H2.5x;\\C1;one; two\\Pthree \\S1/2; \\Lu\\l \\{x\\} a\\\\b\\~c\\U+00e9");
    EXPECT_EQ(mixed.text, u"one; two\r\nthree 1/2 u {x} a\\b c\u00E9");
    EXPECT_TRUE(mixed.underline);
    EXPECT_TRUE(mixed.face.empty());
    // Only the first font names the text's face.
    const CDxfPlainText twoFonts = DecodeMTextValue(u"\\fTimes|i1;a\\fArial|b1;b");
    EXPECT_EQ(twoFonts.text, u"ab");
    EXPECT_EQ(twoFonts.face, u"Times");
    EXPECT_TRUE(twoFonts.italic);
    EXPECT_FALSE(twoFonts.bold);
    // A code cut off at the end of the value loses nothing before it.
    EXPECT_EQ(DecodeMTextValue(u"ab\\").text, u"ab\\");
    EXPECT_EQ(DecodeMTextValue(u"ab\\fArial").text, u"ab");
}

TEST(DxfText, DecodesControlCodes) {
    const CDxfPlainText text = DecodeTextValue(u"90%%d %%p1 %%c5 100%%% %%uA%%u %%065");
    EXPECT_EQ(text.text, u"90\u00B0 \u00B11 \u00D85 100% A A");
    EXPECT_TRUE(text.underline);
    EXPECT_EQ(DecodeTextValue(u"\\U+0416").text, u"\u0416");
    EXPECT_EQ(DecodeTextValue(u"50%").text, u"50%");
}

TEST(DxfText, BytesAreUtf8FromAutoCad2007OnElseOneCharacterEach) {
    EXPECT_EQ(DxfBytesToText("\xC3\xA9", true), u"\u00E9");
    EXPECT_EQ(DxfBytesToText("\xC3\xA9", false), u"\u00C3\u00A9");
}

} // namespace
} // namespace pq
