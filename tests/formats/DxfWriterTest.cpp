#include "DxfTestHelpers.h"

#include "formats/dxf/DxfTables.h"
#include "model/GraphicObject.h"
#include "platform/PenBrushStyles.h"

#include <gtest/gtest.h>

#include <set>

namespace pq {
namespace {

using test::BuildPath;
using test::BuildText;
using test::ParseDxf;
using test::PolylineNodes;
using test::Value;
using test::Values;
using test::WriteDxf;

std::unique_ptr<CGraphicObject> Stroked(CNodeArray nodes, int32_t width = 3, uint32_t colour = 0xFF0000) {
    return BuildPath(
        {std::move(nodes)},
        {.penStyle = kPenSolid, .brushStyle = kBrushHollow, .penWidth = width, .penColor = colour});
}

std::unique_ptr<CGraphicObject> Picture(const CRectF& placement, int width, int height) {
    auto object = std::make_unique<CGraphicObject>(kKindImage);
    CImageShape* image = object->AsImage();
    EXPECT_TRUE(image->bitmap.Create(width, height, 8));
    const uint32_t table[] = {0x000000, 0xFF0000, 0x00FF00};
    image->bitmap.SetColourTable(table);
    for (std::size_t i = 0; i < image->bitmap.GetBits().size(); ++i)
        image->bitmap.GetBits()[i] = static_cast<uint8_t>(i % 3);
    image->placement = placement;
    object->RecalcBounds();
    return object;
}

TEST(DxfWriter, OpenPathOfThreeNodesIsOneClampedCubicSpline) {
    CDrawing drawing;
    CNodeArray nodes;
    nodes.Add({{0, 0}, {0, 0}, {10, 0}});
    nodes.Add({{20, 10}, {30, 10}, {40, 10}});
    nodes.Add({{50, 20}, {60, 20}, {60, 20}});
    drawing.Add(Stroked(nodes));
    const auto splines = ParseDxf(WriteDxf(drawing)).Entities("SPLINE");
    ASSERT_EQ(splines.size(), 1u);
    const auto& s = splines[0];
    EXPECT_EQ(Value(s, 70), "8");
    EXPECT_EQ(Value(s, 71), "3");
    EXPECT_EQ(Value(s, 72), "11");
    EXPECT_EQ(Value(s, 73), "7");
    EXPECT_EQ(Values(s, 40), (std::vector<std::string>{"0.0", "0.0", "0.0", "0.0", "1.0", "1.0", "1.0", "2.0",
                                                       "2.0", "2.0", "2.0"}));
    // Control points: anchor, out, then in, anchor, out, then in, anchor; millimetres with y up.
    EXPECT_EQ(Values(s, 10), (std::vector<std::string>{"0.000000", "1.000000", "2.000000", "3.000000",
                                                       "4.000000", "5.000000", "6.000000"}));
    EXPECT_EQ(Values(s, 20), (std::vector<std::string>{"0.000000", "0.000000", "-1.000000", "-1.000000",
                                                       "-1.000000", "-2.000000", "-2.000000"}));
    EXPECT_EQ(Value(s, 62), "5"); // blue
    EXPECT_EQ(Value(s, 370), "30");
}

TEST(DxfWriter, ClosedSubpathsAndLineweights) {
    CDrawing drawing;
    drawing.Add(Stroked(test::BoxNodes({0, 100, 0, 50}), 22));
    drawing.Add(Stroked(PolylineNodes({{0, 0}, {10, 0}, {10, 10}, {0, 0.000001f}}), 21));
    drawing.Add(Stroked(PolylineNodes({{0, 0}, {10, 0}}), 11));
    drawing.Add(Stroked(PolylineNodes({{0, 0}, {10, 0}}), 0));
    const auto splines = ParseDxf(WriteDxf(drawing)).Entities("SPLINE");
    ASSERT_EQ(splines.size(), 4u);
    EXPECT_EQ(Value(splines[0], 70), "9");
    EXPECT_EQ(Value(splines[1], 70), "9"); // ends within 1e-5 count as closed
    EXPECT_EQ(Value(splines[2], 70), "8");
    // Lineweights are values of the set DXF allows: 22 and 21 give 211, 11 gives 106 (not 110).
    EXPECT_EQ(Value(splines[0], 370), "211");
    EXPECT_EQ(Value(splines[1], 370), "211");
    EXPECT_EQ(Value(splines[2], 370), "106");
    EXPECT_EQ(Value(splines[3], 370), "0");
}

TEST(DxfWriter, FillsAreHatchesAndUnstyledPathsWriteNothing) {
    CDrawing drawing;
    drawing.Add(
        BuildPath({PolylineNodes({{0, 0}, {10, 0}})}, {.penStyle = kPenNull, .brushStyle = kBrushHollow}));
    drawing.Add(BuildPath(
        {test::BoxNodes({0, 10, 0, 10}), PolylineNodes({{2, 2}, {8, 2}, {8, 8}}), PolylineNodes({{1, 1}})},
        {.penStyle = kPenNull, .brushStyle = kBrushSolid, .fill = 0x000000}));
    const test::CParsedDxf parsed = ParseDxf(WriteDxf(drawing));
    EXPECT_TRUE(parsed.Entities("SPLINE").empty());
    const auto hatches = parsed.Entities("HATCH");
    ASSERT_EQ(hatches.size(), 1u);
    const auto& h = hatches[0];
    EXPECT_EQ(Value(h, 2), "SOLID");
    EXPECT_EQ(Value(h, 62), "7"); // black is never 0, which means "by block"
    EXPECT_EQ(Value(h, 91), "2"); // the one-node subpath is left out
    // The open triangle is closed by a line edge back to its start.
    EXPECT_EQ(Values(h, 93), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Values(h, 72), (std::vector<std::string>{"4", "4", "1"}));
    EXPECT_EQ(Values(h, 95), (std::vector<std::string>{"17", "11"}));
}

TEST(DxfWriter, OnlyTheChosenPageIsWrittenAndTheDrawingIsUnchanged) {
    CDrawing drawing;
    drawing.SetPageCount(2);
    drawing.Add(Stroked(PolylineNodes({{0, 0}, {10, 0}})));
    auto second = Stroked(PolylineNodes({{0, 0}, {10, 0}, {20, 5}}));
    second->page = 1;
    drawing.Add(std::move(second));
    EXPECT_EQ(ParseDxf(WriteDxf(drawing, 1)).Entities("SPLINE").size(), 1u);
    EXPECT_EQ(Value(ParseDxf(WriteDxf(drawing, 1)).Entities("SPLINE")[0], 73), "7");
    // A page past the last is the last.
    EXPECT_EQ(Value(ParseDxf(WriteDxf(drawing, 9)).Entities("SPLINE")[0], 73), "7");
    EXPECT_EQ(drawing.Count(), 2);
    EXPECT_EQ(WriteDxf(drawing, 0), WriteDxf(drawing, 0)); // the same drawing gives the same bytes
}

TEST(DxfWriter, HandlesAreUniqueAndBelowTheSeed) {
    CDrawing drawing;
    drawing.Add(BuildPath({test::BoxNodes({0, 10, 0, 10})}, {}));
    drawing.Add(BuildText(u"x", {0, 0}, {}));
    drawing.Add(Picture({0, 50, 0, 40}, 5, 4));
    std::vector<CDxfImageFile> images;
    const test::CParsedDxf parsed = ParseDxf(WriteDxf(drawing, 0, &images));
    std::set<uint64_t> handles;
    uint64_t seed = 0;
    for (std::size_t i = 0; i + 1 < parsed.list.tags.size(); ++i) {
        const CDxfTag& tag = parsed.list.tags[i];
        if (tag.Value() == "$HANDSEED") {
            seed = *ParseDxfHandle(parsed.list.tags[i + 1].Value());
            ++i;
            continue;
        }
        if (tag.code == 5 || tag.code == 105) {
            const std::optional<uint64_t> h = ParseDxfHandle(tag.Value());
            ASSERT_TRUE(h) << tag.Value();
            EXPECT_TRUE(handles.insert(*h).second) << "duplicate handle " << tag.Value();
        }
    }
    ASSERT_FALSE(handles.empty());
    EXPECT_GT(seed, *handles.rbegin());
    EXPECT_EQ(*handles.begin(), 1u);
}

TEST(DxfWriter, TextsAreMTextWithFontCodeAndLineBreaks) {
    CDrawing drawing;
    drawing.Add(BuildText(u"a\r\nb", {100, -200},
                          {.faceName = u"Liberation Serif",
                           .corner = {},
                           .height = 0.0f,
                           .angle = 0.0f,
                           .mode = kTextArtistic,
                           .alignment = kAlignLeft,
                           .style = kTextStyleItalic}));
    drawing.Add(BuildText(u"para", {0, 0},
                          {.faceName = u"Arial",
                           .corner = {300, 100},
                           .height = 0.0f,
                           .angle = 0.0f,
                           .mode = kTextParagraph,
                           .alignment = kAlignCentre,
                           .style = 0,
                           .color = 0xFF}));
    const auto texts = ParseDxf(WriteDxf(drawing)).Entities("MTEXT");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(Value(texts[0], 1), "\\fLiberation Serif|b0|i1;a\\Pb");
    EXPECT_EQ(Value(texts[0], 10), "10.000000");
    EXPECT_EQ(Value(texts[0], 20), "20.000000");
    EXPECT_NEAR(std::stod(Value(texts[0], 40)), 70.5555 * 0.1 * 0.7204611, 1e-5);
    EXPECT_EQ(Value(texts[0], 71), "1");
    EXPECT_EQ(Value(texts[0], 41), "0.0");
    EXPECT_EQ(Value(texts[1], 71), "2");
    EXPECT_EQ(Value(texts[1], 41), "30.0000");
    EXPECT_EQ(Value(texts[1], 10), "15.000000"); // centred text hangs from the frame's middle
    EXPECT_EQ(Value(texts[1], 62), "1");
}

TEST(DxfWriter, RotatedCentredArtisticTextIsAnchoredAlongItsBaseline) {
    CDrawing drawing;
    drawing.Add(BuildText(u"Wide text", {0, 0},
                          {.faceName = u"Arial",
                           .corner = {},
                           .height = 0.0f,
                           .angle = 90.0f,
                           .mode = kTextArtistic,
                           .alignment = kAlignCentre}));
    const auto text = ParseDxf(WriteDxf(drawing)).Entities("MTEXT").at(0);
    EXPECT_NEAR(std::stod(Value(text, 10)), 0.0, 1e-6);
    // Turned a quarter counter-clockwise, the baseline runs up the page: the middle lies above the start.
    EXPECT_GT(std::stod(Value(text, 20)), 1.0);
    EXPECT_EQ(Value(text, 11), "0.000000");
    EXPECT_EQ(Value(text, 21), "1.000000");
}

TEST(DxfWriter, ImagesAreJpegFilesBesideTheDrawingInEntityOrder) {
    CDrawing drawing;
    drawing.Add(Picture({0, 50, 0, 40}, 5, 4));
    drawing.Add(Stroked(PolylineNodes({{0, 0}, {10, 0}})));
    drawing.Add(Picture({100, 130, 0, 30}, 3, 3));
    std::vector<CDxfImageFile> images;
    const std::string file = WriteDxf(drawing, 0, &images, "/some/dir.v2/name.dxf");
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].path, "/some/dir.v2/name_ACAD_1.jpg");
    EXPECT_EQ(images[1].path, "/some/dir.v2/name_ACAD_2.jpg");
    EXPECT_GT(images[0].jpeg.size(), 100u);
    EXPECT_EQ(images[0].jpeg[0], 0xFF);
    EXPECT_EQ(images[0].jpeg[1], 0xD8);
    const test::CParsedDxf parsed = ParseDxf(file);
    const auto entities = parsed.Entities("IMAGE");
    ASSERT_EQ(entities.size(), 2u);
    EXPECT_EQ(Value(entities[0], 5), "2E");
    EXPECT_EQ(Value(entities[0], 340), "2F");
    EXPECT_EQ(Value(entities[0], 360), "30");
    EXPECT_EQ(Value(entities[1], 5), "32");        // after the spline 31
    EXPECT_EQ(Value(entities[0], 11), "1.000000"); // 50 units over 5 pixels, in millimetres
    EXPECT_EQ(Value(entities[0], 22), "1.000000");
    EXPECT_EQ(Value(entities[0], 20), "-4.000000"); // the bottom left corner
    const auto definitions = parsed.Entities("IMAGEDEF");
    ASSERT_EQ(definitions.size(), 2u);
    EXPECT_EQ(Value(definitions[0], 5), "2F");
    EXPECT_EQ(Value(definitions[0], 1), "/some/dir.v2/name_ACAD_1.jpg");
    EXPECT_EQ(Value(parsed.Entities("IMAGEDEF_REACTOR").at(1), 5), "34");

    // A name without an extension keeps its whole length.
    WriteDxf(drawing, 0, &images, "/tmp/plain");
    EXPECT_EQ(images[0].path, "/tmp/plain_ACAD_1.jpg");
}

TEST(DxfWriter, APictureThatCannotBeWrittenFailsTheExport) {
    test::CTempFolder folder;
    CDrawing drawing;
    drawing.Add(Picture({0, 50, 0, 40}, 5, 4));
    const std::string path = folder.File("missing-folder/out.dxf");
    EXPECT_EQ(CDxfFile().ExportToDxf(path, drawing, 0), 0);
    EXPECT_FALSE(drawing.GetErrorMessage().empty());
    EXPECT_FALSE(std::filesystem::exists(path));

    drawing.SetErrorMessage({});
    const std::string good = folder.File("out.dxf");
    ASSERT_EQ(CDxfFile().ExportToDxf(good, drawing, 0), 1) << drawing.GetErrorMessage();
    EXPECT_TRUE(std::filesystem::exists(folder.File("out_ACAD_1.jpg")));
    EXPECT_TRUE(drawing.GetErrorMessage().empty());
}

} // namespace
} // namespace pq
